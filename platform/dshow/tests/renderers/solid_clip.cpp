#include "solid_clip.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace dshow_test {

std::string MakeSolidClip(const std::string& path, int width, int height, const std::vector<COLORREF>& frames) {
  AVFormatContext* out = nullptr;
  if (avformat_alloc_output_context2(&out, nullptr, "avi", path.c_str()) < 0) return "no avi muxer";
  std::string error;
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_RAWVIDEO);
  AVCodecContext* c = codec ? avcodec_alloc_context3(codec) : nullptr;
  AVStream* stream = avformat_new_stream(out, nullptr);
  AVFrame* frame = av_frame_alloc();
  AVPacket* packet = av_packet_alloc();
  if (!c || !stream || !frame || !packet) error = "out of memory";
  if (error.empty()) {
    c->width = width;
    c->height = height;
    c->pix_fmt = AV_PIX_FMT_BGR24;
    c->time_base = {1, 25};
    if (avcodec_open2(c, codec, nullptr) < 0 || avcodec_parameters_from_context(stream->codecpar, c) < 0)
      error = "cannot open the encoder";
    stream->time_base = c->time_base;
  }
  if (error.empty() && (avio_open(&out->pb, path.c_str(), AVIO_FLAG_WRITE) < 0 || avformat_write_header(out, nullptr) < 0))
    error = "cannot write " + path;
  frame->format = AV_PIX_FMT_BGR24;
  frame->width = width;
  frame->height = height;
  if (error.empty() && av_frame_get_buffer(frame, 0) < 0) error = "frame buffer";
  for (size_t i = 0; error.empty() && i < frames.size(); ++i) {
    av_frame_make_writable(frame);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        uint8_t* p = frame->data[0] + y * frame->linesize[0] + x * 3;
        p[0] = uint8_t(frames[i] >> 16);  // COLORREF is 0x00BBGGRR
        p[1] = uint8_t(frames[i] >> 8);
        p[2] = uint8_t(frames[i]);
      }
    frame->pts = int64_t(i);
    if (avcodec_send_frame(c, frame) < 0) error = "encode";
    while (error.empty() && avcodec_receive_packet(c, packet) == 0) {
      av_packet_rescale_ts(packet, c->time_base, stream->time_base);
      packet->stream_index = stream->index;
      if (av_interleaved_write_frame(out, packet) < 0) error = "write";
    }
  }
  if (error.empty() && av_write_trailer(out) < 0) error = "trailer";
  av_packet_free(&packet);
  av_frame_free(&frame);
  avcodec_free_context(&c);
  if (out->pb) avio_closep(&out->pb);
  avformat_free_context(out);
  return error;
}

}  // namespace dshow_test
