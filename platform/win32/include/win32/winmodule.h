#pragma once
#include "win32/wintypes.h"
