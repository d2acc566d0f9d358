// Device context wrappers.
#include "handle_maps.h"
#include "mfc/afxwin.h"

namespace {

mfc::HandleMap<CDC, HDC>& DcMap() { return mfc::ThreadHandleMap<CDC, HDC>(); }

}  // namespace

IMPLEMENT_DYNCREATE(CDC, CObject)

HDC AfxDCHandle(const CDC* pDC) { return pDC ? pDC->m_hDC : nullptr; }

CDC::~CDC() {
  if (m_hDC) ::DeleteDC(Detach());
}

CDC* CDC::FromHandle(HDC hDC) {
  return DcMap().FromHandle(hDC, [](HDC handle) {
    CDC* dc = new CDC;
    dc->m_hDC = dc->m_hAttribDC = handle;
    return dc;
  });
}

void CDC::DeleteTempMap() {
  DcMap().DeleteTemp([](CDC& dc) { dc.m_hDC = dc.m_hAttribDC = nullptr; });
}

BOOL CDC::Attach(HDC hDC) {
  if (!hDC || m_hDC) return FALSE;
  m_hDC = m_hAttribDC = hDC;
  DcMap().SetPermanent(hDC, this);
  return TRUE;
}

HDC CDC::Detach() {
  HDC handle = m_hDC;
  if (handle) DcMap().RemoveHandle(handle);
  m_hDC = m_hAttribDC = nullptr;
  return handle;
}

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  return ::DeleteDC(Detach());
}

CPoint CDC::SetBrushOrg(int x, int y) {
  POINT old{0, 0};
  ::SetBrushOrgEx(m_hDC, x, y, &old);
  return old;
}

CPoint CDC::GetBrushOrg() const {
  POINT p{0, 0};
  ::GetBrushOrgEx(m_hDC, &p);
  return p;
}

CPoint CDC::GetWindowOrg() const {
  POINT p{0, 0};
  ::GetWindowOrgEx(m_hDC, &p);
  return p;
}

CPoint CDC::SetWindowOrg(int x, int y) {
  POINT old{0, 0};
  ::SetWindowOrgEx(m_hDC, x, y, &old);
  return old;
}

CPoint CDC::OffsetWindowOrg(int nWidth, int nHeight) {
  POINT old{0, 0};
  ::OffsetWindowOrgEx(m_hDC, nWidth, nHeight, &old);
  return old;
}

CPoint CDC::GetViewportOrg() const {
  POINT p{0, 0};
  ::GetViewportOrgEx(m_hDC, &p);
  return p;
}

CPoint CDC::SetViewportOrg(int x, int y) {
  POINT old{0, 0};
  ::SetViewportOrgEx(m_hDC, x, y, &old);
  return old;
}

CPoint CDC::OffsetViewportOrg(int nWidth, int nHeight) {
  POINT old{0, 0};
  ::OffsetViewportOrgEx(m_hDC, nWidth, nHeight, &old);
  return old;
}

CSize CDC::GetWindowExt() const {
  SIZE s{0, 0};
  ::GetWindowExtEx(m_hDC, &s);
  return s;
}

CSize CDC::SetWindowExt(int cx, int cy) {
  SIZE old{0, 0};
  ::SetWindowExtEx(m_hDC, cx, cy, &old);
  return old;
}

CSize CDC::GetViewportExt() const {
  SIZE s{0, 0};
  ::GetViewportExtEx(m_hDC, &s);
  return s;
}

CSize CDC::SetViewportExt(int cx, int cy) {
  SIZE old{0, 0};
  ::SetViewportExtEx(m_hDC, cx, cy, &old);
  return old;
}

CPoint CDC::MoveTo(int x, int y) {
  POINT old{0, 0};
  ::MoveToEx(m_hDC, x, y, &old);
  return old;
}

CPoint CDC::GetCurrentPosition() const {
  POINT p{0, 0};
  ::GetCurrentPositionEx(m_hDC, &p);
  return p;
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
  ::SetBkColor(m_hDC, clr);
  ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
  RECT r{x, y, x + cx, y + cy};
  FillSolidRect(&r, clr);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight) {
  Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, clrTopLeft,
             clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight) {
  FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
  FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
  FillSolidRect(x + cx, y, -1, cy, clrBottomRight);
  FillSolidRect(x, y + cy, cx, -1, clrBottomRight);
}

CSize CDC::GetTextExtent(LPCTSTR lpszString, int nCount) const {
  SIZE s{0, 0};
  ::GetTextExtentPoint32A(m_hDC, lpszString, nCount, &s);
  return s;
}

int CDC::GetTextFace(CString& rString) const {
  char face[LF_FACESIZE];
  int n = ::GetTextFaceA(m_hDC, LF_FACESIZE, face);
  rString = n ? face : "";
  return n;
}
