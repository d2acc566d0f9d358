// Without flat menus (a process of its own) the library's pop-ups carry a 3D border and a drop
// shadow made from the screen under the window, captured before the menu painted.
#include <cstdlib>
#include <vector>

#include "colour_ops.h"
#include "menu_test_support.h"
#include "menu_window.h"
#include "testing/ui_driver.h"

namespace menus_test {
namespace {

using styled_menu::Darken;
using testing_ui::Image;
using testing_ui::UiDriver;

// What lies under the menus: a pattern that differs from pixel to pixel, so that a shadow pixel
// shows where its colour came from.
COLORREF Pattern(int x, int y) { return RGB((x * 7) & 0xFF, (y * 5) & 0xFF, ((x + y) * 3) & 0xFF); }

class PatternOwner : public CWnd {
 public:
  PatternOwner() { CreateEx(0, nullptr, "Owner", WS_POPUP | WS_VISIBLE, 0, 0, 600, 400, nullptr, nullptr); }
  ~PatternOwner() override { DestroyWindow(); }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_PAINT) {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(m_hWnd, &ps);
      for (int y = ps.rcPaint.top; y < ps.rcPaint.bottom; ++y)
        for (int x = ps.rcPaint.left; x < ps.rcPaint.right; ++x) SetPixelV(dc, x, y, Pattern(x, y));
      ::EndPaint(m_hWnd, &ps);
      return 0;
    }
    LRESULT result = CWnd::WindowProc(message, wParam, lParam);
    if (message == WM_INITMENUPOPUP)
      CStyledMenu::InitMenuPopup(m_hWnd, reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam));
    return result;
  }
};

class ShadowTest : public MenuTest {
 protected:
  void SetUp() override {
    if (!std::getenv("CORVANE_FLATMENUS")) GTEST_SKIP() << "runs in the process without flat menus";
    MenuTest::SetUp();
    ui.Pump();  // the owner is painted
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, 32769, "Options");
    menu.AppendMenu(MF_SEPARATOR, 32770);
    menu.AppendMenu(MF_STRING, 32771, "Blue");
  }

  // The shadow: 4 columns right of the border and 4 rows below it, each pixel the one under the
  // window darkened, most next to the menu and fading at the ends.
  static void ExpectShadow(const Image& shot, const RECT& window) {
    const int width = window.right - window.left, height = window.bottom - window.top;
    auto under = [&](int x, int y) { return Pattern(window.left + x, window.top + y); };
    for (int i = 1; i <= 4; ++i) {
      const int x = width - i;
      for (int y : {0, 3}) EXPECT_EQ(shot.At(x, y), under(x, y)) << x << "," << y;
      EXPECT_EQ(shot.At(x, 5), Darken(i * 6 * 2, under(x, 5))) << x;
      EXPECT_EQ(shot.At(x, height / 2), Darken(i * 30, under(x, height / 2))) << x;
      EXPECT_EQ(shot.At(x, height - 1), Darken(i * 6, under(x, height - 1))) << x;
    }
    for (int j = 1; j <= 4; ++j) {
      const int y = height - j;
      for (int x : {0, 3}) EXPECT_EQ(shot.At(x, y), under(x, y)) << x << "," << y;
      EXPECT_EQ(shot.At(5, y), Darken((5 * 6 - 18) * j, under(5, y))) << y;
      EXPECT_EQ(shot.At(width / 2, y), Darken(j * 30, under(width / 2, y))) << y;
    }
  }

  UiDriver ui;
  PatternOwner owner;
  CStyledMenu menu;
};

