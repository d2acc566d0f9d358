#pragma once
// An output pin of the file source: decodes one stream of the file on the pin's streaming thread
// and delivers it uncompressed. Its IMediaSeeking moves the whole source.
#include <atomic>
#include <vector>

#include "dshow/audio_converter.h"
#include "dshow/dshow.h"
#include "dshow/media_types.h"
#include "stream_decoder.h"

namespace dshow::filters {

class FileSource;

class FileSourcePin : public CSourceStream, public dshow::MediaSeekingBase {
 public:
  FileSourcePin(FileSource* filter, int stream, bool video, HRESULT* phr);

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  HRESULT CheckMediaType(const CMediaType* mt) override;
  HRESULT GetMediaType(int position, CMediaType* mt) override;
  HRESULT SetMediaType(const CMediaType* mt) override;
  HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
  HRESULT CompleteConnect(IPin* receiver) override;
  HRESULT BreakConnect() override;

  // From the filter's seek, with the streaming thread stopped.
  void Restart();
  bool Streaming() { return ThreadExists(); }
  using CSourceStream::Pause;
  using CSourceStream::Stop;

  // IMediaSeeking: media time, and frames on the video pin. The time format changes only
  // while the source is stopped.
  STDMETHODIMP SetTimeFormat(const GUID* pFormat) override;

 protected:
  HRESULT FillBuffer(IMediaSample* sample) override;
  HRESULT OnThreadStartPlay() override;

  LONGLONG FrameLength() override { return video_ ? FrameTime() : 0; }
  LONGLONG Duration() override;
  LONGLONG StopPosition() override;
  HRESULT CurrentPosition(LONGLONG* position) override;
  HRESULT ChangePositions(const SeekRequest& request, LONGLONG* start, LONGLONG* stop) override;

 private:
  FileSource* Source() const;
  // Decodes until a picture or enough sound is ready; S_FALSE at the end of the stream.
  HRESULT Produce();
  void TakeVideoFrame();
  void TakeAudioFrame();
  void ConvertAudioFrame();
  void AddSilence(int64_t samples);
  void TrimToSegment();
  size_t PcmFrameBytes() const;  // bytes of one sample of every channel of the sound put out
  int64_t PcmEnd() const;
  int64_t FrameTime() const;

  const int stream_;
  const bool video_;
  AVRational timeBase_;
  std::unique_ptr<StreamDecoder> decoder_;
  Frame frame_;
  Packet packet_;
  bool inputEnded_ = false;
  bool decoderEnded_ = false;
  int64_t segmentStart_ = 0;
  int64_t segmentStop_ = 0;
  std::atomic<int64_t> position_{0};  // file time reached by the samples delivered

  VideoFormat videoOut_;
  ImageConverter scaler_;
  Frame picture_;  // the decoded picture waiting for a buffer
  bool havePicture_ = false;
  int64_t pictureTime_ = 0;
  int64_t nextPictureTime_ = 0;

  PcmFormat audioOut_;
  AudioConverter resampler_;
  std::vector<uint8_t> pcm_;    // converted sound waiting for buffers
  int64_t pcmTime_ = -1;        // stream time of pcm_'s first sample
  int64_t silenceOwed_ = 0;     // samples of silence due before the frame held in frame_
};

}  // namespace dshow::filters
