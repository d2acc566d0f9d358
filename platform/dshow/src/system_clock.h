#pragma once
// The system reference clock: monotonic real time in 100-ns units, with advise requests served
// by a timer thread that sets the caller's event.
#include <map>

#include "dshow/amfilter.h"

namespace dshow {

class SystemClock : public CUnknown, public IReferenceClock {
 public:
  SystemClock(LPUNKNOWN pUnk, HRESULT* phr);
  ~SystemClock() override;
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
  struct Advise {
    REFERENCE_TIME due;
    REFERENCE_TIME period;  // 0: once
    HANDLE event;
  };
  void TimerLoop();

  std::mutex lock_;
  std::condition_variable changed_;
  std::map<DWORD_PTR, Advise> advises_;
  DWORD_PTR nextCookie_ = 1;
  bool quit_ = false;
  std::thread timer_;  // started with the first advise
};

}  // namespace dshow
