#include "real_media_writer.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "win32/paths.h"

namespace filters {
namespace {

constexpr RealMediaAudience kAudiences[] = {
    {"28k Dial-up Modem", 12000, false, false, 8000, 8000},
    {"56k Dial-up Modem", 26000, false, false, 8000, 8000},
    {"64k Single ISDN", 40000, false, true, 32000, 32000},
    {"112k Dual ISDN", 64000, false, true, 48000, 44100},
    {"256k DSL or Cable", 200000, true, true, 64000, 44100},
    {"384k DSL or Cable", 300000, true, true, 96000, 44100},
    {"512k DSL or Cable", 420000, true, true, 96000, 44100},
    {"Corporate LAN", 1000000, true, true, 192000, 48000},
};
// What an audience file with no built-in namesake is written with.
constexpr size_t kFileAudience = 4;

// RealVideo 1 codes whole 16-pixel blocks, RealVideo 2 multiples of 4.
int RoundDownTo(int value, int step) { return std::max(value / step * step, step); }

}  // namespace

CUnknown* RealMediaWriter::Create(LPUNKNOWN outer, HRESULT* phr) { return new RealMediaWriter(outer, phr); }

RealMediaWriter::RealMediaWriter(LPUNKNOWN outer, HRESULT*)
    : EncodingWriter("RealMedia Writer", outer, CLSID_RealMediaWriter, u"Video Input", u"Audio Input") {}

STDMETHODIMP RealMediaWriter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IRealMediaWriterSettings || riid == IID_IRealMediaWriterSettings2)
    return GetInterface(static_cast<IRealMediaWriterSettings2*>(this), ppv);
  return EncodingWriter::NonDelegatingQueryInterface(riid, ppv);
}

std::vector<std::string> RealMediaWriter::AudienceNames() const {
  std::vector<std::string> names;
  for (const RealMediaAudience& audience : kAudiences) names.push_back(audience.name);
  if (audiencesFolder_.empty()) return names;
  std::error_code error;
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(PosixPathFromPlatform(audiencesFolder_), error))
    if (entry.is_regular_file(error)) files.push_back(entry.path().stem().string());
  std::sort(files.begin(), files.end());
  names.insert(names.end(), files.begin(), files.end());
  return names;
}

const RealMediaAudience& RealMediaWriter::ChosenAudience() const {
  if (size_t(audience_) < std::size(kAudiences)) return kAudiences[audience_];
  const std::vector<std::string> names = AudienceNames();
  if (size_t(audience_) < names.size())
    for (const RealMediaAudience& audience : kAudiences)
      if (names[size_t(audience_)] == audience.name) return audience;
  return kAudiences[kFileAudience];
}

STDMETHODIMP RealMediaWriter::SetKey(LONG key) {
  CAutoLock hold(&valuesLock_);
  key_ = key;
  return S_OK;
}

STDMETHODIMP RealMediaWriter::SetAudiencesFolder(const char* folder) {
  if (!folder) return E_POINTER;
  CAutoLock hold(&valuesLock_);
  audiencesFolder_ = folder;
  return S_OK;
}

STDMETHODIMP RealMediaWriter::SetLibraryPath(const char* folder) {
  if (!folder) return E_POINTER;
  CAutoLock hold(&valuesLock_);
  audiencesFolder_ = *folder ? std::string(folder) + "\\audiences" : std::string();
  return S_OK;
}

STDMETHODIMP RealMediaWriter::GetAudienceCount(LONG* count) {
  if (!count) return E_POINTER;
  CAutoLock hold(&valuesLock_);
  *count = LONG(AudienceNames().size());
  return S_OK;
}

STDMETHODIMP RealMediaWriter::GetAudienceName(LONG index, char* name) {
  if (!name) return E_POINTER;
  CAutoLock hold(&valuesLock_);
  const std::vector<std::string> names = AudienceNames();
  if (index < 0 || size_t(index) >= names.size()) return E_INVALIDARG;
  const size_t length = std::min(names[size_t(index)].size(), size_t(kRealMediaNameBytes - 1));
  std::memcpy(name, names[size_t(index)].data(), length);
  name[length] = '\0';
  return S_OK;
}

STDMETHODIMP RealMediaWriter::SetAudience(LONG index) {
  CAutoLock hold(&valuesLock_);
  if (index < 0 || size_t(index) >= AudienceNames().size()) return E_INVALIDARG;
  audience_ = index;
  return S_OK;
}

STDMETHODIMP RealMediaWriter::GetAudience(LONG* index) {
  if (!index) return E_POINTER;
  CAutoLock hold(&valuesLock_);
  *index = audience_;
  return S_OK;
}

STDMETHODIMP RealMediaWriter::GetVideoMode(LONG* mode) {
  if (!mode) return E_POINTER;
  CAutoLock hold(&valuesLock_);
  *mode = videoMode_;
  return S_OK;
}

