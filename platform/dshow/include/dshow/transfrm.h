#pragma once
// A filter with one input and one output pin that turns each input sample into an output sample.
#include "dshow/amfilter.h"

class CTransformFilter;

class CTransformInputPin : public CBaseInputPin {
 public:
  CTransformInputPin(const TCHAR* pObjectName, CTransformFilter* pTransformFilter, HRESULT* phr,
                     LPCWSTR pName);

  STDMETHODIMP QueryId(LPWSTR* Id) override;  // "In"
  HRESULT CheckConnect(IPin* pPin) override;
  HRESULT BreakConnect() override;
  HRESULT CompleteConnect(IPin* pReceivePin) override;
  HRESULT CheckMediaType(const CMediaType* mtIn) override;  // the filter's CheckInputType
  HRESULT SetMediaType(const CMediaType* mt) override;

  STDMETHODIMP Receive(IMediaSample* pSample) override;
  STDMETHODIMP EndOfStream() override;
  STDMETHODIMP BeginFlush() override;
  STDMETHODIMP EndFlush() override;
  STDMETHODIMP NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

  CMediaType& CurrentMediaType() { return m_mt; }

 protected:
  CTransformFilter* m_pTransformFilter;
};

class CTransformOutputPin : public CBaseOutputPin {
 public:
  CTransformOutputPin(const TCHAR* pObjectName, CTransformFilter* pTransformFilter, HRESULT* phr,
                      LPCWSTR pName);

  STDMETHODIMP QueryId(LPWSTR* Id) override;  // "Out"
  // IMediaSeeking is answered by the upstream pin's, so that seeking reaches the source.
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
  HRESULT CheckConnect(IPin* pPin) override;  // the input must be connected first
  HRESULT BreakConnect() override;
  HRESULT CompleteConnect(IPin* pReceivePin) override;
  HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pProp) override;
  HRESULT CheckMediaType(const CMediaType* mtOut) override;  // the filter's CheckTransform
  HRESULT SetMediaType(const CMediaType* pmt) override;
  HRESULT GetMediaType(int iPosition, CMediaType* pMediaType) override;
  // Quality notices go to the filter's AlterQuality, then upstream.
  STDMETHODIMP Notify(IBaseFilter* pSender, Quality q) override;

  CMediaType& CurrentMediaType() { return m_mt; }

 protected:
  CTransformFilter* m_pTransformFilter;
};

class CTransformFilter : public CBaseFilter {
 public:
  CTransformFilter(const TCHAR* pName, LPUNKNOWN pUnk, REFCLSID clsid);
  ~CTransformFilter() override;

  // Pins are made on first use ("XForm In", "XForm Out") unless the derived constructor made them.
  int GetPinCount() override;
  CBasePin* GetPin(int n) override;
  STDMETHODIMP FindPin(LPCWSTR Id, IPin** ppPin) override;  // "In" and "Out"
  // Stop ends streaming (StopStreaming) under the receive lock; Pause starts it
  // (StartStreaming) and, with an unconnected input, ends the stream downstream at once.
  STDMETHODIMP Stop() override;
  STDMETHODIMP Pause() override;

  // The derived filter's part.
  virtual HRESULT Transform(IMediaSample* pIn, IMediaSample* pOut);  // base: E_UNEXPECTED
  virtual HRESULT CheckInputType(const CMediaType* mtIn) = 0;
  virtual HRESULT CheckTransform(const CMediaType* mtIn, const CMediaType* mtOut) = 0;
  virtual HRESULT DecideBufferSize(IMemAllocator* pAllocator, ALLOCATOR_PROPERTIES* pprop) = 0;
  virtual HRESULT GetMediaType(int iPosition, CMediaType* pMediaType) = 0;

  virtual HRESULT StartStreaming();
  virtual HRESULT StopStreaming();
  // S_FALSE: not handled here, the notice goes upstream.
  virtual HRESULT AlterQuality(Quality q);
  virtual HRESULT SetMediaType(PIN_DIRECTION direction, const CMediaType* pmt);
  virtual HRESULT CheckConnect(PIN_DIRECTION dir, IPin* pPin);
  virtual HRESULT BreakConnect(PIN_DIRECTION dir);
  virtual HRESULT CompleteConnect(PIN_DIRECTION direction, IPin* pReceivePin);

  // Gets an output buffer, copies the input's properties into it, Transform, Deliver. A
  // Transform answering S_FALSE skips the sample; a failure stops the stream with EC_ERRORABORT.
  virtual HRESULT Receive(IMediaSample* pSample);
  // An output buffer with the input sample's times, flags and type copied.
  HRESULT InitializeOutputSample(IMediaSample* pSample, IMediaSample** ppOutSample);
  virtual HRESULT EndOfStream();
  virtual HRESULT BeginFlush();
  virtual HRESULT EndFlush();
  virtual HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate);

 protected:
  BOOL m_bEOSDelivered = FALSE;
  BOOL m_bSampleSkipped = FALSE;
  BOOL m_bQualityChanged = FALSE;
  CCritSec m_csFilter;   // the filter's state lock
  CCritSec m_csReceive;  // held while a sample is processed

  friend class CTransformInputPin;
  friend class CTransformOutputPin;
  CTransformInputPin* m_pInput = nullptr;
  CTransformOutputPin* m_pOutput = nullptr;
};
