#pragma once
// Shared pieces of the common control tests: a pop-up parent whose behaviour each test sets and
// which records the notifications it gets, the box test face (5 x 10 pixel characters), and a
// fixture that leaves no window behind.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "testing/ui_driver.h"
#include "win32/windows.h"

namespace win32_test {

// Handles a message itself (returns true and sets *result) or leaves it to DefWindowProc.
using Handler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)>;

inline Handler& CurrentHandler() {
  static Handler handler;
  return handler;
}

inline LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (CurrentHandler() && CurrentHandler()(hwnd, msg, wParam, lParam, &result)) return result;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// A screen point inside a window, from its client coordinates.
inline POINT At(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  return p;
}

class ComctlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static const bool registered = [] {
      WNDCLASSA wc{};
      wc.style = CS_DBLCLKS;
      wc.lpfnWndProc = ParentProc;
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
      wc.lpszClassName = "ComctlTestWindow";
      return RegisterClassA(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
    font = CreateFontA(-10, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH, "Corvane Test Box");
    parent = Window(nullptr, WS_POPUP | WS_VISIBLE, 40, 30, 400, 300);
    ui.Pump();
  }
  void TearDown() override {
    CurrentHandler() = nullptr;  // it may refer to the finished test's variables
    for (HWND w : windows) {
      if (IsWindow(w)) DestroyWindow(w);
    }
    ui.Pump();
    DeleteObject(font);
  }
  // A window of the test class (a pop-up, or a child of owner with WS_CHILD), remembered for
  // clean-up.
  HWND Window(HWND owner, DWORD style, int x, int y, int width, int height, int id = 0) {
    HWND w = CreateWindowExA(0, "ComctlTestWindow", "", style, x, y, width, height, owner,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    EXPECT_NE(w, nullptr);
    windows.push_back(w);
    return w;
  }

  testing_ui::UiDriver ui;
  HFONT font = nullptr;
  HWND parent = nullptr;
  std::vector<HWND> windows;
};

}  // namespace win32_test
