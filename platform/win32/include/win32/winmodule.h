#pragma once
// Modules and their resources. A module is a shared object loaded with dlopen, the executable,
// or a built-in module: a platform DLL name ("msimg32.dll") whose exports the platform's own
// libraries register. Module names match without case, with or without ".dll". The environment
// variable CORVANE_ABSENT_MODULES (names separated by ';') makes modules absent: loading them
// fails with ERROR_MOD_NOT_FOUND.
#include <cstddef>

#include "win32/wintypes.h"

// ---- Loading ------------------------------------------------------------------------------------

// A bare name ("testmod.dll", "testmod") is looked up in the program folder (the executable's
// folder); ".dll" is added when the name has no extension. Paths follow the platform path rules.
// Loading a module that is already loaded returns the same handle and counts a reference.
HMODULE LoadLibraryA(LPCSTR lpLibFileName);
#define LOAD_LIBRARY_AS_DATAFILE 0x00000002
#define LOAD_WITH_ALTERED_SEARCH_PATH 0x00000008
// dwFlags 0 and LOAD_WITH_ALTERED_SEARCH_PATH load as LoadLibraryA does; other flags fail with
// ERROR_INVALID_PARAMETER.
HMODULE LoadLibraryExA(LPCSTR lpLibFileName, HANDLE hFile, DWORD dwFlags);
// Drops one reference; the last one unloads the module and makes its handle stale. The
// executable and built-in modules stay loaded.
BOOL FreeLibrary(HMODULE hLibModule);
// An export by name; missing: NULL with ERROR_PROC_NOT_FOUND.
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);

// NULL: the executable. Otherwise a loaded module by name (no reference counted).
HMODULE GetModuleHandleA(LPCSTR lpModuleName);
#define GET_MODULE_HANDLE_EX_FLAG_PIN 0x00000001
#define GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT 0x00000002
#define GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS 0x00000004
// With GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, lpModuleName is an address inside a loaded shared
// object or the executable: how a module finds its own handle. Without
// GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT a reference is counted (dropped by FreeLibrary);
// GET_MODULE_HANDLE_EX_FLAG_PIN keeps the module loaded for good.
BOOL GetModuleHandleExA(DWORD dwFlags, LPCSTR lpModuleName, HMODULE* phModule);
// The module's file as an absolute platform path with backslashes. Returns the length copied;
// a path that does not fit is cut to nSize - 1 characters plus NUL, returns nSize and sets
// ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);

#define LoadLibrary LoadLibraryA
#define LoadLibraryEx LoadLibraryExA
#define GetModuleHandle GetModuleHandleA
#define GetModuleHandleEx GetModuleHandleExA
#define GetModuleFileName GetModuleFileNameA

// ---- Built-in modules ---------------------------------------------------------------------------

// One export of a built-in module: {"TransparentBlt", &TransparentBlt}, any function type.
struct BuiltinExport {
  template <class R, class... Args>
  BuiltinExport(const char* exportName, R (*function)(Args...))
      : name(exportName), proc(reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function))) {}
  const char* name;
  FARPROC proc;
};

// Adds exports to the built-in module of that name (created when new; "kernel32.dll",
// "user32.dll", "gdi32.dll", "msimg32.dll", "uxtheme.dll", "ole32.dll", "oleaut32.dll" and
// "quartz.dll" exist from the start). The names and the table are copied; an export registered
// again replaces the earlier one. Safe during static initialisation and from any thread.
void RegisterBuiltinModule(const char* moduleName, const BuiltinExport* exports, size_t count);

// ---- Resources ----------------------------------------------------------------------------------

#define MAKEINTRESOURCEA(i) ((LPSTR)((ULONG_PTR)((WORD)(i))))
#define MAKEINTRESOURCE MAKEINTRESOURCEA
#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)

