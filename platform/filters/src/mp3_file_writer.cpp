#include "mp3_file_writer.h"

#include "dshow/media_types.h"
#include "filters/outside_filters.h"

namespace filters {

using namespace dshow::filters;

class Mp3FileWriter::InputPin : public CBaseInputPin {
 public:
  InputPin(Mp3FileWriter* filter, HRESULT* phr)
      : CBaseInputPin("MP3 input", filter, &filter->lock_, phr, u"In"), filter_(filter) {}

  HRESULT CheckMediaType(const CMediaType* mt) override {
    return *mt->Type() == MEDIATYPE_Audio && *mt->Subtype() == MEDIASUBTYPE_MP3 ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
  }

  STDMETHODIMP Receive(IMediaSample* sample) override {
    if (HRESULT hr = CBaseInputPin::Receive(sample); hr != S_OK) return hr;
    return filter_->file_.Write(filter_, sample);
  }

  STDMETHODIMP EndOfStream() override {
    if (HRESULT hr = CheckStreaming(); hr != S_OK) return hr;
    filter_->InputEnded();
    return S_OK;
  }

  STDMETHODIMP EndFlush() override {
    filter_->InputRestarted();
    return CBaseInputPin::EndFlush();
  }

 private:
  Mp3FileWriter* filter_;
};

CUnknown* Mp3FileWriter::Create(LPUNKNOWN outer, HRESULT* phr) { return new Mp3FileWriter(outer, phr); }

Mp3FileWriter::Mp3FileWriter(LPUNKNOWN outer, HRESULT* phr) : SinkFilter("MP3 File Writer", outer, CLSID_Mp3FileWriter) {
  input_ = std::make_unique<InputPin>(this, phr);
  SetSeekingPin(input_.get());
}

Mp3FileWriter::~Mp3FileWriter() { FinishFile(); }

STDMETHODIMP Mp3FileWriter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IFileSinkFilter) return GetInterface(static_cast<IFileSinkFilter*>(this), ppv);
  return SinkFilter::NonDelegatingQueryInterface(riid, ppv);
}

CBasePin* Mp3FileWriter::GetPin(int n) { return n == 0 ? input_.get() : nullptr; }

STDMETHODIMP Mp3FileWriter::SetFileName(LPCOLESTR pszFileName, const AM_MEDIA_TYPE*) {
  return name_.Set(pszFileName);
}

STDMETHODIMP Mp3FileWriter::GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) {
  return name_.Get(ppszFileName, pmt);
}

HRESULT Mp3FileWriter::StartFile() {
  if (name_.Empty()) return VFW_E_NO_SINK;
  HRESULT hr = S_OK;
  std::unique_ptr<FileMuxer> muxer = file_.Prepare(input_->CurrentMediaType(), &hr);
  if (!muxer) return hr;
  MuxSettings settings;
  settings.interleave = false;
  if (hr = name_.StartMuxer(muxer.get(), settings); FAILED(hr)) return hr;
  file_.Begin(std::move(muxer));
  return S_OK;
}

STDMETHODIMP Mp3FileWriter::Pause() {
  CAutoLock hold(&lock_);
  if (m_State == State_Stopped && input_->IsConnected()) {
    if (HRESULT hr = StartFile(); FAILED(hr)) {
      NotifyEvent(EC_ERRORABORT, hr, 0);
      return hr;
    }
  }
  return SinkFilter::Pause();
}

STDMETHODIMP Mp3FileWriter::Stop() {
  FinishFile();
  return SinkFilter::Stop();
}

void Mp3FileWriter::FinishFile() {
  if (const int err = file_.Finish(); err < 0) NotifyEvent(EC_ERRORABORT, WriteFailure(err), 0);
}

}  // namespace filters
