#pragma once
// CStyledMenu: a menu whose items are all owner-drawn in one of ten looks, with icons, titles and
// (with the library's hook) its own pop-up border and drop shadow. The skinned dialogs' right-
// click menu is one, in style 8.
//
//   CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP_GRADIENT);
//   CStyledMenu menu;
//   menu.CreatePopupMenu();
//   menu.AppendMenu(MF_STRING, 32769, "Options");
//   menu.AppendMenu(MF_SEPARATOR, 32770);
//   menu.TrackPopupMenu(TPM_RIGHTBUTTON, x, y, dialog);
#include <vector>

#include "menus/styled_menu_icons.h"
#include "menus/styled_menu_item_data.h"
#include "menus/styled_menu_utils.h"
#include "mfc/afxwnd.h"

class CStyledMenu : public CMenu {
  DECLARE_DYNAMIC(CStyledMenu)
 public:
  enum {
    STYLE_CLASSIC = 0,
    STYLE_CLASSIC_SYSTEMFRAME = 1,
    STYLE_XP = 2,
    STYLE_XP_SYSTEMFRAME = 3,
    STYLE_FLATBAR = 4,
    STYLE_FLATBAR_SYSTEMFRAME = 5,
    STYLE_GRADIENT = 6,
    STYLE_GRADIENT_SYSTEMFRAME = 7,
    STYLE_XP_GRADIENT = 8,
    STYLE_XP_GRADIENT_SYSTEMFRAME = 9,
  };
  // Title flags (SetTitle).
  enum {
    TITLE_ITEM = 0x01,  // set by SetTitle on the title separator
    TITLE_VERTICAL = 0x02,
    TITLE_GRADIENT = 0x04,
    TITLE_SUNKEN = 0x08,
    TITLE_DOUBLE_LINE = 0x10,
    TITLE_ROUNDED = 0x20,
    TITLE_CENTERED = 0x40,
  };

  // parentMenu: the menu holding this one as a sub-menu (null for a top-level menu).
  explicit CStyledMenu(HMENU parentMenu = nullptr);
  // Destroys the menu it holds (DestroyMenu).
  ~CStyledMenu() override;

  // ---- Library-wide settings -------------------------------------------------------------------
  // The previous style code; -1 and no change for an unknown code.
  static int SetMenuDrawMode(int code);
  static int GetMenuDrawMode();
  // Disabled items may be drawn selected (default TRUE). Both setters return the previous value.
  static BOOL SetSelectDisabled(BOOL select);
  static BOOL GetSelectDisabled();
  // Drawing uses an icon store's derived images (default TRUE).
  static BOOL SetIconVariants(BOOL variants);
  static BOOL GetIconVariants();
  // Menus that are not styled menus get the library's frame too (default FALSE).
  static BOOL SetDrawAllMenus(BOOL drawAll);
  static BOOL GetDrawAllMenus();
  // The menu font (the system's menu font until set); titles use it at weight 700.
  static void SetMenuFont(const LOGFONT& font);
  static BOOL SetMenuFont(CFont* font);
  static void GetMenuFont(LOGFONT* font);

  // ---- Owner-draw requests ----------------------------------------------------------------------
  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
  void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;
  // A frame's WM_MEASUREITEM (the window's current message): finds the styled menu that owns the
  // item and lets it measure. 1 when it did.
  static BOOL MeasureItemFromMessage(const MSG* message);

