// Mouse and keyboard input: the hardware event queue, capture, double clicks, mouse tracking,
// cursors, key state, focus, activation and enabling.
#include <algorithm>
#include <cstring>

#include "handle_table.h"
#include "user/display.h"
#include "user/user_state.h"
#include "win32/winbase.h"
#include "win32/winerror.h"
#include "win32/winicon.h"
#include "win32/platform_config.h"

namespace win32::user {
namespace {

struct RawEvent {
  UINT kind;  // WM_MOUSEMOVE, WM_xBUTTONDOWN/UP, WM_MOUSEWHEEL, WM_KEYDOWN, WM_KEYUP
  POINT pt;
  int wheel;
  UINT vk;
  DWORD time;
};

struct Input {
  std::mutex lock;  // guards events, cursor and asyncKeys
  std::deque<RawEvent> events;
  POINT cursor{0, 0};
  BYTE asyncKeys[256] = {};

  // Changed by the threads that retrieve input.
  POINT lastPos{0, 0};
  BYTE keys[256] = {};
  HWND capture = nullptr;
  HWND focus = nullptr;
  HWND active = nullptr;
  HCURSOR shape = nullptr;
  // The last button press, for double clicks.
  UINT lastDown = 0;
  HWND lastDownWindow = nullptr;
  DWORD lastDownTime = 0;
  POINT lastDownPos{0, 0};
  bool lastWasDouble = false;
  // TrackMouseEvent.
  HWND tracked = nullptr;
  DWORD trackFlags = 0;
};

Input& In() {
  static Input* input = [] {
    auto* i = new Input;
    const auto& config = platform_config::Config();
    i->cursor = i->lastPos = {config.screenWidth / 2, config.screenHeight / 2};
    return i;
  }();
  return *input;
}

struct SystemCursors {
  std::mutex lock;
  std::map<uintptr_t, HCURSOR> byId;
};

SystemCursors& Cursors() {
  static auto* cursors = new SystemCursors;
  return *cursors;
}

// A system cursor is a real cursor: the screen shows none of its own (the framebuffer has no
// pointer), so its images are transparent; a display back end shows the shape its id names.
HCURSOR MakeSystemCursor() {
  constexpr int kSize = 32;
  std::vector<BYTE> bits(kSize / 8 * kSize * 2, 0);
  std::fill(bits.begin(), bits.begin() + bits.size() / 2, 0xFF);  // AND half: keep the screen
  HBITMAP mask = CreateBitmap(kSize, kSize * 2, 1, 1, bits.data());
  ICONINFO info{FALSE, 0, 0, mask, nullptr};
  HCURSOR cursor = CreateIconIndirect(&info);
  DeleteObject(mask);
  return cursor;
}

bool IsButtonDown(UINT kind) {
  return kind == WM_LBUTTONDOWN || kind == WM_RBUTTONDOWN || kind == WM_MBUTTONDOWN;
}

UINT ButtonKey(UINT kind) {
  switch (kind) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: return VK_LBUTTON;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: return VK_RBUTTON;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: return VK_MBUTTON;
  }
  return 0;
}

WPARAM MouseKeys(const BYTE* keys) {
  WPARAM mk = 0;
  if (keys[VK_LBUTTON] & 0x80) mk |= MK_LBUTTON;
  if (keys[VK_RBUTTON] & 0x80) mk |= MK_RBUTTON;
  if (keys[VK_MBUTTON] & 0x80) mk |= MK_MBUTTON;
  if (keys[VK_SHIFT] & 0x80) mk |= MK_SHIFT;
  if (keys[VK_CONTROL] & 0x80) mk |= MK_CONTROL;
  return mk;
}

void ApplyKey(BYTE* keys, UINT vk, bool down) {
  auto set = [keys, down](UINT k) {
    if (down && !(keys[k] & 0x80)) keys[k] ^= 0x01;  // toggled on each press
    keys[k] = static_cast<BYTE>(down ? (keys[k] | 0x80) : (keys[k] & ~0x80));
  };
  set(vk);
  if (vk == VK_LSHIFT || vk == VK_RSHIFT) set(VK_SHIFT);
  if (vk == VK_LCONTROL || vk == VK_RCONTROL) set(VK_CONTROL);
  if (vk == VK_LMENU || vk == VK_RMENU) set(VK_MENU);
}

void ApplyEvent(BYTE* keys, const RawEvent& e) {
  if (UINT vk = ButtonKey(e.kind)) ApplyKey(keys, vk, IsButtonDown(e.kind));
  if (e.kind == WM_KEYDOWN || e.kind == WM_KEYUP) ApplyKey(keys, e.vk, e.kind == WM_KEYDOWN);
}

void Queue(const RawEvent& e) {
  Input& in = In();
  {
    std::lock_guard<std::mutex> guard(in.lock);
    in.events.push_back(e);
    in.cursor = e.pt;
    ApplyEvent(in.asyncKeys, e);
  }
  WakeAll();
}

void SetLastPos(POINT pt) {
  Input& in = In();
  std::lock_guard<std::mutex> guard(in.lock);
  in.lastPos = pt;
}

bool Inside(HWND ancestorOrSelf, HWND hwnd) {
  return hwnd && (hwnd == ancestorOrSelf || IsDescendant(ancestorOrSelf, hwnd));
}

// Where a mouse event goes and as which message; false when nobody takes it.
struct Routed {
  HWND hwnd = nullptr;
  int hit = HTNOWHERE;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  bool dropped = false;  // no window takes it: the event is thrown away
};

Routed RouteMouse(const RawEvent& e) {
  Input& in = In();
  Routed r;
  if (in.capture && Win(in.capture)) {
    r.hwnd = in.capture;
    r.hit = HTCLIENT;
  } else {
    r.hwnd = WindowAt(e.pt, &r.hit);
  }
  auto w = Win(r.hwnd);
  if (!w || r.hwnd == Desktop() || ((w->style & WS_DISABLED) && !in.capture)) {
    r.dropped = true;
    return r;
  }
  BYTE keys[256];
  std::memcpy(keys, in.keys, sizeof keys);
  ApplyEvent(keys, e);
  if (e.kind == WM_MOUSEWHEEL) {
    r.hwnd = in.focus ? in.focus : in.active;
    if (!Win(r.hwnd)) {
      r.dropped = true;
      return r;
    }
    r.message = WM_MOUSEWHEEL;
    r.wParam = MAKEWPARAM(MouseKeys(keys), static_cast<WORD>(e.wheel));
    r.lParam = MAKELPARAM(e.pt.x, e.pt.y);
    return r;
  }
  UINT kind = e.kind;
  if (IsButtonDown(kind) && kind == in.lastDown && r.hwnd == in.lastDownWindow && !in.lastWasDouble &&
      e.time - in.lastDownTime <= GetDoubleClickTime() &&
      std::abs(e.pt.x - in.lastDownPos.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
      std::abs(e.pt.y - in.lastDownPos.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2) {
    // Non-client double clicks come whatever the class says.
    if (r.hit != HTCLIENT || (w->cls->style & CS_DBLCLKS)) kind += WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
  }
  if (r.hit == HTCLIENT) {
    POINT p = e.pt;
    ScreenToClient(r.hwnd, &p);
    r.message = kind;
    r.wParam = MouseKeys(keys);
    r.lParam = MAKELPARAM(p.x, p.y);
  } else {
    r.message = kind - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
    r.wParam = static_cast<WPARAM>(r.hit);
    r.lParam = MAKELPARAM(e.pt.x, e.pt.y);
  }
  return r;
}

void CheckMouseLeave(const Routed& r, POINT pt) {
  Input& in = In();
  if (!in.tracked) return;
  auto t = Win(in.tracked);
  bool left;
  if (!t) {
    left = true;
  } else if (in.capture) {
    RECT area = (in.trackFlags & TME_NONCLIENT) ? ScreenWindowRect(*t) : ScreenClientRect(*t);
    left = !PtInRect(&area, pt);
  } else {
    const bool clientHit = r.hit == HTCLIENT;
    left = r.dropped || r.hwnd != in.tracked || clientHit == bool(in.trackFlags & TME_NONCLIENT);
  }
  if (!left) return;
  HWND gone = in.tracked;
  UINT message = (in.trackFlags & TME_NONCLIENT) ? WM_NCMOUSELEAVE : WM_MOUSELEAVE;
  in.tracked = nullptr;
  in.trackFlags = 0;
  if (t) Post(t->thread, {gone, message, 0, 0, GetTickCount(), pt});
}

// Button presses activate the top-level window clicked; false when the click is eaten.
bool ActivateOnClick(const Routed& r) {
  HWND root = RootOf(r.hwnd);
  if (!root || root == GetActiveWindow()) return true;
  LRESULT answer = Send(r.hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(root), MAKELPARAM(r.hit, r.message));
  if (answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) {
    auto rw = Win(root);
    if (rw && IsActivatable(*rw)) ActivateWindow(root, WA_CLICKACTIVE);
  }
  return answer != MA_ACTIVATEANDEAT && answer != MA_NOACTIVATEANDEAT;
}

// The next mouse or key event for this thread, or false. Events nobody takes are dropped.
bool TakeInput(DWORD thread, HWND filter, UINT first, UINT last, bool remove, MSG* out) {
  Input& in = In();
  for (;;) {
    RawEvent e;
    {
      std::lock_guard<std::mutex> guard(in.lock);
      if (in.events.empty()) return false;
      e = in.events.front();
    }
    auto pop = [&in] {
      std::lock_guard<std::mutex> guard(in.lock);
      in.events.pop_front();
    };
    if (e.kind == WM_KEYDOWN || e.kind == WM_KEYUP) {
      HWND target = in.focus ? in.focus : in.active;
      auto w = Win(target);
      if (!w) {
        pop();
        ApplyEvent(in.keys, e);
        continue;
      }
      if (w->thread != thread) return false;
      const bool alt = in.keys[VK_MENU] & 0x80 || (e.vk == VK_MENU && e.kind == WM_KEYDOWN);
      const bool system = (alt && !(in.keys[VK_CONTROL] & 0x80)) || !in.focus || e.vk == VK_F10;
      UINT message = e.kind == WM_KEYDOWN ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
      LPARAM lParam = 1;
      if (alt) lParam |= 1 << 29;
      if (in.keys[e.vk] & 0x80) lParam |= 1 << 30;
      if (e.kind == WM_KEYUP) lParam |= (1 << 30) | (1u << 31);
      MSG m{target, message, e.vk, lParam, e.time, in.lastPos};
      if (filter && target != filter && !IsDescendant(filter, target)) return false;
      if (!((first == 0 && last == 0) || (message >= first && message <= last))) return false;
      if (remove) {
        pop();
        ApplyEvent(in.keys, e);
      }
      *out = m;
      return true;
    }
    Routed r = RouteMouse(e);
    if (r.dropped) {
      pop();
      SetLastPos(e.pt);
      ApplyEvent(in.keys, e);
      CheckMouseLeave(r, e.pt);
      continue;
    }
    auto w = Win(r.hwnd);
    if (w->thread != thread) return false;
    MSG m{r.hwnd, r.message, r.wParam, r.lParam, e.time, e.pt};
    if (filter && r.hwnd != filter && !IsDescendant(filter, r.hwnd)) return false;
    if (!((first == 0 && last == 0) || (r.message >= first && r.message <= last))) return false;
    if (!remove) {
      *out = m;
      return true;
    }
    pop();
    SetLastPos(e.pt);
    ApplyEvent(in.keys, e);
    CheckMouseLeave(r, e.pt);
    if (IsButtonDown(e.kind)) {
      const bool isDouble = r.message == e.kind + (WM_LBUTTONDBLCLK - WM_LBUTTONDOWN) ||
                            r.message == e.kind - WM_MOUSEMOVE + WM_NCMOUSEMOVE + (WM_LBUTTONDBLCLK - WM_LBUTTONDOWN);
      in.lastDown = e.kind;
      in.lastDownWindow = r.hwnd;
      in.lastDownTime = e.time;
      in.lastDownPos = e.pt;
      in.lastWasDouble = isDouble;
    }
    if (!in.capture && e.kind != WM_MOUSEWHEEL) {
      if (IsButtonDown(e.kind) && !ActivateOnClick(r)) continue;
      if (!Win(r.hwnd)) continue;
      Send(r.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(r.hwnd), MAKELPARAM(r.hit, e.kind));
      if (!Win(r.hwnd)) continue;
    }
    *out = m;
    return true;
  }
}

HWND NextActive(HWND leaving) {
  for (HWND top : ChildrenOf(*Win(Desktop()))) {
    auto t = Win(top);
    if (top != leaving && t && IsActivatable(*t) && t->thread == GetCurrentThreadId()) return top;
  }
  return nullptr;
}

void SendActivateApp(HWND except, BOOL active) {
  std::vector<HWND> tops = ChildrenOf(*Win(Desktop()));
  for (HWND top : tops) {
    auto t = Win(top);
    if (t && t->thread == GetCurrentThreadId() && top != except) Send(top, WM_ACTIVATEAPP, active, 0);
  }
}

}  // namespace

bool NextInputMessage(DWORD thread, HWND filter, UINT first, UINT last, bool remove, MSG* out) {
  return TakeInput(thread, filter, first, last, remove, out);
}

bool HasPendingInput() {
  Input& in = In();
  std::lock_guard<std::mutex> guard(in.lock);
  return !in.events.empty();
}

POINT CursorPos() {
  Input& in = In();
  std::lock_guard<std::mutex> guard(in.lock);
  return in.lastPos;
}

int SystemCursorId(HCURSOR cursor) {
  SystemCursors& cursors = Cursors();
  std::lock_guard<std::mutex> guard(cursors.lock);
  for (auto& [id, handle] : cursors.byId) {
    if (handle == cursor) return static_cast<int>(id);
  }
  return 0;
}

bool IsActivatable(const Window& w) {
  return !w.IsChild() && IsVisibleNow(w) && !(w.style & WS_DISABLED) && !(w.exStyle & WS_EX_NOACTIVATE);
}

void ActivateWindow(HWND hwnd, int how) {
  Input& in = In();
  HWND old = in.active;
  if (old == hwnd) return;
  in.active = hwnd;
  if (auto o = Win(old)) {
    Send(old, WM_NCACTIVATE, FALSE, 0);
    if (auto again = Win(old)) {
      Send(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, (again->style & WS_MINIMIZE) != 0), reinterpret_cast<LPARAM>(hwnd));
    }
  }
  auto w = Win(hwnd);
  if (!w) {
    in.active = nullptr;
    SendActivateApp(nullptr, FALSE);
    if (in.focus) SetFocus(nullptr);
    return;
  }
  if (!old || !Win(old)) SendActivateApp(nullptr, TRUE);
  if (!Win(hwnd) || in.active != hwnd) return;
  const std::vector<HWND> topLevel = ChildrenOf(*Win(Desktop()));
  if (topLevel.empty() || topLevel.front() != hwnd) {
    SetWindowPosImpl(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  // On a palette screen the window coming to the front may realise its own palette first.
  if (platform_config::Config().screenDepth == 8) {
    Send(hwnd, WM_QUERYNEWPALETTE, 0, 0);
    if (!Win(hwnd) || in.active != hwnd) return;
  }
  Send(hwnd, WM_NCACTIVATE, TRUE, 0);
  if (auto again = Win(hwnd)) {
    Send(hwnd, WM_ACTIVATE, MAKEWPARAM(how, (again->style & WS_MINIMIZE) != 0), reinterpret_cast<LPARAM>(old));
  }
  // The focus belongs inside the active window.
  if (in.focus && in.active == hwnd && RootOf(in.focus) != hwnd) SetFocus(nullptr);
}

void WindowGoing(HWND hwnd) {
  Input& in = In();
  if (Inside(hwnd, in.capture)) ReleaseCapture();
  if (Inside(hwnd, in.focus)) {
    auto w = Win(hwnd);
    HWND parent = w && w->IsChild() ? w->parent : nullptr;
    SetFocus(parent && !Win(parent)->destroying ? parent : nullptr);
  }
  if (in.active == hwnd) ActivateWindow(NextActive(hwnd), WA_ACTIVE);
}

void ForgetWindow(HWND hwnd) {
  Input& in = In();
  if (in.capture == hwnd) in.capture = nullptr;
  if (in.focus == hwnd) in.focus = nullptr;
  if (in.active == hwnd) in.active = nullptr;
  if (in.tracked == hwnd) in.tracked = nullptr;
  if (in.lastDownWindow == hwnd) in.lastDownWindow = nullptr;
}

void WindowHidden(HWND hwnd) {
  Input& in = In();
  if (Inside(hwnd, in.tracked)) {
    auto t = Win(in.tracked);
    Post(t->thread, {in.tracked, static_cast<UINT>((in.trackFlags & TME_NONCLIENT) ? WM_NCMOUSELEAVE : WM_MOUSELEAVE), 0, 0,
                     GetTickCount(), in.lastPos});
    in.tracked = nullptr;
    in.trackFlags = 0;
  }
}

void MoveLoop(HWND hwnd) {
  auto w = Win(hwnd);
  if (!w) return;
  const POINT start{GET_X_LPARAM(GetMessagePos()), GET_Y_LPARAM(GetMessagePos())};
  const RECT original = w->window;
  Send(hwnd, WM_ENTERSIZEMOVE, 0, 0);
  SetCapture(hwnd);
  auto moveTo = [&](POINT pt) {
    RECT r = original;
    OffsetRect(&r, pt.x - start.x, pt.y - start.y);
    Send(hwnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
    SetWindowPosImpl(hwnd, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  for (;;) {
    if (GetCapture() != hwnd || !Win(hwnd)) break;
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      // The button is already up and nothing more is coming: the move is over.
      if (!(GetAsyncKeyState(VK_LBUTTON) & 0x8000) && !HasPendingInput()) break;
      WaitMessage();
      continue;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
      moveTo(msg.pt);
      if (msg.message == WM_LBUTTONUP) break;
      continue;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      SetWindowPosImpl(hwnd, nullptr, original.left, original.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    }
    if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (GetCapture() == hwnd) ReleaseCapture();
  if (Win(hwnd)) Send(hwnd, WM_EXITSIZEMOVE, 0, 0);
}

void InjectMouseMove(POINT screen) { Queue({WM_MOUSEMOVE, screen, 0, 0, GetTickCount()}); }

void InjectMouseButton(UINT button, bool down, POINT screen) {
  UINT kind = button == VK_RBUTTON ? WM_RBUTTONDOWN : button == VK_MBUTTON ? WM_MBUTTONDOWN : WM_LBUTTONDOWN;
  Input& in = In();
  bool moved;
  {
    std::lock_guard<std::mutex> guard(in.lock);
    moved = in.cursor.x != screen.x || in.cursor.y != screen.y;
  }
  if (moved) InjectMouseMove(screen);
  Queue({down ? kind : kind + 1, screen, 0, 0, GetTickCount()});
}

void InjectMouseWheel(int delta, POINT screen) { Queue({WM_MOUSEWHEEL, screen, delta, 0, GetTickCount()}); }

void InjectKey(UINT vk, bool down) {
  Input& in = In();
  POINT at;
  {
    std::lock_guard<std::mutex> guard(in.lock);
    at = in.cursor;
  }
  Queue({down ? static_cast<UINT>(WM_KEYDOWN) : static_cast<UINT>(WM_KEYUP), at, 0, vk & 0xFF, GetTickCount()});
}

}  // namespace win32::user

using namespace win32;
using namespace win32::user;

HWND SetCapture(HWND hWnd) {
  Input& in = In();
  if (!Win(hWnd)) return nullptr;
  HWND old = in.capture;
  in.capture = hWnd;
  if (old && old != hWnd && Win(old)) Send(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
  return old;
}

BOOL ReleaseCapture() {
  Input& in = In();
  HWND old = in.capture;
  in.capture = nullptr;
  if (old && Win(old)) Send(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() { return In().capture; }

UINT GetDoubleClickTime() { return 500; }

BOOL TrackMouseEvent(LPTRACKMOUSEEVENT tme) {
  Input& in = In();
  if (!tme || tme->cbSize != sizeof(TRACKMOUSEEVENT) || (tme->dwFlags & ~(TME_LEAVE | TME_NONCLIENT | TME_QUERY | TME_CANCEL))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (tme->dwFlags & TME_QUERY) {
    tme->hwndTrack = in.tracked;
    tme->dwFlags = in.tracked ? (in.trackFlags | TME_LEAVE) : 0;
    tme->dwHoverTime = 0;
    return TRUE;
  }
  auto w = Win(tme->hwndTrack);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (tme->dwFlags & TME_CANCEL) {
    if (in.tracked == tme->hwndTrack) in.tracked = nullptr;
    return TRUE;
  }
  if (!(tme->dwFlags & TME_LEAVE)) return TRUE;
  // The mouse is judged where the last input left it.
  int hit = HTNOWHERE;
  HWND under = in.capture ? in.capture : WindowAt(in.lastPos, &hit);
  if (in.capture) {
    RECT c = ScreenClientRect(*w);
    hit = PtInRect(&c, in.lastPos) ? HTCLIENT : HTNOWHERE;
  }
  const bool nonClient = tme->dwFlags & TME_NONCLIENT;
  if (under != tme->hwndTrack || (hit == HTCLIENT) == nonClient) {
    Post(w->thread, {tme->hwndTrack, static_cast<UINT>(nonClient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE), 0, 0, GetTickCount(), in.lastPos});
    return TRUE;
  }
  in.tracked = tme->hwndTrack;
  in.trackFlags = tme->dwFlags & TME_NONCLIENT;
  return TRUE;
}

BOOL _TrackMouseEvent(LPTRACKMOUSEEVENT lpEventTrack) { return TrackMouseEvent(lpEventTrack); }

HCURSOR LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
  // Only the system cursors exist; they are shared and never destroyed.
  const uintptr_t id = reinterpret_cast<uintptr_t>(lpCursorName);
  if (hInstance || !IS_INTRESOURCE(lpCursorName) || id < 32512 || id > 32651) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  SystemCursors& cursors = Cursors();
  std::lock_guard<std::mutex> guard(cursors.lock);
  HCURSOR& cursor = cursors.byId[id];
  if (!cursor) cursor = MakeSystemCursor();
  return cursor;
}

HCURSOR SetCursor(HCURSOR hCursor) {
  HCURSOR old = In().shape;
  In().shape = hCursor;
  return old;
}

HCURSOR GetCursor() { return In().shape; }

BOOL GetCursorPos(LPPOINT lpPoint) {
  if (!lpPoint) return FALSE;
  Input& in = In();
  std::lock_guard<std::mutex> guard(in.lock);
  *lpPoint = in.cursor;
  return TRUE;
}

BOOL SetCursorPos(int X, int Y) {
  const auto& config = platform_config::Config();
  InjectMouseMove({std::clamp(X, 0, config.screenWidth - 1), std::clamp(Y, 0, config.screenHeight - 1)});
  return TRUE;
}

SHORT GetKeyState(int nVirtKey) {
  BYTE k = In().keys[nVirtKey & 0xFF];
  return static_cast<SHORT>(((k & 0x80) ? 0x8000 : 0) | (k & 0x01));
}

SHORT GetAsyncKeyState(int vKey) {
  Input& in = In();
  std::lock_guard<std::mutex> guard(in.lock);
  return static_cast<SHORT>((in.asyncKeys[vKey & 0xFF] & 0x80) ? 0x8000 : 0);
}

HWND GetFocus() { return In().focus; }

HWND SetFocus(HWND hWnd) {
  Input& in = In();
  HWND old = in.focus;
  if (!hWnd) {
    in.focus = nullptr;
    if (old && Win(old)) Send(old, WM_KILLFOCUS, 0, 0);
    return old;
  }
  auto w = Win(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  for (auto a = w; a && a->handle != Desktop(); a = Win(a->parent)) {
    if (a->style & (WS_MINIMIZE | WS_DISABLED)) return nullptr;
  }
  HWND root = RootOf(hWnd);
  if (root != in.active) {
    auto r = Win(root);
    if (r && IsActivatable(*r)) ActivateWindow(root, WA_ACTIVE);
    if (in.focus == hWnd) return old;
  }
  old = in.focus;
  if (old == hWnd) return old;
  in.focus = hWnd;
  if (old && Win(old)) Send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
  if (in.focus == hWnd && Win(hWnd)) Send(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
  auto w = Win(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  const bool wasDisabled = w->style & WS_DISABLED;
  if (bEnable && wasDisabled) {
    w->style &= ~WS_DISABLED;
    Send(hWnd, WM_ENABLE, TRUE, 0);
  } else if (!bEnable && !wasDisabled) {
    Send(hWnd, WM_CANCELMODE, 0, 0);
    if (!(w = Win(hWnd))) return FALSE;
    w->style |= WS_DISABLED;
    Input& in = In();
    if (Inside(hWnd, in.capture)) ReleaseCapture();
    if (Inside(hWnd, in.focus)) SetFocus(nullptr);
    Send(hWnd, WM_ENABLE, FALSE, 0);
  }
  return wasDisabled;
}

HWND GetActiveWindow() { return In().active; }

HWND SetActiveWindow(HWND hWnd) {
  auto w = Win(hWnd);
  if (!w || w->IsChild()) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  HWND old = In().active;
  ActivateWindow(hWnd, WA_ACTIVE);
  return old;
}

HWND GetForegroundWindow() { return In().active; }

BOOL SetForegroundWindow(HWND hWnd) {
  auto w = Win(hWnd);
  if (!w) return FALSE;
  ActivateWindow(RootOf(hWnd), WA_ACTIVE);
  return TRUE;
}

BOOL TranslateMessage(const MSG* lpMsg) {
  if (!lpMsg || (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_SYSKEYDOWN)) return FALSE;
  const UINT vk = static_cast<UINT>(lpMsg->wParam);
  const bool shift = GetKeyState(VK_SHIFT) & 0x8000;
  const bool control = GetKeyState(VK_CONTROL) & 0x8000;
  const bool caps = GetKeyState(VK_CAPITAL) & 0x01;
  int ch = -1;
  if (vk >= 'A' && vk <= 'Z') {
    ch = control ? static_cast<int>(vk - 'A' + 1) : ((shift != caps) ? static_cast<int>(vk) : static_cast<int>(vk + 32));
  } else if (vk >= '0' && vk <= '9') {
    static const char shifted[] = ")!@#$%^&*(";
    ch = shift ? shifted[vk - '0'] : static_cast<int>(vk);
  } else if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) {
    ch = static_cast<int>('0' + vk - VK_NUMPAD0);
  } else {
    switch (vk) {
      case VK_SPACE: ch = ' '; break;
      case VK_RETURN: ch = control ? '\n' : '\r'; break;
      case VK_BACK: ch = control ? 0x7F : 0x08; break;
      case VK_TAB: ch = '\t'; break;
      case VK_ESCAPE: ch = 0x1B; break;
      case VK_OEM_PERIOD: ch = shift ? '>' : '.'; break;
      case VK_OEM_COMMA: ch = shift ? '<' : ','; break;
      case VK_OEM_MINUS: ch = shift ? '_' : '-'; break;
      case VK_OEM_PLUS: ch = shift ? '+' : '='; break;
      case VK_OEM_1: ch = shift ? ':' : ';'; break;
      case VK_OEM_2: ch = shift ? '?' : '/'; break;
      case VK_OEM_3: ch = shift ? '~' : '`'; break;
      case VK_OEM_4: ch = shift ? '{' : '['; break;
      case VK_OEM_5: ch = shift ? '|' : '\\'; break;
      case VK_OEM_6: ch = shift ? '}' : ']'; break;
      case VK_OEM_7: ch = shift ? '"' : '\''; break;
      case VK_DECIMAL: ch = '.'; break;
      case VK_ADD: ch = '+'; break;
      case VK_SUBTRACT: ch = '-'; break;
      case VK_MULTIPLY: ch = '*'; break;
      case VK_DIVIDE: ch = '/'; break;
    }
  }
  if (ch < 0) return FALSE;
  auto w = Win(lpMsg->hwnd);
  if (!w) return FALSE;
  UINT message = lpMsg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  // The character comes before anything else already queued.
  Post(w->thread, {lpMsg->hwnd, message, static_cast<WPARAM>(ch), lpMsg->lParam, lpMsg->time, lpMsg->pt}, true);
  return TRUE;
}
