// Start-up and shutdown of the styled menus, and the library-wide switches.
#include "library.h"

#include <cstring>
#include <utility>

#include "frame_painter.h"
#include "icon_store_list.h"
#include "item_routines.h"
#include "menu_window.h"
#include "menus/styled_menu.h"

namespace styled_menu {
namespace {

LOGFONTA SystemMenuFont() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return metrics.lfMenuFont;
  LOGFONTA font{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  return font;
}

CStyledMenuFramePainter* StyleIn(const Library& lib, int code) {
  for (auto& style : lib.styles)
    if (style->Code() == code) return style.get();
  return nullptr;
}

void AddStyle(Library& lib, int code) {
  if (StyleIn(lib, code)) return;
  const bool flat = code == CStyledMenu::STYLE_XP || code == CStyledMenu::STYLE_XP_SYSTEMFRAME ||
                    code == CStyledMenu::STYLE_XP_GRADIENT || code == CStyledMenu::STYLE_XP_GRADIENT_SYSTEMFRAME;
  MeasureRoutine measure = flat ? MeasureFlat
                           : (code == CStyledMenu::STYLE_GRADIENT || code == CStyledMenu::STYLE_GRADIENT_SYSTEMFRAME)
                               ? MeasureGradient
                               : MeasureClassic;
  DrawRoutine draw = DrawClassicItem;
  switch (code) {
    case CStyledMenu::STYLE_XP:
    case CStyledMenu::STYLE_XP_SYSTEMFRAME: draw = DrawFlatItem; break;
    case CStyledMenu::STYLE_XP_GRADIENT:
    case CStyledMenu::STYLE_XP_GRADIENT_SYSTEMFRAME: draw = DrawFlatGradientItem; break;
    case CStyledMenu::STYLE_GRADIENT:
    case CStyledMenu::STYLE_GRADIENT_SYSTEMFRAME: draw = DrawGradientItem; break;
    case CStyledMenu::STYLE_FLATBAR:
    case CStyledMenu::STYLE_FLATBAR_SYSTEMFRAME: draw = DrawFlatBarItem; break;
  }
  if (flat)
    lib.styles.push_back(std::make_unique<CStyledMenuFramePainterAlt>(code, measure, draw, lib.flatMenusAtStart));
  else
    lib.styles.push_back(std::make_unique<CStyledMenuFramePainter>(code, measure, draw, lib.flatMenusAtStart));
}

void StartUp(Library& lib) {
  HDC screen = GetDC(nullptr);
  const int colours = GetDeviceCaps(screen, NUMCOLORS);
  ReleaseDC(nullptr, screen);
  lib.displayColours = colours == -1 ? 64000 : colours;
  lib.flatMenusAtStart = FlatMenusNow();
  lib.menuFont = SystemMenuFont();

  lib.remoteDesktop = GetStyledMenuWinVersion() > 5 && GetSystemMetrics(SM_REMOTESESSION) != 0;
  HIGHCONTRASTA contrast{};
  contrast.cbSize = 12;  // the structure as 32-bit programs pass it
  lib.highContrast = SystemParametersInfoA(SPI_GETHIGHCONTRAST, contrast.cbSize, &contrast, 0) &&
                     (contrast.dwFlags & HCF_HIGHCONTRASTON);

  if ((lib.themeLibrary = LoadLibraryA("uxtheme.dll"))) {
    lib.isThemeActive = reinterpret_cast<IsThemeActiveFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(lib.themeLibrary, "IsThemeActive")));
  }
  if (GetStyledMenuWinVersion() != 3 && (lib.gradientLibrary = LoadLibraryA("Msimg32.dll"))) {
    lib.gradientFill = reinterpret_cast<GradientFillFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(lib.gradientLibrary, "GradientFill")));
  }

  for (int code : {6, 7, 0, 1, 2, 3, 8, 9, 4, 5}) AddStyle(lib, code);
  lib.currentStyle = StyleIn(lib, CStyledMenu::STYLE_XP);

  lib.hook = SetWindowsHookExA(WH_CALLWNDPROC, HookProcedure, nullptr, GetCurrentThreadId());
  // Without the hook menus still work, inside the system's frame.
  if (!lib.hook) ShowLastError();
}

void ShutDown(Library& lib) {
  if (lib.hook && !UnhookWindowsHookEx(lib.hook)) ShowLastError();
  lib.hook = nullptr;
  lib.currentStyle = nullptr;
  lib.styles.clear();
  lib.isThemeActive = nullptr;
  lib.gradientFill = nullptr;
  if (lib.themeLibrary) FreeLibrary(lib.themeLibrary);
  if (lib.gradientLibrary) FreeLibrary(lib.gradientLibrary);
  lib.themeLibrary = lib.gradientLibrary = nullptr;
  ForgetIconStores();
}

struct ShutDownAtExit {
  ~ShutDownAtExit() { ShutDown(Lib()); }
};

}  // namespace

Library& Lib() {
  static Library* lib = [] {
    GetStyledMenuWinVersion();
    auto* state = new Library;
    StartUp(*state);
    return state;
  }();
  static ShutDownAtExit shutDownAtExit;
  return *lib;
}

CStyledMenuFramePainter* FindStyle(int code) { return StyleIn(Lib(), code); }

bool FlatMenusNow() {
  BOOL flat = FALSE;
  return SystemParametersInfoA(SPI_GETFLATMENU, 0, &flat, 0) && flat;
}

bool ThemeActive() { return Lib().isThemeActive && Lib().isThemeActive(); }

}  // namespace styled_menu

using styled_menu::Lib;

int CStyledMenu::SetMenuDrawMode(int code) {
  CStyledMenuFramePainter* style = styled_menu::FindStyle(code);
  if (!style) return -1;
  const int previous = GetMenuDrawMode();
  Lib().currentStyle = style;
  return previous;
}

int CStyledMenu::GetMenuDrawMode() { return Lib().currentStyle ? Lib().currentStyle->Code() : -1; }

BOOL CStyledMenu::SetSelectDisabled(BOOL select) { return std::exchange(Lib().selectDisabled, select); }
BOOL CStyledMenu::GetSelectDisabled() { return Lib().selectDisabled; }
BOOL CStyledMenu::SetIconVariants(BOOL variants) { return std::exchange(Lib().iconVariants, variants); }
BOOL CStyledMenu::GetIconVariants() { return Lib().iconVariants; }
BOOL CStyledMenu::SetDrawAllMenus(BOOL drawAll) { return std::exchange(Lib().drawAllMenus, drawAll); }
BOOL CStyledMenu::GetDrawAllMenus() { return Lib().drawAllMenus; }

void CStyledMenu::SetMenuFont(const LOGFONT& font) { Lib().menuFont = font; }

BOOL CStyledMenu::SetMenuFont(CFont* font) {
  LOGFONT logFont{};
  if (!font || !font->GetLogFont(&logFont)) return FALSE;
  Lib().menuFont = logFont;
  return TRUE;
}

void CStyledMenu::GetMenuFont(LOGFONT* font) {
  if (font) *font = Lib().menuFont;
}
