// Icon menus: building, loading from menu and toolbar resources, finding records and sub-menus,
// mnemonics and tearing down.
#include <gtest/gtest.h>

#include "icon_menu_images.h"
#include "icon_menu_look.h"
#include "menus/icon_menu.h"
#include "test_resources.h"

namespace menus_test {
namespace {

const MenuScriptLine kAcceleratorLines[] = {
    {MENU_POPUP, "&Edit"},
    {MENU_ITEM, "&Copy\tCtrl+C", 300},
    {MENU_ITEM, "Paste &Special...\tCtrl+Alt+V", 301},
    {MENU_POPUP, "&More"},
    {MENU_ITEM, "A&&B", 302},
    {MENU_END},
    {MENU_END},
};
const MenuResource kAcceleratorMenu(kAcceleratorLines);
constexpr UINT kAcceleratorResource = 150;
const ResourceEntry kResources[] = {
    {RT_MENU, MAKEINTRESOURCE(kAcceleratorResource), kAcceleratorMenu.Data(), kAcceleratorMenu.Size()},
};
const ModuleResources kRegistered(kResources);

// The colour image i of a list shows in its middle, drawn over white.
COLORREF ImageColour(HIMAGELIST list, int i) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -15, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP canvas = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, canvas);
  RECT all{0, 0, 16, 15};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ImageList_Draw(list, i, dc, 0, 0, ILD_NORMAL);
  const COLORREF colour = GetPixel(dc, 8, 7);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(canvas);
  return colour;
}

COLORREF SharedImageColour(int offset) { return ImageColour(icon_menu::SharedImageList(), offset); }

UINT StateAt(HMENU menu, int position) { return GetMenuState(menu, UINT(position), MF_BYPOSITION); }

UINT TypeAt(HMENU menu, int position) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE;
  GetMenuItemInfoA(menu, UINT(position), TRUE, &info);
  return info.fType;
}

TEST(IconMenuTest, LoadedMenuKeepsTheBarPlainAndDrawsItsPopUps) {
  CIconMenu menu;
  ASSERT_TRUE(menu.LoadMenu(kMenuResource));
  ASSERT_EQ(menu.GetMenuItemCount(), 2);
  ASSERT_EQ(menu.Items().size(), 2u);
  // The bar: plain strings with the records' texts.
  EXPECT_EQ(TypeAt(menu.m_hMenu, 0) & MFT_OWNERDRAW, 0u);
  EXPECT_EQ(TypeAt(menu.m_hMenu, 1) & MFT_OWNERDRAW, 0u);
  EXPECT_EQ(menu.Items()[0]->menuFlags, UINT(MF_BYPOSITION | MF_POPUP));
  EXPECT_EQ(menu.Items()[1]->menuFlags, UINT(MF_BYPOSITION));
  char text[32] = {};
  GetMenuStringA(menu.m_hMenu, 1, text, 32, MF_BYPOSITION);
  EXPECT_STREQ(text, "&Help");

  CIconMenu* file = menu.GetSubIconMenuByText("&File");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->m_hMenu, GetSubMenu(menu.m_hMenu, 0));
  EXPECT_TRUE(CIconMenu::IsOwnedMenu(file));
  ASSERT_EQ(file->Items().size(), 3u);
  for (int p = 0; p < 3; ++p) EXPECT_NE(TypeAt(file->m_hMenu, p) & MFT_OWNERDRAW, 0u) << p;
  // The separator is an owner-drawn one, the disabled item stays disabled.
  EXPECT_EQ(file->Items()[1]->menuFlags, UINT(MF_SEPARATOR | MF_OWNERDRAW));
  EXPECT_NE(StateAt(file->m_hMenu, 2) & MF_GRAYED, 0u);
  EXPECT_EQ(file->Items()[2]->text, u"E&xit");
  EXPECT_EQ(file->Items()[2]->commandId, 101u);

  EXPECT_EQ(menu.GetSubIconMenuByText("&Help"), nullptr);
  EXPECT_EQ(menu.GetSubIconMenuByText("File"), nullptr);
  EXPECT_EQ(menu.FindItemRecord(101), file->Items()[2]);
  EXPECT_EQ(menu.FindItemRecord(999), nullptr);
  EXPECT_FALSE(menu.LoadMenu(999));
}

