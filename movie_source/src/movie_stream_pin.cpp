#include "movie_stream_pin.h"

#include <algorithm>
#include <cstring>

#include "movie_source_filter.h"

namespace {

// Absolute, forwards, backwards, get current, get stop, get duration.
constexpr DWORD kCapabilities = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanSeekForwards |
                                AM_SEEKING_CanSeekBackwards | AM_SEEKING_CanGetCurrentPos |
                                AM_SEEKING_CanGetStopPos | AM_SEEKING_CanGetDuration;

bool KnownFormat(const GUID& format) { return format == TIME_FORMAT_MEDIA_TIME || format == TIME_FORMAT_FRAME; }

}  // namespace

int64_t MulDivDown(int64_t a, int64_t b, int64_t c) {
  const __int128 product = __int128(a) * b;
  __int128 q = product / c;
  if ((product % c != 0) && ((product < 0) != (c < 0))) --q;
  if (q > INT64_MAX) return INT64_MAX;
  if (q < INT64_MIN) return INT64_MIN;
  return int64_t(q);
}

MovieStreamPin::MovieStreamPin(HRESULT* phr, MovieSourceFilter* filter, LPCWSTR name, Movie movie, int trackIndex,
                               OSType trackType, const GUID& majorType, const GUID& subtype, const GUID& formatType,
                               OSType formatCode, OSType secondFormatCode)
    : CSourceStream("movie stream pin", phr, filter, name),
      movie_(movie),
      formatCode_(formatCode),
      secondFormatCode_(secondFormatCode) {
  CAutoLock lock(&seekingLock_);
  track_ = GetMovieIndTrackType(movie, trackIndex, trackType, movieTrackMediaType);
  media_ = GetTrackMedia(track_);
  m_mt.SetType(&majorType);
  m_mt.SetSubtype(&subtype);
  m_mt.SetFormatType(&formatType);
  if (!media_ && phr) *phr = E_FAIL;
}

MovieStreamPin::~MovieStreamPin() { DisposeMovie(movie_); }

STDMETHODIMP MovieStreamPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IMediaSeeking) return GetInterface(static_cast<IMediaSeeking*>(this), ppv);
  if (riid == IID_IMovieCodecInfo) return GetInterface(static_cast<IMovieCodecInfo*>(this), ppv);
  return CSourceStream::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP MovieStreamPin::GetFormatCode(DWORD* code) {
  if (!code) return E_POINTER;
  *code = formatCode_;
  return S_OK;
}

STDMETHODIMP MovieStreamPin::GetVideoFormatCode(DWORD* code) {
  if (!code) return E_POINTER;
  *code = secondFormatCode_;
  return S_OK;
}

void MovieStreamPin::SetFrameRate(int64_t numerator, int64_t denominator) {
  rateNumerator_ = numerator;
  rateDenominator_ = denominator > 0 ? denominator : 1;
}

double MovieStreamPin::FrameRate() const { return double(rateNumerator_) / double(rateDenominator_); }

REFERENCE_TIME MovieStreamPin::Duration() const { return timeScale_ > 0 ? MulDivDown(duration_, UNITS, timeScale_) : 0; }

// ---- Streaming ----------------------------------------------------------------------------------

HRESULT MovieStreamPin::GetMediaType(CMediaType* pmt) {
  const HRESULT hr = BuildMediaType(pmt);
  return FAILED(hr) ? VFW_S_NO_MORE_ITEMS : hr;
}

HRESULT MovieStreamPin::OnThreadCreate() {
  CAutoLock lock(&streamLock_);
  return PrepareStreaming();
}

HRESULT MovieStreamPin::OnThreadStartPlay() {
  REFERENCE_TIME start, stop;
  {
    CAutoLock lock(&streamLock_);
    discontinuity_ = true;
    Restart();
    start = start_;
    stop = stop_;
  }
  return DeliverNewSegment(start, stop, rate_);
}

