#include <cstring>

#include "mfc/afx.h"
#include "path_parts.h"
#include "time_convert.h"

IMPLEMENT_DYNAMIC(CFile, CObject)

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

namespace {

[[noreturn]] void ThrowLastError(const CString& fileName) {
  LONG error = static_cast<LONG>(GetLastError());
  AfxThrowFileException(CFileException::OsErrorToException(error), error, fileName);
}

// The full platform path of a name, or an empty string when it cannot be formed.
CString FullPath(LPCTSTR lpszFileName) {
  DWORD needed = GetFullPathName(lpszFileName, 0, NULL, NULL);
  if (needed == 0) return CString();
  CString full;
  DWORD n = GetFullPathName(lpszFileName, needed, full.GetBuffer(static_cast<int>(needed)), NULL);
  full.ReleaseBuffer(n < needed ? static_cast<int>(n) : 0);
  return full;
}

}  // namespace

CFile::CFile() : m_hFile(hFileNull), m_bCloseOnDelete(FALSE) {}

CFile::CFile(HANDLE hFile) : m_hFile(hFile), m_bCloseOnDelete(FALSE) {}

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) : m_hFile(hFileNull), m_bCloseOnDelete(FALSE) {
  CFileException error;
  if (!Open(lpszFileName, nOpenFlags, &error))
    AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile() {
  if (m_hFile != hFileNull && m_bCloseOnDelete) Abort();
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  auto fail = [&](int cause, LONG osError) {
    if (pError) {
      pError->m_cause = cause;
      pError->m_lOsError = osError;
      pError->m_strFileName = lpszFileName;
    }
    return FALSE;
  };
  if (m_hFile != hFileNull) return fail(CFileException::genericException, ERROR_INVALID_HANDLE);
  if (!lpszFileName || !*lpszFileName) return fail(CFileException::badPath, ERROR_PATH_NOT_FOUND);

  CString full = FullPath(lpszFileName);
  if (full.IsEmpty()) return fail(CFileException::badPath, ERROR_BAD_PATHNAME);

  DWORD access;
  switch (nOpenFlags & 3) {
    case modeRead:
      access = GENERIC_READ;
      break;
    case modeWrite:
      access = GENERIC_WRITE;
      break;
    case modeReadWrite:
      access = GENERIC_READ | GENERIC_WRITE;
      break;
    default:
      return fail(CFileException::genericException, ERROR_INVALID_PARAMETER);
  }
  DWORD share;
  switch (nOpenFlags & 0x70) {
    case shareDenyWrite:
      share = FILE_SHARE_READ;
      break;
    case shareDenyRead:
      share = FILE_SHARE_WRITE;
      break;
    case shareDenyNone:
      share = FILE_SHARE_READ | FILE_SHARE_WRITE;
      break;
    default:  // shareCompat, shareExclusive
      share = 0;
      break;
  }
  DWORD disposition = OPEN_EXISTING;
  if (nOpenFlags & modeCreate) disposition = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

  HANDLE h = CreateFile(lpszFileName, access, share, NULL, disposition, FILE_ATTRIBUTE_NORMAL, NULL);
  if (h == INVALID_HANDLE_VALUE) {
    LONG error = static_cast<LONG>(GetLastError());
    return fail(CFileException::OsErrorToException(error), error);
  }
  m_hFile = h;
  m_bCloseOnDelete = TRUE;
  m_strFileName = full;
  return TRUE;
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
  if (nCount == 0) return 0;
  DWORD read = 0;
  if (!ReadFile(m_hFile, lpBuf, nCount, &read, NULL)) ThrowLastError(m_strFileName);
  return read;
}

void CFile::Write(const void* lpBuf, UINT nCount) {
  if (nCount == 0) return;
  DWORD written = 0;
  if (!WriteFile(m_hFile, lpBuf, nCount, &written, NULL)) ThrowLastError(m_strFileName);
  if (written < nCount) AfxThrowFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName);
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
  if (nFrom > end) AfxThrowFileException(CFileException::badSeek, ERROR_INVALID_PARAMETER, m_strFileName);
  LARGE_INTEGER distance;
  distance.QuadPart = lOff;
  LARGE_INTEGER position;
  if (!SetFilePointerEx(m_hFile, distance, &position, nFrom)) ThrowLastError(m_strFileName);
  return static_cast<ULONGLONG>(position.QuadPart);
}

void CFile::SeekToBegin() { Seek(0, begin); }

ULONGLONG CFile::SeekToEnd() { return Seek(0, end); }

ULONGLONG CFile::GetLength() const {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(m_hFile, &size)) ThrowLastError(m_strFileName);
  return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::SetLength(ULONGLONG dwNewLen) {
  Seek(static_cast<LONGLONG>(dwNewLen), begin);
  if (!SetEndOfFile(m_hFile)) ThrowLastError(m_strFileName);
}

