#include "dshow/amfilter.h"
#include "wide_text.h"

namespace {
// Failures that only mean "not this type": the connection tries the next one.
bool IsTypeRefusal(HRESULT hr) { return hr == E_FAIL || hr == E_INVALIDARG || hr == VFW_E_TYPE_NOT_ACCEPTED; }
}  // namespace

CBasePin::CBasePin(const TCHAR* pObjectName, CBaseFilter* pFilter, CCritSec* pLock, HRESULT* phr,
                   LPCWSTR pName, PIN_DIRECTION dir)
    : CUnknown(pObjectName, nullptr, phr), m_pName(dshow::NewWideCopy(pName)), m_dir(dir),
      m_pLock(pLock), m_pFilter(pFilter) {}

CBasePin::~CBasePin() { delete[] m_pName; }

STDMETHODIMP CBasePin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IPin) return GetInterface(static_cast<IPin*>(this), ppv);
  if (riid == IID_IQualityControl) return GetInterface(static_cast<IQualityControl*>(this), ppv);
  return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

// A pin lives as long as its filter.
STDMETHODIMP_(ULONG) CBasePin::NonDelegatingAddRef() { return m_pFilter->AddRef(); }
STDMETHODIMP_(ULONG) CBasePin::NonDelegatingRelease() { return m_pFilter->Release(); }

STDMETHODIMP CBasePin::Connect(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt) {
  if (!pReceivePin) return E_POINTER;
  CAutoLock lock(m_pLock);
  if (m_Connected) return VFW_E_ALREADY_CONNECTED;
  if (!IsStopped() && !m_bCanReconnectWhenActive) return VFW_E_NOT_STOPPED;
  return AgreeMediaType(pReceivePin, static_cast<const CMediaType*>(pmt));
}

HRESULT CBasePin::AgreeMediaType(IPin* pReceivePin, const CMediaType* pmt) {
  if (pmt && !pmt->IsPartiallySpecified()) return AttemptConnection(pReceivePin, pmt);
  HRESULT hrFailure = VFW_E_NO_ACCEPTABLE_TYPES;
  for (int i = 0; i < 2; ++i) {
    ComPtr<IEnumMediaTypes> types;
    bool theirs = (i == 0) != m_bTryMyTypesFirst;
    HRESULT hr = theirs ? pReceivePin->EnumMediaTypes(types.put()) : EnumMediaTypes(types.put());
    if (FAILED(hr)) continue;
    hr = TryMediaTypes(pReceivePin, pmt, types.get());
    if (SUCCEEDED(hr)) return S_OK;
    if (!IsTypeRefusal(hr) && hr != VFW_E_NO_ACCEPTABLE_TYPES) hrFailure = hr;
  }
  return hrFailure;
}

HRESULT CBasePin::TryMediaTypes(IPin* pReceivePin, const CMediaType* pmt, IEnumMediaTypes* pEnum) {
  HRESULT hrFailure = VFW_E_NO_ACCEPTABLE_TYPES;
  for (;;) {
    AM_MEDIA_TYPE* type = nullptr;
    ULONG fetched = 0;
    if (pEnum->Next(1, &type, &fetched) != S_OK || fetched != 1) break;
    const CMediaType* candidate = static_cast<const CMediaType*>(type);
    HRESULT hr = E_FAIL;
    if (!pmt || candidate->MatchesPartial(pmt)) hr = AttemptConnection(pReceivePin, candidate);
    DeleteMediaType(type);
    if (SUCCEEDED(hr)) return hr;
    if (!IsTypeRefusal(hr)) hrFailure = hr;
  }
  return hrFailure;
}

HRESULT CBasePin::AttemptConnection(IPin* pReceivePin, const CMediaType* pmt) {
  HRESULT hr = CheckConnect(pReceivePin);
  if (FAILED(hr)) {
    BreakConnect();
    return hr;
  }
  hr = CheckMediaType(pmt);
  if (hr == S_OK) {
    m_Connected = pReceivePin;
    hr = SetMediaType(pmt);
    if (SUCCEEDED(hr)) {
      hr = pReceivePin->ReceiveConnection(static_cast<IPin*>(this), pmt);
      if (SUCCEEDED(hr)) {
        hr = CompleteConnect(pReceivePin);
        if (SUCCEEDED(hr)) return hr;
        pReceivePin->Disconnect();
      }
    }
  } else if (SUCCEEDED(hr) || IsTypeRefusal(hr)) {
    hr = VFW_E_TYPE_NOT_ACCEPTED;
  }
  m_Connected = nullptr;
  BreakConnect();
  return hr;
}

