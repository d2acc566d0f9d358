#pragma once
// Filter, pin, sample and allocator base classes.
#include <atomic>
#include <vector>

#include "dshow/combase.h"
#include "ole/com_object.h"
#include "ole/comptr.h"
#include "dshow/control.h"
#include "dshow/evcode.h"
#include "dshow/mtype.h"
#include "dshow/reftime.h"
#include "dshow/wxutil.h"

class CBasePin;
class CBaseAllocator;

// ---- Filter -------------------------------------------------------------------------------------
// State, clock, graph membership and pin enumeration of a filter. Derived filters supply their
// pins through GetPin/GetPinCount. Pins share the filter's reference count.
class CBaseFilter : public CUnknown, public IBaseFilter {
 public:
  CBaseFilter(const TCHAR* pName, LPUNKNOWN pUnk, CCritSec* pLock, REFCLSID clsid,
              HRESULT* phr = nullptr);
  ~CBaseFilter() override;

  DECLARE_IUNKNOWN
  // IBaseFilter, IMediaFilter, IPersist.
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  STDMETHODIMP GetClassID(CLSID* pClsID) override;
  // Stop deactivates every connected pin; Pause activates them when coming from Stop; Run
  // pauses first when stopped and then runs every connected pin.
  STDMETHODIMP Stop() override;
  STDMETHODIMP Pause() override;
  STDMETHODIMP Run(REFERENCE_TIME tStart) override;
  STDMETHODIMP GetState(DWORD dwMSecs, FILTER_STATE* State) override;
  STDMETHODIMP SetSyncSource(IReferenceClock* pClock) override;
  STDMETHODIMP GetSyncSource(IReferenceClock** pClock) override;
  STDMETHODIMP EnumPins(IEnumPins** ppEnum) override;
  // The pin whose QueryId equals Id.
  STDMETHODIMP FindPin(LPCWSTR Id, IPin** ppPin) override;
  STDMETHODIMP QueryFilterInfo(FILTER_INFO* pInfo) override;
  STDMETHODIMP JoinFilterGraph(IFilterGraph* pGraph, LPCWSTR pName) override;
  STDMETHODIMP QueryVendorInfo(LPWSTR* pVendorInfo) override;

  // Stream time now (clock time - start time); VFW_E_NO_CLOCK without a clock.
  virtual HRESULT StreamTime(CRefTime& rtStream);
  BOOL IsActive();
  BOOL IsStopped();
  // Passes an event to the graph (EC_COMPLETE gets this filter as its second parameter).
  HRESULT NotifyEvent(LONG EventCode, LONG_PTR EventParam1, LONG_PTR EventParam2);
  IFilterGraph* GetFilterGraph() { return m_pGraph; }
  // Increment when the set of pins changes (keeps pin enumerators in step).
  void IncrementPinVersion();
  virtual LONG GetPinVersion();

  virtual int GetPinCount() = 0;
  virtual CBasePin* GetPin(int n) = 0;

  CCritSec* pStateLock() { return m_pLock; }

 protected:
  // Read without the lock by streaming threads (IsStopped, CheckStreaming).
  std::atomic<FILTER_STATE> m_State{State_Stopped};
  ComPtr<IReferenceClock> m_pClock;
  CRefTime m_tStart;
  CLSID m_clsid;
  CCritSec* m_pLock;
  WCHAR* m_pName = nullptr;
  IFilterGraph* m_pGraph = nullptr;     // not referenced: the graph owns the filter
  IMediaEventSink* m_pSink = nullptr;   // not referenced
  LONG m_PinVersion = 1;
};

