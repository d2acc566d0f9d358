// Creating and destroying windows; the window tree; window longs, properties and text.
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "menus/menu_bar.h"
#include "user/user_state.h"
#include "win32/winbase.h"
#include "win32/winerror.h"

namespace win32::user {
namespace {

constexpr DWORD kErrorInvalidIndex = 1413;
constexpr DWORD kErrorTopLevelWithChildStyle = 1406;

std::shared_ptr<Window> CheckedWin(HWND hwnd) {
  auto w = Win(hwnd);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

bool IsTopmost(HWND hwnd) {
  auto w = Win(hwnd);
  return w && (w->exStyle & WS_EX_TOPMOST);
}

// Links a new window into its parent's z-order: children at the bottom, top-level windows at
// the top (below topmost windows unless topmost themselves).
void Link(Window& w) {
  std::lock_guard<std::recursive_mutex> tree(TreeLock());
  auto parent = Win(w.parent);
  auto& list = parent->children;
  if (w.IsChild()) {
    list.push_back(w.handle);
    return;
  }
  auto at = list.begin();
  if (!(w.exStyle & WS_EX_TOPMOST)) {
    while (at != list.end() && IsTopmost(*at)) ++at;
  }
  list.insert(at, w.handle);
}

void Unlink(Window& w) {
  std::lock_guard<std::recursive_mutex> tree(TreeLock());
  if (auto parent = Win(w.parent)) std::erase(parent->children, w.handle);
}

void NotifyParents(HWND hwnd, UINT event) {
  auto w = Win(hwnd);
  while (w && w->IsChild() && !(w->exStyle & WS_EX_NOPARENTNOTIFY)) {
    auto parent = Win(w->parent);
    if (!parent || parent->handle == Desktop()) break;
    Send(parent->handle, WM_PARENTNOTIFY, MAKEWPARAM(event, static_cast<WORD>(Win(hwnd)->id)),
         reinterpret_cast<LPARAM>(hwnd));
    w = parent;
  }
}

void SendDestroy(HWND hwnd) {
  auto w = Win(hwnd);
  if (!w) return;
  w->destroying = true;
  Send(hwnd, WM_DESTROY, 0, 0);
  auto still = Win(hwnd);
  if (!still) return;
  std::vector<HWND> children = ChildrenOf(*still);
  for (HWND child : children) SendDestroy(child);
}

void FreeWindow(HWND hwnd) {
  auto w = Win(hwnd);
  if (!w) return;
  std::vector<HWND> children = ChildrenOf(*w);
  for (HWND child : children) FreeWindow(child);
  Send(hwnd, WM_NCDESTROY, 0, 0);
  if (!w->IsChild()) menus::WindowMenusGone(hwnd, reinterpret_cast<HMENU>(w->id));
  ForgetWindow(hwnd);
  KillWindowTimers(hwnd);
  ForgetWindowDCs(hwnd);
  DiscardSavedBits(hwnd);
  DropPaint(*w);
  Unlink(*w);
  {
    std::lock_guard<std::recursive_mutex> tree(TreeLock());
    w->children.clear();
  }
  w->props.clear();
  if (w->cls) --w->cls->windows;
  ReleaseHandle(reinterpret_cast<uintptr_t>(hwnd), HandleKind::Window);
}

std::string PropKey(const char* name) {
  if (!IS_INTRESOURCE(name)) return name;
  char buffer[256];
  if (GlobalGetAtomNameA(static_cast<ATOM>(reinterpret_cast<uintptr_t>(name)), buffer, sizeof buffer) == 0) {
    return std::string("#").append(std::to_string(reinterpret_cast<uintptr_t>(name)));
  }
  return buffer;
}

bool ClassMatches(const Window& w, const char* cls) {
  if (!cls) return true;
  if (IS_INTRESOURCE(cls)) return w.cls->atom == reinterpret_cast<uintptr_t>(cls);
  return strcasecmp(w.cls->name.c_str(), cls) == 0;
}

bool Enumerate(const std::vector<HWND>& list, bool deep, WNDENUMPROC proc, LPARAM lParam) {
  for (HWND hwnd : list) {
    auto w = Win(hwnd);
    if (!w) continue;
    if (!proc(hwnd, lParam)) return false;
    if (deep) {
      auto again = Win(hwnd);
      if (again && !Enumerate(ChildrenOf(*again), true, proc, lParam)) return false;
    }
  }
  return true;
}

}  // namespace
}  // namespace win32::user

using namespace win32;
using namespace win32::user;

HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X,
                     int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                     HINSTANCE hInstance, LPVOID lpParam) {
  auto cls = FindClass(lpClassName);
  if (!cls) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return nullptr;
  }
  auto w = std::make_shared<Window>();
  w->cls = cls;
  w->thread = GetCurrentThreadId();
  CurrentQueue();
  w->proc = cls->proc;
  w->instance = hInstance;
  w->exStyle = dwExStyle;
  w->style = dwStyle & ~WS_VISIBLE;
  const bool child = (dwStyle & (WS_CHILD | WS_POPUP)) == WS_CHILD;
  if (child) {
    auto parent = CheckedWin(hWndParent);
    if (!parent) {
      SetLastError(hWndParent ? ERROR_INVALID_WINDOW_HANDLE : kErrorTopLevelWithChildStyle);
      return nullptr;
    }
    w->parent = parent->handle;
    w->id = reinterpret_cast<LONG_PTR>(hMenu);
  } else {
    if (hWndParent && !CheckedWin(hWndParent)) return nullptr;
    w->parent = Desktop();
    w->owner = hWndParent ? RootOf(hWndParent) : nullptr;
    w->id = reinterpret_cast<LONG_PTR>(hMenu);
    // Top-level windows always clip their siblings; overlapped ones always have a caption.
    w->style |= WS_CLIPSIBLINGS;
    if (!(dwStyle & WS_POPUP)) w->style |= WS_CAPTION;
  }
  if ((w->exStyle & WS_EX_DLGMODALFRAME) || (w->style & (WS_DLGFRAME | WS_THICKFRAME))) {
    w->exStyle |= WS_EX_WINDOWEDGE;
  }
  w->extra.assign(cls->wndExtra, 0);

  const bool overlapped = !(dwStyle & (WS_CHILD | WS_POPUP));
  if (X == CW_USEDEFAULT) X = Y = 0;
  if (nWidth == CW_USEDEFAULT) {
    nWidth = overlapped ? GetSystemMetrics(SM_CXSCREEN) * 3 / 4 : 0;
    nHeight = overlapped ? GetSystemMetrics(SM_CYSCREEN) * 3 / 4 : 0;
  }
  w->handle = ToHandle<HWND>(AllocateHandle(HandleKind::Window, w));
  if (!w->handle) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  ++cls->windows;
  Link(*w);
  HWND hwnd = w->handle;

  CREATESTRUCTA cs{lpParam, hInstance, hMenu, hWndParent, nHeight, nWidth, Y, X,
                   static_cast<LONG>(dwStyle), lpWindowName, lpClassName, dwExStyle};
  // A CBT hook sees the window first and may change the placement or refuse the window.
  CBT_CREATEWNDA cbt{&cs, child ? HWND_BOTTOM : HWND_TOP};
  if (CallCbtHooks(HCBT_CREATEWND, reinterpret_cast<WPARAM>(hwnd), reinterpret_cast<LPARAM>(&cbt))) {
    if (Win(hwnd)) {
      Unlink(*w);
      --cls->windows;
      ForgetWindow(hwnd);
      ReleaseHandle(reinterpret_cast<uintptr_t>(hwnd), HandleKind::Window);
    }
    return nullptr;
  }
  if (!Win(hwnd)) return nullptr;
  X = cs.x;
  Y = cs.y;
  nWidth = cs.cx;
  nHeight = cs.cy;
  if ((dwStyle & WS_THICKFRAME) || overlapped) {
    MINMAXINFO info{};
    RECT in = NonClientInsets(w->style, w->exStyle);
    info.ptMaxSize = {GetSystemMetrics(SM_CXSCREEN) + in.left + in.right,
                      GetSystemMetrics(SM_CYSCREEN) + in.top + in.bottom};
    info.ptMaxPosition = {-in.left, -in.top};
    info.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    info.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    Send(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    nWidth = std::clamp<int>(nWidth, info.ptMinTrackSize.x, std::max(info.ptMinTrackSize.x, info.ptMaxTrackSize.x));
    nHeight = std::clamp<int>(nHeight, info.ptMinTrackSize.y, std::max(info.ptMinTrackSize.y, info.ptMaxTrackSize.y));
  }
  if (nWidth < 0) nWidth = 0;
  if (nHeight < 0) nHeight = 0;
  w->window = {X, Y, X + nWidth, Y + nHeight};
  w->client = w->window;
  cs.x = X;
  cs.y = Y;
  cs.cx = nWidth;
  cs.cy = nHeight;

  if (!Send(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    FreeWindow(hwnd);
    return nullptr;
  }
  if (!Win(hwnd)) return nullptr;
  RECT client = w->window;
  Send(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
  if (!Win(hwnd)) return nullptr;
  if (client.right < client.left) client.right = client.left;
  if (client.bottom < client.top) client.bottom = client.top;
  w->client = client;
  if (Send(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (!Win(hwnd)) return nullptr;
  Send(hwnd, WM_SIZE, SIZE_RESTORED,
       MAKELPARAM(w->client.right - w->client.left, w->client.bottom - w->client.top));
  Send(hwnd, WM_MOVE, 0, MAKELPARAM(w->client.left, w->client.top));
  if (!Win(hwnd)) return nullptr;
  NotifyParents(hwnd, WM_CREATE);
  if (!Win(hwnd)) return nullptr;
  if (dwStyle & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  return Win(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hWnd) {
  auto w = CheckedWin(hWnd);
  if (!w || hWnd == Desktop()) return FALSE;
  if (w->thread != GetCurrentThreadId()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (w->destroying) return TRUE;
  if (CallCbtHooks(HCBT_DESTROYWND, reinterpret_cast<WPARAM>(hWnd), 0)) return FALSE;
  if (!Win(hWnd)) return TRUE;
  NotifyParents(hWnd, WM_DESTROY);
  if (!Win(hWnd)) return TRUE;
  if (w->style & WS_VISIBLE) {
    SetWindowPosImpl(hWnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    if (!Win(hWnd)) return TRUE;
  }
  if (!w->IsChild()) {
    // Owned windows go first.
    std::vector<HWND> owned;
    for (HWND top : ChildrenOf(*Win(Desktop()))) {
      auto t = Win(top);
      if (t && t->owner == hWnd) owned.push_back(top);
    }
    for (HWND o : owned) DestroyWindow(o);
  }
  WindowGoing(hWnd);
  const bool topLevel = !w->IsChild();
  SendDestroy(hWnd);
  FreeWindow(hWnd);
  if (topLevel) NotifyTopLevelChanged(hWnd);  // the observer finds the handle gone
  return TRUE;
}

BOOL IsWindow(HWND hWnd) { return Win(hWnd) != nullptr; }

BOOL IsChild(HWND hWndParent, HWND hWnd) {
  for (auto w = Win(hWnd); w && w->IsChild(); w = Win(w->parent)) {
    if (w->parent == hWndParent) return TRUE;
  }
  return FALSE;
}

BOOL IsWindowVisible(HWND hWnd) {
  auto w = Win(hWnd);
  return w && IsVisibleNow(*w);
}

BOOL IsWindowEnabled(HWND hWnd) {
  auto w = Win(hWnd);
  return w && !(w->style & WS_DISABLED);
}

BOOL IsIconic(HWND hWnd) {
  auto w = Win(hWnd);
  return w && (w->style & WS_MINIMIZE);
}

BOOL IsZoomed(HWND hWnd) {
  auto w = Win(hWnd);
  return w && (w->style & WS_MAXIMIZE);
}

HWND GetParent(HWND hWnd) {
  auto w = CheckedWin(hWnd);
  if (!w) return nullptr;
  if (w->IsChild()) return w->parent;
  return (w->style & WS_POPUP) ? w->owner : nullptr;
}

HWND GetAncestor(HWND hwnd, UINT gaFlags) {
  auto w = CheckedWin(hwnd);
  if (!w || hwnd == Desktop()) return nullptr;
  switch (gaFlags) {
    case GA_PARENT: return w->parent;
    case GA_ROOT: return RootOf(hwnd);
    case GA_ROOTOWNER: {
      HWND root = RootOf(hwnd);
      for (auto r = Win(root); r && r->owner; r = Win(r->owner)) root = r->owner;
      return root;
    }
  }
  return nullptr;
}

HWND SetParent(HWND hWndChild, HWND hWndNewParent) {
  auto w = CheckedWin(hWndChild);
  if (!w || hWndChild == Desktop()) return nullptr;
  HWND target = hWndNewParent ? hWndNewParent : Desktop();
  auto parent = CheckedWin(target);
  if (!parent || target == hWndChild || IsDescendant(hWndChild, target)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HWND old = w->parent;
  const bool visible = w->style & WS_VISIBLE;
  if (visible) ShowWindow(hWndChild, SW_HIDE);
  Unlink(*w);
  {
    std::lock_guard<std::recursive_mutex> tree(TreeLock());
    w->parent = target;
    parent->children.insert(parent->children.begin(), hWndChild);
  }
  RefreshWindowDCs();
  if (visible) ShowWindow(hWndChild, SW_SHOWNA);
  return old;
}

HWND GetDesktopWindow() { return Desktop(); }

HWND GetWindow(HWND hWnd, UINT uCmd) {
  auto w = CheckedWin(hWnd);
  if (!w) return nullptr;
  if (uCmd == GW_OWNER) return w->owner;
  if (uCmd == GW_CHILD) {
    const std::vector<HWND> children = ChildrenOf(*w);
    return children.empty() ? nullptr : children.front();
  }
  auto parent = Win(w->parent);
  if (!parent) return nullptr;
  const std::vector<HWND> list = ChildrenOf(*parent);
  auto it = std::find(list.begin(), list.end(), hWnd);
  if (it == list.end()) return nullptr;
  switch (uCmd) {
    case GW_HWNDFIRST: return list.front();
    case GW_HWNDLAST: return list.back();
    case GW_HWNDNEXT: return it + 1 == list.end() ? nullptr : *(it + 1);
    case GW_HWNDPREV: return it == list.begin() ? nullptr : *(it - 1);
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return nullptr;
}

HWND GetTopWindow(HWND hWnd) { return GetWindow(hWnd ? hWnd : Desktop(), GW_CHILD); }

BOOL EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam) {
  if (!hWndParent) return EnumWindows(lpEnumFunc, lParam);
  auto w = CheckedWin(hWndParent);
  if (!w || !lpEnumFunc) return FALSE;
  Enumerate(ChildrenOf(*w), true, lpEnumFunc, lParam);
  return TRUE;
}

BOOL EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam) {
  if (!lpEnumFunc) return FALSE;
  Enumerate(ChildrenOf(*Win(Desktop())), false, lpEnumFunc, lParam);
  return TRUE;
}

BOOL EnumThreadWindows(DWORD dwThreadId, WNDENUMPROC lpfn, LPARAM lParam) {
  if (!lpfn) return FALSE;
  std::vector<HWND> mine;
  for (HWND top : ChildrenOf(*Win(Desktop()))) {
    auto t = Win(top);
    if (t && t->thread == dwThreadId) mine.push_back(top);
  }
  Enumerate(mine, false, lpfn, lParam);
  return TRUE;
}

HWND FindWindowExA(HWND hWndParent, HWND hWndChildAfter, LPCSTR lpszClass, LPCSTR lpszWindow) {
  auto parent = CheckedWin(hWndParent ? hWndParent : Desktop());
  if (!parent) return nullptr;
  const std::vector<HWND> list = ChildrenOf(*parent);
  auto it = list.begin();
  if (hWndChildAfter) {
    it = std::find(list.begin(), list.end(), hWndChildAfter);
    if (it == list.end()) return nullptr;
    ++it;
  }
  for (; it != list.end(); ++it) {
    auto w = Win(*it);
    if (!w || !ClassMatches(*w, lpszClass)) continue;
    if (lpszWindow && strcasecmp(w->text.c_str(), lpszWindow) != 0) continue;
    return *it;
  }
  return nullptr;
}

HWND FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName) {
  return FindWindowExA(nullptr, nullptr, lpClassName, lpWindowName);
}

DWORD GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId) {
  auto w = CheckedWin(hWnd);
  if (!w) return 0;
  if (lpdwProcessId) *lpdwProcessId = static_cast<DWORD>(getpid());
  return w->thread;
}

LONG_PTR GetWindowLongPtrA(HWND hWnd, int nIndex) {
  auto w = CheckedWin(hWnd);
  if (!w) return 0;
  switch (nIndex) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->IsChild() ? w->parent : w->owner);
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    case GWLP_USERDATA: return w->userData;
    case GWLP_ID: return w->id;
  }
  if (nIndex >= 0 && static_cast<size_t>(nIndex) + sizeof(LONG_PTR) <= w->extra.size()) {
    LONG_PTR value;
    std::memcpy(&value, w->extra.data() + nIndex, sizeof value);
    return value;
  }
  SetLastError(kErrorInvalidIndex);
  return 0;
}

LONG_PTR SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  auto w = CheckedWin(hWnd);
  if (!w) return 0;
  SetLastError(ERROR_SUCCESS);
  LONG_PTR old = 0;
  switch (nIndex) {
    case GWLP_WNDPROC:
      old = reinterpret_cast<LONG_PTR>(w->proc);
      w->proc = reinterpret_cast<WNDPROC>(dwNewLong);
      return old;
    case GWLP_HINSTANCE:
      old = reinterpret_cast<LONG_PTR>(w->instance);
      w->instance = reinterpret_cast<HINSTANCE>(dwNewLong);
      return old;
    case GWLP_HWNDPARENT:
      if (w->IsChild()) return reinterpret_cast<LONG_PTR>(SetParent(hWnd, reinterpret_cast<HWND>(dwNewLong)));
      old = reinterpret_cast<LONG_PTR>(w->owner);
      w->owner = reinterpret_cast<HWND>(dwNewLong);
      return old;
    case GWLP_USERDATA:
      old = w->userData;
      w->userData = dwNewLong;
      return old;
    case GWLP_ID:
      old = w->id;
      w->id = dwNewLong;
      return old;
    case GWL_STYLE:
    case GWL_EXSTYLE: {
      DWORD& field = nIndex == GWL_STYLE ? w->style : w->exStyle;
      STYLESTRUCT ss{field, static_cast<DWORD>(dwNewLong)};
      Send(hWnd, WM_STYLECHANGING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&ss));
      if (!Win(hWnd)) return 0;
      old = static_cast<LONG>(field);
      const bool wasVisible = IsVisibleNow(*w);
      field = ss.styleNew;
      if (nIndex == GWL_STYLE && IsVisibleNow(*w) != wasVisible) {
        // Visibility changed behind the window manager's back: repaint what it covers or uncovers.
        Region area(ScreenWindowRect(*w));
        if (wasVisible) {
          DropPaint(*w);
          ExposeScreenArea(area);
        } else {
          RedrawScreenRegion(hWnd, area, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
        RefreshWindowDCs();
        NotifyTopLevelChanged(RootOf(hWnd));
      }
      ss.styleOld = static_cast<DWORD>(old);
      Send(hWnd, WM_STYLECHANGED, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&ss));
      return old;
    }
  }
  if (nIndex >= 0 && static_cast<size_t>(nIndex) + sizeof(LONG_PTR) <= w->extra.size()) {
    std::memcpy(&old, w->extra.data() + nIndex, sizeof old);
    std::memcpy(w->extra.data() + nIndex, &dwNewLong, sizeof dwNewLong);
    return old;
  }
  SetLastError(kErrorInvalidIndex);
  return 0;
}

LONG GetWindowLongA(HWND hWnd, int nIndex) {
  auto w = CheckedWin(hWnd);
  if (!w) return 0;
  if (nIndex >= 0) {
    if (static_cast<size_t>(nIndex) + sizeof(LONG) > w->extra.size()) {
      SetLastError(kErrorInvalidIndex);
      return 0;
    }
    LONG value;
    std::memcpy(&value, w->extra.data() + nIndex, sizeof value);
    return value;
  }
  return static_cast<LONG>(GetWindowLongPtrA(hWnd, nIndex));
}

LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
  auto w = CheckedWin(hWnd);
  if (!w) return 0;
  if (nIndex >= 0) {
    if (static_cast<size_t>(nIndex) + sizeof(LONG) > w->extra.size()) {
      SetLastError(kErrorInvalidIndex);
      return 0;
    }
    LONG old;
    std::memcpy(&old, w->extra.data() + nIndex, sizeof old);
    std::memcpy(w->extra.data() + nIndex, &dwNewLong, sizeof dwNewLong);
    return old;
  }
  LONG_PTR value = dwNewLong;
  if (nIndex == GWL_STYLE || nIndex == GWL_EXSTYLE) value = static_cast<LONG_PTR>(static_cast<DWORD>(dwNewLong));
  return static_cast<LONG>(SetWindowLongPtrA(hWnd, nIndex, value));
}

LRESULT CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return lpPrevWndFunc ? lpPrevWndFunc(hWnd, Msg, wParam, lParam) : 0;
}

BOOL SetPropA(HWND hWnd, LPCSTR lpString, HANDLE hData) {
  auto w = CheckedWin(hWnd);
  if (!w || !lpString) return FALSE;
  std::string key = PropKey(lpString);
  for (auto& [name, value] : w->props) {
    if (strcasecmp(name.c_str(), key.c_str()) == 0) {
      value = hData;
      return TRUE;
    }
  }
  w->props.emplace_back(key, hData);
  return TRUE;
}

HANDLE GetPropA(HWND hWnd, LPCSTR lpString) {
  auto w = Win(hWnd);
  if (!w || !lpString) return nullptr;
  std::string key = PropKey(lpString);
  for (auto& [name, value] : w->props) {
    if (strcasecmp(name.c_str(), key.c_str()) == 0) return value;
  }
  return nullptr;
}

HANDLE RemovePropA(HWND hWnd, LPCSTR lpString) {
  auto w = Win(hWnd);
  if (!w || !lpString) return nullptr;
  std::string key = PropKey(lpString);
  for (auto it = w->props.begin(); it != w->props.end(); ++it) {
    if (strcasecmp(it->first.c_str(), key.c_str()) == 0) {
      HANDLE value = it->second;
      w->props.erase(it);
      return value;
    }
  }
  return nullptr;
}

int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
  if (!CheckedWin(hWnd) || !lpString || nMaxCount <= 0) return 0;
  lpString[0] = '\0';
  return static_cast<int>(Send(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowTextLengthA(HWND hWnd) {
  if (!CheckedWin(hWnd)) return 0;
  return static_cast<int>(Send(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString) {
  if (!CheckedWin(hWnd)) return FALSE;
  return static_cast<BOOL>(Send(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)));
}