STDMETHODIMP CBasePin::ReceiveConnection(IPin* pConnector, const AM_MEDIA_TYPE* pmt) {
  if (!pConnector || !pmt) return E_POINTER;
  CAutoLock lock(m_pLock);
  if (m_Connected) return VFW_E_ALREADY_CONNECTED;
  if (!IsStopped() && !m_bCanReconnectWhenActive) return VFW_E_NOT_STOPPED;
  HRESULT hr = CheckConnect(pConnector);
  if (FAILED(hr)) {
    BreakConnect();
    return hr;
  }
  const CMediaType* type = static_cast<const CMediaType*>(pmt);
  hr = CheckMediaType(type);
  if (hr != S_OK) {
    BreakConnect();
    return SUCCEEDED(hr) || IsTypeRefusal(hr) ? VFW_E_TYPE_NOT_ACCEPTED : hr;
  }
  m_Connected = pConnector;
  hr = SetMediaType(type);
  if (SUCCEEDED(hr)) {
    hr = CompleteConnect(pConnector);
    if (SUCCEEDED(hr)) return S_OK;
  }
  m_Connected = nullptr;
  BreakConnect();
  return hr;
}

STDMETHODIMP CBasePin::Disconnect() {
  CAutoLock lock(m_pLock);
  if (!IsStopped()) return VFW_E_NOT_STOPPED;
  return DisconnectInternal();
}

HRESULT CBasePin::DisconnectInternal() {
  if (!m_Connected) return S_FALSE;
  HRESULT hr = BreakConnect();
  if (FAILED(hr)) return hr;
  m_Connected = nullptr;
  return S_OK;
}

STDMETHODIMP CBasePin::ConnectedTo(IPin** pPin) {
  if (!pPin) return E_POINTER;
  CAutoLock lock(m_pLock);
  m_Connected.CopyTo(pPin);
  return m_Connected ? S_OK : VFW_E_NOT_CONNECTED;
}

STDMETHODIMP CBasePin::ConnectionMediaType(AM_MEDIA_TYPE* pmt) {
  if (!pmt) return E_POINTER;
  CAutoLock lock(m_pLock);
  if (!m_Connected) {
    *pmt = AM_MEDIA_TYPE{};
    return VFW_E_NOT_CONNECTED;
  }
  return CopyMediaType(pmt, &m_mt);
}

STDMETHODIMP CBasePin::QueryPinInfo(PIN_INFO* pInfo) {
  if (!pInfo) return E_POINTER;
  pInfo->pFilter = m_pFilter;
  m_pFilter->AddRef();
  dshow::CopyWideTruncated(pInfo->achName, MAX_PIN_NAME, m_pName);
  pInfo->dir = m_dir;
  return S_OK;
}

STDMETHODIMP CBasePin::QueryDirection(PIN_DIRECTION* pPinDir) {
  if (!pPinDir) return E_POINTER;
  *pPinDir = m_dir;
  return S_OK;
}

STDMETHODIMP CBasePin::QueryId(LPWSTR* Id) { return TaskMemWideCopy(m_pName, Id); }

STDMETHODIMP CBasePin::QueryAccept(const AM_MEDIA_TYPE* pmt) {
  if (!pmt) return E_POINTER;
  HRESULT hr = CheckMediaType(static_cast<const CMediaType*>(pmt));
  return FAILED(hr) ? S_FALSE : hr;
}

STDMETHODIMP CBasePin::EnumMediaTypes(IEnumMediaTypes** ppEnum) {
  if (!ppEnum) return E_POINTER;
  *ppEnum = new CEnumMediaTypes(this, nullptr);
  return S_OK;
}

// Every input feeds every output.
STDMETHODIMP CBasePin::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }

STDMETHODIMP CBasePin::EndOfStream() { return S_OK; }

STDMETHODIMP CBasePin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) {
  m_tStart = tStart;
  m_tStop = tStop;
  m_dRate = dRate;
  return S_OK;
}

