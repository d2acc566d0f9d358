#include "zip/zip_directory.h"

#include <algorithm>

#include "zip/zip_exception.h"
#include "zip/zip_volume_storage.h"
#include "zip_bytes.h"

namespace {

const DWORD kEndSignature = 0x06054b50;
const DWORD kLocalSignature = 0x04034b50;
const DWORD kDescriptorSignature = 0x08074b50;
const DWORD kEndSize = 22;
const DWORD kLocalSize = 30;
const DWORD kLongestEnd = kEndSize + 0xFFFF;  // the record and the longest comment
const WORD kZip64Tag = 0x0001;

// The zip64 extended information of a local extra field (uncompressed then compressed size), or
// NULL when the field has none.
const BYTE* FindZip64Sizes(const CZipBuffer& extra) {
  const BYTE* p = extra.GetBuffer();
  DWORD pos = 0;
  while (pos + 4 <= extra.GetSize()) {
    const WORD tag = ZipWord(p + pos);
    const WORD size = ZipWord(p + pos + 2);
    if (pos + 4 + size > extra.GetSize()) break;
    if (tag == kZip64Tag && size >= 16) return p + pos + 4;
    pos += 4 + size;
  }
  return nullptr;
}

}  // namespace

ULONGLONG CZipDirectory::FindEndRecord() {
  CZipLargeFile& file = m_storage.File();
  const ULONGLONG length = file.GetLength();
  const DWORD searched = (DWORD)std::min<ULONGLONG>(length, kLongestEnd);
  CZipBuffer window;
  window.Allocate(m_searchBufferSize);
  // Windows from the end backwards; each overlaps the one before by three bytes, so a signature
  // cut by a window's edge is whole in the next.
  DWORD start = 0;  // bytes from the end where the window's end lies
  for (;;) {
    const DWORD end = std::min(start + m_searchBufferSize, searched);
    const DWORD size = end - start;
    file.Seek(length - end, CFile::begin);
    m_storage.Read(window.GetBuffer(), size, TRUE);
    for (DWORD i = size >= 4 ? size - 4 + 1 : 0; i-- > 0;)
      if (ZipDword(window.GetBuffer() + i) == kEndSignature) return length - end + i;
    if (end >= searched) break;
    start = end - 3;
  }
  m_storage.ThrowError(ZIP_CDIRNOTFOUND);
}

void CZipDirectory::Read() {
  m_recordPosition = FindEndRecord();
  BYTE record[kEndSize];
  m_storage.File().Seek(m_recordPosition, CFile::begin);
  m_storage.Read(record, kEndSize, TRUE);
  m_endRecord.thisDisk = ZipWord(record + 4);
  m_endRecord.directoryDisk = ZipWord(record + 6);
  m_endRecord.entriesOnDisk = ZipWord(record + 8);
  m_endRecord.totalEntries = ZipWord(record + 10);
  m_endRecord.directorySize = ZipDword(record + 12);
  m_endRecord.directoryOffset = ZipDword(record + 16);
  const WORD commentLength = ZipWord(record + 20);
  const EndRecord& e = m_endRecord;

  m_storage.SetSpanMode(e.thisDisk);
  const bool spanned = m_storage.IsSpanned() != 0;
  if (!spanned && m_recordPosition < (ULONGLONG)e.directoryOffset + e.directorySize)
    m_storage.ThrowError(ZIP_BADZIPFILE);
  m_comment.Allocate(commentLength);
  m_storage.Read(m_comment.GetBuffer(), commentLength, TRUE);
  m_bytesBefore = spanned ? 0 : (DWORD)(m_recordPosition - e.directoryOffset - e.directorySize);
  // Every central header takes at least 46 bytes.
  if ((e.directorySize == 0) != (e.totalEntries == 0) || (ULONGLONG)e.totalEntries * 46 > e.directorySize)
    m_storage.ThrowError(ZIP_BADZIPFILE);

  m_storage.ChangeDisk(e.directoryDisk);
  m_headers.clear();
  if (e.directorySize != 0) ReadHeaders();
}

void CZipDirectory::ReadHeaders() {
  m_storage.File().Seek((ULONGLONG)m_endRecord.directoryOffset + m_bytesBefore, CFile::begin);
  m_headers.clear();
  m_headers.reserve(m_endRecord.totalEntries);
  DWORD left = m_endRecord.directorySize;
  for (WORD i = 0; i < m_endRecord.totalEntries; ++i) {
    m_headers.emplace_back();
    left -= m_headers.back().Read(m_storage, left);
    if (m_convertNames) m_headers.back().ConvertName();
  }
  CheckEntriesApart();
}

