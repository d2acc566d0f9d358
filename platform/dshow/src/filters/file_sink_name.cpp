#include "dshow/file_sink_name.h"

#include "win32/paths.h"
#include "win32/utf.h"

namespace dshow::filters {

HRESULT FileSinkName::Set(LPCOLESTR name) {
  if (!name) return E_POINTER;
  if (!*name) return E_INVALIDARG;
  CAutoLock hold(lock_);
  if (!filter_->IsStopped()) return VFW_E_NOT_STOPPED;
  name_ = name;
  return S_OK;
}

HRESULT FileSinkName::Get(LPOLESTR* name, AM_MEDIA_TYPE* pmt) const {
  if (!name) return E_POINTER;
  *name = nullptr;
  CAutoLock hold(lock_);
  if (name_.empty()) return E_FAIL;
  if (FAILED(TaskMemWideCopy(name_.c_str(), name))) return E_OUTOFMEMORY;
  if (pmt) {
    *pmt = AM_MEDIA_TYPE{};
    pmt->majortype = MEDIATYPE_Stream;
    pmt->subtype = subtype_;
    pmt->formattype = FORMAT_None;
  }
  return S_OK;
}

HRESULT FileSinkName::StartMuxer(FileMuxer* muxer, const MuxSettings& settings) const {
  if (const int err = muxer->Start(PosixPathFromPlatform(win32::Utf16ToUtf8(name_)), settings); err < 0)
    return err == AVERROR(EACCES) ? E_ACCESSDENIED : E_FAIL;
  return S_OK;
}

}  // namespace dshow::filters