STDMETHODIMP CBasePin::Notify(IBaseFilter* pSender, Quality q) {
  if (m_pQSink) return m_pQSink->Notify(pSender, q);
  return E_NOTIMPL;
}

STDMETHODIMP CBasePin::SetSink(IQualityControl* piqc) {
  CAutoLock lock(m_pLock);
  m_pQSink = piqc;
  return S_OK;
}

HRESULT CBasePin::SetMediaType(const CMediaType* pmt) { return m_mt.Set(*pmt); }

HRESULT CBasePin::CheckConnect(IPin* pPin) {
  PIN_DIRECTION dir;
  HRESULT hr = pPin->QueryDirection(&dir);
  if (FAILED(hr)) return hr;
  return dir == m_dir ? VFW_E_INVALID_DIRECTION : S_OK;
}

HRESULT CBasePin::BreakConnect() { return S_OK; }
HRESULT CBasePin::CompleteConnect(IPin*) { return S_OK; }
HRESULT CBasePin::GetMediaType(int, CMediaType*) { return E_UNEXPECTED; }
LONG CBasePin::GetMediaTypeVersion() { return m_TypeVersion; }
void CBasePin::IncrementTypeVersion() { ++m_TypeVersion; }
HRESULT CBasePin::Active() { return S_OK; }
HRESULT CBasePin::Inactive() {
  m_bRunTimeError = false;
  return S_OK;
}
HRESULT CBasePin::Run(REFERENCE_TIME) { return S_OK; }

// ---- Output pin ---------------------------------------------------------------------------------

CBaseOutputPin::CBaseOutputPin(const TCHAR* pObjectName, CBaseFilter* pFilter, CCritSec* pLock,
                               HRESULT* phr, LPCWSTR pName)
    : CBasePin(pObjectName, pFilter, pLock, phr, pName, PINDIR_OUTPUT) {}

CBaseOutputPin::~CBaseOutputPin() = default;

HRESULT CBaseOutputPin::CompleteConnect(IPin*) { return DecideAllocator(m_pInputPin.get(), m_pAllocator.put()); }

HRESULT CBaseOutputPin::DecideAllocator(IMemInputPin* pPin, IMemAllocator** ppAlloc) {
  *ppAlloc = nullptr;
  ALLOCATOR_PROPERTIES prop{};
  pPin->GetAllocatorRequirements(&prop);
  if (prop.cbAlign == 0) prop.cbAlign = 1;

  // The input pin's allocator first, then our own.
  ComPtr<IMemAllocator> allocator;
  HRESULT hr = pPin->GetAllocator(allocator.put());
  if (SUCCEEDED(hr)) hr = DecideBufferSize(allocator.get(), &prop);
  if (SUCCEEDED(hr)) hr = pPin->NotifyAllocator(allocator.get(), FALSE);
  if (FAILED(hr)) {
    hr = InitAllocator(allocator.put());
    if (SUCCEEDED(hr)) hr = DecideBufferSize(allocator.get(), &prop);
    if (SUCCEEDED(hr)) hr = pPin->NotifyAllocator(allocator.get(), FALSE);
  }
  if (FAILED(hr)) return hr;
  *ppAlloc = allocator.Detach();
  return S_OK;
}

HRESULT CBaseOutputPin::InitAllocator(IMemAllocator** ppAlloc) {
  HRESULT hr = S_OK;
  CMemAllocator* allocator = new CMemAllocator("output allocator", nullptr, &hr);
  if (FAILED(hr)) {
    delete allocator;
    return hr;
  }
  return ComPtr<IMemAllocator>(allocator).CopyTo(ppAlloc);
}

HRESULT CBaseOutputPin::GetDeliveryBuffer(IMediaSample** ppSample, REFERENCE_TIME* pStartTime,
                                          REFERENCE_TIME* pEndTime, DWORD dwFlags) {
  if (!m_pAllocator) return VFW_E_NO_ALLOCATOR;
  return m_pAllocator->GetBuffer(ppSample, pStartTime, pEndTime, dwFlags);
}

HRESULT CBaseOutputPin::Deliver(IMediaSample* pSample) {
  if (!m_pInputPin) return VFW_E_NOT_CONNECTED;
  return m_pInputPin->Receive(pSample);
}

