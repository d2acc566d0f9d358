#include "x11/x11_display.h"

#include <poll.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "gdi/dc.h"
#include "gdi/banded_region.h"
#include "win32/wingdi.h"
#include "win32/winuser_draw.h"
#include "x11/x11_keys.h"

// Xlib last: its macros (None, Bool, Status, ...) would otherwise meet the platform's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/shape.h>

namespace win32::x11 {
namespace {

// What an X window shows of a top-level window.
struct Shown {
  ::Window xid = 0;
  bool popup = false;
  bool mapped = false;
  RECT rect{};  // where the X window is, screen coordinates
  bool shaped = false;
  std::vector<RECT> shape;  // window coordinates
  std::string title;
};

// Requests that fail (a window the window manager already destroyed, a restack of windows it
// reparented) are no reason to end the program, which is what Xlib's default handler does.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// Caption-less pop-ups that are menus, drop lists or tips: the window manager must not frame,
// place or focus them. An unowned caption-less pop-up is a (skinned) main window and stays managed.
bool IsPopup(HWND hwnd) {
  const DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE));
  if (!(style & WS_POPUP) || (style & WS_CAPTION) == WS_CAPTION) return false;
  return GetWindow(hwnd, GW_OWNER) || (exStyle & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE));
}

unsigned int FontCursorShape(int id) {
  switch (id) {
    case 32513: return XC_xterm;                  // IDC_IBEAM
    case 32514: return XC_watch;                  // IDC_WAIT
    case 32515: return XC_crosshair;              // IDC_CROSS
    case 32516: return XC_sb_up_arrow;            // IDC_UPARROW
    case 32642: return XC_bottom_right_corner;    // IDC_SIZENWSE
    case 32643: return XC_bottom_left_corner;     // IDC_SIZENESW
    case 32644: return XC_sb_h_double_arrow;      // IDC_SIZEWE
    case 32645: return XC_sb_v_double_arrow;      // IDC_SIZENS
    case 32646: return XC_fleur;                  // IDC_SIZEALL
    case 32648: return XC_X_cursor;               // IDC_NO
    case 32649: return XC_hand2;                  // IDC_HAND
    case 32650: return XC_watch;                  // IDC_APPSTARTING
    case 32651: return XC_question_arrow;         // IDC_HELP
    default: return XC_left_ptr;                  // the arrow, and cursors of the program's own
  }
}

// A colour component scaled into the bits of a true-colour mask.
unsigned long PlaceComponent(unsigned int value, unsigned long mask) {
  if (!mask) return 0;
  const int shift = std::countr_zero(mask);
  const int bits = std::popcount(mask);
  const unsigned long scaled = bits <= 8 ? value >> (8 - bits) : static_cast<unsigned long>(value) << (bits - 8);
  return (scaled << shift) & mask;
}

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
  return TRUE;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;  // top of the z-order first
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// The window region's rectangles (window coordinates), or nothing when it has none.
std::optional<std::vector<RECT>> WindowShape(HWND hwnd) {
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  std::optional<std::vector<RECT>> rects;
  if (GetWindowRgn(hwnd, rgn) != ERROR) {
    const DWORD size = GetRegionData(rgn, 0, nullptr);
    std::vector<char> data(size);
    auto* header = reinterpret_cast<RGNDATA*>(data.data());
    if (size >= sizeof(RGNDATAHEADER) && GetRegionData(rgn, size, header)) {
      const auto* first = reinterpret_cast<const RECT*>(header->Buffer);
      rects.emplace(first, first + header->rdh.nCount);
    }
  }
  DeleteObject(rgn);
  return rects;
}

bool SameRects(const std::vector<RECT>& a, const std::vector<RECT>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (!EqualRect(&a[i], &b[i])) return false;
  }
  return true;
}

}  // namespace

struct X11Display::State {
  Display* display = nullptr;
  ::Window root = 0;
  Visual* visual = nullptr;
  int depth = 0;
  GC gc = nullptr;
  bool hasShape = false;
  Atom wmProtocols = 0, wmDeleteWindow = 0, netWmName = 0, utf8String = 0, motifHints = 0;
  DWORD thread = 0;  // the thread that opened the display and whose waiting it serves

  std::shared_ptr<gdi::Surface> framebuffer;
  XImage* screenImage = nullptr;  // the framebuffer itself, when X takes its pixels as they are

