#include "builtin_factory.h"

namespace ole {

STDMETHODIMP BuiltinFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) {
  if (!ppvObject) return E_POINTER;
  *ppvObject = nullptr;
  return create_(pUnkOuter, riid, ppvObject);
}

// Built-in classes live in the platform's own libraries, which never unload.
STDMETHODIMP BuiltinFactory::LockServer(BOOL) { return S_OK; }

}  // namespace ole