void CZipDirectory::GetFileInfo(CZipEntryHeader& header, int index) const {
  header = m_headers[index];
  if (!m_convertNames) header.ConvertName();
}

void CZipDirectory::CheckEntriesApart() const {
  // Entries that share their data would let a small archive extract to any size.
  std::vector<const CZipEntryHeader*> order;
  order.reserve(m_headers.size());
  for (const CZipEntryHeader& header : m_headers) order.push_back(&header);
  std::sort(order.begin(), order.end(), [](const CZipEntryHeader* a, const CZipEntryHeader* b) {
    return a->m_diskStart != b->m_diskStart ? a->m_diskStart < b->m_diskStart : a->m_localOffset < b->m_localOffset;
  });
  for (size_t i = 1; i < order.size(); ++i) {
    const CZipEntryHeader& previous = *order[i - 1];
    const ULONGLONG previousEnd = (ULONGLONG)previous.m_localOffset + kLocalSize + previous.m_name.GetSize() +
                                  previous.m_compressedSize;
    if (order[i]->m_diskStart == previous.m_diskStart && order[i]->m_localOffset < previousEnd)
      m_storage.ThrowError(ZIP_BADZIPFILE);
  }
}

void CZipDirectory::Clear() {
  CloseEntry();
  m_headers.clear();
  m_endRecord = EndRecord();
  m_comment.Release();
  m_recordPosition = 0;
  m_bytesBefore = 0;
}

void CZipDirectory::OpenEntry(int index) {
  const CZipEntryHeader& central = m_headers[index];
  m_current = &central;
  m_storage.ChangeDisk(central.m_diskStart);
  m_storage.File().Seek((ULONGLONG)m_bytesBefore + central.m_localOffset, CFile::begin);
  BYTE local[kLocalSize];
  m_storage.Read(local, kLocalSize, TRUE);
  const WORD flags = ZipWord(local + 6);
  const WORD method = ZipWord(local + 8);
  DWORD crc = ZipDword(local + 14);
  ULONGLONG compressedSize = ZipDword(local + 18);
  ULONGLONG uncompressedSize = ZipDword(local + 22);
  const WORD nameLength = ZipWord(local + 26);
  const WORD extraLength = ZipWord(local + 28);
  if (ZipDword(local) != kLocalSignature || flags != central.m_flags || method != central.m_method ||
      (method != 0 && method != 8) || nameLength != central.m_name.GetSize())
    m_storage.ThrowError(ZIP_BADZIPFILE);

  CZipBuffer name;
  name.Allocate(nameLength);
  m_storage.Read(name.GetBuffer(), nameLength, TRUE);
  m_localExtra.Allocate(extraLength);
  m_storage.Read(m_localExtra.GetBuffer(), extraLength, TRUE);

  if (!central.HasDataDescriptor()) {
    // Large-file writers put 0xFFFFFFFF in the local sizes and the real ones in the extra field.
    const BYTE* zip64 = FindZip64Sizes(m_localExtra);
    if (zip64 && uncompressedSize == 0xFFFFFFFF && compressedSize == 0xFFFFFFFF) {
      uncompressedSize = ZipQword(zip64);
      compressedSize = ZipQword(zip64 + 8);
    }
    if (crc != central.m_crc32 || compressedSize != central.m_compressedSize ||
        uncompressedSize != central.m_uncompressedSize)
      m_storage.ThrowError(ZIP_BADZIPFILE);
  }
}

void CZipDirectory::CloseEntry() {
  m_current = nullptr;
  m_localExtra.Release();
}

void CZipDirectory::CheckDataDescriptor() {
  if (!m_current || !m_current->HasDataDescriptor()) return;
  const CZipEntryHeader& central = *m_current;
  // Writers of large files give 8-byte sizes; they mark such entries with a zip64 extra field.
  const DWORD fieldsSize = FindZip64Sizes(m_localExtra) ? 20 : 12;
  BYTE descriptor[24];
  m_storage.Read(descriptor, 4, FALSE);
  BYTE* fields = descriptor;
  if (ZipDword(descriptor) == kDescriptorSignature) {
    m_storage.Read(descriptor + 4, fieldsSize, FALSE);
    fields += 4;
  } else {
    m_storage.Read(descriptor + 4, fieldsSize - 4, FALSE);
  }
  const bool wide = fieldsSize == 20;
  const ULONGLONG compressedSize = wide ? ZipQword(fields + 4) : ZipDword(fields + 4);
  const ULONGLONG uncompressedSize = wide ? ZipQword(fields + 12) : ZipDword(fields + 8);
  if (ZipDword(fields) != central.m_crc32 || compressedSize != central.m_compressedSize ||
      uncompressedSize != central.m_uncompressedSize)
    m_storage.ThrowError(ZIP_BADZIPFILE);
}
