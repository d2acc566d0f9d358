// Documents, views and the multiple-document template.
#include "mfc/afxframe.h"

IMPLEMENT_DYNCREATE(CDocument, CCmdTarget)
IMPLEMENT_DYNAMIC(CView, CWnd)
IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

BEGIN_MESSAGE_MAP(CView, CWnd)
  ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
  ON_WM_PAINT()
END_MESSAGE_MAP()

void CView::OnInitialUpdate() { Invalidate(); }

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM) {
  OnInitialUpdate();
  return 0;
}

void CView::OnPaint() {
  CPaintDC dc(this);
  OnDraw(&dc);
}

CMultiDocTemplate::CMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                     CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass) {
  if (!nIDResource) return;
  m_hMenuShared = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource));
  m_hAccelTable = ::LoadAcceleratorsA(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource));
}

CMultiDocTemplate::~CMultiDocTemplate() {
  if (m_hMenuShared) ::DestroyMenu(m_hMenuShared);
  if (m_hAccelTable) ::DestroyAcceleratorTable(m_hAccelTable);
}
