// The X11 back end against a real X server: windows, pixels, shapes, pop-ups, input, moves by
// the window manager, close requests and waking a waiting thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "gdi/dc.h"
#include "win32/windows.h"
#include "x11/x11_display.h"
#include "x11/x11_keys.h"
#include "testing/xvfb_server.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>

namespace {

namespace wu = win32::user;
using win32::x11::X11Display;

struct Seen {
  std::vector<POINT> clicks;  // WM_LBUTTONDOWN, client coordinates
  std::vector<WPARAM> keys;   // WM_KEYDOWN
  std::vector<int> wheel;     // WM_MOUSEWHEEL deltas
  std::vector<HWND> closes;
};
Seen g_seen;

// Fills its client area with the colour in its user data, with a blue 20x10 block at the top
// left so that orientation shows; a close request is only recorded.
LRESULT CALLBACK TestProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r;
      GetClientRect(hwnd, &r);
      HBRUSH fill = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)));
      FillRect(dc, &r, fill);
      DeleteObject(fill);
      RECT mark{0, 0, 20, 10};
      HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
      FillRect(dc, &mark, blue);
      DeleteObject(blue);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN: g_seen.clicks.push_back({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_KEYDOWN: g_seen.keys.push_back(wParam); return 0;
    case WM_MOUSEWHEEL: g_seen.wheel.push_back(GET_WHEEL_DELTA_WPARAM(wParam)); return 0;
    case WM_CLOSE: g_seen.closes.push_back(hwnd); return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

class X11DisplayTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = new XvfbServer;
    WNDCLASSA wc{};
    wc.lpfnWndProc = TestProc;
    wc.lpszClassName = "X11Test";
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    RegisterClassA(&wc);
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }

  void SetUp() override {
    ASSERT_FALSE(server_->Name().empty()) << "Xvfb did not start";
    g_seen = Seen{};
    display_ = X11Display::Open(server_->Name().c_str());
    ASSERT_TRUE(display_);
    x_ = XOpenDisplay(server_->Name().c_str());
    ASSERT_TRUE(x_);
  }

  void TearDown() override {
    for (HWND hwnd : windows_) DestroyWindow(hwnd);
    wu::PumpUntilIdle();
    display_.reset();
    if (x_) XCloseDisplay(x_);
  }

  HWND Make(DWORD style, int x, int y, int cx, int cy, COLORREF color, HWND owner = nullptr, DWORD exStyle = 0) {
    HWND hwnd = CreateWindowExA(exStyle, "X11Test", "Corvane test", style, x, y, cx, cy, owner, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(color));
    windows_.push_back(hwnd);
    return hwnd;
  }

  // The layer's work, then the display's, then what that gave the layer to do.
  void Settle() {
    wu::PumpUntilIdle();
    display_->Sync();
    wu::PumpUntilIdle();
    display_->Sync();
  }

  ::Window XOf(HWND hwnd) const { return static_cast<::Window>(display_->XWindowOf(hwnd)); }

  XWindowAttributes Attributes(HWND hwnd) {
    XWindowAttributes a{};
    XGetWindowAttributes(x_, XOf(hwnd), &a);
    return a;
  }

  // An event as the server would deliver it, sent from the test's own connection.
  void Send(XEvent ev, long mask) {
    ev.xany.display = x_;
    XSendEvent(x_, ev.xany.window, False, mask, &ev);
    XSync(x_, False);
  }

  void Button(HWND hwnd, unsigned button, bool down, int xRoot, int yRoot) {
    XEvent ev{};
    ev.type = down ? ButtonPress : ButtonRelease;
    ev.xbutton.window = XOf(hwnd);
    ev.xbutton.root = DefaultRootWindow(x_);
    ev.xbutton.button = button;
    ev.xbutton.x_root = xRoot;
    ev.xbutton.y_root = yRoot;
    ev.xbutton.same_screen = True;
    Send(ev, down ? ButtonPressMask : ButtonReleaseMask);
  }

  void Key(HWND hwnd, KeySym sym, bool down) {
    XEvent ev{};
    ev.type = down ? KeyPress : KeyRelease;
    ev.xkey.window = XOf(hwnd);
    ev.xkey.root = DefaultRootWindow(x_);
    ev.xkey.keycode = XKeysymToKeycode(x_, sym);
    ev.xkey.same_screen = True;
    Send(ev, down ? KeyPressMask : KeyReleaseMask);
  }

  static inline XvfbServer* server_ = nullptr;
  std::unique_ptr<X11Display> display_;
  Display* x_ = nullptr;
  std::vector<HWND> windows_;
};

