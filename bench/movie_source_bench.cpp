// Decoding a QuickTime movie through the movie source filter against a plain FFmpeg library
// decode-and-convert loop, in one run: a 60-second 1280x720 H.264 MOV with AAC sound (made here,
// kept in the folder for later runs, a moving test picture) to RGB32 frames and 16-bit PCM. Each side runs in a child
// process of its own, seven times in turn; the best time of each counts.
// Usage: movie_source_bench [folder] [seconds]
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "child_run.h"
#include "dshow/dshow.h"
#include "movie_source/movie_source.h"
#include "ole/comptr.h"
#include "testing/media_fixtures.h"
#include "win32/windows.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace {

void Check(HRESULT hr, const char* what) {
  if (FAILED(hr)) {
    std::fprintf(stderr, "%s failed: 0x%08X\n", what, unsigned(hr));
    std::exit(2);
  }
}

// Through the filter, created from the module as a graph would create it, each pin into a Null
// Renderer, no reference clock.
int FilterDecode(const std::string& movie) {
  RegisterDShowClasses();
  HMODULE module = LoadLibraryA(HALDEN_MODULE);
  auto getClassObject = reinterpret_cast<LPFNGETCLASSOBJECT>(reinterpret_cast<void (*)()>(GetProcAddress(module, "DllGetClassObject")));
  if (!getClassObject) return 2;
  ComPtr<IClassFactory> factory;
  Check(getClassObject(CLSID_MovieSourceFilter, IID_IClassFactory, factory.putVoid()), "DllGetClassObject");
  ComPtr<IBaseFilter> source;
  Check(factory->CreateInstance(nullptr, IID_IBaseFilter, source.putVoid()), "CreateInstance");
  ComPtr<IGraphBuilder> graph;
  Check(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.putVoid()), "graph");
  Check(graph->AddFilter(source.get(), u"Source"), "AddFilter");
  const std::u16string name(movie.begin(), movie.end());
  Check(source.As<IFileSourceFilter>(IID_IFileSourceFilter)->Load(name.c_str(), nullptr), "Load");
  ComPtr<IEnumPins> pins;
  source->EnumPins(pins.put());
  ComPtr<IPin> pin;
  while (pins->Next(1, pin.put(), nullptr) == S_OK) {
    ComPtr<IBaseFilter> renderer;
    Check(CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, renderer.putVoid()),
          "Null Renderer");
    Check(graph->AddFilter(renderer.get(), nullptr), "AddFilter");
    ComPtr<IEnumPins> inputs;
    renderer->EnumPins(inputs.put());
    ComPtr<IPin> input;
    inputs->Next(1, input.put(), nullptr);
    Check(graph->ConnectDirect(pin.get(), input.get(), nullptr), "ConnectDirect");
  }
  Check(graph.As<IMediaFilter>(IID_IMediaFilter)->SetSyncSource(nullptr), "SetSyncSource");
  Check(graph.As<IMediaControl>(IID_IMediaControl)->Run(), "Run");
  LONG code = 0;
  Check(graph.As<IMediaEvent>(IID_IMediaEvent)->WaitForCompletion(INFINITE, &code), "WaitForCompletion");
  graph.As<IMediaControl>(IID_IMediaControl)->Stop();
  return code == EC_COMPLETE ? 0 : 1;
}

