#include "flash_writer.h"

#include <cstdlib>

namespace filters {
namespace {

EncoderValues FlashDefaults() {
  EncoderValues values;
  values.videoCodec = kFlashVideoSorenson;
  values.videoBitRate = 512000;
  values.audioCodec = kFlashAudioMp3;
  values.audioBitRate = 128000;
  values.audioChannels = 2;
  values.audioSampleRate = 44100;
  return values;
}

}  // namespace

int FlashSampleRate(int hz) {
  int best = 44100;
  for (int rate : {44100, 22050, 11025})
    if (std::abs(rate - hz) < std::abs(best - hz)) best = rate;
  return best;
}

CUnknown* FlashWriter::Create(LPUNKNOWN outer, HRESULT* phr) { return new FlashWriter(outer, phr); }

FlashWriter::FlashWriter(LPUNKNOWN outer, HRESULT*)
    : EncodingWriter("Flash Writer", outer, CLSID_FlashWriter, u"Video Input", u"Audio Input"),
      EncoderSettingsStore(FlashDefaults()) {}

STDMETHODIMP FlashWriter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IEncoderSettings) return GetInterface(static_cast<IEncoderSettings*>(this), ppv);
  if (riid == IID_IFlashWriterMode) return GetInterface(static_cast<IFlashWriterMode*>(this), ppv);
  return EncodingWriter::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP FlashWriter::SetWriteMetadata(LONG write) {
  CAutoLock hold(&modeLock_);
  writeMetadata_ = write != 0;
  return S_OK;
}

STDMETHODIMP FlashWriter::SetFlv(LONG flv) {
  if (flv != 0 && flv != 1) return E_INVALIDARG;
  CAutoLock hold(&modeLock_);
  flv_ = flv == 1;
  return S_OK;
}

STDMETHODIMP FlashWriter::SetKey(LONG key) {
  CAutoLock hold(&modeLock_);
  key_ = key;
  return S_OK;
}

bool FlashWriter::PlanVideo(const dshow::filters::VideoFormat& in, VideoPlan* plan) {
  const EncoderValues values = Values();
  plan->codec = avcodec_find_encoder(AV_CODEC_ID_FLV1);
  auto& t = plan->target;
  // Sorenson H.263 codes whole chroma samples.
  t.width = std::max((values.width ? values.width : in.width) / 2 * 2, 2);
  t.height = std::max((values.height ? values.height : in.height) / 2 * 2, 2);
  if (const double rate = ParseRate(values.frameRate); rate > 0) t.frameRate = av_d2q(rate, 30000);
  t.bitRate = values.videoBitRate;
  t.keyframeInterval = values.keyframeInterval;
  return plan->codec != nullptr;
}

bool FlashWriter::PlanAudio(const dshow::filters::PcmFormat& in, AudioPlan* plan) {
  const EncoderValues values = Values();
  plan->codec = avcodec_find_encoder(AV_CODEC_ID_MP3);
  plan->target.rate = FlashSampleRate(values.audioSampleRate ? values.audioSampleRate : in.rate);
  plan->target.channels = std::clamp<LONG>(values.audioChannels, 1, 2);
  plan->target.bitRate = values.audioBitRate;
  return plan->codec != nullptr;
}

FilePlan FlashWriter::PlanFile() {
  CAutoLock hold(&modeLock_);
  FilePlan plan;
  plan.format = flv_ ? "flv" : "swf";
  if (flv_ && !writeMetadata_) plan.mux.options["flvflags"] = "no_metadata";
  return plan;
}

}  // namespace filters
