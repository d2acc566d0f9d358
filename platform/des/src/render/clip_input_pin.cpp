#include "clip_input_pin.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "ole/comptr.h"

namespace des {

namespace {
constexpr size_t kPicturesAhead = 3;
constexpr REFERENCE_TIME kTimeSlack = 1000;  // 0.1 ms: rounding in the chain's times
}  // namespace

ClipInputPin::ClipInputPin(CBaseFilter* filter, CCritSec* lock, HRESULT* phr, LPCWSTR name,
                           const ClipPlan& clip, const GroupPlan& group)
    : CBaseInputPin("Clip Input", filter, lock, phr, name), clip_(clip), group_(group) {
  if (!group.video) {
    auto* wf = reinterpret_cast<const WAVEFORMATEX*>(group.type.pbFormat);
    outChannels_ = wf->nChannels;
    outRate_ = int(wf->nSamplesPerSec);
  }
}

HRESULT ClipInputPin::CheckMediaType(const CMediaType* mt) {
  if (group_.video) {
    if (mt->majortype != MEDIATYPE_Video || !PictureFitter::Accepts(mt->subtype) ||
        mt->formattype != FORMAT_VideoInfo || mt->cbFormat < sizeof(VIDEOINFOHEADER) || !mt->pbFormat)
      return VFW_E_TYPE_NOT_ACCEPTED;
    const BITMAPINFOHEADER& bmi = reinterpret_cast<const VIDEOINFOHEADER*>(mt->pbFormat)->bmiHeader;
    return bmi.biWidth > 0 && bmi.biHeight != 0 ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
  }
  if (mt->majortype != MEDIATYPE_Audio || mt->formattype != FORMAT_WaveFormatEx ||
      mt->cbFormat < sizeof(WAVEFORMATEX) - 2 || !mt->pbFormat)
    return VFW_E_TYPE_NOT_ACCEPTED;
  const auto* wf = reinterpret_cast<const WAVEFORMATEX*>(mt->pbFormat);
  return wf->wFormatTag == WAVE_FORMAT_PCM && wf->wBitsPerSample == 16 && wf->nChannels > 0 &&
                 wf->nSamplesPerSec > 0
             ? S_OK
             : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT ClipInputPin::CompleteConnect(IPin* receivePin) {
  HRESULT hr = CBaseInputPin::CompleteConnect(receivePin);
  if (FAILED(hr)) return hr;
  if (group_.video) {
    const auto* in = reinterpret_cast<const VIDEOINFOHEADER*>(m_mt.pbFormat);
    const auto* out = reinterpret_cast<const VIDEOINFOHEADER*>(group_.type.pbFormat);
    fitter_ = std::make_unique<PictureFitter>(m_mt.subtype, in->bmiHeader, out->bmiHeader, clip_.stretchMode);
    if (!fitter_->Valid()) return VFW_E_TYPE_NOT_ACCEPTED;
  } else {
    NewStretcher();
    if (!stretcher_->Valid()) return VFW_E_TYPE_NOT_ACCEPTED;
  }
  return S_OK;
}

HRESULT ClipInputPin::BreakConnect() {
  fitter_.reset();
  stretcher_.reset();
  return CBaseInputPin::BreakConnect();
}

void ClipInputPin::ResetQueue() {
  pictures_.clear();
  haveCurrent_ = false;
  sound_.clear();
  soundRead_ = 0;
  soundPlaced_ = false;
}

void ClipInputPin::Abort() {
  std::lock_guard<std::mutex> lock(mutex_);
  aborted_ = true;
  changed_.notify_all();
}

void ClipInputPin::NewStretcher() {
  const auto* in = reinterpret_cast<const WAVEFORMATEX*>(m_mt.pbFormat);
  const auto* out = reinterpret_cast<const WAVEFORMATEX*>(group_.type.pbFormat);
  stretcher_ = std::make_unique<SoundStretcher>(*in, *out, clip_.Rate());
}

void ClipInputPin::Restart() {
  std::lock_guard<std::mutex> lock(mutex_);
  aborted_ = false;
  ended_ = false;
  ResetQueue();
  freshStretcher_ = !group_.video;  // made anew by the chain's own thread
}

HRESULT ClipInputPin::SeekChain(REFERENCE_TIME start) {
  ComPtr<IMediaSeeking> seeking;
  HRESULT hr = m_Connected ? m_Connected->QueryInterface(IID_IMediaSeeking, seeking.putVoid()) : VFW_E_NOT_CONNECTED;
  if (FAILED(hr)) return hr;
  LONGLONG from = start, to = clip_.mediaStop;
  hr = seeking->SetPositions(&from, AM_SEEKING_AbsolutePositioning, &to, AM_SEEKING_AbsolutePositioning);
  std::lock_guard<std::mutex> lock(mutex_);
  seekedTo_ = SUCCEEDED(hr) ? start : 0;
  return hr;
}

STDMETHODIMP ClipInputPin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) {
  CBaseInputPin::NewSegment(tStart, tStop, dRate);
  std::lock_guard<std::mutex> lock(mutex_);
  segmentStart_ = tStart;
  segmentKnown_ = true;
  soundPlaced_ = false;
  return S_OK;
}

STDMETHODIMP ClipInputPin::Receive(IMediaSample* sample) {
  HRESULT hr = CBaseInputPin::Receive(sample);
  if (hr != S_OK) return hr;
  REFERENCE_TIME start = 0, stop = 0;
  if (FAILED(sample->GetTime(&start, &stop))) return S_OK;  // a sample that cannot be placed
  std::unique_lock<std::mutex> lock(mutex_);
  if (aborted_ || ended_) return S_FALSE;
  const REFERENCE_TIME offset = segmentKnown_ ? segmentStart_ : seekedTo_;
  const REFERENCE_TIME m = offset + start;
  if (m >= clip_.mediaStop) {  // past the clip: the chain may stop
    ended_ = true;
    changed_.notify_all();
    return S_FALSE;
  }
  return group_.video ? ReceivePicture(sample, m, lock) : ReceiveSound(sample, m, lock);
}

HRESULT ClipInputPin::ReceivePicture(IMediaSample* sample, REFERENCE_TIME m, std::unique_lock<std::mutex>& lock) {
  BYTE* data = nullptr;
  sample->GetPointer(&data);
  const auto* in = reinterpret_cast<const VIDEOINFOHEADER*>(m_mt.pbFormat);
  const size_t needed = PictureFitter::InputBytes(m_mt.subtype, in->bmiHeader);
  if (!data || size_t(sample->GetActualDataLength()) < needed) return S_OK;  // a short picture is skipped
  Picture picture{m, {}};
  if (!spare_.empty()) {
    picture.bits = std::move(spare_.back());
    spare_.pop_back();
  }
  lock.unlock();
  picture.bits.resize(fitter_->FittedBytes());
  fitter_->Fit(data, picture.bits.data());
  lock.lock();
  changed_.wait(lock, [this] { return aborted_ || IsFlushing() || pictures_.size() < kPicturesAhead; });
  if (aborted_ || IsFlushing()) return S_FALSE;
  pictures_.push_back(std::move(picture));
  changed_.notify_all();
  return S_OK;
}

HRESULT ClipInputPin::ReceiveSound(IMediaSample* sample, REFERENCE_TIME m, std::unique_lock<std::mutex>& lock) {
  BYTE* data = nullptr;
  sample->GetPointer(&data);
  if (!data) return S_OK;
  if (!soundPlaced_) {
    const double timeline = clip_.start + (m - clip_.mediaStart) / clip_.Rate();
    soundFirst_ = std::llround(timeline * outRate_ / UNITS);
    soundPlaced_ = true;
    sound_.clear();
    soundRead_ = 0;
  }
  if (freshStretcher_) {  // nothing the converter holds from before a restart comes out
    NewStretcher();
    freshStretcher_ = false;
  }
  lock.unlock();
  converted_.clear();
  stretcher_->Convert(data, size_t(sample->GetActualDataLength()), &converted_);
  lock.lock();
  const size_t limit = size_t(outRate_) * outChannels_;  // about a second ahead
  changed_.wait(lock, [this, limit] { return aborted_ || IsFlushing() || sound_.size() - soundRead_ < limit; });
  if (aborted_ || IsFlushing()) return S_FALSE;
  if (soundRead_ > sound_.size() / 2) {
    sound_.erase(sound_.begin(), sound_.begin() + ptrdiff_t(soundRead_));
    soundRead_ = 0;
  }
  sound_.insert(sound_.end(), converted_.begin(), converted_.end());
  changed_.notify_all();
  return S_OK;
}

STDMETHODIMP ClipInputPin::EndOfStream() {
  if (!group_.video && stretcher_ && !IsFlushing()) {
    converted_.clear();
    stretcher_->Convert(nullptr, 0, &converted_);
  }
  std::lock_guard<std::mutex> lock(mutex_);
  if (!group_.video && soundPlaced_) sound_.insert(sound_.end(), converted_.begin(), converted_.end());
  ended_ = true;
  changed_.notify_all();
  return S_OK;
}

STDMETHODIMP ClipInputPin::BeginFlush() {
  CBaseInputPin::BeginFlush();
  std::lock_guard<std::mutex> lock(mutex_);
  ResetQueue();
  changed_.notify_all();
  return S_OK;
}

STDMETHODIMP ClipInputPin::EndFlush() {
  CBaseInputPin::EndFlush();
  std::lock_guard<std::mutex> lock(mutex_);
  ResetQueue();
  ended_ = false;
  return S_OK;
}

ClipInputPin::Result ClipInputPin::PictureAt(REFERENCE_TIME m, BYTE* frame) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    if (aborted_) return Result::kAborted;
    while (!pictures_.empty() && pictures_.front().time <= m + kTimeSlack) {
      if (haveCurrent_) spare_.push_back(std::move(current_.bits));
      current_ = std::move(pictures_.front());
      haveCurrent_ = true;
      pictures_.pop_front();
      changed_.notify_all();
    }
    if (!pictures_.empty() || ended_) break;
    changed_.wait(lock);
  }
  const Picture* shown = haveCurrent_ ? &current_ : pictures_.empty() ? nullptr : &pictures_.front();
  if (!shown) return Result::kNothing;
  fitter_->Frame(shown->bits.data(), frame);
  return Result::kFilled;
}

