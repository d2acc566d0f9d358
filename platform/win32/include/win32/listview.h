#pragma once
// The list view control ("SysListView32") in report view without a column header: columns of
// text, rows of items with a text per column (sub-items), a selection with its focus item and
// selection mark, custom drawing by the parent, and vertical scrolling by whole rows. Other views
// and the column header are not offered: creating such a list fails with ERROR_NOT_SUPPORTED.
//
// The list keeps its vertical scroll range (0 .. rows - 1, a page of the rows that fit) and its
// top row in its window's vertical bar, where GetScrollInfo and GetScrollPos read them, but draws
// no bar of its own: keys, the wheel, WM_VSCROLL and LVM_SCROLL scroll it.
//
// The parent hears through WM_NOTIFY: NM_CLICK when the left button is released after a press
// on the list, NM_DBLCLK on a double click (both with an NMITEMACTIVATE), NM_CUSTOMDRAW while
// the list paints (an NMLVCUSTOMDRAW). WM_PAINT with an HDC in wParam paints into that DC.
#include "win32/comctl_notify.h"

#define WC_LISTVIEWA "SysListView32"
#define WC_LISTVIEW WC_LISTVIEWA

#define LVS_REPORT 0x0001
#define LVS_SINGLESEL 0x0004  // at most one item selected; without it, Ctrl and Shift clicks add
#define LVS_TYPEMASK 0x0003
#define LVS_NOCOLUMNHEADER 0x4000

// Extended list styles (LVM_SETEXTENDEDLISTVIEWSTYLE). Without full-row selection only the first
// column of a row takes clicks and shows the selection.
#define LVS_EX_FULLROWSELECT 0x00000020

// ---- Items and columns --------------------------------------------------------------------------

#define LVIF_TEXT 0x0001
#define LVIF_PARAM 0x0004
#define LVIF_STATE 0x0008

#define LVIS_FOCUSED 0x0001  // one item at most
#define LVIS_SELECTED 0x0002

typedef struct tagLVITEMA {
  UINT mask;
  int iItem;
  int iSubItem;
  UINT state;
  UINT stateMask;
  LPSTR pszText;
  int cchTextMax;
  int iImage;
  LPARAM lParam;
  int iIndent;
} LVITEMA, *LPLVITEMA;

#define LVCF_FMT 0x0001
#define LVCF_WIDTH 0x0002
#define LVCF_TEXT 0x0004
#define LVCF_SUBITEM 0x0008

// The first column is always left-aligned, whatever its format says.
#define LVCFMT_LEFT 0x0000
#define LVCFMT_RIGHT 0x0001
#define LVCFMT_CENTER 0x0002
#define LVCFMT_JUSTIFYMASK 0x0003

typedef struct tagLVCOLUMNA {
  UINT mask;
  int fmt;
  int cx;  // without LVCF_WIDTH the column is 0 pixels wide
  LPSTR pszText;
  int cchTextMax;
  int iSubItem;  // the sub-item shown; without LVCF_SUBITEM, the column's index
  int iImage;
  int iOrder;
} LVCOLUMNA, *LPLVCOLUMNA;

// LVM_GETNEXTITEM flags: the next item after wParam (-1: from the first) with all these states.
#define LVNI_ALL 0x0000
#define LVNI_FOCUSED 0x0001
#define LVNI_SELECTED 0x0002

// LVM_GETITEMRECT codes (in the rectangle's left): the whole row across the columns, the image
// (none: no width at the row's left), the first column's cell, or the part that shows the
// selection.
#define LVIR_BOUNDS 0
#define LVIR_ICON 1
#define LVIR_LABEL 2
#define LVIR_SELECTBOUNDS 3

// ---- Messages -----------------------------------------------------------------------------------

#define LVM_FIRST 0x1000
#define LVM_GETITEMCOUNT (LVM_FIRST + 4)
#define LVM_INSERTITEMA (LVM_FIRST + 7)    // lParam LVITEMA (sub-item 0); the index, or -1
#define LVM_DELETEITEM (LVM_FIRST + 8)
#define LVM_DELETEALLITEMS (LVM_FIRST + 9)
#define LVM_GETNEXTITEM (LVM_FIRST + 12)   // wParam the start, LOWORD(lParam) LVNI_*; -1 when none
#define LVM_GETITEMRECT (LVM_FIRST + 14)   // wParam the item, lParam RECT* (left: LVIR_*)
#define LVM_ENSUREVISIBLE (LVM_FIRST + 19) // wParam the item, lParam whether partly shown will do
#define LVM_SCROLL (LVM_FIRST + 20)        // lParam pixels down, rounded to whole rows
#define LVM_INSERTCOLUMNA (LVM_FIRST + 27) // wParam the position, lParam LVCOLUMNA; the index or -1
#define LVM_GETTEXTBKCOLOR (LVM_FIRST + 37)
#define LVM_SETTEXTBKCOLOR (LVM_FIRST + 38)  // behind items' text; CLR_NONE: none; no repaint
#define LVM_GETTOPINDEX (LVM_FIRST + 39)
#define LVM_SETITEMSTATE (LVM_FIRST + 43)  // wParam the item (-1: every item), lParam LVITEMA
#define LVM_GETITEMSTATE (LVM_FIRST + 44)  // wParam the item, lParam the states asked for
#define LVM_GETITEMTEXTA (LVM_FIRST + 45)  // wParam the item, lParam LVITEMA; characters copied
#define LVM_SETITEMTEXTA (LVM_FIRST + 46)
#define LVM_SETEXTENDEDLISTVIEWSTYLE (LVM_FIRST + 54)  // wParam the bits (0: all), lParam them; the old
#define LVM_GETEXTENDEDLISTVIEWSTYLE (LVM_FIRST + 55)
#define LVM_GETSELECTIONMARK (LVM_FIRST + 66)
#define LVM_SETSELECTIONMARK (LVM_FIRST + 67)  // lParam the item; the old mark

// ---- Notifications ------------------------------------------------------------------------------

// NM_CLICK and NM_DBLCLK: the item under the press (-1: none), the column there, the point in
// client coordinates and the keys held.
#define LVKF_ALT 0x0001
#define LVKF_CONTROL 0x0002
#define LVKF_SHIFT 0x0004

typedef struct tagNMITEMACTIVATE {
  NMHDR hdr;
  int iItem;
  int iSubItem;
  UINT uNewState;
  UINT uOldState;
  UINT uChanged;
  POINT ptAction;
  LPARAM lParam;
  UINT uKeyFlags;
} NMITEMACTIVATE, *LPNMITEMACTIVATE;

// NM_CUSTOMDRAW of a list: the colours of an item's text and of what lies behind it, which the
// parent may change at CDDS_ITEMPREPAINT. A selected item of a focused list is drawn in the
// highlight colours instead, unless the parent clears its selected state meanwhile; state changes
// made while the list paints do not ask for another paint.
typedef struct tagNMLVCUSTOMDRAW {
  NMCUSTOMDRAW nmcd;
  COLORREF clrText;
  COLORREF clrTextBk;
  int iSubItem;
} NMLVCUSTOMDRAW, *LPNMLVCUSTOMDRAW;

#define LVITEM LVITEMA
#define LPLVITEM LPLVITEMA
#define LVCOLUMN LVCOLUMNA
#define LPLVCOLUMN LPLVCOLUMNA
#define LVM_INSERTITEM LVM_INSERTITEMA
#define LVM_INSERTCOLUMN LVM_INSERTCOLUMNA
#define LVM_GETITEMTEXT LVM_GETITEMTEXTA
#define LVM_SETITEMTEXT LVM_SETITEMTEXTA
