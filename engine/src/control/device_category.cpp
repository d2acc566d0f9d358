#include "control/device_category.h"

#include "mfc/afxdisp_ctl.h"

HRESULT OpenDeviceCategory(REFCLSID category, ComPtr<IEnumMoniker>* monikers) {
  monikers->Reset();
  ComPtr<ICreateDevEnum> devices;
  const HRESULT hr =
      CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum, devices.putVoid());
  if (FAILED(hr)) return hr;
  return devices->CreateClassEnumerator(category, monikers->put(), 0);
}

HRESULT ReadFriendlyName(IMoniker* moniker, CString& name) {
  name.Empty();
  ComPtr<IPropertyBag> bag;
  const HRESULT hr = moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.putVoid());
  if (FAILED(hr)) return hr;
  VARIANT value;
  VariantInit(&value);
  const bool read = SUCCEEDED(bag->Read(u"FriendlyName", &value, nullptr));
  if (read) mfc::disp::ToText(value, name);
  const bool text = read && value.vt == VT_BSTR;
  VariantClear(&value);
  return text ? S_OK : S_FALSE;
}
