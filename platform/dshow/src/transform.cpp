#include "dshow/transfrm.h"

// ---- Input pin ----------------------------------------------------------------------------------

CTransformInputPin::CTransformInputPin(const TCHAR* pObjectName, CTransformFilter* pTransformFilter,
                                       HRESULT* phr, LPCWSTR pName)
    : CBaseInputPin(pObjectName, pTransformFilter, &pTransformFilter->m_csFilter, phr, pName),
      m_pTransformFilter(pTransformFilter) {}

STDMETHODIMP CTransformInputPin::QueryId(LPWSTR* Id) {
  static const WCHAR kIn[] = u"In";
  if (!Id) return E_POINTER;
  *Id = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof kIn));
  if (!*Id) return E_OUTOFMEMORY;
  std::char_traits<char16_t>::copy(*Id, kIn, 3);
  return S_OK;
}

HRESULT CTransformInputPin::CheckConnect(IPin* pPin) {
  HRESULT hr = m_pTransformFilter->CheckConnect(PINDIR_INPUT, pPin);
  if (FAILED(hr)) return hr;
  return CBaseInputPin::CheckConnect(pPin);
}

HRESULT CTransformInputPin::BreakConnect() {
  m_pTransformFilter->BreakConnect(PINDIR_INPUT);
  return CBaseInputPin::BreakConnect();
}

HRESULT CTransformInputPin::CompleteConnect(IPin* pReceivePin) {
  HRESULT hr = m_pTransformFilter->CompleteConnect(PINDIR_INPUT, pReceivePin);
  if (FAILED(hr)) return hr;
  return CBaseInputPin::CompleteConnect(pReceivePin);
}

HRESULT CTransformInputPin::CheckMediaType(const CMediaType* pmt) {
  HRESULT hr = m_pTransformFilter->CheckInputType(pmt);
  if (hr != S_OK) return hr;
  // With the output connected, the new input type must still suit the output type.
  CTransformOutputPin* out = m_pTransformFilter->m_pOutput;
  if (out && out->IsConnected())
    return m_pTransformFilter->CheckTransform(pmt, &out->CurrentMediaType());
  return S_OK;
}

HRESULT CTransformInputPin::SetMediaType(const CMediaType* mtIn) {
  HRESULT hr = CBasePin::SetMediaType(mtIn);
  if (FAILED(hr)) return hr;
  return m_pTransformFilter->SetMediaType(PINDIR_INPUT, mtIn);
}

STDMETHODIMP CTransformInputPin::Receive(IMediaSample* pSample) {
  CAutoLock lock(&m_pTransformFilter->m_csReceive);
  HRESULT hr = CBaseInputPin::Receive(pSample);
  if (hr == S_OK) hr = m_pTransformFilter->Receive(pSample);
  return hr;
}

STDMETHODIMP CTransformInputPin::EndOfStream() {
  CAutoLock lock(&m_pTransformFilter->m_csReceive);
  HRESULT hr = CheckStreaming();
  if (hr == S_OK) hr = m_pTransformFilter->EndOfStream();
  return hr;
}

STDMETHODIMP CTransformInputPin::BeginFlush() {
  CAutoLock lock(&m_pTransformFilter->m_csFilter);
  if (!IsConnected() || !m_pTransformFilter->m_pOutput->IsConnected()) return VFW_E_NOT_CONNECTED;
  HRESULT hr = CBaseInputPin::BeginFlush();
  if (FAILED(hr)) return hr;
  return m_pTransformFilter->BeginFlush();
}

STDMETHODIMP CTransformInputPin::EndFlush() {
  CAutoLock lock(&m_pTransformFilter->m_csFilter);
  if (!IsConnected() || !m_pTransformFilter->m_pOutput->IsConnected()) return VFW_E_NOT_CONNECTED;
  HRESULT hr = m_pTransformFilter->EndFlush();
  if (FAILED(hr)) return hr;
  return CBaseInputPin::EndFlush();
}

