#include "testing/image_files.h"

#include <cstdio>
#include <cstring>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace testing_support {

std::string WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba) {
  if (rgba.size() != size_t(width) * size_t(height) * 4) return "pixel count does not match the size";
  const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_PNG);
  if (!encoder) return "no PNG encoder";
  AVCodecContext* codec = avcodec_alloc_context3(encoder);
  AVFrame* frame = av_frame_alloc();
  AVPacket* packet = av_packet_alloc();
  std::string error;
  if (!codec || !frame || !packet) error = "out of memory";
  if (error.empty()) {
    codec->width = width;
    codec->height = height;
    codec->pix_fmt = AV_PIX_FMT_RGBA;
    codec->time_base = {1, 25};
    if (avcodec_open2(codec, encoder, nullptr) < 0) error = "cannot open the PNG encoder";
  }
  if (error.empty()) {
    frame->format = AV_PIX_FMT_RGBA;
    frame->width = width;
    frame->height = height;
    if (av_frame_get_buffer(frame, 0) < 0) error = "out of memory";
  }
  if (error.empty()) {
    for (int y = 0; y < height; ++y)
      std::memcpy(frame->data[0] + ptrdiff_t(y) * frame->linesize[0], rgba.data() + size_t(y) * size_t(width) * 4,
                  size_t(width) * 4);
    if (avcodec_send_frame(codec, frame) < 0 || avcodec_send_frame(codec, nullptr) < 0 ||
        avcodec_receive_packet(codec, packet) < 0)
      error = "cannot encode";
  }
  if (error.empty()) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(packet->data, 1, size_t(packet->size), file) != size_t(packet->size)) error = "cannot write " + path;
    if (file) std::fclose(file);
  }
  av_packet_free(&packet);
  av_frame_free(&frame);
  avcodec_free_context(&codec);
  return error;
}

}  // namespace testing_support
