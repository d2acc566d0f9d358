#include "group_output_pin.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "clip_input_pin.h"
#include "group_filter.h"

namespace des {

namespace {
// Returned by a fill that Stop interrupted.
constexpr HRESULT kStopped = VFW_E_WRONG_STATE;
}  // namespace

GroupOutputPin::GroupOutputPin(GroupFilter* filter, HRESULT* phr, const GroupPlan& plan)
    : CSourceStream("Group Output", phr, filter, u"Output"), plan_(plan) {
  if (!plan.video) {
    auto* wf = reinterpret_cast<const WAVEFORMATEX*>(plan.type.pbFormat);
    rate_ = int(wf->nSamplesPerSec);
    blockAlign_ = wf->nBlockAlign;
    blockSamples_ = std::max(1, rate_ / 20);
  }
}

REFERENCE_TIME GroupOutputPin::FrameTime(int64_t n, double fps) { return std::llround(double(n) * UNITS / fps); }

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

HRESULT GroupOutputPin::OnThreadStartPlay() {
  next_ = 0;
  const REFERENCE_TIME span = plan_.rangeStop - plan_.rangeStart;
  if (plan_.video) {
    total_ = 0;
    while (FrameTime(total_, plan_.fps) < span) ++total_;
  } else {
    total_ = std::llround(double(span) * rate_ / UNITS);
  }
  return DeliverNewSegment(0, span, 1.0);
}

HRESULT GroupOutputPin::FillBuffer(IMediaSample* sample) {
  if (next_ >= total_) return S_FALSE;
  return plan_.video ? FillPicture(sample) : FillSound(sample);
}

HRESULT GroupOutputPin::FillPicture(IMediaSample* sample) {
  BYTE* frame = nullptr;
  sample->GetPointer(&frame);
  const REFERENCE_TIME t = plan_.rangeStart + FrameTime(next_, plan_.fps);
  bool shown = false;
  for (auto layer = plan_.layers.rbegin(); layer != plan_.layers.rend() && !shown; ++layer) {
    for (const ClipPlan& clip : *layer) {
      if (t < clip.start || t >= clip.stop || !clip.pin) continue;
      ClipInputPin::Result r = clip.pin->PictureAt(clip.MediaTimeAt(t), frame);
      if (r == ClipInputPin::Result::kAborted) return kStopped;
      shown = r == ClipInputPin::Result::kFilled;
      break;
    }
  }
  if (!shown) std::memset(frame, 0, plan_.type.lSampleSize);  // a gap is black
  REFERENCE_TIME start = FrameTime(next_, plan_.fps), stop = FrameTime(next_ + 1, plan_.fps);
  sample->SetTime(&start, &stop);
  sample->SetSyncPoint(TRUE);
  sample->SetDiscontinuity(next_ == 0);
  sample->SetActualDataLength(LONG(plan_.type.lSampleSize));
  ++next_;
  return S_OK;
}

HRESULT GroupOutputPin::FillSound(IMediaSample* sample) {
  const int count = int(std::min<int64_t>(blockSamples_, total_ - next_));
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
  REFERENCE_TIME start = std::llround(double(next_) * UNITS / rate_);
  REFERENCE_TIME stop = std::llround(double(next_ + count) * UNITS / rate_);
  sample->SetTime(&start, &stop);
  sample->SetSyncPoint(TRUE);
  sample->SetDiscontinuity(next_ == 0);
  sample->SetActualDataLength(count * blockAlign_);
  next_ += count;
  return S_OK;
}

HRESULT GroupOutputPin::DoBufferProcessingLoop() {
  OnThreadStartPlay();
  Command com;
  do {
    while (!CheckRequest(&com)) {
      IMediaSample* sample = nullptr;
      HRESULT hr = GetDeliveryBuffer(&sample, nullptr, nullptr, 0);
      if (FAILED(hr)) {
        // No buffers once decommitted: the stop request is on its way; serve it here.
        com = GetRequest();
        if (com == CMD_RUN || com == CMD_PAUSE) {
          Reply(S_OK);
          continue;
        }
        Reply(com == CMD_STOP ? S_OK : static_cast<DWORD>(E_UNEXPECTED));
        return S_FALSE;
      }
      hr = FillBuffer(sample);
      if (hr == S_OK) {
        hr = Deliver(sample);
        sample->Release();
        if (hr != S_OK) return S_OK;  // downstream refused: wait for the next command
      } else {
        sample->Release();
        if (hr == kStopped) return S_OK;
        DeliverEndOfStream();
        if (hr != S_FALSE) m_pFilter->NotifyEvent(EC_ERRORABORT, hr, 0);
        return hr == S_FALSE ? S_OK : hr;
      }
    }
    if (com == CMD_RUN || com == CMD_PAUSE) {
      GetRequest();
      Reply(S_OK);
    } else if (com != CMD_STOP) {
      GetRequest();
      Reply(static_cast<DWORD>(E_UNEXPECTED));
    }
  } while (com != CMD_STOP);
  return S_FALSE;
}

}  // namespace des
