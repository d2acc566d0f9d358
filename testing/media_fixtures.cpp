#include "testing/media_fixtures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

#include "dshow/ffmpeg_handles.h"

namespace testing_support {
namespace {

using dshow::filters::CodecContext;
using dshow::filters::ErrorText;
using dshow::filters::Frame;
using dshow::filters::Output;
using dshow::filters::Packet;

std::string Describe(const std::string& what, int err) { return what + ": " + ErrorText(err); }

// One encoder feeding one stream of the output.
struct Track {
  CodecContext codec;
  AVStream* stream = nullptr;
  Frame frame;
  int64_t next = 0;  // pts of the next frame, in the codec time base
  int64_t total = 0;

  double NextSeconds() const { return next * av_q2d(codec->time_base); }
};

std::string OpenTrack(Track& t, AVFormatContext* out, const AVCodec* encoder) {
  t.stream = avformat_new_stream(out, nullptr);
  if (!t.stream) return "cannot add stream";
  if (out->oformat->flags & AVFMT_GLOBALHEADER) t.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (int err = avcodec_open2(t.codec.get(), encoder, nullptr); err < 0)
    return Describe(std::string("cannot open encoder ") + encoder->name, err);
  if (int err = avcodec_parameters_from_context(t.stream->codecpar, t.codec.get()); err < 0)
    return Describe("codec parameters", err);
  t.stream->time_base = t.codec->time_base;
  t.frame.reset(av_frame_alloc());
  return t.frame ? "" : "out of memory";
}

// Sends one frame (or the end of the stream when frame is null) and writes what comes out.
std::string Encode(Track& t, AVFormatContext* out, AVFrame* frame) {
  if (int err = avcodec_send_frame(t.codec.get(), frame); err < 0) return Describe("encode", err);
  Packet packet(av_packet_alloc());
  for (;;) {
    int err = avcodec_receive_packet(t.codec.get(), packet.get());
    if (err == AVERROR(EAGAIN) || err == AVERROR_EOF) return "";
    if (err < 0) return Describe("encode", err);
    av_packet_rescale_ts(packet.get(), t.codec->time_base, t.stream->time_base);
    packet->stream_index = t.stream->index;
    if (err = av_interleaved_write_frame(out, packet.get()); err < 0) return Describe("write", err);
  }
}

void PaintRect(AVFrame* f, int x0, int y0, int x1, int y1, Yuv c) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) f->data[0][y * f->linesize[0] + x] = c.y;
  for (int y = y0 / 2; y < (y1 + 1) / 2; ++y)
    for (int x = x0 / 2; x < (x1 + 1) / 2; ++x) {
      f->data[1][y * f->linesize[1] + x] = c.u;
      f->data[2][y * f->linesize[2] + x] = c.v;
    }
}

bool Near(Rgb a, Rgb b) {
  constexpr int kTolerance = 48;  // lossy coding, 5-bit fields, dithering and scaling
  return std::abs(a.r - b.r) <= kTolerance && std::abs(a.g - b.g) <= kTolerance && std::abs(a.b - b.b) <= kTolerance;
}

std::string DescribeColour(Rgb c) {
  char text[48];
  std::snprintf(text, sizeof text, "(%d,%d,%d)", c.r, c.g, c.b);
  return text;
}

