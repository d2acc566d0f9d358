// The compressor categories through the system device enumerator, and whole conversions through
// the graph and the capture graph builder, as the engine builds them.
#include <gtest/gtest.h>

#include <vector>

#include "clips.h"
#include "ole/objbase.h"
#include "ole/oleauto.h"
#include "test_graph.h"
#include "testing/media_probe.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace dshow_test {
namespace {

std::vector<std::pair<std::string, IMoniker*>> Category(REFCLSID category) {
  std::vector<std::pair<std::string, IMoniker*>> list;
  RegisterDShowClasses();
  ICreateDevEnum* devices = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                             reinterpret_cast<void**>(&devices)),
            S_OK);
  if (!devices) return list;
  IEnumMoniker* monikers = nullptr;
  EXPECT_EQ(devices->CreateClassEnumerator(category, &monikers, 0), S_OK);
  devices->Release();
  if (!monikers) return list;
  IMoniker* moniker = nullptr;
  while (monikers->Next(1, &moniker, nullptr) == S_OK) {
    IPropertyBag* bag = nullptr;
    std::string name;
    if (SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, reinterpret_cast<void**>(&bag)))) {
      VARIANT v;
      VariantInit(&v);
      if (SUCCEEDED(bag->Read(u"FriendlyName", &v, nullptr)) && v.vt == VT_BSTR)
        for (const OLECHAR* c = v.bstrVal; *c; ++c) name += char(*c);
      VariantClear(&v);
      bag->Release();
    }
    list.emplace_back(name, moniker);
  }
  monikers->Release();
  return list;
}

void ReleaseAll(std::vector<std::pair<std::string, IMoniker*>>& list) {
  for (auto& [name, moniker] : list) moniker->Release();
}

IBaseFilter* Bind(IMoniker* moniker) {
  IBaseFilter* filter = nullptr;
  EXPECT_EQ(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, reinterpret_cast<void**>(&filter)), S_OK);
  return filter;
}

TEST(CompressorCategories, ListTheCompressorsInTheirFixedOrder) {
  auto video = Category(CLSID_VideoCompressorCategory);
  std::vector<std::string> names;
  for (auto& [name, moniker] : video) names.push_back(name);
  ASSERT_GE(names.size(), 7u);
  names.resize(7);
  EXPECT_EQ(names, (std::vector<std::string>{"DV Video Encoder", "MJPEG Compressor", "MPEG-4 Video Encoder",
                                             "H.264 Video Encoder", "Cinepak Codec by Radius", "Microsoft Video 1",
                                             "HuffYUV Lossless Codec"}));
  IBaseFilter* dv = Bind(video[0].second);
  ASSERT_NE(dv, nullptr);
  auto* enc = QueryAs<IDVEnc>(dv, IID_IDVEnc);
  EXPECT_NE(enc, nullptr);
  if (enc) enc->Release();
  dv->Release();
  ReleaseAll(video);

  auto audio = Category(CLSID_AudioCompressorCategory);
  names.clear();
  for (auto& [name, moniker] : audio) names.push_back(name);
  ASSERT_GE(names.size(), 8u);
  names.resize(8);
  EXPECT_EQ(names, (std::vector<std::string>{"PCM", "MPEG Layer-3", "IMA ADPCM", "Microsoft ADPCM", "CCITT A-Law",
                                             "CCITT u-Law", "GSM 6.10", "MPEG Layer-2"}));
  IBaseFilter* pcm = Bind(audio[0].second);
  ASSERT_NE(pcm, nullptr);
  IPin* out = PinOf(pcm, PINDIR_OUTPUT);
  auto* config = QueryAs<IAMStreamConfig>(out, IID_IAMStreamConfig);
  EXPECT_NE(config, nullptr);
  if (config) config->Release();
  out->Release();
  pcm->Release();
  ReleaseAll(audio);
}

struct Road {
  IGraphBuilder* graph = nullptr;
  ICaptureGraphBuilder2* builder = nullptr;
  IBaseFilter* source = nullptr;

