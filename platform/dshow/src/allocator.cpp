#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "dshow/amfilter.h"

// ---- Sample -------------------------------------------------------------------------------------

CMediaSample::CMediaSample(const TCHAR*, CBaseAllocator* pAllocator, HRESULT*, LPBYTE pBuffer, LONG length)
    : m_pBuffer(pBuffer), m_lActual(length), m_cbBuffer(length), m_pAllocator(pAllocator) {}

CMediaSample::~CMediaSample() { DeleteMediaType(m_pMediaType); }

STDMETHODIMP CMediaSample::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IMediaSample || riid == IID_IMediaSample2 || riid == IID_IUnknown)
    return GetInterface(static_cast<IMediaSample2*>(this), ppv);
  *ppv = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CMediaSample::AddRef() { return static_cast<ULONG>(++m_cRef); }

STDMETHODIMP_(ULONG) CMediaSample::Release() {
  LONG ref = --m_cRef;
  if (ref == 0) {
    // Back to the pool clean.
    m_dwFlags = 0;
    m_dwTypeSpecificFlags = 0;
    m_lActual = m_cbBuffer;
    DeleteMediaType(m_pMediaType);
    m_pMediaType = nullptr;
    m_pAllocator->ReleaseBuffer(this);
  }
  return static_cast<ULONG>(ref);
}

HRESULT CMediaSample::SetPointer(BYTE* ptr, LONG cBytes) {
  if (cBytes < 0) return VFW_E_BUFFER_OVERFLOW;
  m_pBuffer = ptr;
  m_cbBuffer = cBytes;
  m_lActual = cBytes;
  return S_OK;
}

STDMETHODIMP CMediaSample::GetPointer(BYTE** ppBuffer) {
  if (!ppBuffer) return E_POINTER;
  *ppBuffer = m_pBuffer;
  return S_OK;
}

STDMETHODIMP_(LONG) CMediaSample::GetSize() { return m_cbBuffer; }

STDMETHODIMP CMediaSample::GetTime(REFERENCE_TIME* pTimeStart, REFERENCE_TIME* pTimeEnd) {
  if (!pTimeStart || !pTimeEnd) return E_POINTER;
  if (!(m_dwFlags & Sample_TimeValid)) return VFW_E_SAMPLE_TIME_NOT_SET;
  *pTimeStart = m_Start;
  if (!(m_dwFlags & Sample_StopValid)) {
    *pTimeEnd = m_Start + 1;
    return VFW_S_NO_STOP_TIME;
  }
  *pTimeEnd = m_End;
  return S_OK;
}

STDMETHODIMP CMediaSample::SetTime(REFERENCE_TIME* pTimeStart, REFERENCE_TIME* pTimeEnd) {
  if (!pTimeStart) {
    m_dwFlags &= ~(Sample_TimeValid | Sample_StopValid);
    return S_OK;
  }
  m_Start = *pTimeStart;
  m_dwFlags |= Sample_TimeValid;
  if (pTimeEnd) {
    m_End = *pTimeEnd;
    m_dwFlags |= Sample_StopValid;
  } else {
    m_dwFlags &= ~Sample_StopValid;
  }
  return S_OK;
}

STDMETHODIMP CMediaSample::IsSyncPoint() { return (m_dwFlags & Sample_SyncPoint) ? S_OK : S_FALSE; }

STDMETHODIMP CMediaSample::SetSyncPoint(BOOL bIsSyncPoint) {
  m_dwFlags = bIsSyncPoint ? (m_dwFlags | Sample_SyncPoint) : (m_dwFlags & ~Sample_SyncPoint);
  return S_OK;
}

STDMETHODIMP CMediaSample::IsPreroll() { return (m_dwFlags & Sample_Preroll) ? S_OK : S_FALSE; }

STDMETHODIMP CMediaSample::SetPreroll(BOOL bIsPreroll) {
  m_dwFlags = bIsPreroll ? (m_dwFlags | Sample_Preroll) : (m_dwFlags & ~Sample_Preroll);
  return S_OK;
}

STDMETHODIMP_(LONG) CMediaSample::GetActualDataLength() { return m_lActual; }

STDMETHODIMP CMediaSample::SetActualDataLength(LONG length) {
  if (length < 0 || length > m_cbBuffer) return VFW_E_BUFFER_OVERFLOW;
  m_lActual = length;
  return S_OK;
}

