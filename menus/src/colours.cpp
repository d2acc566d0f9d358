// The colours of the menu surfaces, the gradient fill and the menu-bar brushes.
#include <memory>
#include <vector>

#include "colour_ops.h"
#include "library.h"
#include "library_binder.h"
#include "menu_brush.h"
#include "menus/styled_menu.h"

using namespace styled_menu;

namespace styled_menu {

BOOL BoundGetMenuInfo(HMENU menu, LPMENUINFO info) {
  static LibraryBinder binder("user32.dll", "GetMenuInfo");
  auto fn = binder.Get<BOOL (*)(HMENU, LPMENUINFO)>();
  return fn ? fn(menu, info) : FALSE;
}

BOOL BoundSetMenuInfo(HMENU menu, LPCMENUINFO info) {
  static LibraryBinder binder("user32.dll", "SetMenuInfo");
  auto fn = binder.Get<BOOL (*)(HMENU, LPCMENUINFO)>();
  return fn ? fn(menu, info) : FALSE;
}

HBRUSH MenuBackgroundBrush(HMENU menu) {
  if (!menu) return nullptr;
  MENUINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIM_BACKGROUND;
  if (!BoundGetMenuInfo(menu, &info)) return nullptr;
  return info.hbrBack;
}

MenuBrush::MenuBrush(int style, COLORREF colour) : style_(style), colour_(colour) {
  if (style != CStyledMenu::STYLE_XP_GRADIENT) {
    brush_ = CreateSolidBrush(colour);
    return;
  }
  const int width = (GetSystemMetrics(SM_CXFULLSCREEN) + 16) & ~7;
  const int height = 20;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  DrawGradient(memory, RECT{0, 0, width, height}, colour, Lighten(110, colour), TRUE, TRUE);
  SelectObject(memory, old);
  brush_ = CreatePatternBrush(bitmap);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

MenuBrush::~MenuBrush() {
  if (brush_) DeleteObject(brush_);
}

}  // namespace styled_menu

namespace {

// The menu-bar brushes made so far, newest last; they live as long as the process.
std::vector<std::unique_ptr<MenuBrush>>& BrushCache() {
  static auto* cache = new std::vector<std::unique_ptr<MenuBrush>>;
  return *cache;
}

HBRUSH CachedBrush(int style, COLORREF colour) {
  auto& cache = BrushCache();
  static MenuBrush* lastHit = nullptr;
  if (lastHit && lastHit->Style() == style && lastHit->Colour() == colour) return lastHit->Handle();
  for (auto& brush : cache) {
    if (brush->Style() == style && brush->Colour() == colour) {
      lastHit = brush.get();
      return brush->Handle();
    }
  }
  cache.push_back(std::make_unique<MenuBrush>(style, colour));
  lastHit = cache.back().get();
  return lastHit->Handle();
}

bool IsVersion2Or5() {
  const int version = GetStyledMenuWinVersion();
  return version == 2 || version == 5;
}

}  // namespace

COLORREF GetMenuBackColor(HMENU hMenu) {
  if (HBRUSH brush = MenuBackgroundBrush(hMenu)) {
    // Only a solid brush has a colour of its own; a pattern brush's is meaningless.
    LOGBRUSH logBrush{};
    if (GetObjectA(brush, sizeof logBrush, &logBrush) && logBrush.lbStyle == BS_SOLID) return logBrush.lbColor;
  }
  if (GetStyledMenuWinVersion() == 7 && FlatMenusNow()) return GetSysColor(COLOR_MENUBAR);
  return GetSysColor(COLOR_MENU);
}

COLORREF GetMenuBackColorThemed(HMENU hMenu) {
  if (GetStyledMenuWinVersion() == 7 && ThemeActive()) {
    if (HBRUSH brush = MenuBackgroundBrush(hMenu)) {
      LOGBRUSH logBrush{};
      if (GetObjectA(brush, sizeof logBrush, &logBrush) && logBrush.lbStyle == BS_SOLID) return logBrush.lbColor;
    }
    return GetSysColor(COLOR_MENUBAR);
  }
  return GetMenuBackColor(hMenu);
}

COLORREF GetMenuBarFaceColor() { return GetSysColor(IsVersion2Or5() ? COLOR_MENU : COLOR_BTNFACE); }

COLORREF GetSelectionColor() {
  if (Lib().highContrast) return GetSysColor(COLOR_HIGHLIGHT);
  if (Lib().FewColours()) return GetSysColor(COLOR_WINDOW);
  return Mix70(GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_HIGHLIGHT));
}

