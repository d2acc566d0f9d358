#pragma once
// Owning handles of FFmpeg objects, the platform's time unit and FFmpeg's error text, shared by
// the FFmpeg-backed filters and by whatever makes or reads media for them.
#include <cstdint>
#include <memory>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace dshow::filters {

struct CodecContextDeleter {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameDeleter {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketDeleter {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct InputDeleter {
  void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
// An output context together with the file it opened.
struct OutputDeleter {
  void operator()(AVFormatContext* f) const {
    if (f->pb) avio_closep(&f->pb);
    avformat_free_context(f);
  }
};
struct SwsDeleter {
  void operator()(SwsContext* s) const { sws_freeContext(s); }
};
struct SwrDeleter {
  void operator()(SwrContext* s) const { swr_free(&s); }
};
struct ParametersDeleter {
  void operator()(AVCodecParameters* p) const { avcodec_parameters_free(&p); }
};
using CodecContext = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using Frame = std::unique_ptr<AVFrame, FrameDeleter>;
using Packet = std::unique_ptr<AVPacket, PacketDeleter>;
using Input = std::unique_ptr<AVFormatContext, InputDeleter>;
using Output = std::unique_ptr<AVFormatContext, OutputDeleter>;
using Scaler = std::unique_ptr<SwsContext, SwsDeleter>;
using Resampler = std::unique_ptr<SwrContext, SwrDeleter>;
using Parameters = std::unique_ptr<AVCodecParameters, ParametersDeleter>;

inline Packet NewPacket() { return Packet(av_packet_alloc()); }
inline Frame NewFrame() { return Frame(av_frame_alloc()); }

// The platform's time unit: 100 ns.
inline constexpr AVRational kUnits = {1, 10000000};

inline int64_t ToUnits(int64_t t, AVRational tb) { return av_rescale_q(t, tb, kUnits); }
inline int64_t FromUnits(int64_t t, AVRational tb) { return av_rescale_q(t, kUnits, tb); }

inline std::string ErrorText(int err) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(err, text, sizeof text);
  return text;
}

}  // namespace dshow::filters
