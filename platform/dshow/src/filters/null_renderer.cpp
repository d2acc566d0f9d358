#include "null_renderer.h"

namespace dshow::filters {

NullRenderer::InputPin::InputPin(NullRenderer* filter, HRESULT* phr)
    : CBaseInputPin("Null Renderer input", filter, &filter->lock_, phr, u"In"), filter_(filter) {}

STDMETHODIMP NullRenderer::InputPin::Receive(IMediaSample* sample) { return CBaseInputPin::Receive(sample); }

STDMETHODIMP NullRenderer::InputPin::EndOfStream() {
  if (HRESULT hr = CheckStreaming(); hr != S_OK) return hr;
  filter_->InputEnded();
  return S_OK;
}

STDMETHODIMP NullRenderer::InputPin::EndFlush() {
  filter_->InputRestarted();
  return CBaseInputPin::EndFlush();
}

NullRenderer::NullRenderer(LPUNKNOWN outer, HRESULT* phr)
    : SinkFilter("Null Renderer", outer, CLSID_NullRenderer) {
  input_ = std::make_unique<InputPin>(this, phr);
  SetSeekingPin(input_.get());
}

CUnknown* NullRenderer::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
  auto* filter = new NullRenderer(outer, phr);
  return filter;
}

CBasePin* NullRenderer::GetPin(int n) { return n == 0 ? input_.get() : nullptr; }

}  // namespace dshow::filters
