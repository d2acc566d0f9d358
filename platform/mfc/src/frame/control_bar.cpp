// Control bars and the dock bar.
#include "mfc/afxframe.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)
IMPLEMENT_DYNAMIC(CDockBar, CControlBar)

void CControlBar::DrawBorders(CDC* pDC, CRect& rect) {
  const DWORD borders = m_dwStyle & CBRS_BORDER_ANY;
  if (!borders) return;
  // A light line on the top and left edges, a shadow on the bottom and right ones.
  const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
  if (borders & CBRS_BORDER_TOP) {
    pDC->FillSolidRect(rect.left, rect.top, rect.Width(), 1, light);
    ++rect.top;
  }
  if (borders & CBRS_BORDER_LEFT) {
    pDC->FillSolidRect(rect.left, rect.top, 1, rect.Height(), light);
    ++rect.left;
  }
  if (borders & CBRS_BORDER_BOTTOM) {
    pDC->FillSolidRect(rect.left, rect.bottom - 1, rect.Width(), 1, shadow);
    --rect.bottom;
  }
  if (borders & CBRS_BORDER_RIGHT) {
    pDC->FillSolidRect(rect.right - 1, rect.top, 1, rect.Height(), shadow);
    --rect.right;
  }
}

BOOL CDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
  m_dwStyle = dwStyle & (CBRS_ALIGN_ANY | CBRS_BORDER_ANY);
  // Docked bars are laid out by the frame: the dock bar starts empty along its side.
  RECT side{0, 0, 0, 0};
  if (pParentWnd) {
    RECT client{};
    pParentWnd->GetClientRect(&client);
    side = (dwStyle & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)) ? RECT{0, 0, 0, client.bottom} : RECT{0, 0, client.right, 0};
  }
  const DWORD windowStyle = (dwStyle & 0xFFFF0000u) | WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  return CWnd::CreateEx(0, nullptr, nullptr, windowStyle, side, pParentWnd, nID);
}
