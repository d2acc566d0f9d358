#pragma once
// The AVI Mux: interleaves its input streams into an AVI file (FFmpeg's AVI muxer) and hands the
// file's bytes down its output pin as positioned samples, to the File Writer that names the file;
// the end of the stream follows the finished file. Stop finishes the file too. One input pin is
// always free ("Input 01", "Input 02"...).
#include <atomic>
#include <memory>
#include <vector>

#include "dshow/dshow.h"
#include "dshow/file_muxer.h"
#include "dshow/file_stream_pin.h"
#include "dshow/upstream_seeking.h"

namespace dshow::filters {

class AviMux : public CBaseFilter, public IConfigInterleaving {
 public:
  static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* phr);
  ~AviMux() override;

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
  int GetPinCount() override;
  CBasePin* GetPin(int n) override;
  STDMETHODIMP Stop() override;
  STDMETHODIMP Pause() override;

  // IConfigInterleaving
  STDMETHODIMP put_Mode(InterleavingMode mode) override;
  STDMETHODIMP get_Mode(InterleavingMode* pMode) override;
  STDMETHODIMP put_Interleaving(const REFERENCE_TIME* prtInterleave, const REFERENCE_TIME* prtPreroll) override;
  STDMETHODIMP get_Interleaving(REFERENCE_TIME* prtInterleave, REFERENCE_TIME* prtPreroll) override;

 private:
  class InputPin;
  class OutputPin;
  class Seeking;

  explicit AviMux(LPUNKNOWN outer, HRESULT* phr);
  void AddInput();
  void InputConnected();
  HRESULT StartFile();
  // Writes a packet of a stream; end: the time the packet's sample ends.
  HRESULT Write(int stream, AVPacket* packet, int64_t end);
  void InputEnded();
  void FinishFile();

  CCritSec lock_;
  CCritSec muxLock_;
  std::vector<std::unique_ptr<InputPin>> inputs_;  // pins live as long as the filter
  std::unique_ptr<OutputPin> output_;
  std::unique_ptr<Seeking> seeking_;
  std::unique_ptr<FileMuxer> muxer_;
  InterleavingMode mode_ = INTERLEAVE_FULL;
  REFERENCE_TIME interleave_ = UNITS;
  REFERENCE_TIME preroll_ = 0;
  std::atomic<int64_t> written_{0};  // end time of the latest sample written
  bool finished_ = false;
};

}  // namespace dshow::filters
