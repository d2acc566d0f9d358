#pragma once
// The WAV destination: the PCM it takes becomes a WAV file's bytes, handed to the filter
// downstream as positioned samples; the header's sizes are filled in when the stream ends.
#include <memory>

#include "dshow/dshow.h"
#include "dshow/file_muxer.h"
#include "dshow/file_stream_pin.h"
#include "dshow/upstream_seeking.h"
#include "single_stream_file.h"

namespace filters {

class WavDestination : public CBaseFilter {
 public:
  static CUnknown* Create(LPUNKNOWN outer, HRESULT* phr);
  ~WavDestination() override;

  int GetPinCount() override { return 2; }
  CBasePin* GetPin(int n) override;
  STDMETHODIMP Pause() override;
  STDMETHODIMP Stop() override;

 private:
  class InputPin;
  class OutputPin;

  WavDestination(LPUNKNOWN outer, HRESULT* phr);
  HRESULT StartFile();
  void FinishFile();

  CCritSec lock_;
  std::unique_ptr<InputPin> input_;
  std::unique_ptr<OutputPin> output_;
  std::unique_ptr<dshow::filters::UpstreamSeeking> seeking_;
  SingleStreamFile file_{"wav"};
};

}  // namespace filters
