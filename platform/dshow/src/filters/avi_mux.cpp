#include "avi_mux.h"

#include <cstring>
#include <string>

#include "dshow/media_types.h"

namespace dshow::filters {
namespace {

// Bytes of a row of an uncompressed RGB picture of this type whose rows run top-down (a negative
// height); 0 for every other type.
size_t TopDownRgbRowBytes(const AM_MEDIA_TYPE& mt, int* rows) {
  if (mt.majortype != MEDIATYPE_Video || mt.formattype != FORMAT_VideoInfo || !mt.pbFormat ||
      mt.cbFormat < sizeof(VIDEOINFOHEADER))
    return 0;
  VIDEOINFOHEADER vih;
  std::memcpy(&vih, mt.pbFormat, sizeof vih);
  const BITMAPINFOHEADER& bi = vih.bmiHeader;
  if ((bi.biCompression != BI_RGB && bi.biCompression != BI_BITFIELDS) || bi.biHeight >= 0 || bi.biWidth <= 0)
    return 0;
  *rows = -bi.biHeight;
  return (size_t(bi.biWidth) * bi.biBitCount + 31) / 32 * 4;
}

}  // namespace

class AviMux::InputPin : public CBaseInputPin {
 public:
  InputPin(AviMux* filter, const char16_t* name, HRESULT* phr)
      : CBaseInputPin("AVI Mux input", filter, &filter->lock_, phr, name), filter_(filter) {}

  HRESULT CheckMediaType(const CMediaType* mt) override {
    Parameters p(avcodec_parameters_alloc());
    AVRational rate;
    return p && ReadStreamParameters(*mt, p.get(), &rate) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
  }

  HRESULT CompleteConnect(IPin* pin) override {
    HRESULT hr = CBaseInputPin::CompleteConnect(pin);
    if (SUCCEEDED(hr)) filter_->InputConnected();
    return hr;
  }

  STDMETHODIMP Receive(IMediaSample* sample) override {
    if (HRESULT hr = CBaseInputPin::Receive(sample); hr != S_OK) return hr;
    if (stream_ < 0) return VFW_E_WRONG_STATE;
    const LONG length = sample->GetActualDataLength();
    if (length <= 0) return S_OK;
    Packet packet = NewPacket();
    if (!packet || av_new_packet(packet.get(), length) < 0) return E_OUTOFMEMORY;
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    CopyPicture(data, size_t(length), packet->data);
    REFERENCE_TIME start = 0, stop = 0;
    const HRESULT timed = sample->GetTime(&start, &stop);
    if (SUCCEEDED(timed)) {
      packet->pts = start;
      if (timed == S_OK && stop > start) packet->duration = stop - start;
    }
    if (sample->IsSyncPoint() == S_OK) packet->flags |= AV_PKT_FLAG_KEY;
    return filter_->Write(stream_, packet.get(), SUCCEEDED(timed) ? std::max(start, stop) : 0);
  }

  STDMETHODIMP EndOfStream() override {
    if (HRESULT hr = CheckStreaming(); hr != S_OK) return hr;
    if (ended_.exchange(true)) return S_OK;
    filter_->InputEnded();
    return S_OK;
  }

  HRESULT Active() override {
    ended_ = false;
    return CBaseInputPin::Active();
  }

  // Adds the pin's stream to a file about to start; a pin without a connection adds none.
  HRESULT AddStreamTo(FileMuxer& muxer) {
    stream_ = -1;
    if (!IsConnected()) return S_OK;
    Parameters p(avcodec_parameters_alloc());
    AVRational rate;
    if (!p || !ReadStreamParameters(CurrentMediaType(), p.get(), &rate)) return VFW_E_TYPE_NOT_ACCEPTED;
    stream_ = muxer.AddStream(p.get(), rate);
    if (stream_ < 0) return E_OUTOFMEMORY;
    topDownRowBytes_ = TopDownRgbRowBytes(CurrentMediaType(), &topDownRows_);
    return S_OK;
  }

  bool Ended() const { return ended_; }