HRESULT MovieStreamPin::FillBuffer(IMediaSample* pSample) {
  BYTE* buffer = nullptr;
  if (FAILED(pSample->GetPointer(&buffer)) || !buffer) return E_POINTER;
  const LONG size = pSample->GetSize();
  SampleSpan span;
  {
    CAutoLock lock(&streamLock_);
    if (AtEnd()) return S_FALSE;
    if (FillSample(buffer, size, &span) != S_OK) return S_FALSE;
    // What the pin did not fill is zero (zeroing it all first would write each picture twice).
    span.length = std::clamp<LONG>(span.length, 0, size);
    std::memset(buffer + span.length, 0, size_t(size - span.length));
  }
  REFERENCE_TIME start = REFERENCE_TIME(double(span.start) / rate_);
  REFERENCE_TIME stop = REFERENCE_TIME(double(span.stop) / rate_);
  pSample->SetTime(&start, &stop);
  pSample->SetActualDataLength(span.length);
  pSample->SetSyncPoint(TRUE);
  if (discontinuity_) {
    pSample->SetDiscontinuity(TRUE);
    discontinuity_ = false;
  }
  return S_OK;
}

void MovieStreamPin::RestartStreaming() {
  if (!ThreadExists()) return;
  DeliverBeginFlush();
  Stop();
  DeliverEndFlush();
  Run();
}

// ---- Quality ------------------------------------------------------------------------------------

STDMETHODIMP MovieStreamPin::Notify(IBaseFilter*, Quality q) {
  if (q.Late != 0) {
    CAutoLock lock(&streamLock_);
    SkipMaterial(q.Late);
  }
  return S_OK;
}

// ---- Seeking ------------------------------------------------------------------------------------

GUID MovieStreamPin::CurrentFormat() {
  CAutoLock lock(&seekingLock_);
  return timeFormat_;
}

REFERENCE_TIME MovieStreamPin::FromFormat(LONGLONG value, const GUID& format) const {
  if (format != TIME_FORMAT_FRAME || rateNumerator_ <= 0) return value;
  return MulDivDown(value, UNITS * rateDenominator_, rateNumerator_);
}

LONGLONG MovieStreamPin::ToFormat(REFERENCE_TIME t, const GUID& format) const {
  if (format != TIME_FORMAT_FRAME) return t;
  return MulDivDown(t, rateNumerator_, UNITS * rateDenominator_);
}

STDMETHODIMP MovieStreamPin::GetCapabilities(DWORD* pCapabilities) {
  if (!pCapabilities) return E_POINTER;
  *pCapabilities = kCapabilities;
  return S_OK;
}

STDMETHODIMP MovieStreamPin::CheckCapabilities(DWORD* pCapabilities) {
  if (!pCapabilities) return E_POINTER;
  return (*pCapabilities & ~kCapabilities) == 0 ? S_OK : S_FALSE;
}

STDMETHODIMP MovieStreamPin::IsFormatSupported(const GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  return KnownFormat(*pFormat) ? S_OK : S_FALSE;
}

STDMETHODIMP MovieStreamPin::QueryPreferredFormat(GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  *pFormat = TIME_FORMAT_MEDIA_TIME;
  return S_OK;
}

STDMETHODIMP MovieStreamPin::GetTimeFormat(GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  *pFormat = CurrentFormat();
  return S_OK;
}

STDMETHODIMP MovieStreamPin::IsUsingTimeFormat(const GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  return *pFormat == CurrentFormat() ? S_OK : S_FALSE;
}

STDMETHODIMP MovieStreamPin::SetTimeFormat(const GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  if (!KnownFormat(*pFormat)) return E_INVALIDARG;
  CAutoLock lock(&seekingLock_);
  timeFormat_ = *pFormat;
  return S_OK;
}

STDMETHODIMP MovieStreamPin::GetDuration(LONGLONG* pDuration) {
  if (!pDuration) return E_POINTER;
  *pDuration = ToFormat(Duration(), CurrentFormat());
  return S_OK;
}

STDMETHODIMP MovieStreamPin::GetStopPosition(LONGLONG* pStop) {
  if (!pStop) return E_POINTER;
  CAutoLock lock(&seekingLock_);
  *pStop = ToFormat(stop_, timeFormat_);
  return S_OK;
}

STDMETHODIMP MovieStreamPin::GetCurrentPosition(LONGLONG*) { return E_NOTIMPL; }

STDMETHODIMP MovieStreamPin::ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat, LONGLONG Source,
                                               const GUID* pSourceFormat) {
  if (!pTarget) return E_POINTER;
  const GUID current = CurrentFormat();
  const GUID& target = pTargetFormat ? *pTargetFormat : current;
  const GUID& source = pSourceFormat ? *pSourceFormat : current;
  if (!KnownFormat(target) || !KnownFormat(source)) return E_INVALIDARG;
  *pTarget = ToFormat(FromFormat(Source, source), target);
  return S_OK;
}

