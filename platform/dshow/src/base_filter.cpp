#include "dshow/amfilter.h"
#include "wide_text.h"

using dshow::CopyWideTruncated;
using dshow::NewWideCopy;

CBaseFilter::CBaseFilter(const TCHAR* pName, LPUNKNOWN pUnk, CCritSec* pLock, REFCLSID clsid,
                         HRESULT* phr)
    : CUnknown(pName, pUnk, phr), m_clsid(clsid), m_pLock(pLock) {}

CBaseFilter::~CBaseFilter() { delete[] m_pName; }

STDMETHODIMP CBaseFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IBaseFilter || riid == IID_IMediaFilter || riid == IID_IPersist)
    return GetInterface(static_cast<IBaseFilter*>(this), ppv);
  return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP CBaseFilter::GetClassID(CLSID* pClsID) {
  if (!pClsID) return E_POINTER;
  *pClsID = m_clsid;
  return S_OK;
}

STDMETHODIMP CBaseFilter::Stop() {
  CAutoLock lock(m_pLock);
  HRESULT hr = S_OK;
  if (m_State != State_Stopped) {
    for (int i = 0, n = GetPinCount(); i < n; ++i) {
      CBasePin* pin = GetPin(i);
      if (pin && pin->IsConnected()) {
        HRESULT hrPin = pin->Inactive();
        if (FAILED(hrPin) && SUCCEEDED(hr)) hr = hrPin;
      }
    }
  }
  m_State = State_Stopped;
  return hr;
}

STDMETHODIMP CBaseFilter::Pause() {
  CAutoLock lock(m_pLock);
  if (m_State == State_Stopped) {
    for (int i = 0, n = GetPinCount(); i < n; ++i) {
      CBasePin* pin = GetPin(i);
      if (pin && pin->IsConnected()) {
        HRESULT hr = pin->Active();
        if (FAILED(hr)) return hr;
      }
    }
  }
  m_State = State_Paused;
  return S_OK;
}

STDMETHODIMP CBaseFilter::Run(REFERENCE_TIME tStart) {
  CAutoLock lock(m_pLock);
  if (m_State == State_Stopped) {
    HRESULT hr = Pause();
    if (FAILED(hr)) return hr;
  }
  m_tStart = tStart;
  if (m_State == State_Paused) {
    for (int i = 0, n = GetPinCount(); i < n; ++i) {
      CBasePin* pin = GetPin(i);
      if (pin && pin->IsConnected()) {
        HRESULT hr = pin->Run(tStart);
        if (FAILED(hr)) return hr;
      }
    }
  }
  m_State = State_Running;
  return S_OK;
}

STDMETHODIMP CBaseFilter::GetState(DWORD, FILTER_STATE* State) {
  if (!State) return E_POINTER;
  *State = m_State;
  return S_OK;
}

STDMETHODIMP CBaseFilter::SetSyncSource(IReferenceClock* pClock) {
  CAutoLock lock(m_pLock);
  m_pClock = pClock;
  return S_OK;
}

STDMETHODIMP CBaseFilter::GetSyncSource(IReferenceClock** pClock) {
  if (!pClock) return E_POINTER;
  CAutoLock lock(m_pLock);
  return m_pClock.CopyTo(pClock);
}

STDMETHODIMP CBaseFilter::EnumPins(IEnumPins** ppEnum) {
  if (!ppEnum) return E_POINTER;
  *ppEnum = new CEnumPins(this, nullptr);
  return S_OK;
}

STDMETHODIMP CBaseFilter::FindPin(LPCWSTR Id, IPin** ppPin) {
  if (!Id || !ppPin) return E_POINTER;
  CAutoLock lock(m_pLock);
  for (int i = 0, n = GetPinCount(); i < n; ++i) {
    CBasePin* pin = GetPin(i);
    LPWSTR pinId = nullptr;
    if (!pin || FAILED(pin->QueryId(&pinId))) continue;
    bool match = std::u16string_view(pinId) == std::u16string_view(Id);
    CoTaskMemFree(pinId);
    if (match) return ComPtr<IPin>(pin).CopyTo(ppPin);
  }
  *ppPin = nullptr;
  return VFW_E_NOT_FOUND;
}

STDMETHODIMP CBaseFilter::QueryFilterInfo(FILTER_INFO* pInfo) {
  if (!pInfo) return E_POINTER;
  CopyWideTruncated(pInfo->achName, MAX_FILTER_NAME, m_pName);
  pInfo->pGraph = m_pGraph;
  if (m_pGraph) m_pGraph->AddRef();
  return S_OK;
}

STDMETHODIMP CBaseFilter::JoinFilterGraph(IFilterGraph* pGraph, LPCWSTR pName) {
  CAutoLock lock(m_pLock);
  m_pGraph = pGraph;
  m_pSink = nullptr;
  if (pGraph) {
    ComPtr<IMediaEventSink> sink;
    // Kept without a reference: the graph outlives its membership.
    if (SUCCEEDED(pGraph->QueryInterface(IID_IMediaEventSink, sink.putVoid()))) m_pSink = sink.get();
  }
  delete[] m_pName;
  m_pName = NewWideCopy(pName);
  return S_OK;
}

STDMETHODIMP CBaseFilter::QueryVendorInfo(LPWSTR*) { return E_NOTIMPL; }

HRESULT CBaseFilter::StreamTime(CRefTime& rtStream) {
  if (!m_pClock) return VFW_E_NO_CLOCK;
  REFERENCE_TIME now = 0;
  HRESULT hr = m_pClock->GetTime(&now);
  if (FAILED(hr)) return hr;
  rtStream = now - m_tStart.m_time;
  return S_OK;
}

