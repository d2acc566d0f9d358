#include "handle_table.h"

#include <mutex>
#include <unordered_map>

namespace win32 {
namespace {

constexpr uintptr_t kFirstSerial = 0x10000;
constexpr uintptr_t kSerialMask = 0xFFFFFF;

struct Table {
  std::mutex lock;
  std::unordered_map<uintptr_t, std::shared_ptr<HandleObject>> live;
  uintptr_t nextSerial[128] = {};
};

// Never destroyed: handles may be closed from static destructors of the layer's users.
Table& table() {
  static Table* t = new Table;
  return *t;
}

}  // namespace

uintptr_t AllocateHandle(HandleKind kind, std::shared_ptr<HandleObject> object) {
  Table& t = table();
  std::lock_guard<std::mutex> guard(t.lock);
  uintptr_t& serial = t.nextSerial[static_cast<uint8_t>(kind) & 0x7F];
  for (uintptr_t tried = 0; tried <= kSerialMask - kFirstSerial; ++tried) {
    if (serial < kFirstSerial || serial > kSerialMask) serial = kFirstSerial;
    const uintptr_t value = (static_cast<uintptr_t>(kind) << 24) | serial++;
    if (t.live.emplace(value, object).second) return value;
  }
  return 0;
}

void SetNextHandleSerial(HandleKind kind, uintptr_t serial) {
  Table& t = table();
  std::lock_guard<std::mutex> guard(t.lock);
  t.nextSerial[static_cast<uint8_t>(kind) & 0x7F] = serial;
}

std::shared_ptr<HandleObject> FindHandle(uintptr_t value, HandleKind kind) {
  if ((value >> 24) != static_cast<uintptr_t>(kind)) return nullptr;
  Table& t = table();
  std::lock_guard<std::mutex> guard(t.lock);
  auto it = t.live.find(value);
  return it == t.live.end() ? nullptr : it->second;
}

bool ReleaseHandle(uintptr_t value, HandleKind kind) {
  if ((value >> 24) != static_cast<uintptr_t>(kind)) return false;
  std::shared_ptr<HandleObject> doomed;  // destroyed outside the lock
  Table& t = table();
  std::lock_guard<std::mutex> guard(t.lock);
  auto it = t.live.find(value);
  if (it == t.live.end()) return false;
  doomed = std::move(it->second);
  t.live.erase(it);
  return true;
}

uint8_t KindOfHandle(uintptr_t value) {
  if (value < kFirstSerial || value > 0x7FFFFFFF) return 0;
  Table& t = table();
  std::lock_guard<std::mutex> guard(t.lock);
  return t.live.count(value) ? static_cast<uint8_t>(value >> 24) : 0;
}

}  // namespace win32
