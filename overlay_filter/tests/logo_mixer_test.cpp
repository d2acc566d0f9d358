#include <cstring>
#include <string>

#include "overlay_test_support.h"

using namespace overlay_filter_test;

namespace {

class LogoMixer : public OverlayFilterTest {
 protected:
  void SetUp() override { Connect(16, 8); }
};

// The drawn settings start at the filter's defaults and read back as stored: colours and flags as
// their low bytes.
TEST_F(LogoMixer, StoresLowBytesAndStartsAtTheDefaults) {
  char face[260] = {};
  int size = 0;
  mixer_->GetTextFont(face, &size);
  EXPECT_STREQ(face, "Times New Roman");
  EXPECT_EQ(size, 24);
  int r = -1, g = -1, b = -1, a = -1;
  mixer_->GetTextColor(&r, &g, &b);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(g, 0);
  EXPECT_EQ(b, 0);
  mixer_->GetImageTransparency(&r, &g, &b, &a);
  EXPECT_EQ(r | g | b | a, 0);
  int x = -1, y = -1;
  mixer_->GetTextPosition(&x, &y);
  EXPECT_EQ(x | y, 0);
  mixer_->GetImagePosition(&x, &y);
  EXPECT_EQ(x | y, 0);
  char text[1024] = "junk";
  mixer_->GetText(text);
  EXPECT_STREQ(text, "");
  char path[260] = "junk";
  mixer_->GetImageFile(path);
  EXPECT_STREQ(path, "");
  int flag = 0;
  mixer_->GetReservedFlag4(&flag);
  EXPECT_EQ(flag, 0xFF);

  EXPECT_EQ(mixer_->SetTextColor(0x1FF, 0x280, 0x301), S_OK);
  mixer_->GetTextColor(&r, &g, &b);
  EXPECT_EQ(r, 0xFF);
  EXPECT_EQ(g, 0x80);
  EXPECT_EQ(b, 0x01);
  mixer_->SetImageTransparency(0x101, 0x102, 0x103, 0x1FF);
  mixer_->GetImageTransparency(&r, &g, &b, &a);
  EXPECT_EQ(r, 1);
  EXPECT_EQ(g, 2);
  EXPECT_EQ(b, 3);
  EXPECT_EQ(a, 0xFF);
  mixer_->SetReservedFlag4(0x1FE);
  mixer_->GetReservedFlag4(&flag);
  EXPECT_EQ(flag, 0xFE);
  mixer_->SetTextPosition(-5, 70000);
  mixer_->GetTextPosition(&x, &y);
  EXPECT_EQ(x, -5);
  EXPECT_EQ(y, 70000);
  mixer_->SetTextFont("Arial", 40);
  mixer_->GetTextFont(face, &size);
  EXPECT_STREQ(face, "Arial");
  EXPECT_EQ(size, 40);

  // ShowText(0x100) keeps the low byte, 0: the text is hidden.
  mixer_->SetText("Hidden");
  mixer_->ShowText(0x100);
  Frame in(16, 8, false, {9, 9, 9});
  EXPECT_EQ(Draw(in).bytes, in.bytes);
}

// Strings longer than their buffers are cut to fit, never inside a character.
TEST_F(LogoMixer, StringsAreCutToTheirBuffers) {
  const std::string longPath(400, 'p');
  mixer_->SetImageFile(longPath.c_str());
  std::vector<char> path(260, 'x');
  mixer_->GetImageFile(path.data());
  EXPECT_EQ(std::string(path.data()), longPath.substr(0, 259));

  std::string face(258, 'f');
  face += "\xC3\xA9";  // two bytes that no longer fit whole
  mixer_->SetTextFont(face.c_str(), 12);
  char stored[260];
  int size = 0;
  mixer_->GetTextFont(stored, &size);
  EXPECT_EQ(std::string(stored), std::string(258, 'f'));

  mixer_->SetText(nullptr);
  char text[1024] = "junk";
  mixer_->GetText(text);
  EXPECT_STREQ(text, "");
}

// The last frame's times in seconds; zero before any frame, and following every frame, also when
// nothing is shown.
TEST_F(LogoMixer, SampleTimesFollowEveryFrame) {
  double start = -1, stop = -1;
  mixer_->GetSampleTimes(&start, &stop);
  EXPECT_EQ(start, 0.0);
  EXPECT_EQ(stop, 0.0);
  Frame in(16, 8, false, {9, 9, 9});
  Draw(in, 0, 400000);
  mixer_->GetSampleTimes(&start, &stop);
  EXPECT_EQ(start, 0.0);
  EXPECT_DOUBLE_EQ(stop, 0.04);
  mixer_->ShowText(0);
  mixer_->ShowImage(0);
  Draw(in, 400000, 800000);
  mixer_->GetSampleTimes(&start, &stop);
  EXPECT_DOUBLE_EQ(start, 0.04);
  EXPECT_DOUBLE_EQ(stop, 0.08);
}

// ILogoMixer is an interface of the filter object: one identity, one reference count.
TEST_F(LogoMixer, IsAnInterfaceOfTheFilter) {
  ComPtr<IUnknown> fromFilter, fromMixer;
  ASSERT_EQ(filter_.As(IID_IUnknown, &fromFilter), S_OK);
  ASSERT_EQ(mixer_.As(IID_IUnknown, &fromMixer), S_OK);
  EXPECT_EQ(fromFilter.get(), fromMixer.get());
  ComPtr<IBaseFilter> back;
  EXPECT_EQ(mixer_.As(IID_IBaseFilter, &back), S_OK);
  EXPECT_EQ(back.get(), filter_.get());
  ComPtr<ILogoMixer> again;
  EXPECT_EQ(filter_.As(IID_ILogoMixer, &again), S_OK);
  EXPECT_EQ(again.get(), mixer_.get());

  const ULONG before = filter_->AddRef();
  EXPECT_EQ(mixer_->AddRef(), before + 1);
  EXPECT_EQ(mixer_->Release(), before);
  filter_->Release();
  ComPtr<IUnknown> none;
  EXPECT_EQ(mixer_.As(IID_IClassFactory, &none), E_NOINTERFACE);
  EXPECT_FALSE(none);
}

}  // namespace
