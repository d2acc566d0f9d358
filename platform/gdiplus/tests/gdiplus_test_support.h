#pragma once
// GDI+ started for a test, and pixels of a 24-bit bitmap read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "gdiplus/gdiplus.h"

namespace gdiplus_test {

class GdiplusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
  }
  void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

 private:
  ULONG_PTR token_ = 0;
};

struct Rgb {
  BYTE r, g, b;
  bool operator==(const Rgb&) const = default;
};

// A top-down 24-bit picture in memory of its own, filled with one colour.
class Picture {
 public:
  Picture(int width, int height, Rgb fill = {0, 0, 0})
      : width_(width), height_(height), stride_((width * 3 + 3) & ~3), bytes_(size_t(stride_) * size_t(height)) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) Set(x, y, fill);
    bitmap_ = std::make_unique<Gdiplus::Bitmap>(width, height, stride_, PixelFormat24bppRGB, bytes_.data());
  }
  Gdiplus::Bitmap* bitmap() { return bitmap_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }
  Rgb At(int x, int y) const {
    const BYTE* p = &bytes_[size_t(y) * size_t(stride_) + size_t(x) * 3];
    return {p[2], p[1], p[0]};
  }
  void Set(int x, int y, Rgb c) {
    BYTE* p = &bytes_[size_t(y) * size_t(stride_) + size_t(x) * 3];
    p[0] = c.b, p[1] = c.g, p[2] = c.r;
  }
  // The smallest rectangle holding every pixel that differs from the colour; empty when none.
  Gdiplus::Rect ChangedBox(Rgb background) const {
    int x0 = width_, y0 = height_, x1 = -1, y1 = -1;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (!(At(x, y) == background)) x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    return x1 < 0 ? Gdiplus::Rect() : Gdiplus::Rect(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
  }
  int Count(Rgb colour) const {
    int n = 0;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) n += At(x, y) == colour;
    return n;
  }

 private:
  int width_, height_, stride_;
  std::vector<BYTE> bytes_;
  std::unique_ptr<Gdiplus::Bitmap> bitmap_;
};

inline bool Inside(const Gdiplus::Rect& inner, const Gdiplus::RectF& outer) {
  return inner.X >= std::floor(outer.X) && inner.Y >= std::floor(outer.Y) &&
         inner.X + inner.Width <= std::ceil(outer.X + outer.Width) &&
         inner.Y + inner.Height <= std::ceil(outer.Y + outer.Height);
}

}  // namespace gdiplus_test
