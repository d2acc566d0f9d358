#include "file_writer.h"

#include "dshow/media_types.h"
#include "win32/paths.h"
#include "win32/utf.h"

namespace dshow::filters {

FileWriter::InputPin::InputPin(FileWriter* filter, HRESULT* phr)
    : CBaseInputPin("File Writer input", filter, &filter->lock_, phr, u"in"), filter_(filter) {}

HRESULT FileWriter::InputPin::CheckMediaType(const CMediaType* mt) {
  return *mt->Type() == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

// Stopped, only the rest of a stream that has not ended is taken: Write refuses anything else.
STDMETHODIMP FileWriter::InputPin::Receive(IMediaSample* sample) {
  if (IsStopped()) return sample ? filter_->Write(sample) : E_POINTER;
  if (HRESULT hr = CBaseInputPin::Receive(sample); hr != S_OK) return hr;
  return filter_->Write(sample);
}

STDMETHODIMP FileWriter::InputPin::EndOfStream() {
  if (IsStopped()) {
    if (!filter_->FileOpen()) return VFW_E_WRONG_STATE;
    filter_->CloseFile();
    return S_OK;
  }
  if (HRESULT hr = CheckStreaming(); hr != S_OK) return hr;
  filter_->InputEnded();
  return S_OK;
}

STDMETHODIMP FileWriter::InputPin::EndFlush() {
  filter_->InputRestarted();
  return CBaseInputPin::EndFlush();
}

// The writer upstream finishing its stream still needs buffers; its own pin decommits them.
HRESULT FileWriter::InputPin::Inactive() {
  if (!filter_->FileOpen()) return CBaseInputPin::Inactive();
  m_bFlushing = FALSE;
  return CBasePin::Inactive();
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

STDMETHODIMP FileWriter::Pause() {
  {
    CAutoLock hold(&lock_);
    if (m_State == State_Stopped && input_->IsConnected()) {
      if (HRESULT hr = OpenFile(); FAILED(hr)) {
        NotifyEvent(EC_ERRORABORT, hr, 0);
        return hr;
      }
    }
  }
  return SinkFilter::Pause();
}

STDMETHODIMP FileWriter::Stop() {
  const HRESULT hr = SinkFilter::Stop();
  CAutoLock hold(&fileLock_);
  if (file_) std::fflush(file_);
  return hr;
}

STDMETHODIMP FileWriter::SetFileName(LPCOLESTR pszFileName, const AM_MEDIA_TYPE*) {
  if (!pszFileName) return E_POINTER;
  if (!*pszFileName) return E_INVALIDARG;
  CAutoLock hold(&fileLock_);
  if (file_ && !IsStopped()) return VFW_E_WRONG_STATE;
  CloseFile();  // a stream the last run left unfinished
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

// A new stream always starts an empty file: bytes of an older, longer file left behind the new
// end would corrupt it.
HRESULT FileWriter::OpenFile() {
  CAutoLock hold(&fileLock_);
  CloseFile();
  if (name_.empty()) return VFW_E_NO_SINK;
  file_ = std::fopen(PosixPathFromPlatform(win32::Utf16ToUtf8(name_)).c_str(), "w+b");
  return file_ ? S_OK : E_ACCESSDENIED;
}

bool FileWriter::FileOpen() {
  CAutoLock hold(&fileLock_);
  return file_ != nullptr;
}

HRESULT FileWriter::Write(IMediaSample* sample) {
  CAutoLock hold(&fileLock_);
  if (!file_) {
    // Stopped, the stream has ended. Running, it starts again after its end (a seek): a new file.
    if (IsStopped()) return VFW_E_WRONG_STATE;
    if (HRESULT hr = OpenFile(); FAILED(hr)) {
      NotifyEvent(EC_ERRORABORT, hr, 0);
      return hr;
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
