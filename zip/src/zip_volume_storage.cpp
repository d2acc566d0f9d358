#include "zip/zip_volume_storage.h"

#include <algorithm>

#include "zip/zip_exception.h"

namespace {

const UINT kOpenFlags = CFile::modeRead | CFile::shareDenyWrite;

void OpenOrThrow(CZipLargeFile& file, LPCTSTR path) {
  CFileException error;
  if (!file.Open(path, kOpenFlags, &error))
    AfxThrowFileException(error.m_cause, error.m_lOsError, path);
}

}  // namespace

void CZipVolumeStorage::Open(LPCTSTR path) {
  OpenOrThrow(m_file, path);
  m_archivePath = path;
  m_spanned = false;
  m_currentDisk = 0;
  m_lastDisk = 0;
}

void CZipVolumeStorage::SetSpanMode(int lastDisk) {
  m_spanned = lastDisk > 0;
  m_currentDisk = lastDisk;
  m_lastDisk = lastDisk;
}

void CZipVolumeStorage::ChangeDisk(int disk) {
  if (!m_spanned || disk == m_currentDisk) return;
  if (disk < 0 || disk > m_lastDisk) ThrowError(ZIP_BADZIPFILE);
  // The last volume is the file that was opened; the others sit beside it as title.000, .001, ...
  CString path = m_archivePath;
  if (disk != m_lastDisk) {
    const int folderEnd = std::max(path.ReverseFind('\\'), path.ReverseFind('/')) + 1;
    const int dot = path.ReverseFind('.');
    if (dot >= folderEnd) path = path.Left(dot);
    CString extension;
    extension.Format(".%.3d", disk);
    path += extension;
  }
  m_file.Abort();
  m_currentDisk = -1;
  OpenOrThrow(m_file, path);
  m_currentDisk = disk;
}

void CZipVolumeStorage::Read(void* buffer, DWORD count, BOOL stay) {
  if (count == 0) return;
  BYTE* bytes = static_cast<BYTE*>(buffer);
  DWORD got = m_file.Read(bytes, count);
  while (got == 0) {
    if (!m_spanned || m_currentDisk >= m_lastDisk) ThrowError(ZIP_BADZIPFILE);
    ChangeDisk(m_currentDisk + 1);
    got = m_file.Read(bytes, count);
  }
  while (got < count && m_spanned && !stay && m_currentDisk < m_lastDisk) {
    ChangeDisk(m_currentDisk + 1);
    const DWORD more = m_file.Read(bytes + got, count - got);
    if (more == 0) break;
    got += more;
  }
  if (got < count) ThrowError(ZIP_BADZIPFILE);
}

void CZipVolumeStorage::Close() {
  if (m_file.m_hFile != CFile::hFileNull) m_file.Abort();
  m_archivePath.Empty();
  m_spanned = false;
  m_currentDisk = -1;
  m_lastDisk = 0;
}

CString CZipVolumeStorage::GetFilePath() const {
  return m_currentDisk == -1 ? CString() : m_file.GetFilePath();
}

void CZipVolumeStorage::ThrowError(int code) const { ThrowZipError(code, GetFilePath()); }
