#pragma once
// The X11 display back end: every visible top-level window of the layer is an X window at the
// same place and size, shaped by its window region, showing the framebuffer's pixels there.
// Pop-ups (caption-less WS_POPUP windows that are owned, tool windows, topmost or
// non-activating ones: menus, drop lists, tips) bypass the window manager; the other windows
// are managed but undecorated, since the layer draws their frames. X input becomes the layer's
// hardware input; moves by the window manager and its close requests go back to the layer.
#include <memory>

#include "user/display.h"
#include "win32/winuser.h"

namespace win32::x11 {

class X11Display : public user::ScreenObserver {
 public:
  // Connects to the named display (null: $DISPLAY), becomes the screen observer and the calling
  // thread's idle handler, and shows the visible top-level windows. Null when the display
  // cannot be opened or shows no true colour; why is written to stderr.
  static std::unique_ptr<X11Display> Open(const char* name);
  // Hands the screen back to the headless framebuffer; on the thread that opened it.
  ~X11Display() override;
  X11Display(const X11Display&) = delete;
  X11Display& operator=(const X11Display&) = delete;

  // Brings the X windows up to date with the layer (windows, shapes, titles, cursor, changed
  // pixels) and turns every X event that has arrived into the layer's input or window changes.
  // True when that gave the thread something to do. The idle handler calls it.
  bool Sync();

  // The X window showing a top-level window (0 when there is none).
  unsigned long XWindowOf(HWND hwnd) const;

  void ScreenChanged(const RECT& area) override;
  void TopLevelChanged(HWND hwnd) override;

 private:
  struct State;
  explicit X11Display(std::unique_ptr<State> state);
  std::unique_ptr<State> s_;
};

}  // namespace win32::x11
