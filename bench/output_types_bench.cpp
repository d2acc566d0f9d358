// One conversion per family of output types, each against a plain FFmpeg library loop with equal
// settings and against the ffmpeg command-line tool, the three taking turns in one run: DVD PAL,
// MP4, FLV, animated GIF and an MP3-only save. Each side runs in a child process of its own, so
// that its time, CPU and peak memory are its own.
// Usage: output_types_bench [folder] [seconds] [rounds]
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "child_run.h"
#include "hosted_engine.h"
#include "source_clip.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace {

using bench::InChild;
using bench::Result;

// What a family's file holds; the engine is set up to make the same.
struct Family {
  const char* name;
  short outputType;  // -1: the MP3-only save
  const char* muxer;
  const char* videoEncoder;  // empty: no video
  int width, height, frameRate;
  AVPixelFormat pixelFormat;
  int64_t videoBitRate;
  std::map<std::string, std::string> videoOptions;
  const char* audioEncoder;  // empty: no sound
  int sampleRate, channels;
  int64_t audioBitRate;
};

const std::vector<Family>& Families() {
  static const std::vector<Family> families = {
      {"DVD PAL", 4, "dvd", "mpeg2video", 720, 576, 25, AV_PIX_FMT_YUV420P, 6000000,
       {{"maxrate", "9000000"}, {"bufsize", "1835008"}, {"g", "15"}}, "ac3", 48000, 2, 448000},
      {"MP4", 12, "mp4", "mpeg4", 640, 480, 25, AV_PIX_FMT_YUV420P, 1000000, {{"flags", "+global_header"}}, "aac",
       44100, 2, 96000},
      {"FLV", 14, "flv", "flv", 640, 480, 25, AV_PIX_FMT_YUV420P, 512000, {}, "libmp3lame", 44100, 2, 128000},
      {"GIF", 17, "gif", "gif", 320, 240, 10, AV_PIX_FMT_RGB8, 0, {}, "", 0, 0, 0},
      {"MP3 only", -1, "mp3", "", 0, 0, 0, AV_PIX_FMT_NONE, 0, {}, "libmp3lame", 44100, 2, 128000},
  };
  return families;
}

// ---- The engine, hosted as a container hosts it -------------------------------------------------

int EngineConvert(const Family& f, const std::string& in, const std::string& out, double seconds) {
  if (!bench::RegisterModule(TESSARY_MODULE)) return 2;
  bench::HostedEngine engine;
  if (!engine.Open()) return 2;
  auto put = [&](DISPID id, const COleVariant& v) { return engine.Put(id, v); };
  bool ok = true;
  if (f.outputType >= 0) {
    ok = put(dispidOutputType, COleVariant(LONG(f.outputType))) &&
         put(dispidOutputFileWidth, COleVariant(short(f.width))) &&
         put(dispidOutputFileHeight, COleVariant(short(f.height))) &&
         put(dispidFrameRate, COleVariant(float(f.frameRate)));
    if (f.outputType == 12)
      ok = ok && put(dispidMP4Width, COleVariant(short(f.width))) &&
           put(dispidMP4Height, COleVariant(short(f.height))) && put(dispidMP4Framerate, COleVariant(short(25))) &&
           put(dispidMP4VideoBitrate, COleVariant(LONG(f.videoBitRate)));
    if (f.outputType == 14) ok = ok && put(dispidFLVFrameRate, COleVariant(short(f.frameRate)));
    if (f.outputType == 17)
      ok = ok && put(dispidAniGIFWidth, COleVariant(short(f.width))) &&
           put(dispidAniGIFHeight, COleVariant(short(f.height)));
  }
  ok = ok && engine.Call(dispidInitControl);
  if (*f.videoEncoder)
    ok = ok && engine.Call(dispidAddVideo, {COleVariant(in.c_str()), COleVariant(0.0), COleVariant(seconds),
                                     COleVariant(short(0))});
  if (*f.audioEncoder)
    ok = ok && engine.Call(dispidAddAudio, {COleVariant(in.c_str()), COleVariant(0.0), COleVariant(seconds)});
  if (f.outputType >= 0)
    ok = ok && engine.Call(dispidSave, {COleVariant(out.c_str())});
  else
    ok = ok && engine.Call(dispidSave2MP3, {COleVariant(out.c_str()), COleVariant(LONG(f.sampleRate)),
                                     COleVariant(short(f.audioBitRate / 1000))});
  if (!ok || engine.result.boolVal != VARIANT_TRUE) return 2;
  return engine.WaitForComplete();
}

