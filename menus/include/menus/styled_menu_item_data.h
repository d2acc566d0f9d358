#pragma once
// One record per item of a styled menu, owned by its menu and handed to the system as the
// owner-drawn item's data.
#include "menus/styled_menu_icons.h"

class CStyledMenuItemData : public CObject {
  DECLARE_DYNAMIC(CStyledMenuItemData)
 public:
  CStyledMenuItemData() = default;
  // Releases the icon store.
  ~CStyledMenuItemData() override;

  // Takes one reference on store (releasing the one held).
  void SetIcons(CStyledMenuIcons* store, int index);
  bool IsSeparator() const { return (menuFlags & MF_SEPARATOR) != 0; }
  bool IsTitle() const { return IsSeparator() && (titleFlags & 0x01) != 0; }

  CString text;
  int titleFlags = 0;
  UINT menuFlags = 0;
  UINT_PTR commandOrMenu = 0;  // the command id, or the sub-menu's handle
  BOOL claimed = FALSE;        // while a menu's items are converted
  CStyledMenuIcons* icons = nullptr;
  int iconIndex = -1;
  CImageList* imageList = nullptr;  // an image list the owner set on the item (not owned)
};