std::string VideoFrame(Track& t, int width, int height, bool markedEdges, bool timeColoured,
                       const std::optional<Rgb>& solid) {
  AVFrame* f = t.frame.get();
  if (!f->data[0]) {
    f->format = t.codec->pix_fmt;
    f->width = width;
    f->height = height;
    if (int err = av_frame_get_buffer(f, 0); err < 0) return Describe("frame buffer", err);
  }
  if (int err = av_frame_make_writable(f); err < 0) return Describe("frame buffer", err);
  const int i = int(t.next);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) f->data[0][y * f->linesize[0] + x] = uint8_t(x + y + i * 3);
  for (int y = 0; y < height / 2; ++y)
    for (int x = 0; x < width / 2; ++x) {
      f->data[1][y * f->linesize[1] + x] = uint8_t(128 + y + i * 2);
      f->data[2][y * f->linesize[2] + x] = uint8_t(64 + x + i * 5);
    }
  if (timeColoured) PaintRect(f, 0, 0, width, height, StudioYuvOf(TimeColourOfFrame(i)));
  if (solid) PaintRect(f, 0, 0, width, height, StudioYuvOf(*solid));
  if (markedEdges) {
    const int strip = std::min(kEdgeStrip, width / 2);
    PaintRect(f, 0, 0, strip, height / 2, StudioYuvOf(kTopLeftColour));
    PaintRect(f, 0, height / 2, strip, height, StudioYuvOf(kBottomLeftColour));
    PaintRect(f, width - strip, 0, width, height, StudioYuvOf(kRightColour));
  }
  f->pts = t.next++;
  return "";
}

std::string AudioFrame(Track& t) {
  AVCodecContext* c = t.codec.get();
  AVFrame* f = t.frame.get();
  if (!f->data[0]) {
    f->format = c->sample_fmt;
    f->sample_rate = c->sample_rate;
    f->nb_samples = c->frame_size > 0 ? c->frame_size : 1024;
    if (int err = av_channel_layout_copy(&f->ch_layout, &c->ch_layout); err < 0) return Describe("layout", err);
    if (int err = av_frame_get_buffer(f, 0); err < 0) return Describe("frame buffer", err);
  }
  if (int err = av_frame_make_writable(f); err < 0) return Describe("frame buffer", err);
  const bool planar = av_sample_fmt_is_planar(c->sample_fmt);
  const int channels = c->ch_layout.nb_channels;
  for (int n = 0; n < f->nb_samples; ++n) {
    const double v = 0.3 * std::sin(2 * M_PI * 440.0 * double(t.next + n) / c->sample_rate);
    for (int ch = 0; ch < channels; ++ch) {
      const int plane = planar ? ch : 0;
      const int index = planar ? n : n * channels + ch;
      switch (c->sample_fmt) {
        case AV_SAMPLE_FMT_S16:
        case AV_SAMPLE_FMT_S16P:
          reinterpret_cast<int16_t*>(f->data[plane])[index] = int16_t(v * 32767);
          break;
        case AV_SAMPLE_FMT_S32:
        case AV_SAMPLE_FMT_S32P:
          reinterpret_cast<int32_t*>(f->data[plane])[index] = int32_t(v * 2147483647.0);
          break;
        case AV_SAMPLE_FMT_FLT:
        case AV_SAMPLE_FMT_FLTP:
          reinterpret_cast<float*>(f->data[plane])[index] = float(v);
          break;
        default:
          return "unsupported sample format";
      }
    }
  }
  f->pts = t.next;
  t.next += f->nb_samples;
  return "";
}

}  // namespace

