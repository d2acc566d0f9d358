#include "control/item_list.h"

ItemList::~ItemList() {
  for (CCmdTarget* item : m_items) afx_disp::InternalRelease(item);
}
