// The menu objects and their items: handles, finding items, states, modifying, destroying, item
// and menu information, and menu resources.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "win32/windows.h"

namespace {

std::string Text(HMENU menu, UINT item, UINT flags) {
  char buffer[64] = {};
  GetMenuStringA(menu, item, buffer, sizeof buffer, flags);
  return buffer;
}

TEST(MenuItemsTest, HandlesAreMenusOnlyWhileTheyLiveAndNeverCommandIds) {
  HMENU menu = CreatePopupMenu();
  ASSERT_TRUE(menu);
  const auto value = reinterpret_cast<uintptr_t>(menu);
  EXPECT_GE(value, 0x10000u);
  EXPECT_LT(value, 0x80000000u);
  EXPECT_TRUE(IsMenu(menu));
  for (uintptr_t id : {uintptr_t{1}, uintptr_t{0x8001}, uintptr_t{0xFFFF}}) EXPECT_FALSE(IsMenu(reinterpret_cast<HMENU>(id)));
  EXPECT_FALSE(IsMenu(nullptr));

  EXPECT_TRUE(DestroyMenu(menu));
  EXPECT_FALSE(IsMenu(menu));
  SetLastError(0);
  EXPECT_FALSE(DestroyMenu(menu));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_MENU_HANDLE));
  SetLastError(0);
  EXPECT_FALSE(AppendMenuA(menu, MF_STRING, 1, "stale"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_MENU_HANDLE));
  EXPECT_EQ(GetMenuItemCount(menu), -1);
  EXPECT_EQ(GetMenuState(menu, 0, MF_BYPOSITION), UINT(-1));
  // A new menu never takes the old handle: the stale one stays refused.
  HMENU next = CreateMenu();
  EXPECT_NE(next, menu);
  EXPECT_FALSE(IsMenu(menu));
  DestroyMenu(next);
}

