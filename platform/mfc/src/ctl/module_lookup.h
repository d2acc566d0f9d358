#pragma once
// Which module a control class lives in, for registration entries.
#include "mfc/afxdisp_ctl.h"

namespace mfc::ctl {

// The module holding an address (the executable when none).
HINSTANCE ModuleOf(const void* address);
// The module's file as a platform path.
CString ModulePath(HINSTANCE module);

}  // namespace mfc::ctl
