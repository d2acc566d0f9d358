// SAFEARRAY: a descriptor preceded by a hidden header holding the element type, followed by its
// bounds; the elements live in a separate zeroed block.
#include <cstdlib>
#include <cstring>

#include "ole/oleauto.h"

namespace {

constexpr size_t kHeader = 16;  // keeps the descriptor aligned

ULONG ElementSize(VARTYPE vt) {
  switch (vt) {
    case VT_UI1: case VT_I1: return 1;
    case VT_I2: case VT_UI2: case VT_BOOL: return 2;
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_R4: case VT_ERROR: return 4;
    case VT_R8: case VT_CY: case VT_DATE: case VT_I8: case VT_UI8: return 8;
    case VT_BSTR: case VT_UNKNOWN: case VT_DISPATCH: return sizeof(void*);
    case VT_VARIANT: return sizeof(VARIANT);
    default: return 0;
  }
}

USHORT FeaturesOf(VARTYPE vt) {
  switch (vt) {
    case VT_BSTR: return FADF_HAVEVARTYPE | FADF_BSTR;
    case VT_UNKNOWN: return FADF_HAVEVARTYPE | FADF_UNKNOWN;
    case VT_DISPATCH: return FADF_HAVEVARTYPE | FADF_DISPATCH;
    case VT_VARIANT: return FADF_HAVEVARTYPE | FADF_VARIANT;
    default: return FADF_HAVEVARTYPE;
  }
}

VARTYPE TypeOf(const SAFEARRAY* psa) {
  VARTYPE vt;
  std::memcpy(&vt, reinterpret_cast<const char*>(psa) - kHeader, sizeof vt);
  return vt;
}

// Total element count; false when it overflows.
bool CountElements(const SAFEARRAY* psa, size_t* count) {
  size_t n = 1;
  for (USHORT d = 0; d < psa->cDims; ++d) {
    const size_t c = psa->rgsabound[d].cElements;
    if (c != 0 && n > SIZE_MAX / c) return false;
    n *= c;
  }
  *count = n;
  return true;
}

// Releases what one element owns.
void ClearElement(VARTYPE vt, void* element) {
  switch (vt) {
    case VT_BSTR: {
      BSTR* b = static_cast<BSTR*>(element);
      SysFreeString(*b);
      *b = nullptr;
      break;
    }
    case VT_UNKNOWN:
    case VT_DISPATCH: {
      IUnknown** u = static_cast<IUnknown**>(element);
      if (*u) (*u)->Release();
      *u = nullptr;
      break;
    }
    case VT_VARIANT:
      VariantClear(static_cast<VARIANT*>(element));
      break;
    default:
      break;
  }
}

// Copies one element from `from` (stored form) into the zeroed or cleared `to`.
HRESULT CopyElement(VARTYPE vt, const void* from, void* to, ULONG size) {
  switch (vt) {
    case VT_BSTR: {
      BSTR b = *static_cast<const BSTR*>(from);
      BSTR copy = nullptr;
      if (b) {
        copy = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(b), SysStringByteLen(b));
        if (!copy) return E_OUTOFMEMORY;
      }
      *static_cast<BSTR*>(to) = copy;
      return S_OK;
    }
    case VT_UNKNOWN:
    case VT_DISPATCH: {
      IUnknown* u = *static_cast<IUnknown* const*>(from);
      if (u) u->AddRef();
      *static_cast<IUnknown**>(to) = u;
      return S_OK;
    }
    case VT_VARIANT:
      VariantInit(static_cast<VARIANT*>(to));
      return VariantCopy(static_cast<VARIANT*>(to), static_cast<const VARIANT*>(from));
    default:
      std::memcpy(to, from, size);
      return S_OK;
  }
}

// The address of the element at rgIndices (rightmost dimension first); NULL when out of bounds.
char* ElementAt(SAFEARRAY* psa, const LONG* rgIndices) {
  size_t offset = 0;
  size_t stride = 1;
  for (USHORT d = 0; d < psa->cDims; ++d) {
    const SAFEARRAYBOUND& b = psa->rgsabound[d];
    const int64_t rel = static_cast<int64_t>(rgIndices[d]) - b.lLbound;
    if (rel < 0 || rel >= static_cast<int64_t>(b.cElements)) return nullptr;
    offset += static_cast<size_t>(rel) * stride;
    stride *= b.cElements;
  }
  return static_cast<char*>(psa->pvData) + offset * psa->cbElements;
}

SAFEARRAY* Allocate(VARTYPE vt, UINT cDims) {
  const size_t bytes = kHeader + sizeof(SAFEARRAY) + (cDims - 1) * sizeof(SAFEARRAYBOUND);
  char* block = static_cast<char*>(std::calloc(1, bytes));
  if (!block) return nullptr;
  std::memcpy(block, &vt, sizeof vt);
  SAFEARRAY* psa = reinterpret_cast<SAFEARRAY*>(block + kHeader);
  psa->cDims = static_cast<USHORT>(cDims);
  psa->fFeatures = FeaturesOf(vt);
  psa->cbElements = ElementSize(vt);
  return psa;
}

