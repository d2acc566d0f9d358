#pragma once
// Type information of a dispatch table: one dispatch function per method, property get and
// property put; or of a coclass, naming the dispinterfaces it implements. It holds its own copy
// of the descriptions, so it may outlive the table; within a library it holds the library.
#include <string>
#include <vector>

#include "ole/com_object.h"
#include "ole/comptr.h"
#include "ole/dispatch.h"

namespace ole {

class TableTypeInfo final : public ComObject<TableTypeInfo, ITypeInfo, IID_ITypeInfo> {
 public:
  struct Function {
    DISPID id;
    std::string name;
    INVOKEKIND kind;
    VARTYPE result;  // VT_VOID for none
    std::vector<VARTYPE> params;
  };

  TableTypeInfo(const IID& iid, std::string name, std::vector<Function> functions);
  // A coclass: the first interface is the default one; events (GUID_NULL for none) is its
  // default source.
  TableTypeInfo(const CLSID& clsid, std::string name, std::vector<IID> interfaces, const IID& events);

  // The library it belongs to and its place there; the interfaces of a coclass are found there.
  void SetLibrary(ITypeLib* library, UINT index);

  STDMETHOD(GetTypeAttr)(TYPEATTR** ppTypeAttr) override;
  STDMETHOD(GetTypeComp)(ITypeComp** ppTComp) override;
  STDMETHOD(GetFuncDesc)(UINT index, FUNCDESC** ppFuncDesc) override;
  STDMETHOD(GetVarDesc)(UINT index, VARDESC** ppVarDesc) override;
  STDMETHOD(GetNames)(MEMBERID memid, BSTR* rgBstrNames, UINT cMaxNames, UINT* pcNames) override;
  STDMETHOD(GetRefTypeOfImplType)(UINT index, HREFTYPE* pRefType) override;
  STDMETHOD(GetImplTypeFlags)(UINT index, INT* pImplTypeFlags) override;
  STDMETHOD(GetIDsOfNames)(LPOLESTR* rgszNames, UINT cNames, MEMBERID* pMemId) override;
  STDMETHOD(Invoke)(PVOID pvInstance, MEMBERID memid, WORD wFlags, DISPPARAMS* pDispParams,
                    VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;
  STDMETHOD(GetDocumentation)(MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString,
                              DWORD* pdwHelpContext, BSTR* pBstrHelpFile) override;
  STDMETHOD(GetDllEntry)(MEMBERID memid, INVOKEKIND invKind, BSTR* pBstrDllName, BSTR* pBstrName,
                         WORD* pwOrdinal) override;
  STDMETHOD(GetRefTypeInfo)(HREFTYPE hRefType, ITypeInfo** ppTInfo) override;
  STDMETHOD(AddressOfMember)(MEMBERID memid, INVOKEKIND invKind, PVOID* ppv) override;
  STDMETHOD(CreateInstance)(IUnknown* pUnkOuter, REFIID riid, PVOID* ppvObj) override;
  STDMETHOD(GetMops)(MEMBERID memid, BSTR* pBstrMops) override;
  STDMETHOD(GetContainingTypeLib)(ITypeLib** ppTLib, UINT* pIndex) override;
  STDMETHOD_(void, ReleaseTypeAttr)(TYPEATTR* pTypeAttr) override;
  STDMETHOD_(void, ReleaseFuncDesc)(FUNCDESC* pFuncDesc) override;
  STDMETHOD_(void, ReleaseVarDesc)(VARDESC* pVarDesc) override;

 private:
  const Function* FindFunction(MEMBERID memid) const;

  IID iid_;
  std::string name_;
  TYPEKIND kind_ = TKIND_DISPATCH;
  std::vector<Function> functions_;
  std::vector<IID> interfaces_;
  size_t firstSource_ = 0;  // interfaces_ from here are sources
  ComPtr<ITypeLib> library_;
  UINT index_ = 0;
};

// The dispatch functions that describe a table's members.
std::vector<TableTypeInfo::Function> FunctionsOf(const DispatchTable& table);

}  // namespace ole
