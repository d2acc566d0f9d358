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

// The module a piece of code is compiled into (the program, a control module), known without
// asking who called it. What is marked AFX_MODULE_LOCAL is private to each module that includes
// these headers: every module has its own anchor and its own copy of the functions, so code
// answers for the module it was linked into, however it was reached.
#define AFX_MODULE_LOCAL __attribute__((visibility("hidden")))

namespace mfc::module {

AFX_MODULE_LOCAL inline const char kAnchor = 0;

// The handle of the module holding this code: the executable's in the program.
AFX_MODULE_LOCAL inline HINSTANCE Current() {
  HMODULE module = nullptr;
  ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       &kAnchor, &module);
  return module;
}

}  // namespace mfc::module
