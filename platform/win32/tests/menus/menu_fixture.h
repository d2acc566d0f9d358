#pragma once
// Shared pieces of the menu tests: an owner window that records every message with its
// parameters and measures and draws owner-drawn items in a known way, a WH_CALLWNDPROC recorder,
// and a fixture with a UI driver that leaves no window or menu loop behind.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "testing/ui_driver.h"
#include "win32/windows.h"

namespace win32_test {

struct Logged {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// Owner-drawn items measure 40 x 20 and are filled with the colour in their item data.
constexpr UINT kOwnerDrawWidth = 40;
constexpr UINT kOwnerDrawHeight = 20;

struct Owner {
  std::vector<Logged> log;
  std::vector<DRAWITEMSTRUCT> drawn;
  std::vector<MEASUREITEMSTRUCT> measured;
  // Handles a message itself (returns true and sets *result).
  std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> handler;

  std::vector<UINT> Messages(std::initializer_list<UINT> only) const {
    std::vector<UINT> out;
    for (const Logged& l : log) {
      for (UINT m : only) {
        if (l.message == m) out.push_back(m);
      }
    }
    return out;
  }
  int Count(UINT message) const {
    int n = 0;
    for (const Logged& l : log) n += l.message == message;
    return n;
  }
};

inline Owner*& CurrentOwner() {
  static Owner* owner = nullptr;
  return owner;
}

inline LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Owner* o = CurrentOwner();
  if (o) o->log.push_back({hwnd, msg, wParam, lParam});
  LRESULT result = 0;
  if (o && o->handler && o->handler(hwnd, msg, wParam, lParam, &result)) return result;
  switch (msg) {
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      mis->itemWidth = kOwnerDrawWidth;
      mis->itemHeight = kOwnerDrawHeight;
      if (o) o->measured.push_back(*mis);
      return TRUE;
    }
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(dis->itemData));
      FillRect(dis->hDC, &dis->rcItem, brush);
      DeleteObject(brush);
      if (o) o->drawn.push_back(*dis);
      return TRUE;
    }
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

inline bool IsMenuWindow(HWND hwnd) {
  char name[16] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return std::string(name) == "#32768";
}

// Records what is sent on this thread as the hook sees it; "menu" marks sends to a "#32768"
// window (told while it lives).
class HookRecorder {
 public:
  struct Sent {
    HWND hwnd;
    UINT message;
    bool menu;
  };
  HookRecorder() {
    Self() = this;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
  }
  ~HookRecorder() {
    UnhookWindowsHookEx(hook_);
    Self() = nullptr;
  }
  std::vector<Sent> log;

 private:
  static HookRecorder*& Self() {
    static HookRecorder* self = nullptr;
    return self;
  }
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    auto* cwp = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (Self()) Self()->log.push_back({cwp->hwnd, cwp->message, IsMenuWindow(cwp->hwnd)});
    return CallNextHookEx(Self() ? Self()->hook_ : nullptr, code, wParam, lParam);
  }
  HHOOK hook_;
};

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static const bool registered = [] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = OwnerProc;
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
      wc.lpszClassName = "MenuOwner";
      return RegisterClassA(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
    CurrentOwner() = &owner_;
    ui_ = std::make_unique<testing_ui::UiDriver>();
  }

  void TearDown() override {
    std::vector<HWND> tops;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND h, LPARAM l) {
      reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
      return TRUE;
    }, reinterpret_cast<LPARAM>(&tops));
    for (HWND h : tops) DestroyWindow(h);
    ui_->Pump();
    ui_.reset();
    CurrentOwner() = nullptr;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  // A shown, active owner window (keys reach the active window's thread).
  HWND MakeOwner(DWORD style = WS_POPUP | WS_VISIBLE, HMENU menu = nullptr, RECT r = {100, 100, 500, 400}) {
    HWND hwnd = CreateWindowExA(0, "MenuOwner", "Owner", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                nullptr, menu, nullptr, nullptr);
    SetActiveWindow(hwnd);
    ui_->Pump();
    owner_.log.clear();
    return hwnd;
  }

  testing_ui::UiDriver& ui() { return *ui_; }

  Owner owner_;
  std::unique_ptr<testing_ui::UiDriver> ui_;
};

}  // namespace win32_test
