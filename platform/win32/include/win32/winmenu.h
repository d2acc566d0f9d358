#pragma once
// Menus: menu objects and their items, pop-up menus tracked in a nested modal loop, menu bars in
// the non-client area of top-level windows, the per-window system menu and menu resources.
//
// Menu handles come from their own handle table: at least 0x10000 and below 2^31, never reused,
// so a 16-bit command id is never a menu (IsMenu is FALSE for it) and a stale handle is refused
// with ERROR_INVALID_MENU_HANDLE. Item text is kept as UTF-16; the A functions convert through the
// ANSI code page (UTF-8), so their lengths count bytes.
//
// Geometry the owner-drawing code relies on:
// - An owner-drawn item is as wide as WM_MEASUREITEM's itemWidth plus MENU_OWNERDRAW_EXTRA
//   (the room of a check mark less one pixel, 12), in pop-ups and on menu bars alike; its height
//   is itemHeight (a menu-bar item takes the bar's height, SM_CYMENU).
// - A pop-up menu window is its items plus MENU_POPUP_FRAME (3) pixels on every side. The client
//   area is the window less the non-client inset of the window's current styles (the "#32768"
//   window starts with WS_BORDER, WS_EX_DLGMODALFRAME and WS_EX_WINDOWEDGE: 3 pixels, so the client
//   area is exactly the items); items are laid out from the client area's top left.
#include "win32/winuser.h"
#include "win32/winctrl.h"

#define MENU_OWNERDRAW_EXTRA 12
#define MENU_POPUP_FRAME 3

// ---- Item flags of the classic functions (AppendMenu, InsertMenu, ModifyMenu, GetMenuState) ----

#define MF_BYCOMMAND 0x00000000L
#define MF_BYPOSITION 0x00000400L
#define MF_SEPARATOR 0x00000800L
#define MF_ENABLED 0x00000000L
#define MF_GRAYED 0x00000001L
#define MF_DISABLED 0x00000002L
#define MF_UNCHECKED 0x00000000L
#define MF_CHECKED 0x00000008L
#define MF_USECHECKBITMAPS 0x00000200L
#define MF_STRING 0x00000000L
#define MF_BITMAP 0x00000004L
#define MF_OWNERDRAW 0x00000100L
#define MF_POPUP 0x00000010L
#define MF_MENUBARBREAK 0x00000020L
#define MF_MENUBREAK 0x00000040L
#define MF_UNHILITE 0x00000000L
#define MF_HILITE 0x00000080L
#define MF_DEFAULT 0x00001000L
#define MF_SYSMENU 0x00002000L
#define MF_RIGHTJUSTIFY 0x00004000L
#define MF_MOUSESELECT 0x00008000L
#define MF_END 0x00000080L  // last item of a level in a menu template

// ---- Item types and states of MENUITEMINFO -----------------------------------------------------

#define MFT_STRING MF_STRING
#define MFT_BITMAP MF_BITMAP
#define MFT_MENUBARBREAK MF_MENUBARBREAK
#define MFT_MENUBREAK MF_MENUBREAK
#define MFT_OWNERDRAW MF_OWNERDRAW
#define MFT_RADIOCHECK 0x00000200L
#define MFT_SEPARATOR MF_SEPARATOR
#define MFT_RIGHTORDER 0x00002000L
#define MFT_RIGHTJUSTIFY MF_RIGHTJUSTIFY

#define MFS_GRAYED 0x00000003L
#define MFS_DISABLED MFS_GRAYED
#define MFS_CHECKED MF_CHECKED
#define MFS_HILITE MF_HILITE
#define MFS_ENABLED MF_ENABLED
#define MFS_UNCHECKED MF_UNCHECKED
#define MFS_UNHILITE MF_UNHILITE
#define MFS_DEFAULT MF_DEFAULT

#define MIIM_STATE 0x00000001
#define MIIM_ID 0x00000002
#define MIIM_SUBMENU 0x00000004
#define MIIM_CHECKMARKS 0x00000008
#define MIIM_TYPE 0x00000010
#define MIIM_DATA 0x00000020
#define MIIM_STRING 0x00000040
#define MIIM_BITMAP 0x00000080
#define MIIM_FTYPE 0x00000100

