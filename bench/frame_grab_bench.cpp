// Grabbing frames through the engine against plain FFmpeg library loops, in one run: 100 frames at
// random times (a fixed seed) from a 10-minute 1280x720 clip made here, as RGB24 pictures. The
// engine builds a grab graph per frame; one loop opens the file once and seeks per frame, the
// other opens it again for every frame. Each side runs in a child process of its own.
// Usage: frame_grab_bench [folder] [seconds] [frames]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "child_run.h"
#include "hosted_engine.h"
#include "source_clip.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace {

using bench::InChild;
using bench::Result;

int EngineGrab(const std::string& clip, const std::vector<double>& times) {
  if (!bench::RegisterModule(TESSARY_MODULE)) return 2;
  bench::HostedEngine engine;
  if (!engine.Open()) return 2;
  for (double t : times) {
    if (!engine.Call(dispidGetFrame2HBitmap, {COleVariant(clip.c_str()), COleVariant(t)}) ||
        engine.result.lVal == 0) {
      std::fprintf(stderr, "no frame at %.3f\n", t);
      return 1;
    }
    DeleteObject(reinterpret_cast<HBITMAP>(UINT_PTR(UINT(engine.result.lVal))));
  }
  return 0;
}

// ---- The same with the FFmpeg libraries -----------------------------------------------------------

struct Opened {
  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  int stream = -1;
  bool Open(const std::string& path) {
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return false;
    if (avformat_find_stream_info(format, nullptr) < 0) return false;
    stream = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (stream < 0) return false;
    const AVCodec* decoder = avcodec_find_decoder(format->streams[stream]->codecpar->codec_id);
    codec = avcodec_alloc_context3(decoder);
    return codec && avcodec_parameters_to_context(codec, format->streams[stream]->codecpar) >= 0 &&
           avcodec_open2(codec, decoder, nullptr) >= 0;
  }
  ~Opened() {
    avcodec_free_context(&codec);
    avformat_close_input(&format);
  }
};

// The frame covering t as RGB24: seek to the keyframe before it, decode up to it, convert.
bool FrameAt(Opened& o, double t, std::vector<uint8_t>& rgb) {
  const AVRational base = o.format->streams[o.stream]->time_base;
  const int64_t target = av_rescale_q(int64_t(t * AV_TIME_BASE), AV_TIME_BASE_Q, base);
  if (av_seek_frame(o.format, o.stream, target, AVSEEK_FLAG_BACKWARD) < 0) return false;
  avcodec_flush_buffers(o.codec);
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  bool got = false;
  while (!got && av_read_frame(o.format, packet) >= 0) {
    if (packet->stream_index == o.stream && avcodec_send_packet(o.codec, packet) >= 0) {
      while (!got && avcodec_receive_frame(o.codec, frame) == 0) {
        const int64_t duration = frame->pkt_duration > 0 ? frame->pkt_duration : 1;
        if (frame->best_effort_timestamp + duration > target) got = true;
      }
    }
    av_packet_unref(packet);
  }
  if (got) {
    SwsContext* scaler = sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                        frame->height, AV_PIX_FMT_BGR24, SWS_POINT, nullptr, nullptr, nullptr);
    const int stride = (frame->width * 3 + 3) & ~3;
    rgb.resize(size_t(stride) * size_t(frame->height + 1));
    uint8_t* planes[4] = {rgb.data()};
    int strides[4] = {stride};
    sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes, strides);
    sws_freeContext(scaler);
  }
  av_frame_free(&frame);
  av_packet_free(&packet);
  return got;
}

int LibraryGrab(const std::string& clip, const std::vector<double>& times, bool reopen) {
  std::vector<uint8_t> rgb;
  if (!reopen) {
    Opened o;
    if (!o.Open(clip)) return 2;
    for (double t : times)
      if (!FrameAt(o, t, rgb)) return 1;
    return 0;
  }
  for (double t : times) {
    Opened o;
    if (!o.Open(clip) || !FrameAt(o, t, rgb)) return 1;
  }
  return 0;
}

Result Median(std::vector<Result> runs) {
  std::sort(runs.begin(), runs.end(), [](const Result& a, const Result& b) { return a.seconds < b.seconds; });
  return runs[runs.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::current_path();
  const double seconds = argc > 2 ? std::atof(argv[2]) : 600.0;
  const int count = argc > 3 ? std::max(1, std::atoi(argv[3])) : 100;
  const std::filesystem::path config = folder / "grab_bench_config";
  std::filesystem::create_directories(config);
  setenv("CORVANE_REGISTRY", (config / "registry.txt").c_str(), 1);
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  setenv("CORVANE_DISPLAY", "headless", 0);

  const std::string clip = (folder / ("grab_bench_" + std::to_string(int(seconds)) + ".avi")).string();
  if (!std::filesystem::exists(clip)) {
    if (!bench::MakeSourceClip(clip, seconds)) return 2;
  }
  std::mt19937 random(20261209);
  std::uniform_real_distribution<double> anywhere(0.0, seconds - 1.0);
  std::vector<double> times(static_cast<size_t>(count), 0.0);
  for (double& t : times) t = anywhere(random);

  std::vector<Result> engineRuns, onceRuns, reopenRuns;
  for (int round = 0; round < 3; ++round) {
    engineRuns.push_back(InChild([&] { return EngineGrab(clip, times); }));
    onceRuns.push_back(InChild([&] { return LibraryGrab(clip, times, false); }));
    reopenRuns.push_back(InChild([&] { return LibraryGrab(clip, times, true); }));
    std::printf("round %d: engine %.2f s, open once %.2f s, reopen %.2f s\n", round + 1, engineRuns.back().seconds,
                onceRuns.back().seconds, reopenRuns.back().seconds);
  }
  const Result engine = Median(engineRuns), once = Median(onceRuns), reopen = Median(reopenRuns);
  if (engine.status || once.status || reopen.status) {
    std::fprintf(stderr, "a side failed: engine %d, open once %d, reopen %d\n", engine.status, once.status,
                 reopen.status);
    return 1;
  }
  std::printf("%d frames: engine %.2f s (cpu %.2f s), open once %.2f s, reopen %.2f s\n", count, engine.seconds,
              engine.cpuSeconds, once.seconds, reopen.seconds);
  std::printf("engine / open once: %.2fx, engine / reopen: %.2fx (goal 1.3x)\n", engine.seconds / once.seconds,
              engine.seconds / reopen.seconds);
  return 0;
}
