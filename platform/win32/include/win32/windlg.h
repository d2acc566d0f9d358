#pragma once
// Dialogs: templates written as C++ tables, the dialog manager ("#32770"), modal and modeless
// dialogs, keyboard navigation, the dialog item helpers and message boxes.
#include "win32/winuser.h"

typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);

// ---- Templates ----------------------------------------------------------------------------------

// One control of a dialog template, as a CONTROL line of a resource script. Coordinates are
// dialog units. The style is used as given plus WS_CHILD (give WS_VISIBLE, as in a binary
// template).
//   {"BUTTON", "OK", IDOK, BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 50, 80, 50, 14}
typedef struct DLGITEMTEMPLATE {
  LPCSTR windowClass;  // "BUTTON", "EDIT", "STATIC", "COMBOBOX", "LISTBOX", "SCROLLBAR", or any class
  LPCSTR title;        // null: no text
  int id;
  DWORD style;
  short x;
  short y;
  short cx;
  short cy;
  DWORD exStyle = 0;
} DLGITEMTEMPLATE, *LPDLGITEMTEMPLATE;

// A dialog template: the DIALOGEX header of a resource script and its controls. The font is
// used when the style has DS_SETFONT; otherwise dialog units come from the system font. An
// RT_DIALOG resource's data points at one of these.
//   static const DLGITEMTEMPLATE kItems[] = {...};
//   static const DLGTEMPLATE kDialog = {DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION, 0,
//                                       0, 0, 200, 100, "Options", "MS Shell Dlg", 8, kItems, 3};
typedef struct DLGTEMPLATE {
  DWORD style;
  DWORD exStyle;
  short x;
  short y;
  short cx;
  short cy;
  LPCSTR title;
  LPCSTR fontFace;
  WORD pointSize;
  const DLGITEMTEMPLATE* items = nullptr;
  UINT itemCount = 0;
  LPCSTR windowClass = nullptr;  // null: "#32770"
} DLGTEMPLATE, *LPDLGTEMPLATE;
typedef const DLGTEMPLATE* LPCDLGTEMPLATE;
typedef const DLGTEMPLATE* LPCDLGTEMPLATEA;

// Dialog styles.
#define DS_ABSALIGN 0x01L      // x, y are screen coordinates (else the owner's client area)
#define DS_SETFONT 0x40L       // the template names the font
#define DS_MODALFRAME 0x80L    // a dialog frame
#define DS_3DLOOK 0x0004L
#define DS_FIXEDSYS 0x0008L
#define DS_NOFAILCREATE 0x0010L  // a control that cannot be created is left out
#define DS_CONTROL 0x0400L     // a child dialog inside another dialog
#define DS_CENTER 0x0800L      // centred over the owner (the screen without one)
#define DS_SHELLFONT (DS_SETFONT | DS_FIXEDSYS)

// Window extra bytes of dialogs (a class registered for dialogs gives DLGWINDOWEXTRA).
#define DWLP_MSGRESULT 0  // the answer of a message the dialog procedure handled
#define DWLP_DLGPROC ((int)sizeof(LRESULT))
#define DWLP_USER ((int)(sizeof(LRESULT) + sizeof(DLGPROC)))
#define DWL_MSGRESULT DWLP_MSGRESULT
#define DWL_DLGPROC DWLP_DLGPROC
#define DWL_USER DWLP_USER
#define DLGWINDOWEXTRA ((int)(sizeof(LRESULT) + sizeof(DLGPROC) + sizeof(LONG_PTR)))

// Dialog command ids.
#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7
#define IDCLOSE 8
#define IDHELP 9

// Dialog manager messages.
#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DC_HASDEFID 0x534B

// WM_GETDLGCODE answers.
#define DLGC_WANTARROWS 0x0001
#define DLGC_WANTTAB 0x0002
#define DLGC_WANTALLKEYS 0x0004
#define DLGC_WANTMESSAGE 0x0004
#define DLGC_HASSETSEL 0x0008
#define DLGC_DEFPUSHBUTTON 0x0010
#define DLGC_UNDEFPUSHBUTTON 0x0020
#define DLGC_RADIOBUTTON 0x0040
#define DLGC_WANTCHARS 0x0080
#define DLGC_STATIC 0x0100
#define DLGC_BUTTON 0x2000

// ---- Dialog units -------------------------------------------------------------------------------

// The system font's dialog base units: MAKELONG(horizontal, vertical).
LONG GetDialogBaseUnits();
// Dialog units to pixels with the dialog's font: x * baseX / 4, y * baseY / 8.
BOOL MapDialogRect(HWND hDlg, LPRECT lpRect);

// ---- Creating and running dialogs ---------------------------------------------------------------

