#pragma once
// A source filter whose output pins each push samples from a streaming thread of their own.
#include "dshow/amfilter.h"

class CSourceStream;

class CSource : public CBaseFilter {
 public:
  CSource(const TCHAR* pName, LPUNKNOWN lpunk, CLSID clsid, HRESULT* phr);
  CSource(const TCHAR* pName, LPUNKNOWN lpunk, CLSID clsid);
  // Deletes the pins still registered.
  ~CSource() override;

  int GetPinCount() override;
  CBasePin* GetPin(int n) override;
  CCritSec* pStateLock() { return &m_cStateLock; }
  // Pins add and remove themselves (CSourceStream's constructor and destructor).
  HRESULT AddPin(CSourceStream*);
  HRESULT RemovePin(CSourceStream*);
  // Pins are found by their id, the position from 1 as text ("1", "2", ...).
  STDMETHODIMP FindPin(LPCWSTR Id, IPin** ppPin) override;
  // The pin's position (0-based), -1 when it is not ours.
  int FindPinNumber(IPin* iPin);

 protected:
  int m_iPins = 0;
  CSourceStream** m_paStreams = nullptr;
  CCritSec m_cStateLock;
};

// An output pin with a streaming thread: from Pause to Stop the thread fills buffers
// (FillBuffer) and delivers them; FillBuffer's S_FALSE ends the stream, a failure ends it with
// EC_ERRORABORT (OnFillEnded).
class CSourceStream : public CAMThread, public CBaseOutputPin {
 public:
  CSourceStream(const TCHAR* pObjectName, HRESULT* phr, CSource* pms, LPCWSTR pName);
  ~CSourceStream() override;

  enum Command { CMD_INIT, CMD_PAUSE, CMD_RUN, CMD_STOP, CMD_EXIT };
  HRESULT Init() { return CallWorker(CMD_INIT); }
  HRESULT Exit() { return CallWorker(CMD_EXIT); }
  HRESULT Run() { return CallWorker(CMD_RUN); }
  HRESULT Pause() { return CallWorker(CMD_PAUSE); }
  HRESULT Stop() { return CallWorker(CMD_STOP); }
  using CBaseOutputPin::Run;

 protected:
  CSource* m_pFilter;

  virtual HRESULT FillBuffer(IMediaSample* pSamp) = 0;
  virtual HRESULT OnThreadCreate() { return NOERROR; }
  virtual HRESULT OnThreadDestroy() { return NOERROR; }
  virtual HRESULT OnThreadStartPlay() { return NOERROR; }

  // Commits the allocator and starts the thread (it begins streaming at once).
  HRESULT Active() override;
  // Decommits the allocator, stops the thread and joins it.
  HRESULT Inactive() override;

  Command GetRequest() { return static_cast<Command>(CAMThread::GetRequest()); }
  BOOL CheckRequest(Command* pCom) { return CAMThread::CheckRequest(reinterpret_cast<DWORD*>(pCom)); }
  DWORD ThreadProc() override;
  virtual HRESULT DoBufferProcessingLoop();
  // FillBuffer answered hr instead of a sample: S_FALSE at the end of the data, or a failure. The
  // stream ends downstream and a failure is reported with EC_ERRORABORT; the answer is the loop's.
  virtual HRESULT OnFillEnded(HRESULT hr);

  // The pin offers the one type of GetMediaType(CMediaType*) and accepts only that type.
  HRESULT CheckMediaType(const CMediaType* pMediaType) override;
  HRESULT GetMediaType(int iPosition, CMediaType* pMediaType) override;
  virtual HRESULT GetMediaType(CMediaType*) { return E_UNEXPECTED; }

 public:
  STDMETHODIMP QueryId(LPWSTR* Id) override;  // the pin's position from 1, as text
};
