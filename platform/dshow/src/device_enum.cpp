#include "device_enum.h"

#include <vector>

#include "catalog.h"
#include "win32/utf.h"

namespace dshow {
namespace {

HRESULT WriteString(IPropertyBag* bag, LPCOLESTR name, const std::u16string& value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(value.c_str());
  HRESULT hr = v.bstrVal ? bag->Write(name, &v) : E_OUTOFMEMORY;
  VariantClear(&v);
  return hr;
}

// A moniker for a filter registered under the category.
HRESULT RegisteredMoniker(REFCLSID category, const RegisteredFilter& filter, IMoniker** moniker) {
  ComPtr<IPropertyBag> bag;
  HRESULT hr = CreatePropertyBag(bag.put());
  if (FAILED(hr)) return hr;
  std::u16string clsid = win32::Utf8ToUtf16(StringFromGUIDA(filter.clsid));
  hr = WriteString(bag.get(), u"FriendlyName", filter.friendlyName);
  if (SUCCEEDED(hr)) hr = WriteString(bag.get(), u"CLSID", clsid);
  if (SUCCEEDED(hr)) {
    std::u16string display = u"@device:sw:" + win32::Utf8ToUtf16(StringFromGUIDA(category)) + u"\\" + clsid;
    hr = CreateDeviceMoniker(filter.clsid, bag.get(), display.c_str(), moniker);
  }
  return hr;
}

}  // namespace

CUnknown* DeviceEnumerator::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
  return new DeviceEnumerator(outer, phr);
}

STDMETHODIMP DeviceEnumerator::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_ICreateDevEnum) return GetInterface(static_cast<ICreateDevEnum*>(this), ppv);
  return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP DeviceEnumerator::CreateClassEnumerator(REFCLSID clsidDeviceClass, IEnumMoniker** ppEnumMoniker, DWORD) {
  if (!ppEnumMoniker) return E_POINTER;
  *ppEnumMoniker = nullptr;
  std::vector<ComPtr<IMoniker>> monikers;
  if (LPFNENUMDEVICECATEGORY provider = DeviceCategoryProvider(clsidDeviceClass)) {
    ComPtr<IEnumMoniker> provided;
    if (provider(provided.put()) == S_OK && provided) {
      IMoniker* m = nullptr;
      while (provided->Next(1, &m, nullptr) == S_OK) monikers.push_back(ComPtr<IMoniker>::Adopt(m));
    }
  }
  for (const RegisteredFilter& filter : RegisteredFilters(clsidDeviceClass)) {
    ComPtr<IMoniker> m;
    if (SUCCEEDED(RegisteredMoniker(clsidDeviceClass, filter, m.put()))) monikers.push_back(std::move(m));
  }
  if (monikers.empty()) return S_FALSE;
  std::vector<IMoniker*> list;
  for (const ComPtr<IMoniker>& m : monikers) list.push_back(m.get());
  return CreateEnumMoniker(list.data(), static_cast<ULONG>(list.size()), ppEnumMoniker);
}

}  // namespace dshow