  Road() {
    RegisterDShowClasses();
    CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                     reinterpret_cast<void**>(&graph));
    CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder2,
                     reinterpret_cast<void**>(&builder));
    if (graph && builder) builder->SetFiltergraph(graph);
  }
  ~Road() {
    if (IMediaControl* control = QueryAs<IMediaControl>(graph, IID_IMediaControl)) {
      control->Stop();
      control->Release();
    }
    if (source) source->Release();
    if (builder) builder->Release();
    if (graph) graph->Release();
  }
  // Runs without a clock to the end; returns the final event code.
  LONG RunToEnd() {
    auto* filter = QueryAs<IMediaFilter>(graph, IID_IMediaFilter);
    filter->SetSyncSource(nullptr);
    filter->Release();
    auto* control = QueryAs<IMediaControl>(graph, IID_IMediaControl);
    auto* events = QueryAs<IMediaEvent>(graph, IID_IMediaEvent);
    EXPECT_EQ(SUCCEEDED(control->Run()), true);
    LONG code = 0;
    EXPECT_EQ(events->WaitForCompletion(180000, &code), S_OK);
    control->Stop();
    control->Release();
    events->Release();
    return code;
  }
};

TEST(GraphRoads, AviWithMpeg4AndMp3ThroughTheCaptureGraphBuilder) {
  const std::string out = SandboxFile("road.avi");
  {
    Road road;
    ASSERT_TRUE(road.graph && road.builder);
    ASSERT_EQ(road.graph->AddSourceFilter(Wide(AviClip()).c_str(), u"Source", &road.source), S_OK);
    IBaseFilter* mux = nullptr;
    IFileSinkFilter* sink = nullptr;
    ASSERT_EQ(road.builder->SetOutputFileName(&MEDIASUBTYPE_Avi, Wide(out).c_str(), &mux, &sink), S_OK);
    auto video = Category(CLSID_VideoCompressorCategory);
    auto audio = Category(CLSID_AudioCompressorCategory);
    IBaseFilter* compressor = Bind(video[2].second);  // MPEG-4
    IBaseFilter* mp3 = Bind(audio[1].second);         // MPEG Layer-3
    ASSERT_EQ(road.graph->AddFilter(compressor, u"Compressor"), S_OK);
    ASSERT_EQ(road.graph->AddFilter(mp3, u"Audio Compressor"), S_OK);
    EXPECT_EQ(road.builder->RenderStream(nullptr, &MEDIATYPE_Video, road.source, compressor, mux), S_OK);
    EXPECT_EQ(road.builder->RenderStream(nullptr, &MEDIATYPE_Audio, road.source, mp3, mux), S_OK);
    auto* interleaving = QueryAs<IConfigInterleaving>(mux, IID_IConfigInterleaving);
    ASSERT_NE(interleaving, nullptr);
    const REFERENCE_TIME second = UNITS;
    EXPECT_EQ(interleaving->put_Mode(INTERLEAVE_FULL), S_OK);
    EXPECT_EQ(interleaving->put_Interleaving(&second, &second), S_OK);
    interleaving->Release();
    EXPECT_EQ(road.RunToEnd(), EC_COMPLETE);
    compressor->Release();
    mp3->Release();
    ReleaseAll(video);
    ReleaseAll(audio);
    mux->Release();
    sink->Release();
  }
  const auto probe = testing_support::ProbeFile(out);
  ASSERT_EQ(probe.error, "");
  ASSERT_TRUE(probe.Video() && probe.Audio());
  EXPECT_EQ(probe.Video()->codec, "mpeg4");
  EXPECT_EQ(probe.Video()->packets, 50);
  EXPECT_EQ(probe.Audio()->codec, "mp3");
  EXPECT_NEAR(probe.Audio()->seconds, 2.0, 0.15);
}

// What a player reads back from a written file: each video packet's slot and size, and where the
// sound starts.
struct ReadBack {
  std::vector<int64_t> videoSlots;
  std::vector<int> videoSizes;
  double audioStart = -1;  // seconds
};

