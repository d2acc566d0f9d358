#include "engine/flv_metadata.h"

#include <algorithm>
#include <string>

#include "flv/flv_rewrite.h"

namespace {

// Closes a kernel handle on every path out.
class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE h) : h_(h) {}
  ~ScopedHandle() { Close(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  bool Valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return h_; }
  bool Close() {
    const bool ok = !Valid() || CloseHandle(h_);
    h_ = nullptr;
    return ok;
  }

 private:
  HANDLE h_;
};

class ScopedView {
 public:
  explicit ScopedView(LPVOID view) : view_(view) {}
  ~ScopedView() {
    if (view_) UnmapViewOfFile(view_);
  }
  ScopedView(const ScopedView&) = delete;
  ScopedView& operator=(const ScopedView&) = delete;
  const uint8_t* Get() const { return static_cast<const uint8_t*>(view_); }

 private:
  LPVOID view_;
};

// A new file next to the target, so that the final rename stays on one volume.
HANDLE CreateTemporaryBeside(const std::string& target, std::string& name) {
  for (int n = 0; n < 100; ++n) {
    name = target + ".part" + std::to_string(n);
    HANDLE h = CreateFile(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return h;
  }
  return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, const uint8_t* data, size_t size) {
  constexpr size_t kChunk = size_t(64) << 20;
  while (size > 0) {
    const DWORD want = DWORD(std::min(size, kChunk));
    DWORD done = 0;
    if (!WriteFile(file, data, want, &done, nullptr) || done == 0) return false;
    data += done;
    size -= done;
  }
  return true;
}

}  // namespace

BOOL InjectFlvMetadata(LPCSTR sourcePath, LPCSTR outputPath) {
  ScopedHandle source(CreateFile(sourcePath, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!source.Valid()) return FALSE;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(source.Get(), &size) || size.QuadPart <= 0) return FALSE;
  ScopedHandle mapping(CreateFileMapping(source.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping.Valid()) return FALSE;
  ScopedView view(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0));
  if (!view.Get()) return FALSE;

  std::string temporary;
  ScopedHandle output(CreateTemporaryBeside(outputPath, temporary));
  if (!output.Valid()) return FALSE;
  const bool written = RewriteFlv({view.Get(), size_t(size.QuadPart)}, [&](const uint8_t* data, size_t n) {
    return WriteAll(output.Get(), data, n);
  });
  const bool closed = output.Close();
  if (written && closed && MoveFileEx(temporary.c_str(), outputPath, MOVEFILE_REPLACE_EXISTING)) return TRUE;
  DeleteFile(temporary.c_str());
  return FALSE;
}
