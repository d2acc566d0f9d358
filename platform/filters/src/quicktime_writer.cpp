#include "quicktime_writer.h"

#include "three_gp_writer.h"

namespace filters {
namespace {

struct VideoCodecRow {
  LONG code;
  AVCodecID codec;
  AVPixelFormat pixelFormat;  // NONE: the codec's nearest to I420
};

// What each video code is written as; a code not listed is written as H.264.
constexpr VideoCodecRow kVideoCodecs[] = {
    {FourCharCode('r', 'l', 'e', ' '), AV_CODEC_ID_QTRLE, AV_PIX_FMT_RGB24},
    {FourCharCode('W', 'R', 'L', 'E'), AV_CODEC_ID_QTRLE, AV_PIX_FMT_RGB24},
    {FourCharCode('y', 'u', 'v', '2'), AV_CODEC_ID_RAWVIDEO, AV_PIX_FMT_YUYV422},
    {FourCharCode('h', '2', '6', '1'), AV_CODEC_ID_H261, AV_PIX_FMT_NONE},
    {FourCharCode('h', '2', '6', '3'), AV_CODEC_ID_H263, AV_PIX_FMT_NONE},
    {FourCharCode('a', 'v', 'c', '1'), AV_CODEC_ID_H264, AV_PIX_FMT_NONE},
    {FourCharCode('j', 'p', 'e', 'g'), AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P},
    {FourCharCode('m', 'p', '4', 'v'), AV_CODEC_ID_MPEG4, AV_PIX_FMT_NONE},
    {FourCharCode('S', 'V', 'Q', '1'), AV_CODEC_ID_SVQ1, AV_PIX_FMT_NONE},
};

struct AudioCodecRow {
  LONG code;
  AVCodecID codec;
};

// What each sound code is written as; a code not listed is written as 24-bit PCM.
constexpr AudioCodecRow kAudioCodecs[] = {
    {FourCharCode('i', 'n', '2', '4'), AV_CODEC_ID_PCM_S24BE},
    {FourCharCode('i', 'n', '3', '2'), AV_CODEC_ID_PCM_S32BE},
    {FourCharCode('a', 'l', 'a', 'w'), AV_CODEC_ID_PCM_ALAW},
    {FourCharCode('u', 'l', 'a', 'w'), AV_CODEC_ID_PCM_MULAW},
    {FourCharCode('i', 'm', 'a', '4'), AV_CODEC_ID_ADPCM_IMA_QT},
    {FourCharCode('M', 'A', 'C', '3'), AV_CODEC_ID_ADPCM_IMA_QT},
    {FourCharCode('M', 'A', 'C', '6'), AV_CODEC_ID_ADPCM_IMA_QT},
};

// H.261 codes QCIF and CIF only.
PictureSize H261SizeWithin(int width, int height) {
  return width >= 352 && height >= 288 ? PictureSize{352, 288} : PictureSize{176, 144};
}

}  // namespace

CUnknown* QuickTimeWriter::Create(LPUNKNOWN outer, HRESULT* phr) { return new QuickTimeWriter(outer, phr); }

QuickTimeWriter::QuickTimeWriter(LPUNKNOWN outer, HRESULT*)
    : EncodingWriter("QuickTime Writer", outer, CLSID_QuickTimeWriter, u"Video Input", u"Audio Input") {}

HRESULT QuickTimeWriter::PinInterface(bool videoPin, REFIID riid, void** ppv) {
  if (videoPin && riid == IID_IQuickTimeVideoSettings)
    return GetInterface(static_cast<IQuickTimeVideoSettings*>(this), ppv);
  if (!videoPin && riid == IID_IQuickTimeAudioSettings)
    return GetInterface(static_cast<IQuickTimeAudioSettings*>(this), ppv);
  return EncodingWriter::PinInterface(videoPin, riid, ppv);
}

HRESULT QuickTimeWriter::Set(LONG Values::*field, LONG value) {
  CAutoLock hold(&valuesLock_);
  values_.*field = value;
  return S_OK;
}

HRESULT QuickTimeWriter::Get(LONG Values::*field, LONG* value) {
  if (!value) return E_POINTER;
  CAutoLock hold(&valuesLock_);
  *value = values_.*field;
  return S_OK;
}

QuickTimeWriter::Values QuickTimeWriter::Current() {
  CAutoLock hold(&valuesLock_);
  return values_;
}

STDMETHODIMP QuickTimeWriter::GetUnitsWritten(LONG* units) {
  if (!units) return E_POINTER;
  *units = UnitsWritten();
  return S_OK;
}

STDMETHODIMP QuickTimeWriter::GetUnitsPerSecond(LONG* units) {
  if (!units) return E_POINTER;
  *units = UnitsPerSecond();
  return S_OK;
}

STDMETHODIMP QuickTimeWriter::GetMillisecondsWritten(LONG* ms) {
  if (!ms) return E_POINTER;
  *ms = AudioMillisecondsWritten();
  return S_OK;
}

STDMETHODIMP QuickTimeWriter::GetFrameSize(LONG* width, LONG* height) {
  if (!width || !height) return E_POINTER;
  CAutoLock hold(&valuesLock_);
  *width = values_.width;
  *height = values_.height;
  return S_OK;
}

STDMETHODIMP QuickTimeWriter::SetFrameRate(LONG fps) {
  return fps < 0 || fps > 240 ? E_INVALIDARG : Set(&Values::frameRate, fps);
}

STDMETHODIMP QuickTimeWriter::SetSampleRate(LONG hz) {
  return hz < 0 || hz > 192000 ? E_INVALIDARG : Set(&Values::sampleRate, hz);
}

STDMETHODIMP QuickTimeWriter::SetChannels(LONG channels) {
  return channels < 0 || channels > 8 ? E_INVALIDARG : Set(&Values::channels, channels);
}

bool QuickTimeWriter::PlanVideo(const dshow::filters::VideoFormat& in, VideoPlan* plan) {
  const Values v = Current();
  VideoCodecRow row{0, AV_CODEC_ID_H264, AV_PIX_FMT_NONE};
  for (const VideoCodecRow& known : kVideoCodecs)
    if (known.code == v.videoCodec) row = known;
  plan->codec = avcodec_find_encoder(row.codec);
  auto& t = plan->target;
  const int width = v.width ? v.width : in.width;
  const int height = v.height ? v.height : in.height;
  if (row.codec == AV_CODEC_ID_H261) {
    const PictureSize size = H261SizeWithin(width, height);
    t.width = size.width, t.height = size.height;
  } else if (row.codec == AV_CODEC_ID_H263) {
    const PictureSize size = H263SizeWithin(width, height);
    t.width = size.width, t.height = size.height;
  } else if (row.codec == AV_CODEC_ID_QTRLE) {
    t.width = width, t.height = height;
  } else {
    // The others code whole chroma samples.
    t.width = std::max(width / 2 * 2, 2);
    t.height = std::max(height / 2 * 2, 2);
  }
  t.pixelFormat = row.pixelFormat;
  if (v.frameRate > 0) t.frameRate = {v.frameRate, 1};
  t.bitRate = v.videoBitRate;
  t.options["flags"] = "+global_header";
  return plan->codec != nullptr;
}

bool QuickTimeWriter::PlanAudio(const dshow::filters::PcmFormat&, AudioPlan* plan) {
  const Values v = Current();
  AVCodecID codec = AV_CODEC_ID_PCM_S24BE;
  for (const AudioCodecRow& known : kAudioCodecs)
    if (known.code == v.audioCodec) codec = known.codec;
  plan->codec = avcodec_find_encoder(codec);
  plan->target.rate = v.sampleRate;
  plan->target.channels = std::min<LONG>(v.channels, 2);
  plan->target.bitRate = v.audioBitRate;
  return plan->codec != nullptr;
}

FilePlan QuickTimeWriter::PlanFile() {
  FilePlan plan;
  plan.format = "mov";
  return plan;
}

}  // namespace filters
