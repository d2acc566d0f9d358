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

LONGLONG CSourceSeeking::Duration() {
  CAutoLock lock(m_pLock);
  return m_rtDuration;
}

LONGLONG CSourceSeeking::StopPosition() {
  CAutoLock lock(m_pLock);
  return m_rtStop;
}

HRESULT CSourceSeeking::ChangePositions(const SeekRequest& request, LONGLONG* start, LONGLONG* stop) {
  if (request.currentHow == AM_SEEKING_IncrementalPositioning) return E_INVALIDARG;
  {
    CAutoLock lock(m_pLock);
    m_rtStart = request.NewStart(m_rtStart);
    m_rtStop = request.NewStop(m_rtStop, m_rtStart);
    *start = m_rtStart;
    *stop = m_rtStop;
  }
  HRESULT hr = S_OK;
  if (request.stopHow) hr = ChangeStop();
  if (request.currentHow) hr = ChangeStart();
  return hr;
}

STDMETHODIMP CSourceSeeking::GetPositions(LONGLONG* pCurrent, LONGLONG* pStop) {
  CAutoLock lock(m_pLock);
  if (pCurrent) *pCurrent = m_rtStart;
  if (pStop) *pStop = m_rtStop;
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