TEST(IconMenuTest, LoadedLevelsLineUpTheirAcceleratorsAndNestedPopUpsClose) {
  CIconMenu menu;
  ASSERT_TRUE(menu.LoadMenu(kAcceleratorResource));
  ASSERT_EQ(menu.GetMenuItemCount(), 1);
  CIconMenu* edit = menu.GetSubIconMenuByText(u"&Edit");
  ASSERT_NE(edit, nullptr);
  ASSERT_EQ(edit->Items().size(), 3u);
  CIconMenu* more = edit->GetSubIconMenuByText(u"&More");
  ASSERT_NE(more, nullptr);
  EXPECT_EQ(more->Items().size(), 1u);

  // Both texts before the tab are padded to one width.
  HDC dc = GetDC(GetDesktopWindow());
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = CreateFontIndirectA(&metrics.lfMenuFont);
  HGDIOBJ old = SelectObject(dc, font);
  auto headWidth = [&](const std::u16string& text) {
    const size_t tab = text.find(u'\t');
    EXPECT_NE(tab, std::u16string::npos);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), int(tab), &size);
    return size.cx;
  };
  const std::u16string copy = edit->Items()[0]->text;
  const std::u16string paste = edit->Items()[1]->text;
  EXPECT_EQ(copy.substr(0, 5), u"&Copy");
  EXPECT_EQ(copy.substr(copy.find(u'\t')), u"\tCtrl+C");
  // Padded with spaces up to the widest head and one space.
  SIZE space{};
  GetTextExtentPoint32W(dc, u" ", 1, &space);
  SIZE paste0{};
  GetTextExtentPoint32W(dc, u"Paste &Special...", 17, &paste0);
  EXPECT_EQ(headWidth(paste), paste0.cx + space.cx);
  EXPECT_GE(headWidth(copy), headWidth(paste));
  EXPECT_LT(headWidth(copy), headWidth(paste) + space.cx);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(GetDesktopWindow(), dc);
}

TEST(IconMenuTest, ToolbarGivesImagesOnlyToCommandsOfTheMenu) {
  CIconMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  ASSERT_TRUE(menu.AppendItem("Red", 0, 500));
  CIconMenu* more = menu.AppendSubMenu("More");
  ASSERT_NE(more, nullptr);
  ASSERT_TRUE(more->AppendItem("Blue", 0, 502));
  ASSERT_TRUE(more->AppendItem("Blue again", 0, 502));
  ASSERT_TRUE(menu.LoadToolbar(kToolbarResource));
  EXPECT_FALSE(menu.LoadToolbar(999));

  const CIconMenuItem* red = menu.FindItemRecord(500);
  ASSERT_NE(red, nullptr);
  ASSERT_GE(red->sharedImageOffset, 0);
  EXPECT_EQ(SharedImageColour(red->sharedImageOffset), RGB(255, 0, 0));
  // The separator before 501 is no image: 502 is the third picture of the strip.
  const int blue = more->Items()[0]->sharedImageOffset;
  ASSERT_GE(blue, 0);
  EXPECT_EQ(SharedImageColour(blue), RGB(0, 0, 255));
  // Every occurrence of a command shares its one image.
  EXPECT_EQ(more->Items()[1]->sharedImageOffset, blue);
  EXPECT_EQ(icon_menu::SharedImageIds()[size_t(blue)], 502u);
  EXPECT_EQ(menu.FindItemRecord(501), nullptr);

  // A new picture for the command replaces the one both items show.
  ASSERT_TRUE(menu.ModifyItem("Green now", 502, kGreenBitmap));
  EXPECT_EQ(more->Items()[1]->sharedImageOffset, blue);
  EXPECT_EQ(SharedImageColour(blue), RGB(0, 255, 0));
  EXPECT_EQ(more->Items()[1]->text, u"Green now");
  EXPECT_NE(TypeAt(more->m_hMenu, 1) & MFT_OWNERDRAW, 0u);
  // A command that is nowhere in the menu changes nothing.
  const size_t records = menu.Items().size();
  EXPECT_FALSE(menu.ModifyItem("Nowhere", 777, kRedBitmap));
  EXPECT_EQ(menu.Items().size(), records);
}

