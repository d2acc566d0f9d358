#include "tee_filter.h"

#include <cstring>
#include <string>

namespace dshow::filters {

class TeeFilter::OutputPin : public CBaseOutputPin {
 public:
  OutputPin(TeeFilter* filter, const char16_t* name, bool preview, HRESULT* phr)
      : CBaseOutputPin("Tee output", filter, &filter->lock_, phr, name), filter_(filter), preview_(preview) {}

  HRESULT GetMediaType(int position, CMediaType* mt) override;
  HRESULT CheckMediaType(const CMediaType* mt) override;
  HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

  HRESULT CompleteConnect(IPin* receiver) override {
    HRESULT hr = CBaseOutputPin::CompleteConnect(receiver);
    if (SUCCEEDED(hr)) filter_->OutputConnected();
    return hr;
  }

  // Receivers that take the input's samples read-only get them as they are, the others a copy in
  // this output's own buffer. The preview output always copies: it changes the times.
  HRESULT DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator) override;

  // A shared allocator is the upstream pin's to commit and decommit.
  HRESULT Active() override { return sharing_ ? S_OK : CBaseOutputPin::Active(); }
  HRESULT Inactive() override {
    if (!sharing_) return CBaseOutputPin::Inactive();
    m_bRunTimeError = false;
    return S_OK;
  }
  HRESULT BreakConnect() override {
    if (sharing_) m_pAllocator = nullptr;
    sharing_ = false;
    return CBaseOutputPin::BreakConnect();
  }

  HRESULT DeliverSample(IMediaSample* in) { return sharing_ ? Deliver(in) : DeliverCopy(in); }

 private:
  // A copy of the sample in this output's own buffer.
  HRESULT DeliverCopy(IMediaSample* in) {
    ComPtr<IMediaSample> out;
    HRESULT hr = GetDeliveryBuffer(out.put(), nullptr, nullptr, 0);
    if (FAILED(hr)) return hr;
    BYTE* src = nullptr;
    BYTE* dst = nullptr;
    in->GetPointer(&src);
    out->GetPointer(&dst);
    const LONG length = in->GetActualDataLength();
    if (length > out->GetSize()) return VFW_E_BUFFER_OVERFLOW;
    std::memcpy(dst, src, size_t(length));
    out->SetActualDataLength(length);
    REFERENCE_TIME start = 0, stop = 0;
    const HRESULT timed = in->GetTime(&start, &stop);
    if (preview_) {
      out->SetTime(nullptr, nullptr);
    } else if (timed == S_OK) {
      out->SetTime(&start, &stop);
    } else if (timed == VFW_S_NO_STOP_TIME) {
      out->SetTime(&start, nullptr);
    }
    out->SetSyncPoint(in->IsSyncPoint() == S_OK);
    out->SetDiscontinuity(in->IsDiscontinuity() == S_OK);
    out->SetPreroll(in->IsPreroll() == S_OK);
    return Deliver(out.get());
  }

  TeeFilter* filter_;
  const bool preview_;
  bool sharing_ = false;  // the receiver takes the input's samples read-only
};

class TeeFilter::InputPin : public CBaseInputPin {
 public:
  InputPin(TeeFilter* filter, HRESULT* phr)
      : CBaseInputPin("Tee input", filter, &filter->lock_, phr, u"Input"), filter_(filter) {}

