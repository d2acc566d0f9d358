#include <cstring>

#include "mfc/afx.h"
#include "path_parts.h"

IMPLEMENT_DYNAMIC(CFileFind, CObject)

CFileFind::CFileFind() : m_hContext(INVALID_HANDLE_VALUE), m_found{}, m_next{}, m_bHaveFound(FALSE), m_bHaveNext(FALSE) {}

CFileFind::~CFileFind() { Close(); }

void CFileFind::Close() {
  if (m_hContext != INVALID_HANDLE_VALUE) FindClose(m_hContext);
  m_hContext = INVALID_HANDLE_VALUE;
  m_bHaveFound = FALSE;
  m_bHaveNext = FALSE;
  m_strRoot.Empty();
}

BOOL CFileFind::FindFile(LPCTSTR pstrName, DWORD) {
  Close();
  if (!pstrName) pstrName = "*.*";
  m_hContext = FindFirstFile(pstrName, &m_next);
  if (m_hContext == INVALID_HANDLE_VALUE) return FALSE;
  m_bHaveNext = TRUE;
  // The folder of the pattern, as a full path, prefixes every found name.
  CString pattern(pstrName);
  int cut = std::max(pattern.ReverseFind('\\'), pattern.ReverseFind('/'));
  CString folder = cut < 0 ? CString(".") : pattern.Left(cut + 1);
  DWORD needed = GetFullPathName(folder, 0, NULL, NULL);
  if (needed) {
    DWORD n = GetFullPathName(folder, needed, m_strRoot.GetBuffer(static_cast<int>(needed)), NULL);
    m_strRoot.ReleaseBuffer(n < needed ? static_cast<int>(n) : 0);
  }
  m_strRoot.TrimRight("\\/");
  return TRUE;
}

BOOL CFileFind::FindNextFile() {
  if (!m_bHaveNext) return FALSE;
  m_found = m_next;
  m_bHaveFound = TRUE;
  m_bHaveNext = ::FindNextFile(m_hContext, &m_next);
  return m_bHaveNext;
}

CString CFileFind::GetFileName() const { return m_bHaveFound ? CString(m_found.cFileName) : CString(); }

CString CFileFind::GetFilePath() const {
  if (!m_bHaveFound) return CString();
  return m_strRoot + '\\' + m_found.cFileName;
}

CString CFileFind::GetFileTitle() const { return mfc::FileTitlePart(GetFileName()); }

CString CFileFind::GetRoot() const { return m_strRoot; }

ULONGLONG CFileFind::GetLength() const {
  return m_bHaveFound ? (static_cast<ULONGLONG>(m_found.nFileSizeHigh) << 32) | m_found.nFileSizeLow : 0;
}

BOOL CFileFind::GetLastWriteTime(FILETIME* pTimeStamp) const {
  if (!m_bHaveFound || !pTimeStamp) return FALSE;
  *pTimeStamp = m_found.ftLastWriteTime;
  return TRUE;
}

BOOL CFileFind::GetLastWriteTime(CTime& refTime) const {
  if (!m_bHaveFound) return FALSE;
  refTime = CTime(m_found.ftLastWriteTime);
  return TRUE;
}

BOOL CFileFind::GetCreationTime(CTime& refTime) const {
  if (!m_bHaveFound) return FALSE;
  refTime = CTime(m_found.ftCreationTime);
  return TRUE;
}

BOOL CFileFind::GetLastAccessTime(CTime& refTime) const {
  if (!m_bHaveFound) return FALSE;
  refTime = CTime(m_found.ftLastAccessTime);
  return TRUE;
}

BOOL CFileFind::IsDots() const {
  return m_bHaveFound && IsDirectory() &&
         (std::strcmp(m_found.cFileName, ".") == 0 || std::strcmp(m_found.cFileName, "..") == 0);
}

BOOL CFileFind::MatchesMask(DWORD dwMask) const { return m_bHaveFound && (m_found.dwFileAttributes & dwMask) != 0; }
