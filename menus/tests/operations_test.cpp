// Building, converting, titles, removal and the pop-up life cycle of styled menus.
#include "menu_test_support.h"
#include "test_resources.h"

namespace menus_test {
namespace {

using OperationsTest = MenuTest;

MENUITEMINFOA ItemInfo(HMENU menu, int position) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU | MIIM_STATE;
  EXPECT_TRUE(GetMenuItemInfoA(menu, UINT(position), TRUE, &info));
  return info;
}

CStyledMenuItemData* DataOf(HMENU menu, int position) {
  return reinterpret_cast<CStyledMenuItemData*>(ItemInfo(menu, position).dwItemData);
}

TEST_F(OperationsTest, AppendedItemsAreOwnerDrawnWithTheirTextKept) {
  CStyledMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  ASSERT_TRUE(menu.AppendMenu(MF_STRING, 32769, "Options"));
  ASSERT_TRUE(menu.AppendMenu(MF_STRING, 0, "ignored"));  // no id: a separator
  ASSERT_TRUE(menu.AppendMenu(MF_SEPARATOR, 32770));
  ASSERT_EQ(menu.GetMenuItemCount(), 3);
  ASSERT_EQ(menu.Items().size(), 3u);

  const MENUITEMINFOA options = ItemInfo(menu.m_hMenu, 0);
  EXPECT_TRUE(options.fType & MFT_OWNERDRAW);
  EXPECT_EQ(options.wID, 32769u);
  EXPECT_EQ(DataOf(menu.m_hMenu, 0), menu.Items()[0]);
  EXPECT_EQ(menu.Items()[0]->text, "Options");
  char text[32] = {};
  GetMenuStringA(menu.m_hMenu, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Options");

  for (int position : {1, 2}) {
    const MENUITEMINFOA separator = ItemInfo(menu.m_hMenu, position);
    EXPECT_TRUE(separator.fType & MFT_SEPARATOR) << position;
    EXPECT_TRUE(separator.fType & MFT_OWNERDRAW) << position;
    EXPECT_TRUE(menu.Items()[size_t(position)]->IsSeparator()) << position;
    EXPECT_EQ(menu.Items()[size_t(position)]->text, "") << position;
  }
}

TEST_F(OperationsTest, InsertByCommandLandsInTheSubMenuHoldingIt) {
  CStyledMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, 1, "One");
  CStyledMenu* sub = menu.AppendSubMenu("Sub");
  ASSERT_NE(sub, nullptr);
  sub->AppendMenu(MF_STRING, 10, "Ten");
  ASSERT_TRUE(menu.InsertMenu(10, MF_STRING, 9, "Nine"));
  ASSERT_EQ(sub->GetMenuItemCount(), 2);
  EXPECT_EQ(sub->GetItemText(0), "Nine");
  EXPECT_EQ(sub->Items()[0]->commandOrMenu, 9u);
  EXPECT_EQ(sub->ParentMenu(), menu.m_hMenu);
  EXPECT_FALSE(menu.InsertMenu(77, MF_STRING, 78, "no such command"));
  ASSERT_TRUE(menu.InsertMenu(UINT(-1), MF_BYPOSITION | MF_STRING, 3, "Last"));
  EXPECT_EQ(menu.GetItemText(2), "Last");
}

TEST_F(OperationsTest, UpdateItemChangesTheCommandEverywhere) {
  CStyledMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, 7, "Seven");
  CStyledMenu* first = menu.AppendSubMenu("A");
  CStyledMenu* second = first->AppendSubMenu("B");
  first->AppendMenu(MF_STRING, 7, "Seven in A");
  second->AppendMenu(MF_STRING, 7, "Seven in B");
  second->AppendMenu(MF_STRING, 8, "Eight");
  ASSERT_TRUE(menu.UpdateItem("Renamed", 7, kRedBitmap));
  EXPECT_EQ(menu.GetItemText(0), "Renamed");
  EXPECT_EQ(first->GetItemText(1), "Renamed");
  EXPECT_EQ(second->GetItemText(0), "Renamed");
  EXPECT_EQ(second->GetItemText(1), "Eight");
  for (CStyledMenuItemData* data : {menu.Items()[0], first->Items()[1], second->Items()[0]}) {
    EXPECT_NE(data->icons, nullptr);
    EXPECT_EQ(data->iconIndex, menu.Items()[0]->iconIndex);
  }
  EXPECT_EQ(second->Items()[1]->icons, nullptr);
  // A null text keeps the text.
  ASSERT_TRUE(menu.UpdateItem(nullptr, 8));
  EXPECT_EQ(second->GetItemText(1), "Eight");
  EXPECT_FALSE(menu.UpdateItem("x", 99));
}

