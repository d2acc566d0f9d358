#include "testing/guarded_buffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace testing_support {

GuardedBuffer::GuardedBuffer(size_t size) : size_(size) {
  const size_t page = size_t(sysconf(_SC_PAGESIZE));
  const size_t span = (size + page - 1) / page * page;
  mapped_ = span + page;
  mapping_ = mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping_ == MAP_FAILED || mprotect(static_cast<uint8_t*>(mapping_) + span, page, PROT_NONE) != 0) std::abort();
  data_ = static_cast<uint8_t*>(mapping_) + span - size;
  std::memset(data_, 0, size);
}

GuardedBuffer::~GuardedBuffer() { munmap(mapping_, mapped_); }

}  // namespace testing_support
