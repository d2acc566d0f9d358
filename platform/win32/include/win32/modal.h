#pragma once
// The modal loops running on a thread (dialog boxes, message boxes, and any other modal loop
// that announces itself, such as the framework's dialogs), innermost last. A test driver looks
// here when the thread waits for input inside a modal loop, to give the scripted answer or to end
// the loop.
#include <functional>
#include <string>
#include <vector>

#include "win32/windlg.h"

namespace win32 {

struct ModalWindow {
  HWND hwnd = nullptr;
  bool messageBox = false;
  std::string caption;
  std::string text;  // a message box's message
  UINT type = 0;     // a message box's MB_* flags
  // Ends the loop without an answer (a dialog ends with IDCANCEL, a menu loop with no command).
  std::function<void()> cancel;
  bool menu = false;  // a menu loop: hwnd is its first pop-up window, or the window whose bar is open
};

// The calling thread's modal loops, the outermost first.
std::vector<ModalWindow> ModalStack();

// Announces a modal loop for as long as it lives.
class ModalScope {
 public:
  explicit ModalScope(ModalWindow window);
  ~ModalScope();
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  HWND hwnd_;
};

// The window inside a modal loop's owner that has the focus as the loop starts. The loop's own
// window takes the focus while it is made, before the owner is deactivated, so the owner could not
// keep it; it gets it back when it is active again after the loop.
class OwnerFocus {
 public:
  // Before the loop's window is made.
  explicit OwnerFocus(HWND owner);
  // After the loop's window is gone.
  void GiveBack() const;

 private:
  HWND owner_;
  HWND focus_;
};

}  // namespace win32
