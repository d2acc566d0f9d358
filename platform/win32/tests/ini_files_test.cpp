#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_folder.h"
#include "win32/windows.h"

using win32_test::MakeTestFolder;
using win32_test::ReadText;
using win32_test::WriteText;

namespace {

const char kSample[] =
    "; settings\r\n"
    "[Main]\r\n"
    "  Screen =  back.bmp  \r\n"
    "Title=\"  quoted  \"\r\n"
    "Single='x'\r\n"
    "Odd=\"unbalanced\r\n"
    "screen=second.bmp\r\n"
    ";Hidden=1\r\n"
    "Bare\r\n"
    "\r\n"
    "[COLOR]\r\n"
    "TRANSPARENT=255,0,255\r\n"
    "[main]\r\n"
    "Late=ignored\r\n";

std::string Get(const char* section, const char* key, const std::string& file, const char* def = "dflt",
                DWORD size = 256) {
  std::string buffer(size, '\x7f');
  DWORD n = GetPrivateProfileStringA(section, key, def, buffer.data(), size, file.c_str());
  return buffer.substr(0, n);
}

// A double-NUL list as the names it holds.
std::vector<std::string> Names(const char* buffer) {
  std::vector<std::string> names;
  for (const char* p = buffer; *p; p += names.back().size() + 1) names.emplace_back(p);
  return names;
}

TEST(IniRead, MatchesNamesWithoutCaseAndTakesTheFirstOccurrence) {
  std::string file = MakeTestFolder() + "/skin.ini";
  WriteText(file, kSample);
  EXPECT_EQ(Get("MAIN", "screen", file), "back.bmp") << "trimmed, first of two equal keys";
  EXPECT_EQ(Get("color", "Transparent", file), "255,0,255");
  EXPECT_EQ(Get("Main", "Late", file), "dflt") << "a second [main] section is not read";
  EXPECT_EQ(Get("Main", "Hidden", file), "dflt") << "comment lines are not entries";
  EXPECT_EQ(Get("Main", ";Hidden", file), "dflt");
  EXPECT_EQ(Get("Main", "Bare", file), "") << "a line without '=' is a key with an empty value";
  EXPECT_EQ(Get("Nowhere", "Screen", file), "dflt");
}

TEST(IniRead, RemovesMatchingQuotesOnly) {
  std::string file = MakeTestFolder() + "/skin.ini";
  WriteText(file, kSample);
  EXPECT_EQ(Get("Main", "Title", file), "  quoted  ");
  EXPECT_EQ(Get("Main", "Single", file), "x");
  EXPECT_EQ(Get("Main", "Odd", file), "\"unbalanced");
}

TEST(IniRead, DefaultsLoseTrailingBlanksAndMissingFilesGiveThem) {
  std::string folder = MakeTestFolder();
  EXPECT_EQ(Get("Main", "Screen", folder + "/none.ini", "fallback  "), "fallback");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(Get("Main", "Screen", folder + "/none.ini", nullptr), "");
  EXPECT_EQ(GetPrivateProfileIntA("Main", "Count", 17, (folder + "/none.ini").c_str()), 17u);
}

TEST(IniRead, CutsValuesAndListsThatDoNotFit) {
  std::string file = MakeTestFolder() + "/cut.ini";
  WriteText(file, "[Alpha]\nkey=abcdefghij\nsecond=1\n[Beta]\n");
  char buffer[16];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(GetPrivateProfileStringA("Alpha", "key", "", buffer, 5, file.c_str()), 4u);
  EXPECT_STREQ(buffer, "abcd");
  EXPECT_EQ(GetPrivateProfileStringA("Alpha", "key", "", buffer, 11, file.c_str()), 10u) << "exact fit";

  // "Alpha\0Beta\0\0" needs 12 bytes; 9 gives "Alpha\0B" and the closing NULs.
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(GetPrivateProfileSectionNamesA(buffer, 9, file.c_str()), 7u);
  EXPECT_EQ(std::string(buffer, 9), std::string("Alpha\0B\0\0", 9));
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(GetPrivateProfileStringA("Alpha", nullptr, "", buffer, 6, file.c_str()), 4u);
  EXPECT_EQ(std::string(buffer, 6), std::string("key\0\0\0", 6));
  EXPECT_EQ(GetPrivateProfileSectionNamesA(buffer, 12, file.c_str()), 11u) << "exact fit";
  EXPECT_EQ(Names(buffer), (std::vector<std::string>{"Alpha", "Beta"}));
}

TEST(IniRead, ListsSectionsKeysAndEntriesOnce) {
  std::string file = MakeTestFolder() + "/skin.ini";
  WriteText(file, kSample);
  char buffer[512];
  GetPrivateProfileSectionNamesA(buffer, sizeof buffer, file.c_str());
  EXPECT_EQ(Names(buffer), (std::vector<std::string>{"Main", "COLOR"}));
  GetPrivateProfileStringA("main", nullptr, "", buffer, sizeof buffer, file.c_str());
  EXPECT_EQ(Names(buffer), (std::vector<std::string>{"Screen", "Title", "Single", "Odd", "Bare"}));
  GetPrivateProfileSectionA("Color", buffer, sizeof buffer, file.c_str());
  EXPECT_EQ(Names(buffer), (std::vector<std::string>{"TRANSPARENT=255,0,255"}));
  EXPECT_EQ(GetPrivateProfileStringA("Empty", nullptr, "x", buffer, sizeof buffer, file.c_str()), 0u);
  EXPECT_EQ(buffer[0], '\0');
}

TEST(IniRead, ReadsIntegersThePlatformWay) {
  std::string file = MakeTestFolder() + "/int.ini";
  WriteText(file, "[N]\na=42\nb=-3\nc=12abc\nd=abc\ne=\nf=\"7\"\n");
  const char* f = file.c_str();
  EXPECT_EQ(GetPrivateProfileIntA("N", "a", 5, f), 42u);
  EXPECT_EQ(GetPrivateProfileIntA("N", "b", 5, f), static_cast<UINT>(-3));
  EXPECT_EQ(GetPrivateProfileIntA("N", "c", 5, f), 12u);
  EXPECT_EQ(GetPrivateProfileIntA("N", "d", 5, f), 0u);
  EXPECT_EQ(GetPrivateProfileIntA("N", "e", 5, f), 5u);
  EXPECT_EQ(GetPrivateProfileIntA("N", "f", 5, f), 7u);
  EXPECT_EQ(GetPrivateProfileIntA("N", "missing", -1, f), static_cast<UINT>(-1));
}

TEST(IniRead, FollowsThePathRulesAndSeesChangesAtOnce) {
  std::string folder = MakeTestFolder();
  mkdir((folder + "/Tmp").c_str(), 0777);
  WriteText(folder + "/Tmp/Skin.ini", "[Main]\nScreen=a.bmp\n");
  std::string platformPath = PlatformPathFromPosix(folder) + "\\tmp\\SKIN.INI";
  EXPECT_EQ(Get("Main", "Screen", platformPath), "a.bmp");
  WriteText(folder + "/Tmp/Skin.ini", "[Main]\nScreen=b.bmp\n");
  EXPECT_EQ(Get("Main", "Screen", platformPath), "b.bmp");
}

TEST(IniWrite, ChangesOnlyTheLineConcerned) {
  std::string file = MakeTestFolder() + "/settings.ini";
  WriteText(file, "; keep me\r\n[SETTING]\r\nSelSkin=old\r\nOther = 1\r\n\r\n[Next]\r\nA=1\r\n");
  EXPECT_TRUE(WritePrivateProfileStringA("setting", "SELSKIN", "new", file.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("SETTING", "Added", "2", file.c_str()));
  EXPECT_EQ(ReadText(file),
            "; keep me\r\n[SETTING]\r\nSelSkin=new\r\nOther = 1\r\nAdded=2\r\n\r\n[Next]\r\nA=1\r\n");
  EXPECT_TRUE(WritePrivateProfileStringA("SETTING", "Other", nullptr, file.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("Next", nullptr, nullptr, file.c_str()));
  EXPECT_EQ(ReadText(file), "; keep me\r\n[SETTING]\r\nSelSkin=new\r\nAdded=2\r\n\r\n");
}

TEST(IniWrite, KeepsByteOrderMarkAndLineEnds) {
  std::string file = MakeTestFolder() + "/unix.ini";
  WriteText(file, "\xEF\xBB\xBF[Main]\nScreen=a.bmp\n");
  EXPECT_EQ(Get("Main", "Screen", file), "a.bmp");
  EXPECT_TRUE(WritePrivateProfileStringA("Main", "Color", "red", file.c_str()));
  EXPECT_EQ(ReadText(file), "\xEF\xBB\xBF[Main]\nScreen=a.bmp\nColor=red\n");
}

TEST(IniWrite, CreatesTheFileAndSection) {
  std::string file = PlatformPathFromPosix(MakeTestFolder()) + "\\MyProfile.ini";
  EXPECT_TRUE(WritePrivateProfileStringA("MYPROFILE", "Name", "Web", file.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("MYPROFILE", "DESC", "small", file.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("Other", "x", "", file.c_str()));
  EXPECT_EQ(ReadText(PosixPathFromPlatform(file)), "[MYPROFILE]\r\nName=Web\r\nDESC=small\r\n[Other]\r\nx=\r\n");
  EXPECT_EQ(Get("myprofile", "name", file), "Web");

  EXPECT_TRUE(WritePrivateProfileSectionA("Other", "k=v\0j=w\0", file.c_str()));
  EXPECT_EQ(Get("Other", "j", file), "w");
  EXPECT_EQ(Get("Other", "x", file), "dflt") << "the section's entries were replaced";
}

TEST(IniWrite, FlushCallAndBadInput) {
  std::string folder = MakeTestFolder();
  std::string file = folder + "/flush.ini";
  EXPECT_FALSE(WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str()))
      << "the platform answers FALSE to the flush call";
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "two\nlines", file.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(WritePrivateProfileStringA("S", ";k", "v", file.c_str())) << "would read as a comment";
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", (folder + "/no/such/folder.ini").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_TRUE(WritePrivateProfileStringA("S", "k", nullptr, file.c_str())) << "deleting nothing";
  EXPECT_NE(access(file.c_str(), F_OK), 0) << "and no file is made for it";
}

}  // namespace
