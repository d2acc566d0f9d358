#pragma once
// The framework's toolbar: a toolbar control filled from a toolbar resource (RT_TOOLBAR: the
// words version 1, image width, image height and button count, then each button's command, 0 for
// a separator) and the bitmap of the same name, its greys turned into the button colours.
#include "mfc/afxcmn.h"
#include "mfc/afxframe.h"  // the bar styles

#define AFX_IDW_TOOLBAR 0xE800
#define ID_SEPARATOR 0

class CToolBar : public CToolBarCtrl {
  DECLARE_DYNAMIC(CToolBar)
 public:
  CToolBar() = default;
  // An empty child of pParentWnd, without a size until its owner lays it out.
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
  // Buttons (w + 7) x (h + 7) with images w x h, from the resource module, else the program.
  BOOL LoadToolBar(LPCTSTR lpszResourceName);
  BOOL LoadToolBar(UINT nIDResource) { return LoadToolBar(MAKEINTRESOURCE(nIDResource)); }
  // The images, replacing any the bar had.
  BOOL LoadBitmap(LPCTSTR lpszResourceName);
  // One button per command (ID_SEPARATOR: a separator), replacing the bar's buttons; the
  // buttons take the images in order.
  BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
  void SetSizes(SIZE sizeButton, SIZE sizeImage);
  CToolBarCtrl& GetToolBarCtrl() { return *this; }
  // The command of a button, ID_SEPARATOR for a separator.
  UINT GetItemID(int nIndex) const;
  DWORD GetBarStyle() const { return barStyle_; }

 private:
  DWORD barStyle_ = 0;
};