  // ---- Loading and destruction ------------------------------------------------------------------
  virtual BOOL LoadMenu(UINT nIDResource);
  virtual BOOL LoadMenu(LPCTSTR lpszResourceName);
  // Attaches the menu, gives every sub-menu a styled menu of its own and converts the items.
  virtual BOOL LoadMenu(HMENU hMenu);
  // Frees the sub-menu objects, the item data and an owned check-mark list, then the menu.
  virtual BOOL DestroyMenu();
  // As DestroyMenu, but lets go of the menu instead of destroying it (a menu the system owns, such
  // as a window's system menu): its items, when it still exists, are plain again. The menu, or
  // null when the object held none.
  HMENU DetachMenu();
  // Draws the title item through the current style's title routine.
  virtual void ForwardFrameRequest(LPDRAWITEMSTRUCT lpDrawItemStruct, BOOL bMenuBar);
  // Fills the window's client rectangle with the menu colour; returns 1.
  virtual BOOL EraseMenuBackground(HWND hWnd, HDC hDC);
  // The pop-up of this menu opens: it is flagged as pop-up and its items are converted.
  virtual void OnPopupOpen();
  virtual void OnPopupClose();

  // ---- Building ----------------------------------------------------------------------------------
  // Without an id (null command or sub-menu) the item is an owner-drawn separator.
  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr, int nIconIndex = -1);
  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem, CImageList* pImageList, int nImage);
  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem, CBitmap* pBitmap);
  // nPosition: a command id (searched in the whole menu tree) or, with MF_BYPOSITION, a position
  // (-1 appends). nIconId: a toolbar holding the command, an icon handle (SetIconsAsHandles) or
  // a bitmap resource; -1 for none.
  BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr,
                  int nIconId = -1);
  BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem, CImageList* pImageList,
                  int nImage);
  BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem, CBitmap* pBitmap);
  // Keeps the item's icon and takes the new text.
  BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
  // The item shows the bitmap as its icon and loses its text.
  BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, CBitmap* pBitmap);
  // Every item with the command, in the whole menu tree; a null text keeps the text.
  BOOL UpdateItem(LPCTSTR lpszText, UINT nID, int nIconId = -1);
  BOOL UpdateItem(LPCTSTR lpszText, UINT nID, CImageList* pImageList, int nImage);
  BOOL UpdateItem(LPCTSTR lpszText, UINT nID, CBitmap* pBitmap);
  // A colour swatch as the icon: a 1-pixel frame of one colour round a solid (hatch -1) or hatched
  // fill of another.
  BOOL UpdateItem(LPCTSTR lpszText, UINT nID, COLORREF fill, COLORREF frame, int hatch = -1);
  // The first item with that text.
  BOOL UpdateItem(LPCTSTR lpszItemText, LPCTSTR lpszNewText, int nIconId);
  // The buttons' images become the icons of the items with their commands.
  BOOL LoadToolbar(UINT nToolbarId);
  BOOL LoadToolbars(const UINT* toolbarIds, int count);
  BOOL LoadToolbar(const WORD* idList, COLORREF maskColour);
  BOOL LoadToolbar(LPCTSTR lpszResourceName, COLORREF maskColour);
  // A new pop-up styled menu that shares the check-mark images, appended; null on failure.
  CStyledMenu* AppendSubMenu(LPCTSTR lpszText);

  // ---- Other operations ---------------------------------------------------------------------------
  // Both ids at least 1: bitmap resources (or icon handles) for unchecked and checked items.
  BOOL SetCheckMarkImages(int nUnchecked, int nChecked);
  COLORREF SetBitmapBackground(COLORREF colour);
  COLORREF GetBitmapBackground() const { return bitmapBackground_; }
  void SetIconSize(int width, int height);
  BOOL SetIconsAsHandles(BOOL asHandles);
  BOOL SetItemImageList(UINT nItem, CImageList* pImageList, UINT nFlags = MF_BYCOMMAND);
  CImageList* GetItemImageList(UINT nItem, UINT nFlags = MF_BYCOMMAND);
  CString GetItemText(UINT nItem, UINT nFlags = MF_BYPOSITION);
  BOOL SetItemText(UINT nItem, LPCTSTR lpszText, UINT nFlags = MF_BYPOSITION);
  CStyledMenu* GetSubMenu(LPCTSTR lpszItemText);
  // -1 when no item has the text.
  int GetPositionOfText(LPCTSTR lpszItemText);
  BOOL SetTitle(LPCTSTR lpszTitle, int nTitleFlags = 0);
  BOOL RemoveTitle();
  BOOL RemoveMenu(UINT nPosition, UINT nFlags);
  BOOL DeleteMenu(UINT nPosition, UINT nFlags);
  // mode 0 removes the item with the text, 1 the one before, 2 the one after, 3 the one after and
  // then the one before. The position found, or -1.
  int RemoveNextTo(LPCTSTR lpszText, int nMode);

  // ---- Pop-up life cycle (from the owner's WM_INITMENUPOPUP and WM_MENUCHAR) -------------------
  static void InitMenuPopup(HWND hOwner, HMENU hMenu, UINT nIndex, BOOL bSysMenu);
  // The item whose mnemonic is nChar: MAKELRESULT(position, 2), or 0.
  static LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);

  // The menu-bar item drawn in dc at rect becomes the recorded one (screen coordinates).
  void RecordBarItemRect(HDC hDC, const RECT* rect);

  // ---- What the item routines read ----------------------------------------------------------------
  int IconWidth() const { return iconWidth_; }
  int IconHeight() const { return iconHeight_; }
  CImageList* CheckMarkImages() const { return checkImages_; }
  int UncheckedImage() const { return uncheckedImage_; }
  int CheckedImage() const { return checkedImage_; }
  HMENU ParentMenu() const { return parentMenu_; }
  BOOL IsPopup() const { return popup_; }
  int OpenPopups() const { return openPopups_; }
  HWND Owner() const { return owner_; }
  const CRect& BarItemRect() const { return barItemRect_; }
  const std::vector<CStyledMenuItemData*>& Items() const { return items_; }
  // The styled menu object of a handle, null when the handle has none.
  static CStyledMenu* FromMenuHandle(HMENU hMenu);

 protected:
  // Finds the menu and position holding a command (depth first, sub-menus first); the menu is
  // null when none does.
  CStyledMenu* FindCommand(UINT nID, int* position);
  // Makes every item owner-drawn with one item data each, in position order.
  void ConvertItems();
  CStyledMenuItemData* DataAt(int position) const;

 private:
  BOOL AppendItem(UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem, CStyledMenuIcons* icons, int index);
  BOOL InsertItem(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem, CStyledMenuIcons* icons,
                  int index);
  BOOL AddItem(int position, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem, CStyledMenuIcons* icons,
               int index);
  // The shared store and index of an icon id (toolbar, icon handle or bitmap resource).
  bool IconFromId(UINT command, int iconId, CStyledMenuIcons** store, int* index);
  bool IconFromImageList(UINT command, CImageList* list, int image, CStyledMenuIcons** store, int* index);
  bool IconFromBitmap(CBitmap* bitmap, CStyledMenuIcons** store, int* index);
  void GrowIconSize(CStyledMenuIcons* store);
  void AssignToolbarIcons(CStyledMenuIcons* store);
  BOOL SetIconOfCommand(LPCTSTR lpszText, UINT nID, CStyledMenuIcons* store, int index, bool keepIcon);
  void DropItemData(int position);
  // Frees every item data and an owned check-mark list (the end of destroying or detaching).
  void FreeItemsAndCheckImages();
  BOOL SetSystemCommandIds(int delta);

  std::vector<CStyledMenuItemData*> items_;
  std::vector<CStyledMenu*> subMenus_;
  int iconWidth_ = 16;
  int iconHeight_ = 15;
  COLORREF bitmapBackground_ = 0xFF000000;  // the button-face colour
  CImageList* checkImages_ = nullptr;
  BOOL checkImagesShared_ = FALSE;
  int uncheckedImage_ = -1;
  int checkedImage_ = -1;
  BOOL iconsAsHandles_ = FALSE;
  HMENU parentMenu_;
  BOOL popup_ = TRUE;
  HWND owner_ = nullptr;
  int openPopups_ = 0;
  CRect barItemRect_;
};
