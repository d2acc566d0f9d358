#include "property_bag.h"

namespace ole {

namespace {

char16_t Fold(char16_t c) { return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c; }

bool SameName(const std::u16string& a, LPCOLESTR b) {
  size_t i = 0;
  for (; i < a.size(); ++i)
    if (!b[i] || Fold(a[i]) != Fold(b[i])) return false;
  return b[i] == 0;
}

}  // namespace

PropertyBag::~PropertyBag() {
  for (Entry& e : entries_) VariantClear(&e.value);
}

PropertyBag::Entry* PropertyBag::Find(LPCOLESTR name) {
  for (Entry& e : entries_)
    if (SameName(e.name, name)) return &e;
  return nullptr;
}

STDMETHODIMP PropertyBag::Read(LPCOLESTR pszPropName, VARIANT* pVar, IErrorLog* pErrorLog) {
  if (!pszPropName || !pVar) return E_POINTER;
  std::lock_guard<std::mutex> lock(mutex_);
  Entry* e = Find(pszPropName);
  if (!e) return E_INVALIDARG;
  const VARTYPE wanted = pVar->vt;
  HRESULT hr = wanted == VT_EMPTY ? VariantCopy(pVar, &e->value)
                                  : VariantChangeType(pVar, &e->value, 0, wanted);
  if (FAILED(hr) && pErrorLog) {
    EXCEPINFO info = {};
    info.scode = hr;
    pErrorLog->AddError(pszPropName, &info);
  }
  return hr;
}

STDMETHODIMP PropertyBag::Write(LPCOLESTR pszPropName, VARIANT* pVar) {
  if (!pszPropName || !pVar) return E_POINTER;
  VARIANT copy;
  VariantInit(&copy);
  HRESULT hr = VariantCopyInd(&copy, pVar);
  if (FAILED(hr)) return hr;
  std::lock_guard<std::mutex> lock(mutex_);
  if (Entry* e = Find(pszPropName)) {
    VariantClear(&e->value);
    e->value = copy;
  } else {
    std::u16string name;
    for (size_t i = 0; pszPropName[i]; ++i) name += pszPropName[i];
    entries_.push_back({std::move(name), copy});
  }
  return S_OK;
}

}  // namespace ole

HRESULT CreatePropertyBag(IPropertyBag** ppBag) {
  if (!ppBag) return E_POINTER;
  *ppBag = new ole::PropertyBag;
  return S_OK;
}
