#pragma once
// The File Writer: writes a byte stream to the file named through IFileSinkFilter2. A sample's
// start time, when set, is the file offset of its bytes (a multiplexer upstream rewrites its
// header and index in place so); otherwise the bytes are appended.
//
// Each run writes a new file, created empty as the filter pauses from stopped, and the end of
// the stream closes it. A multiplexer upstream finishes its file (trailer, index) as it stops,
// which is after this filter has stopped, since the graph stops downstream first: so once
// stopped, the writer still takes the bytes of a stream it has not seen end, and its end. What
// has arrived is on disk when Stop returns.
#include <cstdio>
#include <string>

#include "dshow/sink_filter.h"

namespace dshow::filters {

class FileWriter : public SinkFilter, public IFileSinkFilter2 {
 public:
  static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* phr);
  ~FileWriter() override;

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
  int GetPinCount() override { return 1; }
  CBasePin* GetPin(int n) override;
  STDMETHODIMP Pause() override;
  STDMETHODIMP Stop() override;

  // IFileSinkFilter2
  STDMETHODIMP SetFileName(LPCOLESTR pszFileName, const AM_MEDIA_TYPE* pmt) override;
  STDMETHODIMP GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) override;
  STDMETHODIMP SetMode(DWORD dwFlags) override;
  STDMETHODIMP GetMode(DWORD* pdwFlags) override;

 private:
  class InputPin : public CBaseInputPin {
   public:
    InputPin(FileWriter* filter, HRESULT* phr);
    HRESULT CheckMediaType(const CMediaType* mt) override;
    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP EndFlush() override;
    // The allocator stays committed while the stream is unfinished, for the writer upstream.
    HRESULT Inactive() override;

   private:
    FileWriter* filter_;
  };

  FileWriter(LPUNKNOWN outer, HRESULT* phr);
  HRESULT OpenFile();
  bool FileOpen();
  HRESULT Write(IMediaSample* sample);
  void CloseFile();
  void OnComplete() override { CloseFile(); }

  std::unique_ptr<InputPin> input_;
  CCritSec fileLock_;
  std::u16string name_;
  DWORD mode_ = 0;
  FILE* file_ = nullptr;
};

}  // namespace dshow::filters
