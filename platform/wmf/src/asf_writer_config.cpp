#include "asf_writer_config.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "dshow/builtin_filters.h"
#include "profile.h"

namespace wmf {

namespace {

const StreamData* First(const ProfileData& profile, const GUID& type) {
  for (const StreamData& s : profile.streams)
    if (s.type == type) return &s;
  return nullptr;
}

template <typename T>
bool Format(const StreamData& s, const GUID& formatType, T* block) {
  if (s.formatType != formatType || s.format.size() < sizeof(T)) return false;
  std::memcpy(block, s.format.data(), sizeof(T));
  return true;
}

}  // namespace

HRESULT SettingsFromProfile(const ProfileData& profile, const AsfWriterSettings& base, AsfWriterSettings* settings) {
  const StreamData* video = First(profile, WMMEDIATYPE_Video);
  const StreamData* audio = First(profile, WMMEDIATYPE_Audio);
  if (!video && !audio) return E_INVALIDARG;
  AsfWriterSettings s = base;
  s.video = video != nullptr;
  if (video) {
    // WMV7 where the profile asks for it; WMV8 for WMV8 and for what FFmpeg cannot write.
    s.videoEncoder = video->subtype == WMMEDIASUBTYPE_WMV1 ? "wmv1" : "wmv2";
    s.videoBitRate = video->bitrate;
    s.width = s.height = 0;
    s.frameTime = 0;
    s.keyframeInterval = 0;
    VIDEOINFOHEADER vih;
    if (Format(*video, WMFORMAT_VideoInfo, &vih)) {
      // A stream's type may be set to anything; a picture no encoder could take is refused here.
      const LONG width = vih.bmiHeader.biWidth, height = vih.bmiHeader.biHeight;
      if (width < 0 || width > 16384 || height < -16384 || height > 16384) return E_INVALIDARG;
      s.width = vih.bmiHeader.biWidth;
      s.height = std::abs(vih.bmiHeader.biHeight);
      s.frameTime = vih.AvgTimePerFrame;
      if (!s.videoBitRate) s.videoBitRate = vih.dwBitRate;
    }
    if (s.frameTime > 0 && video->maxKeyFrameSpacing > 0)
      s.keyframeInterval = LONG(std::max<LONGLONG>(1, video->maxKeyFrameSpacing / s.frameTime));
    if (!s.videoBitRate) s.videoBitRate = base.videoBitRate;
  }
  s.audio = audio != nullptr;
  if (audio) {
    s.audioEncoder = "wmav2";
    s.audioBitRate = audio->bitrate ? audio->bitrate : base.audioBitRate;
    s.sampleRate = s.channels = 0;
    WAVEFORMATEX wf;
    if (Format(*audio, WMFORMAT_WaveFormatEx, &wf)) {
      if (wf.wFormatTag == WAVE_FORMAT_MSAUDIO1) s.audioEncoder = "wmav1";
      s.sampleRate = LONG(wf.nSamplesPerSec);
      s.channels = wf.nChannels;
    }
  }
  *settings = s;
  return S_OK;
}

HRESULT AsfWriterConfig::Configure(const ProfileData& profile) {
  AsfWriterSettings base, settings;
  if (HRESULT hr = writer_->GetSettings(&base); FAILED(hr)) return hr;
  if (HRESULT hr = SettingsFromProfile(profile, base, &settings); FAILED(hr)) return hr;
  if (HRESULT hr = writer_->SetSettings(&settings); FAILED(hr)) return hr;
  current_ = profile;
  configured_ = true;
  return S_OK;
}

STDMETHODIMP AsfWriterConfig::ConfigureFilterUsingProfileId(DWORD dwProfileId) {
  const auto& all = SystemProfiles();
  if (dwProfileId >= all.size()) return E_INVALIDARG;
  HRESULT hr = Configure(all[dwProfileId]);
  if (SUCCEEDED(hr)) currentId_ = dwProfileId;
  return hr;
}

STDMETHODIMP AsfWriterConfig::GetCurrentProfileId(DWORD* pdwProfileId) {
  if (!pdwProfileId) return E_POINTER;
  *pdwProfileId = currentId_;
  return S_OK;
}

STDMETHODIMP AsfWriterConfig::ConfigureFilterUsingProfileGuid(REFGUID guidProfile) {
  const auto& all = SystemProfiles();
  for (size_t i = 0; i < all.size(); ++i) {
    if (all[i].id != guidProfile) continue;
    HRESULT hr = Configure(all[i]);
    if (SUCCEEDED(hr)) currentId_ = DWORD(i);
    return hr;
  }
  return E_INVALIDARG;
}

STDMETHODIMP AsfWriterConfig::GetCurrentProfileGuid(GUID* pProfileGuid) {
  if (!pProfileGuid) return E_POINTER;
  *pProfileGuid = configured_ ? current_.id : GUID_NULL;
  return S_OK;
}

STDMETHODIMP AsfWriterConfig::ConfigureFilterUsingProfile(IWMProfile* pProfile) {
  if (!pProfile) return E_POINTER;
  const Profile* profile = Profile::From(pProfile);
  return profile ? Configure(profile->Data()) : E_INVALIDARG;
}

STDMETHODIMP AsfWriterConfig::GetCurrentProfile(IWMProfile** ppProfile) {
  if (!ppProfile) return E_POINTER;
  *ppProfile = configured_ ? new Profile(current_) : nullptr;
  return configured_ ? S_OK : E_FAIL;
}

}  // namespace wmf

HRESULT WMCreateAsfWriterConfig(IBaseFilter* pAsfWriter, IConfigAsfWriter** ppConfig) {
  if (!pAsfWriter || !ppConfig) return E_POINTER;
  *ppConfig = nullptr;
  ComPtr<IAsfWriterSettings> writer;
  if (FAILED(pAsfWriter->QueryInterface(IID_IAsfWriterSettings, writer.putVoid()))) return E_NOINTERFACE;
  *ppConfig = new wmf::AsfWriterConfig(std::move(writer));
  return S_OK;
}

namespace {

HRESULT MakeWriterConfig(IBaseFilter* writer, void** ppConfig) {
  return WMCreateAsfWriterConfig(writer, reinterpret_cast<IConfigAsfWriter**>(ppConfig));
}

}  // namespace

// The writer hands out IConfigAsfWriter through this runtime, as the engine expects to find the
// interface on the writer itself.
void RegisterWmfClasses() {
  static std::once_flag once;
  std::call_once(once, [] { SetAsfWriterConfigFactory(IID_IConfigAsfWriter, &MakeWriterConfig); });
}
