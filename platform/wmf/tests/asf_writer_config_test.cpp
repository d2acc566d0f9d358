#include <gtest/gtest.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include <vector>

#include "dshow/builtin_filters.h"
#include "testing/media_fixtures.h"
#include "testing/sandbox.h"
#include "wmf_test_util.h"

using namespace wmf_test;

namespace {

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

std::vector<IPin*> Pins(IBaseFilter* filter, PIN_DIRECTION wanted) {
  std::vector<IPin*> pins;
  ComPtr<IEnumPins> pinEnum;
  if (FAILED(filter->EnumPins(pinEnum.put()))) return pins;
  IPin* pin = nullptr;
  while (pinEnum->Next(1, &pin, nullptr) == S_OK) {
    PIN_DIRECTION dir{};
    pin->QueryDirection(&dir);
    if (dir == wanted)
      pins.push_back(pin);
    else
      pin->Release();
  }
  return pins;
}

void ReleaseAll(std::vector<IPin*>& pins) {
  for (IPin* p : pins) p->Release();
  pins.clear();
}

class AsfWriterConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    RegisterDShowClasses();
    RegisterWmfClasses();
    ASSERT_EQ(CoCreateInstance(CLSID_WMAsfWriter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, writer.putVoid()), S_OK);
    ASSERT_EQ(WMCreateAsfWriterConfig(writer.get(), config.put()), S_OK);
    ASSERT_EQ(writer->QueryInterface(IID_IAsfWriterSettings, settings.putVoid()), S_OK);
  }

  AsfWriterSettings Settings() {
    AsfWriterSettings s;
    EXPECT_EQ(settings->GetSettings(&s), S_OK);
    return s;
  }

  ComPtr<IBaseFilter> writer;
  ComPtr<IConfigAsfWriter> config;
  ComPtr<IAsfWriterSettings> settings;
};

struct ProbedStream {
  std::string codec;
  int64_t bitRate = 0;
  int width = 0, height = 0, sampleRate = 0, channels = 0;
  int64_t bytes = 0;
  double seconds = 0;
};

std::vector<ProbedStream> Probe(const std::string& path) {
  std::vector<ProbedStream> streams;
  AVFormatContext* fmt = nullptr;
  if (avformat_open_input(&fmt, path.c_str(), nullptr, nullptr) < 0) return streams;
  if (avformat_find_stream_info(fmt, nullptr) >= 0) {
    for (unsigned i = 0; i < fmt->nb_streams; ++i) {
      const AVCodecParameters* p = fmt->streams[i]->codecpar;
      streams.push_back({avcodec_get_name(p->codec_id), p->bit_rate, p->width, p->height, p->sample_rate,
                         p->ch_layout.nb_channels});
    }
    AVPacket* pkt = av_packet_alloc();
    std::vector<int64_t> last(fmt->nb_streams, 0);
    while (av_read_frame(fmt, pkt) >= 0) {
      if (size_t(pkt->stream_index) < streams.size()) {
        streams[pkt->stream_index].bytes += pkt->size;
        if (pkt->pts != AV_NOPTS_VALUE) last[pkt->stream_index] = std::max(last[pkt->stream_index], pkt->pts);
      }
      av_packet_unref(pkt);
    }
    av_packet_free(&pkt);
    for (unsigned i = 0; i < fmt->nb_streams; ++i) streams[i].seconds = last[i] * av_q2d(fmt->streams[i]->time_base);
  }
  avformat_close_input(&fmt);
  return streams;
}

}  // namespace

TEST_F(AsfWriterConfigTest, SystemProfileSetsSizesRatesAndBitRates) {
  ASSERT_EQ(config->ConfigureFilterUsingProfileGuid(WMProfile_V80_VideoBroadband), S_OK);
  const AsfWriterSettings s = Settings();
  EXPECT_TRUE(s.video);
  EXPECT_EQ(s.videoEncoder, "wmv2");
  EXPECT_EQ(s.videoBitRate, 336000);
  EXPECT_EQ(s.width, 320);
  EXPECT_EQ(s.height, 240);
  EXPECT_EQ(s.frameTime, UNITS / 25);
  EXPECT_EQ(s.keyframeInterval, 200);  // 8 seconds at 25 frames per second
  EXPECT_TRUE(s.audio);
  EXPECT_EQ(s.audioEncoder, "wmav2");
  EXPECT_EQ(s.audioBitRate, 48000);
  EXPECT_EQ(s.sampleRate, 44100);
  EXPECT_EQ(s.channels, 2);
  GUID current = GUID_NULL;
  ASSERT_EQ(config->GetCurrentProfileGuid(&current), S_OK);
  EXPECT_EQ(current, WMProfile_V80_VideoBroadband);
  DWORD id = 0;
  config->GetCurrentProfileId(&id);
  EXPECT_EQ(id, 6u);
}

