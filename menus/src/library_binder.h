#pragma once
// One entry point of a library loaded by name, bound on first use and freed when the binder goes.
#include "win32/windows.h"

namespace styled_menu {

class LibraryBinder {
 public:
  LibraryBinder(const char* libraryName, const char* entryName)
      : libraryName_(libraryName), entryName_(entryName) {}
  ~LibraryBinder() {
    if (library_) FreeLibrary(library_);
  }
  LibraryBinder(const LibraryBinder&) = delete;
  LibraryBinder& operator=(const LibraryBinder&) = delete;

  // The entry point, or null when the library or the entry is missing (tried once).
  template <class Fn>
  Fn Get() {
    if (!tried_) {
      tried_ = true;
      library_ = LoadLibraryA(libraryName_);
      if (library_) entry_ = GetProcAddress(library_, entryName_);
    }
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(entry_));
  }

 private:
  const char* libraryName_;
  const char* entryName_;
  HMODULE library_ = nullptr;
  FARPROC entry_ = nullptr;
  bool tried_ = false;
};

// GetMenuInfo and SetMenuInfo through their run-time binding; 0 when the system lacks them.
BOOL BoundGetMenuInfo(HMENU menu, LPMENUINFO info);
BOOL BoundSetMenuInfo(HMENU menu, LPCMENUINFO info);

}  // namespace styled_menu