#define RT_CURSOR MAKEINTRESOURCE(1)
#define RT_BITMAP MAKEINTRESOURCE(2)
#define RT_ICON MAKEINTRESOURCE(3)
#define RT_MENU MAKEINTRESOURCE(4)
#define RT_DIALOG MAKEINTRESOURCE(5)
#define RT_STRING MAKEINTRESOURCE(6)
#define RT_FONTDIR MAKEINTRESOURCE(7)
#define RT_FONT MAKEINTRESOURCE(8)
#define RT_ACCELERATOR MAKEINTRESOURCE(9)
#define RT_RCDATA MAKEINTRESOURCE(10)
#define RT_MESSAGETABLE MAKEINTRESOURCE(11)
#define RT_GROUP_CURSOR MAKEINTRESOURCE(12)
#define RT_GROUP_ICON MAKEINTRESOURCE(14)
#define RT_VERSION MAKEINTRESOURCE(16)
#define RT_HTML MAKEINTRESOURCE(23)
#define RT_MANIFEST MAKEINTRESOURCE(24)

// One resource of a module, as a line of a resource script: type and name are MAKEINTRESOURCE
// ids or strings (strings match without case; "#123" means id 123). data points at the bytes of
// the resource or at a typed C++ object that the reading layer knows (a dialog template, a menu,
// ...), size is its size in bytes. Resources have no language: every language finds them.
struct ResourceEntry {
  LPCSTR type;
  LPCSTR name;
  const void* data;
  DWORD size;
};

// One line of a string table: the id and UTF-8 text.
struct StringEntry {
  UINT id;
  const char* text;
};

// Registers the tables of the module that contains the calling code. Define one object per
// table at namespace scope in the module:
//   static const ResourceEntry kResources[] = {{RT_RCDATA, MAKEINTRESOURCE(7), kBytes, 4}};
//   static const StringEntry kStrings[] = {{112, "Open failed"}, {113, "Extract failed"}};
//   static const ModuleResources kRegistered(kResources, kStrings);
// The tables and the object must be static (the tables are used in place, not copied; the
// object's address tells which module it belongs to); the destructor withdraws them when the
// module unloads. A module may register several tables: look-ups go through them in registration
// order, so the first text of a string id wins. An RT_STRING block holds the strings of one table.
class ModuleResources {
 public:
  template <size_t N, size_t M>
  ModuleResources(const ResourceEntry (&entries)[N], const StringEntry (&strings)[M])
      : ModuleResources(entries, N, strings, M) {}
  template <size_t N>
  explicit ModuleResources(const ResourceEntry (&entries)[N]) : ModuleResources(entries, N, nullptr, 0) {}
  template <size_t M>
  explicit ModuleResources(const StringEntry (&strings)[M]) : ModuleResources(nullptr, 0, strings, M) {}
  ModuleResources(const ResourceEntry* entries, size_t entryCount, const StringEntry* strings,
                  size_t stringCount);
  ~ModuleResources();
  ModuleResources(const ModuleResources&) = delete;
  ModuleResources& operator=(const ModuleResources&) = delete;
};

// hModule NULL is the executable. Fails with ERROR_RESOURCE_TYPE_NOT_FOUND or
// ERROR_RESOURCE_NAME_NOT_FOUND. String tables are found as RT_STRING blocks of 16 strings
// (block id / 16 + 1), each a length-prefixed UTF-16 string, as the platform lays them out.
HRSRC FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType);
HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo);
// The resource's data, read-only, valid while its module is loaded.
LPVOID LockResource(HGLOBAL hResData);
DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo);
// Resources need no freeing: returns FALSE like the platform.
BOOL FreeResource(HGLOBAL hResData);

// Copies string uID (UTF-8) and returns its length in bytes; cut to fit cchBufferMax - 1 bytes
// (never inside a character) plus NUL. Missing or empty string: 0 and an empty buffer.
int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax);
// As LoadStringA in UTF-16 (never cutting a surrogate pair). cchBufferMax 0: lpBuffer is taken as
// a (const WCHAR**) that receives a read-only pointer to the string inside its RT_STRING block
// (not NUL-terminated; null when missing) and the result is its length.
int LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax);

#define FindResource FindResourceA
#define LoadString LoadStringA
