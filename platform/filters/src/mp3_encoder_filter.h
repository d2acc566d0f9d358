#pragma once
// The MP3 encoder filter: PCM in WAVEFORMATEX in, MP3 frames out with their times.
#include <memory>

#include "dshow/dshow.h"
#include "filters/outside_filters.h"
#include "mp3_stream.h"

namespace filters {

class Mp3EncoderFilter : public CTransformFilter, public IMp3EncoderSettings {
 public:
  static CUnknown* Create(LPUNKNOWN outer, HRESULT* phr);

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  // IMp3EncoderSettings
  STDMETHODIMP SetKey(LONG key) override;
  STDMETHODIMP SetBitRate(LONG kbps) override;
  STDMETHODIMP SetSampleRate(LONG hz) override;

  HRESULT CheckInputType(const CMediaType* mt) override;
  HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) override;
  HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
  HRESULT GetMediaType(int position, CMediaType* mt) override;
  HRESULT StartStreaming() override;
  HRESULT StopStreaming() override;
  HRESULT Receive(IMediaSample* sample) override;
  HRESULT EndOfStream() override;
  HRESULT EndFlush() override;

 private:
  Mp3EncoderFilter(LPUNKNOWN outer, HRESULT* phr);
  HRESULT ChangeSetting(LONG value, LONG* setting);
  // The output for the connected input and the settings; false when the input is not connected.
  bool OutputFormat(Mp3Output* out);
  HRESULT DeliverFrames();

  CCritSec settingsLock_;
  bool open_ = false;  // the key was given
  LONG kbps_ = 128;
  LONG rate_ = 0;      // 0: the input's

  std::unique_ptr<Mp3Stream> stream_;  // while streaming
  Mp3Output out_;
  REFERENCE_TIME first_ = -1;  // time of the stream's first sample
  int64_t frames_ = 0;         // frames delivered since then
};

// Reads PCM (8, 16 or 32 bits, or 32-bit float) in WAVEFORMATEX; false for anything else.
bool ReadPcmInput(const AM_MEDIA_TYPE& mt, PcmInput* out);

}  // namespace filters
