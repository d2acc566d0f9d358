// The flat looks: an icon column beside flat items with a framed selection (styles 2 and 3), and
// the same with a gradient icon column and warm selection colours (styles 8 and 9).
#include <memory>

#include "buffer_dc.h"
#include "colour_ops.h"
#include "item_common.h"
#include "item_routines.h"
#include "library.h"
#include "menu_brush.h"

namespace styled_menu {
namespace {

struct FlatColours {
  bool gradient = false;
  COLORREF menuBar = 0;        // the menu-bar colour of the menu
  COLORREF light = 0;          // gradient look: the window colour darkened a little
  COLORREF itemBackground = 0;
  COLORREF iconColumn = 0;
  COLORREF selection = 0;
  COLORREF checkBox = 0;
  COLORREF checkBoxSelected = 0;
  COLORREF pen = 0;
};

FlatColours FlatLookColours(HDC hdc, const ItemDraw& item, bool gradient) {
  const Library& lib = Lib();
  const HMENU menu = item.menu->m_hMenu;
  const COLORREF window = GetSysColor(COLOR_WINDOW), highlight = GetSysColor(COLOR_HIGHLIGHT);
  FlatColours c;
  c.gradient = gradient;
  c.menuBar = GetMenuBackColorThemed(menu);
  c.pen = lib.highContrast ? GetSysColor(COLOR_BTNTEXT) : highlight;
  if (gradient) {
    c.light = Darken(10, window);
    c.iconColumn = GetGradientBarColor();
    // A menu-bar item stands on the bar colour.
    c.itemBackground = item.menuBar ? c.iconColumn : Mix86(c.light, GetMenuBackColor(menu));
    c.selection = RGB(255, 238, 194);
    c.checkBox = RGB(255, 192, 111);
    c.checkBoxSelected = RGB(254, 128, 62);
    return c;
  }
  c.itemBackground = Mix86(window, c.menuBar);
  c.iconColumn = lib.FewColours() ? GetSysColor(COLOR_BTNFACE) : Mix86(c.menuBar, window);
  if (Nearest(hdc, c.itemBackground) == Nearest(hdc, c.iconColumn)) {
    c.itemBackground = window;
    c.iconColumn = c.menuBar;
  }
  c.selection = lib.highContrast ? highlight : lib.FewColours() ? window : Mix70(window, highlight);
  c.checkBox = Mix86(c.iconColumn, highlight);
  c.checkBoxSelected = lib.FewColours() ? c.selection : Mix86(c.selection, highlight);
  if (item.menuBar) {
    if (!item.Hot()) c.selection = c.iconColumn;
    c.itemBackground = c.menuBar;
  }
  return c;
}

// The 4-pixel shadow right of a pressed menu-bar item, fading downwards and outwards.
void DrawPressedShadow(HDC hdc, const RECT& item, COLORREF base) {
  const int height = item.bottom - item.top;
  if (Lib().FewColours()) {
    for (int i = 3; i <= 4; ++i)
      FillSolid(hdc, RECT{item.right - i, item.top + 4, item.right - i + 1, item.bottom}, GetSysColor(COLOR_BTNSHADOW));
    return;
  }
  for (int i = 1; i <= 4; ++i) {
    const int x = item.right - i;
    for (int row = 0; row < height; ++row) {
      COLORREF colour = base;
      if (row >= 4 && row <= 7) colour = Darken(i * 6 * (row - 3), base);
      else if (row >= 8) colour = Darken(i * 30, base);
      SetPixelV(hdc, x, item.top + row, colour);
    }
  }
}

void DrawMenuBarItem(HDC hdc, ItemDraw& item, const FlatColours& c) {
  const RECT& r = item.rect;
  const bool pressed = item.Selected() && !item.Hot();
  const bool selected = (item.Selected() || item.Hot()) && !item.Inactive();
  if (c.gradient) {
    if (pressed) {
      RECT top = r;
      top.bottom -= 4;
      if (Lib().FewColours()) FillSolid(hdc, top, c.iconColumn);
      else DrawGradient(hdc, top, c.iconColumn, c.iconColumn, FALSE, TRUE);
    } else if (HBRUSH brush = MenuBackgroundBrush(item.menu->m_hMenu)) {
      SetBrushOrgEx(hdc, 0, 0, nullptr);
      FillRect(hdc, &r, brush);
    } else {
      FillSolid(hdc, r, c.iconColumn);
    }
  } else {
    FillSolid(hdc, r, c.itemBackground);
  }
  RECT selection = r;
  selection.right -= 4;
  if (selected) {
    item.menu->RecordBarItemRect(hdc, &selection);
    COLORREF pen = c.pen;
    if (pressed) pen = Lib().highContrast ? GetSysColor(COLOR_BTNTEXT) : Darken(128, c.menuBar);
    if (c.gradient) {
      if (Lib().FewColours()) FillSolid(hdc, selection, c.light);
      else DrawGradient(hdc, selection, c.light, item.Hot() ? c.selection : c.iconColumn, FALSE, TRUE);
    } else {
      FillSolid(hdc, selection, c.selection);
    }
    FramePen(hdc, selection, pen);
    if (pressed) {
      const COLORREF base = c.gradient ? GetPixel(hdc, selection.right, selection.top) : c.menuBar;
      DrawPressedShadow(hdc, r, base);
    }
  }
  COLORREF text = GetSysColor(COLOR_MENUTEXT);
  if (item.Grayed() || item.Inactive())
    text = c.gradient && Lib().FewColours() ? c.light : GetSysColor(COLOR_GRAYTEXT);
  SetTextColor(hdc, text);
  SetBkMode(hdc, TRANSPARENT);
  HFONT font = CreateMenuFont(item.Default());
  HGDIOBJ old = SelectObject(hdc, font);
  DrawItemText(hdc, item.Text(), selection, true);
  SelectObject(hdc, old);
  DeleteObject(font);
}

// The box behind a checked item's icon or check mark.
RECT CheckBox(const ItemDraw& item) {
  const RECT& r = item.rect;
  return RECT{r.left + 1, r.top + 1, r.left + item.menu->IconWidth() + 8 - 2, r.bottom - 1};
}

void DrawCheckBox(HDC hdc, const ItemDraw& item, const FlatColours& c) {
  const RECT box = CheckBox(item);
  FillSolid(hdc, box, item.Selected() ? c.checkBoxSelected : c.checkBox);
  FramePen(hdc, box, c.pen);
}

void DrawIconOrCheck(HDC hdc, const ItemDraw& item, const FlatColours& c) {
  const RECT& r = item.rect;
  CStyledMenu* menu = item.menu;
  if (item.HasIcon()) {
    int width = menu->IconWidth(), height = menu->IconHeight();
    ImageList_GetIconSize(item.data->icons->ImageList().m_hImageList, &width, &height);
    int x = r.left + 3, y = r.top + (item.Height() - menu->IconHeight()) / 2;
    if (width < menu->IconWidth()) x += (menu->IconWidth() - width) / 2;
    if (item.Checked()) DrawCheckBox(hdc, item, c);
    if (item.Disabled() || item.Grayed()) {
      if (Lib().iconVariants) DrawItemIcon(hdc, item, 2, x, y);
      else DrawItemIconMono(hdc, item, x, y, Nearest(hdc, Darken(70, c.iconColumn)));
    } else if (item.Selected() && !item.Checked()) {
      DrawItemIconMono(hdc, item, x + 1, y + 1, Nearest(hdc, ShadowTint(c.selection)));
      DrawItemIcon(hdc, item, 0, x - 1, y - 1);
    } else if (item.Selected()) {
      DrawItemIcon(hdc, item, 0, x, y);
    } else {
      DrawItemIcon(hdc, item, 1, x, y);
    }
    return;
  }
  const UINT id = item.request->itemID;
  if (item.Checked()) {
    if (DrawMenuCheckImage(hdc, item, r.left + 3, r.top + 4)) return;
  }
  if (char glyph = SystemCommandGlyph(id)) {
    const int top = r.top + (item.Height() - menu->IconHeight()) / 2;
    const RECT box{r.left + 3, top, r.left + 3 + menu->IconWidth(), top + menu->IconHeight()};
    const COLORREF colour =
        (item.Grayed() || item.Inactive()) ? GetSysColor(COLOR_GRAYTEXT) : GetSysColor(COLOR_MENUTEXT);
    if (item.Selected()) {
      RECT shadow = box;
      OffsetRect(&shadow, 1, 1);
      DrawGlyph(hdc, shadow, glyph, ShadowTint(c.selection), item.Default());
      RECT lifted = box;
      OffsetRect(&lifted, -1, -1);
      DrawGlyph(hdc, lifted, glyph, GetSysColor(COLOR_MENUTEXT), item.Default());
    } else {
      DrawGlyph(hdc, box, glyph, colour, item.Default());
    }
    return;
  }
  const CheckBitmaps bitmaps = ItemCheckBitmaps(item);
  if (!item.Checked() && !bitmaps.unchecked) return;
  DrawCheckBox(hdc, item, c);
  RECT mark = CheckBox(item);
  InflateRect(&mark, 2, (menu->IconHeight() - item.Height()) / 2 + 2);
  if (item.Checked()) {
    const COLORREF colour =
        (item.Grayed() || item.Inactive()) ? GetSysColor(COLOR_GRAYTEXT) : GetSysColor(COLOR_MENUTEXT);
    if (bitmaps.checked && bitmaps.unchecked) DrawBitmapCentred(hdc, bitmaps.checked, mark, false);
    else DrawGlyph(hdc, mark, bitmaps.checked ? 'i' : 'b', colour, item.Default());
  } else {
    DrawBitmapCentred(hdc, bitmaps.unchecked, mark, item.Disabled());
  }
}

void DrawPopupItem(HDC target, ItemDraw& item, const FlatColours& c) {
  const RECT& r = item.rect;
  // Separators go straight onto the item's context; other items through a buffer.
  std::unique_ptr<CStyledMenuBufferDC> buffer;
  if (!item.IsSeparator()) buffer = std::make_unique<CStyledMenuBufferDC>(target, r);
  HDC hdc = buffer ? buffer->Get() : target;
  const int columnRight = r.left + item.menu->IconWidth() + 8;
  const RECT column{r.left, r.top, columnRight, r.bottom};
  if (c.gradient) DrawGradient(hdc, column, c.itemBackground, c.iconColumn, TRUE, TRUE);
  else FillSolid(hdc, column, c.iconColumn);
  FillSolid(hdc, RECT{columnRight, r.top, r.right, r.bottom}, c.itemBackground);
  if (item.IsSeparator()) {
    if (item.data->IsTitle()) {
      item.menu->ForwardFrameRequest(item.request, FALSE);
      return;
    }
    const int middle = r.top + item.Height() / 2;
    FillSolid(hdc, RECT{columnRight + 4, middle, r.right, middle + 1}, GetSysColor(COLOR_GRAYTEXT));
    return;
  }
  if ((item.Selected() && !item.Inactive()) || item.keyboardMarker) {
    FillSolid(hdc, r, c.selection);
    FramePen(hdc, r, c.pen);
  }
  DrawIconOrCheck(hdc, item, c);
  COLORREF text = GetSysColor(COLOR_MENUTEXT);
  if (item.Grayed()) text = GetSysColor(COLOR_GRAYTEXT);
  else if (Lib().highContrast && !item.Selected()) text = GetSysColor(COLOR_WINDOWTEXT);
  SetTextColor(hdc, text);
  SetBkMode(hdc, TRANSPARENT);
  HFONT font = CreateMenuFont(item.Default());
  HGDIOBJ old = SelectObject(hdc, font);
  DrawItemText(hdc, item.Text(), RECT{columnRight + 4, r.top, r.right - 15, r.bottom}, false);
  SelectObject(hdc, old);
  DeleteObject(font);
}

void DrawFlatLook(CStyledMenu* menu, LPDRAWITEMSTRUCT request, BOOL menuBar, bool gradient) {
  ItemDraw item = BeginItem(menu, request, menuBar);
  HDC hdc = request->hDC;
  const int saved = SaveDC(hdc);
  const FlatColours colours = FlatLookColours(hdc, item, gradient);
  if (item.menuBar) DrawMenuBarItem(hdc, item, colours);
  else DrawPopupItem(hdc, item, colours);
  RestoreDC(hdc, saved);
}

}  // namespace

void DrawFlatItem(CStyledMenu* menu, LPDRAWITEMSTRUCT request, BOOL menuBar) {
  DrawFlatLook(menu, request, menuBar, false);
}

void DrawFlatGradientItem(CStyledMenu* menu, LPDRAWITEMSTRUCT request, BOOL menuBar) {
  DrawFlatLook(menu, request, menuBar, true);
}

}  // namespace styled_menu
