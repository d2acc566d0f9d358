// File handles: open, read, write, seek, size, type, flush, truncate, times, close.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "file_info.h"
#include "file_object.h"
#include "last_error.h"
#include "path_mapping.h"
#include "win32/paths.h"
#include "win32/winbase.h"
#include "win32/winerror.h"

using namespace win32;

namespace win32 {

FileObject::~FileObject() {
  close(fd_);
  if (deleteOnClose_) unlink(posixPath_.c_str());
}

std::shared_ptr<FileObject> FileFromHandle(HANDLE file) {
  auto object = LookupHandle<FileObject>(file, HandleKind::File);
  if (!object) SetLastError(ERROR_INVALID_HANDLE);
  return object;
}

}  // namespace win32

namespace {

HANDLE FailHandle(DWORD code) {
  SetLastError(code);
  return INVALID_HANDLE_VALUE;
}

}  // namespace

HANDLE CreateFile(LPCSTR fileName, DWORD desiredAccess, DWORD /*shareMode*/,
                  LPSECURITY_ATTRIBUTES /*securityAttributes*/, DWORD creationDisposition,
                  DWORD flagsAndAttributes, HANDLE /*templateFile*/) {
  if (!fileName || !*fileName) return FailHandle(ERROR_PATH_NOT_FOUND);
  const bool wantRead = desiredAccess & (GENERIC_READ | GENERIC_ALL);
  const bool wantWrite = desiredAccess & (GENERIC_WRITE | GENERIC_ALL);
  int flags = O_CLOEXEC | (wantWrite ? (wantRead ? O_RDWR : O_WRONLY) : O_RDONLY);
  switch (creationDisposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
    case OPEN_EXISTING: break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case TRUNCATE_EXISTING:
      if (!wantWrite) return FailHandle(ERROR_INVALID_PARAMETER);
      flags |= O_TRUNC;
      break;
    default: return FailHandle(ERROR_INVALID_PARAMETER);
  }

  const std::string path = PosixPathFromPlatform(fileName);
  struct stat st;
  const bool existed = stat(path.c_str(), &st) == 0;
  const bool isFolder = existed && S_ISDIR(st.st_mode);
  if (existed) {
    if (creationDisposition == CREATE_NEW) return FailHandle(ERROR_FILE_EXISTS);
    if (isFolder) {
      // Folders open only for their times and attributes, as on the platform.
      if (!(flagsAndAttributes & FILE_FLAG_BACKUP_SEMANTICS)) return FailHandle(ERROR_ACCESS_DENIED);
      flags = O_CLOEXEC | O_RDONLY | O_DIRECTORY;
    } else if (IsReadOnlyFile(st.st_mode) &&
               (wantWrite || creationDisposition == CREATE_ALWAYS)) {
      return FailHandle(ERROR_ACCESS_DENIED);
    }
  }

  const mode_t mode = (flagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  int fd = open(path.c_str(), flags, mode);
  if (fd < 0) {
    if (errno == EEXIST) return FailHandle(ERROR_FILE_EXISTS);
    FailForPath(path, errno);
    return INVALID_HANDLE_VALUE;
  }
  auto object = std::make_shared<FileObject>(fd, path, wantRead, wantWrite && !isFolder,
                                             flagsAndAttributes & FILE_FLAG_DELETE_ON_CLOSE);
  uintptr_t handle = AllocateHandle(HandleKind::File, std::move(object));
  if (!handle) return FailHandle(ERROR_TOO_MANY_OPEN_FILES);
  const bool reportsExisting =
      existed && (creationDisposition == CREATE_ALWAYS || creationDisposition == OPEN_ALWAYS);
  SetLastError(reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return ToHandle<HANDLE>(handle);
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED overlapped) {
  if (bytesRead) *bytesRead = 0;
  auto object = FileFromHandle(file);
  if (!object) return FALSE;
  if (overlapped) return Fail(ERROR_INVALID_PARAMETER);
  if (!buffer && bytesToRead) return Fail(ERROR_NOACCESS);
  if (!object->canRead()) return Fail(ERROR_ACCESS_DENIED);
  DWORD total = 0;
  while (total < bytesToRead) {
    ssize_t n = read(object->fd(), static_cast<char*>(buffer) + total, bytesToRead - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (bytesRead) *bytesRead = total;
      return FailWithErrno(errno == EISDIR ? EINVAL : errno);
    }
    if (n == 0) break;
    total += static_cast<DWORD>(n);
  }
  if (bytesRead) *bytesRead = total;
  return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
               LPOVERLAPPED overlapped) {
  if (bytesWritten) *bytesWritten = 0;
  auto object = FileFromHandle(file);
  if (!object) return FALSE;
  if (overlapped) return Fail(ERROR_INVALID_PARAMETER);
  if (!buffer && bytesToWrite) return Fail(ERROR_NOACCESS);
  if (!object->canWrite()) return Fail(ERROR_ACCESS_DENIED);
  DWORD total = 0;
  while (total < bytesToWrite) {
    ssize_t n = write(object->fd(), static_cast<const char*>(buffer) + total, bytesToWrite - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (bytesWritten) *bytesWritten = total;
      return FailWithErrno();
    }
    total += static_cast<DWORD>(n);
  }
  if (bytesWritten) *bytesWritten = total;
  return TRUE;
}

BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER distanceToMove, PLARGE_INTEGER newFilePointer,
                      DWORD moveMethod) {
  auto object = FileFromHandle(file);
  if (!object) return FALSE;
  int whence;
  switch (moveMethod) {
    case FILE_BEGIN: whence = SEEK_SET; break;
    case FILE_CURRENT: whence = SEEK_CUR; break;
    case FILE_END: whence = SEEK_END; break;
    default: return Fail(ERROR_INVALID_PARAMETER);
  }
  if (whence == SEEK_SET && distanceToMove.QuadPart < 0) return Fail(ERROR_NEGATIVE_SEEK);
  off_t position = lseek(object->fd(), static_cast<off_t>(distanceToMove.QuadPart), whence);
  if (position < 0) return errno == EINVAL ? Fail(ERROR_NEGATIVE_SEEK) : FailWithErrno();
  if (newFilePointer) newFilePointer->QuadPart = position;
  return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distanceToMove, PLONG distanceToMoveHigh, DWORD moveMethod) {
  // Without a high part the distance is a signed 32-bit value; with one, the two halves of a
  // signed 64-bit value.
  LARGE_INTEGER distance;
  distance.QuadPart = distanceToMove;
  if (distanceToMoveHigh) {
    distance.LowPart = static_cast<DWORD>(distanceToMove);
    distance.HighPart = *distanceToMoveHigh;
  }
  LARGE_INTEGER position;
  if (!SetFilePointerEx(file, distance, &position, moveMethod)) return INVALID_SET_FILE_POINTER;
  if (!distanceToMoveHigh && position.QuadPart > 0xFFFFFFFELL) {
    // The platform cannot report such a position without the high part.
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  if (distanceToMoveHigh) *distanceToMoveHigh = position.HighPart;
  if (position.LowPart == INVALID_SET_FILE_POINTER) SetLastError(NO_ERROR);
  return position.LowPart;
}

BOOL GetFileSizeEx(HANDLE file, PLARGE_INTEGER fileSize) {
  auto object = FileFromHandle(file);
  if (!object) return FALSE;
  if (!fileSize) return Fail(ERROR_INVALID_PARAMETER);
  struct stat st;
  if (fstat(object->fd(), &st) != 0) return FailWithErrno();
  fileSize->QuadPart = st.st_size;
  return TRUE;
}

DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file, &size)) return INVALID_FILE_SIZE;
  if (fileSizeHigh) *fileSizeHigh = static_cast<DWORD>(size.HighPart);
  if (size.LowPart == INVALID_FILE_SIZE) SetLastError(NO_ERROR);
  return size.LowPart;
}

