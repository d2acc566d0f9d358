// The program itself on a virtual X server: build/bin/corvane starts in a program folder of its
// own, shows its main window, takes three files through the Add button and the open dialog, and
// closes with its close button, writing its settings. With DUMP_DIR set, the main window with its
// file list is written there as corvane_main_window.png (the picture in the README).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "converter_dlg.h"
#include "skin/skin_package.h"
#include "testing/media_fixtures.h"
#include "testing/sandbox.h"
#include "testing/ui_driver.h"
#include "testing/xvfb_server.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/XKBlib.h>
#include <X11/keysym.h>

namespace {

namespace fs = std::filesystem;

using Clock = std::chrono::steady_clock;
// Only keeps a broken program from hanging the test.
constexpr auto kPatience = std::chrono::seconds(60);

std::string Posix(CString path) {
  std::string text(path.GetString());
  std::replace(text.begin(), text.end(), '\\', '/');
  return text;
}

// Waits for the next X event, at most until the deadline.
bool NextEvent(Display* x, XEvent* event, Clock::time_point deadline) {
  while (!XPending(x)) {
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    fd_set fds;
    FD_ZERO(&fds);
    FD_SET(ConnectionNumber(x), &fds);
    timeval timeout{static_cast<time_t>(left.count() / 1000000), static_cast<suseconds_t>(left.count() % 1000000)};
    select(ConnectionNumber(x) + 1, &fds, nullptr, nullptr, &timeout);
  }
  XNextEvent(x, event);
  return true;
}

// The next top-level window the server maps.
::Window WaitForMappedWindow(Display* x) {
  const auto deadline = Clock::now() + kPatience;
  XEvent event;
  while (NextEvent(x, &event, deadline))
    if (event.type == MapNotify) return event.xmap.window;
  return 0;
}

bool WaitForUnmap(Display* x, ::Window window) {
  const auto deadline = Clock::now() + kPatience;
  XEvent event;
  while (NextEvent(x, &event, deadline))
    if ((event.type == UnmapNotify && event.xunmap.window == window) ||
        (event.type == DestroyNotify && event.xdestroywindow.window == window))
      return true;
  return false;
}

CRect RectOf(Display* x, ::Window window) {
  XWindowAttributes attributes{};
  XGetWindowAttributes(x, window, &attributes);
  int left = 0, top = 0;
  ::Window child;
  XTranslateCoordinates(x, window, DefaultRootWindow(x), 0, 0, &left, &top, &child);
  return CRect(left, top, left + attributes.width, top + attributes.height);
}

void Click(Display* x, ::Window window, CPoint screen) {
  const CRect at = RectOf(x, window);
  for (int type : {ButtonPress, ButtonRelease}) {
    XEvent event{};
    event.xbutton.type = type;
    event.xbutton.window = window;
    event.xbutton.root = DefaultRootWindow(x);
    event.xbutton.x = screen.x - at.left;
    event.xbutton.y = screen.y - at.top;
    event.xbutton.x_root = screen.x;
    event.xbutton.y_root = screen.y;
    event.xbutton.button = Button1;
    event.xbutton.same_screen = True;
    XSendEvent(x, window, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &event);
  }
  XFlush(x);
}

void Key(Display* x, ::Window window, KeyCode code, bool down) {
  XEvent event{};
  event.xkey.type = down ? KeyPress : KeyRelease;
  event.xkey.window = window;
  event.xkey.root = DefaultRootWindow(x);
  event.xkey.keycode = code;
  event.xkey.same_screen = True;
  XSendEvent(x, window, True, down ? KeyPressMask : KeyReleaseMask, &event);
}

void Type(Display* x, ::Window window, const std::string& text) {
  const KeyCode shift = XKeysymToKeycode(x, XK_Shift_L);
  for (char c : text) {
    const KeySym symbol = c == '"' ? XK_quotedbl : c == ' ' ? XK_space : c == '.' ? XK_period : KeySym(c);
    const KeyCode code = XKeysymToKeycode(x, symbol);
    const bool shifted = XkbKeycodeToKeysym(x, code, 0, 0) != symbol;
    if (shifted) Key(x, window, shift, true);
    Key(x, window, code, true);
    Key(x, window, code, false);
    if (shifted) Key(x, window, shift, false);
  }
  Key(x, window, XKeysymToKeycode(x, XK_Return), true);
  Key(x, window, XKeysymToKeycode(x, XK_Return), false);
  XFlush(x);
}

struct Screenshot {
  testing_ui::Image image;
  COLORREF At(int px, int py) const { return image.At(px, py); }
};

Screenshot Capture(Display* x, const CRect& rect) {
  Screenshot shot;
  XImage* screen = XGetImage(x, DefaultRootWindow(x), rect.left, rect.top, rect.Width(), rect.Height(), AllPlanes,
                             ZPixmap);
  shot.image.width = rect.Width();
  shot.image.height = rect.Height();
  for (int py = 0; py < rect.Height(); ++py) {
    for (int px = 0; px < rect.Width(); ++px) {
      const unsigned long p = XGetPixel(screen, px, py);
      shot.image.pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    }
  }
  XDestroyImage(screen);
  return shot;
}

TEST(CorvaneOnX11, TheProgramShowsItsWindowTakesFilesAndClosesCleanly) {
  XvfbServer server;
  ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
  Display* x = XOpenDisplay(server.Name().c_str());
  ASSERT_TRUE(x);
  XSetWindowBackground(x, DefaultRootWindow(x), 0xE2E8F0);
  XClearWindow(x, DefaultRootWindow(x));
  XSelectInput(x, DefaultRootWindow(x), SubstructureNotifyMask);
  XSync(x, False);

  // The program folder: the program, its modules, the skin, the fonts and the shipped profiles.
  const std::string bin = Posix(CConverterDlg::GetProgramFolder());
  const std::string folder = testing_support::SandboxDir() + "/corvane";
  fs::remove_all(folder);
  fs::create_directories(folder);
  fs::copy_file(bin + "/corvane", folder + "/corvane");
  for (const char* name : {"Tessary.ocx", "Lumet.ax", "Halden.dll", "Default.skn", "fonts.conf"})
    fs::create_symlink(bin + "/" + name, folder + "/" + name);
  fs::copy(bin + "/MyProfile", folder + "/MyProfile", fs::copy_options::recursive);
  testing_support::ClipOptions clip;
  clip.format = "avi";
  clip.videoEncoder = "mpeg4";
  for (const char* name : {"Beach.avi", "Harbour.avi", "Market.avi"})
    ASSERT_EQ(testing_support::MakeClip(folder + "/" + name, clip), "");

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    setenv("DISPLAY", server.Name().c_str(), 1);
    setenv("CORVANE_DISPLAY", "x11", 1);
    setenv("CORVANE_CLOCK", "real", 1);
    setenv("CORVANE_REGISTRY", (folder + "/registry.txt").c_str(), 1);
    execl((folder + "/corvane").c_str(), "corvane", static_cast<char*>(nullptr));
    _exit(127);
  }
  const ::Window main = WaitForMappedWindow(x);
  ASSERT_NE(main, 0u) << "the main window did not appear";

