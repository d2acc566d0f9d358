#include "dshow/source.h"
#include <string>


// ---- Filter -------------------------------------------------------------------------------------

CSource::CSource(const TCHAR* pName, LPUNKNOWN lpunk, CLSID clsid, HRESULT* phr)
    : CBaseFilter(pName, lpunk, &m_cStateLock, clsid, phr) {}

CSource::CSource(const TCHAR* pName, LPUNKNOWN lpunk, CLSID clsid)
    : CBaseFilter(pName, lpunk, &m_cStateLock, clsid) {}

CSource::~CSource() {
  // Each pin removes itself from the table as it goes.
  while (m_iPins != 0) delete m_paStreams[m_iPins - 1];
  delete[] m_paStreams;
}

HRESULT CSource::AddPin(CSourceStream* pStream) {
  CAutoLock lock(&m_cStateLock);
  auto** grown = new CSourceStream*[m_iPins + 1];
  for (int i = 0; i < m_iPins; ++i) grown[i] = m_paStreams[i];
  grown[m_iPins] = pStream;
  delete[] m_paStreams;
  m_paStreams = grown;
  ++m_iPins;
  IncrementPinVersion();
  return S_OK;
}

HRESULT CSource::RemovePin(CSourceStream* pStream) {
  CAutoLock lock(&m_cStateLock);
  for (int i = 0; i < m_iPins; ++i) {
    if (m_paStreams[i] != pStream) continue;
    for (int j = i + 1; j < m_iPins; ++j) m_paStreams[j - 1] = m_paStreams[j];
    --m_iPins;
    if (m_iPins == 0) {
      delete[] m_paStreams;
      m_paStreams = nullptr;
    }
    IncrementPinVersion();
    return S_OK;
  }
  return S_FALSE;
}

int CSource::GetPinCount() {
  CAutoLock lock(&m_cStateLock);
  return m_iPins;
}

CBasePin* CSource::GetPin(int n) {
  CAutoLock lock(&m_cStateLock);
  if (n < 0 || n >= m_iPins) return nullptr;
  return m_paStreams[n];
}

// Source pins are named by their position from 1 ("1", "2", ...), as QueryId gives them.
STDMETHODIMP CSource::FindPin(LPCWSTR Id, IPin** ppPin) {
  if (!Id || !ppPin) return E_POINTER;
  std::u16string_view id(Id);
  int index = 0;
  bool number = !id.empty() && id.size() < 10 && id.find_first_not_of(u"0123456789") == std::u16string_view::npos;
  if (number)
    for (char16_t c : id) index = index * 10 + (c - u'0');
  CBasePin* pin = number && index >= 1 ? GetPin(index - 1) : nullptr;
  *ppPin = pin;
  if (!pin) return VFW_E_NOT_FOUND;
  pin->AddRef();
  return S_OK;
}

int CSource::FindPinNumber(IPin* iPin) {
  CAutoLock lock(&m_cStateLock);
  for (int i = 0; i < m_iPins; ++i)
    if (static_cast<IPin*>(m_paStreams[i]) == iPin) return i;
  return -1;
}

// ---- Streaming pin ------------------------------------------------------------------------------

CSourceStream::CSourceStream(const TCHAR* pObjectName, HRESULT* phr, CSource* ps, LPCWSTR pPinName)
    : CAMThread(phr), CBaseOutputPin(pObjectName, ps, ps->pStateLock(), phr, pPinName), m_pFilter(ps) {
  HRESULT hr = m_pFilter->AddPin(this);
  if (FAILED(hr) && phr) *phr = hr;
}

CSourceStream::~CSourceStream() { m_pFilter->RemovePin(this); }

STDMETHODIMP CSourceStream::QueryId(LPWSTR* Id) {
  int number = 1 + m_pFilter->FindPinNumber(this);
  if (number < 1) return VFW_E_NOT_FOUND;
  std::u16string text;
  for (char c : std::to_string(number)) text.push_back(static_cast<char16_t>(c));
  return TaskMemWideCopy(text.c_str(), Id);
}

HRESULT CSourceStream::CheckMediaType(const CMediaType* pMediaType) {
  CAutoLock lock(m_pFilter->pStateLock());
  CMediaType mt;
  if (GetMediaType(&mt) != S_OK) return E_FAIL;
  return mt == *pMediaType ? S_OK : E_FAIL;
}

