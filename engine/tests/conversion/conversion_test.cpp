// Whole conversions through the control: clips made at test time, Save to AVI and WMV, the
// messages pumped until Complete, the file probed. Also the run-flag rules around Save.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "hosted_control.h"
#include "testing/media_fixtures.h"
#include "testing/media_probe.h"
#include "testing/sandbox.h"
#include "testing/ui_driver.h"
#include "wmf/wmsdk.h"

namespace {

using testing_support::ProbedFile;

class ConversionTest : public HostedControl {
 protected:
  static void SetUpTestSuite() {
    HostedControl::SetUpTestSuite();
    testing_support::ClipOptions options;
    options.format = "avi";
    options.videoEncoder = "mpeg4";
    options.audioEncoder = "pcm_s16le";
    options.seconds = 2.0;
    ASSERT_EQ("", testing_support::MakeClip(Clip(), options));
    options.seconds = 8.0;
    ASSERT_EQ("", testing_support::MakeClip(LongClip(), options));
  }
  static std::string Clip() { return testing_support::SandboxDir() + "/clip.avi"; }
  static std::string LongClip() { return testing_support::SandboxDir() + "/long.avi"; }
  static std::string Output(const char* name) { return testing_support::SandboxDir() + "/" + name; }

  bool Save(const std::string& file) { return CallBool(dispidSave, {COleVariant(file.c_str())}); }
  void Flag(DISPID id, bool on) { Put(id, COleVariant(short(on ? VARIANT_TRUE : 0), VT_BOOL)); }

  // Pumps the messages, moving the virtual clock so the progress timer fires, until Complete
  // (or the condition) is seen. The real-time bound only keeps a broken conversion from hanging.
  bool PumpUntil(const std::function<bool()>& done) {
    const auto guard = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (!done()) {
      if (std::chrono::steady_clock::now() > guard) return false;
      ui.AdvanceClock(10);
      std::this_thread::yield();
    }
    return true;
  }
  // One tick of the progress timer before any message is pumped, so that a conversion finishing
  // before the clock reaches the first tick still reports progress.
  void TickProgressTimer() {
    HWND controlWindow = GetWindow(wrapper.m_hWnd, GW_CHILD);
    ASSERT_NE(controlWindow, nullptr);
    SendMessageA(controlWindow, WM_TIMER, 1, 0);
  }
  bool PumpUntilComplete() {
    return PumpUntil([this] { return host.completes > 0; });
  }

  // Positions never go back nor pass the timeline's end, and the duration is the timeline's.
  void ExpectSteadyProgress(double duration) {
    ASSERT_FALSE(host.progress.empty());
    double last = 0;
    for (const auto& p : host.progress) {
      EXPECT_GE(p.position, last);
      EXPECT_LE(p.position, duration);
      EXPECT_DOUBLE_EQ(duration, p.duration);
      last = p.position;
    }
  }

