#include "dshow/media_seeking_base.h"

#include <limits>

namespace dshow {
namespace {

LONGLONG SaturatingMultiply(LONGLONG value, LONGLONG factor) {
  LONGLONG product;
  if (!__builtin_mul_overflow(value, factor, &product)) return product;
  return (value < 0) != (factor < 0) ? std::numeric_limits<LONGLONG>::min() : std::numeric_limits<LONGLONG>::max();
}

}  // namespace

LONGLONG MediaSeekingBase::SaturatingAdd(LONGLONG a, LONGLONG b) {
  LONGLONG sum;
  if (!__builtin_add_overflow(a, b, &sum)) return sum;
  return b > 0 ? std::numeric_limits<LONGLONG>::max() : std::numeric_limits<LONGLONG>::min();
}

LONGLONG MediaSeekingBase::SeekRequest::NewStart(LONGLONG from) const {
  if (currentHow == AM_SEEKING_AbsolutePositioning) return current;
  if (currentHow == AM_SEEKING_RelativePositioning) return SaturatingAdd(from, current);
  return from;
}

LONGLONG MediaSeekingBase::SeekRequest::NewStop(LONGLONG from, LONGLONG newStart) const {
  if (stopHow == AM_SEEKING_AbsolutePositioning) return stop;
  if (stopHow == AM_SEEKING_RelativePositioning) return SaturatingAdd(from, stop);
  if (stopHow == AM_SEEKING_IncrementalPositioning) return SaturatingAdd(newStart, stop);
  return from;
}

DWORD MediaSeekingBase::Capabilities() {
  return AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanSeekForwards | AM_SEEKING_CanSeekBackwards |
         AM_SEEKING_CanGetCurrentPos | AM_SEEKING_CanGetStopPos | AM_SEEKING_CanGetDuration;
}

LONGLONG MediaSeekingBase::ToFormat(LONGLONG mediaTime) {
  return timeFormat_ == TIME_FORMAT_FRAME ? mediaTime / FrameLength() : mediaTime;
}

LONGLONG MediaSeekingBase::FromFormat(LONGLONG value) {
  return timeFormat_ == TIME_FORMAT_FRAME ? SaturatingMultiply(value, FrameLength()) : value;
}

STDMETHODIMP MediaSeekingBase::GetCapabilities(DWORD* pCapabilities) {
  if (!pCapabilities) return E_POINTER;
  *pCapabilities = Capabilities();
  return S_OK;
}

STDMETHODIMP MediaSeekingBase::CheckCapabilities(DWORD* pCapabilities) {
  if (!pCapabilities) return E_POINTER;
  const DWORD asked = *pCapabilities;
  *pCapabilities &= Capabilities();
  if (*pCapabilities == asked) return S_OK;
  return *pCapabilities ? S_FALSE : E_FAIL;
}

STDMETHODIMP MediaSeekingBase::IsFormatSupported(const GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  return *pFormat == TIME_FORMAT_MEDIA_TIME || (*pFormat == TIME_FORMAT_FRAME && FrameLength() > 0) ? S_OK : S_FALSE;
}

STDMETHODIMP MediaSeekingBase::QueryPreferredFormat(GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  *pFormat = TIME_FORMAT_MEDIA_TIME;
  return S_OK;
}

STDMETHODIMP MediaSeekingBase::GetTimeFormat(GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  *pFormat = timeFormat_;
  return S_OK;
}

STDMETHODIMP MediaSeekingBase::IsUsingTimeFormat(const GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  return *pFormat == timeFormat_ ? S_OK : S_FALSE;
}

STDMETHODIMP MediaSeekingBase::SetTimeFormat(const GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  if (MediaSeekingBase::IsFormatSupported(pFormat) != S_OK) return E_INVALIDARG;
  timeFormat_ = *pFormat;
  return S_OK;
}

STDMETHODIMP MediaSeekingBase::GetDuration(LONGLONG* pDuration) {
  if (!pDuration) return E_POINTER;
  *pDuration = ToFormat(Duration());
  return S_OK;
}

STDMETHODIMP MediaSeekingBase::GetStopPosition(LONGLONG* pStop) {
  if (!pStop) return E_POINTER;
  *pStop = ToFormat(StopPosition());
  return S_OK;
}

STDMETHODIMP MediaSeekingBase::GetCurrentPosition(LONGLONG* pCurrent) {
  if (!pCurrent) return E_POINTER;
  LONGLONG position = 0;
  const HRESULT hr = CurrentPosition(&position);
  if (SUCCEEDED(hr)) *pCurrent = ToFormat(position);
  return hr;
}

STDMETHODIMP MediaSeekingBase::ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat, LONGLONG Source,
                                                 const GUID* pSourceFormat) {
  if (!pTarget) return E_POINTER;
  // A missing format is the current one.
  const GUID from = pSourceFormat ? *pSourceFormat : timeFormat_;
  const GUID to = pTargetFormat ? *pTargetFormat : timeFormat_;
  if (MediaSeekingBase::IsFormatSupported(&from) != S_OK || MediaSeekingBase::IsFormatSupported(&to) != S_OK)
    return E_INVALIDARG;
  const LONGLONG mediaTime = from == TIME_FORMAT_FRAME ? SaturatingMultiply(Source, FrameLength()) : Source;
  *pTarget = to == TIME_FORMAT_FRAME ? mediaTime / FrameLength() : mediaTime;
  return S_OK;
}

STDMETHODIMP MediaSeekingBase::SetPositions(LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop,
                                            DWORD dwStopFlags) {
  SeekRequest request;
  request.currentHow = dwCurrentFlags & AM_SEEKING_PositioningBitsMask;
  request.stopHow = dwStopFlags & AM_SEEKING_PositioningBitsMask;
  if ((request.currentHow && !pCurrent) || (request.stopHow && !pStop)) return E_POINTER;
  if (request.currentHow) request.current = FromFormat(*pCurrent);
  if (request.stopHow) request.stop = FromFormat(*pStop);
  LONGLONG start = 0, stop = 0;
  const HRESULT hr = ChangePositions(request, &start, &stop);
  if (SUCCEEDED(hr)) {
    if (pCurrent && (dwCurrentFlags & AM_SEEKING_ReturnTime)) *pCurrent = ToFormat(start);
    if (pStop && (dwStopFlags & AM_SEEKING_ReturnTime)) *pStop = ToFormat(stop);
  }
  return hr;
}

STDMETHODIMP MediaSeekingBase::GetPositions(LONGLONG* pCurrent, LONGLONG* pStop) {
  if (pCurrent) {
    LONGLONG position = 0;
    if (HRESULT hr = CurrentPosition(&position); FAILED(hr)) return hr;
    *pCurrent = ToFormat(position);
  }
  if (pStop) *pStop = ToFormat(StopPosition());
  return S_OK;
}

STDMETHODIMP MediaSeekingBase::GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest) {
  if (pEarliest) *pEarliest = 0;
  if (pLatest) *pLatest = ToFormat(Duration());
  return S_OK;
}

STDMETHODIMP MediaSeekingBase::SetRate(double dRate) {
  if (dRate <= 0) return E_INVALIDARG;
  return dRate == 1.0 ? S_OK : E_NOTIMPL;
}

STDMETHODIMP MediaSeekingBase::GetRate(double* pdRate) {
  if (!pdRate) return E_POINTER;
  *pdRate = 1.0;
  return S_OK;
}

STDMETHODIMP MediaSeekingBase::GetPreroll(LONGLONG* pllPreroll) {
  if (!pllPreroll) return E_POINTER;
  *pllPreroll = 0;
  return S_OK;
}

}  // namespace dshow
