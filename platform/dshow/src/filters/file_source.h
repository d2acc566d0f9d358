#pragma once
// The built-in file source: opens any file the FFmpeg libraries read, and offers its first video
// stream as uncompressed pictures (I420, YUY2, RGB32, RGB24, RGB555) and its first audio stream
// as 16-bit PCM, each output pin on its own streaming thread. Seeking through IMediaSeeking on
// either pin moves both.
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "dshow/builtin_filters.h"
#include "dshow/dshow.h"
#include "media_reader.h"

namespace dshow::filters {

class FileSourcePin;

class FileSource : public CSource, public IFileSourceFilter, public IDecoderThreading {
 public:
  static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* phr);

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  // IFileSourceFilter
  STDMETHODIMP Load(LPCOLESTR pszFileName, const AM_MEDIA_TYPE* pmt) override;
  STDMETHODIMP GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) override;

  // IDecoderThreading
  STDMETHODIMP SetPictureThreads(BOOL on) override;
  bool PictureThreads() const { return pictureThreads_; }

  MediaReader* Reader() const { return reader_.get(); }
  int64_t Duration() const;
  // Moves every pin to start and the end to stop (100-ns units), flushing streams that run.
  HRESULT Seek(int64_t start, int64_t stop);
  void Segment(int64_t* start, int64_t* stop);
  // The stop position as seeking reports it.
  int64_t StopPosition();
  static constexpr int64_t kNoStop = INT64_MAX;
  STDMETHODIMP Pause() override;

 private:
  FileSource(LPUNKNOWN outer, HRESULT* phr);

  std::u16string fileName_;
  std::unique_ptr<MediaReader> reader_;
  CCritSec seekLock_;
  int64_t start_ = 0;
  int64_t stop_ = kNoStop;
  std::atomic<bool> pictureThreads_{true};
};

}  // namespace dshow::filters