HRESULT CBaseOutputPin::DeliverEndOfStream() {
  if (!m_Connected) return VFW_E_NOT_CONNECTED;
  return m_Connected->EndOfStream();
}

HRESULT CBaseOutputPin::DeliverBeginFlush() {
  if (!m_Connected) return VFW_E_NOT_CONNECTED;
  return m_Connected->BeginFlush();
}

HRESULT CBaseOutputPin::DeliverEndFlush() {
  if (!m_Connected) return VFW_E_NOT_CONNECTED;
  return m_Connected->EndFlush();
}

HRESULT CBaseOutputPin::DeliverNewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) {
  if (!m_Connected) return VFW_E_NOT_CONNECTED;
  return m_Connected->NewSegment(tStart, tStop, dRate);
}

HRESULT CBaseOutputPin::CheckConnect(IPin* pPin) {
  HRESULT hr = CBasePin::CheckConnect(pPin);
  if (FAILED(hr)) return hr;
  if (FAILED(pPin->QueryInterface(IID_IMemInputPin, m_pInputPin.putVoid()))) return E_NOINTERFACE;
  return S_OK;
}

HRESULT CBaseOutputPin::BreakConnect() {
  if (m_pAllocator) m_pAllocator->Decommit();
  m_pAllocator = nullptr;
  m_pInputPin = nullptr;
  return S_OK;
}

HRESULT CBaseOutputPin::Active() {
  if (!m_pAllocator) return VFW_E_NO_ALLOCATOR;
  return m_pAllocator->Commit();
}

HRESULT CBaseOutputPin::Inactive() {
  m_bRunTimeError = false;
  if (!m_pAllocator) return VFW_E_NO_ALLOCATOR;
  return m_pAllocator->Decommit();
}

STDMETHODIMP CBaseOutputPin::EndOfStream() { return E_UNEXPECTED; }
STDMETHODIMP CBaseOutputPin::BeginFlush() { return E_UNEXPECTED; }
STDMETHODIMP CBaseOutputPin::EndFlush() { return E_UNEXPECTED; }

// ---- Input pin ----------------------------------------------------------------------------------

CBaseInputPin::CBaseInputPin(const TCHAR* pObjectName, CBaseFilter* pFilter, CCritSec* pLock,
                             HRESULT* phr, LPCWSTR pName)
    : CBasePin(pObjectName, pFilter, pLock, phr, pName, PINDIR_INPUT) {}

CBaseInputPin::~CBaseInputPin() = default;

STDMETHODIMP CBaseInputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IMemInputPin) return GetInterface(static_cast<IMemInputPin*>(this), ppv);
  return CBasePin::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP CBaseInputPin::GetAllocator(IMemAllocator** ppAllocator) {
  if (!ppAllocator) return E_POINTER;
  CAutoLock lock(m_pLock);
  if (!m_pAllocator) {
    HRESULT hr = S_OK;
    CMemAllocator* allocator = new CMemAllocator("input allocator", nullptr, &hr);
    if (FAILED(hr)) {
      delete allocator;
      return hr;
    }
    allocator->NonDelegatingQueryInterface(IID_IMemAllocator, m_pAllocator.putVoid());
  }
  return m_pAllocator.CopyTo(ppAllocator);
}

STDMETHODIMP CBaseInputPin::NotifyAllocator(IMemAllocator* pAllocator, BOOL bReadOnly) {
  if (!pAllocator) return E_POINTER;
  CAutoLock lock(m_pLock);
  m_pAllocator = pAllocator;
  m_bReadOnly = bReadOnly;
  return S_OK;
}

HRESULT CBaseInputPin::BreakConnect() {
  if (m_pAllocator) m_pAllocator->Decommit();
  m_pAllocator = nullptr;
  return S_OK;
}