ClipInputPin::Result ClipInputPin::MixInto(int64_t first, int count, int32_t* mix) {
  std::unique_lock<std::mutex> lock(mutex_);
  const int ch = outChannels_;
  auto queued = [this, ch] { return int64_t((sound_.size() - soundRead_) / ch); };
  for (;;) {
    if (aborted_) return Result::kAborted;
    if (soundPlaced_ && soundFirst_ < first) {  // before what is asked: no longer needed
      const int64_t drop = std::min(first - soundFirst_, queued());
      soundRead_ += size_t(drop) * ch;
      soundFirst_ += drop;
      changed_.notify_all();
    }
    if ((soundPlaced_ && soundFirst_ + queued() >= first + count) || ended_) break;
    changed_.wait(lock);
  }
  if (!soundPlaced_) return Result::kNothing;
  const int64_t from = std::max(first, soundFirst_);
  const int64_t to = std::min(first + count, soundFirst_ + queued());
  for (int64_t i = from; i < to; ++i) {
    const int16_t* in = sound_.data() + soundRead_ + size_t(i - soundFirst_) * ch;
    int32_t* out = mix + size_t(i - first) * ch;
    for (int c = 0; c < ch; ++c) out[c] += in[c];
  }
  if (to > soundFirst_) {
    soundRead_ += size_t(to - soundFirst_) * ch;
    soundFirst_ = to;
    changed_.notify_all();
  }
  return Result::kFilled;
}

}  // namespace des
