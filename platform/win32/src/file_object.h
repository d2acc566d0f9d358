#pragma once
// An open file behind a file handle.
#include <string>

#include "handle_table.h"
#include "win32/wintypes.h"

namespace win32 {

class FileObject : public HandleObject {
 public:
  FileObject(int fd, std::string posixPath, bool canRead, bool canWrite, bool deleteOnClose)
      : fd_(fd), posixPath_(std::move(posixPath)), canRead_(canRead), canWrite_(canWrite),
        deleteOnClose_(deleteOnClose) {}
  ~FileObject() override;
  FileObject(const FileObject&) = delete;
  FileObject& operator=(const FileObject&) = delete;

  int fd() const { return fd_; }
  bool canRead() const { return canRead_; }
  bool canWrite() const { return canWrite_; }

 private:
  int fd_;
  std::string posixPath_;
  bool canRead_;
  bool canWrite_;
  bool deleteOnClose_;
};

// The file behind a handle; null with ERROR_INVALID_HANDLE set when it is no live file handle.
std::shared_ptr<FileObject> FileFromHandle(HANDLE file);

}  // namespace win32
