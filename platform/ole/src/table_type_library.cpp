#include "ole/type_library.h"

#include "member_names.h"
#include "table_type_info.h"

namespace ole {
namespace {

BSTR AllocName(const std::string& name) {
  const std::u16string wide = WideFromAscii(name);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

// The dispinterfaces first, then the coclasses, in the order they were described.
class TableTypeLibrary final : public ComObject<TableTypeLibrary, ITypeLib, IID_ITypeLib> {
 public:
  explicit TableTypeLibrary(TypeLibraryDescription description) : description_(std::move(description)) {}

  STDMETHOD_(UINT, GetTypeInfoCount)() override { return Count(); }

  STDMETHOD(GetTypeInfo)(UINT index, ITypeInfo** ppTInfo) override {
    if (!ppTInfo) return E_INVALIDARG;
    *ppTInfo = nullptr;
    if (index >= Count()) return TYPE_E_ELEMENTNOTFOUND;
    TableTypeInfo* info;
    const size_t tables = description_.dispinterfaces.size();
    if (index < tables) {
      const DispatchTable& table = description_.dispinterfaces[index];
      info = new TableTypeInfo(table.Iid(), table.Name(), FunctionsOf(table));
    } else {
      const TypeLibraryDescription::Coclass& coclass = description_.coclasses[index - tables];
      info = new TableTypeInfo(coclass.clsid, coclass.name, coclass.interfaces, coclass.events);
    }
    info->SetLibrary(this, index);
    *ppTInfo = info;
    return S_OK;
  }

  STDMETHOD(GetTypeInfoType)(UINT index, TYPEKIND* pTKind) override {
    if (!pTKind) return E_INVALIDARG;
    if (index >= Count()) return TYPE_E_ELEMENTNOTFOUND;
    *pTKind = index < description_.dispinterfaces.size() ? TKIND_DISPATCH : TKIND_COCLASS;
    return S_OK;
  }

  STDMETHOD(GetTypeInfoOfGuid)(REFGUID guid, ITypeInfo** ppTinfo) override {
    if (!ppTinfo) return E_INVALIDARG;
    *ppTinfo = nullptr;
    for (UINT i = 0; i < Count(); ++i)
      if (GuidAt(i) == guid) return GetTypeInfo(i, ppTinfo);
    return TYPE_E_ELEMENTNOTFOUND;
  }

  STDMETHOD(GetLibAttr)(TLIBATTR** ppTLibAttr) override {
    if (!ppTLibAttr) return E_INVALIDARG;
    *ppTLibAttr = new TLIBATTR{description_.libid,        description_.lcid,         SYS_WIN32,
                               description_.majorVersion, description_.minorVersion, 0};
    return S_OK;
  }

  STDMETHOD_(void, ReleaseTLibAttr)(TLIBATTR* pTLibAttr) override { delete pTLibAttr; }

  STDMETHOD(GetTypeComp)(ITypeComp** ppTComp) override {
    if (ppTComp) *ppTComp = nullptr;
    return E_NOTIMPL;
  }

  // Index -1 is the library itself.
  STDMETHOD(GetDocumentation)(INT index, BSTR* pBstrName, BSTR* pBstrDocString, DWORD* pdwHelpContext,
                              BSTR* pBstrHelpFile) override {
    if (index < -1 || (index >= 0 && UINT(index) >= Count())) return TYPE_E_ELEMENTNOTFOUND;
    if (pBstrName) *pBstrName = AllocName(index == -1 ? description_.name : NameAt(UINT(index)));
    if (pBstrDocString) *pBstrDocString = nullptr;
    if (pdwHelpContext) *pdwHelpContext = 0;
    if (pBstrHelpFile) *pBstrHelpFile = nullptr;
    return S_OK;
  }

  // Names of types and of dispinterface members, without case.
  STDMETHOD(IsName)(LPOLESTR szNameBuf, ULONG, BOOL* pfName) override {
    if (!szNameBuf || !pfName) return E_INVALIDARG;
    USHORT found = 1;
    ComPtr<ITypeInfo> info;
    MEMBERID member;
    FindName(szNameBuf, 0, info.put(), &member, &found);
    *pfName = found > 0;
    return S_OK;
  }

  STDMETHOD(FindName)(LPOLESTR szNameBuf, ULONG, ITypeInfo** ppTInfo, MEMBERID* rgMemId,
                      USHORT* pcFound) override {
    if (!szNameBuf || !ppTInfo || !rgMemId || !pcFound) return E_INVALIDARG;
    const USHORT wanted = *pcFound;
    USHORT found = 0;
    for (UINT i = 0; i < Count() && found < wanted; ++i) {
      MEMBERID member = MEMBERID_NIL;
      bool match = NameEquals(NameAt(i), szNameBuf);
      if (!match && i < description_.dispinterfaces.size()) {
        for (const DispatchMember& m : description_.dispinterfaces[i].Members())
          if (NameEquals(m.name, szNameBuf)) {
            member = m.id;
            match = true;
            break;
          }
      }
      if (!match) continue;
      GetTypeInfo(i, &ppTInfo[found]);
      rgMemId[found++] = member;
    }
    *pcFound = found;
    return S_OK;
  }

 private:
  UINT Count() const { return UINT(description_.dispinterfaces.size() + description_.coclasses.size()); }
  const GUID& GuidAt(UINT index) const {
    const size_t tables = description_.dispinterfaces.size();
    return index < tables ? description_.dispinterfaces[index].Iid() : description_.coclasses[index - tables].clsid;
  }
  const std::string& NameAt(UINT index) const {
    const size_t tables = description_.dispinterfaces.size();
    return index < tables ? description_.dispinterfaces[index].Name() : description_.coclasses[index - tables].name;
  }

  const TypeLibraryDescription description_;
};

}  // namespace
}  // namespace ole

HRESULT CreateTypeLibrary(TypeLibraryDescription description, ITypeLib** library) {
  if (!library) return E_POINTER;
  *library = new ole::TableTypeLibrary(std::move(description));
  return S_OK;
}
