#pragma once
// Kernel services: last error, files, file search, file mapping, folders, time, version, memory,
// events. Narrow text is UTF-8; every path accepts '\' and '/' and an optional drive letter.
#include <cstdarg>

#include "win32/wintypes.h"

// ---- Last error -----------------------------------------------------------------------------
DWORD GetLastError();
void SetLastError(DWORD errorCode);

// ---- Files ----------------------------------------------------------------------------------
typedef struct _SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *PSECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

// Asynchronous I/O is not offered: a non-null OVERLAPPED is refused with ERROR_INVALID_PARAMETER.
typedef struct _OVERLAPPED {
  ULONG_PTR Internal;
  ULONG_PTR InternalHigh;
  DWORD Offset;
  DWORD OffsetHigh;
  HANDLE hEvent;
} OVERLAPPED, *LPOVERLAPPED;

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define GENERIC_EXECUTE 0x20000000u
#define GENERIC_ALL 0x10000000u

#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define FILE_SHARE_DELETE 0x00000004

#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5

#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_SYSTEM 0x00000004
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)

#define FILE_FLAG_WRITE_THROUGH 0x80000000u
#define FILE_FLAG_RANDOM_ACCESS 0x10000000
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000
#define FILE_FLAG_DELETE_ON_CLOSE 0x04000000
#define FILE_FLAG_BACKUP_SEMANTICS 0x02000000

#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define INVALID_SET_FILE_POINTER ((DWORD)-1)
#define INVALID_FILE_SIZE ((DWORD)0xFFFFFFFF)

#define FILE_TYPE_UNKNOWN 0x0000
#define FILE_TYPE_DISK 0x0001
#define FILE_TYPE_CHAR 0x0002
#define FILE_TYPE_PIPE 0x0003

#define MOVEFILE_REPLACE_EXISTING 0x00000001
#define MOVEFILE_COPY_ALLOWED 0x00000002
#define MOVEFILE_WRITE_THROUGH 0x00000008

// Sharing modes are accepted but not enforced. FILE_ATTRIBUTE_READONLY of a new file becomes a
// mode without write permission; other attributes are ignored.
HANDLE CreateFile(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                  LPSECURITY_ATTRIBUTES securityAttributes, DWORD creationDisposition,
                  DWORD flagsAndAttributes, HANDLE templateFile);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
              LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
               LPOVERLAPPED overlapped);
DWORD SetFilePointer(HANDLE file, LONG distanceToMove, PLONG distanceToMoveHigh, DWORD moveMethod);
BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER distanceToMove, PLARGE_INTEGER newFilePointer,
                      DWORD moveMethod);
DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh);
BOOL GetFileSizeEx(HANDLE file, PLARGE_INTEGER fileSize);
DWORD GetFileType(HANDLE file);
BOOL FlushFileBuffers(HANDLE file);
BOOL SetEndOfFile(HANDLE file);
// Closes file, file-mapping and event handles.
BOOL CloseHandle(HANDLE object);

BOOL DeleteFile(LPCSTR fileName);
BOOL MoveFile(LPCSTR existingFileName, LPCSTR newFileName);
BOOL MoveFileEx(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags);
BOOL CopyFile(LPCSTR existingFileName, LPCSTR newFileName, BOOL failIfExists);
BOOL CreateDirectory(LPCSTR pathName, LPSECURITY_ATTRIBUTES securityAttributes);
BOOL RemoveDirectory(LPCSTR pathName);

typedef enum _GET_FILEEX_INFO_LEVELS { GetFileExInfoStandard, GetFileExMaxInfoLevel } GET_FILEEX_INFO_LEVELS;

typedef struct _WIN32_FILE_ATTRIBUTE_DATA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
} WIN32_FILE_ATTRIBUTE_DATA, *LPWIN32_FILE_ATTRIBUTE_DATA;

// Read-only is the absence of the owner's write permission. On folders it is reported but, as on
// the platform, never stops anything: setting it on a folder changes nothing.
DWORD GetFileAttributes(LPCSTR fileName);
BOOL GetFileAttributesEx(LPCSTR fileName, GET_FILEEX_INFO_LEVELS infoLevel, LPVOID fileInformation);
BOOL SetFileAttributes(LPCSTR fileName, DWORD fileAttributes);
// The creation time is the file's birth time where the file system keeps one, else its
// modification time; it cannot be set.
BOOL GetFileTime(HANDLE file, LPFILETIME creationTime, LPFILETIME lastAccessTime,
                 LPFILETIME lastWriteTime);
