// QuickTime: the compressor properties choose the codecs by their four-character codes, with the
// nearest encodable codec for codes there is no encoder for; the picture fits what the codec
// allows; the sound has the QuickTime channels and rate. The graph keeps its clock and the
// progress comes from the writer's own count.
#include "output_check.h"

namespace {

struct QuickTimeCase {
  const char* name;
  short video;  // QTVideoCompressor
  short audio;  // QTAudioCompressor
  const char* videoCodec;
  int width;
  int height;
  const char* audioCodec;
};
// Named in test output by its name, not by its bytes.
void PrintTo(const QuickTimeCase& c, std::ostream* os) { *os << c.name; }


class QuickTimeOutputTest : public OutputConversion, public ::testing::WithParamInterface<QuickTimeCase> {};

TEST_P(QuickTimeOutputTest, MovieHasTheCodecsTheCompressorsName) {
  const QuickTimeCase& c = GetParam();
  Put(dispidOutputFileWidth, COleVariant(short(320)));
  Put(dispidOutputFileHeight, COleVariant(short(240)));
  Put(dispidQTVideoCompressor, COleVariant(c.video));
  Put(dispidQTAudioCompressor, COleVariant(c.audio));
  Put(dispidQTAudioChannels, COleVariant(short(2)));
  Put(dispidQTAudioSampleRate, COleVariant(LONG(22050)));
  const std::string path = Output(std::string(c.name) + ".mov");
  ASSERT_TRUE(Convert(10, path, 1.0));
  ASSERT_TRUE(PumpUntilComplete());

  const DecodedFile file = DecodeFile(path);
  ASSERT_EQ("", file.error);
  EXPECT_EQ(0, file.decodeErrors);
  EXPECT_EQ(c.videoCodec, file.videoCodec);
  EXPECT_EQ(c.width, file.width);
  EXPECT_EQ(c.height, file.height);
  EXPECT_NEAR(15, file.frameRate, 0.01);
  EXPECT_NEAR(1.0, file.videoSeconds, 1.0 / 15 + 1e-6);
  EXPECT_EQ(c.audioCodec, file.audioCodec);
  EXPECT_EQ(22050, file.sampleRate);
  EXPECT_EQ(2, file.channels);
  EXPECT_NEAR(1.0, file.audioSeconds, 0.1);
  ExpectUpright(path);

  // Whole seconds written against the timeline's length; no tick before the writer could count.
  ASSERT_FALSE(host.progress.empty());
  for (const CEventHost::Progress& p : host.progress) {
    EXPECT_GE(p.position, 0);
    EXPECT_LE(p.position, 1.0);
    EXPECT_EQ(p.position, double(long(p.position)));
    EXPECT_DOUBLE_EQ(1.0, p.duration);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, QuickTimeOutputTest,
    ::testing::Values(QuickTimeCase{"AnimationIn24", 0, 0, "qtrle", 320, 240, "pcm_s24be"},
                      QuickTimeCase{"WindowsRleAsAnimationIn32", 1, 1, "qtrle", 320, 240, "pcm_s32be"},
                      QuickTimeCase{"Yuv2Alaw", 2, 2, "rawvideo", 320, 240, "pcm_alaw"},
                      QuickTimeCase{"H261Ima4", 3, 3, "h261", 176, 144, "adpcm_ima_qt"},
                      QuickTimeCase{"H263Mac3AsIma4", 4, 4, "h263", 176, 144, "adpcm_ima_qt"},
                      QuickTimeCase{"AvcMac6AsIma4", 5, 5, "h264", 320, 240, "adpcm_ima_qt"},
                      QuickTimeCase{"JpegUlaw", 6, 6, "mjpeg", 320, 240, "pcm_mulaw"},
                      QuickTimeCase{"Mpeg4UnknownSoundAsIn24", 7, -1, "mpeg4", 320, 240, "pcm_s24be"},
                      QuickTimeCase{"Svq3AsAvc", 8, 0, "h264", 320, 240, "pcm_s24be"},
                      QuickTimeCase{"Svq1", 9, 0, "svq1", 320, 240, "pcm_s24be"},
                      QuickTimeCase{"UnknownVideoAsAvc", 12, 0, "h264", 320, 240, "pcm_s24be"}),
    [](const ::testing::TestParamInfo<QuickTimeCase>& info) { return info.param.name; });

}  // namespace
