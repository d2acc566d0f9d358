#pragma once
// The bytes under the zip reader: one archive file, or the volume files of a spanned archive
// (title.000, title.001, ..., and the file opened, which holds the central directory).
#include "zip/zip_large_file.h"

class CZipVolumeStorage {
 public:
  CZipVolumeStorage() = default;
  CZipVolumeStorage(const CZipVolumeStorage&) = delete;
  CZipVolumeStorage& operator=(const CZipVolumeStorage&) = delete;

  // Opens the archive read-only, denying writes to others; failure throws CFileException.
  void Open(LPCTSTR path);
  // Takes the disk number of the end record: above 0 the archive is spanned and that disk is the
  // last volume, the one already open.
  void SetSpanMode(int lastDisk);
  // Moves to volume n (zero-based); nothing when not spanned or already there. A volume beyond
  // the last is a damaged archive; a volume file that cannot be opened throws CFileException.
  void ChangeDisk(int disk);
  // Reads exactly count bytes or throws a damaged-archive error. With stay = FALSE a read that runs
  // off the end of a volume continues in the next one.
  void Read(void* buffer, DWORD count, BOOL stay);
  void Close();

  // 0 not spanned, -1 spanned (read).
  int IsSpanned() const { return m_spanned ? -1 : 0; }
  int GetCurrentDisk() const { return m_currentDisk; }
  BOOL IsClosed() const { return m_currentDisk == -1; }
  // The path of the file now open, for error reports; empty when closed.
  CString GetFilePath() const;
  // The file of the current volume, for seeking and its length.
  CZipLargeFile& File() { return m_file; }

  [[noreturn]] void ThrowError(int code) const;

 private:
  CZipLargeFile m_file;
  CString m_archivePath;  // as opened
  bool m_spanned = false;
  int m_currentDisk = -1;
  int m_lastDisk = 0;
};
