#include "asf_writer.h"

#include <cstring>
#include <mutex>

#include "dshow/media_types.h"

namespace dshow::filters {
namespace {

struct ConfigFactory {
  std::mutex lock;
  GUID iid = GUID_NULL;
  LPFNCREATEASFWRITERCONFIG create = nullptr;
};

ConfigFactory& TheConfigFactory() {
  static ConfigFactory* factory = new ConfigFactory;  // set by the media format runtime's registration
  return *factory;
}

}  // namespace

class AsfWriter::InputPin : public CBaseInputPin {
 public:
  InputPin(AsfWriter* filter, bool video, HRESULT* phr)
      : CBaseInputPin("ASF Writer input", filter, &filter->lock_, phr, video ? u"Video Input 01" : u"Audio Input 01"),
        filter_(filter), video_(video) {}

  HRESULT CheckMediaType(const CMediaType* mt) override {
    if (video_) {
      VideoFormat f;
      return ReadVideoFormat(*mt, &f) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    PcmFormat f;
    return ReadPcmFormat(*mt, &f) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
  }

  STDMETHODIMP Receive(IMediaSample* sample) override {
    if (HRESULT hr = CBaseInputPin::Receive(sample); hr != S_OK) return hr;
    CAutoLock hold(&encodeLock_);
    if (!encoder_ || stream_ < 0) return VFW_E_WRONG_STATE;
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    const LONG length = sample->GetActualDataLength();
    REFERENCE_TIME start = -1, stop = -1;
    if (FAILED(sample->GetTime(&start, &stop))) start = -1;
    int err;
    if (video_) {
      if (size_t(length) < ImageBytes(videoIn_.kind, videoIn_.width, videoIn_.height)) return VFW_E_BUFFER_UNDERFLOW;
      err = encoder_->SendPicture(data, std::max<REFERENCE_TIME>(start, 0));
    } else {
      err = encoder_->SendAudio(data, size_t(std::max<LONG>(length, 0)), start);
    }
    if (err < 0) return E_FAIL;
    return WritePackets();
  }

  STDMETHODIMP EndOfStream() override {
    if (HRESULT hr = CheckStreaming(); hr != S_OK) return hr;
    Drain();
    filter_->InputEnded();
    return S_OK;
  }

  STDMETHODIMP EndFlush() override {
    filter_->InputRestarted();
    return CBaseInputPin::EndFlush();
  }

  // The encoder's delayed packets go to the file.
  void Drain() {
    CAutoLock hold(&encodeLock_);
    if (!encoder_ || drained_) return;
    drained_ = true;
    encoder_->Finish();
    WritePackets();
  }

  // Opens the pin's encoder and adds its stream to a file about to start.
  HRESULT Open(const AsfWriterSettings& s, FileMuxer& muxer) {
    CAutoLock hold(&encodeLock_);
    std::string error;
    drained_ = false;
    if (video_) {
      if (!ReadVideoFormat(CurrentMediaType(), &videoIn_)) return VFW_E_NOT_CONNECTED;
      VideoTarget target;
      target.width = s.width ? s.width : videoIn_.width / 2 * 2;
      target.height = s.height ? s.height : videoIn_.height / 2 * 2;
      if (s.frameTime > 0) target.frameRate = av_d2q(1e7 / double(s.frameTime), 65535);
      target.bitRate = s.videoBitRate;
      target.keyframeInterval = s.keyframeInterval;
      const AVCodec* codec = avcodec_find_encoder_by_name(s.videoEncoder.c_str());
      if (!codec) return VFW_E_NO_ACCEPTABLE_TYPES;
      VideoInput in{videoIn_.kind, videoIn_.width, videoIn_.height, videoIn_.frameTime > 0 ? videoIn_.frameTime : 400000};
      encoder_ = StreamEncoder::OpenVideo(codec, in, target, &error);
    } else {
      PcmFormat in;
      if (!ReadPcmFormat(CurrentMediaType(), &in)) return VFW_E_NOT_CONNECTED;
      AudioTarget target;
      target.rate = s.sampleRate;
      target.channels = s.channels ? s.channels : std::min(in.channels, 2);
      target.bitRate = s.audioBitRate;
      const AVCodec* codec = avcodec_find_encoder_by_name(s.audioEncoder.c_str());
      if (!codec) return VFW_E_NO_ACCEPTABLE_TYPES;
      encoder_ = StreamEncoder::OpenAudio(codec, in, target, &error);
    }
    if (!encoder_) return VFW_E_TYPE_NOT_ACCEPTED;
    Parameters p(avcodec_parameters_alloc());
    if (!p || avcodec_parameters_from_context(p.get(), encoder_->Context()) < 0) return E_OUTOFMEMORY;
    stream_ = muxer.AddStream(p.get(), encoder_->Context()->framerate);
    return stream_ < 0 ? E_OUTOFMEMORY : S_OK;
  }

  void Close() {
    CAutoLock hold(&encodeLock_);
    encoder_.reset();
    stream_ = -1;
  }

 private:
  // What the encoder has ready goes to the file; called with encodeLock_ held.
  HRESULT WritePackets() {
    Packet packet = NewPacket();
    if (!packet) return E_OUTOFMEMORY;
    while (encoder_->Receive(packet.get()) == 0)
      if (HRESULT hr = filter_->Write(stream_, packet.get()); FAILED(hr)) return hr;
    return S_OK;
  }

  AsfWriter* filter_;
  const bool video_;
  CCritSec encodeLock_;
  std::unique_ptr<StreamEncoder> encoder_;
  VideoFormat videoIn_;
  int stream_ = -1;
  bool drained_ = false;
};

AsfWriter::AsfWriter(LPUNKNOWN outer, HRESULT*) : SinkFilter("WM ASF Writer", outer, CLSID_WMAsfWriter) { MakePins(); }

AsfWriter::~AsfWriter() { FinishFile(); }

CUnknown* AsfWriter::CreateInstance(LPUNKNOWN outer, HRESULT* phr) { return new AsfWriter(outer, phr); }

void AsfWriter::MakePins() {
  for (auto& pin : pins_) retired_.push_back(std::move(pin));
  pins_.clear();
  HRESULT hr = S_OK;
  if (settings_.audio) pins_.push_back(std::make_unique<InputPin>(this, false, &hr));
  if (settings_.video) pins_.push_back(std::make_unique<InputPin>(this, true, &hr));
  if (!pins_.empty()) SetSeekingPin(pins_[0].get());
  IncrementPinVersion();
}

STDMETHODIMP AsfWriter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IFileSinkFilter || riid == IID_IFileSinkFilter2)
    return GetInterface(static_cast<IFileSinkFilter2*>(this), ppv);
  if (riid == IID_IAsfWriterSettings) return GetInterface(static_cast<IAsfWriterSettings*>(this), ppv);
  LPFNCREATEASFWRITERCONFIG create = nullptr;
  {
    ConfigFactory& factory = TheConfigFactory();
    std::lock_guard<std::mutex> hold(factory.lock);
    if (riid == factory.iid) create = factory.create;
  }
  if (create) return create(static_cast<IBaseFilter*>(this), ppv);
  return SinkFilter::NonDelegatingQueryInterface(riid, ppv);
}