TEST_F(OperationsTest, VerticalTitleStartsANewColumnUntilRemoved) {
  CStyledMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, 1, "One");
  menu.AppendMenu(MF_STRING, 2, "Two");
  ASSERT_TRUE(menu.SetTitle("Title", CStyledMenu::TITLE_VERTICAL));
  ASSERT_EQ(menu.GetMenuItemCount(), 3);
  EXPECT_TRUE(menu.Items()[0]->IsTitle());
  EXPECT_EQ(menu.Items()[0]->titleFlags, CStyledMenu::TITLE_VERTICAL | CStyledMenu::TITLE_ITEM);
  EXPECT_TRUE(ItemInfo(menu.m_hMenu, 1).fType & MFT_MENUBREAK);
  EXPECT_TRUE(ItemInfo(menu.m_hMenu, 1).fType & MFT_OWNERDRAW);
  // Set again as a horizontal title: the same separator, the break goes.
  ASSERT_TRUE(menu.SetTitle("Across"));
  ASSERT_EQ(menu.GetMenuItemCount(), 3);
  EXPECT_FALSE(ItemInfo(menu.m_hMenu, 1).fType & MFT_MENUBREAK);
  ASSERT_TRUE(menu.SetTitle("Down", CStyledMenu::TITLE_VERTICAL));
  ASSERT_TRUE(menu.RemoveTitle());
  ASSERT_EQ(menu.GetMenuItemCount(), 2);
  EXPECT_EQ(menu.GetItemText(0), "One");
  EXPECT_FALSE(ItemInfo(menu.m_hMenu, 0).fType & MFT_MENUBREAK);
  EXPECT_FALSE(menu.RemoveTitle());
}

TEST_F(OperationsTest, DeletingASubMenuDestroysItOnce) {
  CStyledMenu menu;
  menu.CreatePopupMenu();
  CStyledMenu* sub = menu.AppendSubMenu("Sub");
  CStyledMenu* inner = sub->AppendSubMenu("Inner");
  inner->AppendMenu(MF_STRING, 5, "Five");
  const HMENU subHandle = sub->m_hMenu;
  const HMENU innerHandle = inner->m_hMenu;
  menu.AppendMenu(MF_STRING, 6, "Six");
  ASSERT_TRUE(menu.DeleteMenu(0, MF_BYPOSITION));
  EXPECT_FALSE(IsMenu(subHandle));
  EXPECT_FALSE(IsMenu(innerHandle));
  ASSERT_EQ(menu.Items().size(), 1u);
  EXPECT_EQ(menu.GetItemText(0), "Six");
  // A command deep in the tree is deleted where it lives.
  CStyledMenu* again = menu.AppendSubMenu("Again");
  again->AppendMenu(MF_STRING, 9, "Nine");
  again->AppendMenu(MF_STRING, 10, "Ten");
  ASSERT_TRUE(menu.DeleteMenu(9, MF_BYCOMMAND));
  ASSERT_EQ(again->Items().size(), 1u);
  EXPECT_EQ(again->GetItemText(0), "Ten");
}

TEST_F(OperationsTest, DestroyingAMenuTreeFreesEveryLevel) {
  const HMENU loaded = LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCE(kMenuResource));
  ASSERT_NE(loaded, nullptr);
  HMENU file = nullptr;
  {
    CStyledMenu menu;
    ASSERT_TRUE(menu.LoadMenu(loaded));
    file = GetSubMenu(loaded, 0);
    ASSERT_TRUE(IsMenu(file));
  }
  EXPECT_FALSE(IsMenu(loaded));
  EXPECT_FALSE(IsMenu(file));
}

