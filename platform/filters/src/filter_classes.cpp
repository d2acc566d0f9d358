// Makes the outside filters creatable by class id.
#include <mutex>

#include "filters/outside_filters.h"
#include "mp3_encoder_filter.h"
#include "ole/objbase.h"

namespace outside {
namespace {

// Calls create(outer, &hr) and hands out riid of the new object, as a class factory does.
template <CUnknown* (*create)(LPUNKNOWN, HRESULT*)>
HRESULT CreateObject(IUnknown* outer, REFIID riid, void** ppv) {
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

}  // namespace
}  // namespace outside

void RegisterOutsideFilterClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterBuiltinClass(CLSID_Mp3EncoderFilter, &outside::CreateObject<&outside::Mp3EncoderFilter::Create>);
  });
}