STDMETHODIMP CMediaSample::GetMediaType(AM_MEDIA_TYPE** ppMediaType) {
  if (!ppMediaType) return E_POINTER;
  if (!(m_dwFlags & Sample_TypeChanged) || !m_pMediaType) {
    *ppMediaType = nullptr;
    return S_FALSE;
  }
  *ppMediaType = CreateMediaType(m_pMediaType);
  return *ppMediaType ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CMediaSample::SetMediaType(AM_MEDIA_TYPE* pMediaType) {
  DeleteMediaType(m_pMediaType);
  m_pMediaType = nullptr;
  if (!pMediaType) {
    m_dwFlags &= ~Sample_TypeChanged;
    return S_OK;
  }
  m_pMediaType = CreateMediaType(pMediaType);
  if (!m_pMediaType) {
    m_dwFlags &= ~Sample_TypeChanged;
    return E_OUTOFMEMORY;
  }
  m_dwFlags |= Sample_TypeChanged;
  return S_OK;
}

STDMETHODIMP CMediaSample::IsDiscontinuity() { return (m_dwFlags & Sample_Discontinuity) ? S_OK : S_FALSE; }

STDMETHODIMP CMediaSample::SetDiscontinuity(BOOL bDiscontinuity) {
  m_dwFlags = bDiscontinuity ? (m_dwFlags | Sample_Discontinuity) : (m_dwFlags & ~Sample_Discontinuity);
  return S_OK;
}

STDMETHODIMP CMediaSample::GetMediaTime(LONGLONG* pTimeStart, LONGLONG* pTimeEnd) {
  if (!pTimeStart || !pTimeEnd) return E_POINTER;
  if (!(m_dwFlags & Sample_MediaTimeValid)) return VFW_E_MEDIA_TIME_NOT_SET;
  *pTimeStart = m_MediaStart;
  *pTimeEnd = m_MediaStart + m_MediaEnd;
  return S_OK;
}

STDMETHODIMP CMediaSample::SetMediaTime(LONGLONG* pTimeStart, LONGLONG* pTimeEnd) {
  if (!pTimeStart) {
    m_dwFlags &= ~Sample_MediaTimeValid;
    return S_OK;
  }
  if (!pTimeEnd) return E_POINTER;
  m_MediaStart = *pTimeStart;
  m_MediaEnd = static_cast<LONG>(*pTimeEnd - *pTimeStart);
  m_dwFlags |= Sample_MediaTimeValid;
  return S_OK;
}

STDMETHODIMP CMediaSample::GetProperties(DWORD cbProperties, BYTE* pbProperties) {
  if (cbProperties == 0) return S_OK;
  if (!pbProperties) return E_POINTER;
  AM_SAMPLE2_PROPERTIES props{};
  props.cbData = cbProperties < sizeof props ? cbProperties : sizeof props;
  props.dwTypeSpecificFlags = m_dwTypeSpecificFlags;
  // The platform's sample flags are ours with media-time and stop validity spelled apart.
  props.dwSampleFlags = m_dwFlags & ~Sample_MediaTimeValid;
  props.lActual = m_lActual;
  props.tStart = m_Start;
  props.tStop = m_End;
  props.dwStreamId = m_dwStreamId;
  props.pMediaType = (m_dwFlags & Sample_TypeChanged) ? m_pMediaType : nullptr;
  props.pbBuffer = m_pBuffer;
  props.cbBuffer = m_cbBuffer;
  std::memcpy(pbProperties, &props, props.cbData);
  return S_OK;
}

// Only the fields that fit in cbProperties are applied; the buffer and its size cannot change.
STDMETHODIMP CMediaSample::SetProperties(DWORD cbProperties, const BYTE* pbProperties) {
  if (cbProperties == 0) return S_OK;
  if (!pbProperties) return E_POINTER;
  AM_SAMPLE2_PROPERTIES props{};
  if (cbProperties > sizeof props) return E_INVALIDARG;
  std::memcpy(&props, pbProperties, cbProperties);
  if (cbProperties >= sizeof props.cbData && props.cbData < cbProperties) cbProperties = props.cbData;
  auto has = [cbProperties](size_t offset, size_t size) { return offset + size <= cbProperties; };
#define DSHOW_HAS(field) has(offsetof(AM_SAMPLE2_PROPERTIES, field), sizeof(props.field))
  if (DSHOW_HAS(dwSampleFlags) && (props.dwSampleFlags & Sample_MediaTimeValid)) return E_INVALIDARG;
  if (DSHOW_HAS(pbBuffer) && props.pbBuffer && props.pbBuffer != m_pBuffer) return E_INVALIDARG;
  if (DSHOW_HAS(cbBuffer) && props.cbBuffer != 0 && props.cbBuffer != m_cbBuffer) return E_INVALIDARG;
  if (DSHOW_HAS(lActual) && (props.lActual < 0 || props.lActual > m_cbBuffer)) return VFW_E_BUFFER_OVERFLOW;
  if (DSHOW_HAS(pMediaType) && DSHOW_HAS(dwSampleFlags) && (props.dwSampleFlags & AM_SAMPLE_TYPECHANGED)) {
    HRESULT hr = SetMediaType(props.pMediaType);
    if (FAILED(hr)) return hr;
  }
  if (DSHOW_HAS(dwStreamId)) m_dwStreamId = props.dwStreamId;
  if (DSHOW_HAS(dwSampleFlags)) {
    DWORD keep = m_dwFlags & (Sample_TypeChanged | Sample_MediaTimeValid);
    m_dwFlags = (props.dwSampleFlags & ~Sample_TypeChanged) | keep;
    if (!(props.dwSampleFlags & AM_SAMPLE_TYPECHANGED) && DSHOW_HAS(pMediaType)) SetMediaType(nullptr);
  }
  if (DSHOW_HAS(dwTypeSpecificFlags)) m_dwTypeSpecificFlags = props.dwTypeSpecificFlags;
  if (DSHOW_HAS(lActual)) m_lActual = props.lActual;
  if (DSHOW_HAS(tStart)) m_Start = props.tStart;
  if (DSHOW_HAS(tStop)) m_End = props.tStop;
#undef DSHOW_HAS
  return S_OK;
}

// ---- Allocator pool -----------------------------------------------------------------------------

CBaseAllocator::CBaseAllocator(const TCHAR* pName, LPUNKNOWN pUnk, HRESULT* phr, BOOL, BOOL)
    : CUnknown(pName, pUnk, phr) {}

CBaseAllocator::~CBaseAllocator() = default;

STDMETHODIMP CBaseAllocator::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IMemAllocator) return GetInterface(static_cast<IMemAllocator*>(this), ppv);
  return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP CBaseAllocator::SetProperties(ALLOCATOR_PROPERTIES* pRequest, ALLOCATOR_PROPERTIES* pActual) {
  if (!pRequest || !pActual) return E_POINTER;
  std::lock_guard<std::mutex> lock(m_poolLock);
  if (m_bCommitted) return VFW_E_ALREADY_COMMITTED;
  if (m_free.size() != m_all.size()) return VFW_E_BUFFERS_OUTSTANDING;
  *pActual = *pRequest;
  m_lCount = pRequest->cBuffers;
  m_lSize = pRequest->cbBuffer;
  m_lAlignment = pRequest->cbAlign;
  m_lPrefix = pRequest->cbPrefix;
  m_bChanged = TRUE;
  return S_OK;
}