unsigned long RgbOfPixel(XImage* image, int x, int y) { return XGetPixel(image, x, y) & 0xFFFFFF; }

// The framebuffer's colour as the 24-bit X screen shows it.
unsigned long ScreenRgb(int x, int y) {
  const COLORREF c = wu::ScreenPixel(x, y);
  return (static_cast<unsigned long>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// Writes what the X server shows of a window as a PNG under DUMP_DIR (when set), for a look.
void DumpImage(XImage* image, const char* name) {
  const char* dir = std::getenv("DUMP_DIR");
  if (!dir || !*dir) return;
  std::vector<uint32_t> bits;
  for (int y = 0; y < image->height; ++y) {
    for (int x = 0; x < image->width; ++x) bits.push_back(static_cast<uint32_t>(RgbOfPixel(image, x, y)));
  }
  win32::gdi::Surface surface;
  surface.width = image->width;
  surface.height = image->height;
  surface.format = win32::gdi::PixelFormat::Bits(32);
  surface.top = reinterpret_cast<uint8_t*>(bits.data());
  surface.stride = static_cast<ptrdiff_t>(image->width) * 4;
  win32::gdi::WriteSurfacePng(surface, (std::string(dir) + "/" + name + ".png").c_str());
}

TEST_F(X11DisplayTest, TopLevelWindowShowsAtItsPlaceWithItsPixelsAndTitle) {
  HWND hwnd = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 200, 120, RGB(255, 0, 0));
  Settle();
  ASSERT_NE(XOf(hwnd), 0u);

  XWindowAttributes a = Attributes(hwnd);
  EXPECT_EQ(a.x, 100);
  EXPECT_EQ(a.y, 80);
  EXPECT_EQ(a.width, 200);
  EXPECT_EQ(a.height, 120);
  EXPECT_EQ(a.map_state, IsViewable);
  EXPECT_FALSE(a.override_redirect);

  ::Window rootReturn, parent, *children = nullptr;
  unsigned count = 0;
  XQueryTree(x_, DefaultRootWindow(x_), &rootReturn, &parent, &children, &count);
  EXPECT_NE(std::find(children, children + count, XOf(hwnd)), children + count);
  XFree(children);

  char* name = nullptr;
  ASSERT_TRUE(XFetchName(x_, XOf(hwnd), &name));
  EXPECT_STREQ(name, "Corvane test");
  XFree(name);

  // Every pixel as the framebuffer has it: frame, caption, the client's blue mark and red fill.
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  const int cx = origin.x - 100, cy = origin.y - 80;
  XImage* image = XGetImage(x_, XOf(hwnd), 0, 0, 200, 120, AllPlanes, ZPixmap);
  ASSERT_TRUE(image);
  DumpImage(image, "x11_window");
  int wrong = 0;
  for (int y = 0; y < 120; ++y) {
    for (int x = 0; x < 200; ++x) wrong += RgbOfPixel(image, x, y) != ScreenRgb(100 + x, 80 + y);
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(RgbOfPixel(image, cx + 5, cy + 5), ScreenRgb(origin.x + 5, origin.y + 5));
  EXPECT_NE(RgbOfPixel(image, cx + 5, cy + 5), RgbOfPixel(image, cx + 100, cy + 50));
  XDestroyImage(image);

  // A repaint reaches the X window; so do a new title, hiding and destruction.
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, RGB(0, 255, 0));
  InvalidateRect(hwnd, nullptr, FALSE);
  SetWindowTextA(hwnd, "Renamed");
  Settle();
  image = XGetImage(x_, XOf(hwnd), cx + 100, cy + 50, 1, 1, AllPlanes, ZPixmap);
  EXPECT_EQ(RgbOfPixel(image, 0, 0), ScreenRgb(origin.x + 100, origin.y + 50));
  EXPECT_GT(GetGValue(wu::ScreenPixel(origin.x + 100, origin.y + 50)), 240);  // green at any depth
  XDestroyImage(image);
  ASSERT_TRUE(XFetchName(x_, XOf(hwnd), &name));
  EXPECT_STREQ(name, "Renamed");
  XFree(name);

  ShowWindow(hwnd, SW_HIDE);
  Settle();
  EXPECT_EQ(Attributes(hwnd).map_state, IsUnmapped);

  const ::Window gone = XOf(hwnd);
  DestroyWindow(hwnd);
  Settle();
  EXPECT_EQ(XOf(hwnd), 0u);
  XQueryTree(x_, DefaultRootWindow(x_), &rootReturn, &parent, &children, &count);
  EXPECT_EQ(std::find(children, children + count, gone), children + count);
  XFree(children);
}

TEST_F(X11DisplayTest, UncoveredPartsAreRepaintedFromTheFramebuffer) {
  HWND hwnd = Make(WS_POPUP | WS_VISIBLE, 100, 80, 200, 120, RGB(255, 0, 0));
  Settle();
  // Another client's white window over ours, then gone.
  XSetWindowAttributes a{};
  a.override_redirect = True;
  a.background_pixel = WhitePixel(x_, DefaultScreen(x_));
  const ::Window cover = XCreateWindow(x_, DefaultRootWindow(x_), 150, 100, 80, 60, 0, CopyFromParent, InputOutput,
                                       CopyFromParent, CWOverrideRedirect | CWBackPixel, &a);
  XMapRaised(x_, cover);
  XSync(x_, False);
  XDestroyWindow(x_, cover);
  XSync(x_, False);
  Settle();
  XImage* image = XGetImage(x_, XOf(hwnd), 50, 20, 80, 60, AllPlanes, ZPixmap);
  ASSERT_TRUE(image);
  int wrong = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 80; ++x) wrong += RgbOfPixel(image, x, y) != ScreenRgb(150 + x, 100 + y);
  }
  XDestroyImage(image);
  EXPECT_EQ(wrong, 0);
}

