#pragma once
// The File Writer: writes a byte stream to the file named through IFileSinkFilter2. A sample's
// start time, when set, is the file offset of its bytes; otherwise the bytes are appended. The
// file is opened with the first sample, so a multiplexer that writes the named file itself can
// sit upstream and send only the end of the stream.
#include <cstdio>
#include <string>

#include "sink_filter.h"

namespace dshow::filters {

class FileWriter : public SinkFilter, public IFileSinkFilter2 {
 public:
  static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* phr);
  ~FileWriter() override;

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
  int GetPinCount() override { return 1; }
  CBasePin* GetPin(int n) override;
  STDMETHODIMP Stop() override;

  // IFileSinkFilter2
  STDMETHODIMP SetFileName(LPCOLESTR pszFileName, const AM_MEDIA_TYPE* pmt) override;
  STDMETHODIMP GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) override;
  STDMETHODIMP SetMode(DWORD dwFlags) override;
  STDMETHODIMP GetMode(DWORD* pdwFlags) override;

  // The POSIX path of the named file ("" when none is named).
  std::string PosixPath();

 private:
  class InputPin : public CBaseInputPin {
   public:
    InputPin(FileWriter* filter, HRESULT* phr);
    HRESULT CheckMediaType(const CMediaType* mt) override;
    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP EndFlush() override;

   private:
    FileWriter* filter_;
  };

  FileWriter(LPUNKNOWN outer, HRESULT* phr);
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
