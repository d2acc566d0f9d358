#include "three_gp_writer.h"

namespace filters {
namespace {

EncoderValues ThreeGpDefaults() {
  EncoderValues values;
  values.videoCodec = kThreeGpVideoMpeg4;
  values.videoBitRate = 190000;
  values.audioCodec = kThreeGpAudioAac;
  values.audioBitRate = 32000;
  values.audioChannels = 1;
  values.audioSampleRate = 22050;
  return values;
}

// H.263's picture formats from the largest: 4CIF, CIF, QCIF, SQCIF (16CIF is beyond any phone).
constexpr PictureSize kH263Sizes[] = {{704, 576}, {352, 288}, {176, 144}, {128, 96}};

// AMR-NB is narrow-band speech: 8000 Hz mono at its highest mode's rate.
constexpr int kAmrRate = 8000;
constexpr int kAmrBitRate = 12200;

}  // namespace

PictureSize H263SizeWithin(int width, int height) {
  for (PictureSize size : kH263Sizes)
    if (size.width <= width && size.height <= height) return size;
  return kH263Sizes[std::size(kH263Sizes) - 1];
}

CUnknown* ThreeGpWriter::Create(LPUNKNOWN outer, HRESULT* phr) { return new ThreeGpWriter(outer, phr); }

ThreeGpWriter::ThreeGpWriter(LPUNKNOWN outer, HRESULT*)
    : EncodingWriter("3GP Writer", outer, CLSID_ThreeGpWriter, u"Video Input", u"Audio Input"),
      EncoderSettingsStore(ThreeGpDefaults()) {}

STDMETHODIMP ThreeGpWriter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IEncoderSettings) return GetInterface(static_cast<IEncoderSettings*>(this), ppv);
  if (riid == IID_IThreeGpWriterMode) return GetInterface(static_cast<IThreeGpWriterMode*>(this), ppv);
  return EncodingWriter::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP ThreeGpWriter::SetKey(LONG key) {
  CAutoLock hold(&modeLock_);
  key_ = key;
  return S_OK;
}

STDMETHODIMP ThreeGpWriter::SetFileKind(LONG kind) {
  if (kind != 0 && kind != 1) return E_INVALIDARG;
  CAutoLock hold(&modeLock_);
  kind_ = kind;
  return S_OK;
}

bool ThreeGpWriter::PlanVideo(const dshow::filters::VideoFormat& in, VideoPlan* plan) {
  const EncoderValues values = Values();
  auto& t = plan->target;
  const int width = values.width ? values.width : in.width;
  const int height = values.height ? values.height : in.height;
  if (values.videoCodec == kThreeGpVideoH263) {
    plan->codec = avcodec_find_encoder(AV_CODEC_ID_H263);
    const PictureSize size = H263SizeWithin(width, height);
    t.width = size.width;
    t.height = size.height;
  } else {
    plan->codec = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    t.width = std::max(width / 2 * 2, 2);
    t.height = std::max(height / 2 * 2, 2);
    t.options["flags"] = "+global_header";
  }
  if (const double rate = ParseRate(values.frameRate); rate > 0) t.frameRate = av_d2q(rate, 30000);
  t.bitRate = values.videoBitRate;
  t.keyframeInterval = values.keyframeInterval;
  return plan->codec != nullptr;
}

bool ThreeGpWriter::PlanAudio(const dshow::filters::PcmFormat&, AudioPlan* plan) {
  const EncoderValues values = Values();
  auto& t = plan->target;
  if (values.audioCodec == kThreeGpAudioAmrNb) {
    plan->codec = avcodec_find_encoder(AV_CODEC_ID_AMR_NB);
    t.rate = kAmrRate;
    t.channels = 1;
    t.bitRate = kAmrBitRate;
  } else {
    plan->codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    t.rate = values.audioSampleRate;
    t.channels = std::clamp<LONG>(values.audioChannels, 1, 2);
    t.bitRate = values.audioBitRate;
    t.options["flags"] = "+global_header";
  }
  return plan->codec != nullptr;
}

FilePlan ThreeGpWriter::PlanFile() {
  CAutoLock hold(&modeLock_);
  FilePlan plan;
  plan.format = kind_ == 1 ? "3g2" : "3gp";
  return plan;
}

}  // namespace filters
