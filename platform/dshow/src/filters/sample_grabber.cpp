#include "sample_grabber.h"

#include <cstring>

namespace dshow::filters {

SampleGrabber::SampleGrabber(LPUNKNOWN outer, HRESULT* phr)
    : CTransInPlaceFilter("Sample Grabber", outer, CLSID_SampleGrabber, phr, false) {
  accepted_.InitMediaType();
  accepted_.majortype = GUID_NULL;
}

CUnknown* SampleGrabber::CreateInstance(LPUNKNOWN outer, HRESULT* phr) { return new SampleGrabber(outer, phr); }

STDMETHODIMP SampleGrabber::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_ISampleGrabber) return GetInterface(static_cast<ISampleGrabber*>(this), ppv);
  return CTransInPlaceFilter::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP SampleGrabber::SetOneShot(BOOL OneShot) {
  CAutoLock hold(&grabLock_);
  oneShot_ = OneShot != FALSE;
  shotTaken_ = false;
  return S_OK;
}

STDMETHODIMP SampleGrabber::SetMediaType(const AM_MEDIA_TYPE* pType) {
  CAutoLock hold(&grabLock_);
  if (!pType) {
    accepted_.InitMediaType();
    accepted_.majortype = GUID_NULL;
    return S_OK;
  }
  accepted_ = *pType;
  return S_OK;
}

STDMETHODIMP SampleGrabber::GetConnectedMediaType(AM_MEDIA_TYPE* pType) {
  if (!pType) return E_POINTER;
  if (!m_pInput || !m_pInput->IsConnected()) return VFW_E_NOT_CONNECTED;
  return CopyMediaType(pType, &m_pInput->CurrentMediaType());
}

STDMETHODIMP SampleGrabber::SetBufferSamples(BOOL BufferThem) {
  CAutoLock hold(&grabLock_);
  buffering_ = BufferThem != FALSE;
  return S_OK;
}

STDMETHODIMP SampleGrabber::GetCurrentBuffer(LONG* pBufferSize, LONG* pBuffer) {
  if (!pBufferSize) return E_POINTER;
  CAutoLock hold(&grabLock_);
  if (!buffering_) return E_INVALIDARG;
  if (!haveBuffer_) return VFW_E_WRONG_STATE;
  const LONG size = LONG(buffer_.size());
  if (!pBuffer) {
    *pBufferSize = size;
    return S_OK;
  }
  if (*pBufferSize < size) return E_OUTOFMEMORY;
  std::memcpy(pBuffer, buffer_.data(), buffer_.size());
  *pBufferSize = size;
  return S_OK;
}

// As on the platform: the grabber does not keep samples, only copies of their bytes.
STDMETHODIMP SampleGrabber::GetCurrentSample(IMediaSample** ppSample) {
  if (!ppSample) return E_POINTER;
  *ppSample = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP SampleGrabber::SetCallback(ISampleGrabberCB* pCallback, LONG WhichMethodToCallback) {
  if (WhichMethodToCallback != 0 && WhichMethodToCallback != 1) return E_INVALIDARG;
  CAutoLock hold(&grabLock_);
  callback_ = pCallback;
  callbackMethod_ = WhichMethodToCallback;
  return S_OK;
}

HRESULT SampleGrabber::CheckInputType(const CMediaType* mt) {
  CAutoLock hold(&grabLock_);
  if (accepted_.majortype == GUID_NULL) return S_OK;
  if (mt->majortype != accepted_.majortype) return VFW_E_TYPE_NOT_ACCEPTED;
  if (accepted_.subtype != GUID_NULL && mt->subtype != accepted_.subtype) return VFW_E_TYPE_NOT_ACCEPTED;
  if (accepted_.formattype != GUID_NULL && mt->formattype != accepted_.formattype) return VFW_E_TYPE_NOT_ACCEPTED;
  return S_OK;
}

HRESULT SampleGrabber::Transform(IMediaSample* sample) {
  BYTE* data = nullptr;
  sample->GetPointer(&data);
  const LONG length = sample->GetActualDataLength();
  REFERENCE_TIME start = 0, stop = 0;
  const double seconds = SUCCEEDED(sample->GetTime(&start, &stop)) ? double(start) / UNITS : 0.0;
  ComPtr<ISampleGrabberCB> callback;  // called outside the lock
  LONG method = 0;
  {
    CAutoLock hold(&grabLock_);
    if (buffering_ && data && length >= 0) {
      buffer_.assign(data, data + length);
      haveBuffer_ = true;
    }
    callback = callback_;
    method = callbackMethod_;
  }
  if (callback) {
    if (method == 0) {
      callback->SampleCB(seconds, sample);
    } else {
      std::vector<BYTE> copy(data, data + std::max<LONG>(length, 0));
      callback->BufferCB(seconds, copy.data(), LONG(copy.size()));
    }
  }
  return S_OK;
}

HRESULT SampleGrabber::Receive(IMediaSample* sample) {
  {
    CAutoLock hold(&grabLock_);
    if (oneShot_ && shotTaken_) return S_FALSE;
  }
  HRESULT hr;
  if (m_pOutput->IsConnected()) {
    hr = CTransInPlaceFilter::Receive(sample);
  } else {
    // Nothing downstream: the grabber is the end of the stream.
    hr = m_pInput->CheckStreaming();
    if (hr == S_OK) hr = Transform(sample);
  }
  bool endNow = false;
  {
    CAutoLock hold(&grabLock_);
    if (oneShot_ && !shotTaken_ && SUCCEEDED(hr)) endNow = shotTaken_ = true;
  }
  if (endNow) {
    EndOfStream();
    return S_FALSE;
  }
  return hr;
}

STDMETHODIMP SampleGrabber::Stop() {
  {
    CAutoLock hold(&grabLock_);
    shotTaken_ = false;
  }
  return CTransInPlaceFilter::Stop();
}

}  // namespace dshow::filters
