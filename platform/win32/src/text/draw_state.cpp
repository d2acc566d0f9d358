// What DrawState draws through the text and icon code: text (with or without '&' prefixes) and
// icons, with their top-left at logical (0, 0).
#include "gdi/dc.h"
#include "text/icons.h"

namespace win32::text {
namespace {

BOOL RenderState(HDC hdc, UINT kind, LPARAM data, WPARAM extra, SIZE* size) {
  if (kind == DST_ICON) {
    HICON handle = reinterpret_cast<HICON>(data);
    auto icon = FindIcon(handle);
    if (!icon) return FALSE;
    if (!hdc) {
      *size = SIZE{icon->width, icon->height};
      return TRUE;
    }
    return DrawIconEx(hdc, 0, 0, handle, 0, 0, 0, nullptr, DI_NORMAL);
  }
  if (kind != DST_TEXT && kind != DST_PREFIXTEXT) return FALSE;
  const char* text = reinterpret_cast<const char*>(data);
  const int length = extra ? int(extra) : -1;  // 0: up to the NUL
  const UINT format = DT_SINGLELINE | DT_NOCLIP | (kind == DST_TEXT ? DT_NOPREFIX : 0);
  RECT r{0, 0, 0, 0};
  if (hdc) {
    DrawTextA(hdc, text, length, &r, format);
    return TRUE;
  }
  // Measured in a DC's default font: the size request comes without the drawing DC.
  HDC measure = CreateCompatibleDC(nullptr);
  if (!measure) return FALSE;
  DrawTextA(measure, text, length, &r, format | DT_CALCRECT);
  DeleteDC(measure);
  *size = SIZE{r.right, r.bottom};
  return TRUE;
}

HANDLE LoadIconImage(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
  if (flags & LR_LOADFROMFILE) {  // icon files are not read; icons come from resources
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  return LoadIconResource(instance, name, type == IMAGE_ICON, cx, cy);
}

[[maybe_unused]] const bool kRegistered = [] {
  gdi::SetDrawStateRenderer(&RenderState);
  gdi::SetIconImageLoader(&LoadIconImage);
  return true;
}();

}  // namespace
}  // namespace win32::text
