// Command targets with automation: member ids from the map, calls and their errors, nested
// interfaces, reference counting, and the dispatch driver.
#include <gtest/gtest.h>

#include "mfc/afxctl.h"
#include "ole/comptr.h"
#include "ole/type_library.h"

namespace {

DEFINE_GUID(IID_ITestItems, 0x3F0B6A20, 0x1C2D, 0x4E3F, 0x80, 0x91, 0xA2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7);

int g_freed = 0;

class CTestItem : public CCmdTarget {
  DECLARE_DISPATCH_MAP()
 public:
  explicit CTestItem(LPCTSTR name) : m_name(name) { EnableAutomation(); }
  void OnFinalRelease() {
    ++g_freed;
    delete this;
  }
  CString m_name;
};

BEGIN_DISPATCH_MAP(CTestItem, CCmdTarget)
  DISP_PROPERTY(CTestItem, "Name", m_name, VT_BSTR)
END_DISPATCH_MAP()

class CTestItems : public CCmdTarget {
  DECLARE_DISPATCH_MAP()
  DECLARE_INTERFACE_MAP()
 public:
  CTestItems() {
    EnableAutomation();
    for (LPCTSTR n : {"One", "Two", "Three"}) m_items.push_back(new CTestItem(n));
  }
  ~CTestItems() override {
    for (CTestItem* item : m_items) item->ExternalRelease();
  }
  void OnFinalRelease() {
    ++g_freed;
    delete this;
  }

  short GetCount() const { return short(m_items.size()); }
  short Find(LPCTSTR name) {
    for (size_t i = 0; i < m_items.size(); ++i)
      if (m_items[i]->m_name == name) return short(i);
    return -1;
  }
  LPDISPATCH GetItem(const VARIANT& key) {
    VARIANT index;
    VariantInit(&index);
    if (FAILED(VariantChangeType(&index, &key, 0, VT_I4)) || index.lVal < 1 || size_t(index.lVal) > m_items.size())
      return nullptr;
    return m_items[size_t(index.lVal - 1)]->GetIDispatch(TRUE);
  }
  BSTR Join(LPCTSTR separator, BOOL reverse) {
    CString text;
    for (size_t i = 0; i < m_items.size(); ++i) {
      if (i) text += separator;
      text += m_items[reverse ? m_items.size() - 1 - i : i]->m_name;
    }
    return text.AllocSysString();
  }

  BEGIN_INTERFACE_PART(Counter, IUnknown)
    ULONG Peek();
  END_INTERFACE_PART(Counter)

  std::vector<CTestItem*> m_items;
};

BEGIN_DISPATCH_MAP(CTestItems, CCmdTarget)
  DISP_PROPERTY_EX(CTestItems, "Count", GetCount, SetNotSupported, VT_I2)
  DISP_FUNCTION(CTestItems, "Find", Find, VT_I2, VTS_BSTR)
  DISP_PROPERTY_PARAM(CTestItems, "Item", GetItem, SetNotSupported, VT_DISPATCH, VTS_VARIANT)
  DISP_FUNCTION(CTestItems, "Join", Join, VT_BSTR, VTS_BSTR VTS_BOOL)
  DISP_FUNCTION_ID(CTestItems, "Size", 40, GetCount, VT_I2, VTS_NONE)
END_DISPATCH_MAP()

DEFINE_GUID(IID_ICounter, 0x3F0B6A21, 0x1C2D, 0x4E3F, 0x80, 0x91, 0xA2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7);

BEGIN_INTERFACE_MAP(CTestItems, CCmdTarget)
  INTERFACE_PART(CTestItems, IID_ITestItems, Dispatch)
  INTERFACE_PART(CTestItems, IID_ICounter, Counter)
END_INTERFACE_MAP()

STDMETHODIMP_(ULONG) CTestItems::XCounter::AddRef() {
  METHOD_PROLOGUE(CTestItems, Counter)
  return pThis->ExternalAddRef();
}
STDMETHODIMP_(ULONG) CTestItems::XCounter::Release() {
  METHOD_PROLOGUE(CTestItems, Counter)
  return pThis->ExternalRelease();
}
STDMETHODIMP CTestItems::XCounter::QueryInterface(REFIID iid, LPVOID* ppv) {
  METHOD_PROLOGUE(CTestItems, Counter)
  return pThis->ExternalQueryInterface(&iid, ppv);
}
ULONG CTestItems::XCounter::Peek() {
  METHOD_PROLOGUE(CTestItems, Counter)
  return ULONG(pThis->m_items.size());
}

DISPID IdOf(IDispatch* d, const char16_t* name) {
  DISPID id = 12345;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  EXPECT_EQ(S_OK, d->GetIDsOfNames(IID_NULL, names, 1, 0, &id));
  return id;
}

HRESULT Get(IDispatch* d, DISPID id, VARIANT* result, VARIANT* arg = nullptr, EXCEPINFO* info = nullptr) {
  DISPPARAMS params = {arg, nullptr, arg ? 1u : 0u, 0};
  VariantInit(result);
  return d->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET | DISPATCH_METHOD, &params, result, info, nullptr);
}

class AutomationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_freed = 0;
    items = new CTestItems;
    dispatch = items->GetIDispatch(FALSE);
  }
  void TearDown() override {
    if (items) items->ExternalRelease();
  }
  CTestItems* items = nullptr;
  IDispatch* dispatch = nullptr;
};

TEST_F(AutomationTest, MembersWithoutIdsAreNumberedInMapOrder) {
  EXPECT_EQ(1, IdOf(dispatch, u"Count"));
  EXPECT_EQ(2, IdOf(dispatch, u"find"));
  EXPECT_EQ(3, IdOf(dispatch, u"Item"));
  EXPECT_EQ(4, IdOf(dispatch, u"Join"));
  EXPECT_EQ(40, IdOf(dispatch, u"Size"));
}

TEST_F(AutomationTest, GettersAndMethodsConvertArgumentsAndResults) {
  VARIANT r;
  ASSERT_EQ(S_OK, Get(dispatch, 1, &r));
  EXPECT_EQ(VT_I2, r.vt);
  EXPECT_EQ(3, r.iVal);

  VARIANT arg;
  arg.vt = VT_BSTR;
  arg.bstrVal = SysAllocString(u"Two");
  ASSERT_EQ(S_OK, Get(dispatch, 2, &r, &arg));
  EXPECT_EQ(1, r.iVal);
  VariantClear(&arg);

  VARIANT args[2];  // last first: reverse = TRUE, separator "-"
  args[0].vt = VT_BOOL;
  args[0].boolVal = VARIANT_TRUE;
  args[1].vt = VT_BSTR;
  args[1].bstrVal = SysAllocString(u"-");
  DISPPARAMS params = {args, nullptr, 2, 0};
  VariantInit(&r);
  ASSERT_EQ(S_OK, dispatch->Invoke(4, IID_NULL, 0, DISPATCH_METHOD, &params, &r, nullptr, nullptr));
  EXPECT_EQ(CString("Three-Two-One"), CString(r.bstrVal));
  VariantClear(&r);
  VariantClear(&args[1]);
}

TEST_F(AutomationTest, ParameterisedPropertyHandsOutReferencedItems) {
  VARIANT key, r;
  key.vt = VT_I4;
  key.lVal = 2;
  ASSERT_EQ(S_OK, Get(dispatch, 3, &r, &key));
  ASSERT_EQ(VT_DISPATCH, r.vt);
  ASSERT_NE(nullptr, r.pdispVal);
  VARIANT name;
  ASSERT_EQ(S_OK, Get(r.pdispVal, 1, &name));
  EXPECT_EQ(CString("Two"), CString(name.bstrVal));
  VariantClear(&name);

  // The item outlives the collection while the caller holds it.
  items->ExternalRelease();
  items = nullptr;
  EXPECT_EQ(3, g_freed);  // the collection and the two items nobody holds
  ASSERT_EQ(S_OK, Get(r.pdispVal, 1, &name));
  EXPECT_EQ(CString("Two"), CString(name.bstrVal));
  VariantClear(&name);
  VariantClear(&r);
  EXPECT_EQ(4, g_freed);

  key.lVal = 0;
  SetUp();
  ASSERT_EQ(S_OK, Get(dispatch, 3, &r, &key));
  EXPECT_EQ(VT_DISPATCH, r.vt);
  EXPECT_EQ(nullptr, r.pdispVal);
}

