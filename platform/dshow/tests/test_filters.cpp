#include "test_filters.h"

#include <chrono>
#include <cstring>

namespace dshow_test {

CMediaType VideoType(WORD bits) {
  CMediaType mt(&MEDIATYPE_Video);
  mt.SetSubtype(bits == 32 ? &MEDIASUBTYPE_RGB32 : &MEDIASUBTYPE_RGB24);
  mt.SetFormatType(&FORMAT_VideoInfo);
  auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(mt.AllocFormatBuffer(sizeof(VIDEOINFOHEADER)));
  vih->AvgTimePerFrame = kFrameTime;
  vih->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  vih->bmiHeader.biWidth = kWidth;
  vih->bmiHeader.biHeight = kHeight;
  vih->bmiHeader.biPlanes = 1;
  vih->bmiHeader.biBitCount = bits;
  vih->bmiHeader.biCompression = BI_RGB;
  vih->bmiHeader.biSizeImage = DIBSIZE(vih->bmiHeader);
  mt.SetSampleSize(vih->bmiHeader.biSizeImage);
  return mt;
}

LONG FrameNumber(IMediaSample* sample) {
  BYTE* data = nullptr;
  sample->GetPointer(&data);
  LONG n = 0;
  std::memcpy(&n, data, sizeof n);
  return n;
}

// ---- Counting source ----------------------------------------------------------------------------

CountingPin::CountingPin(CSource* filter, HRESULT* phr, LPCWSTR name, LONG frames, WORD bits)
    : CSourceStream("counting pin", phr, filter, name),
      CSourceSeeking("counting pin seeking", static_cast<IPin*>(this), phr, &shared_),
      bits_(bits) {
  if (frames >= 0) m_rtDuration = m_rtStop = frames * kFrameTime;
}

STDMETHODIMP CountingPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (riid == IID_IMediaSeeking) return CSourceSeeking::NonDelegatingQueryInterface(riid, ppv);
  return CSourceStream::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CountingPin::GetMediaType(CMediaType* pmt) {
  *pmt = VideoType(bits_);
  return S_OK;
}

HRESULT CountingPin::DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) {
  pRequest->cBuffers = 3;
  pRequest->cbBuffer = static_cast<LONG>(m_mt.GetSampleSize());
  ALLOCATOR_PROPERTIES actual{};
  HRESULT hr = pAlloc->SetProperties(pRequest, &actual);
  if (FAILED(hr)) return hr;
  return actual.cBuffers < 3 || actual.cbBuffer < pRequest->cbBuffer ? E_FAIL : S_OK;
}

HRESULT CountingPin::FillBuffer(IMediaSample* pSample) {
  if (holdFill_.exchange(false)) {
    fillHeld_.Set();
    fillReleased_.Wait();
  }
  if (fillUnderFilterLock_) {
    CAutoLock filterLock(m_pFilter->pStateLock());
    return FillLocked(pSample);
  }
  return FillLocked(pSample);
}

HRESULT CountingPin::FillLocked(IMediaSample* pSample) {
  CAutoLock lock(&shared_);
  REFERENCE_TIME position = next_ * kFrameTime;
  if (position >= m_rtStop.m_time) return S_FALSE;
  if (next_ == failAt_) return E_FAIL;
  BYTE* data = nullptr;
  pSample->GetPointer(&data);
  std::memset(data, 0, static_cast<size_t>(pSample->GetSize()));
  std::memcpy(data, &next_, sizeof next_);
  REFERENCE_TIME start = position - m_rtStart.m_time;
  REFERENCE_TIME stop = start + kFrameTime;
  pSample->SetTime(&start, &stop);
  pSample->SetSyncPoint(TRUE);
  pSample->SetDiscontinuity(discontinuity_);
  pSample->SetActualDataLength(pSample->GetSize());
  discontinuity_ = false;
  ++next_;
  return S_OK;
}

HRESULT CountingPin::OnThreadCreate() {
  ++threadsCreated_;
  return S_OK;
}

HRESULT CountingPin::OnThreadDestroy() {
  ++threadsDestroyed_;
  return S_OK;
}

HRESULT CountingPin::OnThreadStartPlay() {
  REFERENCE_TIME start, stop;
  {
    CAutoLock lock(&shared_);
    next_ = static_cast<LONG>(m_rtStart.m_time / kFrameTime);
    discontinuity_ = true;
    start = m_rtStart;
    stop = m_rtStop;
  }
  return DeliverNewSegment(start, stop, m_dRateSeeking);
}

HRESULT CountingPin::Inactive() {
  fillReleased_.Set();
  return CSourceStream::Inactive();
}

