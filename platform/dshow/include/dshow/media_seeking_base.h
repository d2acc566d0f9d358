#pragma once
// IMediaSeeking of a stream that keeps its own positions, written once: a derived class answers a
// few questions in media time (duration, stop, current position) and applies new positions; the
// time formats (media time, and frames where the stream has a frame length), their conversions,
// the capabilities and the positioning flags are handled here. IUnknown is the derived class's.
#include "dshow/strmif.h"

namespace dshow {

class MediaSeekingBase : public IMediaSeeking {
 public:
  STDMETHODIMP GetCapabilities(DWORD* pCapabilities) override;
  STDMETHODIMP CheckCapabilities(DWORD* pCapabilities) override;
  STDMETHODIMP IsFormatSupported(const GUID* pFormat) override;
  STDMETHODIMP QueryPreferredFormat(GUID* pFormat) override;
  STDMETHODIMP GetTimeFormat(GUID* pFormat) override;
  STDMETHODIMP IsUsingTimeFormat(const GUID* pFormat) override;
  STDMETHODIMP SetTimeFormat(const GUID* pFormat) override;
  STDMETHODIMP GetDuration(LONGLONG* pDuration) override;
  STDMETHODIMP GetStopPosition(LONGLONG* pStop) override;
  STDMETHODIMP GetCurrentPosition(LONGLONG* pCurrent) override;
  STDMETHODIMP ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat, LONGLONG Source,
                                 const GUID* pSourceFormat) override;
  // ChangePositions applies the move; AM_SEEKING_ReturnTime hands back where the stream now
  // starts and stops.
  STDMETHODIMP SetPositions(LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop, DWORD dwStopFlags) override;
  STDMETHODIMP GetPositions(LONGLONG* pCurrent, LONGLONG* pStop) override;
  STDMETHODIMP GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest) override;
  // The stream plays at its own rate only.
  STDMETHODIMP SetRate(double dRate) override;
  STDMETHODIMP GetRate(double* pdRate) override;
  STDMETHODIMP GetPreroll(LONGLONG* pllPreroll) override;

  // A move asked of SetPositions, in media time.
  struct SeekRequest {
    DWORD currentHow = AM_SEEKING_NoPositioning;  // the flags' AM_SEEKING_PositioningBitsMask part
    DWORD stopHow = AM_SEEKING_NoPositioning;
    LONGLONG current = 0;
    LONGLONG stop = 0;

    // The new start: from is where a relative move counts from and what no move keeps. Sums are
    // held at the ends of the time range: "as far as it goes" is the largest value.
    LONGLONG NewStart(LONGLONG from) const;
    // The new stop, likewise; an incremental move counts from the new start.
    LONGLONG NewStop(LONGLONG from, LONGLONG newStart) const;
  };

 protected:
  MediaSeekingBase() = default;
  virtual ~MediaSeekingBase() = default;

  // AM_SEEKING_* flags; by default absolute, forward and backward moves, and the current, stop
  // and duration positions.
  virtual DWORD Capabilities();
  // The length of a frame in media time, which makes frames a time format; 0: none.
  virtual LONGLONG FrameLength() { return 0; }
  virtual LONGLONG Duration() = 0;
  virtual LONGLONG StopPosition() = 0;
  virtual HRESULT CurrentPosition(LONGLONG* position) = 0;
  // Moves the stream; *start and *stop receive where it now starts and stops.
  virtual HRESULT ChangePositions(const SeekRequest& request, LONGLONG* start, LONGLONG* stop) = 0;

  // Media time to the current time format and back.
  LONGLONG ToFormat(LONGLONG mediaTime);
  LONGLONG FromFormat(LONGLONG value);

  static LONGLONG SaturatingAdd(LONGLONG a, LONGLONG b);

 private:
  GUID timeFormat_ = TIME_FORMAT_MEDIA_TIME;
};

}  // namespace dshow
