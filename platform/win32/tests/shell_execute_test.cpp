// The shell's "open": documents by their POSIX path and addresses as they are reach the opener;
// other verbs and missing files are refused.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "test_folder.h"
#include "win32/shellapi.h"
#include "win32/windows.h"

namespace {

class ShellOpenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = win32_test::MakeTestFolder();
    // The opener writes its argument into a pipe the test reads: no waiting on the clock.
    pipe = folder + "/opened";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string opener = folder + "/opener.sh";
    win32_test::WriteText(opener, "#!/bin/sh\nprintf '%s' \"$1\" > '" + pipe + "'\n");
    chmod(opener.c_str(), 0700);
    setenv("CORVANE_OPENER", opener.c_str(), 1);
    reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
  }
  void TearDown() override {
    close(reader);
    unsetenv("CORVANE_OPENER");
  }
  // What the opener was given.
  std::string Opened() {
    std::string text;
    pollfd wait{reader, POLLIN, 0};
    char buffer[512];
    while (poll(&wait, 1, 60000) > 0) {
      const ssize_t got = read(reader, buffer, sizeof buffer);
      if (got <= 0) break;
      text.append(buffer, size_t(got));
    }
    return text;
  }
  // The file text is kept by the fixture: the structure points at it.
  SHELLEXECUTEINFOA Info(const char* verb, const std::string& file) {
    files.push_back(std::make_unique<std::string>(file));
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = verb;
    info.lpFile = files.back()->c_str();
    info.nShow = SW_SHOWMAXIMIZED;
    return info;
  }
  std::string folder, pipe;
  std::vector<std::unique_ptr<std::string>> files;
  int reader = -1;
};

TEST_F(ShellOpenTest, AnAddressReachesTheOpenerAsItIs) {
  const std::string address = "http://example.com/a?b=c";
  SHELLEXECUTEINFOA info = Info("open", address);
  ASSERT_TRUE(ShellExecuteExA(&info));
  EXPECT_GT(reinterpret_cast<INT_PTR>(info.hInstApp), 32);
  EXPECT_EQ(Opened(), address);
}

TEST_F(ShellOpenTest, ADocumentReachesTheOpenerByItsPosixPath) {
  win32_test::WriteText(folder + "/read me.txt", "x");
  SHELLEXECUTEINFOA info = Info(nullptr, PlatformPathFromPosix(folder) + "\\read me.txt");
  ASSERT_TRUE(ShellExecuteExA(&info));
  EXPECT_EQ(Opened(), folder + "/read me.txt");
}

TEST_F(ShellOpenTest, OtherVerbsMissingFilesAndBadSizesAreRefused) {
  win32_test::WriteText(folder + "/a.txt", "x");
  const std::string file = PlatformPathFromPosix(folder) + "\\a.txt";
  SHELLEXECUTEINFOA print = Info("print", file);
  EXPECT_FALSE(ShellExecuteExA(&print));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_ASSOCIATION));
  EXPECT_EQ(reinterpret_cast<INT_PTR>(print.hInstApp), SE_ERR_NOASSOC);
  SHELLEXECUTEINFOA missing = Info("open", PlatformPathFromPosix(folder) + "\\b.txt");
  EXPECT_FALSE(ShellExecuteExA(&missing));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
  SHELLEXECUTEINFOA empty = Info("open", "");
  EXPECT_FALSE(ShellExecuteExA(&empty));
  SHELLEXECUTEINFOA bad = Info("open", file);
  bad.cbSize = 4;
  EXPECT_FALSE(ShellExecuteExA(&bad));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  // An opener that cannot be started.
  setenv("CORVANE_OPENER", (folder + "/no-such-opener").c_str(), 1);
  SHELLEXECUTEINFOA open = Info("open", file);
  EXPECT_FALSE(ShellExecuteExA(&open));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_ASSOCIATION));
}

}  // namespace
