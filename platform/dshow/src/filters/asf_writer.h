#pragma once
// The WM ASF Writer: encodes uncompressed video (WMV8) and PCM audio (WMA2) from its input pins
// and writes them to the file named through IFileSinkFilter2, with FFmpeg's ASF muxer. What it
// encodes is set through IAsfWriterSettings. Stop finishes the file as the end of the streams does.
#include <memory>
#include <vector>

#include "dshow/builtin_filters.h"
#include "dshow/file_muxer.h"
#include "dshow/file_sink_name.h"
#include "dshow/sink_filter.h"
#include "dshow/stream_encoder.h"
#include "dshow/writing_muxer.h"

namespace dshow::filters {

class AsfWriter : public SinkFilter, public IFileSinkFilter2, public IAsfWriterSettings {
 public:
  static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* phr);
  ~AsfWriter() override;

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
  int GetPinCount() override;
  CBasePin* GetPin(int n) override;
  STDMETHODIMP Pause() override;
  STDMETHODIMP Stop() override;

  // IFileSinkFilter2
  STDMETHODIMP SetFileName(LPCOLESTR pszFileName, const AM_MEDIA_TYPE* pmt) override;
  STDMETHODIMP GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) override;
  STDMETHODIMP SetMode(DWORD dwFlags) override;
  STDMETHODIMP GetMode(DWORD* pdwFlags) override;

  // IAsfWriterSettings
  STDMETHODIMP GetSettings(AsfWriterSettings* settings) override;
  STDMETHODIMP SetSettings(const AsfWriterSettings* settings) override;

 private:
  class InputPin;

  AsfWriter(LPUNKNOWN outer, HRESULT* phr);
  void MakePins();
  HRESULT StartFile();
  void FinishFile();
  void OnComplete() override { FinishFile(); }

  AsfWriterSettings settings_;
  WritingMuxer muxer_;  // before the pins, which write to it
  std::vector<std::unique_ptr<InputPin>> pins_;     // the pins of the current settings
  std::vector<std::unique_ptr<InputPin>> retired_;  // pins of earlier settings, kept alive
  FileSinkName name_{this, &lock_, MEDIASUBTYPE_Asf};
  DWORD mode_ = 0;
};

}  // namespace dshow::filters
