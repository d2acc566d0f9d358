#pragma once
// Flat scroll bars of the common controls. Here they look and act as the window's standard bars:
// InitializeFlatSB only checks the window, and FlatSB_EnableScrollBar is EnableScrollBar.
#include "win32/winuser.h"

BOOL InitializeFlatSB(HWND hwnd);
// wSBflags SB_HORZ, SB_VERT or SB_BOTH; wArrows ESB_*. Nonzero when an arrow changed; zero when
// the arrows already were so, or on failure.
BOOL FlatSB_EnableScrollBar(HWND hwnd, int wSBflags, UINT wArrows);
