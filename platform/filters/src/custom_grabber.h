#pragma once
// The Custom Grabber: the platform's Sample Grabber aggregated, its work offered through
// ICustomGrabber.
#include "dshow/dshow.h"
#include "dshow/sample_grabber.h"
#include "filters/outside_filters.h"

namespace filters {

class CustomGrabber : public CUnknown, public ICustomGrabber {
 public:
  static CUnknown* Create(LPUNKNOWN outer, HRESULT* phr);

  DECLARE_IUNKNOWN
  // The filter's own interfaces (IBaseFilter and the rest) are the inner grabber's.
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  STDMETHODIMP SetMediaType(const AM_MEDIA_TYPE* pType) override;
  STDMETHODIMP SetOneShot(BOOL OneShot) override;
  STDMETHODIMP SetCallback(ISampleGrabberCB* pCallback, LONG WhichMethodToCallback) override;
  STDMETHODIMP GetConnectedMediaType(AM_MEDIA_TYPE* pType) override;
  STDMETHODIMP SetBufferSamples(BOOL BufferThem) override;
  STDMETHODIMP GetCurrentBuffer(LONG* pBufferSize, LONG* pBuffer) override;

 private:
  CustomGrabber(LPUNKNOWN outer, HRESULT* phr);
  // Taken per call: a reference kept on the inner grabber's interface would count on this object
  // and keep it alive.
  ComPtr<ISampleGrabber> Grabber();

  ComPtr<IUnknown> inner_;
};

}  // namespace filters