// ---- Pins ---------------------------------------------------------------------------------------
// Connection, media type negotiation and state of a pin.
class CBasePin : public CUnknown, public IPin, public IQualityControl {
 public:
  CBasePin(const TCHAR* pObjectName, CBaseFilter* pFilter, CCritSec* pLock, HRESULT* phr,
           LPCWSTR pName, PIN_DIRECTION dir);
  ~CBasePin() override;

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) NonDelegatingAddRef() override;
  STDMETHODIMP_(ULONG) NonDelegatingRelease() override;

  // IPin. Connect tries pmt when it is fully specified; otherwise the receiver's types and then
  // this pin's own (m_bTryMyTypesFirst reverses that) that match pmt partially.
  STDMETHODIMP Connect(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt) override;
  STDMETHODIMP ReceiveConnection(IPin* pConnector, const AM_MEDIA_TYPE* pmt) override;
  STDMETHODIMP Disconnect() override;
  STDMETHODIMP ConnectedTo(IPin** pPin) override;
  STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* pmt) override;
  STDMETHODIMP QueryPinInfo(PIN_INFO* pInfo) override;
  STDMETHODIMP QueryDirection(PIN_DIRECTION* pPinDir) override;
  STDMETHODIMP QueryId(LPWSTR* Id) override;
  STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* pmt) override;
  STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** ppEnum) override;
  STDMETHODIMP QueryInternalConnections(IPin** apPin, ULONG* nPin) override;
  STDMETHODIMP EndOfStream() override;
  STDMETHODIMP BeginFlush() override = 0;
  STDMETHODIMP EndFlush() override = 0;
  // Stores the segment (CurrentStartTime/StopTime/Rate).
  STDMETHODIMP NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

  // IQualityControl: a notification goes to the sink set with SetSink; without one the base
  // answers E_NOTIMPL. Pins that act on quality override Notify.
  STDMETHODIMP Notify(IBaseFilter* pSender, Quality q) override;
  STDMETHODIMP SetSink(IQualityControl* piqc) override;

  // Overridables of the connection protocol.
  virtual HRESULT CheckMediaType(const CMediaType*) = 0;
  virtual HRESULT SetMediaType(const CMediaType*);
  virtual HRESULT CheckConnect(IPin*);
  virtual HRESULT BreakConnect();
  virtual HRESULT CompleteConnect(IPin* pReceivePin);
  // Preferred types by position: S_OK, VFW_S_NO_MORE_ITEMS past the end, E_INVALIDARG below 0.
  virtual HRESULT GetMediaType(int iPosition, CMediaType* pMediaType);
  virtual LONG GetMediaTypeVersion();
  void IncrementTypeVersion();

  // State changes from the filter.
  virtual HRESULT Active();
  virtual HRESULT Inactive();
  virtual HRESULT Run(REFERENCE_TIME tStart);

  BOOL IsConnected() const { return m_Connected != nullptr; }
  IPin* GetConnected() { return m_Connected.get(); }
  BOOL IsStopped() { return m_pFilter->IsStopped(); }
  CMediaType& CurrentMediaType() { return m_mt; }
  LPWSTR Name() { return m_pName; }
  REFERENCE_TIME CurrentStartTime() const { return m_tStart; }
  REFERENCE_TIME CurrentStopTime() const { return m_tStop; }
  double CurrentRate() const { return m_dRate; }
  BOOL CanReconnectWhenActive() const { return m_bCanReconnectWhenActive; }
  void SetReconnectWhenActive(bool bCanReconnect) { m_bCanReconnectWhenActive = bCanReconnect; }
  HRESULT DisconnectInternal();

 protected:
  virtual HRESULT AgreeMediaType(IPin* pReceivePin, const CMediaType* pmt);
  virtual HRESULT AttemptConnection(IPin* pReceivePin, const CMediaType* pmt);
  virtual HRESULT TryMediaTypes(IPin* pReceivePin, const CMediaType* pmt, IEnumMediaTypes* pEnum);

  WCHAR* m_pName = nullptr;
  ComPtr<IPin> m_Connected;
  PIN_DIRECTION m_dir;
  CCritSec* m_pLock;
  std::atomic<bool> m_bRunTimeError{false};  // set and read by the streaming thread
  bool m_bCanReconnectWhenActive = false;
  bool m_bTryMyTypesFirst = false;
  CBaseFilter* m_pFilter;
  IQualityControl* m_pQSink = nullptr;  // not referenced
  LONG m_TypeVersion = 1;
  CMediaType m_mt;
  CRefTime m_tStart;
  CRefTime m_tStop{static_cast<REFERENCE_TIME>(0x7FFFFFFFFFFFFFFFLL)};
  double m_dRate = 1.0;
};