  std::map<HWND, Shown> shown;
  std::map<::Window, HWND> byXWindow;
  std::map<int, Cursor> cursors;
  int cursorId = -1;
  HWND raised = nullptr;
  bool syncing = false;

  // What painting and window changes (on any thread) leave for the next Sync.
  std::mutex pendingLock;
  gdi::Region dirty;
  std::set<HWND> changed;
  bool wakePosted = false;

  // Wakes the thread when X events arrive while it waits for messages.
  std::thread watcher;
  int stopPipe[2] = {-1, -1};
  std::mutex watchLock;
  std::condition_variable watchChanged;
  uint64_t drained = 0;  // Syncs so far; the watcher looks at the connection after each
  bool stopping = false;

  ~State() {
    if (screenImage) {
      screenImage->data = nullptr;  // the framebuffer's memory is not the image's to free
      XDestroyImage(screenImage);
    }
    for (auto& [id, cursor] : cursors) XFreeCursor(display, cursor);
    if (gc) XFreeGC(display, gc);
    if (display) XCloseDisplay(display);
    for (int fd : stopPipe) {
      if (fd >= 0) close(fd);
    }
  }

  // ---- Output ---------------------------------------------------------------------------------

  Cursor CursorFor(int id) {
    Cursor& cursor = cursors[id];
    if (!cursor) cursor = XCreateFontCursor(display, FontCursorShape(id));
    return cursor;
  }

  unsigned long PixelOf(COLORREF color) const {
    return PlaceComponent(GetRValue(color), visual->red_mask) | PlaceComponent(GetGValue(color), visual->green_mask) |
           PlaceComponent(GetBValue(color), visual->blue_mask);
  }

