#pragma once
// The MP4 writer: MPEG-4 Visual or H.264 video and AAC sound in an MP4 file with its tags, or a
// PSP file when no sample rate is given.
#include <map>
#include <string>

#include "encoding_writer.h"
#include "filters/writer_settings.h"

namespace filters {

class Mp4Writer : public EncodingWriter, public IMp4WriterSettings {
 public:
  static CUnknown* Create(LPUNKNOWN outer, HRESULT* phr);

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  // IMp4WriterSettings
  STDMETHODIMP SetVideoBitRate(LONG bps) override { return SetNonNegative(&Values::videoBitRate, bps); }
  STDMETHODIMP SetAudioBitRate(LONG bps) override { return SetNonNegative(&Values::audioBitRate, bps); }
  STDMETHODIMP SetAudioSampleRate(LONG hz) override { return SetNonNegative(&Values::sampleRate, hz); }
  STDMETHODIMP SetAudioChannels(LONG channels) override;
  STDMETHODIMP SetFrameRate(LONG fps) override;
  STDMETHODIMP SetFrameSize(LONG width, LONG height) override;
  STDMETHODIMP SetVideoCodec(LONG codec) override;
  STDMETHODIMP SetKeyframeInterval(LONG frames) override { return SetNonNegative(&Values::keyframeInterval, frames); }
  STDMETHODIMP SetTitle(BSTR text) override { return SetTag("title", text); }
  STDMETHODIMP SetAlbum(BSTR text) override { return SetTag("album", text); }
  STDMETHODIMP SetAuthor(BSTR text) override { return SetTag("artist", text); }
  STDMETHODIMP SetComment(BSTR text) override { return SetTag("comment", text); }
  STDMETHODIMP SetCopyright(BSTR text) override { return SetTag("copyright", text); }
  STDMETHODIMP SetKey(LONG key) override { return Set(&Values::key, key); }
  STDMETHODIMP SetBFrames(LONG count) override { return count == 0 ? S_OK : E_INVALIDARG; }

 private:
  struct Values {
    LONG videoBitRate = 256000;
    LONG audioBitRate = 96000;
    LONG sampleRate = 44100;
    LONG channels = 2;
    LONG frameRate = 0;
    LONG width = 0;
    LONG height = 0;
    LONG codec = 0;
    LONG keyframeInterval = 0;
    LONG key = 0;
    std::map<std::string, std::string> tags;
  };

  Mp4Writer(LPUNKNOWN outer, HRESULT* phr);
  HRESULT Set(LONG Values::*field, LONG value);
  HRESULT SetNonNegative(LONG Values::*field, LONG value) { return value < 0 ? E_INVALIDARG : Set(field, value); }
  HRESULT SetTag(const char* name, BSTR text);
  Values Current();

  bool PlanVideo(const dshow::filters::VideoFormat& in, VideoPlan* plan) override;
  bool PlanAudio(const dshow::filters::PcmFormat& in, AudioPlan* plan) override;
  FilePlan PlanFile() override;

  CCritSec valuesLock_;
  Values values_;
};

}  // namespace filters
