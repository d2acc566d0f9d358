#pragma once
// The common controls (comctl32). Image lists: equal-sized images, each with an optional mask,
// drawn transparently or over a background colour, optionally blended with a foreground colour.
// The controls have headers of their own, included at the end.
#include "win32/winicon.h"

struct _IMAGELIST;
typedef struct _IMAGELIST* HIMAGELIST;

#define CLR_NONE 0xFFFFFFFF
#define CLR_DEFAULT 0xFF000000

#define ILC_MASK 0x00000001
#define ILC_COLOR 0x00000000
#define ILC_COLORDDB 0x000000FE
#define ILC_COLOR4 0x00000004
#define ILC_COLOR8 0x00000008
#define ILC_COLOR16 0x00000010
#define ILC_COLOR24 0x00000018
#define ILC_COLOR32 0x00000020

#define ILD_NORMAL 0x00000000       // over the list's background colour, or transparent with CLR_NONE
#define ILD_TRANSPARENT 0x00000001  // through the mask, whatever the background colour
#define ILD_MASK 0x00000010         // the mask alone
#define ILD_IMAGE 0x00000020        // the image alone, copied
#define ILD_BLEND25 0x00000002      // a quarter of the foreground colour mixed in
#define ILD_FOCUS ILD_BLEND25
#define ILD_BLEND50 0x00000004      // half of the foreground colour mixed in
#define ILD_SELECTED ILD_BLEND50
#define ILD_BLEND ILD_BLEND50

// Images are kept at 32 bits whatever colour flag is given.
HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int cInitial, int cGrow);
BOOL ImageList_Destroy(HIMAGELIST himl);
int ImageList_GetImageCount(HIMAGELIST himl);
BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy);
COLORREF ImageList_SetBkColor(HIMAGELIST himl, COLORREF clrBk);
COLORREF ImageList_GetBkColor(HIMAGELIST himl);

// Adds every image of a bitmap as wide as a multiple of the image width (the bitmaps are copied);
// hbmMask 1 bits are transparent. Returns the index of the first new image, -1 on failure.
int ImageList_Add(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask);
// The mask is made from the pixels of colour crMask, which turn black in the image.
int ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask);
// i -1 appends. The icon is drawn at the list's image size. Returns the index, -1 on failure.
int ImageList_ReplaceIcon(HIMAGELIST himl, int i, HICON hicon);
#define ImageList_AddIcon(himl, hicon) ImageList_ReplaceIcon(himl, -1, hicon)
// i -1 removes every image.
// Image i becomes the first image of hbmImage (with hbmMask as ImageList_Add takes it).
BOOL ImageList_Replace(HIMAGELIST himl, int i, HBITMAP hbmImage, HBITMAP hbmMask);
// A new list with copies of every image, the same image size, flags and background colour.
HIMAGELIST ImageList_Duplicate(HIMAGELIST himl);
BOOL ImageList_Remove(HIMAGELIST himl, int i);
#define ImageList_RemoveAll(himl) ImageList_Remove(himl, -1)
// A new icon of image i (ILD_ flags other than the mask are ignored).
HICON ImageList_GetIcon(HIMAGELIST himl, int i, UINT flags);
#define ImageList_ExtractIcon(hi, himl, i) ImageList_GetIcon(himl, i, 0)

BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle);
// dx, dy: the part of the image drawn (0: all of it). rgbBk: CLR_DEFAULT is the list's background
// colour, CLR_NONE transparent. rgbFg: the blend colour, CLR_DEFAULT the highlight colour.
BOOL ImageList_DrawEx(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, int dx, int dy, COLORREF rgbBk,
                      COLORREF rgbFg, UINT fStyle);

// ---- The controls -------------------------------------------------------------------------------

#include "win32/comctl_notify.h"
#include "win32/listview.h"
#include "win32/tooltips.h"
#include "win32/flatsb.h"
#include "win32/updown.h"
#include "win32/toolbar.h"
