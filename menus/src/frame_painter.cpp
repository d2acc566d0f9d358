// The style objects' painting of pop-up menu windows: border, band, shadow and background.
#include "frame_painter.h"

#include <vector>

#include "colour_ops.h"
#include "item_routines.h"
#include "library.h"
#include "menu_window.h"
#include "menus/styled_menu.h"

using namespace styled_menu;

namespace {

void FillSolid(HDC hdc, const RECT& r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(hdc, &r, brush);
  DeleteObject(brush);
}

void FrameSolid(HDC hdc, const RECT& r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FrameRect(hdc, &r, brush);
  DeleteObject(brush);
}

RECT WindowSize(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return RECT{0, 0, r.right - r.left, r.bottom - r.top};
}

// The client rectangle in window coordinates.
RECT ClientInWindow(HWND hwnd) {
  RECT window{}, client{};
  GetWindowRect(hwnd, &window);
  GetClientRect(hwnd, &client);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  OffsetRect(&client, origin.x - window.left, origin.y - window.top);
  return client;
}

// Fills the band between the border of frame and the client area (one pixel narrower on the
// right without flat menus, where the client area keeps a column for the border).
void FillBand(HWND hwnd, HDC hdc, const RECT& frame, bool flat, COLORREF colour) {
  RECT band = frame;
  InflateRect(&band, -1, -1);
  RECT client = ClientInWindow(hwnd);
  if (!flat) client.right -= 1;
  const int saved = SaveDC(hdc);
  ExcludeClipRect(hdc, client.left, client.top, client.right, client.bottom);
  FillSolid(hdc, band, colour);
  RestoreDC(hdc, saved);
}

// The pixels of the capture, top row first.
std::vector<COLORREF> CapturedPixels(HBITMAP capture, int* width, int* height) {
  BITMAP size{};
  GetObjectA(capture, sizeof size, &size);
  *width = size.bmWidth;
  *height = size.bmHeight;
  std::vector<DWORD> raw(size_t(size.bmWidth) * size_t(size.bmHeight));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.bmWidth, -size.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, capture, 0, UINT(size.bmHeight), raw.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  std::vector<COLORREF> pixels(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) pixels[i] = RGB((raw[i] >> 16) & 0xFF, (raw[i] >> 8) & 0xFF, raw[i] & 0xFF);
  return pixels;
}

}  // namespace

CStyledMenuFramePainter::CStyledMenuFramePainter(int code, MeasureRoutine measure, DrawRoutine draw,
                                                 bool flatMenusAtStart)
    : code_(code),
      ownFrame_((code & 1) == 0),
      measure_(measure),
      draw_(draw),
      title_(DrawTitle),
      shadowSize_(flatMenusAtStart ? SIZE{2, 2} : SIZE{5, 6}) {}

int CStyledMenuFramePainter::PrepareWindow(HWND hwnd, MenuWindowRecord& record) {
  if (!record.handled || !HasOwnFrame()) return 0;
  record.state |= kStylesChanged;
  SetWindowLongA(hwnd, GWL_STYLE, GetWindowLongA(hwnd, GWL_STYLE) & ~WS_BORDER);
  SetWindowLongA(hwnd, GWL_EXSTYLE, GetWindowLongA(hwnd, GWL_EXSTYLE) & ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE));
  return 1;
}

void CStyledMenuFramePainter::RestoreWindow(HWND hwnd, MenuWindowRecord& record) {
  if (CStyledMenu* menu = CStyledMenu::FromMenuHandle(record.menu)) menu->OnPopupClose();
  if (!(record.state & kStylesChanged)) return;
  LONG style = record.savedStyle;
  if (record.state & kFoundByMessage482) style |= WS_VISIBLE;
  SetLastError(0);
  if (!SetWindowLongA(hwnd, GWL_STYLE, style) && GetLastError()) ShowLastError();
  SetLastError(0);
  if (!SetWindowLongA(hwnd, GWL_EXSTYLE, record.savedExStyle) && GetLastError()) ShowLastError();
}

void CStyledMenuFramePainter::AdjustNonClientSize(RECT* proposed) {
  if (!HasOwnFrame() || !proposed) return;
  const bool flat = FlatMenusNow();
  proposed->left += borderSize_.cx;
  proposed->top += borderSize_.cy;
  proposed->right -= flat ? 2 : 5;
  proposed->bottom -= flat ? 2 : 6;
}