 private:
  // The file declares raw RGB rows bottom-up, as the platform lays them out; a top-down picture
  // (topDownRowBytes_ not 0) is turned over as it is written.
  void CopyPicture(const BYTE* data, size_t length, uint8_t* to) const {
    const size_t rowBytes = topDownRowBytes_, rows = size_t(topDownRows_);
    if (!rowBytes || length < rowBytes * rows) {
      std::memcpy(to, data, length);
      return;
    }
    for (size_t r = 0; r < rows; ++r) std::memcpy(to + r * rowBytes, data + (rows - 1 - r) * rowBytes, rowBytes);
    std::memcpy(to + rows * rowBytes, data + rows * rowBytes, length - rows * rowBytes);
  }

  AviMux* filter_;
  std::atomic<bool> ended_{false};
  int stream_ = -1;  // in the file, set as the file starts
  size_t topDownRowBytes_ = 0;
  int topDownRows_ = 0;
};

class AviMux::OutputPin : public FileStreamPin {
 public:
  OutputPin(AviMux* filter, HRESULT* phr)
      : FileStreamPin("AVI Mux output", filter, &filter->lock_, phr, u"AVI Out", MEDIASUBTYPE_Avi), filter_(filter) {}

  // The writer downstream asks here for the position: the mux's own seeking answers.
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

 private:
  AviMux* filter_;
};

// Seeking goes to the sources upstream; the current position is how far the file is written.
class AviMux::Seeking : public UpstreamSeeking {
 public:
  Seeking(AviMux* filter, CBasePin* input) : UpstreamSeeking(filter->GetOwner(), input), filter_(filter) {}
  STDMETHODIMP GetCurrentPosition(LONGLONG* current) override {
    if (!current) return E_POINTER;
    *current = filter_->written_;
    return S_OK;
  }

 private:
  AviMux* filter_;
};

STDMETHODIMP AviMux::OutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (riid == IID_IMediaSeeking && ppv) return GetInterface(static_cast<IMediaSeeking*>(filter_->seeking_.get()), ppv);
  return FileStreamPin::NonDelegatingQueryInterface(riid, ppv);
}

AviMux::AviMux(LPUNKNOWN outer, HRESULT* phr) : CBaseFilter("AVI Mux", outer, &lock_, CLSID_AviDest, phr) {
  output_ = std::make_unique<OutputPin>(this, phr);
  AddInput();
  seeking_ = std::make_unique<Seeking>(this, inputs_[0].get());
}

AviMux::~AviMux() { FinishFile(); }

CUnknown* AviMux::CreateInstance(LPUNKNOWN outer, HRESULT* phr) { return new AviMux(outer, phr); }

STDMETHODIMP AviMux::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IConfigInterleaving) return GetInterface(static_cast<IConfigInterleaving*>(this), ppv);
  if (riid == IID_IMediaSeeking) return GetInterface(static_cast<IMediaSeeking*>(seeking_.get()), ppv);
  return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

int AviMux::GetPinCount() {
  CAutoLock hold(&lock_);
  return 1 + int(inputs_.size());
}

CBasePin* AviMux::GetPin(int n) {
  CAutoLock hold(&lock_);
  if (n == 0) return output_.get();
  if (n < 0 || size_t(n) > inputs_.size()) return nullptr;
  return inputs_[size_t(n) - 1].get();
}

void AviMux::AddInput() {
  char name[24];
  std::snprintf(name, sizeof name, "Input %02d", int(inputs_.size()) + 1);
  std::u16string wide(name, name + std::strlen(name));
  HRESULT hr = S_OK;
  inputs_.push_back(std::make_unique<InputPin>(this, wide.c_str(), &hr));
  IncrementPinVersion();
}

void AviMux::InputConnected() {
  CAutoLock hold(&lock_);
  for (auto& in : inputs_)
    if (!in->IsConnected()) return;
  AddInput();
}

