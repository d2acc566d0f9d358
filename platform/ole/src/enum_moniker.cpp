// IEnumMoniker over a list of monikers.
#include "ole/com_enum.h"
#include "ole/objidl.h"

HRESULT CreateEnumMoniker(IMoniker* const* items, ULONG count, IEnumMoniker** ppEnum) {
  if (!ppEnum || (!items && count)) return E_INVALIDARG;
  std::vector<IMoniker*> list(items, items + count);
  for (IMoniker* m : list)
    if (m) m->AddRef();
  *ppEnum = ComEnum<IEnumMoniker, IMoniker*, InterfaceItemTraits<IMoniker*>>::Create(IID_IEnumMoniker,
                                                                                    std::move(list));
  return S_OK;
}