BOOL SetFileTime(HANDLE file, const FILETIME* creationTime, const FILETIME* lastAccessTime,
                 const FILETIME* lastWriteTime);

// ---- File mapping (read-only views) -----------------------------------------------------------
#define PAGE_READONLY 0x02
#define PAGE_READWRITE 0x04
#define PAGE_WRITECOPY 0x08
#define SEC_COMMIT 0x08000000
#define FILE_MAP_COPY 0x0001
#define FILE_MAP_WRITE 0x0002
#define FILE_MAP_READ 0x0004
#define FILE_MAP_ALL_ACCESS 0x000F001F

// Only PAGE_READONLY mappings of files opened for reading; the name is ignored.
HANDLE CreateFileMapping(HANDLE file, LPSECURITY_ATTRIBUTES attributes, DWORD protect,
                         DWORD maximumSizeHigh, DWORD maximumSizeLow, LPCSTR name);
// Offsets are multiples of the 64 KiB allocation granularity; 0 bytes maps to the end.
LPVOID MapViewOfFile(HANDLE fileMappingObject, DWORD desiredAccess, DWORD fileOffsetHigh,
                     DWORD fileOffsetLow, SIZE_T numberOfBytesToMap);
BOOL UnmapViewOfFile(LPCVOID baseAddress);

// ---- File search ----------------------------------------------------------------------------
typedef struct _WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA, *PWIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;
typedef WIN32_FIND_DATAA WIN32_FIND_DATA;
typedef PWIN32_FIND_DATAA PWIN32_FIND_DATA;
typedef LPWIN32_FIND_DATAA LPWIN32_FIND_DATA;

// The folder is read when the search starts. "." and ".." come first when the pattern matches
// them, the other names follow in case-insensitive order. '*' and '?' match without regard to
// case; "*.*" matches every name.
HANDLE FindFirstFile(LPCSTR fileName, LPWIN32_FIND_DATA findFileData);
BOOL FindNextFile(HANDLE findFile, LPWIN32_FIND_DATA findFileData);
BOOL FindClose(HANDLE findFile);

// ---- Folders and path names -------------------------------------------------------------------
// Buffer rules of the platform: on success the length without the terminator; when the buffer is
// too small the size needed including the terminator; 0 on failure.
DWORD GetCurrentDirectory(DWORD bufferLength, LPSTR buffer);
BOOL SetCurrentDirectory(LPCSTR pathName);
// Lexical: "." and ".." are resolved without touching the disk. *filePart points at the last
// component, or is NULL when the path ends with a separator.
DWORD GetFullPathName(LPCSTR fileName, DWORD bufferLength, LPSTR buffer, LPSTR* filePart);
// The temporary folder ($TMPDIR, else /tmp) with a trailing backslash.
DWORD GetTempPath(DWORD bufferLength, LPSTR buffer);
// path\<up to 3 prefix characters><hex number>.TMP; with unique 0 a free number is chosen and the
// file is created. Returns the number used, 0 on failure.
UINT GetTempFileName(LPCSTR pathName, LPCSTR prefixString, UINT unique, LPSTR tempFileName);

#define DRIVE_UNKNOWN 0
#define DRIVE_NO_ROOT_DIR 1
#define DRIVE_REMOVABLE 2
#define DRIVE_FIXED 3
#define DRIVE_REMOTE 4
#define DRIVE_CDROM 5
#define DRIVE_RAMDISK 6
// Every drive letter names a fixed disk; a root that does not exist gives DRIVE_NO_ROOT_DIR.
UINT GetDriveType(LPCSTR rootPathName);

// ---- Time -----------------------------------------------------------------------------------
// GetTickCount and Sleep run on the process clock (real, or virtual when the configuration says
// so: then Sleep advances the clock instead of waiting). System time is the wall clock; on the
// virtual clock it is the wall clock at first use plus the virtual time elapsed since.
DWORD GetTickCount();
void Sleep(DWORD milliseconds);
void GetSystemTime(LPSYSTEMTIME systemTime);
void GetLocalTime(LPSYSTEMTIME systemTime);
void GetSystemTimeAsFileTime(LPFILETIME systemTimeAsFileTime);
BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, LPFILETIME fileTime);
BOOL FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime);
// Local time uses the time zone's current offset from UTC, as the platform does.
BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, LPFILETIME localFileTime);
BOOL LocalFileTimeToFileTime(const FILETIME* localFileTime, LPFILETIME fileTime);
BOOL DosDateTimeToFileTime(WORD fatDate, WORD fatTime, LPFILETIME fileTime);
BOOL FileTimeToDosDateTime(const FILETIME* fileTime, LPWORD fatDate, LPWORD fatTime);
LONG CompareFileTime(const FILETIME* fileTime1, const FILETIME* fileTime2);

