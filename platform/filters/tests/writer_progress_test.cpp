// How far an outside writer's file has got, read through the QuickTime writer's pin settings:
// pictures written when there is video, milliseconds of sound at 1000 a second when there is none.
// The counts stay readable once the file is finished.
#include <gtest/gtest.h>

#include <string>

#include "filters/outside_filters.h"
#include "filters/writer_settings.h"
#include "ole/comptr.h"
#include "testing/media_fixtures.h"
#include "testing/sandbox.h"

namespace {

ComPtr<IPin> PinNamed(IBaseFilter* filter, const std::u16string& wanted) {
  ComPtr<IEnumPins> pins;
  if (FAILED(filter->EnumPins(pins.put()))) return {};
  ComPtr<IPin> pin;
  while (pins->Next(1, pin.put(), nullptr) == S_OK) {
    PIN_INFO info{};
    pin->QueryPinInfo(&info);
    if (info.pFilter) info.pFilter->Release();
    if (wanted == info.achName) return pin;
  }
  return {};
}

ComPtr<IPin> FirstOutput(IBaseFilter* filter) {
  ComPtr<IEnumPins> pins;
  if (FAILED(filter->EnumPins(pins.put()))) return {};
  ComPtr<IPin> pin;
  while (pins->Next(1, pin.put(), nullptr) == S_OK) {
    PIN_DIRECTION direction;
    pin->QueryDirection(&direction);
    if (direction == PINDIR_OUTPUT) return pin;
  }
  return {};
}

class WriterProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterDShowClasses();
    RegisterOutsideFilterClasses();
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                     graph.putVoid()));
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_QuickTimeWriter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                     writer.putVoid()));
    ASSERT_EQ(S_OK, graph->AddFilter(writer.get(), u"QuickTime Writer"));
    ComPtr<IPin> videoPin = PinNamed(writer.get(), u"Video Input");
    ComPtr<IPin> audioPin = PinNamed(writer.get(), u"Audio Input");
    ASSERT_TRUE(videoPin && audioPin);
    ASSERT_EQ(S_OK, videoPin.As(IID_IQuickTimeVideoSettings, &video));
    ASSERT_EQ(S_OK, audioPin.As(IID_IQuickTimeAudioSettings, &audio));
  }

  // Makes the clip, connects the source's first output to the writer's pin named input and writes
  // the file to its end.
  void Write(const std::string& name, const testing_support::ClipOptions& options, const std::u16string& input) {
    const std::string clip = testing_support::SandboxDir() + "/" + name;
    ASSERT_EQ("", testing_support::MakeClip(clip, options));
    ComPtr<IBaseFilter> source;
    ASSERT_EQ(S_OK, graph->AddSourceFilter(std::u16string(clip.begin(), clip.end()).c_str(), u"Source", source.put()));
    ComPtr<IPin> output = FirstOutput(source.get());
    ComPtr<IPin> pin = PinNamed(writer.get(), input);
    ASSERT_TRUE(output && pin);
    ASSERT_EQ(S_OK, graph->Connect(output.get(), pin.get()));

    ComPtr<IFileSinkFilter> sink;
    ASSERT_EQ(S_OK, writer.As(IID_IFileSinkFilter, &sink));
    const std::string path = clip + ".mov";
    ASSERT_EQ(S_OK, sink->SetFileName(std::u16string(path.begin(), path.end()).c_str(), nullptr));
    ComPtr<IMediaFilter> timing;
    ASSERT_EQ(S_OK, graph.As(IID_IMediaFilter, &timing));
    timing->SetSyncSource(nullptr);
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEvent> events;
    ASSERT_EQ(S_OK, graph.As(IID_IMediaControl, &control));
    ASSERT_EQ(S_OK, graph.As(IID_IMediaEvent, &events));
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    LONG code = 0;
    EXPECT_EQ(S_OK, events->WaitForCompletion(60000, &code));
    EXPECT_EQ(EC_COMPLETE, code);
    control->Stop();
  }

  LONG Units() {
    LONG units = -1;
    EXPECT_EQ(S_OK, video->GetUnitsWritten(&units));
    return units;
  }
  LONG UnitsPerSecond() {
    LONG units = -1;
    EXPECT_EQ(S_OK, video->GetUnitsPerSecond(&units));
    return units;
  }
  LONG SoundMilliseconds() {
    LONG ms = -1;
    EXPECT_EQ(S_OK, audio->GetMillisecondsWritten(&ms));
    return ms;
  }

  ComPtr<IGraphBuilder> graph;
  ComPtr<IBaseFilter> writer;
  ComPtr<IQuickTimeVideoSettings> video;
  ComPtr<IQuickTimeAudioSettings> audio;
};

TEST_F(WriterProgressTest, WithoutVideoTheFileCountsMillisecondsOfSound) {
  testing_support::ClipOptions options;
  options.format = "wav";
  options.videoEncoder = "";
  options.audioEncoder = "pcm_s16le";
  options.seconds = 2.0;
  ASSERT_NO_FATAL_FAILURE(Write("progress_sound.wav", options, u"Audio Input"));
  EXPECT_EQ(1000, UnitsPerSecond());
  EXPECT_NEAR(2000, Units(), 50);
  EXPECT_EQ(Units(), SoundMilliseconds());
}

TEST_F(WriterProgressTest, WithVideoTheFileCountsPicturesAtTheFrameRate) {
  testing_support::ClipOptions options;
  options.format = "avi";
  options.videoEncoder = "mpeg4";
  options.audioEncoder = "";
  options.frameRate = 25;
  options.seconds = 1.0;
  ASSERT_NO_FATAL_FAILURE(Write("progress_pictures.avi", options, u"Video Input"));
  EXPECT_EQ(25, Units());
  EXPECT_EQ(0, SoundMilliseconds());
}

}  // namespace
