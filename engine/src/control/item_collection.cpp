#include "control/item_collection.h"

short CItemCollection::FindPosition(LPCTSTR name) const {
  for (size_t i = 0; i < m_list->Size(); ++i) {
    CCmdTarget* item = m_list->At(i);
    if (!item) return -1;
    if (NameOf(item) == name) return short(i);
  }
  return -1;
}

BOOL CItemCollection::NameAtPosition(short position, CString& name) const {
  CCmdTarget* item = position < 0 ? nullptr : m_list->At(size_t(position));
  if (!item) return FALSE;
  name = NameOf(item);
  return TRUE;
}

BSTR CItemCollection::NameAt(short position) const {
  CString name;
  NameAtPosition(position, name);
  return name.AllocSysString();
}

LPDISPATCH CItemCollection::ItemByKey(const VARIANT& key) const {
  if (key.vt == VT_BSTR) {
    CString name;
    if (FAILED(mfc::disp::ToText(key, name))) return nullptr;
    short position = FindPosition(name);
    return position < 0 ? nullptr : mfc::disp::GetIDispatch(m_list->At(size_t(position)), TRUE);
  }
  VARIANT index;
  VariantInit(&index);
  if (FAILED(VariantChangeType(&index, &key, 0, VT_I4))) return nullptr;
  if (index.lVal < 1 || size_t(index.lVal) > m_list->Size()) return nullptr;
  CCmdTarget* item = m_list->At(size_t(index.lVal - 1));
  return item ? mfc::disp::GetIDispatch(item, TRUE) : nullptr;
}
