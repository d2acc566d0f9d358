#include "graph_events.h"

#include <chrono>

#include "dshow/evcode.h"
#include "win32/winbase.h"
#include "win32/winuser.h"

namespace dshow {

GraphEvents::GraphEvents() : m_hEvent(CreateEvent(nullptr, TRUE, FALSE, nullptr)) {}

GraphEvents::~GraphEvents() {
  if (m_hEvent) CloseHandle(m_hEvent);
}

void GraphEvents::Queue(LONG code, LONG_PTR param1, LONG_PTR param2) {
  OAHWND hwnd;
  LONG message;
  LONG_PTR data;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_flags & AM_MEDIAEVENT_NONOTIFY) return;
    m_queue.push_back({code, param1, param2});
    if (m_hEvent) SetEvent(m_hEvent);
    hwnd = m_hwnd;
    message = m_message;
    data = m_instanceData;
  }
  m_arrived.notify_all();
  if (hwnd) PostMessageA(reinterpret_cast<HWND>(hwnd), static_cast<UINT>(message), 0, static_cast<LPARAM>(data));
}

HRESULT GraphEvents::Get(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG msTimeout) {
  if (!code || !param1 || !param2) return E_POINTER;
  std::unique_lock<std::mutex> lock(m_lock);
  auto ready = [this] { return !m_queue.empty() || (m_flags & AM_MEDIAEVENT_NONOTIFY); };
  if (msTimeout == static_cast<LONG>(INFINITE))
    m_arrived.wait(lock, ready);
  else if (msTimeout > 0)
    m_arrived.wait_for(lock, std::chrono::milliseconds(msTimeout), ready);
  if (m_queue.empty()) {
    *code = 0;
    *param1 = *param2 = 0;
    return E_ABORT;
  }
  Event e = m_queue.front();
  m_queue.pop_front();
  if (m_queue.empty() && m_hEvent) ResetEvent(m_hEvent);
  *code = e.code;
  *param1 = e.param1;
  *param2 = e.param2;
  return S_OK;
}

HRESULT GraphEvents::WaitForCompletion(LONG msTimeout, LONG* code) {
  if (!code) return E_POINTER;
  *code = 0;
  std::unique_lock<std::mutex> lock(m_lock);
  auto finished = [this, code] {
    for (const Event& e : m_queue) {
      if (e.code == EC_COMPLETE || e.code == EC_ERRORABORT || e.code == EC_USERABORT) {
        *code = e.code;
        return true;
      }
    }
    return false;
  };
  if (msTimeout == static_cast<LONG>(INFINITE))
    m_arrived.wait(lock, finished);
  else if (!m_arrived.wait_for(lock, std::chrono::milliseconds(msTimeout < 0 ? 0 : msTimeout), finished))
    return E_ABORT;
  return S_OK;
}

void GraphEvents::SetNotifyWindow(OAHWND hwnd, LONG message, LONG_PTR instanceData) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_hwnd = hwnd;
  m_message = message;
  m_instanceData = instanceData;
}

void GraphEvents::SetNotifyFlags(LONG flags) {
  {
    std::lock_guard<std::mutex> guard(m_lock);
    m_flags = flags;
    // No notifications: what is queued is dropped.
    if (flags & AM_MEDIAEVENT_NONOTIFY) {
      m_queue.clear();
      if (m_hEvent) ResetEvent(m_hEvent);
    }
  }
  m_arrived.notify_all();
}

LONG GraphEvents::NotifyFlags() {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_flags;
}

}  // namespace dshow
