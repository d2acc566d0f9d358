// AVI saves with the "MPEG Layer-3" compressor: the audio goes through the MP3 encoder filter with
// the control's bit rate and sample rate; the file is probed with libavformat.
#include <chrono>
#include <thread>

#include "hosted_control.h"
#include "testing/media_fixtures.h"
#include "testing/media_probe.h"
#include "testing/sandbox.h"
#include "testing/ui_driver.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

// Audio bit rate from the stream's packets: bytes over the time their frames cover.
double AudioKbps(const std::string& path) {
  AVFormatContext* input = nullptr;
  if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) return 0;
  avformat_find_stream_info(input, nullptr);
  const int stream = av_find_best_stream(input, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  const int rate = stream >= 0 ? input->streams[stream]->codecpar->sample_rate : 0;
  int64_t bytes = 0, frames = 0;
  AVPacket* packet = av_packet_alloc();
  while (stream >= 0 && av_read_frame(input, packet) >= 0) {
    if (packet->stream_index == stream) bytes += packet->size, ++frames;
    av_packet_unref(packet);
  }
  av_packet_free(&packet);
  avformat_close_input(&input);
  const double seconds = double(frames) * (rate >= 32000 ? 1152 : 576) / std::max(rate, 1);
  return seconds > 0 ? bytes * 8.0 / 1000 / seconds : 0;
}

class Mp3ConversionTest : public HostedControl {
 protected:
  static void SetUpTestSuite() {
    HostedControl::SetUpTestSuite();
    testing_support::ClipOptions options;
    options.format = "avi";
    options.videoEncoder = "mpeg4";
    options.audioEncoder = "pcm_s16le";
    options.sampleRate = 44100;
    options.channels = 2;
    options.seconds = 2.0;
    ASSERT_EQ("", testing_support::MakeClip(Clip(), options));
  }
  static std::string Clip() { return testing_support::SandboxDir() + "/mp3_clip.avi"; }
  static std::string Output(const char* name) { return testing_support::SandboxDir() + "/" + name; }

  void Flag(DISPID id, bool on) { Put(id, COleVariant(short(on ? VARIANT_TRUE : 0), VT_BOOL)); }

  // Pumps the messages, moving the virtual clock, until Complete; the real-time bound only keeps
  // a broken conversion from hanging.
  bool PumpUntilComplete() {
    const auto guard = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (host.completes == 0) {
      if (std::chrono::steady_clock::now() > guard) return false;
      ui.AdvanceClock(10);
      std::this_thread::yield();
    }
    return true;
  }

  void ChooseMp3(short kbps, LONG rate) {
    const short mp3 = IndexOf(dispidAudioCompressors, "MPEG Layer-3");
    ASSERT_GE(mp3, 0);
    Put(dispidAudioCompressor, COleVariant(mp3));
    Flag(dispidUseAudioCompressor, true);
    Put(dispidAVILameBitrate, COleVariant(kbps));
    Put(dispidAVILameSampleRate, COleVariant(LONG(rate)));
  }

  testing_ui::UiDriver ui;
};

struct Mp3Case {
  short kbps;
  LONG rate;
  bool video;
};
// Named in test output by its values, not by its bytes.
void PrintTo(const Mp3Case& c, std::ostream* os) { *os << c.kbps << " kbit/s at " << c.rate << " Hz" << (c.video ? " with video" : ""); }


class Mp3AviTest : public Mp3ConversionTest, public ::testing::WithParamInterface<Mp3Case> {};

TEST_P(Mp3AviTest, AudioIsMp3AtTheChosenBitRateAndSampleRate) {
  const Mp3Case& c = GetParam();
  ChooseMp3(c.kbps, c.rate);
  if (c.video) {
    const short mpeg4 = IndexOf(dispidVideoCompressors, "MPEG-4 Video Encoder");
    ASSERT_GE(mpeg4, 0);
    Put(dispidVideoCompressor, COleVariant(mpeg4));
    Flag(dispidUseVideoCompressor, true);
  }
  Call(dispidInitControl);
  if (c.video) {
    ASSERT_TRUE(AddVideo(Clip(), 0, 2));
  }
  ASSERT_TRUE(AddAudio(Clip(), 0, 2));
  ASSERT_TRUE(CallBool(dispidSave, {COleVariant(Output("mp3.avi").c_str())}));
  EXPECT_TRUE(Get(dispidUseAVILameEncoder).boolVal);
  ASSERT_TRUE(PumpUntilComplete());
  EXPECT_EQ(1, host.completes);

  const testing_support::ProbedFile file = testing_support::ProbeFile(Output("mp3.avi"));
  ASSERT_EQ("", file.error);
  ASSERT_NE(nullptr, file.Audio());
  EXPECT_EQ("mp3", file.Audio()->codec);
  EXPECT_EQ(c.rate, file.Audio()->sampleRate);
  EXPECT_EQ(2, file.Audio()->channels);
  // The encoder's lead-in and the last, padded frame add a little.
  EXPECT_NEAR(2.0, file.Audio()->seconds, 0.15);
  EXPECT_NEAR(c.kbps, AudioKbps(Output("mp3.avi")), c.kbps * 0.05);
  if (c.video) {
    ASSERT_NE(nullptr, file.Video());
    EXPECT_EQ("mpeg4", file.Video()->codec);
  }
}

INSTANTIATE_TEST_SUITE_P(Rates, Mp3AviTest,
                         ::testing::Values(Mp3Case{320, 44100, true}, Mp3Case{128, 48000, true},
                                           Mp3Case{64, 22050, false}),
                         [](const ::testing::TestParamInfo<Mp3Case>& info) {
                           return std::to_string(info.param.kbps) + "k_" + std::to_string(info.param.rate) +
                                  (info.param.video ? "_with_video" : "_audio_only");
                         });

// A clip shorter than the span asked for is padded with its last picture and silence. The MP3
// encoder's last frame ends past the timeline (its frames are whole), but the progress stops at the
// timeline's end.
TEST_F(Mp3ConversionTest, ProgressOfAPaddedClipStopsAtTheTimelinesEnd) {
  ChooseMp3(128, 44100);
  Call(dispidInitControl);
  ASSERT_TRUE(AddVideo(Clip(), 0, 4));
  ASSERT_TRUE(AddAudio(Clip(), 0, 4));
  ASSERT_TRUE(CallBool(dispidSave, {COleVariant(Output("padded_mp3.avi").c_str())}));
  SendMessageA(GetWindow(wrapper.m_hWnd, GW_CHILD), WM_TIMER, 1, 0);
  ASSERT_TRUE(PumpUntilComplete());
  EXPECT_EQ(1, host.completes);

  ASSERT_FALSE(host.progress.empty());
  double last = 0;
  for (const auto& p : host.progress) {
    EXPECT_GE(p.position, last);
    EXPECT_LE(p.position, 4.0);
    EXPECT_DOUBLE_EQ(4.0, p.duration);
    last = p.position;
  }
  const testing_support::ProbedFile file = testing_support::ProbeFile(Output("padded_mp3.avi"));
  ASSERT_EQ("", file.error);
  ASSERT_NE(nullptr, file.Video());
  EXPECT_NEAR(60, file.Video()->packets, 1);
  ASSERT_NE(nullptr, file.Audio());
  EXPECT_NEAR(4.0, file.Audio()->seconds, 0.15);
}
}  // namespace
