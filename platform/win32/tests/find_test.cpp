#include <sys/stat.h>

#include <vector>

#include "test_folder.h"
#include "win32/windows.h"

using win32_test::MakeTestFolder;
using win32_test::WriteText;

namespace {

class FindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = MakeTestFolder();
    platform = PlatformPathFromPosix(folder);
    for (const char* name : {"b.INI", "a.ini", "C.ini", "readme", "a.bak"}) WriteText(folder + "/" + name, "12");
    mkdir((folder + "/Skins").c_str(), 0777);
  }

  // Every name a search returns, in order.
  std::vector<std::string> Find(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATA data;
    HANDLE h = FindFirstFile((platform + "\\" + pattern).c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return names;
    do names.push_back(data.cFileName);
    while (FindNextFile(h, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(h));
    return names;
  }

  std::string folder;
  std::string platform;
};

using Names = std::vector<std::string>;

TEST_F(FindTest, MatchAllListsDotsFirstThenCaseInsensitiveOrder) {
  const Names all = {".", "..", "a.bak", "a.ini", "b.INI", "C.ini", "readme", "Skins"};
  EXPECT_EQ(Find("*.*"), all) << "\"*.*\" also matches names without a dot";
  EXPECT_EQ(Find("*"), all);
}

TEST_F(FindTest, WildcardsIgnoreCase) {
  EXPECT_EQ(Find("*.ini"), (Names{"a.ini", "b.INI", "C.ini"}));
  EXPECT_EQ(Find("?.INI"), (Names{"a.ini", "b.INI", "C.ini"}));
  EXPECT_EQ(Find("a.*"), (Names{"a.bak", "a.ini"}));
  EXPECT_EQ(Find("*K*"), (Names{"a.bak", "Skins"}));
  EXPECT_EQ(Find("READ??"), (Names{"readme"}));
  EXPECT_EQ(Find("skins"), (Names{"Skins"})) << "a plain name finds itself in any case";
}

TEST_F(FindTest, EntryDataDescribesTheFile) {
  WIN32_FIND_DATA data;
  HANDLE h = FindFirstFile((platform + "\\SKINS").c_str(), &data);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  FindClose(h);
  h = FindFirstFile((platform + "\\readme").c_str(), &data);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(data.nFileSizeLow, 2u);
  FindClose(h);
}

TEST_F(FindTest, FailuresAndStaleHandles) {
  WIN32_FIND_DATA data;
  EXPECT_EQ(FindFirstFile((platform + "\\*.skn").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(FindFirstFile((platform + "\\missing\\*.*").c_str(), &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

  HANDLE h = FindFirstFile((platform + "\\*.ini").c_str(), &data);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(CloseHandle(h)) << "searches end with FindClose";
  EXPECT_TRUE(FindClose(h));
  EXPECT_FALSE(FindClose(h));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(FindNextFile(h, &data));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