TEST(MenuItemsTest, ItemsAreFoundByPositionOrByCommandInSubMenus) {
  HMENU menu = CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  ASSERT_TRUE(AppendMenuA(menu, MF_STRING, 100, "&Open"));
  ASSERT_TRUE(AppendMenuA(menu, MF_SEPARATOR, 0, nullptr));
  ASSERT_TRUE(AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&More"));
  ASSERT_TRUE(AppendMenuA(sub, MF_STRING, 200, "Deep"));
  EXPECT_EQ(GetMenuItemCount(menu), 3);
  EXPECT_EQ(GetMenuItemID(menu, 0), 100u);
  EXPECT_EQ(GetMenuItemID(menu, 1), 0u);         // a separator's id
  EXPECT_EQ(GetMenuItemID(menu, 2), UINT(-1));   // a pop-up
  EXPECT_EQ(GetMenuItemID(menu, 3), UINT(-1));   // past the end
  EXPECT_EQ(GetSubMenu(menu, 2), sub);
  EXPECT_EQ(GetSubMenu(menu, 0), nullptr);

  // By command the search goes into sub-menus; an insert lands in the menu holding the command.
  EXPECT_EQ(Text(menu, 200, MF_BYCOMMAND), "Deep");
  ASSERT_TRUE(InsertMenuA(menu, 200, MF_BYCOMMAND | MF_STRING, 201, "Before deep"));
  EXPECT_EQ(GetMenuItemCount(sub), 2);
  EXPECT_EQ(GetMenuItemID(sub, 0), 201u);
  SetLastError(0);
  EXPECT_FALSE(InsertMenuA(menu, 999, MF_BYCOMMAND | MF_STRING, 5, "nowhere"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_MENU_ITEM_NOT_FOUND));
  // By position -1 (or past the end) appends.
  ASSERT_TRUE(InsertMenuA(menu, UINT(-1), MF_BYPOSITION | MF_STRING, 300, "Last"));
  EXPECT_EQ(GetMenuItemID(menu, 3), 300u);

  // A pop-up item made by AppendMenu carries its sub-menu's handle as its id, so the handle finds
  // it by command.
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID | MIIM_SUBMENU;
  ASSERT_TRUE(GetMenuItemInfoA(menu, 2, TRUE, &info));
  EXPECT_EQ(info.wID, static_cast<UINT>(reinterpret_cast<uintptr_t>(sub)));
  EXPECT_EQ(info.hSubMenu, sub);
  EXPECT_EQ(Text(menu, static_cast<UINT>(reinterpret_cast<uintptr_t>(sub)), MF_BYCOMMAND), "&More");
  DestroyMenu(menu);
  EXPECT_FALSE(IsMenu(sub));
}

TEST(MenuItemsTest, StateChangesReturnThePreviousStateOrMinusOne) {
  HMENU menu = CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 1, "One");
  AppendMenuA(menu, MF_STRING | MF_GRAYED, 2, "Two");
  AppendMenuA(menu, MF_POPUP | MF_CHECKED, reinterpret_cast<UINT_PTR>(sub), "Sub");
  AppendMenuA(sub, MF_STRING, 10, "a");
  AppendMenuA(sub, MF_STRING, 11, "b");

  EXPECT_EQ(CheckMenuItem(menu, 1, MF_BYCOMMAND | MF_CHECKED), DWORD(MF_UNCHECKED));
  EXPECT_EQ(CheckMenuItem(menu, 1, MF_BYCOMMAND | MF_UNCHECKED), DWORD(MF_CHECKED));
  EXPECT_EQ(CheckMenuItem(menu, 42, MF_BYCOMMAND | MF_CHECKED), DWORD(-1));
  EXPECT_EQ(EnableMenuItem(menu, 2, MF_BYCOMMAND | MF_ENABLED), BOOL(MF_GRAYED));
  EXPECT_EQ(EnableMenuItem(menu, 1, MF_BYPOSITION | MF_DISABLED | MF_GRAYED), BOOL(MF_ENABLED));
  EXPECT_EQ(EnableMenuItem(menu, 9, MF_BYPOSITION | MF_GRAYED), -1);

  EXPECT_EQ(GetMenuState(menu, 1, MF_BYPOSITION), UINT(MF_GRAYED | MF_DISABLED));
  EXPECT_EQ(GetMenuState(menu, 0, MF_BYPOSITION), UINT(MF_STRING));
  // A pop-up: its flags in the low byte, the number of its items in the high byte.
  EXPECT_EQ(GetMenuState(menu, 2, MF_BYPOSITION), UINT(MF_POPUP | MF_CHECKED | (2 << 8)));
  EXPECT_EQ(GetMenuState(menu, 7, MF_BYPOSITION), UINT(-1));

  // Radio check: one item of the range, with the radio look; the others are cleared.
  CheckMenuItem(sub, 10, MF_CHECKED);
  EXPECT_TRUE(CheckMenuRadioItem(sub, 10, 11, 11, MF_BYCOMMAND));
  EXPECT_EQ(GetMenuState(sub, 10, MF_BYCOMMAND) & MF_CHECKED, 0u);
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STATE;
  GetMenuItemInfoA(sub, 11, FALSE, &info);
  EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
  EXPECT_TRUE(info.fState & MFS_CHECKED);
  EXPECT_FALSE(CheckMenuRadioItem(sub, 10, 11, 99, MF_BYCOMMAND));

  // One default item at most; a disabled one only counts with GMDI_USEDISABLED.
  EXPECT_EQ(GetMenuDefaultItem(menu, FALSE, 0), UINT(-1));
  EXPECT_TRUE(SetMenuDefaultItem(menu, 0, TRUE));
  EXPECT_EQ(GetMenuDefaultItem(menu, FALSE, 0), 1u);
  EXPECT_TRUE(SetMenuDefaultItem(menu, 2, FALSE));  // command 2, at position 1, disabled above
  EXPECT_EQ(GetMenuState(menu, 0, MF_BYPOSITION) & MF_DEFAULT, 0u);
  EXPECT_EQ(GetMenuDefaultItem(menu, FALSE, 0), UINT(-1));
  EXPECT_EQ(GetMenuDefaultItem(menu, FALSE, GMDI_USEDISABLED), 2u);
  EXPECT_EQ(GetMenuDefaultItem(menu, TRUE, GMDI_USEDISABLED), 1u);
  EXPECT_FALSE(SetMenuDefaultItem(menu, 77, FALSE));
  EXPECT_TRUE(SetMenuDefaultItem(menu, UINT(-1), FALSE));
  EXPECT_EQ(GetMenuDefaultItem(menu, FALSE, GMDI_USEDISABLED), UINT(-1));

  EXPECT_EQ(GetMenuCheckMarkDimensions(),
            MAKELONG(GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK)));
  DestroyMenu(menu);
}

