#include <cstring>
#include <mutex>

#include "mfc/afx.h"

namespace {

// Registered class records, linked through m_pNextClass. Constant-initialised, so modules may
// register from their static constructors in any order.
std::mutex g_classLock;
const CRuntimeClass* g_firstClass = nullptr;

}  // namespace

const CRuntimeClass CObject::classCObject = {"CObject", (int)sizeof(CObject), 0xFFFF, NULL, NULL, NULL};
static const AFX_CLASSINIT _init_CObject(&CObject::classCObject);

CRuntimeClass* CObject::GetRuntimeClass() const { return RUNTIME_CLASS(CObject); }

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }

void CObject::AssertValid() const {}

void AfxAssertValidObject(const CObject* pOb, LPCSTR lpszFileName, int nLine) {
  if (!pOb) AfxAssertFailedLine(lpszFileName, nLine, "object pointer is not NULL");
  pOb->AssertValid();
}

CObject* CRuntimeClass::CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : NULL; }

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
  for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
    if (c == pBaseClass) return TRUE;
  return FALSE;
}

CRuntimeClass* PASCAL CRuntimeClass::FromName(LPCSTR lpszClassName) {
  if (!lpszClassName) return NULL;
  std::lock_guard<std::mutex> lock(g_classLock);
  for (const CRuntimeClass* c = g_firstClass; c; c = c->m_pNextClass)
    if (std::strcmp(c->m_lpszClassName, lpszClassName) == 0) return const_cast<CRuntimeClass*>(c);
  return NULL;
}

CObject* PASCAL CRuntimeClass::CreateObject(LPCSTR lpszClassName) {
  CRuntimeClass* c = FromName(lpszClassName);
  return c ? c->CreateObject() : NULL;
}

AFX_CLASSINIT::AFX_CLASSINIT(const CRuntimeClass* pNewClass) : m_pClass(pNewClass) {
  std::lock_guard<std::mutex> lock(g_classLock);
  pNewClass->m_pNextClass = g_firstClass;
  g_firstClass = pNewClass;
}

AFX_CLASSINIT::~AFX_CLASSINIT() {
  std::lock_guard<std::mutex> lock(g_classLock);
  for (const CRuntimeClass** link = &g_firstClass; *link; link = &(*link)->m_pNextClass) {
    if (*link == m_pClass) {
      *link = m_pClass->m_pNextClass;
      break;
    }
  }
}
