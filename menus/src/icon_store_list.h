#pragma once
// The global list of icon stores (every store alive, oldest first) and the time of the last
// refresh after a system colour change.
#include <vector>

#include "win32/windows.h"

class CStyledMenuIcons;

namespace styled_menu {

std::vector<CStyledMenuIcons*>& IconStores();
DWORD& LastIconRefresh();
// Shutdown: the list is forgotten; stores still referenced by menus stay alive.
void ForgetIconStores();

// Maps the four grey shades of a 16-colour button bitmap (black, dark grey, light grey, white)
// to the button colours of the current scheme.
void MapToSystemColours(HBITMAP bitmap);

}  // namespace styled_menu
