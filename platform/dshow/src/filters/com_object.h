#pragma once
// Creation of the built-in filters through ole's class table.
#include "dshow/dshow.h"

namespace ffw {

// Calls create(outer, &hr) and hands out riid of the new object, as a class factory does.
template <CUnknown* (*create)(LPUNKNOWN, HRESULT*)>
HRESULT CreateComObject(IUnknown* outer, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (outer && riid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
  HRESULT hr = S_OK;
  CUnknown* object = create(outer, &hr);
  if (!object) return FAILED(hr) ? hr : E_OUTOFMEMORY;
  object->NonDelegatingAddRef();
  if (SUCCEEDED(hr)) hr = object->NonDelegatingQueryInterface(riid, ppv);
  object->NonDelegatingRelease();
  return hr;
}

}  // namespace ffw
