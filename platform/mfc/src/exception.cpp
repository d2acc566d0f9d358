#include <cstring>

#include "mfc/afx.h"
#include "mfc/afxwnd.h"

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)
IMPLEMENT_DYNAMIC(CInvalidArgException, CException)

namespace {

BOOL CopyMessage(LPCTSTR text, LPTSTR lpszError, UINT nMaxError) {
  if (!lpszError || nMaxError == 0) return FALSE;
  size_t n = std::strlen(text);
  if (n >= nMaxError) n = nMaxError - 1;
  std::memcpy(lpszError, text, n);
  lpszError[n] = '\0';
  return TRUE;
}

}  // namespace

CException::CException(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete) {}

void CException::Delete() {
  if (m_bAutoDelete) delete this;
}

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  if (lpszError && nMaxError > 0) *lpszError = '\0';
  return FALSE;
}

int CException::ReportError(UINT nType, UINT nMessageID) {
  char text[512];
  if (GetErrorMessage(text, sizeof text)) return AfxMessageBox(text, nType);
  if (nMessageID) return AfxMessageBox(nMessageID, nType);
  return AfxMessageBox("No error message is available.", nType);
}

BOOL CMemoryException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  return CopyMessage("Out of memory.", lpszError, nMaxError);
}

BOOL CNotSupportedException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  return CopyMessage("An unsupported operation was attempted.", lpszError, nMaxError);
}

BOOL CInvalidArgException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  return CopyMessage("Encountered an improper argument.", lpszError, nMaxError);
}

void AfxThrowMemoryException() {
  // Out of memory there may be no memory for a new exception: throw one that lives for good.
  static CMemoryException s_exception(FALSE);
  throw &s_exception;
}

void AfxThrowNotSupportedException() { throw new CNotSupportedException; }

void AfxThrowInvalidArgException() { throw new CInvalidArgException; }
