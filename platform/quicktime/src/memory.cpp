// Relocatable blocks and plain blocks of memory.
#include <cstdlib>
#include <cstring>
#include <new>

#include "runtime.h"

namespace {

using quicktime::runtime::SetMemError;

// A handle points at the block's first member, the pointer to its bytes.
struct HandleBlock {
  Ptr bytes = nullptr;
  Size size = 0;
};

HandleBlock* BlockOf(Handle h) { return reinterpret_cast<HandleBlock*>(h); }

Handle Allocate(Size byteCount, bool clear) {
  if (byteCount < 0) {
    SetMemError(paramErr);
    return nullptr;
  }
  auto* block = new (std::nothrow) HandleBlock;
  if (!block) {
    SetMemError(memFullErr);
    return nullptr;
  }
  if (byteCount > 0) {
    block->bytes = static_cast<Ptr>(clear ? std::calloc(size_t(byteCount), 1) : std::malloc(size_t(byteCount)));
    if (!block->bytes) {
      delete block;
      SetMemError(memFullErr);
      return nullptr;
    }
  }
  block->size = byteCount;
  SetMemError(noErr);
  return &block->bytes;
}

}  // namespace

Handle NewHandle(Size byteCount) { return Allocate(byteCount, false); }
Handle NewHandleClear(Size byteCount) { return Allocate(byteCount, true); }

void DisposeHandle(Handle h) {
  if (!h) return;
  HandleBlock* block = BlockOf(h);
  std::free(block->bytes);
  delete block;
  SetMemError(noErr);
}

Size GetHandleSize(Handle h) {
  if (!h) {
    SetMemError(nilHandleErr);
    return 0;
  }
  SetMemError(noErr);
  return BlockOf(h)->size;
}

void SetHandleSize(Handle h, Size newSize) {
  if (!h || newSize < 0) {
    SetMemError(h ? paramErr : nilHandleErr);
    return;
  }
  HandleBlock* block = BlockOf(h);
  if (newSize == 0) {
    std::free(block->bytes);
    block->bytes = nullptr;
  } else if (newSize != block->size) {
    void* grown = std::realloc(block->bytes, size_t(newSize));
    if (!grown) {
      SetMemError(memFullErr);
      return;
    }
    block->bytes = static_cast<Ptr>(grown);
  }
  block->size = newSize;
  SetMemError(noErr);
}

// Blocks move only when their size changes, so there is nothing to pin.
void HLock(Handle) {}
void HUnlock(Handle) {}

Ptr NewPtr(Size byteCount) {
  Ptr p = byteCount >= 0 ? static_cast<Ptr>(std::malloc(byteCount > 0 ? size_t(byteCount) : 1)) : nullptr;
  SetMemError(p ? noErr : byteCount < 0 ? paramErr : memFullErr);
  return p;
}

Ptr NewPtrClear(Size byteCount) {
  Ptr p = byteCount >= 0 ? static_cast<Ptr>(std::calloc(byteCount > 0 ? size_t(byteCount) : 1, 1)) : nullptr;
  SetMemError(p ? noErr : byteCount < 0 ? paramErr : memFullErr);
  return p;
}

void DisposePtr(Ptr p) { std::free(p); }
