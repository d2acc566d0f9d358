#include "system_clock.h"

#include <chrono>

namespace dshow {
namespace {

REFERENCE_TIME Now() {
  auto since = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::nanoseconds>(since).count() / 100;
}

}  // namespace

SystemClock::SystemClock(LPUNKNOWN pUnk, HRESULT* phr) : CUnknown("system clock", pUnk, phr) {}

SystemClock::~SystemClock() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    quit_ = true;
  }
  changed_.notify_all();
  if (timer_.joinable()) timer_.join();
}

CUnknown* SystemClock::CreateInstance(LPUNKNOWN outer, HRESULT* phr) { return new SystemClock(outer, phr); }

STDMETHODIMP SystemClock::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IReferenceClock) return GetInterface(static_cast<IReferenceClock*>(this), ppv);
  return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP SystemClock::GetTime(REFERENCE_TIME* pTime) {
  if (!pTime) return E_POINTER;
  *pTime = Now();
  return S_OK;
}

STDMETHODIMP SystemClock::AdviseTime(REFERENCE_TIME baseTime, REFERENCE_TIME streamTime, HEVENT hEvent,
                                     DWORD_PTR* pdwAdviseCookie) {
  if (!pdwAdviseCookie) return E_POINTER;
  if (!hEvent || baseTime + streamTime <= 0) return E_INVALIDARG;
  std::lock_guard<std::mutex> guard(lock_);
  DWORD_PTR cookie = nextCookie_++;
  advises_[cookie] = {baseTime + streamTime, 0, reinterpret_cast<HANDLE>(hEvent)};
  if (!timer_.joinable()) timer_ = std::thread([this] { TimerLoop(); });
  changed_.notify_all();
  *pdwAdviseCookie = cookie;
  return S_OK;
}

STDMETHODIMP SystemClock::AdvisePeriodic(REFERENCE_TIME startTime, REFERENCE_TIME periodTime, HSEMAPHORE hSemaphore,
                                         DWORD_PTR* pdwAdviseCookie) {
  if (!pdwAdviseCookie) return E_POINTER;
  if (!hSemaphore || startTime <= 0 || periodTime <= 0) return E_INVALIDARG;
  std::lock_guard<std::mutex> guard(lock_);
  DWORD_PTR cookie = nextCookie_++;
  advises_[cookie] = {startTime, periodTime, reinterpret_cast<HANDLE>(hSemaphore)};
  if (!timer_.joinable()) timer_ = std::thread([this] { TimerLoop(); });
  changed_.notify_all();
  *pdwAdviseCookie = cookie;
  return S_OK;
}

STDMETHODIMP SystemClock::Unadvise(DWORD_PTR dwAdviseCookie) {
  std::lock_guard<std::mutex> guard(lock_);
  return advises_.erase(dwAdviseCookie) ? S_OK : S_FALSE;
}

void SystemClock::TimerLoop() {
  std::unique_lock<std::mutex> lock(lock_);
  while (!quit_) {
    REFERENCE_TIME now = Now();
    REFERENCE_TIME next = INT64_MAX;
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
      if (a.due < next) next = a.due;
      ++it;
    }
    if (next == INT64_MAX)
      changed_.wait(lock);
    else
      changed_.wait_for(lock, std::chrono::nanoseconds((next - now) * 100));
  }
}

}  // namespace dshow
