#pragma once
// Shared pieces of the dialog and control tests: a dialog procedure whose behaviour each test
// sets and which records the commands it gets, templates in the box test face (5 x 11 pixel
// dialog base units), and a fixture that leaves no window behind.
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "testing/ui_driver.h"
#include "win32/windows.h"

namespace win32_test {

// WM_COMMAND as (control id, notification).
using Command = std::pair<int, int>;

struct Recorder {
  std::vector<Command> commands;
  std::vector<DRAWITEMSTRUCT> drawn;
  // Handles a message itself (returns true and sets *result) or leaves it to the dialog manager.
  std::function<bool(HWND, UINT, WPARAM, LPARAM, INT_PTR*)> handler;
  int Count(int id, int code) const {
    int n = 0;
    for (const Command& c : commands) n += c == Command{id, code};
    return n;
  }
};

inline Recorder*& CurrentRecorder() {
  static Recorder* recorder = nullptr;
  return recorder;
}

// Records WM_COMMAND and WM_DRAWITEM, ends the dialog on IDOK and IDCANCEL (modal dialogs).
inline INT_PTR CALLBACK RecordingProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  Recorder* r = CurrentRecorder();
  if (r && r->handler) {
    INT_PTR result = 0;
    if (r->handler(dlg, msg, wParam, lParam, &result)) return result;
  }
  switch (msg) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND:
      if (r) r->commands.push_back({LOWORD(wParam), HIWORD(wParam)});
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dlg, LOWORD(wParam));
      return TRUE;
    case WM_DRAWITEM:
      if (r) r->drawn.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
      return TRUE;
  }
  return FALSE;
}

// A template in the box test face, at (10, 10) dialog units.
template <size_t N>
DLGTEMPLATE Template(const DLGITEMTEMPLATE (&items)[N], DWORD extraStyle = 0, LPCSTR title = "Test") {
  return {static_cast<DWORD>(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | extraStyle), 0, 10, 10, 200, 120, title,
          "Corvane Test Box", 8, items, N, nullptr};
}

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { CurrentRecorder() = &rec; }
  void TearDown() override {
    rec.handler = nullptr;  // it may refer to the finished test's variables
    for (HWND w : windows) {
      if (IsWindow(w)) DestroyWindow(w);
    }
    ui.Pump();
    CurrentRecorder() = nullptr;
  }
  // A visible modeless dialog, active, remembered for clean-up.
  HWND Modeless(const DLGTEMPLATE& t, HWND owner = nullptr) {
    HWND dlg = CreateDialogIndirectParamA(nullptr, &t, owner, RecordingProc, 0);
    EXPECT_NE(dlg, nullptr);
    windows.push_back(dlg);
    ui.Pump();
    return dlg;
  }
  // A plain top-level window to own dialogs.
  HWND OwnerWindow() {
    static bool registered = [] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = DefWindowProcA;
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
      wc.lpszClassName = "DialogTestOwner";
      return RegisterClassA(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    HWND w = CreateWindowExA(0, "DialogTestOwner", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400, nullptr,
                             nullptr, nullptr, nullptr);
    windows.push_back(w);
    ui.Pump();
    return w;
  }
  POINT Center(HWND dlg, int id) { return testing_ui::UiDriver::CenterOf(GetDlgItem(dlg, id)); }

  testing_ui::UiDriver ui;
  Recorder rec;
  std::vector<HWND> windows;
};

}  // namespace win32_test
