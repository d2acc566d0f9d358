#include "video_renderer.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>

#include "process_clock.h"

namespace dshow::renderers {
namespace {

// Longest single wait for a frame's time: the clock may be driven by sound rather than by
// real time, so it is read again this often.
constexpr auto kClockPoll = std::chrono::milliseconds(10);

// Buffers an allocator needs for the renderer to keep a sample: the one kept, the one being
// filled and one to spare.
constexpr LONG kSampleBuffers = 3;

struct RgbKind {
  const GUID* subtype;
  WORD bits;
};
constexpr RgbKind kRgbKinds[] = {
    {&MEDIASUBTYPE_RGB32, 32}, {&MEDIASUBTYPE_RGB24, 24}, {&MEDIASUBTYPE_RGB565, 16}, {&MEDIASUBTYPE_RGB555, 16}};

}  // namespace

VideoRenderer::InputPin::InputPin(VideoRenderer* filter, HRESULT* phr)
    : CBaseInputPin("Video Renderer input", filter, &filter->lock_, phr, u"Input"), filter_(filter) {}

HRESULT VideoRenderer::InputPin::CheckMediaType(const CMediaType* mt) {
  Format format;
  return ReadFormat(*mt, &format) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT VideoRenderer::InputPin::SetMediaType(const CMediaType* mt) {
  Format format;
  if (!ReadFormat(*mt, &format)) return VFW_E_TYPE_NOT_ACCEPTED;
  HRESULT hr = CBaseInputPin::SetMediaType(mt);
  if (FAILED(hr)) return hr;
  const bool sizeChanged = format.header.biWidth != filter_->format_.header.biWidth ||
                           format.header.biHeight != filter_->format_.header.biHeight;
  {
    std::lock_guard<std::mutex> hold(filter_->frameLock_);
    filter_->format_ = format;
    filter_->sample_ = nullptr;
    filter_->frame_.clear();
    filter_->haveFrame_ = false;
    filter_->shownIsNewest_ = false;
  }
  if (sizeChanged) {
    filter_->defaultSource_ = true;
    // A window nobody has placed takes the size of the video.
    if (!filter_->placed_ && filter_->OnWindowThread()) {
      RECT r{0, 0, format.header.biWidth, format.header.biHeight};
      AdjustWindowRectEx(&r, GetWindowLongA(filter_->hwnd_, GWL_STYLE), FALSE,
                         GetWindowLongA(filter_->hwnd_, GWL_EXSTYLE));
      SetWindowPos(filter_->hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  return S_OK;
}

STDMETHODIMP VideoRenderer::InputPin::Receive(IMediaSample* sample) {
  HRESULT hr = CBaseInputPin::Receive(sample);
  if (hr != S_OK) return hr;
  return filter_->DeliverFrame(sample);
}

STDMETHODIMP VideoRenderer::InputPin::EndOfStream() {
  if (HRESULT hr = CheckStreaming(); hr != S_OK) return hr;
  filter_->ShowHeldBack();
  filter_->InputEnded();
  return S_OK;
}

STDMETHODIMP VideoRenderer::InputPin::BeginFlush() {
  {
    std::lock_guard<std::mutex> hold(filter_->streamLock_);
    filter_->flushing_ = true;
  }
  {
    std::lock_guard<std::mutex> hold(filter_->frameLock_);
    filter_->LetGoOfSample();
  }
  filter_->streamWake_.notify_all();
  return CBaseInputPin::BeginFlush();
}

STDMETHODIMP VideoRenderer::InputPin::EndFlush() {
  {
    std::lock_guard<std::mutex> hold(filter_->streamLock_);
    filter_->flushing_ = false;
    filter_->shownWhilePaused_ = false;
  }
  filter_->InputRestarted();
  return CBaseInputPin::EndFlush();
}

STDMETHODIMP VideoRenderer::InputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* pProps) {
  if (!pProps) return E_POINTER;
  *pProps = ALLOCATOR_PROPERTIES{};
  pProps->cBuffers = kSampleBuffers;
  return S_OK;
}

// ---- Filter -------------------------------------------------------------------------------------

CUnknown* VideoRenderer::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
  return new VideoRenderer(outer, phr, CLSID_VideoRenderer);
}

CUnknown* VideoRenderer::CreateMixingInstance(LPUNKNOWN outer, HRESULT* phr) {
  return new VideoRenderer(outer, phr, CLSID_VideoMixingRenderer9);
}

CBasePin* VideoRenderer::GetPin(int n) { return n == 0 ? input_.get() : nullptr; }

STDMETHODIMP VideoRenderer::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IVideoWindow) return GetInterface(static_cast<IVideoWindow*>(this), ppv);
  if (riid == IID_IBasicVideo || riid == IID_IBasicVideo2)
    return GetInterface(static_cast<IBasicVideo2*>(this), ppv);
  if (riid == IID_IQualProp) return GetInterface(static_cast<IQualProp*>(this), ppv);
  return SinkFilter::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP VideoRenderer::GetTypeInfoCount(UINT* pctinfo) {
  if (!pctinfo) return E_POINTER;
  *pctinfo = 0;
  return S_OK;
}

STDMETHODIMP VideoRenderer::Pause() {
  const bool starting = IsStopped();
  if (starting) ResetForStart();
  {
    std::lock_guard<std::mutex> hold(frameLock_);
    keepSamples_ = true;
  }
  {
    std::lock_guard<std::mutex> hold(streamLock_);
    // From running, the frame on screen is the paused picture: the one waiting for its time is
    // not shown early.
    streamState_ = State_Paused;
  }
  streamWake_.notify_all();
  HRESULT hr = SinkFilter::Pause();
  if (starting && input_->IsConnected()) ShowOnStart();
  return hr;
}

STDMETHODIMP VideoRenderer::Run(REFERENCE_TIME tStart) {
  const bool starting = IsStopped();
  if (starting) ResetForStart();
  HRESULT hr = SinkFilter::Run(tStart);
  if (FAILED(hr)) return hr;
  {
    std::lock_guard<std::mutex> hold(frameLock_);
    keepSamples_ = true;
  }
  {
    std::lock_guard<std::mutex> hold(streamLock_);
    streamState_ = State_Running;
    runStart_ = tStart;
    runClock_ = m_pClock;
  }
  streamWake_.notify_all();
  if (starting && input_->IsConnected()) ShowOnStart();
  return hr;
}

STDMETHODIMP VideoRenderer::Stop() {
  {
    // First free a streaming thread waiting for its frame's time.
    std::lock_guard<std::mutex> hold(streamLock_);
    streamState_ = State_Stopped;
    shownWhilePaused_ = false;
    runClock_ = nullptr;
  }
  streamWake_.notify_all();
  {
    // A stopped filter holds no buffers: its allocator may be freed or changed.
    std::lock_guard<std::mutex> hold(frameLock_);
    keepSamples_ = false;
    LetGoOfSample();
  }
  return SinkFilter::Stop();
}

bool VideoRenderer::ReadFormat(const CMediaType& mt, Format* out) {
  if (mt.majortype != MEDIATYPE_Video || mt.formattype != FORMAT_VideoInfo) return false;
  if (!mt.pbFormat || mt.cbFormat < sizeof(VIDEOINFOHEADER)) return false;
  const auto* vih = reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat);
  const BITMAPINFOHEADER& bi = vih->bmiHeader;
  const RgbKind* kind = nullptr;
  for (const RgbKind& k : kRgbKinds)
    if (mt.subtype == *k.subtype) kind = &k;
  if (!kind || bi.biBitCount != kind->bits) return false;
  // Bottom-up rows only, of a sensible size.
  if (bi.biWidth <= 0 || bi.biHeight <= 0 || bi.biWidth > 16384 || bi.biHeight > 16384) return false;
  Format f;
  f.header = bi;
  f.header.biSize = sizeof(BITMAPINFOHEADER);
  f.header.biSizeImage = DIBSIZE(bi);
  f.header.biClrUsed = 0;
  f.header.biClrImportant = 0;
  if (mt.subtype == MEDIASUBTYPE_RGB565) {
    f.bitfields = true;
    f.header.biCompression = BI_BITFIELDS;
    f.masks[0] = 0xF800;
    f.masks[1] = 0x07E0;
    f.masks[2] = 0x001F;
  } else if (bi.biCompression != BI_RGB) {
    return false;
  }
  f.frameTime = vih->AvgTimePerFrame;
  f.bitRate = vih->dwBitRate;
  f.bitErrorRate = vih->dwBitErrorRate;
  *out = f;
  return true;
}

HRESULT VideoRenderer::DeliverFrame(IMediaSample* sample) {
  BYTE* data = nullptr;
  if (FAILED(sample->GetPointer(&data)) || !data) return E_POINTER;
  // A short sample cannot be a whole frame: skip it rather than read past its end.
  if (sample->GetActualDataLength() < LONG(format_.header.biSizeImage)) return S_OK;
  REFERENCE_TIME start = 0, stop = 0;
  const bool hasTime = SUCCEEDED(sample->GetTime(&start, &stop));
  if (!WaitUntilDue(sample, hasTime, start)) return S_OK;
  bool clocked = false;
  {
    std::lock_guard<std::mutex> hold(streamLock_);
    clocked = runClock_ && hasTime;
  }
  // A clock paces frames as they are to be seen; without one they may come far faster.
  Present(sample, data, clocked);
  return S_OK;
}

bool VideoRenderer::WaitUntilDue(IMediaSample* sample, bool hasTime, REFERENCE_TIME start) {
  BYTE* data = nullptr;
  sample->GetPointer(&data);
  std::unique_lock<std::mutex> lock(streamLock_);
  bool presented = false;
  for (;;) {
    if (streamState_ == State_Stopped || flushing_) return false;
    if (streamState_ == State_Paused) {
      if (!shownWhilePaused_) {
        shownWhilePaused_ = true;
        presented = true;
        lock.unlock();
        Present(sample, data, true);
        lock.lock();
        continue;
      }
      streamWake_.wait(lock);
      continue;
    }
    // The frame shown while paused is on screen already: presented again it would count twice.
    if (presented) return false;
    REFERENCE_TIME now = 0;
    const REFERENCE_TIME due = runStart_ + start;
    if (!runClock_ || !hasTime || FAILED(runClock_->GetTime(&now)) || now >= due) {
      // Paused from now on, this frame stays on screen.
      shownWhilePaused_ = true;
      return true;
    }
    const auto left = std::chrono::nanoseconds((due - now) * 100);
    streamWake_.wait_for(lock, std::min<std::chrono::nanoseconds>(left, kClockPoll));
  }
}

void VideoRenderer::Present(IMediaSample* sample, const BYTE* data, bool promptly) {
  ALLOCATOR_PROPERTIES buffers{};
  IMemAllocator* allocator = input_->PeekAllocator();
  const bool spare =
      allocator && SUCCEEDED(allocator->GetProperties(&buffers)) && buffers.cBuffers >= kSampleBuffers;
  const REFERENCE_TIME now = ProcessClockNow();
  Sight sight;
  bool keep = false;
  bool due = false;
  {
    std::lock_guard<std::mutex> hold(frameLock_);
    sight = sight_;
    keep = spare && keepSamples_;
    due = promptly || now - lastShown_ >= kShowInterval;
    if (due) lastShown_ = now;
    lastArrival_ = now;
  }
  // The copy and the scaling happen outside frameLock_, so the window never waits for them.
  if (!keep) incoming_.assign(data, data + format_.header.biSizeImage);
  const Format::Dib dib = format_.ToDib();
  const bool scaled =
      due && sight.scaled && nextPicture_->Draw(data, dib.Info(), sight.source, sight.width, sight.height);
  ComPtr<IMediaSample> previous;  // handed back outside the lock
  bool post = false;
  bool arm = false;
  {
    std::lock_guard<std::mutex> hold(frameLock_);
    previous = std::move(sample_);
    if (keep && keepSamples_) {
      sample_ = ComPtr<IMediaSample>(sample);
    } else if (keep) {  // stopped meanwhile
      frame_.assign(data, data + format_.header.biSizeImage);
    } else {
      frame_.swap(incoming_);
    }
    // The frame waiting for the window, or held back, is never seen.
    if (haveFrame_ && (paintPosted_ || heldBack_)) ++framesDropped_;
    haveFrame_ = true;
    if (due) {
      if (scaled) shown_.swap(nextPicture_);
      shownIsNewest_ = scaled;
      heldBack_ = false;
      post = !paintPosted_;
      paintPosted_ = true;
    } else {
      // A window told of a frame already draws this newest one in its place.
      shownIsNewest_ = false;
      heldBack_ = sight.seen && !paintPosted_;
      arm = heldBack_ && !timerArmed_;
      timerArmed_ = timerArmed_ || arm;
    }
  }
  if (post) PostMessageA(hwnd_, kFrameMessage, 0, 0);
  if (arm) PostMessageA(hwnd_, kHeldBackMessage, 0, 0);
}

void VideoRenderer::ShowHeldBack() {
  bool post = false;
  {
    std::lock_guard<std::mutex> hold(frameLock_);
    if (!heldBack_) return;
    heldBack_ = false;
    lastShown_ = ProcessClockNow();
    post = !paintPosted_;
    paintPosted_ = true;
  }
  if (post) PostMessageA(hwnd_, kFrameMessage, 0, 0);
}

const BYTE* VideoRenderer::FrameBits() const {
  if (!sample_) return frame_.data();
  BYTE* bits = nullptr;
  sample_->GetPointer(&bits);
  return bits;
}

void VideoRenderer::LetGoOfSample() {
  if (!sample_) return;
  const BYTE* bits = FrameBits();
  frame_.assign(bits, bits + format_.header.biSizeImage);
  sample_ = nullptr;
}

void VideoRenderer::ResetForStart() {
  std::lock_guard<std::mutex> hold(frameLock_);
  framesDrawn_ = 0;
  framesDropped_ = 0;
  heldBack_ = false;  // a frame held back in the last run is not this run's to count
  lastShown_ = kNeverShown;  // the first frame is drawn as it comes
}

STDMETHODIMP VideoRenderer::get_FramesDroppedInRenderer(int* pcFrames) {
  if (!pcFrames) return E_POINTER;
  std::lock_guard<std::mutex> hold(frameLock_);
  *pcFrames = framesDropped_;
  return S_OK;
}

STDMETHODIMP VideoRenderer::get_FramesDrawn(int* pcFramesDrawn) {
  if (!pcFramesDrawn) return E_POINTER;
  std::lock_guard<std::mutex> hold(frameLock_);
  *pcFramesDrawn = framesDrawn_;
  return S_OK;
}

HRESULT VideoRenderer::CheckConnected() const { return input_->IsConnected() ? S_OK : VFW_E_NOT_CONNECTED; }

// ---- IBasicVideo2 -------------------------------------------------------------------------------

STDMETHODIMP VideoRenderer::get_AvgTimePerFrame(REFTIME* p) {
  if (!p) return E_POINTER;
  if (HRESULT hr = CheckConnected(); FAILED(hr)) return hr;
  *p = double(format_.frameTime) / UNITS;
  return S_OK;
}

STDMETHODIMP VideoRenderer::get_BitRate(LONG* p) {
  if (!p) return E_POINTER;
  if (HRESULT hr = CheckConnected(); FAILED(hr)) return hr;
  *p = LONG(format_.bitRate);
  return S_OK;
}

STDMETHODIMP VideoRenderer::get_BitErrorRate(LONG* p) {
  if (!p) return E_POINTER;
  if (HRESULT hr = CheckConnected(); FAILED(hr)) return hr;
  *p = LONG(format_.bitErrorRate);
  return S_OK;
}

STDMETHODIMP VideoRenderer::GetVideoSize(LONG* pWidth, LONG* pHeight) {
  if (!pWidth || !pHeight) return E_POINTER;
  if (HRESULT hr = CheckConnected(); FAILED(hr)) return hr;
  *pWidth = format_.header.biWidth;
  *pHeight = format_.header.biHeight;
  return S_OK;
}

STDMETHODIMP VideoRenderer::get_VideoWidth(LONG* p) {
  LONG h = 0;
  return GetVideoSize(p, &h);
}

STDMETHODIMP VideoRenderer::get_VideoHeight(LONG* p) {
  LONG w = 0;
  return GetVideoSize(&w, p);
}

STDMETHODIMP VideoRenderer::SetSourcePosition(LONG Left, LONG Top, LONG Width, LONG Height) {
  if (HRESULT hr = CheckConnected(); FAILED(hr)) return hr;
  if (Left < 0 || Top < 0 || Width <= 0 || Height <= 0 || Width > format_.header.biWidth - Left ||
      Height > format_.header.biHeight - Top)
    return E_INVALIDARG;
  source_ = {Left, Top, Left + Width, Top + Height};
  defaultSource_ = false;
  InvalidateRect(hwnd_, nullptr, FALSE);
  return S_OK;
}

STDMETHODIMP VideoRenderer::GetSourcePosition(LONG* pLeft, LONG* pTop, LONG* pWidth, LONG* pHeight) {
  if (!pLeft || !pTop || !pWidth || !pHeight) return E_POINTER;
  if (HRESULT hr = CheckConnected(); FAILED(hr)) return hr;
  RECT r = defaultSource_ ? RECT{0, 0, format_.header.biWidth, format_.header.biHeight} : source_;
  *pLeft = r.left;
  *pTop = r.top;
  *pWidth = r.right - r.left;
  *pHeight = r.bottom - r.top;
  return S_OK;
}

STDMETHODIMP VideoRenderer::SetDefaultSourcePosition() {
  defaultSource_ = true;
  InvalidateRect(hwnd_, nullptr, FALSE);
  return S_OK;
}

STDMETHODIMP VideoRenderer::IsUsingDefaultSource() { return defaultSource_ ? S_OK : S_FALSE; }

HRESULT VideoRenderer::GetRectPart(RectGetter get, int part, LONG* value) {
  if (!value) return E_POINTER;
  LONG parts[4];
  const HRESULT hr = (this->*get)(&parts[0], &parts[1], &parts[2], &parts[3]);
  if (SUCCEEDED(hr)) *value = parts[part];
  return hr;
}

HRESULT VideoRenderer::PutRectPart(RectGetter get, RectSetter set, int part, LONG value) {
  LONG parts[4];
  if (HRESULT hr = (this->*get)(&parts[0], &parts[1], &parts[2], &parts[3]); FAILED(hr)) return hr;
  parts[part] = value;
  return (this->*set)(parts[0], parts[1], parts[2], parts[3]);
}

STDMETHODIMP VideoRenderer::put_SourceLeft(LONG v) { return PutRectPart(&VideoRenderer::GetSourcePosition, &VideoRenderer::SetSourcePosition, 0, v); }
STDMETHODIMP VideoRenderer::get_SourceLeft(LONG* p) { return GetRectPart(&VideoRenderer::GetSourcePosition, 0, p); }
STDMETHODIMP VideoRenderer::put_SourceTop(LONG v) { return PutRectPart(&VideoRenderer::GetSourcePosition, &VideoRenderer::SetSourcePosition, 1, v); }
STDMETHODIMP VideoRenderer::get_SourceTop(LONG* p) { return GetRectPart(&VideoRenderer::GetSourcePosition, 1, p); }
STDMETHODIMP VideoRenderer::put_SourceWidth(LONG v) { return PutRectPart(&VideoRenderer::GetSourcePosition, &VideoRenderer::SetSourcePosition, 2, v); }
STDMETHODIMP VideoRenderer::get_SourceWidth(LONG* p) { return GetRectPart(&VideoRenderer::GetSourcePosition, 2, p); }
STDMETHODIMP VideoRenderer::put_SourceHeight(LONG v) { return PutRectPart(&VideoRenderer::GetSourcePosition, &VideoRenderer::SetSourcePosition, 3, v); }
STDMETHODIMP VideoRenderer::get_SourceHeight(LONG* p) { return GetRectPart(&VideoRenderer::GetSourcePosition, 3, p); }

STDMETHODIMP VideoRenderer::SetDestinationPosition(LONG Left, LONG Top, LONG Width, LONG Height) {
  if (Width <= 0 || Height <= 0 || int64_t(Left) + Width > INT32_MAX || int64_t(Top) + Height > INT32_MAX)
    return E_INVALIDARG;
  dest_ = {Left, Top, Left + Width, Top + Height};
  defaultDest_ = false;
  InvalidateRect(hwnd_, nullptr, FALSE);
  return S_OK;
}

STDMETHODIMP VideoRenderer::GetDestinationPosition(LONG* pLeft, LONG* pTop, LONG* pWidth, LONG* pHeight) {
  if (!pLeft || !pTop || !pWidth || !pHeight) return E_POINTER;
  RECT r = dest_;
  if (defaultDest_) GetClientRect(hwnd_, &r);
  *pLeft = r.left;
  *pTop = r.top;
  *pWidth = r.right - r.left;
  *pHeight = r.bottom - r.top;
  return S_OK;
}

STDMETHODIMP VideoRenderer::SetDefaultDestinationPosition() {
  defaultDest_ = true;
  InvalidateRect(hwnd_, nullptr, FALSE);
  return S_OK;
}

STDMETHODIMP VideoRenderer::IsUsingDefaultDestination() { return defaultDest_ ? S_OK : S_FALSE; }

STDMETHODIMP VideoRenderer::put_DestinationLeft(LONG v) { return PutRectPart(&VideoRenderer::GetDestinationPosition, &VideoRenderer::SetDestinationPosition, 0, v); }
STDMETHODIMP VideoRenderer::get_DestinationLeft(LONG* p) { return GetRectPart(&VideoRenderer::GetDestinationPosition, 0, p); }
STDMETHODIMP VideoRenderer::put_DestinationTop(LONG v) { return PutRectPart(&VideoRenderer::GetDestinationPosition, &VideoRenderer::SetDestinationPosition, 1, v); }
STDMETHODIMP VideoRenderer::get_DestinationTop(LONG* p) { return GetRectPart(&VideoRenderer::GetDestinationPosition, 1, p); }
STDMETHODIMP VideoRenderer::put_DestinationWidth(LONG v) { return PutRectPart(&VideoRenderer::GetDestinationPosition, &VideoRenderer::SetDestinationPosition, 2, v); }
STDMETHODIMP VideoRenderer::get_DestinationWidth(LONG* p) { return GetRectPart(&VideoRenderer::GetDestinationPosition, 2, p); }
STDMETHODIMP VideoRenderer::put_DestinationHeight(LONG v) { return PutRectPart(&VideoRenderer::GetDestinationPosition, &VideoRenderer::SetDestinationPosition, 3, v); }
STDMETHODIMP VideoRenderer::get_DestinationHeight(LONG* p) { return GetRectPart(&VideoRenderer::GetDestinationPosition, 3, p); }

STDMETHODIMP VideoRenderer::GetVideoPaletteEntries(LONG, LONG, LONG* pRetrieved, LONG* pPalette) {
  if (!pRetrieved || !pPalette) return E_POINTER;
  if (HRESULT hr = CheckConnected(); FAILED(hr)) return hr;
  // Only true-colour types are accepted: there is never a palette to hand out.
  *pRetrieved = 0;
  return E_FAIL;
}

STDMETHODIMP VideoRenderer::GetCurrentImage(LONG* pBufferSize, LONG* pDIBImage) {
  if (!pBufferSize) return E_POINTER;
  if (HRESULT hr = CheckConnected(); FAILED(hr)) return hr;
  std::lock_guard<std::mutex> hold(frameLock_);
  if (!haveFrame_) return E_UNEXPECTED;
  const size_t masks = format_.bitfields ? sizeof format_.masks : 0;
  const size_t image = format_.header.biSizeImage;
  const size_t needed = sizeof(BITMAPINFOHEADER) + masks + image;
  if (!pDIBImage) {
    *pBufferSize = LONG(needed);
    return S_OK;
  }
  if (*pBufferSize < LONG(needed)) return E_OUTOFMEMORY;
  BYTE* out = reinterpret_cast<BYTE*>(pDIBImage);
  std::memcpy(out, &format_.header, sizeof(BITMAPINFOHEADER));
  std::memcpy(out + sizeof(BITMAPINFOHEADER), format_.masks, masks);
  std::memcpy(out + sizeof(BITMAPINFOHEADER) + masks, FrameBits(), image);
  *pBufferSize = LONG(needed);
  return S_OK;
}

STDMETHODIMP VideoRenderer::GetPreferredAspectRatio(LONG* plAspectX, LONG* plAspectY) {
  return GetVideoSize(plAspectX, plAspectY);
}

}  // namespace dshow::renderers
