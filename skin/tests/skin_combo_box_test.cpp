// The skinned combo box: its parts laid out from the skin, the drop list that starts hidden with
// its scroll bar, opening and closing with the dialog's background put back, a pick through the
// drop list into the edit, and parts that act on their own combo box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/skin_combo_box.h"
#include "test_host.h"
#include "testing/ui_driver.h"

namespace {

using skin_test::kBackLeft;
using skin_test::MakeBitmap;
using skin_test::TestHost;
using testing_ui::UiDriver;

constexpr COLORREF kEditFrame = RGB(255, 128, 0);
constexpr COLORREF kListBack = RGB(230, 230, 250);

SkinComboBoxInfo ComboInfo(const CRect& rect) {
  SkinComboBoxInfo info;
  info.name = "COMBO_PROFILE";
  info.rect = rect;
  info.buttonStrip = MakeBitmap(64, 20, RGB(90, 90, 90));  // a button 16 x 20
  info.editBack = RGB(255, 255, 255);
  info.editText = RGB(0, 0, 0);
  info.editFrame = kEditFrame;
  info.listColours = {kListBack, RGB(0, 0, 0), RGB(0, 0, 160), RGB(255, 255, 255)};
  info.scrollBar.channel = MakeBitmap(10, 4, RGB(120, 120, 120));
  info.scrollBar.upArrow = MakeBitmap(10, 8, RGB(200, 0, 0));
  info.scrollBar.upArrowPressed = MakeBitmap(10, 8, RGB(255, 0, 0));
  info.scrollBar.downArrow = MakeBitmap(10, 8, RGB(0, 200, 0));
  info.scrollBar.downArrowPressed = MakeBitmap(10, 8, RGB(0, 255, 0));
  info.scrollBar.thumb = MakeBitmap(10, 6, RGB(0, 0, 200));
  info.scrollBar.thumbPressed = MakeBitmap(10, 6, RGB(0, 0, 255));
  return info;
}

struct ComboTest : ::testing::Test {
  UiDriver ui;
  TestHost host{0, 0, 300, 200};
  CSkinComboBox combo;

  void SetUp() override {
    // Only 40 pixels high: the drop list still gets 50.
    SkinComboBoxInfo info = ComboInfo(CRect(20, 20, 170, 60));
    ASSERT_TRUE(combo.CreateFromSkin(info, &host));
    for (const char* text : {"Alpha", "Beta", "Gamma"}) combo.AddString(text);
    ui.Pump();
  }
  COLORREF HostAt(int x, int y) { return UiDriver::PixelAt(TestHost::ScreenPoint(host, x, y)); }
  CString EditText(CSkinComboBox& box) {
    CString text;
    box.GetEdit().GetWindowText(text);
    return text;
  }
  POINT RowPoint(CSkinComboBox& box, int row) {
    CRect rect;
    box.GetDropList().GetItemRect(row, &rect, LVIR_BOUNDS);
    return TestHost::ScreenPoint(box.GetDropList(), 20, rect.CenterPoint().y);
  }
};

TEST_F(ComboTest, PartsLaidOutAndTheListStartsHiddenWithItsScrollBar) {
  CRect edit, list, bar;
  combo.GetEdit().GetWindowRect(&edit);
  host.ScreenToClient(&edit);
  EXPECT_EQ(edit, CRect(20, 20, 154, 40));
  EXPECT_EQ(combo.GetButtonRect(), CRect(154, 19, 170, 41));
  combo.GetDropList().GetWindowRect(&list);
  host.ScreenToClient(&list);
  combo.GetDropList().GetScrollBar().GetWindowRect(&bar);
  host.ScreenToClient(&bar);
  EXPECT_EQ(list, CRect(20, 42, 159, 92));
  EXPECT_EQ(bar, CRect(159, 42, 169, 92));

  EXPECT_TRUE(combo.IsListHidden());
  EXPECT_FALSE(combo.GetDropList().IsWindowVisible());
  EXPECT_FALSE(combo.GetDropList().GetScrollBar().IsWindowVisible());
  EXPECT_EQ(HostAt(60, 70), kBackLeft);
  EXPECT_EQ(HostAt(19, 41), kBackLeft);
}

TEST_F(ComboTest, OpeningFramesTheListAndClosingPutsTheBackgroundBack) {
  combo.ToggleDropDown();
  ui.Pump();
  EXPECT_FALSE(combo.IsListHidden());
  EXPECT_TRUE(combo.GetDropList().GetScrollBar().IsWindowVisible());
  EXPECT_EQ(HostAt(19, 41), kEditFrame);
  EXPECT_EQ(HostAt(100, 92), kEditFrame);
  EXPECT_EQ(HostAt(60, 88), kListBack);

  combo.ToggleDropDown();
  ui.Pump();
  EXPECT_TRUE(combo.IsListHidden());
  EXPECT_EQ(HostAt(19, 41), kBackLeft);
  EXPECT_EQ(HostAt(60, 88), kBackLeft);
  EXPECT_EQ(HostAt(100, 92), kBackLeft);
}

TEST_F(ComboTest, APickInTheDropListGoesIntoTheEditAndClosesTheList) {
  combo.ToggleDropDown();
  ui.Pump();
  ui.Click(RowPoint(combo, 1));
  EXPECT_EQ(EditText(combo), "Beta");
  EXPECT_TRUE(combo.IsListHidden());
  EXPECT_FALSE(combo.GetDropList().IsWindowVisible());

  // No row selected: the edit is emptied.
  combo.ToggleDropDown();
  combo.GetDropList().DeleteAllItems();
  ui.Pump();
  CRect client;
  combo.GetDropList().GetClientRect(&client);
  ui.Click(TestHost::ScreenPoint(combo.GetDropList(), 20, client.bottom - 2));
  EXPECT_EQ(EditText(combo), "");
  EXPECT_TRUE(combo.IsListHidden());

  combo.SetText("Gamma");
  EXPECT_EQ(EditText(combo), "Gamma");
  EXPECT_TRUE(combo.IsListHidden());
}

TEST_F(ComboTest, EachComboBoxsListPicksIntoItsOwnEdit) {
  CSkinComboBox second;
  SkinComboBoxInfo info = ComboInfo(CRect(180, 20, 290, 100));
  ASSERT_TRUE(second.CreateFromSkin(info, &host));
  second.AddString("One");
  second.AddString("Two");
  combo.SetText("Alpha");
  second.ToggleDropDown();
  ui.Pump();
  ui.Click(RowPoint(second, 1));
  EXPECT_EQ(EditText(second), "Two");
  EXPECT_EQ(EditText(combo), "Alpha");
  EXPECT_TRUE(second.IsListHidden());
}

TEST_F(ComboTest, RemovingTheSelectedRowKeepsTheOthersInOrder) {
  CSkinListCtrl& list = combo.GetDropList();
  list.RemoveSelected();
  ASSERT_EQ(list.GetItemCount(), 3);
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  list.RemoveSelected();
  ASSERT_EQ(list.GetItemCount(), 2);
  EXPECT_EQ(list.GetItemText(0, 0), "Alpha");
  EXPECT_EQ(list.GetItemText(1, 0), "Gamma");
}

}  // namespace
