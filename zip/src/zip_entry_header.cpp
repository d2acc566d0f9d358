#include "zip/zip_entry_header.h"

#include <cstdint>
#include <cstring>
#include <ctime>

#include "zip/zip_exception.h"
#include "zip/zip_volume_storage.h"
#include "zip_bytes.h"

namespace {

const DWORD kCentralSignature = 0x02014b50;
const DWORD kCentralSize = 46;

void ReadField(CZipVolumeStorage& storage, CZipBuffer& field, WORD length) {
  field.Allocate(length);
  storage.Read(field.GetBuffer(), length, TRUE);
}

}  // namespace

DWORD CZipEntryHeader::Read(CZipVolumeStorage& storage, DWORD available) {
  BYTE raw[kCentralSize];
  if (available < kCentralSize) storage.ThrowError(ZIP_BADZIPFILE);
  storage.Read(raw, kCentralSize, TRUE);
  m_signature = ZipDword(raw);
  m_versionMadeBy = ZipWord(raw + 4);
  m_versionNeeded = ZipWord(raw + 6);
  m_flags = ZipWord(raw + 8);
  m_method = ZipWord(raw + 10);
  m_modTime = ZipWord(raw + 12);
  m_modDate = ZipWord(raw + 14);
  m_crc32 = ZipDword(raw + 16);
  m_compressedSize = ZipDword(raw + 20);
  m_uncompressedSize = ZipDword(raw + 24);
  const WORD nameLength = ZipWord(raw + 28);
  const WORD extraLength = ZipWord(raw + 30);
  const WORD commentLength = ZipWord(raw + 32);
  m_diskStart = ZipWord(raw + 34);
  m_internalAttr = ZipWord(raw + 36);
  m_externalAttr = ZipDword(raw + 38);
  m_localOffset = ZipDword(raw + 42);
  const DWORD total = kCentralSize + nameLength + extraLength + commentLength;
  if (m_signature != kCentralSignature || total > available) storage.ThrowError(ZIP_BADZIPFILE);

  ReadField(storage, m_name, nameLength);
  ReadField(storage, m_extra, extraLength);
  ReadField(storage, m_comment, commentLength);
  return total;
}

void CZipEntryHeader::ConvertName() {
  char* name = reinterpret_cast<char*>(m_name.GetBuffer());
  const DWORD length = m_name.GetSize();
  if (length) OemToCharBuff(name, name, length);
  for (DWORD i = 0; i < length; ++i)
    if (name[i] == '/') name[i] = '\\';
}

BOOL CZipEntryHeader::IsDirectory() const {
  if (m_externalAttr & FILE_ATTRIBUTE_DIRECTORY) return TRUE;
  const DWORD length = m_name.GetSize();
  // Names not yet converted still end in a slash.
  return length > 0 && (m_name.GetBuffer()[length - 1] == '\\' || m_name.GetBuffer()[length - 1] == '/');
}

CString CZipEntryHeader::GetFileName() const {
  // Platform paths end at a zero byte; a name must not say more than the path it becomes.
  if (m_name.IsEmpty()) return CString();
  const char* name = reinterpret_cast<const char*>(m_name.GetBuffer());
  return CString(name, (int)strnlen(name, m_name.GetSize()));
}

BOOL CZipEntryHeader::GetModificationTime(FILETIME* utc) const {
  FILETIME local;
  SYSTEMTIME st;
  if (!DosDateTimeToFileTime(m_modDate, m_modTime, &local) || !FileTimeToSystemTime(&local, &st)) return FALSE;
  // The offset in force on the entry's own date: a summer date read in winter still gets summer
  // time. The system's time zone rules decide daylight saving.
  std::tm calendar{};
  calendar.tm_year = st.wYear - 1900;
  calendar.tm_mon = st.wMonth - 1;
  calendar.tm_mday = st.wDay;
  calendar.tm_hour = st.wHour;
  calendar.tm_min = st.wMinute;
  calendar.tm_sec = st.wSecond;
  calendar.tm_isdst = -1;
  const std::time_t seconds = std::mktime(&calendar);
  if (seconds == std::time_t(-1)) return FALSE;
  constexpr uint64_t kSecondsFrom1601To1970 = 11644473600ULL;
  const uint64_t ticks = (uint64_t(seconds) + kSecondsFrom1601To1970) * 10000000ULL;
  utc->dwLowDateTime = DWORD(ticks);
  utc->dwHighDateTime = DWORD(ticks >> 32);
  return TRUE;
}
