// The pickers' named colours and the custom colours kept in the registry between dialogs.
#include <gtest/gtest.h>

#include "skin/colour_table.h"
#include "testing/ui_driver.h"

namespace skin_test {
namespace {

using testing_ui::UiDriver;

TEST(ColourTableTest, NamedColoursAreFoundByValueAndOthersAreNot) {
  EXPECT_EQ(40, CColourTable::GetCount());
  EXPECT_EQ(0, CColourTable::Find(RGB(0, 0, 0)));
  EXPECT_EQ("Black", CColourTable::GetEntry(0).name);
  EXPECT_EQ(35, CColourTable::Find(RGB(152, 251, 152)));
  EXPECT_EQ("Pale green ", CColourTable::GetEntry(35).name);
  EXPECT_EQ(39, CColourTable::Find(RGB(255, 255, 255)));
  EXPECT_EQ(-1, CColourTable::Find(RGB(1, 2, 3)));
  EXPECT_EQ(-1, CColourTable::Find(CLR_DEFAULT));
  EXPECT_THROW(CColourTable::GetEntry(40), std::out_of_range);
}

TEST(ColourTableTest, MissingNameResourcesKeepTheDefaultNames) {
  CColourTable::SetColourNames(61000);  // no such strings in the test program
  EXPECT_EQ("Brown", CColourTable::GetEntry(1).name);
  CColourTable::SetColourNames(0);
  EXPECT_EQ("Lavender", CColourTable::GetEntry(38).name);
}

DWORD StoredCustomColour(const char* section, int index) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, section, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0xDEAD;
  DWORD value = 0xDEAD;
  DWORD size = sizeof value;
  const std::string name = "CUSTOM_COLOR_" + std::to_string(index);
  RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  return value;
}

TEST(ColourTableTest, CustomColoursStartWhiteAndAreKeptInTheSectionAcrossDialogs) {
  UiDriver ui;
  const char* section = "Software\\Corvane Tests\\Colour Picker";
  RegDeleteKeyA(HKEY_CURRENT_USER, section);

  // A fresh section offers white everywhere; the added colour lands in the first place.
  COLORREF colour = RGB(7, 8, 9);
  COLORREF firstOffered = 0;
  ui.AnswerModal([&](UiDriver& ui, HWND dlg) {
    firstOffered = GetDlgItemInt(dlg, COLOR_RED, nullptr, FALSE);
    ui.ClickWindow(GetDlgItem(dlg, COLOR_CUSTOM1 + 3));  // an untouched place
    ui.ClickWindow(GetDlgItem(dlg, IDCANCEL));
  });
  EXPECT_FALSE(ChooseColourWithCustomColours(nullptr, section, colour));
  EXPECT_EQ(7u, firstOffered);  // starts on the picker's colour
  EXPECT_EQ(RGB(7, 8, 9), colour);  // cancelled: unchanged
  EXPECT_EQ(0xFFFFFFu, StoredCustomColour(section, 3));

  ui.AddCustomColourInDialog(RGB(200, 100, 50));
  ASSERT_TRUE(ChooseColourWithCustomColours(nullptr, section, colour));
  EXPECT_EQ(RGB(200, 100, 50), colour);
  EXPECT_EQ(RGB(200, 100, 50), StoredCustomColour(section, 0));
  EXPECT_EQ(0xFFFFFFu, StoredCustomColour(section, 15));

  // The next dialog offers what the last one kept.
  colour = RGB(0, 0, 0);
  ui.PickCustomColourInDialog(0);
  ASSERT_TRUE(ChooseColourWithCustomColours(nullptr, section, colour));
  EXPECT_EQ(RGB(200, 100, 50), colour);
  RegDeleteKeyA(HKEY_CURRENT_USER, section);
}

TEST(ColourTableTest, WithoutASectionCustomColoursAreWhiteAndNotKept) {
  UiDriver ui;
  COLORREF colour = RGB(1, 1, 1);
  ui.AddCustomColourInDialog(RGB(9, 9, 9));
  ASSERT_TRUE(ChooseColourWithCustomColours(nullptr, "", colour));
  ui.PickCustomColourInDialog(0);
  ASSERT_TRUE(ChooseColourWithCustomColours(nullptr, "", colour));
  EXPECT_EQ(RGB(255, 255, 255), colour);
}

}  // namespace
}  // namespace skin_test
