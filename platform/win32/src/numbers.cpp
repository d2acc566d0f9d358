// MulDiv and StrToIntEx.
#include <cstdint>

#include "win32/shlwapi.h"
#include "win32/winbase.h"

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  const int64_t product = static_cast<int64_t>(number) * numerator;
  int64_t quotient = product / denominator;
  const int64_t remainder = product % denominator;
  // Half away from zero: compare twice the remainder's size with the divisor's.
  const uint64_t twiceRemainder = 2 * static_cast<uint64_t>(remainder < 0 ? -remainder : remainder);
  const uint64_t divisor = static_cast<uint64_t>(denominator < 0 ? -static_cast<int64_t>(denominator) : denominator);
  if (twiceRemainder >= divisor) quotient += ((product < 0) != (denominator < 0)) ? -1 : 1;
  if (quotient > INT32_MAX || quotient < INT32_MIN) return -1;
  return static_cast<int>(quotient);
}

BOOL StrToIntEx(LPCSTR string, DWORD flags, int* result) {
  if (!string || !result) return FALSE;
  const char* p = string;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r') ++p;
  bool negative = false;
  if (*p == '-' || *p == '+') negative = *p++ == '-';
  uint32_t value = 0;
  bool anyDigit = false;
  if ((flags & STIF_SUPPORT_HEX) && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
    anyDigit = true;  // the prefix's '0': "0x" alone reads as 0
    for (p += 2;; ++p) {
      int digit;
      if (*p >= '0' && *p <= '9') digit = *p - '0';
      else if (*p >= 'a' && *p <= 'f') digit = *p - 'a' + 10;
      else if (*p >= 'A' && *p <= 'F') digit = *p - 'A' + 10;
      else break;
      value = value * 16 + static_cast<uint32_t>(digit);
    }
  } else {
    for (; *p >= '0' && *p <= '9'; ++p) {
      value = value * 10 + static_cast<uint32_t>(*p - '0');
      anyDigit = true;
    }
  }
  if (!anyDigit) return FALSE;
  *result = static_cast<int>(negative ? 0u - value : value);
  return TRUE;
}