TEST(MenuItemsTest, ModifyingToOwnerDrawKeepsTheTextAndReplacingAPopUpDestroysIt) {
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 5, "&Keep me\tCtrl+K");
  // Owner-drawn: the new content is the item data; the text stays.
  ASSERT_TRUE(ModifyMenuA(menu, 0, MF_BYPOSITION | MF_OWNERDRAW, 6, reinterpret_cast<LPCSTR>(0x1234)));
  EXPECT_EQ(Text(menu, 0, MF_BYPOSITION), "&Keep me\tCtrl+K");
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA;
  ASSERT_TRUE(GetMenuItemInfoA(menu, 6, FALSE, &info));
  EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
  EXPECT_EQ(info.dwItemData, 0x1234u);
  // Back to a string: the data stays, the text is the new one.
  ASSERT_TRUE(ModifyMenuA(menu, 6, MF_BYCOMMAND | MF_STRING, 7, "New"));
  info.fMask = MIIM_DATA | MIIM_FTYPE;
  GetMenuItemInfoA(menu, 7, FALSE, &info);
  EXPECT_EQ(info.dwItemData, 0x1234u);
  EXPECT_FALSE(info.fType & MFT_OWNERDRAW);
  EXPECT_EQ(Text(menu, 7, MF_BYCOMMAND), "New");
  EXPECT_FALSE(ModifyMenuA(menu, 99, MF_BYCOMMAND, 1, "x"));

  // An item that stops opening its sub-menu takes the sub-menu with it.
  HMENU sub = CreatePopupMenu();
  AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "Sub");
  ASSERT_TRUE(ModifyMenuA(menu, 1, MF_BYPOSITION | MF_STRING, 8, "Plain"));
  EXPECT_FALSE(IsMenu(sub));
  EXPECT_EQ(GetMenuItemID(menu, 1), 8u);
  DestroyMenu(menu);
}

// An owner-drawn separator stays owner-drawn: its owner measures and draws it from its data.
TEST(MenuItemsTest, OwnerDrawnSeparatorsKeepTheirTypeAndData) {
  HMENU menu = CreatePopupMenu();
  ASSERT_TRUE(AppendMenuA(menu, MF_SEPARATOR | MF_OWNERDRAW, 0, reinterpret_cast<LPCSTR>(0x5678)));
  ASSERT_TRUE(AppendMenuA(menu, MF_SEPARATOR, 0, nullptr));
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_DATA;
  ASSERT_TRUE(GetMenuItemInfoA(menu, 0, TRUE, &info));
  EXPECT_EQ(info.fType & (MFT_SEPARATOR | MFT_OWNERDRAW), UINT(MFT_SEPARATOR | MFT_OWNERDRAW));
  EXPECT_EQ(info.dwItemData, 0x5678u);
  info.dwItemData = 0;
  ASSERT_TRUE(GetMenuItemInfoA(menu, 1, TRUE, &info));
  EXPECT_EQ(info.fType & MFT_OWNERDRAW, 0u);
  EXPECT_EQ(info.dwItemData, 0u);
  DestroyMenu(menu);
}

