#include <algorithm>
#include <cstring>

#include "dshow/transip.h"

// ---- Input pin ----------------------------------------------------------------------------------

CTransInPlaceInputPin::CTransInPlaceInputPin(const TCHAR* pObjectName, CTransInPlaceFilter* pFilter,
                                             HRESULT* phr, LPCWSTR pName)
    : CTransformInputPin(pObjectName, pFilter, phr, pName), m_pTIPFilter(pFilter) {}

STDMETHODIMP CTransInPlaceInputPin::EnumMediaTypes(IEnumMediaTypes** ppEnum) {
  if (!ppEnum) return E_POINTER;
  CTransInPlaceOutputPin* out = m_pTIPFilter->OutputPin();
  if (!out || !out->IsConnected()) {
    *ppEnum = nullptr;
    return VFW_E_NOT_CONNECTED;
  }
  return out->GetConnected()->EnumMediaTypes(ppEnum);
}

STDMETHODIMP CTransInPlaceInputPin::GetAllocator(IMemAllocator** ppAllocator) {
  if (!ppAllocator) return E_POINTER;
  CAutoLock lock(m_pLock);
  CTransInPlaceOutputPin* out = m_pTIPFilter->OutputPin();
  if (out && out->IsConnected()) {
    HRESULT hr = out->PeekInputPin()->GetAllocator(ppAllocator);
    if (SUCCEEDED(hr)) out->SetAllocator(*ppAllocator);
    return hr;
  }
  return CTransformInputPin::GetAllocator(ppAllocator);
}

STDMETHODIMP CTransInPlaceInputPin::NotifyAllocator(IMemAllocator* pAllocator, BOOL bReadOnly) {
  if (!pAllocator) return E_POINTER;
  CAutoLock lock(m_pLock);
  HRESULT hr = CBaseInputPin::NotifyAllocator(pAllocator, bReadOnly);
  if (FAILED(hr)) return hr;
  CTransInPlaceOutputPin* out = m_pTIPFilter->OutputPin();
  // Share the allocator downstream unless we would write into read-only buffers.
  if (out && out->IsConnected() && !(bReadOnly && m_pTIPFilter->m_bModifiesData)) {
    if (SUCCEEDED(out->PeekInputPin()->NotifyAllocator(pAllocator, bReadOnly))) out->SetAllocator(pAllocator);
  }
  return S_OK;
}

STDMETHODIMP CTransInPlaceInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* pProps) {
  if (!pProps) return E_POINTER;
  CTransInPlaceOutputPin* out = m_pTIPFilter->OutputPin();
  if (out && out->IsConnected()) return out->PeekInputPin()->GetAllocatorRequirements(pProps);
  return E_NOTIMPL;
}

HRESULT CTransInPlaceInputPin::CheckMediaType(const CMediaType* pmt) {
  HRESULT hr = m_pTIPFilter->CheckInputType(pmt);
  if (hr != S_OK) return hr;
  CTransInPlaceOutputPin* out = m_pTIPFilter->OutputPin();
  if (out && out->IsConnected())
    return out->GetConnected()->QueryAccept(pmt) == S_OK ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
  return S_OK;
}

// ---- Output pin ---------------------------------------------------------------------------------

CTransInPlaceOutputPin::CTransInPlaceOutputPin(const TCHAR* pObjectName, CTransInPlaceFilter* pFilter,
                                               HRESULT* phr, LPCWSTR pName)
    : CTransformOutputPin(pObjectName, pFilter, phr, pName), m_pTIPFilter(pFilter) {}

STDMETHODIMP CTransInPlaceOutputPin::EnumMediaTypes(IEnumMediaTypes** ppEnum) {
  if (!ppEnum) return E_POINTER;
  CTransInPlaceInputPin* in = m_pTIPFilter->InputPin();
  if (!in || !in->IsConnected()) {
    *ppEnum = nullptr;
    return VFW_E_NOT_CONNECTED;
  }
  return in->GetConnected()->EnumMediaTypes(ppEnum);
}

HRESULT CTransInPlaceOutputPin::DecideAllocator(IMemInputPin* pPin, IMemAllocator** ppAlloc) {
  CTransInPlaceInputPin* in = m_pTIPFilter->InputPin();
  IMemAllocator* shared = in ? in->PeekAllocator() : nullptr;
  if (shared && !(in->IsReadOnly() && m_pTIPFilter->m_bModifiesData)) {
    if (SUCCEEDED(pPin->NotifyAllocator(shared, in->IsReadOnly()))) {
      *ppAlloc = shared;
      shared->AddRef();
      return S_OK;
    }
  }
  return CTransformOutputPin::DecideAllocator(pPin, ppAlloc);
}

// Output type = input type.
HRESULT CTransInPlaceOutputPin::CheckMediaType(const CMediaType* pmt) {
  HRESULT hr = m_pTIPFilter->CheckInputType(pmt);
  if (hr != S_OK) return hr;
  CTransInPlaceInputPin* in = m_pTIPFilter->InputPin();
  if (in && in->IsConnected() && !(in->CurrentMediaType() == *pmt)) return VFW_E_TYPE_NOT_ACCEPTED;
  return S_OK;
}

void CTransInPlaceOutputPin::SetAllocator(IMemAllocator* pAllocator) { m_pAllocator = pAllocator; }

