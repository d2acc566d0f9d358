#include "variant_date.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace ole {

namespace {

// Days from 1 March of year 0 (proleptic Gregorian) calendar arithmetic.
long DaysFromCivil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

void CivilFromDays(long z, long* y, unsigned* m, unsigned* d) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  *d = doy - (153 * mp + 2) / 5 + 1;
  *m = mp < 10 ? mp + 3 : mp - 9;
  *y = static_cast<long>(yoe) + era * 400 + (*m <= 2);
}

// 30 December 1899 counted from 1 January 1970.
const long kEpochOffset = DaysFromCivil(1899, 12, 30);

bool DaysInMonthOk(long y, unsigned m, unsigned d) {
  static const unsigned kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m < 1 || m > 12 || d < 1 || d > kDays[m - 1]) return false;
  if (m == 2 && d == 29) return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return true;
}

struct Cursor {
  const std::string& s;
  size_t pos = 0;
  void SkipSpaces() {
    while (pos < s.size() && std::isspace(static_cast<unsigned char>(s[pos]))) ++pos;
  }
  bool Number(long* out, int* digits = nullptr) {
    size_t start = pos;
    long v = 0;
    while (pos < s.size() && std::isdigit(static_cast<unsigned char>(s[pos])) && pos - start < 9)
      v = v * 10 + (s[pos++] - '0');
    if (digits) *digits = static_cast<int>(pos - start);
    *out = v;
    return pos > start;
  }
  bool Take(char c) {
    if (pos < s.size() && s[pos] == c) {
      ++pos;
      return true;
    }
    return false;
  }
  bool TakeWord(const char* w) {
    size_t i = 0;
    while (w[i]) {
      if (pos + i >= s.size() || std::toupper(static_cast<unsigned char>(s[pos + i])) != w[i])
        return false;
      ++i;
    }
    pos += i;
    return true;
  }
};

bool ParseTime(Cursor& c, double* fraction) {
  long h, m, sec = 0;
  if (!c.Number(&h) || !c.Take(':') || !c.Number(&m)) return false;
  if (c.Take(':') && !c.Number(&sec)) return false;
  c.SkipSpaces();
  if (c.TakeWord("AM")) {
    if (h < 1 || h > 12) return false;
    if (h == 12) h = 0;
  } else if (c.TakeWord("PM")) {
    if (h < 1 || h > 12) return false;
    if (h != 12) h += 12;
  }
  if (h > 23 || m > 59 || sec > 59) return false;
  *fraction = (h * 3600 + m * 60 + sec) / 86400.0;
  return true;
}

}  // namespace

std::string FormatDate(DATE date) {
  const double whole = std::trunc(date);
  long seconds = std::lround(std::fabs(date - whole) * 86400.0);
  long day = static_cast<long>(whole);
  if (seconds >= 86400) {  // rounding reached the next midnight
    seconds -= 86400;
    day += date < 0 ? -1 : 1;
  }
  std::string out;
  char buf[64];
  if (day != 0) {
    long y;
    unsigned m, d;
    CivilFromDays(day + kEpochOffset, &y, &m, &d);
    std::snprintf(buf, sizeof buf, "%u/%u/%ld", m, d, y);
    out = buf;
  }
  if (seconds != 0 || day == 0) {
    const long h = seconds / 3600;
    std::snprintf(buf, sizeof buf, "%ld:%02ld:%02ld %s", h % 12 == 0 ? 12 : h % 12,
                  seconds / 60 % 60, seconds % 60, h < 12 ? "AM" : "PM");
    if (!out.empty()) out += ' ';
    out += buf;
  }
  return out;
}

bool ParseDate(const std::string& text, DATE* date) {
  Cursor c{text};
  c.SkipSpaces();
  double day = 0;
  double fraction = 0;
  const size_t start = c.pos;
  long first;
  if (!c.Number(&first)) return false;
  if (c.Take('/')) {
    long d, y;
    int yearDigits = 0;
    if (!c.Number(&d) || !c.Take('/') || !c.Number(&y, &yearDigits)) return false;
    if (yearDigits <= 2) y += y < 30 ? 2000 : 1900;
    if (y < 100 || y > 9999 || !DaysInMonthOk(y, static_cast<unsigned>(first), static_cast<unsigned>(d)))
      return false;
    day = static_cast<double>(DaysFromCivil(y, static_cast<unsigned>(first), static_cast<unsigned>(d)) -
                              kEpochOffset);
    c.SkipSpaces();
    if (c.pos < text.size() && !ParseTime(c, &fraction)) return false;
  } else {
    c.pos = start;
    if (!ParseTime(c, &fraction)) return false;
  }
  c.SkipSpaces();
  if (c.pos != text.size()) return false;
  // Negative dates count their time forward from midnight, so the fraction moves away from 0.
  *date = day < 0 ? day - fraction : day + fraction;
  return true;
}

}  // namespace ole