void FreeDescriptor(SAFEARRAY* psa) { std::free(reinterpret_cast<char*>(psa) - kHeader); }

}  // namespace

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* rgsabound) {
  if (cDims == 0 || cDims > 0xFFFF || !rgsabound || ElementSize(vt) == 0) return nullptr;
  SAFEARRAY* psa = Allocate(vt, cDims);
  if (!psa) return nullptr;
  // Stored rightmost dimension first.
  for (UINT d = 0; d < cDims; ++d) psa->rgsabound[cDims - 1 - d] = rgsabound[d];
  size_t count;
  if (!CountElements(psa, &count) || count > SIZE_MAX / psa->cbElements) {
    FreeDescriptor(psa);
    return nullptr;
  }
  psa->pvData = std::calloc(count ? count : 1, psa->cbElements);
  if (!psa->pvData) {
    FreeDescriptor(psa);
    return nullptr;
  }
  return psa;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements) {
  SAFEARRAYBOUND bound = {cElements, lLbound};
  return SafeArrayCreate(vt, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa) {
  if (!psa) return S_OK;
  if (psa->cLocks > 0) return DISP_E_ARRAYISLOCKED;
  const VARTYPE vt = TypeOf(psa);
  size_t count = 0;
  CountElements(psa, &count);
  for (size_t i = 0; i < count; ++i) ClearElement(vt, static_cast<char*>(psa->pvData) + i * psa->cbElements);
  std::free(psa->pvData);
  FreeDescriptor(psa);
  return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut) {
  if (!ppsaOut) return E_INVALIDARG;
  *ppsaOut = nullptr;
  if (!psa) return S_OK;
  const VARTYPE vt = TypeOf(psa);
  SAFEARRAY* copy = Allocate(vt, psa->cDims);
  if (!copy) return E_OUTOFMEMORY;
  for (USHORT d = 0; d < psa->cDims; ++d) copy->rgsabound[d] = psa->rgsabound[d];
  size_t count = 0;
  CountElements(psa, &count);
  copy->pvData = std::calloc(count ? count : 1, psa->cbElements);
  if (!copy->pvData) {
    FreeDescriptor(copy);
    return E_OUTOFMEMORY;
  }
  for (size_t i = 0; i < count; ++i) {
    HRESULT hr = CopyElement(vt, static_cast<char*>(psa->pvData) + i * psa->cbElements,
                             static_cast<char*>(copy->pvData) + i * psa->cbElements, psa->cbElements);
    if (FAILED(hr)) {
      SafeArrayDestroy(copy);
      return hr;
    }
  }
  *ppsaOut = copy;
  return S_OK;
}

HRESULT SafeArrayGetElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
  if (!psa || !rgIndices || !pv) return E_INVALIDARG;
  char* element = ElementAt(psa, rgIndices);
  if (!element) return DISP_E_BADINDEX;
  return CopyElement(TypeOf(psa), element, pv, psa->cbElements);
}

HRESULT SafeArrayPutElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
  if (!psa || !rgIndices) return E_INVALIDARG;
  char* element = ElementAt(psa, rgIndices);
  if (!element) return DISP_E_BADINDEX;
  const VARTYPE vt = TypeOf(psa);
  // Strings and interfaces are passed as themselves, everything else by address.
  const bool byValue = vt == VT_BSTR || vt == VT_UNKNOWN || vt == VT_DISPATCH;
  if (!byValue && !pv) return E_INVALIDARG;
  const void* from = byValue ? static_cast<const void*>(&pv) : pv;
  char fresh[sizeof(VARIANT)] = {};
  HRESULT hr = CopyElement(vt, from, fresh, psa->cbElements);
  if (FAILED(hr)) return hr;
  ClearElement(vt, element);
  std::memcpy(element, fresh, psa->cbElements);
  return S_OK;
}

HRESULT SafeArrayLock(SAFEARRAY* psa) {
  if (!psa) return E_INVALIDARG;
  ++psa->cLocks;
  return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* psa) {
  if (!psa) return E_INVALIDARG;
  if (psa->cLocks == 0) return E_UNEXPECTED;
  --psa->cLocks;
  return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData) {
  if (!psa || !ppvData) return E_INVALIDARG;
  SafeArrayLock(psa);
  *ppvData = psa->pvData;
  return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* psa) { return SafeArrayUnlock(psa); }

HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound) {
  if (!psa || !plLbound) return E_INVALIDARG;
  if (nDim < 1 || nDim > psa->cDims) return DISP_E_BADINDEX;
  *plLbound = psa->rgsabound[psa->cDims - nDim].lLbound;
  return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound) {
  if (!psa || !plUbound) return E_INVALIDARG;
  if (nDim < 1 || nDim > psa->cDims) return DISP_E_BADINDEX;
  const SAFEARRAYBOUND& b = psa->rgsabound[psa->cDims - nDim];
  *plUbound = static_cast<LONG>(static_cast<int64_t>(b.lLbound) + b.cElements - 1);
  return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* psa) { return psa ? psa->cDims : 0; }

UINT SafeArrayGetElemsize(SAFEARRAY* psa) { return psa ? psa->cbElements : 0; }

HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* pvt) {
  if (!psa || !pvt) return E_INVALIDARG;
  *pvt = TypeOf(psa);
  return S_OK;
}