STDMETHODIMP MovieStreamPin::SetPositions(LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop, DWORD dwStopFlags) {
  const DWORD currentBits = dwCurrentFlags & AM_SEEKING_PositioningBitsMask;
  if (dwStopFlags != 0) {
    if (!pStop) return E_POINTER;
    if (dwStopFlags & ~DWORD(AM_SEEKING_PositioningBitsMask)) return E_INVALIDARG;
  }
  if (dwCurrentFlags != 0) {
    if (!pCurrent) return E_POINTER;
    if (currentBits != AM_SEEKING_AbsolutePositioning && currentBits != AM_SEEKING_RelativePositioning)
      return E_INVALIDARG;
  }
  REFERENCE_TIME newStart = 0, newStop = 0;
  {
    CAutoLock lock(&seekingLock_);
    newStart = start_;
    if (currentBits == AM_SEEKING_AbsolutePositioning) newStart = FromFormat(*pCurrent, timeFormat_);
    if (currentBits == AM_SEEKING_RelativePositioning) newStart = start_ + FromFormat(*pCurrent, timeFormat_);
    switch (dwStopFlags) {
      case AM_SEEKING_AbsolutePositioning: newStop = FromFormat(*pStop, timeFormat_); break;
      case AM_SEEKING_RelativePositioning: newStop = stop_ + FromFormat(*pStop, timeFormat_); break;
      case AM_SEEKING_IncrementalPositioning: newStop = newStart + FromFormat(*pStop, timeFormat_); break;
      default: break;
    }
  }
  HRESULT hr = S_OK;
  if (dwStopFlags != AM_SEEKING_NoPositioning) hr = ApplyStop(newStop);
  if (currentBits != AM_SEEKING_NoPositioning) hr = ApplyStart(newStart);
  return hr;
}

HRESULT MovieStreamPin::ApplyStart(REFERENCE_TIME start) {
  {
    CAutoLock lock(&streamLock_);
    const REFERENCE_TIME wanted = std::clamp<REFERENCE_TIME>(start, 0, Duration());
    const REFERENCE_TIME sample = SampleStartAt(wanted);
    CAutoLock seeking(&seekingLock_);
    start_ = sample > 0 ? sample : wanted;
  }
  RestartStreaming();
  return S_OK;
}

HRESULT MovieStreamPin::ApplyStop(REFERENCE_TIME stop) {
  bool restart = false;
  {
    CAutoLock lock(&streamLock_);
    const REFERENCE_TIME wanted = std::max<REFERENCE_TIME>(stop, 0);
    REFERENCE_TIME newStop = wanted;
    if (Position() < wanted) {
      const REFERENCE_TIME sample = SampleStartAt(wanted);
      if (sample > 0) newStop = sample;
    } else {
      restart = true;
    }
    CAutoLock seeking(&seekingLock_);
    stop_ = newStop;
  }
  if (restart) RestartStreaming();
  return S_OK;
}

STDMETHODIMP MovieStreamPin::GetPositions(LONGLONG* pCurrent, LONGLONG* pStop) {
  const GUID format = CurrentFormat();
  if (pCurrent) {
    CAutoLock lock(&streamLock_);
    *pCurrent = ToFormat(Position(), format);
  }
  if (pStop) {
    CAutoLock lock(&seekingLock_);
    *pStop = ToFormat(stop_, format);
  }
  return S_OK;
}

STDMETHODIMP MovieStreamPin::GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest) {
  if (pEarliest) *pEarliest = 0;
  if (pLatest) *pLatest = Duration();
  return S_OK;
}

STDMETHODIMP MovieStreamPin::SetRate(double dRate) {
  if (dRate != 1.0) return E_INVALIDARG;
  rate_ = dRate;
  RestartStreaming();
  return S_OK;
}

STDMETHODIMP MovieStreamPin::GetRate(double* pdRate) {
  if (!pdRate) return E_POINTER;
  *pdRate = rate_;
  return S_OK;
}

STDMETHODIMP MovieStreamPin::GetPreroll(LONGLONG* pllPreroll) {
  if (!pllPreroll) return E_POINTER;
  *pllPreroll = 0;
  return S_OK;
}
