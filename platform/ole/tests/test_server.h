#pragma once
// The in-process server module the class tests load: one class whose IDispatch has
// Add(long, long) as member 1. Its static initialisation also registers the class object under a
// second class id.
#include "ole/ole.h"

DEFINE_GUID(CLSID_OleTestAdder, 0x73105B28, 0xF441, 0x4A1E, 0xA0, 0x74, 0xE4, 0x2E, 0x65, 0x21, 0xAA, 0x4C);
DEFINE_GUID(CLSID_OleTestAdderAlias, 0xBE00CBB3, 0x5168, 0x4F2C, 0x9A, 0x50, 0x94, 0x7E, 0xEA, 0x23, 0xE2, 0x0B);
