#pragma once
// A buffer followed directly by a page that may be neither read nor written: code that reads or
// writes past the buffer's end faults there and then, even in libraries the sanitizers do not see.
#include <cstddef>
#include <cstdint>

namespace testing_support {

class GuardedBuffer {
 public:
  explicit GuardedBuffer(size_t size);
  ~GuardedBuffer();
  GuardedBuffer(const GuardedBuffer&) = delete;
  GuardedBuffer& operator=(const GuardedBuffer&) = delete;

  uint8_t* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  void* mapping_ = nullptr;
  size_t mapped_ = 0;
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace testing_support
