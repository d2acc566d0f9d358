#pragma once
// A 32-bit memory DC for pixel checks. When DUMP_DIR is set, what the test drew is written there
// as <suite>.<test>.<n>.png when the canvas goes away.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "gdi/dc.h"
#include "win32/windows.h"

class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255)) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<const uint32_t*>(bits);
    old_ = SelectObject(dc_, bitmap_);
    Fill(fill);
  }
  ~Canvas() {
    if (const char* dir = std::getenv("DUMP_DIR")) {
      const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
      std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "canvas";
      static int serial = 0;
      name += "." + std::to_string(++serial) + ".png";
      if (auto dc = win32_detail::gdi::FindDC(dc_); dc && dc->surface)
        win32_detail::gdi::WriteSurfacePng(*dc->surface, (std::string(dir) + "/" + name).c_str());
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
  // The pixel as stored, whatever the DC's origin and clipping.
  COLORREF At(int x, int y) const {
    uint32_t p = bits_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  void Fill(COLORREF color) {
    uint32_t p = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    std::fill(const_cast<uint32_t*>(bits_), const_cast<uint32_t*>(bits_) + width_ * height_, p);
  }
  // Pixels of a colour inside a rectangle.
  int Count(COLORREF color, RECT r) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += At(x, y) == color;
    return n;
  }
  int Count(COLORREF color) const { return Count(color, RECT{0, 0, width_, height_}); }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  const uint32_t* bits_ = nullptr;
};

inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kRed = RGB(255, 0, 0);
inline constexpr COLORREF kGreen = RGB(0, 255, 0);
inline constexpr COLORREF kBlue = RGB(0, 0, 255);

// A font of the test face: cell height h, every character h / 2 wide (or width), ink from the
// cell top to the baseline (h - h / 4) and one column narrower than the advance.
inline HFONT TestFont(int height, int width = 0, int escapement = 0, bool underline = false, bool strike = false) {
  return CreateFontA(height, width, escapement, escapement, FW_NORMAL, FALSE, underline, strike, ANSI_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Corvane Test Box");
}
