#include "icon_menu_look.h"

#include <cctype>
#include <cstring>

namespace icon_menu {
namespace {

const char kThemeKey[] = "Software\\Microsoft\\Plus!\\Themes\\Current";
const char kClassicTheme[] = "Windows Classic.theme";

int ProbeVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  const bool known = GetVersionEx(&info) != FALSE;
  return VersionCodeOf(GetVersion(), known ? &info : nullptr);
}

BOOL ReadClassicTheme() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kThemeKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return FALSE;
  char value[261] = {};
  DWORD size = 260;  // a NUL always follows what is read
  DWORD type = 0;
  const bool read =
      RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS;
  RegCloseKey(key);
  if (!read || (type != REG_SZ && type != REG_EXPAND_SZ)) return FALSE;
  return IsClassicThemeName(value, (DWORD)strnlen(value, size));
}

}  // namespace

int VersionCodeOf(DWORD version, const OSVERSIONINFOA* info) {
  const bool windows9x = (version & 0x80000000u) != 0;
  if (windows9x && LOBYTE(LOWORD(version)) < 4) return 0;
  if (windows9x) {
    if (info && info->dwMajorVersion == 4 && info->dwMinorVersion == 10) return 3;
    if (info && info->dwMajorVersion == 4 && info->dwMinorVersion == 90) return 4;
    return 2;
  }
  if (!info) return 1;
  if (info->dwMajorVersion == 4) return 5;
  if (info->dwMajorVersion == 5 && info->dwMinorVersion == 0) return 6;
  if (info->dwMajorVersion == 5 && info->dwMinorVersion == 1) return 7;
  return 1;
}

int GetWinVersionCode() {
  static const int code = ProbeVersion();
  return code;
}

BOOL IsNewShell() { return GetWinVersionCode() >= 2; }

BOOL IsClassicThemeName(const char* value, DWORD length) {
  const DWORD suffix = sizeof kClassicTheme - 1;
  if (!value || length < suffix) return FALSE;
  const char* end = value + length - suffix;
  for (DWORD i = 0; i < suffix; ++i)
    if (std::tolower((unsigned char)end[i]) != std::tolower((unsigned char)kClassicTheme[i])) return FALSE;
  return TRUE;
}

BOOL IsClassicThemeActive() {
  static const BOOL classic = ReadClassicTheme();
  return classic;
}

BOOL IsXpThemeActive() { return GetWinVersionCode() == 7 && !IsClassicThemeActive(); }

DrawSettings& Settings() {
  static DrawSettings settings;
  return settings;
}

void SetMenuDrawMode(int mode) {
  Settings().classicDrawMode = mode;
  Settings().xpDrawMode = mode;
}

BOOL UsesXpDrawing() {
  const DrawSettings& s = Settings();
  return (IsXpThemeActive() ? s.xpDrawMode : s.classicDrawMode) == 1;
}

int SelectDisabled() {
  const DrawSettings& s = Settings();
  return UsesXpDrawing() ? s.xpSelectDisabled : s.classicSelectDisabled;
}

}  // namespace icon_menu