TEST_F(AutomationTest, PutOnReadOnlyPropertyRaisesSetNotSupported) {
  VARIANT value;
  value.vt = VT_I2;
  value.iVal = 9;
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params = {&value, &put, 1, 1};
  EXCEPINFO info = {};
  EXPECT_EQ(DISP_E_EXCEPTION, dispatch->Invoke(1, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, &info, nullptr));
  EXPECT_EQ(CTL_E_SETNOTSUPPORTED, info.scode);
  VARIANT r;
  ASSERT_EQ(S_OK, Get(dispatch, 1, &r));
  EXPECT_EQ(3, r.iVal);
}

TEST_F(AutomationTest, NestedInterfacesShareTheObjectsIdentityAndCount) {
  IUnknown* counter = nullptr;
  ASSERT_EQ(S_OK, dispatch->QueryInterface(IID_ICounter, reinterpret_cast<void**>(&counter)));
  EXPECT_EQ(3u, static_cast<CTestItems::XCounter*>(counter)->Peek());
  IUnknown* a = nullptr;
  IUnknown* b = nullptr;
  ASSERT_EQ(S_OK, counter->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a)));
  ASSERT_EQ(S_OK, dispatch->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&b)));
  EXPECT_EQ(a, b);
  IDispatch* own = nullptr;
  ASSERT_EQ(S_OK, counter->QueryInterface(IID_ITestItems, reinterpret_cast<void**>(&own)));
  EXPECT_EQ(dispatch, own);
  EXPECT_EQ(E_NOINTERFACE, counter->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&a)));
  EXPECT_EQ(nullptr, a);
  own->Release();
  b->Release();
  counter->Release();
  counter->Release();
  EXPECT_EQ(1u, mfc::disp::RefCount(items));
  EXPECT_EQ(0, g_freed);
}

TEST_F(AutomationTest, DispatchDriverCallsByIdAndRaisesFailures) {
  COleDispatchDriver driver(items->GetIDispatch(TRUE));
  short count = 0;
  driver.GetProperty(1, VT_I2, &count);
  EXPECT_EQ(3, count);
  short index = 0;
  driver.InvokeHelper(2, DISPATCH_METHOD, VT_I2, &index, reinterpret_cast<const BYTE*>(VTS_BSTR), "Three");
  EXPECT_EQ(2, index);
  CString joined;
  driver.InvokeHelper(4, DISPATCH_METHOD, VT_BSTR, &joined, reinterpret_cast<const BYTE*>(VTS_BSTR VTS_BOOL), ", ",
                      FALSE);
  EXPECT_EQ(CString("One, Two, Three"), joined);

  try {
    driver.SetProperty(1, VT_I2, 7);
    FAIL() << "a put on a read-only property succeeded";
  } catch (COleDispatchException* e) {
    EXPECT_EQ(CTL_E_SETNOTSUPPORTED, e->m_scError);
    e->Delete();
  }
  try {
    driver.InvokeHelper(99, DISPATCH_METHOD, VT_EMPTY, nullptr, reinterpret_cast<const BYTE*>(VTS_NONE));
    FAIL() << "an unknown member was called";
  } catch (COleException* e) {
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, e->m_sc);
    e->Delete();
  }
  LPDISPATCH held = driver.DetachDispatch();
  EXPECT_EQ(nullptr, driver.m_lpDispatch);
  held->Release();
  EXPECT_EQ(1u, mfc::disp::RefCount(items));
}

// A creatable command target served by a factory of this program.
DEFINE_GUID(IID_IDescribed, 0x3F0B6A22, 0x1C2D, 0x4E3F, 0x80, 0x91, 0xA2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7);
DEFINE_GUID(CLSID_Described, 0x3F0B6A23, 0x1C2D, 0x4E3F, 0x80, 0x91, 0xA2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7);

// A class described by a type library, as a control's classes are.
class CDescribed : public CCmdTarget {
  DECLARE_DISPATCH_MAP()
 public:
  CDescribed() {
    EnableAutomation();
    mfc::disp::SetDispatchIID(this, IID_IDescribed);
  }
  HRESULT GetTypeLib(LCID, LPTYPELIB* library) {
    TypeLibraryDescription d;
    d.name = "DescribedLib";
    d.dispinterfaces = {mfc::disp::DescribeDispatchMap(GetThisDispatchMap(), IID_IDescribed, "IDescribed")};
    d.coclasses = {{CLSID_Described, "Described", {IID_IDescribed}}};
    return CreateTypeLibrary(std::move(d), library);
  }
  short GetSize() { return 3; }
};