TEST(MenuItemsTest, DestroyingAndDeletingTakeSubMenusRecursivelyRemovingKeepsThem) {
  HMENU top = CreateMenu();
  HMENU a = CreatePopupMenu();
  HMENU b = CreatePopupMenu();
  HMENU c = CreatePopupMenu();
  AppendMenuA(top, MF_POPUP, reinterpret_cast<UINT_PTR>(a), "A");
  AppendMenuA(a, MF_POPUP, reinterpret_cast<UINT_PTR>(b), "B");
  AppendMenuA(top, MF_POPUP, reinterpret_cast<UINT_PTR>(c), "C");
  // A menu never contains itself.
  SetLastError(0);
  EXPECT_FALSE(AppendMenuA(b, MF_POPUP, reinterpret_cast<UINT_PTR>(top), "loop"));
  EXPECT_FALSE(AppendMenuA(a, MF_POPUP, reinterpret_cast<UINT_PTR>(a), "self"));
  EXPECT_EQ(GetMenuItemCount(b), 0);

  EXPECT_TRUE(RemoveMenu(top, 1, MF_BYPOSITION));
  EXPECT_TRUE(IsMenu(c));  // removed, not destroyed
  EXPECT_TRUE(AppendMenuA(top, MF_POPUP, reinterpret_cast<UINT_PTR>(c), "C again"));
  EXPECT_TRUE(DeleteMenu(top, static_cast<UINT>(reinterpret_cast<uintptr_t>(c)), MF_BYCOMMAND));
  EXPECT_FALSE(IsMenu(c));
  EXPECT_FALSE(RemoveMenu(top, 5, MF_BYPOSITION));

  EXPECT_TRUE(DestroyMenu(top));
  EXPECT_FALSE(IsMenu(a));
  EXPECT_FALSE(IsMenu(b));
}

