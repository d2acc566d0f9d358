#pragma once
// A 32-bit memory DC held by a CDC, with direct pixel reads. When DUMP_DIR is set, what the
// test drew is written there as <suite>.<test>.<n>.png when the canvas goes away.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "mfc/afxwin.h"
#include "testing/ui_driver.h"

class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
    dc.CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_.Attach(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<uint32_t*>(bits);
    old_ = ::SelectObject(dc, bitmap_);
    dc.FillSolidRect(0, 0, width, height, fill);
    dc.SetBkColor(RGB(255, 255, 255));
  }
  ~Canvas() {
    if (std::getenv("DUMP_DIR")) {
      const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
      static int serial = 0;
      testing_ui::Image image;
      image.width = width_;
      image.height = height_;
      for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) image.pixels.push_back(At(x, y));
      testing_ui::UiDriver::Dump(image, std::string(test ? test->test_suite_name() : "canvas") + "." +
                                            (test ? test->name() : "") + "." + std::to_string(++serial));
    }
    ::SelectObject(dc, old_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  COLORREF At(int x, int y) const {
    uint32_t p = bits_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

  CDC dc;

 private:
  int width_;
  int height_;
  CBitmap bitmap_;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
};

inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kRed = RGB(255, 0, 0);
inline constexpr COLORREF kGreen = RGB(0, 255, 0);
inline constexpr COLORREF kBlue = RGB(0, 0, 255);
