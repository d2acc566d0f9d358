#pragma once
// Errors of the zip reader: thrown by pointer as CZipException; whoever catches one calls Delete().
#include "mfc/afx.h"

// Internal result codes of the reader. zlib's own codes (1, 2, -1 to -6) pass through as they are.
enum : int {
  ZIP_BADZIPFILE = -101,   // damaged archive or unsupported method
  ZIP_BADCRC = -102,       // CRC-32 of an extracted entry does not match
  ZIP_BADPASSWORD = -108,  // wrong password for an encrypted entry
  ZIP_CDIRNOTFOUND = -109  // end-of-central-directory record not found
};

class CZipException : public CException {
  DECLARE_DYNAMIC(CZipException)

 public:
  // Cause codes seen by callers. zlib's codes map to 2..9 (Z_STREAM_END 2, Z_NEED_DICT 3, Z_ERRNO 4,
  // Z_STREAM_ERROR 5, Z_DATA_ERROR 6, Z_MEM_ERROR 7, Z_BUF_ERROR 8, Z_VERSION_ERROR 9) and the
  // reader's -101..-109 to 10..18.
  enum {
    generic = 1,
    dataError = 6,
    badZipFile = 10,
    badCrc = 11,
    badPassword = 17,
    cdirNotFound = 18
  };

  CZipException(int cause, LPCTSTR archivePath);

  // The cause code for an internal result code; 1 (generic) for codes without one.
  static int CauseFromCode(int code);

  int m_cause;
  CString m_archivePath;  // empty when no archive was open
};

// Creates the exception for an internal code and throws it.
[[noreturn]] void ThrowZipError(int code, LPCTSTR archivePath);
