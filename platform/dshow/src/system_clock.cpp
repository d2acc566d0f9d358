#include "system_clock.h"

namespace dshow {

SystemClock::SystemClock(LPUNKNOWN pUnk, HRESULT* phr)
    : CUnknown("system clock", pUnk, phr), advises_(&ProcessClockNow, INT64_MAX) {}

CUnknown* SystemClock::CreateInstance(LPUNKNOWN outer, HRESULT* phr) { return new SystemClock(outer, phr); }

STDMETHODIMP SystemClock::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IReferenceClock) return GetInterface(static_cast<IReferenceClock*>(this), ppv);
  return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP SystemClock::GetTime(REFERENCE_TIME* pTime) {
  if (!pTime) return E_POINTER;
  *pTime = ProcessClockNow();
  return S_OK;
}

STDMETHODIMP SystemClock::AdviseTime(REFERENCE_TIME baseTime, REFERENCE_TIME streamTime, HEVENT hEvent,
                                     DWORD_PTR* pdwAdviseCookie) {
  if (!pdwAdviseCookie) return E_POINTER;
  if (!hEvent || baseTime + streamTime <= 0) return E_INVALIDARG;
  *pdwAdviseCookie = advises_.Add(baseTime + streamTime, 0, reinterpret_cast<HANDLE>(hEvent));
  return S_OK;
}

STDMETHODIMP SystemClock::AdvisePeriodic(REFERENCE_TIME startTime, REFERENCE_TIME periodTime, HSEMAPHORE hSemaphore,
                                         DWORD_PTR* pdwAdviseCookie) {
  if (!pdwAdviseCookie) return E_POINTER;
  if (!hSemaphore || startTime <= 0 || periodTime <= 0) return E_INVALIDARG;
  *pdwAdviseCookie = advises_.Add(startTime, periodTime, reinterpret_cast<HANDLE>(hSemaphore));
  return S_OK;
}

STDMETHODIMP SystemClock::Unadvise(DWORD_PTR dwAdviseCookie) { return advises_.Remove(dwAdviseCookie) ? S_OK : S_FALSE; }

}  // namespace dshow