TEST_F(AsfWriterConfigTest, TheWriterItselfAnswersForTheConfiguration) {
  ComPtr<IConfigAsfWriter> fromWriter;
  ASSERT_EQ(writer->QueryInterface(IID_IConfigAsfWriter, fromWriter.putVoid()), S_OK);
  ASSERT_EQ(fromWriter->ConfigureFilterUsingProfileGuid(WMProfile_V80_VideoBroadband), S_OK);
  GUID current{};
  ASSERT_EQ(config->GetCurrentProfileGuid(&current), S_OK);
  EXPECT_EQ(current, GUID_NULL) << "each answer is a configuration of its own";
  ASSERT_EQ(fromWriter->GetCurrentProfileGuid(&current), S_OK);
  EXPECT_EQ(current, WMProfile_V80_VideoBroadband);
  EXPECT_EQ(Settings().width, 320);
}

TEST_F(AsfWriterConfigTest, AudioOnlyProfileLeavesOneAudioInput) {
  ASSERT_EQ(config->ConfigureFilterUsingProfileId(1), S_OK);  // 32 kHz stereo, 48 Kbps
  const AsfWriterSettings s = Settings();
  EXPECT_FALSE(s.video);
  EXPECT_EQ(s.sampleRate, 32000);
  auto inputs = Pins(writer.get(), PINDIR_INPUT);
  ASSERT_EQ(inputs.size(), 1u);
  PIN_INFO info{};
  inputs[0]->QueryPinInfo(&info);
  if (info.pFilter) info.pFilter->Release();
  EXPECT_EQ(std::u16string(info.achName), u"Audio Input 01");
  ReleaseAll(inputs);
  EXPECT_EQ(config->ConfigureFilterUsingProfileId(8), E_INVALIDARG);
}

TEST_F(AsfWriterConfigTest, CustomProfilesAndRefusals) {
  ComPtr<IWMProfile> none;
  EXPECT_EQ(config->GetCurrentProfile(none.put()), E_FAIL);
  EXPECT_EQ(config->ConfigureFilterUsingProfileGuid(IID_IWMProfile), E_INVALIDARG);
  EXPECT_EQ(config->ConfigureFilterUsingProfile(nullptr), E_POINTER);

  auto manager = Manager();
  ComPtr<IWMProfile> empty;
  ASSERT_EQ(manager->CreateEmptyProfile(WMT_VER_8_0, empty.put()), S_OK);
  const AsfWriterSettings before = Settings();
  EXPECT_EQ(config->ConfigureFilterUsingProfile(empty.get()), E_INVALIDARG);
  EXPECT_EQ(Settings().videoBitRate, before.videoBitRate);

  // A WMV7 picture without a format: its size follows the input.
  ComPtr<IWMProfile> custom;
  ASSERT_EQ(manager->LoadProfileByData(u"<profile name=\"Seven\"><streamconfig majortype=\"{73646976-0000-0010-8000-"
                                       u"00AA00389B71}\" streamnumber=\"3\" bitrate=\"90000\"><wmmediatype subtype=\"{"
                                       u"31564D57-0000-0010-8000-00AA00389B71}\"/></streamconfig></profile>",
                                       custom.put()),
            S_OK);
  ASSERT_EQ(config->ConfigureFilterUsingProfile(custom.get()), S_OK);
  const AsfWriterSettings s = Settings();
  EXPECT_FALSE(s.audio);
  EXPECT_EQ(s.videoEncoder, "wmv1");
  EXPECT_EQ(s.videoBitRate, 90000);
  EXPECT_EQ(s.width, 0);

  // A picture size no encoder could take, set through the stream's media type, is refused.
  ComPtr<IWMStreamConfig> stream;
  ASSERT_EQ(custom->GetStream(0, stream.put()), S_OK);
  ComPtr<IWMMediaProps> props;
  ASSERT_EQ(stream->QueryInterface(IID_IWMMediaProps, props.putVoid()), S_OK);
  VIDEOINFOHEADER vih{};
  vih.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  vih.bmiHeader.biWidth = 320;
  vih.bmiHeader.biHeight = INT32_MIN;
  WM_MEDIA_TYPE type{};
  type.majortype = WMMEDIATYPE_Video;
  type.subtype = WMMEDIASUBTYPE_WMV1;
  type.formattype = WMFORMAT_VideoInfo;
  type.cbFormat = sizeof vih;
  type.pbFormat = reinterpret_cast<BYTE*>(&vih);
  ASSERT_EQ(props->SetMediaType(&type), S_OK);
  ComPtr<IWMProfile> huge;
  ASSERT_EQ(manager->CreateEmptyProfile(WMT_VER_8_0, huge.put()), S_OK);
  ASSERT_EQ(huge->AddStream(stream.get()), S_OK);
  EXPECT_EQ(config->ConfigureFilterUsingProfile(huge.get()), E_INVALIDARG);
  vih.bmiHeader.biHeight = 240;
  vih.bmiHeader.biWidth = -320;
  ASSERT_EQ(props->SetMediaType(&type), S_OK);
  ASSERT_EQ(huge->ReconfigStream(stream.get()), S_OK);
  EXPECT_EQ(config->ConfigureFilterUsingProfile(huge.get()), E_INVALIDARG);
  EXPECT_EQ(Settings().videoEncoder, "wmv1");
  EXPECT_EQ(Settings().width, 0);

  ComPtr<IWMProfile> current;
  ASSERT_EQ(config->GetCurrentProfile(current.put()), S_OK);
  EXPECT_EQ(Name(current.get()), u"Seven");
  GUID id = IID_IWMProfile;
  config->GetCurrentProfileGuid(&id);
  EXPECT_EQ(id, GUID_NULL);

  ComPtr<IBaseFilter> other;
  ASSERT_EQ(CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, other.putVoid()), S_OK);
  ComPtr<IConfigAsfWriter> notAWriter;
  EXPECT_EQ(WMCreateAsfWriterConfig(other.get(), notAWriter.put()), E_NOINTERFACE);
}

