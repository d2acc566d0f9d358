#include "image_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <sys/stat.h>

#include <cstring>

namespace gdiplus::codec {
namespace {

struct FormatCloser {
  void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecCloser {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFreer {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFreer {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct ScalerFreer {
  void operator()(SwsContext* s) const { sws_freeContext(s); }
};

// Decodes until the first picture; null when the stream ends first.
std::unique_ptr<AVFrame, FrameFreer> FirstPicture(AVFormatContext* format, int stream, AVCodecContext* codec) {
  std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
  std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
  if (!frame || !packet) return nullptr;
  bool draining = false;
  while (true) {
    int got = avcodec_receive_frame(codec, frame.get());
    if (got == 0) return frame;
    if (got != AVERROR(EAGAIN) || draining) return nullptr;
    if (av_read_frame(format, packet.get()) < 0) {
      draining = true;
      avcodec_send_packet(codec, nullptr);
      continue;
    }
    if (packet->stream_index == stream) avcodec_send_packet(codec, packet.get());
    av_packet_unref(packet.get());
  }
}

}  // namespace

Decoded DecodeImageFile(const std::string& path) {
  Decoded result;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    result.status = Gdiplus::FileNotFound;
    return result;
  }
  result.status = Gdiplus::UnknownImageFormat;
  AVFormatContext* opened = nullptr;
  if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0) return result;
  std::unique_ptr<AVFormatContext, FormatCloser> format(opened);
  int stream = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (stream < 0) return result;
  const AVCodecParameters* parameters = format->streams[stream]->codecpar;
  const AVCodec* decoder = avcodec_find_decoder(parameters->codec_id);
  if (!decoder) return result;
  std::unique_ptr<AVCodecContext, CodecCloser> codec(avcodec_alloc_context3(decoder));
  if (!codec || avcodec_parameters_to_context(codec.get(), parameters) < 0 ||
      avcodec_open2(codec.get(), decoder, nullptr) < 0)
    return result;
  auto frame = FirstPicture(format.get(), stream, codec.get());
  if (!frame || frame->width <= 0 || frame->height <= 0) return result;

  // BGRA in memory is GDI+'s 32 bpp ARGB. libswscale writes whole blocks: it gets padded rows
  // of its own, copied into the image row by row.
  const int width = frame->width, height = frame->height;
  std::unique_ptr<SwsContext, ScalerFreer> scaler(sws_getContext(width, height, AVPixelFormat(frame->format), width,
                                                                 height, AV_PIX_FMT_BGRA, SWS_POINT, nullptr,
                                                                 nullptr, nullptr));
  if (!scaler) return result;
  uint8_t* planes[4] = {};
  int strides[4] = {};
  if (av_image_alloc(planes, strides, width, height + 1, AV_PIX_FMT_BGRA, 64) < 0) {
    result.status = Gdiplus::OutOfMemory;
    return result;
  }
  sws_scale(scaler.get(), frame->data, frame->linesize, 0, height, planes, strides);
  auto pixels = std::make_unique<Pixels>(width, height, PixelFormat32bppARGB);
  for (int y = 0; y < height; ++y) std::memcpy(pixels->Row(y), planes[0] + ptrdiff_t(y) * strides[0], size_t(width) * 4);
  av_freep(&planes[0]);
  result.pixels = std::move(pixels);
  result.status = Gdiplus::Ok;
  return result;
}

}  // namespace gdiplus::codec
