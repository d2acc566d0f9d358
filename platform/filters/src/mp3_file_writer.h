#pragma once
// The MP3 file writer: the MP3 frames it takes become an .mp3 file at the name given through
// IFileSinkFilter, made when the graph starts and finished at the end of the stream or on Stop.
#include <memory>

#include "dshow/file_muxer.h"
#include "dshow/file_sink_name.h"
#include "dshow/sink_filter.h"
#include "single_stream_file.h"

namespace filters {

class Mp3FileWriter : public dshow::filters::SinkFilter, public IFileSinkFilter {
 public:
  static CUnknown* Create(LPUNKNOWN outer, HRESULT* phr);
  ~Mp3FileWriter() override;

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
  int GetPinCount() override { return 1; }
  CBasePin* GetPin(int n) override;
  STDMETHODIMP Pause() override;
  STDMETHODIMP Stop() override;

  // IFileSinkFilter
  STDMETHODIMP SetFileName(LPCOLESTR pszFileName, const AM_MEDIA_TYPE* pmt) override;
  STDMETHODIMP GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) override;

 private:
  class InputPin;

  Mp3FileWriter(LPUNKNOWN outer, HRESULT* phr);
  HRESULT StartFile();
  void FinishFile();
  void OnComplete() override { FinishFile(); }

  std::unique_ptr<InputPin> input_;
  dshow::filters::FileSinkName name_{this, &lock_};
  SingleStreamFile file_{"mp3"};
};

}  // namespace filters
