#pragma once
// A self-contained owner-drawn menu whose items carry icons: from bitmap resources, toolbar
// resources or image lists, kept in one image list shared by every icon menu and keyed by command
// id, or in a small list of the item's own. Drawn in the classic look or the XP look.
#include <functional>
#include <string>
#include <vector>

#include "mfc/afxext.h"
#include "mfc/afxwnd.h"

// One item of an icon menu: its text and where its image is.
struct CIconMenuItem {
  std::u16string text;
  bool hasText = false;
  int imageIndex = -1;         // in the own list
  int sharedImageOffset = -1;  // in the shared list
  int bitmapMarker = -1;       // 0 or more: the own list is drawn
  UINT menuFlags = 0;
  UINT_PTR commandId = 0;      // the sub-menu handle of a pop-up
  int inUse = 0;
  CImageList* ownImages = nullptr;

  CIconMenuItem() = default;
  ~CIconMenuItem() { delete ownImages; }
  CIconMenuItem(const CIconMenuItem&) = delete;
  CIconMenuItem& operator=(const CIconMenuItem&) = delete;
};

class CIconMenu : public CMenu {
  DECLARE_DYNAMIC(CIconMenu)
 public:
  CIconMenu();
  // Destroys the menu with the sub-menus it made.
  ~CIconMenu() override;

  // The classic look, or the XP look when it is chosen and the screen is not palette-based.
  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
  void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;

  // ---- Building. A command id of 0 makes a separator; bitmapId -1: the image registered for
  // the command, if any; otherwise the command's image in the toolbar of that id, or the bitmap.
  BOOL AppendItem(LPCWSTR text, UINT flags = MF_OWNERDRAW, UINT_PTR command = 0, int bitmapId = -1);
  BOOL AppendItem(LPCSTR text, UINT flags = MF_OWNERDRAW, UINT_PTR command = 0, int bitmapId = -1);
  BOOL AppendItem(LPCWSTR text, UINT flags, UINT_PTR command, CImageList* images, int index);
  BOOL AppendItem(LPCSTR text, UINT flags, UINT_PTR command, CImageList* images, int index);
  // A one-image list made from the bitmap; no bitmap, no image.
  BOOL AppendItem(LPCWSTR text, UINT flags, UINT_PTR command, CBitmap* bitmap);
  // position -1 is the end; without MF_BYPOSITION the item goes before the command `position`,
  // wherever in the tree it is.
  BOOL InsertItem(UINT position, LPCWSTR text, UINT flags = MF_OWNERDRAW, UINT_PTR command = 0,
                  int bitmapId = -1);
  BOOL InsertItem(UINT position, LPCSTR text, UINT flags = MF_OWNERDRAW, UINT_PTR command = 0,
                  int bitmapId = -1);
  // The image goes into the shared list under the command.
  BOOL InsertItem(UINT position, LPCWSTR text, UINT flags, UINT_PTR command, CImageList* images, int index);
  BOOL InsertItem(UINT position, LPCWSTR text, UINT flags, UINT_PTR command, CBitmap* bitmap);
  // Every occurrence of the command in the tree gets the text (null keeps it) and the image.
  BOOL ModifyItem(LPCWSTR text, UINT command, int bitmapId = -1);
  BOOL ModifyItem(LPCSTR text, UINT command, int bitmapId = -1);
  BOOL ModifyItem(LPCWSTR text, UINT command, CImageList* images, int index);
  BOOL ModifyItem(LPCWSTR text, UINT command, CBitmap* bitmap);
  // A swatch of the fill colour framed in the border colour (hatched when hatchStyle is not -1),
  // size null: the icon size, centred in the icon when smaller.
  BOOL ModifyItemColour(LPCWSTR text, UINT command, COLORREF fill, COLORREF border, int hatchStyle = -1,
                        const SIZE* size = nullptr);
  // The item with the current text anywhere in the tree gets the new text (null keeps it) and the
  // bitmap in a list of its own. FALSE when no item has that text.
  BOOL ModifyItemByText(LPCWSTR newText, LPCWSTR currentText, int bitmapId);
  // A new pop-up appended to this menu; this menu owns it.
  CIconMenu* AppendSubMenu(LPCWSTR text);
  CIconMenu* AppendSubMenu(LPCSTR text);

  // ---- Resources
  virtual BOOL LoadMenu(UINT resourceId);
  virtual BOOL LoadMenuByName(LPCTSTR resourceName);
  // The images of a toolbar for the commands it shares with this menu.
  BOOL LoadToolbar(UINT toolbarId);
  BOOL LoadToolbars(const UINT* toolbarIds, int count);
  // Each button of a live toolbar whose command is in this menu gives the command's items its
  // picture from the bitmap (a strip in the toolbar's image order), in a list of their own.
  BOOL AddFromToolBar(CToolBarCtrl* toolbar, int bitmapId);
  BOOL LoadCheckmarkBitmap(int normalId, int selectedId);

