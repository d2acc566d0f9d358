#include "dshow/ctlutil.h"

CSourceSeeking::CSourceSeeking(const TCHAR* pName, LPUNKNOWN pUnk, HRESULT* phr, CCritSec* pLock)
    : CUnknown(pName, pUnk, phr),
      m_rtDuration(static_cast<LONGLONG>(0x7FFFFFFFFFFFFFFFLL)),
      m_rtStop(static_cast<LONGLONG>(0x7FFFFFFFFFFFFFFFLL)),
      m_dwSeekingCaps(AM_SEEKING_CanSeekForwards | AM_SEEKING_CanSeekBackwards | AM_SEEKING_CanSeekAbsolute |
                      AM_SEEKING_CanGetStopPos | AM_SEEKING_CanGetDuration),
      m_pLock(pLock) {}

STDMETHODIMP CSourceSeeking::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IMediaSeeking) return GetInterface(static_cast<IMediaSeeking*>(this), ppv);
  return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP CSourceSeeking::IsFormatSupported(const GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  return *pFormat == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

STDMETHODIMP CSourceSeeking::QueryPreferredFormat(GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  *pFormat = TIME_FORMAT_MEDIA_TIME;
  return S_OK;
}

STDMETHODIMP CSourceSeeking::SetTimeFormat(const GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  return *pFormat == TIME_FORMAT_MEDIA_TIME ? S_OK : E_INVALIDARG;
}

STDMETHODIMP CSourceSeeking::IsUsingTimeFormat(const GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  return *pFormat == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

STDMETHODIMP CSourceSeeking::GetTimeFormat(GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  *pFormat = TIME_FORMAT_MEDIA_TIME;
  return S_OK;
}

STDMETHODIMP CSourceSeeking::GetDuration(LONGLONG* pDuration) {
  if (!pDuration) return E_POINTER;
  CAutoLock lock(m_pLock);
  *pDuration = m_rtDuration;
  return S_OK;
}

STDMETHODIMP CSourceSeeking::GetStopPosition(LONGLONG* pStop) {
  if (!pStop) return E_POINTER;
  CAutoLock lock(m_pLock);
  *pStop = m_rtStop;
  return S_OK;
}

STDMETHODIMP CSourceSeeking::GetCurrentPosition(LONGLONG*) { return E_NOTIMPL; }

STDMETHODIMP CSourceSeeking::GetCapabilities(DWORD* pCapabilities) {
  if (!pCapabilities) return E_POINTER;
  *pCapabilities = m_dwSeekingCaps;
  return S_OK;
}

STDMETHODIMP CSourceSeeking::CheckCapabilities(DWORD* pCapabilities) {
  if (!pCapabilities) return E_POINTER;
  DWORD wanted = *pCapabilities;
  *pCapabilities &= m_dwSeekingCaps;
  if (*pCapabilities == wanted) return S_OK;
  return *pCapabilities ? S_FALSE : E_FAIL;
}

STDMETHODIMP CSourceSeeking::ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat, LONGLONG Source,
                                               const GUID* pSourceFormat) {
  if (!pTarget) return E_POINTER;
  // Only media time: a null format means the current one, which is media time.
  bool targetOk = !pTargetFormat || *pTargetFormat == TIME_FORMAT_MEDIA_TIME;
  bool sourceOk = !pSourceFormat || *pSourceFormat == TIME_FORMAT_MEDIA_TIME;
  if (!targetOk || !sourceOk) return E_INVALIDARG;
  *pTarget = Source;
  return S_OK;
}

STDMETHODIMP CSourceSeeking::SetPositions(LONGLONG* pCurrent, DWORD CurrentFlags, LONGLONG* pStop, DWORD StopFlags) {
  DWORD startBits = CurrentFlags & AM_SEEKING_PositioningBitsMask;
  DWORD stopBits = StopFlags & AM_SEEKING_PositioningBitsMask;
  if (startBits && !pCurrent) return E_POINTER;
  if (stopBits && !pStop) return E_POINTER;
  if (startBits == AM_SEEKING_IncrementalPositioning) return E_INVALIDARG;
  {
    CAutoLock lock(m_pLock);
    if (startBits == AM_SEEKING_AbsolutePositioning)
      m_rtStart = *pCurrent;
    else if (startBits == AM_SEEKING_RelativePositioning)
      m_rtStart += *pCurrent;
    if (stopBits == AM_SEEKING_AbsolutePositioning)
      m_rtStop = *pStop;
    else if (stopBits == AM_SEEKING_IncrementalPositioning)
      m_rtStop = m_rtStart + *pStop;
    else if (stopBits == AM_SEEKING_RelativePositioning)
      m_rtStop += *pStop;
  }
  HRESULT hr = S_OK;
  if (SUCCEEDED(hr) && stopBits) hr = ChangeStop();
  if (startBits) hr = ChangeStart();
  return hr;
}

STDMETHODIMP CSourceSeeking::GetPositions(LONGLONG* pCurrent, LONGLONG* pStop) {
  CAutoLock lock(m_pLock);
  if (pCurrent) *pCurrent = m_rtStart;
  if (pStop) *pStop = m_rtStop;
  return S_OK;
}

STDMETHODIMP CSourceSeeking::GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest) {
  CAutoLock lock(m_pLock);
  if (pEarliest) *pEarliest = 0;
  if (pLatest) *pLatest = m_rtDuration;
  return S_OK;
}

STDMETHODIMP CSourceSeeking::SetRate(double dRate) {
  if (!(dRate > 0.0)) return E_INVALIDARG;
  {
    CAutoLock lock(m_pLock);
    m_dRateSeeking = dRate;
  }
  return ChangeRate();
}

STDMETHODIMP CSourceSeeking::GetRate(double* pdRate) {
  if (!pdRate) return E_POINTER;
  CAutoLock lock(m_pLock);
  *pdRate = m_dRateSeeking;
  return S_OK;
}

STDMETHODIMP CSourceSeeking::GetPreroll(LONGLONG* pPreroll) {
  if (!pPreroll) return E_POINTER;
  *pPreroll = 0;
  return S_OK;
}
