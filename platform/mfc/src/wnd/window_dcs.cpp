// The window DCs: a client-area DC, a whole-window DC and the paint DC of WM_PAINT.
#include "mfc/afxwnd.h"

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(AfxHwnd(pWnd)) {
  if (!Attach(::GetDC(m_hWnd))) AfxThrowResourceException();
}

CClientDC::~CClientDC() { ::ReleaseDC(m_hWnd, Detach()); }

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(AfxHwnd(pWnd)) {
  if (!Attach(::GetWindowDC(m_hWnd))) AfxThrowResourceException();
}

CWindowDC::~CWindowDC() { ::ReleaseDC(m_hWnd, Detach()); }

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) {
  PAINTSTRUCT ps{};
  if (!Attach(::BeginPaint(m_hWnd, &ps))) AfxThrowResourceException();
}

CPaintDC::~CPaintDC() {
  // EndPaint needs the paint's DC; the rest of the paint structure is BeginPaint's report.
  PAINTSTRUCT ps{};
  ps.hdc = Detach();
  ::EndPaint(m_hWnd, &ps);
}
