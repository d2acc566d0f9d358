#pragma once
// Keyboard accelerator tables: key combinations that a message loop turns into commands.
#include "win32/wintypes.h"

#define FVIRTKEY 0x01  // key is a virtual-key code, else a character
#define FNOINVERT 0x02
#define FSHIFT 0x04
#define FCONTROL 0x08
#define FALT 0x10

typedef struct tagACCEL {
  BYTE fVirt;
  WORD key;
  WORD cmd;
} ACCEL, *LPACCEL;

// One entry of an RT_ACCELERATOR resource as the platform lays it out; the last entry carries
// 0x80 in its flags.
typedef struct tagACCELTABLEENTRY {
  WORD fFlags;
  WORD wAnsi;
  WORD wId;
  WORD padding;
} ACCELTABLEENTRY;
#define ACCEL_LAST_ENTRY 0x80

HACCEL CreateAcceleratorTableA(LPACCEL paccel, int cAccel);
// NULL when the resource is missing, empty or has no last-entry mark inside its size.
HACCEL LoadAcceleratorsA(HINSTANCE hInstance, LPCSTR lpTableName);
BOOL DestroyAcceleratorTable(HACCEL hAccel);
// A WM_KEYDOWN/WM_SYSKEYDOWN (virtual keys) or WM_CHAR/WM_SYSCHAR (characters) matching an entry,
// with the entry's Shift, Ctrl and Alt state, is sent to hWnd as WM_COMMAND (high word 1) and the
// result is TRUE; anything else FALSE. (No unsuffixed name: COM interfaces have a method of it.)
int TranslateAcceleratorA(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg);

#define CreateAcceleratorTable CreateAcceleratorTableA
#define LoadAccelerators LoadAcceleratorsA
