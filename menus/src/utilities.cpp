// The version probe and the small utilities of the styled menus.
#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "menus/styled_menu_utils.h"

namespace {

int ProbeVersion() {
  const DWORD version = GetVersion();
  const bool windows9x = (version & 0x80000000u) != 0;
  const int major = LOBYTE(LOWORD(version));
  if (windows9x && major < 4) return 0;
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionEx(&info)) {
    ShowLastError();
    info = {};  // the zeroed version is classified below
  }
  if (windows9x) {
    if (info.dwMajorVersion == 4 && info.dwMinorVersion == 10) return 3;
    if (info.dwMajorVersion == 4 && info.dwMinorVersion == 90) return 4;
    return 2;
  }
  if (info.dwMajorVersion < 4) return 1;
  if (info.dwMajorVersion == 4) return 5;
  if (info.dwMajorVersion == 5 && info.dwMinorVersion == 0) return 6;
  return 7;
}

constexpr UINT kFirstFreeTimer = 31;
constexpr UINT kLastFreeTimer = 99;

// The ids SetFreeTimer handed out, per window: the platform replaces a timer whose id is set
// again, so an id is free only while no earlier call holds it.
std::map<HWND, std::set<UINT_PTR>>& FreeTimers() {
  static auto* timers = new std::map<HWND, std::set<UINT_PTR>>;
  return *timers;
}

}  // namespace

int GetStyledMenuWinVersion() {
  static const int code = ProbeVersion();
  return code;
}

UINT_PTR SetFreeTimer(HWND hWnd, UINT nElapse) {
  if (!IsWindow(hWnd)) return 0;
  auto& timers = FreeTimers();
  std::erase_if(timers, [](const auto& entry) { return !IsWindow(entry.first); });
  std::set<UINT_PTR>& taken = timers[hWnd];
  UINT_PTR result = 0;
  for (UINT id = kFirstFreeTimer; id <= kLastFreeTimer; ++id) {
    if (taken.count(id)) continue;
    result = SetTimer(hWnd, id, nElapse, nullptr);
    if (result) {
      taken.insert(id);
      break;
    }
  }
  return result;
}

BOOL KillFreeTimer(HWND hWnd, UINT_PTR nIDEvent) {
  auto& timers = FreeTimers();
  auto it = timers.find(hWnd);
  if (it == timers.end() || !it->second.erase(nIDEvent)) return FALSE;
  return KillTimer(hWnd, nIDEvent);
}

void ShowLastError() {
  const DWORD code = GetLastError();
  if (code == 0) return;
  LPSTR text = nullptr;
  if (FormatMessage(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
                    MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text), 0, nullptr) &&
      text) {
    MessageBoxA(nullptr, text, "Error", MB_ICONINFORMATION);
    LocalFree(text);
    return;
  }
  char fallback[64];
  std::snprintf(fallback, sizeof fallback, "Error message 0x%lx not found", static_cast<unsigned long>(code));
  MessageBoxA(nullptr, fallback, "Error", MB_ICONINFORMATION);
}

BOOL IsDropShadowEnabled() {
  BOOL enabled = FALSE;
  if (!SystemParametersInfoA(SPI_GETDROPSHADOW, 0, &enabled, 0)) return FALSE;
  return enabled;
}

HBITMAP LoadBitmapWithDepth(LPCTSTR lpszName, HMODULE hModule, int* colourCount) {
  if (!hModule) hModule = AfxGetResourceHandle();
  HRSRC resource = FindResourceA(hModule, lpszName, RT_BITMAP);
  if (!resource) return nullptr;
  const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(hModule, resource)));
  if (!header || SizeofResource(hModule, resource) < sizeof(BITMAPINFOHEADER)) return nullptr;
  if (colourCount) {
    if (header->biClrUsed) *colourCount = static_cast<int>(header->biClrUsed);
    else if (header->biBitCount <= 1) *colourCount = 2;
    else if (header->biBitCount <= 4) *colourCount = 16;
    else *colourCount = 256;
  }
  return LoadBitmapA(hModule, lpszName);
}