  void SetIconSize(int width, int height);
  void SetBitmapBackground(COLORREF colour);
  void UnsetBitmapBackground();
  void SetDisabledImageSwitch() { disabledImageSwitch_ = 1; }
  void ClearDisabledImageSwitch() { disabledImageSwitch_ = 0; }
  int GetDisabledImageSwitch() const { return disabledImageSwitch_; }

  // ---- Looking up
  // The record of the command (or sub-menu handle) here or in a sub-menu, else null.
  CIconMenuItem* FindItemRecord(UINT_PTR command);
  BOOL GetItemText(UINT item, std::u16string& text, UINT flags);
  // The pop-up whose record has that text, when it is an icon menu.
  CIconMenu* GetSubIconMenuByText(LPCWSTR text);
  CIconMenu* GetSubIconMenuByText(LPCSTR text);
  int GetItemPositionByText(LPCWSTR text);
  // The pop-up whose menu string is the text, icon menu or not.
  CMenu* GetSubMenuByText(LPCSTR text);
  const std::vector<CIconMenuItem*>& Items() const { return items_; }
  // Rebuilds the records from the menu after it changed behind this object's back.
  void SynchronizeItems();

  // ---- Removing, with the records and the sub-menus this menu made. A command is looked for in
  // the whole tree. DeleteMenu destroys a removed pop-up; RemoveMenu leaves it to the caller.
  BOOL RemoveMenu(UINT item, UINT flags);
  BOOL DeleteMenu(UINT item, UINT flags);
  // Removes the item with that text and, by separatorMode, the item before it (1, 2) or the two
  // before it (3). The position used, or -1.
  int RemoveMenuByText(LPCWSTR text, int separatorMode);
  int DeleteMenuByText(LPCWSTR text, int separatorMode);
  int IconWidth() const { return iconWidth_; }
  int IconHeight() const { return iconHeight_; }

  // The WM_MENUCHAR answer for a pop-up: execute the first item whose text holds '&' and the key.
  static LRESULT MatchMnemonic(UINT key, UINT menuFlags, CMenu* menu);
  static BOOL IsOwnedMenu(CIconMenu* menu);
  static BOOL IsOwnedMenuHandle(HMENU menu);
  static void SetMenuDrawMode(int mode);

  virtual BOOL DestroyMenu();

 private:
  CIconMenuItem* NewRecord(LPCWSTR text, UINT flags, UINT_PTR command);
  static UINT ItemFlags(UINT flags, UINT_PTR command, bool insert);
  int ImageFromBitmapId(UINT_PTR command, int bitmapId);
  // derived: the washed-out and shadow pictures of image 0 follow it in the XP look.
  int AddBitmap(CImageList& list, LPCTSTR name, bool derived = true);
  void OwnSubMenu(UINT flags, UINT_PTR command, int at);
  // The menu and position holding the command, searched depth first; null when absent.
  CIconMenu* FindCommand(UINT_PTR command, int* position);
  void CollectCommand(UINT_PTR command, std::vector<std::pair<CIconMenu*, int>>& found);
  bool HasCommand(UINT command);
  // image makes the shared image once for all occurrences; -1 for none.
  BOOL ModifyRecords(LPCWSTR text, UINT command, const std::function<int()>& image);
  BOOL InsertRecord(UINT position, LPCWSTR text, UINT flags, UINT_PTR command, const std::function<int()>& image);
  bool ListFromBitmap(CBitmap* bitmap, CImageList& list) const;
  // A new list of one image of source, with its XP pictures when the XP look keeps them; null
  // when source has no such image.
  static CImageList* OwnImageCopy(HIMAGELIST source, int index);
  CIconMenuItem* FindRecordByText(const std::u16string& text);
  // The first record here, then in the sub-menus depth first, that matches; else null.
  CIconMenuItem* FindRecord(const std::function<bool(const CIconMenuItem&)>& matches);
  void AlignAccelerators();
  int ForeignItems();
  void Restring();
  void CopyCheckMarks(CIconMenu* to) const;
  BOOL RemoveItem(UINT item, UINT flags, bool destroy);
  int RemoveItemByText(LPCWSTR text, int separatorMode, bool destroy);
  struct ItemImage;
  ItemImage ImageOf(const CIconMenuItem& record, UINT state, bool xp, bool selected) const;
  void DrawClassic(const DRAWITEMSTRUCT& request, const CIconMenuItem& record);
  void DrawXp(const DRAWITEMSTRUCT& request, const CIconMenuItem& record);
  void DrawEmbossed(HDC dc, HIMAGELIST list, int index, int x, int y, COLORREF background) const;

  std::vector<CIconMenuItem*> items_;
  std::vector<HMENU> subMenus_;
  int iconWidth_ = 16;
  int iconHeight_ = 15;
  COLORREF bitmapBackground_ = RGB(192, 192, 192);
  bool bitmapBackgroundSet_ = false;
  int disabledImageSwitch_ = 0;
  CImageList* checkMarks_ = nullptr;
  bool checkMarksShared_ = false;
  int checkMarkNormal_ = -1;
  int checkMarkSelected_ = -1;
  bool loadedFromResource_ = false;
};
