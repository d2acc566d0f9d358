#pragma once
// The MPEG writer: MPEG-1 or MPEG-2 video with MPEG audio (AC-3 on DVD) in an MPEG program stream,
// as a disc standard lays it out or as the encoder settings say.
#include "encoder_settings_store.h"
#include "encoding_writer.h"

namespace filters {

class MpegWriter : public EncodingWriter, public EncoderSettingsStore, public IMpegWriterMode {
 public:
  static CUnknown* Create(LPUNKNOWN outer, HRESULT* phr);

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  // IMpegWriterMode
  STDMETHODIMP SetKey(LONG key) override;
  STDMETHODIMP SetAspectRatio(LONG ratio) override;
  STDMETHODIMP SetPreset(LONG preset) override;

 private:
  MpegWriter(LPUNKNOWN outer, HRESULT* phr);
  bool PlanVideo(const dshow::filters::VideoFormat& in, VideoPlan* plan) override;
  bool PlanAudio(const dshow::filters::PcmFormat& in, AudioPlan* plan) override;
  FilePlan PlanFile() override;

  CCritSec modeLock_;
  LONG key_ = 0;
  LONG aspectRatio_ = 0;
  LONG preset_ = MPEG_PRESET_MPEG1;
};

// The MPEG-1 frame rate nearest to rate (MPEG-2 allows the same ones).
AVRational NearestMpegFrameRate(double rate);

}  // namespace filters
