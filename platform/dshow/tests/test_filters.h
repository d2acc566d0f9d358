#pragma once
// Small filters for the framework's tests: a counting video source with seeking, an in-place
// marker, an RGB24 to RGB32 converter and a recording renderer.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include "dshow/dshow.h"

namespace dshow_test {

DEFINE_GUID(CLSID_TestSource, 0x0B7E1A01, 0x52C4, 0x4F0E, 0x9D, 0x61, 0x2A, 0x3C, 0x44, 0x10, 0x7E, 0x01);
DEFINE_GUID(CLSID_TestRenderer, 0x0B7E1A02, 0x52C4, 0x4F0E, 0x9D, 0x61, 0x2A, 0x3C, 0x44, 0x10, 0x7E, 0x02);
DEFINE_GUID(CLSID_TestConverter, 0x0B7E1A03, 0x52C4, 0x4F0E, 0x9D, 0x61, 0x2A, 0x3C, 0x44, 0x10, 0x7E, 0x03);
DEFINE_GUID(CLSID_TestMarker, 0x0B7E1A04, 0x52C4, 0x4F0E, 0x9D, 0x61, 0x2A, 0x3C, 0x44, 0x10, 0x7E, 0x04);
// A file source in a module of its own, registered for the extension ".zqx".
DEFINE_GUID(CLSID_TestFileSource, 0x0B7E1A06, 0x52C4, 0x4F0E, 0x9D, 0x61, 0x2A, 0x3C, 0x44, 0x10, 0x7E, 0x06);
// The renderer the graph's Render picks in tests: it takes RGB32 only.
DEFINE_GUID(CLSID_TestRgb32Renderer, 0x0B7E1A05, 0x52C4, 0x4F0E, 0x9D, 0x61, 0x2A, 0x3C, 0x44, 0x10, 0x7E, 0x05);

constexpr LONG kWidth = 8;
constexpr LONG kHeight = 4;
constexpr REFERENCE_TIME kFrameTime = 400000;  // 25 frames a second
constexpr DWORD kMarkerByte = 0xAB;

// A bottom-up RGB video type of kWidth x kHeight with the given bit count.
CMediaType VideoType(WORD bits);
// The frame number a sample carries in its first four bytes.
LONG FrameNumber(IMediaSample* sample);

// Pushes frames 0, 1, 2, ... (frames < 0: without end); seeks in media time through CSourceSeeking.
class CountingPin : public CSourceStream, public CSourceSeeking {
 public:
  CountingPin(CSource* filter, HRESULT* phr, LPCWSTR name, LONG frames, WORD bits);

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override { return CSourceStream::GetOwner()->QueryInterface(riid, ppv); }
  STDMETHODIMP_(ULONG) AddRef() override { return CSourceStream::GetOwner()->AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return CSourceStream::GetOwner()->Release(); }
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) NonDelegatingAddRef() override { return CSourceStream::NonDelegatingAddRef(); }
  STDMETHODIMP_(ULONG) NonDelegatingRelease() override { return CSourceStream::NonDelegatingRelease(); }

  void FailAt(LONG frame) { failAt_ = frame; }
  // Lets the pin seek in frames as well as in media time.
  void EnableFrames() { framesOffered_ = true; }
  // Fills under the filter's state lock, as some sources do.
  void FillUnderFilterLock() { fillUnderFilterLock_ = true; }
  // The next fill waits, before it takes any lock, until the pin is deactivated (Stop holds
  // the filter's lock then); WaitUntilHeld returns once the fill is waiting.
  void HoldNextFillUntilStop() { holdFill_ = true; }
  bool WaitUntilHeld() { return fillHeld_.Wait(30000); }

