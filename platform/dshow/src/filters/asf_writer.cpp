#include "asf_writer.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "dshow/encoding_input_pin.h"
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

class AsfWriter::InputPin : public EncodingInputPin {
 public:
  InputPin(AsfWriter* filter, bool video, HRESULT* phr)
      : EncodingInputPin("ASF Writer input", filter, &filter->lock_, &filter->muxer_, video,
                         video ? u"Video Input 01" : u"Audio Input 01", phr) {}

  // Opens the pin's encoder with the writer's settings and adds its stream to a file about to start.
  HRESULT Open(const AsfWriterSettings& s, FileMuxer& muxer) {
    if (IsVideo()) {
      VideoFormat in;
      if (!ConnectedVideo(&in)) return VFW_E_NOT_CONNECTED;
      VideoTarget target;
      target.width = s.width ? s.width : in.width / 2 * 2;
      target.height = s.height ? s.height : in.height / 2 * 2;
      if (s.frameTime > 0) target.frameRate = av_d2q(1e7 / double(s.frameTime), 65535);
      target.bitRate = s.videoBitRate;
      target.keyframeInterval = s.keyframeInterval;
      const AVCodec* codec = avcodec_find_encoder_by_name(s.videoEncoder.c_str());
      if (!codec) return VFW_E_NO_ACCEPTABLE_TYPES;
      return OpenVideo(codec, in, target, muxer);
    }
    PcmFormat in;
    if (!ReadPcmFormat(CurrentMediaType(), &in)) return VFW_E_NOT_CONNECTED;
    AudioTarget target;
    target.rate = s.sampleRate;
    target.channels = s.channels ? s.channels : std::min(in.channels, 2);
    target.bitRate = s.audioBitRate;
    const AVCodec* codec = avcodec_find_encoder_by_name(s.audioEncoder.c_str());
    if (!codec) return VFW_E_NO_ACCEPTABLE_TYPES;
    return OpenAudio(codec, in, target, muxer);
  }
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
