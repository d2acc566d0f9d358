#pragma once
// Shared pieces of the window layer tests: a window class whose behaviour each test sets, a
// WH_CALLWNDPROC hook that records what is sent, and a fixture that leaves no window behind.
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "user/display.h"
#include "win32/windows.h"

namespace win32_test {

namespace wu = win32::user;

// Handles a message itself (returns true and sets *result) or leaves it to DefWindowProc.
using Handler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)>;

inline Handler& CurrentHandler() {
  static Handler handler;
  return handler;
}

// Messages that reached the class's procedure, in order, by any path.
inline std::vector<std::pair<HWND, UINT>>& Received() {
  static std::vector<std::pair<HWND, UINT>> received;
  return received;
}

inline LRESULT CALLBACK TestProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Received().push_back({hwnd, msg});
  LRESULT result = 0;
  if (CurrentHandler() && CurrentHandler()(hwnd, msg, wParam, lParam, &result)) return result;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// "TestWindow": white background, no class styles; "TestDblClk": CS_DBLCLKS.
inline void RegisterTestClasses() {
  static bool done = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = TestProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "TestWindow";
    RegisterClassA(&wc);
    wc.style = CS_DBLCLKS;
    wc.lpszClassName = "TestDblClk";
    RegisterClassA(&wc);
    return true;
  }();
  (void)done;
}

// Records every message sent on this thread as the hook sees it.
class SendRecorder {
 public:
  SendRecorder() {
    Self() = this;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
  }
  ~SendRecorder() {
    UnhookWindowsHookEx(hook_);
    Self() = nullptr;
  }
  // The messages sent to one window, in order.
  std::vector<UINT> To(HWND hwnd) const {
    std::vector<UINT> out;
    for (auto& [h, m] : log) {
      if (h == hwnd) out.push_back(m);
    }
    return out;
  }
  std::vector<std::pair<HWND, UINT>> log;

 private:
  static SendRecorder*& Self() {
    static SendRecorder* self = nullptr;
    return self;
  }
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    auto* cwp = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (Self()) Self()->log.push_back({cwp->hwnd, cwp->message});
    return CallNextHookEx(Self() ? Self()->hook_ : nullptr, code, wParam, lParam);
  }
  HHOOK hook_;
};

class UserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestClasses();
    CurrentHandler() = nullptr;
    Received().clear();
  }
  void TearDown() override {
    CurrentHandler() = nullptr;
    ReleaseCapture();
    std::vector<HWND> tops;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND h, LPARAM l) {
      reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
      return TRUE;
    }, reinterpret_cast<LPARAM>(&tops));
    for (HWND h : tops) DestroyWindow(h);
    wu::PumpUntilIdle();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  static HWND Top(int x, int y, int w, int h, DWORD style = WS_POPUP | WS_VISIBLE, DWORD ex = 0,
                  const char* cls = "TestWindow") {
    return CreateWindowExA(ex, cls, "top", style, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
  }
  static HWND Child(HWND parent, int x, int y, int w, int h, DWORD style = WS_CHILD | WS_VISIBLE, int id = 0,
                    const char* cls = "TestWindow") {
    return CreateWindowExA(0, cls, "child", style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
  }
  static RECT WindowRect(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    return r;
  }
};

}  // namespace win32_test