ReadBack ReadPackets(const std::string& path) {
  ReadBack back;
  AVFormatContext* in = nullptr;
  if (avformat_open_input(&in, path.c_str(), nullptr, nullptr) < 0) return back;
  AVPacket* packet = av_packet_alloc();
  while (av_read_frame(in, packet) >= 0) {
    const AVStream* s = in->streams[packet->stream_index];
    const int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    if (s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
      back.videoSlots.push_back(time);
      back.videoSizes.push_back(packet->size);
    } else if (s->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && back.audioStart < 0 && time != AV_NOPTS_VALUE) {
      back.audioStart = double(time) * av_q2d(s->time_base);
    }
    av_packet_unref(packet);
  }
  av_packet_free(&packet);
  avformat_close_input(&in);
  return back;
}

// The MP3 encoder's first packets carry its priming delay ahead of the first sample; the file must
// still start every stream at zero, with no empty slot pushing the pictures a frame late.
TEST(GraphRoads, AviFromPcmThroughMp3KeepsPicturesInTheirSlots) {
  testing_support::ClipOptions options;
  options.format = "avi";
  options.videoEncoder = "mpeg4";
  options.audioEncoder = "pcm_s16le";
  options.sampleRate = 44100;
  options.channels = 2;
  options.seconds = 2.0;
  const std::string clip = Clip("pcm_clip.avi", options);
  const std::string out = SandboxFile("road_sync.avi");
  {
    Road road;
    ASSERT_TRUE(road.graph && road.builder);
    ASSERT_EQ(road.graph->AddSourceFilter(Wide(clip).c_str(), u"Source", &road.source), S_OK);
    IBaseFilter* mux = nullptr;
    IFileSinkFilter* sink = nullptr;
    ASSERT_EQ(road.builder->SetOutputFileName(&MEDIASUBTYPE_Avi, Wide(out).c_str(), &mux, &sink), S_OK);
    auto video = Category(CLSID_VideoCompressorCategory);
    auto audio = Category(CLSID_AudioCompressorCategory);
    IBaseFilter* compressor = Bind(video[2].second);  // MPEG-4
    IBaseFilter* mp3 = Bind(audio[1].second);         // MPEG Layer-3
    ASSERT_EQ(road.graph->AddFilter(compressor, u"Compressor"), S_OK);
    ASSERT_EQ(road.graph->AddFilter(mp3, u"Audio Compressor"), S_OK);
    EXPECT_EQ(road.builder->RenderStream(nullptr, &MEDIATYPE_Video, road.source, compressor, mux), S_OK);
    EXPECT_EQ(road.builder->RenderStream(nullptr, &MEDIATYPE_Audio, road.source, mp3, mux), S_OK);
    EXPECT_EQ(road.RunToEnd(), EC_COMPLETE);
    compressor->Release();
    mp3->Release();
    ReleaseAll(video);
    ReleaseAll(audio);
    mux->Release();
    sink->Release();
  }
  const ReadBack back = ReadPackets(out);
  ASSERT_EQ(back.videoSlots.size(), 50u);
  for (size_t i = 0; i < back.videoSlots.size(); ++i) {
    EXPECT_EQ(back.videoSlots[i], int64_t(i)) << "packet " << i;
    EXPECT_GT(back.videoSizes[i], 0) << "packet " << i;
  }
  EXPECT_NEAR(back.audioStart, 0.0, 0.05);
}

