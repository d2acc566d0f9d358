#pragma once
// IMediaSeeking of a renderer or writer, answered by the output pin upstream of one of its input
// pins, so that the graph's seeking reaches the source.
#include "dshow/dshow.h"
#include "dshow/filter_pins.h"

namespace dshow::filters {

class UpstreamSeeking : public IMediaSeeking {
 public:
  // owner: the object whose IUnknown this interface belongs to; input: the pin to look upstream of.
  UpstreamSeeking(IUnknown* owner, CBasePin* input) : owner_(owner), input_(input) {}

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override { return owner_->QueryInterface(riid, ppv); }
  STDMETHODIMP_(ULONG) AddRef() override { return owner_->AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return owner_->Release(); }

  STDMETHODIMP GetCapabilities(DWORD* p) override { return Call(&IMediaSeeking::GetCapabilities, p); }
  STDMETHODIMP CheckCapabilities(DWORD* p) override { return Call(&IMediaSeeking::CheckCapabilities, p); }
  STDMETHODIMP IsFormatSupported(const GUID* p) override { return Call(&IMediaSeeking::IsFormatSupported, p); }
  STDMETHODIMP QueryPreferredFormat(GUID* p) override { return Call(&IMediaSeeking::QueryPreferredFormat, p); }
  STDMETHODIMP GetTimeFormat(GUID* p) override { return Call(&IMediaSeeking::GetTimeFormat, p); }
  STDMETHODIMP IsUsingTimeFormat(const GUID* p) override { return Call(&IMediaSeeking::IsUsingTimeFormat, p); }
  STDMETHODIMP SetTimeFormat(const GUID* p) override { return Call(&IMediaSeeking::SetTimeFormat, p); }
  STDMETHODIMP GetDuration(LONGLONG* p) override { return Call(&IMediaSeeking::GetDuration, p); }
  STDMETHODIMP GetStopPosition(LONGLONG* p) override { return Call(&IMediaSeeking::GetStopPosition, p); }
  STDMETHODIMP GetCurrentPosition(LONGLONG* p) override { return Call(&IMediaSeeking::GetCurrentPosition, p); }
  STDMETHODIMP ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                 const GUID* sourceFormat) override {
    return Call(&IMediaSeeking::ConvertTimeFormat, target, targetFormat, source, sourceFormat);
  }
  STDMETHODIMP SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) override {
    return Call(&IMediaSeeking::SetPositions, current, currentFlags, stop, stopFlags);
  }
  STDMETHODIMP GetPositions(LONGLONG* current, LONGLONG* stop) override {
    return Call(&IMediaSeeking::GetPositions, current, stop);
  }
  STDMETHODIMP GetAvailable(LONGLONG* earliest, LONGLONG* latest) override {
    return Call(&IMediaSeeking::GetAvailable, earliest, latest);
  }
  STDMETHODIMP SetRate(double rate) override { return Call(&IMediaSeeking::SetRate, rate); }
  STDMETHODIMP GetRate(double* rate) override { return Call(&IMediaSeeking::GetRate, rate); }
  STDMETHODIMP GetPreroll(LONGLONG* preroll) override { return Call(&IMediaSeeking::GetPreroll, preroll); }

 private:
  template <typename... Params, typename... Args>
  HRESULT Call(HRESULT (STDMETHODCALLTYPE IMediaSeeking::*method)(Params...), Args... args) {
    const ComPtr<IPin> upstream = PeerOf(input_);
    ComPtr<IMediaSeeking> seeking;
    if (!upstream || FAILED(upstream->QueryInterface(IID_IMediaSeeking, seeking.putVoid()))) return E_NOTIMPL;
    return (seeking.get()->*method)(args...);
  }

  IUnknown* owner_;
  CBasePin* input_;
};

}  // namespace dshow::filters
