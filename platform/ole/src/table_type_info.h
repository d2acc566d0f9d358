#pragma once
// Type information of a dispatch table: one dispatch function per method, property get and
// property put. It holds its own copy of the descriptions, so it may outlive the table.
#include <string>
#include <vector>

#include "ole/com_object.h"
#include "ole/oleauto.h"

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
  std::vector<Function> functions_;
};

}  // namespace ole
