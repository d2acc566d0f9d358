#include "mp3_encoder_filter.h"

#include <cstring>

namespace filters {

bool ReadPcmInput(const AM_MEDIA_TYPE& mt, PcmInput* out) {
  if (mt.majortype != MEDIATYPE_Audio || mt.formattype != FORMAT_WaveFormatEx || !mt.pbFormat ||
      mt.cbFormat < sizeof(WAVEFORMATEX) - sizeof(WORD))
    return false;
  WAVEFORMATEX wfx{};
  std::memcpy(&wfx, mt.pbFormat, std::min<size_t>(mt.cbFormat, sizeof wfx));
  if (wfx.nChannels < 1 || wfx.nChannels > 8 || wfx.nSamplesPerSec < 1000 || wfx.nSamplesPerSec > 384000)
    return false;
  if (wfx.wFormatTag == WAVE_FORMAT_PCM && wfx.wBitsPerSample == 8) out->format = AV_SAMPLE_FMT_U8;
  else if (wfx.wFormatTag == WAVE_FORMAT_PCM && wfx.wBitsPerSample == 16) out->format = AV_SAMPLE_FMT_S16;
  else if (wfx.wFormatTag == WAVE_FORMAT_PCM && wfx.wBitsPerSample == 32) out->format = AV_SAMPLE_FMT_S32;
  else if (wfx.wFormatTag == WAVE_FORMAT_IEEE_FLOAT && wfx.wBitsPerSample == 32) out->format = AV_SAMPLE_FMT_FLT;
  else return false;
  out->channels = wfx.nChannels;
  out->rate = int(wfx.nSamplesPerSec);
  return true;
}

namespace {

void WriteMp3Format(const Mp3Output& out, CMediaType* mt) {
  MPEGLAYER3WAVEFORMAT f{};
  f.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
  f.wfx.nChannels = WORD(out.channels);
  f.wfx.nSamplesPerSec = DWORD(out.rate);
  f.wfx.nAvgBytesPerSec = DWORD(out.kbps) * 1000 / 8;
  // Frames differ in size (padding), so there is no fixed block: the AVI Mux then stores one frame
  // per chunk, timed by frames, as players expect of MP3 in AVI.
  f.wfx.nBlockAlign = 0;
  f.wfx.wBitsPerSample = 0;
  f.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
  f.wID = MPEGLAYER3_ID_MPEG;
  f.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
  f.nBlockSize = WORD(Mp3FrameSamples(out.rate) / 8 * out.kbps * 1000 / out.rate);
  f.nFramesPerBlock = 1;
  f.nCodecDelay = 1393;  // the encoder's usual lead-in, in samples
  mt->InitMediaType();
  mt->SetType(&MEDIATYPE_Audio);
  mt->SetSubtype(&MEDIASUBTYPE_MP3);
  mt->SetFormatType(&FORMAT_WaveFormatEx);
  mt->SetFormat(reinterpret_cast<BYTE*>(&f), sizeof f);
  mt->SetTemporalCompression(FALSE);
  mt->SetVariableSize();
}

}  // namespace

CUnknown* Mp3EncoderFilter::Create(LPUNKNOWN outer, HRESULT* phr) {
  if (!avcodec_find_encoder_by_name("libmp3lame")) {
    *phr = REGDB_E_CLASSNOTREG;
    return nullptr;
  }
  return new Mp3EncoderFilter(outer, phr);
}

Mp3EncoderFilter::Mp3EncoderFilter(LPUNKNOWN outer, HRESULT*)
    : CTransformFilter("MP3 encoder", outer, CLSID_Mp3EncoderFilter) {}

STDMETHODIMP Mp3EncoderFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IMp3EncoderSettings) return GetInterface(static_cast<IMp3EncoderSettings*>(this), ppv);
  return CTransformFilter::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP Mp3EncoderFilter::SetKey(LONG key) {
  if (key != kMp3EncoderSettingsKey) return E_INVALIDARG;
  CAutoLock hold(&settingsLock_);
  open_ = true;
  return S_OK;
}

HRESULT Mp3EncoderFilter::ChangeSetting(LONG value, LONG* setting) {
  CAutoLock state(&m_csFilter);
  CAutoLock hold(&settingsLock_);
  if (!open_) return E_ACCESSDENIED;
  if (value <= 0) return E_INVALIDARG;
  // The output type is fixed once it is agreed.
  if (m_pOutput && m_pOutput->IsConnected()) return VFW_E_ALREADY_CONNECTED;
  *setting = value;
  return S_OK;
}

STDMETHODIMP Mp3EncoderFilter::SetBitRate(LONG kbps) { return ChangeSetting(kbps, &kbps_); }
STDMETHODIMP Mp3EncoderFilter::SetSampleRate(LONG hz) { return ChangeSetting(hz, &rate_); }