TEST_F(X11DisplayTest, WindowRegionShapesTheXWindow) {
  HWND hwnd = Make(WS_POPUP | WS_VISIBLE, 50, 50, 150, 60, RGB(255, 0, 0));
  HRGN left = CreateRectRgn(0, 0, 50, 60);
  HRGN right = CreateRectRgn(100, 10, 150, 40);
  CombineRgn(left, left, right, RGN_OR);
  DeleteObject(right);
  SetWindowRgn(hwnd, left, TRUE);
  Settle();

  auto shape = [&] {
    int count = 0, ordering = 0;
    XRectangle* rects = XShapeGetRectangles(x_, XOf(hwnd), ShapeBounding, &count, &ordering);
    std::vector<RECT> out;
    for (int i = 0; i < count; ++i) {
      out.push_back({rects[i].x, rects[i].y, rects[i].x + rects[i].width, rects[i].y + rects[i].height});
    }
    XFree(rects);
    return out;
  };
  std::vector<RECT> got = shape();
  ASSERT_FALSE(got.empty());
  auto covers = [&](int x, int y) {
    return std::any_of(got.begin(), got.end(), [&](const RECT& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; });
  };
  EXPECT_TRUE(covers(0, 0));
  EXPECT_TRUE(covers(49, 59));
  EXPECT_TRUE(covers(100, 10));
  EXPECT_TRUE(covers(149, 39));
  EXPECT_FALSE(covers(75, 30));
  EXPECT_FALSE(covers(120, 5));
  EXPECT_FALSE(covers(120, 45));

  // Without a region the window is its rectangle again.
  SetWindowRgn(hwnd, nullptr, TRUE);
  Settle();
  got = shape();
  ASSERT_EQ(got.size(), 1u);
  const RECT whole{0, 0, 150, 60};
  EXPECT_TRUE(EqualRect(&got[0], &whole));
}

