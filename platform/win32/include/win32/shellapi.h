#pragma once
// Opening a document or an address the way the desktop does. Only the verb "open" is known; the
// desktop's opener runs it (xdg-open, or the program CORVANE_OPENER names, given the path or
// address as its one argument) and the call does not wait for it.
#include "win32/winuser.h"

#define SEE_MASK_DEFAULT 0x00000000
#define SEE_MASK_FLAG_NO_UI 0x00000400  // no error dialogs (there are none here)

#define SE_ERR_FNF 2
#define SE_ERR_NOASSOC 31
#ifndef ERROR_NO_ASSOCIATION
#define ERROR_NO_ASSOCIATION 1155L
#endif

typedef struct _SHELLEXECUTEINFOA {
  DWORD cbSize;
  ULONG fMask;
  HWND hwnd;
  LPCSTR lpVerb;        // null or "open"
  LPCSTR lpFile;        // a path in the platform's form, or an address with a scheme ("http:...")
  LPCSTR lpParameters;  // not passed on
  LPCSTR lpDirectory;
  int nShow;
  HINSTANCE hInstApp;   // out: above 32 on success, else an SE_ERR_ code
  void* lpIDList;
  LPCSTR lpClass;
  HKEY hkeyClass;
  DWORD dwHotKey;
  HANDLE hIcon;
  HANDLE hProcess;      // always null: the opener is not the document's program
} SHELLEXECUTEINFOA, *LPSHELLEXECUTEINFOA;
typedef SHELLEXECUTEINFOA SHELLEXECUTEINFO;

// FALSE with the last error ERROR_FILE_NOT_FOUND for a missing file, ERROR_NO_ASSOCIATION for
// another verb or when the opener cannot be started, ERROR_INVALID_PARAMETER for a bad cbSize.
BOOL ShellExecuteExA(SHELLEXECUTEINFOA* pExecInfo);
#define ShellExecuteEx ShellExecuteExA
