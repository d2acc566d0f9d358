#pragma once
// One FFmpeg encoder fed with uncompressed samples as the platform lays them out: pictures in a
// raw kind (converted to what the encoder takes) and interleaved PCM (resampled and cut into the
// encoder's frame size). Packets come out in decoding order with times in 100-ns units; B-frames
// are never used, so decoding order is presentation order.
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dshow/audio_converter.h"
#include "dshow/raw_image.h"

namespace dshow::filters {

struct VideoInput {
  RawKind kind = RawKind::RGB24;
  int width = 0;
  int height = 0;
  int64_t frameTime = 400000;  // 100-ns units per frame
};

struct VideoTarget {
  int width = 0;   // 0: the input's
  int height = 0;
  AVRational frameRate = {0, 1};  // {0,1}: the input's
  int64_t bitRate = 0;            // 0: the encoder's default
  int keyframeInterval = 0;       // 0: the encoder's default
  AVPixelFormat pixelFormat = AV_PIX_FMT_NONE;  // NONE: the encoder's nearest to I420
  std::map<std::string, std::string> options;  // private encoder options
};

struct AudioTarget {
  int rate = 0;      // 0: the nearest the encoder supports to the input's
  int channels = 0;  // 0: the input's, as far as the encoder allows
  int64_t bitRate = 0;
  std::map<std::string, std::string> options;
};

class StreamEncoder {
 public:
  static std::unique_ptr<StreamEncoder> OpenVideo(const AVCodec* codec, const VideoInput& in,
                                                  const VideoTarget& target, std::string* error);
  static std::unique_ptr<StreamEncoder> OpenAudio(const AVCodec* codec, const PcmFormat& in,
                                                  const AudioTarget& target, std::string* error);

  AVCodecContext* Context() const { return codec_.get(); }
  // The frame time of a video encoder in 100-ns units.
  int64_t FrameTime() const;

  // One picture of the input layout with its start time.
  int SendPicture(const uint8_t* image, int64_t start);
  // The same in two steps, which may run on two threads: a picture converted into a frame of
  // NewPicture, while another thread sends an earlier one.
  Frame NewPicture() const;
  int PreparePicture(const uint8_t* image, int64_t start, AVFrame* picture);
  int SendPicture(const AVFrame* picture);
  // Interleaved PCM of the input format; start is the time of its first sample when known (-1 if not).
  int SendAudio(const uint8_t* data, size_t bytes, int64_t start);
  // End of the stream: pending audio and the encoder's delay come out.
  int Finish();
  // 0 with a packet (times in 100-ns units), AVERROR(EAGAIN) when none is ready, AVERROR_EOF when finished.
  int Receive(AVPacket* packet);

 private:
  StreamEncoder() = default;
  int SendAudioFrames(bool last);
  int SendFrame(const AVFrame* frame);

  CodecContext codec_;
  Frame frame_;
  VideoInput video_;
  ImageConverter scaler_;
  int64_t lastPts_ = -1;
  PcmFormat audioIn_;
  PcmFormat audioOut_;
  AudioConverter resampler_;
  std::vector<uint8_t> pending_;  // converted PCM waiting for a whole frame
  int64_t nextSample_ = -1;
  std::deque<Packet> ready_;  // packets taken from the encoder, not yet asked for
  bool finished_ = false;
};

}  // namespace dshow::filters
