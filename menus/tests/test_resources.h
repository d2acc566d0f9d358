#pragma once
// The resources the menu tests load: a menu with a sub-menu, a toolbar of three buttons and
// single bitmaps.
#include "win32/windows.h"

namespace menus_test {

enum : UINT {
  kMenuResource = 128,
  kToolbarResource = 130,  // buttons 500, (separator), 501, 502: red, green, blue
  kSeparatorFirstToolbar = 131,  // (separator), 520, 521: red, green
  kLargeToolbar = 132,           // 530: blue, 20 x 18
  kRedBitmap = 140,        // 16 x 15, solid red
  kGreenBitmap = 141,      // 16 x 15, solid green
  kWideBitmap = 142,       // 20 x 15
  kCheckBitmap = 143,      // 16 x 15, 16 colours
};

}  // namespace menus_test
