#pragma once
// The window layer's internal services for the rest of the platform, the display back ends and
// the test driver: system classes, the screen framebuffer, input in screen coordinates, pumping
// and observation of the screen.
#include <functional>
#include <memory>

#include "gdi/dc.h"
#include "win32/winuser.h"

namespace win32::user {

// Registers a class of the system ("#32770", the standard controls): it cannot be unregistered.
ATOM RegisterSystemClass(const WNDCLASSEXA& wc);

// The standard scroll bars of WS_HSCROLL and WS_VSCROLL windows belong to the scroll bar code,
// which registers how to draw them and how to follow a press on them. bar is 0 for the
// horizontal bar, 1 for the vertical one (SB_HORZ, SB_VERT); area is in window coordinates of
// the window DC. Until registered, DefWindowProc fills the bar areas with COLOR_SCROLLBAR.
struct WindowScrollBars {
  void (*paint)(HWND hwnd, HDC windowDc, int bar, const RECT& area) = nullptr;
  // WM_NCLBUTTONDOWN on HTHSCROLL or HTVSCROLL reaching DefWindowProc.
  void (*press)(HWND hwnd, int bar, POINT screen) = nullptr;
};
// Returns the handlers set before.
WindowScrollBars SetWindowScrollBars(const WindowScrollBars& handlers);

// ---- The screen ---------------------------------------------------------------------------------

// The framebuffer every window paints into (screen size and format of the configuration).
std::shared_ptr<gdi::Surface> Framebuffer();
COLORREF ScreenPixel(int x, int y);

// Told about what changes on the screen; a display back end shows it.
class ScreenObserver {
 public:
  virtual ~ScreenObserver() = default;
  // Pixels of this screen rectangle may have changed (a paint or a window DC was released).
  virtual void ScreenChanged(const RECT& area) = 0;
  // A top-level window was shown, hidden, moved, resized or re-shaped; after its destruction the
  // handle is no window any more (IsWindow).
  virtual void TopLevelChanged(HWND hwnd) = 0;
};
// One observer at a time; null removes it.
void SetScreenObserver(ScreenObserver* observer);

// ---- Input --------------------------------------------------------------------------------------

// Hardware input as the user gives it, in screen coordinates. Events queue in order; each reaches
// a window when a thread retrieves it: through the capture, or the window WindowFromPoint finds
// (WM_NCHITTEST, WM_SETCURSOR, activation on a click, double clicks, non-client messages). The
// cursor position and GetAsyncKeyState change at once; GetKeyState when the event is retrieved.
// Safe from any thread (a display back end may read its events on a thread of its own).
void InjectMouseMove(POINT screen);
// button: VK_LBUTTON, VK_RBUTTON or VK_MBUTTON. The cursor moves to the point first.
void InjectMouseButton(UINT button, bool down, POINT screen);
void InjectMouseWheel(int delta, POINT screen);
// A key press or release (virtual key); VK_SHIFT, VK_CONTROL and VK_MENU change the modifiers.
void InjectKey(UINT vk, bool down);

// The IDC_ number of a system cursor (LoadCursor with no module), 0 for any other cursor. The
// framebuffer shows no pointer; a display back end shows this shape.
int SystemCursorId(HCURSOR cursor);

// ---- Pumping ------------------------------------------------------------------------------------

// Dispatches everything the calling thread has to do now (sent and posted messages, input,
// paints, due timers, after TranslateMessage) until nothing is left. A WM_QUIT stays queued and
// ends the pump. Returns the number of messages dispatched.
int PumpUntilIdle();
// Called on this thread whenever it would wait for messages (GetMessage, WaitMessage, modal
// loops). Return true after giving the thread something to do (input, a post), false to let it
// wait. A test driver uses it to feed scripted input or fail instead of hanging. When the handler
// worked but left nothing queued, GetMessage returns WM_NULL so that the caller's loop looks again.
void SetIdleHandler(std::function<bool()> handler);

}  // namespace win32::user