TEST_F(OperationsTest, LoadedMenuIsConvertedOnEveryLevel) {
  CStyledMenu menu;
  ASSERT_TRUE(menu.LoadMenu(kMenuResource));
  EXPECT_FALSE(menu.IsPopup());
  ASSERT_EQ(menu.Items().size(), 2u);
  EXPECT_EQ(menu.Items()[0]->text, "&File");
  EXPECT_TRUE(ItemInfo(menu.m_hMenu, 0).fType & MFT_OWNERDRAW);
  CStyledMenu* file = CStyledMenu::FromMenuHandle(GetSubMenu(menu.m_hMenu, 0));
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(file->IsPopup());
  EXPECT_EQ(file->ParentMenu(), menu.m_hMenu);
  ASSERT_EQ(file->Items().size(), 3u);
  EXPECT_EQ(file->Items()[2]->text, "E&xit");
  EXPECT_TRUE(file->Items()[1]->IsSeparator());
  EXPECT_TRUE(ItemInfo(file->m_hMenu, 1).fType & MFT_OWNERDRAW);
  EXPECT_TRUE(ItemInfo(file->m_hMenu, 2).fState & MF_GRAYED);
  EXPECT_EQ(file->GetSubMenu("E&xit"), nullptr);
  EXPECT_EQ(menu.GetSubMenu("&File"), file);
  EXPECT_FALSE(menu.LoadMenu(kMenuResource));  // it holds a menu already
}

TEST_F(OperationsTest, OpeningConvertsItemsTheMenuDidNotMake) {
  CStyledMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, 1, "Styled");
  // Items added behind the styled menu's back, by the plain functions.
  AppendMenuA(menu.m_hMenu, MF_STRING, 2, "Plain");
  AppendMenuA(menu.m_hMenu, MF_SEPARATOR, 0, nullptr);
  CStyledMenuItemData* styled = menu.Items()[0];
  CStyledMenu::InitMenuPopup(nullptr, menu.m_hMenu, 0, FALSE);
  ASSERT_EQ(menu.Items().size(), 3u);
  EXPECT_EQ(menu.Items()[0], styled);  // kept, not made again
  EXPECT_EQ(menu.Items()[1]->text, "Plain");
  EXPECT_EQ(menu.Items()[1]->commandOrMenu, 2u);
  EXPECT_TRUE(menu.Items()[2]->IsSeparator());
  for (int position = 0; position < 3; ++position) {
    EXPECT_TRUE(ItemInfo(menu.m_hMenu, position).fType & MFT_OWNERDRAW) << position;
    EXPECT_EQ(DataOf(menu.m_hMenu, position), menu.Items()[size_t(position)]) << position;
  }
  menu.OnPopupClose();
}

TEST_F(OperationsTest, OpenSystemMenuCarriesShiftedCommandIds) {
  CStyledMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, SC_RESTORE, "&Restore");
  menu.AppendMenu(MF_STRING, SC_MINIMIZE, "Mi&nimize");
  menu.AppendMenu(MF_STRING, SC_CLOSE, "&Close");
  CStyledMenu::InitMenuPopup(nullptr, menu.m_hMenu, 0, TRUE);
  EXPECT_EQ(GetMenuItemID(menu.m_hMenu, 0), UINT(SC_RESTORE + 1));
  EXPECT_EQ(GetMenuItemID(menu.m_hMenu, 1), UINT(SC_MINIMIZE + 1));
  EXPECT_EQ(GetMenuItemID(menu.m_hMenu, 2), UINT(SC_CLOSE + 1));
  EXPECT_EQ(GetMenuItemID(menu.m_hMenu, 2) & 0xFFF0, UINT(SC_CLOSE));
  menu.OnPopupClose();
  EXPECT_EQ(GetMenuItemID(menu.m_hMenu, 0), UINT(SC_RESTORE));
  EXPECT_EQ(GetMenuItemID(menu.m_hMenu, 2), UINT(SC_CLOSE));
  EXPECT_EQ(menu.Items()[2]->commandOrMenu, UINT_PTR(SC_CLOSE));
}

TEST_F(OperationsTest, MnemonicsFindTheirItemButDoubledAmpersandsDoNot) {
  CStyledMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, 1, "Save && Quit");
  menu.AppendMenu(MF_STRING, 2, "&Open");
  menu.AppendMenu(MF_STRING, 3, "Tom && &Jerry");
  EXPECT_EQ(CStyledMenu::OnMenuChar('o', 0, &menu), MAKELRESULT(1, MNC_EXECUTE));
  EXPECT_EQ(CStyledMenu::OnMenuChar('J', 0, &menu), MAKELRESULT(2, MNC_EXECUTE));
  EXPECT_EQ(CStyledMenu::OnMenuChar(' ', 0, &menu), 0);  // "&&" then " ": not a mnemonic
  EXPECT_EQ(CStyledMenu::OnMenuChar('&', 0, &menu), 0);
  CMenu plain;
  plain.CreatePopupMenu();
  plain.AppendMenu(MF_STRING, 1, "&Open");
  EXPECT_EQ(CStyledMenu::OnMenuChar('o', 0, &plain), 0);
}

