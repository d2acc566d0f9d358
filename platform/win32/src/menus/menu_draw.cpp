// The system's look of menu items and pop-up frames, and owner drawing through WM_DRAWITEM.
#include "menus/menu_draw.h"

#include <algorithm>
#include <cstring>

#include "menus/menu_layout.h"
#include "win32/platform_config.h"
#include "win32/winbase.h"

namespace win32::menus {
namespace {

bool FlatMenus() { return platform_config::Config().flatMenus; }

// The symbols of the built-in "Marlett" face, one cell the size of a check mark.
HFONT GlyphFont() {
  static HFONT font = [] {
    LOGFONTA f{};
    f.lfHeight = GetSystemMetrics(SM_CYMENUCHECK);
    f.lfCharSet = SYMBOL_CHARSET;
    std::strcpy(f.lfFaceName, "Marlett");
    return CreateFontIndirectA(&f);
  }();
  return font;
}

void DrawGlyph(HDC dc, char16_t glyph, RECT cell, COLORREF color) {
  HGDIOBJ old = SelectObject(dc, GlyphFont());
  const COLORREF oldColor = SetTextColor(dc, color);
  DrawTextW(dc, &glyph, 1, &cell, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  SetTextColor(dc, oldColor);
  SelectObject(dc, old);
}

void DrawBitmapCentred(HDC dc, HBITMAP bitmap, const RECT& cell) {
  BITMAP bm{};
  if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, bitmap);
  const int x = cell.left + (cell.right - cell.left - bm.bmWidth) / 2;
  const int y = cell.top + (cell.bottom - cell.top - bm.bmHeight) / 2;
  BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

UINT OwnerDrawState(const MenuItem& item, const ItemLook& look) {
  UINT state = 0;
  if (item.state & MF_GRAYED) state |= ODS_GRAYED;
  if (item.state & MF_DISABLED) state |= ODS_DISABLED;
  if (item.state & MF_CHECKED) state |= ODS_CHECKED;
  if (item.state & MF_DEFAULT) state |= ODS_DEFAULT;
  if (look.selected || (item.state & MF_HILITE)) state |= ODS_SELECTED;
  if (look.hot) state |= ODS_HOTLIGHT;
  if (look.inactive) state |= ODS_INACTIVE;
  return state;
}

void DrawOwnerDrawn(HDC dc, HWND owner, HMENU menu, const MenuItem& item, const RECT& r, UINT action,
                    const ItemLook& look) {
  DRAWITEMSTRUCT request{ODT_MENU, 0, item.id, action, OwnerDrawState(item, look), reinterpret_cast<HWND>(menu), dc, r,
                         item.data};
  const int saved = SaveDC(dc);
  SelectObject(dc, MenuFont(false));
  SetTextColor(dc, GetSysColor(COLOR_MENUTEXT));
  SetBkColor(dc, GetSysColor(COLOR_MENU));
  SendMessageA(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&request));
  RestoreDC(dc, saved);
}

// A highlighted item: flat menus fill it with the menu highlight and frame it; the classic look
// fills it with the highlight colour.
void FillSelection(HDC dc, const RECT& r) {
  if (FlatMenus()) {
    FillRect(dc, &r, GetSysColorBrush(COLOR_MENUHILIGHT));
    FrameRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
  } else {
    FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
  }
}

void DrawText16(HDC dc, const std::u16string& text, RECT r, UINT format, COLORREF color) {
  if (text.empty()) return;
  SetTextColor(dc, color);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_SINGLELINE | DT_VCENTER);
}

// Text in its state's colour; a disabled item in the classic look is embossed.
void DrawItemText(HDC dc, const std::u16string& text, const RECT& r, UINT format, const MenuItem& item, bool selected) {
  if (item.IsDisabled()) {
    if (!selected && !FlatMenus()) {
      RECT lit = r;
      OffsetRect(&lit, 1, 1);
      DrawText16(dc, text, lit, format, GetSysColor(COLOR_BTNHIGHLIGHT));
    }
    DrawText16(dc, text, r, format, GetSysColor(COLOR_GRAYTEXT));
  } else {
    DrawText16(dc, text, r, format, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  }
}

void DrawPopupItem(HDC dc, const Menu& menu, const MenuItem& item, const RECT& r, bool selected) {
  if (item.IsSeparator()) {
    FillRect(dc, &r, MenuBackground(menu, false));
    RECT line{r.left + 1, r.top + (r.bottom - r.top) / 2 - 1, r.right - 1, r.bottom};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  if (selected) {
    FillSelection(dc, r);
  } else {
    FillRect(dc, &r, MenuBackground(menu, false));
  }
  const COLORREF ink = GetSysColor(item.IsDisabled() ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
  const RECT check{r.left, r.top, r.left + CheckColumnWidth(), r.bottom};
  if (item.state & MF_CHECKED) {
    if (item.checkedBitmap) {
      DrawBitmapCentred(dc, item.checkedBitmap, check);
    } else {
      DrawGlyph(dc, (item.type & MFT_RADIOCHECK) ? u'i' : u'b', check, ink);
    }
  } else if (item.uncheckedBitmap) {
    DrawBitmapCentred(dc, item.uncheckedBitmap, check);
  }
  const RECT content{check.right, r.top, r.right - ArrowColumnWidth(), r.bottom};
  if (item.type & MFT_BITMAP) {
    DrawBitmapCentred(dc, item.bitmap, content);
  } else {
    const int saved = SaveDC(dc);
    SelectObject(dc, MenuFont(item.state & MF_DEFAULT));
    SetBkMode(dc, TRANSPARENT);
    DrawItemText(dc, MainText(item), content, DT_LEFT, item, selected);
    DrawItemText(dc, AcceleratorText(item), content, DT_RIGHT, item, selected);
    RestoreDC(dc, saved);
  }
  if (item.subMenu) DrawGlyph(dc, u'8', {content.right, r.top, r.right, r.bottom}, ink);
}

void DrawBarItem(HDC dc, const Menu& menu, const MenuItem& item, const RECT& r, const ItemLook& look) {
  FillRect(dc, &r, MenuBackground(menu, true));
  const bool lit = look.selected || look.hot || (item.state & MF_HILITE);
  if (lit && !look.inactive) {
    if (FlatMenus()) {
      FillSelection(dc, r);
    } else {
      RECT edge = r;
      DrawEdge(dc, &edge, (look.selected || (item.state & MF_HILITE)) ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
  }
  if (item.type & MFT_BITMAP) {
    DrawBitmapCentred(dc, item.bitmap, r);
    return;
  }
  const int saved = SaveDC(dc);
  SelectObject(dc, MenuFont(item.state & MF_DEFAULT));
  SetBkMode(dc, TRANSPARENT);
  COLORREF color = GetSysColor(COLOR_MENUTEXT);
  if (item.IsDisabled() || look.inactive) {
    color = GetSysColor(COLOR_GRAYTEXT);
  } else if (lit && FlatMenus()) {
    color = GetSysColor(COLOR_HIGHLIGHTTEXT);
  }
  DrawText16(dc, MainText(item), r, DT_CENTER, color);
  RestoreDC(dc, saved);
}

}  // namespace

HBRUSH MenuBackground(const Menu& menu, bool bar) {
  if (menu.background) return menu.background;
  return GetSysColorBrush(bar && FlatMenus() ? COLOR_MENUBAR : COLOR_MENU);
}

void DrawMenuItem(HDC dc, HWND owner, HMENU handle, int index, POINT origin, UINT action, const ItemLook& look) {
  auto menu = PeekMenu(handle);
  if (!menu || index < 0 || static_cast<size_t>(index) >= menu->items.size()) return;
  const MenuItem item = menu->items[static_cast<size_t>(index)];  // the owner may change the menu
  RECT r = item.rect;
  OffsetRect(&r, origin.x, origin.y);
  if (item.IsOwnerDrawn()) {
    DrawOwnerDrawn(dc, owner, handle, item, r, action, look);
  } else if (look.bar) {
    DrawBarItem(dc, *menu, item, r, look);
  } else {
    DrawPopupItem(dc, *menu, item, r, look.selected || (item.state & MF_HILITE));
  }
}

void DrawPopupFrame(HWND window, HDC dc, HMENU handle) {
  RECT whole, client;
  GetWindowRect(window, &whole);
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  OffsetRect(&client, origin.x - whole.left, origin.y - whole.top);
  OffsetRect(&whole, -whole.left, -whole.top);
  if (EqualRect(&whole, &client)) return;  // the styles leave no frame
  auto menu = PeekMenu(handle);
  HBRUSH band = menu ? MenuBackground(*menu, false) : GetSysColorBrush(COLOR_MENU);
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
  FillRect(dc, &whole, band);
  if (FlatMenus()) {
    FrameRect(dc, &whole, GetSysColorBrush(COLOR_BTNSHADOW));
  } else {
    DrawEdge(dc, &whole, EDGE_RAISED, BF_RECT);
  }
  RestoreDC(dc, saved);
}

}  // namespace win32::menus
