#include "builtin_factory.h"

STDMETHODIMP BuiltinFactory::QueryInterface(REFIID riid, void** ppvObject) {
  if (!ppvObject) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IClassFactory) {
    *ppvObject = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *ppvObject = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) BuiltinFactory::AddRef() { return ++refs_; }

STDMETHODIMP_(ULONG) BuiltinFactory::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP BuiltinFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) {
  if (!ppvObject) return E_POINTER;
  *ppvObject = nullptr;
  return create_(pUnkOuter, riid, ppvObject);
}

// Built-in classes live in the platform's own libraries, which never unload.
STDMETHODIMP BuiltinFactory::LockServer(BOOL) { return S_OK; }
