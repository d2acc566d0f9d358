#include "compressor_filter.h"

#include <cstring>

#include "ole/objbase.h"

namespace dshow::filters {

// The output pin; for "PCM" it also answers IAMStreamConfig.
class CompressorFilter::OutputPin : public CTransformOutputPin, public IAMStreamConfig {
 public:
  OutputPin(CompressorFilter* filter, HRESULT* phr)
      : CTransformOutputPin("Compressor output", filter, phr, u"Output"), filter_(filter) {}

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IAMStreamConfig && filter_->IsPcm()) return GetInterface(static_cast<IAMStreamConfig*>(this), ppv);
    return CTransformOutputPin::NonDelegatingQueryInterface(riid, ppv);
  }

  STDMETHODIMP SetFormat(AM_MEDIA_TYPE* pmt) override {
    if (!pmt) return E_POINTER;
    PcmFormat format;
    if (!ReadPcmFormat(*pmt, &format)) return VFW_E_INVALIDMEDIATYPE;
    return filter_->SetPcmOutput(format);
  }

  STDMETHODIMP GetFormat(AM_MEDIA_TYPE** ppmt) override {
    if (!ppmt) return E_POINTER;
    *ppmt = nullptr;
    PcmFormat format;
    if (!filter_->PcmOutput(&format)) return VFW_E_NOT_CONNECTED;
    AM_MEDIA_TYPE mt{};
    WritePcmFormat(format, &mt);
    *ppmt = CreateMediaType(&mt);
    FreeMediaType(mt);
    return *ppmt ? S_OK : E_OUTOFMEMORY;
  }

  STDMETHODIMP GetNumberOfCapabilities(int* piCount, int* piSize) override {
    if (!piCount || !piSize) return E_POINTER;
    *piCount = 1;
    *piSize = sizeof(AUDIO_STREAM_CONFIG_CAPS);
    return S_OK;
  }

  STDMETHODIMP GetStreamCaps(int iIndex, AM_MEDIA_TYPE** ppmt, BYTE* pSCC) override {
    if (!ppmt || !pSCC) return E_POINTER;
    *ppmt = nullptr;
    if (iIndex != 0) return iIndex < 0 ? E_INVALIDARG : S_FALSE;
    PcmFormat format;
    if (!filter_->PcmOutput(&format)) format = {AV_SAMPLE_FMT_S16, 2, 44100};
    AM_MEDIA_TYPE mt{};
    WritePcmFormat(format, &mt);
    *ppmt = CreateMediaType(&mt);
    FreeMediaType(mt);
    if (!*ppmt) return E_OUTOFMEMORY;
    AUDIO_STREAM_CONFIG_CAPS caps{};
    caps.guid = MEDIATYPE_Audio;
    caps.MinimumChannels = 1;
    caps.MaximumChannels = 2;
    caps.ChannelsGranularity = 1;
    caps.MinimumBitsPerSample = 8;
    caps.MaximumBitsPerSample = 16;
    caps.BitsPerSampleGranularity = 8;
    caps.MinimumSampleFrequency = 8000;
    caps.MaximumSampleFrequency = 96000;
    caps.SampleFrequencyGranularity = 1;
    std::memcpy(pSCC, &caps, sizeof caps);
    return S_OK;
  }

 private:
  CompressorFilter* filter_;
};

CompressorFilter::CompressorFilter(const CompressorEntry* entry, LPUNKNOWN outer, HRESULT* phr)
    : CTransformFilter(entry->friendlyName, outer, GUID_NULL), entry_(entry) {
  m_pInput = new CTransformInputPin("Compressor input", this, phr, u"Input");
  m_pOutput = new OutputPin(this, phr);
}

CompressorFilter::~CompressorFilter() = default;

CUnknown* CompressorFilter::Create(const CompressorEntry* entry, LPUNKNOWN outer, HRESULT* phr) {
  if (!entry || !avcodec_find_encoder_by_name(entry->encoder)) {
    *phr = REGDB_E_CLASSNOTREG;
    return nullptr;
  }
  return new CompressorFilter(entry, outer, phr);
}

