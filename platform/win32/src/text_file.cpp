#include "text_file.h"

#include "last_error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>

#include "win32/winerror.h"

namespace win32 {

bool ReadWholeFile(const std::string& posixPath, std::string& contents, DWORD* error) {
  int fd = open(posixPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *error = ErrorFromErrno(errno);
    return false;
  }
  contents.clear();
  char buffer[65536];
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *error = errno == EISDIR ? ERROR_ACCESS_DENIED : ERROR_READ_FAULT;
      close(fd);
      return false;
    }
    if (n == 0) break;
    contents.append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  return true;
}

static bool WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool ReplaceFileContents(const std::string& posixPath, const std::string& contents, DWORD* error) {
  static std::atomic<unsigned> counter{0};
  std::string temp = posixPath + ".tmp" + std::to_string(getpid()) + "." + std::to_string(counter++);
  // Created with 0666 so the umask applies as for any new file.
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    *error = errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno);
    return false;
  }
  // A replaced file keeps its permissions.
  struct stat old;
  bool ok = stat(posixPath.c_str(), &old) != 0 || fchmod(fd, old.st_mode & 07777) == 0;
  ok = ok && WriteAll(fd, contents) && fsync(fd) == 0;
  int err = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok && rename(temp.c_str(), posixPath.c_str()) != 0) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    unlink(temp.c_str());
    *error = ErrorFromErrno(err);
    return false;
  }
  // Make the rename itself durable.
  std::string folder = posixPath.substr(0, posixPath.find_last_of('/') + 1);
  int dir = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

}  // namespace win32
