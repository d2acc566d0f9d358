#pragma once
// What the file services report about a file, read with statx so that the birth time is known
// where the file system keeps one.
#include <sys/types.h>
#include <time.h>

#include <cstdint>
#include <string>

#include "win32/wintypes.h"

namespace win32 {

struct FileInfo {
  mode_t mode = 0;
  uint64_t size = 0;
  FILETIME creationTime{};
  FILETIME lastAccessTime{};
  FILETIME lastWriteTime{};
};

// Follow symbolic links; false with errno set on failure.
bool StatPath(const std::string& posixPath, FileInfo& info);
bool StatDescriptor(int fd, FileInfo& info);

// Read-only is the absence of the owner's write permission on a file that is not a folder.
bool IsReadOnlyFile(mode_t mode);
DWORD AttributesOf(const FileInfo& info);

// 100-nanosecond intervals since 1601-01-01 UTC and POSIX times.
uint64_t TicksOf(const FILETIME& fileTime);
FILETIME FileTimeOfTicks(uint64_t ticks);
FILETIME FileTimeOfTimespec(const timespec& ts);
timespec TimespecOfFileTime(const FILETIME& fileTime);

}  // namespace win32
