// Saves of the timeline's sound alone: WAV at every sample size the arguments allow, Windows
// Media by profile, MP3 at legal and snapped rates; progress on the sound timer; and what is
// refused.
#include <fstream>
#include <iterator>

#include "output_check.h"

namespace {

// The numbers of a WAV file's format chunk.
struct WaveHeader {
  int channels = 0;
  int rate = 0;
  int bytesPerSecond = 0;
  int blockAlign = 0;
  int bits = 0;
};

WaveHeader ReadWaveHeader(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto number = [&](size_t at, int size) {
    int value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | uint8_t(bytes[at + size_t(i)]);
    return value;
  };
  WaveHeader header;
  const size_t fmt = bytes.find("fmt ");
  if (fmt == std::string::npos || fmt + 24 > bytes.size()) return header;
  header.channels = number(fmt + 10, 2);
  header.rate = number(fmt + 12, 4);
  header.bytesPerSecond = number(fmt + 16, 4);
  header.blockAlign = number(fmt + 20, 2);
  header.bits = number(fmt + 22, 2);
  return header;
}

class SoundSaveTest : public OutputConversion {
 protected:
  // InitControl with the clip's sound (and picture when asked) on the timeline.
  void Timeline(bool audio, bool video) {
    Call(dispidInitControl);
    if (video) {
      ASSERT_TRUE(AddVideo(Clip(), 0, 2));
    }
    if (audio) {
      ASSERT_TRUE(AddAudio(Clip(), 0, 2));
    }
  }
  bool SaveWave(const std::string& path, short channels, LONG rate, short size) {
    return CallBool(dispidSave2Wave,
                    {COleVariant(path.c_str()), COleVariant(channels), COleVariant(rate), COleVariant(size)});
  }
  bool SaveMp3(const std::string& path, LONG rate, short kbps) {
    return CallBool(dispidSave2MP3, {COleVariant(path.c_str()), COleVariant(rate), COleVariant(kbps)});
  }
};

struct WaveCase {
  const char* name;
  short channels;
  LONG rate;
  short size;  // Save2Wave's last argument
  const char* codec;
  int bits;
};
// Named in test output by its name, not by its bytes.
void PrintTo(const WaveCase& c, std::ostream* os) { *os << c.name; }


class WaveSaveTest : public SoundSaveTest, public ::testing::WithParamInterface<WaveCase> {};

TEST_P(WaveSaveTest, WaveHasTheAskedFormatAndTheTimelinesLength) {
  const WaveCase& c = GetParam();
  Timeline(true, true);
  const std::string path = Output(std::string(c.name) + ".wav");
  ASSERT_TRUE(SaveWave(path, c.channels, c.rate, c.size));
  // The sound timer's tick, before the end is read: progress against the timeline's length.
  ::SendMessageA(GetWindow(wrapper.m_hWnd, GW_CHILD), WM_TIMER, 2, 0);
  ASSERT_EQ(1u, host.progress.size());
  EXPECT_DOUBLE_EQ(2.0, host.progress[0].duration);
  EXPECT_GE(host.progress[0].position, 0.0);
  EXPECT_LE(host.progress[0].position, 2.0);
  ASSERT_TRUE(PumpUntilComplete());

  const DecodedFile file = DecodeFile(path);
  ASSERT_EQ("", file.error);
  EXPECT_EQ("wav", file.format);
  EXPECT_EQ(0, file.decodeErrors);
  EXPECT_EQ(c.codec, file.audioCodec);
  EXPECT_EQ("", file.videoCodec);
  EXPECT_NEAR(2.0, file.audioSeconds, 0.05);
  const WaveHeader header = ReadWaveHeader(path);
  EXPECT_EQ(c.channels, header.channels);
  EXPECT_EQ(c.rate, header.rate);
  EXPECT_EQ(c.bits, header.bits);
  EXPECT_EQ(c.channels * c.bits / 8, header.blockAlign);
  EXPECT_EQ(c.rate * c.channels * c.bits / 8, header.bytesPerSecond);
}

INSTANTIATE_TEST_SUITE_P(Formats, WaveSaveTest,
                         ::testing::Values(WaveCase{"Cd", 2, 44100, 2, "pcm_s16le", 16},
                                           WaveCase{"Speech", 1, 8000, 1, "pcm_u8", 8},
                                           WaveCase{"BitsGiven", 2, 48000, 16, "pcm_s16le", 16},
                                           WaveCase{"FourBytes", 2, 192000, 4, "pcm_s32le", 32},
                                           WaveCase{"Surround", 6, 48000, 32, "pcm_s32le", 32}),
                         [](const ::testing::TestParamInfo<WaveCase>& info) { return info.param.name; });

TEST_F(SoundSaveTest, WaveArgumentsOutsideTheirRangesAreRefused) {
  Timeline(true, false);
  const std::string path = Output("refused.wav");
  EXPECT_FALSE(SaveWave(path, 0, 44100, 2));
  EXPECT_FALSE(SaveWave(path, 9, 44100, 2));
  EXPECT_FALSE(SaveWave(path, 2, 7999, 2));
  EXPECT_FALSE(SaveWave(path, 2, 192001, 2));
  EXPECT_FALSE(SaveWave(path, 2, 44100, 0));
  EXPECT_FALSE(SaveWave(path, 2, 44100, 5));
  EXPECT_FALSE(SaveWave(path, 2, 44100, 12));
  EXPECT_EQ(0, host.completes);
}

// With OutputAudio off the timeline has no sound group.
TEST_F(SoundSaveTest, WithoutASoundGroupWaveAndMp3AreRefused) {
  Put(dispidOutputAudio, COleVariant(short(0), VT_BOOL));
  Timeline(false, true);
  EXPECT_FALSE(SaveWave(Output("silent.wav"), 2, 44100, 2));
  Timeline(false, true);
  EXPECT_FALSE(SaveMp3(Output("silent.mp3"), 44100, 128));
}

TEST_F(SoundSaveTest, NoSaveStartsWhileAConversionOrAnotherSaveRuns) {
  Timeline(true, true);
  ASSERT_TRUE(SaveMp3(Output("first.mp3"), 44100, 128));
  EXPECT_FALSE(SaveWave(Output("second.wav"), 2, 44100, 2));
  EXPECT_FALSE(SaveMp3(Output("second.mp3"), 44100, 128));
  EXPECT_FALSE(CallBool(dispidSave2WMA, {COleVariant(Output("second.wma").c_str())}));
  ASSERT_TRUE(PumpUntilComplete());

  host.completes = 0;
  Put(dispidOutputType, COleVariant(LONG(8)));
  Timeline(true, true);
  ASSERT_TRUE(CallBool(dispidSave, {COleVariant(Output("running.avi").c_str())}));
  EXPECT_FALSE(SaveMp3(Output("during.mp3"), 44100, 128));
  ASSERT_TRUE(PumpUntilComplete());
}

struct Mp3Case {
  const char* name;
  LONG rate;
  short kbps;
  int fileRate;
};
// Named in test output by its name, not by its bytes.
void PrintTo(const Mp3Case& c, std::ostream* os) { *os << c.name; }


class Mp3SaveTest : public SoundSaveTest, public ::testing::WithParamInterface<Mp3Case> {};

TEST_P(Mp3SaveTest, Mp3AtTheNearestLegalRate) {
  const Mp3Case& c = GetParam();
  Timeline(true, false);
  const std::string path = Output(std::string(c.name) + ".mp3");
  ASSERT_TRUE(SaveMp3(path, c.rate, c.kbps));
  ASSERT_TRUE(PumpUntilComplete());
  const DecodedFile file = DecodeFile(path);
  ASSERT_EQ("", file.error);
  EXPECT_EQ("mp3", file.format);
  EXPECT_EQ(0, file.decodeErrors);
  EXPECT_EQ("mp3float", file.audioCodec);
  EXPECT_EQ(c.fileRate, file.sampleRate);
  EXPECT_EQ(2, file.channels);
  EXPECT_NEAR(2.0, file.audioSeconds, 0.15);
}

INSTANTIATE_TEST_SUITE_P(Rates, Mp3SaveTest,
                         ::testing::Values(Mp3Case{"Legal", 44100, 128, 44100}, Mp3Case{"Low", 22050, 64, 22050},
                                           Mp3Case{"Snapped", 40000, 128, 44100}),
                         [](const ::testing::TestParamInfo<Mp3Case>& info) { return info.param.name; });

struct WmaCase {
  const char* profile;
  int rate;
  int channels;
  bool video;
};
// Named in test output by its values, not by its bytes.
void PrintTo(const WmaCase& c, std::ostream* os) { *os << c.profile; }


class WmaSaveTest : public SoundSaveTest, public ::testing::WithParamInterface<WmaCase> {};

// Every group goes to the writer: a profile with video takes the picture too.
TEST_P(WmaSaveTest, WindowsMediaFileHasTheProfilesStreams) {
  const WmaCase& c = GetParam();
  const short profile = IndexOf(dispidWMVProfiles, c.profile);
  ASSERT_GE(profile, 0);
  Put(dispidWMVProfile, COleVariant(profile));
  Timeline(true, true);
  const std::string path = Output(std::string("profile") + std::to_string(profile) + ".wma");
  ASSERT_TRUE(CallBool(dispidSave2WMA, {COleVariant(path.c_str())}));
  ASSERT_TRUE(PumpUntilComplete());
  const DecodedFile file = DecodeFile(path);
  ASSERT_EQ("", file.error);
  EXPECT_EQ("asf", file.format);
  EXPECT_EQ(0, file.decodeErrors);
  EXPECT_EQ("wmav2", file.audioCodec);
  EXPECT_EQ(c.rate, file.sampleRate);
  EXPECT_EQ(c.channels, file.channels);
  EXPECT_NEAR(2.0, file.audioSeconds, 0.2);
  EXPECT_EQ(c.video, !file.videoCodec.empty());
}

INSTANTIATE_TEST_SUITE_P(Profiles, WmaSaveTest,
                         ::testing::Values(WmaCase{"Audio for dial-up modems (mono, 24 Kbps)", 22050, 1, false},
                                           WmaCase{"Audio at CD quality (stereo, 128 Kbps)", 44100, 2, false},
                                           WmaCase{"Video for dial-up modems (160x120, 56 Kbps)", 22050, 1, true}));

}  // namespace
