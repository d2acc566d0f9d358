// The engine's conversion against two references with equal settings, in one run: a plain FFmpeg
// library loop and the ffmpeg command-line tool. A 60-second 1280x720 clip (made here) goes to AVI
// at 640x480, MPEG-4 part 2 video (1.5 Mbit/s, no B-frames, 25 fps) and MP3 sound (128 kbit/s,
// 44.1 kHz) through the MP3 encoder filter. Each side runs in a child process of its own, so that
// its wall time, CPU time (user and system) and peak memory are its own. The outputs' PSNR against
// the source (scaled to the output size) comes from the ffmpeg tool's psnr filter.
// Usage: engine_convert_bench [folder] [seconds] [rounds] [video sample size: 16 or 32]
#include "child_run.h"
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "hosted_engine.h"
#include "source_clip.h"
#include "testing/media_probe.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace {

using bench::InChild;
using bench::Result;

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kFrameRate = 25;
constexpr int64_t kVideoBitRate = 1500000;  // the MPEG-4 compressor's own
constexpr int kAudioKbps = 128;
constexpr int kSampleRate = 44100;

// ---- The engine, hosted as a container hosts it -------------------------------------------------

int EngineConvert(const std::string& in, const std::string& out, double seconds, short sampleSize) {
  if (!bench::RegisterModule(TESSARY_MODULE)) return 2;
  bench::HostedEngine engine;
  if (!engine.Open()) return 2;
  auto put = [&](DISPID id, const COleVariant& v) { return engine.Put(id, v); };
  const COleVariant on(short(VARIANT_TRUE), VT_BOOL);
  bool ok = put(dispidOutputType, COleVariant(short(8))) && put(dispidOutputFileWidth, COleVariant(short(kWidth))) &&
            put(dispidOutputFileHeight, COleVariant(short(kHeight))) &&
            put(dispidFrameRate, COleVariant(float(kFrameRate))) &&
            put(dispidVideoCompressor, engine.Find(dispidVideoCompressors, "MPEG-4 Video Encoder")) &&
            put(dispidUseVideoCompressor, on) &&
            put(dispidAudioCompressor, engine.Find(dispidAudioCompressors, "MPEG Layer-3")) &&
            put(dispidUseAudioCompressor, on) && put(dispidAVILameBitrate, COleVariant(short(kAudioKbps))) &&
            put(dispidAVILameSampleRate, COleVariant(LONG(kSampleRate))) &&
            put(dispidVideoSampleSize, COleVariant(sampleSize));
  ok = ok && engine.Call(dispidInitControl);
  ok = ok && engine.Call(dispidAddVideo,
                         {COleVariant(in.c_str()), COleVariant(0.0), COleVariant(seconds), COleVariant(short(0))});
  ok = ok && engine.Call(dispidAddAudio, {COleVariant(in.c_str()), COleVariant(0.0), COleVariant(seconds)});
  ok = ok && engine.Call(dispidSave, {COleVariant(out.c_str())}) && engine.result.boolVal == VARIANT_TRUE;
  if (!ok) {
    std::fprintf(stderr, "the control refused the settings, the clips or the save\n");
    return 2;
  }
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
  int64_t samples = 0;
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

bool OpenVideo(Stream& s, const AVStream* in) {
  const AVCodec* c = avcodec_find_encoder_by_name("mpeg4");
  s.encoder = avcodec_alloc_context3(c);
  s.encoder->width = kWidth;
  s.encoder->height = kHeight;
  s.encoder->time_base = {1, kFrameRate};
  s.encoder->framerate = {kFrameRate, 1};
  s.encoder->pix_fmt = AV_PIX_FMT_YUV420P;
  s.encoder->bit_rate = kVideoBitRate;
  s.encoder->max_b_frames = 0;
  s.encoder->thread_count = 0;
  s.scaler = sws_getContext(in->codecpar->width, in->codecpar->height, AVPixelFormat(in->codecpar->format), kWidth,
                            kHeight, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
  s.converted = av_frame_alloc();
  s.converted->format = AV_PIX_FMT_YUV420P;
  s.converted->width = kWidth;
  s.converted->height = kHeight;
  return s.scaler && av_frame_get_buffer(s.converted, 0) >= 0 && avcodec_open2(s.encoder, c, nullptr) >= 0;
}

bool OpenAudio(Stream& s) {
  const AVCodec* c = avcodec_find_encoder_by_name("libmp3lame");
  s.encoder = avcodec_alloc_context3(c);
  s.encoder->sample_rate = kSampleRate;
  s.encoder->time_base = {1, kSampleRate};
  s.encoder->sample_fmt = AV_SAMPLE_FMT_S16P;
  s.encoder->bit_rate = kAudioKbps * 1000;
  av_channel_layout_default(&s.encoder->ch_layout, std::min(s.decoder->ch_layout.nb_channels, 2));
  if (avcodec_open2(s.encoder, c, nullptr) < 0) return false;
  swr_alloc_set_opts2(&s.resampler, &s.encoder->ch_layout, s.encoder->sample_fmt, kSampleRate,
                      &s.decoder->ch_layout, s.decoder->sample_fmt, s.decoder->sample_rate, 0, nullptr);
  s.converted = av_frame_alloc();
  return swr_init(s.resampler) >= 0;
}

// Whole encoder frames out of the resampler; with last, the rest too.
void EncodeAudio(AVFormatContext* out, Stream& s, bool last) {
  const int size = s.encoder->frame_size;
  while (swr_get_out_samples(s.resampler, 0) >= (last ? 1 : size)) {
    av_frame_unref(s.converted);
    s.converted->format = s.encoder->sample_fmt;
    s.converted->nb_samples = size;
    s.converted->sample_rate = kSampleRate;
    av_channel_layout_copy(&s.converted->ch_layout, &s.encoder->ch_layout);
    av_frame_get_buffer(s.converted, 0);
    const int got = swr_convert(s.resampler, s.converted->data, size, nullptr, 0);
    if (got <= 0) break;
    s.converted->nb_samples = got;
    s.converted->pts = s.samples;
    s.samples += got;
    Encode(out, s, s.converted);
  }
}

int LibraryConvert(const std::string& in, const std::string& path) {
  AVFormatContext* input = nullptr;
  if (avformat_open_input(&input, in.c_str(), nullptr, nullptr) < 0) return 2;
  avformat_find_stream_info(input, nullptr);
  AVFormatContext* out = nullptr;
  avformat_alloc_output_context2(&out, nullptr, "avi", path.c_str());
  std::vector<Stream> streams(input->nb_streams);
  for (unsigned i = 0; i < input->nb_streams; ++i) {
    const AVStream* st = input->streams[i];
    const AVMediaType type = st->codecpar->codec_type;
    if (type != AVMEDIA_TYPE_VIDEO && type != AVMEDIA_TYPE_AUDIO) continue;
    Stream& s = streams[i];
    s.decoder = avcodec_alloc_context3(avcodec_find_decoder(st->codecpar->codec_id));
    avcodec_parameters_to_context(s.decoder, st->codecpar);
    s.decoder->pkt_timebase = st->time_base;
    s.decoder->thread_count = 0;
    if (avcodec_open2(s.decoder, s.decoder->codec, nullptr) < 0) return 2;
    if (!(type == AVMEDIA_TYPE_VIDEO ? OpenVideo(s, st) : OpenAudio(s))) return 2;
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
        av_frame_make_writable(s.converted);
        sws_scale(s.scaler, frame->data, frame->linesize, 0, frame->height, s.converted->data, s.converted->linesize);
        s.converted->pts = av_rescale_q(frame->best_effort_timestamp, s.decoder->pkt_timebase, s.encoder->time_base);
        Encode(out, s, s.converted);
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

// ---- The same work with the ffmpeg command-line tool --------------------------------------------

// Runs in the child: the tool replaces it, so the child's usage is the tool's.
int ToolConvert(const std::string& in, const std::string& out) {
  const std::string size = std::to_string(kWidth) + ":" + std::to_string(kHeight);
  const std::string videoRate = std::to_string(kVideoBitRate);
  const std::string audioRate = std::to_string(kAudioKbps) + "k";
  const std::string frameRate = std::to_string(kFrameRate);
  const std::string sampleRate = std::to_string(kSampleRate);
  const std::vector<std::string> args = {
      "ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-i", in, "-sws_flags", "bicubic", "-vf", "scale=" + size,
      "-r", frameRate, "-c:v", "mpeg4", "-b:v", videoRate, "-bf", "0", "-c:a", "libmp3lame", "-b:a", audioRate,
      "-ar", sampleRate, "-ac", "2", out};
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  std::perror("ffmpeg");
  return 127;
}

// Each measure's median over the runs, with the highest peak memory and the worst exit status.
Result Median(const std::vector<Result>& runs) {
  auto median = [&](double Result::*field) {
    std::vector<double> values;
    for (const Result& r : runs) values.push_back(r.*field);
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
  };
  Result m;
  m.seconds = median(&Result::seconds);
  m.cpuSeconds = median(&Result::cpuSeconds);
  m.status = 0;
  for (const Result& r : runs) {
    m.peakKiB = std::max(m.peakKiB, r.peakKiB);
    if (r.status != 0) m.status = r.status;
  }
  return m;
}

void Report(const char* who, const Result& r) {
  std::printf("%-10s %7.2f s  cpu %7.2f s  peak %7ld KiB  (exit %d)\n", who, r.seconds, r.cpuSeconds, r.peakKiB,
              r.status);
}

void Ratios(const char* against, const Result& engine, const Result& other) {
  std::printf("engine/%-9s time %.2fx, cpu %.2fx, peak memory %.2fx\n", against, engine.seconds / other.seconds,
              engine.cpuSeconds / other.cpuSeconds, double(engine.peakKiB) / double(other.peakKiB));
}

void Describe(const char* who, const std::string& path) {
  const testing_support::ProbedFile f = testing_support::ProbeFile(path);
  const testing_support::ProbedStream* v = f.Video();
  const testing_support::ProbedStream* a = f.Audio();
  std::printf("%-10s %s %dx%d %.1f s | %s %d Hz %d ch %.1f s %s\n", who, v ? v->codec.c_str() : "-", v ? v->width : 0,
              v ? v->height : 0, v ? v->seconds : 0, a ? a->codec.c_str() : "-", a ? a->sampleRate : 0,
              a ? a->channels : 0, a ? a->seconds : 0, f.error.c_str());
}

// The average PSNR of a converted file's pictures against the source's, as the ffmpeg tool's psnr
// filter reports it; 0 when it cannot be measured.
double Psnr(const std::string& converted, const std::string& source) {
  const std::string command = "ffmpeg -nostdin -hide_banner -i '" + converted + "' -i '" + source +
                              "' -lavfi '[1:v]scale=" + std::to_string(kWidth) + ":" + std::to_string(kHeight) +
                              ":flags=bicubic[ref];[0:v][ref]psnr' -f null - 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return 0;
  double average = 0;
  char line[1024];
  while (std::fgets(line, sizeof line, pipe))
    if (const char* at = std::strstr(line, "average:")) average = std::atof(at + 8);
  pclose(pipe);
  return average;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::current_path();
  const double seconds = argc > 2 ? std::atof(argv[2]) : 60.0;
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  const short sampleSize = argc > 4 ? short(std::atoi(argv[4])) : 16;
  // The control registers itself: into a registry of this run, not the user's.
  const std::filesystem::path config = folder / "engine_bench_config";
  std::filesystem::create_directories(config);
  setenv("CORVANE_REGISTRY", (config / "registry.txt").c_str(), 1);
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  setenv("CORVANE_DISPLAY", "headless", 0);

  const std::string clip = (folder / "engine_bench_source.avi").string();
  const std::string viaEngine = (folder / "engine_bench_engine.avi").string();
  const std::string viaLibraries = (folder / "engine_bench_libraries.avi").string();
  const std::string viaTool = (folder / "engine_bench_tool.avi").string();
  if (!bench::MakeSourceClip(clip, seconds)) return 2;
  // The sides take turns, so that a busy moment of the machine falls on all; the medians count.
  std::vector<Result> engineRuns, libraryRuns, toolRuns;
  for (int round = 0; round < rounds; ++round) {
    engineRuns.push_back(InChild([&] { return EngineConvert(clip, viaEngine, seconds, sampleSize); }));
    libraryRuns.push_back(InChild([&] { return LibraryConvert(clip, viaLibraries); }));
    toolRuns.push_back(InChild([&] { return ToolConvert(clip, viaTool); }));
    std::printf("round %d: engine %.2f s (cpu %.2f s), libraries %.2f s (cpu %.2f s), ffmpeg %.2f s (cpu %.2f s)\n",
                round + 1, engineRuns.back().seconds, engineRuns.back().cpuSeconds, libraryRuns.back().seconds,
                libraryRuns.back().cpuSeconds, toolRuns.back().seconds, toolRuns.back().cpuSeconds);
  }
  const Result engine = Median(engineRuns);
  const Result libraries = Median(libraryRuns);
  const Result tool = Median(toolRuns);
  Describe("engine:", viaEngine);
  Describe("libraries:", viaLibraries);
  Describe("ffmpeg:", viaTool);
  std::printf("PSNR against the source: engine %.2f dB, libraries %.2f dB, ffmpeg %.2f dB\n", Psnr(viaEngine, clip),
              Psnr(viaLibraries, clip), Psnr(viaTool, clip));
  Report("engine:", engine);
  Report("libraries:", libraries);
  Report("ffmpeg:", tool);
  std::printf("medians of %d rounds, video sample size %d:\n", rounds, sampleSize);
  Ratios("libraries:", engine, libraries);
  Ratios("ffmpeg:", engine, tool);
  for (const std::string& f : {clip, viaEngine, viaLibraries, viaTool}) std::filesystem::remove(f);
  std::filesystem::remove_all(config);
  return engine.status == 0 && libraries.status == 0 && tool.status == 0 ? 0 : 1;
}
