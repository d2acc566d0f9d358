#include "wav_destination.h"

#include "dshow/media_types.h"
#include "filters/outside_filters.h"

namespace filters {

using namespace dshow::filters;

class WavDestination::InputPin : public CBaseInputPin {
 public:
  InputPin(WavDestination* filter, HRESULT* phr)
      : CBaseInputPin("WAV input", filter, &filter->lock_, phr, u"In"), filter_(filter) {}

  HRESULT CheckMediaType(const CMediaType* mt) override {
    PcmFormat format;
    return ReadPcmFormat(*mt, &format) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
  }

  STDMETHODIMP Receive(IMediaSample* sample) override {
    if (HRESULT hr = CBaseInputPin::Receive(sample); hr != S_OK) return hr;
    return filter_->file_.Write(filter_, sample);
  }

  STDMETHODIMP EndOfStream() override {
    if (HRESULT hr = CheckStreaming(); hr != S_OK) return hr;
    // Finishing the file hands its end down: the writer downstream ends the stream.
    filter_->FinishFile();
    return S_OK;
  }

 private:
  WavDestination* filter_;
};

class WavDestination::OutputPin : public FileStreamPin {
 public:
  OutputPin(WavDestination* filter, HRESULT* phr)
      : FileStreamPin("WAV output", filter, &filter->lock_, phr, u"Out", MEDIASUBTYPE_WAVE), filter_(filter) {}

  // The writer downstream passes seeking up through here to the source.
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
    if (riid == IID_IMediaSeeking && ppv)
      return GetInterface(static_cast<IMediaSeeking*>(filter_->seeking_.get()), ppv);
    return FileStreamPin::NonDelegatingQueryInterface(riid, ppv);
  }

 private:
  WavDestination* filter_;
};

CUnknown* WavDestination::Create(LPUNKNOWN outer, HRESULT* phr) { return new WavDestination(outer, phr); }

WavDestination::WavDestination(LPUNKNOWN outer, HRESULT* phr)
    : CBaseFilter("WavDest", outer, &lock_, CLSID_WavDestination, phr) {
  input_ = std::make_unique<InputPin>(this, phr);
  output_ = std::make_unique<OutputPin>(this, phr);
  seeking_ = std::make_unique<UpstreamSeeking>(output_->GetOwner(), input_.get());
}

WavDestination::~WavDestination() { FinishFile(); }

CBasePin* WavDestination::GetPin(int n) {
  if (n == 0) return input_.get();
  if (n == 1) return output_.get();
  return nullptr;
}

HRESULT WavDestination::StartFile() {
  if (!output_->IsConnected()) return VFW_E_NO_SINK;
  HRESULT hr = S_OK;
  std::unique_ptr<FileMuxer> muxer = file_.Prepare(input_->CurrentMediaType(), &hr);
  if (!muxer) return hr;
  MuxSettings settings;
  settings.interleave = false;
  if (muxer->Start(output_.get(), settings) < 0) return E_FAIL;
  file_.Begin(std::move(muxer));
  return S_OK;
}

STDMETHODIMP WavDestination::Pause() {
  CAutoLock hold(&lock_);
  const bool starting = m_State == State_Stopped && input_->IsConnected();
  // The pins are active first: the file goes down the output pin from its header on.
  const HRESULT hr = CBaseFilter::Pause();
  if (FAILED(hr) || !starting) return hr;
  if (HRESULT started = StartFile(); FAILED(started)) {
    CBaseFilter::Stop();
    NotifyEvent(EC_ERRORABORT, started, 0);
    return started;
  }
  return hr;
}

STDMETHODIMP WavDestination::Stop() {
  FinishFile();
  return CBaseFilter::Stop();
}

void WavDestination::FinishFile() {
  if (file_.Finish() < 0) NotifyEvent(EC_ERRORABORT, STG_E_WRITEFAULT, 0);
}

}  // namespace filters