HRESULT CSourceStream::GetMediaType(int iPosition, CMediaType* pMediaType) {
  CAutoLock lock(m_pFilter->pStateLock());
  if (iPosition < 0) return E_INVALIDARG;
  if (iPosition > 0) return VFW_S_NO_MORE_ITEMS;
  return GetMediaType(pMediaType);
}

HRESULT CSourceStream::Active() {
  CAutoLock lock(m_pFilter->pStateLock());
  if (m_pFilter->IsActive()) return S_FALSE;
  if (!IsConnected()) return S_OK;
  HRESULT hr = CBaseOutputPin::Active();
  if (FAILED(hr)) return hr;
  if (!Create()) return E_FAIL;
  hr = static_cast<HRESULT>(Init());
  if (FAILED(hr)) {
    Close();
    return hr;
  }
  return static_cast<HRESULT>(Pause());
}

HRESULT CSourceStream::Inactive() {
  CAutoLock lock(m_pFilter->pStateLock());
  if (!IsConnected()) return S_OK;
  // Decommitting wakes a thread waiting for a buffer; then it can take the stop request.
  HRESULT hr = CBaseOutputPin::Inactive();
  if (FAILED(hr)) return hr;
  if (ThreadExists()) {
    // The thread may need the filter's lock to finish the sample it is filling.
    CAutoUnlockAll unlocked(m_pFilter->pStateLock());
    hr = static_cast<HRESULT>(Stop());
    if (FAILED(hr)) return hr;
    hr = static_cast<HRESULT>(Exit());
    if (FAILED(hr)) return hr;
    Close();
  }
  return S_OK;
}

DWORD CSourceStream::ThreadProc() {
  Command com;
  do {
    com = GetRequest();
    if (com != CMD_INIT) Reply(static_cast<DWORD>(E_UNEXPECTED));
  } while (com != CMD_INIT);

  HRESULT hr = OnThreadCreate();
  if (FAILED(hr)) {
    OnThreadDestroy();
    Reply(static_cast<DWORD>(hr));
    // Serve the remaining requests of this start (Pause, Stop, Exit) with the failure.
    for (;;) {
      com = GetRequest();
      Reply(com == CMD_EXIT || com == CMD_STOP ? S_OK : static_cast<DWORD>(hr));
      if (com == CMD_EXIT) return 1;
    }
  }
  Reply(S_OK);

  do {
    com = GetRequest();
    switch (com) {
      case CMD_EXIT:
      case CMD_STOP:
        Reply(S_OK);
        break;
      case CMD_RUN:
      case CMD_PAUSE:
        Reply(S_OK);
        DoBufferProcessingLoop();
        break;
      default:
        Reply(static_cast<DWORD>(E_NOTIMPL));
        break;
    }
  } while (com != CMD_EXIT);

  hr = OnThreadDestroy();
  return FAILED(hr) ? 1 : 0;
}

HRESULT CSourceStream::DoBufferProcessingLoop() {
  OnThreadStartPlay();
  Command com;
  do {
    while (!CheckRequest(&com)) {
      ComPtr<IMediaSample> sample;
      HRESULT hr = GetDeliveryBuffer(sample.put(), nullptr, nullptr, 0);
      if (FAILED(hr)) {
        // No buffers while decommitted: the stop request is on its way; serve it here.
        com = GetRequest();
        if (com == CMD_RUN || com == CMD_PAUSE) {
          Reply(S_OK);
          continue;
        }
        Reply(com == CMD_STOP ? S_OK : static_cast<DWORD>(E_UNEXPECTED));
        return S_FALSE;
      }
      hr = FillBuffer(sample.get());
      if (hr != S_OK) {
        sample = nullptr;  // back to the allocator before the stream ends
        return OnFillEnded(hr);
      }
      hr = Deliver(sample.get());
      if (hr != S_OK) return S_OK;  // downstream refused: wait for the next command
    }
    // Pause and Run only change the filter state; keep streaming.
    if (com == CMD_RUN || com == CMD_PAUSE) {
      GetRequest();
      Reply(S_OK);
    } else if (com != CMD_STOP) {
      GetRequest();
      Reply(static_cast<DWORD>(E_UNEXPECTED));
    }
  } while (com != CMD_STOP);
  return S_FALSE;
}

HRESULT CSourceStream::OnFillEnded(HRESULT hr) {
  DeliverEndOfStream();
  if (hr == S_FALSE) return S_OK;
  m_pFilter->NotifyEvent(EC_ERRORABORT, hr, 0);
  return hr;
}
