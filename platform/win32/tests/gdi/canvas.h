#pragma once
// A memory DC over a top-down 32-bit DIB section whose pixels the tests read directly, and the
// dump of what a test drew to $DUMP_DIR.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "gdi/dc.h"
#include "win32/windows.h"

class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255)) : width_(width), height_(height) {
    BITMAPINFO bmi{};
    bmi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<uint32_t*>(bits);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
    Fill(fill);
  }
  ~Canvas() {
    if (const char* dir = std::getenv("DUMP_DIR")) {
      const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
      std::string path = std::string(dir) + "/" + info->test_suite_name() + "." + info->name() + "." +
                         std::to_string(serial_++) + ".png";
      win32::gdi::WriteSurfacePng(*win32::gdi::FindDC(dc_)->surface, path.c_str());
    }
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  int width() const { return width_; }
  int height() const { return height_; }
  uint32_t Raw(int x, int y) const { return bits_[y * width_ + x]; }
  COLORREF At(int x, int y) const {
    uint32_t v = Raw(x, y);
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  void Set(int x, int y, COLORREF c) {
    bits_[y * width_ + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  }
  void Fill(COLORREF c) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) Set(x, y, c);
  }
  // Number of pixels of colour c, in all of the canvas or inside r.
  int Count(COLORREF c, RECT r) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += At(x, y) == c;
    return n;
  }
  int Count(COLORREF c) const { return Count(c, RECT{0, 0, width_, height_}); }

 private:
  int width_, height_;
  HBITMAP bitmap_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
  static inline int serial_ = 0;
};

// A memory DC with a monochrome bitmap of the given bits (one row per string, '1' set).
class MonoCanvas {
 public:
  explicit MonoCanvas(std::initializer_list<const char*> rows) {
    height_ = static_cast<int>(rows.size());
    width_ = static_cast<int>(std::strlen(*rows.begin()));
    bitmap_ = CreateBitmap(width_, height_, 1, 1, nullptr);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
    int y = 0;
    for (const char* row : rows) {
      for (int x = 0; x < width_; ++x) SetPixel(dc_, x, y, row[x] == '1' ? RGB(255, 255, 255) : RGB(0, 0, 0));
      ++y;
    }
  }
  ~MonoCanvas() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  int Bit(int x, int y) const { return GetPixel(dc_, x, y) == RGB(255, 255, 255) ? 1 : 0; }

 private:
  int width_ = 0, height_ = 0;
  HBITMAP bitmap_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
};
