// Icon stores: toolbars, bitmaps and icons with their derived images, and reference counts.
#include <algorithm>

#include "menu_test_support.h"
#include "win32/platform_config.h"
#include "test_resources.h"

namespace menus_test {
namespace {

// The colour of an image's top-left pixel.
COLORREF ImagePixel(CImageList& list, int index) {
  Canvas canvas(16, 15, RGB(1, 2, 3));
  ImageList_Draw(list.m_hImageList, index, canvas.dc(), 0, 0, ILD_NORMAL);
  return canvas.At(4, 4);
}

TEST(MenuIconsTest, ToolbarButtonsBecomeIconTriples) {
  auto* store = new CStyledMenuIcons;
  CStyledMenuIcons::AddRef(store);
  ASSERT_TRUE(store->LoadToolBar(MAKEINTRESOURCE(kToolbarResource), nullptr));
  EXPECT_EQ(store->CommandIds(), (std::vector<UINT>{500, 501, 502}));  // the separator's 0 dropped
  EXPECT_EQ(store->ImageList().GetImageCount(), 9);
  EXPECT_EQ(store->FindIndex(500), 0);
  EXPECT_EQ(store->FindIndex(502), 6);
  EXPECT_EQ(store->FindIndex(999), -1);
  EXPECT_EQ(ImagePixel(store->ImageList(), 3), RGB(0, 255, 0));    // the second button
  EXPECT_EQ(ImagePixel(store->ImageList(), 4), RGB(0, 205, 0));    // darkened by 50
  EXPECT_EQ(ImagePixel(store->ImageList(), 5), RGB(164, 164, 161));  // grey, lightened, mixed with the menu
  EXPECT_TRUE(store->DoMatch(MAKEINTRESOURCE(kToolbarResource), nullptr));
  EXPECT_FALSE(store->DoMatch(MAKEINTRESOURCE(kToolbarResource + 1), nullptr));
  EXPECT_EQ(CStyledMenuIcons::Release(store), 0);
}

TEST(MenuIconsTest, MissingToolbarLeavesTheStoreEmpty) {
  CStyledMenuIcons store;
  EXPECT_FALSE(store.LoadToolBar(MAKEINTRESOURCE(999), nullptr));
  EXPECT_TRUE(store.CommandIds().empty());
  EXPECT_EQ(store.FindIndex(500), -1);
}

TEST(MenuIconsTest, IdListToolbarMatchesTheSameList) {
  const WORD list[] = {WORD(kToolbarResource), 16, 15, 600, 601, 602, 0};
  const WORD other[] = {WORD(kToolbarResource), 16, 15, 600, 601, 0};
  CStyledMenuIcons store;
  ASSERT_TRUE(store.LoadToolBar(list, RGB(255, 0, 255)));
  EXPECT_EQ(store.FindIndex(601), 3);
  EXPECT_TRUE(store.DoMatch(list, RGB(255, 0, 255)));
  EXPECT_FALSE(store.DoMatch(list, RGB(0, 0, 0)));
  EXPECT_FALSE(store.DoMatch(other, RGB(255, 0, 255)));
}

TEST(MenuIconsTest, SameBitmapIdGivesTheSameIndex) {
  CStyledMenuBitmaps store;
  const int red = store.Add(kRedBitmap, CLR_NONE);
  const int green = store.Add(kGreenBitmap, CLR_NONE);
  EXPECT_EQ(red, 0);
  EXPECT_EQ(green, 3);
  EXPECT_EQ(store.Add(kRedBitmap, CLR_NONE), red);
  EXPECT_EQ(store.ImageList().GetImageCount(), 6);
  EXPECT_EQ(store.Add(kWideBitmap, CLR_NONE), -1);  // another size
  EXPECT_EQ(store.Add(999, CLR_NONE), -1);
  EXPECT_EQ(store.ImageList().GetImageCount(), 6);
}

TEST(MenuIconsTest, BitmapObjectsNeverMatchEachOther) {
  CStyledMenuBitmaps store;
  CBitmap red, green;
  red.Attach(LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCE(kRedBitmap)));
  green.Attach(LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCE(kGreenBitmap)));
  const int first = store.Add(&red, CLR_NONE);
  const int second = store.Add(&green, CLR_NONE);
  EXPECT_NE(first, second);
  EXPECT_EQ(ImagePixel(store.ImageList(), second), RGB(0, 255, 0));
}

TEST(MenuIconsTest, IconWithAStoredIdReplacesItsTriple) {
  CStyledMenuBitmaps store;
  CImageList source;
  source.Create(16, 15, ILC_COLORDDB | ILC_MASK, 0, 2);
  CBitmap images;
  images.Attach(LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCE(kToolbarResource)));
  source.Add(&images, static_cast<CBitmap*>(nullptr));
  HICON red = source.ExtractIcon(0), blue = source.ExtractIcon(2);
  EXPECT_EQ(store.Add(red, 700), 0);
  EXPECT_EQ(store.Add(blue, 701), 3);
  EXPECT_EQ(store.Add(blue, 700), 0);  // replaced in place
  EXPECT_EQ(store.ImageList().GetImageCount(), 6);
  EXPECT_EQ(ImagePixel(store.ImageList(), 0), RGB(0, 0, 255));
  EXPECT_EQ(ImagePixel(store.ImageList(), 1), RGB(0, 0, 205));
  DestroyIcon(red);
  DestroyIcon(blue);
}

