// A COM server module as the program's libraries are: self-registration, class object and
// unload answer.
#include <atomic>

#include "test_server.h"
#include "win32/winmodule.h"

namespace {

std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

class Adder : public DispatchObject {
 public:
  Adder() {
    ++g_objects;
    table_.Method(1, "Add", VT_I4, {VT_I4, VT_I4}, [](DispatchCall& c) {
      c.result->vt = VT_I4;
      c.result->lVal = c.args[0].lVal + c.args[1].lVal;
      return S_OK;
    });
  }
  ~Adder() override { --g_objects; }
};

class Factory final : public IClassFactory {
 public:
  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *ppv = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  // The factory is static; handing it out locks the module like an object would.
  STDMETHOD_(ULONG, AddRef)() override { return ++g_locks; }
  STDMETHOD_(ULONG, Release)() override { return --g_locks; }
  STDMETHOD(CreateInstance)(IUnknown* outer, REFIID riid, void** ppv) override {
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    Adder* adder = new Adder;
    HRESULT hr = adder->QueryInterface(riid, ppv);
    adder->Release();
    return hr;
  }
  STDMETHOD(LockServer)(BOOL lock) override {
    g_locks += lock ? 1 : -1;
    return S_OK;
  }
};

Factory g_factory;

// The alias registration must not keep the module loaded, so it does not count references.
class AliasFactory final : public IClassFactory {
 public:
  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *ppv = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHOD_(ULONG, AddRef)() override { return 1; }
  STDMETHOD_(ULONG, Release)() override { return 1; }
  STDMETHOD(CreateInstance)(IUnknown* outer, REFIID riid, void** ppv) override {
    return g_factory.CreateInstance(outer, riid, ppv);
  }
  STDMETHOD(LockServer)(BOOL) override { return S_OK; }
};

struct AliasRegistration {
  AliasRegistration() {
    CoRegisterClassObject(CLSID_OleTestAdderAlias, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie);
  }
  ~AliasRegistration() { CoRevokeClassObject(cookie); }
  AliasFactory factory;
  DWORD cookie = 0;
};

AliasRegistration g_alias;

}  // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  *ppv = nullptr;
  if (clsid != CLSID_OleTestAdder) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, ppv);
}

STDAPI DllCanUnloadNow() { return g_objects == 0 && g_locks == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
  HMODULE self = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCSTR>(&g_factory), &self))
    return SELFREG_E_CLASS;
  char path[4096];
  if (GetModuleFileNameA(self, path, sizeof path) >= sizeof path) return SELFREG_E_CLASS;
  return RegisterInprocServer(CLSID_OleTestAdder, "Ole Test Adder", path, "Apartment");
}

STDAPI DllUnregisterServer() { return UnregisterServer(CLSID_OleTestAdder); }
