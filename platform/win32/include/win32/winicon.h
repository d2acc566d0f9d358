#pragma once
// Icons (and cursors, which are icons with a hot spot): a monochrome AND mask and a colour image
// drawn as dest = (dest AND mask) XOR colour. A monochrome icon has no colour bitmap and a mask
// of twice the height: the AND half on top, the XOR half below.
#include "win32/wingdi.h"

typedef struct _ICONINFO {
  BOOL fIcon;
  DWORD xHotspot;
  DWORD yHotspot;
  HBITMAP hbmMask;
  HBITMAP hbmColor;
} ICONINFO, *PICONINFO;

// The bitmaps are copied; the caller keeps its own.
HICON CreateIconIndirect(PICONINFO piconinfo);
// Fills in new copies of the icon's bitmaps, which the caller deletes.
BOOL GetIconInfo(HICON hIcon, PICONINFO piconinfo);
HICON CopyIcon(HICON hIcon);
BOOL DestroyIcon(HICON hIcon);
#define DestroyCursor DestroyIcon

#define DI_MASK 0x0001
#define DI_IMAGE 0x0002
#define DI_NORMAL 0x0003
#define DI_COMPAT 0x0004
#define DI_DEFAULTSIZE 0x0008

// cxWidth, cyWidth 0: the icon's own size (the default icon size with DI_DEFAULTSIZE). With
// hbrFlickerFreeDraw the area is filled with that brush first.
BOOL DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth, UINT istepIfAniCur,
                HBRUSH hbrFlickerFreeDraw, UINT diFlags);
// At the default icon size (32 x 32).
BOOL DrawIcon(HDC hDC, int X, int Y, HICON hIcon);

// Icon resources as the platform lays them out: an RT_GROUP_ICON directory whose entries name
// RT_ICON images (a BITMAPINFOHEADER of twice the height, its colour table, the colour rows, then
// the mask rows). LoadIcon picks the entry nearest the default icon size.
HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName);
#define LoadIcon LoadIconA
// One RT_ICON image; fIcon FALSE takes a cursor's leading hot spot (two WORDs). A desired size
// other than 0 stretches the image to it. LoadImage (IMAGE_ICON, IMAGE_CURSOR) loads from
// resources only, the group entry nearest the size asked for, stretched to it.
HICON CreateIconFromResourceEx(PBYTE presbits, DWORD dwResSize, BOOL fIcon, DWORD dwVer, int cxDesired,
                               int cyDesired, UINT Flags);
