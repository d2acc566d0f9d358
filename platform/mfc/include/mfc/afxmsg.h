#pragma once
// Message maps: command targets, the entry tables that route window messages, commands,
// notifications and command-state updates to member functions, and CCmdUI.
//
// Each entry carries a small dispatcher made by its macro that unpacks the message into the
// handler's arguments and calls the handler on the object of the class that declared the map, so
// handlers keep their own signatures and overrides of virtual handlers are honoured.
#include "mfc/afx.h"
#include "win32/winctrl.h"

// Pseudo messages of the maps: all WM_CTLCOLOR* arrive at ON_WM_CTLCOLOR handlers as WM_CTLCOLOR;
// messages a parent reflects to a child control arrive as WM_REFLECT_BASE + message.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif
#define WM_REFLECT_BASE 0xBC00
// Marks message handlers in class declarations.
#define afx_msg
// Sent by a modal loop to its window when the queue is empty.
#define WM_KICKIDLE 0x036A

// Command codes of OnCmdMsg: a command, or a command-state update query.
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))

class CCmdTarget;
class CCmdUI;
class CMenu;
class CWnd;
class CDC;
// The notification header of WM_NOTIFY (hwndFrom, idFrom, code); defined with the common controls.
struct tagNMHDR;

// What a dispatcher receives. For window messages: message, wParam, lParam (and in nID the
// CTLCOLOR_* kind of a control-colour message). For commands and notifications: nID and pExtra (the CCmdUI of an update, the NMHDR of a notification);
// pResult receives the result of a notification or window message.
struct AFX_MSG_CALL {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  UINT nID;
  void* pExtra;
  LRESULT* pResult;
};
// Calls the handler; FALSE when the handler declined (a reflected control-colour handler
// returning no brush).
typedef BOOL (*AFX_MSG_DISPATCH)(CCmdTarget* pTarget, const AFX_MSG_CALL& call);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;  // window message, or WM_COMMAND/WM_NOTIFY (plus WM_REFLECT_BASE when reflected)
  UINT nCode;     // notification code, CN_COMMAND or CN_UPDATE_COMMAND_UI
  UINT nID;       // first control or command id (0 for window messages)
  UINT nLastID;   // last id of a range
  AFX_MSG_DISPATCH pfnDispatch;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// Answers OnCmdMsg's question "is there a handler" without calling it.
struct AFX_CMDHANDLERINFO {
  CCmdTarget* pTarget;
};

#define DECLARE_MESSAGE_MAP()                             \
 protected:                                               \
  static const AFX_MSGMAP* PASCAL GetThisMessageMap();    \
  const AFX_MSGMAP* GetMessageMap() const override;       \
                                                          \
 private:

#define AFX_BEGIN_MESSAGE_MAP_BODY(theClass, baseClass)                                          \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }              \
  const AFX_MSGMAP* PASCAL theClass::GetThisMessageMap() {                                        \
    typedef theClass ThisClass;                                                                   \
    typedef baseClass TheBaseClass;                                                               \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define BEGIN_MESSAGE_MAP(theClass, baseClass) AFX_BEGIN_MESSAGE_MAP_BODY(theClass, baseClass)

// For a class template: BEGIN_TEMPLATE_MESSAGE_MAP(CHost, TBase, TBase).
#define BEGIN_TEMPLATE_MESSAGE_MAP(theClass, type_name, baseClass)                                \
  template <typename type_name>                                                                   \
  const AFX_MSGMAP* theClass<type_name>::GetMessageMap() const { return GetThisMessageMap(); }    \
  template <typename type_name>                                                                   \
  const AFX_MSGMAP* PASCAL theClass<type_name>::GetThisMessageMap() {                             \
    typedef theClass<type_name> ThisClass;                                                        \
    typedef baseClass TheBaseClass;                                                               \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                   \
  {0, 0, 0, 0, nullptr}};                                                                   \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
  return &messageMap;                                                                       \
  }

