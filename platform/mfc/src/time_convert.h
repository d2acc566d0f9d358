#pragma once
// Between the C library's seconds since 1970 and the platform's FILETIME (100 ns since 1601, UTC).
#include "win32/windows.h"

namespace mfc {

constexpr int64_t kFileTimeEpochOffset = 116444736000000000LL;

inline int64_t TimeFromFileTime(const FILETIME& ft) {
  uint64_t ticks = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return (static_cast<int64_t>(ticks) - kFileTimeEpochOffset) / 10000000;
}

inline FILETIME FileTimeFromTime(int64_t time) {
  uint64_t ticks = static_cast<uint64_t>(time * 10000000 + kFileTimeEpochOffset);
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

}  // namespace mfc
