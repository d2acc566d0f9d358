#pragma once
// The process's handle tables. A handle value carries its kind in bits 24-30 and a serial number
// in bits 0-23 that starts at 0x10000 and grows, so values are at least 0x10000, fit in 31 bits
// and differ between kinds. A stale handle finds nothing until its kind's serials have gone round
// once: then the free ones are used again, so a long-running program never runs out.
#include <cstdint>
#include <memory>

namespace win32 {

enum class HandleKind : uint8_t {
  File = 1,
  FindFile,
  FileMapping,
  Event,
  Module,
  RegistryKey,
  Resource,
  GlobalMemory,
  LocalMemory,
  // Kinds 16 and up belong to the window and drawing layers.
  Window = 16,
  DeviceContext,
  Menu,
  Bitmap,
  Brush,
  Pen,
  Font,
  Region,
  Palette,
  Icon,
  Hook,
  Accelerator,
  Monitor,
};

// What a handle stands for. Kinds derive from it and are found again with LookupHandle<T>.
class HandleObject {
 public:
  virtual ~HandleObject() = default;
};

// Registers an object and returns its new handle value (0 when every serial of the kind is live).
uintptr_t AllocateHandle(HandleKind kind, std::shared_ptr<HandleObject> object);

// Where a kind's next serial search starts; lets tests reach the end of the serials.
void SetNextHandleSerial(HandleKind kind, uintptr_t serial);

// The object behind a live handle of the given kind, or null for stale, foreign or null handles.
std::shared_ptr<HandleObject> FindHandle(uintptr_t value, HandleKind kind);

// Forgets a handle; false when it was not a live handle of that kind.
bool ReleaseHandle(uintptr_t value, HandleKind kind);

// The kind a live handle has, or 0 when the value is no live handle.
uint8_t KindOfHandle(uintptr_t value);

template <class T, class H>
std::shared_ptr<T> LookupHandle(H handle, HandleKind kind) {
  return std::dynamic_pointer_cast<T>(FindHandle(reinterpret_cast<uintptr_t>(handle), kind));
}

template <class H>
H ToHandle(uintptr_t value) {
  return reinterpret_cast<H>(value);
}

}  // namespace win32