// One entry: the dispatcher body sees `self` (the object as ThisClass*) and `call`.
#define AFX_MSG_ENTRY(msg, code, id, lastId, body)                                       \
  {(UINT)(msg), (UINT)(code), (UINT)(id), (UINT)(lastId),                                \
   [](CCmdTarget* target_, [[maybe_unused]] const AFX_MSG_CALL& call) -> BOOL {          \
     [[maybe_unused]] ThisClass* self = static_cast<ThisClass*>(target_);                \
     body;                                                                               \
     return TRUE;                                                                        \
   }},
#define AFX_RESULT(value) (*call.pResult = (LRESULT)(value))
#define AFX_WP call.wParam
#define AFX_LP call.lParam
#define AFX_PT CPoint(GET_X_LPARAM(call.lParam), GET_Y_LPARAM(call.lParam))

// ---- General entries ----------------------------------------------------------------------------

// LRESULT memberFxn(WPARAM, LPARAM)
#define ON_MESSAGE(message, memberFxn) \
  AFX_MSG_ENTRY(message, 0, 0, 0, AFX_RESULT(self->memberFxn(AFX_WP, AFX_LP)))
// void memberFxn()
#define ON_COMMAND(id, memberFxn) AFX_MSG_ENTRY(WM_COMMAND, CN_COMMAND, id, id, self->memberFxn())
// void memberFxn(UINT nID)
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
  AFX_MSG_ENTRY(WM_COMMAND, CN_COMMAND, id, idLast, self->memberFxn(call.nID))
// void memberFxn(CCmdUI*)
#define ON_UPDATE_COMMAND_UI(id, memberFxn) \
  AFX_MSG_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, id, self->memberFxn(static_cast<CCmdUI*>(call.pExtra)))
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn) \
  AFX_MSG_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, idLast, self->memberFxn(static_cast<CCmdUI*>(call.pExtra)))
// void memberFxn() for a control notification code from control id.
#define ON_CONTROL(wNotifyCode, id, memberFxn) AFX_MSG_ENTRY(WM_COMMAND, wNotifyCode, id, id, self->memberFxn())
// void memberFxn(NMHDR*, LRESULT*)
#define ON_NOTIFY(wNotifyCode, id, memberFxn)                                                       \
  AFX_MSG_ENTRY(WM_NOTIFY, (WORD)(wNotifyCode), id, id,                                             \
                self->memberFxn(static_cast<tagNMHDR*>(call.pExtra), call.pResult))
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn)                                         \
  AFX_MSG_ENTRY(WM_NOTIFY, (WORD)(wNotifyCode), id, idLast,                                         \
                self->memberFxn(call.nID, static_cast<tagNMHDR*>(call.pExtra), call.pResult))

// Handled by the control itself when its parent reflects the notification.
// void memberFxn()
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn) \
  AFX_MSG_ENTRY(WM_REFLECT_BASE + WM_COMMAND, wNotifyCode, 0, 0, self->memberFxn())
// BOOL memberFxn(): FALSE lets the parent hear the notification as well.
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn)                                \
  {(UINT)(WM_REFLECT_BASE + WM_COMMAND), (UINT)(wNotifyCode), 0, 0,                  \
   [](CCmdTarget* target_, const AFX_MSG_CALL&) -> BOOL {                            \
     return static_cast<ThisClass*>(target_)->memberFxn();                           \
   }},
// void memberFxn(NMHDR*, LRESULT*)
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn)                  \
  AFX_MSG_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, (WORD)(wNotifyCode), 0, 0, \
                self->memberFxn(static_cast<tagNMHDR*>(call.pExtra), call.pResult))
// HBRUSH memberFxn(CDC*, UINT nCtlColor); returning NULL lets the parent's handling go on.
#define ON_WM_CTLCOLOR_REFLECT()                                                          \
  {(UINT)(WM_REFLECT_BASE + WM_CTLCOLOR), 0, 0, 0,                                        \
   [](CCmdTarget* target_, const AFX_MSG_CALL& call) -> BOOL {                            \
     HBRUSH brush = static_cast<ThisClass*>(target_)->CtlColor(                           \
         CDC::FromHandle(reinterpret_cast<HDC>(call.wParam)), (UINT)(call.lParam));       \
     *call.pResult = reinterpret_cast<LRESULT>(brush);                                    \
     return brush != nullptr;                                                             \
   }},

