#pragma once
// The control's part of the library's type library: its dispinterface, its events and its class.
#include "ole/type_library.h"

void DescribeTessaryControl(TypeLibraryDescription& library);
