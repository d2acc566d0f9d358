#pragma once
// The RealMedia writer: RealVideo with RealAudio 14.4 or AC-3 sound, at the rates of the chosen
// audience.
#include <string>
#include <vector>

#include "encoding_writer.h"
#include "filters/writer_settings.h"

namespace filters {

// A target audience: its name and what it is written with.
struct RealMediaAudience {
  const char* name;
  LONG videoBitRate;
  bool realVideo2;  // else RealVideo 1
  bool ac3;         // else RealAudio 14.4 (8000 Hz mono)
  LONG audioBitRate;
  LONG sampleRate;
};

class RealMediaWriter : public EncodingWriter, public IRealMediaWriterSettings2 {
 public:
  static CUnknown* Create(LPUNKNOWN outer, HRESULT* phr);

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  // IRealMediaWriterSettings
  STDMETHODIMP SetKey(LONG key) override;
  STDMETHODIMP SetAudiencesFolder(const char* folder) override;
  STDMETHODIMP SetLibraryPath(const char* folder) override;
  STDMETHODIMP GetAudienceCount(LONG* count) override;
  STDMETHODIMP GetAudienceName(LONG index, char* name) override;
  STDMETHODIMP SetAudience(LONG index) override;
  STDMETHODIMP GetAudience(LONG* index) override;
  STDMETHODIMP GetVideoMode(LONG* mode) override;
  STDMETHODIMP GetAudioChannels(LONG* channels) override;
  STDMETHODIMP GetFrameSize(LONG* width, LONG* height) override;
  STDMETHODIMP GetFrameRate(LONG* fps) override;
  STDMETHODIMP GetVideoBitRate(LONG* bps) override;
  STDMETHODIMP GetAudioBitRate(LONG* bps) override;
  STDMETHODIMP GetAudioSampleRate(LONG* hz) override;
  STDMETHODIMP SetVideoMode(LONG mode) override;
  STDMETHODIMP GetUnitsWritten(LONG* units) override;
  STDMETHODIMP SetAudioChannels(LONG channels) override;
  // IRealMediaWriterSettings2
  STDMETHODIMP SetWidth(LONG width) override;
  STDMETHODIMP SetHeight(LONG height) override;
  STDMETHODIMP SetFrameRate(LONG fps) override;

 private:
  RealMediaWriter(LPUNKNOWN outer, HRESULT* phr);
  // The names of the audiences: the built-in ones, then the folder's files. Called with the lock.
  std::vector<std::string> AudienceNames() const;
  // The settings of the chosen audience. Called with the lock.
  const RealMediaAudience& ChosenAudience() const;

  bool PlanVideo(const dshow::filters::VideoFormat& in, VideoPlan* plan) override;
  bool PlanAudio(const dshow::filters::PcmFormat& in, AudioPlan* plan) override;
  FilePlan PlanFile() override;

  CCritSec valuesLock_;
  LONG key_ = 0;
  std::string audiencesFolder_;  // platform path; empty: none
  LONG audience_ = 0;
  LONG videoMode_ = RM_VIDEO_NORMAL;
  LONG channels_ = 2;
  LONG width_ = 0;
  LONG height_ = 0;
  LONG frameRate_ = 0;
};

}  // namespace filters
