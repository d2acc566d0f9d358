// Current folder, full path names, the temporary folder and names, drive types.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "last_error.h"
#include "path_mapping.h"
#include "win32/paths.h"
#include "win32/winbase.h"
#include "win32/winerror.h"

using namespace win32;

DWORD GetCurrentDirectory(DWORD bufferLength, LPSTR buffer) {
  return CopyOut(PlatformPathFromPosix(LexicalPosixPath(".")), bufferLength, buffer);
}

BOOL SetCurrentDirectory(LPCSTR pathName) {
  if (!pathName || !*pathName) return Fail(ERROR_PATH_NOT_FOUND);
  const std::string path = PosixPathFromPlatform(pathName);
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return FailForPath(path, errno);
  if (!S_ISDIR(st.st_mode)) return Fail(ERROR_DIRECTORY);
  if (chdir(path.c_str()) != 0) return FailWithErrno();
  return TRUE;
}

DWORD GetFullPathName(LPCSTR fileName, DWORD bufferLength, LPSTR buffer, LPSTR* filePart) {
  if (filePart) *filePart = nullptr;
  if (!fileName || !*fileName) {
    SetLastError(ERROR_INVALID_NAME);
    return 0;
  }
  const std::string full = PlatformPathFromPosix(LexicalPosixPath(fileName));
  DWORD result = CopyOut(full, bufferLength, buffer);
  if (result == full.size() && filePart && full.back() != '\\') {
    *filePart = buffer + full.rfind('\\') + 1;
  }
  return result;
}

DWORD GetTempPath(DWORD bufferLength, LPSTR buffer) {
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = PlatformPathFromPosix(LexicalPosixPath(tmp && *tmp == '/' ? tmp : "/tmp"));
  if (folder.back() != '\\') folder += '\\';
  return CopyOut(folder, bufferLength, buffer);
}

UINT GetTempFileName(LPCSTR pathName, LPCSTR prefixString, UINT unique, LPSTR tempFileName) {
  if (!pathName || !tempFileName) return Fail(ERROR_INVALID_PARAMETER);
  std::string folder = PlatformPathFromPosix(LexicalPosixPath(*pathName ? pathName : "."));
  if (folder.back() != '\\') folder += '\\';
  std::string prefix = prefixString ? std::string(prefixString).substr(0, 3) : std::string();
  auto nameFor = [&](UINT number) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%X", number & 0xFFFF);
    return folder + prefix + hex + ".TMP";
  };
  if (unique != 0) {
    const std::string name = nameFor(unique);
    if (name.size() >= MAX_PATH) return Fail(ERROR_BUFFER_OVERFLOW);
    std::memcpy(tempFileName, name.c_str(), name.size() + 1);
    return unique & 0xFFFF;
  }
  // Numbers start from the tick count and count up until a name is free; creating the file with
  // O_EXCL claims it.
  UINT start = (GetTickCount() & 0xFFFF) ? (GetTickCount() & 0xFFFF) : 1;
  for (UINT i = 0; i < 0xFFFF; ++i) {
    UINT number = (start + i - 1) % 0xFFFF + 1;
    const std::string name = nameFor(number);
    if (name.size() >= MAX_PATH) return Fail(ERROR_BUFFER_OVERFLOW);
    const std::string path = PosixPathFromPlatform(name);
    int fd = open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0) {
      close(fd);
      std::memcpy(tempFileName, name.c_str(), name.size() + 1);
      return number;
    }
    if (errno != EEXIST) return FailForPath(path, errno);
  }
  return Fail(ERROR_FILE_EXISTS);
}

UINT GetDriveType(LPCSTR rootPathName) {
  const std::string root = PosixPathFromPlatform(rootPathName && *rootPathName ? rootPathName : ".");
  struct stat st;
  return stat(root.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? DRIVE_FIXED : DRIVE_NO_ROOT_DIR;
}