DWORD GetFileType(HANDLE file) {
  auto object = FileFromHandle(file);
  if (!object) return FILE_TYPE_UNKNOWN;
  struct stat st;
  if (fstat(object->fd(), &st) != 0) {
    FailWithErrno();
    return FILE_TYPE_UNKNOWN;
  }
  if (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode) || S_ISBLK(st.st_mode)) return FILE_TYPE_DISK;
  if (S_ISCHR(st.st_mode)) return FILE_TYPE_CHAR;
  if (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)) return FILE_TYPE_PIPE;
  SetLastError(NO_ERROR);
  return FILE_TYPE_UNKNOWN;
}

BOOL FlushFileBuffers(HANDLE file) {
  auto object = FileFromHandle(file);
  if (!object) return FALSE;
  if (!object->canWrite()) return Fail(ERROR_ACCESS_DENIED);
  return fsync(object->fd()) == 0 || errno == EINVAL ? TRUE : FailWithErrno();
}

BOOL SetEndOfFile(HANDLE file) {
  auto object = FileFromHandle(file);
  if (!object) return FALSE;
  if (!object->canWrite()) return Fail(ERROR_ACCESS_DENIED);
  off_t position = lseek(object->fd(), 0, SEEK_CUR);
  if (position < 0 || ftruncate(object->fd(), position) != 0) return FailWithErrno();
  return TRUE;
}

BOOL GetFileTime(HANDLE file, LPFILETIME creationTime, LPFILETIME lastAccessTime, LPFILETIME lastWriteTime) {
  auto object = FileFromHandle(file);
  if (!object) return FALSE;
  FileInfo info;
  if (!StatDescriptor(object->fd(), info)) return FailWithErrno();
  if (creationTime) *creationTime = info.creationTime;
  if (lastAccessTime) *lastAccessTime = info.lastAccessTime;
  if (lastWriteTime) *lastWriteTime = info.lastWriteTime;
  return TRUE;
}

BOOL SetFileTime(HANDLE file, const FILETIME* /*creationTime*/, const FILETIME* lastAccessTime,
                 const FILETIME* lastWriteTime) {
  auto object = FileFromHandle(file);
  if (!object) return FALSE;
  timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_OMIT}};
  if (lastAccessTime) times[0] = TimespecOfFileTime(*lastAccessTime);
  if (lastWriteTime) times[1] = TimespecOfFileTime(*lastWriteTime);
  if (futimens(object->fd(), times) != 0) return FailWithErrno();
  return TRUE;
}

BOOL CloseHandle(HANDLE object) {
  const uintptr_t value = reinterpret_cast<uintptr_t>(object);
  const uint8_t kind = KindOfHandle(value);
  for (HandleKind closable : {HandleKind::File, HandleKind::FileMapping, HandleKind::Event}) {
    if (kind == static_cast<uint8_t>(closable) && ReleaseHandle(value, closable)) return TRUE;
  }
  return Fail(ERROR_INVALID_HANDLE);
}
