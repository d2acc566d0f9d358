#pragma once
// Types of the visual-styles library ("UxTheme.dll"). The library itself is optional: programs
// bind its functions at run time by name, so only the types are declared here.
#include "win32/commctrl.h"
#include "win32/winfont.h"

typedef HANDLE HTHEME;

typedef struct _MARGINS {
  int cxLeftWidth;
  int cxRightWidth;
  int cyTopHeight;
  int cyBottomHeight;
} MARGINS, *PMARGINS;

#define MAX_INTLIST_COUNT 402
typedef struct _INTLIST {
  int iValueCount;
  int iValues[MAX_INTLIST_COUNT];
} INTLIST, *PINTLIST;

typedef enum THEMESIZE { TS_MIN, TS_TRUE, TS_DRAW } THEMESIZE;

typedef enum PROPERTYORIGIN { PO_STATE, PO_PART, PO_CLASS, PO_GLOBAL, PO_NOTFOUND } PROPERTYORIGIN;

// EnableThemeDialogTexture flags.
#define ETDT_DISABLE 0x00000001
#define ETDT_ENABLE 0x00000002
#define ETDT_USETABTEXTURE 0x00000004
#define ETDT_ENABLETAB (ETDT_ENABLE | ETDT_USETABTEXTURE)

// Get/SetThemeAppProperties flags.
#define STAP_ALLOW_NONCLIENT 0x00000001
#define STAP_ALLOW_CONTROLS 0x00000002
#define STAP_ALLOW_WEBCONTENT 0x00000004
