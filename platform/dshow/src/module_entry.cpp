// The entry points of a filter module, built into each module that links `dshow_module`: they
// serve the module's own g_Templates.
#include <string>

#include "dshow/dllsetup.h"
#include "win32/winmodule.h"

namespace {

// This module's file, found from an address inside it.
std::string ModulePath() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCSTR>(&ModulePath), &module))
    return {};
  char path[4 * MAX_PATH];
  DWORD n = GetModuleFileNameA(module, path, sizeof path);
  if (n == 0 || n >= sizeof path) return {};
  return std::string(path, n);
}

}  // namespace

STDAPI AMovieDllRegisterServer2(BOOL bRegister) {
  std::string path = ModulePath();
  if (path.empty()) return E_FAIL;
  return AMovieSetupRegisterTemplates(g_Templates, g_cTemplates, path.c_str(), bRegister);
}

STDAPI AMovieDllRegisterServer() { return AMovieDllRegisterServer2(TRUE); }

STDAPI AMovieDllUnregisterServer() { return AMovieDllRegisterServer2(FALSE); }

STDAPI DllGetClassObject(REFCLSID rClsID, REFIID riid, void** pv) {
  return AMovieGetClassObject(g_Templates, g_cTemplates, rClsID, riid, pv);
}

STDAPI DllCanUnloadNow() { return AMovieCanUnloadNow(); }
