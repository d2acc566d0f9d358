#pragma once
// The tooltip control ("tooltips_class32"): a pop-up that shows a tool's text. A tool is a
// rectangle in a window's client area (or, with TTF_IDISHWND, a whole window). The tools' window
// relays its mouse messages (TTM_RELAYEVENT); once the pointer has rested on a tool for the
// double-click time, the tip shows below the pointer, on top, without taking the activation or
// the mouse. It hides when the pointer leaves the tool, when a mouse button is pressed (and then
// stays hidden until the pointer leaves the tool), and after ten times that delay.
#include "win32/winuser.h"

#define TOOLTIPS_CLASSA "tooltips_class32"
#define TOOLTIPS_CLASS TOOLTIPS_CLASSA

#define TTS_ALWAYSTIP 0x01  // tips also while the tools' window is not in the active window
#define TTS_NOPREFIX 0x02   // '&' stays in the text; without it, single ampersands are removed

#define TTF_IDISHWND 0x0001  // uId is the tool's window; the tool is its whole client area

typedef struct tagTOOLINFOA {
  UINT cbSize;
  UINT uFlags;
  HWND hwnd;  // the window whose client area holds the tool
  UINT_PTR uId;
  RECT rect;  // client coordinates of hwnd
  HINSTANCE hinst;
  LPSTR lpszText;  // the text, or MAKEINTRESOURCE of a string of hinst
  LPARAM lParam;
} TTTOOLINFOA, *LPTTTOOLINFOA;

#define TTM_ACTIVATE (WM_USER + 1)  // wParam: TRUE shows tips from now on, FALSE hides and stops them
#define TTM_ADDTOOLA (WM_USER + 4)  // lParam TTTOOLINFOA; TRUE when added
#define TTM_RELAYEVENT (WM_USER + 7)  // lParam the MSG of a mouse message of a tool's window
#define TTM_UPDATETIPTEXTA (WM_USER + 12)  // lParam TTTOOLINFOA naming the tool and its new text
#define TTM_GETTOOLCOUNT (WM_USER + 13)
// lParam the widest a tip's text may be, in pixels, before it is broken into lines (-1: no
// limit, one line); returns the previous value.
#define TTM_SETMAXTIPWIDTH (WM_USER + 24)

#define TOOLINFOA TTTOOLINFOA
#define TOOLINFO TTTOOLINFOA
#define LPTOOLINFO LPTTTOOLINFOA
#define TTM_ADDTOOL TTM_ADDTOOLA
#define TTM_UPDATETIPTEXT TTM_UPDATETIPTEXTA
