#pragma once
// The central directory of an open archive: the end record and one header per entry, in
// central-directory order (an entry's index is its position).
#include <vector>

#include "zip/zip_entry_header.h"

class CZipVolumeStorage;

class CZipDirectory {
 public:
  // The end of central directory record as read.
  struct EndRecord {
    WORD thisDisk = 0;
    WORD directoryDisk = 0;  // the disk that holds the central directory
    WORD entriesOnDisk = 0;
    WORD totalEntries = 0;
    DWORD directorySize = 0;
    DWORD directoryOffset = 0;
  };

  explicit CZipDirectory(CZipVolumeStorage& storage) : m_storage(storage) {}
  CZipDirectory(const CZipDirectory&) = delete;
  CZipDirectory& operator=(const CZipDirectory&) = delete;

  // Finds the end record and reads every central header; throws when the archive is damaged.
  void Read();
  void Clear();

  int GetCount() const { return (int)m_headers.size(); }
  const CZipEntryHeader& GetHeader(int index) const { return m_headers[index]; }
  // A copy of entry index's header with its name converted, whether or not the names were
  // converted as they were read.
  void GetFileInfo(CZipEntryHeader& header, int index) const;
  const EndRecord& GetEndRecord() const { return m_endRecord; }
  const CZipBuffer& GetComment() const { return m_comment; }
  // Where the end record starts in the file.
  ULONGLONG GetRecordPosition() const { return m_recordPosition; }
  // The bytes in front of the archive in its file (a self-extracting stub); 0 when spanned.
  DWORD GetBytesBefore() const { return m_bytesBefore; }

  // On (the default), names are converted as the headers are read: from the OEM code page to the
  // ANSI one, with backslashes between folders. Off, the headers keep the names as stored.
  void SetConvertNames(BOOL convert) { m_convertNames = convert; }
  BOOL GetConvertNames() const { return m_convertNames; }

  // Checks entry index's local header against its central header and leaves the storage at the
  // entry's data; keeps the local extra field, and the entry is the current one. Throws when they
  // disagree.
  void OpenEntry(int index);
  // The header of the open entry, or NULL.
  const CZipEntryHeader* GetCurrent() const { return m_current; }
  // Checks the data descriptor that follows the current entry's data, when it has one.
  void CheckDataDescriptor();
  // No entry is current any more.
  void CloseEntry();

 private:
  // Where the end record starts in the file; throws when there is none.
  ULONGLONG FindEndRecord();
  void ReadHeaders();
  // Throws when the data of two entries overlaps.
  void CheckEntriesApart() const;

  CZipVolumeStorage& m_storage;
  EndRecord m_endRecord;
  CZipBuffer m_comment;
  ULONGLONG m_recordPosition = 0;
  DWORD m_bytesBefore = 0;
  std::vector<CZipEntryHeader> m_headers;
  const CZipEntryHeader* m_current = nullptr;
  CZipBuffer m_localExtra;
  BOOL m_convertNames = TRUE;
  // The end record is looked for in windows of this many bytes from the end.
  const DWORD m_searchBufferSize = 32768;
};
