#pragma once
// The thread's last-error value and the translation of errno into the platform's codes.
#include "win32/wintypes.h"

namespace win32 {

// The platform's code for an errno value.
DWORD ErrorFromErrno(int err);

// Sets the last error from errno (or the given errno value) and returns FALSE, so that failing
// paths can `return FailWithErrno();`.
BOOL FailWithErrno();
BOOL FailWithErrno(int err);

// Sets the last error to code and returns FALSE.
BOOL Fail(DWORD code);

}  // namespace win32
