#include "mpeg_writer.h"

#include <cmath>

namespace filters {
namespace {

using dshow::filters::AudioTarget;
using dshow::filters::VideoTarget;

// What a disc standard fixes. Frame rates are exact fractions; buffers are in bits.
struct DiscStandard {
  int width;
  int height;
  AVRational frameRate;
  bool mpeg2;
  int64_t bitRate;
  int64_t maxRate;
  int64_t minRate;
  int bufferBits;
  int keyframeInterval;
  const char* audioCodec;
  int audioRate;
  int64_t audioBitRate;
  const char* muxer;
};

constexpr AVRational kPal = {25, 1};
constexpr AVRational kNtsc = {30000, 1001};

constexpr DiscStandard kDiscs[] = {
    {352, 288, kPal, false, 1150000, 1150000, 1150000, 327680, 15, "mp2", 44100, 224000, "vcd"},
    {352, 240, kNtsc, false, 1150000, 1150000, 1150000, 327680, 18, "mp2", 44100, 224000, "vcd"},
    {480, 576, kPal, true, 2040000, 2516000, 0, 1835008, 15, "mp2", 44100, 224000, "svcd"},
    {480, 480, kNtsc, true, 2040000, 2516000, 0, 1835008, 18, "mp2", 44100, 224000, "svcd"},
    {720, 576, kPal, true, 6000000, 9000000, 0, 1835008, 15, "ac3", 48000, 448000, "dvd"},
    {720, 480, kNtsc, true, 6000000, 9000000, 0, 1835008, 18, "ac3", 48000, 448000, "dvd"},
};

constexpr AVRational kMpegFrameRates[] = {{24000, 1001}, {24, 1}, {25, 1}, {30000, 1001},
                                          {30, 1},       {50, 1}, {60000, 1001}, {60, 1}};

// The largest buffers the codecs' headers can state.
constexpr int kMpeg1MaxBuffer = 1023 * 16384;
constexpr int kMpeg2MainBuffer = 1835008;

const DiscStandard* DiscOf(LONG preset) {
  return preset >= MPEG_PRESET_VCD_PAL && preset <= MPEG_PRESET_DVD_NTSC ? &kDiscs[preset] : nullptr;
}

// The sample aspect ratio that shows width x height at the chosen shape; square pixels for 0.
AVRational SampleAspect(LONG ratio, int width, int height) {
  if (ratio == 1) return av_mul_q({4, 3}, {height, width});
  if (ratio == 2) return av_mul_q({16, 9}, {height, width});
  return {1, 1};
}

EncoderValues MpegDefaults() {
  EncoderValues values;
  values.videoCodec = 1;
  values.videoBitRate = 1150000;
  values.audioBitRate = 224000;
  values.audioChannels = 2;
  values.audioSampleRate = 44100;
  return values;
}

std::string RationalText(AVRational q) { return std::to_string(q.num) + "/" + std::to_string(q.den); }

}  // namespace

AVRational NearestMpegFrameRate(double rate) {
  AVRational best = kMpegFrameRates[0];
  for (AVRational legal : kMpegFrameRates)
    if (std::abs(av_q2d(legal) - rate) < std::abs(av_q2d(best) - rate)) best = legal;
  return best;
}

CUnknown* MpegWriter::Create(LPUNKNOWN outer, HRESULT* phr) { return new MpegWriter(outer, phr); }

MpegWriter::MpegWriter(LPUNKNOWN outer, HRESULT*)
    : EncodingWriter("MPEG Writer", outer, CLSID_MpegWriter, u"Video Input", u"Audio Input"),
      EncoderSettingsStore(MpegDefaults()) {}

STDMETHODIMP MpegWriter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IEncoderSettings) return GetInterface(static_cast<IEncoderSettings*>(this), ppv);
  if (riid == IID_IMpegWriterMode) return GetInterface(static_cast<IMpegWriterMode*>(this), ppv);
  return EncodingWriter::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP MpegWriter::SetKey(LONG key) {
  CAutoLock hold(&modeLock_);
  key_ = key;
  return S_OK;
}