// cbSize is sizeof the structure, or the same less hbmpItem (the older layout).
typedef struct tagMENUITEMINFOA {
  UINT cbSize;
  UINT fMask;
  UINT fType;
  UINT fState;
  UINT wID;
  HMENU hSubMenu;
  HBITMAP hbmpChecked;
  HBITMAP hbmpUnchecked;
  ULONG_PTR dwItemData;
  LPSTR dwTypeData;  // text (MIIM_STRING, or MIIM_TYPE with MFT_STRING); a bitmap with MFT_BITMAP
  UINT cch;          // text length without the terminator (bytes for the A form)
  HBITMAP hbmpItem;
} MENUITEMINFOA, *LPMENUITEMINFOA;
typedef const MENUITEMINFOA* LPCMENUITEMINFOA;

typedef struct tagMENUITEMINFOW {
  UINT cbSize;
  UINT fMask;
  UINT fType;
  UINT fState;
  UINT wID;
  HMENU hSubMenu;
  HBITMAP hbmpChecked;
  HBITMAP hbmpUnchecked;
  ULONG_PTR dwItemData;
  LPWSTR dwTypeData;
  UINT cch;
  HBITMAP hbmpItem;
} MENUITEMINFOW, *LPMENUITEMINFOW;
typedef const MENUITEMINFOW* LPCMENUITEMINFOW;

// ---- Menu information ----------------------------------------------------------------------------

#define MIM_MAXHEIGHT 0x00000001
#define MIM_BACKGROUND 0x00000002
#define MIM_HELPID 0x00000004
#define MIM_MENUDATA 0x00000008
#define MIM_STYLE 0x00000010
#define MIM_APPLYTOSUBMENUS 0x80000000

typedef struct tagMENUINFO {
  DWORD cbSize;
  DWORD fMask;
  DWORD dwStyle;
  UINT cyMax;
  HBRUSH hbrBack;  // fills the menu's background (pop-up window or menu bar); the menu does not own it
  DWORD dwContextHelpID;
  ULONG_PTR dwMenuData;
} MENUINFO, *LPMENUINFO;
typedef const MENUINFO* LPCMENUINFO;

// ---- Tracking ------------------------------------------------------------------------------------

#define TPM_LEFTBUTTON 0x0000L
#define TPM_RIGHTBUTTON 0x0002L  // items may also be chosen with the right button
#define TPM_LEFTALIGN 0x0000L
#define TPM_CENTERALIGN 0x0004L
#define TPM_RIGHTALIGN 0x0008L
#define TPM_TOPALIGN 0x0000L
#define TPM_VCENTERALIGN 0x0010L
#define TPM_BOTTOMALIGN 0x0020L
#define TPM_HORIZONTAL 0x0000L  // rcExclude: move beside it before moving above or below it
#define TPM_VERTICAL 0x0040L    // rcExclude: move below or above it first
#define TPM_NONOTIFY 0x0080L    // no WM_COMMAND is posted for the chosen item
#define TPM_RETURNCMD 0x0100L   // the chosen command is returned (0: none) instead of posted

typedef struct tagTPMPARAMS {
  UINT cbSize;
  RECT rcExclude;  // screen rectangle the menu must not cover
} TPMPARAMS, *LPTPMPARAMS;

// WM_MENUCHAR answers: MAKELRESULT(position, MNC_EXECUTE) chooses an item.
#define MNC_IGNORE 0
#define MNC_CLOSE 1
#define MNC_EXECUTE 2
#define MNC_SELECT 3

// GetMenuDefaultItem.
#define GMDI_USEDISABLED 0x0001L
#define GMDI_GOINTOPOPUPS 0x0002L

// WM_ENTERIDLE's wParam while a menu loop waits.
#define MSGF_MENU 2

// A menu window's answer: its menu.
#define MN_GETHMENU 0x01E2

// The system menu's commands besides those of winuser.h.
#define SC_MOUSEMENU 0xF090
#define SC_KEYMENU 0xF100

