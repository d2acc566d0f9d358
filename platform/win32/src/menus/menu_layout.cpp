// Menu layout: pop-up columns and menu-bar rows, with owner-drawn items measured by their owner.
#include "menus/menu_layout.h"

#include <algorithm>

#include "win32/winbase.h"

namespace win32::menus {
namespace {

HFONT MakeMenuFont(bool bold) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  if (bold) metrics.lfMenuFont.lfWeight = FW_BOLD;
  return CreateFontIndirectA(&metrics.lfMenuFont);
}

SIZE TextSize(HDC dc, const std::u16string& text, bool bold) {
  RECT r{0, 0, 0, 0};
  if (text.empty()) return {0, 0};
  HGDIOBJ old = SelectObject(dc, MenuFont(bold));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
  SelectObject(dc, old);
  return {r.right - r.left, r.bottom - r.top};
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) return {0, 0};
  return {bm.bmWidth, bm.bmHeight};
}

// The owner's size of an owner-drawn item, with the room the manager adds. The owner may change
// the menu meanwhile, so the item is passed by value.
SIZE Measure(MenuItem item, HWND owner) {
  MEASUREITEMSTRUCT request{ODT_MENU, 0, item.id, 0, static_cast<UINT>(GetSystemMetrics(SM_CYMENU)), item.data};
  SendMessageA(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&request));
  return {static_cast<LONG>(request.itemWidth) + MENU_OWNERDRAW_EXTRA, static_cast<LONG>(request.itemHeight)};
}

}  // namespace

HFONT MenuFont(bool bold) {
  static HFONT normal = MakeMenuFont(false);
  static HFONT heavy = MakeMenuFont(true);
  return bold ? heavy : normal;
}

int CheckColumnWidth() { return GetSystemMetrics(SM_CXMENUCHECK) + 4; }
int ArrowColumnWidth() { return GetSystemMetrics(SM_CXMENUCHECK) + 4; }

std::u16string MainText(const MenuItem& item) {
  const size_t tab = item.text.find(u'\t');
  return tab == std::u16string::npos ? item.text : item.text.substr(0, tab);
}

std::u16string AcceleratorText(const MenuItem& item) {
  const size_t tab = item.text.find(u'\t');
  return tab == std::u16string::npos ? std::u16string() : item.text.substr(tab + 1);
}

SIZE LayoutPopup(Menu& menu, HWND owner) {
  HDC dc = CreateCompatibleDC(nullptr);
  const int rowHeight = GetSystemMetrics(SM_CYMENU);
  // First every item's own size; string items keep their text widths for the column pass.
  struct Size {
    SIZE item;
    int main = 0;
    int accelerator = 0;
    bool text = false;
  };
  std::vector<Size> sizes(menu.items.size());
  for (size_t i = 0; i < menu.items.size() && i < sizes.size(); ++i) {
    const MenuItem& item = menu.items[i];
    Size& s = sizes[i];
    if (item.IsOwnerDrawn()) {  // an owner-drawn separator too: its owner draws it
      s.item = Measure(item, owner);
    } else if (item.IsSeparator()) {
      s.item = {0, rowHeight / 2};
    } else if (item.type & MFT_BITMAP) {
      const SIZE b = BitmapSize(item.bitmap);
      s.item = {CheckColumnWidth() + b.cx + ArrowColumnWidth(), std::max<LONG>(b.cy, rowHeight)};
    } else {
      const bool bold = item.state & MF_DEFAULT;
      s.text = true;
      s.main = TextSize(dc, MainText(item), bold).cx;
      s.accelerator = TextSize(dc, AcceleratorText(item), bold).cx;
      s.item = {0, rowHeight};
    }
  }
  DeleteDC(dc);
  sizes.resize(menu.items.size());  // items a measuring owner added meanwhile take no room
  // Then the columns: a break starts a new one; every item of a column is as wide as the widest.
  SIZE extent{0, 0};
  size_t first = 0;
  int x = 0;
  while (first < menu.items.size()) {
    size_t end = first + 1;
    while (end < menu.items.size() && !(menu.items[end].type & (MFT_MENUBREAK | MFT_MENUBARBREAK))) ++end;
    int mainWidth = 0, acceleratorWidth = 0, width = 0;
    for (size_t i = first; i < end; ++i) {
      mainWidth = std::max(mainWidth, sizes[i].main);
      acceleratorWidth = std::max(acceleratorWidth, sizes[i].accelerator);
      width = std::max<int>(width, sizes[i].item.cx);
    }
    bool anyText = false;
    for (size_t i = first; i < end; ++i) anyText = anyText || sizes[i].text;
    if (anyText) {
      width = std::max(width, CheckColumnWidth() + mainWidth + (acceleratorWidth ? kAcceleratorGap + acceleratorWidth : 0) +
                                  ArrowColumnWidth());
    }
    int y = 0;
    for (size_t i = first; i < end; ++i) {
      menu.items[i].rect = {x, y, x + width, y + static_cast<int>(sizes[i].item.cy)};
      y += sizes[i].item.cy;
    }
    x += width;
    extent.cx = x;
    extent.cy = std::max<LONG>(extent.cy, y);
    first = end;
  }
  menu.extent = extent;
  menu.laidOut = true;
  return extent;
}

void LayoutBar(Menu& menu, HWND owner, const RECT& bar) {
  HDC dc = CreateCompatibleDC(nullptr);
  int x = bar.left;
  for (size_t i = 0; i < menu.items.size(); ++i) {
    int width = 0;
    if (menu.items[i].IsOwnerDrawn()) {
      width = Measure(menu.items[i], owner).cx;
      if (i >= menu.items.size()) break;
    } else if (menu.items[i].type & MFT_BITMAP) {
      width = BitmapSize(menu.items[i].bitmap).cx + 2 * kBarTextMargin;
    } else if (!menu.items[i].IsSeparator()) {
      width = TextSize(dc, MainText(menu.items[i]), menu.items[i].state & MF_DEFAULT).cx + 2 * kBarTextMargin;
    }
    menu.items[i].rect = {x, bar.top, x + width, bar.bottom};
    x += width;
  }
  DeleteDC(dc);
  menu.extent = {x - bar.left, bar.bottom - bar.top};
  menu.laidOut = true;
}

int ItemAt(const Menu& menu, POINT pt) {
  for (size_t i = 0; i < menu.items.size(); ++i) {
    if (PtInRect(&menu.items[i].rect, pt)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace win32::menus
