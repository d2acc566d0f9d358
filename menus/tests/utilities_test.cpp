// The version probe, free timer ids and the error box.
#include <cstdlib>
#include <string>

#include "menu_test_support.h"
#include "testing/ui_driver.h"

namespace menus_test {
namespace {

TEST(MenuUtilitiesTest, VersionCodeOfThisSystem) {
  // Windows XP (5.1) by default; other processes run under other versions. Server 2003 is 7
  // here as well.
  const char* version = std::getenv("CORVANE_WINVER");
  const std::string reported = version ? version : "5.1";
  const int expected = reported == "5.0" ? 6 : reported == "4.10" ? 3 : reported == "4.90" ? 4 : 7;
  EXPECT_EQ(GetStyledMenuWinVersion(), expected) << reported;
}

TEST(MenuUtilitiesTest, FreeTimersComeFrom31To99AndAreHandedOutOnce) {
  EXPECT_EQ(SetFreeTimer(nullptr, 100), 0u);
  HWND window = PlainWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(SetFreeTimer(window, 100), 31u);
  EXPECT_EQ(SetFreeTimer(window, 100), 32u);
  for (UINT id = 33; id <= 99; ++id) ASSERT_EQ(SetFreeTimer(window, 100), id);
  EXPECT_EQ(SetFreeTimer(window, 100), 0u);  // every id taken
  EXPECT_TRUE(KillFreeTimer(window, 40));
  EXPECT_FALSE(KillFreeTimer(window, 40));
  EXPECT_FALSE(KillFreeTimer(window, 5));
  EXPECT_EQ(SetFreeTimer(window, 100), 40u);
  // Another window has its own ids.
  HWND other = PlainWindow();
  EXPECT_EQ(SetFreeTimer(other, 100), 31u);
  DestroyWindow(other);
  DestroyWindow(window);
}

TEST(MenuUtilitiesTest, LastErrorShowsTheSystemTextOrSaysItHasNone) {
  testing_ui::UiDriver ui;
  SetLastError(0);
  ShowLastError();  // nothing to show
  ui.AnswerMessageBox(IDOK, "The parameter is incorrect.");
  SetLastError(ERROR_INVALID_PARAMETER);
  ShowLastError();
  ui.AnswerMessageBox(IDOK, "Error message 0x4d2 not found");
  SetLastError(1234);
  ShowLastError();
  ASSERT_EQ(ui.Seen().size(), 2u);
  EXPECT_EQ(ui.Seen()[0].caption, "Error");
  EXPECT_EQ(ui.Seen()[0].type & MB_ICONMASK, UINT(MB_ICONINFORMATION));
}

TEST(MenuUtilitiesTest, BitmapResourceTellsItsColourCount) {
  int colours = 0;
  HBITMAP missing = LoadBitmapWithDepth(MAKEINTRESOURCE(999), nullptr, &colours);
  EXPECT_EQ(missing, nullptr);
  HBITMAP sixteen = LoadBitmapWithDepth(MAKEINTRESOURCE(143), nullptr, &colours);
  ASSERT_NE(sixteen, nullptr);
  EXPECT_EQ(colours, 16);
  DeleteObject(sixteen);
  HBITMAP full = LoadBitmapWithDepth(MAKEINTRESOURCE(140), nullptr, &colours);
  ASSERT_NE(full, nullptr);
  EXPECT_EQ(colours, 256);
  DeleteObject(full);
}

}  // namespace
}  // namespace menus_test