// Control notifications (void memberFxn()).
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)

// ---- Window messages (handlers with the framework's signatures) ---------------------------------

#define ON_WM_CREATE() \
  AFX_MSG_ENTRY(WM_CREATE, 0, 0, 0, AFX_RESULT(self->OnCreate(reinterpret_cast<LPCREATESTRUCT>(AFX_LP))))
#define ON_WM_DESTROY() AFX_MSG_ENTRY(WM_DESTROY, 0, 0, 0, self->OnDestroy())
#define ON_WM_NCDESTROY() AFX_MSG_ENTRY(WM_NCDESTROY, 0, 0, 0, self->OnNcDestroy())
#define ON_WM_CLOSE() AFX_MSG_ENTRY(WM_CLOSE, 0, 0, 0, self->OnClose())
#define ON_WM_PAINT() AFX_MSG_ENTRY(WM_PAINT, 0, 0, 0, self->OnPaint())
#define ON_WM_NCPAINT() AFX_MSG_ENTRY(WM_NCPAINT, 0, 0, 0, self->OnNcPaint())
#define ON_WM_ERASEBKGND() \
  AFX_MSG_ENTRY(WM_ERASEBKGND, 0, 0, 0, AFX_RESULT(self->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(AFX_WP)))))
#define ON_WM_SIZE() AFX_MSG_ENTRY(WM_SIZE, 0, 0, 0, self->OnSize((UINT)AFX_WP, (short)LOWORD(AFX_LP), (short)HIWORD(AFX_LP)))
#define ON_WM_MOVE() AFX_MSG_ENTRY(WM_MOVE, 0, 0, 0, self->OnMove((short)LOWORD(AFX_LP), (short)HIWORD(AFX_LP)))
#define ON_WM_TIMER() AFX_MSG_ENTRY(WM_TIMER, 0, 0, 0, self->OnTimer((UINT_PTR)AFX_WP))
#define ON_WM_SHOWWINDOW() AFX_MSG_ENTRY(WM_SHOWWINDOW, 0, 0, 0, self->OnShowWindow((BOOL)AFX_WP, (UINT)AFX_LP))
#define ON_WM_SETFOCUS() \
  AFX_MSG_ENTRY(WM_SETFOCUS, 0, 0, 0, self->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(AFX_WP))))
#define ON_WM_KILLFOCUS() \
  AFX_MSG_ENTRY(WM_KILLFOCUS, 0, 0, 0, self->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(AFX_WP))))
#define ON_WM_MOUSEMOVE() AFX_MSG_ENTRY(WM_MOUSEMOVE, 0, 0, 0, self->OnMouseMove((UINT)AFX_WP, AFX_PT))
#define ON_WM_LBUTTONDOWN() AFX_MSG_ENTRY(WM_LBUTTONDOWN, 0, 0, 0, self->OnLButtonDown((UINT)AFX_WP, AFX_PT))
#define ON_WM_LBUTTONUP() AFX_MSG_ENTRY(WM_LBUTTONUP, 0, 0, 0, self->OnLButtonUp((UINT)AFX_WP, AFX_PT))
#define ON_WM_LBUTTONDBLCLK() AFX_MSG_ENTRY(WM_LBUTTONDBLCLK, 0, 0, 0, self->OnLButtonDblClk((UINT)AFX_WP, AFX_PT))
#define ON_WM_RBUTTONDOWN() AFX_MSG_ENTRY(WM_RBUTTONDOWN, 0, 0, 0, self->OnRButtonDown((UINT)AFX_WP, AFX_PT))
#define ON_WM_RBUTTONUP() AFX_MSG_ENTRY(WM_RBUTTONUP, 0, 0, 0, self->OnRButtonUp((UINT)AFX_WP, AFX_PT))
#define ON_WM_MOUSEWHEEL()                                                                          \
  AFX_MSG_ENTRY(WM_MOUSEWHEEL, 0, 0, 0,                                                             \
                AFX_RESULT(self->OnMouseWheel(LOWORD(AFX_WP), (short)HIWORD(AFX_WP), AFX_PT)))