  testing_ui::UiDriver ui;
};

TEST_F(ConversionTest, AviOfTrimmedJoinedClipsIsAsLongAsTheTimeline) {
  Call(dispidInitControl);
  ASSERT_TRUE(AddVideo(Clip(), 0.5, 1.5));
  ASSERT_TRUE(AddVideo(Clip(), 0.0, 1.0));
  ASSERT_TRUE(AddAudio(Clip(), 0.5, 1.5));
  ASSERT_TRUE(AddAudio(Clip(), 0.0, 1.0));
  ASSERT_DOUBLE_EQ(2.0, TotalDuration());

  ASSERT_TRUE(Save(Output("joined.avi")));
  TickProgressTimer();
  ASSERT_TRUE(PumpUntilComplete());
  EXPECT_EQ(1, host.completes);
  ExpectSteadyProgress(2.0);

  const ProbedFile file = testing_support::ProbeFile(Output("joined.avi"));
  ASSERT_EQ("", file.error);
  EXPECT_EQ("avi", file.format);
  ASSERT_NE(nullptr, file.Video());
  EXPECT_EQ("rawvideo", file.Video()->codec);
  EXPECT_EQ(320, file.Video()->width);
  EXPECT_EQ(240, file.Video()->height);
  EXPECT_NEAR(30, file.Video()->packets, 1);  // 2 s at 15 frames per second
  ASSERT_NE(nullptr, file.Audio());
  EXPECT_EQ("pcm_s16le", file.Audio()->codec);
  EXPECT_EQ(44100, file.Audio()->sampleRate);
  EXPECT_EQ(2, file.Audio()->channels);
  EXPECT_NEAR(2.0, file.Audio()->seconds, 0.1);

  // The end of the conversion ended the ready state: the clips must be added again.
  EXPECT_FALSE(Save(Output("again.avi")));
  EXPECT_FALSE(AddVideo(Clip(), 0, 1));
  EXPECT_EQ(0.0, TotalDuration());
}

TEST_F(ConversionTest, SlowMotionDoublesTheClipsLength) {
  Flag(dispidOutputAudio, false);
  Put(dispidFrameRate, COleVariant(10.0f));
  Call(dispidInitControl);
  ASSERT_TRUE(CallBool(dispidAddVideoWithSlowMotion, {COleVariant(Clip().c_str()), COleVariant(0.0),
                                                      COleVariant(1.0), COleVariant(short(0)), COleVariant(1.0)}));
  ASSERT_TRUE(Save(Output("slow.avi")));
  ASSERT_TRUE(PumpUntilComplete());
  const ProbedFile file = testing_support::ProbeFile(Output("slow.avi"));
  ASSERT_EQ("", file.error);
  ASSERT_NE(nullptr, file.Video());
  EXPECT_NEAR(20, file.Video()->packets, 1);
  EXPECT_EQ(nullptr, file.Audio());
}

struct CompressorCase {
  const char* video;
  const char* audio;
  short dvParam;
  const char* videoCodec;
  const char* audioCodec;
  int height;  // of the compressed picture
};
// Named in test output by its values, not by its bytes.
void PrintTo(const CompressorCase& c, std::ostream* os) { *os << c.video << " / " << c.audio; }


class CompressorTest : public ConversionTest, public ::testing::WithParamInterface<CompressorCase> {};

TEST_P(CompressorTest, AviTakesTheChosenCompressors) {
  const CompressorCase& c = GetParam();
  const short video = IndexOf(dispidVideoCompressors, c.video);
  const short audio = IndexOf(dispidAudioCompressors, c.audio);
  ASSERT_GE(video, 0) << c.video;
  ASSERT_GE(audio, 0) << c.audio;
  Put(dispidVideoCompressor, COleVariant(video));
  Put(dispidAudioCompressor, COleVariant(audio));
  Flag(dispidUseVideoCompressor, true);
  Flag(dispidUseAudioCompressor, true);
  Put(dispidDvVideoEncoderParam, COleVariant(c.dvParam));
  Call(dispidInitControl);
  ASSERT_TRUE(AddVideo(Clip(), 0, 1));
  ASSERT_TRUE(AddAudio(Clip(), 0, 1));
  ASSERT_TRUE(Save(Output("compressed.avi")));
  ASSERT_TRUE(PumpUntilComplete());

  const ProbedFile file = testing_support::ProbeFile(Output("compressed.avi"));
  ASSERT_EQ("", file.error);
  ASSERT_NE(nullptr, file.Video());
  EXPECT_EQ(c.videoCodec, file.Video()->codec);
  EXPECT_EQ(c.height, file.Video()->height);
  EXPECT_GT(file.Video()->packets, 0);
  ASSERT_NE(nullptr, file.Audio());
  EXPECT_EQ(c.audioCodec, file.Audio()->codec);
  EXPECT_NEAR(1.0, file.Audio()->seconds, 0.1);
  EXPECT_FALSE(Get(dispidUseAVILameEncoder).boolVal);
}

INSTANTIATE_TEST_SUITE_P(Compressors, CompressorTest,
                         ::testing::Values(CompressorCase{"DV Video Encoder", "PCM", 1, "dvvideo", "pcm_s16le", 576},
                                           CompressorCase{"DV Video Encoder", "PCM", 0, "dvvideo", "pcm_s16le", 480},
                                           CompressorCase{"MJPEG Compressor", "IMA ADPCM", 0, "mjpeg",
                                                          "adpcm_ima_wav", 240},
                                           CompressorCase{"MPEG-4 Video Encoder", "PCM", 0, "mpeg4", "pcm_s16le", 240}),
                         [](const ::testing::TestParamInfo<CompressorCase>& info) {
                           return std::string(info.param.videoCodec) + "_" + info.param.audioCodec + "_" +
                                  std::to_string(info.param.height);
                         });

TEST_F(ConversionTest, WmvTakesTheChosenSystemProfile) {
  const short profile = IndexOf(dispidWMVProfiles, "Video for pocket devices (176x144, 150 Kbps)");
  ASSERT_GE(profile, 0);
  Put(dispidOutputType, COleVariant(LONG(9)));
  Put(dispidWMVProfile, COleVariant(profile));
  Call(dispidInitControl);
  ASSERT_TRUE(AddVideo(Clip(), 0, 2));
  ASSERT_TRUE(AddAudio(Clip(), 0, 2));
  ASSERT_TRUE(Save(Output("pocket.wmv")));
  ASSERT_TRUE(PumpUntilComplete());
  EXPECT_EQ(1, host.completes);

  const ProbedFile file = testing_support::ProbeFile(Output("pocket.wmv"));
  ASSERT_EQ("", file.error);
  EXPECT_EQ("asf", file.format);
  ASSERT_NE(nullptr, file.Video());
  EXPECT_EQ(176, file.Video()->width);
  EXPECT_EQ(144, file.Video()->height);
  EXPECT_NEAR(2.0, file.Video()->seconds, 0.2);
  ASSERT_NE(nullptr, file.Audio());
  EXPECT_EQ(22050, file.Audio()->sampleRate);
}

TEST_F(ConversionTest, WmvTakesAProfileFileOverTheChosenProfile) {
  // The dial-up profile, written out as a profile file.
  IWMProfileManager* manager = nullptr;
  ASSERT_EQ(S_OK, WMCreateProfileManager(&manager));
  IWMProfile* modem = nullptr;
  ASSERT_EQ(S_OK, manager->LoadProfileByID(WMProfile_V80_VideoModem, &modem));
  DWORD length = 0;
  ASSERT_EQ(S_OK, manager->SaveProfile(modem, nullptr, &length));
  std::vector<WCHAR> text(length);
  ASSERT_EQ(S_OK, manager->SaveProfile(modem, text.data(), &length));
  modem->Release();
  manager->Release();
  const std::string prx = Output("modem.prx");
  std::ofstream(prx, std::ios::binary).write(reinterpret_cast<const char*>(text.data()),
                                             std::streamsize((length - 1) * sizeof(WCHAR)));

  Put(dispidOutputType, COleVariant(LONG(9)));
  Put(dispidWMVProfile, COleVariant(IndexOf(dispidWMVProfiles, "Video for pocket devices (176x144, 150 Kbps)")));
  Put(dispidWMVCustomFileName, COleVariant(prx.c_str()));
  Call(dispidInitControl);
  ASSERT_TRUE(AddVideo(Clip(), 0, 1));
  ASSERT_TRUE(AddAudio(Clip(), 0, 1));
  ASSERT_TRUE(Save(Output("modem.wmv")));
  ASSERT_TRUE(PumpUntilComplete());
  const ProbedFile file = testing_support::ProbeFile(Output("modem.wmv"));
  ASSERT_EQ("", file.error);
  ASSERT_NE(nullptr, file.Video());
  EXPECT_EQ(160, file.Video()->width);
  EXPECT_EQ(120, file.Video()->height);

  // A profile file that cannot be read fails the Save.
  Put(dispidWMVCustomFileName, COleVariant(Output("missing.prx").c_str()));
  Call(dispidInitControl);
  ASSERT_TRUE(AddVideo(Clip(), 0, 1));
  EXPECT_FALSE(Save(Output("missing.wmv")));
}

TEST_F(ConversionTest, AudioOnlyTimelineGivesABlackPictureOfItsLength) {
  Call(dispidInitControl);
  ASSERT_TRUE(AddAudio(Clip(), 0, 1.5));
  ASSERT_TRUE(Save(Output("audio.avi")));
  ASSERT_TRUE(PumpUntilComplete());
  const ProbedFile file = testing_support::ProbeFile(Output("audio.avi"));
  ASSERT_EQ("", file.error);
  ASSERT_NE(nullptr, file.Audio());
  EXPECT_NEAR(1.5, file.Audio()->seconds, 0.1);
  ASSERT_NE(nullptr, file.Video());
  EXPECT_NEAR(22, file.Video()->packets, 1);
}

struct OwnSizeCase {
  short width, height;
  short bits;  // the video group's sample size
};
// Named in test output by its values, not by its bytes.
void PrintTo(const OwnSizeCase& c, std::ostream* os) { *os << c.width << "x" << c.height << "x" << c.bits; }


class OwnSizeTest : public ConversionTest, public ::testing::WithParamInterface<OwnSizeCase> {};

// A clip saved to uncompressed AVI at its own size, widths of no whole number of 16-pixel blocks:
// decoded, the file's picture is upright and every row keeps its first and last pixels.
TEST_P(OwnSizeTest, AviAtTheClipsOwnSizeIsUprightWithWholeRows) {
  const OwnSizeCase& c = GetParam();
  testing_support::ClipOptions options;
  options.format = "avi";
  options.videoEncoder = "mpeg4";
  options.audioEncoder = "";
  options.width = c.width;
  options.height = c.height;
  options.seconds = 0.4;
  options.markedEdges = true;
  const std::string clip = Output(("marked" + std::to_string(c.width) + ".avi").c_str());
  ASSERT_EQ("", testing_support::MakeClip(clip, options));

  Flag(dispidOutputAudio, false);
  Put(dispidOutputFileWidth, COleVariant(c.width));
  Put(dispidOutputFileHeight, COleVariant(c.height));
  Put(dispidVideoSampleSize, COleVariant(c.bits));
  Call(dispidInitControl);
  ASSERT_TRUE(AddVideo(clip, 0, 0.4));
  const std::string out = Output(("own" + std::to_string(c.width) + "_" + std::to_string(c.bits) + ".avi").c_str());
  ASSERT_TRUE(Save(out));
  ASSERT_TRUE(PumpUntilComplete());

  const ProbedFile file = testing_support::ProbeFile(out);
  ASSERT_EQ("", file.error);
  ASSERT_NE(nullptr, file.Video());
  EXPECT_EQ("rawvideo", file.Video()->codec);
  EXPECT_EQ(c.width, file.Video()->width);
  EXPECT_EQ(c.height, file.Video()->height);
  const testing_support::ProbedPicture picture = testing_support::FirstPicture(out);
  ASSERT_EQ("", picture.error);
  EXPECT_EQ("", testing_support::MarkedEdgesFault(picture.width, picture.height, [&](int x, int y) {
              const uint8_t* p = picture.Pixel(x, y);
              return testing_support::Rgb{p[0], p[1], p[2]};
            }));
}

INSTANTIATE_TEST_SUITE_P(Sizes, OwnSizeTest,
                         ::testing::Values(OwnSizeCase{170, 96, 16}, OwnSizeCase{426, 240, 16},
                                           OwnSizeCase{426, 240, 24}, OwnSizeCase{426, 240, 32}),
                         [](const ::testing::TestParamInfo<OwnSizeCase>& info) {
                           return std::to_string(info.param.width) + "x" + std::to_string(info.param.height) + "_" +
                                  std::to_string(info.param.bits) + "bits";
                         });

TEST_F(ConversionTest, AnOutputFileThatCannotBeOpenedFailsTheSaveAndNothingRuns) {
  Call(dispidInitControl);
  ASSERT_TRUE(AddVideo(Clip(), 0, 1));
  EXPECT_FALSE(Save(Output("no/such/folder/out.avi")));
  ui.AdvanceClock(100);
  EXPECT_EQ(0, host.completes);
  EXPECT_TRUE(host.progress.empty());
  EXPECT_EQ(nullptr, ::GetWindow(site->GetControlWindow(), GW_CHILD));
}

// A write failure ends the run as every run ends, with one Complete, but the incomplete file is
// removed and the user is told. The output names a full disk through a link, so that removing
// the output removes the link.
TEST_F(ConversionTest, AWriteFailureRemovesTheOutputTellsTheUserAndCompletes) {
  for (LONG type : {8L, 9L}) {
    host.completes = 0;
    const std::string out = Output(type == 8 ? "full.avi" : "full.wmv");
    std::filesystem::remove(out);
    std::filesystem::create_symlink("/dev/full", out);
    Put(dispidOutputType, COleVariant(type));
    Call(dispidInitControl);
    ASSERT_TRUE(AddVideo(Clip(), 0, 2));
    ASSERT_TRUE(AddAudio(Clip(), 0, 2));
    ui.AnswerMessageBox(IDOK);
    ASSERT_TRUE(Save(out));
    ASSERT_TRUE(PumpUntilComplete()) << type;
    ui.AdvanceClock(100);
    EXPECT_EQ(1, host.completes) << type;
    ASSERT_FALSE(ui.Seen().empty()) << type;
    EXPECT_TRUE(ui.Seen().back().messageBox);
    EXPECT_EQ("Failed to write the output file:\n" + out, ui.Seen().back().text);
    EXPECT_FALSE(std::filesystem::is_symlink(out)) << "the incomplete output is left: " << type;
    EXPECT_TRUE(std::filesystem::exists("/dev/full"));
    EXPECT_FALSE(AddVideo(Clip(), 0, 1)) << "the conversion ended: " << type;
  }
}

TEST_F(ConversionTest, ACorruptInputStillEndsWithOneComplete) {
  // The clip's middle overwritten with noise.
  const std::string corrupt = Output("corrupt.avi");
  {
    std::ifstream in(Clip(), std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (size_t i = bytes.size() / 3; i < bytes.size() * 2 / 3; ++i) bytes[i] = char(i * 131 + 7);
    std::ofstream(corrupt, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
  }
  Call(dispidInitControl);
  ASSERT_TRUE(AddVideo(corrupt, 0, 2));
  ASSERT_TRUE(AddAudio(corrupt, 0, 2));
  ASSERT_TRUE(Save(Output("from_corrupt.avi")));
  ASSERT_TRUE(PumpUntilComplete());
  ui.AdvanceClock(100);
  EXPECT_EQ(1, host.completes);
  EXPECT_EQ("", testing_support::ProbeFile(Output("from_corrupt.avi")).error);
}

// A clip cut off in the middle of a packet fails to decode there: the run ends with what was
// converted, and as nothing failed to write, the file stays and nobody is told.
TEST_F(ConversionTest, AStreamThatFailsToDecodeKeepsWhatWasConvertedWithoutAMessage) {
  const std::string cut = Output("cut.avi");
  {
    std::ifstream in(LongClip(), std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream(cut, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size() / 2));
  }
  Call(dispidInitControl);
  ASSERT_TRUE(AddVideo(cut, 0, 8));
  ASSERT_TRUE(AddAudio(cut, 0, 8));
  ASSERT_TRUE(Save(Output("from_cut.avi")));
  ASSERT_TRUE(PumpUntilComplete());
  ui.AdvanceClock(100);
  EXPECT_EQ(1, host.completes);
  EXPECT_TRUE(ui.Seen().empty());
  EXPECT_EQ("", testing_support::ProbeFile(Output("from_cut.avi")).error);
}

TEST_F(ConversionTest, StopEndsTheRunWithoutCompleteAndLeavesAPlayableFile) {
  Call(dispidInitControl);
  // Slowed down to ten times its length, so that however fast the machine, the conversion is still
  // running when it is stopped.
  ASSERT_TRUE(CallBool(dispidAddVideoWithSlowMotion, {COleVariant(LongClip().c_str()), COleVariant(0.0),
                                                      COleVariant(8.0), COleVariant(short(0)), COleVariant(9.0)}));
  ASSERT_TRUE(CallBool(dispidAddAudioWithSlowMotion,
                       {COleVariant(LongClip().c_str()), COleVariant(0.0), COleVariant(8.0), COleVariant(9.0)}));
  ASSERT_DOUBLE_EQ(80.0, TotalDuration());
  ASSERT_TRUE(Save(Output("stopped.avi")));
  // The live view plays inside the control.
  const HWND view = ::GetWindow(site->GetControlWindow(), GW_CHILD);
  ASSERT_NE(nullptr, view);
  CRect client;
  ::GetClientRect(view, &client);
  EXPECT_EQ(CRect(0, 0, 320, 240), client);
  // A double-click on it reaches the container as the control's own.
  ::SendMessageA(view, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
  ASSERT_TRUE(PumpUntil([this] { return host.dblClicks > 0; }));
  EXPECT_EQ(1, host.dblClicks);
  ASSERT_TRUE(PumpUntil([this] { return !host.progress.empty() || host.completes > 0; }));
  ASSERT_EQ(0, host.completes) << "the conversion ended before it could be stopped";
  Call(dispidStop);
  ui.AdvanceClock(100);
  EXPECT_EQ(0, host.completes);
  EXPECT_FALSE(Save(Output("again.avi")));

  const ProbedFile file = testing_support::ProbeFile(Output("stopped.avi"));
  ASSERT_EQ("", file.error);
  ASSERT_NE(nullptr, file.Video());
  EXPECT_LT(file.Video()->seconds, 80.0);
}

TEST_F(ConversionTest, SaveKeepsItsRunFlagRules) {
  EXPECT_FALSE(Save(Output("early.avi")));  // before InitControl

  // Types that do not exist are refused untouched.
  for (LONG type : {18L, -1L}) {
    Put(dispidOutputType, COleVariant(type));
    Call(dispidInitControl);
    EXPECT_FALSE(Save(Output("other.out"))) << type;
    EXPECT_TRUE(AddVideo(Clip(), 0, 1)) << type;
  }

  // An empty name fails and leaves the control busy until the next InitControl.
  Put(dispidOutputType, COleVariant(LONG(8)));
  Call(dispidInitControl);
  ASSERT_TRUE(AddVideo(Clip(), 0, 1));
  EXPECT_FALSE(Save(""));
  EXPECT_FALSE(Save(Output("busy.avi")));
  Call(dispidInitControl);
  ASSERT_TRUE(AddVideo(Clip(), 0, 1));
  ASSERT_TRUE(Save(Output("after.avi")));
  EXPECT_FALSE(Save(Output("twice.avi")));  // busy while it runs
  ASSERT_TRUE(PumpUntilComplete());
  EXPECT_EQ(1, host.completes);
}

TEST_F(ConversionTest, MpegLayer3ForAviAsksForTheMp3EncoderFilter) {
  // Past the end of its category nothing is bound, and a compressor in use is then missing.
  Flag(dispidUseAudioCompressor, true);
  Put(dispidAudioCompressor, COleVariant(short(500)));
  Call(dispidInitControl);
  ASSERT_TRUE(AddVideo(Clip(), 0, 1));
  EXPECT_FALSE(Save(Output("none.avi")));
  // The graph it had begun is gone, live view included.
  EXPECT_EQ(nullptr, ::GetWindow(site->GetControlWindow(), GW_CHILD));

  // The chosen compressor is left out for the MP3 encoder filter.
  const short mp3 = IndexOf(dispidAudioCompressors, "MPEG Layer-3");
  ASSERT_GE(mp3, 0);
  Put(dispidAudioCompressor, COleVariant(mp3));
  Call(dispidInitControl);
  ASSERT_TRUE(AddVideo(Clip(), 0, 1));
  ASSERT_TRUE(AddAudio(Clip(), 0, 1));
  ASSERT_TRUE(Save(Output("mp3.avi")));
  EXPECT_TRUE(Get(dispidUseAVILameEncoder).boolVal);
  ASSERT_TRUE(PumpUntilComplete());
}

}  // namespace
