// The skin list box and its bitmap scroll bar: rows numbered and moved, the skin's colours for
// selected rows, the bar beside the list, scrolling by arrows (with auto-repeat), pages and the
// thumb, the hover look, and double-clicks reported to the dialog.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/skin_list_box.h"
#include "test_host.h"
#include "testing/ui_driver.h"

namespace {

using skin_test::MakeBitmap;
using skin_test::TestHost;
using testing_ui::UiDriver;

constexpr COLORREF kNormalBack = RGB(240, 240, 230);
constexpr COLORREF kNormalText = RGB(20, 20, 20);
constexpr COLORREF kSelectedBack = RGB(30, 90, 160);
constexpr COLORREF kSelectedText = RGB(250, 250, 250);
constexpr COLORREF kChannel = RGB(100, 100, 100);
constexpr COLORREF kUp = RGB(200, 0, 0);
constexpr COLORREF kUpPressed = RGB(255, 80, 80);
constexpr COLORREF kDown = RGB(0, 200, 0);
constexpr COLORREF kDownPressed = RGB(80, 255, 80);
constexpr COLORREF kThumb = RGB(0, 0, 200);
constexpr COLORREF kThumbPressed = RGB(80, 80, 255);

// A list 120 x 100 at (10, 10) of the host, with a bar 12 wide: arrows 12 x 10, thumb 12 x 8.
struct ListBoxTest : ::testing::Test {
  UiDriver ui;
  TestHost host{0, 0, 300, 200};
  CSkinListBoxCtrl list;

  void SetUp() override {
    SkinListBoxInfo info;
    info.name = "LIST_FILES";
    info.index = 1;
    info.rect = CRect(10, 10, 130, 110);
    info.colours = {kNormalBack, kNormalText, kSelectedBack, kSelectedText};
    info.scrollBar.channel = MakeBitmap(12, 4, kChannel);
    info.scrollBar.upArrow = MakeBitmap(12, 10, kUp);
    info.scrollBar.upArrowPressed = MakeBitmap(12, 10, kUpPressed);
    info.scrollBar.downArrow = MakeBitmap(12, 10, kDown);
    info.scrollBar.downArrowPressed = MakeBitmap(12, 10, kDownPressed);
    info.scrollBar.thumb = MakeBitmap(12, 8, kThumb);
    info.scrollBar.thumbPressed = MakeBitmap(12, 8, kThumbPressed);
    ASSERT_TRUE(list.CreateFromSkin(info, &host));
    ui.Pump();
  }
  void AddRows(int count) {
    for (int row = 0; row < count; ++row) list.AddRow(("file" + std::to_string(row)).c_str(), "a", "b");
    ui.Pump();
  }
  std::vector<std::string> Column(int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < list.GetItemCount(); ++row) texts.push_back(std::string(list.GetItemText(row, column)));
    return texts;
  }
  CSkinScrollBar& Bar() { return list.GetScrollBar(); }
  POINT OnBar(int x, int y) { return TestHost::ScreenPoint(Bar(), x, y); }
  COLORREF BarAt(int x, int y) { return UiDriver::PixelAt(OnBar(x, y)); }
};

TEST_F(ListBoxTest, TheBarTakesTheListsRightEdge) {
  CRect listRect, barRect;
  list.GetWindowRect(&listRect);
  host.ScreenToClient(&listRect);
  Bar().GetWindowRect(&barRect);
  host.ScreenToClient(&barRect);
  EXPECT_EQ(listRect, CRect(10, 10, 118, 110));
  EXPECT_EQ(barRect, CRect(118, 10, 130, 110));
  EXPECT_EQ(Bar().GetDlgCtrlID(), 0xFFFF);
}

TEST_F(ListBoxTest, RowsAreNumberedAndMoved) {
  AddRows(10);
  EXPECT_EQ(list.GetItemText(0, 0), "  1.");
  EXPECT_EQ(list.GetItemText(9, 0), " 10.");
  EXPECT_EQ(list.GetItemText(0, 1), "file0");
  EXPECT_EQ(list.GetItemText(0, 3), "b");

  const std::vector<std::string> start{"file0", "file1", "file2", "file3", "file4"};
  auto fiveRows = [&] {
    list.DeleteAllItems();
    AddRows(5);
  };
  fiveRows();
  EXPECT_TRUE(list.MoveItem(3, 1));
  EXPECT_EQ(Column(1), (std::vector<std::string>{"file0", "file3", "file1", "file2", "file4"}));
  EXPECT_EQ(list.GetItemText(1, 0), "  4.");  // the number goes with the row
  fiveRows();
  EXPECT_TRUE(list.MoveItem(1, 3));
  EXPECT_EQ(Column(1), (std::vector<std::string>{"file0", "file2", "file1", "file3", "file4"}));
  fiveRows();
  EXPECT_FALSE(list.MoveItem(2, 2));
  EXPECT_FALSE(list.MoveItem(-1, 2));
  EXPECT_FALSE(list.MoveItem(2, -1));
  EXPECT_FALSE(list.MoveItem(7, 1));  // no such row
  EXPECT_EQ(Column(1), start);

  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
  list.DeleteSelected();
  EXPECT_EQ(Column(1), (std::vector<std::string>{"file0", "file2", "file4"}));
}

