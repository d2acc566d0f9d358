// The MP3 encoder filter: its media types, its settings reached by method position, and a whole
// graph from a PCM file through the encoder into an AVI file, probed with libavformat.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dshow/dshow.h"
#include "filters/outside_filters.h"
#include "testing/media_fixtures.h"
#include "testing/media_probe.h"
#include "testing/sandbox.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

// Calls method m (numbered from 1 after the three of IUnknown) with one 32-bit argument, the way
// a caller holding only the interface's identifier and slot order does.
HRESULT CallSlot(IUnknown* object, int m, LONG value) {
  using Slot = HRESULT (*)(IUnknown*, LONG);
  Slot* table = *reinterpret_cast<Slot**>(object);
  return table[2 + m](object, value);
}

template <class T>
T* Query(IUnknown* from, REFIID iid) {
  void* p = nullptr;
  return SUCCEEDED(from->QueryInterface(iid, &p)) ? static_cast<T*>(p) : nullptr;
}

IPin* FindPin(IBaseFilter* filter, PIN_DIRECTION direction) {
  IEnumPins* pins = nullptr;
  if (FAILED(filter->EnumPins(&pins))) return nullptr;
  IPin* pin = nullptr;
  while (pins->Next(1, &pin, nullptr) == S_OK) {
    PIN_DIRECTION d;
    pin->QueryDirection(&d);
    if (d == direction) break;
    pin->Release();
    pin = nullptr;
  }
  pins->Release();
  return pin;
}

// Bit rate of the audio stream from its packets: bytes over the time they cover.
double AudioKbps(const std::string& path) {
  AVFormatContext* input = nullptr;
  if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) return 0;
  avformat_find_stream_info(input, nullptr);
  const int stream = av_find_best_stream(input, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  int64_t bytes = 0, samples = 0;
  AVPacket* packet = av_packet_alloc();
  while (stream >= 0 && av_read_frame(input, packet) >= 0) {
    if (packet->stream_index == stream) {
      bytes += packet->size;
      samples += input->streams[stream]->codecpar->sample_rate >= 32000 ? 1152 : 576;
    }
    av_packet_unref(packet);
  }
  av_packet_free(&packet);
  const int rate = stream >= 0 ? input->streams[stream]->codecpar->sample_rate : 0;
  avformat_close_input(&input);
  return rate && samples ? bytes * 8.0 / 1000 / (double(samples) / rate) : 0;
}

class Mp3EncoderTest : public ::testing::Test {
 protected:
  static std::string Wav(int rate, int channels) {
    const std::string path = testing_support::SandboxDir() + "/tone_" + std::to_string(rate) + "_" +
                             std::to_string(channels) + ".wav";
    testing_support::ClipOptions options;
    options.format = "wav";
    options.videoEncoder = "";
    options.audioEncoder = "pcm_s16le";
    options.sampleRate = rate;
    options.channels = channels;
    options.seconds = 2.0;
    EXPECT_EQ("", testing_support::MakeClip(path, options));
    return path;
  }

  void SetUp() override {
    RegisterDShowClasses();
    RegisterOutsideFilterClasses();
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                     reinterpret_cast<void**>(&graph)));
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_Mp3EncoderFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                     reinterpret_cast<void**>(&encoder)));
    ASSERT_EQ(S_OK, graph->AddFilter(encoder, u"MP3 encoder"));
    settings = Query<IUnknown>(encoder, IID_IMp3EncoderSettings);
    ASSERT_NE(nullptr, settings);
    input = FindPin(encoder, PINDIR_INPUT);
    output = FindPin(encoder, PINDIR_OUTPUT);
    ASSERT_NE(nullptr, input);
    ASSERT_NE(nullptr, output);
  }

  void TearDown() override {
    for (IUnknown* p : {static_cast<IUnknown*>(input), static_cast<IUnknown*>(output), settings,
                        static_cast<IUnknown*>(encoder), static_cast<IUnknown*>(source),
                        static_cast<IUnknown*>(graph)})
      if (p) p->Release();
  }

  // Connects a PCM file's output to the encoder's input.
  void ConnectSource(const std::string& wav) {
    const std::u16string name(wav.begin(), wav.end());
    ASSERT_EQ(S_OK, graph->AddSourceFilter(name.c_str(), u"Source", &source));
    IPin* pcm = FindPin(source, PINDIR_OUTPUT);
    ASSERT_NE(nullptr, pcm);
    const HRESULT hr = graph->Connect(pcm, input);
    pcm->Release();
    ASSERT_EQ(S_OK, hr);
  }

  // The format the output pin offers.
  MPEGLAYER3WAVEFORMAT Offered() {
    MPEGLAYER3WAVEFORMAT f{};
    IEnumMediaTypes* types = nullptr;
    AM_MEDIA_TYPE* mt = nullptr;
    EXPECT_EQ(S_OK, output->EnumMediaTypes(&types));
    if (types && types->Next(1, &mt, nullptr) == S_OK) {
      EXPECT_TRUE(mt->majortype == MEDIATYPE_Audio);
      EXPECT_TRUE(mt->subtype == MEDIASUBTYPE_MP3);
      EXPECT_TRUE(mt->formattype == FORMAT_WaveFormatEx);
      EXPECT_EQ(sizeof f, mt->cbFormat);
      std::memcpy(&f, mt->pbFormat, std::min<size_t>(sizeof f, mt->cbFormat));
      DeleteMediaType(mt);
    }
    if (types) types->Release();
    return f;
  }

  IGraphBuilder* graph = nullptr;
  IBaseFilter* encoder = nullptr;
  IBaseFilter* source = nullptr;
  IUnknown* settings = nullptr;
  IPin* input = nullptr;
  IPin* output = nullptr;
};

