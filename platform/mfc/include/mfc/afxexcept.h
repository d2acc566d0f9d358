#pragma once
// Exceptions of the framework. They are thrown by pointer (throw new CFileException(...), or the
// AfxThrow functions) and the catcher ends them with Delete(), never with delete.
#include "mfc/afxobj.h"
#include "mfc/afxstr.h"

class CException : public CObject {
  DECLARE_DYNAMIC(CException)

 public:
  // bAutoDelete FALSE marks an exception that is not on the heap (Delete leaves it alone).
  explicit CException(BOOL bAutoDelete = TRUE);

  void Delete();
  // Copies the text describing the error into lpszError (at most nMaxError characters with the
  // terminator); FALSE when there is no text.
  virtual BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = NULL) const;
  // Reports the error to the user. There are no message boxes yet: the text goes to stderr and
  // the answer is IDOK (1).
  virtual int ReportError(UINT nType = 0, UINT nMessageID = 0);

  BOOL m_bAutoDelete;
};

class CMemoryException : public CException {
  DECLARE_DYNAMIC(CMemoryException)

 public:
  explicit CMemoryException(BOOL bAutoDelete = TRUE) : CException(bAutoDelete) {}
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = NULL) const override;
};

class CNotSupportedException : public CException {
  DECLARE_DYNAMIC(CNotSupportedException)

 public:
  explicit CNotSupportedException(BOOL bAutoDelete = TRUE) : CException(bAutoDelete) {}
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = NULL) const override;
};

class CInvalidArgException : public CException {
  DECLARE_DYNAMIC(CInvalidArgException)

 public:
  explicit CInvalidArgException(BOOL bAutoDelete = TRUE) : CException(bAutoDelete) {}
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = NULL) const override;
};

class CFileException : public CException {
  DECLARE_DYNAMIC(CFileException)

 public:
  enum {
    none,
    genericException,
    generic = genericException,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile
  };

  explicit CFileException(int cause = none, LONG lOsError = -1, LPCTSTR lpszArchiveName = NULL);

  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = NULL) const override;

  // The cause for a platform error code (GetLastError); ThrowOsError throws unless it is 0.
  static int PASCAL OsErrorToException(LONG lOsError);
  static void PASCAL ThrowOsError(LONG lOsError, LPCTSTR lpszFileName = NULL);

  int m_cause;
  LONG m_lOsError;
  CString m_strFileName;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowNotSupportedException();
[[noreturn]] void AfxThrowInvalidArgException();
[[noreturn]] void AfxThrowFileException(int cause, LONG lOsError = -1, LPCTSTR lpszFileName = NULL);