std::string MakeClip(const std::string& path, const ClipOptions& o) {
  AVFormatContext* raw = nullptr;
  if (int err = avformat_alloc_output_context2(&raw, nullptr, o.format.c_str(), path.c_str()); err < 0)
    return Describe("muxer " + o.format, err);
  Output out(raw);

  Track video, audio;
  if (!o.videoEncoder.empty()) {
    const AVCodec* encoder = avcodec_find_encoder_by_name(o.videoEncoder.c_str());
    if (!encoder) return "no encoder " + o.videoEncoder;
    video.codec.reset(avcodec_alloc_context3(encoder));
    AVCodecContext* c = video.codec.get();
    c->width = o.width;
    c->height = o.height;
    c->time_base = {1, o.frameRate};
    c->framerate = {o.frameRate, 1};
    c->gop_size = o.keyframeInterval;
    c->max_b_frames = 0;
    c->pix_fmt = encoder->pix_fmts ? encoder->pix_fmts[0] : AV_PIX_FMT_YUV420P;
    c->bit_rate = 400000;
    if (std::string err = OpenTrack(video, out.get(), encoder); !err.empty()) return err;
    video.total = std::lround(o.seconds * o.frameRate);
  }
  if (!o.audioEncoder.empty()) {
    const AVCodec* encoder = avcodec_find_encoder_by_name(o.audioEncoder.c_str());
    if (!encoder) return "no encoder " + o.audioEncoder;
    audio.codec.reset(avcodec_alloc_context3(encoder));
    AVCodecContext* c = audio.codec.get();
    c->sample_rate = o.sampleRate;
    c->time_base = {1, o.sampleRate};
    c->sample_fmt = encoder->sample_fmts ? encoder->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    c->bit_rate = 64000;
    av_channel_layout_default(&c->ch_layout, o.channels);
    if (std::string err = OpenTrack(audio, out.get(), encoder); !err.empty()) return err;
    audio.total = std::lround(o.seconds * o.sampleRate);
  }

  if (!(out->oformat->flags & AVFMT_NOFILE))
    if (int err = avio_open(&out->pb, path.c_str(), AVIO_FLAG_WRITE); err < 0) return Describe(path, err);
  AVDictionary* options = nullptr;
  for (const auto& [key, value] : o.muxerOptions) av_dict_set(&options, key.c_str(), value.c_str(), 0);
  const int headerErr = avformat_write_header(out.get(), &options);
  av_dict_free(&options);
  if (headerErr < 0) return Describe("header", headerErr);

  // Feed whichever stream is behind, so the muxer sees them in time order.
  for (;;) {
    const bool videoLeft = video.codec && video.next < video.total;
    const bool audioLeft = audio.codec && audio.next < audio.total;
    if (!videoLeft && !audioLeft) break;
    Track& t = videoLeft && (!audioLeft || video.NextSeconds() <= audio.NextSeconds()) ? video : audio;
    std::string err = &t == &video ? VideoFrame(t, o.width, o.height, o.markedEdges, o.timeColoured, o.solidColour)
                                   : AudioFrame(t);
    if (err.empty()) err = Encode(t, out.get(), t.frame.get());
    if (!err.empty()) return err;
  }
  for (Track* t : {&video, &audio})
    if (t->codec)
      if (std::string err = Encode(*t, out.get(), nullptr); !err.empty()) return err;
  if (int err = av_write_trailer(out.get()); err < 0) return Describe("trailer", err);
  return "";
}

Rgb TimeColourOfFrame(int frame) {
  return {40 + frame * 53 % 176, 40 + frame * 97 % 176, 40 + frame * 31 % 176};
}

Rgb MarkedColourAt(int x, int y, int width, int height) {
  if (x < kEdgeStrip) return y < height / 2 ? kTopLeftColour : kBottomLeftColour;
  if (x >= width - kEdgeStrip) return kRightColour;
  return {128, 128, 128};
}

Yuv StudioYuvOf(Rgb c) {
  return {uint8_t(16.5 + (65.481 * c.r + 128.553 * c.g + 24.966 * c.b) / 255),
          uint8_t(128.5 + (-37.797 * c.r - 74.203 * c.g + 112 * c.b) / 255),
          uint8_t(128.5 + (112 * c.r - 93.786 * c.g - 18.214 * c.b) / 255)};
}

std::string MarkedEdgesFault(int width, int height, const std::function<Rgb(int x, int y)>& pixel) {
  const int margin = height / 12 + 4;  // rows blurred where the left colour changes
  for (int y = 0; y < height; ++y) {
    if (std::abs(2 * y + 1 - height) < 2 * margin) continue;
    const Rgb left = y < height / 2 ? kTopLeftColour : kBottomLeftColour;
    const Rgb first = pixel(0, y), last = pixel(width - 1, y);
    if (!Near(first, left))
      return "row " + std::to_string(y) + " starts with " + DescribeColour(first) + ", not " + DescribeColour(left);
    if (!Near(last, kRightColour))
      return "row " + std::to_string(y) + " ends with " + DescribeColour(last) + ", not " +
             DescribeColour(kRightColour);
  }
  return "";
}

}  // namespace testing_support