  // Copies a screen rectangle (inside the window and the framebuffer) to the window.
  void Put(const Shown& s, const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const int dx = area.left - s.rect.left;
    const int dy = area.top - s.rect.top;
    if (screenImage) {
      XPutImage(display, s.xid, gc, screenImage, area.left, area.top, dx, dy, width, height);
      return;
    }
    XImage* image = XCreateImage(display, visual, depth, ZPixmap, 0, nullptr, width, height, 32, 0);
    if (!image) return;
    image->data = static_cast<char*>(std::malloc(static_cast<size_t>(image->bytes_per_line) * height));
    if (!image->data) {
      XDestroyImage(image);
      return;
    }
    const gdi::Surface& fb = *framebuffer;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        XPutPixel(image, x, y, PixelOf(fb.ToColor(fb.Get(area.left + x, area.top + y))));
      }
    }
    XPutImage(display, s.xid, gc, image, 0, 0, dx, dy, width, height);
    XDestroyImage(image);
  }

  // Shows a screen area on every window it touches.
  void Show(const gdi::Region& area) {
    if (area.IsEmpty()) return;
    const gdi::Region screen(0, 0, framebuffer->width, framebuffer->height);
    for (auto& [hwnd, s] : shown) {
      if (!s.mapped) continue;
      for (const RECT& r : area.Intersect(gdi::Region(s.rect)).Intersect(screen).Rects()) Put(s, r);
    }
  }

  void SetSizeHints(HWND hwnd, const Shown& s) {
    XSizeHints* hints = XAllocSizeHints();
    if (!hints) return;
    hints->flags = USPosition | PPosition | PSize;
    hints->x = s.rect.left;
    hints->y = s.rect.top;
    hints->width = s.rect.right - s.rect.left;
    hints->height = s.rect.bottom - s.rect.top;
    if (!(GetWindowLongA(hwnd, GWL_STYLE) & WS_THICKFRAME)) {
      hints->flags |= PMinSize | PMaxSize;
      hints->min_width = hints->max_width = hints->width;
      hints->min_height = hints->max_height = hints->height;
    }
    XSetWMNormalHints(display, s.xid, hints);
    XFree(hints);
  }

  Shown& Create(HWND hwnd, const RECT& r, bool popup) {
    XSetWindowAttributes a{};
    a.override_redirect = popup ? True : False;
    a.background_pixmap = None;  // the framebuffer fills it; no flash of a background first
    a.bit_gravity = NorthWestGravity;
    a.cursor = CursorFor(cursorId < 0 ? 0 : cursorId);
    a.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                   LeaveWindowMask | KeyPressMask | KeyReleaseMask | StructureNotifyMask | FocusChangeMask;
    const ::Window xid = XCreateWindow(display, root, r.left, r.top, static_cast<unsigned>(r.right - r.left),
                                       static_cast<unsigned>(r.bottom - r.top), 0, CopyFromParent, InputOutput,
                                       CopyFromParent, CWOverrideRedirect | CWBackPixmap | CWBitGravity | CWCursor | CWEventMask,
                                       &a);
    Shown& s = shown[hwnd];
    s = Shown{};
    s.xid = xid;
    s.popup = popup;
    s.rect = r;
    byXWindow[xid] = hwnd;
    XClassHint classHint{const_cast<char*>("corvane"), const_cast<char*>("Corvane")};
    XSetClassHint(display, xid, &classHint);
    if (!popup) {
      XSetWMProtocols(display, xid, &wmDeleteWindow, 1);
      // The layer draws frame and caption itself.
      const long noDecorations[5] = {2, 0, 0, 0, 0};
      XChangeProperty(display, xid, motifHints, motifHints, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(noDecorations), 5);
      SetSizeHints(hwnd, s);
      if (auto owner = shown.find(GetWindow(hwnd, GW_OWNER)); owner != shown.end()) {
        XSetTransientForHint(display, xid, owner->second.xid);
      }
    }
    return s;
  }

  void Destroy(std::map<HWND, Shown>::iterator it) {
    XDestroyWindow(display, it->second.xid);
    byXWindow.erase(it->second.xid);
    if (raised == it->first) raised = nullptr;
    shown.erase(it);
  }

  void UpdateShape(HWND hwnd, Shown& s) {
    if (!hasShape) return;
    auto shape = WindowShape(hwnd);
    if (!shape) {
      if (s.shaped) XShapeCombineMask(display, s.xid, ShapeBounding, 0, 0, None, ShapeSet);
      s.shaped = false;
      s.shape.clear();
      return;
    }
    if (s.shaped && SameRects(*shape, s.shape)) return;
    std::vector<XRectangle> rects;
    for (const RECT& r : *shape) {
      rects.push_back({static_cast<short>(r.left), static_cast<short>(r.top), static_cast<unsigned short>(r.right - r.left),
                       static_cast<unsigned short>(r.bottom - r.top)});
    }
    XShapeCombineRectangles(display, s.xid, ShapeBounding, 0, 0, rects.data(), static_cast<int>(rects.size()), ShapeSet,
                            Unsorted);
    s.shaped = true;
    s.shape = std::move(*shape);
  }

  // Makes the X window of a top-level window what the layer says it is.
  void Reconcile(HWND hwnd, gdi::Region& dirty) {
    auto it = shown.find(hwnd);
    if (!IsWindow(hwnd)) {
      if (it != shown.end()) Destroy(it);
      return;
    }
    RECT r{};
    GetWindowRect(hwnd, &r);
    const bool visible = IsWindowVisible(hwnd) && !IsIconic(hwnd) && r.right > r.left && r.bottom > r.top;
    const bool popup = IsPopup(hwnd);
    if (it != shown.end() && it->second.popup != popup) {
      Destroy(it);  // override-redirect is fixed once the window manager has seen the window
      it = shown.end();
    }
    if (!visible) {
      if (it != shown.end() && it->second.mapped) {
        XUnmapWindow(display, it->second.xid);
        it->second.mapped = false;
      }
      return;
    }
    Shown& s = it != shown.end() ? it->second : Create(hwnd, r, popup);
    if (!EqualRect(&s.rect, &r)) {
      XMoveResizeWindow(display, s.xid, r.left, r.top, static_cast<unsigned>(r.right - r.left),
                        static_cast<unsigned>(r.bottom - r.top));
      s.rect = r;
      if (!s.popup) SetSizeHints(hwnd, s);
    }
    UpdateShape(hwnd, s);
    if (!s.mapped) {
      XMapRaised(display, s.xid);
      s.mapped = true;
    }
    dirty = dirty.Union(gdi::Region(r));
  }

  // The layer says nothing when a text changes, so titles are read each time. Asking a window
  // of another thread would wait for that thread (which may be waiting for this one); such
  // windows go untitled.
  void UpdateTitles() {
    char text[512];
    for (auto& [hwnd, s] : shown) {
      if (GetWindowThreadProcessId(hwnd, nullptr) != thread) continue;
      GetWindowTextA(hwnd, text, sizeof text);
      if (s.title == text) continue;
      s.title = text;
      XStoreName(display, s.xid, text);
      XChangeProperty(display, s.xid, netWmName, utf8String, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(text), static_cast<int>(s.title.size()));
    }
  }

  void UpdateCursor() {
    const int id = user::SystemCursorId(GetCursor());
    if (id == cursorId) return;
    cursorId = id;
    const Cursor cursor = CursorFor(id);
    for (auto& [hwnd, s] : shown) XDefineCursor(display, s.xid, cursor);
  }

  // The layer's topmost shown window is raised on X too.
  void UpdateStacking() {
    for (HWND hwnd : TopLevelWindows()) {
      auto it = shown.find(hwnd);
      if (it == shown.end() || !it->second.mapped) continue;
      if (hwnd != raised) {
        XRaiseWindow(display, it->second.xid);
        raised = hwnd;
      }
      return;
    }
  }

  // ---- Input ----------------------------------------------------------------------------------

  HWND WindowOf(::Window xid) const {
    auto it = byXWindow.find(xid);
    return it == byXWindow.end() ? nullptr : it->second;
  }

  // The window manager moved or resized a window: the layer follows (a size only when the window
  // has a sizing frame; otherwise the X window gets its size back).
  bool Configured(HWND hwnd) {
    auto it = shown.find(hwnd);
    if (it == shown.end()) return false;
    Shown& s = it->second;
    // Earlier events may be stale: ask where the window is now.
    ::Window rootReturn = 0, child = 0;
    int x = 0, y = 0, rx = 0, ry = 0;
    unsigned width = 0, height = 0, border = 0, depthReturn = 0;
    if (!XGetGeometry(display, s.xid, &rootReturn, &x, &y, &width, &height, &border, &depthReturn) ||
        !XTranslateCoordinates(display, s.xid, root, 0, 0, &rx, &ry, &child)) {
      return false;
    }
    const RECT now{rx, ry, rx + static_cast<LONG>(width), ry + static_cast<LONG>(height)};
    if (EqualRect(&now, &s.rect)) return false;
    s.rect = now;
    RECT layer{};
    GetWindowRect(hwnd, &layer);
    if (EqualRect(&now, &layer)) return false;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!(GetWindowLongA(hwnd, GWL_STYLE) & WS_THICKFRAME)) flags |= SWP_NOSIZE;
    SetWindowPos(hwnd, nullptr, now.left, now.top, now.right - now.left, now.bottom - now.top, flags);
    std::lock_guard<std::mutex> guard(pendingLock);
    changed.insert(hwnd);  // whatever the layer kept goes back to the X window
    return true;
  }

  // An X auto-repeat is a release followed by a press of the same key at the same time; the
  // layer wants repeated presses only.
  bool IsAutoRepeatRelease(const XKeyEvent& release) {
    if (!XEventsQueued(display, QueuedAfterReading)) return false;
    XEvent next;
    XPeekEvent(display, &next);
    return next.type == KeyPress && next.xkey.keycode == release.keycode && next.xkey.time == release.time;
  }

  // One X event; true when it gave the layer something to do.
  bool Handle(XEvent& ev) {
    const HWND hwnd = WindowOf(ev.xany.window);
    if (!hwnd) return false;
    switch (ev.type) {
      case Expose: {
        auto it = shown.find(hwnd);
        if (it == shown.end() || !it->second.mapped) return false;
        const RECT& w = it->second.rect;
        RECT area{w.left + ev.xexpose.x, w.top + ev.xexpose.y, w.left + ev.xexpose.x + ev.xexpose.width,
                  w.top + ev.xexpose.y + ev.xexpose.height};
        const RECT screen{0, 0, framebuffer->width, framebuffer->height};
        if (IntersectRect(&area, &area, &w) && IntersectRect(&area, &area, &screen)) Put(it->second, area);
        return false;
      }
      case MotionNotify:
        user::InjectMouseMove({ev.xmotion.x_root, ev.xmotion.y_root});
        return true;
      case EnterNotify:
      case LeaveNotify:
        // Leaving for the desktop lets the layer see the pointer go (WM_MOUSELEAVE).
        if (ev.xcrossing.mode != NotifyNormal) return false;
        user::InjectMouseMove({ev.xcrossing.x_root, ev.xcrossing.y_root});
        return true;
      case ButtonPress:
      case ButtonRelease: {
        const POINT pt{ev.xbutton.x_root, ev.xbutton.y_root};
        const bool down = ev.type == ButtonPress;
        switch (ev.xbutton.button) {
          case Button1: user::InjectMouseButton(VK_LBUTTON, down, pt); return true;
          case Button2: user::InjectMouseButton(VK_MBUTTON, down, pt); return true;
          case Button3: user::InjectMouseButton(VK_RBUTTON, down, pt); return true;
          case Button4:
          case Button5:
            if (!down) return false;
            user::InjectMouseWheel(ev.xbutton.button == Button4 ? WHEEL_DELTA : -WHEEL_DELTA, pt);
            return true;
          default: return false;
        }
      }
      case KeyPress:
      case KeyRelease: {
        if (ev.type == KeyRelease && IsAutoRepeatRelease(ev.xkey)) return false;
        const UINT vk = VirtualKeyFromKeysym(XLookupKeysym(&ev.xkey, 0));
        if (!vk) return false;
        user::InjectKey(vk, ev.type == KeyPress);
        return true;
      }
      case ConfigureNotify:
        return Configured(hwnd);
      case ClientMessage:
        // The window manager's close button; a window disabled under a modal loop ignores it.
        if (ev.xclient.message_type != wmProtocols || static_cast<Atom>(ev.xclient.data.l[0]) != wmDeleteWindow) {
          return false;
        }
        if (!IsWindowEnabled(hwnd)) return false;
        PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
      case FocusIn: {
        // The window manager gave a window the focus (a click on it, a switch between windows).
        const int detail = ev.xfocus.detail;
        if (ev.xfocus.mode != NotifyNormal || detail == NotifyPointer || detail == NotifyPointerRoot ||
            detail == NotifyDetailNone) {
          return false;
        }
        auto it = shown.find(hwnd);
        if (it == shown.end() || it->second.popup || !IsWindowEnabled(hwnd) || GetForegroundWindow() == hwnd) return false;
        SetForegroundWindow(hwnd);
        return true;
      }
      default:
        return false;
    }
  }

  // ---- Waiting --------------------------------------------------------------------------------

  void Watch() {
    uint64_t seen = 0;
    for (;;) {
      {
        std::unique_lock<std::mutex> guard(watchLock);
        watchChanged.wait(guard, [&] { return stopping || drained != seen; });
        if (stopping) return;
        seen = drained;
      }
      pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
      while (poll(fds, 2, -1) < 0 && errno == EINTR) {
      }
      if (fds[1].revents) return;
      PostThreadMessageA(thread, WM_NULL, 0, 0);
    }
  }

  void StopWatching() {
    {
      std::lock_guard<std::mutex> guard(watchLock);
      stopping = true;
    }
    watchChanged.notify_all();
    const char stop = 1;
    if (write(stopPipe[1], &stop, 1) < 0) {
      // The pipe is ours and empty; a failed write leaves nothing to do but join.
    }
    if (watcher.joinable()) watcher.join();
  }
};

