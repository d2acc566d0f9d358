#pragma once
// What the menu tests share: a 32-bit canvas with direct pixel reads, the test face as the menu
// font, the style put back after each test, and draw and measure requests for one item.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "testing/ui_driver.h"
#include "menus/styled_menu.h"

namespace menus_test {

inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
// The default scheme's colours the looks use.
inline constexpr COLORREF kHighlight = RGB(49, 106, 197);
inline constexpr COLORREF kGrayText = RGB(172, 168, 153);
inline constexpr COLORREF kMenuBar = RGB(236, 233, 216);
inline constexpr COLORREF kWarmBar = RGB(163, 194, 245);
// The test face at a cell height of 13: every character 6 pixels wide, ink 5 wide from the cell
// top down to the baseline, 10 rows.
inline constexpr int kFontHeight = 13;
inline constexpr int kCharWidth = 6;
inline constexpr int kInkRows = 10;

class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill = RGB(1, 2, 3)) : width_(width), height_(height) {
    BITMAPINFO bmi{};
    bmi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<uint32_t*>(bits);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
    for (int i = 0; i < width * height; ++i)
      bits_[i] = (GetRValue(fill) << 16) | (GetGValue(fill) << 8) | GetBValue(fill);
  }
  ~Canvas() {
    if (std::getenv("DUMP_DIR")) {
      const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
      std::string path = std::string(info->test_suite_name()) + "." + info->name() + "." + std::to_string(serial_++);
      testing_ui::Image image;
      image.width = width_;
      image.height = height_;
      for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) image.pixels.push_back(At(x, y));
      testing_ui::UiDriver::Dump(image, path);
    }
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const {
    uint32_t v = bits_[y * width_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  int Count(COLORREF c, RECT r) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += At(x, y) == c;
    return n;
  }

 private:
  int width_, height_;
  HBITMAP bitmap_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
  static inline int serial_ = 0;
};

// A plain top-level window (a pop-up, hidden unless asked).
inline HWND PlainWindow(RECT r = RECT{0, 0, 10, 10}, DWORD style = WS_POPUP) {
  static const ATOM registered = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "MenusTestPlain";
    return RegisterClassA(&wc);
  }();
  return registered ? CreateWindowExA(0, "MenusTestPlain", "", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                      nullptr, nullptr, nullptr, nullptr)
                    : nullptr;
}

// Every menu test runs with the test face as the menu font and leaves the style as it found it.
class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CStyledMenu::GetMenuFont(&savedFont_);
    savedStyle_ = CStyledMenu::GetMenuDrawMode();
    LOGFONT font{};
    font.lfHeight = kFontHeight;
    font.lfWeight = FW_NORMAL;
    std::strcpy(font.lfFaceName, "Corvane Test Box");
    CStyledMenu::SetMenuFont(font);
  }
  void TearDown() override {
    CStyledMenu::SetMenuFont(savedFont_);
    CStyledMenu::SetMenuDrawMode(savedStyle_);
    CStyledMenu::SetSelectDisabled(TRUE);
    CStyledMenu::SetIconVariants(TRUE);
  }

  // Measures the item at position the way the system asks.
  static SIZE Measure(CStyledMenu& menu, int position) {
    MEASUREITEMSTRUCT request{ODT_MENU, 0, GetMenuItemID(menu.m_hMenu, position), 0, UINT(GetSystemMetrics(SM_CYMENU)),
                              reinterpret_cast<ULONG_PTR>(menu.Items().at(size_t(position)))};
    menu.MeasureItem(&request);
    return SIZE{LONG(request.itemWidth), LONG(request.itemHeight)};
  }

  // Draws the item at position into rect of the canvas with the given state bits.
  static void Draw(CStyledMenu& menu, int position, Canvas& canvas, RECT rect, UINT state = 0) {
    DRAWITEMSTRUCT request{ODT_MENU, 0, GetMenuItemID(menu.m_hMenu, position), ODA_DRAWENTIRE, state,
                           reinterpret_cast<HWND>(menu.m_hMenu), canvas.dc(), rect,
                           reinterpret_cast<ULONG_PTR>(menu.Items().at(size_t(position)))};
    menu.DrawItem(&request);
  }

 private:
  LOGFONT savedFont_{};
  int savedStyle_ = 2;
};

}  // namespace menus_test
