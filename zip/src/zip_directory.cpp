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

DWORD CZipDirectory::FindEndRecord() {
  CZipLargeFile& file = m_storage.File();
  const ULONGLONG length = file.GetLength();
  const DWORD window = (DWORD)std::min<ULONGLONG>(length, kLongestEnd);
  CZipBuffer tail;
  tail.Allocate(window);
  file.Seek(length - window, CFile::begin);
  m_storage.Read(tail.GetBuffer(), window, TRUE);
  for (DWORD i = window >= 4 ? window - 4 + 1 : 0; i-- > 0;)
    if (ZipDword(tail.GetBuffer() + i) == kEndSignature) return (DWORD)(length - window + i);
  m_storage.ThrowError(ZIP_CDIRNOTFOUND);
}

void CZipDirectory::Read() {
  const ULONGLONG recordPosition = FindEndRecord();
  BYTE record[kEndSize];
  m_storage.File().Seek(recordPosition, CFile::begin);
  m_storage.Read(record, kEndSize, TRUE);
  const WORD thisDisk = ZipWord(record + 4);
  const WORD directoryDisk = ZipWord(record + 6);
  const WORD totalEntries = ZipWord(record + 10);
  const DWORD directorySize = ZipDword(record + 12);
  const DWORD directoryOffset = ZipDword(record + 16);
  const WORD commentLength = ZipWord(record + 20);

  m_storage.SetSpanMode(thisDisk);
  const bool spanned = m_storage.IsSpanned() != 0;
  if (!spanned && recordPosition < (ULONGLONG)directoryOffset + directorySize)
    m_storage.ThrowError(ZIP_BADZIPFILE);
  CZipBuffer comment;
  comment.Allocate(commentLength);
  m_storage.Read(comment.GetBuffer(), commentLength, TRUE);
  m_bytesBefore = spanned ? 0 : (DWORD)(recordPosition - directoryOffset - directorySize);
  // Every central header takes at least 46 bytes.
  if ((directorySize == 0) != (totalEntries == 0) || (ULONGLONG)totalEntries * 46 > directorySize)
    m_storage.ThrowError(ZIP_BADZIPFILE);

  m_storage.ChangeDisk(directoryDisk);
  m_headers.clear();
  if (totalEntries == 0) return;
  m_storage.File().Seek((ULONGLONG)directoryOffset + m_bytesBefore, CFile::begin);
  m_headers.reserve(totalEntries);
  DWORD left = directorySize;
  for (WORD i = 0; i < totalEntries; ++i) {
    m_headers.emplace_back();
    left -= m_headers.back().Read(m_storage, left);
  }
  CheckEntriesApart();
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
  m_headers.clear();
  m_localExtra.Release();
  m_bytesBefore = 0;
}

void CZipDirectory::OpenEntry(int index) {
  const CZipEntryHeader& central = m_headers[index];
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

void CZipDirectory::CheckDataDescriptor(int index) {
  const CZipEntryHeader& central = m_headers[index];
  if (!central.HasDataDescriptor()) return;
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
