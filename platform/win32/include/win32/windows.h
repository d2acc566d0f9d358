#pragma once
// The platform's public header: kernel services and, as they arrive, the window and drawing layers.
#include "win32/wintypes.h"
#include "win32/winerror.h"
#include "win32/platform_config.h"
#include "win32/paths.h"
#include "win32/winbase.h"
#include "win32/winnls.h"
#include "win32/winreg.h"
#include "win32/winmodule.h"
#include "win32/winini.h"
#include "win32/shlwapi.h"
#include "win32/wingdi.h"
#include "win32/winuser_draw.h"
