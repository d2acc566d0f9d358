#include <gtest/gtest.h>

#include <thread>

#include "fakes.h"
#include "test_server.h"
#include "win32/winmodule.h"
#include "win32/winreg.h"

namespace {

DEFINE_GUID(CLSID_Fake, 0xE970D30D, 0xFC7F, 0x4DE6, 0xAF, 0x8A, 0xC5, 0xA7, 0x8E, 0x29, 0xDF, 0xF2);
DEFINE_GUID(CLSID_Builtin, 0x132825D5, 0x9CDB, 0x416F, 0x80, 0xCE, 0xEF, 0x40, 0x38, 0xE6, 0xC6, 0x0B);
DEFINE_GUID(CLSID_Nowhere, 0xEA1F3829, 0x2745, 0x4181, 0x95, 0x5A, 0xDB, 0xF7, 0x89, 0x03, 0xB3, 0x8F);

// A class factory that hands out one fixed object.
class FakeFactory : public CountedUnknown, public IClassFactory {
 public:
  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    if (riid == IID_IClassFactory || riid == IID_IUnknown) {
      *ppv = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHOD_(ULONG, AddRef)() override { return CountedUnknown::AddRef(); }
  STDMETHOD_(ULONG, Release)() override { return CountedUnknown::Release(); }
  STDMETHOD(CreateInstance)(IUnknown*, REFIID riid, void** ppv) override {
    ++created;
    return product.QueryInterface(riid, ppv);
  }
  STDMETHOD(LockServer)(BOOL) override { return S_OK; }
  CountedUnknown product;
  int created = 0;
};

CountedUnknown g_builtinObject;

HRESULT CreateBuiltin(IUnknown* outer, REFIID riid, void** ppv) {
  if (outer) return CLASS_E_NOAGGREGATION;
  return g_builtinObject.QueryInterface(riid, ppv);
}

TEST(Classes, RegisteredClassObjectIsUsedUntilRevoked) {
  FakeFactory factory;
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(CLSID_Fake, static_cast<IClassFactory*>(&factory), CLSCTX_INPROC_SERVER,
                                  REGCLS_MULTIPLEUSE, &cookie),
            S_OK);
  IUnknown* object = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_Fake, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            S_OK);
  EXPECT_EQ(object, &factory.product);
  object->Release();
  ASSERT_EQ(CoCreateInstance(CLSID_Fake, nullptr, CLSCTX_ALL, IID_IUnknown, reinterpret_cast<void**>(&object)), S_OK);
  object->Release();
  EXPECT_EQ(factory.created, 2);
  ASSERT_EQ(CoRevokeClassObject(cookie), S_OK);
  EXPECT_EQ(factory.refs, 1u);
  EXPECT_EQ(CoRevokeClassObject(cookie), CO_E_OBJNOTREG);
  object = &factory.product;
  EXPECT_EQ(CoCreateInstance(CLSID_Fake, nullptr, CLSCTX_ALL, IID_IUnknown, reinterpret_cast<void**>(&object)),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);
}

TEST(Classes, SingleUseRegistrationIsHandedOutOnce) {
  FakeFactory factory;
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(CLSID_Fake, static_cast<IClassFactory*>(&factory), CLSCTX_INPROC_SERVER,
                                  REGCLS_SINGLEUSE, &cookie),
            S_OK);
  IClassFactory* got = nullptr;
  ASSERT_EQ(CoGetClassObject(CLSID_Fake, CLSCTX_ALL, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&got)), S_OK);
  got->Release();
  EXPECT_EQ(factory.refs, 1u);
  EXPECT_EQ(CoGetClassObject(CLSID_Fake, CLSCTX_ALL, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&got)),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(CoRevokeClassObject(cookie), CO_E_OBJNOTREG);
}

