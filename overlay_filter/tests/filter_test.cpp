#include <cstring>

#include "overlay_test_support.h"
#include "testing/guarded_buffer.h"

using namespace overlay_filter_test;

namespace {

constexpr Rgb kGrey{100, 100, 100};

class OverlayFilter : public OverlayFilterTest {};

CMediaType TypeWith(const GUID& subtype, const GUID& formatType) {
  CMediaType type = Rgb24Type(8, 8);
  type.SetSubtype(&subtype);
  type.SetFormatType(&formatType);
  return type;
}

// Only RGB24 video described by a whole VIDEOINFOHEADER is taken; the output type is the input's.
TEST_F(OverlayFilter, TakesRgb24VideoAndOffersItsInputType) {
  HRESULT hr = S_OK;
  ComPtr<IBaseFilter> loose(static_cast<CLogoMixerFilter*>(CLogoMixerFilter::CreateInstance(nullptr, &hr)));
  auto* unconnected = static_cast<CLogoMixerFilter*>(loose.get());
  CMediaType type;
  EXPECT_EQ(unconnected->GetMediaType(0, &type), E_UNEXPECTED);
  ALLOCATOR_PROPERTIES request{};
  EXPECT_EQ(unconnected->DecideBufferSize(nullptr, &request), E_UNEXPECTED);

  CMediaType rgb24 = Rgb24Type(8, 8);
  EXPECT_EQ(unconnected->CheckInputType(&rgb24), S_OK);
  CMediaType rgb32 = TypeWith(MEDIASUBTYPE_RGB32, FORMAT_VideoInfo);
  EXPECT_EQ(unconnected->CheckInputType(&rgb32), E_FAIL);
  CMediaType audio = rgb24;
  audio.SetType(&MEDIATYPE_Audio);
  EXPECT_EQ(unconnected->CheckInputType(&audio), E_FAIL);
  CMediaType otherFormat = TypeWith(MEDIASUBTYPE_RGB24, FORMAT_VideoInfo2);
  EXPECT_EQ(unconnected->CheckInputType(&otherFormat), E_INVALIDARG);
  CMediaType shortFormat = rgb24;
  shortFormat.SetFormat(rgb24.Format(), sizeof(VIDEOINFOHEADER) - 1);
  EXPECT_EQ(unconnected->CheckInputType(&shortFormat), E_INVALIDARG);
  EXPECT_EQ(unconnected->CheckTransform(&rgb24, &rgb24), S_OK);
  CMediaType wider = Rgb24Type(16, 8);
  EXPECT_EQ(unconnected->CheckTransform(&rgb24, &wider), E_FAIL);

  // Pins are named and identified "In" and "Out".
  for (const char16_t* id : {u"In", u"Out"}) {
    ComPtr<IPin> pin;
    ASSERT_EQ(loose->FindPin(id, pin.put()), S_OK);
    PIN_INFO info{};
    pin->QueryPinInfo(&info);
    EXPECT_EQ(std::u16string(info.achName), id);
    if (info.pFilter) info.pFilter->Release();
  }

  Connect(32, 16);
  EXPECT_EQ(mixerFilter_->GetMediaType(0, &type), S_OK);
  EXPECT_TRUE(type == Rgb24Type(32, 16));
  EXPECT_EQ(mixerFilter_->GetMediaType(1, &type), VFW_S_NO_MORE_ITEMS);
  EXPECT_EQ(mixerFilter_->GetMediaType(-1, &type), E_INVALIDARG);
}

// The output allocator gets the input's buffer count and size; frames pass through unchanged
// when there is nothing to draw.
TEST_F(OverlayFilter, NegotiatesTheInputsBuffersAndPassesFramesOn) {
  HRESULT hr = S_OK;
  mixerFilter_ = static_cast<CLogoMixerFilter*>(CLogoMixerFilter::CreateInstance(nullptr, &hr));
  filter_.Reset(mixerFilter_);
  chain_.filter = filter_;
  const LONG size = FrameBytes(32, 16) + 100;
  ASSERT_EQ(chain_.Connect(Rgb24Type(32, 16), 3, size), S_OK);
  ALLOCATOR_PROPERTIES properties = chain_.sinkFilter->AllocatorProperties();
  EXPECT_EQ(properties.cBuffers, 3);
  EXPECT_GE(properties.cbBuffer, size);

  ASSERT_EQ(chain_.Pause(), S_OK);
  Frame frame(32, 16, false, kGrey);
  frame.Set(3, 4, {1, 2, 3});
  ASSERT_EQ(chain_.sourceFilter->Deliver(frame.bytes, 400000, 800000), S_OK);
  chain_.Stop();
  auto received = chain_.sinkFilter->Received();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].bytes, frame.bytes);
  EXPECT_EQ(received[0].start, 400000);
  EXPECT_EQ(received[0].stop, 800000);
}

