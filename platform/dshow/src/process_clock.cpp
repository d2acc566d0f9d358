#include "process_clock.h"

#include <chrono>

#include "win32/platform_config.h"
#include "win32/windows.h"

namespace dshow {

REFERENCE_TIME ProcessClockNow() {
  if (platform_config::Config().clock == platform_config::ClockKind::Virtual)
    return REFERENCE_TIME(GetTickCount()) * 10000;
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::nanoseconds>(since).count() / 100;
}

AdviseScheduler::AdviseScheduler(std::function<REFERENCE_TIME()> now, REFERENCE_TIME longestWait)
    : now_(std::move(now)), longestWait_(longestWait), wake_(CreateEvent(nullptr, FALSE, FALSE, nullptr)) {}

AdviseScheduler::~AdviseScheduler() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    quit_ = true;
  }
  SetEvent(wake_);
  if (thread_.joinable()) thread_.join();
  CloseHandle(wake_);
}

DWORD_PTR AdviseScheduler::Add(REFERENCE_TIME due, REFERENCE_TIME period, HANDLE event) {
  DWORD_PTR cookie;
  {
    std::lock_guard<std::mutex> hold(lock_);
    cookie = nextCookie_++;
    advises_[cookie] = {due, period, event};
    if (!thread_.joinable()) thread_ = std::thread([this] { Loop(); });
  }
  Wake();
  return cookie;
}

bool AdviseScheduler::Remove(DWORD_PTR cookie) {
  std::lock_guard<std::mutex> hold(lock_);
  return advises_.erase(cookie) != 0;
}

void AdviseScheduler::Wake() { SetEvent(wake_); }

void AdviseScheduler::Loop() {
  for (;;) {
    // The wait's deadline counts from this reading of the process clock, taken first so that a
    // move of the clock before the wait can only end it early, never put it off.
    const DWORD tick = GetTickCount();
    // Read outside the lock: the clock has its own.
    const REFERENCE_TIME now = now_();
    REFERENCE_TIME next = INT64_MAX;
    {
      std::lock_guard<std::mutex> hold(lock_);
      if (quit_) return;
      for (auto it = advises_.begin(); it != advises_.end();) {
        Advise& a = it->second;
        if (a.due <= now) {
          SetEvent(a.event);
          if (a.period == 0) {
            it = advises_.erase(it);
            continue;
          }
          while (a.due <= now) a.due += a.period;
        }
        next = std::min(next, a.due);
        ++it;
      }
    }
    if (next == INT64_MAX) {
      WaitForSingleObject(wake_, INFINITE);
    } else {
      platform_config::WaitForEventUntil(wake_, tick + DWORD((std::min(next - now, longestWait_) + 9999) / 10000));
    }
  }
}

}  // namespace dshow
