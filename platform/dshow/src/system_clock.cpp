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
    std::lock_guard<std::mutex> guard(m_lock);
    m_quit = true;
  }
  m_changed.notify_all();
  if (m_timer.joinable()) m_timer.join();
}

HRESULT SystemClock::Create(IUnknown* pUnkOuter, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (pUnkOuter && riid != IID_IUnknown) return E_NOINTERFACE;
  HRESULT hr = S_OK;
  SystemClock* clock = new SystemClock(pUnkOuter, &hr);
  clock->NonDelegatingAddRef();
  hr = clock->NonDelegatingQueryInterface(riid, ppv);
  clock->NonDelegatingRelease();
  return hr;
}

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
  std::lock_guard<std::mutex> guard(m_lock);
  DWORD_PTR cookie = m_nextCookie++;
  m_advises[cookie] = {baseTime + streamTime, 0, reinterpret_cast<HANDLE>(hEvent)};
  if (!m_timer.joinable()) m_timer = std::thread([this] { TimerLoop(); });
  m_changed.notify_all();
  *pdwAdviseCookie = cookie;
  return S_OK;
}

STDMETHODIMP SystemClock::AdvisePeriodic(REFERENCE_TIME startTime, REFERENCE_TIME periodTime, HSEMAPHORE hSemaphore,
                                         DWORD_PTR* pdwAdviseCookie) {
  if (!pdwAdviseCookie) return E_POINTER;
  if (!hSemaphore || startTime <= 0 || periodTime <= 0) return E_INVALIDARG;
  std::lock_guard<std::mutex> guard(m_lock);
  DWORD_PTR cookie = m_nextCookie++;
  m_advises[cookie] = {startTime, periodTime, reinterpret_cast<HANDLE>(hSemaphore)};
  if (!m_timer.joinable()) m_timer = std::thread([this] { TimerLoop(); });
  m_changed.notify_all();
  *pdwAdviseCookie = cookie;
  return S_OK;
}

STDMETHODIMP SystemClock::Unadvise(DWORD_PTR dwAdviseCookie) {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_advises.erase(dwAdviseCookie) ? S_OK : S_FALSE;
}

void SystemClock::TimerLoop() {
  std::unique_lock<std::mutex> lock(m_lock);
  while (!m_quit) {
    REFERENCE_TIME now = Now();
    REFERENCE_TIME next = INT64_MAX;
    for (auto it = m_advises.begin(); it != m_advises.end();) {
      Advise& a = it->second;
      if (a.due <= now) {
        SetEvent(a.event);
        if (a.period == 0) {
          it = m_advises.erase(it);
          continue;
        }
        while (a.due <= now) a.due += a.period;
      }
      if (a.due < next) next = a.due;
      ++it;
    }
    if (next == INT64_MAX)
      m_changed.wait(lock);
    else
      m_changed.wait_for(lock, std::chrono::nanoseconds((next - now) * 100));
  }
}

}  // namespace dshow
