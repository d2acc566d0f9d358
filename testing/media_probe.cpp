#include "testing/media_probe.h"

#include <algorithm>
#include <limits>

#include <cmath>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace testing_support {

const ProbedStream* ProbedFile::Video() const {
  for (const ProbedStream& s : streams)
    if (s.video) return &s;
  return nullptr;
}

const ProbedStream* ProbedFile::Audio() const {
  for (const ProbedStream& s : streams)
    if (!s.video) return &s;
  return nullptr;
}

ProbedFile ProbeFile(const std::string& path) {
  ProbedFile result;
  AVFormatContext* input = nullptr;
  if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) {
    result.error = "cannot open " + path;
    return result;
  }
  if (avformat_find_stream_info(input, nullptr) < 0) {
    avformat_close_input(&input);
    result.error = "no stream information in " + path;
    return result;
  }
  result.format = input->iformat->name;
  std::vector<int> map(input->nb_streams, -1);
  std::vector<int64_t> first(input->nb_streams, std::numeric_limits<int64_t>::max());
  std::vector<int64_t> last(input->nb_streams, std::numeric_limits<int64_t>::min());
  for (unsigned i = 0; i < input->nb_streams; ++i) {
    const AVCodecParameters* p = input->streams[i]->codecpar;
    if (p->codec_type != AVMEDIA_TYPE_VIDEO && p->codec_type != AVMEDIA_TYPE_AUDIO) continue;
    ProbedStream s;
    s.video = p->codec_type == AVMEDIA_TYPE_VIDEO;
    s.codec = avcodec_get_name(p->codec_id);
    s.width = p->width;
    s.height = p->height;
    s.sampleRate = p->sample_rate;
    s.channels = p->ch_layout.nb_channels;
    s.bitsPerSample = av_get_bits_per_sample(p->codec_id);
    map[i] = int(result.streams.size());
    result.streams.push_back(s);
  }
  AVPacket* packet = av_packet_alloc();
  int err;
  while ((err = av_read_frame(input, packet)) >= 0) {
    const int i = packet->stream_index;
    if (map[i] >= 0) {
      result.streams[map[i]].packets++;
      const int64_t t = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
      if (t != AV_NOPTS_VALUE) {
        first[i] = std::min(first[i], t);
        last[i] = std::max(last[i], t + std::max<int64_t>(packet->duration, 0));
      }
    }
    av_packet_unref(packet);
  }
  if (err != AVERROR_EOF) result.error = "read error in " + path;
  for (unsigned i = 0; i < input->nb_streams; ++i)
    if (map[i] >= 0 && last[i] > first[i])
      result.streams[map[i]].seconds = double(last[i] - first[i]) * av_q2d(input->streams[i]->time_base);
  av_packet_free(&packet);
  avformat_close_input(&input);
  return result;
}

namespace {

// The first picture, or with last the last one, of the file's video stream.
// The last picture showing at a time (seconds from the stream's start; the first picture when
// the time is before it).
ProbedPicture DecodePicture(const std::string& path, double at) {
  ProbedPicture result;
  AVFormatContext* input = nullptr;
  if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) {
    result.error = "cannot open " + path;
    return result;
  }
  const AVCodec* decoder = nullptr;
  const int stream = avformat_find_stream_info(input, nullptr) < 0
                         ? -1
                         : av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
  AVCodecContext* codec = stream >= 0 ? avcodec_alloc_context3(decoder) : nullptr;
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  AVFrame* rgb = av_frame_alloc();
  if (!codec || avcodec_parameters_to_context(codec, input->streams[stream]->codecpar) < 0 ||
      avcodec_open2(codec, decoder, nullptr) < 0) {
    result.error = "no video decoder for " + path;
  } else {
    int err = 0;
    bool decoded = false;
    AVFrame* next = av_frame_alloc();
    while (true) {
      err = avcodec_receive_frame(codec, next);
      if (err == 0) {
        const AVRational base = input->streams[stream]->time_base;
        const double time = next->best_effort_timestamp == AV_NOPTS_VALUE
                                ? 0
                                : double(next->best_effort_timestamp) * base.num / base.den;
        if (decoded && time > at + 1e-6) break;
        av_frame_unref(frame);
        av_frame_move_ref(frame, next);
        decoded = true;
        continue;
      }
      if (err != AVERROR(EAGAIN)) break;
      const int read = av_read_frame(input, packet);
      if (read < 0) {
        avcodec_send_packet(codec, nullptr);
      } else {
        if (packet->stream_index == stream) avcodec_send_packet(codec, packet);
        av_packet_unref(packet);
      }
    }
    av_frame_free(&next);
    err = decoded ? 0 : -1;
    // Converted into a frame of FFmpeg's own, which has room for what libswscale writes past a row.
    rgb->format = AV_PIX_FMT_RGB24;
    rgb->width = frame->width;
    rgb->height = frame->height;
    SwsContext* sws = err < 0 ? nullptr
                              : sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                               frame->height, AV_PIX_FMT_RGB24, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!sws || av_frame_get_buffer(rgb, 0) < 0 ||
        sws_scale(sws, frame->data, frame->linesize, 0, frame->height, rgb->data, rgb->linesize) <= 0) {
      result.error = "no picture decoded from " + path;
    } else {
      result.width = frame->width;
      result.height = frame->height;
      const size_t row = size_t(frame->width) * 3;
      result.rgb.resize(row * size_t(frame->height));
      for (int y = 0; y < frame->height; ++y)
        std::memcpy(result.rgb.data() + row * size_t(y), rgb->data[0] + ptrdiff_t(y) * rgb->linesize[0], row);
    }
    sws_freeContext(sws);
  }
  av_frame_free(&rgb);
  av_frame_free(&frame);
  av_packet_free(&packet);
  avcodec_free_context(&codec);
  avformat_close_input(&input);
  return result;
}

}  // namespace

ProbedPicture FirstPicture(const std::string& path) { return DecodePicture(path, -1); }

ProbedPicture LastPicture(const std::string& path) { return DecodePicture(path, HUGE_VAL); }

ProbedPicture PictureAt(const std::string& path, double seconds) { return DecodePicture(path, seconds); }

}  // namespace testing_support