bool CompressorFilter::IsPcm() const { return std::strcmp(entry_->friendlyName, "PCM") == 0; }
bool CompressorFilter::IsDV() const { return std::strcmp(entry_->encoder, "dvvideo") == 0; }

STDMETHODIMP CompressorFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IDVEnc && IsDV()) return GetInterface(static_cast<IDVEnc*>(this), ppv);
  return CTransformFilter::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP CompressorFilter::get_IFormatResolution(int* VideoFormat, int* DVFormat, int* Resolution, BYTE fDVInfo,
                                                     DVINFO* sDVInfo) {
  if (!VideoFormat || !DVFormat || !Resolution) return E_POINTER;
  CAutoLock hold(&settingsLock_);
  *VideoFormat = dvVideoFormat_;
  *DVFormat = DVENCODERFORMAT_DVSD;
  *Resolution = dvResolution_;
  if (fDVInfo) {
    if (!sDVInfo) return E_POINTER;
    *sDVInfo = DVINFO{};
  }
  return S_OK;
}

STDMETHODIMP CompressorFilter::put_IFormatResolution(int VideoFormat, int DVFormat, int Resolution, BYTE fDVInfo,
                                                     DVINFO*) {
  if (VideoFormat != DVENCODERVIDEOFORMAT_NTSC && VideoFormat != DVENCODERVIDEOFORMAT_PAL) return E_INVALIDARG;
  if (DVFormat != DVENCODERFORMAT_DVSD) return E_INVALIDARG;
  if (Resolution < DVENCODERRESOLUTION_720x480 || Resolution > DVENCODERRESOLUTION_88x60) return E_INVALIDARG;
  if (fDVInfo) return E_INVALIDARG;  // the DV info block of the stream is the encoder's own
  CAutoLock state(&m_csFilter);
  if (m_pOutput->IsConnected()) return VFW_E_ALREADY_CONNECTED;
  CAutoLock hold(&settingsLock_);
  dvVideoFormat_ = VideoFormat;
  // The resolution is what a decoder of this stream would show; the stream itself always holds
  // full DV frames.
  dvResolution_ = Resolution;
  return S_OK;
}

bool CompressorFilter::PcmOutput(PcmFormat* out) {
  CAutoLock hold(&settingsLock_);
  if (pcmSet_) {
    *out = pcmOut_;
    return true;
  }
  PcmFormat in;
  if (!m_pInput->IsConnected() || !ReadPcmFormat(m_pInput->CurrentMediaType(), &in)) return false;
  *out = {in.format == AV_SAMPLE_FMT_U8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16, std::min(in.channels, 2), in.rate};
  return true;
}

HRESULT CompressorFilter::SetPcmOutput(const PcmFormat& format) {
  if (format.channels < 1 || format.channels > 8 || format.rate < 8000 || format.rate > 192000) return E_INVALIDARG;
  {
    CAutoLock state(&m_csFilter);
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    CAutoLock hold(&settingsLock_);
    pcmOut_ = format;
    pcmSet_ = true;
  }
  // A connected output takes the new format: the graph connects the pins again, letting them
  // agree on the type this pin now offers.
  if (m_pOutput->IsConnected()) {
    IFilterGraph* graph = GetFilterGraph();
    if (!graph) return VFW_E_NOT_IN_GRAPH;
    const ComPtr<IPin> peer(m_pOutput->GetConnected());  // kept across the disconnection
    graph->Disconnect(peer.get());
    graph->Disconnect(m_pOutput);
    return graph->ConnectDirect(m_pOutput, peer.get(), nullptr);
  }
  return S_OK;
}

