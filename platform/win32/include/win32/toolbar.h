#pragma once
// The toolbar control ("ToolbarWindow32"): a row of buttons, each showing one image of the
// toolbar's image list, with separators between groups. A click on an enabled button sends
// WM_COMMAND with the button's command to the parent. Buttons carry no texts.
// TB_BUTTONSTRUCTSIZE must be sent before buttons are added. TB_ADDBITMAP makes the toolbar's own
// image list (at the bitmap size, masked with COLOR_BTNFACE) and destroys it with the window; a
// list given with TB_SETIMAGELIST stays its owner's.
#include "win32/winuser.h"

#define TOOLBARCLASSNAMEA "ToolbarWindow32"
#define TOOLBARCLASSNAME TOOLBARCLASSNAMEA

#define TBSTATE_CHECKED 0x01
#define TBSTATE_PRESSED 0x02
#define TBSTATE_ENABLED 0x04
#define TBSTATE_HIDDEN 0x08

#define TBSTYLE_BUTTON 0x0000
#define TBSTYLE_SEP 0x0001  // a gap of iBitmap pixels (8 when 0) with an etched line
#define TBSTYLE_FLAT 0x0800

typedef struct _TBBUTTON {
  int iBitmap;  // the image; a separator's width
  int idCommand;
  BYTE fsState;
  BYTE fsStyle;
  BYTE bReserved[sizeof(INT_PTR) - 2];
  DWORD_PTR dwData;
  INT_PTR iString;
} TBBUTTON, *PTBBUTTON, *LPTBBUTTON;
typedef const TBBUTTON* LPCTBBUTTON;

// hInst null: nID is a bitmap handle (copied); else nID names a bitmap resource of hInst.
typedef struct tagTBADDBITMAP {
  HINSTANCE hInst;
  UINT_PTR nID;
} TBADDBITMAP, *LPTBADDBITMAP;

#define TBIF_IMAGE 0x00000001
#define TBIF_TEXT 0x00000002  // no button has a text: an empty one
#define TBIF_STATE 0x00000004
#define TBIF_STYLE 0x00000008
#define TBIF_LPARAM 0x00000010
#define TBIF_COMMAND 0x00000020
#define TBIF_SIZE 0x00000040
#define TBIF_BYINDEX 0x80000000  // wParam is the button's index, not its command

typedef struct {
  UINT cbSize;
  DWORD dwMask;
  int idCommand;
  int iImage;
  BYTE fsState;
  BYTE fsStyle;
  WORD cx;  // the button's width
  DWORD_PTR lParam;
  LPSTR pszText;
  int cchText;
} TBBUTTONINFOA, *LPTBBUTTONINFOA;
#define TBBUTTONINFO TBBUTTONINFOA
#define LPTBBUTTONINFO LPTBBUTTONINFOA

#define TB_GETITEMRECT (WM_USER + 29)       // wParam index, lParam RECT*; FALSE past the end
#define TB_ADDBITMAP (WM_USER + 19)         // wParam image count, lParam TBADDBITMAP*; the first new image or -1
#define TB_ADDBUTTONSA (WM_USER + 20)       // wParam count, lParam TBBUTTON array
#define TB_DELETEBUTTON (WM_USER + 22)      // wParam index; FALSE past the end
#define TB_GETBUTTON (WM_USER + 23)         // wParam index, lParam TBBUTTON*; FALSE past the end
#define TB_BUTTONCOUNT (WM_USER + 24)
#define TB_COMMANDTOINDEX (WM_USER + 25)    // wParam command; -1 when no button has it
#define TB_BUTTONSTRUCTSIZE (WM_USER + 30)  // wParam sizeof(TBBUTTON)
#define TB_SETBUTTONSIZE (WM_USER + 31)     // lParam MAKELONG(cx, cy)
#define TB_SETBITMAPSIZE (WM_USER + 32)     // lParam MAKELONG(cx, cy); FALSE once images of another size exist
#define TB_SETIMAGELIST (WM_USER + 48)      // lParam HIMAGELIST; returns the previous one
#define TB_GETIMAGELIST (WM_USER + 49)
#define TB_GETBUTTONSIZE (WM_USER + 58)     // MAKELONG(cx, cy)
#define TB_GETBUTTONINFOA (WM_USER + 65)    // wParam command (or index), lParam TBBUTTONINFOA*; the index or -1
#define TB_ADDBUTTONS TB_ADDBUTTONSA
#define TB_GETBUTTONINFO TB_GETBUTTONINFOA

// A bitmap resource (idBitmap an id or a name) with black, grey, silver and white turned into the button colours of the
// current scheme (COLOR_BTNTEXT, COLOR_BTNSHADOW, COLOR_BTNFACE, COLOR_BTNHIGHLIGHT), or by the
// caller's iNumMaps pairs when lpColorMap is given. wFlags is not used.
typedef struct _COLORMAP {
  COLORREF from;
  COLORREF to;
} COLORMAP, *LPCOLORMAP;
HBITMAP CreateMappedBitmap(HINSTANCE hInstance, INT_PTR idBitmap, UINT wFlags, LPCOLORMAP lpColorMap, int iNumMaps);