bool Mp3EncoderFilter::OutputFormat(Mp3Output* out) {
  PcmInput in;
  if (!m_pInput || !m_pInput->IsConnected() || !ReadPcmInput(m_pInput->CurrentMediaType(), &in)) return false;
  CAutoLock hold(&settingsLock_);
  out->rate = NearestMp3Rate(rate_ ? rate_ : in.rate);
  out->channels = std::min(in.channels, 2);
  out->kbps = NearestMp3BitRate(kbps_, out->rate);
  return true;
}

HRESULT Mp3EncoderFilter::CheckInputType(const CMediaType* mt) {
  PcmInput in;
  return ReadPcmInput(*mt, &in) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT Mp3EncoderFilter::GetMediaType(int position, CMediaType* mt) {
  if (position < 0) return E_INVALIDARG;
  if (position > 0) return VFW_S_NO_MORE_ITEMS;
  Mp3Output out;
  if (!OutputFormat(&out)) return VFW_E_NOT_CONNECTED;
  WriteMp3Format(out, mt);
  return S_OK;
}

HRESULT Mp3EncoderFilter::CheckTransform(const CMediaType* in, const CMediaType* out) {
  if (CheckInputType(in) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
  CMediaType ours;
  if (FAILED(GetMediaType(0, &ours))) return VFW_E_TYPE_NOT_ACCEPTED;
  return ours == *out ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT Mp3EncoderFilter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
  // One frame: at most 1441 bytes at 320 kbit/s and 32 kHz.
  request->cbBuffer = std::max<LONG>(request->cbBuffer, 4096);
  request->cBuffers = std::max<LONG>(request->cBuffers, 8);
  request->cbAlign = std::max<LONG>(request->cbAlign, 1);
  ALLOCATOR_PROPERTIES actual;
  const HRESULT hr = allocator->SetProperties(request, &actual);
  if (FAILED(hr)) return hr;
  return actual.cbBuffer < request->cbBuffer ? E_FAIL : S_OK;
}

HRESULT Mp3EncoderFilter::StartStreaming() {
  PcmInput in;
  if (!ReadPcmInput(m_pInput->CurrentMediaType(), &in) || !OutputFormat(&out_)) return VFW_E_NOT_CONNECTED;
  auto stream = std::make_unique<Mp3Stream>();
  if (!stream->Open(in, out_)) return VFW_E_TYPE_NOT_ACCEPTED;
  stream_ = std::move(stream);
  first_ = -1;
  frames_ = 0;
  return S_OK;
}

HRESULT Mp3EncoderFilter::StopStreaming() {
  stream_.reset();
  return S_OK;
}

// Frame n starts n frame lengths after the stream's first sample.
HRESULT Mp3EncoderFilter::DeliverFrames() {
  std::vector<uint8_t> frame;
  const int64_t length = Mp3FrameSamples(out_.rate);
  while (stream_->Receive(&frame)) {
    ComPtr<IMediaSample> out;
    HRESULT hr = m_pOutput->GetDeliveryBuffer(out.put(), nullptr, nullptr, 0);
    if (FAILED(hr)) return hr;
    BYTE* data = nullptr;
    out->GetPointer(&data);
    if (LONG(frame.size()) > out->GetSize()) return VFW_E_BUFFER_OVERFLOW;
    std::memcpy(data, frame.data(), frame.size());
    out->SetActualDataLength(LONG(frame.size()));
    REFERENCE_TIME start = first_ + frames_ * length * UNITS / out_.rate;
    REFERENCE_TIME stop = first_ + (frames_ + 1) * length * UNITS / out_.rate;
    out->SetTime(&start, &stop);
    out->SetSyncPoint(TRUE);
    ++frames_;
    hr = m_pOutput->Deliver(out.get());
    if (hr != S_OK) return hr;
  }
  return S_OK;
}

HRESULT Mp3EncoderFilter::Receive(IMediaSample* sample) {
  CAutoLock hold(&m_csReceive);
  if (!stream_) return VFW_E_WRONG_STATE;
  BYTE* data = nullptr;
  sample->GetPointer(&data);
  const LONG length = sample->GetActualDataLength();
  if (first_ < 0) {
    REFERENCE_TIME start = 0, stop = 0;
    first_ = SUCCEEDED(sample->GetTime(&start, &stop)) ? std::max<REFERENCE_TIME>(start, 0) : 0;
  }
  if (length > 0 && !stream_->Send(data, size_t(length))) return E_FAIL;
  return DeliverFrames();
}

HRESULT Mp3EncoderFilter::EndOfStream() {
  {
    CAutoLock hold(&m_csReceive);
    if (stream_ && stream_->Finish()) {
      if (first_ < 0) first_ = 0;
      DeliverFrames();
    }
  }
  return CTransformFilter::EndOfStream();
}

HRESULT Mp3EncoderFilter::EndFlush() {
  {
    CAutoLock hold(&m_csReceive);
    // A new segment starts a new stream.
    if (stream_) StartStreaming();
  }
  return CTransformFilter::EndFlush();
}

}  // namespace filters