int AsfWriter::GetPinCount() {
  CAutoLock hold(&lock_);
  return int(pins_.size());
}

CBasePin* AsfWriter::GetPin(int n) {
  CAutoLock hold(&lock_);
  return n >= 0 && size_t(n) < pins_.size() ? pins_[size_t(n)].get() : nullptr;
}

STDMETHODIMP AsfWriter::SetFileName(LPCOLESTR pszFileName, const AM_MEDIA_TYPE*) {
  return name_.Set(pszFileName);
}

STDMETHODIMP AsfWriter::GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) {
  return name_.Get(ppszFileName, pmt);
}

STDMETHODIMP AsfWriter::SetMode(DWORD dwFlags) {
  if (dwFlags & ~DWORD(AM_FILE_OVERWRITE)) return E_INVALIDARG;
  mode_ = dwFlags;
  return S_OK;
}

STDMETHODIMP AsfWriter::GetMode(DWORD* pdwFlags) {
  if (!pdwFlags) return E_POINTER;
  *pdwFlags = mode_;
  return S_OK;
}

STDMETHODIMP AsfWriter::GetSettings(AsfWriterSettings* settings) {
  if (!settings) return E_POINTER;
  CAutoLock hold(&lock_);
  *settings = settings_;
  return S_OK;
}

