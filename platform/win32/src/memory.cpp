// Global and local memory. Fixed blocks are handed out by address and found again in a table of
// addresses; moveable blocks get handles from the handle table.
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include "handle_table.h"
#include "last_error.h"
#include "win32/winbase.h"
#include "win32/winerror.h"

using namespace win32;

namespace {

struct Block : HandleObject {
  ~Block() override { std::free(data); }
  void* data = nullptr;
  size_t size = 0;
  unsigned locks = 0;
};

struct Blocks {
  std::mutex lock;  // guards every Block's fields and the fixed table
  std::map<void*, std::shared_ptr<Block>> fixed;
};

// Never destroyed: memory may be freed from users' static destructors.
Blocks& blocks() {
  static Blocks* b = new Blocks;
  return *b;
}

bool Resize(Block& block, size_t bytes, bool zero) {
  void* data = std::realloc(block.data, bytes ? bytes : 1);
  if (!data) return false;
  if (zero && bytes > block.size) std::memset(static_cast<char*>(data) + block.size, 0, bytes - block.size);
  block.data = data;
  block.size = bytes;
  return true;
}

HANDLE Allocate(HandleKind kind, bool moveable, bool zero, SIZE_T bytes) {
  auto block = std::make_shared<Block>();
  if (!Resize(*block, bytes, zero)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (moveable) {
    uintptr_t handle = AllocateHandle(kind, block);
    if (!handle) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return ToHandle<HANDLE>(handle);
  }
  Blocks& b = blocks();
  std::lock_guard<std::mutex> guard(b.lock);
  b.fixed[block->data] = block;
  return block->data;
}

// The block behind a fixed address or a moveable handle of either kind; null with
// ERROR_INVALID_HANDLE for anything else. Call with the lock held.
std::shared_ptr<Block> Find(HANDLE memory, bool* moveable = nullptr) {
  Blocks& b = blocks();
  if (auto it = b.fixed.find(memory); it != b.fixed.end()) {
    if (moveable) *moveable = false;
    return it->second;
  }
  for (HandleKind kind : {HandleKind::GlobalMemory, HandleKind::LocalMemory}) {
    if (auto block = LookupHandle<Block>(memory, kind)) {
      if (moveable) *moveable = true;
      return block;
    }
  }
  SetLastError(ERROR_INVALID_HANDLE);
  return nullptr;
}

HANDLE Free(HANDLE memory) {
  if (!memory) return nullptr;
  Blocks& b = blocks();
  std::lock_guard<std::mutex> guard(b.lock);
  if (b.fixed.erase(memory)) return nullptr;
  const uintptr_t value = reinterpret_cast<uintptr_t>(memory);
  if (ReleaseHandle(value, HandleKind::GlobalMemory) || ReleaseHandle(value, HandleKind::LocalMemory)) return nullptr;
  SetLastError(ERROR_INVALID_HANDLE);
  return memory;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
  return Allocate(HandleKind::GlobalMemory, flags & GMEM_MOVEABLE, flags & GMEM_ZEROINIT, bytes);
}

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) {
  return Allocate(HandleKind::LocalMemory, flags & LMEM_MOVEABLE, flags & LMEM_ZEROINIT, bytes);
}

HGLOBAL GlobalFree(HGLOBAL memory) { return Free(memory); }

HLOCAL LocalFree(HLOCAL memory) { return Free(memory); }

LPVOID GlobalLock(HGLOBAL memory) {
  std::lock_guard<std::mutex> guard(blocks().lock);
  bool moveable = false;
  auto block = Find(memory, &moveable);
  if (!block) return nullptr;
  if (moveable) ++block->locks;
  return block->data;
}

BOOL GlobalUnlock(HGLOBAL memory) {
  std::lock_guard<std::mutex> guard(blocks().lock);
  auto block = Find(memory);
  if (!block) return FALSE;
  if (block->locks == 0) return Fail(ERROR_NOT_LOCKED);
  if (--block->locks > 0) return TRUE;
  return Fail(NO_ERROR);
}

SIZE_T GlobalSize(HGLOBAL memory) {
  std::lock_guard<std::mutex> guard(blocks().lock);
  auto block = Find(memory);
  return block ? block->size : 0;
}

HGLOBAL GlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT flags) {
  Blocks& b = blocks();
  std::lock_guard<std::mutex> guard(b.lock);
  bool moveable = false;
  auto block = Find(memory, &moveable);
  if (!block) return nullptr;
  if (flags & GMEM_MODIFY) return memory;
  void* oldData = block->data;
  if (!Resize(*block, bytes, flags & GMEM_ZEROINIT)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (moveable) return memory;
  // A fixed block's handle is its address, which may have changed.
  b.fixed.erase(oldData);
  b.fixed[block->data] = block;
  return block->data;
}
