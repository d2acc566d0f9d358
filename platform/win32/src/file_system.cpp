// Operations on files and folders by name: delete, move, copy, create and remove folders,
// attributes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "file_info.h"
#include "last_error.h"
#include "path_mapping.h"
#include "win32/paths.h"
#include "win32/winbase.h"
#include "win32/winerror.h"

using namespace win32;

namespace {

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

std::string ParentOf(const std::string& posixPath) {
  size_t slash = posixPath.rfind('/');
  return slash == 0 || slash == std::string::npos ? "/" : posixPath.substr(0, slash);
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// Copies a regular file's bytes, permissions and modification time to a new file beside target,
// then renames it over target, so a failed copy leaves the target as it was.
BOOL CopyRegularFile(const std::string& source, const struct stat& sourceStat, const std::string& target) {
  int in = open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return FailForPath(source, errno);
  std::string temporary = ParentOf(target) + "/.corvane-copy-XXXXXX";
  int out = mkostemp(temporary.data(), O_CLOEXEC);
  if (out < 0) {
    int err = errno;
    close(in);
    return FailForPath(target, err);
  }
  int err = 0;
  char buffer[65536];
  for (;;) {
    ssize_t n = read(in, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n < 0) err = errno;
      break;
    }
    for (ssize_t done = 0; done < n && !err;) {
      ssize_t w = write(out, buffer + done, n - done);
      if (w < 0 && errno != EINTR) err = errno;
      if (w > 0) done += w;
    }
    if (err) break;
  }
  const timespec times[2] = {sourceStat.st_atim, sourceStat.st_mtim};
  if (!err && (fchmod(out, sourceStat.st_mode & 07777) != 0 || futimens(out, times) != 0)) err = errno;
  close(in);
  if (close(out) != 0 && !err) err = errno;
  if (!err && rename(temporary.c_str(), target.c_str()) != 0) err = errno;
  if (err) {
    unlink(temporary.c_str());
    return FailWithErrno(err);
  }
  return TRUE;
}

}  // namespace

BOOL DeleteFile(LPCSTR fileName) {
  if (!fileName || !*fileName) return Fail(ERROR_PATH_NOT_FOUND);
  const std::string path = PosixPathFromPlatform(fileName);
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return FailForPath(path, errno);
  if (S_ISDIR(st.st_mode) || (S_ISREG(st.st_mode) && IsReadOnlyFile(st.st_mode))) return Fail(ERROR_ACCESS_DENIED);
  if (unlink(path.c_str()) != 0) return FailForPath(path, errno);
  return TRUE;
}

BOOL MoveFileEx(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags) {
  if (!existingFileName || !*existingFileName || !newFileName || !*newFileName) return Fail(ERROR_PATH_NOT_FOUND);
  const std::string source = WithoutTrailingSlash(PosixPathFromPlatform(existingFileName));
  struct stat sourceStat;
  if (lstat(source.c_str(), &sourceStat) != 0) return FailForPath(source, errno);

  std::string target = WithoutTrailingSlash(PosixPathFromPlatform(newFileName));
  struct stat targetStat;
  if (lstat(target.c_str(), &targetStat) == 0) {
    if (SameFile(sourceStat, targetStat)) {
      // A change of case only: the new name as written, in the existing folder.
      const std::string lexical = WithoutTrailingSlash(LexicalPosixPath(newFileName));
      target = ResolveCase(ParentOf(lexical)) + lexical.substr(lexical.rfind('/'));
      if (target == source) return TRUE;
    } else {
      if (!(flags & MOVEFILE_REPLACE_EXISTING)) return Fail(ERROR_ALREADY_EXISTS);
      if (S_ISDIR(targetStat.st_mode) || S_ISDIR(sourceStat.st_mode) || IsReadOnlyFile(targetStat.st_mode)) {
        return Fail(ERROR_ACCESS_DENIED);
      }
    }
  }
  if (rename(source.c_str(), target.c_str()) == 0) return TRUE;
  if (errno != EXDEV) return FailForPath(target, errno);
  if (!(flags & MOVEFILE_COPY_ALLOWED) || !S_ISREG(sourceStat.st_mode)) return Fail(ERROR_NOT_SAME_DEVICE);
  if (!CopyRegularFile(source, sourceStat, target)) return FALSE;
  if (unlink(source.c_str()) != 0) return FailWithErrno();
  return TRUE;
}

