#include "conversion/flv_temporary_file.h"

#include <cstdlib>
#include <ctime>

#include "engine/flv_metadata.h"
#include "win32/windows.h"

namespace {

constexpr int kAttempts = 100;

}  // namespace

bool FlvTemporaryFile::Create() {
  Discard();
  char folder[MAX_PATH + 1] = {};
  const DWORD length = GetTempPath(MAX_PATH, folder);
  if (length == 0 || length > MAX_PATH) return false;
  CString base(folder);
  // The folder comes with its separator; the name is joined with one.
  if (base.Right(1) == "\\" || base.Right(1) == "/") base = base.Left(base.GetLength() - 1);
  srand(unsigned(time(nullptr)));
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    CString name;
    name.Format("%s\\%xxd", static_cast<LPCTSTR>(base), rand() % 10000);
    HANDLE file = CreateFile(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      path_ = name;
      return true;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  return false;
}

void FlvTemporaryFile::Finish(const CString& outputFile, bool aborted) {
  if (!Pending()) return;
  if (!InjectFlvMetadata(path_, outputFile) && !aborted && FlvHoldsMediaTag(path_) &&
      MoveFileEx(path_, outputFile, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
    path_.Empty();
  Discard();
}

void FlvTemporaryFile::Discard() {
  if (!Pending()) return;
  DeleteFile(path_);
  path_.Empty();
}

bool FlvHoldsMediaTag(const CString& path) {
  HANDLE file = CreateFile(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  // The header, the first back-pointer and the first tag's header.
  uint8_t start[9 + 4 + 11] = {};
  DWORD read = 0;
  const bool whole = ReadFile(file, start, sizeof start, &read, nullptr) && read == sizeof start;
  LARGE_INTEGER size{};
  const bool sized = GetFileSizeEx(file, &size);
  CloseHandle(file);
  if (!whole || !sized || start[0] != 'F' || start[1] != 'L' || start[2] != 'V') return false;
  const uint32_t headerSize = uint32_t(start[5]) << 24 | uint32_t(start[6]) << 16 | uint32_t(start[7]) << 8 | start[8];
  if (headerSize != 9) return false;
  const uint8_t* tag = start + 13;
  const uint8_t type = tag[0] & 0x1F;
  const uint64_t dataSize = uint64_t(tag[1]) << 16 | uint64_t(tag[2]) << 8 | tag[3];
  return (type == 8 || type == 9) && dataSize > 0 && uint64_t(size.QuadPart) >= 13 + 11 + dataSize;
}
