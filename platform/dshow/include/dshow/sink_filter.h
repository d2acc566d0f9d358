#pragma once
// What renderers and writers share: they end a stream for the graph with EC_COMPLETE once it has
// reached them while running (an end reached while paused is reported when the graph runs), they
// say they are renderers, and they pass seeking upstream.
#include "dshow/dshow.h"
#include "dshow/upstream_seeking.h"

namespace dshow::filters {

class SinkFilter : public CBaseFilter, public IAMFilterMiscFlags {
 public:
  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }

  STDMETHODIMP Run(REFERENCE_TIME tStart) override;
  STDMETHODIMP Pause() override;
  STDMETHODIMP Stop() override;

  // From the input pins: one input has ended; all ended means the stream is complete.
  void InputEnded();
  // A flush restarts the inputs' streams.
  void InputRestarted();

 protected:
  SinkFilter(const TCHAR* name, LPUNKNOWN outer, REFCLSID clsid);
  // The pin seeking goes upstream from; set by the derived constructor.
  void SetSeekingPin(CBasePin* pin) { seeking_ = std::make_unique<UpstreamSeeking>(GetOwner(), pin); }
  // Called once every connected input has ended, before EC_COMPLETE is sent.
  virtual void OnComplete() {}

  CCritSec lock_;

 private:
  void SendCompleteIfDue();
  int ConnectedInputs();

  std::unique_ptr<UpstreamSeeking> seeking_;
  CCritSec endLock_;
  int ended_ = 0;
  bool completed_ = false;
  bool sent_ = false;
};

}  // namespace dshow::filters
