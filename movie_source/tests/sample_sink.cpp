#include "sample_sink.h"

#include <chrono>

namespace movie_source_test {
namespace {

DEFINE_GUID(CLSID_SampleSink, 0x5E1F0A11, 0x7C2B, 0x4E8D, 0x9A, 0x31, 0x0C, 0x6D, 0x2E, 0x44, 0x51, 0x90);

// Bounds a broken stream's wait; a working one ends long before.
constexpr auto kPatience = std::chrono::minutes(2);

}  // namespace

class SampleSink::InputPin : public CBaseInputPin {
 public:
  InputPin(SampleSink* sink, HRESULT* phr) : CBaseInputPin("sample sink input", sink, &sink->lock_, phr, u"In"), sink_(sink) {}

  HRESULT CheckMediaType(const CMediaType* mt) override { return mt->IsValid() ? S_OK : S_FALSE; }

  STDMETHODIMP Receive(IMediaSample* sample) override {
    HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    ReceivedSample r;
    sample->GetTime(&r.start, &r.stop);
    r.discontinuity = sample->IsDiscontinuity() == S_OK;
    r.sync = sample->IsSyncPoint() == S_OK;
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    r.bytes.assign(data, data + sample->GetActualDataLength());
    std::unique_lock<std::mutex> lock(sink_->mutex_);
    if (sink_->holdAt_ == sink_->samples_.size()) {
      sink_->holdAt_ = SIZE_MAX;
      sink_->holding_ = true;
      sink_->changed_.notify_all();
      sink_->changed_.wait(lock, [this] { return !sink_->holding_; });
    }
    if (sink_->flushing_) return S_FALSE;
    sink_->samples_.push_back(std::move(r));
    return S_OK;
  }

  STDMETHODIMP EndOfStream() override {
    std::lock_guard<std::mutex> lock(sink_->mutex_);
    sink_->ended_ = true;
    sink_->changed_.notify_all();
    return S_OK;
  }

  STDMETHODIMP BeginFlush() override {
    CBaseInputPin::BeginFlush();
    std::lock_guard<std::mutex> lock(sink_->mutex_);
    sink_->flushing_ = true;
    sink_->holding_ = false;
    ++sink_->flushes_;
    sink_->changed_.notify_all();
    return S_OK;
  }

  STDMETHODIMP EndFlush() override {
    CBaseInputPin::EndFlush();
    std::lock_guard<std::mutex> lock(sink_->mutex_);
    sink_->flushing_ = false;
    sink_->ended_ = false;
    sink_->samples_.clear();
    sink_->segments_.clear();
    return S_OK;
  }

  STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override {
    CBaseInputPin::NewSegment(start, stop, rate);
    std::lock_guard<std::mutex> lock(sink_->mutex_);
    sink_->segments_.push_back(start);
    return S_OK;
  }

  HRESULT Inactive() override {
    {
      std::lock_guard<std::mutex> lock(sink_->mutex_);
      sink_->holding_ = false;
      sink_->changed_.notify_all();
    }
    return CBaseInputPin::Inactive();
  }

 private:
  SampleSink* sink_;
};

SampleSink::SampleSink() : CBaseFilter("sample sink", nullptr, &lock_, CLSID_SampleSink) {
  HRESULT hr = S_OK;
  pin_ = new InputPin(this, &hr);
}

SampleSink::~SampleSink() { delete pin_; }

CBasePin* SampleSink::GetPin(int n) { return n == 0 ? pin_ : nullptr; }
IPin* SampleSink::Input() { return pin_; }

bool SampleSink::WaitForEnd() {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, kPatience, [this] { return ended_; });
}

void SampleSink::HoldAtSample(size_t n) {
  std::lock_guard<std::mutex> lock(mutex_);
  holdAt_ = n;
}

void SampleSink::ReleaseHold() {
  std::lock_guard<std::mutex> lock(mutex_);
  holding_ = false;
  changed_.notify_all();
}

bool SampleSink::WaitUntilHeld() {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, kPatience, [this] { return holding_; });
}

std::vector<ReceivedSample> SampleSink::Samples() {
  std::lock_guard<std::mutex> lock(mutex_);
  return samples_;
}

std::vector<REFERENCE_TIME> SampleSink::SegmentStarts() {
  std::lock_guard<std::mutex> lock(mutex_);
  return segments_;
}

int SampleSink::Flushes() {
  std::lock_guard<std::mutex> lock(mutex_);
  return flushes_;
}

CMediaType SampleSink::ConnectedType() {
  CAutoLock lock(&lock_);
  return pin_->CurrentMediaType();
}

ALLOCATOR_PROPERTIES SampleSink::Buffers() {
  ALLOCATOR_PROPERTIES props{};
  CAutoLock lock(&lock_);
  if (IMemAllocator* allocator = pin_->PeekAllocator()) allocator->GetProperties(&props);
  return props;
}

}  // namespace movie_source_test
