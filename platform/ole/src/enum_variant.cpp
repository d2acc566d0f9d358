// IEnumVARIANT over copies of a list of variants.
#include "ole/com_enum.h"
#include "ole/oleauto.h"

namespace {

struct VariantTraits {
  static HRESULT Copy(VARIANT* to, const VARIANT& from) {
    VariantInit(to);
    return VariantCopy(to, &from);
  }
  static void Release(VARIANT& item) { VariantClear(&item); }
};

}  // namespace

HRESULT CreateEnumVARIANT(const VARIANT* items, ULONG count, IEnumVARIANT** ppEnum) {
  if (!ppEnum || (!items && count)) return E_INVALIDARG;
  *ppEnum = nullptr;
  std::vector<VARIANT> copies(count);
  for (ULONG i = 0; i < count; ++i) {
    VariantInit(&copies[i]);
    HRESULT hr = VariantCopy(&copies[i], &items[i]);
    if (FAILED(hr)) {
      for (ULONG k = 0; k < i; ++k) VariantClear(&copies[k]);
      return hr;
    }
  }
  *ppEnum = ComEnum<IEnumVARIANT, VARIANT, VariantTraits>::Create(IID_IEnumVARIANT, std::move(copies));
  return S_OK;
}