TEST_F(X11DisplayTest, PopUpsBypassTheWindowManagerAndDialogsStayWithTheirOwner) {
  HWND main = Make(WS_POPUP | WS_VISIBLE, 10, 10, 300, 200, RGB(255, 0, 0));
  HWND menu = Make(WS_POPUP | WS_BORDER | WS_VISIBLE, 40, 40, 80, 100, RGB(0, 255, 0), main);
  HWND tip = Make(WS_POPUP | WS_VISIBLE, 200, 40, 60, 20, RGB(0, 255, 0), nullptr, WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
  HWND dialog = Make(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 60, 60, 120, 80, RGB(0, 0, 255), main);
  Settle();

  EXPECT_FALSE(Attributes(main).override_redirect);  // an unowned caption-less pop-up is a main window
  EXPECT_TRUE(Attributes(menu).override_redirect);
  EXPECT_TRUE(Attributes(tip).override_redirect);
  EXPECT_FALSE(Attributes(dialog).override_redirect);

  ::Window transientFor = 0;
  ASSERT_TRUE(XGetTransientForHint(x_, XOf(dialog), &transientFor));
  EXPECT_EQ(transientFor, XOf(main));
  Atom* protocols = nullptr;
  int count = 0;
  ASSERT_TRUE(XGetWMProtocols(x_, XOf(dialog), &protocols, &count));
  ASSERT_EQ(count, 1);
  EXPECT_EQ(protocols[0], XInternAtom(x_, "WM_DELETE_WINDOW", False));
  XFree(protocols);

  // Caption added later: the window is made again, now for the window manager.
  SetWindowLongA(menu, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_CAPTION | WS_VISIBLE));
  SetWindowPos(menu, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  Settle();
  EXPECT_FALSE(Attributes(menu).override_redirect);
}

TEST_F(X11DisplayTest, ButtonsWheelAndKeysReachTheWindowThroughTheLayer) {
  HWND hwnd = Make(WS_POPUP | WS_VISIBLE, 100, 80, 200, 120, RGB(255, 0, 0));
  Settle();
  SetFocus(hwnd);

  Button(hwnd, Button1, true, 130, 120);
  Button(hwnd, Button1, false, 130, 120);
  Key(hwnd, XK_a, true);
  Key(hwnd, XK_a, false);
  Key(hwnd, XK_Return, true);
  Key(hwnd, XK_Return, false);
  Button(hwnd, Button4, true, 130, 120);  // the wheel: buttons 4 (up) and 5 (down)
  Button(hwnd, Button4, false, 130, 120);
  Button(hwnd, Button5, true, 130, 120);
  Button(hwnd, Button5, false, 130, 120);
  Settle();
  ASSERT_EQ(g_seen.clicks.size(), 1u);
  EXPECT_EQ(g_seen.clicks[0].x, 30);
  EXPECT_EQ(g_seen.clicks[0].y, 40);
  EXPECT_EQ(g_seen.keys, (std::vector<WPARAM>{'A', VK_RETURN}));
  EXPECT_EQ(g_seen.wheel, (std::vector<int>{WHEEL_DELTA, -WHEEL_DELTA}));
  EXPECT_FALSE(GetAsyncKeyState(VK_LBUTTON) & 0x8000);
}

TEST_F(X11DisplayTest, KeySymbolsBecomeVirtualKeys) {
  using win32::x11::VirtualKeyFromKeysym;
  EXPECT_EQ(VirtualKeyFromKeysym(XK_q), UINT{'Q'});
  EXPECT_EQ(VirtualKeyFromKeysym(XK_7), UINT{'7'});
  EXPECT_EQ(VirtualKeyFromKeysym(XK_F1), UINT{VK_F1});
  EXPECT_EQ(VirtualKeyFromKeysym(XK_F12), UINT{VK_F12});
  EXPECT_EQ(VirtualKeyFromKeysym(XK_Escape), UINT{VK_ESCAPE});
  EXPECT_EQ(VirtualKeyFromKeysym(XK_ISO_Left_Tab), UINT{VK_TAB});
  EXPECT_EQ(VirtualKeyFromKeysym(XK_BackSpace), UINT{VK_BACK});
  EXPECT_EQ(VirtualKeyFromKeysym(XK_KP_Left), UINT{VK_LEFT});
  EXPECT_EQ(VirtualKeyFromKeysym(XK_Shift_R), UINT{VK_SHIFT});
  EXPECT_EQ(VirtualKeyFromKeysym(XK_Control_L), UINT{VK_CONTROL});
  EXPECT_EQ(VirtualKeyFromKeysym(XK_Alt_L), UINT{VK_MENU});
  // Paths and quoted names are typed on these.
  EXPECT_EQ(VirtualKeyFromKeysym(XK_backslash), UINT{VK_OEM_5});
  EXPECT_EQ(VirtualKeyFromKeysym(XK_apostrophe), UINT{VK_OEM_7});
  EXPECT_EQ(VirtualKeyFromKeysym(XK_eacute), 0u);
}

TEST_F(X11DisplayTest, MovesOnXAreFollowedByTheLayer) {
  HWND hwnd = Make((WS_OVERLAPPEDWINDOW & ~WS_THICKFRAME) | WS_VISIBLE, 100, 80, 200, 120, RGB(255, 0, 0));
  Settle();

  XMoveWindow(x_, XOf(hwnd), 300, 200);
  XSync(x_, False);
  Settle();
  RECT r;
  GetWindowRect(hwnd, &r);
  const RECT moved{300, 200, 500, 320};
  EXPECT_TRUE(EqualRect(&r, &moved));

  // Without a sizing frame the layer keeps its size and the X window gets it back.
  XResizeWindow(x_, XOf(hwnd), 260, 90);
  XSync(x_, False);
  Settle();
  GetWindowRect(hwnd, &r);
  EXPECT_TRUE(EqualRect(&r, &moved));
  XWindowAttributes a = Attributes(hwnd);
  EXPECT_EQ(a.width, 200);
  EXPECT_EQ(a.height, 120);

  // A sizing frame takes the new size.
  HWND sizable = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 120, RGB(0, 255, 0));
  Settle();
  XMoveResizeWindow(x_, XOf(sizable), 20, 30, 260, 150);
  XSync(x_, False);
  Settle();
  GetWindowRect(sizable, &r);
  const RECT resized{20, 30, 280, 180};
  EXPECT_TRUE(EqualRect(&r, &resized));
}