BOOL CBaseFilter::IsActive() {
  CAutoLock lock(m_pLock);
  return m_State == State_Paused || m_State == State_Running;
}

BOOL CBaseFilter::IsStopped() { return m_State == State_Stopped; }

HRESULT CBaseFilter::NotifyEvent(LONG EventCode, LONG_PTR EventParam1, LONG_PTR EventParam2) {
  IMediaEventSink* sink = m_pSink;
  if (!sink) return E_NOTIMPL;
  if (EventCode == EC_COMPLETE) EventParam2 = reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this));
  return sink->Notify(EventCode, EventParam1, EventParam2);
}

void CBaseFilter::IncrementPinVersion() { ++m_PinVersion; }

LONG CBaseFilter::GetPinVersion() { return m_PinVersion; }

// ---- Pin enumerator -----------------------------------------------------------------------------

CEnumPins::CEnumPins(CBaseFilter* pFilter, const CEnumPins* pEnumPins) : m_pFilter(pFilter) {
  if (pEnumPins) {
    m_Position = pEnumPins->m_Position;
    m_PinCount = pEnumPins->m_PinCount;
    m_Version = pEnumPins->m_Version;
  } else {
    m_Version = m_pFilter->GetPinVersion();
    m_PinCount = m_pFilter->GetPinCount();
  }
}

STDMETHODIMP CEnumPins::Next(ULONG cPins, IPin** ppPins, ULONG* pcFetched) {
  if (!ppPins) return E_POINTER;
  if (cPins > 1 && !pcFetched) return E_INVALIDARG;
  if (m_Version != m_pFilter->GetPinVersion()) return VFW_E_ENUM_OUT_OF_SYNC;
  ULONG fetched = 0;
  while (fetched < cPins && m_Position < m_PinCount) {
    CBasePin* pin = m_pFilter->GetPin(m_Position++);
    if (!pin) return VFW_E_ENUM_OUT_OF_SYNC;
    ppPins[fetched] = pin;
    pin->AddRef();
    ++fetched;
  }
  if (pcFetched) *pcFetched = fetched;
  return fetched == cPins ? S_OK : S_FALSE;
}

STDMETHODIMP CEnumPins::Skip(ULONG cPins) {
  if (m_Version != m_pFilter->GetPinVersion()) return VFW_E_ENUM_OUT_OF_SYNC;
  ULONG left = static_cast<ULONG>(m_PinCount - m_Position);
  if (cPins > left) return S_FALSE;
  m_Position += static_cast<int>(cPins);
  return S_OK;
}

STDMETHODIMP CEnumPins::Reset() {
  m_Version = m_pFilter->GetPinVersion();
  m_PinCount = m_pFilter->GetPinCount();
  m_Position = 0;
  return S_OK;
}

STDMETHODIMP CEnumPins::Clone(IEnumPins** ppEnum) {
  if (!ppEnum) return E_POINTER;
  if (m_Version != m_pFilter->GetPinVersion()) return VFW_E_ENUM_OUT_OF_SYNC;
  *ppEnum = new CEnumPins(m_pFilter.get(), this);
  return S_OK;
}

// ---- Media type enumerator ----------------------------------------------------------------------

CEnumMediaTypes::CEnumMediaTypes(CBasePin* pPin, const CEnumMediaTypes* pEnumMediaTypes) : m_pPin(pPin) {
  if (pEnumMediaTypes) {
    m_Position = pEnumMediaTypes->m_Position;
    m_Version = pEnumMediaTypes->m_Version;
  } else {
    m_Version = m_pPin->GetMediaTypeVersion();
  }
}

STDMETHODIMP CEnumMediaTypes::Next(ULONG cMediaTypes, AM_MEDIA_TYPE** ppMediaTypes, ULONG* pcFetched) {
  if (!ppMediaTypes) return E_POINTER;
  if (cMediaTypes > 1 && !pcFetched) return E_INVALIDARG;
  if (m_Version != m_pPin->GetMediaTypeVersion()) return VFW_E_ENUM_OUT_OF_SYNC;
  ULONG fetched = 0;
  while (fetched < cMediaTypes) {
    CMediaType type;
    if (m_pPin->GetMediaType(m_Position, &type) != S_OK) break;
    AM_MEDIA_TYPE* copy = CreateMediaType(&type);
    if (!copy) break;
    ++m_Position;
    ppMediaTypes[fetched++] = copy;
  }
  if (pcFetched) *pcFetched = fetched;
  return fetched == cMediaTypes ? S_OK : S_FALSE;
}

STDMETHODIMP CEnumMediaTypes::Skip(ULONG cMediaTypes) {
  if (m_Version != m_pPin->GetMediaTypeVersion()) return VFW_E_ENUM_OUT_OF_SYNC;
  for (; cMediaTypes > 0; --cMediaTypes) {
    CMediaType type;
    if (m_pPin->GetMediaType(m_Position, &type) != S_OK) return S_FALSE;
    ++m_Position;
  }
  return S_OK;
}

STDMETHODIMP CEnumMediaTypes::Reset() {
  m_Position = 0;
  m_Version = m_pPin->GetMediaTypeVersion();
  return S_OK;
}

STDMETHODIMP CEnumMediaTypes::Clone(IEnumMediaTypes** ppEnum) {
  if (!ppEnum) return E_POINTER;
  if (m_Version != m_pPin->GetMediaTypeVersion()) return VFW_E_ENUM_OUT_OF_SYNC;
  *ppEnum = new CEnumMediaTypes(m_pPin.get(), this);
  return S_OK;
}
