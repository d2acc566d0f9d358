#pragma once
// The central-directory header of one archive entry.
#include "mfc/afx.h"
#include "zip/zip_buffer.h"

class CZipVolumeStorage;

class CZipEntryHeader {
 public:
  // Reads one central header at the storage's position; throws when it is damaged or would reach
  // past the `available` bytes left in the central directory. Returns the bytes it took.
  DWORD Read(CZipVolumeStorage& storage, DWORD available);
  // Turns the name as stored into the form the rest of the system cuts paths at: from the OEM
  // code page to the ANSI one, with backslashes between folders.
  void ConvertName();

  BOOL IsEncrypted() const { return (m_flags & 1) != 0; }
  BOOL HasDataDescriptor() const { return (m_flags & 8) != 0; }
  // A folder by its attribute or, for archives that leave the attribute out, by a trailing slash.
  BOOL IsDirectory() const;
  // The name (ANSI text with backslashes between folders once converted).
  CString GetFileName() const;
  // The modification time (local MS-DOS date and time) as UTC; FALSE when the stored date is not
  // a valid date.
  BOOL GetModificationTime(FILETIME* utc) const;

  DWORD m_signature = 0;
  WORD m_versionMadeBy = 0;
  WORD m_versionNeeded = 0;
  WORD m_flags = 0;
  WORD m_method = 8;
  WORD m_modTime = 0;
  WORD m_modDate = 0;
  DWORD m_crc32 = 0;
  DWORD m_compressedSize = 0;
  DWORD m_uncompressedSize = 0;
  WORD m_diskStart = 0;
  WORD m_internalAttr = 0;
  DWORD m_externalAttr = 0x20;  // the archive attribute
  DWORD m_localOffset = 0;
  CZipBuffer m_name;
  CZipBuffer m_extra;
  CZipBuffer m_comment;
};
