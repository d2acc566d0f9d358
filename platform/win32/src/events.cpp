// Events and waits. One lock and condition serve every event, so that both SetEvent and an advance
// of the process clock can wake a waiter.
#include <condition_variable>
#include <mutex>

#include "clock.h"
#include "handle_table.h"
#include "last_error.h"
#include "win32/platform_config.h"
#include "win32/winbase.h"
#include "win32/winerror.h"

using namespace win32;

namespace {

struct Sync {
  std::mutex lock;
  std::condition_variable changed;
};

// Never destroyed: waits may run from users' static destructors.
Sync& EventSync() {
  static Sync* s = new Sync;
  return *s;
}

class EventObject : public HandleObject {
 public:
  EventObject(bool manualReset, bool signalled) : manualReset(manualReset), signalled(signalled) {}
  const bool manualReset;
  bool signalled;  // guarded by EventSync().lock
};

std::shared_ptr<EventObject> EventFromHandle(HANDLE handle) {
  auto event = LookupHandle<EventObject>(handle, HandleKind::Event);
  if (!event) SetLastError(ERROR_INVALID_HANDLE);
  return event;
}

}  // namespace

void win32::NotifyClockWaiters() {
  Sync& s = EventSync();
  std::lock_guard<std::mutex> guard(s.lock);
  s.changed.notify_all();
}

HANDLE CreateEvent(LPSECURITY_ATTRIBUTES /*eventAttributes*/, BOOL manualReset, BOOL initialState, LPCSTR /*name*/) {
  uintptr_t handle = AllocateHandle(HandleKind::Event, std::make_shared<EventObject>(manualReset, initialState));
  if (!handle) {
    SetLastError(ERROR_TOO_MANY_OPEN_FILES);
    return nullptr;
  }
  SetLastError(ERROR_SUCCESS);
  return ToHandle<HANDLE>(handle);
}

BOOL SetEvent(HANDLE event) {
  auto object = EventFromHandle(event);
  if (!object) return FALSE;
  Sync& s = EventSync();
  std::lock_guard<std::mutex> guard(s.lock);
  object->signalled = true;
  s.changed.notify_all();
  return TRUE;
}

BOOL ResetEvent(HANDLE event) {
  auto object = EventFromHandle(event);
  if (!object) return FALSE;
  std::lock_guard<std::mutex> guard(EventSync().lock);
  object->signalled = false;
  return TRUE;
}

namespace {

// Waits for the event until the clock reaches deadline (ms on the process clock), or for ever.
DWORD WaitUntil(HANDLE handle, const uint64_t* deadline) {
  auto object = EventFromHandle(handle);
  if (!object) return WAIT_FAILED;
  Sync& s = EventSync();
  std::unique_lock<std::mutex> guard(s.lock);
  for (;;) {
    if (object->signalled) {
      if (!object->manualReset) object->signalled = false;
      return WAIT_OBJECT_0;
    }
    const uint64_t now = ClockNowMs();
    if (deadline && now >= *deadline) return WAIT_TIMEOUT;
    if (!deadline || ClockIsVirtual()) {
      s.changed.wait(guard);
    } else {
      s.changed.wait_for(guard, std::chrono::milliseconds(*deadline - now));
    }
  }
}

}  // namespace

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  if (milliseconds == INFINITE) return WaitUntil(handle, nullptr);
  const uint64_t deadline = ClockNowMs() + milliseconds;
  return WaitUntil(handle, &deadline);
}

DWORD platform_config::WaitForEventUntil(HANDLE event, DWORD tick) {
  // The tick as a time on the 64-bit clock: the nearest one, before or after now.
  const uint64_t now = ClockNowMs();
  const uint64_t deadline = now + static_cast<int64_t>(static_cast<int32_t>(tick - static_cast<DWORD>(now)));
  return WaitUntil(event, &deadline);
}
