#pragma once
// The enumerator of a collection (IEnumVARIANT over its items' dispatch interfaces).
#include "control/item_list.h"

class CItemEnumerator : public CCmdTarget {
 public:
  CItemEnumerator(ItemListPtr list, size_t position);

  BEGIN_INTERFACE_PART(EnumVARIANT, IEnumVARIANT)
    STDMETHOD(Next)(ULONG celt, VARIANT* rgVar, ULONG* pCeltFetched) override;
    STDMETHOD(Skip)(ULONG celt) override;
    STDMETHOD(Reset)() override;
    STDMETHOD(Clone)(IEnumVARIANT** ppEnum) override;
  END_INTERFACE_PART(EnumVARIANT)

  // A new enumerator over list at its head; its IEnumVARIANT with one reference.
  static IUnknown* Create(ItemListPtr list);

 protected:
  // Enumerators of other kinds make their own class here.
  virtual CItemEnumerator* MakeClone() const;

  ItemListPtr m_list;
  size_t m_position;

  DECLARE_DISPATCH_MAP()
  DECLARE_INTERFACE_MAP()
};

// The enumerator of the profile collection, which also answers the property WMVProfiles (id 1,
// always no object).
class CWMVProfileEnumerator : public CItemEnumerator {
 public:
  using CItemEnumerator::CItemEnumerator;
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
