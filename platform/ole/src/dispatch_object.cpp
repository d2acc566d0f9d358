#include "ole/dispatch.h"

DispatchObject::DispatchObject(const IID& iid, std::string name) : table_(iid, std::move(name)) {}

STDMETHODIMP DispatchObject::QueryInterface(REFIID riid, void** ppvObject) {
  if (!ppvObject) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDispatch || (riid == table_.Iid() && riid != GUID_NULL)) {
    *ppvObject = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *ppvObject = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) DispatchObject::AddRef() { return ++refs_; }

STDMETHODIMP_(ULONG) DispatchObject::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP DispatchObject::GetTypeInfoCount(UINT* pctinfo) {
  if (!pctinfo) return E_INVALIDARG;
  *pctinfo = 1;
  return S_OK;
}

STDMETHODIMP DispatchObject::GetTypeInfo(UINT iTInfo, LCID, ITypeInfo** ppTInfo) {
  return table_.GetTypeInfo(iTInfo, ppTInfo);
}

STDMETHODIMP DispatchObject::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID,
                                           DISPID* rgDispId) {
  return table_.GetIDsOfNames(riid, rgszNames, cNames, rgDispId);
}

STDMETHODIMP DispatchObject::Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD wFlags,
                                    DISPPARAMS* pDispParams, VARIANT* pVarResult,
                                    EXCEPINFO* pExcepInfo, UINT* puArgErr) {
  return table_.Invoke(dispIdMember, riid, wFlags, pDispParams, pVarResult, pExcepInfo, puArgErr);
}
