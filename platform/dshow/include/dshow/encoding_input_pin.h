#pragma once
// The input pin of a writer that encodes: it takes uncompressed video or PCM audio, encodes what
// arrives with an encoder of its own and writes the packets to the writer's open file. The writer
// opens the encoder as the file starts, and drains and closes it as the file is finished; the end
// of the pin's stream drains it earlier.
#include <memory>

#include "dshow/file_muxer.h"
#include "dshow/media_types.h"
#include "dshow/sink_filter.h"
#include "dshow/stream_encoder.h"
#include "dshow/writing_muxer.h"

namespace dshow::filters {

class EncodingInputPin : public CBaseInputPin {
 public:
  // file: the writer's muxer; it outlives the pin's streaming.
  EncodingInputPin(const TCHAR* objectName, SinkFilter* filter, CCritSec* filterLock, WritingMuxer* file,
                   bool video, LPCWSTR name, HRESULT* phr);

  HRESULT CheckMediaType(const CMediaType* mt) override;
  STDMETHODIMP Receive(IMediaSample* sample) override;
  STDMETHODIMP EndOfStream() override;
  STDMETHODIMP EndFlush() override;

  // The encoder's delayed packets go to the file, once per opened encoder.
  void Drain();
  // The encoder goes; nothing more is written until it is opened again.
  void Close();

 protected:
  bool IsVideo() const { return video_; }
  // The connected video format; a type without a frame time counts 25 frames a second.
  bool ConnectedVideo(VideoFormat* format) const;

  // Open the encoder for a file about to start and add its stream to the file; on failure nothing
  // is written until the next open.
  HRESULT OpenVideo(const AVCodec* codec, const VideoFormat& in, const VideoTarget& target, FileMuxer& file);
  HRESULT OpenAudio(const AVCodec* codec, const PcmFormat& in, const AudioTarget& target, FileMuxer& file);
  // Instead of opening: the pin takes its samples and writes nothing of them until closed.
  void Discard();

  // One picture of the connected format at its start time, with the encoding lock held. By default
  // it is encoded at once.
  virtual HRESULT EncodePicture(const BYTE* image, REFERENCE_TIME start);
  // Pictures a derived pin has handed to another thread: finished before the encoder drains, and
  // let go before the encoder is closed.
  virtual void FinishPictures() {}
  virtual void ReleasePictures() {}

  // What the encoder has ready goes to the file; with the encoding lock held, or from a thread the
  // lock's holder waits for.
  HRESULT WritePackets();
  // Told the end time of each packet (100-ns units) as it goes to the file.
  virtual void PacketWritten(int64_t /*end*/) {}

  StreamEncoder* Encoder() const { return encoder_.get(); }
  const VideoFormat& VideoIn() const { return videoIn_; }

  CCritSec encodeLock_;

 private:
  HRESULT AddStream(FileMuxer& file);

  SinkFilter* sink_;
  WritingMuxer& file_;
  const bool video_;
  std::unique_ptr<StreamEncoder> encoder_;
  VideoFormat videoIn_;
  int stream_ = -1;
  bool drained_ = false;
  bool discarding_ = false;
};

}  // namespace dshow::filters
