// The process clock and the conversions between system, local, file and DOS times.
#include <time.h>

#include <atomic>

#include "clock.h"
#include "file_info.h"
#include "last_error.h"
#include "win32/platform_config.h"
#include "win32/winbase.h"
#include "win32/winerror.h"

using namespace win32;

namespace {

// The virtual clock starts as if the machine had been up for a while, so that "time since the
// last event" checks against a zero start behave as on a real machine.
constexpr uint64_t kVirtualStartMs = 10'000'000;
constexpr int64_t kTicksPerMs = 10'000;
constexpr int64_t kTicksPerDay = 864'000'000'000LL;

std::atomic<uint64_t> g_virtualElapsedMs{0};

uint64_t MonotonicMs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000 + static_cast<uint64_t>(ts.tv_nsec) / 1'000'000;
}

uint64_t WallTicks() {
  timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  return TicksOf(FileTimeOfTimespec(ts));
}

uint64_t SystemTicks() {
  if (!ClockIsVirtual()) return WallTicks();
  static const uint64_t wallAtStart = WallTicks();
  return wallAtStart + g_virtualElapsedMs.load() * kTicksPerMs;
}

// Days since 1601-01-01 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468 + 134774;  // 134774: 1601 to 1970
}

void CivilFromDays(int64_t days, int& y, unsigned& m, unsigned& d) {
  int64_t z = days - 134774 + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (m <= 2));
}

bool IsLeap(unsigned y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned DaysInMonth(unsigned y, unsigned m) {
  static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// The time zone's current offset from UTC in ticks.
int64_t LocalBiasTicks() {
  time_t now = time(nullptr);
  struct tm local;
  localtime_r(&now, &local);
  return static_cast<int64_t>(local.tm_gmtoff) * 10'000'000;
}

void SystemTimeOfTicks(uint64_t ticks, SYSTEMTIME& st) {
  const int64_t days = static_cast<int64_t>(ticks / kTicksPerDay);
  uint64_t rest = ticks % kTicksPerDay;
  int y;
  unsigned m, d;
  CivilFromDays(days, y, m, d);
  st.wYear = static_cast<WORD>(y);
  st.wMonth = static_cast<WORD>(m);
  st.wDay = static_cast<WORD>(d);
  st.wDayOfWeek = static_cast<WORD>((days + 1) % 7);  // 1601-01-01 was a Monday
  st.wHour = static_cast<WORD>(rest / (3600 * 1000 * kTicksPerMs));
  rest %= 3600 * 1000 * kTicksPerMs;
  st.wMinute = static_cast<WORD>(rest / (60 * 1000 * kTicksPerMs));
  rest %= 60 * 1000 * kTicksPerMs;
  st.wSecond = static_cast<WORD>(rest / (1000 * kTicksPerMs));
  rest %= 1000 * kTicksPerMs;
  st.wMilliseconds = static_cast<WORD>(rest / kTicksPerMs);
}

}  // namespace

namespace win32 {

bool ClockIsVirtual() { return platform_config::Config().clock == platform_config::ClockKind::Virtual; }

uint64_t ClockNowMs() { return ClockIsVirtual() ? kVirtualStartMs + g_virtualElapsedMs.load() : MonotonicMs(); }

}  // namespace win32

void platform_config::AdvanceVirtualClock(uint32_t milliseconds) {
  if (!ClockIsVirtual()) return;
  g_virtualElapsedMs += milliseconds;
  NotifyClockWaiters();
}

DWORD GetTickCount() { return static_cast<DWORD>(ClockNowMs()); }

void Sleep(DWORD milliseconds) {
  if (ClockIsVirtual()) {
    platform_config::AdvanceVirtualClock(milliseconds);
    return;
  }
  timespec ts{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1'000'000};
  while (nanosleep(&ts, &ts) != 0) {
  }
}

void GetSystemTimeAsFileTime(LPFILETIME systemTimeAsFileTime) {
  if (systemTimeAsFileTime) *systemTimeAsFileTime = FileTimeOfTicks(SystemTicks());
}

void GetSystemTime(LPSYSTEMTIME systemTime) {
  if (systemTime) SystemTimeOfTicks(SystemTicks(), *systemTime);
}

void GetLocalTime(LPSYSTEMTIME systemTime) {
  if (systemTime) SystemTimeOfTicks(static_cast<uint64_t>(static_cast<int64_t>(SystemTicks()) + LocalBiasTicks()), *systemTime);
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, LPFILETIME fileTime) {
  if (!systemTime || !fileTime) return Fail(ERROR_INVALID_PARAMETER);
  const SYSTEMTIME& st = *systemTime;
  if (st.wYear < 1601 || st.wYear > 30827 || st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1 ||
      st.wDay > DaysInMonth(st.wYear, st.wMonth) || st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59 ||
      st.wMilliseconds > 999) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  const int64_t days = DaysFromCivil(st.wYear, st.wMonth, st.wDay);
  const int64_t ms = ((static_cast<int64_t>(st.wHour) * 60 + st.wMinute) * 60 + st.wSecond) * 1000 + st.wMilliseconds;
  *fileTime = FileTimeOfTicks(static_cast<uint64_t>(days * kTicksPerDay + ms * kTicksPerMs));
  return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime) {
  if (!fileTime || !systemTime) return Fail(ERROR_INVALID_PARAMETER);
  const uint64_t ticks = TicksOf(*fileTime);
  if (ticks >> 63) return Fail(ERROR_INVALID_PARAMETER);
  SystemTimeOfTicks(ticks, *systemTime);
  return TRUE;
}

BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, LPFILETIME localFileTime) {
  if (!fileTime || !localFileTime) return Fail(ERROR_INVALID_PARAMETER);
  *localFileTime = FileTimeOfTicks(TicksOf(*fileTime) + static_cast<uint64_t>(LocalBiasTicks()));
  return TRUE;
}

