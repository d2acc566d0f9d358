#include <string>

#include "mfc/afx.h"
#include "time_convert.h"

namespace {

CString FormatTm(const struct tm& tm, LPCTSTR pszFormat) {
  if (!pszFormat || !*pszFormat) return CString();
  std::string buffer(256, '\0');
  const size_t limit = 256 + 64 * std::char_traits<char>::length(pszFormat);
  for (;;) {
    size_t n = std::strftime(buffer.data(), buffer.size(), pszFormat, &tm);
    if (n > 0 || buffer.size() >= limit) return CString(buffer.data(), static_cast<int>(n));
    buffer.resize(buffer.size() * 4);
  }
}

}  // namespace

CTimeSpan::CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs) noexcept
    : m_timeSpan(nSecs + 60 * (nMins + 60 * (nHours + int64_t{24} * lDays))) {}

CString CTimeSpan::Format(LPCTSTR pszFormat) const {
  CString result;
  for (const char* p = pszFormat ? pszFormat : ""; *p; ++p) {
    if (*p != '%' || !p[1]) {
      result += *p;
      continue;
    }
    switch (*++p) {
      case 'D':
        result.AppendFormat("%I64d", GetDays());
        break;
      case 'H':
        result.AppendFormat("%02d", GetHours());
        break;
      case 'M':
        result.AppendFormat("%02d", GetMinutes());
        break;
      case 'S':
        result.AppendFormat("%02d", GetSeconds());
        break;
      case '%':
        result += '%';
        break;
      default:
        result += '%';
        result += *p;
        break;
    }
  }
  return result;
}

CTime PASCAL CTime::GetCurrentTime() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return CTime(mfc::TimeFromFileTime(now));
}

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST) {
  if (nYear < 1900 || nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > 31 || nHour < 0 || nHour > 23 || nMin < 0 ||
      nMin > 59 || nSec < 0 || nSec > 59)
    AfxThrowInvalidArgException();
  struct tm tm = {};
  tm.tm_year = nYear - 1900;
  tm.tm_mon = nMonth - 1;
  tm.tm_mday = nDay;
  tm.tm_hour = nHour;
  tm.tm_min = nMin;
  tm.tm_sec = nSec;
  tm.tm_isdst = nDST;
  m_time = mktime(&tm);
  if (m_time == -1) AfxThrowInvalidArgException();
}

CTime::CTime(const SYSTEMTIME& st, int nDST) : m_time(0) {
  if (st.wYear >= 1900) *this = CTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, nDST);
}

CTime::CTime(const FILETIME& ft, int) : m_time(0) {
  if (ft.dwLowDateTime || ft.dwHighDateTime) m_time = mfc::TimeFromFileTime(ft);
}

struct tm CTime::LocalTm() const {
  struct tm tm;
  time_t t = static_cast<time_t>(m_time);
  if (!localtime_r(&t, &tm)) AfxThrowInvalidArgException();
  return tm;
}

int CTime::GetYear() const { return LocalTm().tm_year + 1900; }
int CTime::GetMonth() const { return LocalTm().tm_mon + 1; }
int CTime::GetDay() const { return LocalTm().tm_mday; }
int CTime::GetHour() const { return LocalTm().tm_hour; }
int CTime::GetMinute() const { return LocalTm().tm_min; }
int CTime::GetSecond() const { return LocalTm().tm_sec; }
int CTime::GetDayOfWeek() const { return LocalTm().tm_wday + 1; }

CString CTime::Format(LPCTSTR pszFormat) const { return FormatTm(LocalTm(), pszFormat); }

CString CTime::FormatGmt(LPCTSTR pszFormat) const {
  struct tm tm;
  time_t t = static_cast<time_t>(m_time);
  if (!gmtime_r(&t, &tm)) AfxThrowInvalidArgException();
  return FormatTm(tm, pszFormat);
}

BOOL CTime::GetAsSystemTime(SYSTEMTIME& st) const {
  struct tm tm;
  time_t t = static_cast<time_t>(m_time);
  if (!localtime_r(&t, &tm) || tm.tm_year + 1900 > 0xFFFF || tm.tm_year < -1900) return FALSE;
  st.wYear = static_cast<WORD>(tm.tm_year + 1900);
  st.wMonth = static_cast<WORD>(tm.tm_mon + 1);
  st.wDayOfWeek = static_cast<WORD>(tm.tm_wday);
  st.wDay = static_cast<WORD>(tm.tm_mday);
  st.wHour = static_cast<WORD>(tm.tm_hour);
  st.wMinute = static_cast<WORD>(tm.tm_min);
  st.wSecond = static_cast<WORD>(tm.tm_sec);
  st.wMilliseconds = 0;
  return TRUE;
}