TEST(MenuItemsTest, ItemInformationReadsAndWritesEachPart) {
  HMENU menu = CreatePopupMenu();
  MENUITEMINFOW add{};
  add.cbSize = sizeof add;
  add.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_DATA | MIIM_CHECKMARKS | MIIM_BITMAP;
  std::u16string text = u"Stra\u00dfe";
  add.dwTypeData = text.data();
  add.wID = 44;
  add.fState = MFS_CHECKED | MFS_DEFAULT;
  add.dwItemData = 77;
  add.hbmpChecked = reinterpret_cast<HBITMAP>(0x1111);
  add.hbmpItem = reinterpret_cast<HBITMAP>(0x2222);
  ASSERT_TRUE(InsertMenuItemW(menu, 0, TRUE, &add));

  MENUITEMINFOW get{};
  get.cbSize = sizeof get;
  get.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_DATA | MIIM_CHECKMARKS | MIIM_BITMAP | MIIM_SUBMENU;
  ASSERT_TRUE(GetMenuItemInfoW(menu, 44, FALSE, &get));
  EXPECT_EQ(get.cch, 6u);  // no buffer: the length
  EXPECT_EQ(get.wID, 44u);
  EXPECT_EQ(get.fState, UINT(MFS_CHECKED | MFS_DEFAULT));
  EXPECT_EQ(get.dwItemData, 77u);
  EXPECT_EQ(get.hbmpChecked, reinterpret_cast<HBITMAP>(0x1111));
  EXPECT_EQ(get.hbmpUnchecked, nullptr);
  EXPECT_EQ(get.hbmpItem, reinterpret_cast<HBITMAP>(0x2222));
  EXPECT_EQ(get.hSubMenu, nullptr);
  char16_t small[4] = {};
  get.fMask = MIIM_STRING;
  get.dwTypeData = small;
  get.cch = 4;
  ASSERT_TRUE(GetMenuItemInfoW(menu, 0, TRUE, &get));
  EXPECT_EQ(get.cch, 3u);
  EXPECT_EQ(std::u16string(small), u"Str");

  // The A form counts bytes of the UTF-8 text and never cuts a character.
  char narrow[6] = {};
  MENUITEMINFOA getA{};
  getA.cbSize = sizeof getA;
  getA.fMask = MIIM_STRING;
  getA.dwTypeData = narrow;
  getA.cch = 6;  // room for "Stra" and one byte: the two-byte character does not fit
  ASSERT_TRUE(GetMenuItemInfoA(menu, 0, TRUE, &getA));
  EXPECT_STREQ(narrow, "Stra");
  EXPECT_EQ(GetMenuStringA(menu, 0, nullptr, 0, MF_BYPOSITION), 7);

  // The older structure without hbmpItem is accepted; a wrong size is not.
  MENUITEMINFOA old{};
  old.cbSize = offsetof(MENUITEMINFOA, hbmpItem);
  old.fMask = MIIM_ID;
  EXPECT_TRUE(GetMenuItemInfoA(menu, 0, TRUE, &old));
  old.cbSize = 12;
  SetLastError(0);
  EXPECT_FALSE(GetMenuItemInfoA(menu, 0, TRUE, &old));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  SetLastError(0);
  EXPECT_FALSE(SetMenuItemInfoA(menu, 0, TRUE, &old));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  // An item that is not there, by command or past the end, is neither read nor changed.
  old.cbSize = sizeof old;
  SetLastError(0);
  EXPECT_FALSE(GetMenuItemInfoA(menu, 999, FALSE, &old));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_MENU_ITEM_NOT_FOUND));
  SetLastError(0);
  EXPECT_FALSE(SetMenuItemInfoA(menu, 99, TRUE, &old));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_MENU_ITEM_NOT_FOUND));

  // MIIM_TYPE sets type and text together; a sub-menu is set and taken away.
  HMENU sub = CreatePopupMenu();
  MENUITEMINFOA set{};
  set.cbSize = sizeof set;
  set.fMask = MIIM_TYPE | MIIM_SUBMENU;
  set.fType = MFT_STRING;
  set.dwTypeData = const_cast<char*>("Typed");
  set.hSubMenu = sub;
  ASSERT_TRUE(SetMenuItemInfoA(menu, 0, TRUE, &set));
  EXPECT_EQ(Text(menu, 0, MF_BYPOSITION), "Typed");
  EXPECT_EQ(GetSubMenu(menu, 0), sub);
  set.fMask = MIIM_SUBMENU;
  set.hSubMenu = menu;  // would contain itself
  EXPECT_FALSE(SetMenuItemInfoA(menu, 0, TRUE, &set));
  set.hSubMenu = nullptr;
  ASSERT_TRUE(SetMenuItemInfoA(menu, 0, TRUE, &set));
  EXPECT_EQ(GetSubMenu(menu, 0), nullptr);
  EXPECT_TRUE(IsMenu(sub));
  DestroyMenu(sub);
  DestroyMenu(menu);
}

TEST(MenuItemsTest, MenuInformationReachesSubMenusAndIsExportedByUser32) {
  HMENU menu = CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "Sub");
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  MENUINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIM_BACKGROUND | MIM_MENUDATA | MIM_APPLYTOSUBMENUS;
  info.hbrBack = brush;
  info.dwMenuData = 99;

  // Bound by name, as callers do that cannot count on the function.
  HMODULE user32 = LoadLibraryA("user32.dll");
  ASSERT_TRUE(user32);
  auto setInfo = reinterpret_cast<BOOL (*)(HMENU, LPCMENUINFO)>(reinterpret_cast<void (*)()>(GetProcAddress(user32, "SetMenuInfo")));
  auto getInfo = reinterpret_cast<BOOL (*)(HMENU, LPMENUINFO)>(reinterpret_cast<void (*)()>(GetProcAddress(user32, "GetMenuInfo")));
  ASSERT_TRUE(setInfo && getInfo);
  ASSERT_TRUE(setInfo(menu, &info));

  MENUINFO read{};
  read.cbSize = sizeof read;
  read.fMask = MIM_BACKGROUND | MIM_MENUDATA;
  ASSERT_TRUE(getInfo(sub, &read));
  EXPECT_EQ(read.hbrBack, brush);
  EXPECT_EQ(read.dwMenuData, 99u);
  read.cbSize = sizeof read - 4;
  SetLastError(0);
  EXPECT_FALSE(GetMenuInfo(menu, &read));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  DestroyMenu(menu);
  DeleteObject(brush);
}

