#include <cstring>

#include "mfc/afx.h"

IMPLEMENT_DYNAMIC(CFileException, CException)

CFileException::CFileException(int cause, LONG lOsError, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszArchiveName) {}

BOOL CFileException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  if (!lpszError || nMaxError == 0) return FALSE;
  static const char* const kTexts[] = {
      "No error occurred while accessing %s.",
      "An unspecified error occurred while accessing %s.",
      "%s was not found.",
      "%s contains an invalid path.",
      "%s could not be opened because there are too many open files.",
      "Access to %s was denied.",
      "An invalid file handle was associated with %s.",
      "%s could not be removed because it is the current directory.",
      "%s could not be created because the directory is full.",
      "Seek failed on %s.",
      "A hardware I/O error was reported while accessing %s.",
      "A sharing violation occurred while accessing %s.",
      "A locking violation occurred while accessing %s.",
      "Disk full while accessing %s.",
      "An attempt was made to access %s past its end.",
  };
  int cause = m_cause >= none && m_cause <= endOfFile ? m_cause : genericException;
  CString text;
  text.Format(kTexts[cause], m_strFileName.IsEmpty() ? "an unnamed file" : m_strFileName.GetString());
  int n = text.GetLength() < static_cast<int>(nMaxError) ? text.GetLength() : static_cast<int>(nMaxError) - 1;
  memcpy(lpszError, text.GetString(), n);
  lpszError[n] = '\0';
  return TRUE;
}

int PASCAL CFileException::OsErrorToException(LONG lOsError) {
  switch (lOsError) {
    case NO_ERROR:
      return none;
    case ERROR_FILE_NOT_FOUND:
      return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
      return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
      return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case ERROR_DIR_NOT_EMPTY:
      return accessDenied;
    case ERROR_INVALID_HANDLE:
      return invalidFile;
    case ERROR_CURRENT_DIRECTORY:
      return removeCurrentDir;
    case ERROR_CANNOT_MAKE:
      return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
      return badSeek;
    case ERROR_NOT_READY:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
      return hardIO;
    case ERROR_SHARING_VIOLATION:
      return sharingViolation;
    case ERROR_LOCK_VIOLATION:
      return lockViolation;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
      return diskFull;
    case ERROR_HANDLE_EOF:
      return endOfFile;
    default:
      return genericException;
  }
}

void PASCAL CFileException::ThrowOsError(LONG lOsError, LPCTSTR lpszFileName) {
  if (lOsError != NO_ERROR) AfxThrowFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

void AfxThrowFileException(int cause, LONG lOsError, LPCTSTR lpszFileName) {
  throw new CFileException(cause, lOsError, lpszFileName);
}
