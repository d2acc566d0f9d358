#include "file_writer.h"

#include "media_types.h"
#include "win32/paths.h"
#include "win32/utf.h"

namespace dshow::filters {

FileWriter::InputPin::InputPin(FileWriter* filter, HRESULT* phr)
    : CBaseInputPin("File Writer input", filter, &filter->lock_, phr, u"in"), filter_(filter) {}

HRESULT FileWriter::InputPin::CheckMediaType(const CMediaType* mt) {
  return *mt->Type() == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

STDMETHODIMP FileWriter::InputPin::Receive(IMediaSample* sample) {
  if (HRESULT hr = CBaseInputPin::Receive(sample); hr != S_OK) return hr;
  return filter_->Write(sample);
}

STDMETHODIMP FileWriter::InputPin::EndOfStream() {
  if (HRESULT hr = CheckStreaming(); hr != S_OK) return hr;
  filter_->InputEnded();
  return S_OK;
}

STDMETHODIMP FileWriter::InputPin::EndFlush() {
  filter_->InputRestarted();
  return CBaseInputPin::EndFlush();
}

FileWriter::FileWriter(LPUNKNOWN outer, HRESULT* phr) : SinkFilter("File Writer", outer, CLSID_FileWriter) {
  input_ = std::make_unique<InputPin>(this, phr);
  SetSeekingPin(input_.get());
}

FileWriter::~FileWriter() { CloseFile(); }

CUnknown* FileWriter::CreateInstance(LPUNKNOWN outer, HRESULT* phr) { return new FileWriter(outer, phr); }

CBasePin* FileWriter::GetPin(int n) { return n == 0 ? input_.get() : nullptr; }

STDMETHODIMP FileWriter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IFileSinkFilter || riid == IID_IFileSinkFilter2)
    return GetInterface(static_cast<IFileSinkFilter2*>(this), ppv);
  return SinkFilter::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP FileWriter::Stop() {
  HRESULT hr = SinkFilter::Stop();
  CloseFile();
  return hr;
}

STDMETHODIMP FileWriter::SetFileName(LPCOLESTR pszFileName, const AM_MEDIA_TYPE*) {
  if (!pszFileName) return E_POINTER;
  if (!*pszFileName) return E_INVALIDARG;
  CAutoLock hold(&fileLock_);
  if (file_) return VFW_E_WRONG_STATE;
  name_ = pszFileName;
  return S_OK;
}

STDMETHODIMP FileWriter::GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) {
  if (!ppszFileName) return E_POINTER;
  *ppszFileName = nullptr;
  CAutoLock hold(&fileLock_);
  if (name_.empty()) return E_FAIL;
  if (FAILED(TaskMemWideCopy(name_.c_str(), ppszFileName))) return E_OUTOFMEMORY;
  if (pmt) {
    *pmt = AM_MEDIA_TYPE{};
    if (input_->IsConnected()) {
      CopyMediaType(pmt, &input_->CurrentMediaType());
    } else {
      pmt->majortype = MEDIATYPE_Stream;
      pmt->subtype = MEDIASUBTYPE_None;
      pmt->formattype = FORMAT_None;
    }
  }
  return S_OK;
}

STDMETHODIMP FileWriter::SetMode(DWORD dwFlags) {
  if (dwFlags & ~DWORD(AM_FILE_OVERWRITE)) return E_INVALIDARG;
  mode_ = dwFlags;
  return S_OK;
}

STDMETHODIMP FileWriter::GetMode(DWORD* pdwFlags) {
  if (!pdwFlags) return E_POINTER;
  *pdwFlags = mode_;
  return S_OK;
}

std::string FileWriter::PosixPath() {
  CAutoLock hold(&fileLock_);
  return name_.empty() ? std::string() : PosixPathFromPlatform(win32::Utf16ToUtf8(name_));
}

HRESULT FileWriter::Write(IMediaSample* sample) {
  CAutoLock hold(&fileLock_);
  if (!file_) {
    if (name_.empty()) return VFW_E_WRONG_STATE;
    // A new stream always starts an empty file: bytes of an older, longer file left behind the
    // new end would corrupt it.
    file_ = std::fopen(PosixPathFromPlatform(win32::Utf16ToUtf8(name_)).c_str(), "w+b");
    if (!file_) {
      NotifyEvent(EC_ERRORABORT, E_ACCESSDENIED, 0);
      return E_ACCESSDENIED;
    }
  }
  BYTE* data = nullptr;
  if (FAILED(sample->GetPointer(&data))) return E_POINTER;
  const LONG length = sample->GetActualDataLength();
  REFERENCE_TIME start = 0, stop = 0;
  const bool positioned = SUCCEEDED(sample->GetTime(&start, &stop)) && start >= 0;
  if (positioned ? fseeko(file_, off_t(start), SEEK_SET) != 0 : fseeko(file_, 0, SEEK_END) != 0) return E_FAIL;
  if (length > 0 && std::fwrite(data, 1, size_t(length), file_) != size_t(length)) {
    NotifyEvent(EC_ERRORABORT, STG_E_MEDIUMFULL, 0);
    return STG_E_MEDIUMFULL;
  }
  return S_OK;
}

void FileWriter::CloseFile() {
  CAutoLock hold(&fileLock_);
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

}  // namespace dshow::filters