TEST(IconMenuTest, ToolbarsGrowTheIconsAndCountOnlyButtonsForImages) {
  CIconMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  ASSERT_TRUE(menu.AppendItem("Red", 0, 520));
  ASSERT_TRUE(menu.AppendItem("Green", 0, 521));
  ASSERT_TRUE(menu.AppendItem("Blue", 0, 530));
  // The first button follows a separator and still shows the first picture.
  ASSERT_TRUE(menu.LoadToolbar(kSeparatorFirstToolbar));
  EXPECT_EQ(SharedImageColour(menu.FindItemRecord(520)->sharedImageOffset), RGB(255, 0, 0));
  EXPECT_EQ(SharedImageColour(menu.FindItemRecord(521)->sharedImageOffset), RGB(0, 255, 0));
  EXPECT_EQ(menu.IconWidth(), 16);
  ASSERT_TRUE(menu.LoadToolbar(kLargeToolbar));
  EXPECT_EQ(menu.IconWidth(), 20);
  EXPECT_EQ(menu.IconHeight(), 18);
  // Appending with a toolbar id takes the command's button picture, else the first one.
  ASSERT_TRUE(menu.AppendItem(u"Not a button", 0, 540, int(kSeparatorFirstToolbar)));
  EXPECT_EQ(SharedImageColour(menu.Items().back()->sharedImageOffset), RGB(255, 0, 0));  // no button: the first
}

// A live toolbar's buttons give the menu's commands their pictures, each in a list of its own.
TEST(IconMenuTest, LiveToolbarGivesEachCommandItsButtonsPicture) {
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 100, 40, nullptr, nullptr));
  CToolBar bar;
  ASSERT_TRUE(bar.Create(&owner));
  ASSERT_TRUE(bar.LoadToolBar(kToolbarResource));

  CIconMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  ASSERT_TRUE(menu.AppendItem("Red", 0, 500));
  CIconMenu* more = menu.AppendSubMenu("More");
  ASSERT_TRUE(more->AppendItem("Blue", 0, 502));
  ASSERT_TRUE(menu.AppendItem("Elsewhere", 0, 777));
  ASSERT_TRUE(menu.AddFromToolBar(&bar.GetToolBarCtrl(), kToolbarResource));

  const CIconMenuItem* red = menu.FindItemRecord(500);
  ASSERT_NE(red->ownImages, nullptr);
  EXPECT_EQ(red->bitmapMarker, int(kToolbarResource));
  EXPECT_EQ(red->imageIndex, 0);
  EXPECT_EQ(ImageColour(red->ownImages->m_hImageList, 0), RGB(255, 0, 0));
  const CIconMenuItem* blue = more->Items()[0];
  ASSERT_NE(blue->ownImages, nullptr);
  EXPECT_EQ(ImageColour(blue->ownImages->m_hImageList, 0), RGB(0, 0, 255));
  // In the XP look the washed-out and shadow pictures are the button's own, not its neighbours'.
  ASSERT_TRUE(icon_menu::UsesXpDrawing());
  ASSERT_EQ(red->ownImages->GetImageCount(), 3);
  EXPECT_EQ(ImageColour(red->ownImages->m_hImageList, 1), icon_menu::Lighten(RGB(255, 0, 0), 0.3));
  EXPECT_EQ(menu.FindItemRecord(777)->ownImages, nullptr);
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA | MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfoA(more->m_hMenu, 0, TRUE, &info));
  EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(blue));
  EXPECT_NE(info.fType & MFT_OWNERDRAW, 0u);

  // A bitmap that cannot be loaded leaves the items without a picture.
  ASSERT_TRUE(menu.AddFromToolBar(&bar.GetToolBarCtrl(), 999));
  EXPECT_EQ(red->ownImages, nullptr);
  EXPECT_EQ(red->bitmapMarker, -1);
  EXPECT_EQ(red->imageIndex, -1);
  bar.DestroyWindow();
  owner.DestroyWindow();
}

