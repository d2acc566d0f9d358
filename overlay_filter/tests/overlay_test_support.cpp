#include "overlay_test_support.h"

#include <algorithm>

#include "testing/image_files.h"
#include "testing/sandbox.h"

namespace overlay_filter_test {

Frame::Frame(int w, int h, bool down, Rgb fill) : width(w), height(h), topDown(down), bytes(size_t(FrameBytes(w, h))) {
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) Set(x, y, fill);
}

BYTE* Frame::Pixel(int x, int y) {
  const int row = topDown ? y : height - 1 - y;
  return bytes.data() + size_t(row) * size_t((width * 3 + 3) & ~3) + size_t(x) * 3;
}

Rgb Frame::At(int x, int y) const {
  const BYTE* p = const_cast<Frame*>(this)->Pixel(x, y);
  return {p[2], p[1], p[0]};
}

void Frame::Set(int x, int y, Rgb c) {
  BYTE* p = Pixel(x, y);
  p[0] = c.b, p[1] = c.g, p[2] = c.r;
}

Frame::Box Frame::DiffersFrom(const Frame& other) const {
  int x0 = width, y0 = height, x1 = -1, y1 = -1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (!(At(x, y) == other.At(x, y)))
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
  if (x1 < 0) return {};
  return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

int Frame::Count(Rgb c) const {
  int n = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) n += At(x, y) == c;
  return n;
}

void OverlayFilterTest::Connect(int width, int height, bool topDown) {
  HRESULT hr = S_OK;
  mixerFilter_ = static_cast<CLogoMixerFilter*>(CLogoMixerFilter::CreateInstance(nullptr, &hr));
  ASSERT_EQ(hr, S_OK);
  filter_.Reset(mixerFilter_);
  ASSERT_EQ(filter_.As(IID_ILogoMixer, &mixer_), S_OK);
  chain_.filter = filter_;
  width_ = width, height_ = height, topDown_ = topDown;
  ASSERT_EQ(chain_.Connect(Rgb24Type(width, height, topDown), 2, FrameBytes(width, height)), S_OK);
}

Frame OverlayFilterTest::Draw(const Frame& in, REFERENCE_TIME start, REFERENCE_TIME stop) {
  Frame input = in;
  Frame output(in.width, in.height, in.topDown, {1, 2, 3});
  HRESULT hr = S_OK;
  CMediaSample inSample("in", nullptr, &hr, input.bytes.data(), LONG(input.bytes.size()));
  CMediaSample outSample("out", nullptr, &hr, output.bytes.data(), LONG(output.bytes.size()));
  inSample.SetTime(&start, &stop);
  EXPECT_EQ(mixerFilter_->Transform(&inSample, &outSample), S_OK);
  return output;
}

std::string OverlayFilterTest::MakePng(const std::string& name, int width, int height, const std::vector<uint8_t>& rgba) {
  std::string path = testing_support::SandboxDir() + "/" + name;
  EXPECT_EQ(testing_support::WritePng(path, width, height, rgba), "");
  return path;
}

}  // namespace overlay_filter_test
