#pragma once
// X key symbols as the window layer's virtual keys.
#include "win32/winuser.h"

namespace win32::x11 {

// The virtual key of an unshifted key symbol (what XLookupKeysym gives for index 0), 0 for keys
// the layer has no virtual key for.
UINT VirtualKeyFromKeysym(unsigned long keysym);

}  // namespace win32::x11