TEST_F(AsfWriterConfigTest, WrittenFileFollowsTheProfile) {
  const std::string clip = testing_support::SandboxDir() + "/clip.avi";
  testing_support::ClipOptions options;
  options.format = "avi";
  options.videoEncoder = "mpeg4";
  options.width = 320;
  options.height = 240;
  options.audioEncoder = "pcm_s16le";
  options.sampleRate = 44100;
  options.channels = 2;
  ASSERT_EQ(testing_support::MakeClip(clip, options), "");
  const std::string out = testing_support::SandboxDir() + "/out.wmv";

  ASSERT_EQ(config->ConfigureFilterUsingProfileGuid(WMProfile_V80_VideoPocket), S_OK);
  {
    ComPtr<IGraphBuilder> graph;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.putVoid()), S_OK);
    ComPtr<IMediaFilter> clockless;
    ASSERT_EQ(graph->QueryInterface(IID_IMediaFilter, clockless.putVoid()), S_OK);
    ASSERT_EQ(clockless->SetSyncSource(nullptr), S_OK);
    ComPtr<IFileSinkFilter> sink;
    ASSERT_EQ(writer->QueryInterface(IID_IFileSinkFilter, sink.putVoid()), S_OK);
    ASSERT_EQ(sink->SetFileName(Wide(out).c_str(), nullptr), S_OK);
    ASSERT_EQ(graph->AddFilter(writer.get(), u"WM ASF Writer"), S_OK);
    ComPtr<IBaseFilter> source;
    ASSERT_EQ(graph->AddSourceFilter(Wide(clip).c_str(), u"Source", source.put()), S_OK);
    auto outputs = Pins(source.get(), PINDIR_OUTPUT);
    int connected = 0;
    for (IPin* o : outputs) {
      auto inputs = Pins(writer.get(), PINDIR_INPUT);
      for (IPin* in : inputs) {
        IPin* peer = nullptr;
        if (in->ConnectedTo(&peer) == S_OK) {
          peer->Release();
          continue;
        }
        if (graph->Connect(o, in) == S_OK) {
          ++connected;
          break;
        }
      }
      ReleaseAll(inputs);
    }
    ReleaseAll(outputs);
    ASSERT_EQ(connected, 2);
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEvent> events;
    ASSERT_EQ(graph->QueryInterface(IID_IMediaControl, control.putVoid()), S_OK);
    ASSERT_EQ(graph->QueryInterface(IID_IMediaEvent, events.putVoid()), S_OK);
    ASSERT_EQ(control->Run(), S_OK);
    LONG code = 0;
    ASSERT_EQ(events->WaitForCompletion(60000, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    ASSERT_EQ(control->Stop(), S_OK);
  }

  const auto streams = Probe(out);
  ASSERT_EQ(streams.size(), 2u);
  const ProbedStream* audio = streams[0].codec == "wmav2" ? &streams[0] : &streams[1];
  const ProbedStream* video = streams[0].codec == "wmv2" ? &streams[0] : &streams[1];
  EXPECT_EQ(audio->codec, "wmav2");
  EXPECT_EQ(audio->sampleRate, 22050);
  EXPECT_EQ(audio->channels, 1);
  EXPECT_EQ(audio->bitRate, 32000);
  EXPECT_EQ(video->codec, "wmv2");
  EXPECT_EQ(video->width, 176);
  EXPECT_EQ(video->height, 144);
  // The picture stream's rate is the profile's, give or take the encoder's rate control.
  ASSERT_GT(video->seconds, 1.0);
  const double videoRate = video->bytes * 8 / (video->seconds + 1.0 / 15);
  EXPECT_GT(videoRate, 118000 * 0.5);
  EXPECT_LT(videoRate, 118000 * 2.0);
}
