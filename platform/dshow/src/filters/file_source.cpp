#include "file_source.h"

#include "file_source_pin.h"
#include "win32/paths.h"
#include "win32/utf.h"

namespace dshow::filters {
namespace {

// The failure of a file FFmpeg could not open.
HRESULT OpenErrorResult(int err) {
  if (err == AVERROR(ENOENT)) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
  if (err == AVERROR(EACCES)) return E_ACCESSDENIED;
  if (err == AVERROR(ENOMEM)) return E_OUTOFMEMORY;
  return VFW_E_UNKNOWN_FILE_TYPE;
}

}  // namespace

FileSource::FileSource(LPUNKNOWN outer, HRESULT* phr) : CSource("File Source", outer, CLSID_CorvaneFileSource, phr) {}

CUnknown* FileSource::CreateInstance(LPUNKNOWN outer, HRESULT* phr) { return new FileSource(outer, phr); }

STDMETHODIMP FileSource::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IFileSourceFilter) return GetInterface(static_cast<IFileSourceFilter*>(this), ppv);
  if (riid == IID_IDecoderThreading) return GetInterface(static_cast<IDecoderThreading*>(this), ppv);
  return CSource::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP FileSource::Load(LPCOLESTR pszFileName, const AM_MEDIA_TYPE*) {
  if (!pszFileName) return E_POINTER;
  CAutoLock hold(&m_cStateLock);
  if (reader_) return E_UNEXPECTED;  // one file per source
  const std::string path = PosixPathFromPlatform(win32::Utf16ToUtf8(pszFileName));
  std::string error;
  int code = 0;
  std::unique_ptr<MediaReader> reader = MediaReader::Open(path, &error, &code);
  if (!reader) return code == AVERROR_DECODER_NOT_FOUND ? VFW_E_UNSUPPORTED_STREAM : OpenErrorResult(code);
  reader_ = std::move(reader);
  start_ = 0;
  stop_ = kNoStop;
  fileName_ = pszFileName;
  // The first video and the first audio stream, video first.
  const AVFormatContext* format = reader_->Format();
  for (AVMediaType type : {AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_AUDIO}) {
    for (int stream : reader_->Streams()) {
      if (format->streams[stream]->codecpar->codec_type != type) continue;
      HRESULT hr = S_OK;
      auto* pin = new FileSourcePin(this, stream, type == AVMEDIA_TYPE_VIDEO, &hr);  // owned by CSource
      if (FAILED(hr)) delete pin;
      break;
    }
  }
  if (m_iPins == 0) {
    reader_.reset();
    fileName_.clear();
    return VFW_E_UNSUPPORTED_STREAM;
  }
  IncrementPinVersion();
  return S_OK;
}

STDMETHODIMP FileSource::GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) {
  if (!ppszFileName) return E_POINTER;
  *ppszFileName = nullptr;
  CAutoLock hold(&m_cStateLock);
  if (!reader_) return E_FAIL;
  if (FAILED(TaskMemWideCopy(fileName_.c_str(), ppszFileName))) return E_OUTOFMEMORY;
  if (pmt) {
    *pmt = AM_MEDIA_TYPE{};
    pmt->majortype = MEDIATYPE_Stream;
    pmt->subtype = MEDIASUBTYPE_None;
    pmt->formattype = FORMAT_None;
  }
  return S_OK;
}

STDMETHODIMP FileSource::SetPictureThreads(BOOL on) {
  pictureThreads_ = on != FALSE;
  return S_OK;
}

int64_t FileSource::Duration() const { return reader_ ? reader_->Duration() : 0; }

void FileSource::Segment(int64_t* start, int64_t* stop) {
  CAutoLock hold(&seekLock_);
  *start = start_;
  *stop = stop_;
}

int64_t FileSource::StopPosition() {
  CAutoLock hold(&seekLock_);
  // Without a stop set the streams play to their end, whatever length the file claims.
  return stop_ == kNoStop ? Duration() : stop_;
}

STDMETHODIMP FileSource::Pause() {
  {
    CAutoLock hold(&m_cStateLock);
    // Every run from a stop starts at the segment's start.
    if (m_State == State_Stopped && reader_) {
      CAutoLock seek(&seekLock_);
      reader_->Seek(start_);
      for (int i = 0; i < m_iPins; ++i) static_cast<FileSourcePin*>(m_paStreams[i])->Restart();
    }
  }
  return CSource::Pause();
}

HRESULT FileSource::Seek(int64_t start, int64_t stop) {
  CAutoLock hold(&seekLock_);
  std::vector<FileSourcePin*> running;
  for (int i = 0; i < m_iPins; ++i) {
    auto* pin = static_cast<FileSourcePin*>(m_paStreams[i]);
    if (!pin->Streaming()) continue;
    // Flushing first releases a thread waiting downstream; then it stops between samples.
    pin->DeliverBeginFlush();
    pin->Stop();
    running.push_back(pin);
  }
  start_ = start;
  stop_ = stop;
  if (reader_ && reader_->Seek(start) < 0 && start > 0) {
    // A file that cannot seek plays on from the start.
    reader_->Seek(0);
  }
  for (int i = 0; i < m_iPins; ++i) static_cast<FileSourcePin*>(m_paStreams[i])->Restart();
  for (FileSourcePin* pin : running) {
    pin->DeliverEndFlush();
    pin->Pause();
  }
  return S_OK;
}

}  // namespace dshow::filters
