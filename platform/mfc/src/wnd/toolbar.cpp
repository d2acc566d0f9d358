// The toolbar control's wrapper and the framework's toolbar loaded from resources.
#include <algorithm>
#include <vector>

#include "mfc/afxext.h"

IMPLEMENT_DYNAMIC(CToolBarCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolBar, CToolBarCtrl)

// ---- CToolBarCtrl -------------------------------------------------------------------------------

BOOL CToolBarCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  if (!CWnd::Create(TOOLBARCLASSNAME, nullptr, dwStyle, rect, pParentWnd, nID)) return FALSE;
  SetButtonStructSize(sizeof(TBBUTTON));
  return TRUE;
}

int CToolBarCtrl::AddBitmap(int nNumButtons, UINT nBitmapID) {
  TBADDBITMAP add{AfxGetResourceHandle(), nBitmapID};
  return int(SendMessage(TB_ADDBITMAP, WPARAM(nNumButtons), reinterpret_cast<LPARAM>(&add)));
}

int CToolBarCtrl::AddBitmap(int nNumButtons, CBitmap* pBitmap) {
  TBADDBITMAP add{nullptr, reinterpret_cast<UINT_PTR>(pBitmap ? pBitmap->m_hObject : nullptr)};
  return int(SendMessage(TB_ADDBITMAP, WPARAM(nNumButtons), reinterpret_cast<LPARAM>(&add)));
}

// ---- CToolBar -----------------------------------------------------------------------------------

namespace {

// The module holding a resource: the resource module first, then the program.
HMODULE ModuleWith(LPCTSTR name, LPCTSTR type) {
  HMODULE module = AfxGetResourceHandle();
  if (FindResourceA(module, name, type)) return module;
  module = GetModuleHandleA(nullptr);
  return FindResourceA(module, name, type) ? module : nullptr;
}

}  // namespace

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
  barStyle_ = dwStyle & CBRS_ALL;
  return CToolBarCtrl::Create(dwStyle & ~CBRS_ALL, CRect(0, 0, 0, 0), pParentWnd, nID);
}

BOOL CToolBar::LoadToolBar(LPCTSTR lpszResourceName) {
  HMODULE module = ModuleWith(lpszResourceName, RT_TOOLBAR);
  if (!module) return FALSE;
  HRSRC found = FindResourceA(module, lpszResourceName, RT_TOOLBAR);
  const auto* words = static_cast<const WORD*>(LockResource(LoadResource(module, found)));
  const DWORD size = SizeofResource(module, found);
  if (!words || size < 4 * sizeof(WORD) || words[0] != 1) return FALSE;
  const int width = words[1], height = words[2], count = words[3];
  if (size < (4 + size_t(count)) * sizeof(WORD)) return FALSE;
  const std::vector<UINT> ids(words + 4, words + 4 + count);
  if (!SetButtons(ids.data(), count)) return FALSE;
  SendMessage(TB_SETIMAGELIST, 0, 0);  // images of the old size would keep the new one out
  SetSizes(CSize(width + 7, height + 7), CSize(width, height));
  return LoadBitmap(lpszResourceName);
}

BOOL CToolBar::LoadBitmap(LPCTSTR lpszResourceName) {
  HMODULE module = ModuleWith(lpszResourceName, RT_BITMAP);
  if (!module) return FALSE;
  HBITMAP bitmap = CreateMappedBitmap(module, reinterpret_cast<INT_PTR>(lpszResourceName), 0, nullptr, 0);
  if (!bitmap) return FALSE;
  SendMessage(TB_SETIMAGELIST, 0, 0);  // the bar's own list, if any, goes
  TBADDBITMAP add{nullptr, reinterpret_cast<UINT_PTR>(bitmap)};
  const int first = int(SendMessage(TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&add)));
  ::DeleteObject(bitmap);
  return first >= 0;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount) {
  while (SendMessage(TB_DELETEBUTTON, 0)) {
  }
  std::vector<TBBUTTON> buttons(size_t(std::max(nIDCount, 0)));
  int image = 0;
  for (size_t i = 0; i < buttons.size(); ++i) {
    TBBUTTON& b = buttons[i];
    if (lpIDArray && lpIDArray[i] != ID_SEPARATOR) {
      b.idCommand = int(lpIDArray[i]);
      b.iBitmap = image++;
      b.fsState = TBSTATE_ENABLED;
      b.fsStyle = TBSTYLE_BUTTON;
    } else {
      b.fsStyle = TBSTYLE_SEP;
    }
  }
  return buttons.empty() || AddButtons(int(buttons.size()), buttons.data());
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage) {
  SetBitmapSize(sizeImage);
  SetButtonSize(sizeButton);
}

UINT CToolBar::GetItemID(int nIndex) const {
  TBBUTTON button{};
  if (!GetButton(nIndex, &button) || (button.fsStyle & TBSTYLE_SEP)) return ID_SEPARATOR;
  return UINT(button.idCommand);
}