STDMETHODIMP CBaseInputPin::Receive(IMediaSample* pSample) {
  if (!pSample) return E_POINTER;
  HRESULT hr = CheckStreaming();
  if (hr != S_OK) return hr;

  ComPtr<IMediaSample2> sample2;
  if (SUCCEEDED(pSample->QueryInterface(IID_IMediaSample2, sample2.putVoid()))) {
    hr = sample2->GetProperties(sizeof m_SampleProps, reinterpret_cast<BYTE*>(&m_SampleProps));
    if (FAILED(hr)) return hr;
  } else {
    // A sample of another kind: build the properties from IMediaSample.
    m_SampleProps = AM_SAMPLE2_PROPERTIES{};
    m_SampleProps.cbData = sizeof m_SampleProps;
    hr = pSample->GetTime(&m_SampleProps.tStart, &m_SampleProps.tStop);
    if (SUCCEEDED(hr)) {
      m_SampleProps.dwSampleFlags |= AM_SAMPLE_TIMEVALID;
      if (hr == S_OK) m_SampleProps.dwSampleFlags |= AM_SAMPLE_STOPVALID;
    }
    if (pSample->IsSyncPoint() == S_OK) m_SampleProps.dwSampleFlags |= AM_SAMPLE_SPLICEPOINT;
    if (pSample->IsPreroll() == S_OK) m_SampleProps.dwSampleFlags |= AM_SAMPLE_PREROLL;
    if (pSample->IsDiscontinuity() == S_OK) m_SampleProps.dwSampleFlags |= AM_SAMPLE_DATADISCONTINUITY;
    m_SampleProps.lActual = pSample->GetActualDataLength();
    m_SampleProps.cbBuffer = pSample->GetSize();
    pSample->GetPointer(&m_SampleProps.pbBuffer);
    AM_MEDIA_TYPE* type = nullptr;
    if (pSample->GetMediaType(&type) == S_OK && type) {
      m_SampleProps.dwSampleFlags |= AM_SAMPLE_TYPECHANGED;
      CMediaType changed(*type);
      DeleteMediaType(type);
      if (CheckMediaType(&changed) != S_OK) {
        m_bRunTimeError = true;
        EndOfStream();
        m_pFilter->NotifyEvent(EC_ERRORABORT, VFW_E_TYPE_NOT_ACCEPTED, 0);
        return VFW_E_INVALIDMEDIATYPE;
      }
      return SetMediaType(&changed);
    }
    return S_OK;
  }

  if ((m_SampleProps.dwSampleFlags & AM_SAMPLE_TYPECHANGED) && m_SampleProps.pMediaType) {
    const CMediaType* changed = static_cast<const CMediaType*>(m_SampleProps.pMediaType);
    if (CheckMediaType(changed) != S_OK) {
      m_bRunTimeError = true;
      EndOfStream();
      m_pFilter->NotifyEvent(EC_ERRORABORT, VFW_E_TYPE_NOT_ACCEPTED, 0);
      return VFW_E_INVALIDMEDIATYPE;
    }
    hr = SetMediaType(changed);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

STDMETHODIMP CBaseInputPin::ReceiveMultiple(IMediaSample** pSamples, LONG nSamples, LONG* nSamplesProcessed) {
  if (!pSamples || !nSamplesProcessed) return E_POINTER;
  HRESULT hr = S_OK;
  *nSamplesProcessed = 0;
  while (nSamples-- > 0) {
    hr = Receive(pSamples[*nSamplesProcessed]);
    if (hr != S_OK) break;
    ++*nSamplesProcessed;
  }
  return hr;
}

STDMETHODIMP CBaseInputPin::ReceiveCanBlock() { return S_OK; }

// No requirements of our own.
STDMETHODIMP CBaseInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) { return E_NOTIMPL; }

STDMETHODIMP CBaseInputPin::BeginFlush() {
  CAutoLock lock(m_pLock);
  m_bFlushing = TRUE;
  return S_OK;
}

STDMETHODIMP CBaseInputPin::EndFlush() {
  CAutoLock lock(m_pLock);
  m_bFlushing = FALSE;
  m_bRunTimeError = false;
  return S_OK;
}

HRESULT CBaseInputPin::Inactive() {
  m_bRunTimeError = false;
  m_bFlushing = FALSE;
  if (!m_pAllocator) return VFW_E_NO_ALLOCATOR;
  return m_pAllocator->Decommit();
}

HRESULT CBaseInputPin::CheckStreaming() {
  if (!IsConnected()) return VFW_E_NOT_CONNECTED;
  if (IsStopped()) return VFW_E_WRONG_STATE;
  if (m_bFlushing) return S_FALSE;
  if (m_bRunTimeError) return VFW_E_RUNTIME_ERROR;
  return S_OK;
}
