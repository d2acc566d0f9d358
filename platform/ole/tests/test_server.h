#pragma once
// The in-process server module the class tests load: one class whose IDispatch has
// Add(long, long) as member 1.
#include "ole/ole.h"

DEFINE_GUID(CLSID_OleTestAdder, 0x73105B28, 0xF441, 0x4A1E, 0xA0, 0x74, 0xE4, 0x2E, 0x65, 0x21, 0xAA, 0x4C);
