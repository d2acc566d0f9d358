#pragma once
// The window layer's internal model: classes, windows, per-thread queues and the process-wide
// input state. The window tree is used by the threads that own windows; only posting, timers and
// the queues are shared with other threads (each queue has its own lock).
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "gdi/banded_region.h"
#include "handle_table.h"
#include "win32/winuser.h"
#include "win32/winuser_draw.h"

namespace win32::user {

using gdi::Region;

struct WindowClass {
  std::string name;
  ATOM atom = 0;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int wndExtra = 0;
  std::vector<uint8_t> classExtra;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HICON iconSmall = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  std::string menuName;
  bool system = false;
  int windows = 0;  // live windows of the class
};

class Window : public HandleObject {
 public:
  HWND handle = nullptr;
  std::shared_ptr<WindowClass> cls;
  DWORD thread = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  HWND parent = nullptr;  // the desktop for top-level windows
  HWND owner = nullptr;
  std::vector<HWND> children;  // top of the z-order first
  RECT window{};               // parent client coordinates (screen for top-level windows)
  RECT client{};               // same coordinates
  std::string text;
  LONG_PTR id = 0;  // child id, or the menu of a top-level window
  LONG_PTR userData = 0;
  std::vector<uint8_t> extra;
  std::vector<std::pair<std::string, HANDLE>> props;
  std::optional<Region> region;  // window coordinates
  RECT restore{};                // placement before minimising or maximising
  HICON iconBig = nullptr;       // WM_SETICON
  HICON iconSmall = nullptr;

  // Painting. The update region is in window coordinates (origin at the window's top left).
  Region update;
  bool erase = false;
  bool frame = false;  // the non-client area needs WM_NCPAINT
  bool internalPaint = false;

  bool destroying = false;

  bool IsChild() const { return (style & (WS_CHILD | WS_POPUP)) == WS_CHILD; }
};

// A sent message waiting for the thread that owns the window.
struct CrossThreadSend {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD sender;
  LRESULT result = 0;
  bool done = false;
};

struct Timer {
  HWND hwnd;
  UINT_PTR id;
  UINT period;
  uint64_t due;
  TIMERPROC proc;
};

// One thread's message queue. The lock guards everything but the fields marked as the thread's.
struct ThreadQueue {
  DWORD thread = 0;
  std::mutex lock;
  std::condition_variable changed;
  std::deque<MSG> posted;
  std::deque<std::shared_ptr<CrossThreadSend>> incoming;
  std::vector<Timer> timers;
  bool quit = false;
  int quitCode = 0;
  uint32_t nextThreadTimerId = 0x7000;

