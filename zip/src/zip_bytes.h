#pragma once
// Little-endian fields of the archive's records.
#include "win32/windows.h"

inline WORD ZipWord(const BYTE* p) { return (WORD)(p[0] | (p[1] << 8)); }
inline DWORD ZipDword(const BYTE* p) { return (DWORD)p[0] | ((DWORD)p[1] << 8) | ((DWORD)p[2] << 16) | ((DWORD)p[3] << 24); }
inline ULONGLONG ZipQword(const BYTE* p) { return ZipDword(p) | ((ULONGLONG)ZipDword(p + 4) << 32); }