BOOL MoveFile(LPCSTR existingFileName, LPCSTR newFileName) {
  return MoveFileEx(existingFileName, newFileName, MOVEFILE_COPY_ALLOWED);
}

BOOL CopyFile(LPCSTR existingFileName, LPCSTR newFileName, BOOL failIfExists) {
  if (!existingFileName || !*existingFileName || !newFileName || !*newFileName) return Fail(ERROR_PATH_NOT_FOUND);
  const std::string source = PosixPathFromPlatform(existingFileName);
  struct stat sourceStat;
  if (stat(source.c_str(), &sourceStat) != 0) return FailForPath(source, errno);
  if (S_ISDIR(sourceStat.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  const std::string target = PosixPathFromPlatform(newFileName);
  struct stat targetStat;
  if (stat(target.c_str(), &targetStat) == 0) {
    if (failIfExists) return Fail(ERROR_FILE_EXISTS);
    // Copying a file onto itself would destroy it.
    if (SameFile(sourceStat, targetStat)) return Fail(ERROR_SHARING_VIOLATION);
    if (S_ISDIR(targetStat.st_mode) || IsReadOnlyFile(targetStat.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  } else if (errno != ENOENT) {
    return FailForPath(target, errno);
  }
  return CopyRegularFile(source, sourceStat, target);
}

BOOL CreateDirectory(LPCSTR pathName, LPSECURITY_ATTRIBUTES /*securityAttributes*/) {
  if (!pathName || !*pathName) return Fail(ERROR_PATH_NOT_FOUND);
  const std::string path = PosixPathFromPlatform(pathName);
  if (mkdir(path.c_str(), 0777) == 0) return TRUE;
  if (errno == ENOENT || errno == ENOTDIR) return Fail(ERROR_PATH_NOT_FOUND);
  return FailWithErrno();
}

BOOL RemoveDirectory(LPCSTR pathName) {
  if (!pathName || !*pathName) return Fail(ERROR_PATH_NOT_FOUND);
  const std::string path = WithoutTrailingSlash(PosixPathFromPlatform(pathName));
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return FailForPath(path, errno);
  if (!S_ISDIR(st.st_mode)) return Fail(ERROR_DIRECTORY);
  if (rmdir(path.c_str()) == 0) return TRUE;
  return errno == EEXIST ? Fail(ERROR_DIR_NOT_EMPTY) : FailWithErrno();
}

DWORD GetFileAttributes(LPCSTR fileName) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return GetFileAttributesEx(fileName, GetFileExInfoStandard, &data) ? data.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
}

BOOL GetFileAttributesEx(LPCSTR fileName, GET_FILEEX_INFO_LEVELS infoLevel, LPVOID fileInformation) {
  if (infoLevel != GetFileExInfoStandard || !fileInformation) return Fail(ERROR_INVALID_PARAMETER);
  if (!fileName || !*fileName) return Fail(ERROR_PATH_NOT_FOUND);
  const std::string path = PosixPathFromPlatform(fileName);
  FileInfo info;
  if (!StatPath(path, info)) return FailForPath(path, errno);
  auto* data = static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(fileInformation);
  data->dwFileAttributes = AttributesOf(info);
  data->ftCreationTime = info.creationTime;
  data->ftLastAccessTime = info.lastAccessTime;
  data->ftLastWriteTime = info.lastWriteTime;
  data->nFileSizeHigh = S_ISDIR(info.mode) ? 0 : static_cast<DWORD>(info.size >> 32);
  data->nFileSizeLow = S_ISDIR(info.mode) ? 0 : static_cast<DWORD>(info.size);
  return TRUE;
}

BOOL SetFileAttributes(LPCSTR fileName, DWORD fileAttributes) {
  if (!fileName || !*fileName) return Fail(ERROR_PATH_NOT_FOUND);
  const std::string path = PosixPathFromPlatform(fileName);
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return FailForPath(path, errno);
  if (S_ISDIR(st.st_mode)) return TRUE;
  mode_t mode = st.st_mode & 07777;
  mode_t wanted = (fileAttributes & FILE_ATTRIBUTE_READONLY) ? (mode & ~0222) : (mode | S_IWUSR);
  if (wanted != mode && chmod(path.c_str(), wanted) != 0) return FailWithErrno();
  return TRUE;
}
