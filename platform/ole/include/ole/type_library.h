#pragma once
// A type library described in code: dispinterfaces taken from dispatch tables, and coclasses that
// name the dispinterfaces their objects expose.
#include <string>
#include <vector>

#include "ole/dispatch.h"

struct TypeLibraryDescription {
  struct Coclass {
    CLSID clsid;
    std::string name;
    std::vector<IID> interfaces;  // dispinterfaces of the library; the first is the default
    IID events = GUID_NULL;       // the dispinterface its objects fire events through, if any
  };

  GUID libid = GUID_NULL;
  std::string name;
  WORD majorVersion = 1;
  WORD minorVersion = 0;
  LCID lcid = 0;
  std::vector<DispatchTable> dispinterfaces;  // each named and identified by its table
  std::vector<Coclass> coclasses;
};

// The library, with one reference. Its type information is made on each request and holds the
// library, so a client may keep either one alone.
HRESULT CreateTypeLibrary(TypeLibraryDescription description, ITypeLib** library);
