#pragma once
// The editing transitions (listed from the editing services' transition category) and the
// effect collection of the same shape.
#include "control/item_collection.h"

class CTransitions : public CItemCollection {
 public:
  CTransitions();
  void AddTransitionItem(LPCTSTR name, REFCLSID clsid);
  // The class identifier at a 0-based position; clsid stays unchanged when there is no item.
  void GetTransitionClsid(short position, CLSID& clsid) const;
  // Empties the collection and lists the transition category again; the category's failure is
  // returned (what was listed before it stays).
  HRESULT EnumCategoryDevices();

 protected:
  const CString& NameOf(CCmdTarget* item) const override;

 private:
  short FindTransition(LPCTSTR strName) { return FindPosition(strName); }
  BSTR FindTransitionName(short index) { return NameAt(index); }
  LPDISPATCH GetItem(const VARIANT& key) { return ItemByKey(key); }
  LPUNKNOWN GetNewEnum();

  DECLARE_DISPATCH_MAP()
};

class CEffects : public CItemCollection {
 public:
  CEffects();
  void AddEffectItem(LPCTSTR name, REFCLSID clsid);

 protected:
  const CString& NameOf(CCmdTarget* item) const override;

 private:
  short FindEffect(LPCTSTR strName) { return FindPosition(strName); }
  BSTR FindEffectName(short index) { return NameAt(index); }
  LPDISPATCH GetItem(const VARIANT& key) { return ItemByKey(key); }
  LPUNKNOWN GetNewEnum();

  DECLARE_DISPATCH_MAP()
};
