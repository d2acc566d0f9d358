#include <cstring>
#include <memory>

#include "member_names.h"
#include "ole/dispatch.h"
#include "table_type_info.h"

namespace {

// Brings one argument to its declared type.
HRESULT Coerce(const VARIANT& src, VARTYPE type, VARIANT* out) {
  if (type & VT_BYREF) {
    if (src.vt != type) return DISP_E_TYPEMISMATCH;
    *out = src;  // the caller's reference, not owned
    return S_OK;
  }
  if (type == VT_VARIANT) return VariantCopyInd(out, &src);
  return VariantChangeType(out, &src, 0, type);
}

void ClearArgument(VARIANT* v) {
  if (v->vt & VT_BYREF)
    VariantInit(v);
  else
    VariantClear(v);
}

}  // namespace

DispatchTable::DispatchTable(const IID& iid, std::string name) : iid_(iid), name_(std::move(name)) {}

DispatchTable& DispatchTable::Method(DISPID id, std::string name, VARTYPE result,
                                     std::vector<VARTYPE> params, DispatchHandler call) {
  members_.push_back({id, std::move(name), DispatchKind::Method, result, std::move(params),
                      std::move(call), {}});
  return *this;
}

DispatchTable& DispatchTable::Property(DISPID id, std::string name, VARTYPE type, DispatchHandler get,
                                       DispatchHandler put, std::vector<VARTYPE> params) {
  members_.push_back({id, std::move(name), DispatchKind::Property, type, std::move(params),
                      std::move(get), std::move(put)});
  return *this;
}

namespace {

// Bytes of a scalar's value in the variant union; 0 for types a variable cannot hold this way.
size_t ValueSize(VARTYPE type) {
  switch (type) {
    case VT_I1: case VT_UI1: return 1;
    case VT_I2: case VT_UI2: case VT_BOOL: return 2;
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_R4: case VT_ERROR: return 4;
    case VT_I8: case VT_UI8: case VT_R8: case VT_CY: case VT_DATE: return 8;
    default: return 0;
  }
}

}  // namespace

DispatchTable& DispatchTable::NotifyProperty(DISPID id, std::string name, VARTYPE type, void* variable,
                                             std::function<void()> notify) {
  auto get = [type, variable](DispatchCall& c) {
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | type;
    ref.byref = variable;
    return VariantCopyInd(c.result, &ref);
  };
  auto put = [type, variable, notify = std::move(notify)](DispatchCall& c) {
    if (type == VT_BSTR) {
      BSTR& stored = *static_cast<BSTR*>(variable);
      BSTR copy = nullptr;
      if (c.value.bstrVal) {
        copy = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(c.value.bstrVal), SysStringByteLen(c.value.bstrVal));
        if (!copy) return E_OUTOFMEMORY;
      }
      SysFreeString(stored);
      stored = copy;
    } else {
      // Every scalar member of the union starts at its first byte.
      std::memcpy(variable, &c.value.llVal, ValueSize(type));
    }
    if (notify) notify();
    return S_OK;
  };
  if (type != VT_BSTR && ValueSize(type) == 0) return *this;
  return Property(id, std::move(name), type, get, put);
}

const DispatchMember* DispatchTable::Find(DISPID id) const {
  for (const DispatchMember& m : members_)
    if (m.id == id) return &m;
  return nullptr;
}

HRESULT DispatchTable::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, DISPID* rgDispId) const {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!rgszNames || !rgDispId || cNames == 0) return E_INVALIDARG;
  for (UINT i = 0; i < cNames; ++i) rgDispId[i] = DISPID_UNKNOWN;
  for (const DispatchMember& m : members_) {
    if (ole::NameEquals(m.name, rgszNames[0])) {
      rgDispId[0] = m.id;
      return cNames == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
  }
  return DISP_E_UNKNOWNNAME;
}

HRESULT DispatchTable::Invoke(DISPID dispIdMember, REFIID riid, WORD wFlags, DISPPARAMS* pDispParams,
                              VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) const {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  const DispatchMember* m = Find(dispIdMember);
  if (!m) return DISP_E_MEMBERNOTFOUND;
  if (!pDispParams || (pDispParams->cArgs && !pDispParams->rgvarg) ||
      pDispParams->cNamedArgs > pDispParams->cArgs ||
      (pDispParams->cNamedArgs && !pDispParams->rgdispidNamedArgs))
    return E_INVALIDARG;
  const DISPPARAMS& dp = *pDispParams;

  const bool put = wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
  const DispatchHandler* handler;
  if (put) {
    if (m->kind != DispatchKind::Property || !m->put) return DISP_E_MEMBERNOTFOUND;
    if (dp.cNamedArgs != 1 || dp.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) return DISP_E_PARAMNOTFOUND;
    handler = &m->put;
  } else {
    if (!(wFlags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
    // A method can be read like a property only when it has a result.
    if (m->kind == DispatchKind::Method && !(wFlags & DISPATCH_METHOD) && m->type == VT_EMPTY)
      return DISP_E_MEMBERNOTFOUND;
    if (dp.cNamedArgs) return DISP_E_NONAMEDARGS;
    handler = &m->get;
  }
  if (!*handler) return DISP_E_MEMBERNOTFOUND;
  const UINT positional = dp.cArgs - (put ? 1 : 0);
  if (positional != m->params.size()) return DISP_E_BADPARAMCOUNT;

  VARIANT result;
  VariantInit(&result);
  DispatchCall call;
  call.args.resize(positional);
  for (VARIANT& a : call.args) VariantInit(&a);
  VariantInit(&call.value);
  call.result = &result;
  call.excepInfo = pExcepInfo;
  call.flags = wFlags;
  auto clearArguments = [&] {
    for (VARIANT& a : call.args) ClearArgument(&a);
    ClearArgument(&call.value);
  };

  // Arguments arrive last first; the put value is the named argument at index 0.
  HRESULT hr = S_OK;
  UINT failed = 0;
  for (UINT i = 0; i < positional && SUCCEEDED(hr); ++i) {
    failed = dp.cArgs - 1 - i;
    hr = Coerce(dp.rgvarg[failed], m->params[i], &call.args[i]);
  }
  if (SUCCEEDED(hr) && put) {
    failed = 0;
    hr = Coerce(dp.rgvarg[0], m->type, &call.value);
  }
  if (FAILED(hr)) {
    clearArguments();
    if (puArgErr) *puArgErr = failed;
    return hr;
  }

  hr = (*handler)(call);
  clearArguments();
  if (SUCCEEDED(hr) && !put && m->type != VT_EMPTY && m->type != VT_VARIANT && result.vt != m->type)
    hr = VariantChangeType(&result, &result, 0, m->type);
  if (FAILED(hr) || !pVarResult) {
    VariantClear(&result);
    return hr;
  }
  *pVarResult = result;
  return hr;
}

HRESULT DispatchTable::GetTypeInfo(UINT iTInfo, ITypeInfo** ppTInfo) const {
  if (!ppTInfo) return E_INVALIDARG;
  *ppTInfo = nullptr;
  if (iTInfo != 0) return DISP_E_BADINDEX;
  *ppTInfo = new ole::TableTypeInfo(iid_, name_, ole::FunctionsOf(*this));
  return S_OK;
}
