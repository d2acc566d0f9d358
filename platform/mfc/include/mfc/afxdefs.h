#pragma once
// Basic definitions of the framework: diagnostics macros and the list/map position type.
#include "win32/windows.h"

#ifndef AFX_CDECL
#define AFX_CDECL
#endif
#define PASCAL

// Debug diagnostics. ASSERT checks only in debug builds (no NDEBUG) and aborts with the place of the
// failure; VERIFY always evaluates its argument. TRACE writes printf-style text to stderr in debug
// builds only.
void AfxAssertFailedLine(const char* lpszFileName, int nLine, const char* lpszExpression);
void AfxTrace(const char* lpszFormat, ...) __attribute__((format(printf, 1, 2)));

#ifndef NDEBUG
#define ASSERT(f) ((f) ? (void)0 : AfxAssertFailedLine(__FILE__, __LINE__, #f))
#define VERIFY(f) ASSERT(f)
#define TRACE(...) AfxTrace(__VA_ARGS__)
#define ASSERT_VALID(pOb) AfxAssertValidObject((pOb), __FILE__, __LINE__)
#else
#define ASSERT(f) ((void)0)
#define VERIFY(f) ((void)(f))
#define TRACE(...) ((void)0)
#define ASSERT_VALID(pOb) ((void)0)
#endif

// Iteration position of lists and maps: an opaque pointer to a node.
struct __POSITION {};
typedef __POSITION* POSITION;
#define BEFORE_START_POSITION ((POSITION)-1L)