// Times, media times, the three flags, a type change and the data length reach the output.
TEST_F(OverlayFilter, CopiesTheSampleProperties) {
  Connect(8, 4);
  Frame in(8, 4, false, kGrey), out(8, 4, false, {});
  HRESULT hr = S_OK;
  CMediaSample inSample("in", nullptr, &hr, in.bytes.data(), LONG(in.bytes.size()));
  CMediaSample outSample("out", nullptr, &hr, out.bytes.data(), LONG(out.bytes.size()));
  REFERENCE_TIME start = 100, stop = 200;
  LONGLONG mediaStart = 5, mediaStop = 6;
  inSample.SetTime(&start, &stop);
  inSample.SetMediaTime(&mediaStart, &mediaStop);
  inSample.SetSyncPoint(FALSE);
  inSample.SetPreroll(TRUE);
  inSample.SetDiscontinuity(TRUE);
  CMediaType changed = Rgb24Type(8, 4);
  inSample.SetMediaType(&changed);
  inSample.SetActualDataLength(LONG(in.bytes.size()) - 4);
  outSample.SetSyncPoint(TRUE);

  ASSERT_EQ(mixerFilter_->Transform(&inSample, &outSample), S_OK);
  REFERENCE_TIME gotStart = 0, gotStop = 0;
  EXPECT_EQ(outSample.GetTime(&gotStart, &gotStop), S_OK);
  EXPECT_EQ(gotStart, 100);
  EXPECT_EQ(gotStop, 200);
  LONGLONG gotMediaStart = 0, gotMediaStop = 0;
  EXPECT_EQ(outSample.GetMediaTime(&gotMediaStart, &gotMediaStop), S_OK);
  EXPECT_EQ(gotMediaStart, 5);
  EXPECT_EQ(outSample.IsSyncPoint(), S_FALSE);
  EXPECT_EQ(outSample.IsPreroll(), S_OK);
  EXPECT_EQ(outSample.IsDiscontinuity(), S_OK);
  AM_MEDIA_TYPE* type = nullptr;
  EXPECT_EQ(outSample.GetMediaType(&type), S_OK);
  ASSERT_NE(type, nullptr);
  EXPECT_TRUE(CMediaType(*type) == changed);
  DeleteMediaType(type);
  EXPECT_EQ(outSample.GetActualDataLength(), LONG(in.bytes.size()) - 4);
}

// A frame larger than the output buffer is copied as far as it fits and not drawn on; nothing is
// written past the buffer.
TEST_F(OverlayFilter, AFrameLargerThanTheOutputIsCopiedAsFarAsItFits) {
  Connect(64, 32);
  mixer_->SetText("Overlay");
  mixer_->SetTextFont("Arial", 20);
  Frame in(64, 32, false, kGrey);
  for (size_t i = 0; i < in.bytes.size(); ++i) in.bytes[i] = BYTE(i * 7);
  const LONG half = LONG(in.bytes.size() / 2);
  testing_support::GuardedBuffer out{size_t(half)};
  HRESULT hr = S_OK;
  CMediaSample inSample("in", nullptr, &hr, in.bytes.data(), LONG(in.bytes.size()));
  CMediaSample outSample("out", nullptr, &hr, out.data(), half);
  ASSERT_EQ(mixerFilter_->Transform(&inSample, &outSample), S_OK);
  EXPECT_EQ(outSample.GetActualDataLength(), half);
  EXPECT_EQ(std::memcmp(out.data(), in.bytes.data(), size_t(half)), 0);
}

