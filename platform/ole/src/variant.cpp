// VARIANT lifetime: initialise, clear, copy.
#include "variant_types.h"

#include "ole/oleauto.h"

namespace ole {

bool IsScalarType(VARTYPE vt) {
  switch (vt) {
    case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY: case VT_DATE: case VT_BSTR:
    case VT_DISPATCH: case VT_ERROR: case VT_BOOL: case VT_UNKNOWN: case VT_I1: case VT_UI1:
    case VT_UI2: case VT_UI4: case VT_I8: case VT_UI8: case VT_INT: case VT_UINT:
      return true;
    default:
      return false;
  }
}

bool IsValidVariantType(VARTYPE vt) {
  const VARTYPE base = vt & VT_TYPEMASK;
  const VARTYPE extra = vt & ~VT_TYPEMASK;
  if (extra == 0) return base == VT_EMPTY || base == VT_NULL || IsScalarType(base);
  if (extra == VT_ARRAY) return IsScalarType(base) || base == VT_VARIANT;
  if (extra == VT_BYREF) return IsScalarType(base) || base == VT_VARIANT;
  if (extra == (VT_BYREF | VT_ARRAY)) return IsScalarType(base) || base == VT_VARIANT;
  return false;
}

}  // namespace ole

using ole::IsValidVariantType;

void VariantInit(VARIANTARG* pvarg) {
  if (!pvarg) return;
  pvarg->vt = VT_EMPTY;
  pvarg->wReserved1 = pvarg->wReserved2 = pvarg->wReserved3 = 0;
  pvarg->llVal = 0;
}

HRESULT VariantClear(VARIANTARG* pvarg) {
  if (!pvarg) return E_INVALIDARG;
  if (!IsValidVariantType(pvarg->vt)) return DISP_E_BADVARTYPE;
  if (pvarg->vt & VT_ARRAY && !(pvarg->vt & VT_BYREF)) {
    if (pvarg->parray) {
      HRESULT hr = SafeArrayDestroy(pvarg->parray);
      if (FAILED(hr)) return hr;
    }
  } else {
    switch (pvarg->vt) {
      case VT_BSTR:
        SysFreeString(pvarg->bstrVal);
        break;
      case VT_DISPATCH:
      case VT_UNKNOWN:
        if (pvarg->punkVal) pvarg->punkVal->Release();
        break;
      default:
        break;
    }
  }
  VariantInit(pvarg);
  return S_OK;
}

namespace {

// Copies src's value into dst (already cleared), duplicating what it owns.
HRESULT CopyValue(VARIANT* dst, const VARIANT* src) {
  VARIANT v = *src;
  if (src->vt & VT_ARRAY && !(src->vt & VT_BYREF)) {
    if (src->parray) {
      HRESULT hr = SafeArrayCopy(src->parray, &v.parray);
      if (FAILED(hr)) return hr;
    }
  } else if (src->vt == VT_BSTR) {
    if (src->bstrVal) {
      v.bstrVal = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(src->bstrVal),
                                        SysStringByteLen(src->bstrVal));
      if (!v.bstrVal) return E_OUTOFMEMORY;
    }
  } else if (src->vt == VT_DISPATCH || src->vt == VT_UNKNOWN) {
    if (src->punkVal) src->punkVal->AddRef();
  }
  *dst = v;
  return S_OK;
}

// The variant a VT_BYREF variant refers to, as a value (not owned: nothing duplicated).
HRESULT Dereference(const VARIANT* src, VARIANT* out) {
  VariantInit(out);
  const VARTYPE base = src->vt & ~VT_BYREF;
  if (!src->byref) return E_INVALIDARG;
  if (base == VT_VARIANT) {
    const VARIANT* inner = src->pvarVal;
    if (inner->vt & VT_BYREF) return E_INVALIDARG;
    *out = *inner;
    return S_OK;
  }
  out->vt = base;
  if (base & VT_ARRAY) {
    out->parray = *src->pparray;
    return S_OK;
  }
  switch (base) {
    case VT_I1: out->cVal = *src->pcVal; break;
    case VT_UI1: out->bVal = *src->pbVal; break;
    case VT_I2: out->iVal = *src->piVal; break;
    case VT_UI2: out->uiVal = *src->puiVal; break;
    case VT_BOOL: out->boolVal = *src->pboolVal; break;
    case VT_I4: out->lVal = *src->plVal; break;
    case VT_UI4: out->ulVal = *src->pulVal; break;
    case VT_I8: out->llVal = *src->pllVal; break;
    case VT_UI8: out->ullVal = *src->pullVal; break;
    case VT_INT: out->intVal = *src->pintVal; break;
    case VT_UINT: out->uintVal = *src->puintVal; break;
    case VT_ERROR: out->scode = *src->pscode; break;
    case VT_R4: out->fltVal = *src->pfltVal; break;
    case VT_R8: out->dblVal = *src->pdblVal; break;
    case VT_DATE: out->date = *src->pdate; break;
    case VT_CY: out->cyVal = *src->pcyVal; break;
    case VT_BSTR: out->bstrVal = *src->pbstrVal; break;
    case VT_DISPATCH: out->pdispVal = *src->ppdispVal; break;
    case VT_UNKNOWN: out->punkVal = *src->ppunkVal; break;
    default: return DISP_E_BADVARTYPE;
  }
  return S_OK;
}

}  // namespace

namespace ole {

HRESULT ReadThrough(const VARIANT* src, VARIANT* out) {
  if (!(src->vt & VT_BYREF)) {
    *out = *src;
    return S_OK;
  }
  return Dereference(src, out);
}

}  // namespace ole

HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc) {
  if (!pvargDest || !pvargSrc) return E_INVALIDARG;
  if (pvargDest == pvargSrc) return S_OK;
  if (!IsValidVariantType(pvargSrc->vt)) return DISP_E_BADVARTYPE;
  HRESULT hr = VariantClear(pvargDest);
  if (FAILED(hr)) return hr;
  return CopyValue(pvargDest, pvargSrc);
}

HRESULT VariantCopyInd(VARIANT* pvarDest, const VARIANTARG* pvargSrc) {
  if (!pvarDest || !pvargSrc) return E_INVALIDARG;
  if (!IsValidVariantType(pvargSrc->vt)) return DISP_E_BADVARTYPE;
  VARIANT value;
  HRESULT hr = ole::ReadThrough(pvargSrc, &value);
  if (FAILED(hr)) return hr;
  VARIANT copy;
  VariantInit(&copy);
  hr = CopyValue(&copy, &value);
  if (FAILED(hr)) return hr;
  // The source may be the destination (or refer into it): copy first, clear after.
  hr = VariantClear(pvarDest);
  if (FAILED(hr)) {
    VariantClear(&copy);
    return hr;
  }
  *pvarDest = copy;
  return S_OK;
}