// Creates a modeless dialog: the window, its font, its controls, then WM_INITDIALOG (focus on
// the first tab stop when the procedure returns TRUE); shown when the template has WS_VISIBLE.
HWND CreateDialogIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATE lpTemplate, HWND hWndParent,
                                DLGPROC lpDialogFunc, LPARAM dwInitParam);
// The template is the RT_DIALOG resource of that name in the module.
HWND CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                        LPARAM dwInitParam);
#define CreateDialogA(i, t, p, f) CreateDialogParamA(i, t, p, f, 0)
#define CreateDialogIndirectA(i, t, p, f) CreateDialogIndirectParamA(i, t, p, f, 0)
// Runs a modal dialog: the owner (the top-level window of hWndParent) is disabled while the
// dialog's own message loop runs and enabled again before the dialog is destroyed. Returns
// EndDialog's result, -1 when the dialog cannot be created. A WM_QUIT ends the loop and is
// queued again for the caller's loop.
INT_PTR DialogBoxIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATE hDialogTemplate, HWND hWndParent,
                                DLGPROC lpDialogFunc, LPARAM dwInitParam);
INT_PTR DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                        LPARAM dwInitParam);
#define DialogBoxA(i, t, p, f) DialogBoxParamA(i, t, p, f, 0)
#define DialogBoxIndirectA(i, t, p, f) DialogBoxIndirectParamA(i, t, p, f, 0)
// Ends a modal dialog's loop with nResult (the owner is enabled and the dialog hidden at once).
BOOL EndDialog(HWND hDlg, INT_PTR nResult);

// The dialog manager's window procedure: the dialog procedure first; what it leaves (returns
// FALSE for) gets the default handling. WM_CLOSE becomes WM_COMMAND IDCANCEL.
LRESULT DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam);
// Tab, Shift+Tab, arrows within a WS_GROUP group, Enter (the focused push button, else the
// default button, else IDOK), Escape (IDCANCEL) and mnemonics ("&x" with Alt, or alone where
// the focus takes no characters) for messages to the dialog or its controls; every other
// message is translated and dispatched. Returns FALSE for messages to other windows.
BOOL IsDialogMessageA(HWND hDlg, LPMSG lpMsg);

// ---- Dialog items -------------------------------------------------------------------------------

// The child with that id (ERROR_CONTROL_ID_NOT_FOUND when none).
HWND GetDlgItem(HWND hDlg, int nIDDlgItem);
// A child window's id; 0 for top-level windows.
int GetDlgCtrlID(HWND hWnd);
HWND GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious);
HWND GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious);
LRESULT SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam);
BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString);
UINT GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax);
BOOL SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned);
// *lpTranslated is FALSE for text that is not a number in range; leading and trailing blanks
// are allowed.
UINT GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned);
BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck);
UINT IsDlgButtonChecked(HWND hDlg, int nIDButton);
// Checks nIDCheckButton and unchecks the other buttons of the id range.
BOOL CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton);

// ---- Message boxes ------------------------------------------------------------------------------

#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_RETRYCANCEL 0x00000005L
#define MB_TYPEMASK 0x0000000FL
#define MB_ICONHAND 0x00000010L
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_ICONMASK 0x000000F0L
#define MB_DEFBUTTON1 0x00000000L
#define MB_DEFBUTTON2 0x00000100L
#define MB_DEFBUTTON3 0x00000200L
#define MB_DEFMASK 0x00000F00L
#define MB_APPLMODAL 0x00000000L
#define MB_TOPMOST 0x00040000L

// A modal dialog with the text, the caption ("Error" when null) and the buttons of uType,
// centred over hWnd's top-level window (disabled meanwhile). Returns the id of the button
// chosen; Escape and the close box answer IDCANCEL when there is a Cancel button, IDOK for a
// lone OK button, and do nothing otherwise. Under the headless test driver the answer comes
// from the test's script.
int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);

// ---- Names without the A suffix -----------------------------------------------------------------

#define CreateDialogIndirectParam CreateDialogIndirectParamA
#define CreateDialogParam CreateDialogParamA
#define CreateDialog CreateDialogA
#define CreateDialogIndirect CreateDialogIndirectA
#define DialogBoxIndirectParam DialogBoxIndirectParamA
#define DialogBoxParam DialogBoxParamA
#define DialogBox DialogBoxA
#define DialogBoxIndirect DialogBoxIndirectA
#define DefDlgProc DefDlgProcA
#define IsDialogMessage IsDialogMessageA
#define SendDlgItemMessage SendDlgItemMessageA
#define SetDlgItemText SetDlgItemTextA
#define GetDlgItemText GetDlgItemTextA
#define MessageBox MessageBoxA