ULONGLONG CFile::GetPosition() const {
  LARGE_INTEGER zero;
  zero.QuadPart = 0;
  LARGE_INTEGER position;
  if (!SetFilePointerEx(m_hFile, zero, &position, FILE_CURRENT)) ThrowLastError(m_strFileName);
  return static_cast<ULONGLONG>(position.QuadPart);
}

void CFile::Flush() {
  if (m_hFile == hFileNull) return;
  if (!FlushFileBuffers(m_hFile)) ThrowLastError(m_strFileName);
}

void CFile::Close() {
  BOOL failed = FALSE;
  if (m_hFile != hFileNull) failed = !CloseHandle(m_hFile);
  m_hFile = hFileNull;
  m_bCloseOnDelete = FALSE;
  if (failed) ThrowLastError(m_strFileName);
}

void CFile::Abort() {
  if (m_hFile != hFileNull) CloseHandle(m_hFile);
  m_hFile = hFileNull;
  m_bCloseOnDelete = FALSE;
}

BOOL CFile::GetStatus(CFileStatus& rStatus) const {
  rStatus = CFileStatus{};
  std::strncpy(rStatus.m_szFullName, m_strFileName, MAX_PATH - 1);
  if (m_hFile == hFileNull) return FALSE;
  FILETIME created, accessed, written;
  if (!GetFileTime(m_hFile, &created, &accessed, &written)) return FALSE;
  rStatus.m_ctime = CTime(created);
  rStatus.m_atime = CTime(accessed);
  rStatus.m_mtime = CTime(written);
  LARGE_INTEGER size;
  if (!GetFileSizeEx(m_hFile, &size)) return FALSE;
  rStatus.m_size = static_cast<ULONGLONG>(size.QuadPart);
  if (!m_strFileName.IsEmpty()) {
    DWORD attributes = GetFileAttributes(m_strFileName);
    if (attributes != INVALID_FILE_ATTRIBUTES) rStatus.m_attribute = static_cast<BYTE>(attributes & ~FILE_ATTRIBUTE_NORMAL);
  }
  return TRUE;
}

BOOL PASCAL CFile::GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus) {
  rStatus = CFileStatus{};
  if (!lpszFileName || !*lpszFileName) return FALSE;
  CString full = FullPath(lpszFileName);
  if (full.IsEmpty()) return FALSE;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesEx(lpszFileName, GetFileExInfoStandard, &data)) return FALSE;
  std::strncpy(rStatus.m_szFullName, full, MAX_PATH - 1);
  rStatus.m_attribute = static_cast<BYTE>(data.dwFileAttributes & ~FILE_ATTRIBUTE_NORMAL);
  rStatus.m_size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  rStatus.m_ctime = CTime(data.ftCreationTime);
  rStatus.m_atime = CTime(data.ftLastAccessTime);
  rStatus.m_mtime = CTime(data.ftLastWriteTime);
  return TRUE;
}

void PASCAL CFile::SetStatus(LPCTSTR lpszFileName, const CFileStatus& status) {
  DWORD current = GetFileAttributes(lpszFileName);
  if (current == INVALID_FILE_ATTRIBUTES) ThrowLastError(lpszFileName);
  DWORD wanted = status.m_attribute;
  // A read-only file must lose that attribute before its times can be written.
  if (wanted != current && (current & FILE_ATTRIBUTE_READONLY)) {
    if (!SetFileAttributes(lpszFileName, wanted)) ThrowLastError(lpszFileName);
  }
  if (status.m_mtime.GetTime() != 0) {
    FILETIME written = mfc::FileTimeFromTime(status.m_mtime.GetTime());
    FILETIME accessed = mfc::FileTimeFromTime(status.m_atime.GetTime());
    FILETIME created = mfc::FileTimeFromTime(status.m_ctime.GetTime());
    HANDLE h = CreateFile(lpszFileName, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE) ThrowLastError(lpszFileName);
    BOOL ok = SetFileTime(h, status.m_ctime.GetTime() ? &created : NULL, status.m_atime.GetTime() ? &accessed : NULL,
                          &written);
    DWORD error = GetLastError();
    CloseHandle(h);
    if (!ok) AfxThrowFileException(CFileException::OsErrorToException(error), error, lpszFileName);
  }
  if (wanted != current && !(current & FILE_ATTRIBUTE_READONLY)) {
    if (!SetFileAttributes(lpszFileName, wanted)) ThrowLastError(lpszFileName);
  }
}

void PASCAL CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName) {
  if (!MoveFile(lpszOldName, lpszNewName)) ThrowLastError(lpszOldName);
}

void PASCAL CFile::Remove(LPCTSTR lpszFileName) {
  if (!DeleteFile(lpszFileName)) ThrowLastError(lpszFileName);
}

CString CFile::GetFilePath() const { return m_strFileName; }

CString CFile::GetFileName() const { return mfc::FileNamePart(m_strFileName); }

CString CFile::GetFileTitle() const { return mfc::FileTitlePart(m_strFileName); }

void CFile::SetFilePath(LPCTSTR lpszNewName) { m_strFileName = lpszNewName; }