STDMETHODIMP RealMediaWriter::GetAudioChannels(LONG* channels) {
  if (!channels) return E_POINTER;
  CAutoLock hold(&valuesLock_);
  *channels = ChosenAudience().ac3 ? channels_ : 1;
  return S_OK;
}

STDMETHODIMP RealMediaWriter::GetFrameSize(LONG* width, LONG* height) {
  if (!width || !height) return E_POINTER;
  CAutoLock hold(&valuesLock_);
  *width = width_;
  *height = height_;
  return S_OK;
}

STDMETHODIMP RealMediaWriter::GetFrameRate(LONG* fps) {
  if (!fps) return E_POINTER;
  CAutoLock hold(&valuesLock_);
  *fps = frameRate_;
  return S_OK;
}

STDMETHODIMP RealMediaWriter::GetVideoBitRate(LONG* bps) {
  if (!bps) return E_POINTER;
  CAutoLock hold(&valuesLock_);
  *bps = ChosenAudience().videoBitRate;
  return S_OK;
}

STDMETHODIMP RealMediaWriter::GetAudioBitRate(LONG* bps) {
  if (!bps) return E_POINTER;
  CAutoLock hold(&valuesLock_);
  *bps = ChosenAudience().audioBitRate;
  return S_OK;
}

STDMETHODIMP RealMediaWriter::GetAudioSampleRate(LONG* hz) {
  if (!hz) return E_POINTER;
  CAutoLock hold(&valuesLock_);
  *hz = ChosenAudience().sampleRate;
  return S_OK;
}

STDMETHODIMP RealMediaWriter::SetVideoMode(LONG mode) {
  if (mode < RM_VIDEO_NORMAL || mode > RM_VIDEO_SLIDE_SHOW) return E_INVALIDARG;
  CAutoLock hold(&valuesLock_);
  videoMode_ = mode;
  return S_OK;
}

STDMETHODIMP RealMediaWriter::GetUnitsWritten(LONG* units) {
  if (!units) return E_POINTER;
  *units = UnitsWritten();
  return S_OK;
}

STDMETHODIMP RealMediaWriter::SetAudioChannels(LONG channels) {
  if (channels < 1 || channels > 2) return E_INVALIDARG;
  CAutoLock hold(&valuesLock_);
  channels_ = channels;
  return S_OK;
}

STDMETHODIMP RealMediaWriter::SetWidth(LONG width) {
  if (width < 0 || width > 4096) return E_INVALIDARG;
  CAutoLock hold(&valuesLock_);
  width_ = width;
  return S_OK;
}

STDMETHODIMP RealMediaWriter::SetHeight(LONG height) {
  if (height < 0 || height > 4096) return E_INVALIDARG;
  CAutoLock hold(&valuesLock_);
  height_ = height;
  return S_OK;
}

STDMETHODIMP RealMediaWriter::SetFrameRate(LONG fps) {
  if (fps < 0 || fps > 120) return E_INVALIDARG;
  CAutoLock hold(&valuesLock_);
  frameRate_ = fps;
  return S_OK;
}

bool RealMediaWriter::PlanVideo(const dshow::filters::VideoFormat& in, VideoPlan* plan) {
  CAutoLock hold(&valuesLock_);
  const RealMediaAudience& audience = ChosenAudience();
  plan->codec = avcodec_find_encoder(audience.realVideo2 ? AV_CODEC_ID_RV20 : AV_CODEC_ID_RV10);
  auto& t = plan->target;
  const int step = audience.realVideo2 ? 4 : 16;
  t.width = RoundDownTo(width_ ? width_ : in.width, step);
  t.height = RoundDownTo(height_ ? height_ : in.height, step);
  double rate = frameRate_ > 0 ? frameRate_ : 1e7 / double(in.frameTime);
  if (videoMode_ == RM_VIDEO_SHARPEST) rate /= 2;
  if (videoMode_ == RM_VIDEO_SLIDE_SHOW) rate = 1;
  t.frameRate = av_d2q(std::max(rate, 1.0), 30000);
  t.bitRate = audience.videoBitRate;
  // Smoothest motion: a keyframe every second, so that a lost packet shows for at most that.
  if (videoMode_ == RM_VIDEO_SMOOTHEST) t.keyframeInterval = std::max(int(rate + 0.5), 1);
  return plan->codec != nullptr;
}

bool RealMediaWriter::PlanAudio(const dshow::filters::PcmFormat&, AudioPlan* plan) {
  CAutoLock hold(&valuesLock_);
  const RealMediaAudience& audience = ChosenAudience();
  plan->codec = avcodec_find_encoder(audience.ac3 ? AV_CODEC_ID_AC3 : AV_CODEC_ID_RA_144);
  plan->target.rate = audience.sampleRate;
  plan->target.channels = audience.ac3 ? channels_ : 1;
  plan->target.bitRate = audience.ac3 ? audience.audioBitRate : 0;
  return plan->codec != nullptr;
}

FilePlan RealMediaWriter::PlanFile() {
  FilePlan plan;
  plan.format = "rm";
  return plan;
}

}  // namespace filters
