#pragma once
// Points in time (seconds since 1970 UTC, shown in local time) and spans between them.
#include <ctime>

#include "mfc/afxstr.h"

typedef int64_t __time64_t;

class CTimeSpan {
 public:
  CTimeSpan() noexcept : m_timeSpan(0) {}
  CTimeSpan(__time64_t time) noexcept : m_timeSpan(time) {}
  CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs) noexcept;

  LONGLONG GetDays() const noexcept { return m_timeSpan / (24 * 3600); }
  LONGLONG GetTotalHours() const noexcept { return m_timeSpan / 3600; }
  LONG GetHours() const noexcept { return static_cast<LONG>(GetTotalHours() - GetDays() * 24); }
  LONGLONG GetTotalMinutes() const noexcept { return m_timeSpan / 60; }
  LONG GetMinutes() const noexcept { return static_cast<LONG>(GetTotalMinutes() - GetTotalHours() * 60); }
  LONGLONG GetTotalSeconds() const noexcept { return m_timeSpan; }
  LONG GetSeconds() const noexcept { return static_cast<LONG>(GetTotalSeconds() - GetTotalMinutes() * 60); }
  __time64_t GetTimeSpan() const noexcept { return m_timeSpan; }

  // %D days, %H hours (0-23), %M minutes, %S seconds, %% a percent sign.
  CString Format(LPCTSTR pszFormat) const;

  CTimeSpan operator+(CTimeSpan span) const noexcept { return m_timeSpan + span.m_timeSpan; }
  CTimeSpan operator-(CTimeSpan span) const noexcept { return m_timeSpan - span.m_timeSpan; }
  CTimeSpan& operator+=(CTimeSpan span) noexcept { return m_timeSpan += span.m_timeSpan, *this; }
  CTimeSpan& operator-=(CTimeSpan span) noexcept { return m_timeSpan -= span.m_timeSpan, *this; }
  auto operator<=>(const CTimeSpan&) const = default;

 private:
  __time64_t m_timeSpan;
};

class CTime {
 public:
  // Now, on the platform's clock (virtual in tests).
  static CTime PASCAL GetCurrentTime();

  CTime() noexcept : m_time(0) {}
  CTime(__time64_t time) noexcept : m_time(time) {}
  // Local time; nDST -1 lets the C library decide whether daylight saving applies. Components out
  // of range (year before 1900, month 1-12, day 1-31, hour 0-23, minute and second 0-59) throw
  // CInvalidArgException*.
  CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);
  // A local SYSTEMTIME; a year before 1900 gives the time 0.
  CTime(const SYSTEMTIME& st, int nDST = -1);
  // A FILETIME is UTC; zero gives the time 0.
  CTime(const FILETIME& ft, int nDST = -1);

  __time64_t GetTime() const noexcept { return m_time; }
  int GetYear() const;
  int GetMonth() const;
  int GetDay() const;
  int GetHour() const;
  int GetMinute() const;
  int GetSecond() const;
  // 1 = Sunday ... 7 = Saturday.
  int GetDayOfWeek() const;

  // The local time as strftime formats it; FormatGmt the same in UTC.
  CString Format(LPCTSTR pszFormat) const;
  CString FormatGmt(LPCTSTR pszFormat) const;
  BOOL GetAsSystemTime(SYSTEMTIME& st) const;

  CTimeSpan operator-(CTime time) const noexcept { return m_time - time.m_time; }
  CTime operator-(CTimeSpan span) const noexcept { return m_time - span.GetTimeSpan(); }
  CTime operator+(CTimeSpan span) const noexcept { return m_time + span.GetTimeSpan(); }
  CTime& operator+=(CTimeSpan span) noexcept { return m_time += span.GetTimeSpan(), *this; }
  CTime& operator-=(CTimeSpan span) noexcept { return m_time -= span.GetTimeSpan(), *this; }
  auto operator<=>(const CTime&) const = default;

 private:
  struct tm LocalTm() const;
  __time64_t m_time;
};