TEST(IconMenuTest, ItemsFromBitmapsAndListsAndSeparators) {
  CIconMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  ASSERT_TRUE(menu.AppendItem(u"Red", MF_STRING, 610, int(kRedBitmap)));
  // A later item of the same command reuses the image.
  ASSERT_TRUE(menu.AppendItem(u"Red too", MF_STRING, 610, -1));
  // Command 0 is a separator whatever the flags.
  ASSERT_TRUE(menu.AppendItem(u"ignored", MF_STRING | MF_CHECKED, 0, -1));
  CImageList list;
  ASSERT_TRUE(list.Create(16, 15, ILC_COLORDDB | ILC_MASK, 1, 1));
  HBITMAP green = LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCE(kGreenBitmap));
  ASSERT_GE(ImageList_AddMasked(list.m_hImageList, green, RGB(255, 0, 255)), 0);
  DeleteObject(green);
  ASSERT_TRUE(menu.AppendItem(u"Own", MF_STRING, 611, &list, 0));
  ASSERT_TRUE(menu.AppendItem(u"No list", MF_STRING, 612, nullptr, 0));

  const auto& items = menu.Items();
  ASSERT_EQ(items.size(), 5u);
  ASSERT_GE(items[0]->sharedImageOffset, 0);
  EXPECT_EQ(SharedImageColour(items[0]->sharedImageOffset), RGB(255, 0, 0));
  EXPECT_EQ(items[1]->sharedImageOffset, items[0]->sharedImageOffset);
  EXPECT_EQ(items[0]->bitmapMarker, -1);
  EXPECT_EQ(items[2]->menuFlags, UINT(MF_SEPARATOR | MF_OWNERDRAW));
  EXPECT_NE(StateAt(menu.m_hMenu, 2) & MF_SEPARATOR, 0u);
  EXPECT_NE(items[3]->ownImages, nullptr);
  EXPECT_EQ(items[3]->bitmapMarker, 0);
  EXPECT_EQ(items[3]->imageIndex, 0);
  // With the XP look and 3D images the own list holds the washed-out and shadow pictures too.
  EXPECT_EQ(items[3]->ownImages->GetImageCount(), icon_menu::UsesXpDrawing() ? 3 : 1);
  EXPECT_EQ(items[4]->ownImages, nullptr);
  EXPECT_EQ(items[4]->bitmapMarker, -1);
  for (int p = 0; p < 5; ++p) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    ASSERT_TRUE(GetMenuItemInfoA(menu.m_hMenu, UINT(p), TRUE, &info));
    EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(items[size_t(p)]));
  }
}

TEST(IconMenuTest, InsertFindsTheCommandInItsSubMenuAndRefusesBadPositions) {
  CIconMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  ASSERT_TRUE(menu.AppendItem("Top", 0, 700));
  CIconMenu* sub = menu.AppendSubMenu("Sub");
  ASSERT_TRUE(sub->AppendItem("First", 0, 701));
  ASSERT_TRUE(sub->AppendItem("Second", 0, 702));

  // Before command 702, in the sub-menu that holds it.
  ASSERT_TRUE(menu.InsertItem(702, "Between", MF_STRING, 703));
  ASSERT_EQ(sub->Items().size(), 3u);
  EXPECT_EQ(sub->Items()[1]->text, u"Between");
  EXPECT_EQ(GetMenuItemID(sub->m_hMenu, 1), 703u);
  EXPECT_EQ(menu.Items().size(), 2u);
  // -1 is the end; other positions outside the menu and absent commands insert nothing.
  ASSERT_TRUE(menu.InsertItem(UINT(-1), "Last", MF_BYPOSITION, 704));
  EXPECT_EQ(GetMenuItemID(menu.m_hMenu, 2), 704u);
  EXPECT_FALSE(menu.InsertItem(UINT(-5), "Negative", MF_BYPOSITION, 705));
  EXPECT_FALSE(menu.InsertItem(9, "Beyond", MF_BYPOSITION, 706));
  EXPECT_FALSE(menu.InsertItem(799, "Absent", MF_STRING, 707));
  EXPECT_EQ(menu.GetMenuItemCount(), 3);
  EXPECT_EQ(menu.Items().size(), 3u);
  // An inserted separator is owner-drawn and by position.
  ASSERT_TRUE(menu.InsertItem(0, "x", MF_BYPOSITION, 0));
  EXPECT_EQ(menu.Items()[0]->menuFlags, UINT(MF_SEPARATOR | MF_OWNERDRAW | MF_BYPOSITION));

  std::u16string text;
  EXPECT_TRUE(menu.GetItemText(703, text, MF_BYCOMMAND));
  EXPECT_EQ(text, u"Between");
  EXPECT_TRUE(menu.GetItemText(1, text, MF_BYPOSITION));
  EXPECT_EQ(text, u"Top");
  EXPECT_FALSE(menu.GetItemText(4, text, MF_BYPOSITION));
  EXPECT_EQ(menu.GetItemPositionByText(u"Last"), 3);
  EXPECT_EQ(menu.GetItemPositionByText(u"Nothing"), -1);
}

