#pragma once
// Shared pieces of the window class tests: a fixture that leaves no window or temporary wrapper
// behind, and a drain of the thread's queue.
#include <gtest/gtest.h>

#include "mfc/afxwnd.h"

namespace mfc_test {

inline void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

class WndTest : public ::testing::Test {
 protected:
  void TearDown() override {
    Pump();
    CWnd::DeleteTempMap();
  }
};

}  // namespace mfc_test
