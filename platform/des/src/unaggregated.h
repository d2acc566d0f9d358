#pragma once
// The creation function, for CreateComInstance, of a class that is never aggregated.
#include "dshow/combase.h"

namespace des {

template <class T>
CUnknown* CreateUnaggregated(LPUNKNOWN outer, HRESULT* phr) {
  if (outer) {
    *phr = CLASS_E_NOAGGREGATION;
    return nullptr;
  }
  return new T();
}

}  // namespace des
