#include "audio_clock.h"

#include <chrono>

namespace dshow::renderers {
namespace {

REFERENCE_TIME RealNow() {
  auto since = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::nanoseconds>(since).count() / 100;
}

// How often advise requests look at the clock again: it may move with the sound.
constexpr REFERENCE_TIME kAdvisePoll = 10 * MILLISECONDS;

}  // namespace

AudioClock::AudioClock() : CUnknown("audio clock", nullptr) {
  anchor_ = RealNow();
  sourceAnchor_ = anchor_;
  last_ = anchor_;
}

ComPtr<AudioClock> AudioClock::Create() { return ComPtr<AudioClock>(new AudioClock()); }

AudioClock::~AudioClock() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    quit_ = true;
  }
  changed_.notify_all();
  if (timer_.joinable()) timer_.join();
}

STDMETHODIMP AudioClock::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IReferenceClock) return GetInterface(static_cast<IReferenceClock*>(this), ppv);
  return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

REFERENCE_TIME AudioClock::SourceNowLocked() const {
  if (deviceRunning_ && rate_) return REFERENCE_TIME(consumed_ * UNITS / rate_);
  return RealNow();
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
  changed_.notify_all();
}

void AudioClock::DeviceStopped() {
  std::lock_guard<std::mutex> hold(lock_);
  if (!deviceRunning_) return;
  anchor_ = NowLocked();
  deviceRunning_ = false;
  sourceAnchor_ = RealNow();
}

STDMETHODIMP AudioClock::GetTime(REFERENCE_TIME* pTime) {
  if (!pTime) return E_POINTER;
  std::lock_guard<std::mutex> hold(lock_);
  *pTime = NowLocked();
  return S_OK;
}

STDMETHODIMP AudioClock::AdviseTime(REFERENCE_TIME baseTime, REFERENCE_TIME streamTime, HEVENT hEvent,
                                    DWORD_PTR* pdwAdviseCookie) {
  if (!pdwAdviseCookie) return E_POINTER;
  if (!hEvent || baseTime + streamTime <= 0) return E_INVALIDARG;
  std::lock_guard<std::mutex> hold(lock_);
  const DWORD_PTR cookie = nextCookie_++;
  advises_[cookie] = {baseTime + streamTime, 0, reinterpret_cast<HANDLE>(hEvent)};
  if (!timer_.joinable()) timer_ = std::thread([this] { TimerLoop(); });
  changed_.notify_all();
  *pdwAdviseCookie = cookie;
  return S_OK;
}

STDMETHODIMP AudioClock::AdvisePeriodic(REFERENCE_TIME startTime, REFERENCE_TIME periodTime, HSEMAPHORE hSemaphore,
                                        DWORD_PTR* pdwAdviseCookie) {
  if (!pdwAdviseCookie) return E_POINTER;
  if (!hSemaphore || startTime <= 0 || periodTime <= 0) return E_INVALIDARG;
  std::lock_guard<std::mutex> hold(lock_);
  const DWORD_PTR cookie = nextCookie_++;
  advises_[cookie] = {startTime, periodTime, reinterpret_cast<HANDLE>(hSemaphore)};
  if (!timer_.joinable()) timer_ = std::thread([this] { TimerLoop(); });
  changed_.notify_all();
  *pdwAdviseCookie = cookie;
  return S_OK;
}

STDMETHODIMP AudioClock::Unadvise(DWORD_PTR dwAdviseCookie) {
  std::lock_guard<std::mutex> hold(lock_);
  return advises_.erase(dwAdviseCookie) ? S_OK : S_FALSE;
}

void AudioClock::TimerLoop() {
  std::unique_lock<std::mutex> lock(lock_);
  while (!quit_) {
    const REFERENCE_TIME now = NowLocked();
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
      changed_.wait_for(lock, std::chrono::nanoseconds(std::min(next - now, kAdvisePoll) * 100));
  }
}

}  // namespace dshow::renderers
