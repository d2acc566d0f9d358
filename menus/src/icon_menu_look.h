#pragma once
// What decides the look of the icon menus: the Windows version code, whether the classic theme
// or the XP theme is active, and the process-wide drawing settings.
#include "mfc/afxwnd.h"

namespace icon_menu {

// 0 Win32s, 2 Windows 95, 3 Windows 98, 4 Windows Me, 5 NT 4, 6 Windows 2000, 7 Windows XP, 1 any
// other NT version. info is the version block, or null when it could not be had.
int VersionCodeOf(DWORD version, const OSVERSIONINFOA* info);
// The code of this system, probed on first use.
int GetWinVersionCode();
BOOL IsNewShell();

// Whether a theme file name (the registry's current theme, length bytes that need not end in a
// NUL) names the classic theme.
BOOL IsClassicThemeName(const char* value, DWORD length);
// The current theme read from the registry on first use; a key that cannot be read counts as
// not classic.
BOOL IsClassicThemeActive();
BOOL IsXpThemeActive();

// The process-wide drawing settings, read and changed by the icon menus.
struct DrawSettings {
  int classicDrawMode = 0;        // the look without the XP theme: 1 the XP look, else the classic one
  int xpDrawMode = 1;             // the look with the XP theme
  int classicSelectDisabled = 1;  // in the classic look a disabled item may be drawn selected
  int xpSelectDisabled = 0;       // in the XP look a disabled item may be drawn selected
  int xp3dImages = 1;             // in the XP look every image is kept with two derived images
};
DrawSettings& Settings();

// Both draw modes.
void SetMenuDrawMode(int mode);
// The XP look is drawn when the draw mode of the current theme state is 1.
BOOL UsesXpDrawing();
// The select-disabled setting of the look drawn.
int SelectDisabled();

}  // namespace icon_menu