TEST(Classes, BuiltinTableAndFakesOverridingIt) {
  RegisterBuiltinClass(CLSID_Builtin, CreateBuiltin);
  IUnknown* object = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_Builtin, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            S_OK);
  EXPECT_EQ(object, &g_builtinObject);
  object->Release();
  CountedUnknown outer;
  EXPECT_EQ(CoCreateInstance(CLSID_Builtin, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            CLASS_E_NOAGGREGATION);
  // A test's fake wins over the built-in class.
  FakeFactory factory;
  DWORD cookie = 0;
  CoRegisterClassObject(CLSID_Builtin, static_cast<IClassFactory*>(&factory), CLSCTX_INPROC_SERVER,
                        REGCLS_MULTIPLEUSE, &cookie);
  ASSERT_EQ(CoCreateInstance(CLSID_Builtin, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            S_OK);
  EXPECT_EQ(object, &factory.product);
  object->Release();
  CoRevokeClassObject(cookie);
  EXPECT_EQ(g_builtinObject.refs, 1u);
}

// Calls an export of a module loaded for the purpose.
HRESULT CallExport(const char* module, const char* name) {
  HMODULE h = LoadLibraryA(module);
  if (!h) return E_FAIL;
  auto fn = reinterpret_cast<HRESULT (*)()>(reinterpret_cast<void*>(GetProcAddress(h, name)));
  HRESULT hr = fn ? fn() : E_FAIL;
  FreeLibrary(h);
  return hr;
}

std::string DefaultValue(const std::string& key, const char* name = nullptr) {
  HKEY h;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return "<missing>";
  char buf[4096] = {};
  DWORD size = sizeof buf;
  RegQueryValueExA(h, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(buf), &size);
  RegCloseKey(h);
  return buf;
}

LONG InvokeAdd(IDispatch* adder, LONG a, LONG b) {
  VARIANT args[2];
  VariantInit(&args[0]);
  VariantInit(&args[1]);
  args[0].vt = args[1].vt = VT_I4;
  args[0].lVal = b;
  args[1].lVal = a;
  DISPPARAMS dp = {args, nullptr, 2, 0};
  Var result;
  EXPECT_EQ(adder->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &dp, &result, nullptr, nullptr), S_OK);
  return result.lVal;
}

TEST(Classes, ServerModuleThroughTheRegistry) {
  // Registered by hand first, so that creating the object is what loads the module.
  ASSERT_EQ(RegisterInprocServer(CLSID_OleTestAdder, "Adder", OLE_TEST_SERVER, "Both"), S_OK);
  IDispatch* adder = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_OleTestAdder, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                             reinterpret_cast<void**>(&adder)),
            S_OK);
  EXPECT_EQ(InvokeAdd(adder, 2, 40), 42);
  // Registered by the module's static initialisation while it was being loaded.
  IUnknown* alias = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_OleTestAdderAlias, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&alias)),
            S_OK);
  alias->Release();

  // The module stays while its object lives and is freed once it can unload.
  CoFreeUnusedLibraries();
  EXPECT_NE(GetModuleHandleA("OleTestServer.dll"), nullptr);
  adder->Release();
  CoFreeUnusedLibraries();
  EXPECT_EQ(GetModuleHandleA("OleTestServer.dll"), nullptr);

  // Self-registration writes the keys the module is found by.
  ASSERT_EQ(UnregisterServer(CLSID_OleTestAdder), S_OK);
  ASSERT_EQ(CallExport(OLE_TEST_SERVER, "DllRegisterServer"), S_OK);
  const std::string key = "CLSID\\" + StringFromGUIDA(CLSID_OleTestAdder);
  EXPECT_EQ(DefaultValue(key), "Ole Test Adder");
  const std::string path = DefaultValue(key + "\\InprocServer32");
  EXPECT_EQ(path.find('/'), std::string::npos) << path;  // handed out with backslashes
  EXPECT_NE(path.find("OleTestServer.dll"), std::string::npos) << path;
  EXPECT_EQ(DefaultValue(key + "\\InprocServer32", "ThreadingModel"), "Apartment");
  ASSERT_EQ(CoCreateInstance(CLSID_OleTestAdder, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                             reinterpret_cast<void**>(&adder)),
            S_OK);
  EXPECT_EQ(InvokeAdd(adder, -1, 1), 0);
  adder->Release();

  ASSERT_EQ(CallExport(OLE_TEST_SERVER, "DllUnregisterServer"), S_OK);
  EXPECT_EQ(DefaultValue(key), "<missing>");
  EXPECT_EQ(CoCreateInstance(CLSID_OleTestAdder, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                             reinterpret_cast<void**>(&adder)),
            REGDB_E_CLASSNOTREG);
  CoFreeUnusedLibraries();
}

TEST(Classes, BrokenRegistrations) {
  EXPECT_EQ(UnregisterServer(CLSID_Nowhere), S_OK);  // nothing to remove
  IUnknown* object = nullptr;
  ASSERT_EQ(RegisterInprocServer(CLSID_Nowhere, "Gone", "/no/such/module.dll", nullptr), S_OK);
  EXPECT_EQ(CoCreateInstance(CLSID_Nowhere, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            CO_E_DLLNOTFOUND);
  // A library that is no COM server.
  ASSERT_EQ(RegisterInprocServer(CLSID_Nowhere, "Not a server", OLE_LIBRARY, nullptr), S_OK);
  EXPECT_EQ(CoCreateInstance(CLSID_Nowhere, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            CO_E_ERRORINDLL);
  ASSERT_EQ(UnregisterServer(CLSID_Nowhere), S_OK);
  EXPECT_EQ(DefaultValue("CLSID\\" + StringFromGUIDA(CLSID_Nowhere)), "<missing>");
}

TEST(Classes, InitialisationIsCountedPerThread) {
  std::thread([] {
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    std::thread([] { EXPECT_EQ(OleInitialize(nullptr), S_OK); OleUninitialize(); }).join();
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
  }).join();
}

}  // namespace
