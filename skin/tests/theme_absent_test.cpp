// Without the theme library every call takes its fallback, so callers draw classically.
#include <gtest/gtest.h>

#include "skin/theme_api.h"

namespace {

TEST(ThemeApiWithoutLibrary, EveryCallFallsBack) {
  EXPECT_FALSE(CThemeApi::Load());
  EXPECT_FALSE(CThemeHandle::IsAppThemed());
  CThemeHandle theme(nullptr, u"BUTTON");
  EXPECT_TRUE(theme.IsNull());
  EXPECT_FALSE(theme.OpenThemeData(nullptr, u"BUTTON"));
  // A handle from elsewhere still reaches only fallbacks.
  theme.Attach(reinterpret_cast<HTHEME>(0x10));
  RECT r{0, 0, 10, 10};
  EXPECT_EQ(theme.DrawThemeBackground(nullptr, 1, 1, &r, nullptr), E_FAIL);
  EXPECT_EQ(theme.GetThemeSysColor(COLOR_WINDOW), COLORREF(0xFFFFFF));
  EXPECT_EQ(theme.CloseThemeData(), E_FAIL);
  EXPECT_TRUE(theme.IsNull());
  EXPECT_EQ(CThemeHandle::EnableThemeDialogTexture(nullptr, ETDT_ENABLETAB), E_FAIL);
  EXPECT_FALSE(CThemeHandle::IsThemeDialogTextureEnabled(nullptr));
  WCHAR name[8];
  EXPECT_EQ(CThemeHandle::GetCurrentThemeName(name, 8, nullptr, 0, nullptr, 0), E_FAIL);
  // The attempt is made once: Unload has nothing to forget and loading stays failed.
  CThemeApi::Unload();
  EXPECT_FALSE(CThemeApi::Load());
}

}  // namespace
