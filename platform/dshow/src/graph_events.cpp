#include "graph_events.h"

#include <chrono>

#include "dshow/evcode.h"
#include "win32/winbase.h"
#include "win32/winuser.h"

namespace dshow {

GraphEvents::GraphEvents() : event_(CreateEvent(nullptr, TRUE, FALSE, nullptr)) {}

GraphEvents::~GraphEvents() {
  if (event_) CloseHandle(event_);
}

void GraphEvents::Queue(LONG code, LONG_PTR param1, LONG_PTR param2) {
  OAHWND hwnd;
  LONG message;
  LONG_PTR data;
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (flags_ & AM_MEDIAEVENT_NONOTIFY) return;
    queue_.push_back({code, param1, param2});
    if (event_) SetEvent(event_);
    hwnd = hwnd_;
    message = message_;
    data = instanceData_;
  }
  arrived_.notify_all();
  if (hwnd) PostMessageA(reinterpret_cast<HWND>(hwnd), static_cast<UINT>(message), 0, static_cast<LPARAM>(data));
}

HRESULT GraphEvents::Get(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG msTimeout) {
  if (!code || !param1 || !param2) return E_POINTER;
  std::unique_lock<std::mutex> lock(lock_);
  auto ready = [this] { return !queue_.empty() || (flags_ & AM_MEDIAEVENT_NONOTIFY); };
  if (msTimeout == static_cast<LONG>(INFINITE))
    arrived_.wait(lock, ready);
  else if (msTimeout > 0)
    arrived_.wait_for(lock, std::chrono::milliseconds(msTimeout), ready);
  if (queue_.empty()) {
    *code = 0;
    *param1 = *param2 = 0;
    return E_ABORT;
  }
  Event e = queue_.front();
  queue_.pop_front();
  if (queue_.empty() && event_) ResetEvent(event_);
  *code = e.code;
  *param1 = e.param1;
  *param2 = e.param2;
  return S_OK;
}

HRESULT GraphEvents::WaitForCompletion(LONG msTimeout, LONG* code) {
  if (!code) return E_POINTER;
  *code = 0;
  std::unique_lock<std::mutex> lock(lock_);
  auto finished = [this, code] {
    for (const Event& e : queue_) {
      if (e.code == EC_COMPLETE || e.code == EC_ERRORABORT || e.code == EC_USERABORT) {
        *code = e.code;
        return true;
      }
    }
    return false;
  };
  if (msTimeout == static_cast<LONG>(INFINITE))
    arrived_.wait(lock, finished);
  else if (!arrived_.wait_for(lock, std::chrono::milliseconds(msTimeout < 0 ? 0 : msTimeout), finished))
    return E_ABORT;
  return S_OK;
}

void GraphEvents::SetNotifyWindow(OAHWND hwnd, LONG message, LONG_PTR instanceData) {
  std::lock_guard<std::mutex> guard(lock_);
  hwnd_ = hwnd;
  message_ = message;
  instanceData_ = instanceData;
}

void GraphEvents::SetNotifyFlags(LONG flags) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    flags_ = flags;
    // No notifications: what is queued is dropped.
    if (flags & AM_MEDIAEVENT_NONOTIFY) {
      queue_.clear();
      if (event_) ResetEvent(event_);
    }
  }
  arrived_.notify_all();
}

LONG GraphEvents::NotifyFlags() {
  std::lock_guard<std::mutex> guard(lock_);
  return flags_;
}

}  // namespace dshow
