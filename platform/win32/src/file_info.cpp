#include "file_info.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "win32/winbase.h"

namespace win32 {
namespace {

constexpr int64_t kTicksPerSecond = 10000000;
constexpr int64_t kUnixEpochTicks = 116444736000000000LL;  // 1970-01-01 in ticks since 1601

FILETIME FileTimeOfStatx(const statx_timestamp& t) {
  timespec ts{static_cast<time_t>(t.tv_sec), static_cast<long>(t.tv_nsec)};
  return FileTimeOfTimespec(ts);
}

bool Fill(int dirFd, const char* path, int flags, FileInfo& info) {
  struct statx sx;
  if (statx(dirFd, path, flags, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0) return false;
  info.mode = sx.stx_mode;
  info.size = sx.stx_size;
  info.lastAccessTime = FileTimeOfStatx(sx.stx_atime);
  info.lastWriteTime = FileTimeOfStatx(sx.stx_mtime);
  info.creationTime = (sx.stx_mask & STATX_BTIME) ? FileTimeOfStatx(sx.stx_btime) : info.lastWriteTime;
  return true;
}

}  // namespace

bool StatPath(const std::string& posixPath, FileInfo& info) {
  return Fill(AT_FDCWD, posixPath.c_str(), 0, info);
}

bool StatDescriptor(int fd, FileInfo& info) { return Fill(fd, "", AT_EMPTY_PATH, info); }

bool IsReadOnlyFile(mode_t mode) { return !S_ISDIR(mode) && !(mode & S_IWUSR); }

DWORD AttributesOf(const FileInfo& info) {
  DWORD attributes = 0;
  if (S_ISDIR(info.mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if (IsReadOnlyFile(info.mode)) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

uint64_t TicksOf(const FILETIME& fileTime) {
  return (static_cast<uint64_t>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
}

FILETIME FileTimeOfTicks(uint64_t ticks) {
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

FILETIME FileTimeOfTimespec(const timespec& ts) {
  int64_t ticks = kUnixEpochTicks + static_cast<int64_t>(ts.tv_sec) * kTicksPerSecond + ts.tv_nsec / 100;
  return FileTimeOfTicks(ticks < 0 ? 0 : static_cast<uint64_t>(ticks));
}

timespec TimespecOfFileTime(const FILETIME& fileTime) {
  int64_t sinceUnix = static_cast<int64_t>(TicksOf(fileTime) & 0x7FFFFFFFFFFFFFFFULL) - kUnixEpochTicks;
  int64_t seconds = sinceUnix / kTicksPerSecond;
  int64_t rest = sinceUnix % kTicksPerSecond;
  if (rest < 0) {
    rest += kTicksPerSecond;
    --seconds;
  }
  return timespec{static_cast<time_t>(seconds), static_cast<long>(rest * 100)};
}

}  // namespace win32