// ---- Functions -----------------------------------------------------------------------------------

// A menu bar (CreateMenu) or pop-up (CreatePopupMenu), empty.
HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and, recursively, every sub-menu it holds. FALSE for a stale handle.
BOOL DestroyMenu(HMENU hMenu);
BOOL IsMenu(HMENU hMenu);

// uFlags: MF_STRING (lpNewItem is the text), MF_BITMAP (an HBITMAP), MF_OWNERDRAW (the item
// data), MF_SEPARATOR; MF_POPUP makes uIDNewItem the sub-menu (whose handle is also the item's
// id); state flags MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_DEFAULT, MF_HILITE, MF_MENUBREAK, ...
// A sub-menu that would contain its own parent is refused.
BOOL AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem);
BOOL AppendMenuW(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem);
// Before the item at uPosition (MF_BYPOSITION; -1 or past the end appends) or before the item with
// that command, searched in sub-menus too (MF_BYCOMMAND, the default; FALSE when absent).
BOOL InsertMenuA(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem);
BOOL InsertMenuW(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem);
// Replaces the item's type, state, id and content. MF_OWNERDRAW keeps the item's text (lpNewItem
// becomes its data); MF_STRING keeps its data. A sub-menu the item no longer opens is destroyed.
BOOL ModifyMenuA(HMENU hMnu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem);
BOOL ModifyMenuW(HMENU hMnu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCWSTR lpNewItem);
// Takes the item out; its sub-menu survives (RemoveMenu) or is destroyed (DeleteMenu).
BOOL RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags);

// -1 for a stale handle.
int GetMenuItemCount(HMENU hMenu);
// The item's command id: -1 (0xFFFFFFFF) for a pop-up item or a position past the end.
UINT GetMenuItemID(HMENU hMenu, int nPos);
// The sub-menu an item opens, or NULL.
HMENU GetSubMenu(HMENU hMenu, int nPos);
// The item's MF_ flags; for a pop-up item the low byte holds its flags (with MF_POPUP) and the
// high byte the number of items of its sub-menu. -1 when there is no such item.
UINT GetMenuState(HMENU hMenu, UINT uId, UINT uFlags);
// The item's text (also an owner-drawn item's kept text); NULL lpString returns the length.
// Returns the length copied without the terminator, 0 when there is no item.
int GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags);
int GetMenuStringW(HMENU hMenu, UINT uIDItem, LPWSTR lpString, int cchMax, UINT flags);

// fByPosition FALSE: the item is found by command, in sub-menus too.
BOOL GetMenuItemInfoA(HMENU hmenu, UINT item, BOOL fByPosition, LPMENUITEMINFOA lpmii);
BOOL GetMenuItemInfoW(HMENU hmenu, UINT item, BOOL fByPosition, LPMENUITEMINFOW lpmii);
BOOL SetMenuItemInfoA(HMENU hmenu, UINT item, BOOL fByPositon, LPCMENUITEMINFOA lpmii);
BOOL SetMenuItemInfoW(HMENU hmenu, UINT item, BOOL fByPositon, LPCMENUITEMINFOW lpmii);
BOOL InsertMenuItemA(HMENU hmenu, UINT item, BOOL fByPosition, LPCMENUITEMINFOA lpmi);
BOOL InsertMenuItemW(HMENU hmenu, UINT item, BOOL fByPosition, LPCMENUITEMINFOW lpmi);
// Also exported by the built-in "user32.dll" for callers that bind them by name.
BOOL GetMenuInfo(HMENU hmenu, LPMENUINFO lpcmi);
BOOL SetMenuInfo(HMENU hmenu, LPCMENUINFO lpcmi);

