#include "table_type_info.h"

#include "member_names.h"

namespace ole {

namespace {

BSTR AllocName(const std::string& name) {
  const std::u16string wide = ole::WideFromAscii(name);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

void SetElement(ELEMDESC* e, VARTYPE vt) {
  *e = ELEMDESC{};
  e->tdesc.vt = vt;
}

}  // namespace

TableTypeInfo::TableTypeInfo(const IID& iid, std::string name, std::vector<Function> functions)
    : iid_(iid), name_(std::move(name)), functions_(std::move(functions)) {}

TableTypeInfo::TableTypeInfo(const CLSID& clsid, std::string name, std::vector<IID> interfaces, const IID& events)
    : iid_(clsid), name_(std::move(name)), kind_(TKIND_COCLASS), interfaces_(std::move(interfaces)) {
  firstSource_ = interfaces_.size();
  if (events != GUID_NULL) interfaces_.push_back(events);
}

void TableTypeInfo::SetLibrary(ITypeLib* library, UINT index) {
  library_ = ComPtr<ITypeLib>(library);
  index_ = index;
}

std::vector<TableTypeInfo::Function> FunctionsOf(const DispatchTable& table) {
  std::vector<TableTypeInfo::Function> functions;
  for (const DispatchMember& m : table.Members()) {
    if (m.kind == DispatchKind::Method) {
      functions.push_back({m.id, m.name, INVOKE_FUNC, m.type == VT_EMPTY ? VARTYPE(VT_VOID) : m.type, m.params});
      continue;
    }
    functions.push_back({m.id, m.name, INVOKE_PROPERTYGET, m.type, m.params});
    if (m.put) {
      std::vector<VARTYPE> params = m.params;
      params.push_back(m.type);
      functions.push_back({m.id, m.name, INVOKE_PROPERTYPUT, VT_VOID, std::move(params)});
    }
  }
  return functions;
}

const TableTypeInfo::Function* TableTypeInfo::FindFunction(MEMBERID memid) const {
  for (const Function& f : functions_)
    if (f.id == memid) return &f;
  return nullptr;
}

STDMETHODIMP TableTypeInfo::GetTypeAttr(TYPEATTR** ppTypeAttr) {
  if (!ppTypeAttr) return E_INVALIDARG;
  TYPEATTR* attr = new TYPEATTR{};
  attr->guid = iid_;
  attr->memidConstructor = MEMBERID_NIL;
  attr->memidDestructor = MEMBERID_NIL;
  attr->typekind = kind_;
  attr->cFuncs = static_cast<WORD>(functions_.size());
  attr->cImplTypes = static_cast<WORD>(interfaces_.size());
  // A dispinterface's table is IDispatch's seven methods; a coclass has none.
  attr->cbSizeVft = kind_ == TKIND_DISPATCH ? static_cast<WORD>(7 * sizeof(void*)) : 0;
  attr->cbAlignment = sizeof(void*);
  attr->wMajorVerNum = 1;
  *ppTypeAttr = attr;
  return S_OK;
}

STDMETHODIMP_(void) TableTypeInfo::ReleaseTypeAttr(TYPEATTR* pTypeAttr) { delete pTypeAttr; }

STDMETHODIMP TableTypeInfo::GetFuncDesc(UINT index, FUNCDESC** ppFuncDesc) {
  if (!ppFuncDesc) return E_INVALIDARG;
  if (index >= functions_.size()) return TYPE_E_ELEMENTNOTFOUND;
  const Function& f = functions_[index];
  FUNCDESC* desc = new FUNCDESC{};
  desc->memid = f.id;
  desc->funckind = FUNC_DISPATCH;
  desc->invkind = f.kind;
  desc->callconv = CC_STDCALL;
  desc->cParams = static_cast<SHORT>(f.params.size());
  if (!f.params.empty()) {
    desc->lprgelemdescParam = new ELEMDESC[f.params.size()];
    for (size_t i = 0; i < f.params.size(); ++i) SetElement(&desc->lprgelemdescParam[i], f.params[i]);
  }
  SetElement(&desc->elemdescFunc, f.result);
  *ppFuncDesc = desc;
  return S_OK;
}

STDMETHODIMP_(void) TableTypeInfo::ReleaseFuncDesc(FUNCDESC* pFuncDesc) {
  if (!pFuncDesc) return;
  delete[] pFuncDesc->lprgelemdescParam;
  delete pFuncDesc;
}

STDMETHODIMP TableTypeInfo::GetNames(MEMBERID memid, BSTR* rgBstrNames, UINT cMaxNames, UINT* pcNames) {
  if (!rgBstrNames || !pcNames) return E_INVALIDARG;
  *pcNames = 0;
  const Function* f = FindFunction(memid);
  if (!f) return TYPE_E_ELEMENTNOTFOUND;
  // Parameters carry no names; the member's own name is the only one.
  if (cMaxNames > 0) {
    rgBstrNames[0] = AllocName(f->name);
    *pcNames = 1;
  }
  return S_OK;
}

STDMETHODIMP TableTypeInfo::GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, MEMBERID* pMemId) {
  if (!rgszNames || !pMemId || cNames == 0) return E_INVALIDARG;
  for (UINT i = 0; i < cNames; ++i) pMemId[i] = MEMBERID_NIL;
  for (const Function& f : functions_) {
    if (ole::NameEquals(f.name, rgszNames[0])) {
      pMemId[0] = f.id;
      return cNames == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
  }
  return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP TableTypeInfo::Invoke(PVOID pvInstance, MEMBERID memid, WORD wFlags,
                                   DISPPARAMS* pDispParams, VARIANT* pVarResult,
                                   EXCEPINFO* pExcepInfo, UINT* puArgErr) {
  if (!pvInstance) return E_INVALIDARG;
  // The instance of a dispinterface is its IDispatch.
  return static_cast<IDispatch*>(pvInstance)->Invoke(memid, IID_NULL, 0, wFlags, pDispParams,
                                                     pVarResult, pExcepInfo, puArgErr);
}

STDMETHODIMP TableTypeInfo::GetDocumentation(MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString,
                                             DWORD* pdwHelpContext, BSTR* pBstrHelpFile) {
  const std::string* name = &name_;
  if (memid != MEMBERID_NIL) {
    const Function* f = FindFunction(memid);
    if (!f) return TYPE_E_ELEMENTNOTFOUND;
    name = &f->name;
  }
  if (pBstrName) *pBstrName = AllocName(*name);
  if (pBstrDocString) *pBstrDocString = nullptr;
  if (pdwHelpContext) *pdwHelpContext = 0;
  if (pBstrHelpFile) *pBstrHelpFile = nullptr;
  return S_OK;
}

// A type described this way has no variables or DLL entries.
STDMETHODIMP TableTypeInfo::GetTypeComp(ITypeComp** ppTComp) {
  if (ppTComp) *ppTComp = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP TableTypeInfo::GetVarDesc(UINT, VARDESC** ppVarDesc) {
  if (ppVarDesc) *ppVarDesc = nullptr;
  return TYPE_E_ELEMENTNOTFOUND;
}

// A coclass's implemented interfaces are referred to by their place in its list.
STDMETHODIMP TableTypeInfo::GetRefTypeOfImplType(UINT index, HREFTYPE* pRefType) {
  if (!pRefType) return E_INVALIDARG;
  if (index >= interfaces_.size()) return TYPE_E_ELEMENTNOTFOUND;
  *pRefType = static_cast<HREFTYPE>(index);
  return S_OK;
}

STDMETHODIMP TableTypeInfo::GetImplTypeFlags(UINT index, INT* pImplTypeFlags) {
  if (!pImplTypeFlags) return E_INVALIDARG;
  if (index >= interfaces_.size()) return TYPE_E_ELEMENTNOTFOUND;
  if (index >= firstSource_) *pImplTypeFlags = IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE;
  else *pImplTypeFlags = index == 0 ? IMPLTYPEFLAG_FDEFAULT : 0;
  return S_OK;
}

STDMETHODIMP TableTypeInfo::GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) {
  return TYPE_E_ELEMENTNOTFOUND;
}

STDMETHODIMP TableTypeInfo::GetRefTypeInfo(HREFTYPE hRefType, ITypeInfo** ppTInfo) {
  if (!ppTInfo) return E_INVALIDARG;
  *ppTInfo = nullptr;
  if (!library_ || hRefType >= interfaces_.size()) return TYPE_E_ELEMENTNOTFOUND;
  return library_->GetTypeInfoOfGuid(interfaces_[hRefType], ppTInfo);
}

STDMETHODIMP TableTypeInfo::AddressOfMember(MEMBERID, INVOKEKIND, PVOID* ppv) {
  if (ppv) *ppv = nullptr;
  return TYPE_E_ELEMENTNOTFOUND;
}

STDMETHODIMP TableTypeInfo::CreateInstance(IUnknown*, REFIID, PVOID* ppvObj) {
  if (ppvObj) *ppvObj = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP TableTypeInfo::GetMops(MEMBERID, BSTR* pBstrMops) {
  if (!pBstrMops) return E_INVALIDARG;
  *pBstrMops = nullptr;
  return S_OK;
}

STDMETHODIMP TableTypeInfo::GetContainingTypeLib(ITypeLib** ppTLib, UINT* pIndex) {
  if (ppTLib) *ppTLib = nullptr;
  if (pIndex) *pIndex = 0;
  if (!library_) return E_NOTIMPL;
  if (ppTLib) library_.CopyTo(ppTLib);
  if (pIndex) *pIndex = index_;
  return S_OK;
}

STDMETHODIMP_(void) TableTypeInfo::ReleaseVarDesc(VARDESC*) {}

}  // namespace ole
