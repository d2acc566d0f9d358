#pragma once
// A moniker naming an object by class id with a property bag describing it: binding to storage
// gives the bag, binding to the object creates it and loads it from the bag when it can.
#include <string>

#include "ole/com_object.h"
#include "ole/comptr.h"
#include "ole/ocidl.h"

namespace ole {

class DeviceMoniker final : public ComObject<DeviceMoniker, IMoniker, IID_IPersist, IID_IPersistStream, IID_IMoniker> {
 public:
  DeviceMoniker(REFCLSID clsid, IPropertyBag* bag, std::u16string displayName);
  DeviceMoniker(const DeviceMoniker&) = delete;
  DeviceMoniker& operator=(const DeviceMoniker&) = delete;

  STDMETHOD(GetClassID)(CLSID* pClassID) override;
  STDMETHOD(IsDirty)() override;
  STDMETHOD(Load)(IStream* pStm) override;
  STDMETHOD(Save)(IStream* pStm, BOOL fClearDirty) override;
  STDMETHOD(GetSizeMax)(ULARGE_INTEGER* pcbSize) override;
  STDMETHOD(BindToObject)(IBindCtx* pbc, IMoniker* pmkToLeft, REFIID riidResult, void** ppvResult) override;
  STDMETHOD(BindToStorage)(IBindCtx* pbc, IMoniker* pmkToLeft, REFIID riid, void** ppvObj) override;
  STDMETHOD(Reduce)(IBindCtx* pbc, DWORD dwReduceHowFar, IMoniker** ppmkToLeft, IMoniker** ppmkReduced) override;
  STDMETHOD(ComposeWith)(IMoniker* pmkRight, BOOL fOnlyIfNotGeneric, IMoniker** ppmkComposite) override;
  STDMETHOD(Enum)(BOOL fForward, IEnumMoniker** ppenumMoniker) override;
  STDMETHOD(IsEqual)(IMoniker* pmkOtherMoniker) override;
  STDMETHOD(Hash)(DWORD* pdwHash) override;
  STDMETHOD(IsRunning)(IBindCtx* pbc, IMoniker* pmkToLeft, IMoniker* pmkNewlyRunning) override;
  STDMETHOD(GetTimeOfLastChange)(IBindCtx* pbc, IMoniker* pmkToLeft, FILETIME* pFileTime) override;
  STDMETHOD(Inverse)(IMoniker** ppmk) override;
  STDMETHOD(CommonPrefixWith)(IMoniker* pmkOther, IMoniker** ppmkPrefix) override;
  STDMETHOD(RelativePathTo)(IMoniker* pmkOther, IMoniker** ppmkRelPath) override;
  STDMETHOD(GetDisplayName)(IBindCtx* pbc, IMoniker* pmkToLeft, LPOLESTR* ppszDisplayName) override;
  STDMETHOD(ParseDisplayName)(IBindCtx* pbc, IMoniker* pmkToLeft, LPOLESTR pszDisplayName,
                              ULONG* pchEaten, IMoniker** ppmkOut) override;
  STDMETHOD(IsSystemMoniker)(DWORD* pdwMksys) override;

 private:
  CLSID clsid_;
  ComPtr<IPropertyBag> bag_;
  std::u16string displayName_;
};

}  // namespace ole