TEST_F(ShadowTest, FlatLookPopUpDarkensExactlyThePixelsBesideAndBelowIt) {
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP_GRADIENT);
  RECT window{}, client{};
  ui.AnswerMenu([&](UiDriver& driver, HWND) {
    HWND shown = UiDriver::OpenMenuWindows().at(0);
    GetWindowRect(shown, &window);
    GetClientRect(shown, &client);
    const Image shot = UiDriver::CaptureWindow(shown);
    UiDriver::Dump(shot, "shadow");
    ExpectShadow(shot, window);
    const int width = window.right - window.left, height = window.bottom - window.top;
    // The border round the window less the shadow, in darken(128) of the menu colour.
    const COLORREF border = Darken(128, GetSysColor(COLOR_MENU));
    EXPECT_EQ(shot.At(0, 0), border);
    EXPECT_EQ(shot.At(width - 5, height / 2), border);
    EXPECT_EQ(shot.At(width / 2, height - 5), border);
    // Nothing beyond the window changed.
    const Image screen = UiDriver::CaptureScreen();
    for (int y = window.top; y < window.bottom + 3; ++y)
      EXPECT_EQ(screen.At(window.right, y), Pattern(window.right, y)) << y;
    for (int x = window.left; x < window.right + 3; ++x)
      EXPECT_EQ(screen.At(x, window.bottom), Pattern(x, window.bottom)) << x;
    driver.DismissMenu();
  });
  menu.TrackPopupMenu(TPM_RETURNCMD, 100, 40, &owner);
  // Items + 3 a side, grown by 2; the client area inset 2 left and top, 5 right, 6 bottom.
  EXPECT_EQ(window.right - window.left, 73 + MENU_OWNERDRAW_EXTRA + 8);
  EXPECT_EQ(window.bottom - window.top, 22 + 3 + 22 + 8);
  EXPECT_EQ(client.right, 73 + MENU_OWNERDRAW_EXTRA + 1);
  EXPECT_EQ(client.bottom, 22 + 3 + 22);
  // The shadow is drawn over what was there: after the menu the screen shows the owner again.
  ui.Pump();
  const Image after = UiDriver::CaptureScreen();
  EXPECT_EQ(after.At(window.right - 2, window.top + 10), Pattern(window.right - 2, window.top + 10));
}

TEST_F(ShadowTest, ClassicLookHasAHighlightBorderAndTheSameShadow) {
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_CLASSIC);
  ui.AnswerMenu([&](UiDriver& driver, HWND) {
    HWND shown = UiDriver::OpenMenuWindows().at(0);
    RECT window{};
    GetWindowRect(shown, &window);
    const Image shot = UiDriver::CaptureWindow(shown);
    ExpectShadow(shot, window);
    EXPECT_EQ(shot.At(0, 0), kHighlight);
    EXPECT_EQ(shot.At(shot.width - 5, 10), kHighlight);
    driver.DismissMenu();
  });
  menu.TrackPopupMenu(TPM_RETURNCMD, 100, 40, &owner);
}

TEST_F(ShadowTest, SystemFrameStyleHasNoShadow) {
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP_GRADIENT_SYSTEMFRAME);
  ui.AnswerMenu([&](UiDriver& driver, HWND) {
    HWND shown = UiDriver::OpenMenuWindows().at(0);
    RECT window{}, client{};
    GetWindowRect(shown, &window);
    GetClientRect(shown, &client);
    EXPECT_EQ(window.right - window.left, client.right + 2 * MENU_POPUP_FRAME);
    EXPECT_TRUE(GetWindowLongA(shown, GWL_STYLE) & WS_BORDER);
    const Image shot = UiDriver::CaptureWindow(shown);
    EXPECT_NE(shot.At(shot.width - 1, shot.height / 2), Darken(30, Pattern(window.right - 1, window.top + shot.height / 2)));
    driver.DismissMenu();
  });
  menu.TrackPopupMenu(TPM_RETURNCMD, 100, 40, &owner);
}

TEST_F(ShadowTest, MovingRetakesTheCaptureAndMovingWithAResizeLetsTheWindowGo) {
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP_GRADIENT);
  ui.AnswerMenu([&](UiDriver& driver, HWND) {
    HWND shown = UiDriver::OpenMenuWindows().at(0);
    RECT before{};
    GetWindowRect(shown, &before);
    SetWindowPos(shown, nullptr, before.left + 200, before.top + 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    driver.Pump();
    RECT window{};
    GetWindowRect(shown, &window);
    EXPECT_EQ(window.left, before.left + 200);
    RedrawWindow(shown, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ExpectShadow(UiDriver::CaptureWindow(shown), window);
    EXPECT_NE(styled_menu::FindMenuWindow(shown), nullptr);

    SetWindowPos(shown, nullptr, window.left + 10, window.top, window.right - window.left + 10,
                 window.bottom - window.top, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(styled_menu::FindMenuWindow(shown), nullptr);
    EXPECT_EQ(GetPropA(shown, "OldMenuProc"), nullptr);
    EXPECT_NE(GetWindowLongPtrA(shown, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(styled_menu::MenuWindowProcedure));
    // The system's styles are back.
    EXPECT_TRUE(GetWindowLongA(shown, GWL_STYLE) & WS_BORDER);
    driver.DismissMenu();
  });
  menu.TrackPopupMenu(TPM_RETURNCMD, 100, 40, &owner);
}

}  // namespace
}  // namespace menus_test
