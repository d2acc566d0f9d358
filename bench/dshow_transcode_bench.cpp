// Transcoding through the media graph against a plain FFmpeg library loop with the same codec
// settings, in one run: a 60-second 1280x720 clip (made here) to AVI with MPEG-4 part 2 video
// (1.5 Mbit/s, no B-frames) and MP3 sound (128 kbit/s). Each side runs in a child process of its
// own, so that its peak memory is its own. Usage: dshow_transcode_bench [folder] [seconds]
#include "child_run.h"
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "dshow/builtin_filters.h"
#include "dshow/dshow.h"
#include "ole/objbase.h"
#include "source_clip.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

namespace {

using bench::InChild;
using bench::Result;

std::u16string Wide(const std::string& s) { return std::u16string(s.begin(), s.end()); }

GUID CompressorClass(WORD position) {
  GUID g = CLSID_CorvaneCompressorBase;
  g.Data2 = position;
  return g;
}

template <typename T>
T* Create(REFCLSID clsid, REFIID iid) {
  T* object = nullptr;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, reinterpret_cast<void**>(&object)))) {
    std::fprintf(stderr, "cannot create class %s\n", StringFromGUIDA(clsid).c_str());
    std::exit(2);
  }
  return object;
}

void Check(HRESULT hr, const char* what) {
  if (FAILED(hr)) {
    std::fprintf(stderr, "%s failed: 0x%08X\n", what, unsigned(hr));
    std::exit(2);
  }
}

// Through the graph: the built-in source, the capture graph builder's AVI Mux and File Writer,
// the MPEG-4 and MPEG Layer-3 compressors, no reference clock.
int GraphTranscode(const std::string& in, const std::string& out) {
  CoInitialize(nullptr);
  RegisterDShowClasses();
  auto* graph = Create<IGraphBuilder>(CLSID_FilterGraph, IID_IGraphBuilder);
  auto* builder = Create<ICaptureGraphBuilder2>(CLSID_CaptureGraphBuilder2, IID_ICaptureGraphBuilder2);
  Check(builder->SetFiltergraph(graph), "SetFiltergraph");
  IBaseFilter* source = nullptr;
  Check(graph->AddSourceFilter(Wide(in).c_str(), u"Source", &source), "AddSourceFilter");
  IBaseFilter* mux = nullptr;
  IFileSinkFilter* sink = nullptr;
  Check(builder->SetOutputFileName(&MEDIASUBTYPE_Avi, Wide(out).c_str(), &mux, &sink), "SetOutputFileName");
  auto* video = Create<IBaseFilter>(CompressorClass(2), IID_IBaseFilter);
  auto* audio = Create<IBaseFilter>(CompressorClass(8), IID_IBaseFilter);
  Check(graph->AddFilter(video, u"Compressor"), "AddFilter");
  Check(graph->AddFilter(audio, u"Audio Compressor"), "AddFilter");
  Check(builder->RenderStream(nullptr, &MEDIATYPE_Video, source, video, mux), "RenderStream video");
  Check(builder->RenderStream(nullptr, &MEDIATYPE_Audio, source, audio, mux), "RenderStream audio");
  IMediaFilter* filter = nullptr;
  graph->QueryInterface(IID_IMediaFilter, reinterpret_cast<void**>(&filter));
  Check(filter->SetSyncSource(nullptr), "SetSyncSource");
  IMediaControl* control = nullptr;
  IMediaEvent* events = nullptr;
  graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control));
  graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&events));
  Check(control->Run(), "Run");
  LONG code = 0;
  Check(events->WaitForCompletion(INFINITE, &code), "WaitForCompletion");
  control->Stop();
  return code == EC_COMPLETE ? 0 : 1;
}

// The same work with the FFmpeg libraries directly.
struct Output {
  AVCodecContext* codec = nullptr;
  AVStream* stream = nullptr;
  AVCodecContext* decoder = nullptr;
  SwrContext* resampler = nullptr;
  AVFrame* fifoFrame = nullptr;
  int64_t samples = 0;
};

void Encode(AVFormatContext* out, Output& o, AVFrame* frame) {
  avcodec_send_frame(o.codec, frame);
  AVPacket* p = av_packet_alloc();
  while (avcodec_receive_packet(o.codec, p) == 0) {
    av_packet_rescale_ts(p, o.codec->time_base, o.stream->time_base);
    p->stream_index = o.stream->index;
    av_interleaved_write_frame(out, p);
  }
  av_packet_free(&p);
}

