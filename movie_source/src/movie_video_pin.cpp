#include "movie_video_pin.h"

#include <algorithm>
#include <cstring>

#include "win32/windows.h"

namespace {

constexpr Fixed kForward = 0x10000;
constexpr Fixed kBackward = -0x10000;

OSType PixelFormatOf(int depth) {
  return depth == 16 ? k16LE555PixelFormat : depth == 24 ? k24BGRPixelFormat : k32BGRAPixelFormat;
}

BITMAPINFOHEADER PictureHeader(int width, int height, int depth) {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof h;
  h.biWidth = width;
  h.biHeight = -height;  // top-down rows
  h.biPlanes = 1;
  h.biBitCount = WORD(depth);
  h.biCompression = BI_RGB;
  return h;
}

}  // namespace

MovieVideoPin::Rate MovieVideoPin::FrameRateOf(Media media) {
  const int64_t frames = GetMediaSampleCount(media), scale = GetMediaTimeScale(media), duration = GetMediaDuration(media);
  if (frames <= 0 || scale <= 0 || duration <= 0) return {};
  const double exact = double(frames) * double(scale) / double(duration);
  if (const int16_t rounded = FixRound(X2Fix(exact)); rounded > 0) return {rounded, 1};
  return {frames * scale, duration};
}

MovieVideoPin::MovieVideoPin(HRESULT* phr, MovieSourceFilter* filter, LPCWSTR name, Movie movie, int trackIndex,
                             int height, int width, int depth, OSType formatCode)
    : MovieStreamPin(phr, filter, name, movie, trackIndex, VideoMediaType, MEDIATYPE_Video, MEDIASUBTYPE_RGB32,
                     FORMAT_VideoInfo, formatCode, formatCode),
      width_(width),
      height_(height),
      depth_(depth) {
  timeScale_ = GetMovieTimeScale(movie);
  duration_ = GetMovieDuration(movie);
  stop_ = Duration();
  if (!media_) return;
  const Rate rate = FrameRateOf(media_);
  SetFrameRate(rate.numerator, rate.denominator);
  frameCount_ = GetMediaSampleCount(media_);
  if ((rate.numerator <= 0 || width_ <= 0 || height_ <= 0) && phr) *phr = E_FAIL;
}

MovieVideoPin::~MovieVideoPin() {
  SetMovieGWorld(movie_, nullptr, nullptr);
  DisposeGWorld(world_);
  if (dc_) {
    if (oldBitmap_) SelectObject(dc_, oldBitmap_);
    DeleteDC(dc_);
  }
  if (bitmap_) DeleteObject(bitmap_);
}

STDMETHODIMP MovieVideoPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IMovieVideoInfo) return GetInterface(static_cast<IMovieVideoInfo*>(this), ppv);
  return MovieStreamPin::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP MovieVideoPin::GetFrameRate(LONG* rate) {
  if (!rate) return E_POINTER;
  *rate = LONG(FrameRate());
  return S_OK;
}

DWORD MovieVideoPin::ImageSize() const {
  return WIDTHBYTES(DWORD(width_) * DWORD(depth_)) * DWORD(height_);
}

HRESULT MovieVideoPin::BuildMediaType(CMediaType* pmt) {
  auto* info = reinterpret_cast<VIDEOINFO*>(pmt->AllocFormatBuffer(sizeof(VIDEOINFO)));
  if (!info) return E_OUTOFMEMORY;
  std::memset(info, 0, sizeof *info);
  info->AvgTimePerFrame = REFERENCE_TIME(UNITS / FrameRate());
  info->bmiHeader = PictureHeader(width_, height_, depth_);
  info->bmiHeader.biSizeImage = ImageSize();
  pmt->SetType(&MEDIATYPE_Video);
  pmt->SetFormatType(&FORMAT_VideoInfo);
  pmt->SetTemporalCompression(FALSE);
  const GUID subtype = GetBitmapSubtype(&info->bmiHeader);
  pmt->SetSubtype(&subtype);
  pmt->SetSampleSize(ImageSize());
  return S_OK;
}

HRESULT MovieVideoPin::DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) {
  if (!pAlloc || !pRequest) return E_POINTER;
  CAutoLock lock(m_pFilter->pStateLock());
  pRequest->cBuffers = 3;
  pRequest->cbBuffer = LONG(ImageSize());
  ALLOCATOR_PROPERTIES actual{};
  const HRESULT hr = pAlloc->SetProperties(pRequest, &actual);
  if (FAILED(hr)) return hr;
  return actual.cbBuffer < pRequest->cbBuffer ? E_FAIL : S_OK;
}

HRESULT MovieVideoPin::PrepareStreaming() {
  if (world_) return S_OK;
  BITMAPINFO info{};
  info.bmiHeader = PictureHeader(width_, height_, depth_);
  HDC screen = GetDC(nullptr);
  dc_ = CreateCompatibleDC(screen);
  if (dc_) SetMapMode(dc_, GetMapMode(screen));
  ReleaseDC(nullptr, screen);
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dc_ || !bitmap_) return E_FAIL;
  bits_ = static_cast<BYTE*>(bits);
  oldBitmap_ = SelectObject(dc_, bitmap_);
  if (NewGWorldFromHBITMAP(&world_, nullptr, nullptr, 0, dc_, bitmap_) != noErr) return E_FAIL;
  SetMovieGWorld(movie_, world_, GetGWorldDevice(world_));
  return S_OK;
}

