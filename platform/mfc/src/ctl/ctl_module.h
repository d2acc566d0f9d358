#pragma once
// Which module a control class lives in, for registration entries.
#include "mfc/afxdisp_ctl.h"

namespace afx_ctl {

// The module holding an address (the executable when none).
HINSTANCE ModuleOf(const void* address);
// The module's file as a platform path.
CString ModulePath(HINSTANCE module);

// Controls pass AfxGetInstanceHandle() (the program) to the registration helpers: the module the
// helper was called from stands for it.
HINSTANCE ResolveModule(HINSTANCE given, const void* callerAddress);

}  // namespace afx_ctl