TEST(GraphRoads, WmvThroughTheCaptureGraphBuilder) {
  const std::string out = SandboxFile("road.wmv");
  {
    Road road;
    ASSERT_TRUE(road.graph && road.builder);
    ASSERT_EQ(road.graph->AddSourceFilter(Wide(AviClip()).c_str(), u"Source", &road.source), S_OK);
    IBaseFilter* writer = nullptr;
    IFileSinkFilter* sink = nullptr;
    ASSERT_EQ(road.builder->SetOutputFileName(&MEDIASUBTYPE_Asf, Wide(out).c_str(), &writer, &sink), S_OK);
    EXPECT_EQ(road.builder->RenderStream(nullptr, &MEDIATYPE_Video, road.source, nullptr, writer), S_OK);
    EXPECT_EQ(road.builder->RenderStream(nullptr, &MEDIATYPE_Audio, road.source, nullptr, writer), S_OK);
    EXPECT_EQ(road.RunToEnd(), EC_COMPLETE);
    writer->Release();
    sink->Release();
  }
  const auto probe = testing_support::ProbeFile(out);
  ASSERT_EQ(probe.error, "");
  ASSERT_TRUE(probe.Video() && probe.Audio());
  EXPECT_EQ(probe.Video()->codec, "wmv2");
  EXPECT_EQ(probe.Audio()->codec, "wmav2");
  EXPECT_NEAR(probe.Video()->seconds, 2.0, 0.1);
  // Both streams start together, the encoder's priming samples included.
  const ReadBack back = ReadPackets(out);
  ASSERT_FALSE(back.videoSlots.empty());
  EXPECT_EQ(back.videoSlots.front(), 0);
  EXPECT_NEAR(back.audioStart, 0.0, 0.05);
}

TEST(GraphRoads, PcmFormatSetAfterConnectingReconnectsThroughTheGraph) {
  const std::string out = SandboxFile("road_pcm.avi");
  {
    Road road;
    ASSERT_TRUE(road.graph && road.builder);
    ASSERT_EQ(road.graph->AddSourceFilter(Wide(AviClip()).c_str(), u"Source", &road.source), S_OK);
    IBaseFilter* mux = nullptr;
    IFileSinkFilter* sink = nullptr;
    ASSERT_EQ(road.builder->SetOutputFileName(&MEDIASUBTYPE_Avi, Wide(out).c_str(), &mux, &sink), S_OK);
    auto audio = Category(CLSID_AudioCompressorCategory);
    IBaseFilter* pcm = Bind(audio[0].second);
    ASSERT_EQ(road.graph->AddFilter(pcm, u"PCM"), S_OK);
    EXPECT_EQ(road.builder->RenderStream(nullptr, &MEDIATYPE_Audio, road.source, pcm, mux), S_OK);
    IAMStreamConfig* config = nullptr;
    ASSERT_EQ(road.builder->FindInterface(nullptr, nullptr, pcm, IID_IAMStreamConfig,
                                          reinterpret_cast<void**>(&config)),
              S_OK);
    AM_MEDIA_TYPE* mt = nullptr;
    ASSERT_EQ(config->GetFormat(&mt), S_OK);
    auto* wfx = reinterpret_cast<WAVEFORMATEX*>(mt->pbFormat);
    wfx->nChannels = 1;
    wfx->nSamplesPerSec = 11025;
    wfx->nAvgBytesPerSec = 2 * 11025;
    wfx->nBlockAlign = 2;
    wfx->wBitsPerSample = 16;
    EXPECT_EQ(config->SetFormat(mt), S_OK);
    DeleteMediaType(mt);
    config->Release();
    EXPECT_EQ(road.RunToEnd(), EC_COMPLETE);
    pcm->Release();
    ReleaseAll(audio);
    mux->Release();
    sink->Release();
  }
  const auto probe = testing_support::ProbeFile(out);
  ASSERT_EQ(probe.error, "");
  ASSERT_NE(probe.Audio(), nullptr);
  EXPECT_EQ(probe.Audio()->codec, "pcm_s16le");
  EXPECT_EQ(probe.Audio()->sampleRate, 11025);
  EXPECT_EQ(probe.Audio()->channels, 1);
  EXPECT_NEAR(probe.Audio()->seconds, 2.0, 0.15);
}

TEST(GraphRoads, UnknownFilesFailToRender) {
  const std::string garbage = SandboxFile("noise.mpg");
  {
    FILE* f = std::fopen(garbage.c_str(), "wb");
    for (int i = 0; i < 4096; ++i) std::fputc(i * 131 % 256, f);
    std::fclose(f);
  }
  Road road;
  ASSERT_TRUE(road.graph);
  IBaseFilter* source = nullptr;
  EXPECT_TRUE(FAILED(road.graph->AddSourceFilter(Wide(garbage).c_str(), u"Source", &source)));
  EXPECT_EQ(source, nullptr);
}

}  // namespace
}  // namespace dshow_test