STDMETHODIMP CBaseAllocator::GetProperties(ALLOCATOR_PROPERTIES* pProps) {
  if (!pProps) return E_POINTER;
  std::lock_guard<std::mutex> lock(m_poolLock);
  pProps->cBuffers = m_lCount;
  pProps->cbBuffer = m_lSize;
  pProps->cbAlign = m_lAlignment;
  pProps->cbPrefix = m_lPrefix;
  return S_OK;
}

STDMETHODIMP CBaseAllocator::Commit() {
  std::lock_guard<std::mutex> lock(m_poolLock);
  if (m_bCommitted) return S_OK;
  if (m_lCount <= 0 || m_lSize <= 0) return VFW_E_SIZENOTSET;
  m_bDecommitInProgress = FALSE;
  if (m_bChanged && !m_all.empty() && m_free.size() == m_all.size()) Free();
  if (m_all.empty()) {
    HRESULT hr = Alloc();
    if (FAILED(hr)) return hr;
  }
  m_bChanged = FALSE;
  m_bCommitted = TRUE;
  return S_OK;
}

STDMETHODIMP CBaseAllocator::Decommit() {
  std::unique_lock<std::mutex> lock(m_poolLock);
  if (!m_bCommitted) return S_OK;
  m_bCommitted = FALSE;
  m_bDecommitInProgress = TRUE;
  m_bufferReturned.notify_all();
  FreeIfDecommitted(lock);
  return S_OK;
}

