#include "dshow/sink_filter.h"

namespace dshow::filters {

SinkFilter::SinkFilter(const TCHAR* name, LPUNKNOWN outer, REFCLSID clsid)
    : CBaseFilter(name, outer, &lock_, clsid) {}

STDMETHODIMP SinkFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IAMFilterMiscFlags) return GetInterface(static_cast<IAMFilterMiscFlags*>(this), ppv);
  if (riid == IID_IMediaSeeking && seeking_) return GetInterface(static_cast<IMediaSeeking*>(seeking_.get()), ppv);
  return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

int SinkFilter::ConnectedInputs() {
  int n = 0;
  for (int i = 0; i < GetPinCount(); ++i) {
    CBasePin* pin = GetPin(i);
    PIN_DIRECTION dir;
    if (pin && SUCCEEDED(pin->QueryDirection(&dir)) && dir == PINDIR_INPUT && pin->IsConnected()) ++n;
  }
  return n;
}

STDMETHODIMP SinkFilter::Pause() {
  {
    CAutoLock hold(&endLock_);
    if (m_State == State_Stopped) {
      ended_ = 0;
      completed_ = false;
      sent_ = false;
    }
  }
  return CBaseFilter::Pause();
}

STDMETHODIMP SinkFilter::Run(REFERENCE_TIME tStart) {
  HRESULT hr = CBaseFilter::Run(tStart);
  SendCompleteIfDue();
  return hr;
}

STDMETHODIMP SinkFilter::Stop() {
  HRESULT hr = CBaseFilter::Stop();
  CAutoLock hold(&endLock_);
  ended_ = 0;
  completed_ = false;
  sent_ = false;
  return hr;
}

void SinkFilter::InputEnded() {
  // Counted before taking endLock_: counting takes the filter lock, which Pause holds while it
  // takes endLock_. Connections cannot change while streams run.
  const int inputs = ConnectedInputs();
  {
    CAutoLock hold(&endLock_);
    if (completed_) return;
    if (++ended_ < inputs) return;
    completed_ = true;
  }
  OnComplete();
  SendCompleteIfDue();
}

void SinkFilter::InputRestarted() {
  CAutoLock hold(&endLock_);
  ended_ = 0;
  completed_ = false;
  sent_ = false;
}

void SinkFilter::SendCompleteIfDue() {
  {
    CAutoLock hold(&endLock_);
    if (!completed_ || sent_ || m_State != State_Running) return;
    sent_ = true;
  }
  NotifyEvent(EC_COMPLETE, S_OK, 0);
}

}  // namespace dshow::filters