// The previous check state (MF_CHECKED or MF_UNCHECKED), -1 when there is no such item.
DWORD CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck);
// Checks one item of the range with a radio bullet (MFT_RADIOCHECK) and unchecks the others.
BOOL CheckMenuRadioItem(HMENU hmenu, UINT first, UINT last, UINT check, UINT flags);
// The previous state (MF_ENABLED, MF_GRAYED, MF_DISABLED), -1 when there is no such item.
BOOL EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable);
// uItem -1 leaves the menu without a default item.
BOOL SetMenuDefaultItem(HMENU hMenu, UINT uItem, UINT fByPos);
// The default item's id or position; -1 when there is none (or it is disabled, without
// GMDI_USEDISABLED).
UINT GetMenuDefaultItem(HMENU hMenu, UINT fByPos, UINT gmdiFlags);
// The bitmaps drawn for the unchecked and checked state instead of the check mark.
BOOL SetMenuItemBitmaps(HMENU hMenu, UINT uPosition, UINT uFlags, HBITMAP hBitmapUnchecked, HBITMAP hBitmapChecked);
// MAKELONG(width, height) of the default check mark (SM_CXMENUCHECK, SM_CYMENUCHECK).
LONG GetMenuCheckMarkDimensions();

// Where an item (by position) is on the screen: a menu bar item of hWnd, or an item of a pop-up
// that is showing (hWnd may be NULL then). FALSE when the menu is not showing.
BOOL GetMenuItemRect(HWND hWnd, HMENU hMenu, UINT uItem, LPRECT lprcItem);
// The position of the item under a screen point, -1 when none.
int MenuItemFromPoint(HWND hWnd, HMENU hMenu, POINT ptScreen);
// Highlights or clears a menu-bar item of hWnd (MF_HILITE, MF_UNHILITE).
BOOL HiliteMenuItem(HWND hWnd, HMENU hMenu, UINT uIDHiliteItem, UINT uHilite);

// Shows a pop-up menu at (x, y) for the owner hWnd and runs a nested modal loop on the calling
// thread until an item is chosen or the menu is dismissed (Escape, a click elsewhere, EndMenu).
// The owner receives, in order: WM_ENTERMENULOOP (TRUE), WM_INITMENU; the "#32768" menu window is
// created (WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE through the send path, where WH_CALLWNDPROC hooks
// see it); WM_INITMENUPOPUP; MN_GETHMENU goes to the menu window; WM_MEASUREITEM (ODT_MENU) for
// each owner-drawn item; one SetWindowPos (SWP_SHOWWINDOW | SWP_NOACTIVATE); WM_NCPAINT,
// WM_ERASEBKGND and WM_PAINT to the menu window and WM_DRAWITEM to the owner per owner-drawn
// item; then, as the selection moves, the items drawn again (WM_DRAWITEM with ODA_SELECT) and
// WM_MENUSELECT; WM_MENUCHAR for letters no item's mnemonic (owner-drawn items have none) answers;
// WM_ENTERIDLE when the loop waits; key messages go to the innermost menu window's procedure; the
// mouse is captured by the first menu window and a click outside the menus ends the loop. At the end:
// the menu window is hidden (WM_SHOWWINDOW FALSE), WM_UNINITMENUPOPUP, the window is destroyed,
// WM_EXITMENULOOP (TRUE), and the chosen command is posted as WM_COMMAND (WM_SYSCOMMAND for a
// system menu) or returned (TPM_RETURNCMD). Sub-menus open after the menu delay (virtual clock in
// tests) when the mouse rests on their item, or at once with Right or Enter, with the same
// messages. Returns the command (TPM_RETURNCMD) or TRUE; 0 on failure or when nothing was chosen
// with TPM_RETURNCMD. Fails while another menu loop runs on the thread.
BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int nReserved, HWND hWnd, const RECT* prcRect);
BOOL TrackPopupMenuEx(HMENU hMenu, UINT uFlags, int x, int y, HWND hwnd, LPTPMPARAMS lptpm);
// Ends the calling thread's menu loop as if dismissed.
BOOL EndMenu();