TEST_F(Mp3EncoderTest, TakesPcmAndOffersMpegLayer3OfTheInputsRateAndChannels) {
  IEnumMediaTypes* types = nullptr;
  ASSERT_EQ(S_OK, output->EnumMediaTypes(&types));
  AM_MEDIA_TYPE* mt = nullptr;
  EXPECT_NE(S_OK, types->Next(1, &mt, nullptr));  // nothing before the input is connected
  types->Release();

  ConnectSource(Wav(22050, 1));
  const MPEGLAYER3WAVEFORMAT f = Offered();
  EXPECT_EQ(WAVE_FORMAT_MPEGLAYER3, f.wfx.wFormatTag);
  EXPECT_EQ(1, f.wfx.nChannels);
  EXPECT_EQ(22050u, f.wfx.nSamplesPerSec);
  EXPECT_EQ(128000u / 8, f.wfx.nAvgBytesPerSec);
  EXPECT_EQ(MPEGLAYER3_WFX_EXTRA_BYTES, f.wfx.cbSize);
  EXPECT_EQ(MPEGLAYER3_ID_MPEG, f.wID);
  EXPECT_EQ(1, f.nFramesPerBlock);

  // Its own output is no input for it.
  IEnumMediaTypes* offered = nullptr;
  ASSERT_EQ(S_OK, output->EnumMediaTypes(&offered));
  ASSERT_EQ(S_OK, offered->Next(1, &mt, nullptr));
  offered->Release();
  IPin* second = nullptr;
  IBaseFilter* other = nullptr;
  ASSERT_EQ(S_OK, CoCreateInstance(CLSID_Mp3EncoderFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   reinterpret_cast<void**>(&other)));
  second = FindPin(other, PINDIR_INPUT);
  EXPECT_NE(S_OK, second->QueryAccept(mt));
  DeleteMediaType(mt);
  second->Release();
  other->Release();
}

TEST_F(Mp3EncoderTest, SettingsByPositionNeedTheKeyAndBecomeLegalValues) {
  EXPECT_EQ(E_ACCESSDENIED, CallSlot(settings, 2, 192));
  EXPECT_EQ(E_INVALIDARG, CallSlot(settings, 1, 4891));
  EXPECT_EQ(E_ACCESSDENIED, CallSlot(settings, 3, 32000));
  ASSERT_EQ(S_OK, CallSlot(settings, 1, 4890));
  EXPECT_EQ(E_INVALIDARG, CallSlot(settings, 2, 0));
  EXPECT_EQ(E_INVALIDARG, CallSlot(settings, 3, -44100));

  ASSERT_EQ(S_OK, CallSlot(settings, 2, 100));
  ASSERT_EQ(S_OK, CallSlot(settings, 3, 44000));
  ConnectSource(Wav(48000, 2));
  MPEGLAYER3WAVEFORMAT f = Offered();
  EXPECT_EQ(44100u, f.wfx.nSamplesPerSec);
  EXPECT_EQ(2, f.wfx.nChannels);
  EXPECT_EQ(96000u / 8, f.wfx.nAvgBytesPerSec);

  // A half-rate stream allows at most 160 kbit/s.
  ASSERT_EQ(S_OK, CallSlot(settings, 2, 320));
  ASSERT_EQ(S_OK, CallSlot(settings, 3, 24000));
  f = Offered();
  EXPECT_EQ(24000u, f.wfx.nSamplesPerSec);
  EXPECT_EQ(160000u / 8, f.wfx.nAvgBytesPerSec);
}

