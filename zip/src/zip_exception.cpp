#include "zip/zip_exception.h"

IMPLEMENT_DYNAMIC(CZipException, CException)

CZipException::CZipException(int cause, LPCTSTR archivePath)
    : m_cause(cause), m_archivePath(archivePath ? archivePath : "") {}

int CZipException::CauseFromCode(int code) {
  if (code == 1 || code == 2) return code + 1;
  if (code <= -1 && code >= -6) return 3 - code;
  if (code <= -101 && code >= -109) return -code - 91;
  return generic;
}

void ThrowZipError(int code, LPCTSTR archivePath) {
  throw new CZipException(CZipException::CauseFromCode(code), archivePath);
}
