// Choosing the display at start-up. Once started, the X display stays for the process, so all
// choices are made in one test, the working one last.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "win32/display.h"
#include "win32/windows.h"
#include "testing/xvfb_server.h"

#include <X11/Xlib.h>

namespace {

TEST(StartDisplayBackend, ChoosesByTheEnvironmentAndShowsWindowsOnX) {
  XvfbServer server;
  ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";

  setenv("CORVANE_DISPLAY", "wayland", 1);
  EXPECT_FALSE(StartDisplayBackend());
  setenv("CORVANE_DISPLAY", "x11", 1);
  unsetenv("DISPLAY");
  EXPECT_FALSE(StartDisplayBackend());
  setenv("DISPLAY", ":bogus", 1);
  EXPECT_FALSE(StartDisplayBackend());
  unsetenv("CORVANE_DISPLAY");
  EXPECT_FALSE(StartDisplayBackend());  // DISPLAY set but unusable
  setenv("CORVANE_DISPLAY", "headless", 1);
  EXPECT_TRUE(StartDisplayBackend());
  unsetenv("CORVANE_DISPLAY");
  unsetenv("DISPLAY");
  EXPECT_TRUE(StartDisplayBackend());  // no display: headless

  // Watch the server for a window being mapped before the program's window appears.
  Display* watch = XOpenDisplay(server.Name().c_str());
  ASSERT_TRUE(watch);
  XSelectInput(watch, DefaultRootWindow(watch), SubstructureNotifyMask);
  XSync(watch, False);

  setenv("DISPLAY", server.Name().c_str(), 1);
  ASSERT_TRUE(StartDisplayBackend());
  EXPECT_TRUE(StartDisplayBackend());

  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "StartTest";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(0, "StartTest", "Started", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 30, 160, 100, nullptr,
                              nullptr, nullptr, nullptr);
  ASSERT_TRUE(hwnd);

  // The window appears while this thread waits for messages; the watcher then ends the wait.
  const DWORD self = GetCurrentThreadId();
  XWindowAttributes seen{};
  std::thread watcher([&] {
    XEvent ev;
    do {
      XNextEvent(watch, &ev);
    } while (ev.type != MapNotify);
    XGetWindowAttributes(watch, ev.xmap.window, &seen);
    PostThreadMessageA(self, WM_QUIT, 0, 0);
  });
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  watcher.join();
  XCloseDisplay(watch);

  EXPECT_EQ(seen.x, 40);
  EXPECT_EQ(seen.y, 30);
  EXPECT_EQ(seen.width, 160);
  EXPECT_EQ(seen.height, 100);
}

}  // namespace
