#include "hglobal_stream.h"

#include <cstring>

#include "stream_copy.h"
#include "win32/winbase.h"

namespace ole {

HGlobalStream::Memory::~Memory() {
  if (deleteOnRelease && handle) GlobalFree(handle);
}

HGlobalStream::HGlobalStream(std::shared_ptr<Memory> memory, uint64_t position)
    : memory_(std::move(memory)), position_(position) {}

HGLOBAL HGlobalStream::Handle() const {
  std::lock_guard<std::mutex> lock(memory_->mutex);
  return memory_->handle;
}

bool HGlobalStream::Resize(uint64_t size) {
  if (size > SIZE_MAX) return false;
  HGLOBAL resized = GlobalReAlloc(memory_->handle, static_cast<SIZE_T>(size), GMEM_MOVEABLE | GMEM_ZEROINIT);
  if (!resized) return false;
  memory_->handle = resized;  // a fixed block's handle is its address, which may move
  return true;
}

STDMETHODIMP HGlobalStream::Read(void* pv, ULONG cb, ULONG* pcbRead) {
  if (pcbRead) *pcbRead = 0;
  if (!pv) return STG_E_INVALIDPOINTER;
  std::lock_guard<std::mutex> lock(memory_->mutex);
  const uint64_t size = GlobalSize(memory_->handle);
  const ULONG n = position_ >= size ? 0 : static_cast<ULONG>(std::min<uint64_t>(cb, size - position_));
  if (n > 0) {
    const char* data = static_cast<const char*>(GlobalLock(memory_->handle));
    std::memcpy(pv, data + position_, n);
    GlobalUnlock(memory_->handle);
    position_ += n;
  }
  if (pcbRead) *pcbRead = n;
  return S_OK;
}

STDMETHODIMP HGlobalStream::Write(const void* pv, ULONG cb, ULONG* pcbWritten) {
  if (pcbWritten) *pcbWritten = 0;
  if (!pv) return STG_E_INVALIDPOINTER;
  if (cb == 0) return S_OK;
  std::lock_guard<std::mutex> lock(memory_->mutex);
  const uint64_t end = position_ + cb;
  if (end > GlobalSize(memory_->handle) && !Resize(end)) return STG_E_MEDIUMFULL;
  char* data = static_cast<char*>(GlobalLock(memory_->handle));
  std::memcpy(data + position_, pv, cb);
  GlobalUnlock(memory_->handle);
  position_ = end;
  if (pcbWritten) *pcbWritten = cb;
  return S_OK;
}

STDMETHODIMP HGlobalStream::Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) {
  int64_t base;
  switch (dwOrigin) {
    case STREAM_SEEK_SET: base = 0; break;
    case STREAM_SEEK_CUR: base = static_cast<int64_t>(position_); break;
    case STREAM_SEEK_END: {
      std::lock_guard<std::mutex> lock(memory_->mutex);
      base = static_cast<int64_t>(GlobalSize(memory_->handle));
      break;
    }
    default: return STG_E_INVALIDFUNCTION;
  }
  int64_t target;
  if (__builtin_add_overflow(base, dlibMove.QuadPart, &target) || target < 0) return STG_E_INVALIDFUNCTION;
  position_ = static_cast<uint64_t>(target);
  if (plibNewPosition) plibNewPosition->QuadPart = position_;
  return S_OK;
}

STDMETHODIMP HGlobalStream::SetSize(ULARGE_INTEGER libNewSize) {
  std::lock_guard<std::mutex> lock(memory_->mutex);
  return Resize(libNewSize.QuadPart) ? S_OK : STG_E_MEDIUMFULL;
}

STDMETHODIMP HGlobalStream::CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                                   ULARGE_INTEGER* pcbWritten) {
  return ole::CopyStream(this, pstm, cb, pcbRead, pcbWritten);
}

// Memory streams write straight through: nothing to commit or revert, no regions to lock.
STDMETHODIMP HGlobalStream::Commit(DWORD) { return S_OK; }
STDMETHODIMP HGlobalStream::Revert() { return S_OK; }
STDMETHODIMP HGlobalStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }
STDMETHODIMP HGlobalStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }

STDMETHODIMP HGlobalStream::Stat(STATSTG* pstatstg, DWORD) {
  if (!pstatstg) return STG_E_INVALIDPOINTER;
  *pstatstg = STATSTG{};
  pstatstg->type = STGTY_STREAM;
  std::lock_guard<std::mutex> lock(memory_->mutex);
  pstatstg->cbSize.QuadPart = GlobalSize(memory_->handle);
  pstatstg->grfMode = STGM_READWRITE;
  return S_OK;
}

STDMETHODIMP HGlobalStream::Clone(IStream** ppstm) {
  if (!ppstm) return STG_E_INVALIDPOINTER;
  *ppstm = new HGlobalStream(memory_, position_);
  return S_OK;
}

}  // namespace ole

HRESULT CreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL fDeleteOnRelease, LPSTREAM* ppstm) {
  if (!ppstm) return E_INVALIDARG;
  *ppstm = nullptr;
  auto memory = std::make_shared<ole::HGlobalStream::Memory>();
  if (!hGlobal) {
    hGlobal = GlobalAlloc(GMEM_MOVEABLE, 0);
    if (!hGlobal) return E_OUTOFMEMORY;
  }
  memory->handle = hGlobal;
  memory->deleteOnRelease = fDeleteOnRelease;
  *ppstm = new ole::HGlobalStream(std::move(memory), 0);
  return S_OK;
}

HRESULT GetHGlobalFromStream(LPSTREAM pstm, HGLOBAL* phglobal) {
  if (!phglobal) return E_INVALIDARG;
  *phglobal = nullptr;
  auto* stream = dynamic_cast<ole::HGlobalStream*>(pstm);
  if (!stream) return E_INVALIDARG;
  *phglobal = stream->Handle();
  return S_OK;
}
