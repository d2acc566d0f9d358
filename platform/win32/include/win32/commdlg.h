#pragma once
// The common file dialogs: open (one file or several) and save, drawn by the window layer as
// modal dialogs over the real file system. Paths come back in the platform's form.
#include "win32/windlg.h"

typedef UINT_PTR(CALLBACK* LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagOFNA {
  DWORD lStructSize;        // sizeof(OPENFILENAMEA)
  HWND hwndOwner;
  HINSTANCE hInstance;
  LPCSTR lpstrFilter;       // pairs of description and patterns ("*.avi;*.mpg"), each NUL-ended, then a NUL
  LPSTR lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;       // 1-based; the chosen pair on return
  LPSTR lpstrFile;          // in: a first name or empty; out: the result
  DWORD nMaxFile;           // characters of lpstrFile
  LPSTR lpstrFileTitle;     // out (optional): the chosen file's name
  DWORD nMaxFileTitle;
  LPCSTR lpstrInitialDir;
  LPCSTR lpstrTitle;        // the caption; null: "Open" or "Save As"
  DWORD Flags;
  WORD nFileOffset;         // where the name starts in lpstrFile (the first name after the folder)
  WORD nFileExtension;      // where the extension starts; 0 for several files
  LPCSTR lpstrDefExt;       // save: added to a name typed without one
  LPARAM lCustData;
  LPOFNHOOKPROC lpfnHook;
  LPCSTR lpTemplateName;
} OPENFILENAMEA, *LPOPENFILENAMEA;
typedef OPENFILENAMEA OPENFILENAME;
typedef LPOPENFILENAMEA LPOPENFILENAME;

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002  // save: ask before replacing a file
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_SHOWHELP 0x00000010
#define OFN_NOVALIDATE 0x00000100
#define OFN_ALLOWMULTISELECT 0x00000200  // open: several names, returned as folder, NUL, names, NUL NUL
#define OFN_EXTENSIONDIFFERENT 0x00000400
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000  // open: every name must be an existing file
#define OFN_CREATEPROMPT 0x00002000
#define OFN_NOREADONLYRETURN 0x00008000
#define OFN_EXPLORER 0x00080000
#define OFN_NODEREFERENCELINKS 0x00100000
#define OFN_LONGNAMES 0x00200000

// Control ids of the file dialogs and the folder browser, for drivers and hooks.
#define stc1 0x0440  // the folder shown
#define lst1 0x0460  // the folder's entries
#define cmb1 0x0470  // the filters
#define edt1 0x0480  // the file name (the folder in the folder browser)
#define psh1 0x0400  // up one folder

BOOL GetOpenFileNameA(LPOPENFILENAMEA lpofn);
BOOL GetSaveFileNameA(LPOPENFILENAMEA lpofn);
#define GetOpenFileName GetOpenFileNameA
#define GetSaveFileName GetSaveFileNameA

// Why the last common dialog on this thread returned FALSE: 0 when the user cancelled.
DWORD CommDlgExtendedError();

#define CDERR_STRUCTSIZE 0x0001
#define CDERR_INITIALIZATION 0x0002
#define FNERR_SUBCLASSFAILURE 0x3001
#define FNERR_INVALIDFILENAME 0x3002
#define FNERR_BUFFERTOOSMALL 0x3003  // the first two bytes of lpstrFile hold the size needed

// The colour chooser: red, green and blue boxes, the colour they make, and the caller's 16 custom
// colours (a click takes one; "Add to Custom Colors" puts the current colour in the next place).
typedef struct tagCHOOSECOLORA {
  DWORD lStructSize;  // sizeof(CHOOSECOLORA)
  HWND hwndOwner;
  HWND hInstance;
  COLORREF rgbResult;     // in with CC_RGBINIT: the colour offered; out: the chosen colour
  COLORREF* lpCustColors; // 16 colours, read at the start and written back on OK
  DWORD Flags;
  LPARAM lCustData;
  LPOFNHOOKPROC lpfnHook;
  LPCSTR lpTemplateName;
} CHOOSECOLORA, *LPCHOOSECOLORA;
typedef CHOOSECOLORA CHOOSECOLOR;

#define CC_RGBINIT 0x00000001
#define CC_FULLOPEN 0x00000002
#define CC_PREVENTFULLOPEN 0x00000004
#define CC_SOLIDCOLOR 0x00000080
#define CC_ANYCOLOR 0x00000100

// Control ids of the colour chooser, for drivers.
#define COLOR_RED 0x02c2
#define COLOR_GREEN 0x02c3
#define COLOR_BLUE 0x02c4
#define COLOR_CURRENT 0x02c5
#define COLOR_ADD 0x02c8
#define COLOR_CUSTOM1 0x02d0  // the 16 custom colours follow in order

BOOL ChooseColorA(LPCHOOSECOLORA lpcc);
#define ChooseColor ChooseColorA
