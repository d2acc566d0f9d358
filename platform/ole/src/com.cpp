// The Co* entry points: initialisation counts, creation, class objects, task memory.
#include <cstdlib>
#include <string>

#include "class_registry.h"
#include "ole/comptr.h"
#include "ole/objbase.h"

namespace {
thread_local int t_initCount = 0;
}

HRESULT CoInitializeEx(LPVOID, DWORD) { return t_initCount++ == 0 ? S_OK : S_FALSE; }

HRESULT CoInitialize(LPVOID pvReserved) { return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED); }

void CoUninitialize() {
  if (t_initCount > 0) --t_initCount;
}

HRESULT OleInitialize(LPVOID pvReserved) { return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED); }

void OleUninitialize() { CoUninitialize(); }

HRESULT CoGetClassObject(REFCLSID rclsid, DWORD, LPVOID, REFIID riid, LPVOID* ppv) {
  if (!ppv) return E_INVALIDARG;
  *ppv = nullptr;
  return ole::ClassRegistry::Instance().GetClassObject(rclsid, riid, ppv);
}

HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid,
                         LPVOID* ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  ComPtr<IClassFactory> factory;
  HRESULT hr = CoGetClassObject(rclsid, dwClsContext, nullptr, IID_IClassFactory, factory.putVoid());
  if (FAILED(hr)) return hr;
  hr = factory->CreateInstance(pUnkOuter, riid, ppv);
  if (FAILED(hr)) *ppv = nullptr;
  return hr;
}

HRESULT CoRegisterClassObject(REFCLSID rclsid, LPUNKNOWN pUnk, DWORD, DWORD flags,
                              LPDWORD lpdwRegister) {
  return ole::ClassRegistry::Instance().RegisterObject(rclsid, pUnk, flags, lpdwRegister);
}

HRESULT CoRevokeClassObject(DWORD dwRegister) { return ole::ClassRegistry::Instance().RevokeObject(dwRegister); }

void CoFreeUnusedLibraries() { ole::ClassRegistry::Instance().FreeUnusedServers(); }

void RegisterBuiltinClass(REFCLSID rclsid, LPFNCREATEINSTANCE create) {
  if (create) ole::ClassRegistry::Instance().AddBuiltin(rclsid, create);
}

LPVOID CoTaskMemAlloc(SIZE_T cb) { return std::malloc(cb ? cb : 1); }

LPVOID CoTaskMemRealloc(LPVOID pv, SIZE_T cb) { return std::realloc(pv, cb ? cb : 1); }

void CoTaskMemFree(LPVOID pv) { std::free(pv); }

HRESULT TaskMemWideCopy(LPCOLESTR text, LPOLESTR* out) {
  if (!out) return E_POINTER;
  const size_t n = text ? std::char_traits<char16_t>::length(text) : 0;
  *out = static_cast<LPOLESTR>(CoTaskMemAlloc((n + 1) * sizeof(OLECHAR)));
  if (!*out) return E_OUTOFMEMORY;
  std::char_traits<char16_t>::copy(*out, text ? text : u"", n + 1);
  return S_OK;
}