  STDMETHODIMP IsFormatSupported(const GUID* pFormat) override;
  STDMETHODIMP SetTimeFormat(const GUID* pFormat) override;
  STDMETHODIMP GetTimeFormat(GUID* pFormat) override;
  STDMETHODIMP IsUsingTimeFormat(const GUID* pFormat) override;
  STDMETHODIMP GetDuration(LONGLONG* pDuration) override;
  STDMETHODIMP GetStopPosition(LONGLONG* pStop) override;
  STDMETHODIMP ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat, LONGLONG Source,
                                 const GUID* pSourceFormat) override;
  STDMETHODIMP SetPositions(LONGLONG* pCurrent, DWORD CurrentFlags, LONGLONG* pStop, DWORD StopFlags) override;
  int ThreadsCreated() const { return threadsCreated_; }
  int ThreadsDestroyed() const { return threadsDestroyed_; }
  using CAMThread::ThreadExists;

 protected:
  HRESULT GetMediaType(CMediaType* pmt) override;
  HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override;
  HRESULT FillBuffer(IMediaSample* pSample) override;
  HRESULT FillLocked(IMediaSample* pSample);
  HRESULT OnThreadCreate() override;
  HRESULT OnThreadDestroy() override;
  HRESULT OnThreadStartPlay() override;
  HRESULT Inactive() override;
  HRESULT ChangeStart() override;
  HRESULT ChangeStop() override { return S_OK; }
  HRESULT ChangeRate() override { return S_OK; }

 private:
  CCritSec shared_;  // guards the positions against the streaming thread
  const WORD bits_;
  LONG next_ = 0;
  LONG failAt_ = -1;
  bool framesOffered_ = false;
  bool fillUnderFilterLock_ = false;
  std::atomic<bool> holdFill_{false};
  CAMEvent fillHeld_;
  CAMEvent fillReleased_;
  GUID format_ = TIME_FORMAT_MEDIA_TIME;
  bool discontinuity_ = true;
  std::atomic<int> threadsCreated_{0};
  std::atomic<int> threadsDestroyed_{0};
};

class TestSource : public CSource {
 public:
  // One counting pin per entry of `frames`.
  TestSource(std::vector<LONG> frames, WORD bits = 24, LPUNKNOWN outer = nullptr);
  CountingPin* Pin(int n) { return static_cast<CountingPin*>(m_paStreams[n]); }
};

// Records the frame numbers it receives (-1 for each flush); EC_COMPLETE at the end of stream.
class TestRenderer : public CBaseFilter, public IAMFilterMiscFlags {
 public:
  // subtype: the only subtype taken; GUID_NULL takes every video type.
  explicit TestRenderer(const GUID& subtype = GUID_NULL, LPUNKNOWN outer = nullptr);
  ~TestRenderer() override;
  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }

  int GetPinCount() override { return 1; }
  CBasePin* GetPin(int n) override;

  // Answers IMediaSeeking::GetCurrentPosition with the end of the last frame received, as a
  // writer tells how far it has got.
  void ReportPositions() { reportPositions_ = true; }

  std::vector<LONG> Frames();
  std::vector<BYTE> Markers();
  std::vector<REFERENCE_TIME> Starts();
  // Waits (real time, generous) until count frames have arrived.
  bool WaitForFrames(size_t count);
  // Waits until the recorded frames (with -1 for flushes) satisfy the condition.
  bool WaitFor(const std::function<bool(const std::vector<LONG>&)>& condition);
  IMemAllocator* Allocator();

 private:
  class Pin;
  class Position;
  friend class Pin;
  void Record(IMediaSample* sample);
  void RecordFlush();

  CCritSec filterLock_;
  GUID subtype_;
  Pin* pin_;
  std::mutex lock_;
  std::condition_variable arrived_;
  std::vector<LONG> frames_;
  std::vector<BYTE> markers_;
  std::vector<REFERENCE_TIME> starts_;
  size_t received_ = 0;
  bool reportPositions_ = false;
  Position* position_;
};

// RGB24 in, RGB32 out.
class TestConverter : public CTransformFilter {
 public:
  explicit TestConverter(LPUNKNOWN outer = nullptr);
  // Transform fails on this frame.
  void FailAt(LONG frame) { failAt_ = frame; }
  HRESULT CheckInputType(const CMediaType* mtIn) override;
  HRESULT CheckTransform(const CMediaType* mtIn, const CMediaType* mtOut) override;
  HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pProp) override;
  HRESULT GetMediaType(int iPosition, CMediaType* pMediaType) override;
  HRESULT Transform(IMediaSample* pIn, IMediaSample* pOut) override;

 private:
  LONG failAt_ = -1;
};

// Writes kMarkerByte into byte 4 of every frame, in place.
class TestMarker : public CTransInPlaceFilter {
 public:
  explicit TestMarker(LPUNKNOWN outer = nullptr, HRESULT* phr = nullptr);
  HRESULT CheckInputType(const CMediaType* mtIn) override;
  HRESULT Transform(IMediaSample* pSample) override;
};

// Makes the test classes creatable, with the converter as a transform candidate and the RGB32
// renderer as a renderer candidate of top merit. Idempotent.
void RegisterTestClasses();

}  // namespace dshow_test
