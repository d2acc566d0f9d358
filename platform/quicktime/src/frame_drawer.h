#pragma once
// The pictures of one video media: decodes the frame shown at a time (going on from the frame
// before when it is close, else from the key frame before it) and draws it into a graphics world.
#include <cstdint>

#include "ffmpeg_util.h"
#include "media_reader.h"
#include "quicktime/quicktime.h"

struct GWorldRecord;

namespace quicktime::video {

class FrameDrawer {
 public:
  FrameDrawer(media::SampleReader* reader, const AVCodecParameters* parameters, AVRational timeBase);

  // Makes the frame shown at media time t current; false when none is shown then (before the
  // first frame, or the media cannot be decoded).
  bool ShowFrameAt(int64_t t);
  // Draws the current frame scaled to box, clipped to the world.
  void Draw(GWorldRecord* world, const Rect& box);

 private:
  bool OpenDecoder();
  bool StartAt(size_t packetIndex);
  // Decodes until the frame shown at target (a display time) is current.
  bool DecodeTo(int64_t target);
  bool Convert(AVPixelFormat dstFormat, int width, int height, int srcTop, int rows, uint8_t* dst, ptrdiff_t dstStride,
               ffmpeg::Scaler* scaler);

  media::SampleReader* reader_;
  const AVCodecParameters* parameters_;
  AVRational timeBase_;
  ffmpeg::CodecContext decoder_;
  bool decoderFailed_ = false;
  ffmpeg::Frame frame_;   // the current frame
  ffmpeg::Frame decoded_;
  int64_t currentTime_ = INT64_MIN;  // display time of the current frame
  size_t nextPacket_ = 0;
  bool draining_ = false;
  bool ended_ = false;
  ffmpeg::Scaler bodyScaler_;
  ffmpeg::Scaler tailScaler_;
  std::vector<uint8_t> scratch_;
};

}  // namespace quicktime::video
