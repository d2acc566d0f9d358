#pragma once
// Reads zip archives (also spanned over volume files): lists the entries of the central directory
// and extracts them, stored or deflated, optionally protected by the traditional password scheme.
// Every failure of the archive is thrown as a CZipException (by pointer; the catcher calls
// Delete()) after which the caller closes the archive with Close(TRUE). Files that cannot be
// opened or written throw the framework's CFileException.
#include <zlib.h>

#include <memory>

#include "zip/zip_directory.h"
#include "zip/zip_exception.h"
#include "zip/zip_volume_storage.h"

class CZipCrypto;

// Progress of ExtractEntry: (entry's uncompressed size, bytes written so far, user data); FALSE
// stops the extraction.
typedef BOOL (*ZipProgressCallback)(DWORD total, DWORD written, void* userData);

class CZipReader {
 public:
  enum OpenMode { zipOpen = 0, zipOpenReadOnly = 1 };
  // CloseEntry results.
  enum { closeNothingOpen = 0, closeOk = 1, closeIncomplete = -1, closeAttributesFailed = -2 };

  CZipReader();
  ~CZipReader();
  CZipReader(const CZipReader&) = delete;
  CZipReader& operator=(const CZipReader&) = delete;

  // Opens an existing archive and reads its central directory (both modes open the file
  // read-only; volumeSize is 0 for reading). FALSE when an archive is already open or the mode
  // is not one of the reading modes; errors throw.
  BOOL Open(LPCTSTR path, int mode = zipOpen, int volumeSize = 0);
  BOOL IsClosed() const { return m_storage.IsClosed(); }
  // Drops the archive. With afterError FALSE an open entry is first closed with its checks
  // (which may throw); with TRUE everything is dropped without checks. Safe when closed.
  void Close(BOOL afterError = FALSE);

  // Only for encrypted entries; Open clears it.
  void SetPassword(LPCTSTR password);

  int GetCount() const;
  // Copies entry index's header; FALSE when closed or the index is out of range.
  BOOL GetFileInfo(CZipEntryHeader& header, WORD index) const;
  BOOL IsFolder(WORD index) const;

  // Opens an entry for reading. FALSE when the index is bad, another entry is open, or the entry
  // is encrypted and no password is set.
  BOOL OpenEntry(WORD index);
  // Up to size bytes of the open entry's data; 0 at its end or when nothing is open.
  DWORD ReadEntry(void* buffer, DWORD size);
  // Ends the open entry: checks its CRC-32 (throws on a mismatch) and data descriptor when all
  // its data was read, then, with a path, gives that file the entry's time and attributes. The
  // entry is released in every case. Returns one of the close* results (0 also when the file's
  // time could not be set).
  int CloseEntry(LPCTSTR path = NULL, BOOL afterError = FALSE);
  // Closes the target file first, then the entry, giving the file the entry's time and attributes.
  int CloseEntry(CFile& file);

  // Writes entry index to a file (or creates the folder) under folder: with fullPath the entry's
  // folders are kept and created, else only its file name is used. newName replaces the stored
  // name. TRUE when the entry was extracted whole and checked. A name that would land outside
  // the folder (a ".." component, an absolute name, a drive) is not extracted: FALSE with last
  // error ERROR_BAD_PATHNAME.
  BOOL ExtractEntry(WORD index, LPCTSTR folder, BOOL fullPath = TRUE, LPCTSTR newName = NULL,
                    ZipProgressCallback callback = NULL, void* userData = NULL,
                    DWORD bufferSize = 65535);

  // Creates a folder and every missing parent; TRUE when it exists afterwards.
  static BOOL ForceDirectory(LPCTSTR path);

 private:
  // Releases the open entry's buffers and inflate state and marks it closed.
  void ReleaseEntry();
  void FillInput();
  // Gives the extracted file the entry's modification time and attributes: closeOk,
  // closeNothingOpen when the time could not be written, closeAttributesFailed.
  static int RestoreFileStatus(LPCTSTR path, const CZipEntryHeader& header);
  [[noreturn]] void ThrowError(int code) const { m_storage.ThrowError(code); }

  CZipVolumeStorage m_storage;
  CZipDirectory m_directory;
  CZipBuffer m_password;

  // The open entry.
  int m_entryState = 0;  // 0 none, -1 open for reading
  CZipBuffer m_readBuffer;  // compressed input
  std::unique_ptr<CZipCrypto> m_crypto;
  z_stream m_stream{};
  bool m_inflating = false;
  bool m_streamEnded = false;
  DWORD m_compressedLeft = 0;
  DWORD m_uncompressedLeft = 0;
  DWORD m_crc = 0;
};