// Enumerates a filter's pins (GetPin order); VFW_E_ENUM_OUT_OF_SYNC after the pins changed.
class CEnumPins final : public ComObject<CEnumPins, IEnumPins, IID_IEnumPins> {
 public:
  CEnumPins(CBaseFilter* pFilter, const CEnumPins* pEnumPins);
  STDMETHODIMP Next(ULONG cPins, IPin** ppPins, ULONG* pcFetched) override;
  STDMETHODIMP Skip(ULONG cPins) override;
  STDMETHODIMP Reset() override;
  STDMETHODIMP Clone(IEnumPins** ppEnum) override;

 private:
  int m_Position = 0;
  int m_PinCount = 0;
  ComPtr<CBaseFilter> m_pFilter;
  LONG m_Version = 0;
};

// Enumerates a pin's GetMediaType list.
class CEnumMediaTypes final : public ComObject<CEnumMediaTypes, IEnumMediaTypes, IID_IEnumMediaTypes> {
 public:
  CEnumMediaTypes(CBasePin* pPin, const CEnumMediaTypes* pEnumMediaTypes);
  STDMETHODIMP Next(ULONG cMediaTypes, AM_MEDIA_TYPE** ppMediaTypes, ULONG* pcFetched) override;
  STDMETHODIMP Skip(ULONG cMediaTypes) override;
  STDMETHODIMP Reset() override;
  STDMETHODIMP Clone(IEnumMediaTypes** ppEnum) override;

 private:
  int m_Position = 0;
  ComPtr<CBasePin> m_pPin;
  LONG m_Version = 0;
};

// An output pin delivering samples to an IMemInputPin through an agreed allocator.
class CBaseOutputPin : public CBasePin {
 public:
  CBaseOutputPin(const TCHAR* pObjectName, CBaseFilter* pFilter, CCritSec* pLock, HRESULT* phr,
                 LPCWSTR pName);
  ~CBaseOutputPin() override;

  // Agrees the allocator with the receiver (DecideAllocator).
  HRESULT CompleteConnect(IPin* pReceivePin) override;
  // Tries the input pin's allocator, then our own (InitAllocator); DecideBufferSize sets the
  // sizes, NotifyAllocator tells the input.
  virtual HRESULT DecideAllocator(IMemInputPin* pPin, IMemAllocator** pAlloc);
  virtual HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* ppropInputRequest) = 0;
  virtual HRESULT InitAllocator(IMemAllocator** ppAlloc);
  virtual HRESULT GetDeliveryBuffer(IMediaSample** ppSample, REFERENCE_TIME* pStartTime,
                                    REFERENCE_TIME* pEndTime, DWORD dwFlags);
  virtual HRESULT Deliver(IMediaSample*);
  virtual HRESULT DeliverEndOfStream();
  virtual HRESULT DeliverBeginFlush();
  virtual HRESULT DeliverEndFlush();
  virtual HRESULT DeliverNewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate);

  HRESULT CheckConnect(IPin* pPin) override;  // the receiver must offer IMemInputPin
  HRESULT BreakConnect() override;
  HRESULT Active() override;    // commits the allocator
  HRESULT Inactive() override;  // decommits it, releasing a thread blocked in GetBuffer

  // Output pins receive no stream calls: E_UNEXPECTED.
  STDMETHODIMP EndOfStream() override;
  STDMETHODIMP BeginFlush() override;
  STDMETHODIMP EndFlush() override;

  IMemAllocator* PeekAllocator() const { return m_pAllocator.get(); }
  IMemInputPin* PeekInputPin() const { return m_pInputPin.get(); }

 protected:
  ComPtr<IMemAllocator> m_pAllocator;
  ComPtr<IMemInputPin> m_pInputPin;
};

