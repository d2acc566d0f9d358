#pragma once
// The items of a collection, each held by one reference. A collection shares its list with the
// enumerators made over it; emptying the collection starts a new list, so an enumerator keeps
// the items it was made over for as long as it lives.
#include <memory>
#include <vector>

#include "control/cmd_target_ref.h"

class ItemList {
 public:
  // Takes over the item's reference.
  void Append(CCmdTarget* item) { m_items.emplace_back(item); }
  size_t Size() const { return m_items.size(); }
  CCmdTarget* At(size_t position) const { return position < m_items.size() ? m_items[position].get() : nullptr; }

 private:
  std::vector<CmdTargetRef<CCmdTarget>> m_items;
};

using ItemListPtr = std::shared_ptr<ItemList>;
