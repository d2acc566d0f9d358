#pragma once
// What the common controls tell their parent: WM_NOTIFY (wParam the control id, lParam a
// structure that begins with an NMHDR), and custom drawing, in which the parent is asked before
// and after the control and each of its items are drawn and may change colours or draw them
// itself.
#include "win32/winuser.h"

typedef struct tagNMHDR {
  HWND hwndFrom;
  UINT_PTR idFrom;
  UINT code;
} NMHDR, *LPNMHDR;

#define NM_FIRST (0U - 0U)
#define NM_CLICK (NM_FIRST - 2)  // the left button was released over the control
#define NM_DBLCLK (NM_FIRST - 3)
#define NM_CUSTOMDRAW (NM_FIRST - 12)

// ---- Custom drawing -----------------------------------------------------------------------------

// Drawing stages (dwDrawStage).
#define CDDS_PREPAINT 0x00000001   // before anything is drawn
#define CDDS_POSTPAINT 0x00000002  // after everything was drawn
#define CDDS_ITEM 0x00010000
#define CDDS_ITEMPREPAINT (CDDS_ITEM | CDDS_PREPAINT)
#define CDDS_ITEMPOSTPAINT (CDDS_ITEM | CDDS_POSTPAINT)

// The parent's answers (the WM_NOTIFY result), combined with |.
#define CDRF_DODEFAULT 0x00000000
#define CDRF_SKIPDEFAULT 0x00000004       // the control draws nothing of this stage
#define CDRF_NOTIFYPOSTPAINT 0x00000010   // ask again once this item (or the control) is drawn
#define CDRF_NOTIFYITEMDRAW 0x00000020    // at CDDS_PREPAINT: ask before and after each item

// Item states (uItemState).
#define CDIS_SELECTED 0x0001
#define CDIS_FOCUS 0x0010

typedef struct tagNMCUSTOMDRAWINFO {
  NMHDR hdr;
  DWORD dwDrawStage;
  HDC hdc;
  RECT rc;  // the control's client rectangle, or the item's
  DWORD_PTR dwItemSpec;  // the item's index
  UINT uItemState;
  LPARAM lItemlParam;  // the item's own value
} NMCUSTOMDRAW, *LPNMCUSTOMDRAW;