STDMETHODIMP MpegWriter::SetAspectRatio(LONG ratio) {
  if (ratio < 0 || ratio > 2) return E_INVALIDARG;
  CAutoLock hold(&modeLock_);
  aspectRatio_ = ratio;
  return S_OK;
}

STDMETHODIMP MpegWriter::SetPreset(LONG preset) {
  if (preset < MPEG_PRESET_VCD_PAL || preset > MPEG_PRESET_MPEG2) return E_INVALIDARG;
  CAutoLock hold(&modeLock_);
  preset_ = preset;
  return S_OK;
}

bool MpegWriter::PlanVideo(const dshow::filters::VideoFormat& in, VideoPlan* plan) {
  LONG preset, aspect;
  {
    CAutoLock hold(&modeLock_);
    preset = preset_;
    aspect = aspectRatio_;
  }
  const EncoderValues values = Values();
  VideoTarget& t = plan->target;
  bool mpeg2;
  int buffer;
  if (const DiscStandard* disc = DiscOf(preset)) {
    mpeg2 = disc->mpeg2;
    t.width = disc->width;
    t.height = disc->height;
    t.frameRate = disc->frameRate;
    t.bitRate = disc->bitRate;
    t.keyframeInterval = disc->keyframeInterval;
    buffer = disc->bufferBits;
    t.options["maxrate"] = std::to_string(disc->maxRate);
    if (disc->minRate) t.options["minrate"] = std::to_string(disc->minRate);
  } else {
    mpeg2 = values.videoCodec == 2;
    // Both codecs code whole macroblock pairs of lines: sizes are even.
    t.width = (values.width ? values.width : in.width) / 2 * 2;
    t.height = (values.height ? values.height : in.height) / 2 * 2;
    const double rate = ParseRate(values.frameRate);
    t.frameRate = NearestMpegFrameRate(rate > 0 ? rate : 1e7 / double(in.frameTime));
    t.bitRate = values.videoBitRate > 0 ? values.videoBitRate : 1150000;
    t.keyframeInterval = values.keyframeInterval > 0 ? values.keyframeInterval : 15;
    t.options["maxrate"] = std::to_string(std::max<int64_t>(values.maxVideoBitRate, t.bitRate));
    if (values.minVideoBitRate > 0 && values.minVideoBitRate <= t.bitRate)
      t.options["minrate"] = std::to_string(values.minVideoBitRate);
    buffer = values.videoBufferSize > 0 ? values.videoBufferSize : kMpeg2MainBuffer;
    buffer = std::clamp(buffer, 327680, mpeg2 ? kMpeg2MainBuffer : kMpeg1MaxBuffer);
  }
  t.options["bufsize"] = std::to_string(buffer);
  t.options["aspect"] = RationalText(SampleAspect(aspect, t.width, t.height));
  plan->codec = avcodec_find_encoder(mpeg2 ? AV_CODEC_ID_MPEG2VIDEO : AV_CODEC_ID_MPEG1VIDEO);
  return plan->codec != nullptr;
}

bool MpegWriter::PlanAudio(const dshow::filters::PcmFormat&, AudioPlan* plan) {
  LONG preset;
  {
    CAutoLock hold(&modeLock_);
    preset = preset_;
  }
  AudioTarget& t = plan->target;
  if (const DiscStandard* disc = DiscOf(preset)) {
    plan->codec = avcodec_find_encoder_by_name(disc->audioCodec);
    t.rate = disc->audioRate;
    t.channels = 2;
    t.bitRate = disc->audioBitRate;
  } else {
    const EncoderValues values = Values();
    plan->codec = avcodec_find_encoder(AV_CODEC_ID_MP2);
    t.rate = values.audioSampleRate;
    t.channels = std::clamp<LONG>(values.audioChannels, 1, 2);
    t.bitRate = values.audioBitRate > 0 ? values.audioBitRate : 224000;
  }
  return plan->codec != nullptr;
}

FilePlan MpegWriter::PlanFile() {
  CAutoLock hold(&modeLock_);
  FilePlan plan;
  if (const DiscStandard* disc = DiscOf(preset_)) {
    plan.format = disc->muxer;
  } else {
    plan.format = Values().videoCodec == 2 ? "vob" : "mpeg";
  }
  return plan;
}

}  // namespace filters