TEST_F(X11DisplayTest, CloseRequestsBecomeWmCloseUnlessTheWindowIsDisabled) {
  HWND hwnd = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 200, 120, RGB(255, 0, 0));
  Settle();
  auto requestClose = [&] {
    XEvent ev{};
    ev.type = ClientMessage;
    ev.xclient.window = XOf(hwnd);
    ev.xclient.message_type = XInternAtom(x_, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(x_, "WM_DELETE_WINDOW", False));
    Send(ev, NoEventMask);
    Settle();
  };

  EnableWindow(hwnd, FALSE);  // as under a modal dialog
  requestClose();
  EXPECT_TRUE(g_seen.closes.empty());

  EnableWindow(hwnd, TRUE);
  requestClose();
  EXPECT_EQ(g_seen.closes, std::vector<HWND>{hwnd});
}

TEST_F(X11DisplayTest, AnXEventWakesAThreadWaitingForMessages) {
  HWND hwnd = Make(WS_POPUP | WS_VISIBLE, 100, 80, 200, 120, RGB(255, 0, 0));
  Settle();
  // The click is sent while this thread waits in GetMessage (or just before it does).
  std::thread sender([&] {
    Button(hwnd, Button1, true, 110, 90);
    Button(hwnd, Button1, false, 110, 90);
  });
  MSG msg;
  while (g_seen.clicks.empty() && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  sender.join();
  ASSERT_EQ(g_seen.clicks.size(), 1u);
  EXPECT_EQ(g_seen.clicks[0].x, 10);
  EXPECT_EQ(g_seen.clicks[0].y, 10);
}

TEST_F(X11DisplayTest, APopUpMenuIsItsOwnOverrideRedirectWindowAndAClickOutsideClosesIt) {
  HWND main = Make(WS_POPUP | WS_VISIBLE, 10, 10, 300, 200, RGB(255, 0, 0));
  Settle();
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 1, "One");
  AppendMenuA(menu, MF_STRING, 2, "Two");
  // While the menu loop waits, the display keeps the X side up to date; once the menu's X window
  // shows, it is looked at and a click goes to the main window, outside the menu.
  HWND shown = nullptr;
  ::Window menuX = 0;
  XWindowAttributes seen{};
  wu::SetIdleHandler([&] {
    const bool busy = display_->Sync();
    HWND menuWindow = FindWindowA("#32768", nullptr);
    if (shown || !menuWindow || !XOf(menuWindow)) return busy;
    seen = Attributes(menuWindow);
    if (seen.map_state != IsViewable) return busy;
    shown = menuWindow;
    menuX = XOf(menuWindow);
    Button(main, Button1, true, 250, 180);
    Button(main, Button1, false, 250, 180);
    return true;
  });
  const BOOL chosen = TrackPopupMenu(menu, TPM_RETURNCMD, 60, 60, 0, main, nullptr);
  X11Display* display = display_.get();
  wu::SetIdleHandler([display] { return display->Sync(); });
  EXPECT_EQ(chosen, 0);
  ASSERT_TRUE(shown);
  EXPECT_TRUE(seen.override_redirect);
  EXPECT_NE(menuX, XOf(main));
  EXPECT_EQ(seen.x, 60);
  EXPECT_EQ(seen.y, 60);
  EXPECT_FALSE(IsWindow(shown));
  EXPECT_TRUE(g_seen.clicks.empty());  // the click was the menu's
  Settle();
  ::Window rootReturn, parent, *children = nullptr;
  unsigned count = 0;
  XQueryTree(x_, DefaultRootWindow(x_), &rootReturn, &parent, &children, &count);
  EXPECT_EQ(std::find(children, children + count, menuX), children + count);
  XFree(children);
  DestroyMenu(menu);
}

}  // namespace
