#include "mp3_file_writer.h"

#include <cstring>

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
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    REFERENCE_TIME start = 0, stop = 0;
    if (FAILED(sample->GetTime(&start, &stop))) start = AV_NOPTS_VALUE;
    return filter_->Write(data, sample->GetActualDataLength(), start);
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
  Parameters parameters(avcodec_parameters_alloc());
  AVRational rate{0, 1};
  if (!parameters || !ReadStreamParameters(input_->CurrentMediaType(), parameters.get(), &rate))
    return VFW_E_NOT_CONNECTED;
  auto muxer = std::make_unique<FileMuxer>("mp3");
  if (muxer->AddStream(parameters.get(), rate) < 0) return E_OUTOFMEMORY;
  MuxSettings settings;
  settings.interleave = false;
  if (HRESULT hr = name_.StartMuxer(muxer.get(), settings); FAILED(hr)) return hr;
  CAutoLock hold(&muxLock_);
  muxer_ = std::move(muxer);
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

HRESULT Mp3FileWriter::Write(const BYTE* data, LONG length, REFERENCE_TIME start) {
  if (length <= 0) return S_OK;
  Packet packet = NewPacket();
  if (!packet || av_new_packet(packet.get(), length) < 0) return E_OUTOFMEMORY;
  std::memcpy(packet->data, data, size_t(length));
  packet->pts = start;
  CAutoLock hold(&muxLock_);
  if (!muxer_) return VFW_E_WRONG_STATE;
  if (const int err = muxer_->Write(0, packet.get()); err < 0) {
    NotifyEvent(EC_ERRORABORT, WriteFailure(err), 0);
    return WriteFailure(err);
  }
  return S_OK;
}

void Mp3FileWriter::FinishFile() {
  CAutoLock hold(&muxLock_);
  if (const int err = muxer_ ? muxer_->Finish() : 0; err < 0) NotifyEvent(EC_ERRORABORT, WriteFailure(err), 0);
  muxer_.reset();
}

}  // namespace filters