STDMETHODIMP CTransformInputPin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) {
  CBasePin::NewSegment(tStart, tStop, dRate);
  return m_pTransformFilter->NewSegment(tStart, tStop, dRate);
}

// ---- Output pin ---------------------------------------------------------------------------------

CTransformOutputPin::CTransformOutputPin(const TCHAR* pObjectName, CTransformFilter* pTransformFilter,
                                         HRESULT* phr, LPCWSTR pName)
    : CBaseOutputPin(pObjectName, pTransformFilter, &pTransformFilter->m_csFilter, phr, pName),
      m_pTransformFilter(pTransformFilter) {}

STDMETHODIMP CTransformOutputPin::QueryId(LPWSTR* Id) {
  static const WCHAR kOut[] = u"Out";
  if (!Id) return E_POINTER;
  *Id = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof kOut));
  if (!*Id) return E_OUTOFMEMORY;
  std::char_traits<char16_t>::copy(*Id, kOut, 4);
  return S_OK;
}

STDMETHODIMP CTransformOutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IMediaSeeking) {
    CTransformInputPin* in = m_pTransformFilter->m_pInput;
    IPin* upstream = in ? in->GetConnected() : nullptr;
    if (!upstream) {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    return upstream->QueryInterface(riid, ppv);
  }
  return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CTransformOutputPin::CheckConnect(IPin* pPin) {
  CTransformInputPin* in = m_pTransformFilter->m_pInput;
  if (!in || !in->IsConnected()) return E_UNEXPECTED;
  HRESULT hr = m_pTransformFilter->CheckConnect(PINDIR_OUTPUT, pPin);
  if (FAILED(hr)) return hr;
  return CBaseOutputPin::CheckConnect(pPin);
}

HRESULT CTransformOutputPin::BreakConnect() {
  m_pTransformFilter->BreakConnect(PINDIR_OUTPUT);
  return CBaseOutputPin::BreakConnect();
}

HRESULT CTransformOutputPin::CompleteConnect(IPin* pReceivePin) {
  HRESULT hr = m_pTransformFilter->CompleteConnect(PINDIR_OUTPUT, pReceivePin);
  if (FAILED(hr)) return hr;
  return CBaseOutputPin::CompleteConnect(pReceivePin);
}

HRESULT CTransformOutputPin::DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pProp) {
  return m_pTransformFilter->DecideBufferSize(pAlloc, pProp);
}

HRESULT CTransformOutputPin::CheckMediaType(const CMediaType* pmtOut) {
  CTransformInputPin* in = m_pTransformFilter->m_pInput;
  if (!in || !in->IsConnected()) return E_INVALIDARG;
  return m_pTransformFilter->CheckTransform(&in->CurrentMediaType(), pmtOut);
}

HRESULT CTransformOutputPin::SetMediaType(const CMediaType* pmtOut) {
  HRESULT hr = CBasePin::SetMediaType(pmtOut);
  if (FAILED(hr)) return hr;
  return m_pTransformFilter->SetMediaType(PINDIR_OUTPUT, pmtOut);
}

HRESULT CTransformOutputPin::GetMediaType(int iPosition, CMediaType* pMediaType) {
  CTransformInputPin* in = m_pTransformFilter->m_pInput;
  if (!in || !in->IsConnected()) return E_UNEXPECTED;
  return m_pTransformFilter->GetMediaType(iPosition, pMediaType);
}

STDMETHODIMP CTransformOutputPin::Notify(IBaseFilter* pSender, Quality q) {
  HRESULT hr = m_pTransformFilter->AlterQuality(q);
  if (hr != S_FALSE) return hr;
  if (m_pQSink) return m_pQSink->Notify(pSender, q);
  // Pass it on to the pin that feeds us.
  IPin* upstream = m_pTransformFilter->m_pInput ? m_pTransformFilter->m_pInput->GetConnected() : nullptr;
  if (!upstream) return VFW_E_NOT_FOUND;
  ComPtr<IQualityControl> qc;
  if (FAILED(upstream->QueryInterface(IID_IQualityControl, qc.putVoid()))) return VFW_E_NOT_FOUND;
  return qc->Notify(m_pTransformFilter, q);
}

