// The disc types, MPEG-1 and MPEG-2: each file holds the codecs, picture, frame rate and sound its
// standard or the MPEG properties give, lasts as long as the clip and decodes cleanly.
#include "output_check.h"

namespace {

struct MpegCase {
  const char* name;
  short type;
  const char* videoCodec;
  int width;
  int height;
  double frameRate;
  const char* audioCodec;
  int sampleRate;
};
// Named in test output by its name, not by its bytes.
void PrintTo(const MpegCase& c, std::ostream* os) { *os << c.name; }


class MpegOutputTest : public OutputConversion, public ::testing::WithParamInterface<MpegCase> {};

TEST_P(MpegOutputTest, FileHasTheTypesStreamsAndLastsAsLongAsTheClip) {
  const MpegCase& c = GetParam();
  // The MPEG properties apply to MPEG-1 and MPEG-2 only; 15 frames a second is no MPEG rate.
  Put(dispidOutputFileWidth, COleVariant(short(320)));
  Put(dispidOutputFileHeight, COleVariant(short(240)));
  Put(dispidFrameRate, COleVariant(15.0f));
  const std::string path = Output(std::string(c.name) + ".mpg");
  ASSERT_TRUE(Convert(c.type, path));
  ASSERT_TRUE(PumpUntilComplete());

  const DecodedFile file = DecodeFile(path);
  ASSERT_EQ("", file.error);
  EXPECT_EQ(0, file.decodeErrors);
  EXPECT_EQ(c.videoCodec, file.videoCodec);
  EXPECT_EQ(c.width, file.width);
  EXPECT_EQ(c.height, file.height);
  EXPECT_NEAR(c.frameRate, file.frameRate, 0.01);
  EXPECT_NEAR(2.0, file.videoSeconds, 1.0 / c.frameRate + 1e-6);
  EXPECT_EQ(c.audioCodec, file.audioCodec);
  EXPECT_EQ(c.sampleRate, file.sampleRate);
  EXPECT_EQ(2, file.channels);
  EXPECT_NEAR(2.0, file.audioSeconds, 0.1);
  ExpectUpright(path);
}

INSTANTIATE_TEST_SUITE_P(
    Types, MpegOutputTest,
    ::testing::Values(MpegCase{"VcdPal", 0, "mpeg1video", 352, 288, 25, "mp2", 44100},
                      MpegCase{"VcdNtsc", 1, "mpeg1video", 352, 240, 30000 / 1001.0, "mp2", 44100},
                      MpegCase{"SvcdPal", 2, "mpeg2video", 480, 576, 25, "mp2", 44100},
                      MpegCase{"SvcdNtsc", 3, "mpeg2video", 480, 480, 30000 / 1001.0, "mp2", 44100},
                      MpegCase{"DvdPal", 4, "mpeg2video", 720, 576, 25, "ac3", 48000},
                      MpegCase{"DvdNtsc", 5, "mpeg2video", 720, 480, 30000 / 1001.0, "ac3", 48000},
                      MpegCase{"Mpeg1", 6, "mpeg1video", 320, 240, 24000 / 1001.0, "mp2", 44100},
                      MpegCase{"Mpeg2", 7, "mpeg2video", 320, 240, 24000 / 1001.0, "mp2", 44100}),
    [](const ::testing::TestParamInfo<MpegCase>& info) { return info.param.name; });

}  // namespace