std::unique_ptr<X11Display> X11Display::Open(const char* name) {
  auto s = std::make_unique<State>();
  s->display = XOpenDisplay(name);
  if (!s->display) {
    const char* shown = name ? name : std::getenv("DISPLAY");
    std::fprintf(stderr, "cannot open the X display \"%s\"\n", shown ? shown : "");
    return nullptr;
  }
  XSetErrorHandler(IgnoreXError);
  Display* d = s->display;
  const int screen = DefaultScreen(d);
  s->root = RootWindow(d, screen);
  s->visual = DefaultVisual(d, screen);
  s->depth = DefaultDepth(d, screen);
  if (s->visual->c_class != TrueColor) {
    std::fprintf(stderr, "the X display \"%s\" shows no true colour\n", DisplayString(d));
    return nullptr;
  }
  int eventBase = 0, errorBase = 0;
  s->hasShape = XShapeQueryExtension(d, &eventBase, &errorBase);
  s->gc = XCreateGC(d, s->root, 0, nullptr);
  s->wmProtocols = XInternAtom(d, "WM_PROTOCOLS", False);
  s->wmDeleteWindow = XInternAtom(d, "WM_DELETE_WINDOW", False);
  s->netWmName = XInternAtom(d, "_NET_WM_NAME", False);
  s->utf8String = XInternAtom(d, "UTF8_STRING", False);
  s->motifHints = XInternAtom(d, "_MOTIF_WM_HINTS", False);
  s->thread = GetCurrentThreadId();

  s->framebuffer = user::Framebuffer();
  const gdi::Surface& fb = *s->framebuffer;
  if (fb.width != DisplayWidth(d, screen) || fb.height != DisplayHeight(d, screen)) {
    // Windows still show where the layer puts them; only the parts inside its screen have pixels.
    std::fprintf(stderr, "the X screen is %dx%d but the window layer's screen is %dx%d (CORVANE_SCREEN sets it)\n",
                 DisplayWidth(d, screen), DisplayHeight(d, screen), fb.width, fb.height);
  }
  // A 32-bit framebuffer with the visual's masks goes to X without conversion.
  if (fb.format.bitsPerPixel == 32 && fb.stride > 0 && s->depth == 24 && fb.format.redMask == s->visual->red_mask &&
      fb.format.greenMask == s->visual->green_mask && fb.format.blueMask == s->visual->blue_mask &&
      ImageByteOrder(d) == LSBFirst && std::endian::native == std::endian::little) {
    s->screenImage = XCreateImage(d, s->visual, s->depth, ZPixmap, 0, reinterpret_cast<char*>(fb.top), fb.width, fb.height,
                                  32, static_cast<int>(fb.stride));
  }
  if (pipe(s->stopPipe) != 0) {
    std::fprintf(stderr, "cannot watch the X display: %s\n", std::strerror(errno));
    return nullptr;
  }
  for (HWND hwnd : TopLevelWindows()) s->changed.insert(hwnd);

  std::unique_ptr<X11Display> display(new X11Display(std::move(s)));
  X11Display* self = display.get();
  self->s_->watcher = std::thread([self] { self->s_->Watch(); });
  user::SetScreenObserver(self);
  user::SetIdleHandler([self] { return self->Sync(); });
  return display;
}