TEST_F(ListBoxTest, SelectedRowsShowTheSkinsColours) {
  AddRows(3);
  list.SetFocus();
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  ui.Pump();
  CRect row0, row1;
  list.GetItemRect(0, &row0, LVIR_BOUNDS);
  list.GetItemRect(1, &row1, LVIR_BOUNDS);
  const int x = row1.right - 2;  // right of the text
  EXPECT_EQ(UiDriver::PixelAt(TestHost::ScreenPoint(list, x, row1.top + 1)), kSelectedBack);
  EXPECT_EQ(UiDriver::PixelAt(TestHost::ScreenPoint(list, x, row0.top + 1)), kNormalBack);
  EXPECT_TRUE(list.GetItemState(1, LVIS_SELECTED));  // given back after the paint
  CRect client;
  list.GetClientRect(&client);
  EXPECT_EQ(UiDriver::PixelAt(TestHost::ScreenPoint(list, 5, client.bottom - 2)), kNormalBack);
}

TEST_F(ListBoxTest, WithNothingToScrollTheBarIsFlat) {
  AddRows(2);
  EXPECT_EQ(BarAt(5, 2), kNormalBack);
  EXPECT_EQ(BarAt(5, 50), kNormalBack);
  EXPECT_EQ(BarAt(5, 97), kNormalBack);
  ui.Click(OnBar(5, 95));  // nothing to scroll, nothing breaks
  EXPECT_EQ(list.GetTopIndex(), 0);
}

TEST_F(ListBoxTest, ArrowsScrollALineAndRepeatWhileHeld) {
  AddRows(30);
  EXPECT_EQ(BarAt(5, 2), kUp);
  EXPECT_EQ(BarAt(5, 97), kDown);
  EXPECT_EQ(BarAt(5, 12), kThumb);
  EXPECT_EQ(BarAt(5, 50), kChannel);

  ui.Click(OnBar(5, 95));
  EXPECT_EQ(list.GetTopIndex(), 1);

  ui.MouseDown(OnBar(5, 95));
  EXPECT_EQ(BarAt(5, 97), kDownPressed);
  ui.AdvanceClock(240);
  EXPECT_EQ(list.GetTopIndex(), 1);
  ui.AdvanceClock(10);   // the delay is over: repeats start
  ui.AdvanceClock(50);
  EXPECT_EQ(list.GetTopIndex(), 2);
  ui.AdvanceClock(50);
  EXPECT_EQ(list.GetTopIndex(), 3);
  ui.MouseUp(OnBar(5, 95));  // and one more at the release
  EXPECT_EQ(list.GetTopIndex(), 4);
  ui.AdvanceClock(200);
  EXPECT_EQ(list.GetTopIndex(), 4);
  EXPECT_GT(Bar().GetThumbTop(), 10);

  ui.Click(OnBar(5, 5));
  EXPECT_EQ(list.GetTopIndex(), 3);
}

TEST_F(ListBoxTest, TheChannelPagesAndTheThumbDrags) {
  AddRows(30);
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_PAGE;
  ASSERT_TRUE(::GetScrollInfo(list.m_hWnd, SB_VERT, &info));
  const int page = int(info.nPage);
  ASSERT_GT(page, 0);
  ui.Click(OnBar(5, 80));  // below the thumb
  EXPECT_EQ(list.GetTopIndex(), page);
  const int thumbTop = Bar().GetThumbTop();
  EXPECT_GT(thumbTop, 10);
  ui.Click(OnBar(5, thumbTop - 2));  // above it
  EXPECT_EQ(list.GetTopIndex(), 0);

  ui.MouseDown(OnBar(5, 14));
  EXPECT_EQ(BarAt(5, 14), kThumbPressed);
  ui.MoveMouse(OnBar(5, 300));  // past the end: the list is at its end, the thumb on the arrow
  EXPECT_EQ(list.GetTopIndex(), 30 - page);
  EXPECT_EQ(Bar().GetThumbTop(), 100 - 10 - 8);
  ui.MoveMouse(OnBar(5, 14));
  EXPECT_EQ(list.GetTopIndex(), 0);
  ui.MouseUp(OnBar(5, 14));
  EXPECT_EQ(list.GetTopIndex(), 0);
  EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(ListBoxTest, HoverLookClearsWhenTheMouseMovesOnOverTheList) {
  AddRows(30);
  ui.MoveMouse(OnBar(5, 95));
  EXPECT_EQ(BarAt(5, 97), kDownPressed);
  // A point of the list whose list coordinates would lie on the bar's down arrow.
  ui.MoveMouse(TestHost::ScreenPoint(list, 5, 95));
  ui.Pump();
  EXPECT_EQ(BarAt(5, 97), kDown);
}

TEST_F(ListBoxTest, DoubleClickReportsTheListToTheDialog) {
  AddRows(3);
  CRect row;
  list.GetItemRect(1, &row, LVIR_BOUNDS);
  ui.DoubleClick(TestHost::ScreenPoint(list, 20, row.CenterPoint().y));
  EXPECT_EQ(host.listDblClks, std::vector<int>{1});
}

}  // namespace
