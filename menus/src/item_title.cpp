// The menu title: a separator item drawn as a caption bar across the top or, turned a quarter,
// down the left side of the menu.
#include <algorithm>

#include "colour_ops.h"
#include "item_common.h"
#include "item_routines.h"

namespace styled_menu {

void DrawTitle(CStyledMenu* menu, LPDRAWITEMSTRUCT request) {
  const auto* data = reinterpret_cast<const CStyledMenuItemData*>(request->itemData);
  if (!data) return;
  HDC hdc = request->hDC;
  const int saved = SaveDC(hdc);
  const int flags = data->titleFlags;
  const bool vertical = flags & CStyledMenu::TITLE_VERTICAL;
  RECT r = request->rcItem;
  if (vertical) {
    // The title runs the menu's whole height.
    RECT client{};
    if (HWND window = WindowFromDC(hdc); window && GetClientRect(window, &client)) {
      r.top = client.top;
      r.bottom = client.bottom;
    }
    r.right += GetSystemMetrics(SM_CXMENUCHECK);
  }
  HFONT font = CreateTitleFont(vertical);
  HGDIOBJ oldFont = SelectObject(hdc, font);
  SIZE text{};
  GetTextExtentPoint32A(hdc, data->text, data->text.GetLength(), &text);
  const COLORREF caption = GetSysColor(COLOR_ACTIVECAPTION);
  const COLORREF mix = Mix86(GetSysColor(COLOR_WINDOW), GetMenuBackColor(menu->m_hMenu));
  int indent = 0;
  if (flags & CStyledMenu::TITLE_GRADIENT) {
    if (vertical) DrawGradient(hdc, r, mix, caption, FALSE, TRUE);
    else DrawGradient(hdc, r, caption, mix, TRUE, TRUE);
  } else if (flags & CStyledMenu::TITLE_ROUNDED) {
    RECT round = r;
    if (vertical) round.right = round.left + text.cy + 4;
    else indent = std::min<int>((r.right - r.left - text.cx) / 2, 10);
    HBRUSH brush = CreateSolidBrush(caption);
    HGDIOBJ oldBrush = SelectObject(hdc, brush);
    HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(NULL_PEN));
    RoundRect(hdc, round.left, round.top, round.right, round.bottom, 10, 10);
    SelectObject(hdc, oldPen);
    SelectObject(hdc, oldBrush);
    DeleteObject(brush);
  } else {
    FillSolid(hdc, r, caption);
  }
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  if (flags & CStyledMenu::TITLE_SUNKEN) Frame3d(hdc, r, shadow, highlight);
  if (flags & CStyledMenu::TITLE_DOUBLE_LINE) {
    if (vertical) {
      Frame3d(hdc, RECT{r.left + 20, r.top + 5, r.left + 22, r.bottom - 5}, shadow, highlight);
      Frame3d(hdc, RECT{r.left + 23, r.top + 15, r.left + 25, r.bottom - 15}, shadow, highlight);
    } else {
      Frame3d(hdc, RECT{r.left + 2, r.bottom - 7, r.right - 2, r.bottom - 5}, highlight, shadow);
      Frame3d(hdc, RECT{r.left + 12, r.bottom - 4, r.right - 12, r.bottom - 2}, shadow, highlight);
    }
  }
  SetTextColor(hdc, GetSysColor(COLOR_CAPTIONTEXT));
  SetBkMode(hdc, TRANSPARENT);
  if (vertical) {
    int y = r.bottom - 4;
    if (flags & CStyledMenu::TITLE_CENTERED) y = r.bottom - (r.bottom - r.top - text.cx) / 2;
    TextOutA(hdc, r.left + 2, y, data->text, data->text.GetLength());
  } else {
    int x = r.left + 2 + indent;
    if (flags & CStyledMenu::TITLE_CENTERED) x = r.left + (r.right - r.left - text.cx) / 2;
    TextOutA(hdc, x, r.top, data->text, data->text.GetLength());
  }
  SelectObject(hdc, oldFont);
  DeleteObject(font);
  RestoreDC(hdc, saved);
}

}  // namespace styled_menu