// ---- Resources ------------------------------------------------------------------------------------

const MenuScriptLine kMainLines[] = {
    {MENU_POPUP, "&File"},
      {MENU_ITEM, "&Open\tCtrl+O", 100},
      {MENU_SEPARATOR},
      {MENU_POPUP, "&Recent"},
        {MENU_ITEM, "One", 110},
        {MENU_ITEM, "Two", 111, MF_CHECKED},
      {MENU_END},
      {MENU_ITEM, "E&xit", 101, MF_GRAYED},
    {MENU_END},
    {MENU_ITEM, "&Help", 200},
};
const MenuResource kMainMenu(kMainLines);
const ResourceEntry kResources[] = {{RT_MENU, MAKEINTRESOURCE(128), kMainMenu.Data(), kMainMenu.Size()},
                                    {RT_MENU, "NAMED", kMainMenu.Data(), kMainMenu.Size()},
                                    {RT_MENU, MAKEINTRESOURCE(130), kMainMenu.Data(), 20}};
const ModuleResources kRegistered(kResources);

HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&kRegistered), &module);
  return module;
}

TEST(MenuResourcesTest, AScriptTableLoadsAsTheMenuItDescribes) {
  HMENU bar = LoadMenuA(ThisModule(), MAKEINTRESOURCE(128));
  ASSERT_TRUE(bar);
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(Text(bar, 0, MF_BYPOSITION), "&File");
  EXPECT_EQ(GetMenuItemID(bar, 1), 200u);
  HMENU file = GetSubMenu(bar, 0);
  ASSERT_TRUE(file);
  ASSERT_EQ(GetMenuItemCount(file), 4);
  EXPECT_EQ(Text(file, 100, MF_BYCOMMAND), "&Open\tCtrl+O");
  EXPECT_TRUE(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(GetMenuState(file, 101, MF_BYCOMMAND), UINT(MF_GRAYED));
  HMENU recent = GetSubMenu(file, 2);
  ASSERT_TRUE(recent);
  EXPECT_EQ(GetMenuItemCount(recent), 2);
  EXPECT_EQ(GetMenuState(recent, 111, MF_BYCOMMAND), UINT(MF_CHECKED));
  DestroyMenu(bar);

  HMENU named = LoadMenuA(ThisModule(), "named");
  EXPECT_TRUE(named);
  DestroyMenu(named);
  EXPECT_FALSE(LoadMenuA(ThisModule(), MAKEINTRESOURCE(129)));
}

TEST(MenuResourcesTest, TheTemplateIsLaidOutAsThePlatformReadsIt) {
  // Header (version 0, offset 0), then "&File" as a pop-up (flags, no id, text).
  const auto* words = static_cast<const WORD*>(kMainMenu.Data());
  EXPECT_EQ(words[0], 0);
  EXPECT_EQ(words[1], 0);
  EXPECT_EQ(words[2], MF_POPUP);
  EXPECT_EQ(words[3], u'&');
  // The last item of the top level ("&Help") carries MF_END; so do "E&xit" and "Two".
  HMENU copy = LoadMenuIndirectA(kMainMenu.Data());
  ASSERT_TRUE(copy);
  EXPECT_EQ(GetMenuItemCount(copy), 2);
  DestroyMenu(copy);
  const WORD* end = words + kMainMenu.Size() / 2;
  // "&Help": flags MF_END, id 200, text, terminator.
  const std::u16string help = u"&Help";
  const WORD* last = end - (help.size() + 1) - 2;
  EXPECT_EQ(last[0], MF_END);
  EXPECT_EQ(last[1], 200);
  // A resource cut short is refused rather than read past its end.
  EXPECT_FALSE(LoadMenuA(ThisModule(), MAKEINTRESOURCE(130)));
}

}  // namespace
