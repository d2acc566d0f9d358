#include "zip/zip_reader.h"

#include <algorithm>
#include <cstring>

#include "zip_crypto.h"

namespace {

const DWORD kReadBufferSize = 16384;
const DWORD kEncryptionHeaderSize = 12;
const WORD kStored = 0;

// Only the low byte holds the platform's attributes; archives made elsewhere keep their own mode
// bits above it. The folder bit is not something a file can be given.
DWORD FileAttributesOf(const CZipEntryHeader& header) {
  const DWORD attributes = header.m_externalAttr & 0xFF & ~(DWORD)FILE_ATTRIBUTE_DIRECTORY;
  return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Whether an entry name stays inside the folder it is extracted to: no drive, no leading
// separator and no ".." component.
bool IsContainedName(const CString& name) {
  if (name.GetLength() >= 2 && name[1] == ':') return false;
  if (!name.IsEmpty() && IsSeparator(name[0])) return false;
  int start = 0;
  for (int i = 0; i <= name.GetLength(); ++i) {
    if (i == name.GetLength() || IsSeparator(name[i])) {
      if (i - start == 2 && name[start] == '.' && name[start + 1] == '.') return false;
      start = i + 1;
    }
  }
  return true;
}

// The part of a path up to and including its last separator.
CString FolderPart(const CString& path) {
  int i = path.GetLength();
  while (i > 0 && !IsSeparator(path[i - 1])) --i;
  return path.Left(i);
}

void TrimTrailingSeparators(CString& path) { path.TrimRight("\\/"); }

}  // namespace

CZipReader::CZipReader() : m_directory(m_storage) {}

CZipReader::~CZipReader() { Close(TRUE); }

BOOL CZipReader::Open(LPCTSTR path, int mode, int volumeSize) {
  if (!IsClosed() || (mode != zipOpen && mode != zipOpenReadOnly) || volumeSize != 0) return FALSE;
  m_password.Release();
  m_entryState = 0;
  m_storage.Open(path);
  try {
    m_directory.Read();
  } catch (...) {
    // The caller closes after an error, but a half-read archive must not look open either way.
    m_directory.Clear();
    m_storage.Close();
    throw;
  }
  return TRUE;
}

void CZipReader::Close(BOOL afterError) {
  if (!afterError && m_entryState) CloseEntry();
  ReleaseEntry();
  m_directory.Clear();
  m_storage.Close();
}

void CZipReader::SetPassword(LPCTSTR password) {
  const DWORD length = password ? (DWORD)strlen(password) : 0;
  m_password.Allocate(length);
  std::copy(password, password + length, m_password.GetBuffer());
}

int CZipReader::GetCount() const { return IsClosed() ? 0 : m_directory.GetCount(); }

BOOL CZipReader::GetFileInfo(CZipEntryHeader& header, WORD index) const {
  if (index >= GetCount()) return FALSE;
  m_directory.GetFileInfo(header, index);
  return TRUE;
}

BOOL CZipReader::IsFolder(WORD index) const {
  return index < GetCount() && m_directory.GetHeader(index).IsDirectory();
}

BOOL CZipReader::OpenEntry(WORD index) {
  if (index >= GetCount() || m_entryState) return FALSE;
  const CZipEntryHeader& header = m_directory.GetHeader(index);
  m_directory.OpenEntry(index);
  if (header.IsEncrypted() && m_password.IsEmpty()) {
    m_directory.CloseEntry();
    SetLastError(ERROR_INVALID_PASSWORD);
    return FALSE;
  }

  DWORD compressedSize = header.m_compressedSize;
  std::unique_ptr<CZipCrypto> crypto;
  if (header.IsEncrypted()) {
    if (compressedSize < kEncryptionHeaderSize) ThrowError(ZIP_BADZIPFILE);
    crypto = std::make_unique<CZipCrypto>();
    crypto->Init(m_password.GetBuffer(), m_password.GetSize());
    BYTE encryptionHeader[kEncryptionHeaderSize];
    m_storage.Read(encryptionHeader, kEncryptionHeaderSize, FALSE);
    crypto->Decrypt(encryptionHeader, kEncryptionHeaderSize);
    // The last byte repeats the high byte of the CRC-32, or of the time when the CRC-32 was not
    // known before the data was written.
    const BYTE check = header.HasDataDescriptor() ? HIBYTE(header.m_modTime) : HIBYTE(HIWORD(header.m_crc32));
    if (encryptionHeader[kEncryptionHeaderSize - 1] != check) ThrowError(ZIP_BADPASSWORD);
    compressedSize -= kEncryptionHeaderSize;
  }

  if (header.m_method == kStored) {
    // Stored data is exactly as long as the entry: anything else would leave reads waiting for
    // bytes that never come.
    if (compressedSize != header.m_uncompressedSize) ThrowError(ZIP_BADZIPFILE);
  } else {
    m_stream = z_stream{};
    const int result = inflateInit2(&m_stream, -MAX_WBITS);
    if (result != Z_OK) ThrowError(result);
    m_inflating = true;
    m_readBuffer.Allocate(kReadBufferSize);
  }
  // Data reaching past the end of a single-file archive is damaged before a byte is written.
  if (!m_storage.IsSpanned()) {
    CZipLargeFile& file = m_storage.File();
    if (file.GetPosition() + compressedSize > file.GetLength()) {
      ReleaseEntry();
      ThrowError(ZIP_BADZIPFILE);
    }
  }

  m_crypto = std::move(crypto);
  m_streamEnded = false;
  m_compressedLeft = compressedSize;
  m_uncompressedLeft = header.m_uncompressedSize;
  m_crc = crc32(0, Z_NULL, 0);
  m_entryState = -1;
  return TRUE;
}

void CZipReader::FillInput() {
  const DWORD count = std::min(kReadBufferSize, m_compressedLeft);
  m_storage.Read(m_readBuffer.GetBuffer(), count, FALSE);
  if (m_crypto) m_crypto->Decrypt(m_readBuffer.GetBuffer(), count);
  m_compressedLeft -= count;
  m_stream.next_in = m_readBuffer.GetBuffer();
  m_stream.avail_in = count;
}

DWORD CZipReader::ReadEntry(void* buffer, DWORD size) {
  if (!m_entryState || !buffer || !size) return 0;
  BYTE* out = static_cast<BYTE*>(buffer);
  const DWORD wanted = std::min(m_uncompressedLeft, size);

  if (!m_inflating) {
    m_storage.Read(out, wanted, FALSE);
    if (m_crypto) m_crypto->Decrypt(out, wanted);
    m_crc = crc32(m_crc, out, wanted);
    m_compressedLeft -= wanted;
    m_uncompressedLeft -= wanted;
    return wanted;
  }

  DWORD delivered = 0;
  while (!m_streamEnded) {
    // Once every byte the entry promises is out, inflate still runs to consume the end of the
    // stream; it gets a byte of room so that it is never called without output space, and any
    // byte it produces there means the data is longer than the entry says.
    const bool draining = m_uncompressedLeft == 0;
    if (delivered == wanted && !draining) break;
    if (m_stream.avail_in == 0) {
      if (m_compressedLeft == 0) {
        if (draining) break;
        ThrowError(ZIP_BADZIPFILE);  // the data ends before the entry does
      }
      FillInput();
    }
    BYTE spare;
    const DWORD room = draining ? 1 : wanted - delivered;
    m_stream.next_out = draining ? &spare : out + delivered;
    m_stream.avail_out = room;
    const int result = inflate(&m_stream, Z_SYNC_FLUSH);
    const DWORD produced = room - m_stream.avail_out;
    if (draining && produced) ThrowError(ZIP_BADZIPFILE);
    m_crc = crc32(m_crc, out + delivered, produced);
    delivered += produced;
    m_uncompressedLeft -= produced;
    if (result == Z_STREAM_END) {
      if (m_uncompressedLeft) ThrowError(ZIP_BADZIPFILE);  // the stream ends early
      m_streamEnded = true;
    } else if (result != Z_OK) {
      ThrowError(result);
    }
  }
  return delivered;
}

int CZipReader::CloseEntry(LPCTSTR path, BOOL afterError) {
  if (!m_entryState) return closeNothingOpen;
  // The entry is released however this ends.
  struct Release {
    CZipReader* reader;
    ~Release() { reader->ReleaseEntry(); }
  } release{this};

  const CZipEntryHeader& header = *m_directory.GetCurrent();
  if (afterError) return closeOk;
  // Ended early on purpose: nothing to check, and the descriptor is not where the reads stopped.
  const bool readWhole = m_uncompressedLeft == 0;
  if (readWhole && m_crc != header.m_crc32) ThrowError(ZIP_BADCRC);
  int result = readWhole ? closeOk : closeIncomplete;
  // The file gets its time and attributes before the descriptor is checked, so a damaged
  // descriptor does not leave a complete file without them.
  if (path) {
    const int status = RestoreFileStatus(path, header);
    if (status != closeOk) result = status;
  }
  if (readWhole) {
    // Bytes after the end of the deflated stream lie between the data and its descriptor.
    while (m_compressedLeft) FillInput();
    m_directory.CheckDataDescriptor();
  }
  return result;
}

int CZipReader::CloseEntry(CFile& file) {
  const CString path = file.GetFilePath();
  file.Close();
  return CloseEntry(path, FALSE);
}

int CZipReader::RestoreFileStatus(LPCTSTR path, const CZipEntryHeader& header) {
  FILETIME modified;
  // An entry without a valid date (some writers store 0) keeps the time of its extraction.
  if (header.GetModificationTime(&modified)) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    HANDLE file = CreateFile(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return closeNothingOpen;
    const BOOL timeSet = SetFileTime(file, &now, &now, &modified);
    CloseHandle(file);
    if (!timeSet) return closeNothingOpen;
  }
  return SetFileAttributes(path, FileAttributesOf(header)) ? closeOk : closeAttributesFailed;
}

void CZipReader::ReleaseEntry() {
  if (m_inflating) inflateEnd(&m_stream);
  m_inflating = false;
  m_readBuffer.Release();
  m_crypto.reset();
  m_entryState = 0;
  m_directory.CloseEntry();
}

BOOL CZipReader::ExtractEntry(WORD index, LPCTSTR folder, BOOL fullPath, LPCTSTR newName,
                              ZipProgressCallback callback, void* userData, DWORD bufferSize) {
  CZipEntryHeader header;
  if (!folder || !bufferSize || !GetFileInfo(header, index)) return FALSE;
  const CString name = newName ? CString(newName) : header.GetFileName();
  const CString relative = fullPath ? name : name.Mid(FolderPart(name).GetLength());
  if (!IsContainedName(relative)) {
    SetLastError(ERROR_BAD_PATHNAME);
    return FALSE;
  }
  CString target = folder;
  TrimTrailingSeparators(target);
  target += '\\';
  target += relative;

  if (header.IsDirectory()) {
    if (!ForceDirectory(target)) return FALSE;
    SetFileAttributes(target, FileAttributesOf(header));
    return TRUE;
  }

  if (!OpenEntry(index)) return FALSE;
  BOOL complete = TRUE;
  try {
    ForceDirectory(FolderPart(target));
    CFile file(target, CFile::modeWrite | CFile::modeCreate | CFile::shareDenyWrite);
    CZipBuffer buffer;
    buffer.Allocate(bufferSize);
    DWORD written = 0;
    DWORD n;
    do {
      n = ReadEntry(buffer.GetBuffer(), bufferSize);
      if (n) {
        file.Write(buffer.GetBuffer(), n);
        written += n;
        if (callback && !callback(header.m_uncompressedSize, written, userData)) {
          complete = FALSE;
          break;
        }
      }
    } while (n == bufferSize);
    return CloseEntry(file) == closeOk && complete;
  } catch (...) {
    CloseEntry(NULL, TRUE);
    throw;
  }
}

BOOL CZipReader::ForceDirectory(LPCTSTR path) {
  CString folder = path;
  TrimTrailingSeparators(folder);
  // Walks down from the top, creating what is missing; a root ("", "C:") always exists.
  for (int end = 0; end <= folder.GetLength(); ++end) {
    if (end < folder.GetLength() && !IsSeparator(folder[end])) continue;
    const CString part = folder.Left(end);
    if (part.IsEmpty() || (part.GetLength() == 2 && part[1] == ':')) continue;
    const DWORD attributes = GetFileAttributes(part);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return FALSE;
      continue;
    }
    if (!CreateDirectory(part, NULL)) return FALSE;
  }
  return TRUE;
}