X11Display::X11Display(std::unique_ptr<State> state) : s_(std::move(state)) {}

X11Display::~X11Display() {
  user::SetScreenObserver(nullptr);
  user::SetIdleHandler(nullptr);
  s_->StopWatching();
  while (!s_->shown.empty()) s_->Destroy(s_->shown.begin());
  XSync(s_->display, False);
}

bool X11Display::Sync() {
  State& s = *s_;
  if (s.syncing) return false;  // a window procedure waiting inside an event's handling
  s.syncing = true;
  gdi::Region dirty;
  std::set<HWND> changed;
  {
    std::lock_guard<std::mutex> guard(s.pendingLock);
    std::swap(dirty, s.dirty);
    std::swap(changed, s.changed);
    s.wakePosted = false;
  }
  for (HWND hwnd : changed) s.Reconcile(hwnd, dirty);
  s.UpdateStacking();
  s.UpdateTitles();
  s.UpdateCursor();
  s.Show(dirty);
  // One round trip: what was sent is on the screen, and every event sent before is here.
  XSync(s.display, False);
  bool work = false;
  while (XPending(s.display)) {
    XEvent ev;
    XNextEvent(s.display, &ev);
    work |= s.Handle(ev);
  }
  s.syncing = false;
  {
    std::lock_guard<std::mutex> guard(s.watchLock);
    ++s.drained;
  }
  s.watchChanged.notify_all();
  return work;
}

unsigned long X11Display::XWindowOf(HWND hwnd) const {
  auto it = s_->shown.find(hwnd);
  return it == s_->shown.end() ? 0 : it->second.xid;
}

void X11Display::ScreenChanged(const RECT& area) {
  State& s = *s_;
  std::lock_guard<std::mutex> guard(s.pendingLock);
  s.dirty = s.dirty.Union(gdi::Region(area));
  if (GetCurrentThreadId() != s.thread && !s.wakePosted) {
    s.wakePosted = true;
    PostThreadMessageA(s.thread, WM_NULL, 0, 0);
  }
}

void X11Display::TopLevelChanged(HWND hwnd) {
  State& s = *s_;
  std::lock_guard<std::mutex> guard(s.pendingLock);
  s.changed.insert(hwnd);
  if (GetCurrentThreadId() != s.thread && !s.wakePosted) {
    s.wakePosted = true;
    PostThreadMessageA(s.thread, WM_NULL, 0, 0);
  }
}

}  // namespace win32::x11
