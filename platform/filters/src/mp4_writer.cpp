#include "mp4_writer.h"

#include "ole/oleauto.h"
#include "win32/utf.h"

namespace filters {

namespace {

// A PSP plays sound at 48000 Hz only.
constexpr int kPspSampleRate = 48000;

}  // namespace

CUnknown* Mp4Writer::Create(LPUNKNOWN outer, HRESULT* phr) { return new Mp4Writer(outer, phr); }

Mp4Writer::Mp4Writer(LPUNKNOWN outer, HRESULT*)
    : EncodingWriter("MP4 Writer", outer, CLSID_Mp4Writer, u"Video Input", u"Audio Input") {}

STDMETHODIMP Mp4Writer::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IMp4WriterSettings) return GetInterface(static_cast<IMp4WriterSettings*>(this), ppv);
  return EncodingWriter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT Mp4Writer::Set(LONG Values::*field, LONG value) {
  CAutoLock hold(&valuesLock_);
  values_.*field = value;
  return S_OK;
}

STDMETHODIMP Mp4Writer::SetAudioChannels(LONG channels) {
  return channels < 0 || channels > 8 ? E_INVALIDARG : Set(&Values::channels, channels);
}

STDMETHODIMP Mp4Writer::SetFrameRate(LONG fps) {
  return fps < 0 || fps > 240 ? E_INVALIDARG : Set(&Values::frameRate, fps);
}

STDMETHODIMP Mp4Writer::SetFrameSize(LONG width, LONG height) {
  if (width < 0 || height < 0 || width > 8192 || height > 8192) return E_INVALIDARG;
  CAutoLock hold(&valuesLock_);
  values_.width = width;
  values_.height = height;
  return S_OK;
}

STDMETHODIMP Mp4Writer::SetVideoCodec(LONG codec) {
  return codec == 0 || codec == 1 ? Set(&Values::codec, codec) : E_INVALIDARG;
}

HRESULT Mp4Writer::SetTag(const char* name, BSTR text) {
  const std::string value = text ? win32::Utf16ToUtf8(std::u16string_view(text, SysStringLen(text))) : "";
  CAutoLock hold(&valuesLock_);
  if (value.empty()) values_.tags.erase(name);
  else values_.tags[name] = value;
  return S_OK;
}

Mp4Writer::Values Mp4Writer::Current() {
  CAutoLock hold(&valuesLock_);
  return values_;
}

bool Mp4Writer::PlanVideo(const dshow::filters::VideoFormat& in, VideoPlan* plan) {
  const Values v = Current();
  plan->codec = avcodec_find_encoder(v.codec == 1 ? AV_CODEC_ID_H264 : AV_CODEC_ID_MPEG4);
  auto& t = plan->target;
  // Both codecs take whole chroma samples: sizes are even.
  t.width = (v.width ? v.width : in.width) / 2 * 2;
  t.height = (v.height ? v.height : in.height) / 2 * 2;
  if (v.frameRate > 0) t.frameRate = {v.frameRate, 1};
  t.bitRate = v.videoBitRate;
  t.keyframeInterval = v.keyframeInterval;
  t.options["flags"] = "+global_header";
  return plan->codec != nullptr;
}

bool Mp4Writer::PlanAudio(const dshow::filters::PcmFormat&, AudioPlan* plan) {
  const Values v = Current();
  plan->codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
  plan->target.rate = v.sampleRate ? v.sampleRate : kPspSampleRate;
  plan->target.channels = std::clamp<LONG>(v.channels, 1, 2);
  plan->target.bitRate = v.audioBitRate;
  plan->target.options["flags"] = "+global_header";
  return plan->codec != nullptr;
}

FilePlan Mp4Writer::PlanFile() {
  const Values v = Current();
  FilePlan plan;
  plan.format = v.sampleRate ? "mp4" : "psp";
  plan.mux.metadata = v.tags;
  return plan;
}

}  // namespace filters
