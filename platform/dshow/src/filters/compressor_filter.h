#pragma once
// A compressor of the device categories: one catalogue entry's FFmpeg encoder as a filter.
// Video compressors take the uncompressed kinds, audio compressors PCM; the output carries the
// codec's parameters (FORMAT_FFmpegCodec), except "PCM", whose output is PCM in the format set
// through IAMStreamConfig on its output pin. The DV encoder answers IDVEnc.
#include <memory>

#include "dshow/compressor_catalog.h"
#include "dshow/dshow.h"
#include "dshow/hand_off_worker.h"
#include "dshow/media_types.h"
#include "dshow/stream_encoder.h"

namespace dshow::filters {

class CompressorFilter : public CTransformFilter, public IDVEnc {
 public:
  // The class of a catalogue entry.
  static CUnknown* Create(const CompressorEntry* entry, LPUNKNOWN outer, HRESULT* phr);
  ~CompressorFilter() override;

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  // IDVEnc (DV Video Encoder only)
  STDMETHODIMP get_IFormatResolution(int* VideoFormat, int* DVFormat, int* Resolution, BYTE fDVInfo,
                                     DVINFO* sDVInfo) override;
  STDMETHODIMP put_IFormatResolution(int VideoFormat, int DVFormat, int Resolution, BYTE fDVInfo,
                                     DVINFO* sDVInfo) override;

  HRESULT CheckInputType(const CMediaType* mt) override;
  HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) override;
  HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
  HRESULT GetMediaType(int position, CMediaType* mt) override;
  HRESULT StartStreaming() override;
  HRESULT StopStreaming() override;
  HRESULT Receive(IMediaSample* sample) override;
  HRESULT EndOfStream() override;
  HRESULT EndFlush() override;

  // The PCM output format (the input's until set); false when the input is not connected and
  // nothing was set.
  bool PcmOutput(PcmFormat* out);
  HRESULT SetPcmOutput(const PcmFormat& format);

 private:
  class OutputPin;

  CompressorFilter(const CompressorEntry* entry, LPUNKNOWN outer, HRESULT* phr);
  bool IsPcm() const;
  bool IsDV() const;
  // A new encoder for the connected input and the current settings; null with *hr set on failure.
  std::unique_ptr<StreamEncoder> OpenEncoder(HRESULT* hr);
  HRESULT OutputType(CMediaType* mt);
  HRESULT DeliverPackets();
  // On the worker: one converted picture into the encoder, and out as packets.
  HRESULT EncodePicture(const AVFrame* picture);
  HRESULT DeliverPcm(bool last);

  const CompressorEntry* entry_;
  CCritSec settingsLock_;
  int dvVideoFormat_ = DVENCODERVIDEOFORMAT_NTSC;
  int dvResolution_ = DVENCODERRESOLUTION_720x480;
  bool pcmSet_ = false;
  PcmFormat pcmOut_;

  std::unique_ptr<StreamEncoder> encoder_;  // while streaming
  // Video pictures are converted on the streaming thread and encoded and delivered by a worker,
  // so that the next picture is converted while the last one is encoded. The two pictures take
  // turns: one being converted, one in the worker's hands.
  Frame pictures_[2];
  int nextPicture_ = 0;
  std::unique_ptr<HandOffWorker> worker_;  // declared after what it uses, so it ends first
  PcmFormat pcmIn_;
  AudioConverter pcmConverter_;
  std::vector<uint8_t> pcmPending_;
  int64_t pcmNext_ = -1;  // time of the first pending PCM sample
  int64_t frameTime_ = 0;
};

}  // namespace dshow::filters
