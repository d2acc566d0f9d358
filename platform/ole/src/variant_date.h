#pragma once
// DATE as text in the en-US form "M/D/YYYY h:mm:ss AM": days since 30 December 1899, the fraction
// the time of day (for negative dates the fraction still counts forward from midnight).
#include <string>

#include "ole/oleauto.h"

namespace ole {

// The earliest and latest DATE (1 January 100 and 31 December 9999 23:59:59).
constexpr double kMinDate = -657434.0;
constexpr double kMaxDate = 2958465.999988426;

// The date part is left out when it is 30 December 1899, the time when it is midnight (a DATE of
// 0 shows as "12:00:00 AM").
std::string FormatDate(DATE date);
// Accepts "M/D/YYYY", "h:mm[:ss] [AM|PM]" or a date followed by a time. Two-digit years 0-29
// mean 2000-2029, 30-99 mean 1930-1999.
bool ParseDate(const std::string& text, DATE* date);

}  // namespace ole
