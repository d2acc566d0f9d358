#pragma once
// The central directory of an open archive: the end record and one header per entry, in
// central-directory order (an entry's index is its position).
#include <vector>

#include "zip/zip_entry_header.h"

class CZipVolumeStorage;

class CZipDirectory {
 public:
  explicit CZipDirectory(CZipVolumeStorage& storage) : m_storage(storage) {}
  CZipDirectory(const CZipDirectory&) = delete;
  CZipDirectory& operator=(const CZipDirectory&) = delete;

  // Finds the end record and reads every central header; throws when the archive is damaged.
  void Read();
  void Clear();

  int GetCount() const { return (int)m_headers.size(); }
  const CZipEntryHeader& GetHeader(int index) const { return m_headers[index]; }
  // The bytes in front of the archive in its file (a self-extracting stub); 0 when spanned.
  DWORD GetBytesBefore() const { return m_bytesBefore; }

  // Checks entry index's local header against its central header and leaves the storage at the
  // entry's data; keeps the local extra field. Throws when they disagree.
  void OpenEntry(int index);
  // Checks the data descriptor that follows the entry's data, when it has one.
  void CheckDataDescriptor(int index);

 private:
  // Where the end record starts in the file; throws when there is none.
  DWORD FindEndRecord();
  // Throws when the data of two entries overlaps.
  void CheckEntriesApart() const;

  CZipVolumeStorage& m_storage;
  DWORD m_bytesBefore = 0;
  std::vector<CZipEntryHeader> m_headers;
  CZipBuffer m_localExtra;
};
