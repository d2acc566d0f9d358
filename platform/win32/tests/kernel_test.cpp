// Code pages, arithmetic, time and clock, version and configuration, memory, events, messages.
#include <atomic>
#include <cstring>
#include <thread>

#include "test_folder.h"
#include "win32/utf.h"
#include "win32/windows.h"

namespace {

DWORD Error() { return GetLastError(); }

TEST(CodePages, Utf8AndUtf16RoundTrip) {
  const char* text = "Caf\xC3\xA9 \xF0\x9F\x8E\xAC";  // "Café 🎬": one BMP and one astral character
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0), 8) << "counts the terminator";
  WCHAR wide[16];
  ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 16), 8);
  EXPECT_EQ(wide[3], u'\u00E9');
  EXPECT_EQ(wide[5], 0xD83C);
  EXPECT_EQ(wide[6], 0xDFAC);
  EXPECT_EQ(wide[7], 0);

  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr), 11);
  char narrow[16];
  BOOL usedDefault = TRUE;
  ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, 16, "?", &usedDefault), 11);
  EXPECT_STREQ(narrow, text);
  EXPECT_FALSE(usedDefault);

  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 2, wide, 16), 2) << "an explicit length adds no terminator";
}

TEST(CodePages, SmallBuffersAndBadInput) {
  WCHAR wide[4];
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abcdef", -1, wide, 4), 0);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "a", -1, wide, 4), 0);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, nullptr, -1, wide, 4), 0);

  ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, "a\xFF", 2, wide, 4), 2);
  EXPECT_EQ(wide[1], 0xFFFD) << "malformed bytes become the replacement character";
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, "a\xFF", 2, wide, 4), 0);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xE2\x82", 2, wide, 4), 1) << "a cut sequence is one error";

  const WCHAR lone[] = {u'x', 0xD800, 0};
  char narrow[8];
  BOOL usedDefault = FALSE;
  ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, lone, -1, narrow, 8, nullptr, &usedDefault), 5);
  EXPECT_TRUE(usedDefault);
  EXPECT_STREQ(narrow, "x\xEF\xBF\xBD");

  char name[] = "dir/file";
  EXPECT_TRUE(OemToCharBuff(name, name, sizeof name));
  EXPECT_STREQ(name, "dir/file");
}

