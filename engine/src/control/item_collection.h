#pragma once
// What the five collections share: their item list, Count, Find by name, the name at a
// position, Item by name or 1-based position, and the enumerator.
#include "control/item_list.h"
#include "control/tessary_type_library.h"

class CItemCollection : public CCmdTarget {
 public:
  HRESULT GetTypeLib(LCID lcid, LPTYPELIB* library) { return GetTessaryTypeLib(lcid, library); }
  short GetCount() { return short(m_list->Size()); }
  // Deletes every item (held elsewhere, an item lives on through its reference).
  void RemoveAllItems() { m_list = std::make_shared<ItemList>(); }
  size_t Size() const { return m_list->Size(); }
  // The name at a 0-based position; FALSE when there is no item there.
  BOOL NameAtPosition(short position, CString& name) const;

 protected:
  CItemCollection() : m_list(std::make_shared<ItemList>()) {}

  // The name an item is found and listed by.
  virtual const CString& NameOf(CCmdTarget* item) const = 0;

  // Position (from 0) of the first item whose name equals name byte for byte; -1 when none.
  short FindPosition(LPCTSTR name) const;
  // The name at a 0-based position, empty when there is none.
  BSTR NameAt(short position) const;
  // Item by exact name (a VT_BSTR key) or by 1-based position; its dispatch interface with a
  // reference added, or no object.
  LPDISPATCH ItemByKey(const VARIANT& key) const;

  ItemListPtr m_list;
};
