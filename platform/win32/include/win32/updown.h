#pragma once
// The up-down control of the common controls: two arrow buttons that move a position within a
// range. A click asks the parent first (WM_NOTIFY UDN_DELTAPOS with an NMUPDOWN; a nonzero answer
// refuses the step), then moves the position, held within the range, and tells the parent with
// WM_VSCROLL (WM_HSCROLL with UDS_HORZ), SB_THUMBPOSITION and the new position. The up (or right)
// arrow steps towards the range's maximum. The buddy window is only kept for the owner.
#include "win32/comctl_notify.h"

#define UPDOWN_CLASSA "msctls_updown32"
#define UPDOWN_CLASS UPDOWN_CLASSA

#define UDS_HORZ 0x0040  // left and right arrows

#define UDM_SETRANGE (WM_USER + 101)    // lParam MAKELONG(max, min)
#define UDM_GETRANGE (WM_USER + 102)    // returns MAKELONG(max, min)
#define UDM_SETPOS (WM_USER + 103)      // lParam the position; returns the old one
#define UDM_GETPOS (WM_USER + 104)      // returns the position
#define UDM_SETBUDDY (WM_USER + 105)    // wParam the window; returns the old one
#define UDM_GETBUDDY (WM_USER + 106)
#define UDM_SETRANGE32 (WM_USER + 111)  // wParam min, lParam max
#define UDM_GETRANGE32 (WM_USER + 112)  // wParam int* min, lParam int* max
#define UDM_SETPOS32 (WM_USER + 113)    // lParam the position; returns the old one
#define UDM_GETPOS32 (WM_USER + 114)    // lParam BOOL*: FALSE (null allowed)

#define UDN_FIRST (0U - 721U)
#define UDN_DELTAPOS (UDN_FIRST - 1)

typedef struct _NM_UPDOWN {
  NMHDR hdr;
  int iPos;    // the position before the step
  int iDelta;  // the step the click asks for; the parent may change it
} NMUPDOWN, *LPNMUPDOWN;
