#pragma once
// Per-thread state of the window classes: the handle map, the message being handled, the window
// being created and the depth of nested message loops.
#include <memory>
#include <unordered_map>

#include "mfc/afxwnd.h"

namespace mfc::wnd {

// Window flags kept in CWnd::m_nFlags.
constexpr UINT kContinueModal = 0x0001;
constexpr UINT kModalLoop = 0x0002;

struct ThreadState {
  std::unordered_map<HWND, CWnd*> permanent;                  // attached objects
  std::unordered_map<HWND, std::unique_ptr<CWnd>> temporary;  // wrappers made by FromHandle
  MSG lastSent{};              // the message AfxCallWndProc is handling
  CWnd* pWndInit = nullptr;    // receives the next window created on this thread
  HHOOK createHook = nullptr;  // watches for that window's first message
  int loopDepth = 0;           // message loops running on this thread
  int quitCode = 0;            // wParam of the last WM_QUIT the framework's loops saw
  // The pop-up CMenu::TrackPopupMenu tracks, and its owner.
  HWND trackingWindow = nullptr;
  CMenu* trackingMenu = nullptr;
};

ThreadState& State();
// Null once the thread's state is gone (static destruction after thread exit).
ThreadState* StateIfAlive();

// The program's instance, which the framework's own window classes and windows belong to: the
// application's, else the executable's.
HINSTANCE ProgramInstance();

// Gets a message, runs the pre-translation walk and dispatches it; FALSE on WM_QUIT.
BOOL PumpMessage();
// Idle work of the outermost loop: temporary wrappers of every kind are deleted.
void DeleteTempMaps();
// The window property that keeps a subclassed window's own procedure.
constexpr const char* kOldWndProcProp = "AfxOldWndProc";
WNDPROC OldWndProc(HWND hWnd);
// Makes pWnd the owner of hWnd and routes the window's messages through AfxWndProc.
void AttachAndSubclass(CWnd* pWnd, HWND hWnd);

// Owner-drawn menu items reaching the owner's default handlers: drawing goes to the attached
// object of the item's menu, measuring to the object of the menu holding the item (searched from
// the tracked pop-up, else the window's menu bar). False when no object takes the item.
bool DrawMenuItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
bool MeasureMenuItem(HWND hWnd, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
// CCmdUI on a menu item (by position in m_pMenu); false when the update is not for a menu item.
bool EnableMenuItemOf(CCmdUI& ui, BOOL bOn);
bool CheckMenuItemOf(CCmdUI& ui, int nCheck, bool radio);
bool SetMenuItemTextOf(CCmdUI& ui, LPCTSTR lpszText);

// RAII count of the message loops on this thread.
struct LoopScope {
  LoopScope() { ++State().loopDepth; }
  ~LoopScope() { --State().loopDepth; }
  LoopScope(const LoopScope&) = delete;
  LoopScope& operator=(const LoopScope&) = delete;
};

}  // namespace mfc::wnd
