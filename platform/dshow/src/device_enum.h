#pragma once
// The system device enumerator: the monikers of a device category.
#include "dshow/amfilter.h"

namespace dshow {

class DeviceEnumerator : public CUnknown, public ICreateDevEnum {
 public:
  DeviceEnumerator(LPUNKNOWN pUnk, HRESULT* phr) : CUnknown("system device enumerator", pUnk, phr) {}
  static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* phr);

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
  // The category provider's monikers, then those of the filters registered under the category.
  STDMETHODIMP CreateClassEnumerator(REFCLSID clsidDeviceClass, IEnumMoniker** ppEnumMoniker, DWORD dwFlags) override;
};

}  // namespace dshow
