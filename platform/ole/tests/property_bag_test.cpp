#include <gtest/gtest.h>

#include "fakes.h"

namespace {

DEFINE_GUID(CLSID_Device, 0x33D9A761, 0x90C8, 0x11D0, 0xBD, 0x43, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86);

HRESULT WriteText(IPropertyBag* bag, const char16_t* name, const char* text) {
  Bstr b(text);
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = b.b;
  return bag->Write(name, &v);
}

class RecordingLog : public CountedUnknown, public IErrorLog {
 public:
  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override { return CountedUnknown::QueryInterface(riid, ppv); }
  STDMETHOD_(ULONG, AddRef)() override { return CountedUnknown::AddRef(); }
  STDMETHOD_(ULONG, Release)() override { return CountedUnknown::Release(); }
  STDMETHOD(AddError)(LPCOLESTR name, EXCEPINFO* info) override {
    errors.push_back(std::u16string(name) + u"=" + (info->scode == DISP_E_TYPEMISMATCH ? u"mismatch" : u"?"));
    return S_OK;
  }
  std::vector<std::u16string> errors;
};

TEST(PropertyBag, ReadsByNameWithoutCaseAndConverts) {
  IPropertyBag* bag = nullptr;
  ASSERT_EQ(CreatePropertyBag(&bag), S_OK);
  ASSERT_EQ(WriteText(bag, u"FriendlyName", "PCM"), S_OK);
  ASSERT_EQ(WriteText(bag, u"Merit", "12"), S_OK);
  ASSERT_EQ(WriteText(bag, u"friendlyname", "PCM Converter"), S_OK);  // same property
  Var v;
  ASSERT_EQ(bag->Read(u"FRIENDLYNAME", &v, nullptr), S_OK);
  EXPECT_EQ(v.vt, VT_BSTR);
  EXPECT_EQ(Narrow(v.bstrVal), "PCM Converter");
  Var n;
  n.vt = VT_I4;  // asks for a long
  ASSERT_EQ(bag->Read(u"Merit", &n, nullptr), S_OK);
  EXPECT_EQ(n.vt, VT_I4);
  EXPECT_EQ(n.lVal, 12);
  Var missing;
  EXPECT_EQ(bag->Read(u"guid", &missing, nullptr), E_INVALIDARG);
  RecordingLog log;
  Var bad;
  bad.vt = VT_I4;
  EXPECT_EQ(bag->Read(u"FriendlyName", &bad, &log), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(log.errors, std::vector<std::u16string>{u"FriendlyName=mismatch"});
  bag->Release();
}

// A device object that loads its name from the moniker's bag.
class Device : public DispatchObject, public IPersistPropertyBag {
 public:
  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    if (riid == IID_IPersistPropertyBag) {
      *ppv = static_cast<IPersistPropertyBag*>(this);
      AddRef();
      return S_OK;
    }
    return DispatchObject::QueryInterface(riid, ppv);
  }
  STDMETHOD_(ULONG, AddRef)() override { return DispatchObject::AddRef(); }
  STDMETHOD_(ULONG, Release)() override { return DispatchObject::Release(); }
  STDMETHOD(GetClassID)(CLSID* id) override {
    *id = CLSID_Device;
    return S_OK;
  }
  STDMETHOD(InitNew)() override { return S_OK; }
  STDMETHOD(Load)(IPropertyBag* bag, IErrorLog*) override {
    Var v;
    HRESULT hr = bag->Read(u"FriendlyName", &v, nullptr);
    if (SUCCEEDED(hr)) loadedName = Narrow(v.bstrVal);
    return hr;
  }
  STDMETHOD(Save)(IPropertyBag*, BOOL, BOOL) override { return E_NOTIMPL; }
  static std::string loadedName;
};
std::string Device::loadedName;

HRESULT CreateDevice(IUnknown*, REFIID riid, void** ppv) {
  Device* d = new Device;
  HRESULT hr = static_cast<IDispatch*>(d)->QueryInterface(riid, ppv);
  static_cast<IDispatch*>(d)->Release();
  return hr;
}

TEST(DeviceMoniker, BindsToItsBagAndToALoadedObject) {
  RegisterBuiltinClass(CLSID_Device, CreateDevice);
  IPropertyBag* bag = nullptr;
  CreatePropertyBag(&bag);
  WriteText(bag, u"FriendlyName", "Fake Codec");
  IMoniker* moniker = nullptr;
  ASSERT_EQ(CreateDeviceMoniker(CLSID_Device, bag, u"@device:fake", &moniker), S_OK);
  bag->Release();

  IPropertyBag* storage = nullptr;
  ASSERT_EQ(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, reinterpret_cast<void**>(&storage)), S_OK);
  Var name;
  ASSERT_EQ(storage->Read(u"FriendlyName", &name, nullptr), S_OK);
  EXPECT_EQ(Narrow(name.bstrVal), "Fake Codec");
  storage->Release();

  IDispatch* object = nullptr;
  ASSERT_EQ(moniker->BindToObject(nullptr, nullptr, IID_IDispatch, reinterpret_cast<void**>(&object)), S_OK);
  EXPECT_EQ(Device::loadedName, "Fake Codec");
  object->Release();
  IStream* wrong = nullptr;
  EXPECT_EQ(moniker->BindToObject(nullptr, nullptr, IID_IStream, reinterpret_cast<void**>(&wrong)), E_NOINTERFACE);

  LPOLESTR display = nullptr;
  ASSERT_EQ(moniker->GetDisplayName(nullptr, nullptr, &display), S_OK);
  EXPECT_EQ(std::u16string(display), u"@device:fake");
  CoTaskMemFree(display);
  EXPECT_EQ(moniker->IsEqual(moniker), S_OK);

  IEnumMoniker* list = nullptr;
  IMoniker* items[] = {moniker, moniker};
  ASSERT_EQ(CreateEnumMoniker(items, 2, &list), S_OK);
  moniker->Release();  // the enumerator keeps its own references
  IMoniker* got[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(list->Next(3, got, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  got[0]->Release();
  got[1]->Release();
  ASSERT_EQ(list->Reset(), S_OK);
  EXPECT_EQ(list->Skip(5), S_FALSE);
  EXPECT_EQ(list->Next(1, got, nullptr), S_FALSE);
  list->Release();
}

TEST(EnumVariant, NextSkipResetAndClone) {
  VARIANT items[3];
  for (int i = 0; i < 3; ++i) {
    VariantInit(&items[i]);
    items[i].vt = VT_I4;
    items[i].lVal = 10 + i;
  }
  IEnumVARIANT* e = nullptr;
  ASSERT_EQ(CreateEnumVARIANT(items, 3, &e), S_OK);
  VARIANT out[2];
  EXPECT_EQ(e->Next(2, out, nullptr), E_INVALIDARG);
  ULONG fetched = 0;
  ASSERT_EQ(e->Next(2, out, &fetched), S_OK);
  EXPECT_EQ(fetched, 2u);
  EXPECT_EQ(out[1].lVal, 11);
  IEnumVARIANT* clone = nullptr;
  ASSERT_EQ(e->Clone(&clone), S_OK);
  e->Release();  // the clone keeps the items alive
  EXPECT_EQ(clone->Next(2, out, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 1u);
  EXPECT_EQ(out[0].lVal, 12);
  EXPECT_EQ(clone->Reset(), S_OK);
  EXPECT_EQ(clone->Skip(2), S_OK);
  EXPECT_EQ(clone->Skip(2), S_FALSE);
  clone->Release();
}

}  // namespace
