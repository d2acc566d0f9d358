#pragma once
// The module's resources.
#include "win32/windows.h"

extern const DLGTEMPLATE kAboutBoxTemplate;
