#pragma once
// Menu background brushes: style 8 makes a pattern brush of a left-to-right gradient as wide as
// the screen, every other style a solid brush of the colour.
#include "win32/windows.h"

namespace styled_menu {

class MenuBrush {
 public:
  MenuBrush(int style, COLORREF colour);
  ~MenuBrush();
  MenuBrush(const MenuBrush&) = delete;
  MenuBrush& operator=(const MenuBrush&) = delete;

  int Style() const { return style_; }
  COLORREF Colour() const { return colour_; }
  HBRUSH Handle() const { return brush_; }

 private:
  int style_;
  COLORREF colour_;
  HBRUSH brush_ = nullptr;
};

// The background brush in the menu's information, null when it has none.
HBRUSH MenuBackgroundBrush(HMENU menu);

}  // namespace styled_menu
