#include "filter_harness.h"

#include <cstring>

namespace overlay_filter_test {

LONG FrameBytes(int width, int height) { return LONG(((width * 3 + 3) & ~3) * height); }

CMediaType Rgb24Type(int width, int height, bool topDown) {
  CMediaType type(&MEDIATYPE_Video);
  type.SetSubtype(&MEDIASUBTYPE_RGB24);
  type.SetFormatType(&FORMAT_VideoInfo);
  auto* info = reinterpret_cast<VIDEOINFOHEADER*>(type.AllocFormatBuffer(sizeof(VIDEOINFOHEADER)));
  std::memset(info, 0, sizeof *info);
  info->AvgTimePerFrame = 400000;
  info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info->bmiHeader.biWidth = width;
  info->bmiHeader.biHeight = topDown ? -height : height;
  info->bmiHeader.biPlanes = 1;
  info->bmiHeader.biBitCount = 24;
  info->bmiHeader.biCompression = BI_RGB;
  info->bmiHeader.biSizeImage = DWORD(FrameBytes(width, height));
  type.SetSampleSize(info->bmiHeader.biSizeImage);
  return type;
}

// ---- Source -------------------------------------------------------------------------------------

class TestSource::Pin : public CBaseOutputPin {
 public:
  Pin(TestSource* filter, CCritSec* lock, const CMediaType& type, LONG buffers, LONG size, HRESULT* phr)
      : CBaseOutputPin("test source pin", filter, lock, phr, u"Out"), type_(type), buffers_(buffers), size_(size) {}
  HRESULT CheckMediaType(const CMediaType* type) override { return *type == type_ ? S_OK : E_FAIL; }
  HRESULT GetMediaType(int position, CMediaType* type) override {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    *type = type_;
    return S_OK;
  }
  HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override {
    request->cBuffers = buffers_;
    request->cbBuffer = size_;
    ALLOCATOR_PROPERTIES actual{};
    return allocator->SetProperties(request, &actual);
  }

 private:
  CMediaType type_;
  LONG buffers_, size_;
};

TestSource::TestSource(const CMediaType& type, LONG buffers, LONG bufferSize)
    : CBaseFilter("test source", nullptr, &lock_, GUID_NULL) {
  HRESULT hr = S_OK;
  pin_ = new Pin(this, &lock_, type, buffers, bufferSize, &hr);
}

TestSource::~TestSource() { delete pin_; }
CBasePin* TestSource::GetPin(int n) { return n == 0 ? pin_ : nullptr; }
IPin* TestSource::Output() { return pin_; }

HRESULT TestSource::Deliver(const std::vector<BYTE>& frame, REFERENCE_TIME start, REFERENCE_TIME stop) {
  IMediaSample* sample = nullptr;
  HRESULT hr = pin_->GetDeliveryBuffer(&sample, nullptr, nullptr, 0);
  if (FAILED(hr)) return hr;
  BYTE* data = nullptr;
  sample->GetPointer(&data);
  const LONG length = std::min(LONG(frame.size()), sample->GetSize());
  std::memcpy(data, frame.data(), size_t(length));
  sample->SetActualDataLength(length);
  sample->SetTime(&start, &stop);
  sample->SetSyncPoint(TRUE);
  hr = pin_->Deliver(sample);
  sample->Release();
  return hr;
}

// ---- Sink ---------------------------------------------------------------------------------------

class TestSink::Pin : public CBaseInputPin {
 public:
  Pin(TestSink* sink, CCritSec* lock, HRESULT* phr) : CBaseInputPin("test sink pin", sink, lock, phr, u"In"), sink_(sink) {}
  HRESULT CheckMediaType(const CMediaType* type) override { return *type->Type() == MEDIATYPE_Video ? S_OK : E_FAIL; }
  STDMETHODIMP Receive(IMediaSample* sample) override {
    HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    ReceivedSample received;
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    received.bytes.assign(data, data + sample->GetActualDataLength());
    received.timeResult = sample->GetTime(&received.start, &received.stop);
    std::lock_guard<std::mutex> hold(sink_->receivedLock_);
    sink_->received_.push_back(std::move(received));
    return S_OK;
  }

 private:
  TestSink* sink_;
};

TestSink::TestSink() : CBaseFilter("test sink", nullptr, &lock_, GUID_NULL) {
  HRESULT hr = S_OK;
  pin_ = new Pin(this, &lock_, &hr);
}

TestSink::~TestSink() { delete pin_; }
CBasePin* TestSink::GetPin(int n) { return n == 0 ? pin_ : nullptr; }
IPin* TestSink::Input() { return pin_; }

std::vector<ReceivedSample> TestSink::Received() {
  std::lock_guard<std::mutex> hold(receivedLock_);
  return received_;
}

ALLOCATOR_PROPERTIES TestSink::AllocatorProperties() {
  ALLOCATOR_PROPERTIES properties{};
  if (IMemAllocator* allocator = pin_->PeekAllocator()) allocator->GetProperties(&properties);
  return properties;
}

// ---- Chain --------------------------------------------------------------------------------------

HRESULT Chain::Connect(const CMediaType& type, LONG buffers, LONG bufferSize) {
  sourceFilter = new TestSource(type, buffers, bufferSize);
  source.Reset(sourceFilter);
  sinkFilter = new TestSink();
  sink.Reset(sinkFilter);
  ComPtr<IPin> in, out;
  if (HRESULT hr = filter->FindPin(u"In", in.put()); FAILED(hr)) return hr;
  if (HRESULT hr = filter->FindPin(u"Out", out.put()); FAILED(hr)) return hr;
  if (HRESULT hr = sourceFilter->Output()->Connect(in.get(), &type); FAILED(hr)) return hr;
  return out->Connect(sinkFilter->Input(), nullptr);
}

HRESULT Chain::Pause() {
  if (HRESULT hr = sink->Pause(); FAILED(hr)) return hr;
  if (HRESULT hr = filter->Pause(); FAILED(hr)) return hr;
  return source->Pause();
}

Chain::~Chain() {
  if (!source || !filter || !sink) return;
  Stop();
  for (IBaseFilter* f : {source.get(), filter.get(), sink.get()}) {
    ComPtr<IEnumPins> pins;
    if (FAILED(f->EnumPins(pins.put()))) continue;
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.put(), nullptr) == S_OK) pin->Disconnect();
  }
}

void Chain::Stop() {
  source->Stop();
  filter->Stop();
  sink->Stop();
}

}  // namespace overlay_filter_test
