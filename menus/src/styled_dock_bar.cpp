// The styled dock bar's painting.
#include "menus/styled_dock_bar.h"

IMPLEMENT_DYNCREATE(CStyledDockBar, CDockBar)

BEGIN_MESSAGE_MAP(CStyledDockBar, CDockBar)
  ON_WM_NCPAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

void CStyledDockBar::OnNcPaint() {
  CWindowDC dc(this);
  CRect window;
  GetWindowRect(&window);
  CRect client;
  GetClientRect(&client);
  ClientToScreen(&client);
  client.OffsetRect(-window.left, -window.top);
  window.OffsetRect(-window.left, -window.top);
  dc.ExcludeClipRect(&client);
  dc.IntersectClipRect(&window);
  SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC));
  DrawBorders(&dc, window);
}

BOOL CStyledDockBar::OnEraseBkgnd(CDC* pDC) {
  HWND parent = ::GetParent(m_hWnd);
  MENUINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIM_BACKGROUND;
  HMENU menu = parent ? ::GetMenu(parent) : nullptr;
  if (!menu || !::GetMenuInfo(menu, &info) || !info.hbrBack) return CDockBar::OnEraseBkgnd(pDC);
  // The pattern continues the menu bar's, which starts at the parent's left edge.
  CRect parentRect, barRect;
  ::GetWindowRect(parent, &parentRect);
  GetWindowRect(&barRect);
  CRect area;
  pDC->GetClipBox(&area);
  const CPoint origin = pDC->SetBrushOrg(parentRect.left - barRect.left, 0);
  ::FillRect(pDC->m_hDC, &area, info.hbrBack);
  pDC->SetBrushOrg(origin);
  return TRUE;
}
