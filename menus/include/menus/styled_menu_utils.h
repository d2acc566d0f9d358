#pragma once
// What the styled menus share: the Windows version code, small utilities, the colours of the
// menu surfaces, the gradient fill and the menu-bar brushes.
#include "mfc/afxwnd.h"

class CStyledMenu;

// 0 Win32s, 1 older NT, 2 Windows 95, 3 Windows 98, 4 Windows Me, 5 NT 4, 6 Windows 2000,
// 7 Windows XP and every later NT version. Probed once.
int GetStyledMenuWinVersion();

// SetTimer on the window with the first free id from 31 to 99; the result of the last SetTimer
// (0 when the window is not a window or every id is taken).
UINT_PTR SetFreeTimer(HWND hWnd, UINT nElapse);
// Kills a timer that SetFreeTimer handed out for the window; FALSE for any other id.
BOOL KillFreeTimer(HWND hWnd, UINT_PTR nIDEvent);
// The system's text of GetLastError in an "Error" message box; nothing when there is no error.
void ShowLastError();
BOOL IsDropShadowEnabled();
// An RT_BITMAP resource (module null: the resource module) and its colour count; null when
// missing.
HBITMAP LoadBitmapWithDepth(LPCTSTR lpszName, HMODULE hModule, int* colourCount);

// The menu colour: the menu's background brush colour, else the flat menu-bar colour (Windows
// XP with flat menus), else the system menu colour.
COLORREF GetMenuBackColor(HMENU hMenu);
// As GetMenuBackColor, also taking the menu-bar colour on Windows XP while a theme is active.
COLORREF GetMenuBackColorThemed(HMENU hMenu);
COLORREF GetMenuBarFaceColor();
COLORREF GetSelectionColor();
// The tinted colour of gradient icon columns and menu bars.
COLORREF GetGradientBarColor();
// From one colour to another across rect, left to right (horizontal) or top to bottom; dither
// allows bands of solid colour on screens of 256 colours or fewer.
void DrawGradient(HDC hDC, const RECT& rect, COLORREF from, COLORREF to, BOOL horizontal, BOOL dither);
// The current style's menu-bar brush (kept for the process), or null.
HBRUSH GetMenuBarBrush();

// The menu (depth first over the tree) holding an item with that command id and item data; null
// when hMenu is not a menu or no item matches.
CMenu* FindMenuOfItem(HMENU hMenu, UINT nID, ULONG_PTR itemData);
CMenu* FindMenuOfCommand(HMENU hMenu, UINT nID);

// Sends the window a WM_DRAWITEM for a menu-bar item in the given state (hot-tracking). 1 when
// the item is owner-drawn and was drawn.
BOOL DrawMenuBarItem(HWND hWnd, HMENU hMenu, int position, UINT state);
// Remakes every icon store's images after a system colour change (at most every 2 seconds).
void RefreshMenuIcons();
// Gives a styled menu the current style's menu-bar brush.
void ApplyMenuBarBrush(CMenu* pMenu);