#define ON_WM_MOUSELEAVE() AFX_MSG_ENTRY(WM_MOUSELEAVE, 0, 0, 0, self->OnMouseLeave())
#define ON_WM_CAPTURECHANGED() \
  AFX_MSG_ENTRY(WM_CAPTURECHANGED, 0, 0, 0, self->OnCaptureChanged(CWnd::FromHandle(reinterpret_cast<HWND>(AFX_LP))))
#define ON_WM_KEYDOWN() \
  AFX_MSG_ENTRY(WM_KEYDOWN, 0, 0, 0, self->OnKeyDown((UINT)AFX_WP, LOWORD(AFX_LP), HIWORD(AFX_LP)))
#define ON_WM_KEYUP() AFX_MSG_ENTRY(WM_KEYUP, 0, 0, 0, self->OnKeyUp((UINT)AFX_WP, LOWORD(AFX_LP), HIWORD(AFX_LP)))
#define ON_WM_CHAR() AFX_MSG_ENTRY(WM_CHAR, 0, 0, 0, self->OnChar((UINT)AFX_WP, LOWORD(AFX_LP), HIWORD(AFX_LP)))
#define ON_WM_GETDLGCODE() AFX_MSG_ENTRY(WM_GETDLGCODE, 0, 0, 0, AFX_RESULT(self->OnGetDlgCode()))
#define ON_WM_SETCURSOR()                                                                         \
  AFX_MSG_ENTRY(WM_SETCURSOR, 0, 0, 0,                                                            \
                AFX_RESULT(self->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(AFX_WP)),     \
                                             LOWORD(AFX_LP), HIWORD(AFX_LP))))
#define ON_WM_NCHITTEST() AFX_MSG_ENTRY(WM_NCHITTEST, 0, 0, 0, AFX_RESULT(self->OnNcHitTest(AFX_PT)))
#define ON_WM_NCCALCSIZE()                                             \
  AFX_MSG_ENTRY(WM_NCCALCSIZE, 0, 0, 0,                                \
                self->OnNcCalcSize((BOOL)AFX_WP, reinterpret_cast<NCCALCSIZE_PARAMS*>(AFX_LP)))
#define ON_WM_NCLBUTTONDOWN() \
  AFX_MSG_ENTRY(WM_NCLBUTTONDOWN, 0, 0, 0, self->OnNcLButtonDown((UINT)AFX_WP, AFX_PT))
#define ON_WM_SYSCOMMAND() AFX_MSG_ENTRY(WM_SYSCOMMAND, 0, 0, 0, self->OnSysCommand((UINT)AFX_WP, AFX_LP))
#define ON_WM_QUERYDRAGICON() \
  AFX_MSG_ENTRY(WM_QUERYDRAGICON, 0, 0, 0, AFX_RESULT(reinterpret_cast<LRESULT>(self->OnQueryDragIcon())))
#define ON_WM_SYSCOLORCHANGE() AFX_MSG_ENTRY(WM_SYSCOLORCHANGE, 0, 0, 0, self->OnSysColorChange())
#define ON_WM_HSCROLL()                                                                              \
  AFX_MSG_ENTRY(WM_HSCROLL, 0, 0, 0,                                                                 \
                self->OnHScroll(LOWORD(AFX_WP), (short)HIWORD(AFX_WP),                               \
                                reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(AFX_LP)))))
#define ON_WM_VSCROLL()                                                                              \
  AFX_MSG_ENTRY(WM_VSCROLL, 0, 0, 0,                                                                 \
                self->OnVScroll(LOWORD(AFX_WP), (short)HIWORD(AFX_WP),                               \
                                reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(AFX_LP)))))
