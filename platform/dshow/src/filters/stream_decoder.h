#pragma once
// One FFmpeg decoder for a stream of an opened file, or for a stream described by codec parameters.
#include <memory>
#include <string>

#include "dshow/ffmpeg_handles.h"

namespace dshow::filters {

class StreamDecoder {
 public:
  // With pictureThreads the decoder works on several pictures at once (more throughput, later
  // first picture); without, its threads only share the work of one picture.
  static std::unique_ptr<StreamDecoder> Open(const AVCodecParameters* parameters, AVRational timeBase,
                                             bool pictureThreads, std::string* error);

  AVCodecContext* Context() const { return codec_.get(); }
  // A packet, or null for the end of the stream. The packet is not consumed.
  int Send(const AVPacket* packet);
  // 0 with a frame, AVERROR(EAGAIN) when more input is needed, AVERROR_EOF after the end.
  int Receive(AVFrame* frame);
  // Forgets everything sent so far (after a seek).
  void Flush();

 private:
  CodecContext codec_;
};

}  // namespace dshow::filters
