#pragma once
// An output pin of decoded RGB frames of one video track, drawn by the movie runtime into a DIB
// section and copied into the samples, top-down.
//
// Frames go out at the track's frame rate rounded to a whole number (unless that is 0): frame n
// is stamped n / rate exactly, and every frame of the track goes out once, so a variable frame
// rate comes out even and the stream ends when the frames do.
#include "movie_stream_pin.h"

class MovieVideoPin : public MovieStreamPin, public IMovieVideoInfo {
 public:
  struct Rate {
    int64_t numerator = 0;  // frames per second, numerator / denominator
    int64_t denominator = 1;
  };
  // The frame rate of a video media (0 without frames): frames x time scale / duration, rounded
  // to the nearest whole number in 16.16 fixed point unless that gives 0.
  static Rate FrameRateOf(Media media);

  MovieVideoPin(HRESULT* phr, MovieSourceFilter* filter, LPCWSTR name, Movie movie, int trackIndex, int height,
                int width, int depth, OSType formatCode);
  ~MovieVideoPin() override;

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  // IMovieVideoInfo
  STDMETHODIMP GetFormatCode(DWORD* code) override { return MovieStreamPin::GetFormatCode(code); }
  STDMETHODIMP GetVideoFormatCode(DWORD* code) override { return MovieStreamPin::GetVideoFormatCode(code); }
  STDMETHODIMP GetFrameRate(LONG* rate) override;

 protected:
  // Three buffers of one picture each.
  HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override;
  HRESULT BuildMediaType(CMediaType* pmt) override;
  HRESULT PrepareStreaming() override;
  void Restart() override;
  bool AtEnd() override;
  HRESULT FillSample(BYTE* buffer, LONG size, SampleSpan* span) override;
  REFERENCE_TIME SampleStartAt(REFERENCE_TIME t) override;
  REFERENCE_TIME Position() override;
  void SkipMaterial(REFERENCE_TIME t) override;

 private:
  // When frame n starts, and the frame shown at t, on the pin's own clock (100-ns units).
  REFERENCE_TIME FrameStart(int64_t n) const;
  int64_t FrameAt(REFERENCE_TIME t) const;
  // Moves to frame n, counting the media's frames in the order shown.
  void SeekFrame(int64_t n);
  DWORD ImageSize() const;

  int width_;
  int height_;
  int depth_;
  int64_t frameCount_ = 0;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  BYTE* bits_ = nullptr;
  GWorldPtr world_ = nullptr;
  int64_t firstFrame_ = 0;    // where streaming started
  int64_t nextFrame_ = 0;     // the frame the next sample shows
  TimeValue64 frameTime_ = 0;  // when the media shows it
  bool framesLeft_ = false;
};
