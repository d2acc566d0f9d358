// The option guard: library options and the style for a stretch of code.
#include "library.h"
#include "menus/styled_menu.h"
#include "menus/styled_menu_options.h"

using styled_menu::Lib;

CStyledMenuOptionGuard::CStyledMenuOptionGuard(DWORD options)
    : savedOptions_(Lib().options), savedStyle_(CStyledMenu::GetMenuDrawMode()) {
  Lib().options = options;
  if (options & kSystemFrameStyle) CStyledMenu::SetMenuDrawMode(savedStyle_ | 0x1);
}

CStyledMenuOptionGuard::CStyledMenuOptionGuard(Style style)
    : savedOptions_(Lib().options), savedStyle_(CStyledMenu::SetMenuDrawMode(style.code)) {
  // An unknown code changes nothing: keep the style that is current.
  if (savedStyle_ == -1) savedStyle_ = CStyledMenu::GetMenuDrawMode();
}

CStyledMenuOptionGuard::~CStyledMenuOptionGuard() {
  CStyledMenu::SetMenuDrawMode(savedStyle_);
  Lib().options = savedOptions_;
}

DWORD CStyledMenuOptionGuard::CurrentOptions() { return Lib().options; }
