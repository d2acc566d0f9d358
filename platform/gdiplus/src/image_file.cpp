#include "image_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <sys/stat.h>

#include <cstdio>
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

namespace {

struct OutputCloser {
  void operator()(AVFormatContext* c) const {
    if (c->pb) avio_closep(&c->pb);
    avformat_free_context(c);
  }
};

struct KindCodec {
  AVCodecID codec;
  const char* muxer;
};

KindCodec CodecOf(FileKind kind) {
  switch (kind) {
    case FileKind::Jpeg: return {AV_CODEC_ID_MJPEG, "image2pipe"};
    case FileKind::Gif: return {AV_CODEC_ID_GIF, "gif"};
    case FileKind::Tiff: return {AV_CODEC_ID_TIFF, "image2pipe"};
    case FileKind::Png: return {AV_CODEC_ID_PNG, "image2pipe"};
    case FileKind::Bmp: break;
  }
  return {AV_CODEC_ID_BMP, "image2pipe"};
}

// The picture in the encoder's format, filled from the pixels (B, G, R[, A] in memory).
std::unique_ptr<AVFrame, FrameFreer> Picture(const Pixels& pixels, AVPixelFormat format, bool alpha) {
  std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
  if (!frame) return nullptr;
  frame->format = format;
  frame->width = pixels.Width();
  frame->height = pixels.Height();
  if (av_frame_get_buffer(frame.get(), 64) < 0) return nullptr;
  const int bytes = BytesPerPixel(pixels.Format());
  for (int y = 0; y < pixels.Height(); ++y) {
    const BYTE* in = pixels.Row(y);
    BYTE* out = frame->data[0] + ptrdiff_t(y) * frame->linesize[0];
    for (int x = 0; x < pixels.Width(); ++x, in += bytes) {
      const int b = in[0], g = in[1], r = in[2], a = bytes == 4 && alpha ? in[3] : 255;
      switch (format) {
        case AV_PIX_FMT_PAL8:
          // The nearest entry of the 3-3-2 palette below, channel by channel.
          *out++ = BYTE(((r * 7 + 127) / 255) << 5 | ((g * 7 + 127) / 255) << 2 | ((b * 3 + 127) / 255));
          break;
        case AV_PIX_FMT_RGBA:
          *out++ = BYTE(r), *out++ = BYTE(g), *out++ = BYTE(b), *out++ = BYTE(a);
          break;
        case AV_PIX_FMT_BGRA:
          *out++ = BYTE(b), *out++ = BYTE(g), *out++ = BYTE(r), *out++ = BYTE(a);
          break;
        case AV_PIX_FMT_BGR24:
          *out++ = BYTE(b), *out++ = BYTE(g), *out++ = BYTE(r);
          break;
        default:  // RGB24
          *out++ = BYTE(r), *out++ = BYTE(g), *out++ = BYTE(b);
          break;
      }
    }
  }
  if (format == AV_PIX_FMT_PAL8) {
    auto* palette = reinterpret_cast<uint32_t*>(frame->data[1]);
    for (int i = 0; i < 256; ++i) {
      const uint32_t r = uint32_t((i >> 5) * 255 / 7), g = uint32_t(((i >> 2) & 7) * 255 / 7),
                     b = uint32_t((i & 3) * 255 / 3);
      palette[i] = 0xFF000000u | r << 16 | g << 8 | b;
    }
  }
  return frame;
}

Gdiplus::Status Encode(const Pixels& pixels, FileKind kind, const std::string& path, bool* opened) {
  const KindCodec kc = CodecOf(kind);
  const bool alpha = pixels.Format() == PixelFormat32bppARGB && !pixels.Opaque();
  AVPixelFormat format = AV_PIX_FMT_RGB24;
  if (kind == FileKind::Jpeg) format = AV_PIX_FMT_YUVJ444P;
  if (kind == FileKind::Gif) format = AV_PIX_FMT_PAL8;
  if (kind == FileKind::Bmp) format = alpha ? AV_PIX_FMT_BGRA : AV_PIX_FMT_BGR24;
  if (kind == FileKind::Png && alpha) format = AV_PIX_FMT_RGBA;

  const AVCodec* encoder = avcodec_find_encoder(kc.codec);
  if (!encoder) return Gdiplus::NotImplemented;
  std::unique_ptr<AVCodecContext, CodecCloser> codec(avcodec_alloc_context3(encoder));
  if (!codec) return Gdiplus::OutOfMemory;
  codec->width = pixels.Width();
  codec->height = pixels.Height();
  codec->time_base = {1, 25};
  codec->pix_fmt = format;
  if (kind == FileKind::Jpeg) {
    // About the quality GDI+ writes by default.
    codec->flags |= AV_CODEC_FLAG_QSCALE;
    codec->global_quality = FF_QP2LAMBDA * 3;
    codec->color_range = AVCOL_RANGE_JPEG;
  }

  // The picture goes through the converter of the encoder's input format first when it needs one.
  std::unique_ptr<AVFrame, FrameFreer> frame;
  if (format == AV_PIX_FMT_YUVJ444P) {
    auto rgb = Picture(pixels, AV_PIX_FMT_RGB24, false);
    frame.reset(av_frame_alloc());
    if (!rgb || !frame) return Gdiplus::OutOfMemory;
    frame->format = format;
    frame->width = pixels.Width();
    frame->height = pixels.Height();
    std::unique_ptr<SwsContext, ScalerFreer> scaler(sws_getContext(pixels.Width(), pixels.Height(), AV_PIX_FMT_RGB24,
                                                                   pixels.Width(), pixels.Height(), format,
                                                                   SWS_POINT, nullptr, nullptr, nullptr));
    // One row more than the picture: the converter writes whole blocks.
    frame->height = pixels.Height() + 1;
    if (!scaler || av_frame_get_buffer(frame.get(), 64) < 0) return Gdiplus::OutOfMemory;
    frame->height = pixels.Height();
    sws_scale(scaler.get(), rgb->data, rgb->linesize, 0, pixels.Height(), frame->data, frame->linesize);
  } else {
    frame = Picture(pixels, format, alpha);
    if (!frame) return Gdiplus::OutOfMemory;
  }
  if (avcodec_open2(codec.get(), encoder, nullptr) < 0) return Gdiplus::GenericError;

  AVFormatContext* made = nullptr;
  if (avformat_alloc_output_context2(&made, nullptr, kc.muxer, nullptr) < 0) return Gdiplus::GenericError;
  std::unique_ptr<AVFormatContext, OutputCloser> output(made);
  AVStream* stream = avformat_new_stream(output.get(), nullptr);
  if (!stream || avcodec_parameters_from_context(stream->codecpar, codec.get()) < 0) return Gdiplus::GenericError;
  stream->time_base = codec->time_base;
  if (avio_open(&output->pb, ("file:" + path).c_str(), AVIO_FLAG_WRITE) < 0) return Gdiplus::Win32Error;
  *opened = true;
  bool written = avformat_write_header(output.get(), nullptr) >= 0;
  frame->pts = 0;
  written = written && avcodec_send_frame(codec.get(), frame.get()) >= 0 && avcodec_send_frame(codec.get(), nullptr) >= 0;
  std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
  while (written && packet && avcodec_receive_packet(codec.get(), packet.get()) == 0) {
    packet->stream_index = stream->index;
    av_packet_rescale_ts(packet.get(), codec->time_base, stream->time_base);
    written = av_write_frame(output.get(), packet.get()) >= 0;
    av_packet_unref(packet.get());
  }
  written = written && av_write_trailer(output.get()) >= 0;
  written = avio_closep(&output->pb) >= 0 && written;
  return written ? Gdiplus::Ok : Gdiplus::Win32Error;
}

}  // namespace

Gdiplus::Status EncodeImageFile(const Pixels& pixels, FileKind kind, const std::string& path) {
  bool opened = false;
  const Gdiplus::Status status = Encode(pixels, kind, path, &opened);
  if (status != Gdiplus::Ok && opened) std::remove(path.c_str());
  return status;
}

}  // namespace gdiplus::codec