TEST(MenuIconsTest, StoresLeaveTheListWhenTheLastReferenceGoes) {
  const size_t before = CStyledMenuIcons::Stores().size();
  {
    CStyledMenu menu;
    menu.CreatePopupMenu();
    ASSERT_TRUE(menu.InsertMenu(UINT(-1), MF_BYPOSITION | MF_STRING, 500, "Open", kToolbarResource));
    ASSERT_TRUE(menu.InsertMenu(UINT(-1), MF_BYPOSITION | MF_STRING, 501, "Save", kToolbarResource));
    EXPECT_EQ(menu.Items()[0]->icons, menu.Items()[1]->icons);
    EXPECT_EQ(menu.Items()[1]->iconIndex, 3);
    EXPECT_EQ(CStyledMenuIcons::Stores().size(), before + 1);
  }
  EXPECT_EQ(CStyledMenuIcons::Stores().size(), before);
  EXPECT_EQ(CStyledMenuIcons::AddRef(nullptr), 0);
  EXPECT_EQ(CStyledMenuIcons::Release(nullptr), 0);
}

TEST(MenuIconsTest, ToolbarIconsGoToTheItemsWithTheirCommands) {
  CStyledMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, 502, "Blue");
  CStyledMenu* sub = menu.AppendSubMenu("Sub");
  sub->AppendMenu(MF_STRING, 500, "Red");
  sub->AppendMenu(MF_STRING, 42, "None");
  ASSERT_TRUE(menu.LoadToolbar(kToolbarResource));
  EXPECT_EQ(menu.Items()[0]->iconIndex, 6);
  EXPECT_EQ(sub->Items()[0]->iconIndex, 0);
  EXPECT_EQ(sub->Items()[1]->icons, nullptr);
  EXPECT_FALSE(menu.LoadToolbar(999));
}

}  // namespace
}  // namespace menus_test

namespace menus_test {
namespace {

TEST(MenuIconsTest, ColourChangeRemakesDerivedImagesAtMostEveryTwoSeconds) {
  CStyledMenuBitmaps store;
  ASSERT_EQ(store.Add(kRedBitmap, CLR_NONE), 0);
  CStyledMenuBitmaps other;
  ASSERT_EQ(other.Add(kGreenBitmap, CLR_NONE), 0);
  auto spoil = [](CStyledMenuIcons& s) {
    CStyledMenuBitmaps scratch;
    scratch.Add(kGreenBitmap, CLR_NONE);
    HICON green = scratch.ImageList().ExtractIcon(0);
    s.ImageList().Replace(1, green);
    DestroyIcon(green);
  };
  platform_config::AdvanceVirtualClock(2001);
  RefreshMenuIcons();
  spoil(store);
  ASSERT_EQ(ImagePixel(store.ImageList(), 1), RGB(0, 255, 0));
  RefreshMenuIcons();  // too soon: nothing is remade
  EXPECT_EQ(ImagePixel(store.ImageList(), 1), RGB(0, 255, 0));
  spoil(other);
  platform_config::AdvanceVirtualClock(2001);
  RefreshMenuIcons();
  EXPECT_EQ(ImagePixel(store.ImageList(), 1), RGB(205, 0, 0));
  EXPECT_EQ(ImagePixel(other.ImageList(), 1), RGB(0, 205, 0));
}

TEST(MenuIconsTest, MenuBarBrushGoesToStyledMenusOnly) {
  const int saved = CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP_GRADIENT);
  CStyledMenu styled;
  styled.CreateMenu();
  CMenu plain;
  plain.CreateMenu();
  ApplyMenuBarBrush(&styled);
  ApplyMenuBarBrush(&plain);
  MENUINFO info{sizeof(MENUINFO), MIM_BACKGROUND, 0, 0, nullptr, 0, 0};
  styled.GetMenuInfo(&info);
  EXPECT_EQ(info.hbrBack, GetMenuBarBrush());
  info.hbrBack = nullptr;
  plain.GetMenuInfo(&info);
  EXPECT_EQ(info.hbrBack, nullptr);
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_CLASSIC);
  CStyledMenu classic;
  classic.CreateMenu();
  ApplyMenuBarBrush(&classic);
  classic.GetMenuInfo(&info);
  EXPECT_EQ(info.hbrBack, nullptr);
  CStyledMenu::SetMenuDrawMode(saved);
}

}  // namespace
}  // namespace menus_test

namespace menus_test {
namespace {

TEST(MenuIconsTest, DerivedImagesKeepTheIconsTransparentPixels) {
  // Left half red, right half the magenta key colour.
  CBitmap bitmap;
  {
    HDC screen = GetDC(nullptr);
    bitmap.Attach(CreateCompatibleBitmap(screen, 16, 15));
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT left{0, 0, 8, 15}, right{8, 0, 16, 15};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), key = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(memory, &left, red);
    FillRect(memory, &right, key);
    DeleteObject(red);
    DeleteObject(key);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
  }
  CStyledMenuBitmaps store;
  ASSERT_EQ(store.Add(&bitmap, RGB(255, 0, 255)), 0);
  for (int image : {0, 1, 2}) {
    Canvas canvas(16, 15, kWhite);
    ImageList_Draw(store.ImageList().m_hImageList, image, canvas.dc(), 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(canvas.At(12, 7), kWhite) << image;
    EXPECT_NE(canvas.At(3, 7), kWhite) << image;
  }
}

}  // namespace
}  // namespace menus_test