TEST(IconMenuTest, MnemonicsExecuteTheItemWithAmpersandAndKey) {
  CIconMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  ASSERT_TRUE(menu.AppendItem("Fill", 0, 800));
  ASSERT_TRUE(menu.AppendItem("A&&F", 0, 801));
  ASSERT_TRUE(menu.AppendItem("&Fetch", 0, 802));
  ASSERT_TRUE(menu.AppendItem("E&xit", 0, 803));
  EXPECT_EQ(CIconMenu::MatchMnemonic('f', MF_POPUP, &menu), MAKELONG(2, MNC_EXECUTE));
  EXPECT_EQ(CIconMenu::MatchMnemonic('F', MF_POPUP, &menu), MAKELONG(2, MNC_EXECUTE));
  EXPECT_EQ(CIconMenu::MatchMnemonic('X', MF_POPUP, &menu), MAKELONG(3, MNC_EXECUTE));
  EXPECT_EQ(CIconMenu::MatchMnemonic('q', MF_POPUP, &menu), 0);
  // Only pop-ups of icon menus answer.
  EXPECT_EQ(CIconMenu::MatchMnemonic('f', 0, &menu), 0);
  CMenu plain;
  ASSERT_TRUE(plain.CreatePopupMenu());
  EXPECT_EQ(CIconMenu::MatchMnemonic('f', MF_POPUP, &plain), 0);
}

TEST(IconMenuTest, DestroyingLetsGoOfSubMenusOnce) {
  HMENU subHandle = nullptr, innerHandle = nullptr;
  {
    CIconMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    CIconMenu* sub = menu.AppendSubMenu(u"Sub");
    CIconMenu* inner = sub->AppendSubMenu(u"Inner");
    ASSERT_TRUE(inner->AppendItem(u"Deep", 0, 900));
    subHandle = sub->m_hMenu;
    innerHandle = inner->m_hMenu;
    EXPECT_TRUE(CIconMenu::IsOwnedMenuHandle(subHandle));
    EXPECT_TRUE(CIconMenu::IsOwnedMenuHandle(innerHandle));
    EXPECT_FALSE(CIconMenu::IsOwnedMenu(&menu));
    EXPECT_NE(menu.FindItemRecord(900), nullptr);
    // Reloading replaces the whole tree.
    ASSERT_TRUE(menu.LoadMenu(kMenuResource));
    EXPECT_FALSE(CIconMenu::IsOwnedMenuHandle(subHandle));
    EXPECT_FALSE(IsMenu(subHandle));
    EXPECT_FALSE(IsMenu(innerHandle));
    EXPECT_EQ(CMenu::FromHandlePermanent(subHandle), nullptr);
    subHandle = GetSubMenu(menu.m_hMenu, 0);
  }
  EXPECT_FALSE(CIconMenu::IsOwnedMenuHandle(subHandle));
  EXPECT_FALSE(IsMenu(subHandle));
}