// The image's pixels of exactly the key colour leave the frame as it was; all others replace it
// at full alpha. With the default alpha of 0 a shown image is invisible.
TEST_F(OverlayFilter, KeysTheImageExactly) {
  Connect(40, 30);
  const std::vector<uint8_t> rgba = {
      0, 0, 0, 255,  255, 0, 0, 255,  0, 0, 1, 255,  1, 0, 0, 255,  // black, red, near-black twice
      10, 200, 30, 255,  0, 0, 0, 255,  0, 0, 0, 0,  250, 250, 250, 128,
  };
  const std::string path = MakePng("keyed.png", 4, 2, rgba);
  mixer_->SetImageFile(path.c_str());
  mixer_->SetImagePosition(5, 7);
  Frame in(40, 30, false, kGrey);
  Frame invisible = Draw(in);
  EXPECT_EQ(invisible.bytes, in.bytes);

  mixer_->SetImageTransparency(0, 0, 0, 255);
  Frame out = Draw(in);
  for (int i = 0; i < 8; ++i) {
    const uint8_t* p = &rgba[size_t(i) * 4];
    const bool keyed = p[0] == 0 && p[1] == 0 && p[2] == 0;
    const Rgb want = keyed ? kGrey : Rgb{p[0], p[1], p[2]};
    EXPECT_EQ(out.At(5 + i % 4, 7 + i / 4), want) << "image pixel " << i;
  }
  Frame::Box changed = out.DiffersFrom(in);
  EXPECT_EQ(changed.x, 5);
  EXPECT_EQ(changed.y, 7);
  EXPECT_EQ(changed.width, 4);
  EXPECT_EQ(changed.height, 2);

  mixer_->ShowImage(0);
  EXPECT_EQ(Draw(in).bytes, in.bytes);
}

// Stretched, the image covers a frame-sized rectangle from its position, so that its right and
// bottom parts fall outside; unstretched, an image past the edges is clipped.
TEST_F(OverlayFilter, StretchesToTheFrameSizeAndClips) {
  Connect(64, 48, true);
  const std::vector<uint8_t> blue = {0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255};
  mixer_->SetImageFile(MakePng("blue.png", 2, 2, blue).c_str());
  mixer_->SetImageTransparency(0, 0, 0, 255);
  mixer_->SetImagePosition(10, 10);
  mixer_->SetStretchImage(1);
  Frame in(64, 48, true, kGrey);
  Frame out = Draw(in);
  Frame::Box changed = out.DiffersFrom(in);
  EXPECT_EQ(changed.x, 10);
  EXPECT_EQ(changed.y, 10);
  EXPECT_EQ(changed.width, 54);
  EXPECT_EQ(changed.height, 38);
  EXPECT_EQ(out.Count({0, 0, 255}), 54 * 38);

  mixer_->SetStretchImage(256);  // only the low byte counts: not stretched
  mixer_->SetImagePosition(63, 47);
  out = Draw(in);
  changed = out.DiffersFrom(in);
  EXPECT_EQ(changed.width, 1);
  EXPECT_EQ(changed.height, 1);
  EXPECT_EQ(out.At(63, 47), (Rgb{0, 0, 255}));
}

// Each brush mode draws the text, in its own colours, only inside the box it measures; a mode
// outside 0 to 4 draws nothing and keeps the last measurement.
TEST_F(OverlayFilter, EachBrushModeDrawsInsideTheMeasuredBox) {
  Connect(200, 60);
  const std::vector<uint8_t> tile = {255, 255, 0, 255, 0, 255, 255, 255, 0, 255, 255, 255, 255, 255, 0, 255};
  mixer_->SetTextureBrushImage(MakePng("tile.png", 2, 2, tile).c_str());
  mixer_->SetText("Wide Text");
  mixer_->SetTextFont("Arial", 30);
  mixer_->SetTextFontStyle(1);
  mixer_->SetTextPosition(12, 9);
  mixer_->SetTextColor(255, 0, 0);
  mixer_->SetOutlineTextBorderColor(0, 255, 0);
  mixer_->SetOutlineTextBackColor(0, 0, 255);
  mixer_->SetHashBrushValue(4, 255, 255, 255, 0, 0, 0);  // cross hatch, white on black
  Frame in(200, 60, false, kGrey);

  struct Mode {
    int mode;
    std::vector<Rgb> shows;
  };
  const Mode modes[] = {
      {0, {{255, 0, 0}}},
      {1, {{0, 255, 0}}},
      {2, {{0, 255, 0}, {0, 0, 255}}},
      {3, {{255, 255, 255}, {0, 0, 0}}},
      {4, {{255, 255, 0}, {0, 255, 255}}},
  };
  int lastWidth = 0, lastHeight = 0;
  for (const Mode& m : modes) {
    mixer_->SetTextStyle(m.mode);
    Frame out = Draw(in);
    int width = 0, height = 0;
    mixer_->GetTextExtent(&width, &height);
    EXPECT_GT(width, 100) << m.mode;
    EXPECT_GT(height, 30) << m.mode;
    Frame::Box changed = out.DiffersFrom(in);
    ASSERT_GT(changed.width, 0) << m.mode;
    EXPECT_GE(changed.x, 12) << m.mode;
    EXPECT_GE(changed.y, 9) << m.mode;
    EXPECT_LE(changed.x + changed.width, 12 + width + 1) << m.mode;
    EXPECT_LE(changed.y + changed.height, 9 + height + 1) << m.mode;
    for (Rgb colour : m.shows) EXPECT_GT(out.Count(colour), 10) << "mode " << m.mode;
    if (m.mode == 1) {
      EXPECT_EQ(out.Count({255, 0, 0}), 0);
    }
    lastWidth = width, lastHeight = height;
  }

  mixer_->SetText("Another, longer text");
  mixer_->SetTextStyle(7);
  EXPECT_EQ(Draw(in).bytes, in.bytes);
  int width = 0, height = 0;
  mixer_->GetTextExtent(&width, &height);
  EXPECT_EQ(width, lastWidth);
  EXPECT_EQ(height, lastHeight);
}