// The menu bar of a top-level window: SetMenu replaces it (the old menu is not destroyed) and
// recalculates the frame; the window destroys its menu with itself. DrawMenuBar redraws the bar
// after its items changed.
HMENU GetMenu(HWND hWnd);
BOOL SetMenu(HWND hWnd, HMENU hMenu);
BOOL DrawMenuBar(HWND hWnd);
// The window's own copy of the system menu (Restore, Move, Size, Minimize, Maximize, a separator,
// Close, as the styles allow), made on first use; bRevert TRUE destroys the copy and returns NULL.
// NULL for windows without WS_SYSMENU.
HMENU GetSystemMenu(HWND hWnd, BOOL bRevert);

// ---- Menu resources ------------------------------------------------------------------------------

// An RT_MENU resource holds a menu template as the platform lays it out: a header of two words
// (version 0, offset of the items 0), then per item a flags word (MF_POPUP, MF_END on the last item
// of a level, states), a command-id word unless MF_POPUP, and NUL-terminated UTF-16 text.
typedef void MENUTEMPLATE;
typedef void MENUTEMPLATEA;
typedef MENUTEMPLATE* LPMENUTEMPLATE;
typedef MENUTEMPLATEA* LPMENUTEMPLATEA;
HMENU LoadMenuA(HINSTANCE hInstance, LPCSTR lpMenuName);
HMENU LoadMenuIndirectA(const MENUTEMPLATEA* lpMenuTemplate);

// One line of a MENU block of a resource script, for MenuResource:
//   static const MenuScriptLine kMainLines[] = {
//       {MENU_POPUP, "&File"},
//         {MENU_ITEM, "&Open\tCtrl+O", 100},
//         {MENU_SEPARATOR},
//         {MENU_ITEM, "E&xit", 101, MF_GRAYED},
//       {MENU_END},
//       {MENU_ITEM, "&Help", 200},
//   };
//   static const MenuResource kMainMenu(kMainLines);
//   static const ResourceEntry kResources[] = {
//       {RT_MENU, MAKEINTRESOURCE(128), kMainMenu.Data(), kMainMenu.Size()}};
// A POPUP line opens a level that the matching END line closes; flags add states and types
// (MF_GRAYED, MF_CHECKED, MF_MENUBREAK, ...). The MenuResource must be defined before the
// table that points at its data.
enum MenuScriptKind { MENU_ITEM, MENU_SEPARATOR, MENU_POPUP, MENU_END };
struct MenuScriptLine {
  MenuScriptKind kind;
  LPCSTR text = nullptr;  // UTF-8
  UINT id = 0;
  UINT flags = 0;
};

// The template bytes of a script, made when constructed.
class MenuResource {
 public:
  template <size_t N>
  explicit MenuResource(const MenuScriptLine (&lines)[N]) : MenuResource(lines, N) {}
  MenuResource(const MenuScriptLine* lines, size_t count);
  ~MenuResource();
  MenuResource(const MenuResource&) = delete;
  MenuResource& operator=(const MenuResource&) = delete;
  const void* Data() const;
  DWORD Size() const;

 private:
  struct Bytes;
  Bytes* bytes_;
};

// An RT_TOOLBAR resource is a block of words: version (1), bitmap width, bitmap height, item
// count, then one command id per button (0 for a separator). Its images are the RT_BITMAP
// resource of the same name, one image of that width per button, left to right:
//   static const WORD kToolbar[] = {1, 16, 15, 3, ID_OPEN, 0, ID_SAVE};
//   {RT_TOOLBAR, MAKEINTRESOURCE(128), kToolbar, sizeof kToolbar}
#define RT_TOOLBAR MAKEINTRESOURCE(241)

// ---- Names without the A suffix -----------------------------------------------------------------

#define MENUITEMINFO MENUITEMINFOA
#define LPMENUITEMINFO LPMENUITEMINFOA
#define LPCMENUITEMINFO LPCMENUITEMINFOA
#define AppendMenu AppendMenuA
#define InsertMenu InsertMenuA
#define ModifyMenu ModifyMenuA
#define GetMenuString GetMenuStringA
#define GetMenuItemInfo GetMenuItemInfoA
#define SetMenuItemInfo SetMenuItemInfoA
#define InsertMenuItem InsertMenuItemA
#define LoadMenu LoadMenuA
#define LoadMenuIndirect LoadMenuIndirectA
