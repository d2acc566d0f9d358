// Measuring items: the classic, gradient and flat rules.
#include <algorithm>

#include "item_common.h"
#include "item_routines.h"
#include "library.h"

namespace styled_menu {
namespace {

enum class Look { Classic, Gradient, Flat };

SIZE TextExtent(HFONT font, const CString& text) {
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font);
  SIZE size{};
  GetTextExtentPoint32A(screen, text, text.GetLength(), &size);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return size;
}

void MeasureTitle(const CStyledMenuItemData& data, LPMEASUREITEMSTRUCT request) {
  HFONT font = CreateTitleFont(false);
  const SIZE size = TextExtent(font, data.text);
  DeleteObject(font);
  const int flags = data.titleFlags;
  if (flags & CStyledMenu::TITLE_VERTICAL) {
    int width = size.cy - GetSystemMetrics(SM_CXMENUCHECK);
    if (flags & CStyledMenu::TITLE_DOUBLE_LINE) width += 8;
    else if (flags & CStyledMenu::TITLE_ROUNDED) width += 4;
    request->itemWidth = UINT(std::max(width, 0));
    request->itemHeight = 0;
  } else {
    request->itemWidth = UINT(size.cx);
    request->itemHeight = UINT(size.cy + ((flags & CStyledMenu::TITLE_DOUBLE_LINE) ? 8 : 0));
  }
}

void Measure(CStyledMenu* menu, LPMEASUREITEMSTRUCT request, BOOL menuBar, Look look) {
  const auto* data = reinterpret_cast<const CStyledMenuItemData*>(request->itemData);
  if (!data) return;
  if (data->IsTitle()) {
    MeasureTitle(*data, request);
    return;
  }
  if (data->IsSeparator()) {
    request->itemWidth = 3;
    request->itemHeight = 3;
    return;
  }
  const bool bold = menu->m_hMenu && GetMenuDefaultItem(menu->m_hMenu, FALSE, 0) == request->itemID;
  CString text = data->text;
  if (look != Look::Classic) text.Replace("\t", "nnn");
  HFONT font = CreateMenuFont(bold);
  const SIZE size = TextExtent(font, text);
  DeleteObject(font);
  const bool hasPrefix = data->text.Find('&') >= 0;
  const int iconWidth = menu->IconWidth(), iconHeight = menu->IconHeight();
  const int menuHeight = GetSystemMetrics(SM_CYMENU);
  int width = 0, height = 0;
  if (look == Look::Flat) {
    width = menuBar ? size.cx - (hasPrefix ? 6 : 0) : iconWidth + size.cx + menuHeight / 2 + 6;
    height = menuHeight > iconHeight + 8 ? menuHeight : iconHeight + 7;
  } else {
    width = menuBar ? size.cx - (hasPrefix ? GetSystemMetrics(SM_CXMENUCHECK) / 2 : 0) : size.cx + 2 * iconWidth + 2;
    height = std::max(menuHeight, iconHeight + (look == Look::Gradient ? 6 : 4));
  }
  height = std::max<int>(height, size.cy);
  if (IsSystemCommand(request->itemID)) {
    // As wide as the next command item (looking after this one), one menu line high.
    const auto& items = menu->Items();
    auto self = std::find(items.begin(), items.end(), data);
    for (auto it = self == items.end() ? items.end() : self + 1; it != items.end(); ++it) {
      if ((*it)->IsSeparator() || (*it)->commandOrMenu == 0) continue;
      MEASUREITEMSTRUCT next{ODT_MENU, 0, UINT((*it)->commandOrMenu), 0, 0, reinterpret_cast<ULONG_PTR>(*it)};
      Measure(menu, &next, menuBar, look);
      width = std::max<int>(width, int(next.itemWidth));
      break;
    }
    height = menuHeight;
  }
  request->itemWidth = UINT(std::max(width, 0));
  request->itemHeight = UINT(height);
}

}  // namespace

void MeasureClassic(CStyledMenu* menu, LPMEASUREITEMSTRUCT request, BOOL menuBar) {
  Measure(menu, request, menuBar, Look::Classic);
}

void MeasureGradient(CStyledMenu* menu, LPMEASUREITEMSTRUCT request, BOOL menuBar) {
  Measure(menu, request, menuBar, Look::Gradient);
}

void MeasureFlat(CStyledMenu* menu, LPMEASUREITEMSTRUCT request, BOOL menuBar) {
  Measure(menu, request, menuBar, Look::Flat);
}

}  // namespace styled_menu