HRESULT CountingPin::ChangeStart() {
  if (CAMThread::ThreadExists()) {
    DeliverBeginFlush();
    Stop();
    DeliverEndFlush();
    Run();
  }
  return S_OK;
}

STDMETHODIMP CountingPin::IsFormatSupported(const GUID* pFormat) {
  if (!pFormat) return E_POINTER;
  if (*pFormat == TIME_FORMAT_FRAME && framesOffered_) return S_OK;
  return CSourceSeeking::IsFormatSupported(pFormat);
}

STDMETHODIMP CountingPin::SetTimeFormat(const GUID* pFormat) {
  if (IsFormatSupported(pFormat) != S_OK) return E_INVALIDARG;
  format_ = *pFormat;
  return S_OK;
}

STDMETHODIMP CountingPin::GetTimeFormat(GUID* pFormat) {
  *pFormat = format_;
  return S_OK;
}

STDMETHODIMP CountingPin::IsUsingTimeFormat(const GUID* pFormat) { return *pFormat == format_ ? S_OK : S_FALSE; }

STDMETHODIMP CountingPin::GetDuration(LONGLONG* pDuration) {
  HRESULT hr = CSourceSeeking::GetDuration(pDuration);
  if (SUCCEEDED(hr) && format_ == TIME_FORMAT_FRAME) *pDuration /= kFrameTime;
  return hr;
}

STDMETHODIMP CountingPin::GetStopPosition(LONGLONG* pStop) {
  HRESULT hr = CSourceSeeking::GetStopPosition(pStop);
  if (SUCCEEDED(hr) && format_ == TIME_FORMAT_FRAME) *pStop /= kFrameTime;
  return hr;
}

STDMETHODIMP CountingPin::ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat, LONGLONG Source,
                                            const GUID* pSourceFormat) {
  if (!pTarget) return E_POINTER;
  GUID target = pTargetFormat ? *pTargetFormat : format_;
  GUID source = pSourceFormat ? *pSourceFormat : format_;
  if (IsFormatSupported(&target) != S_OK || IsFormatSupported(&source) != S_OK) return E_INVALIDARG;
  LONGLONG media = source == TIME_FORMAT_FRAME ? Source * kFrameTime : Source;
  *pTarget = target == TIME_FORMAT_FRAME ? media / kFrameTime : media;
  return S_OK;
}

STDMETHODIMP CountingPin::SetPositions(LONGLONG* pCurrent, DWORD CurrentFlags, LONGLONG* pStop, DWORD StopFlags) {
  LONGLONG scale = format_ == TIME_FORMAT_FRAME ? kFrameTime : 1;
  LONGLONG current = pCurrent ? *pCurrent * scale : 0;
  LONGLONG stop = pStop ? *pStop * scale : 0;
  return CSourceSeeking::SetPositions(pCurrent ? &current : nullptr, CurrentFlags, pStop ? &stop : nullptr, StopFlags);
}

TestSource::TestSource(std::vector<LONG> frames, WORD bits, LPUNKNOWN outer)
    : CSource("test source", outer, CLSID_TestSource) {
  HRESULT hr = S_OK;
  int n = 0;
  for (LONG count : frames) {
    std::u16string name = u"Out " + std::u16string(1, static_cast<char16_t>(u'1' + n++));
    new CountingPin(this, &hr, name.c_str(), count, bits);
  }
}

// ---- Recording renderer -------------------------------------------------------------------------

class TestRenderer::Pin : public CBaseInputPin {
 public:
  Pin(TestRenderer* filter, HRESULT* phr)
      : CBaseInputPin("test renderer pin", filter, &filter->filterLock_, phr, u"In"), renderer_(filter) {}

  HRESULT CheckMediaType(const CMediaType* pmt) override {
    if (*pmt->Type() != MEDIATYPE_Video || *pmt->FormatType() != FORMAT_VideoInfo) return E_FAIL;
    if (renderer_->subtype_ != GUID_NULL && *pmt->Subtype() != renderer_->subtype_) return E_FAIL;
    return S_OK;
  }
  // A sample being received finishes before a flush begins.
  STDMETHODIMP Receive(IMediaSample* sample) override {
    std::lock_guard<std::mutex> receiving(receiveLock_);
    HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    renderer_->Record(sample);
    return S_OK;
  }
  STDMETHODIMP EndOfStream() override {
    HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    return renderer_->NotifyEvent(EC_COMPLETE, S_OK, 0);
  }
  STDMETHODIMP BeginFlush() override {
    std::lock_guard<std::mutex> receiving(receiveLock_);
    renderer_->RecordFlush();
    return CBaseInputPin::BeginFlush();
  }

