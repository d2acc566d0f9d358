#pragma once
// The encoder settings a writer keeps for its next file, as set through IEncoderSettings.
#include <string>

#include "dshow/dshow.h"
#include "filters/writer_settings.h"

namespace filters {

struct EncoderValues {
  LONG videoCodec = 0;
  LONG videoBitRate = 0;
  LONG width = 0;
  LONG height = 0;
  std::string frameRate;
  LONG keyframeInterval = 0;
  LONG maxVideoBitRate = 0;
  LONG minVideoBitRate = 0;
  LONG videoBufferSize = 0;
  LONG audioCodec = 0;
  LONG audioBitRate = 0;
  LONG audioChannels = 0;
  LONG audioSampleRate = 0;
};

class EncoderSettingsStore : public IEncoderSettings {
 public:
  explicit EncoderSettingsStore(const EncoderValues& defaults) : values_(defaults) {}

  STDMETHODIMP SetVideoCodec(LONG code) override { return Set(&EncoderValues::videoCodec, code); }
  STDMETHODIMP SetVideoBitRate(LONG bps) override { return SetNonNegative(&EncoderValues::videoBitRate, bps); }
  STDMETHODIMP SetFrameSize(LONG width, LONG height) override;
  STDMETHODIMP SetFrameRate(const char* rate) override;
  STDMETHODIMP SetKeyframeInterval(LONG frames) override {
    return SetNonNegative(&EncoderValues::keyframeInterval, frames);
  }
  STDMETHODIMP SetMaxVideoBitRate(LONG bps) override { return SetNonNegative(&EncoderValues::maxVideoBitRate, bps); }
  STDMETHODIMP SetMinVideoBitRate(LONG bps) override { return SetNonNegative(&EncoderValues::minVideoBitRate, bps); }
  STDMETHODIMP SetVideoBufferSize(LONG bits) override {
    return SetNonNegative(&EncoderValues::videoBufferSize, bits);
  }
  STDMETHODIMP SetBFrames(LONG count) override { return count == 0 ? S_OK : E_INVALIDARG; }
  STDMETHODIMP GetBFrames(LONG* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetVideoCodec(LONG* code) override { return Get(&EncoderValues::videoCodec, code); }
  STDMETHODIMP GetVideoBitRate(LONG* bps) override { return Get(&EncoderValues::videoBitRate, bps); }
  STDMETHODIMP GetFrameSize(LONG* width, LONG* height) override;
  STDMETHODIMP GetFrameRate(char* rate, LONG size) override;
  STDMETHODIMP GetKeyframeInterval(LONG* frames) override { return Get(&EncoderValues::keyframeInterval, frames); }
  STDMETHODIMP GetMaxVideoBitRate(LONG* bps) override { return Get(&EncoderValues::maxVideoBitRate, bps); }
  STDMETHODIMP GetMinVideoBitRate(LONG* bps) override { return Get(&EncoderValues::minVideoBitRate, bps); }
  STDMETHODIMP GetVideoBufferSize(LONG* bits) override { return Get(&EncoderValues::videoBufferSize, bits); }
  STDMETHODIMP SetAudioCodec(LONG code) override { return Set(&EncoderValues::audioCodec, code); }
  STDMETHODIMP SetAudioBitRate(LONG bps) override { return SetNonNegative(&EncoderValues::audioBitRate, bps); }
  STDMETHODIMP SetAudioChannels(LONG channels) override;
  STDMETHODIMP SetAudioSampleRate(LONG hz) override { return SetNonNegative(&EncoderValues::audioSampleRate, hz); }
  STDMETHODIMP GetAudioCodec(LONG* code) override { return Get(&EncoderValues::audioCodec, code); }
  STDMETHODIMP GetAudioBitRate(LONG* bps) override { return Get(&EncoderValues::audioBitRate, bps); }
  STDMETHODIMP GetAudioChannels(LONG* channels) override { return Get(&EncoderValues::audioChannels, channels); }
  STDMETHODIMP GetAudioSampleRate(LONG* hz) override { return Get(&EncoderValues::audioSampleRate, hz); }

 protected:
  // A copy of the values, for a file about to start.
  EncoderValues Values();
  // The frame rate text as a number; 0 when empty or not a positive number.
  static double ParseRate(const std::string& text);

 private:
  HRESULT Set(LONG EncoderValues::*field, LONG value);
  HRESULT SetNonNegative(LONG EncoderValues::*field, LONG value) {
    return value < 0 ? E_INVALIDARG : Set(field, value);
  }
  HRESULT Get(LONG EncoderValues::*field, LONG* value);

  CCritSec valuesLock_;
  EncoderValues values_;
};

}  // namespace filters