  // Where the default skin puts its buttons.
  std::optional<SkinModel> skin = LoadSkinPackage((bin + "/Default.skn").c_str(), SkinFaceKind::Main, RGB(255, 0, 255));
  ASSERT_TRUE(skin);
  auto button = [&](const char* name) {
    const SkinButtonInfo* info = FindSkinElement(skin->buttons, name);
    EXPECT_NE(info, nullptr) << name;
    const CRect window = RectOf(x, main);
    return info ? CPoint(window.left + info->rect.CenterPoint().x, window.top + info->rect.CenterPoint().y) : CPoint();
  };
  const CRect window = RectOf(x, main);
  EXPECT_EQ(window.Width(), skin->background.Width());
  EXPECT_EQ(window.Height(), skin->background.Height());

  Click(x, main, button("BUTTON_ADD"));
  const ::Window open = WaitForMappedWindow(x);
  ASSERT_NE(open, 0u) << "the open dialog did not appear";
  Type(x, open, "\"Beach.avi\" \"Harbour.avi\" \"Market.avi\"");
  ASSERT_TRUE(WaitForUnmap(x, open));

  // The list shows the rows once the main window has painted them: something other than the
  // skin's background appears in the list's area.
  ASSERT_FALSE(skin->listBoxes.empty());
  const CRect list = skin->listBoxes[0].rect;
  HDC memory = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(memory, skin->background.Get());
  const COLORREF listBack = ::GetPixel(memory, list.left + 2, list.bottom - 3);
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
  Screenshot shot;
  bool rowsShown = false;
  const auto deadline = Clock::now() + kPatience;
  while (!rowsShown && Clock::now() < deadline) {
    XSync(x, False);
    shot = Capture(x, window);
    for (int py = list.top + 2; py < list.top + 20 && !rowsShown; ++py)
      for (int px = list.left + 40; px < list.left + 200 && !rowsShown; ++px)
        rowsShown = shot.At(px, py) != listBack;
    XEvent event;
    NextEvent(x, &event, Clock::now() + std::chrono::milliseconds(50));
  }
  EXPECT_TRUE(rowsShown) << "no rows in the file list";
  testing_ui::UiDriver::Dump(shot.image, "corvane_main_window");

  Click(x, main, button("BUTTON_EXIT"));
  int status = -1;
  while (Clock::now() < deadline + kPatience) {
    if (waitpid(child, &status, WNOHANG) == child) break;
    XEvent event;
    NextEvent(x, &event, Clock::now() + std::chrono::milliseconds(50));
  }
  if (waitpid(child, nullptr, WNOHANG) == 0) kill(child, SIGKILL);
  ASSERT_TRUE(WIFEXITED(status)) << "the program did not end";
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::ifstream settings(folder + "/mysetting.ini");
  std::string first;
  std::getline(settings, first);
  EXPECT_EQ(first.substr(0, 9), "[SETTING]");
  XCloseDisplay(x);
}

}  // namespace
