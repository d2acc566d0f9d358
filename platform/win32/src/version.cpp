// The Windows version the process reports, from the configuration.
#include <cstdio>
#include <cstring>

#include "last_error.h"
#include "win32/platform_config.h"
#include "win32/winbase.h"
#include "win32/winerror.h"

using namespace win32;

namespace {

struct Release {
  DWORD major, minor, build, platformId;
  const char* servicePack;
  WORD servicePackMajor;
};

// The releases the versions name; others report build 0 without a service pack.
Release ReleaseOf(DWORD major, DWORD minor) {
  static const Release known[] = {
      {4, 0, 950, VER_PLATFORM_WIN32_WINDOWS, "", 0},   {4, 10, 2222, VER_PLATFORM_WIN32_WINDOWS, " A ", 0},
      {4, 90, 3000, VER_PLATFORM_WIN32_WINDOWS, " ", 0}, {5, 0, 2195, VER_PLATFORM_WIN32_NT, "Service Pack 4", 4},
      {5, 1, 2600, VER_PLATFORM_WIN32_NT, "Service Pack 3", 3}, {5, 2, 3790, VER_PLATFORM_WIN32_NT, "Service Pack 2", 2},
      {6, 0, 6002, VER_PLATFORM_WIN32_NT, "Service Pack 2", 2}, {6, 1, 7601, VER_PLATFORM_WIN32_NT, "Service Pack 1", 1},
      {6, 2, 9200, VER_PLATFORM_WIN32_NT, "", 0},             {6, 3, 9600, VER_PLATFORM_WIN32_NT, "", 0},
  };
  for (const Release& r : known) {
    if (r.major == major && r.minor == minor) return r;
  }
  const DWORD platform = major >= 5 ? VER_PLATFORM_WIN32_NT : major == 4 ? VER_PLATFORM_WIN32_WINDOWS : VER_PLATFORM_WIN32s;
  return Release{major, minor, 0, platform, "", 0};
}

Release Current() {
  const auto& config = platform_config::Config();
  return ReleaseOf(config.versionMajor, config.versionMinor);
}

}  // namespace

DWORD GetVersion() {
  const Release r = Current();
  DWORD version = r.major | (r.minor << 8);
  if (r.platformId == VER_PLATFORM_WIN32_NT) return version | ((r.build & 0x7FFF) << 16);
  return version | 0x80000000u;
}

BOOL GetVersionEx(LPOSVERSIONINFO versionInformation) {
  if (!versionInformation) return Fail(ERROR_INVALID_PARAMETER);
  const DWORD size = versionInformation->dwOSVersionInfoSize;
  if (size != sizeof(OSVERSIONINFOA) && size != sizeof(OSVERSIONINFOEXA)) return Fail(ERROR_INSUFFICIENT_BUFFER);
  const Release r = Current();
  versionInformation->dwMajorVersion = r.major;
  versionInformation->dwMinorVersion = r.minor;
  // The Windows 9x family carries the version in the build number's high word.
  versionInformation->dwBuildNumber =
      r.platformId == VER_PLATFORM_WIN32_NT ? r.build : (r.build | (r.minor << 16) | (r.major << 24));
  versionInformation->dwPlatformId = r.platformId;
  std::memset(versionInformation->szCSDVersion, 0, sizeof versionInformation->szCSDVersion);
  std::snprintf(versionInformation->szCSDVersion, sizeof versionInformation->szCSDVersion, "%s", r.servicePack);
  if (size == sizeof(OSVERSIONINFOEXA)) {
    auto* ex = reinterpret_cast<LPOSVERSIONINFOEXA>(versionInformation);
    ex->wServicePackMajor = r.servicePackMajor;
    ex->wServicePackMinor = 0;
    ex->wSuiteMask = 0;
    ex->wProductType = VER_NT_WORKSTATION;
    ex->wReserved = 0;
  }
  return TRUE;
}