// The same work with the FFmpeg libraries directly: every frame decoded and converted to 32-bit
// BGRA pictures, the sound decoded and converted to 16-bit PCM.
int LibraryDecode(const std::string& movie) {
  AVFormatContext* input = nullptr;
  if (avformat_open_input(&input, movie.c_str(), nullptr, nullptr) < 0) return 2;
  avformat_find_stream_info(input, nullptr);
  std::vector<AVCodecContext*> decoders(input->nb_streams, nullptr);
  for (unsigned i = 0; i < input->nb_streams; ++i) {
    const AVCodecParameters* p = input->streams[i]->codecpar;
    if (p->codec_type != AVMEDIA_TYPE_VIDEO && p->codec_type != AVMEDIA_TYPE_AUDIO) continue;
    decoders[i] = avcodec_alloc_context3(avcodec_find_decoder(p->codec_id));
    avcodec_parameters_to_context(decoders[i], p);
    decoders[i]->pkt_timebase = input->streams[i]->time_base;
    decoders[i]->thread_count = 0;
    avcodec_open2(decoders[i], decoders[i]->codec, nullptr);
  }
  SwsContext* scaler = nullptr;
  SwrContext* resampler = nullptr;
  std::vector<uint8_t> picture, sound;
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  auto drain = [&](AVCodecContext* d) {
    while (avcodec_receive_frame(d, frame) == 0) {
      if (d->codec_type == AVMEDIA_TYPE_VIDEO) {
        scaler = sws_getCachedContext(scaler, frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                      frame->height, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
        const int stride = frame->width * 4;
        picture.resize(size_t(stride) * size_t(frame->height) + 64);
        uint8_t* dst[1] = {picture.data()};
        sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, dst, &stride);
      } else {
        if (!resampler) {
          swr_alloc_set_opts2(&resampler, &frame->ch_layout, AV_SAMPLE_FMT_S16, frame->sample_rate, &frame->ch_layout,
                              AVSampleFormat(frame->format), frame->sample_rate, 0, nullptr);
          swr_init(resampler);
        }
        sound.resize(size_t(frame->nb_samples + 64) * size_t(frame->ch_layout.nb_channels) * 2);
        uint8_t* dst[1] = {sound.data()};
        swr_convert(resampler, dst, frame->nb_samples + 64, const_cast<const uint8_t**>(frame->extended_data),
                    frame->nb_samples);
      }
      av_frame_unref(frame);
    }
  };
  while (av_read_frame(input, packet) >= 0) {
    if (AVCodecContext* d = decoders[size_t(packet->stream_index)]) {
      avcodec_send_packet(d, packet);
      drain(d);
    }
    av_packet_unref(packet);
  }
  for (AVCodecContext* d : decoders)
    if (d) {
      avcodec_send_packet(d, nullptr);
      drain(d);
    }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::current_path();
  const double seconds = argc > 2 ? std::atof(argv[2]) : 60.0;
  const std::string movie = (folder / ("bench_movie_" + std::to_string(int(seconds)) + "s.mov")).string();
  if (!std::filesystem::exists(movie)) {
    testing_support::ClipOptions o;
    o.format = "mov";
    o.videoEncoder = "libx264";
    o.width = 1280;
    o.height = 720;
    o.frameRate = 25;
    o.keyframeInterval = 50;
    o.audioEncoder = "aac";
    o.sampleRate = 48000;
    o.channels = 2;
    o.seconds = seconds;
    std::printf("making a %.0f-second 1280x720 H.264 movie...\n", seconds);
    if (std::string err = testing_support::MakeClip(movie, o); !err.empty()) {
      std::fprintf(stderr, "%s\n", err.c_str());
      return 2;
    }
  }
  bench::Result filter, libraries;
  for (int round = 0; round < 7; ++round) {
    const bench::Result f = bench::InChild([&] { return FilterDecode(movie); });
    const bench::Result l = bench::InChild([&] { return LibraryDecode(movie); });
    std::printf("round %d: filter %6.2f s (cpu %6.2f s), libraries %6.2f s (cpu %6.2f s)\n", round + 1, f.seconds,
                f.cpuSeconds, l.seconds, l.cpuSeconds);
    if (f.status != 0 || l.status != 0) return 1;
    if (round == 0 || f.seconds < filter.seconds) filter = f;
    if (round == 0 || l.seconds < libraries.seconds) libraries = l;
  }
  std::printf("filter:    %7.2f s  cpu %7.2f s  peak %7ld KiB\n", filter.seconds, filter.cpuSeconds, filter.peakKiB);
  std::printf("libraries: %7.2f s  cpu %7.2f s  peak %7ld KiB\n", libraries.seconds, libraries.cpuSeconds,
              libraries.peakKiB);
  std::printf("ratio filter/libraries: time %.2fx, cpu %.2fx, peak memory %.2fx\n", filter.seconds / libraries.seconds,
              filter.cpuSeconds / libraries.cpuSeconds, double(filter.peakKiB) / double(libraries.peakKiB));
  return 0;
}