TEST(IconMenuTest, RecordsFollowAMenuChangedBehindTheirBack) {
  CIconMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  ASSERT_TRUE(menu.AppendItem("&Keep", 0, 1000));
  ASSERT_TRUE(menu.AppendItem("&Gone", 0, 1001));
  const CIconMenuItem* kept = menu.Items()[0];
  // Changed with the plain calls: one item away, two more, one of them a separator.
  ASSERT_TRUE(::DeleteMenu(menu.m_hMenu, 1001, MF_BYCOMMAND));
  ASSERT_TRUE(::AppendMenuA(menu.m_hMenu, MF_SEPARATOR, 0, nullptr));
  ASSERT_TRUE(::AppendMenuA(menu.m_hMenu, MF_STRING | MF_CHECKED, 1002, "&Zoom"));
  // The mnemonic look-up notices the counts differ and rebuilds the records first.
  EXPECT_EQ(CIconMenu::MatchMnemonic('z', MF_POPUP, &menu), MAKELONG(2, MNC_EXECUTE));
  ASSERT_EQ(menu.Items().size(), 3u);
  EXPECT_EQ(menu.Items()[0], kept);
  EXPECT_NE(menu.Items()[1]->menuFlags & MF_SEPARATOR, 0u);
  EXPECT_EQ(menu.Items()[2]->text, u"&Zoom");
  EXPECT_EQ(menu.Items()[2]->commandId, 1002u);
  for (int p = 0; p < 3; ++p) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA | MIIM_FTYPE | MIIM_STATE;
    ASSERT_TRUE(GetMenuItemInfoA(menu.m_hMenu, UINT(p), TRUE, &info));
    EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(menu.Items()[size_t(p)])) << p;
    EXPECT_NE(info.fType & MFT_OWNERDRAW, 0u) << p;
  }
  EXPECT_NE(StateAt(menu.m_hMenu, 2) & MF_CHECKED, 0u);
}

TEST(IconMenuTest, RemovingTakesOnlyTheItemsOwnRecordAndItsSubMenu) {
  CIconMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  ASSERT_TRUE(menu.AppendItem(u"Twice", 0, 1100));
  ASSERT_TRUE(menu.AppendItem(u"", 0, 0));
  ASSERT_TRUE(menu.AppendItem(u"Twice again", 0, 1100));
  CIconMenu* kept = menu.AppendSubMenu(u"Kept");
  ASSERT_TRUE(kept->AppendItem(u"Inside", 0, 1101));
  CIconMenu* deleted = menu.AppendSubMenu(u"Deleted");
  ASSERT_TRUE(deleted->AppendItem(u"Inside too", 0, 1102));
  const HMENU keptHandle = kept->m_hMenu, deletedHandle = deleted->m_hMenu;

  // The other item of the command keeps its record: it is still drawn from it.
  ASSERT_TRUE(menu.RemoveMenu(0, MF_BYPOSITION));
  ASSERT_EQ(menu.Items().size(), 4u);
  EXPECT_EQ(menu.Items()[1]->text, u"Twice again");
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA;
  ASSERT_TRUE(GetMenuItemInfoA(menu.m_hMenu, 1, TRUE, &info));
  EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(menu.Items()[1]));

  // Removing leaves the pop-up's menu to the caller; deleting destroys it.
  EXPECT_EQ(menu.RemoveMenuByText(u"Kept", 0), 2);
  EXPECT_FALSE(CIconMenu::IsOwnedMenuHandle(keptHandle));
  EXPECT_TRUE(IsMenu(keptHandle));
  EXPECT_EQ(CMenu::FromHandlePermanent(keptHandle), nullptr);
  EXPECT_EQ(GetMenuItemCount(keptHandle), 0);
  ::DestroyMenu(keptHandle);
  ASSERT_TRUE(menu.DeleteMenu(1102, MF_BYCOMMAND));
  EXPECT_EQ(GetMenuItemCount(deletedHandle), 0);
  ASSERT_TRUE(menu.DeleteMenu(2, MF_BYPOSITION));
  EXPECT_FALSE(IsMenu(deletedHandle));

  // By text with the separator before it.
  EXPECT_EQ(menu.DeleteMenuByText(u"Twice again", 1), 1);
  EXPECT_EQ(menu.GetMenuItemCount(), 0);
  EXPECT_TRUE(menu.Items().empty());
  EXPECT_EQ(menu.DeleteMenuByText(u"Twice again", 1), -1);
  EXPECT_FALSE(menu.RemoveMenu(UINT(-1), MF_BYPOSITION));
}

