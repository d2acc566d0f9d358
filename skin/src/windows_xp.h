#pragma once
// Flat menus and drop shadows exist from Windows XP (NT 5.1) on.
#include "win32/windows.h"

inline bool IsWindowsXpOrLater() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionEx(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_NT) return false;
  return version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 1);
}
