#pragma once
// The system reference clock: the process clock in 100-ns units (monotonic real time, or the
// virtual clock in tests), with advise requests served by a timer thread that sets the caller's
// event.
#include "dshow/amfilter.h"
#include "process_clock.h"

namespace dshow {

class SystemClock : public CUnknown, public IReferenceClock {
 public:
  SystemClock(LPUNKNOWN pUnk, HRESULT* phr);
  static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* phr);

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  STDMETHODIMP GetTime(REFERENCE_TIME* pTime) override;
  // The event is set once base + stream time is reached (at once when it has passed).
  STDMETHODIMP AdviseTime(REFERENCE_TIME baseTime, REFERENCE_TIME streamTime, HEVENT hEvent,
                          DWORD_PTR* pdwAdviseCookie) override;
  // The event is set at start time and then every period.
  STDMETHODIMP AdvisePeriodic(REFERENCE_TIME startTime, REFERENCE_TIME periodTime, HSEMAPHORE hSemaphore,
                              DWORD_PTR* pdwAdviseCookie) override;
  STDMETHODIMP Unadvise(DWORD_PTR dwAdviseCookie) override;

 private:
  AdviseScheduler advises_;
};

}  // namespace dshow