HRESULT CompressorFilter::CheckInputType(const CMediaType* mt) {
  if (entry_->video) {
    VideoFormat f;
    return ReadVideoFormat(*mt, &f) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
  }
  PcmFormat f;
  return ReadPcmFormat(*mt, &f) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

std::unique_ptr<StreamEncoder> CompressorFilter::OpenEncoder(HRESULT* hr) {
  std::string error;
  const AVCodec* codec = avcodec_find_encoder_by_name(entry_->encoder);
  if (!codec) {
    *hr = VFW_E_NO_ACCEPTABLE_TYPES;
    return nullptr;
  }
  std::unique_ptr<StreamEncoder> encoder;
  if (entry_->video) {
    VideoFormat in;
    if (!ReadVideoFormat(m_pInput->CurrentMediaType(), &in)) {
      *hr = VFW_E_NOT_CONNECTED;
      return nullptr;
    }
    VideoTarget target;
    target.bitRate = entry_->bitRate;
    target.options = entry_->options;
    const int align = std::max(entry_->sizeAlign, 1);
    target.width = std::max(align, in.width / align * align);
    target.height = std::max(align, in.height / align * align);
    if (IsDV()) {
      CAutoLock hold(&settingsLock_);
      const bool pal = dvVideoFormat_ == DVENCODERVIDEOFORMAT_PAL;
      target.width = 720;
      target.height = pal ? 576 : 480;
      target.frameRate = pal ? AVRational{25, 1} : AVRational{30000, 1001};
      target.pixelFormat = pal ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_YUV411P;
    }
    VideoInput input{in.kind, in.width, in.height, in.frameTime > 0 ? in.frameTime : 400000};
    encoder = StreamEncoder::OpenVideo(codec, input, target, &error);
  } else {
    PcmFormat in;
    if (!ReadPcmFormat(m_pInput->CurrentMediaType(), &in)) {
      *hr = VFW_E_NOT_CONNECTED;
      return nullptr;
    }
    AudioTarget target;
    target.bitRate = entry_->bitRate;
    target.options = entry_->options;
    target.rate = entry_->sampleRate;
    target.channels = entry_->channels ? entry_->channels : std::min(in.channels, 2);
    encoder = StreamEncoder::OpenAudio(codec, in, target, &error);
  }
  *hr = encoder ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
  return encoder;
}

HRESULT CompressorFilter::OutputType(CMediaType* mt) {
  if (!m_pInput->IsConnected()) return VFW_E_NOT_CONNECTED;
  if (IsPcm()) {
    PcmFormat out;
    if (!PcmOutput(&out)) return VFW_E_NOT_CONNECTED;
    WritePcmFormat(out, mt);
    return S_OK;
  }
  HRESULT hr;
  std::unique_ptr<StreamEncoder> encoder = OpenEncoder(&hr);
  if (!encoder) return hr;
  Parameters parameters(avcodec_parameters_alloc());
  if (!parameters || avcodec_parameters_from_context(parameters.get(), encoder->Context()) < 0) return E_OUTOFMEMORY;
  parameters->codec_tag = entry_->video ? entry_->fourcc : entry_->formatTag;
  const AVRational rate = entry_->video ? encoder->Context()->framerate : AVRational{0, 1};
  WriteCodecFormat(parameters.get(), rate, mt);
  return S_OK;
}

HRESULT CompressorFilter::GetMediaType(int position, CMediaType* mt) {
  if (position < 0) return E_INVALIDARG;
  if (position > 0) return VFW_S_NO_MORE_ITEMS;
  return OutputType(mt);
}

HRESULT CompressorFilter::CheckTransform(const CMediaType* in, const CMediaType* out) {
  if (CheckInputType(in) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
  CMediaType ours;
  if (FAILED(OutputType(&ours))) return VFW_E_TYPE_NOT_ACCEPTED;
  return ours == *out ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CompressorFilter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
  LONG size = 1 << 16;
  if (entry_->video) {
    VideoFormat in;
    if (ReadVideoFormat(m_pInput->CurrentMediaType(), &in)) {
      const int width = IsDV() ? 720 : in.width, height = IsDV() ? 576 : in.height;
      // Room for a picture that does not compress (lossless codecs can exceed the raw size).
      size = LONG(ImageBytes(RawKind::RGB32, width, height) + (1 << 16));
    }
    request->cBuffers = std::max<LONG>(request->cBuffers, 2);
  } else {
    PcmFormat in;
    if (ReadPcmFormat(m_pInput->CurrentMediaType(), &in))
      size = std::max<LONG>(size, LONG(in.rate) * 8 / 2);  // half a second of the widest PCM we make
    request->cBuffers = std::max<LONG>(request->cBuffers, 4);
  }
  request->cbBuffer = std::max(request->cbBuffer, size);
  request->cbAlign = std::max<LONG>(request->cbAlign, 1);
  ALLOCATOR_PROPERTIES actual;
  HRESULT hr = allocator->SetProperties(request, &actual);
  if (FAILED(hr)) return hr;
  return actual.cbBuffer < request->cbBuffer ? E_FAIL : S_OK;
}

HRESULT CompressorFilter::StartStreaming() {
  worker_.reset();  // a restart: the picture in hand goes out with the old encoder
  pcmPending_.clear();
  pcmNext_ = -1;
  pcmConverter_.Reset();
  if (IsPcm()) {
    if (!ReadPcmFormat(m_pInput->CurrentMediaType(), &pcmIn_)) return VFW_E_NOT_CONNECTED;
    return S_OK;
  }
  HRESULT hr;
  encoder_ = OpenEncoder(&hr);
  if (!encoder_ || !entry_->video) return hr;
  frameTime_ = encoder_->FrameTime();
  for (Frame& picture : pictures_) {
    picture = encoder_->NewPicture();
    if (!picture) {
      encoder_.reset();
      return E_OUTOFMEMORY;
    }
  }
  nextPicture_ = 0;
  worker_ = std::make_unique<HandOffWorker>();
  return S_OK;
}

HRESULT CompressorFilter::StopStreaming() {
  worker_.reset();
  encoder_.reset();
  return S_OK;
}

HRESULT CompressorFilter::DeliverPackets() {
  Packet packet = NewPacket();
  if (!packet) return E_OUTOFMEMORY;
  while (encoder_->Receive(packet.get()) == 0) {
    ComPtr<IMediaSample> out;
    HRESULT hr = m_pOutput->GetDeliveryBuffer(out.put(), nullptr, nullptr, 0);
    if (FAILED(hr)) return hr;
    BYTE* data = nullptr;
    out->GetPointer(&data);
    if (packet->size > out->GetSize()) {
      out = nullptr;
      // The stream cannot go on: tell the graph instead of silently stalling.
      NotifyEvent(EC_ERRORABORT, VFW_E_BUFFER_OVERFLOW, 0);
      return VFW_E_BUFFER_OVERFLOW;
    }
    std::memcpy(data, packet->data, size_t(packet->size));
    out->SetActualDataLength(packet->size);
    REFERENCE_TIME start = packet->pts;
    REFERENCE_TIME stop = packet->pts + std::max<int64_t>(packet->duration, 1);
    out->SetTime(&start, &stop);
    out->SetSyncPoint((packet->flags & AV_PKT_FLAG_KEY) != 0);
    av_packet_unref(packet.get());
    hr = m_pOutput->Deliver(out.get());
    if (hr != S_OK) return hr;
  }
  return S_OK;
}

HRESULT CompressorFilter::EncodePicture(const AVFrame* picture) {
  if (encoder_->SendPicture(picture) < 0) {
    // The stream cannot go on: tell the graph instead of silently stalling.
    NotifyEvent(EC_ERRORABORT, E_FAIL, 0);
    return E_FAIL;
  }
  return DeliverPackets();
}

// Sends converted PCM on in pieces of at most one buffer; with last, also the remainder.
HRESULT CompressorFilter::DeliverPcm(bool last) {
  PcmFormat out;
  PcmOutput(&out);
  const size_t frameBytes = size_t(av_get_bytes_per_sample(out.format)) * out.channels;
  const size_t chunk = size_t(std::max(out.rate / 10, 1)) * frameBytes;  // a tenth of a second
  size_t offset = 0;
  HRESULT hr = S_OK;
  while (hr == S_OK) {
    const size_t left = pcmPending_.size() - offset;
    if (left == 0 || (!last && left < chunk)) break;
    const size_t piece = std::min(left, chunk);
    ComPtr<IMediaSample> sample;
    hr = m_pOutput->GetDeliveryBuffer(sample.put(), nullptr, nullptr, 0);
    if (FAILED(hr)) break;
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    const size_t n = std::min<size_t>(piece, size_t(sample->GetSize()) / frameBytes * frameBytes);
    if (n == 0) {
      hr = VFW_E_BUFFER_OVERFLOW;
      break;
    }
    std::memcpy(data, pcmPending_.data() + offset, n);
    sample->SetActualDataLength(LONG(n));
    REFERENCE_TIME start = pcmNext_;
    REFERENCE_TIME stop = start + int64_t(n / frameBytes) * UNITS / out.rate;
    sample->SetTime(&start, &stop);
    sample->SetSyncPoint(TRUE);
    pcmNext_ = stop;
    offset += n;
    hr = m_pOutput->Deliver(sample.get());
  }
  pcmPending_.erase(pcmPending_.begin(), pcmPending_.begin() + offset);
  return hr;
}

HRESULT CompressorFilter::Receive(IMediaSample* sample) {
  CAutoLock hold(&m_csReceive);
  BYTE* data = nullptr;
  sample->GetPointer(&data);
  const LONG length = sample->GetActualDataLength();
  REFERENCE_TIME start = -1, stop = -1;
  if (FAILED(sample->GetTime(&start, &stop))) start = -1;
  if (IsPcm()) {
    if (pcmNext_ < 0) pcmNext_ = std::max<REFERENCE_TIME>(start, 0);
    PcmFormat out;
    PcmOutput(&out);
    const uint8_t* planes[1] = {data};
    const int frameBytes = av_get_bytes_per_sample(pcmIn_.format) * pcmIn_.channels;
    if (!pcmConverter_.Convert(planes, length / frameBytes, pcmIn_, out, pcmPending_)) return E_FAIL;
    return DeliverPcm(false);
  }
  if (!encoder_) return VFW_E_WRONG_STATE;
  if (entry_->video) {
    VideoFormat in;
    ReadVideoFormat(m_pInput->CurrentMediaType(), &in);
    if (size_t(length) < ImageBytes(in.kind, in.width, in.height)) return VFW_E_BUFFER_UNDERFLOW;
    AVFrame* picture = pictures_[nextPicture_].get();
    if (encoder_->PreparePicture(data, std::max<REFERENCE_TIME>(start, 0), picture) < 0) return E_FAIL;
    nextPicture_ ^= 1;
    return worker_->Hand([this, picture] { return EncodePicture(picture); });
  }
  if (encoder_->SendAudio(data, size_t(std::max<LONG>(length, 0)), start) < 0) return E_FAIL;
  return DeliverPackets();
}

HRESULT CompressorFilter::EndOfStream() {
  {
    CAutoLock hold(&m_csReceive);
    if (IsPcm()) {
      pcmConverter_.Drain(pcmPending_);
      DeliverPcm(true);
    } else if (encoder_) {
      if (worker_) worker_->Finish();
      encoder_->Finish();
      DeliverPackets();
    }
  }
  return CTransformFilter::EndOfStream();
}

HRESULT CompressorFilter::EndFlush() {
  {
    CAutoLock hold(&m_csReceive);
    // A new segment starts a new stream: the encoder starts afresh.
    if (encoder_) StartStreaming();
    pcmPending_.clear();
    pcmNext_ = -1;
  }
  return CTransformFilter::EndFlush();
}

}  // namespace dshow::filters