// ---- Version --------------------------------------------------------------------------------
#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2
#define VER_NT_WORKSTATION 0x0000001

typedef struct _OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
} OSVERSIONINFOA, *POSVERSIONINFOA, *LPOSVERSIONINFOA;
typedef OSVERSIONINFOA OSVERSIONINFO;
typedef POSVERSIONINFOA POSVERSIONINFO;
typedef LPOSVERSIONINFOA LPOSVERSIONINFO;

typedef struct _OSVERSIONINFOEXA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
  WORD wServicePackMajor;
  WORD wServicePackMinor;
  WORD wSuiteMask;
  BYTE wProductType;
  BYTE wReserved;
} OSVERSIONINFOEXA, *POSVERSIONINFOEXA, *LPOSVERSIONINFOEXA;
typedef OSVERSIONINFOEXA OSVERSIONINFOEX;
typedef POSVERSIONINFOEXA POSVERSIONINFOEX;
typedef LPOSVERSIONINFOEXA LPOSVERSIONINFOEX;

// Low byte major, next byte minor, high word the build; the top bit is set for the Windows 9x
// family and Win32s (versions below 5 other than NT).
DWORD GetVersion();
// dwOSVersionInfoSize must be the size of OSVERSIONINFO or OSVERSIONINFOEX.
BOOL GetVersionEx(LPOSVERSIONINFO versionInformation);
inline BOOL GetVersionEx(LPOSVERSIONINFOEX versionInformation) {
  return GetVersionEx(reinterpret_cast<LPOSVERSIONINFO>(versionInformation));
}

// ---- Global and local memory --------------------------------------------------------------------
#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_NOCOMPACT 0x0010
#define GMEM_NODISCARD 0x0020
#define GMEM_ZEROINIT 0x0040
#define GMEM_MODIFY 0x0080
#define GMEM_DDESHARE 0x2000
#define GMEM_SHARE 0x2000
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)
#define LMEM_FIXED 0x0000
#define LMEM_MOVEABLE 0x0002
#define LMEM_ZEROINIT 0x0040
#define LHND (LMEM_MOVEABLE | LMEM_ZEROINIT)
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)

// A fixed block's handle is its address; a moveable block has a handle that GlobalLock turns into
// the address. GlobalReAlloc keeps a moveable block's handle and may change a fixed block's
// address. The lock count is kept for GlobalUnlock's result.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
HGLOBAL GlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT flags);
LPVOID GlobalLock(HGLOBAL memory);
BOOL GlobalUnlock(HGLOBAL memory);
SIZE_T GlobalSize(HGLOBAL memory);
// NULL on success, the handle on failure.
HGLOBAL GlobalFree(HGLOBAL memory);
HLOCAL LocalAlloc(UINT flags, SIZE_T bytes);
HLOCAL LocalFree(HLOCAL memory);

// ---- Arithmetic -----------------------------------------------------------------------------
// number * numerator / denominator with a 64-bit intermediate, rounded half away from zero;
// -1 when the denominator is 0 or the result does not fit.
int MulDiv(int number, int numerator, int denominator);

// ---- Events ---------------------------------------------------------------------------------
#define INFINITE 0xFFFFFFFFu
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu

// Unnamed events only (a name is ignored). A finite wait ends when the process clock passes the
// timeout: on the virtual clock that happens only when the clock is advanced.
HANDLE CreateEvent(LPSECURITY_ATTRIBUTES eventAttributes, BOOL manualReset, BOOL initialState,
                   LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);

// ---- System messages ------------------------------------------------------------------------
#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200
#define FORMAT_MESSAGE_FROM_STRING 0x00000400
#define FORMAT_MESSAGE_FROM_HMODULE 0x00000800
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000
#define FORMAT_MESSAGE_MAX_WIDTH_MASK 0x000000FF
#define LANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define MAKELANGID(p, s) ((((WORD)(s)) << 10) | (WORD)(p))

// Only FORMAT_MESSAGE_FROM_SYSTEM: the system text of an error code, ending in "\r\n". With
// FORMAT_MESSAGE_ALLOCATE_BUFFER, buffer is really an LPSTR* that receives a LocalAlloc block.
// Returns the length without the terminator; 0 with ERROR_MR_MID_NOT_FOUND for unknown codes.
DWORD FormatMessage(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPSTR buffer,
                    DWORD size, va_list* arguments);