COLORREF GetGradientBarColor() {
  if (IsVersion2Or5()) return GetSysColor(COLOR_MENU);
  COLORREF colour = Mix70(Darken(10, GetSysColor(COLOR_WINDOW)), GetSysColor(COLOR_ACTIVECAPTION));
  HDC screen = GetDC(nullptr);
  colour = GetNearestColor(screen, colour);
  ReleaseDC(nullptr, screen);
  // The three default schemes of Windows XP get the tints of their own toolbars.
  if (colour == RGB(172, 197, 240)) return RGB(163, 194, 245);
  if (colour == RGB(230, 230, 230)) return RGB(215, 215, 229);
  if (colour == RGB(214, 220, 204)) return RGB(218, 218, 170);
  return colour;
}

void DrawGradient(HDC hDC, const RECT& rect, COLORREF from, COLORREF to, BOOL horizontal, BOOL dither) {
  const bool manyColours = GetDeviceCaps(hDC, NUMCOLORS) == -1;
  const bool solidBrushes = manyColours || !dither;
  if (solidBrushes) {
    if (GradientFillFn gradientFill = Lib().gradientFill) {
      TRIVERTEX vertices[2] = {
          {rect.left, rect.top, COLOR16(GetRValue(from) << 8), COLOR16(GetGValue(from) << 8),
           COLOR16(GetBValue(from) << 8), 0},
          {rect.right, rect.bottom, COLOR16(GetRValue(to) << 8), COLOR16(GetGValue(to) << 8),
           COLOR16(GetBValue(to) << 8), 0}};
      GRADIENT_RECT mesh{0, 1};
      gradientFill(hDC, vertices, 2, &mesh, 1, horizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
      return;
    }
  }
  auto fill = [&](const RECT& r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(solidBrushes ? colour : GetNearestColor(hDC, colour));
    FillRect(hDC, &r, brush);
    DeleteObject(brush);
  };
  fill(rect, to);
  const int steps = (horizontal ? rect.right - rect.left : rect.bottom - rect.top) - 2;
  if (steps <= 0) return;  // no room for bands: the solid fill stands
  for (int i = 0; i <= steps; i += 2) {
    COLORREF colour = RGB(GetRValue(from) + MulDiv(GetRValue(to) - GetRValue(from), i, steps),
                          GetGValue(from) + MulDiv(GetGValue(to) - GetGValue(from), i, steps),
                          GetBValue(from) + MulDiv(GetBValue(to) - GetBValue(from), i, steps));
    RECT band = horizontal ? RECT{rect.left + i, rect.top, rect.left + i + 2, rect.bottom}
                           : RECT{rect.left, rect.top + i, rect.right, rect.top + i + 2};
    fill(band, colour);
  }
}

HBRUSH GetMenuBarBrush() {
  switch (CStyledMenu::GetMenuDrawMode()) {
    case CStyledMenu::STYLE_XP:
    case CStyledMenu::STYLE_XP_SYSTEMFRAME: return CachedBrush(CStyledMenu::STYLE_XP, GetSysColor(COLOR_BTNFACE));
    case CStyledMenu::STYLE_XP_GRADIENT:
    case CStyledMenu::STYLE_XP_GRADIENT_SYSTEMFRAME: {
      const COLORREF colour = GetGradientBarColor();
      const bool solid = Lib().displayColours < 256 || Lib().highContrast;
      return CachedBrush(solid ? CStyledMenu::STYLE_XP : CStyledMenu::STYLE_XP_GRADIENT, colour);
    }
    default: return nullptr;
  }
}