#define ON_WM_WINDOWPOSCHANGING() \
  AFX_MSG_ENTRY(WM_WINDOWPOSCHANGING, 0, 0, 0, self->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(AFX_LP)))
#define ON_WM_WINDOWPOSCHANGED() \
  AFX_MSG_ENTRY(WM_WINDOWPOSCHANGED, 0, 0, 0, self->OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(AFX_LP)))
#define ON_WM_ACTIVATE()                                                                    \
  AFX_MSG_ENTRY(WM_ACTIVATE, 0, 0, 0,                                                       \
                self->OnActivate(LOWORD(AFX_WP), CWnd::FromHandle(reinterpret_cast<HWND>(AFX_LP)), \
                                 (BOOL)HIWORD(AFX_WP)))
#define ON_WM_ENABLE() AFX_MSG_ENTRY(WM_ENABLE, 0, 0, 0, self->OnEnable((BOOL)AFX_WP))
#define ON_WM_CANCELMODE() AFX_MSG_ENTRY(WM_CANCELMODE, 0, 0, 0, self->OnCancelMode())
#define ON_WM_ACTIVATEAPP() AFX_MSG_ENTRY(WM_ACTIVATEAPP, 0, 0, 0, self->OnActivateApp((BOOL)AFX_WP, (DWORD)AFX_LP))
#define ON_WM_NCACTIVATE() AFX_MSG_ENTRY(WM_NCACTIVATE, 0, 0, 0, AFX_RESULT(self->OnNcActivate((BOOL)AFX_WP)))
#define ON_WM_QUERYNEWPALETTE() AFX_MSG_ENTRY(WM_QUERYNEWPALETTE, 0, 0, 0, AFX_RESULT(self->OnQueryNewPalette()))
#define ON_WM_PALETTECHANGED() \
  AFX_MSG_ENTRY(WM_PALETTECHANGED, 0, 0, 0, self->OnPaletteChanged(CWnd::FromHandle(reinterpret_cast<HWND>(AFX_WP))))
// Owner-drawing messages answer TRUE once a handler has run.
#define ON_WM_DRAWITEM()                                                                           \
  AFX_MSG_ENTRY(WM_DRAWITEM, 0, 0, 0,                                                              \
                (self->OnDrawItem((int)AFX_WP, reinterpret_cast<LPDRAWITEMSTRUCT>(AFX_LP)), AFX_RESULT(TRUE)))
#define ON_WM_MEASUREITEM()                                                                              \
  AFX_MSG_ENTRY(WM_MEASUREITEM, 0, 0, 0,                                                                 \
                (self->OnMeasureItem((int)AFX_WP, reinterpret_cast<LPMEASUREITEMSTRUCT>(AFX_LP)), AFX_RESULT(TRUE)))
// HBRUSH memberFxn(CDC*, CWnd*, UINT nCtlColor) for every WM_CTLCOLOR* message.
#define ON_WM_CTLCOLOR()                                                                          \
  AFX_MSG_ENTRY(WM_CTLCOLOR, 0, 0, 0,                                                             \
                AFX_RESULT(self->OnCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(AFX_WP)),       \
                                            CWnd::FromHandle(reinterpret_cast<HWND>(AFX_LP)),     \
                                            call.nID)))
#define ON_WM_MENUCHAR()                                                                               \
  AFX_MSG_ENTRY(WM_MENUCHAR, 0, 0, 0,                                                                  \
                AFX_RESULT(self->OnMenuChar(LOWORD(AFX_WP), HIWORD(AFX_WP), reinterpret_cast<HMENU>(AFX_LP))))
