#include "dshow/combase.h"

namespace {
std::atomic<LONG>& ObjectCount() {
  static std::atomic<LONG> count{0};
  return count;
}
}  // namespace

CBaseObject::CBaseObject(const TCHAR* pName) : m_pName(pName) { ++ObjectCount(); }

CBaseObject::~CBaseObject() { --ObjectCount(); }

LONG CBaseObject::ObjectsActive() { return ObjectCount().load(); }

CUnknown::CUnknown(const TCHAR* pName, LPUNKNOWN pUnk, HRESULT*)
    : CBaseObject(pName), m_pUnknown(pUnk ? pUnk : &m_inner) {
  m_inner.self = this;
}

STDMETHODIMP CUnknown::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IUnknown) return GetInterface(&m_inner, ppv);
  *ppv = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CUnknown::NonDelegatingAddRef() { return static_cast<ULONG>(++m_cRef); }

STDMETHODIMP_(ULONG) CUnknown::NonDelegatingRelease() {
  LONG ref = --m_cRef;
  if (ref == 0) {
    // Guard against re-entry while the destructor releases what it holds.
    m_cRef = 1;
    delete this;
    return 0;
  }
  return static_cast<ULONG>(ref);
}

HRESULT GetInterface(LPUNKNOWN pUnk, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = pUnk;
  pUnk->AddRef();
  return S_OK;
}
