#pragma once
// The process's modules, shared by the module and resource functions.
#include <cstdint>

#include "win32/wintypes.h"

namespace win32 {

// The load address of the shared object (or executable) behind a module handle; NULL is the
// executable. 0 for built-in modules; false for a handle that is no live module.
bool ModuleBase(HMODULE module, uintptr_t* base);

}  // namespace win32