#define ON_WM_ENTERMENULOOP() AFX_MSG_ENTRY(WM_ENTERMENULOOP, 0, 0, 0, self->OnEnterMenuLoop((BOOL)AFX_WP))
#define ON_WM_EXITMENULOOP() AFX_MSG_ENTRY(WM_EXITMENULOOP, 0, 0, 0, self->OnExitMenuLoop((BOOL)AFX_WP))
#define ON_WM_INITMENU() \
  AFX_MSG_ENTRY(WM_INITMENU, 0, 0, 0, self->OnInitMenu(CMenu::FromHandle(reinterpret_cast<HMENU>(AFX_WP))))
#define ON_WM_INITMENUPOPUP()                                                                                   \
  AFX_MSG_ENTRY(WM_INITMENUPOPUP, 0, 0, 0,                                                                      \
                self->OnInitMenuPopup(CMenu::FromHandle(reinterpret_cast<HMENU>(AFX_WP)), LOWORD(AFX_LP), \
                                      (BOOL)HIWORD(AFX_LP)))
#define ON_WM_UNINITMENUPOPUP()                        \
  AFX_MSG_ENTRY(WM_UNINITMENUPOPUP, 0, 0, 0,           \
                self->OnUnInitMenuPopup(CMenu::FromHandle(reinterpret_cast<HMENU>(AFX_WP)), (UINT)AFX_LP))
#define ON_WM_MENUSELECT()                   \
  AFX_MSG_ENTRY(WM_MENUSELECT, 0, 0, 0,      \
                self->OnMenuSelect(LOWORD(AFX_WP), HIWORD(AFX_WP), reinterpret_cast<HMENU>(AFX_LP)))

// ---- CCmdTarget ---------------------------------------------------------------------------------

// The root of everything that receives commands through a message map.
class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)
 public:
  CCmdTarget() = default;

  // Routes a command, a command-state update (nCode CN_UPDATE_COMMAND_UI, pExtra the CCmdUI) or
  // a notification (nCode MAKELONG(code, WM_NOTIFY), pExtra the AFX_NOTIFY) through the message
  // map chain. With pHandlerInfo only tells whether a handler exists.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

  // The wait cursor, counted: shown from the first Begin to the matching End.
  void BeginWaitCursor();
  void EndWaitCursor();
  void RestoreWaitCursor();

 protected:
  static const AFX_MSGMAP* PASCAL GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;

  // The first entry of the map chain that matches; nullptr when none does.
  static const AFX_MSGMAP_ENTRY* PASCAL FindMessageEntry(const AFX_MSGMAP* pMap, UINT nMsg, UINT nCode, UINT nID);
};

// What OnCmdMsg carries for WM_NOTIFY.
struct AFX_NOTIFY {
  LRESULT* pResult;
  tagNMHDR* pNMHDR;
};

// ---- CCmdUI -------------------------------------------------------------------------------------

// One user-interface item asked for its state: a control (m_pOther). The operations act on the
// item; a derived class acts on other kinds of items (menu items).
class CCmdUI {
 public:
  UINT m_nID = 0;
  UINT m_nIndex = 0;
  UINT m_nIndexMax = 0;
  // A menu item's update: the menu and the item's position (m_nIndex), with the pop-up the item
  // opens and, for the items of a menu bar's pop-up, the bar.
  CMenu* m_pMenu = nullptr;
  CMenu* m_pSubMenu = nullptr;
  CMenu* m_pParentMenu = nullptr;
  CWnd* m_pOther = nullptr;
  BOOL m_bEnableChanged = FALSE;
  BOOL m_bContinueRouting = FALSE;

  CCmdUI() = default;
  virtual ~CCmdUI() = default;

  virtual void Enable(BOOL bOn = TRUE);
  // 0 unchecked, 1 checked, 2 indeterminate (buttons).
  virtual void SetCheck(int nCheck = 1);
  virtual void SetRadio(BOOL bOn = TRUE);
  virtual void SetText(LPCTSTR lpszText);
  void ContinueRouting() { m_bContinueRouting = TRUE; }

  // Asks pTarget's handlers; with no handler the item is disabled when bDisableIfNoHndler.
  // Returns whether a handler answered.
  BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
};
