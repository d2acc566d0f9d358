#pragma once
// The Null Renderer: takes samples of any type and throws them away.
#include "dshow/sink_filter.h"

namespace dshow::filters {

class NullRenderer : public SinkFilter {
 public:
  static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* phr);
  int GetPinCount() override { return 1; }
  CBasePin* GetPin(int n) override;

 private:
  class InputPin : public CBaseInputPin {
   public:
    InputPin(NullRenderer* filter, HRESULT* phr);
    HRESULT CheckMediaType(const CMediaType*) override { return S_OK; }
    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP EndFlush() override;

   private:
    NullRenderer* filter_;
  };

  NullRenderer(LPUNKNOWN outer, HRESULT* phr);
  std::unique_ptr<InputPin> input_;
};

}  // namespace dshow::filters
