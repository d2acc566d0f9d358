#include <cstdio>
#include <cstdlib>

#include "mfc/afx.h"

void AfxAssertFailedLine(const char* lpszFileName, int nLine, const char* lpszExpression) {
  std::fprintf(stderr, "%s(%d): assertion failed: %s\n", lpszFileName, nLine, lpszExpression);
  std::abort();
}

void AfxTrace(const char* lpszFormat, ...) {
  va_list args;
  va_start(args, lpszFormat);
  std::vfprintf(stderr, lpszFormat, args);
  va_end(args);
}
