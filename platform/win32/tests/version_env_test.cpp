// Runs with CORVANE_WINVER set by CTest: the version is read once per process.
#include <gtest/gtest.h>

#include <cstdlib>

#include "win32/windows.h"

namespace {

TEST(VersionFromEnvironment, Windows7) {
  const char* wanted = std::getenv("CORVANE_WINVER");
  if (!wanted || std::string(wanted) != "6.1") GTEST_SKIP() << "needs CORVANE_WINVER=6.1";
  EXPECT_EQ(GetVersion(), 0x1DB10106u);  // 6.1, build 7601
  OSVERSIONINFOEX info{};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(GetVersionEx(&info));
  EXPECT_EQ(info.dwMajorVersion, 6u);
  EXPECT_EQ(info.dwMinorVersion, 1u);
  EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
  EXPECT_STREQ(info.szCSDVersion, "Service Pack 1");
}

}  // namespace