// ---- Filter -------------------------------------------------------------------------------------

CTransformFilter::CTransformFilter(const TCHAR* pName, LPUNKNOWN pUnk, REFCLSID clsid)
    : CBaseFilter(pName, pUnk, &m_csFilter, clsid) {}

CTransformFilter::~CTransformFilter() {
  delete m_pInput;
  delete m_pOutput;
}

int CTransformFilter::GetPinCount() { return 2; }

CBasePin* CTransformFilter::GetPin(int n) {
  if (!m_pInput) {
    HRESULT hr = S_OK;
    m_pInput = new CTransformInputPin("Transform input pin", this, &hr, u"XForm In");
    m_pOutput = new CTransformOutputPin("Transform output pin", this, &hr, u"XForm Out");
  }
  if (n == 0) return m_pInput;
  if (n == 1) return m_pOutput;
  return nullptr;
}

STDMETHODIMP CTransformFilter::FindPin(LPCWSTR Id, IPin** ppPin) {
  if (!Id || !ppPin) return E_POINTER;
  std::u16string_view id(Id);
  CBasePin* pin = id == u"In" ? GetPin(0) : id == u"Out" ? GetPin(1) : nullptr;
  *ppPin = pin;
  if (!pin) return VFW_E_NOT_FOUND;
  pin->AddRef();
  return S_OK;
}

STDMETHODIMP CTransformFilter::Stop() {
  CAutoLock lock(&m_csFilter);
  if (m_State == State_Stopped) return S_OK;
  if (!m_pInput || !m_pInput->IsConnected() || !m_pOutput->IsConnected()) {
    m_State = State_Stopped;
    m_bEOSDelivered = FALSE;
    return S_OK;
  }
  // Refuse new samples first, then wait for the one being processed.
  m_pInput->Inactive();
  CAutoLock receiving(&m_csReceive);
  m_pOutput->Inactive();
  HRESULT hr = StopStreaming();
  if (SUCCEEDED(hr)) {
    m_State = State_Stopped;
    m_bEOSDelivered = FALSE;
  }
  return hr;
}

STDMETHODIMP CTransformFilter::Pause() {
  CAutoLock lock(&m_csFilter);
  HRESULT hr = S_OK;
  if (m_State == State_Paused) {
  } else if (!m_pInput || !m_pInput->IsConnected()) {
    // Nothing can arrive: the stream downstream ends at once.
    if (m_pOutput && m_pOutput->IsConnected() && !m_bEOSDelivered) {
      m_pOutput->DeliverEndOfStream();
      m_bEOSDelivered = TRUE;
    }
    m_State = State_Paused;
  } else if (!m_pOutput->IsConnected()) {
    m_State = State_Paused;
  } else {
    if (m_State == State_Stopped) {
      CAutoLock receiving(&m_csReceive);
      hr = StartStreaming();
    }
    if (SUCCEEDED(hr)) hr = CBaseFilter::Pause();
  }
  m_bSampleSkipped = FALSE;
  m_bQualityChanged = FALSE;
  return hr;
}

HRESULT CTransformFilter::Transform(IMediaSample*, IMediaSample*) { return E_UNEXPECTED; }
HRESULT CTransformFilter::StartStreaming() { return S_OK; }
HRESULT CTransformFilter::StopStreaming() { return S_OK; }
HRESULT CTransformFilter::AlterQuality(Quality) { return S_FALSE; }
HRESULT CTransformFilter::SetMediaType(PIN_DIRECTION, const CMediaType*) { return S_OK; }
HRESULT CTransformFilter::CheckConnect(PIN_DIRECTION, IPin*) { return S_OK; }
HRESULT CTransformFilter::BreakConnect(PIN_DIRECTION) { return S_OK; }
HRESULT CTransformFilter::CompleteConnect(PIN_DIRECTION, IPin*) { return S_OK; }