// An input pin receiving samples through IMemInputPin.
class CBaseInputPin : public CBasePin, public IMemInputPin {
 public:
  CBaseInputPin(const TCHAR* pObjectName, CBaseFilter* pFilter, CCritSec* pLock, HRESULT* phr,
                LPCWSTR pName);
  ~CBaseInputPin() override;

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  // IMemInputPin. GetAllocator makes a CMemAllocator when none was agreed.
  STDMETHODIMP GetAllocator(IMemAllocator** ppAllocator) override;
  STDMETHODIMP NotifyAllocator(IMemAllocator* pAllocator, BOOL bReadOnly) override;
  // Checks streaming state and picks up a media type change carried by the sample.
  STDMETHODIMP Receive(IMediaSample* pSample) override;
  STDMETHODIMP ReceiveMultiple(IMediaSample** pSamples, LONG nSamples, LONG* nSamplesProcessed) override;
  STDMETHODIMP ReceiveCanBlock() override;
  STDMETHODIMP GetAllocatorRequirements(ALLOCATOR_PROPERTIES* pProps) override;

  STDMETHODIMP BeginFlush() override;  // refuses samples until EndFlush
  STDMETHODIMP EndFlush() override;

  HRESULT BreakConnect() override;
  HRESULT Inactive() override;  // decommits the allocator
  BOOL IsReadOnly() const { return m_bReadOnly; }
  BOOL IsFlushing() const { return m_bFlushing; }
  // S_OK when samples may be processed; S_FALSE while flushing; an error when stopped
  // (VFW_E_WRONG_STATE), unconnected or after a run-time error.
  virtual HRESULT CheckStreaming();
  IMemAllocator* PeekAllocator() const { return m_pAllocator.get(); }
  // The properties of the sample being received (valid during Receive).
  AM_SAMPLE2_PROPERTIES* SampleProps() { return &m_SampleProps; }

 protected:
  ComPtr<IMemAllocator> m_pAllocator;
  BOOL m_bReadOnly = FALSE;
  std::atomic<BOOL> m_bFlushing{FALSE};  // read without the lock by the streaming thread
  AM_SAMPLE2_PROPERTIES m_SampleProps{};
};

// ---- Samples and allocators ---------------------------------------------------------------------
// A buffer handed out by an allocator; the last Release returns it to the allocator.
class CMediaSample : public IMediaSample2 {
 public:
  CMediaSample(const TCHAR* pName, CBaseAllocator* pAllocator, HRESULT* phr,
               LPBYTE pBuffer = nullptr, LONG length = 0);
  virtual ~CMediaSample();

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  HRESULT SetPointer(BYTE* ptr, LONG cBytes);
  STDMETHODIMP GetPointer(BYTE** ppBuffer) override;
  STDMETHODIMP_(LONG) GetSize() override;
  // VFW_E_SAMPLE_TIME_NOT_SET without times; VFW_S_NO_STOP_TIME with a start time only.
  STDMETHODIMP GetTime(REFERENCE_TIME* pTimeStart, REFERENCE_TIME* pTimeEnd) override;
  STDMETHODIMP SetTime(REFERENCE_TIME* pTimeStart, REFERENCE_TIME* pTimeEnd) override;
  STDMETHODIMP IsSyncPoint() override;
  STDMETHODIMP SetSyncPoint(BOOL bIsSyncPoint) override;
  STDMETHODIMP IsPreroll() override;
  STDMETHODIMP SetPreroll(BOOL bIsPreroll) override;
  STDMETHODIMP_(LONG) GetActualDataLength() override;
  STDMETHODIMP SetActualDataLength(LONG length) override;  // VFW_E_BUFFER_OVERFLOW past the size
  // S_FALSE and NULL when the type did not change.
  STDMETHODIMP GetMediaType(AM_MEDIA_TYPE** ppMediaType) override;
  STDMETHODIMP SetMediaType(AM_MEDIA_TYPE* pMediaType) override;
  STDMETHODIMP IsDiscontinuity() override;
  STDMETHODIMP SetDiscontinuity(BOOL bDiscontinuity) override;
  STDMETHODIMP GetMediaTime(LONGLONG* pTimeStart, LONGLONG* pTimeEnd) override;
  STDMETHODIMP SetMediaTime(LONGLONG* pTimeStart, LONGLONG* pTimeEnd) override;
  STDMETHODIMP GetProperties(DWORD cbProperties, BYTE* pbProperties) override;
  STDMETHODIMP SetProperties(DWORD cbProperties, const BYTE* pbProperties) override;