  HRESULT CheckMediaType(const CMediaType* mt) override {
    // A type every connected output's receiver accepts.
    for (auto& out : filter_->outputs_) {
      IPin* peer = out->GetConnected();
      if (peer && peer->QueryAccept(mt) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    }
    return S_OK;
  }

  STDMETHODIMP Receive(IMediaSample* sample) override {
    CAutoLock hold(&filter_->receiveLock_);
    if (HRESULT hr = CBaseInputPin::Receive(sample); hr != S_OK) return hr;
    return filter_->Receive(sample);
  }

  STDMETHODIMP EndOfStream() override {
    CAutoLock hold(&filter_->receiveLock_);
    if (HRESULT hr = CheckStreaming(); hr != S_OK) return hr;
    for (auto& out : filter_->outputs_)
      if (out->IsConnected()) out->DeliverEndOfStream();
    return S_OK;
  }

  STDMETHODIMP BeginFlush() override {
    CAutoLock hold(&filter_->lock_);
    HRESULT hr = CBaseInputPin::BeginFlush();
    for (auto& out : filter_->outputs_)
      if (out->IsConnected()) out->DeliverBeginFlush();
    return hr;
  }

  STDMETHODIMP EndFlush() override {
    CAutoLock hold(&filter_->lock_);
    for (auto& out : filter_->outputs_)
      if (out->IsConnected()) out->DeliverEndFlush();
    return CBaseInputPin::EndFlush();
  }

  STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override {
    CBasePin::NewSegment(start, stop, rate);
    for (auto& out : filter_->outputs_)
      if (out->IsConnected()) out->DeliverNewSegment(start, stop, rate);
    return S_OK;
  }

 private:
  TeeFilter* filter_;
};

// The input's type: an output connects once the input has.
HRESULT TeeFilter::OutputPin::GetMediaType(int position, CMediaType* mt) {
  if (position < 0) return E_INVALIDARG;
  if (!filter_->input_->IsConnected() || position > 0) return VFW_S_NO_MORE_ITEMS;
  *mt = filter_->input_->CurrentMediaType();
  return S_OK;
}

HRESULT TeeFilter::OutputPin::CheckMediaType(const CMediaType* mt) {
  if (!filter_->input_->IsConnected()) return VFW_E_NOT_CONNECTED;
  return *mt == filter_->input_->CurrentMediaType() ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TeeFilter::OutputPin::DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator) {
  sharing_ = false;
  IMemAllocator* upstream = filter_->input_->PeekAllocator();
  if (!preview_ && upstream && pin->NotifyAllocator(upstream, TRUE) == S_OK) {
    sharing_ = true;
    upstream->AddRef();
    *allocator = upstream;
    return S_OK;
  }
  return CBaseOutputPin::DecideAllocator(pin, allocator);
}

HRESULT TeeFilter::OutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
  ALLOCATOR_PROPERTIES upstream{};
  IMemAllocator* in = filter_->input_->PeekAllocator();
  if (in) in->GetProperties(&upstream);
  request->cBuffers = std::max<LONG>(request->cBuffers, std::max<LONG>(upstream.cBuffers, 2));
  request->cbBuffer = std::max<LONG>(request->cbBuffer, std::max<LONG>(upstream.cbBuffer, 1));
  request->cbAlign = std::max<LONG>(request->cbAlign, 1);
  ALLOCATOR_PROPERTIES actual;
  HRESULT hr = allocator->SetProperties(request, &actual);
  if (FAILED(hr)) return hr;
  return actual.cbBuffer < request->cbBuffer ? E_FAIL : S_OK;
}


TeeFilter::TeeFilter(LPUNKNOWN outer, REFCLSID clsid, bool smart, HRESULT* phr)
    : CBaseFilter(smart ? "Smart Tee" : "Infinite Pin Tee", outer, &lock_, clsid, phr), smart_(smart) {
  input_ = std::make_unique<InputPin>(this, phr);
  if (smart) {
    AddOutput(u"Capture", false);
    AddOutput(u"Preview", true);
  } else {
    AddOutput(u"Output1", false);
  }
}

CUnknown* TeeFilter::CreateInfTee(LPUNKNOWN outer, HRESULT* phr) {
  return new TeeFilter(outer, CLSID_InfTee, false, phr);
}

CUnknown* TeeFilter::CreateSmartTee(LPUNKNOWN outer, HRESULT* phr) {
  return new TeeFilter(outer, CLSID_SmartTee, true, phr);
}

int TeeFilter::GetPinCount() {
  CAutoLock hold(&lock_);
  return 1 + int(outputs_.size());
}

CBasePin* TeeFilter::GetPin(int n) {
  CAutoLock hold(&lock_);
  if (n == 0) return input_.get();
  if (n < 0 || size_t(n) > outputs_.size()) return nullptr;
  return outputs_[size_t(n) - 1].get();
}

void TeeFilter::AddOutput(const char16_t* name, bool preview) {
  HRESULT hr = S_OK;
  outputs_.push_back(std::make_unique<OutputPin>(this, name, preview, &hr));
  IncrementPinVersion();
}

void TeeFilter::OutputConnected() {
  if (smart_) return;
  CAutoLock receiving(&receiveLock_);
  CAutoLock hold(&lock_);
  for (auto& out : outputs_)
    if (!out->IsConnected()) return;
  const std::string number = std::to_string(outputs_.size() + 1);
  std::u16string name = u"Output";
  for (char c : number) name += char16_t(c);
  AddOutput(name.c_str(), false);
}

HRESULT TeeFilter::Receive(IMediaSample* sample) {
  // A branch that refuses a sample (a renderer that was stopped, a writer that failed) does not
  // starve the others; the stream stops only when no branch takes it.
  bool anyTook = false;
  bool anyConnected = false;
  HRESULT last = S_OK;
  for (auto& out : outputs_) {
    if (!out->IsConnected()) continue;
    anyConnected = true;
    const HRESULT hr = out->DeliverSample(sample);
    if (hr == S_OK) anyTook = true; else last = hr;
  }
  return !anyConnected || anyTook ? S_OK : last;
}

}  // namespace dshow::filters
