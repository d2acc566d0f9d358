#include "audio_clock.h"

namespace dshow::renderers {
namespace {

// How often advise requests look at the clock again: it may move with the sound.
constexpr REFERENCE_TIME kAdvisePoll = 10 * MILLISECONDS;

}  // namespace

AudioClock::AudioClock()
    : CUnknown("audio clock", nullptr), advises_([this] { return CurrentTime(); }, kAdvisePoll) {
  anchor_ = ProcessClockNow();
  sourceAnchor_ = anchor_;
  last_ = anchor_;
}

ComPtr<AudioClock> AudioClock::Create() { return ComPtr<AudioClock>(new AudioClock()); }

STDMETHODIMP AudioClock::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IReferenceClock) return GetInterface(static_cast<IReferenceClock*>(this), ppv);
  return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

REFERENCE_TIME AudioClock::SourceNowLocked() const {
  if (deviceRunning_ && rate_) return REFERENCE_TIME(consumed_ * UNITS / rate_);
  return ProcessClockNow();
}

REFERENCE_TIME AudioClock::NowLocked() {
  REFERENCE_TIME now = anchor_ + (SourceNowLocked() - sourceAnchor_);
  if (now < last_) now = last_;
  last_ = now;
  return now;
}

void AudioClock::DeviceStarted(DWORD framesPerSecond) {
  std::lock_guard<std::mutex> hold(lock_);
  anchor_ = NowLocked();
  deviceRunning_ = true;
  rate_ = framesPerSecond;
  consumed_ = 0;
  sourceAnchor_ = 0;
}

void AudioClock::DeviceConsumed(uint64_t frames) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (!deviceRunning_) return;
    consumed_ += frames;
  }
  advises_.Wake();
}

void AudioClock::DeviceStopped() {
  std::lock_guard<std::mutex> hold(lock_);
  if (!deviceRunning_) return;
  anchor_ = NowLocked();
  deviceRunning_ = false;
  sourceAnchor_ = ProcessClockNow();
}

REFERENCE_TIME AudioClock::CurrentTime() {
  std::lock_guard<std::mutex> hold(lock_);
  return NowLocked();
}

STDMETHODIMP AudioClock::GetTime(REFERENCE_TIME* pTime) {
  if (!pTime) return E_POINTER;
  *pTime = CurrentTime();
  return S_OK;
}

STDMETHODIMP AudioClock::AdviseTime(REFERENCE_TIME baseTime, REFERENCE_TIME streamTime, HEVENT hEvent,
                                    DWORD_PTR* pdwAdviseCookie) {
  if (!pdwAdviseCookie) return E_POINTER;
  if (!hEvent || baseTime + streamTime <= 0) return E_INVALIDARG;
  *pdwAdviseCookie = advises_.Add(baseTime + streamTime, 0, reinterpret_cast<HANDLE>(hEvent));
  return S_OK;
}

STDMETHODIMP AudioClock::AdvisePeriodic(REFERENCE_TIME startTime, REFERENCE_TIME periodTime, HSEMAPHORE hSemaphore,
                                        DWORD_PTR* pdwAdviseCookie) {
  if (!pdwAdviseCookie) return E_POINTER;
  if (!hSemaphore || startTime <= 0 || periodTime <= 0) return E_INVALIDARG;
  *pdwAdviseCookie = advises_.Add(startTime, periodTime, reinterpret_cast<HANDLE>(hSemaphore));
  return S_OK;
}

STDMETHODIMP AudioClock::Unadvise(DWORD_PTR dwAdviseCookie) { return advises_.Remove(dwAdviseCookie) ? S_OK : S_FALSE; }

}  // namespace dshow::renderers
