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
  IPropertyBag* bag = nullptr;
  HRESULT hr = CreatePropertyBag(&bag);
  if (FAILED(hr)) return hr;
  std::u16string clsid = win32::Utf8ToUtf16(StringFromGUIDA(filter.clsid));
  hr = WriteString(bag, u"FriendlyName", filter.friendlyName);
  if (SUCCEEDED(hr)) hr = WriteString(bag, u"CLSID", clsid);
  if (SUCCEEDED(hr)) {
    std::u16string display = u"@device:sw:" + win32::Utf8ToUtf16(StringFromGUIDA(category)) + u"\\" + clsid;
    hr = CreateDeviceMoniker(filter.clsid, bag, display.c_str(), moniker);
  }
  bag->Release();
  return hr;
}

}  // namespace

HRESULT DeviceEnumerator::Create(IUnknown* pUnkOuter, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (pUnkOuter && riid != IID_IUnknown) return E_NOINTERFACE;
  HRESULT hr = S_OK;
  DeviceEnumerator* e = new DeviceEnumerator(pUnkOuter, &hr);
  e->NonDelegatingAddRef();
  hr = e->NonDelegatingQueryInterface(riid, ppv);
  e->NonDelegatingRelease();
  return hr;
}

STDMETHODIMP DeviceEnumerator::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_ICreateDevEnum) return GetInterface(static_cast<ICreateDevEnum*>(this), ppv);
  return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP DeviceEnumerator::CreateClassEnumerator(REFCLSID clsidDeviceClass, IEnumMoniker** ppEnumMoniker, DWORD) {
  if (!ppEnumMoniker) return E_POINTER;
  *ppEnumMoniker = nullptr;
  std::vector<IMoniker*> monikers;
  if (LPFNENUMDEVICECATEGORY provider = DeviceCategoryProvider(clsidDeviceClass)) {
    IEnumMoniker* provided = nullptr;
    if (provider(&provided) == S_OK && provided) {
      IMoniker* m = nullptr;
      while (provided->Next(1, &m, nullptr) == S_OK) monikers.push_back(m);
      provided->Release();
    }
  }
  for (const RegisteredFilter& filter : RegisteredFilters(clsidDeviceClass)) {
    IMoniker* m = nullptr;
    if (SUCCEEDED(RegisteredMoniker(clsidDeviceClass, filter, &m))) monikers.push_back(m);
  }
  if (monikers.empty()) return S_FALSE;
  HRESULT hr = CreateEnumMoniker(monikers.data(), static_cast<ULONG>(monikers.size()), ppEnumMoniker);
  for (IMoniker* m : monikers) m->Release();
  return hr;
}

}  // namespace dshow
