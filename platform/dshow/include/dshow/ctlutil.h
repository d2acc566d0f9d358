#pragma once
// Seeking of a source pin in media time: start, stop, rate and duration, with the derived class
// told of every change.
#include "dshow/amfilter.h"
#include "dshow/media_seeking_base.h"

class CSourceSeeking : public dshow::MediaSeekingBase, public CUnknown {
 public:
  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  // Media time only. Absolute, relative and incremental positioning; ChangeStart/ChangeStop
  // follow. The graph knows the current position from its clock: GetCurrentPosition answers
  // E_NOTIMPL, and GetPositions the start instead.
  STDMETHODIMP GetPositions(LONGLONG* pCurrent, LONGLONG* pStop) override;
  STDMETHODIMP SetRate(double dRate) override;  // positive rates; ChangeRate follows
  STDMETHODIMP GetRate(double* pdRate) override;

 protected:
  // pUnk: the pin or filter that owns this seeking object; pLock guards the positions.
  CSourceSeeking(const TCHAR* pName, LPUNKNOWN pUnk, HRESULT* phr, CCritSec* pLock);

  virtual HRESULT ChangeStart() = 0;
  virtual HRESULT ChangeStop() = 0;
  virtual HRESULT ChangeRate() = 0;

  CRefTime m_rtDuration;
  CRefTime m_rtStart;
  CRefTime m_rtStop;
  double m_dRateSeeking = 1.0;
  DWORD m_dwSeekingCaps;
  CCritSec* m_pLock;

 private:
  DWORD Capabilities() override { return m_dwSeekingCaps; }
  LONGLONG Duration() override;
  LONGLONG StopPosition() override;
  HRESULT CurrentPosition(LONGLONG*) override { return E_NOTIMPL; }
  HRESULT ChangePositions(const SeekRequest& request, LONGLONG* start, LONGLONG* stop) override;
};