  // The thread's own.
  MSG last{};               // GetMessagePos, GetMessageTime
  int sentFromOtherThread = 0;
  uint64_t sendsHandled = 0;  // sends from other threads handled so far
  bool nextSendIsForeign = false;  // the send about to be made comes from another thread
  int hookDepth = 0;
  std::function<bool()> idle;
};

// ---- Process state ------------------------------------------------------------------------------

// The window behind a handle (null for stale handles); the desktop window is a window too.
std::shared_ptr<Window> Win(HWND hwnd);
HWND Desktop();
// Guards the child lists: the desktop's list holds the top-level windows of every thread, so
// windows made or destroyed on one thread change a list that another thread's message
// retrieval walks. Never held while sending a message.
std::recursive_mutex& TreeLock();
std::vector<HWND> ChildrenOf(const Window& w);  // a copy taken under the tree lock
ThreadQueue& CurrentQueue();
// The queue of a thread that has had one, or null.
ThreadQueue* QueueOf(DWORD thread);
std::shared_ptr<WindowClass> FindClass(const char* name);  // a name or a MAKEINTATOM atom

// The window's rectangles in screen coordinates.
RECT ScreenWindowRect(const Window& w);
RECT ScreenClientRect(const Window& w);
// Screen offset of the parent's client area (0, 0 for top-level windows).
POINT ParentOrigin(const Window& w);
// Top-level ancestor (the window itself for top-level windows).
HWND RootOf(HWND hwnd);
bool IsVisibleNow(const Window& w);  // it and all its ancestors are visible
bool IsDescendant(HWND ancestor, HWND hwnd);

// Borders, caption and edges that the styles put around the client area.
RECT NonClientInsets(DWORD style, DWORD exStyle);

// ---- Messages -----------------------------------------------------------------------------------

// The one path of every sent message: the thread's WH_CALLWNDPROC hooks, then the procedure
// (on the window's thread).
LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// The thread's WH_CBT hooks (newest first, each passing on with CallNextHookEx); their result.
LRESULT CallCbtHooks(int code, WPARAM wParam, LPARAM lParam);
// Queues a posted message for the window's thread (or a thread) and wakes it.
bool Post(DWORD thread, const MSG& msg, bool front = false);
// Wakes a thread waiting for messages (paint requested, input arrived).
void Wake(DWORD thread);
void WakeAll();
void KillWindowTimers(HWND hwnd);

// ---- Painting -----------------------------------------------------------------------------------

// Visible part of the window in screen coordinates: client area or whole window, minus what
// clips it (ancestors' client areas, siblings above it, its children when clipChildren).
Region VisibleRegion(HWND hwnd, bool clientOnly, bool clipChildren, bool clipSiblings);
// Invalidation by RedrawWindow's rules; region in screen coordinates.
void RedrawScreenRegion(HWND hwnd, const Region& screen, UINT flags);
// What a window change uncovered, in screen coordinates: repainted in the windows below.
void ExposeScreenArea(const Region& screen);
// CS_SAVEBITS: the screen under a top-level window is kept when it is shown and put back when
// it hides, unless something under it was invalidated meanwhile. RestoreSavedBits returns the
// screen area put back (empty when the bits were gone).
void SaveBitsUnder(HWND hwnd);
Region RestoreSavedBits(HWND hwnd);
void DiscardSavedBits(HWND hwnd);
// Window and children lose their pending paint (destroyed or hidden).
void DropPaint(Window& w);
bool NeedsPaint(const Window& w);
// The first window of the thread that needs WM_PAINT (parents before children).
HWND FindWindowToPaint(DWORD thread, HWND filter);
// Moves every window DC to where its window now is and what of it is visible.
void RefreshWindowDCs();
// Default drawing of the non-client area (borders, edges, caption) into a DC whose origin is
// the window's top left.
void PaintNonClient(HWND hwnd, HDC hdc, bool active);
void ForgetWindowDCs(HWND hwnd);
// Sends WM_PAINT now to windows that need it (and their children with allChildren); with
// eraseOnly, only WM_NCPAINT and WM_ERASEBKGND.
void UpdateNow(HWND hwnd, bool allChildren, bool eraseOnly);

// ---- Input --------------------------------------------------------------------------------------

// Takes the next input event for this thread as a message, or false.
bool NextInputMessage(DWORD thread, HWND filter, UINT first, UINT last, bool remove, MSG* out);
bool HasPendingInput();
// Capture, focus and activation leave a window that is being destroyed (with messages).
void WindowGoing(HWND hwnd);
// The input state forgets a window whose handle is going (no messages).
void ForgetWindow(HWND hwnd);
// Mouse tracking of a hidden window ends with WM_MOUSELEAVE.
void WindowHidden(HWND hwnd);
// A visible, enabled top-level window that may become the active one.
bool IsActivatable(const Window& w);
// Deactivates the active window and activates hwnd (null: none) with WA_ACTIVE or WA_CLICKACTIVE.
void ActivateWindow(HWND hwnd, int how);
// Where the last input retrieved left the mouse (what posted messages carry as their point).
POINT CursorPos();
// The caption move loop of DefWindowProc.
void MoveLoop(HWND hwnd);

// ---- Geometry -----------------------------------------------------------------------------------

BOOL SetWindowPosImpl(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags);
// What DefWindowProc does with WM_WINDOWPOSCHANGED: WM_MOVE and WM_SIZE as the client changed.
void DefaultWindowPosChanged(HWND hwnd, const WINDOWPOS& wp);
int HitTestDefault(const Window& w, POINT screen);
// The window under a screen point as WindowFromPoint finds it, with its hit-test code.
HWND WindowAt(POINT screen, int* hit);
// A CS_DROPSHADOW top-level window's shadow: cast when it was just shown, kept below it as it
// changes its place in the z-order, cast anew when it moves or changes size, gone when it hides.
void FollowWithShadow(HWND hwnd, bool shown);
// Tells the screen observer.
void NotifyTopLevelChanged(HWND hwnd);
void NotifyScreenChanged(const RECT& area);

}  // namespace win32::user
