#pragma once
// Variadic arguments described by VTS_ strings, as dispatch drivers and event firing take them.
#include <cstdarg>
#include <vector>

#include "mfc/afxctl.h"

namespace mfc::ctl {

// Appends one VARIANT per type of types (declaration order), read from list: VTS_BSTR an 8-bit
// string, VTS_I2/VTS_BOOL/VTS_UI1 an int, VTS_I4 a LONG, VTS_R4/VTS_R8 a double, VTS_VARIANT a
// const VARIANT*, VTS_DISPATCH/VTS_UNKNOWN pointers (AddRef'd). The caller clears them.
// An unknown type throws COleException (DISP_E_BADVARTYPE) after clearing what was read.
void LoadArguments(const char* types, va_list& list, std::vector<VARIANT>& args);

}  // namespace mfc::ctl
