#pragma once
// The animated GIF writer: the video's pictures reduced to a fixed palette of 256 or 16 colours,
// played as often as the loop setting says. Sound is taken and not written.
#include "encoding_writer.h"
#include "filters/writer_settings.h"

namespace filters {

class GifWriter : public EncodingWriter, public IGifWriterSettings {
 public:
  static CUnknown* Create(LPUNKNOWN outer, HRESULT* phr);

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  // IGifWriterSettings
  STDMETHODIMP SetKey(LONG key) override { return Set(&Values::key, key); }
  STDMETHODIMP SetMaxColors(LONG colors) override;
  STDMETHODIMP SetQuantizer(LONG quantizer) override { return Set(&Values::quantizer, quantizer); }
  STDMETHODIMP SetVideoQuality(LONG quality) override { return Set(&Values::quality, quality); }
  STDMETHODIMP SetTransparentColor(LONG rgb) override { return Set(&Values::transparent, rgb); }
  STDMETHODIMP SetLoop(LONG loop) override { return Set(&Values::loop, loop); }
  STDMETHODIMP SetFrameRate(LONG fps) override;
  STDMETHODIMP SetWidth(LONG width) override;
  STDMETHODIMP SetHeight(LONG height) override;

 private:
  struct Values {
    LONG key = 0;
    LONG maxColors = 256;
    LONG quantizer = 0;
    LONG quality = 1;
    LONG transparent = 0xFFFFFF;
    LONG loop = -1;
    LONG frameRate = 0;
    LONG width = 0;
    LONG height = 0;
  };

  GifWriter(LPUNKNOWN outer, HRESULT* phr);
  HRESULT Set(LONG Values::*field, LONG value);
  Values Current();

  bool PlanVideo(const dshow::filters::VideoFormat& in, VideoPlan* plan) override;
  bool PlanAudio(const dshow::filters::PcmFormat& in, AudioPlan* plan) override;
  FilePlan PlanFile() override;

  CCritSec valuesLock_;
  Values values_;
};

}  // namespace filters
