#include "device_moniker.h"

#include <cstring>

#include "ole/objbase.h"

namespace ole {

DeviceMoniker::DeviceMoniker(REFCLSID clsid, IPropertyBag* bag, std::u16string displayName)
    : clsid_(clsid), bag_(bag), displayName_(std::move(displayName)) {}

STDMETHODIMP DeviceMoniker::BindToObject(IBindCtx*, IMoniker*, REFIID riidResult, void** ppvResult) {
  if (!ppvResult) return E_POINTER;
  *ppvResult = nullptr;
  ComPtr<IUnknown> object;
  HRESULT hr = CoCreateInstance(clsid_, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.putVoid());
  if (FAILED(hr)) return hr;
  if (auto persist = object.As<IPersistPropertyBag>(IID_IPersistPropertyBag))
    hr = persist->Load(bag_.get(), nullptr);
  if (SUCCEEDED(hr)) hr = object->QueryInterface(riidResult, ppvResult);
  return hr;
}

STDMETHODIMP DeviceMoniker::BindToStorage(IBindCtx*, IMoniker*, REFIID riid, void** ppvObj) {
  if (!ppvObj) return E_POINTER;
  return bag_->QueryInterface(riid, ppvObj);
}

STDMETHODIMP DeviceMoniker::GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR* ppszDisplayName) {
  if (!ppszDisplayName) return E_POINTER;
  const size_t bytes = (displayName_.size() + 1) * sizeof(OLECHAR);
  *ppszDisplayName = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
  if (!*ppszDisplayName) return E_OUTOFMEMORY;
  std::memcpy(*ppszDisplayName, displayName_.c_str(), bytes);
  return S_OK;
}

STDMETHODIMP DeviceMoniker::IsEqual(IMoniker* pmkOtherMoniker) {
  return pmkOtherMoniker == static_cast<IMoniker*>(this) ? S_OK : S_FALSE;
}

STDMETHODIMP DeviceMoniker::Hash(DWORD* pdwHash) {
  if (!pdwHash) return E_POINTER;
  DWORD h = 2166136261u;  // FNV-1a over the display name
  for (char16_t c : displayName_) h = (h ^ c) * 16777619u;
  *pdwHash = h;
  return S_OK;
}

// A device moniker is a single, simple moniker: nothing to enumerate, it is not running as an
// object table entry, and it is not stored or composed.
STDMETHODIMP DeviceMoniker::Enum(BOOL, IEnumMoniker** ppenumMoniker) {
  if (!ppenumMoniker) return E_POINTER;
  *ppenumMoniker = nullptr;
  return S_OK;
}

STDMETHODIMP DeviceMoniker::IsRunning(IBindCtx*, IMoniker*, IMoniker*) { return S_FALSE; }

STDMETHODIMP DeviceMoniker::IsSystemMoniker(DWORD* pdwMksys) {
  if (!pdwMksys) return E_POINTER;
  *pdwMksys = MKSYS_NONE;
  return S_FALSE;
}

STDMETHODIMP DeviceMoniker::IsDirty() { return S_FALSE; }

STDMETHODIMP DeviceMoniker::GetClassID(CLSID*) { return E_NOTIMPL; }
STDMETHODIMP DeviceMoniker::Load(IStream*) { return E_NOTIMPL; }
STDMETHODIMP DeviceMoniker::Save(IStream*, BOOL) { return E_NOTIMPL; }
STDMETHODIMP DeviceMoniker::GetSizeMax(ULARGE_INTEGER*) { return E_NOTIMPL; }
STDMETHODIMP DeviceMoniker::Reduce(IBindCtx*, DWORD, IMoniker**, IMoniker**) { return E_NOTIMPL; }
STDMETHODIMP DeviceMoniker::ComposeWith(IMoniker*, BOOL, IMoniker**) { return E_NOTIMPL; }
STDMETHODIMP DeviceMoniker::GetTimeOfLastChange(IBindCtx*, IMoniker*, FILETIME*) { return E_NOTIMPL; }
STDMETHODIMP DeviceMoniker::Inverse(IMoniker**) { return E_NOTIMPL; }
STDMETHODIMP DeviceMoniker::CommonPrefixWith(IMoniker*, IMoniker**) { return E_NOTIMPL; }
STDMETHODIMP DeviceMoniker::RelativePathTo(IMoniker*, IMoniker**) { return E_NOTIMPL; }
STDMETHODIMP DeviceMoniker::ParseDisplayName(IBindCtx*, IMoniker*, LPOLESTR, ULONG*, IMoniker**) {
  return E_NOTIMPL;
}

}  // namespace ole

HRESULT CreateDeviceMoniker(REFCLSID clsid, IPropertyBag* bag, LPCOLESTR displayName,
                            IMoniker** ppMoniker) {
  if (!ppMoniker) return E_POINTER;
  *ppMoniker = nullptr;
  if (!bag) return E_INVALIDARG;
  std::u16string name;
  for (size_t i = 0; displayName && displayName[i]; ++i) name += displayName[i];
  *ppMoniker = new ole::DeviceMoniker(clsid, bag, std::move(name));
  return S_OK;
}
