#pragma once
// What the outside writers share: a file sink with a video and an audio input, each encoded with
// the codec the format chooses for what arrives, muxed by time into the file named through
// IFileSinkFilter. The file starts when the graph pauses from stopped and is finished at the end
// of the streams or on Stop, whichever comes first. A format adds only its rules: which codecs,
// at what size, rate and bit rate, into which container.
#include <memory>
#include <string>

#include "dshow/file_muxer.h"
#include "dshow/file_sink_name.h"
#include "dshow/media_types.h"
#include "dshow/sink_filter.h"
#include "dshow/stream_encoder.h"
#include "dshow/writing_muxer.h"

namespace filters {

struct VideoPlan {
  const AVCodec* codec = nullptr;
  dshow::filters::VideoTarget target;  // a frame rate other than the input's converts frames
};

struct AudioPlan {
  const AVCodec* codec = nullptr;
  dshow::filters::AudioTarget target;
};

struct FilePlan {
  std::string format;  // FFmpeg muxer name
  dshow::filters::MuxSettings mux;
};

class EncodingWriter : public dshow::filters::SinkFilter, public IFileSinkFilter {
 public:
  ~EncodingWriter() override;

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
  int GetPinCount() override;
  CBasePin* GetPin(int n) override;
  STDMETHODIMP Pause() override;
  STDMETHODIMP Stop() override;

  // IFileSinkFilter: the name is only kept; the file is made when the graph starts.
  STDMETHODIMP SetFileName(LPCOLESTR pszFileName, const AM_MEDIA_TYPE* pmt) override;
  STDMETHODIMP GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) override;

 protected:
  // The pins are named videoPin and audioPin, in that order.
  EncodingWriter(const TCHAR* name, LPUNKNOWN outer, REFCLSID clsid, LPCWSTR videoPin, LPCWSTR audioPin);

  // The format's rules, asked as the file starts for the inputs that are connected. A false answer
  // fails the start; an audio plan without a codec takes the sound and writes nothing of it.
  virtual bool PlanVideo(const dshow::filters::VideoFormat& in, VideoPlan* plan) = 0;
  virtual bool PlanAudio(const dshow::filters::PcmFormat& in, AudioPlan* plan) = 0;
  virtual FilePlan PlanFile() = 0;

  // Progress of the file being written: video frames written and their rate, or when there is no
  // video, audio written in milliseconds at 1000 per second.
  LONG UnitsWritten();
  LONG UnitsPerSecond();
  LONG AudioMillisecondsWritten();

  // Interfaces a format offers on its input pins; none by default.
  virtual HRESULT PinInterface(bool videoPin, REFIID riid, void** ppv);

 private:
  class InputPin;

  HRESULT StartFile();
  void FinishFile();
  void OnComplete() override { FinishFile(); }

  dshow::filters::WritingMuxer muxer_;  // before the pins, which write to it
  std::unique_ptr<InputPin> video_;
  std::unique_ptr<InputPin> audio_;
  dshow::filters::FileSinkName name_{this, &lock_};
};

}  // namespace filters
