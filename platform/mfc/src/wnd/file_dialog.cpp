#include <algorithm>
#include <cstring>

#include "mfc/afxwnd.h"

IMPLEMENT_DYNAMIC(CFileDialog, CDialog)

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : m_ofn{}, m_bOpenFileDialog(bOpenFileDialog), m_szFileName{} {
  m_pParentWnd = pParentWnd;
  m_ofn.lStructSize = sizeof m_ofn;
  m_ofn.lpstrFile = m_szFileName;
  m_ofn.nMaxFile = MAX_PATH;
  m_ofn.Flags = dwFlags | OFN_EXPLORER;
  if (lpszFileName) {
    std::strncpy(m_szFileName, lpszFileName, MAX_PATH - 1);
  }
  if (lpszDefExt) {
    m_strDefExt = lpszDefExt;
    m_ofn.lpstrDefExt = m_strDefExt.c_str();
  }
  if (lpszFilter) {
    m_strFilter = lpszFilter;
    std::replace(m_strFilter.begin(), m_strFilter.end(), '|', '\0');
    m_ofn.lpstrFilter = m_strFilter.c_str();
  }
}

INT_PTR CFileDialog::DoModal() {
  m_ofn.hwndOwner = m_pParentWnd ? ::GetAncestor(m_pParentWnd->GetSafeHwnd(), GA_ROOT) : nullptr;
  const BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileName(&m_ofn) : ::GetSaveFileName(&m_ofn);
  return chosen ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const { return CString(m_ofn.lpstrFile); }

POSITION CFileDialog::GetStartPosition() const {
  return m_ofn.lpstrFile && *m_ofn.lpstrFile ? reinterpret_cast<POSITION>(m_ofn.lpstrFile) : nullptr;
}

CString CFileDialog::GetNextPathName(POSITION& pos) const {
  const char* first = m_ofn.lpstrFile;
  const char* at = reinterpret_cast<const char*>(pos);
  if (!at) return CString();
  const char* afterFirst = first + std::strlen(first) + 1;
  // One file: the buffer holds its full path alone.
  if (!*afterFirst || !(m_ofn.Flags & OFN_ALLOWMULTISELECT)) {
    pos = nullptr;
    return CString(first);
  }
  if (at == first) at = afterFirst;
  CString path(first);
  if (path.Right(1) != "\\") path += '\\';
  path += at;
  const char* next = at + std::strlen(at) + 1;
  pos = *next ? reinterpret_cast<POSITION>(const_cast<char*>(next)) : nullptr;
  return path;
}
