// What decides the icon menus' look: the version code, the theme and the drawing settings.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "icon_menu_look.h"

namespace menus_test {
namespace {

OSVERSIONINFOA Version(DWORD major, DWORD minor) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  info.dwMajorVersion = major;
  info.dwMinorVersion = minor;
  return info;
}

TEST(IconMenuLookTest, VersionCodesFollowTheSystemsTable) {
  const DWORD windows9x = 0x80000004u, win32s = 0x80000003u, nt = 0x00000005u;
  const OSVERSIONINFOA v310 = Version(3, 10), v400 = Version(4, 0), v410 = Version(4, 10), v490 = Version(4, 90),
                       v500 = Version(5, 0), v501 = Version(5, 1), v502 = Version(5, 2), v600 = Version(6, 0);
  EXPECT_EQ(0, icon_menu::VersionCodeOf(win32s, &v310));
  EXPECT_EQ(2, icon_menu::VersionCodeOf(windows9x, &v400));
  EXPECT_EQ(3, icon_menu::VersionCodeOf(windows9x, &v410));
  EXPECT_EQ(4, icon_menu::VersionCodeOf(windows9x, &v490));
  EXPECT_EQ(2, icon_menu::VersionCodeOf(windows9x, nullptr));
  EXPECT_EQ(5, icon_menu::VersionCodeOf(nt, &v400));
  EXPECT_EQ(6, icon_menu::VersionCodeOf(nt, &v500));
  EXPECT_EQ(7, icon_menu::VersionCodeOf(nt, &v501));
  // Every other NT version, later ones included, is 1.
  EXPECT_EQ(1, icon_menu::VersionCodeOf(nt, &v502));
  EXPECT_EQ(1, icon_menu::VersionCodeOf(nt, &v600));
  EXPECT_EQ(1, icon_menu::VersionCodeOf(nt, &v310));
  EXPECT_EQ(1, icon_menu::VersionCodeOf(nt, nullptr));
}

TEST(IconMenuLookTest, TheClassicThemeIsKnownByTheEndOfItsFileName) {
  const std::string path = "C:\\WINDOWS\\Resources\\Themes\\Windows Classic.theme";
  EXPECT_TRUE(icon_menu::IsClassicThemeName(path.c_str(), DWORD(path.size())));
  EXPECT_TRUE(icon_menu::IsClassicThemeName("windows classic.THEME", 21));
  EXPECT_FALSE(icon_menu::IsClassicThemeName("C:\\Themes\\Luna.theme", 20));
  // Shorter than the name it is compared with, and a value read without its end.
  EXPECT_FALSE(icon_menu::IsClassicThemeName("Classic.theme", 13));
  EXPECT_TRUE(icon_menu::IsClassicThemeName("Windows Classic.theme and more", 21));
  EXPECT_FALSE(icon_menu::IsClassicThemeName("Windows Classic.theme and more", 30));
  EXPECT_FALSE(icon_menu::IsClassicThemeName(nullptr, 0));
}

// Windows XP (5.1) without a theme setting by default; other processes run under other versions.
TEST(IconMenuLookTest, ThisSystemsLookFollowsTheDrawModes) {
  const char* version = std::getenv("CORVANE_WINVER");
  const std::string reported = version ? version : "5.1";
  const int expected = reported == "5.0" ? 6 : reported == "4.10" ? 3 : reported == "4.90" ? 4
                       : reported == "5.1" ? 7 : reported == "3.10" ? 0 : 1;
  EXPECT_EQ(expected, icon_menu::GetWinVersionCode()) << reported;
  EXPECT_EQ(expected >= 2, icon_menu::IsNewShell() != FALSE);
  const bool xp = expected == 7;
  EXPECT_EQ(xp, icon_menu::IsXpThemeActive() != FALSE);

  // XP draws the XP look and selects no disabled item; the others the classic look.
  EXPECT_EQ(xp, icon_menu::UsesXpDrawing() != FALSE);
  EXPECT_EQ(xp ? 0 : 1, icon_menu::SelectDisabled());
  icon_menu::SetMenuDrawMode(1);
  EXPECT_TRUE(icon_menu::UsesXpDrawing());
  EXPECT_EQ(0, icon_menu::SelectDisabled());
  icon_menu::SetMenuDrawMode(0);
  EXPECT_FALSE(icon_menu::UsesXpDrawing());
  EXPECT_EQ(1, icon_menu::SelectDisabled());
  icon_menu::Settings() = icon_menu::DrawSettings();
}

// Runs in a process of its own, which chooses the classic theme before anything reads it.
TEST(IconMenuLookTest, ClassicThemeTurnsTheXpThemeOff) {
  const char* theme = std::getenv("CORVANE_TEST_THEME");
  if (!theme || std::string(theme) != "classic") GTEST_SKIP() << "runs in its own process";
  const std::string value = "C:\\WINDOWS\\Resources\\Themes\\Windows Classic.theme";
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Plus!\\Themes\\Current", REG_SZ,
                                        value.c_str(), DWORD(value.size())));
  EXPECT_TRUE(icon_menu::IsClassicThemeActive());
  EXPECT_EQ(7, icon_menu::GetWinVersionCode());
  EXPECT_FALSE(icon_menu::IsXpThemeActive());
  // The classic draw mode decides, and the answer was read once.
  EXPECT_FALSE(icon_menu::UsesXpDrawing());
  RegSetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Plus!\\Themes\\Current", REG_SZ, "Luna.theme", 10);
  EXPECT_TRUE(icon_menu::IsClassicThemeActive());
}

}  // namespace
}  // namespace menus_test
