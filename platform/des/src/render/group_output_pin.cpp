#include "group_output_pin.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "clip_input_pin.h"
#include "group_filter.h"
#include "ole/comptr.h"

namespace des {

namespace {
// Returned by a fill that Stop interrupted.
constexpr HRESULT kStopped = VFW_E_WRONG_STATE;
}  // namespace

GroupOutputPin::GroupOutputPin(GroupFilter* filter, HRESULT* phr, const GroupPlan& plan)
    : CSourceStream("Group Output", phr, filter, u"Output"),
      plan_(plan),
      span_(plan.rangeStop - plan.rangeStart),
      stop_(span_) {
  if (plan.video) composer_ = std::make_unique<FrameComposer>(plan);
  if (!plan.video) {
    auto* wf = reinterpret_cast<const WAVEFORMATEX*>(plan.type.pbFormat);
    rate_ = int(wf->nSamplesPerSec);
    blockAlign_ = wf->nBlockAlign;
    blockSamples_ = std::max(1, rate_ / 20);
  }
}

REFERENCE_TIME GroupOutputPin::FrameTime(int64_t n, double fps) { return std::llround(double(n) * UNITS / fps); }

REFERENCE_TIME GroupOutputPin::TimeOf(int64_t n) const {
  return plan_.video ? FrameTime(n, plan_.fps) : std::llround(double(n) * UNITS / rate_);
}

GroupFilter* GroupOutputPin::Group() const { return static_cast<GroupFilter*>(m_pFilter); }

STDMETHODIMP GroupOutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (riid == IID_IMediaSeeking) return GetInterface(static_cast<IMediaSeeking*>(this), ppv);
  return CSourceStream::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT GroupOutputPin::GetMediaType(CMediaType* mt) {
  *mt = plan_.type;
  return S_OK;
}

HRESULT GroupOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
  request->cBuffers = std::max<LONG>(request->cBuffers, 4);
  const LONG size = plan_.video ? LONG(plan_.type.lSampleSize) : LONG(blockSamples_ * blockAlign_);
  request->cbBuffer = std::max(request->cbBuffer, size);
  if (request->cbAlign < 1) request->cbAlign = 1;
  ALLOCATOR_PROPERTIES actual{};
  HRESULT hr = allocator->SetProperties(request, &actual);
  if (FAILED(hr)) return hr;
  return actual.cbBuffer < size ? E_FAIL : S_OK;
}

int64_t GroupOutputPin::FirstAt(REFERENCE_TIME t) const {
  int64_t n = plan_.video ? int64_t(double(t) * plan_.fps / UNITS) : int64_t(double(t) * rate_ / UNITS);
  while (n > 0 && TimeOf(n - 1) >= t) --n;
  while (TimeOf(n) < t) ++n;
  return n;
}

int64_t GroupOutputPin::EndAt(REFERENCE_TIME stop) const {
  // Frames: the last one starts before the stop; sound: the nearest sample.
  return plan_.video ? FirstAt(stop) : std::llround(double(stop) * rate_ / UNITS);
}

HRESULT GroupOutputPin::OnThreadStartPlay() {
  REFERENCE_TIME start, stop;
  {
    CAutoLock lock(&seekLock_);
    start = start_;
    stop = stop_;
    next_ = FirstAt(start);
    total_ = EndAt(stop);
  }
  fresh_ = true;
  return DeliverNewSegment(start, stop, 1.0);
}

HRESULT GroupOutputPin::FillBuffer(IMediaSample* sample) {
  const int64_t end = total_;
  if (next_ >= end) return S_FALSE;
  return plan_.video ? FillPicture(sample) : FillSound(sample, end);
}

HRESULT GroupOutputPin::FillPicture(IMediaSample* sample) {
  BYTE* frame = nullptr;
  sample->GetPointer(&frame);
  const REFERENCE_TIME t = plan_.rangeStart + FrameTime(next_, plan_.fps);
  if (composer_->Compose(t, frame) == ClipInputPin::Result::kAborted) return kStopped;
  REFERENCE_TIME start = FrameTime(next_, plan_.fps) - start_, stop = FrameTime(next_ + 1, plan_.fps) - start_;
  sample->SetTime(&start, &stop);
  sample->SetSyncPoint(TRUE);
  sample->SetDiscontinuity(fresh_);
  fresh_ = false;
  sample->SetActualDataLength(LONG(plan_.type.lSampleSize));
  ++next_;
  return S_OK;
}

