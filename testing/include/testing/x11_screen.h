#pragma once
// The window layer shown on an X display a test started for itself, for tests that look at what
// the X server shows: the display served on the calling thread and the X window of a top-level
// window. No test driver may be alive meanwhile (both serve the thread's waits).
#include <memory>
#include <string>

#include "win32/windows.h"

namespace win32::x11 {
class X11Display;
}

namespace testing_ui {

class X11Screen {
 public:
  // Shows the layer's top-level windows on the named display; Opened() says whether it could.
  explicit X11Screen(const std::string& displayName);
  // Hands the screen back to the headless framebuffer.
  ~X11Screen();
  X11Screen(const X11Screen&) = delete;
  X11Screen& operator=(const X11Screen&) = delete;

  bool Opened() const { return display_ != nullptr; }
  // Dispatches what the thread has to do, then brings the X windows up to date with the layer.
  void Sync();
  // The X window showing a top-level window (0 when there is none).
  unsigned long XWindowOf(HWND hwnd) const;

 private:
  std::unique_ptr<win32::x11::X11Display> display_;
};

}  // namespace testing_ui
