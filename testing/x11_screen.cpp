#include "testing/x11_screen.h"

#include "user/display.h"
#include "x11/x11_display.h"

namespace testing_ui {

X11Screen::X11Screen(const std::string& displayName) : display_(win32::x11::X11Display::Open(displayName.c_str())) {}

X11Screen::~X11Screen() = default;

void X11Screen::Sync() {
  win32::user::PumpUntilIdle();
  if (display_) display_->Sync();
}

unsigned long X11Screen::XWindowOf(HWND hwnd) const { return display_ ? display_->XWindowOf(hwnd) : 0; }

}  // namespace testing_ui