// ---- The same work with the FFmpeg libraries directly --------------------------------------------

struct Stream {
  AVCodecContext* decoder = nullptr;
  AVCodecContext* encoder = nullptr;
  AVStream* out = nullptr;
  SwsContext* scaler = nullptr;
  SwrContext* resampler = nullptr;
  AVFrame* converted = nullptr;
  int64_t next = 0;  // the next output frame or sample
};

void Encode(AVFormatContext* out, Stream& s, AVFrame* frame) {
  avcodec_send_frame(s.encoder, frame);
  AVPacket* p = av_packet_alloc();
  while (avcodec_receive_packet(s.encoder, p) == 0) {
    av_packet_rescale_ts(p, s.encoder->time_base, s.out->time_base);
    p->stream_index = s.out->index;
    av_interleaved_write_frame(out, p);
  }
  av_packet_free(&p);
}

AVDictionary* Options(const std::map<std::string, std::string>& options) {
  AVDictionary* d = nullptr;
  for (const auto& [k, v] : options) av_dict_set(&d, k.c_str(), v.c_str(), 0);
  return d;
}

bool OpenVideo(const Family& f, Stream& s, const AVStream* in) {
  const AVCodec* c = avcodec_find_encoder_by_name(f.videoEncoder);
  s.encoder = avcodec_alloc_context3(c);
  s.encoder->width = f.width;
  s.encoder->height = f.height;
  s.encoder->time_base = {1, f.frameRate};
  s.encoder->framerate = {f.frameRate, 1};
  s.encoder->pix_fmt = f.pixelFormat;
  if (f.videoBitRate) s.encoder->bit_rate = f.videoBitRate;
  s.encoder->max_b_frames = 0;
  s.encoder->thread_count = 0;
  s.scaler = sws_getContext(in->codecpar->width, in->codecpar->height, AVPixelFormat(in->codecpar->format), f.width,
                            f.height, f.pixelFormat, SWS_BICUBIC, nullptr, nullptr, nullptr);
  s.converted = av_frame_alloc();
  s.converted->format = f.pixelFormat;
  s.converted->width = f.width;
  s.converted->height = f.height;
  AVDictionary* d = Options(f.videoOptions);
  const bool ok = s.scaler && av_frame_get_buffer(s.converted, 0) >= 0 && avcodec_open2(s.encoder, c, &d) >= 0;
  av_dict_free(&d);
  return ok;
}

bool OpenAudio(const Family& f, Stream& s) {
  const AVCodec* c = avcodec_find_encoder_by_name(f.audioEncoder);
  s.encoder = avcodec_alloc_context3(c);
  s.encoder->sample_rate = f.sampleRate;
  s.encoder->time_base = {1, f.sampleRate};
  s.encoder->sample_fmt = c->sample_fmts[0];
  s.encoder->bit_rate = f.audioBitRate;
  av_channel_layout_default(&s.encoder->ch_layout, f.channels);
  AVDictionary* d = Options({{"flags", "+global_header"}});
  if (avcodec_open2(s.encoder, c, &d) < 0) return false;
  av_dict_free(&d);
  swr_alloc_set_opts2(&s.resampler, &s.encoder->ch_layout, s.encoder->sample_fmt, f.sampleRate,
                      &s.decoder->ch_layout, s.decoder->sample_fmt, s.decoder->sample_rate, 0, nullptr);
  s.converted = av_frame_alloc();
  return swr_init(s.resampler) >= 0;
}

