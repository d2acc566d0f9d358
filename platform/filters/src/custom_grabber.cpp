#include "custom_grabber.h"

namespace filters {

CustomGrabber::CustomGrabber(LPUNKNOWN outer, HRESULT* phr) : CUnknown("Custom Grabber", outer, phr) {
  HRESULT hr = CoCreateInstance(CLSID_SampleGrabber, GetOwner(), CLSCTX_INPROC_SERVER, IID_IUnknown, inner_.putVoid());
  // What it grabs are pictures a bitmap can hold. Reaching the inner grabber counts on this object,
  // which is not counted yet: held meanwhile, it does not go when the count falls back.
  if (SUCCEEDED(hr)) {
    ++m_cRef;
    AM_MEDIA_TYPE pictures{};
    pictures.majortype = MEDIATYPE_Video;
    pictures.subtype = MEDIASUBTYPE_RGB24;
    pictures.formattype = FORMAT_VideoInfo;
    hr = Grabber()->SetMediaType(&pictures);
    --m_cRef;
  }
  if (FAILED(hr) && phr) *phr = hr;
}

CUnknown* CustomGrabber::Create(LPUNKNOWN outer, HRESULT* phr) { return new CustomGrabber(outer, phr); }

STDMETHODIMP CustomGrabber::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_ICustomGrabber) return GetInterface(static_cast<ICustomGrabber*>(this), ppv);
  if (riid == IID_IUnknown || !inner_) return CUnknown::NonDelegatingQueryInterface(riid, ppv);
  return inner_->QueryInterface(riid, ppv);
}

ComPtr<ISampleGrabber> CustomGrabber::Grabber() {
  ComPtr<ISampleGrabber> grabber;
  if (inner_) inner_->QueryInterface(IID_ISampleGrabber, grabber.putVoid());
  return grabber;
}

STDMETHODIMP CustomGrabber::SetMediaType(const AM_MEDIA_TYPE* pType) { return Grabber()->SetMediaType(pType); }
STDMETHODIMP CustomGrabber::SetOneShot(BOOL OneShot) { return Grabber()->SetOneShot(OneShot); }
STDMETHODIMP CustomGrabber::SetCallback(ISampleGrabberCB* pCallback, LONG WhichMethodToCallback) {
  return Grabber()->SetCallback(pCallback, WhichMethodToCallback);
}
STDMETHODIMP CustomGrabber::GetConnectedMediaType(AM_MEDIA_TYPE* pType) {
  return Grabber()->GetConnectedMediaType(pType);
}
STDMETHODIMP CustomGrabber::SetBufferSamples(BOOL BufferThem) { return Grabber()->SetBufferSamples(BufferThem); }
STDMETHODIMP CustomGrabber::GetCurrentBuffer(LONG* pBufferSize, LONG* pBuffer) {
  return Grabber()->GetCurrentBuffer(pBufferSize, pBuffer);
}

}  // namespace filters
