#pragma once
// The Sample Grabber: passes samples through unchanged and shows each to the application: kept
// as the current buffer (SetBufferSamples) and handed to a callback (SampleCB with the sample or
// BufferCB with a copy of its bytes). The accepted input can be narrowed with SetMediaType; in
// one-shot mode the stream ends after the first sample.
#include <vector>

#include "dshow/dshow.h"

namespace dshow::filters {

class SampleGrabber : public CTransInPlaceFilter, public ISampleGrabber {
 public:
  static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* phr);

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  // ISampleGrabber
  STDMETHODIMP SetOneShot(BOOL OneShot) override;
  STDMETHODIMP SetMediaType(const AM_MEDIA_TYPE* pType) override;
  STDMETHODIMP GetConnectedMediaType(AM_MEDIA_TYPE* pType) override;
  STDMETHODIMP SetBufferSamples(BOOL BufferThem) override;
  STDMETHODIMP GetCurrentBuffer(LONG* pBufferSize, LONG* pBuffer) override;
  STDMETHODIMP GetCurrentSample(IMediaSample** ppSample) override;
  STDMETHODIMP SetCallback(ISampleGrabberCB* pCallback, LONG WhichMethodToCallback) override;

  HRESULT CheckInputType(const CMediaType* mt) override;
  HRESULT Transform(IMediaSample* sample) override;
  HRESULT Receive(IMediaSample* sample) override;
  STDMETHODIMP Stop() override;

 private:
  SampleGrabber(LPUNKNOWN outer, HRESULT* phr);

  CCritSec grabLock_;
  CMediaType accepted_;  // major type null: anything
  bool oneShot_ = false;
  bool shotTaken_ = false;
  bool buffering_ = false;
  std::vector<BYTE> buffer_;
  bool haveBuffer_ = false;
  ComPtr<ISampleGrabberCB> callback_;
  LONG callbackMethod_ = 0;
};

}  // namespace dshow::filters