STDMETHODIMP AsfWriter::SetSettings(const AsfWriterSettings* settings) {
  if (!settings) return E_POINTER;
  if (!settings->video && !settings->audio) return E_INVALIDARG;
  if (settings->video && !avcodec_find_encoder_by_name(settings->videoEncoder.c_str())) return E_INVALIDARG;
  if (settings->audio && !avcodec_find_encoder_by_name(settings->audioEncoder.c_str())) return E_INVALIDARG;
  if (settings->width < 0 || settings->height < 0 || settings->sampleRate < 0 || settings->channels < 0)
    return E_INVALIDARG;
  CAutoLock hold(&lock_);
  if (!IsStopped()) return VFW_E_NOT_STOPPED;
  const bool pinsChange = settings->video != settings_.video || settings->audio != settings_.audio;
  if (pinsChange)
    for (auto& pin : pins_)
      if (pin->IsConnected()) return VFW_E_ALREADY_CONNECTED;
  settings_ = *settings;
  if (pinsChange) MakePins();
  return S_OK;
}

HRESULT AsfWriter::StartFile() {
  if (name_.Empty()) return VFW_E_NO_SINK;
  auto muxer = std::make_unique<FileMuxer>("asf");
  for (auto& pin : pins_) {
    pin->Close();
    if (!pin->IsConnected()) continue;
    if (HRESULT hr = pin->Open(settings_, *muxer); FAILED(hr)) return hr;
  }
  // The writer is its own file sink: it opens the file it was named.
  MuxSettings mux;
  if (HRESULT hr = name_.StartMuxer(muxer.get(), mux); FAILED(hr)) return hr;
  muxer_.Begin(std::move(muxer));
  return S_OK;
}

STDMETHODIMP AsfWriter::Pause() {
  CAutoLock hold(&lock_);
  if (m_State == State_Stopped) {
    bool anyInput = false;
    for (auto& pin : pins_) anyInput |= pin->IsConnected() != FALSE;
    if (anyInput) {
      if (HRESULT hr = StartFile(); FAILED(hr)) {
        for (auto& pin : pins_) pin->Close();
        NotifyEvent(EC_ERRORABORT, hr, 0);
        return hr;
      }
    }
  }
  return SinkFilter::Pause();
}

STDMETHODIMP AsfWriter::Stop() {
  FinishFile();
  return SinkFilter::Stop();
}

HRESULT AsfWriter::Write(int stream, AVPacket* packet) {
  return muxer_.Write(this, stream, packet);
}

void AsfWriter::FinishFile() {
  for (auto& pin : pins_) pin->Drain();
  if (const int err = muxer_.Finish(); err < 0) NotifyEvent(EC_ERRORABORT, WriteFailure(err), 0);
  for (auto& pin : pins_) pin->Close();
}

}  // namespace dshow::filters

void SetAsfWriterConfigFactory(REFIID iid, LPFNCREATEASFWRITERCONFIG create) {
  dshow::filters::ConfigFactory& factory = dshow::filters::TheConfigFactory();
  std::lock_guard<std::mutex> hold(factory.lock);
  factory.iid = iid;
  factory.create = create;
}