HRESULT CTransformFilter::InitializeOutputSample(IMediaSample* pSample, IMediaSample** ppOutSample) {
  AM_SAMPLE2_PROPERTIES* const props = m_pInput->SampleProps();
  DWORD flags = m_bSampleSkipped ? AM_GBF_PREVFRAMESKIPPED : 0;
  if (!(props->dwSampleFlags & AM_SAMPLE_SPLICEPOINT)) flags |= AM_GBF_NOTASYNCPOINT;
  IMemAllocator* allocator = m_pOutput->PeekAllocator();
  if (!allocator) return VFW_E_NO_ALLOCATOR;
  IMediaSample* out = nullptr;
  HRESULT hr = allocator->GetBuffer(&out, (props->dwSampleFlags & AM_SAMPLE_TIMEVALID) ? &props->tStart : nullptr,
                                    (props->dwSampleFlags & AM_SAMPLE_STOPVALID) ? &props->tStop : nullptr, flags);
  *ppOutSample = out;
  if (FAILED(hr)) return hr;

  if (props->dwSampleFlags & AM_SAMPLE_TIMEVALID)
    out->SetTime(&props->tStart, (props->dwSampleFlags & AM_SAMPLE_STOPVALID) ? &props->tStop : nullptr);
  out->SetSyncPoint((props->dwSampleFlags & AM_SAMPLE_SPLICEPOINT) != 0);
  out->SetPreroll((props->dwSampleFlags & AM_SAMPLE_PREROLL) != 0);
  if (props->dwSampleFlags & AM_SAMPLE_DATADISCONTINUITY) {
    out->SetDiscontinuity(TRUE);
    m_bSampleSkipped = FALSE;
  } else {
    out->SetDiscontinuity(FALSE);
  }
  LONGLONG mediaStart = 0, mediaEnd = 0;
  if (pSample->GetMediaTime(&mediaStart, &mediaEnd) == S_OK) out->SetMediaTime(&mediaStart, &mediaEnd);
  return S_OK;
}

HRESULT CTransformFilter::Receive(IMediaSample* pSample) {
  IMemInputPin* downstream = m_pOutput->PeekInputPin();
  if (!downstream) return VFW_E_NOT_CONNECTED;
  ComPtr<IMediaSample> out;
  HRESULT hr = InitializeOutputSample(pSample, out.put());
  if (FAILED(hr)) return hr;
  hr = Transform(pSample, out.get());
  if (FAILED(hr)) {
    out = nullptr;
    // The stream cannot go on: tell the graph instead of silently stalling.
    NotifyEvent(EC_ERRORABORT, hr, 0);
    return hr;
  }
  if (hr == S_FALSE) {
    out = nullptr;
    m_bSampleSkipped = TRUE;
    if (!m_bQualityChanged) {
      NotifyEvent(EC_QUALITY_CHANGE, 0, 0);
      m_bQualityChanged = TRUE;
    }
    return S_OK;
  }
  hr = downstream->Receive(out.get());
  m_bSampleSkipped = FALSE;
  return hr;
}

HRESULT CTransformFilter::EndOfStream() { return m_pOutput->DeliverEndOfStream(); }
HRESULT CTransformFilter::BeginFlush() { return m_pOutput->DeliverBeginFlush(); }
HRESULT CTransformFilter::EndFlush() { return m_pOutput->DeliverEndFlush(); }

HRESULT CTransformFilter::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) {
  if (m_pOutput->IsConnected()) return m_pOutput->DeliverNewSegment(tStart, tStop, dRate);
  return S_OK;
}
