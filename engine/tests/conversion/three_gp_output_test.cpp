// 3GP: the writer's codes choose MPEG-4 or H.263 and AAC or AMR-NB; the picture stays within
// 320x240, and H.263 takes the largest of its own sizes that fits.
#include "output_check.h"

namespace {

struct ThreeGpCase {
  const char* name;
  LONG videoCodec;  // Video3GPVideoCodec
  LONG audioCodec;  // Video3GPAudioCodec
  short width;
  short height;
  const char* video;
  int fileWidth;
  int fileHeight;
  const char* audio;
  int sampleRate;
};
// Named in test output by its name, not by its bytes.
void PrintTo(const ThreeGpCase& c, std::ostream* os) { *os << c.name; }


class ThreeGpOutputTest : public OutputConversion, public ::testing::WithParamInterface<ThreeGpCase> {};

TEST_P(ThreeGpOutputTest, FileHasTheCodecsAndPictureTheCodesGive) {
  const ThreeGpCase& c = GetParam();
  Put(dispidVideo3GPVideoCodec, COleVariant(c.videoCodec));
  Put(dispidVideo3GPAudioCodec, COleVariant(c.audioCodec));
  Put(dispidVideo3GPAudioSampleRate, COleVariant(LONG(22050)));
  Put(dispidOutputFileWidth, COleVariant(c.width));
  Put(dispidOutputFileHeight, COleVariant(c.height));
  const std::string path = Output(std::string(c.name) + ".3gp");
  ASSERT_TRUE(Convert(15, path));
  ASSERT_TRUE(PumpUntilComplete());

  const DecodedFile file = DecodeFile(path);
  ASSERT_EQ("", file.error);
  EXPECT_EQ(0, file.decodeErrors);
  EXPECT_EQ(c.video, file.videoCodec);
  EXPECT_EQ(c.fileWidth, file.width);
  EXPECT_EQ(c.fileHeight, file.height);
  EXPECT_NEAR(15, file.frameRate, 0.01);
  EXPECT_NEAR(2.0, file.videoSeconds, 1.0 / 15 + 1e-6);
  EXPECT_EQ(c.audio, file.audioCodec);
  EXPECT_EQ(c.sampleRate, file.sampleRate);
  EXPECT_EQ(1, file.channels);
  EXPECT_NEAR(2.0, file.audioSeconds, 0.1);
  ExpectUpright(path);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ThreeGpOutputTest,
    ::testing::Values(ThreeGpCase{"Mpeg4Aac", 0, 0, 176, 144, "mpeg4", 176, 144, "aac", 22050},
                      ThreeGpCase{"Mpeg4AacLimited", 0, 0, 640, 480, "mpeg4", 320, 240, "aac", 22050},
                      ThreeGpCase{"H263Amr", 1, 1, 640, 480, "h263", 176, 144, "amrnb", 8000},
                      ThreeGpCase{"H263AmrSmall", 1, 1, 160, 120, "h263", 128, 96, "amrnb", 8000}),
    [](const ::testing::TestParamInfo<ThreeGpCase>& info) { return info.param.name; });

}  // namespace
