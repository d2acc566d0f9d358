// The 3D looks: classic items on the menu colour (styles 0 and 1, and the pop-ups of 4 and 5),
// items on vertical gradients (styles 6 and 7), and the flat highlighted menu bar of 4 and 5.
#include <memory>

#include "buffer_dc.h"
#include "colour_ops.h"
#include "item_common.h"
#include "item_routines.h"
#include "library.h"
#include "menu_brush.h"

namespace styled_menu {
namespace {

struct ThreeDColours {
  bool gradient = false;
  COLORREF menu = 0;  // the menu colour of the look
  COLORREF base = 0;  // what the item stands on
  COLORREF shadow = 0;
  COLORREF light = 0;
  COLORREF inactiveText = 0;
  COLORREF disabledIcon = 0;  // gradient look only
};

ThreeDColours ThreeDLookColours(HDC hdc, const ItemDraw& item, bool gradient) {
  const bool highContrast = Lib().highContrast;
  const HMENU menu = item.menu->m_hMenu;
  ThreeDColours c;
  c.gradient = gradient;
  if (gradient) {
    c.menu = GetMenuBackColor(menu);
    c.base = item.menuBar ? GetMenuBackColorThemed(menu) : c.menu;
    c.shadow = highContrast ? GetSysColor(COLOR_BTNTEXT) : Darken(60, c.menu);
    c.light = highContrast ? GetSysColor(COLOR_BTNTEXT) : Lighten(60, c.menu);
    c.inactiveText = Darken(100, c.menu);
    c.disabledIcon = highContrast ? GetSysColor(COLOR_BTNSHADOW) : Nearest(hdc, Darken(70, c.shadow));
  } else {
    c.menu = item.menuBar ? GetMenuBackColorThemed(menu) : GetSysColor(COLOR_MENU);
    c.base = c.menu;
    c.shadow = GetSysColor(COLOR_BTNSHADOW);
    c.light = GetSysColor(COLOR_BTNHIGHLIGHT);
    c.inactiveText = GetSysColor(COLOR_GRAYTEXT);
  }
  return c;
}

void VerticalGradient(HDC hdc, const RECT& r, COLORREF colour) {
  DrawGradient(hdc, r, Lighten(30, colour), Darken(30, colour), FALSE, TRUE);
}

RECT IconBox(const ItemDraw& item) {
  const int top = item.rect.top + (item.Height() - item.menu->IconHeight()) / 2;
  RECT box{item.rect.left + 3, top, item.rect.left + 3 + item.menu->IconWidth(), top + item.menu->IconHeight()};
  InflateRect(&box, 2, 2);
  return box;
}

void DrawClassicCheck(HDC hdc, const ItemDraw& item, RECT box) {
  const CheckBitmaps bitmaps = ItemCheckBitmaps(item);
  if (!item.Checked() && !bitmaps.unchecked) return;
  InflateRect(&box, -1, -1);
  if (GetStyledMenuWinVersion() > 1) DrawEdge(hdc, &box, BDR_SUNKENOUTER, BF_RECT);
  InflateRect(&box, 2, 2);
  if (!item.Checked()) {
    DrawBitmapCentred(hdc, bitmaps.unchecked, box, item.Disabled());
    return;
  }
  if (bitmaps.checked && bitmaps.unchecked) {
    DrawBitmapCentred(hdc, bitmaps.checked, box, false);
    return;
  }
  const COLORREF colour =
      (item.Grayed() || item.Inactive()) ? GetSysColor(COLOR_GRAYTEXT) : GetSysColor(COLOR_MENUTEXT);
  if (bitmaps.checked) {
    DrawGlyph(hdc, box, 'i', colour, item.Default());
  } else {
    OffsetRect(&box, 1, 2);
    DrawGlyph(hdc, box, 'b', colour, item.Default());
  }
}

void DrawIconOrCheck(HDC hdc, const ItemDraw& item, const ThreeDColours& c) {
  const RECT box = IconBox(item);
  if (item.HasIcon()) {
    if (GetStyledMenuWinVersion() > 1) {
      if (item.Checked()) Frame3d(hdc, box, c.shadow, c.light);
      else if (item.Selected()) Frame3d(hdc, box, c.light, c.shadow);
    }
    int width = 0, height = 0;
    ImageList_GetIconSize(item.data->icons->ImageList().m_hImageList, &width, &height);
    const int x = box.left + (box.right - box.left - width) / 2, y = box.top + (box.bottom - box.top - height) / 2;
    if (item.Disabled() || item.Grayed()) {
      if (c.gradient) DrawItemIconMono(hdc, item, x, y, c.disabledIcon);
      else DrawItemIconDisabled(hdc, item, x, y);
    } else {
      DrawItemIcon(hdc, item, item.Selected() ? 0 : 1, x, y);
    }
    return;
  }
  if (item.Checked()) {
    if (CImageList* images = item.menu->CheckMarkImages()) {
      int width = 0, height = 0;
      ImageList_GetIconSize(images->m_hImageList, &width, &height);
      if (DrawMenuCheckImage(hdc, item, box.left + (box.right - box.left - width) / 2,
                             box.top + (box.bottom - box.top - height) / 2))
        return;
    }
  }
  if (char glyph = SystemCommandGlyph(item.request->itemID)) {
    COLORREF colour = GetSysColor(COLOR_MENUTEXT);
    if (item.Grayed() || item.Inactive()) colour = GetSysColor(COLOR_GRAYTEXT);
    else if (item.Selected()) colour = GetSysColor(COLOR_HIGHLIGHTTEXT);
    DrawGlyph(hdc, box, glyph, colour, item.Default());
    return;
  }
  DrawClassicCheck(hdc, item, box);
}

void DrawPopupText(HDC hdc, const ItemDraw& item, const ThreeDColours& c) {
  const CString& text = item.Text();
  if (text.IsEmpty()) return;
  RECT r{item.rect.left + item.menu->IconWidth() + 12, item.rect.top - 1, item.rect.right, item.rect.bottom - 1};
  if (text.Find('\t') >= 0) r.right -= item.menu->IconWidth();
  SetBkMode(hdc, TRANSPARENT);
  HFONT font = CreateMenuFont(item.Default());
  HGDIOBJ old = SelectObject(hdc, font);
  if (item.Grayed() && !item.Selected() && !c.gradient) {
    // Embossed: the highlight one pixel down and right, the gray text on top.
    RECT emboss = r;
    OffsetRect(&emboss, 1, 1);
    SetTextColor(hdc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawItemText(hdc, text, emboss, false);
    SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
  } else if (item.Grayed()) {
    SetTextColor(hdc, item.Selected() ? c.menu : c.disabledIcon);
  } else {
    SetTextColor(hdc, GetSysColor(item.Selected() ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  }
  DrawItemText(hdc, text, r, false);
  SelectObject(hdc, old);
  DeleteObject(font);
}

void DrawPopupItem(HDC target, ItemDraw& item, const ThreeDColours& c) {
  const RECT& r = item.rect;
  std::unique_ptr<CStyledMenuBufferDC> buffer;
  if (!item.IsSeparator()) buffer = std::make_unique<CStyledMenuBufferDC>(target, r);
  HDC hdc = buffer ? buffer->Get() : target;
  if (c.gradient && !Lib().highContrast) VerticalGradient(hdc, r, c.base);
  else FillSolid(hdc, r, c.base);
  if (item.IsSeparator()) {
    if (item.data->IsTitle()) {
      item.menu->ForwardFrameRequest(item.request, FALSE);
      return;
    }
    if (c.gradient) {
      FillSolid(hdc, r, c.light);
      EtchedTopEdge(hdc, RECT{r.left + 1, r.top, r.right - 1, r.bottom});
    } else {
      EtchedTopEdge(hdc, RECT{r.left + 1, r.top, r.right, r.bottom});
    }
    return;
  }
  if (item.Selected()) {
    RECT selection = r;
    if (item.HasIcon() || item.Checked()) selection.left += item.menu->IconWidth() + 6;
    if (c.gradient) {
      VerticalGradient(hdc, selection, GetSysColor(COLOR_HIGHLIGHT));
      Frame3d(hdc, selection, c.shadow, c.light);
    } else {
      FillSolid(hdc, selection, GetSysColor(COLOR_HIGHLIGHT));
    }
  }
  DrawIconOrCheck(hdc, item, c);
  DrawPopupText(hdc, item, c);
  if (item.keyboardMarker) DrawFocusRect(hdc, &r);
}

void DrawBarItem(HDC hdc, ItemDraw& item, const ThreeDColours& c) {
  RECT r = item.rect;
  const bool hot = item.Hot() && !item.Inactive();
  const bool pressed = item.Selected() && !item.Inactive();
  if (c.gradient) {
    if ((hot || pressed) && !Lib().highContrast) {
      RECT wide = r;
      wide.left -= 1;
      wide.right += 1;
      wide.bottom += 1;
      VerticalGradient(hdc, wide, c.menu);
    } else if (HBRUSH brush = Lib().highContrast ? nullptr : MenuBackgroundBrush(item.menu->m_hMenu)) {
      FillRect(hdc, &r, brush);
    } else {
      FillSolid(hdc, r, c.base);
    }
    if (hot || pressed) item.menu->RecordBarItemRect(hdc, &r);
    if (pressed) Frame3d(hdc, r, c.shadow, c.light);
    else if (hot) Frame3d(hdc, r, c.light, c.shadow);
  } else {
    FillSolid(hdc, r, c.base);
    RECT frame = r;
    frame.right -= 2;
    if (hot || pressed) {
      RECT recorded = frame;
      OffsetRect(&recorded, 1, -1);
      item.menu->RecordBarItemRect(hdc, &recorded);
    }
    if (pressed) Frame3d(hdc, frame, c.shadow, c.light);
    else if (hot) Frame3d(hdc, frame, c.light, c.shadow);
  }
  RECT text = r;
  text.left += 6;
  if (item.Selected()) OffsetRect(&text, 1, 1);
  COLORREF colour = GetSysColor(COLOR_MENUTEXT);
  if (item.Inactive()) colour = c.inactiveText;
  else if (item.Grayed()) colour = GetSysColor(COLOR_GRAYTEXT);
  SetTextColor(hdc, colour);
  SetBkMode(hdc, TRANSPARENT);
  HFONT font = CreateMenuFont(item.Default());
  HGDIOBJ old = SelectObject(hdc, font);
  DrawItemText(hdc, item.Text(), text, true);
  SelectObject(hdc, old);
  DeleteObject(font);
}

void DrawThreeDLook(CStyledMenu* menu, LPDRAWITEMSTRUCT request, BOOL menuBar, bool gradient) {
  ItemDraw item = BeginItem(menu, request, menuBar);
  HDC hdc = request->hDC;
  const int saved = SaveDC(hdc);
  const ThreeDColours colours = ThreeDLookColours(hdc, item, gradient);
  if (item.menuBar) DrawBarItem(hdc, item, colours);
  else DrawPopupItem(hdc, item, colours);
  RestoreDC(hdc, saved);
}

}  // namespace

void DrawClassicItem(CStyledMenu* menu, LPDRAWITEMSTRUCT request, BOOL menuBar) {
  DrawThreeDLook(menu, request, menuBar, false);
}

void DrawGradientItem(CStyledMenu* menu, LPDRAWITEMSTRUCT request, BOOL menuBar) {
  DrawThreeDLook(menu, request, menuBar, true);
}

void DrawFlatBarItem(CStyledMenu* menu, LPDRAWITEMSTRUCT request, BOOL menuBar) {
  if (!menuBar) {
    DrawClassicItem(menu, request, FALSE);
    return;
  }
  ItemDraw item = BeginItem(menu, request, menuBar);
  HDC hdc = request->hDC;
  const int saved = SaveDC(hdc);
  const bool lit = item.Selected() || item.Hot();
  if (lit) {
    FillSolid(hdc, item.rect, GetSysColor(COLOR_HIGHLIGHT));
    item.menu->RecordBarItemRect(hdc, &item.rect);
  } else {
    FillSolid(hdc, item.rect, GetMenuBackColorThemed(menu->m_hMenu));
  }
  COLORREF colour = GetSysColor(COLOR_MENUTEXT);
  if (item.Grayed()) colour = GetSysColor(COLOR_GRAYTEXT);
  else if (lit) colour = GetSysColor(COLOR_HIGHLIGHTTEXT);
  SetTextColor(hdc, colour);
  SetBkMode(hdc, TRANSPARENT);
  HFONT font = CreateMenuFont(item.Default());
  HGDIOBJ old = SelectObject(hdc, font);
  RECT r = item.rect;
  DrawTextA(hdc, item.Text(), item.Text().GetLength(), &r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  SelectObject(hdc, old);
  DeleteObject(font);
  RestoreDC(hdc, saved);
}

}  // namespace styled_menu
