#include "skin/skin_model.h"

SkinComboParts SkinComboBoxInfo::Layout() const {
  const int buttonWidth = buttonStrip.Width() / 4;
  const int buttonHeight = buttonStrip.Height();
  SkinComboParts parts;
  parts.edit = CRect(rect.left, rect.top, rect.right - buttonWidth, rect.top + buttonHeight);
  parts.button = CRect(rect.right - buttonWidth, rect.top - 1, rect.right, rect.top + buttonHeight + 1);
  parts.dropList = CRect(rect.left, rect.top + buttonHeight + 2, rect.right - 1, rect.bottom);
  if (parts.dropList.Height() < 50) parts.dropList.bottom = rect.top + buttonHeight + 52;
  parts.whole = CRect(rect.left, rect.top, rect.right, parts.dropList.bottom);
  return parts;
}
