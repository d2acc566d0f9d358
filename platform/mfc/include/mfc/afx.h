#pragma once
// The framework's core: objects with run-time classes, strings, collections, files, time,
// exceptions, automation variants. Include this one header.
#include "win32/windows.h"
#include "mfc/afxdefs.h"
#include "mfc/afxobj.h"
#include "mfc/afxstr.h"
#include "mfc/afxexcept.h"
#include "mfc/afxtime.h"
#include "mfc/afxfile.h"
#include "mfc/afxcoll.h"
#include "mfc/afxdisp.h"
