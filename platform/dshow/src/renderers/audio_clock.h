#pragma once
// The Audio Renderer's reference clock. While sound plays it advances with the sound the device
// has consumed, so that pictures keep pace with what is heard; otherwise it follows the process
// clock.
// It never runs backwards. A separate object from the renderer: the graph and every filter hold
// it, and it outlives the renderer.
#include <mutex>

#include "dshow/dshow.h"
#include "process_clock.h"

namespace dshow::renderers {

class AudioClock : public CUnknown, public IReferenceClock {
 public:
  static ComPtr<AudioClock> Create();

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  STDMETHODIMP GetTime(REFERENCE_TIME* pTime) override;
  STDMETHODIMP AdviseTime(REFERENCE_TIME baseTime, REFERENCE_TIME streamTime, HEVENT hEvent,
                          DWORD_PTR* pdwAdviseCookie) override;
  STDMETHODIMP AdvisePeriodic(REFERENCE_TIME startTime, REFERENCE_TIME periodTime, HSEMAPHORE hSemaphore,
                              DWORD_PTR* pdwAdviseCookie) override;
  STDMETHODIMP Unadvise(DWORD_PTR dwAdviseCookie) override;

  // From the renderer: the device starts consuming sound at this rate, has consumed frames
  // more (called from the device's thread), or stops.
  void DeviceStarted(DWORD framesPerSecond);
  void DeviceConsumed(uint64_t frames);
  void DeviceStopped();

 private:
  AudioClock();
  REFERENCE_TIME SourceNowLocked() const;
  REFERENCE_TIME NowLocked();
  REFERENCE_TIME CurrentTime();

  std::mutex lock_;
  bool deviceRunning_ = false;
  DWORD rate_ = 0;
  uint64_t consumed_ = 0;     // frames since the device started
  REFERENCE_TIME anchor_ = 0;  // clock time when the current source took over
  REFERENCE_TIME sourceAnchor_ = 0;
  REFERENCE_TIME last_ = 0;
  AdviseScheduler advises_;
};

}  // namespace dshow::renderers