HRESULT GroupOutputPin::FillSound(IMediaSample* sample, int64_t end) {
  const int count = int(std::min<int64_t>(blockSamples_, end - next_));
  const int channels = blockAlign_ / 2;
  mix_.assign(size_t(count) * channels, 0);
  const int64_t first = std::llround(double(plan_.rangeStart) * rate_ / UNITS) + next_;
  for (const auto& layer : plan_.layers) {
    for (const ClipPlan& clip : layer) {
      if (!clip.pin) continue;
      const int64_t clipFirst = std::llround(double(clip.start) * rate_ / UNITS);
      const int64_t clipEnd = std::llround(double(clip.stop) * rate_ / UNITS);
      const int64_t from = std::max(first, clipFirst), to = std::min(first + count, clipEnd);
      if (from >= to) continue;
      if (clip.pin->MixInto(from, int(to - from), mix_.data() + size_t(from - first) * channels) ==
          ClipInputPin::Result::kAborted)
        return kStopped;
    }
  }
  BYTE* data = nullptr;
  sample->GetPointer(&data);
  auto* out = reinterpret_cast<int16_t*>(data);
  for (size_t i = 0; i < mix_.size(); ++i) out[i] = int16_t(std::clamp(mix_[i], -32768, 32767));
  REFERENCE_TIME start = TimeOf(next_) - start_;
  REFERENCE_TIME stop = TimeOf(next_ + count) - start_;
  sample->SetTime(&start, &stop);
  sample->SetSyncPoint(TRUE);
  sample->SetDiscontinuity(fresh_);
  fresh_ = false;
  sample->SetActualDataLength(count * blockAlign_);
  next_ += count;
  return S_OK;
}

HRESULT GroupOutputPin::OnFillEnded(HRESULT hr) {
  return hr == kStopped ? S_OK : CSourceStream::OnFillEnded(hr);
}

// ---- IMediaSeeking -------------------------------------------------------------------------------

LONGLONG GroupOutputPin::StopPosition() {
  CAutoLock lock(&seekLock_);
  return stop_;
}

HRESULT GroupOutputPin::CurrentPosition(LONGLONG* position) {
  CAutoLock lock(&seekLock_);
  *position = ThreadExists() ? std::clamp<LONGLONG>(TimeOf(next_), start_, stop_) : start_;
  return S_OK;
}

HRESULT GroupOutputPin::ChangePositions(const SeekRequest& request, LONGLONG* newStart, LONGLONG* newStop) {
  CAutoLock serial(&seekingLock_);
  REFERENCE_TIME start, stop;
  {
    CAutoLock lock(&seekLock_);
    start = start_;
    stop = stop_;
  }
  start = request.NewStart(start);
  stop = request.NewStop(stop, start);
  start = std::clamp<REFERENCE_TIME>(start, 0, span_);
  stop = std::clamp<REFERENCE_TIME>(stop, start, span_);
  const bool moved = request.currentHow != AM_SEEKING_NoPositioning;
  const bool streaming = ThreadExists();
  std::vector<ClipInputPin*> inputs = Group()->Inputs();
  if (streaming && moved) {
    // Wake the output thread wherever it waits, flush downstream, and stop between samples.
    for (ClipInputPin* input : inputs) input->Abort();
    DeliverBeginFlush();
    Stop();
  }
  {
    CAutoLock lock(&seekLock_);
    if (moved) start_ = start;  // the output thread reads it while it runs; it is stopped then
    stop_ = stop;
    // Only the stop moved: the running output ends there instead.
    if (streaming && !moved) total_ = EndAt(stop);
  }
  *newStart = start;
  *newStop = stop;
  if (!moved) return S_OK;
  // Every clip chain moves to the media time showing at the new start.
  const REFERENCE_TIME t = plan_.rangeStart + start;
  for (ClipInputPin* input : inputs) {
    const ClipPlan& clip = input->Clip();
    if (streaming) input->Restart();
    input->SeekChain(t <= clip.start ? clip.mediaStart : std::min(clip.MediaTimeAt(t), clip.mediaStop));
  }
  if (streaming) {
    DeliverEndFlush();
    Pause();
  }
  return S_OK;
}

STDMETHODIMP GroupOutputPin::SetRate(double dRate) { return dRate == 1.0 ? S_OK : E_INVALIDARG; }

}  // namespace des