TEST(CodePages, TextHelpersReplaceOrRefuseMalformedInput) {
  const std::u16string film = u"Caf\u00E9 \U0001F3AC";
  EXPECT_EQ(win32::Utf16ToUtf8(film), "Caf\xC3\xA9 \xF0\x9F\x8E\xAC");
  EXPECT_EQ(win32::Utf8ToUtf16(win32::Utf16ToUtf8(film)), film);

  const std::u16string lone = {u'a', char16_t(0xD83C), u'b', char16_t(0xDFAC)};
  EXPECT_EQ(win32::Utf16ToUtf8(lone), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD") << "unpaired surrogates";
  EXPECT_FALSE(win32::StrictUtf16ToUtf8(lone));
  // A cut-off sequence replaces only the bytes it had; the next character survives.
  EXPECT_EQ(win32::Utf8ToUtf16("x\xE2\x82y"), u"x\uFFFDy");
  EXPECT_FALSE(win32::StrictUtf8ToUtf16("x\xE2\x82y"));
  EXPECT_FALSE(win32::StrictUtf8ToUtf16("\xC0\xAF")) << "overlong form";
  EXPECT_EQ(*win32::StrictUtf8ToUtf16(std::string_view("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(Arithmetic, MulDivRoundsHalfAwayFromZero) {
  EXPECT_EQ(MulDiv(10, 1, 4), 3);  // 2.5
  EXPECT_EQ(MulDiv(-10, 1, 4), -3);
  EXPECT_EQ(MulDiv(10, -1, 4), -3);
  EXPECT_EQ(MulDiv(10, 1, -4), -3);
  EXPECT_EQ(MulDiv(-10, -1, -4), -3);
  EXPECT_EQ(MulDiv(10, 1, 3), 3);  // 3.33
  EXPECT_EQ(MulDiv(-11, 1, 3), -4);  // -3.67
  EXPECT_EQ(MulDiv(200, 255 - 40, 255), 169);  // darkening a channel
  EXPECT_EQ(MulDiv(0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF), 0x7FFFFFFF) << "64-bit intermediate";
  EXPECT_EQ(MulDiv(1, 2, 0), -1);
  EXPECT_EQ(MulDiv(0x7FFFFFFF, 2, 1), -1) << "overflow";
}

TEST(Arithmetic, StrToIntEx) {
  int v = 0;
  EXPECT_TRUE(StrToIntEx("123abc", STIF_DEFAULT, &v));
  EXPECT_EQ(v, 123);
  EXPECT_TRUE(StrToIntEx(" -42", STIF_DEFAULT, &v));
  EXPECT_EQ(v, -42);
  EXPECT_TRUE(StrToIntEx("0x1A", STIF_DEFAULT, &v)) << "without hexadecimal support only the 0";
  EXPECT_EQ(v, 0);
  EXPECT_TRUE(StrToIntEx("0xFF8000", STIF_SUPPORT_HEX, &v));
  EXPECT_EQ(v, 0xFF8000);
  EXPECT_TRUE(StrToIntEx("0XffFFffFF", STIF_SUPPORT_HEX, &v));
  EXPECT_EQ(v, -1) << "wraps to 32 bits";
  EXPECT_TRUE(StrToIntEx("255", STIF_SUPPORT_HEX, &v));
  EXPECT_EQ(v, 255) << "no prefix means decimal";
  v = 7;
  EXPECT_FALSE(StrToIntEx("", STIF_SUPPORT_HEX, &v));
  EXPECT_FALSE(StrToIntEx("red", STIF_SUPPORT_HEX, &v));
  EXPECT_EQ(v, 7);
  EXPECT_FALSE(StrToIntEx(nullptr, STIF_DEFAULT, &v));
}

TEST(Time, SystemAndFileTimes) {
  SYSTEMTIME st{1601, 1, 0, 1, 0, 0, 0, 0};
  FILETIME ft;
  ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
  EXPECT_EQ(ft.dwLowDateTime | ft.dwHighDateTime, 0u);
  st = SYSTEMTIME{1970, 1, 0, 1, 0, 0, 0, 0};
  ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
  EXPECT_EQ((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime, 116444736000000000ULL);

  st = SYSTEMTIME{2008, 2, 0, 29, 23, 59, 58, 999};
  ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
  SYSTEMTIME back;
  ASSERT_TRUE(FileTimeToSystemTime(&ft, &back));
  EXPECT_EQ(back.wYear, 2008);
  EXPECT_EQ(back.wMonth, 2);
  EXPECT_EQ(back.wDay, 29);
  EXPECT_EQ(back.wDayOfWeek, 5) << "a Friday";
  EXPECT_EQ(back.wHour, 23);
  EXPECT_EQ(back.wSecond, 58);
  EXPECT_EQ(back.wMilliseconds, 999);

  st.wYear = 2007;  // not a leap year
  EXPECT_FALSE(SystemTimeToFileTime(&st, &ft));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  st = SYSTEMTIME{2007, 13, 0, 1, 0, 0, 0, 0};
  EXPECT_FALSE(SystemTimeToFileTime(&st, &ft));
  FILETIME negative{0, 0x80000000u};
  EXPECT_FALSE(FileTimeToSystemTime(&negative, &back));

  FILETIME a{5, 1}, b{6, 1}, c{0, 2};
  EXPECT_EQ(CompareFileTime(&a, &b), -1);
  EXPECT_EQ(CompareFileTime(&c, &b), 1);
  EXPECT_EQ(CompareFileTime(&a, &a), 0);

  FILETIME local, utc;
  ASSERT_TRUE(FileTimeToLocalFileTime(&ft, &local));
  ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
  EXPECT_EQ(CompareFileTime(&utc, &ft), 0);
}

TEST(Time, DosDatesAndTimes) {
  // 2004-07-09 13:45:58
  const WORD date = ((2004 - 1980) << 9) | (7 << 5) | 9;
  const WORD time = (13 << 11) | (45 << 5) | 29;
  FILETIME ft;
  ASSERT_TRUE(DosDateTimeToFileTime(date, time, &ft));
  SYSTEMTIME st;
  FileTimeToSystemTime(&ft, &st);
  EXPECT_EQ(st.wYear, 2004);
  EXPECT_EQ(st.wSecond, 58);
  WORD d2, t2;
  ASSERT_TRUE(FileTimeToDosDateTime(&ft, &d2, &t2));
  EXPECT_EQ(d2, date);
  EXPECT_EQ(t2, time);

  EXPECT_FALSE(DosDateTimeToFileTime((24 << 9) | (13 << 5) | 1, 0, &ft)) << "month 13";
  EXPECT_FALSE(DosDateTimeToFileTime((24 << 9) | (2 << 5) | 0, 0, &ft)) << "day 0";
  SYSTEMTIME old{1979, 12, 0, 31, 0, 0, 0, 0};
  SystemTimeToFileTime(&old, &ft);
  EXPECT_FALSE(FileTimeToDosDateTime(&ft, &d2, &t2)) << "before 1980";
}

TEST(Time, VirtualClockMovesOnlyWhenAdvanced) {
  ASSERT_EQ(platform_config::Config().clock, platform_config::ClockKind::Virtual);
  const DWORD start = GetTickCount();
  SYSTEMTIME before, after;
  GetSystemTime(&before);
  EXPECT_EQ(GetTickCount(), start);
  Sleep(1500);
  EXPECT_EQ(GetTickCount(), start + 1500) << "Sleep advances the virtual clock";
  platform_config::AdvanceVirtualClock(60'000);
  EXPECT_EQ(GetTickCount(), start + 61'500);
  GetSystemTime(&after);
  FILETIME f1, f2;
  SystemTimeToFileTime(&before, &f1);
  SystemTimeToFileTime(&after, &f2);
  const uint64_t t1 = (static_cast<uint64_t>(f1.dwHighDateTime) << 32) | f1.dwLowDateTime;
  const uint64_t t2 = (static_cast<uint64_t>(f2.dwHighDateTime) << 32) | f2.dwLowDateTime;
  EXPECT_EQ(t2 - t1, 61'500ULL * 10'000) << "system time follows the virtual clock";
}

TEST(Events, SignalResetAndTimedWaits) {
  HANDLE autoReset = CreateEvent(nullptr, FALSE, TRUE, nullptr);
  ASSERT_NE(autoReset, nullptr);
  EXPECT_EQ(WaitForSingleObject(autoReset, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(autoReset, 0), WAIT_TIMEOUT) << "an auto-reset event is consumed";

  HANDLE manual = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  EXPECT_TRUE(SetEvent(manual));
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(manual, INFINITE), WAIT_OBJECT_0) << "a manual event stays set";
  EXPECT_TRUE(ResetEvent(manual));
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);

  // A timed wait on the virtual clock ends when the clock passes its timeout.
  std::atomic<DWORD> result{0xABCD};
  std::thread waiter([&] { result = WaitForSingleObject(manual, 5000); });
  while (result == 0xABCD) {
    platform_config::AdvanceVirtualClock(1000);
    std::this_thread::yield();
  }
  waiter.join();
  EXPECT_EQ(result, WAIT_TIMEOUT);

  // SetEvent from another thread wakes an endless wait.
  std::thread setter([&] { SetEvent(autoReset); });
  EXPECT_EQ(WaitForSingleObject(autoReset, INFINITE), WAIT_OBJECT_0);
  setter.join();

  EXPECT_TRUE(CloseHandle(manual));
  EXPECT_TRUE(CloseHandle(autoReset));
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_FAILED);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(SetEvent(manual));
}

// A loop that keeps pace with the clock waits until a tick taken from its last reading: a move
// of the clock before the wait begins ends the wait at once instead of putting it off.
TEST(Events, AWaitUntilATickKeepsItsDeadlineWhenTheClockMovesFirst) {
  HANDLE event = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  const DWORD looked = GetTickCount();
  platform_config::AdvanceVirtualClock(10);
  EXPECT_EQ(platform_config::WaitForEventUntil(event, looked + 10), WAIT_TIMEOUT);

  std::atomic<DWORD> result{0xABCD};
  std::thread waiter([&] { result = platform_config::WaitForEventUntil(event, looked + 30); });
  while (result == 0xABCD) {
    platform_config::AdvanceVirtualClock(1);
    std::this_thread::yield();
  }
  waiter.join();
  EXPECT_EQ(result, WAIT_TIMEOUT);
  EXPECT_GE(GetTickCount(), looked + 30) << "not before its tick";

  SetEvent(event);
  EXPECT_EQ(platform_config::WaitForEventUntil(event, GetTickCount() + 1000), WAIT_OBJECT_0);
  EXPECT_TRUE(CloseHandle(event));
  EXPECT_EQ(platform_config::WaitForEventUntil(event, GetTickCount()), WAIT_FAILED);
}

TEST(Version, DefaultIsWindowsXp) {
  EXPECT_EQ(GetVersion(), 0x0A280105u);  // 5.1, build 2600
  OSVERSIONINFO info{};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(GetVersionEx(&info));
  EXPECT_EQ(info.dwMajorVersion, 5u);
  EXPECT_EQ(info.dwMinorVersion, 1u);
  EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
  OSVERSIONINFOEX ex{};
  ex.dwOSVersionInfoSize = sizeof ex;
  ASSERT_TRUE(GetVersionEx(&ex));
  EXPECT_EQ(ex.wServicePackMajor, 3);
  info.dwOSVersionInfoSize = 12;
  EXPECT_FALSE(GetVersionEx(&info));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(Configuration, ReadFromVariables) {
  auto read = [](std::map<std::string, std::string> vars) {
    return platform_config::ReadConfig([vars](const char* name) -> const char* {
      auto it = vars.find(name);
      return it == vars.end() ? nullptr : it->second.c_str();
    });
  };
  platform_config::PlatformConfig c = read({{"HOME", "/home/ann/"}});
  EXPECT_EQ(c.versionMajor, 5u);
  EXPECT_EQ(c.versionMinor, 1u);
  EXPECT_EQ(c.cDriveFolder, "/home/ann");
  EXPECT_EQ(c.registryFile, "/home/ann/.config/corvane/registry");
  EXPECT_EQ(c.clock, platform_config::ClockKind::Real);
  EXPECT_EQ(c.screenWidth, 1024);

  c = read({{"CORVANE_WINVER", "6.1"}, {"CORVANE_SCREEN", "800x600x16"}, {"CORVANE_CLOCK", "virtual"},
            {"XDG_CONFIG_HOME", "/cfg"}, {"CORVANE_CDRIVE", "/drive/c/"}, {"CORVANE_FLATMENUS", "0"},
            {"CORVANE_REMOTESESSION", "1"}, {"CORVANE_ABSENT_MODULES", "QTMLClient.dll; rmoc3260.dll,"}});
  EXPECT_EQ(c.versionMajor, 6u);
  EXPECT_EQ(c.versionMinor, 1u);
  EXPECT_EQ(c.screenWidth, 800);
  EXPECT_EQ(c.screenHeight, 600);
  EXPECT_EQ(c.screenDepth, 16);
  EXPECT_EQ(c.clock, platform_config::ClockKind::Virtual);
  EXPECT_EQ(c.registryFile, "/cfg/corvane/registry");
  EXPECT_EQ(c.cDriveFolder, "/drive/c");
  EXPECT_FALSE(c.flatMenus);
  EXPECT_TRUE(c.remoteSession);
  EXPECT_TRUE(c.IsModuleAbsent("qtmlclient.DLL"));
  EXPECT_TRUE(c.IsModuleAbsent("rmoc3260.dll"));
  EXPECT_FALSE(c.IsModuleAbsent("quartz.dll"));

  c = read({{"CORVANE_WINVER", "six"}, {"CORVANE_SCREEN", "800"}, {"CORVANE_REGISTRY", "/r/reg"}});
  EXPECT_EQ(c.versionMajor, 5u) << "unreadable values keep the defaults";
  EXPECT_EQ(c.screenWidth, 1024);
  EXPECT_EQ(c.registryFile, "/r/reg");
  EXPECT_EQ(c.cDriveFolder, "/");
}

TEST(Memory, FixedAndMoveableBlocks) {
  auto* fixed = static_cast<unsigned char*>(GlobalAlloc(GPTR, 16));
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed[15], 0) << "zero-initialised and usable by address";
  EXPECT_EQ(GlobalLock(fixed), fixed);
  EXPECT_EQ(GlobalSize(fixed), 16u);
  fixed[0] = 9;
  auto* grown = static_cast<unsigned char*>(GlobalReAlloc(fixed, 4096, GMEM_MOVEABLE | GMEM_ZEROINIT));
  ASSERT_NE(grown, nullptr);
  EXPECT_EQ(grown[0], 9);
  EXPECT_EQ(grown[4095], 0);
  EXPECT_EQ(GlobalFree(grown), nullptr);

  HGLOBAL moveable = GlobalAlloc(GHND, 8);
  ASSERT_NE(moveable, nullptr);
  auto* p = static_cast<char*>(GlobalLock(moveable));
  ASSERT_NE(p, nullptr);
  std::strcpy(p, "data");
  EXPECT_EQ(GlobalLock(moveable), p);
  EXPECT_TRUE(GlobalUnlock(moveable)) << "still locked once";
  EXPECT_FALSE(GlobalUnlock(moveable));
  EXPECT_EQ(Error(), static_cast<DWORD>(NO_ERROR)) << "now unlocked";
  EXPECT_FALSE(GlobalUnlock(moveable));
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_NOT_LOCKED));
  EXPECT_EQ(GlobalReAlloc(moveable, 64, 0), moveable);
  EXPECT_STREQ(static_cast<char*>(GlobalLock(moveable)), "data");
  EXPECT_EQ(GlobalSize(moveable), 64u);
  EXPECT_EQ(GlobalFree(moveable), nullptr);

  EXPECT_EQ(GlobalFree(moveable), moveable) << "a stale handle is returned";
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GlobalLock(moveable), nullptr);
  EXPECT_EQ(GlobalSize(moveable), 0u);
  int local = 0;
  EXPECT_EQ(GlobalLock(&local), nullptr) << "a foreign address";
  EXPECT_EQ(GlobalFree(nullptr), nullptr);

  HLOCAL l = LocalAlloc(LPTR, 3);
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(LocalFree(l), nullptr);
}

TEST(Messages, SystemTextOfErrorCodes) {
  char* text = nullptr;
  DWORD n = FormatMessage(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                          nullptr, ERROR_FILE_NOT_FOUND, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                          reinterpret_cast<LPSTR>(&text), 0, nullptr);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(n, std::strlen(text));
  EXPECT_STREQ(text, "The system cannot find the file specified.\r\n");
  EXPECT_EQ(LocalFree(text), nullptr);

  char buffer[8];
  EXPECT_EQ(FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, buffer, sizeof buffer, nullptr), 0u);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 0xDEAD, 0, buffer, sizeof buffer, nullptr), 0u);
  EXPECT_EQ(Error(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
}

}  // namespace