TEST(IconMenuTest, SubMenusAreFoundByTheirMenuString) {
  CIconMenu menu;
  ASSERT_TRUE(menu.LoadMenu(kMenuResource));
  CMenu* file = menu.GetSubMenuByText("&File");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->m_hMenu, GetSubMenu(menu.m_hMenu, 0));
  EXPECT_EQ(menu.GetSubMenuByText("&Help"), nullptr);
  EXPECT_EQ(menu.GetSubMenuByText("File"), nullptr);
}

// The colour the shared image at offset shows at (x, y), drawn over white.
COLORREF SharedImagePixel(int offset, int x, int y) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP canvas = CreateCompatibleBitmap(screen, 16, 15);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, canvas);
  RECT all{0, 0, 16, 15};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ImageList_Draw(icon_menu::SharedImageList(), offset, dc, 0, 0, ILD_TRANSPARENT);
  const COLORREF colour = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(canvas);
  return colour;
}

TEST(IconMenuTest, SwatchesBitmapObjectsAndTextLookUpsGiveImages) {
  CIconMenu menu;
  ASSERT_TRUE(menu.LoadMenu(kMenuResource));
  CIconMenu* file = menu.GetSubIconMenuByText(u"&File");
  ASSERT_NE(file, nullptr);

  // An 8 x 8 swatch centred in the icon; the rest is the menu colour and keyed out.
  const SIZE small{8, 8};
  ASSERT_TRUE(menu.ModifyItemColour(nullptr, 100, RGB(0, 0, 255), RGB(0, 255, 0), -1, &small));
  const int swatch = file->Items()[0]->sharedImageOffset;
  ASSERT_GE(swatch, 0);
  EXPECT_EQ(SharedImagePixel(swatch, 8, 7), RGB(0, 0, 255));
  EXPECT_EQ(SharedImagePixel(swatch, 4, 3), RGB(0, 255, 0));
  EXPECT_EQ(SharedImagePixel(swatch, 1, 1), RGB(255, 255, 255));
  EXPECT_EQ(file->Items()[0]->text, u"&Open");

  // By text, anywhere in the tree: a list of its own.
  ASSERT_TRUE(menu.ModifyItemByText(u"&Quit", u"E&xit", int(kRedBitmap)));
  const CIconMenuItem* quit = file->Items()[2];
  EXPECT_EQ(quit->text, u"&Quit");
  ASSERT_NE(quit->ownImages, nullptr);
  EXPECT_EQ(quit->bitmapMarker, int(kRedBitmap));
  EXPECT_EQ(quit->imageIndex, 0);
  EXPECT_FALSE(menu.ModifyItemByText(u"x", u"E&xit", int(kRedBitmap)));

  // A bitmap object, and none.
  CBitmap green;
  ASSERT_TRUE(green.Attach(LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCE(kGreenBitmap))));
  ASSERT_TRUE(file->AppendItem(u"Green", MF_STRING, 120, &green));
  EXPECT_NE(file->Items().back()->ownImages, nullptr);
  ASSERT_TRUE(file->AppendItem(u"None", MF_STRING, 121, static_cast<CBitmap*>(nullptr)));
  EXPECT_EQ(file->Items().back()->ownImages, nullptr);
  EXPECT_EQ(file->Items().back()->bitmapMarker, -1);
  ASSERT_TRUE(file->InsertItem(0, u"First", MF_BYPOSITION, 122, &green));
  ASSERT_GE(file->Items()[0]->sharedImageOffset, 0);
  EXPECT_EQ(SharedImagePixel(file->Items()[0]->sharedImageOffset, 8, 7), RGB(0, 255, 0));
  // A modify without a bitmap takes the image away.
  ASSERT_TRUE(menu.ModifyItem(u"Plain", 122, static_cast<CBitmap*>(nullptr)));
  EXPECT_EQ(file->Items()[0]->sharedImageOffset, -1);
}

}  // namespace
}  // namespace menus_test
