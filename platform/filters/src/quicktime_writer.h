#pragma once
// The QuickTime writer: a QuickTime movie with the video and sound codecs named by their
// four-character codes, set through the settings of its "Video Input" and "Audio Input" pins.
#include "encoding_writer.h"
#include "filters/writer_settings.h"

namespace filters {

class QuickTimeWriter : public EncodingWriter, public IQuickTimeVideoSettings, public IQuickTimeAudioSettings {
 public:
  static CUnknown* Create(LPUNKNOWN outer, HRESULT* phr);

  DECLARE_IUNKNOWN

  // IQuickTimeVideoSettings
  STDMETHODIMP GetUnitsWritten(LONG* units) override;
  STDMETHODIMP GetVideoCodec(LONG* code) override { return Get(&Values::videoCodec, code); }
  STDMETHODIMP SetVideoCodec(LONG code) override { return Set(&Values::videoCodec, code); }
  STDMETHODIMP GetFrameSize(LONG* width, LONG* height) override;
  STDMETHODIMP GetUnitsPerSecond(LONG* units) override;
  STDMETHODIMP GetFrameRate(LONG* fps) override { return Get(&Values::frameRate, fps); }
  STDMETHODIMP SetVideoBitRate(LONG bps) override { return SetNonNegative(&Values::videoBitRate, bps); }
  STDMETHODIMP SetFrameRate(LONG fps) override;
  STDMETHODIMP SetWidth(LONG width) override { return SetSize(&Values::width, width); }
  STDMETHODIMP SetHeight(LONG height) override { return SetSize(&Values::height, height); }

  // IQuickTimeAudioSettings
  STDMETHODIMP GetAudioCodec(LONG* code) override { return Get(&Values::audioCodec, code); }
  STDMETHODIMP GetSampleRate(LONG* hz) override { return Get(&Values::sampleRate, hz); }
  STDMETHODIMP SetAudioCodec(LONG code) override { return Set(&Values::audioCodec, code); }
  STDMETHODIMP GetChannels(LONG* channels) override { return Get(&Values::channels, channels); }
  STDMETHODIMP GetAudioBitRate(LONG* bps) override { return Get(&Values::audioBitRate, bps); }
  STDMETHODIMP SetAudioBitRate(LONG bps) override { return SetNonNegative(&Values::audioBitRate, bps); }
  STDMETHODIMP GetMillisecondsWritten(LONG* ms) override;
  STDMETHODIMP SetSampleRate(LONG hz) override;
  STDMETHODIMP SetChannels(LONG channels) override;

  // Both interfaces: the caller's key, kept.
  STDMETHODIMP SetKey(LONG key) override { return Set(&Values::key, key); }

 private:
  struct Values {
    LONG videoCodec = FourCharCode('S', 'V', 'Q', '3');
    LONG videoBitRate = 0;
    LONG frameRate = 0;
    LONG width = 0;
    LONG height = 0;
    LONG audioCodec = FourCharCode('i', 'n', '2', '4');
    LONG audioBitRate = 0;
    LONG sampleRate = 0;
    LONG channels = 0;
    LONG key = 0;
  };

  QuickTimeWriter(LPUNKNOWN outer, HRESULT* phr);
  HRESULT Set(LONG Values::*field, LONG value);
  HRESULT SetNonNegative(LONG Values::*field, LONG value) { return value < 0 ? E_INVALIDARG : Set(field, value); }
  HRESULT SetSize(LONG Values::*field, LONG value) { return value > 8192 ? E_INVALIDARG : SetNonNegative(field, value); }
  HRESULT Get(LONG Values::*field, LONG* value);
  Values Current();

  HRESULT PinInterface(bool videoPin, REFIID riid, void** ppv) override;
  bool PlanVideo(const dshow::filters::VideoFormat& in, VideoPlan* plan) override;
  bool PlanAudio(const dshow::filters::PcmFormat& in, AudioPlan* plan) override;
  FilePlan PlanFile() override;

  CCritSec valuesLock_;
  Values values_;
};

}  // namespace filters
