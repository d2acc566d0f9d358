#include "win32/display.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "x11/x11_display.h"

BOOL StartDisplayBackend() {
  static std::mutex lock;
  // Lives as long as the process: windows may still change during static destruction.
  static win32::x11::X11Display* running = nullptr;
  std::lock_guard<std::mutex> guard(lock);
  if (running) return TRUE;
  const char* choice = std::getenv("CORVANE_DISPLAY");
  const char* display = std::getenv("DISPLAY");
  const bool haveDisplay = display && *display;
  bool x11 = haveDisplay;
  if (choice && *choice) {
    if (std::strcmp(choice, "headless") == 0) {
      x11 = false;
    } else if (std::strcmp(choice, "x11") == 0) {
      x11 = true;
    } else {
      std::fprintf(stderr, "CORVANE_DISPLAY is \"%s\"; use \"x11\" or \"headless\"\n", choice);
      return FALSE;
    }
  }
  if (!x11) return TRUE;  // the framebuffer is the screen
  if (!haveDisplay) {
    std::fprintf(stderr, "no X display: DISPLAY is not set (CORVANE_DISPLAY=headless runs without one)\n");
    return FALSE;
  }
  auto opened = win32::x11::X11Display::Open(nullptr);
  if (!opened) {
    std::fprintf(stderr, "set DISPLAY to a running X server, or CORVANE_DISPLAY=headless to run without one\n");
    return FALSE;
  }
  running = opened.release();
  return TRUE;
}
