#pragma once
// The control library's type library: the collections, their items and their enumerators with
// their classes, and the control's own dispinterfaces and class, which the control module adds.
#include "mfc/afxdisp_ctl.h"
#include "ole/type_library.h"

// Adds the control's part of the library. The module sets it before it makes any object; the
// library is described once, at its first use.
void SetControlTypeDescription(void (*describe)(TypeLibraryDescription& library));

// The library with one reference.
HRESULT GetTessaryTypeLib(LCID lcid, LPTYPELIB* library);

// A dispatch map's members as the library lists them (_NewEnum is found by its standard id alone).
DispatchTable DescribeForLibrary(const AFX_DISPMAP* map, const IID& iid, const char* name);
