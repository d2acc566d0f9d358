#pragma once
// The enumerator of a collection (IEnumVARIANT over its items' dispatch interfaces).
#include "control/item_list.h"
#include "control/tessary_type_library.h"
#include "engine/tessary_ids.h"

class CItemEnumerator : public CCmdTarget {
 public:
  // iidDispatch: the dispinterface that describes enumerators of this kind.
  CItemEnumerator(ItemListPtr list, size_t position, REFIID iidDispatch);
  HRESULT GetTypeLib(LCID lcid, LPTYPELIB* library) { return GetTessaryTypeLib(lcid, library); }

  BEGIN_INTERFACE_PART(EnumVARIANT, IEnumVARIANT)
    STDMETHOD(Next)(ULONG celt, VARIANT* rgVar, ULONG* pCeltFetched) override;
    STDMETHOD(Skip)(ULONG celt) override;
    STDMETHOD(Reset)() override;
    STDMETHOD(Clone)(IEnumVARIANT** ppEnum) override;
  END_INTERFACE_PART(EnumVARIANT)

  // A new enumerator over list at its head; its IEnumVARIANT with one reference.
  static IUnknown* Create(ItemListPtr list, REFIID iidDispatch);

 protected:
  // Enumerators of other kinds make their own class here.
  virtual CItemEnumerator* MakeClone() const;

  ItemListPtr m_list;
  size_t m_position;
  IID m_iidDispatch;

  DECLARE_DISPATCH_MAP()
  DECLARE_INTERFACE_MAP()
};

// The enumerator of the profile collection, which also answers the property WMVProfiles (id 1,
// always no object).
class CWMVProfileEnumerator : public CItemEnumerator {
 public:
  CWMVProfileEnumerator(ItemListPtr list, size_t position)
      : CItemEnumerator(std::move(list), position, IID_IEnumWMVProfiles) {}
  static IUnknown* Create(ItemListPtr list);

 protected:
  CItemEnumerator* MakeClone() const override;

 private:
  LPDISPATCH GetWMVProfiles() { return nullptr; }

  // The base class enabled automation; this class only adds its member.
 public:
  static const AFX_DISPMAP* PASCAL GetThisDispatchMap();
  const AFX_DISPMAP* GetDispatchMap() const override;
};
