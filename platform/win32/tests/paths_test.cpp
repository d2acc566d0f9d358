#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "test_folder.h"
#include "win32/windows.h"

using win32_test::MakeTestFolder;
using win32_test::WriteText;

namespace {

// Tests that change the current folder put it back.
class PathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = MakeTestFolder();
    char* cwd = getcwd(nullptr, 0);
    saved = cwd;
    std::free(cwd);
  }
  void TearDown() override { ASSERT_EQ(chdir(saved.c_str()), 0); }
  std::string folder;
  std::string saved;
};

TEST_F(PathsTest, DriveLettersSeparatorsAndDots) {
  const std::string home = std::getenv("CORVANE_CDRIVE");
  EXPECT_EQ(PosixPathFromPlatform("C:\\Videos\\clip.avi"), home + "/Videos/clip.avi");
  EXPECT_EQ(PosixPathFromPlatform("c:/Videos/clip.avi"), home + "/Videos/clip.avi");
  EXPECT_EQ(PosixPathFromPlatform("C:"), home);
  EXPECT_EQ(PosixPathFromPlatform("D:\\no\\such\\place"), "/no/such/place");
  EXPECT_EQ(PosixPathFromPlatform("\\no/such\\\\place"), "/no/such/place");
  EXPECT_EQ(PosixPathFromPlatform("\\a\\.\\b\\..\\c"), "/a/c");
  EXPECT_EQ(PosixPathFromPlatform("\\..\\..\\x"), "/x") << "never above the root";
  EXPECT_EQ(PosixPathFromPlatform("\\a\\b\\"), "/a/b/") << "a trailing separator is kept";
}

TEST_F(PathsTest, RelativePathsStartAtTheCurrentFolder) {
  ASSERT_TRUE(SetCurrentDirectory(PlatformPathFromPosix(folder).c_str()));
  EXPECT_EQ(PosixPathFromPlatform("sub\\file.txt"), folder + "/sub/file.txt");
  EXPECT_EQ(PosixPathFromPlatform("..\\x"), folder.substr(0, folder.rfind('/')) + "/x");
}

TEST_F(PathsTest, ComponentsMatchWithoutRegardToCase) {
  ASSERT_EQ(mkdir((folder + "/Videos").c_str(), 0777), 0);
  WriteText(folder + "/Videos/Clip.AVI", "x");
  const std::string platform = PlatformPathFromPosix(folder);
  EXPECT_EQ(PosixPathFromPlatform(platform + "\\VIDEOS\\clip.avi"), folder + "/Videos/Clip.AVI");
  // A name that matches nothing keeps its spelling, and so does everything after it.
  EXPECT_EQ(PosixPathFromPlatform(platform + "\\videos\\New\\Out.avi"), folder + "/Videos/New/Out.avi");
  // An exact match wins over a case-insensitive one.
  WriteText(folder + "/Videos/clip.avi", "y");
  EXPECT_EQ(PosixPathFromPlatform(platform + "\\Videos\\clip.avi"), folder + "/Videos/clip.avi");
  EXPECT_EQ(PosixPathFromPlatform(platform + "\\Videos\\CLIP.avi"), folder + "/Videos/Clip.AVI")
      << "the first candidate in byte order";
}

TEST_F(PathsTest, PlatformFormUsesBackslashesWithoutDrive) {
  EXPECT_EQ(PlatformPathFromPosix("/home/ann/Videos/clip.avi"), "\\home\\ann\\Videos\\clip.avi");
  EXPECT_EQ(PlatformPathFromPosix("/"), "\\");
}

TEST_F(PathsTest, CurrentDirectoryRoundTripAndBufferRules) {
  const std::string platform = PlatformPathFromPosix(folder);
  ASSERT_TRUE(SetCurrentDirectory((platform + "\\").c_str()));
  char buffer[MAX_PATH];
  EXPECT_EQ(GetCurrentDirectory(MAX_PATH, buffer), platform.size());
  EXPECT_STREQ(buffer, platform.c_str());
  EXPECT_EQ(GetCurrentDirectory(0, nullptr), platform.size() + 1);
  EXPECT_EQ(GetCurrentDirectory(static_cast<DWORD>(platform.size()), buffer), platform.size() + 1)
      << "one byte short of the terminator";

  EXPECT_FALSE(SetCurrentDirectory((platform + "\\missing").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  WriteText(folder + "/file", "");
  EXPECT_FALSE(SetCurrentDirectory((platform + "\\file").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
}

TEST_F(PathsTest, FullPathNameAndItsFilePart) {
  ASSERT_TRUE(SetCurrentDirectory(PlatformPathFromPosix(folder).c_str()));
  const std::string platform = PlatformPathFromPosix(folder);
  char buffer[MAX_PATH];
  char* filePart = nullptr;
  DWORD n = GetFullPathName("skins\\..\\clip.avi", MAX_PATH, buffer, &filePart);
  EXPECT_EQ(std::string(buffer), platform + "\\clip.avi");
  EXPECT_EQ(n, std::strlen(buffer));
  ASSERT_NE(filePart, nullptr);
  EXPECT_STREQ(filePart, "clip.avi");

  EXPECT_GT(GetFullPathName("C:\\Videos\\", MAX_PATH, buffer, &filePart), 0u);
  EXPECT_EQ(filePart, nullptr) << "a path ending in a separator has no file part";
  EXPECT_EQ(buffer[std::strlen(buffer) - 1], '\\');

  const DWORD needed = GetFullPathName("clip.avi", 4, buffer, &filePart);
  EXPECT_EQ(needed, platform.size() + std::strlen("\\clip.avi") + 1);
  EXPECT_EQ(filePart, nullptr);
  EXPECT_EQ(GetFullPathName("", MAX_PATH, buffer, &filePart), 0u);
}

TEST_F(PathsTest, TemporaryFolderAndNames) {
  char temp[MAX_PATH];
  DWORD n = GetTempPath(MAX_PATH, temp);
  ASSERT_GT(n, 0u);
  EXPECT_EQ(temp[0], '\\');
  EXPECT_EQ(temp[n - 1], '\\');

  const std::string platform = PlatformPathFromPosix(folder);
  char first[MAX_PATH], second[MAX_PATH];
  UINT a = GetTempFileName(platform.c_str(), "corvane", 0, first);
  UINT b = GetTempFileName(platform.c_str(), "corvane", 0, second);
  ASSERT_NE(a, 0u);
  ASSERT_NE(b, 0u);
  EXPECT_NE(a, b);
  EXPECT_NE(std::string(first), std::string(second));
  EXPECT_EQ(std::string(first).substr(0, platform.size() + 4), platform + "\\cor");
  EXPECT_EQ(std::string(first).substr(std::strlen(first) - 4), ".TMP");
  EXPECT_NE(GetFileAttributes(first), INVALID_FILE_ATTRIBUTES) << "a chosen name is created";

  EXPECT_EQ(GetTempFileName(platform.c_str(), "ab", 0x1A2B, first), 0x1A2Bu);
  EXPECT_EQ(std::string(first), platform + "\\ab1A2B.TMP");
  EXPECT_EQ(GetFileAttributes(first), INVALID_FILE_ATTRIBUTES) << "a given number creates nothing";
}

TEST_F(PathsTest, DriveTypes) {
  EXPECT_EQ(GetDriveType("C:\\"), static_cast<UINT>(DRIVE_FIXED));
  EXPECT_EQ(GetDriveType("\\"), static_cast<UINT>(DRIVE_FIXED));
  EXPECT_EQ(GetDriveType("\\no\\such\\root\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
}

}  // namespace