 protected:
  friend class CBaseAllocator;
  friend class CMemAllocator;
  enum { Sample_SyncPoint = 0x01, Sample_Preroll = 0x02, Sample_Discontinuity = 0x04,
         Sample_TypeChanged = 0x08, Sample_TimeValid = 0x10, Sample_MediaTimeValid = 0x20,
         Sample_StopValid = 0x100 };
  DWORD m_dwFlags = 0;
  DWORD m_dwTypeSpecificFlags = 0;
  LPBYTE m_pBuffer;
  LONG m_lActual;
  LONG m_cbBuffer;
  CBaseAllocator* m_pAllocator;
  REFERENCE_TIME m_Start = 0;
  REFERENCE_TIME m_End = 0;
  LONGLONG m_MediaStart = 0;
  LONG m_MediaEnd = 0;
  AM_MEDIA_TYPE* m_pMediaType = nullptr;
  DWORD m_dwStreamId = 0;
  std::atomic<LONG> m_cRef{0};
};

// The pool logic of an allocator: free list, commit state and blocking GetBuffer. Decommit
// wakes every waiting GetBuffer (VFW_E_NOT_COMMITTED); buffers are freed once all are back.
class CBaseAllocator : public CUnknown, public IMemAllocator {
 public:
  CBaseAllocator(const TCHAR* pName, LPUNKNOWN pUnk, HRESULT* phr, BOOL bEvent = TRUE,
                 BOOL fEnableReleaseCallback = FALSE);
  ~CBaseAllocator() override;

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  STDMETHODIMP SetProperties(ALLOCATOR_PROPERTIES* pRequest, ALLOCATOR_PROPERTIES* pActual) override;
  STDMETHODIMP GetProperties(ALLOCATOR_PROPERTIES* pProps) override;
  STDMETHODIMP Commit() override;
  STDMETHODIMP Decommit() override;
  // Waits for a free buffer unless AM_GBF_NOWAIT (then VFW_E_TIMEOUT).
  STDMETHODIMP GetBuffer(IMediaSample** ppBuffer, REFERENCE_TIME* pStartTime,
                         REFERENCE_TIME* pEndTime, DWORD dwFlags) override;
  STDMETHODIMP ReleaseBuffer(IMediaSample* pBuffer) override;

  BOOL IsCommitted() const { return m_bCommitted; }

 protected:
  // Allocates the buffers for the current properties (called by Commit).
  virtual HRESULT Alloc();
  // Frees every buffer (all are back in the free list).
  virtual void Free() = 0;

  std::mutex m_poolLock;
  std::condition_variable m_bufferReturned;
  std::vector<CMediaSample*> m_free;  // returned samples
  std::vector<CMediaSample*> m_all;   // every sample of the pool
  LONG m_lCount = 0;
  LONG m_lSize = 0;
  LONG m_lAlignment = 0;
  LONG m_lPrefix = 0;
  BOOL m_bChanged = FALSE;
  BOOL m_bCommitted = FALSE;
  BOOL m_bDecommitInProgress = FALSE;
  CCritSec m_cSharedLock;  // for derived classes

 private:
  void FreeIfDecommitted(std::unique_lock<std::mutex>& lock);
};

// An allocator of memory buffers, each aligned and prefixed as the properties ask.
class CMemAllocator : public CBaseAllocator {
 public:
  CMemAllocator(const TCHAR* pName, LPUNKNOWN pUnk, HRESULT* phr);
  ~CMemAllocator() override;
  static CUnknown* CreateInstance(LPUNKNOWN pUnk, HRESULT* phr);
  // Rounds the size up to the alignment (which must be a power of two, else VFW_E_BADALIGN).
  STDMETHODIMP SetProperties(ALLOCATOR_PROPERTIES* pRequest, ALLOCATOR_PROPERTIES* pActual) override;

 protected:
  HRESULT Alloc() override;
  void Free() override;

 private:
  std::vector<BYTE*> m_blocks;
};