// ---- Filter -------------------------------------------------------------------------------------

CTransInPlaceFilter::CTransInPlaceFilter(const TCHAR* pName, LPUNKNOWN pUnk, REFCLSID clsid, HRESULT*,
                                         bool bModifiesData)
    : CTransformFilter(pName, pUnk, clsid), m_bModifiesData(bModifiesData) {}

CBasePin* CTransInPlaceFilter::GetPin(int n) {
  if (!m_pInput) {
    HRESULT hr = S_OK;
    m_pInput = new CTransInPlaceInputPin("TransInPlace input pin", this, &hr, u"Input");
    m_pOutput = new CTransInPlaceOutputPin("TransInPlace output pin", this, &hr, u"Output");
  }
  if (n == 0) return m_pInput;
  if (n == 1) return m_pOutput;
  return nullptr;
}

HRESULT CTransInPlaceFilter::DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pProp) {
  ALLOCATOR_PROPERTIES request{};
  IMemAllocator* inputAllocator = InputPin() ? InputPin()->PeekAllocator() : nullptr;
  if (inputAllocator) {
    HRESULT hr = inputAllocator->GetProperties(&request);
    if (FAILED(hr)) return hr;
  }
  request.cBuffers = std::max({request.cBuffers, pProp->cBuffers, LONG(1)});
  request.cbBuffer = std::max({request.cbBuffer, pProp->cbBuffer, LONG(1)});
  request.cbAlign = std::max({request.cbAlign, pProp->cbAlign, LONG(1)});
  request.cbPrefix = std::max(request.cbPrefix, pProp->cbPrefix);
  ALLOCATOR_PROPERTIES actual{};
  HRESULT hr = pAlloc->SetProperties(&request, &actual);
  if (FAILED(hr)) return hr;
  if (actual.cBuffers < request.cBuffers || actual.cbBuffer < request.cbBuffer) return E_FAIL;
  return S_OK;
}

bool CTransInPlaceFilter::UsingDifferentAllocators() const {
  return InputPin()->PeekAllocator() != OutputPin()->PeekAllocator();
}

IMediaSample* CTransInPlaceFilter::Copy(IMediaSample* pSource) {
  AM_SAMPLE2_PROPERTIES* const props = m_pInput->SampleProps();
  ComPtr<IMediaSample> dest;
  IMemAllocator* allocator = OutputPin()->PeekAllocator();
  if (!allocator) return nullptr;
  DWORD flags = m_bSampleSkipped ? AM_GBF_PREVFRAMESKIPPED : 0;
  if (FAILED(allocator->GetBuffer(dest.put(), (props->dwSampleFlags & AM_SAMPLE_TIMEVALID) ? &props->tStart : nullptr,
                                  (props->dwSampleFlags & AM_SAMPLE_STOPVALID) ? &props->tStop : nullptr, flags)))
    return nullptr;
  LONG length = pSource->GetActualDataLength();
  if (length > dest->GetSize()) return nullptr;
  BYTE* from = nullptr;
  BYTE* to = nullptr;
  pSource->GetPointer(&from);
  dest->GetPointer(&to);
  if (length > 0) std::memcpy(to, from, static_cast<size_t>(length));
  dest->SetActualDataLength(length);

  if (props->dwSampleFlags & AM_SAMPLE_TIMEVALID)
    dest->SetTime(&props->tStart, (props->dwSampleFlags & AM_SAMPLE_STOPVALID) ? &props->tStop : nullptr);
  dest->SetSyncPoint((props->dwSampleFlags & AM_SAMPLE_SPLICEPOINT) != 0);
  dest->SetPreroll((props->dwSampleFlags & AM_SAMPLE_PREROLL) != 0);
  dest->SetDiscontinuity((props->dwSampleFlags & AM_SAMPLE_DATADISCONTINUITY) != 0);
  if ((props->dwSampleFlags & AM_SAMPLE_TYPECHANGED) && props->pMediaType) dest->SetMediaType(props->pMediaType);
  LONGLONG mediaStart = 0, mediaEnd = 0;
  if (pSource->GetMediaTime(&mediaStart, &mediaEnd) == S_OK) dest->SetMediaTime(&mediaStart, &mediaEnd);
  return dest.Detach();
}

HRESULT CTransInPlaceFilter::Receive(IMediaSample* pSample) {
  ComPtr<IMediaSample> copy;
  if (UsingDifferentAllocators() || (m_bModifiesData && InputPin()->IsReadOnly())) {
    copy = ComPtr<IMediaSample>::Adopt(Copy(pSample));
    if (!copy) return E_UNEXPECTED;
    pSample = copy.get();
  }
  HRESULT hr = Transform(pSample);
  if (FAILED(hr)) {
    NotifyEvent(EC_ERRORABORT, hr, 0);
  } else if (hr == S_OK) {
    hr = m_pOutput->Deliver(pSample);
    m_bSampleSkipped = FALSE;
  } else {
    hr = S_OK;
    m_bSampleSkipped = TRUE;
    if (!m_bQualityChanged) {
      NotifyEvent(EC_QUALITY_CHANGE, 0, 0);
      m_bQualityChanged = TRUE;
    }
  }
  return hr;
}
