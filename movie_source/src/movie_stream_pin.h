#pragma once
// What the movie source filter's output pins share: a streaming thread that fills samples, time
// stamps, seeking in media time and in frames, and the track's format codes.
//
// Each pin reads its own copy of the movie, so that pins decode on their own threads without
// sharing a decoder or a read position. Filling, seeking and quality catch-up meet under the
// pin's streaming lock, which a fill holds only while it fills: a seek waits for the sample being
// filled, never for a delivery, and restarts the thread with no lock held.
#include <atomic>
#include <cstdint>

#include "dshow/dshow.h"
#include "movie_source/movie_source.h"
#include "quicktime/quicktime.h"

class MovieSourceFilter;

// Where a filled sample stands: its times from the start of streaming (100-ns units) and its
// length in bytes.
struct SampleSpan {
  REFERENCE_TIME start = 0;
  REFERENCE_TIME stop = 0;
  LONG length = 0;
};

class MovieStreamPin : public CSourceStream, public IMediaSeeking, public IMovieCodecInfo {
 public:
  // Takes the movie, which the pin disposes of; finds its track, the trackIndex-th of trackType.
  MovieStreamPin(HRESULT* phr, MovieSourceFilter* filter, LPCWSTR name, Movie movie, int trackIndex, OSType trackType,
                 const GUID& majorType, const GUID& subtype, const GUID& formatType, OSType formatCode,
                 OSType secondFormatCode);
  ~MovieStreamPin() override;

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  // IMovieCodecInfo
  STDMETHODIMP GetFormatCode(DWORD* code) override;
  STDMETHODIMP GetVideoFormatCode(DWORD* code) override;

  // IMediaSeeking
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
  // Converts from the source format to the target format (either NULL: the current one).
  STDMETHODIMP ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat, LONGLONG Source,
                                 const GUID* pSourceFormat) override;
  STDMETHODIMP SetPositions(LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop, DWORD dwStopFlags) override;
  // The current position and the stop position.
  STDMETHODIMP GetPositions(LONGLONG* pCurrent, LONGLONG* pStop) override;
  STDMETHODIMP GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest) override;
  STDMETHODIMP SetRate(double dRate) override;
  STDMETHODIMP GetRate(double* pdRate) override;
  STDMETHODIMP GetPreroll(LONGLONG* pllPreroll) override;

  // Quality: material is skipped when samples are late and repeated when they are early.
  STDMETHODIMP Notify(IBaseFilter* pSender, Quality q) override;

 protected:
  // Frames (samples of the media) per second as a fraction; set by the derived constructor.
  void SetFrameRate(int64_t numerator, int64_t denominator);
  int64_t RateNumerator() const { return rateNumerator_; }
  int64_t RateDenominator() const { return rateDenominator_; }
  double FrameRate() const;
  // The duration in 100-ns units.
  REFERENCE_TIME Duration() const;

  // What derived pins supply. All but BuildMediaType run under the streaming lock.
  virtual HRESULT BuildMediaType(CMediaType* pmt) = 0;
  virtual HRESULT PrepareStreaming() = 0;
  // Streaming starts (again) at start_: the pin's clock goes back to it.
  virtual void Restart() = 0;
  virtual bool AtEnd() = 0;
  virtual HRESULT FillSample(BYTE* buffer, LONG size, SampleSpan* span) = 0;
  // The start of the sample shown at t (100-ns units).
  virtual REFERENCE_TIME SampleStartAt(REFERENCE_TIME t) = 0;
  // Where the stream stands (100-ns units).
  virtual REFERENCE_TIME Position() = 0;
  // Moves the stream by t (100-ns units): forward skips material, backward repeats it.
  virtual void SkipMaterial(REFERENCE_TIME t) = 0;

  Movie movie_ = nullptr;
  Track track_ = nullptr;
  Media media_ = nullptr;
  TimeScale timeScale_ = 0;  // units per second of duration_
  TimeValue duration_ = 0;
  REFERENCE_TIME start_ = 0;  // positions in 100-ns units
  REFERENCE_TIME stop_ = 0;
  CCritSec streamLock_;

 private:
  HRESULT FillBuffer(IMediaSample* pSample) override;
  HRESULT OnThreadCreate() override;
  HRESULT OnThreadStartPlay() override;
  HRESULT GetMediaType(CMediaType* pmt) override;

  // A value of the current time format in 100-ns units, and back.
  REFERENCE_TIME FromFormat(LONGLONG value, const GUID& format) const;
  LONGLONG ToFormat(REFERENCE_TIME t, const GUID& format) const;
  GUID CurrentFormat();
  HRESULT ApplyStart(REFERENCE_TIME start);
  HRESULT ApplyStop(REFERENCE_TIME stop);
  void RestartStreaming();

  int64_t rateNumerator_ = 0;
  int64_t rateDenominator_ = 1;
  std::atomic<double> rate_{1.0};  // set by the graph's thread, read by the streaming thread
  GUID timeFormat_ = TIME_FORMAT_MEDIA_TIME;
  OSType formatCode_;
  OSType secondFormatCode_;
  bool discontinuity_ = false;
  CCritSec seekingLock_;
};

// a * b / c rounded down, without overflow on the way.
int64_t MulDivDown(int64_t a, int64_t b, int64_t c);
