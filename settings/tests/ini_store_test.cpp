// Ini access: values with their defaults and cuts, writes, and the section and key name lists.
#include "settings/ini_store.h"

#include <gtest/gtest.h>

#include <string>

#include "settings_test_folder.h"

namespace {

using settings_test::FreshFolder;
using settings_test::WriteText;

std::string Join(const CStringArray& names) {
  std::string all;
  for (INT_PTR i = 0; i < names.GetSize(); ++i) all += std::string(names[i]) + "|";
  return all;
}

TEST(IniStore, ValuesAndDefaults) {
  const std::string path = FreshFolder() + "/skin.ini";
  WriteText(path, "[Main]\nScreen = face.bmp\nEmpty=\n[COLOR]\ntransparent=0xFF00FF\n");
  CIniStore ini(path.c_str());
  EXPECT_STREQ(ini.ReadString("Main", "Screen"), "face.bmp");
  EXPECT_STREQ(ini.ReadString("main", "SCREEN"), "face.bmp");  // names match without case
  EXPECT_STREQ(ini.ReadString("color", "TRANSPARENT"), "0xFF00FF");
  EXPECT_STREQ(ini.ReadString("Main", "Empty", "dflt"), "");  // present but empty
  EXPECT_STREQ(ini.ReadString("Main", "Missing", "dflt"), "dflt");
  EXPECT_STREQ(ini.ReadString("Main", "Missing"), "");
  EXPECT_STREQ(CIniStore((FreshFolder() + "/none.ini").c_str()).ReadString("Main", "Screen", "x"), "x");
}

TEST(IniStore, LongValuesAreCutAt2047Characters) {
  const std::string path = FreshFolder() + "/long.ini";
  WriteText(path, "[S]\nk=" + std::string(3000, 'v') + "\n");
  EXPECT_EQ(CIniStore(path.c_str()).ReadString("S", "k").GetLength(), 2047);
}

TEST(IniStore, WritesReadBack) {
  const std::string path = FreshFolder() + "/w.ini";
  CIniStore ini(path.c_str());
  EXPECT_TRUE(ini.WriteString("SETTING", "SelSkin", "4"));
  EXPECT_TRUE(ini.WriteString("SETTING", "PreFixName", "clip"));
  EXPECT_STREQ(ini.ReadString("SETTING", "SelSkin"), "4");
  EXPECT_EQ(settings_test::ReadLines(path), "[SETTING]\nSelSkin=4\nPreFixName=clip\n");
  // A folder that does not exist cannot take the file.
  EXPECT_FALSE(CIniStore((path + ".d/none/x.ini").c_str()).WriteString("S", "k", "v"));
}

TEST(IniStore, SectionAndKeyNameLists) {
  const std::string path = FreshFolder() + "/lists.ini";
  WriteText(path, "[Main]\nScreen=a.bmp\n[BUTTONINFO]\n1=x\n3=y\nnote=z\n; 9=comment\n[Empty]\n");
  CIniStore ini(path.c_str());
  CStringArray names;
  EXPECT_TRUE(ini.ReadSectionNames(names));
  EXPECT_EQ(Join(names), "Main|BUTTONINFO|Empty|");
  EXPECT_TRUE(ini.ReadKeyNames("buttoninfo", names));
  EXPECT_EQ(Join(names), "1|3|note|");  // the list replaces what the array held

  names.Add("stale");
  EXPECT_FALSE(ini.ReadKeyNames("Missing", names));
  EXPECT_EQ(names.GetSize(), 0);
  names.Add("stale");
  EXPECT_FALSE(ini.ReadKeyNames("Empty", names));
  EXPECT_EQ(names.GetSize(), 0);
  names.Add("stale");
  EXPECT_FALSE(CIniStore((path + ".none").c_str()).ReadSectionNames(names));
  EXPECT_EQ(names.GetSize(), 0);
}

TEST(IniStore, ListsLongerThanTheBufferKeepTheNamesBeforeTheCut) {
  const std::string path = FreshFolder() + "/many.ini";
  // 2000 keys of 9 characters and a NUL each: 20000 characters, more than the 16384 kept.
  std::string text = "[S]\n";
  for (int i = 0; i < 2000; ++i) text += "key" + std::to_string(100000 + i) + "=v\n";
  WriteText(path, text);
  CStringArray names;
  EXPECT_TRUE(CIniStore(path.c_str()).ReadKeyNames("S", names));
  ASSERT_GT(names.GetSize(), 1600);
  EXPECT_LT(names.GetSize(), 2000);
  for (INT_PTR i = 0; i + 1 < names.GetSize(); ++i)  // the last one may be cut short
    EXPECT_EQ(std::string(names[i]), "key" + std::to_string(100000 + i));
}

}  // namespace