STDMETHODIMP AviMux::put_Mode(InterleavingMode mode) {
  if (mode < INTERLEAVE_NONE || mode > INTERLEAVE_NONE_BUFFERED) return E_INVALIDARG;
  CAutoLock hold(&lock_);
  if (!IsStopped()) return VFW_E_NOT_STOPPED;
  mode_ = mode;
  return S_OK;
}

STDMETHODIMP AviMux::get_Mode(InterleavingMode* pMode) {
  if (!pMode) return E_POINTER;
  *pMode = mode_;
  return S_OK;
}

STDMETHODIMP AviMux::put_Interleaving(const REFERENCE_TIME* prtInterleave, const REFERENCE_TIME* prtPreroll) {
  if ((prtInterleave && *prtInterleave < 0) || (prtPreroll && *prtPreroll < 0)) return E_INVALIDARG;
  CAutoLock hold(&lock_);
  if (!IsStopped()) return VFW_E_NOT_STOPPED;
  if (prtInterleave) interleave_ = *prtInterleave;
  if (prtPreroll) preroll_ = *prtPreroll;
  return S_OK;
}

STDMETHODIMP AviMux::get_Interleaving(REFERENCE_TIME* prtInterleave, REFERENCE_TIME* prtPreroll) {
  if (!prtInterleave || !prtPreroll) return E_POINTER;
  *prtInterleave = interleave_;
  *prtPreroll = preroll_;
  return S_OK;
}

HRESULT AviMux::StartFile() {
  if (!output_->IsConnected()) return VFW_E_NO_SINK;
  auto muxer = std::make_unique<FileMuxer>("avi");
  for (auto& in : inputs_)
    if (HRESULT hr = in->AddStreamTo(*muxer); FAILED(hr)) return hr;
  MuxSettings settings;
  settings.bottomUpRgb = true;
  // Full and capture interleaving order the chunks by time; without interleaving every stream's
  // chunks are written as they come.
  settings.interleave = mode_ == INTERLEAVE_CAPTURE || mode_ == INTERLEAVE_FULL;
  settings.interleaveTime = interleave_;
  settings.prerollTime = preroll_;
  if (muxer->Start(output_.get(), settings) < 0) return E_FAIL;
  muxer_ = std::move(muxer);
  finished_ = false;
  written_ = 0;
  return S_OK;
}

STDMETHODIMP AviMux::Pause() {
  CAutoLock hold(&lock_);
  bool starting = false;
  if (m_State == State_Stopped)
    for (auto& in : inputs_) starting |= in->IsConnected() != FALSE;
  // The pins are active first: the file goes down the output pin from its header on.
  const HRESULT hr = CBaseFilter::Pause();
  if (FAILED(hr) || !starting) return hr;
  HRESULT started;
  {
    CAutoLock mux(&muxLock_);
    started = StartFile();
  }
  if (FAILED(started)) {
    CBaseFilter::Stop();
    NotifyEvent(EC_ERRORABORT, started, 0);
    return started;
  }
  return hr;
}

STDMETHODIMP AviMux::Stop() {
  FinishFile();
  return CBaseFilter::Stop();
}

HRESULT AviMux::Write(int stream, AVPacket* packet, int64_t end) {
  CAutoLock hold(&muxLock_);
  if (!muxer_) return VFW_E_WRONG_STATE;
  if (const int err = muxer_->Write(stream, packet); err < 0) {
    NotifyEvent(EC_ERRORABORT, WriteFailure(err), 0);
    return WriteFailure(err);
  }
  if (end > written_) written_ = end;
  return S_OK;
}

void AviMux::InputEnded() {
  {
    CAutoLock hold(&muxLock_);
    for (auto& in : inputs_)
      if (in->IsConnected() && !in->Ended()) return;
  }
  FinishFile();
}

void AviMux::FinishFile() {
  CAutoLock hold(&muxLock_);
  if (muxer_ && !finished_) {
    finished_ = true;
    if (const int err = muxer_->Finish(); err < 0) NotifyEvent(EC_ERRORABORT, WriteFailure(err), 0);
  }
  muxer_.reset();
}

}  // namespace dshow::filters