void CBaseAllocator::FreeIfDecommitted(std::unique_lock<std::mutex>&) {
  if (m_bDecommitInProgress && m_free.size() == m_all.size()) {
    Free();
    m_bDecommitInProgress = FALSE;
  }
}

STDMETHODIMP CBaseAllocator::GetBuffer(IMediaSample** ppBuffer, REFERENCE_TIME*, REFERENCE_TIME*, DWORD dwFlags) {
  if (!ppBuffer) return E_POINTER;
  *ppBuffer = nullptr;
  {
    std::unique_lock<std::mutex> lock(m_poolLock);
    if (dwFlags & AM_GBF_NOWAIT) {
      if (m_bCommitted && m_free.empty()) return VFW_E_TIMEOUT;
    } else {
      m_bufferReturned.wait(lock, [this] { return !m_bCommitted || !m_free.empty(); });
    }
    if (!m_bCommitted) return VFW_E_NOT_COMMITTED;
    CMediaSample* sample = m_free.back();
    m_free.pop_back();
    sample->m_cRef = 1;
    *ppBuffer = sample;
  }
  // An outstanding buffer keeps its allocator alive.
  AddRef();
  return S_OK;
}

STDMETHODIMP CBaseAllocator::ReleaseBuffer(IMediaSample* pBuffer) {
  if (!pBuffer) return E_POINTER;
  {
    std::unique_lock<std::mutex> lock(m_poolLock);
    m_free.push_back(static_cast<CMediaSample*>(pBuffer));
    m_bufferReturned.notify_one();
    FreeIfDecommitted(lock);
  }
  Release();
  return S_OK;
}

HRESULT CBaseAllocator::Alloc() { return S_OK; }

// ---- Memory allocator ---------------------------------------------------------------------------

CMemAllocator::CMemAllocator(const TCHAR* pName, LPUNKNOWN pUnk, HRESULT* phr)
    : CBaseAllocator(pName, pUnk, phr) {}

CMemAllocator::~CMemAllocator() {
  std::lock_guard<std::mutex> lock(m_poolLock);
  Free();
}

CUnknown* CMemAllocator::CreateInstance(LPUNKNOWN pUnk, HRESULT* phr) {
  return new CMemAllocator("memory allocator", pUnk, phr);
}

STDMETHODIMP CMemAllocator::SetProperties(ALLOCATOR_PROPERTIES* pRequest, ALLOCATOR_PROPERTIES* pActual) {
  if (!pRequest || !pActual) return E_POINTER;
  LONG align = pRequest->cbAlign;
  if (align <= 0 || (align & (align - 1)) != 0) return VFW_E_BADALIGN;
  if (pRequest->cBuffers < 0 || pRequest->cbBuffer < 0 || pRequest->cbPrefix < 0) return E_INVALIDARG;
  ALLOCATOR_PROPERTIES adjusted = *pRequest;
  const int64_t total = int64_t(adjusted.cbBuffer) + adjusted.cbPrefix;
  const int64_t rounded = (total + align - 1) / align * align;
  if (rounded > INT32_MAX) return E_OUTOFMEMORY;
  adjusted.cbBuffer += LONG(rounded - total);
  return CBaseAllocator::SetProperties(&adjusted, pActual);
}

HRESULT CMemAllocator::Alloc() {
  // aligned_alloc wants a size that is a multiple of the alignment.
  size_t align = static_cast<size_t>(m_lAlignment);
  if (align < alignof(std::max_align_t)) align = alignof(std::max_align_t);
  size_t bytes = static_cast<size_t>(m_lPrefix) + static_cast<size_t>(m_lSize);
  bytes = (bytes + align - 1) / align * align;
  for (LONG i = 0; i < m_lCount; ++i) {
    BYTE* block = static_cast<BYTE*>(std::aligned_alloc(align, bytes));
    if (!block) {
      Free();
      return E_OUTOFMEMORY;
    }
    m_blocks.push_back(block);
    HRESULT hr = S_OK;
    auto* sample = new CMediaSample("memory sample", this, &hr, block + m_lPrefix, m_lSize);
    m_all.push_back(sample);
    m_free.push_back(sample);
  }
  return S_OK;
}

void CMemAllocator::Free() {
  for (CMediaSample* sample : m_all) delete sample;
  m_all.clear();
  m_free.clear();
  for (BYTE* block : m_blocks) std::free(block);
  m_blocks.clear();
}
