#pragma once
// The 3GP writer: MPEG-4 or H.263 video with AAC or AMR-NB sound in a 3GP or 3G2 file. The codec
// codes are this writer's own; H.263 is coded at the largest picture it allows within the size
// asked for.
#include "encoder_settings_store.h"
#include "encoding_writer.h"

namespace filters {

class ThreeGpWriter : public EncodingWriter, public EncoderSettingsStore, public IThreeGpWriterMode {
 public:
  static CUnknown* Create(LPUNKNOWN outer, HRESULT* phr);

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  // IThreeGpWriterMode
  STDMETHODIMP SetKey(LONG key) override;
  STDMETHODIMP SetFileKind(LONG kind) override;

 private:
  ThreeGpWriter(LPUNKNOWN outer, HRESULT* phr);
  bool PlanVideo(const dshow::filters::VideoFormat& in, VideoPlan* plan) override;
  bool PlanAudio(const dshow::filters::PcmFormat& in, AudioPlan* plan) override;
  FilePlan PlanFile() override;

  CCritSec modeLock_;
  LONG key_ = 0;
  LONG kind_ = 0;
};

struct PictureSize {
  int width;
  int height;
};
// The largest picture H.263 codes that fits in width x height; its smallest when none fits.
PictureSize H263SizeWithin(int width, int height);

}  // namespace filters