// ---- The frame clock ----------------------------------------------------------------------------

REFERENCE_TIME MovieVideoPin::FrameStart(int64_t n) const {
  return MulDivDown(n, UNITS * RateDenominator(), RateNumerator());
}

int64_t MovieVideoPin::FrameAt(REFERENCE_TIME t) const {
  // The last frame n with FrameStart(n) <= t, that is n * UNITS * den < (t + 1) * num.
  if (t < 0) return 0;
  const __int128 reach = __int128(t + 1) * RateNumerator() - 1;
  return int64_t(reach / (__int128(UNITS) * RateDenominator()));
}

void MovieVideoPin::SeekFrame(int64_t n) {
  n = std::clamp<int64_t>(n, 0, frameCount_);
  nextFrame_ = n;
  frameTime_ = GetMediaDisplayStartTime(media_);
  framesLeft_ = n < frameCount_;
  for (int64_t i = 0; i < n && framesLeft_; ++i) {
    TimeValue64 next = -1;
    GetMediaNextInterestingDisplayTime(media_, nextTimeMediaSample, frameTime_, kForward, &next, nullptr);
    framesLeft_ = GetMoviesError() == noErr && next > frameTime_;
    frameTime_ = next;
  }
}

void MovieVideoPin::Restart() {
  firstFrame_ = FrameAt(start_);
  SeekFrame(firstFrame_);
}

REFERENCE_TIME MovieVideoPin::SampleStartAt(REFERENCE_TIME t) { return FrameStart(FrameAt(t)); }

REFERENCE_TIME MovieVideoPin::Position() { return FrameStart(nextFrame_); }

bool MovieVideoPin::AtEnd() { return !framesLeft_ || nextFrame_ >= frameCount_ || Position() >= stop_; }

HRESULT MovieVideoPin::FillSample(BYTE* buffer, LONG size, SampleSpan* span) {
  if (!movie_ || !media_ || !bits_) return S_FALSE;
  const TimeRecord when{{int32_t(frameTime_ >> 32), uint32_t(frameTime_)}, GetMediaTimeScale(media_), nullptr};
  SetMovieTime(movie_, &when);
  const size_t image = ImageSize();
  size_t filled = 0;
  if (size_t(size) >= image) {
    // A sample that holds the whole picture is drawn into straight, through a graphics world
    // over its memory: copying each picture from the DIB section would cost as much as
    // converting it.
    GWorldPtr sampleWorld = nullptr;
    const Rect bounds{0, 0, int16_t(height_), int16_t(width_)};
    if (NewGWorldFromPtr(&sampleWorld, PixelFormatOf(depth_), &bounds, nullptr, nullptr, 0,
                         reinterpret_cast<Ptr>(buffer), int32_t(WIDTHBYTES(DWORD(width_) * DWORD(depth_)))) == noErr) {
      SetMovieGWorld(movie_, sampleWorld, GetGWorldDevice(sampleWorld));
      MoviesTask(movie_, 0);
      const bool drawn = GetMoviesError() == noErr;
      SetMovieGWorld(movie_, world_, GetGWorldDevice(world_));
      DisposeGWorld(sampleWorld);
      filled = drawn ? image : 0;
    }
  } else {
    // Otherwise into the DIB section, and as much of it as the sample holds.
    MoviesTask(movie_, 0);
    filled = std::min(size_t(size), image);
    std::memcpy(buffer, bits_, filled);
  }
  span->start = FrameStart(nextFrame_) - FrameStart(firstFrame_);
  span->stop = FrameStart(nextFrame_ + 1) - FrameStart(firstFrame_);
  span->length = LONG(std::min(size_t(size), image));
  if (filled < size_t(span->length)) std::memset(buffer + filled, 0, size_t(span->length) - filled);
  ++nextFrame_;
  TimeValue64 next = -1;
  GetMediaNextInterestingDisplayTime(media_, nextTimeMediaSample, frameTime_, kForward, &next, nullptr);
  framesLeft_ = GetMoviesError() == noErr && next > frameTime_;
  frameTime_ = next;
  return S_OK;
}

void MovieVideoPin::SkipMaterial(REFERENCE_TIME t) {
  const int64_t frames = MulDivDown(t < 0 ? -t : t, RateNumerator(), UNITS * RateDenominator());
  if (frames == 0) return;
  if (t > 0) {
    SeekFrame(nextFrame_ + frames);
    return;
  }
  // Back towards where streaming started, one frame shown at a time.
  const int64_t target = std::max(firstFrame_, nextFrame_ - frames);
  if (!framesLeft_) {
    SeekFrame(target);
    return;
  }
  for (; nextFrame_ > target; --nextFrame_) {
    TimeValue64 previous = -1;
    GetMediaNextInterestingDisplayTime(media_, nextTimeMediaSample, frameTime_, kBackward, &previous, nullptr);
    if (GetMoviesError() != noErr || previous >= frameTime_) break;
    frameTime_ = previous;
  }
}
