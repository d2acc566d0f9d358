#pragma once
// The module's resources.
#include "win32/windows.h"

// The Tessary module (for registration and resource look-ups).
HINSTANCE TessaryModule();
extern const DLGTEMPLATE kAboutBoxTemplate;
