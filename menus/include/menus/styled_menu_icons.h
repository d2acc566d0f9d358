#pragma once
// Icon stores of the styled menus: image lists of menu icons that menus share through reference
// counts. Every icon occupies three images: the icon itself at 3 n, a darkened copy at 3 n + 1
// and a greyed copy at 3 n + 2.
#include <vector>

#include "mfc/afxwin.h"

class CStyledMenuIcons : public CObject {
  DECLARE_DYNAMIC(CStyledMenuIcons)
 public:
  CStyledMenuIcons();
  ~CStyledMenuIcons() override;

  // 3 x the position of the command's icon (searching from the end), -1 when absent.
  virtual int FindIndex(UINT commandId) const;
  // Reloads the bitmap and makes the derived images again for the new system colours.
  virtual void OnSysColorChange();
  // idList: bitmap id, width, height, then command ids ending with 0. 1 when an id was added.
  virtual BOOL LoadToolBar(const WORD* idList, COLORREF maskColour);
  // An RT_TOOLBAR resource and the bitmap of the same name. 1 when an id was taken.
  virtual BOOL LoadToolBar(LPCTSTR resourceName, HMODULE module);
  virtual BOOL DoMatch(const WORD* idList, COLORREF maskColour) const;
  virtual BOOL DoMatch(LPCTSTR resourceName, HMODULE module) const;
  // (Re)creates the image list at width x height and adds the bitmap's images. 0 when the bitmap
  // is missing.
  virtual BOOL LoadBitmap(int width, int height, LPCTSTR resourceName, HMODULE module);
  // The icon with every pixel darkened, appended (index -1) or put at index; the index, or -1
  // when the icon cannot be read.
  virtual int MakeDarkImage(HICON icon, int index);
  // The icon greyed and lightened towards the menu colour, appended or put at index.
  virtual int MakeGrayImage(HICON icon, int index);
  // Rebuilds the list as icon, dark image, grey image per icon. 0 when the list is empty.
  virtual BOOL MakeImages();

  // Both return the new count (0 for a null store); at 0 the store is deleted.
  static int AddRef(CStyledMenuIcons* store);
  static int Release(CStyledMenuIcons* store);

  CImageList& ImageList() { return imageList_; }
  const std::vector<UINT>& CommandIds() const { return commandIds_; }
  int ColourCount() const { return colourCount_; }
  void SetMaskColour(COLORREF maskColour) { maskColour_ = maskColour; }
  // Every store alive, oldest first.
  static const std::vector<CStyledMenuIcons*>& Stores();

 protected:
  bool HasName() const { return resourceName_ != nullptr; }
  void SetName(LPCTSTR resourceName);
  void AppendIcon(HICON icon);

  LPTSTR resourceName_ = nullptr;  // an owned copy, or a numeric id below 0x10000
  HMODULE module_ = nullptr;
  int colourCount_ = 0;
  COLORREF maskColour_ = CLR_NONE;
  CImageList imageList_;
  std::vector<UINT> commandIds_;
  int references_ = 0;
};

// A store built icon by icon from bitmaps and icon handles, each with its own mask colour.
class CStyledMenuBitmaps : public CStyledMenuIcons {
  DECLARE_DYNAMIC(CStyledMenuBitmaps)
 public:
  // The index of the added (or already stored) bitmap resource, -1 when it is missing or its
  // size differs from the list's.
  int Add(UINT bitmapId, COLORREF maskColour);
  // id non-zero and stored already: that icon is replaced.
  int Add(HICON icon, UINT id);
  int Add(CBitmap* bitmap, COLORREF maskColour);
  void OnSysColorChange() override;

 private:
  int AddBitmap(HBITMAP bitmap, COLORREF maskColour, UINT id);
  std::vector<COLORREF> maskColours_;  // CLR_NONE for icons
};
