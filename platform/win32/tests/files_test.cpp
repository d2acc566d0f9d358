#include <sys/stat.h>

#include <cstring>

#include "test_folder.h"
#include "win32/windows.h"

using win32_test::MakeTestFolder;
using win32_test::ReadText;
using win32_test::WriteText;

namespace {

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = MakeTestFolder();
    platform = PlatformPathFromPosix(folder);
  }
  std::string P(const std::string& name) const { return platform + "\\" + name; }
  std::string folder;
  std::string platform;
};

DWORD Error() { return GetLastError(); }

TEST_F(FilesTest, WriteSeekReadAndSize) {
  HANDLE h = CreateFile(P("data.bin").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_GE(reinterpret_cast<uintptr_t>(h), 0x10000u);
  DWORD n = 0;
  ASSERT_TRUE(WriteFile(h, "hello world", 11, &n, nullptr));
  EXPECT_EQ(n, 11u);
  EXPECT_EQ(GetFileSize(h, nullptr), 11u);
  EXPECT_EQ(GetFileType(h), static_cast<DWORD>(FILE_TYPE_DISK));

  EXPECT_EQ(SetFilePointer(h, 6, nullptr, FILE_BEGIN), 6u);
  char buffer[32] = {};
  ASSERT_TRUE(ReadFile(h, buffer, sizeof buffer, &n, nullptr));
  EXPECT_EQ(n, 5u);
  EXPECT_STREQ(buffer, "world");
  ASSERT_TRUE(ReadFile(h, buffer, sizeof buffer, &n, nullptr)) << "end of file is not an error";
  EXPECT_EQ(n, 0u);

  EXPECT_EQ(SetFilePointer(h, -5, nullptr, FILE_END), 6u);
  EXPECT_EQ(SetFilePointer(h, -7, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));

  LONG high = 1;  // 4 GiB + 5: a 64-bit position through the high part
  EXPECT_EQ(SetFilePointer(h, 5, &high, FILE_BEGIN), 5u);
  EXPECT_EQ(high, 1);
  LARGE_INTEGER to, at;
  to.QuadPart = 5;
  ASSERT_TRUE(SetFilePointerEx(h, to, &at, FILE_BEGIN));
  EXPECT_EQ(at.QuadPart, 5);
  ASSERT_TRUE(SetEndOfFile(h));
  LARGE_INTEGER size;
  ASSERT_TRUE(GetFileSizeEx(h, &size));
  EXPECT_EQ(size.QuadPart, 5);
  EXPECT_TRUE(FlushFileBuffers(h));
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_EQ(ReadText(folder + "/data.bin"), "hello");
}

TEST_F(FilesTest, DispositionsAndTheirLastErrors) {
  const std::string name = P("d.txt");
  EXPECT_EQ(CreateFile(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(CreateFile(P("nofolder\\d.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

  HANDLE h = CreateFile(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_TRUE(WriteFile(h, "abc", 3, nullptr, nullptr));
  CloseHandle(h);

  h = CreateFile(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "success, reporting an existing file";
  CloseHandle(h);
  EXPECT_EQ(ReadText(folder + "/d.txt"), "abc");

  EXPECT_EQ(CreateFile(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_FILE_EXISTS));

  h = CreateFile(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  CloseHandle(h);
  EXPECT_EQ(ReadText(folder + "/d.txt"), "") << "CREATE_ALWAYS truncates";

  EXPECT_EQ(CreateFile(name.c_str(), GENERIC_READ, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE)
      << "truncating needs write access";
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  EXPECT_EQ(CreateFile(platform.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << "a folder is not a file";
  h = CreateFile(platform.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);

  EXPECT_EQ(CreateFile(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(FilesTest, AccessModesAreEnforced) {
  WriteText(folder + "/r.txt", "abc");
  HANDLE h = CreateFile(P("r.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD n = 99;
  EXPECT_FALSE(WriteFile(h, "x", 1, &n, nullptr));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(n, 0u);
  EXPECT_FALSE(SetEndOfFile(h));
  OVERLAPPED overlapped{};
  char c;
  EXPECT_FALSE(ReadFile(h, &c, 1, &n, &overlapped)) << "no asynchronous reads";
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  CloseHandle(h);

  h = CreateFile(P("r.txt").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_FALSE(ReadFile(h, &c, 1, &n, nullptr));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  CloseHandle(h);
}

TEST_F(FilesTest, StaleAndForeignHandlesFailCleanly) {
  HANDLE h = CreateFile(P("s.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_TRUE(CloseHandle(h));
  EXPECT_FALSE(CloseHandle(h));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  DWORD n = 5;
  EXPECT_FALSE(WriteFile(h, "x", 1, &n, nullptr));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(GetFileSize(h, nullptr), INVALID_FILE_SIZE);
  EXPECT_EQ(GetFileType(h), static_cast<DWORD>(FILE_TYPE_UNKNOWN));
  EXPECT_EQ(SetFilePointer(INVALID_HANDLE_VALUE, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
  EXPECT_FALSE(CloseHandle(nullptr));
  EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));

  HGLOBAL memory = GlobalAlloc(GHND, 4);
  EXPECT_FALSE(CloseHandle(memory)) << "memory handles are not closed by CloseHandle";
  EXPECT_EQ(GlobalFree(memory), nullptr);
}

TEST_F(FilesTest, ReadOnlyIsTheOwnersWritePermission) {
  HANDLE h = CreateFile(P("ro.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_READONLY, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(WriteFile(h, "kept", 4, nullptr, nullptr)) << "the creating handle may still write";
  CloseHandle(h);
  EXPECT_EQ(GetFileAttributes(P("ro.txt").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  struct stat st;
  ASSERT_EQ(stat((folder + "/ro.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0222, 0u);

  EXPECT_EQ(CreateFile(P("ro.txt").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(CreateFile(P("ro.txt").c_str(), GENERIC_READ, 0, nullptr, CREATE_ALWAYS, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(DeleteFile(P("ro.txt").c_str()));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(ReadText(folder + "/ro.txt"), "kept");

  ASSERT_TRUE(SetFileAttributes(P("ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(GetFileAttributes(P("ro.txt").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(DeleteFile(P("ro.txt").c_str()));
  EXPECT_FALSE(DeleteFile(P("ro.txt").c_str()));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  // On folders read-only never stops anything, so files can still be made inside.
  ASSERT_TRUE(CreateDirectory(P("dir").c_str(), nullptr));
  EXPECT_TRUE(SetFileAttributes(P("dir").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(GetFileAttributes(P("dir").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_FALSE(SetFileAttributes(P("missing").c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FilesTest, MoveCopyAndDelete) {
  WriteText(folder + "/a.txt", "alpha");
  WriteText(folder + "/b.txt", "beta");
  EXPECT_FALSE(MoveFile(P("a.txt").c_str(), P("b.txt").c_str()));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_TRUE(MoveFileEx(P("a.txt").c_str(), P("b.txt").c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(ReadText(folder + "/b.txt"), "alpha");
  EXPECT_EQ(GetFileAttributes(P("a.txt").c_str()), INVALID_FILE_ATTRIBUTES);

  // A change of case only renames.
  EXPECT_TRUE(MoveFile(P("b.txt").c_str(), P("B.TXT").c_str()));
  EXPECT_EQ(ReadText(folder + "/B.TXT"), "alpha");

  EXPECT_TRUE(CopyFile(P("B.TXT").c_str(), P("c.txt").c_str(), TRUE));
  EXPECT_EQ(ReadText(folder + "/c.txt"), "alpha");
  EXPECT_FALSE(CopyFile(P("B.TXT").c_str(), P("c.txt").c_str(), TRUE));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_FILE_EXISTS));
  WriteText(folder + "/B.TXT", "gamma");
  EXPECT_TRUE(CopyFile(P("b.txt").c_str(), P("c.txt").c_str(), FALSE));
  EXPECT_EQ(ReadText(folder + "/c.txt"), "gamma");

  // Copying a file onto itself must not empty it.
  EXPECT_FALSE(CopyFile(P("c.txt").c_str(), P("C.txt").c_str(), FALSE));
  EXPECT_EQ(ReadText(folder + "/c.txt"), "gamma");

  // Copies keep read-only; a read-only target is not overwritten.
  ASSERT_TRUE(SetFileAttributes(P("c.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(CopyFile(P("c.txt").c_str(), P("d.txt").c_str(), TRUE));
  EXPECT_EQ(GetFileAttributes(P("d.txt").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(CopyFile(P("B.TXT").c_str(), P("d.txt").c_str(), FALSE));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

  EXPECT_FALSE(CopyFile(P("none").c_str(), P("e.txt").c_str(), FALSE));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(CopyFile(P("B.TXT").c_str(), P("nofolder\\e.txt").c_str(), FALSE));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(DeleteFile(platform.c_str())) << "folders are not files";
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  // Nor are devices and pipes, whatever the caller's rights: a program cleaning up after itself
  // must not take a device with it.
  ASSERT_EQ(mkfifo((folder + "/pipe").c_str(), 0600), 0);
  EXPECT_FALSE(DeleteFile(P("pipe").c_str()));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  struct stat st;
  EXPECT_EQ(lstat((folder + "/pipe").c_str(), &st), 0);
}

TEST_F(FilesTest, Folders) {
  EXPECT_TRUE(CreateDirectory(P("sub").c_str(), nullptr));
  EXPECT_FALSE(CreateDirectory(P("SUB").c_str(), nullptr)) << "names match without regard to case";
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_FALSE(CreateDirectory(P("x\\y").c_str(), nullptr));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  WriteText(folder + "/sub/f", "");
  EXPECT_FALSE(RemoveDirectory(P("sub").c_str()));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
  EXPECT_FALSE(RemoveDirectory(P("sub\\f").c_str()));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_DIRECTORY));
  EXPECT_TRUE(DeleteFile(P("sub\\f").c_str()));
  EXPECT_TRUE(RemoveDirectory(P("Sub\\").c_str()));
  EXPECT_FALSE(RemoveDirectory(P("sub").c_str()));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FilesTest, TimesAndAttributeData) {
  HANDLE h = CreateFile(P("t.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  WriteFile(h, "12345", 5, nullptr, nullptr);
  SYSTEMTIME st{2007, 6, 0, 15, 13, 45, 30, 0};
  FILETIME written, accessed;
  ASSERT_TRUE(SystemTimeToFileTime(&st, &written));
  st.wYear = 2008;
  ASSERT_TRUE(SystemTimeToFileTime(&st, &accessed));
  ASSERT_TRUE(SetFileTime(h, nullptr, &accessed, &written));
  FILETIME c, a, w;
  ASSERT_TRUE(GetFileTime(h, &c, &a, &w));
  EXPECT_EQ(CompareFileTime(&w, &written), 0);
  EXPECT_EQ(CompareFileTime(&a, &accessed), 0);
  ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, nullptr)) << "null times change nothing";
  ASSERT_TRUE(GetFileTime(h, nullptr, nullptr, &w));
  EXPECT_EQ(CompareFileTime(&w, &written), 0);
  CloseHandle(h);

  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesEx(P("T.TXT").c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(data.nFileSizeLow, 5u);
  EXPECT_EQ(CompareFileTime(&data.ftLastWriteTime, &written), 0);
  EXPECT_FALSE(GetFileAttributesEx(P("nothing").c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FilesTest, DeleteOnClose) {
  HANDLE h = CreateFile(P("tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_NE(GetFileAttributes(P("tmp").c_str()), INVALID_FILE_ATTRIBUTES);
  CloseHandle(h);
  EXPECT_EQ(GetFileAttributes(P("tmp").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FilesTest, ReadOnlyMappingViews) {
  std::string content(0x10000 + 100, 'a');
  content.replace(0x10000, 5, "hello");
  WriteText(folder + "/m.bin", content);
  HANDLE file = CreateFile(P("m.bin").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(CreateFileMapping(file, nullptr, PAGE_READWRITE, 0, 0, nullptr), nullptr);
  EXPECT_EQ(CreateFileMapping(file, nullptr, PAGE_READONLY, 1, 0, nullptr), nullptr) << "larger than the file";
  HANDLE mapping = CreateFileMapping(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  ASSERT_NE(mapping, nullptr);
  ASSERT_TRUE(CloseHandle(file)) << "the mapping keeps the file";

  const char* whole = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(whole, nullptr);
  EXPECT_EQ(std::string(whole + 0x10000, 5), "hello");
  const char* tail = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0x10000, 5));
  ASSERT_NE(tail, nullptr);
  EXPECT_EQ(std::string(tail, 5), "hello");

  EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 100, 0), nullptr);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_MAPPED_ALIGNMENT));
  EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0), nullptr);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, content.size() + 1), nullptr);

  ASSERT_TRUE(CloseHandle(mapping));
  EXPECT_EQ(whole[0], 'a') << "views outlive the mapping handle";
  EXPECT_TRUE(UnmapViewOfFile(whole));
  EXPECT_TRUE(UnmapViewOfFile(tail));
  EXPECT_FALSE(UnmapViewOfFile(tail));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_ADDRESS));
  EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0), nullptr);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

  WriteText(folder + "/empty", "");
  file = CreateFile(P("empty").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(CreateFileMapping(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_FILE_INVALID));
  CloseHandle(file);
}

}  // namespace