struct GraphCase {
  int inputRate, inputChannels;
  LONG kbps, rate;           // given through the settings
  int outputKbps, outputChannels;
};
// Named in test output by its values, not by its bytes.
void PrintTo(const GraphCase& c, std::ostream* os) { *os << c.inputRate << " Hz x" << c.inputChannels << " at " << c.kbps << " kbit/s, " << c.rate << " Hz"; }


class Mp3GraphTest : public Mp3EncoderTest, public ::testing::WithParamInterface<GraphCase> {};

TEST_P(Mp3GraphTest, RunToItsEndWritesAnAviWithMp3AtTheChosenRates) {
  const GraphCase& c = GetParam();
  ASSERT_EQ(S_OK, CallSlot(settings, 1, kMp3EncoderSettingsKey));
  ASSERT_EQ(S_OK, CallSlot(settings, 2, c.kbps));
  ASSERT_EQ(S_OK, CallSlot(settings, 3, c.rate));
  ConnectSource(Wav(c.inputRate, c.inputChannels));
  // Settings are fixed while the output is connected.
  ICaptureGraphBuilder2* builder = nullptr;
  ASSERT_EQ(S_OK, CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ICaptureGraphBuilder2, reinterpret_cast<void**>(&builder)));
  ASSERT_EQ(S_OK, builder->SetFiltergraph(graph));
  const std::string path = testing_support::SandboxDir() + "/tone.avi";
  const std::u16string name(path.begin(), path.end());
  IBaseFilter* mux = nullptr;
  IFileSinkFilter* sink = nullptr;
  ASSERT_EQ(S_OK, builder->SetOutputFileName(&MEDIASUBTYPE_Avi, name.c_str(), &mux, &sink));
  EXPECT_TRUE(SUCCEEDED(builder->RenderStream(nullptr, nullptr, encoder, nullptr, mux)));
  EXPECT_EQ(VFW_E_ALREADY_CONNECTED, CallSlot(settings, 2, 64));

  IMediaControl* control = Query<IMediaControl>(graph, IID_IMediaControl);
  IMediaEvent* events = Query<IMediaEvent>(graph, IID_IMediaEvent);
  ASSERT_TRUE(control && events);
  ASSERT_TRUE(SUCCEEDED(control->Run()));
  LONG code = 0;
  EXPECT_EQ(S_OK, events->WaitForCompletion(120000, &code));
  EXPECT_EQ(EC_COMPLETE, code);
  control->Stop();
  for (IUnknown* p : {static_cast<IUnknown*>(control), static_cast<IUnknown*>(events),
                      static_cast<IUnknown*>(sink), static_cast<IUnknown*>(mux), static_cast<IUnknown*>(builder)})
    p->Release();

  const testing_support::ProbedFile file = testing_support::ProbeFile(path);
  ASSERT_EQ("", file.error);
  ASSERT_NE(nullptr, file.Audio());
  EXPECT_EQ("mp3", file.Audio()->codec);
  EXPECT_EQ(c.rate, file.Audio()->sampleRate);
  EXPECT_EQ(c.outputChannels, file.Audio()->channels);
  // The encoder's lead-in (about 1100 samples) and the padded last frame come on top.
  const double frame = (c.rate >= 32000 ? 1152.0 : 576.0) / c.rate;
  EXPECT_NEAR(2.0 + 1100.0 / c.rate + frame / 2, file.Audio()->seconds, frame);
  EXPECT_NEAR(c.outputKbps, AudioKbps(path), c.outputKbps * 0.05);
}

// Resampled and down-mixed; a quarter-rate stream takes at most 64 kbit/s.
INSTANTIATE_TEST_SUITE_P(Rates, Mp3GraphTest,
                         ::testing::Values(GraphCase{44100, 2, 192, 32000, 192, 2},
                                           GraphCase{22050, 1, 320, 8000, 64, 1},
                                           GraphCase{48000, 6, 128, 48000, 128, 2}),
                         [](const ::testing::TestParamInfo<GraphCase>& info) {
                           const GraphCase& c = info.param;
                           return std::to_string(c.inputChannels) + "ch_" + std::to_string(c.inputRate) + "_to_" +
                                  std::to_string(c.rate) + "_" + std::to_string(c.kbps) + "k";
                         });

}  // namespace
