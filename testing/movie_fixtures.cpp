#include "testing/movie_fixtures.h"

#include <cmath>
#include <map>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include "dshow/ffmpeg_handles.h"

namespace testing_support {
namespace {

using dshow::filters::CodecContext;
using dshow::filters::ErrorText;
using dshow::filters::Frame;
using dshow::filters::Output;
using dshow::filters::Packet;
using dshow::filters::Scaler;

std::string Describe(const std::string& what, int err) { return what + ": " + ErrorText(err); }

// One encoder feeding one stream of the output.
struct Track {
  CodecContext codec;
  AVStream* stream = nullptr;
  Frame frame;
  Scaler scaler;
  const MovieVideoTrack* video = nullptr;
  const MovieSoundTrack* sound = nullptr;
  int64_t made = 0;    // frames (video) or sample frames (sound) made so far
  int64_t next = 0;    // pts of the next frame, codec time base
  int64_t total = 0;
  std::map<int64_t, int64_t> durations;  // of the video frames by pts: muxers need each frame's length

  double NextSeconds() const { return next * av_q2d(codec->time_base); }
  bool Left() const { return made < total; }
};

std::string Open(Track& t, AVFormatContext* out, const AVCodec* encoder) {
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

std::string Encode(Track& t, AVFormatContext* out, AVFrame* frame) {
  if (int err = avcodec_send_frame(t.codec.get(), frame); err < 0) return Describe("encode", err);
  Packet packet(av_packet_alloc());
  for (;;) {
    int err = avcodec_receive_packet(t.codec.get(), packet.get());
    if (err == AVERROR(EAGAIN) || err == AVERROR_EOF) return "";
    if (err < 0) return Describe("encode", err);
    if (packet->duration == 0)
      if (auto it = t.durations.find(packet->pts); it != t.durations.end()) packet->duration = it->second;
    av_packet_rescale_ts(packet.get(), t.codec->time_base, t.stream->time_base);
    packet->stream_index = t.stream->index;
    if (err = av_interleaved_write_frame(out, packet.get()); err < 0) return Describe("write", err);
  }
}

// Frame n of a track: its code as bars over a grey picture, in RGB, converted for the encoder.
std::string VideoFrame(Track& t) {
  const MovieVideoTrack& v = *t.video;
  AVFrame* f = t.frame.get();
  if (!f->data[0]) {
    f->format = t.codec->pix_fmt;
    f->width = v.width;
    f->height = v.height;
    if (int err = av_frame_get_buffer(f, 0); err < 0) return Describe("frame buffer", err);
    t.scaler.reset(sws_getContext(v.width, v.height, AV_PIX_FMT_RGB24, v.width, v.height, t.codec->pix_fmt,
                                  SWS_POINT, nullptr, nullptr, nullptr));
    if (!t.scaler) return "no converter to " + std::string(av_get_pix_fmt_name(t.codec->pix_fmt));
  }
  if (int err = av_frame_make_writable(f); err < 0) return Describe("frame buffer", err);
  const int code = int(t.made) + v.codeBase;
  const int bar = v.width / kCodeBits;
  const int stride = v.width * 3;
  std::vector<uint8_t> rgb(size_t(stride) * size_t(v.height) + 64, 128);
  for (int y = 0; y < v.height * 3 / 4; ++y)
    for (int b = 0; b < kCodeBits; ++b) {
      const uint8_t level = (code >> (kCodeBits - 1 - b)) & 1 ? 255 : 0;
      for (int x = b * bar; x < (b + 1) * bar; ++x)
        for (int c = 0; c < 3; ++c) rgb[size_t(y) * stride + size_t(x) * 3 + c] = level;
    }
  const uint8_t* src[1] = {rgb.data()};
  const int srcStride[1] = {stride};
  sws_scale(t.scaler.get(), src, srcStride, 0, v.height, f->data, f->linesize);
  f->pts = t.next;
  ++t.made;
  if (v.frameMilliseconds.empty())
    t.next = t.made;
  else
    t.next += v.frameMilliseconds[size_t(t.made - 1) % v.frameMilliseconds.size()];
  t.durations[f->pts] = t.next - f->pts;
  return "";
}

std::string SoundFrame(Track& t) {
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
    const double v = 0.3 * std::sin(2 * M_PI * 440.0 * double(t.made + n) / c->sample_rate);
    for (int ch = 0; ch < channels; ++ch) {
      const int plane = planar ? ch : 0;
      const int index = planar ? n : n * channels + ch;
      const double s = ch == 0 ? v : -v;  // channels differ, so a swap shows
      switch (c->sample_fmt) {
        case AV_SAMPLE_FMT_U8: reinterpret_cast<uint8_t*>(f->data[plane])[index] = uint8_t(128 + s * 127); break;
        case AV_SAMPLE_FMT_S16:
        case AV_SAMPLE_FMT_S16P: reinterpret_cast<int16_t*>(f->data[plane])[index] = int16_t(s * 32767); break;
        case AV_SAMPLE_FMT_S32:
        case AV_SAMPLE_FMT_S32P: reinterpret_cast<int32_t*>(f->data[plane])[index] = int32_t(s * 2147483647.0); break;
        case AV_SAMPLE_FMT_FLT:
        case AV_SAMPLE_FMT_FLTP: reinterpret_cast<float*>(f->data[plane])[index] = float(s); break;
        default: return "unsupported sample format";
      }
    }
  }
  f->pts = t.next;
  t.made += f->nb_samples;
  t.next = t.made;
  return "";
}

}  // namespace

std::string MakeMovie(const std::string& path, const MovieOptions& o) {
  AVFormatContext* raw = nullptr;
  if (int err = avformat_alloc_output_context2(&raw, nullptr, o.format.c_str(), path.c_str()); err < 0)
    return Describe("muxer " + o.format, err);
  Output out(raw);

  std::vector<std::unique_ptr<Track>> tracks;
  for (const MovieVideoTrack& v : o.video) {
    const AVCodec* encoder = avcodec_find_encoder_by_name(v.encoder.c_str());
    if (!encoder) return "no encoder " + v.encoder;
    auto t = std::make_unique<Track>();
    t->video = &v;
    t->codec.reset(avcodec_alloc_context3(encoder));
    AVCodecContext* c = t->codec.get();
    c->width = v.width;
    c->height = v.height;
    if (v.frameMilliseconds.empty()) {
      c->time_base = {v.rateDen, v.rateNum};
      c->framerate = {v.rateNum, v.rateDen};
    } else {
      c->time_base = {1, 1000};
    }
    c->gop_size = v.keyframeInterval;
    c->max_b_frames = encoder->id == AV_CODEC_ID_H264 || encoder->id == AV_CODEC_ID_MPEG4 ? 2 : 0;  // reordered frames
    c->pix_fmt = encoder->pix_fmts ? encoder->pix_fmts[0] : AV_PIX_FMT_YUV420P;
    c->bit_rate = 800000;
    if (std::string err = Open(*t, out.get(), encoder); !err.empty()) return err;
    t->total = v.frames;
    tracks.push_back(std::move(t));
  }
  for (const MovieSoundTrack& s : o.sound) {
    const AVCodec* encoder = avcodec_find_encoder_by_name(s.encoder.c_str());
    if (!encoder) return "no encoder " + s.encoder;
    auto t = std::make_unique<Track>();
    t->sound = &s;
    t->codec.reset(avcodec_alloc_context3(encoder));
    AVCodecContext* c = t->codec.get();
    c->sample_rate = s.sampleRate;
    c->time_base = {1, s.sampleRate};
    c->sample_fmt = encoder->sample_fmts ? encoder->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    c->bit_rate = encoder->id == AV_CODEC_ID_AMR_NB ? 12200 : 96000;
    av_channel_layout_default(&c->ch_layout, s.channels);
    if (std::string err = Open(*t, out.get(), encoder); !err.empty()) return err;
    t->total = std::llround(s.seconds * s.sampleRate);
    tracks.push_back(std::move(t));
  }

  if (!(out->oformat->flags & AVFMT_NOFILE))
    if (int err = avio_open(&out->pb, path.c_str(), AVIO_FLAG_WRITE); err < 0) return Describe(path, err);
  if (int err = avformat_write_header(out.get(), nullptr); err < 0) return Describe("header", err);

  // Feed whichever track is furthest behind, so the muxer sees them in time order.
  for (;;) {
    Track* behind = nullptr;
    for (auto& t : tracks)
      if (t->Left() && (!behind || t->NextSeconds() < behind->NextSeconds())) behind = t.get();
    if (!behind) break;
    std::string err = behind->video ? VideoFrame(*behind) : SoundFrame(*behind);
    if (err.empty()) err = Encode(*behind, out.get(), behind->frame.get());
    if (!err.empty()) return err;
  }
  for (auto& t : tracks)
    if (std::string err = Encode(*t, out.get(), nullptr); !err.empty()) return err;
  if (int err = av_write_trailer(out.get()); err < 0) return Describe("trailer", err);
  return "";
}

int ReadFrameCode(int width, int height, const std::function<Rgb(int x, int y)>& pixel) {
  const int bar = width / kCodeBits;
  if (bar < 2) return -1;
  int code = 0;
  for (int b = 0; b < kCodeBits; ++b) {
    const Rgb c = pixel(b * bar + bar / 2, height * 3 / 8);
    const int level = (c.r + c.g + c.b) / 3;
    if (level > 64 && level < 192) return -1;
    code = code << 1 | (level >= 192 ? 1 : 0);
  }
  return code;
}

}  // namespace testing_support