int LibraryTranscode(const std::string& in, const std::string& path) {
  AVFormatContext* input = nullptr;
  if (avformat_open_input(&input, in.c_str(), nullptr, nullptr) < 0) return 2;
  avformat_find_stream_info(input, nullptr);
  AVFormatContext* out = nullptr;
  avformat_alloc_output_context2(&out, nullptr, "avi", path.c_str());
  std::vector<Output> outputs(input->nb_streams);
  for (unsigned i = 0; i < input->nb_streams; ++i) {
    const AVCodecParameters* p = input->streams[i]->codecpar;
    Output& o = outputs[i];
    if (p->codec_type != AVMEDIA_TYPE_VIDEO && p->codec_type != AVMEDIA_TYPE_AUDIO) continue;
    o.decoder = avcodec_alloc_context3(avcodec_find_decoder(p->codec_id));
    avcodec_parameters_to_context(o.decoder, p);
    o.decoder->pkt_timebase = input->streams[i]->time_base;
    o.decoder->thread_count = 0;
    avcodec_open2(o.decoder, o.decoder->codec, nullptr);
    if (p->codec_type == AVMEDIA_TYPE_VIDEO) {
      const AVCodec* c = avcodec_find_encoder_by_name("mpeg4");
      o.codec = avcodec_alloc_context3(c);
      o.codec->width = p->width;
      o.codec->height = p->height;
      o.codec->time_base = av_inv_q(input->streams[i]->avg_frame_rate);
      o.codec->framerate = input->streams[i]->avg_frame_rate;
      o.codec->pix_fmt = AV_PIX_FMT_YUV420P;
      o.codec->bit_rate = 1500000;
      o.codec->max_b_frames = 0;
      o.codec->thread_count = 0;
      o.codec->sample_aspect_ratio = {1, 1};
      avcodec_open2(o.codec, c, nullptr);
    } else {
      const AVCodec* c = avcodec_find_encoder_by_name("libmp3lame");
      o.codec = avcodec_alloc_context3(c);
      o.codec->sample_rate = p->sample_rate;
      o.codec->time_base = {1, p->sample_rate};
      o.codec->sample_fmt = AV_SAMPLE_FMT_S16P;
      o.codec->bit_rate = 128000;
      av_channel_layout_default(&o.codec->ch_layout, std::min(p->ch_layout.nb_channels, 2));
      avcodec_open2(o.codec, c, nullptr);
      swr_alloc_set_opts2(&o.resampler, &o.codec->ch_layout, o.codec->sample_fmt, o.codec->sample_rate,
                          &o.decoder->ch_layout, o.decoder->sample_fmt, o.decoder->sample_rate, 0, nullptr);
      swr_init(o.resampler);
    }
    o.stream = avformat_new_stream(out, nullptr);
    avcodec_parameters_from_context(o.stream->codecpar, o.codec);
    o.stream->time_base = o.codec->time_base;
  }
  avio_open(&out->pb, path.c_str(), AVIO_FLAG_WRITE);
  if (avformat_write_header(out, nullptr) < 0) return 2;
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  auto drain = [&](Output& o) {
    while (avcodec_receive_frame(o.decoder, frame) == 0) {
      if (o.codec->codec_type == AVMEDIA_TYPE_VIDEO) {
        frame->pts = frame->best_effort_timestamp;
        frame->pict_type = AV_PICTURE_TYPE_NONE;
        Encode(out, o, frame);
      } else {
        // Resample into whole encoder frames.
        if (!o.fifoFrame) {
          o.fifoFrame = av_frame_alloc();
          o.fifoFrame->format = o.codec->sample_fmt;
          o.fifoFrame->nb_samples = o.codec->frame_size;
          av_channel_layout_copy(&o.fifoFrame->ch_layout, &o.codec->ch_layout);
          o.fifoFrame->sample_rate = o.codec->sample_rate;
        }
        swr_convert(o.resampler, nullptr, 0, const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
        while (swr_get_out_samples(o.resampler, 0) >= o.codec->frame_size) {
          av_frame_get_buffer(o.fifoFrame, 0);
          swr_convert(o.resampler, o.fifoFrame->data, o.codec->frame_size, nullptr, 0);
          o.fifoFrame->pts = o.samples;
          o.samples += o.codec->frame_size;
          Encode(out, o, o.fifoFrame);
          av_frame_unref(o.fifoFrame);
          o.fifoFrame->format = o.codec->sample_fmt;
          o.fifoFrame->nb_samples = o.codec->frame_size;
          av_channel_layout_copy(&o.fifoFrame->ch_layout, &o.codec->ch_layout);
          o.fifoFrame->sample_rate = o.codec->sample_rate;
        }
      }
      av_frame_unref(frame);
    }
  };
  while (av_read_frame(input, packet) >= 0) {
    Output& o = outputs[packet->stream_index];
    if (o.decoder) {
      avcodec_send_packet(o.decoder, packet);
      drain(o);
    }
    av_packet_unref(packet);
  }
  for (Output& o : outputs) {
    if (!o.decoder) continue;
    avcodec_send_packet(o.decoder, nullptr);
    drain(o);
    Encode(out, o, nullptr);
  }
  av_write_trailer(out);
  avio_closep(&out->pb);
  return 0;
}


}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::current_path();
  const double seconds = argc > 2 ? std::atof(argv[2]) : 60.0;
  const std::string clip = (folder / "bench_source.avi").string();
  const std::string viaGraph = (folder / "bench_graph.avi").string();
  const std::string viaLibraries = (folder / "bench_libraries.avi").string();
  if (!bench::MakeSourceClip(clip, seconds)) return 2;
  const Result graph = InChild([&] { return GraphTranscode(clip, viaGraph); });
  const Result libraries = InChild([&] { return LibraryTranscode(clip, viaLibraries); });
  std::printf("graph:     %7.2f s  peak %7ld KiB  (exit %d)\n", graph.seconds, graph.peakKiB, graph.status);
  std::printf("libraries: %7.2f s  peak %7ld KiB  (exit %d)\n", libraries.seconds, libraries.peakKiB, libraries.status);
  std::printf("ratio graph/libraries: time %.2fx, peak memory %.2fx\n", graph.seconds / libraries.seconds,
              double(graph.peakKiB) / double(libraries.peakKiB));
  for (const std::string& f : {clip, viaGraph, viaLibraries}) std::filesystem::remove(f);
  return graph.status == 0 && libraries.status == 0 ? 0 : 1;
}