// Bottom-up and top-down frames both get the text at their visual top.
class OverlayRowOrder : public OverlayFilterTest, public ::testing::WithParamInterface<bool> {};

TEST_P(OverlayRowOrder, TextIsAtTheVisualTop) {
  const bool topDown = GetParam();
  Connect(120, 80, topDown);
  mixer_->SetText("Top");
  mixer_->SetTextFont("Arial", 20);
  Frame in(120, 80, topDown, kGrey);
  Frame::Box changed = Draw(in).DiffersFrom(in);
  ASSERT_GT(changed.width, 0);
  EXPECT_LT(changed.y, 8);
  EXPECT_LT(changed.y + changed.height, 30);
}

INSTANTIATE_TEST_SUITE_P(BottomUpAndTopDown, OverlayRowOrder, ::testing::Bool());

// An image that cannot be loaded draws nothing, and the text is still drawn.
TEST_F(OverlayFilter, AMissingImageStillLetsTheTextBeDrawn) {
  Connect(120, 40);
  mixer_->SetImageFile("/no/such/image.png");
  mixer_->SetImageTransparency(0, 0, 0, 255);
  mixer_->SetText("Still here");
  mixer_->SetTextFont("No Such Face At All", 18);  // falls back on the generic face
  Frame in(120, 40, false, kGrey);
  Frame out = Draw(in);
  EXPECT_GT(out.DiffersFrom(in).width, 40);
  EXPECT_GT(out.Count({255, 0, 0}), 10);
}

// A changed image file shows on the next frame.
TEST_F(OverlayFilter, AChangedImageFileShowsOnTheNextFrame) {
  Connect(20, 20);
  const std::string path = MakePng("changing.png", 1, 1, {255, 0, 0, 255});
  mixer_->SetImageFile(path.c_str());
  mixer_->SetImageTransparency(0, 0, 0, 255);
  Frame in(20, 20, false, kGrey);
  EXPECT_EQ(Draw(in).At(0, 0), (Rgb{255, 0, 0}));
  MakePng("changing.png", 2, 1, {0, 255, 0, 255, 0, 255, 0, 255});
  Frame out = Draw(in);
  EXPECT_EQ(out.At(0, 0), (Rgb{0, 255, 0}));
  EXPECT_EQ(out.At(1, 0), (Rgb{0, 255, 0}));
  mixer_->SetImageTransparency(0, 255, 0, 255);  // a new key takes effect at once
  EXPECT_EQ(Draw(in).At(0, 0), kGrey);
}

// The text is drawn whole up to its 1023 characters; longer text is cut to them.
TEST_F(OverlayFilter, LongTextIsDrawnWholeAndCutAtItsBuffer) {
  Connect(320, 240);
  std::string text;
  while (text.size() < 2000) text += "word ";
  mixer_->SetTextFont("Arial", 10);
  mixer_->SetText(text.substr(0, 259).c_str());
  Frame in(320, 240, false, kGrey);
  Draw(in);
  int shortWidth = 0, shortHeight = 0;
  mixer_->GetTextExtent(&shortWidth, &shortHeight);
  mixer_->SetText(text.c_str());
  Draw(in);
  int width = 0, height = 0;
  mixer_->GetTextExtent(&width, &height);
  EXPECT_GT(height, shortHeight * 2);  // six lines where 259 characters make two

  std::vector<char> stored(1024, 'x');
  mixer_->GetText(stored.data());
  EXPECT_EQ(std::strlen(stored.data()), 1023u);
  EXPECT_EQ(std::string(stored.data()), text.substr(0, 1023));
}

}  // namespace
