#pragma once
// The process's fontconfig configuration, shared by the platform's text engines: the program
// folder's fonts.conf when there is one (it includes the system's), else the system's. Loaded on
// first use and never destroyed.
#include <fontconfig/fontconfig.h>

namespace win32 {

FcConfig* ProcessFontConfig();

}  // namespace win32