void EncodeAudio(AVFormatContext* out, Stream& s, bool last) {
  const int size = s.encoder->frame_size ? s.encoder->frame_size : 1024;
  while (swr_get_out_samples(s.resampler, 0) >= (last ? 1 : size)) {
    av_frame_unref(s.converted);
    s.converted->format = s.encoder->sample_fmt;
    s.converted->nb_samples = size;
    s.converted->sample_rate = s.encoder->sample_rate;
    av_channel_layout_copy(&s.converted->ch_layout, &s.encoder->ch_layout);
    av_frame_get_buffer(s.converted, 0);
    const int got = swr_convert(s.resampler, s.converted->data, size, nullptr, 0);
    if (got <= 0) break;
    s.converted->nb_samples = got;
    s.converted->pts = s.next;
    s.next += got;
    Encode(out, s, s.converted);
  }
}

int LibraryConvert(const Family& f, const std::string& in, const std::string& path) {
  AVFormatContext* input = nullptr;
  if (avformat_open_input(&input, in.c_str(), nullptr, nullptr) < 0) return 2;
  avformat_find_stream_info(input, nullptr);
  AVFormatContext* out = nullptr;
  avformat_alloc_output_context2(&out, nullptr, f.muxer, path.c_str());
  std::vector<Stream> streams(input->nb_streams);
  for (unsigned i = 0; i < input->nb_streams; ++i) {
    const AVStream* st = input->streams[i];
    const AVMediaType type = st->codecpar->codec_type;
    if ((type == AVMEDIA_TYPE_VIDEO && !*f.videoEncoder) || (type == AVMEDIA_TYPE_AUDIO && !*f.audioEncoder) ||
        (type != AVMEDIA_TYPE_VIDEO && type != AVMEDIA_TYPE_AUDIO))
      continue;
    Stream& s = streams[i];
    s.decoder = avcodec_alloc_context3(avcodec_find_decoder(st->codecpar->codec_id));
    avcodec_parameters_to_context(s.decoder, st->codecpar);
    s.decoder->pkt_timebase = st->time_base;
    s.decoder->thread_count = 0;
    if (avcodec_open2(s.decoder, s.decoder->codec, nullptr) < 0) return 2;
    if (!(type == AVMEDIA_TYPE_VIDEO ? OpenVideo(f, s, st) : OpenAudio(f, s))) return 2;
    s.out = avformat_new_stream(out, nullptr);
    avcodec_parameters_from_context(s.out->codecpar, s.encoder);
    s.out->time_base = s.encoder->time_base;
  }
  if (avio_open(&out->pb, path.c_str(), AVIO_FLAG_WRITE) < 0 || avformat_write_header(out, nullptr) < 0) return 2;
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  auto drain = [&](Stream& s) {
    while (avcodec_receive_frame(s.decoder, frame) == 0) {
      if (s.scaler) {
        // Frames at the output rate: each output frame shows the picture of its time.
        const int64_t end = av_rescale_q(frame->best_effort_timestamp + frame->pkt_duration, s.decoder->pkt_timebase,
                                         s.encoder->time_base);
        if (s.next < end) {
          av_frame_make_writable(s.converted);
          sws_scale(s.scaler, frame->data, frame->linesize, 0, frame->height, s.converted->data,
                    s.converted->linesize);
          for (; s.next < end; ++s.next) {
            s.converted->pts = s.next;
            Encode(out, s, s.converted);
          }
        }
      } else {
        swr_convert(s.resampler, nullptr, 0, const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
        EncodeAudio(out, s, false);
      }
      av_frame_unref(frame);
    }
  };
  while (av_read_frame(input, packet) >= 0) {
    Stream& s = streams[packet->stream_index];
    if (s.decoder) {
      avcodec_send_packet(s.decoder, packet);
      drain(s);
    }
    av_packet_unref(packet);
  }
  for (Stream& s : streams) {
    if (!s.decoder) continue;
    avcodec_send_packet(s.decoder, nullptr);
    drain(s);
    if (s.resampler) EncodeAudio(out, s, true);
    Encode(out, s, nullptr);
  }
  av_write_trailer(out);
  avio_closep(&out->pb);
  return 0;
}

// ---- The ffmpeg tool with the same settings ------------------------------------------------------

int ToolConvert(const Family& f, const std::string& in, const std::string& out) {
  std::vector<std::string> args = {"ffmpeg", "-v", "error", "-nostdin", "-y", "-i", in};
  if (*f.videoEncoder) {
    args.insert(args.end(), {"-c:v", f.videoEncoder, "-s", std::to_string(f.width) + "x" + std::to_string(f.height),
                             "-r", std::to_string(f.frameRate), "-pix_fmt", av_get_pix_fmt_name(f.pixelFormat),
                             "-bf", "0"});
    if (f.videoBitRate) args.insert(args.end(), {"-b:v", std::to_string(f.videoBitRate)});
    for (const auto& [k, v] : f.videoOptions) args.insert(args.end(), {"-" + k, v});
  } else {
    args.push_back("-vn");
  }
  if (*f.audioEncoder)
    args.insert(args.end(), {"-c:a", f.audioEncoder, "-ar", std::to_string(f.sampleRate), "-ac",
                             std::to_string(f.channels), "-b:a", std::to_string(f.audioBitRate)});
  else
    args.push_back("-an");
  args.insert(args.end(), {"-f", f.muxer, out});
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  execvp("ffmpeg", argv.data());
  return 127;
}

Result Median(std::vector<Result> runs) {
  std::sort(runs.begin(), runs.end(), [](const Result& a, const Result& b) { return a.seconds < b.seconds; });
  Result m = runs[runs.size() / 2];
  std::vector<double> cpu;
  for (const Result& r : runs) {
    m.peakKiB = std::max(m.peakKiB, r.peakKiB);
    cpu.push_back(r.cpuSeconds);
    if (r.status != 0) m.status = r.status;
  }
  std::sort(cpu.begin(), cpu.end());
  m.cpuSeconds = cpu[cpu.size() / 2];
  return m;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::current_path();
  const double seconds = argc > 2 ? std::atof(argv[2]) : 20.0;
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  const std::filesystem::path config = folder / "output_bench_config";
  std::filesystem::create_directories(config);
  setenv("CORVANE_REGISTRY", (config / "registry.txt").c_str(), 1);
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  setenv("TMPDIR", config.c_str(), 1);
  setenv("CORVANE_DISPLAY", "headless", 0);

  const std::string clip = (folder / "output_bench_source.avi").string();
  if (!bench::MakeSourceClip(clip, seconds)) return 2;
  int failures = 0;
  std::printf("%-9s %8s %8s %8s | %-7s %-7s %-7s | engine/loop: time cpu memory | engine/tool: time cpu memory\n",
              "family", "engine", "loop", "tool", "", "", "");
  for (const Family& f : Families()) {
    const std::string out = (folder / "output_bench_out").string();
    std::vector<Result> engine, loop, tool;
    for (int round = 0; round < rounds; ++round) {
      engine.push_back(InChild([&] { return EngineConvert(f, clip, out + "_engine", seconds); }));
      loop.push_back(InChild([&] { return LibraryConvert(f, clip, out + "_loop"); }));
      tool.push_back(InChild([&] { return ToolConvert(f, clip, out + "_tool"); }));
    }
    const Result e = Median(engine), l = Median(loop), t = Median(tool);
    failures += e.status != 0 || l.status != 0 || t.status != 0;
    std::printf("%-9s %7.2fs %7.2fs %7.2fs | exits %d %d %d | %.2fx %.2fx %.2fx | %.2fx %.2fx %.2fx\n", f.name,
                e.seconds, l.seconds, t.seconds, e.status, l.status, t.status, e.seconds / l.seconds,
                e.cpuSeconds / l.cpuSeconds, double(e.peakKiB) / double(l.peakKiB), e.seconds / t.seconds,
                e.cpuSeconds / t.cpuSeconds, double(e.peakKiB) / double(t.peakKiB));
    std::fflush(stdout);
    for (const char* side : {"_engine", "_loop", "_tool"}) std::filesystem::remove(out + side);
  }
  std::filesystem::remove(clip);
  std::filesystem::remove_all(config);
  return failures == 0 ? 0 : 1;
}
