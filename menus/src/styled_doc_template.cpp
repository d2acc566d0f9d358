// The multiple-document template with a styled shared menu.
#include "menus/styled_doc_template.h"

IMPLEMENT_DYNAMIC(CStyledMultiDocTemplate, CMultiDocTemplate)

CStyledMultiDocTemplate::CStyledMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass,
                                                 CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass)
    : CMultiDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass) {
  if (!nIDResource || !m_hMenuShared) return;
  sharedMenu_.LoadMenu(m_hMenuShared);
  sharedMenu_.LoadToolbar(nIDResource);
}

CStyledMultiDocTemplate::~CStyledMultiDocTemplate() {
  if (m_hMenuShared == sharedMenu_.m_hMenu) m_hMenuShared = nullptr;
}