BEGIN_DISPATCH_MAP(CDescribed, CCmdTarget)
  DISP_PROPERTY_EX(CDescribed, "Size", GetSize, SetNotSupported, VT_I2)
  DISP_FUNCTION_ID(CDescribed, "Grow", 7, GetSize, VT_I2, VTS_I2)
END_DISPATCH_MAP()

TEST(TypeLibraryTest, AClassWithALibraryIsDescribedThereAndOthersByTheirMaps) {
  CDescribed described;
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(S_OK, described.GetIDispatch(FALSE)->GetTypeInfo(0, 0, info.put()));
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
  EXPECT_EQ(IID_IDescribed, attr->guid);
  EXPECT_EQ(3, attr->cFuncs);  // Size's get and its refusing put, and Grow
  info->ReleaseTypeAttr(attr);
  FUNCDESC* grow = nullptr;
  ASSERT_EQ(S_OK, info->GetFuncDesc(2, &grow));
  EXPECT_EQ(7, grow->memid);
  EXPECT_EQ(1, grow->cParams);
  info->ReleaseFuncDesc(grow);
  ComPtr<ITypeLib> library;
  ASSERT_EQ(S_OK, info->GetContainingTypeLib(library.put(), nullptr));
  ComPtr<ITypeInfo> coclass;
  EXPECT_EQ(S_OK, library->GetTypeInfoOfGuid(CLSID_Described, coclass.put()));

  // Without a library the dispatch map alone describes the members.
  CTestItem plain("plain");
  ComPtr<ITypeInfo> bare;
  ASSERT_EQ(S_OK, plain.GetIDispatch(FALSE)->GetTypeInfo(0, 0, bare.put()));
  EXPECT_EQ(E_NOTIMPL, bare->GetContainingTypeLib(library.put(), nullptr));
}

DEFINE_GUID(CLSID_Creatable, 0x3F0B6A22, 0x1C2D, 0x4E3F, 0x80, 0x91, 0xA2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7);

class CCreatable : public CCmdTarget {
  DECLARE_DYNCREATE(CCreatable)
  DECLARE_DISPATCH_MAP()
 public:
  CCreatable() {
    EnableAutomation();
    AfxOleLockApp();
  }
  ~CCreatable() override { AfxOleUnlockApp(); }
  LONG m_value = 42;
};

IMPLEMENT_DYNCREATE(CCreatable, CCmdTarget)
BEGIN_DISPATCH_MAP(CCreatable, CCmdTarget)
  DISP_PROPERTY(CCreatable, "Value", m_value, VT_I4)
END_DISPATCH_MAP()

COleObjectFactory g_creatableFactory(CLSID_Creatable, RUNTIME_CLASS(CCreatable), FALSE, "Test.Creatable.1");

TEST(ObjectFactoryTest, RegisteredFactoriesServeCreationUntilRevoked) {
  IDispatch* object = nullptr;
  EXPECT_EQ(REGDB_E_CLASSNOTREG, CoCreateInstance(CLSID_Creatable, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                                  reinterpret_cast<void**>(&object)));
  ASSERT_TRUE(COleObjectFactory::RegisterAll());
  ASSERT_EQ(S_OK, CoCreateInstance(CLSID_Creatable, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(&object)));
  EXPECT_EQ(1, COleObjectFactory::ObjectCount());
  COleDispatchDriver driver(object);
  LONG value = 0;
  driver.GetProperty(1, VT_I4, &value);
  EXPECT_EQ(42, value);
  driver.ReleaseDispatch();
  EXPECT_EQ(0, COleObjectFactory::ObjectCount());
  EXPECT_EQ(S_OK, AfxDllCanUnloadNow());
  EXPECT_EQ(E_NOINTERFACE, CoCreateInstance(CLSID_Creatable, nullptr, CLSCTX_INPROC_SERVER, IID_IClassFactory,
                                            reinterpret_cast<void**>(&object)));
  EXPECT_EQ(0, COleObjectFactory::ObjectCount());
  COleObjectFactory::RevokeAll();
  EXPECT_EQ(REGDB_E_CLASSNOTREG, CoCreateInstance(CLSID_Creatable, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                                  reinterpret_cast<void**>(&object)));
}

}  // namespace
