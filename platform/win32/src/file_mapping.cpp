// Read-only file mappings over mmap.
#include <sys/mman.h>
#include <sys/stat.h>

#include <map>
#include <mutex>

#include "file_object.h"
#include "handle_table.h"
#include "last_error.h"
#include "win32/winbase.h"
#include "win32/winerror.h"

using namespace win32;

namespace {

constexpr uint64_t kAllocationGranularity = 0x10000;

class MappingObject : public HandleObject {
 public:
  MappingObject(std::shared_ptr<FileObject> file, uint64_t size) : file_(std::move(file)), size_(size) {}
  int fd() const { return file_->fd(); }
  uint64_t size() const { return size_; }

 private:
  std::shared_ptr<FileObject> file_;  // keeps the descriptor open after the file handle is closed
  uint64_t size_;
};

// Views by base address, so that UnmapViewOfFile knows their lengths. Never destroyed.
struct Views {
  std::mutex lock;
  std::map<const void*, size_t> lengths;
};

Views& views() {
  static Views* v = new Views;
  return *v;
}

}  // namespace

HANDLE CreateFileMapping(HANDLE file, LPSECURITY_ATTRIBUTES /*attributes*/, DWORD protect,
                         DWORD maximumSizeHigh, DWORD maximumSizeLow, LPCSTR /*name*/) {
  auto object = FileFromHandle(file);
  if (!object) return nullptr;
  if ((protect & 0xFF) != PAGE_READONLY) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!object->canRead()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  struct stat st;
  if (fstat(object->fd(), &st) != 0) {
    FailWithErrno();
    return nullptr;
  }
  const uint64_t fileSize = static_cast<uint64_t>(st.st_size);
  uint64_t size = (static_cast<uint64_t>(maximumSizeHigh) << 32) | maximumSizeLow;
  if (size == 0) size = fileSize;
  if (size == 0) {
    SetLastError(ERROR_FILE_INVALID);
    return nullptr;
  }
  if (size > fileSize) {
    // A read-only mapping cannot grow the file.
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  uintptr_t handle = AllocateHandle(HandleKind::FileMapping, std::make_shared<MappingObject>(object, size));
  if (!handle) {
    SetLastError(ERROR_TOO_MANY_OPEN_FILES);
    return nullptr;
  }
  SetLastError(ERROR_SUCCESS);
  return ToHandle<HANDLE>(handle);
}

LPVOID MapViewOfFile(HANDLE fileMappingObject, DWORD desiredAccess, DWORD fileOffsetHigh,
                     DWORD fileOffsetLow, SIZE_T numberOfBytesToMap) {
  auto mapping = LookupHandle<MappingObject>(fileMappingObject, HandleKind::FileMapping);
  if (!mapping) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (desiredAccess & (FILE_MAP_WRITE | FILE_MAP_COPY)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  const uint64_t offset = (static_cast<uint64_t>(fileOffsetHigh) << 32) | fileOffsetLow;
  if (offset % kAllocationGranularity != 0) {
    SetLastError(ERROR_MAPPED_ALIGNMENT);
    return nullptr;
  }
  if (offset >= mapping->size() || numberOfBytesToMap > mapping->size() - offset) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  const size_t length = numberOfBytesToMap ? numberOfBytesToMap : static_cast<size_t>(mapping->size() - offset);
  void* address = mmap(nullptr, length, PROT_READ, MAP_PRIVATE, mapping->fd(), static_cast<off_t>(offset));
  if (address == MAP_FAILED) {
    FailWithErrno();
    return nullptr;
  }
  Views& v = views();
  std::lock_guard<std::mutex> guard(v.lock);
  v.lengths[address] = length;
  return address;
}

BOOL UnmapViewOfFile(LPCVOID baseAddress) {
  Views& v = views();
  std::lock_guard<std::mutex> guard(v.lock);
  auto it = v.lengths.find(baseAddress);
  if (it == v.lengths.end()) return Fail(ERROR_INVALID_ADDRESS);
  munmap(const_cast<void*>(it->first), it->second);
  v.lengths.erase(it);
  return TRUE;
}
