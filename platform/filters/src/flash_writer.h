#pragma once
// The Flash writer: Sorenson H.263 video and MP3 sound in an FLV file or an SWF movie.
#include "encoder_settings_store.h"
#include "encoding_writer.h"

namespace filters {

class FlashWriter : public EncodingWriter, public EncoderSettingsStore, public IFlashWriterMode {
 public:
  static CUnknown* Create(LPUNKNOWN outer, HRESULT* phr);

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  // IFlashWriterMode
  STDMETHODIMP SetWriteMetadata(LONG write) override;
  STDMETHODIMP SetFlv(LONG flv) override;
  STDMETHODIMP SetKey(LONG key) override;

 private:
  FlashWriter(LPUNKNOWN outer, HRESULT* phr);
  bool PlanVideo(const dshow::filters::VideoFormat& in, VideoPlan* plan) override;
  bool PlanAudio(const dshow::filters::PcmFormat& in, AudioPlan* plan) override;
  FilePlan PlanFile() override;

  CCritSec modeLock_;
  LONG key_ = 0;
  bool flv_ = true;
  bool writeMetadata_ = false;
};

// The MP3 sample rate Flash plays nearest to hz: 44100, 22050 or 11025.
int FlashSampleRate(int hz);

}  // namespace filters