void CStyledMenuFramePainter::AdjustWindowPosition(WINDOWPOS* pos) {
  if (!HasOwnFrame() || !pos) return;
  const int grow = FlatMenusNow() ? -2 : 2;
  pos->y -= 1;
  pos->cx += grow;
  pos->cy += grow;
}

BOOL CStyledMenuFramePainter::GetMenuRect(HWND hwnd, RECT* rect) {
  if (!GetWindowRect(hwnd, rect)) return FALSE;
  if (HasOwnFrame()) {
    const int inset = FlatMenusNow() ? 3 : 7;
    rect->left += 2;
    rect->top += 2;
    rect->right -= inset;
    rect->bottom -= inset;
  }
  return TRUE;
}

void CStyledMenuFramePainter::FillClient(HWND hwnd, HDC hdc, COLORREF colour) const {
  RECT r{};
  GetClientRect(hwnd, &r);
  r.left -= 2;
  if (HasOwnFrame()) r.right -= 1;
  FillSolid(hdc, r, colour);
}

BOOL CStyledMenuFramePainter::EraseBackground(HWND hwnd, HDC hdc, MenuWindowRecord&) {
  FillClient(hwnd, hdc, GetSysColor(COLOR_MENU));
  return TRUE;
}

void CStyledMenuFramePainter::TakeCapture(HWND hwnd, MenuWindowRecord& record) {
  if (record.capture) return;
  RECT window{};
  GetWindowRect(hwnd, &window);
  const int width = window.right - window.left + 10, height = window.bottom - window.top + 10;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  record.capture = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, record.capture);
  BitBlt(memory, 0, 0, width, height, screen, window.left, window.top, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

void CStyledMenuFramePainter::DrawShadow(HDC hdc, const RECT& window, MenuWindowRecord& record) {
  if (!record.capture) return;
  int captureWidth = 0, captureHeight = 0;
  const std::vector<COLORREF> captured = CapturedPixels(record.capture, &captureWidth, &captureHeight);
  const int width = window.right, height = window.bottom;
  auto under = [&](int x, int y) {
    return x < captureWidth && y < captureHeight ? captured[size_t(y) * size_t(captureWidth) + size_t(x)]
                                                 : COLORREF(0);
  };
  if (Lib().FewColours()) {
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    for (int i = 1; i <= 4; ++i) {
      const int x = width - i;
      for (int y = 0; y < height; ++y)
        SetPixelV(hdc, x, y, (i <= 2 || y < 4 || y > height - 3) ? under(x, y) : shadow);
    }
    for (int j = 1; j <= 4; ++j) {
      const int y = height - j;
      for (int x = 0; x < width - 4; ++x)
        SetPixelV(hdc, x, y, (j <= 2 || x < 4 || x > width - 5) ? under(x, y) : shadow);
    }
    return;
  }
  for (int i = 1; i <= 4; ++i) {
    const int x = width - i;
    for (int y = 0; y < height; ++y) {
      int amount = 0;
      if (y >= 4 && y <= 7) amount = i * 6 * (y - 3);
      else if (y >= 8 && y <= height - 5) amount = i * 30;
      else if (y > height - 5) amount = i * 6 * (height - y);
      SetPixelV(hdc, x, y, Darken(amount, under(x, y)));
    }
  }
  for (int j = 1; j <= 4; ++j) {
    const int y = height - j;
    for (int x = 0; x <= width - 5; ++x) {
      int amount = 0;
      if (x >= 4 && x <= 7) amount = (x * 6 - 18) * j;
      else if (x >= 8) amount = j * 30;
      SetPixelV(hdc, x, y, Darken(amount, under(x, y)));
    }
  }
}

void CStyledMenuFramePainter::DrawFrame(HWND hwnd, HDC hdc, MenuWindowRecord& record, int pass) {
  if (!HasOwnFrame()) return;
  TakeCapture(hwnd, record);
  const bool flat = FlatMenusNow();
  const RECT window = WindowSize(hwnd);
  RECT frame = window;
  if (!flat) {
    frame.right -= 4;
    frame.bottom -= 4;
  }
  if (pass == 0) FillBand(hwnd, hdc, frame, flat, GetMenuBackColor(record.menu));
  FrameSolid(hdc, frame, GetSysColor(Lib().highContrast ? COLOR_BTNTEXT : COLOR_HIGHLIGHT));
  if (!flat && !Lib().highContrast) DrawShadow(hdc, window, record);
}

// ---- The flat looks ----------------------------------------------------------------------------------

namespace {

struct FlatFrameColours {
  COLORREF menu, itemBackground, iconColumn, border;
};

FlatFrameColours FlatColours(HMENU menu) {
  FlatFrameColours c;
  c.menu = GetMenuBackColor(menu);
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  c.itemBackground = Mix86(window, c.menu);
  c.iconColumn = Lib().FewColours() ? GetSysColor(COLOR_BTNFACE) : Mix86(c.menu, window);
  HDC screen = GetDC(nullptr);
  if (GetNearestColor(screen, c.itemBackground) == GetNearestColor(screen, c.iconColumn)) {
    c.itemBackground = window;
    c.iconColumn = c.menu;
  }
  ReleaseDC(nullptr, screen);
  c.border = Darken(128, c.menu);
  return c;
}

}  // namespace

void CStyledMenuFramePainterAlt::DrawFrame(HWND hwnd, HDC hdc, MenuWindowRecord& record, int pass) {
  if (!HasOwnFrame()) return;
  TakeCapture(hwnd, record);
  const bool flat = FlatMenusNow();
  const RECT window = WindowSize(hwnd);
  RECT frame = window;
  if (!flat) {
    frame.right -= 4;
    frame.bottom -= 4;
  }
  const FlatFrameColours colours = FlatColours(record.menu);
  if (pass == 0) FillBand(hwnd, hdc, frame, flat, colours.menu);
  if (Lib().highContrast) {
    FrameSolid(hdc, frame, GetSysColor(COLOR_BTNTEXT));
  } else {
    RECT inner = frame;
    InflateRect(&inner, -1, -1);
    FrameSolid(hdc, inner, colours.itemBackground);
    // The icon column goes on through the inner ring.
    FillSolid(hdc, RECT{1, 2, 2, 2 + window.bottom - (flat ? 4 : 8)}, colours.iconColumn);
    FrameSolid(hdc, frame, colours.border);
    if (!flat) DrawShadow(hdc, window, record);
  }
  JoinMenuBarItem(hwnd, hdc, record.menu);
}

void CStyledMenuFramePainterAlt::JoinMenuBarItem(HWND hwnd, HDC hdc, HMENU menu) {
  CStyledMenu* popup = CStyledMenu::FromMenuHandle(menu);
  CStyledMenu* bar = popup ? CStyledMenu::FromMenuHandle(popup->ParentMenu()) : nullptr;
  if (!bar || bar->IsPopup() || bar->BarItemRect().IsRectEmpty()) return;
  RECT window{};
  GetWindowRect(hwnd, &window);
  RECT item = bar->BarItemRect();
  InflateRect(&item, 1, 1);  // an item that ends where the border begins touches it
  const RECT sides[] = {{window.left, window.top, window.right, window.top + 1},
                        {window.left, window.bottom - 1, window.right, window.bottom},
                        {window.left, window.top, window.left + 1, window.bottom},
                        {window.right - 1, window.top, window.right, window.bottom}};
  const COLORREF colour =
      Lib().FewColours() ? GetSysColor(COLOR_BTNFACE) : Mix86(GetMenuBackColorThemed(bar->m_hMenu), GetSysColor(COLOR_WINDOW));
  for (const RECT& side : sides) {
    RECT joint{};
    if (!IntersectRect(&joint, &side, &item)) continue;
    if (joint.right - joint.left >= joint.bottom - joint.top) InflateRect(&joint, -1, 0);
    else InflateRect(&joint, 0, -1);
    OffsetRect(&joint, -window.left, -window.top);
    FillSolid(hdc, joint, colour);
  }
}

BOOL CStyledMenuFramePainterAlt::EraseBackground(HWND hwnd, HDC hdc, MenuWindowRecord& record) {
  if (!record.menu) return CStyledMenuFramePainter::EraseBackground(hwnd, hdc, record);
  FillClient(hwnd, hdc, GetMenuBackColorThemed(record.menu));
  return TRUE;
}
