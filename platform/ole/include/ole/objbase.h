#pragma once
// Object creation, class registration, task memory and GUID text.
#include <string>
#include <string_view>

#include "ole/unknwn.h"

// ---- Initialisation -----------------------------------------------------------------------------
// Counted per thread: the first call on a thread returns S_OK, later ones S_FALSE. Apartments are
// not enforced; objects can be created on any thread.
typedef enum tagCOINIT {
  COINIT_APARTMENTTHREADED = 0x2,
  COINIT_MULTITHREADED = 0x0,
  COINIT_DISABLE_OLE1DDE = 0x4,
  COINIT_SPEED_OVER_MEMORY = 0x8,
} COINIT;
HRESULT CoInitialize(LPVOID pvReserved);
HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
void CoUninitialize();
HRESULT OleInitialize(LPVOID pvReserved);
void OleUninitialize();

// ---- Creation -----------------------------------------------------------------------------------
typedef enum tagCLSCTX {
  CLSCTX_INPROC_SERVER = 0x1,
  CLSCTX_INPROC_HANDLER = 0x2,
  CLSCTX_LOCAL_SERVER = 0x4,
  CLSCTX_REMOTE_SERVER = 0x10,
} CLSCTX;
#define CLSCTX_INPROC (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER)
#define CLSCTX_SERVER (CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)
#define CLSCTX_ALL (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)

// The class object is looked up in this order: objects given to CoRegisterClassObject, the
// built-in class table, then the registry's HKCR\CLSID\{clsid}\InprocServer32 module, loaded
// with LoadLibrary and asked through its DllGetClassObject. Unknown classes give
// REGDB_E_CLASSNOTREG, a module that cannot be loaded CO_E_DLLNOTFOUND, a module without
// DllGetClassObject CO_E_ERRORINDLL.
HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, LPVOID pvReserved, REFIID riid,
                         LPVOID* ppv);
HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid,
                         LPVOID* ppv);

typedef enum tagREGCLS {
  REGCLS_SINGLEUSE = 0,
  REGCLS_MULTIPLEUSE = 1,
  REGCLS_MULTI_SEPARATE = 2,
  REGCLS_SUSPENDED = 4,
} REGCLS;
// Makes pUnk (a class object, usually an IClassFactory) the class object of rclsid until revoked;
// it wins over the built-in table and the registry. REGCLS_SINGLEUSE hands it out only once.
HRESULT CoRegisterClassObject(REFCLSID rclsid, LPUNKNOWN pUnk, DWORD dwClsContext, DWORD flags,
                              LPDWORD lpdwRegister);
// Unknown cookie: CO_E_OBJNOTREG.
HRESULT CoRevokeClassObject(DWORD dwRegister);

// Asks every module loaded for a class object whether it can be unloaded (DllCanUnloadNow) and
// frees those that answer S_OK.
void CoFreeUnusedLibraries();

// The entry points a COM server module exports.
typedef HRESULT (*LPFNGETCLASSOBJECT)(REFCLSID rclsid, REFIID riid, LPVOID* ppv);
typedef HRESULT (*LPFNCANUNLOADNOW)();

// ---- Built-in classes ---------------------------------------------------------------------------
// Makes a class of the platform itself creatable by class id: the table's class factory calls
// create (with the outer unknown, which create may refuse with CLASS_E_NOAGGREGATION). A class
// added again replaces the earlier entry. Safe during static initialisation and from any thread.
typedef HRESULT (*LPFNCREATEINSTANCE)(IUnknown* pUnkOuter, REFIID riid, void** ppv);
void RegisterBuiltinClass(REFCLSID rclsid, LPFNCREATEINSTANCE create);

// ---- Registration keys --------------------------------------------------------------------------
// Writes HKCR\CLSID\{clsid} (default value friendlyName) and its InprocServer32 key (default value
// the module path, "ThreadingModel" when threadingModel is not NULL). Failure: SELFREG_E_CLASS.
HRESULT RegisterInprocServer(REFCLSID rclsid, LPCSTR friendlyName, LPCSTR modulePath,
                             LPCSTR threadingModel);
// Removes HKCR\CLSID\{clsid} with everything below it. A class that is not registered is no
// failure; a key that cannot be removed gives SELFREG_E_CLASS.
HRESULT UnregisterServer(REFCLSID rclsid);

// ---- Task memory --------------------------------------------------------------------------------
LPVOID CoTaskMemAlloc(SIZE_T cb);
LPVOID CoTaskMemRealloc(LPVOID pv, SIZE_T cb);
void CoTaskMemFree(LPVOID pv);
// A copy of a wide string in task memory, for an out parameter the caller frees with
// CoTaskMemFree (NULL text gives an empty string): E_POINTER without out, E_OUTOFMEMORY.
HRESULT TaskMemWideCopy(LPCOLESTR text, LPOLESTR* out);

// ---- GUID text ----------------------------------------------------------------------------------
// The braced form "{00000000-0000-0000-C000-000000000046}", upper-case hex on output, either case
// on input. Anything else gives CO_E_CLASSSTRING (IIDFromString: E_INVALIDARG).
HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid);
HRESULT IIDFromString(LPCOLESTR lpsz, LPIID lpiid);
// Writes the braced form with its NUL; returns the characters written (39), or 0 when cchMax is
// too small.
int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax);
// The braced form in CoTaskMemAlloc memory, which the caller frees.
HRESULT StringFromCLSID(REFCLSID rclsid, LPOLESTR* lplpsz);
HRESULT StringFromIID(REFIID rclsid, LPOLESTR* lplpsz);
// Narrow forms of the same text, for registry key names.
std::string StringFromGUIDA(REFGUID rguid);
bool GUIDFromStringA(std::string_view text, GUID* guid);
