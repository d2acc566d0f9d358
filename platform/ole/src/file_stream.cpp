#include "file_stream.h"

#include <cstring>

#include "ole/objbase.h"
#include "stream_copy.h"
#include "win32/utf.h"
#include "win32/winbase.h"

namespace ole {

namespace {

// The storage error for the last failed file call.
HRESULT StorageError(HRESULT fallback) {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND: return STG_E_FILENOTFOUND;
    case ERROR_PATH_NOT_FOUND: return STG_E_PATHNOTFOUND;
    case ERROR_ACCESS_DENIED: return STG_E_ACCESSDENIED;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return STG_E_MEDIUMFULL;
    default: return fallback;
  }
}

}  // namespace

FileStream::FileStream(HANDLE file, std::string name, DWORD mode)
    : file_(file), name_(std::move(name)), mode_(mode) {}

FileStream::~FileStream() { CloseHandle(file_); }

STDMETHODIMP FileStream::Read(void* pv, ULONG cb, ULONG* pcbRead) {
  if (pcbRead) *pcbRead = 0;
  if (!pv) return STG_E_INVALIDPOINTER;
  if ((mode_ & 3) == STGM_WRITE) return STG_E_ACCESSDENIED;
  DWORD got = 0;
  if (!ReadFile(file_, pv, cb, &got, nullptr)) return StorageError(STG_E_READFAULT);
  if (pcbRead) *pcbRead = got;
  return S_OK;
}

STDMETHODIMP FileStream::Write(const void* pv, ULONG cb, ULONG* pcbWritten) {
  if (pcbWritten) *pcbWritten = 0;
  if (!pv) return STG_E_INVALIDPOINTER;
  if ((mode_ & 3) == STGM_READ) return STG_E_ACCESSDENIED;
  DWORD put = 0;
  if (!WriteFile(file_, pv, cb, &put, nullptr)) return StorageError(STG_E_WRITEFAULT);
  if (pcbWritten) *pcbWritten = put;
  return S_OK;
}

STDMETHODIMP FileStream::Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) {
  if (dwOrigin > STREAM_SEEK_END) return STG_E_INVALIDFUNCTION;
  // The stream origins have the values of FILE_BEGIN, FILE_CURRENT and FILE_END.
  LARGE_INTEGER position;
  if (!SetFilePointerEx(file_, dlibMove, &position, dwOrigin)) return STG_E_INVALIDFUNCTION;
  if (plibNewPosition) plibNewPosition->QuadPart = static_cast<ULONGLONG>(position.QuadPart);
  return S_OK;
}

STDMETHODIMP FileStream::SetSize(ULARGE_INTEGER libNewSize) {
  if ((mode_ & 3) == STGM_READ) return STG_E_ACCESSDENIED;
  LARGE_INTEGER zero = {}, here, size;
  size.QuadPart = static_cast<LONGLONG>(libNewSize.QuadPart);
  if (!SetFilePointerEx(file_, zero, &here, FILE_CURRENT)) return STG_E_SEEKERROR;
  const bool ok = SetFilePointerEx(file_, size, nullptr, FILE_BEGIN) && SetEndOfFile(file_);
  const HRESULT hr = ok ? S_OK : StorageError(STG_E_MEDIUMFULL);
  SetFilePointerEx(file_, here, nullptr, FILE_BEGIN);
  return hr;
}

STDMETHODIMP FileStream::CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                                ULARGE_INTEGER* pcbWritten) {
  return ole::CopyStream(this, pstm, cb, pcbRead, pcbWritten);
}

STDMETHODIMP FileStream::Commit(DWORD) {
  if ((mode_ & 3) != STGM_READ && !FlushFileBuffers(file_)) return StorageError(STG_E_WRITEFAULT);
  return S_OK;
}

// Files are written directly: there is nothing to revert, and regions cannot be locked.
STDMETHODIMP FileStream::Revert() { return S_OK; }
STDMETHODIMP FileStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }
STDMETHODIMP FileStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }

STDMETHODIMP FileStream::Stat(STATSTG* pstatstg, DWORD grfStatFlag) {
  if (!pstatstg) return STG_E_INVALIDPOINTER;
  *pstatstg = STATSTG{};
  pstatstg->type = STGTY_STREAM;
  pstatstg->grfMode = mode_;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file_, &size)) return StorageError(STG_E_INVALIDHANDLE);
  pstatstg->cbSize.QuadPart = static_cast<ULONGLONG>(size.QuadPart);
  GetFileTime(file_, &pstatstg->ctime, &pstatstg->atime, &pstatstg->mtime);
  if (!(grfStatFlag & STATFLAG_NONAME)) {
    const std::u16string name = win32::Utf8ToUtf16(name_);
    const size_t bytes = (name.size() + 1) * sizeof(OLECHAR);
    pstatstg->pwcsName = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (!pstatstg->pwcsName) return STG_E_INSUFFICIENTMEMORY;
    std::memcpy(pstatstg->pwcsName, name.c_str(), bytes);
  }
  return S_OK;
}

// A file stream has one position in one open file; the platform does not clone it either.
STDMETHODIMP FileStream::Clone(IStream** ppstm) {
  if (ppstm) *ppstm = nullptr;
  return E_NOTIMPL;
}

}  // namespace ole

HRESULT CreateStreamOnFile(LPCSTR pszFile, DWORD grfMode, LPSTREAM* ppstm) {
  if (!ppstm) return E_INVALIDARG;
  *ppstm = nullptr;
  if (!pszFile) return STG_E_INVALIDPOINTER;
  DWORD access;
  switch (grfMode & 3) {
    case STGM_READ: access = GENERIC_READ; break;
    case STGM_WRITE: access = GENERIC_WRITE; break;
    case STGM_READWRITE: access = GENERIC_READ | GENERIC_WRITE; break;
    default: return STG_E_INVALIDFLAG;
  }
  const DWORD disposition = grfMode & STGM_CREATE ? CREATE_ALWAYS : OPEN_EXISTING;
  HANDLE file = CreateFile(pszFile, access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return ole::StorageError(STG_E_FILENOTFOUND);
  *ppstm = new ole::FileStream(file, pszFile, grfMode);
  return S_OK;
}