TEST_F(OperationsTest, RemovingNextToAnItemSkipsPositionsBeforeTheFirst) {
  CStyledMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, 1, "A");
  menu.AppendMenu(MF_STRING, 2, "B");
  menu.AppendMenu(MF_STRING, 3, "C");
  EXPECT_EQ(menu.RemoveNextTo("A", 1), 0);  // nothing before the first item
  EXPECT_EQ(menu.GetMenuItemCount(), 3);
  EXPECT_EQ(menu.RemoveNextTo("B", 3), 1);  // after, then before
  ASSERT_EQ(menu.GetMenuItemCount(), 1);
  EXPECT_EQ(menu.GetItemText(0), "B");
  EXPECT_EQ(menu.RemoveNextTo("Z", 0), -1);
  EXPECT_EQ(menu.Items().size(), 1u);
}

TEST_F(OperationsTest, ChildGetsItsOwnCheckMarkImagesWithoutTouchingTheParents) {
  CStyledMenu menu;
  menu.CreatePopupMenu();
  ASSERT_TRUE(menu.SetCheckMarkImages(kRedBitmap, kGreenBitmap));
  CImageList* parentList = menu.CheckMarkImages();
  ASSERT_NE(parentList, nullptr);
  CStyledMenu* sub = menu.AppendSubMenu("Sub");
  EXPECT_EQ(sub->CheckMarkImages(), parentList);
  ASSERT_TRUE(sub->SetCheckMarkImages(kGreenBitmap, kCheckBitmap));
  EXPECT_NE(sub->CheckMarkImages(), parentList);
  EXPECT_EQ(menu.CheckMarkImages(), parentList);
  EXPECT_EQ(parentList->GetImageCount(), 2);
  // A failing image leaves the menu without check-mark images.
  EXPECT_FALSE(sub->SetCheckMarkImages(kGreenBitmap, 999));
  EXPECT_EQ(sub->CheckMarkImages(), nullptr);
  EXPECT_EQ(parentList->GetImageCount(), 2);
  EXPECT_FALSE(menu.SetCheckMarkImages(0, kGreenBitmap));
}

TEST_F(OperationsTest, ModifyKeepsTheIconAndTakesTheNewText) {
  CStyledMenu menu;
  menu.CreatePopupMenu();
  ASSERT_TRUE(menu.InsertMenu(UINT(-1), MF_BYPOSITION | MF_STRING, 5, "Old", kRedBitmap));
  CStyledMenuIcons* icons = menu.Items()[0]->icons;
  ASSERT_NE(icons, nullptr);
  ASSERT_TRUE(menu.ModifyMenu(5, MF_STRING, 6, "New"));
  EXPECT_EQ(menu.GetItemText(0), "New");
  EXPECT_EQ(menu.Items()[0]->icons, icons);
  EXPECT_EQ(GetMenuItemID(menu.m_hMenu, 0), 6u);
  EXPECT_TRUE(ItemInfo(menu.m_hMenu, 0).fType & MFT_OWNERDRAW);
  ASSERT_TRUE(menu.SetItemText(6, "Newer", MF_BYCOMMAND));
  EXPECT_EQ(menu.GetItemText(6, MF_BYCOMMAND), "Newer");
  char text[16] = {};
  GetMenuStringA(menu.m_hMenu, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Newer");
}

TEST_F(OperationsTest, DrawModeSelectionAnswersThePreviousCode) {
  const int start = CStyledMenu::GetMenuDrawMode();
  EXPECT_EQ(CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP_GRADIENT), start);
  EXPECT_EQ(CStyledMenu::SetMenuDrawMode(10), -1);
  EXPECT_EQ(CStyledMenu::SetMenuDrawMode(-1), -1);
  EXPECT_EQ(CStyledMenu::GetMenuDrawMode(), CStyledMenu::STYLE_XP_GRADIENT);
  EXPECT_EQ(CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_CLASSIC), CStyledMenu::STYLE_XP_GRADIENT);
}

}  // namespace
}  // namespace menus_test