 private:
  TestRenderer* renderer_;
  std::mutex receiveLock_;
};

// Only the current position is known; everything else is the sources' business.
class TestRenderer::Position final : public IMediaSeeking {
 public:
  explicit Position(TestRenderer* renderer) : renderer_(renderer) {}
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override { return renderer_->QueryInterface(riid, ppv); }
  STDMETHODIMP_(ULONG) AddRef() override { return renderer_->AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return renderer_->Release(); }
  STDMETHODIMP GetCurrentPosition(LONGLONG* pCurrent) override {
    std::lock_guard<std::mutex> guard(renderer_->lock_);
    if (renderer_->received_ == 0) return E_FAIL;
    LONG last = renderer_->frames_.back();
    *pCurrent = (last + 1) * kFrameTime;
    return S_OK;
  }
  STDMETHODIMP GetCapabilities(DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP CheckCapabilities(DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP IsFormatSupported(const GUID*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryPreferredFormat(GUID*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTimeFormat(GUID*) override { return E_NOTIMPL; }
  STDMETHODIMP IsUsingTimeFormat(const GUID*) override { return E_NOTIMPL; }
  STDMETHODIMP SetTimeFormat(const GUID*) override { return E_NOTIMPL; }
  STDMETHODIMP GetDuration(LONGLONG*) override { return E_NOTIMPL; }
  STDMETHODIMP GetStopPosition(LONGLONG*) override { return E_NOTIMPL; }
  STDMETHODIMP ConvertTimeFormat(LONGLONG*, const GUID*, LONGLONG, const GUID*) override { return E_NOTIMPL; }
  STDMETHODIMP SetPositions(LONGLONG*, DWORD, LONGLONG*, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetPositions(LONGLONG*, LONGLONG*) override { return E_NOTIMPL; }
  STDMETHODIMP GetAvailable(LONGLONG*, LONGLONG*) override { return E_NOTIMPL; }
  STDMETHODIMP SetRate(double) override { return E_NOTIMPL; }
  STDMETHODIMP GetRate(double*) override { return E_NOTIMPL; }
  STDMETHODIMP GetPreroll(LONGLONG*) override { return E_NOTIMPL; }

 private:
  TestRenderer* renderer_;
};

TestRenderer::TestRenderer(const GUID& subtype, LPUNKNOWN outer)
    : CBaseFilter("test renderer", outer, &filterLock_, CLSID_TestRenderer), subtype_(subtype) {
  HRESULT hr = S_OK;
  pin_ = new Pin(this, &hr);
  position_ = new Position(this);
}

TestRenderer::~TestRenderer() {
  delete pin_;
  delete position_;
}

STDMETHODIMP TestRenderer::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (riid == IID_IAMFilterMiscFlags) return GetInterface(static_cast<IAMFilterMiscFlags*>(this), ppv);
  if (riid == IID_IMediaSeeking && reportPositions_) return GetInterface(position_, ppv);
  return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

CBasePin* TestRenderer::GetPin(int n) { return n == 0 ? pin_ : nullptr; }

void TestRenderer::Record(IMediaSample* sample) {
  BYTE* data = nullptr;
  sample->GetPointer(&data);
  REFERENCE_TIME start = 0, stop = 0;
  sample->GetTime(&start, &stop);
  {
    std::lock_guard<std::mutex> guard(lock_);
    frames_.push_back(FrameNumber(sample));
    markers_.push_back(sample->GetActualDataLength() > 4 ? data[4] : 0);
    starts_.push_back(start);
    ++received_;
  }
  arrived_.notify_all();
}

void TestRenderer::RecordFlush() {
  std::lock_guard<std::mutex> guard(lock_);
  frames_.push_back(-1);
}

std::vector<LONG> TestRenderer::Frames() {
  std::lock_guard<std::mutex> guard(lock_);
  return frames_;
}

std::vector<BYTE> TestRenderer::Markers() {
  std::lock_guard<std::mutex> guard(lock_);
  return markers_;
}

std::vector<REFERENCE_TIME> TestRenderer::Starts() {
  std::lock_guard<std::mutex> guard(lock_);
  return starts_;
}

bool TestRenderer::WaitForFrames(size_t count) {
  std::unique_lock<std::mutex> lock(lock_);
  return arrived_.wait_for(lock, std::chrono::seconds(30), [&] { return received_ >= count; });
}

bool TestRenderer::WaitFor(const std::function<bool(const std::vector<LONG>&)>& condition) {
  std::unique_lock<std::mutex> lock(lock_);
  return arrived_.wait_for(lock, std::chrono::seconds(30), [&] { return condition(frames_); });
}

IMemAllocator* TestRenderer::Allocator() { return pin_->PeekAllocator(); }

// ---- Converter ----------------------------------------------------------------------------------

TestConverter::TestConverter(LPUNKNOWN outer) : CTransformFilter("test converter", outer, CLSID_TestConverter) {}

HRESULT TestConverter::CheckInputType(const CMediaType* mtIn) {
  return *mtIn->Type() == MEDIATYPE_Video && *mtIn->Subtype() == MEDIASUBTYPE_RGB24 &&
                 *mtIn->FormatType() == FORMAT_VideoInfo
             ? S_OK
             : E_FAIL;
}

HRESULT TestConverter::CheckTransform(const CMediaType* mtIn, const CMediaType* mtOut) {
  if (CheckInputType(mtIn) != S_OK) return E_FAIL;
  return *mtOut->Subtype() == MEDIASUBTYPE_RGB32 && *mtOut->FormatType() == FORMAT_VideoInfo ? S_OK : E_FAIL;
}

HRESULT TestConverter::DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pProp) {
  pProp->cBuffers = 2;
  pProp->cbBuffer = static_cast<LONG>(m_pOutput->CurrentMediaType().GetSampleSize());
  ALLOCATOR_PROPERTIES actual{};
  HRESULT hr = pAlloc->SetProperties(pProp, &actual);
  if (FAILED(hr)) return hr;
  return actual.cbBuffer < pProp->cbBuffer ? E_FAIL : S_OK;
}

HRESULT TestConverter::GetMediaType(int iPosition, CMediaType* pMediaType) {
  if (iPosition < 0) return E_INVALIDARG;
  if (iPosition > 0) return VFW_S_NO_MORE_ITEMS;
  *pMediaType = VideoType(32);
  return S_OK;
}

HRESULT TestConverter::Transform(IMediaSample* pIn, IMediaSample* pOut) {
  if (FrameNumber(pIn) == failAt_) return E_FAIL;
  BYTE* from = nullptr;
  BYTE* to = nullptr;
  pIn->GetPointer(&from);
  pOut->GetPointer(&to);
  std::memset(to, 0, static_cast<size_t>(pOut->GetSize()));
  std::memcpy(to, from, 4);  // the frame number travels on
  return pOut->SetActualDataLength(pOut->GetSize());
}

// ---- In-place marker ----------------------------------------------------------------------------

TestMarker::TestMarker(LPUNKNOWN outer, HRESULT* phr) : CTransInPlaceFilter("test marker", outer, CLSID_TestMarker, phr) {}

HRESULT TestMarker::CheckInputType(const CMediaType* mtIn) {
  return *mtIn->Type() == MEDIATYPE_Video ? S_OK : E_FAIL;
}

HRESULT TestMarker::Transform(IMediaSample* pSample) {
  BYTE* data = nullptr;
  pSample->GetPointer(&data);
  if (pSample->GetActualDataLength() > 4) data[4] = static_cast<BYTE>(kMarkerByte);
  return S_OK;
}

// ---- Registration -------------------------------------------------------------------------------

namespace {

template <class T>
HRESULT Hand(T* object, REFIID riid, void** ppv) {
  object->NonDelegatingAddRef();
  HRESULT hr = object->NonDelegatingQueryInterface(riid, ppv);
  object->NonDelegatingRelease();
  return hr;
}

HRESULT CreateConverter(IUnknown* outer, REFIID riid, void** ppv) { return Hand(new TestConverter(outer), riid, ppv); }
HRESULT CreateRgb32Renderer(IUnknown* outer, REFIID riid, void** ppv) {
  return Hand(new TestRenderer(MEDIASUBTYPE_RGB32, outer), riid, ppv);
}

}  // namespace

void RegisterTestClasses() {
  static const bool done = [] {
    RegisterBuiltinClass(CLSID_TestConverter, &CreateConverter);
    RegisterBuiltinClass(CLSID_TestRgb32Renderer, &CreateRgb32Renderer);
    DShowAddGraphCandidate(CLSID_TestConverter, u"Test Converter", 0xFFFF0000, DSHOW_CANDIDATE_TRANSFORM);
    DShowAddGraphCandidate(CLSID_TestRgb32Renderer, u"Test Renderer", 0xFFFF0000, DSHOW_CANDIDATE_RENDERER);
    return true;
  }();
  (void)done;
}

}  // namespace dshow_test