BOOL LocalFileTimeToFileTime(const FILETIME* localFileTime, LPFILETIME fileTime) {
  if (!localFileTime || !fileTime) return Fail(ERROR_INVALID_PARAMETER);
  *fileTime = FileTimeOfTicks(TicksOf(*localFileTime) - static_cast<uint64_t>(LocalBiasTicks()));
  return TRUE;
}

BOOL DosDateTimeToFileTime(WORD fatDate, WORD fatTime, LPFILETIME fileTime) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(1980 + (fatDate >> 9));
  st.wMonth = (fatDate >> 5) & 0x0F;
  st.wDay = fatDate & 0x1F;
  st.wHour = fatTime >> 11;
  st.wMinute = (fatTime >> 5) & 0x3F;
  st.wSecond = static_cast<WORD>((fatTime & 0x1F) * 2);
  return SystemTimeToFileTime(&st, fileTime);
}

BOOL FileTimeToDosDateTime(const FILETIME* fileTime, LPWORD fatDate, LPWORD fatTime) {
  SYSTEMTIME st;
  if (!fatDate || !fatTime || !FileTimeToSystemTime(fileTime, &st)) return Fail(ERROR_INVALID_PARAMETER);
  if (st.wYear < 1980 || st.wYear > 2107) return Fail(ERROR_INVALID_PARAMETER);
  *fatDate = static_cast<WORD>(((st.wYear - 1980) << 9) | (st.wMonth << 5) | st.wDay);
  *fatTime = static_cast<WORD>((st.wHour << 11) | (st.wMinute << 5) | (st.wSecond / 2));
  return TRUE;
}

LONG CompareFileTime(const FILETIME* fileTime1, const FILETIME* fileTime2) {
  const uint64_t a = fileTime1 ? TicksOf(*fileTime1) : 0;
  const uint64_t b = fileTime2 ? TicksOf(*fileTime2) : 0;
  return a < b ? -1 : (a > b ? 1 : 0);
}
