// System metrics and parameters: the classic metrics of the default scheme at 96 dots per inch,
// the screen and flat-menu setting from the configuration.
#include <cstring>

#include "handle_table.h"

#include "win32/platform_config.h"
#include "win32/winbase.h"
#include "win32/winerror.h"
#include "win32/winuser.h"
#include "win32/winuser_draw.h"

namespace {

LOGFONTA SystemFont(bool bold) {
  LOGFONTA f{};
  f.lfHeight = -11;  // 8 points
  f.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  f.lfCharSet = DEFAULT_CHARSET;
  f.lfQuality = DEFAULT_QUALITY;
  std::strcpy(f.lfFaceName, "Tahoma");
  return f;
}

class MonitorObject : public win32::HandleObject {};

HMONITOR TheMonitor() {
  static HMONITOR monitor = win32::ToHandle<HMONITOR>(
      win32::AllocateHandle(win32::HandleKind::Monitor, std::make_shared<MonitorObject>()));
  return monitor;
}

RECT ScreenRect() {
  const auto& config = platform_config::Config();
  return {0, 0, config.screenWidth, config.screenHeight};
}

}  // namespace

HMONITOR MonitorFromRect(LPCRECT lprc, DWORD dwFlags) {
  RECT screen = ScreenRect(), common;
  if (lprc && IntersectRect(&common, lprc, &screen)) return TheMonitor();
  return dwFlags == MONITOR_DEFAULTTONULL ? nullptr : TheMonitor();
}

HMONITOR MonitorFromPoint(POINT pt, DWORD dwFlags) {
  RECT r{pt.x, pt.y, pt.x + 1, pt.y + 1};
  return MonitorFromRect(&r, dwFlags);
}

HMONITOR MonitorFromWindow(HWND hwnd, DWORD dwFlags) {
  RECT r;
  if (!GetWindowRect(hwnd, &r)) return dwFlags == MONITOR_DEFAULTTONULL ? nullptr : TheMonitor();
  return MonitorFromRect(&r, dwFlags);
}

BOOL GetMonitorInfoA(HMONITOR hMonitor, LPMONITORINFO lpmi) {
  if (!hMonitor || hMonitor != TheMonitor() || !lpmi || lpmi->cbSize < sizeof(MONITORINFO)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  lpmi->rcMonitor = ScreenRect();
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &lpmi->rcWork, 0);
  lpmi->dwFlags = MONITORINFOF_PRIMARY;
  return TRUE;
}

int GetSystemMetrics(int nIndex) {
  const auto& config = platform_config::Config();
  const int width = config.screenWidth;
  const int height = config.screenHeight;
  switch (nIndex) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN:
    case SM_CXFULLSCREEN: return width;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN: return height;
    case SM_CYFULLSCREEN: return height - 19;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return 16;
    case SM_CYCAPTION:
    case SM_CYMENU: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CYSMCAPTION: return 15;
    case SM_CXSMSIZE: return 12;
    case SM_CYSMSIZE: return 14;
    case SM_CXSIZE:
    case SM_CYSIZE:
    case SM_CXMENUSIZE:
    case SM_CYMENUSIZE: return 18;
    case SM_CXMIN:
    case SM_CXMINTRACK: return 112;
    case SM_CYMIN:
    case SM_CYMINTRACK: return 27;
    case SM_CXMAXTRACK: return width + 12;
    case SM_CYMAXTRACK: return height + 12;
    case SM_CXMAXIMIZED: return width + 8;
    case SM_CYMAXIMIZED: return height + 8;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK: return 13;
    case SM_MOUSEWHEELPRESENT:
    case SM_CMONITORS: return 1;
    case SM_SWAPBUTTON: return 0;
    case SM_REMOTESESSION: return platform_config::Config().remoteSession ? 1 : 0;
  }
  return 0;
}

BOOL SystemParametersInfoA(UINT uiAction, UINT /*uiParam*/, PVOID pvParam, UINT /*fWinIni*/) {
  if (!pvParam) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const auto& config = platform_config::Config();
  switch (uiAction) {
    case SPI_GETNONCLIENTMETRICS: {
      auto* m = static_cast<NONCLIENTMETRICSA*>(pvParam);
      if (m->cbSize != sizeof(NONCLIENTMETRICSA)) break;
      m->iBorderWidth = 1;
      m->iScrollWidth = m->iScrollHeight = GetSystemMetrics(SM_CXVSCROLL);
      m->iCaptionWidth = m->iCaptionHeight = GetSystemMetrics(SM_CXSIZE);
      m->lfCaptionFont = SystemFont(true);
      m->iSmCaptionWidth = GetSystemMetrics(SM_CXSMSIZE);
      m->iSmCaptionHeight = GetSystemMetrics(SM_CYSMSIZE);
      m->lfSmCaptionFont = SystemFont(true);
      m->iMenuWidth = m->iMenuHeight = GetSystemMetrics(SM_CXMENUSIZE);
      m->lfMenuFont = SystemFont(false);
      m->lfStatusFont = SystemFont(false);
      m->lfMessageFont = SystemFont(false);
      return TRUE;
    }
    case SPI_GETWORKAREA:
      *static_cast<RECT*>(pvParam) = {0, 0, config.screenWidth, config.screenHeight};
      return TRUE;
    case SPI_GETHIGHCONTRAST: {
      // Programs built for 32 bits pass the 12-byte structure; the flags are all they read.
      auto* h = static_cast<HIGHCONTRASTA*>(pvParam);
      if (h->cbSize < offsetof(HIGHCONTRASTA, lpszDefaultScheme)) break;
      h->dwFlags = 0;
      if (h->cbSize >= sizeof(HIGHCONTRASTA)) h->lpszDefaultScheme = nullptr;
      return TRUE;
    }
    case SPI_GETFLATMENU:
      *static_cast<BOOL*>(pvParam) = config.flatMenus ? TRUE : FALSE;
      return TRUE;
    case SPI_GETDROPSHADOW:
      *static_cast<BOOL*>(pvParam) = TRUE;
      return TRUE;
    case SPI_GETMENUSHOWDELAY:
      *static_cast<UINT*>(pvParam) = 400;
      return TRUE;
    case SPI_GETKEYBOARDCUES:
      *static_cast<BOOL*>(pvParam) = FALSE;
      return TRUE;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}
