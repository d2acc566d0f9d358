// RealMedia: the chosen audience gives the codecs and rates, the picture is rounded down to what
// RealVideo codes, the video mode decides the frames; LoadRmProfiles lists the audiences, the
// built-in ones and the files of the audiences folder, appending on each call.
#include <filesystem>
#include <fstream>

#include "output_check.h"
#include "testing/sandbox.h"

namespace {

namespace fs = std::filesystem;

struct RealMediaCase {
  const char* name;
  short audience;
  short mode;
  short width;
  short height;
  const char* video;
  int fileWidth;
  int fileHeight;
  int frames;
  const char* audio;
  int sampleRate;
  int channels;
};
// Named in test output by its name, not by its bytes.
void PrintTo(const RealMediaCase& c, std::ostream* os) { *os << c.name; }


class RealMediaOutputTest : public OutputConversion, public ::testing::WithParamInterface<RealMediaCase> {};

TEST_P(RealMediaOutputTest, FileHasTheAudiencesCodecsAndTheModesFrames) {
  const RealMediaCase& c = GetParam();
  Put(dispidRMProfile, COleVariant(c.audience));
  Put(dispidRMVideoMode, COleVariant(c.mode));
  Put(dispidQTAudioChannels, COleVariant(short(2)));
  Put(dispidOutputFileWidth, COleVariant(c.width));
  Put(dispidOutputFileHeight, COleVariant(c.height));
  const std::string path = Output(std::string(c.name) + ".rm");
  ASSERT_TRUE(Convert(11, path));
  ASSERT_TRUE(PumpUntilComplete());

  const DecodedFile file = DecodeFile(path);
  ASSERT_EQ("", file.error);
  EXPECT_EQ("rm", file.format);
  EXPECT_EQ(0, file.decodeErrors);
  EXPECT_EQ(c.video, file.videoCodec);
  EXPECT_EQ(c.fileWidth, file.width);
  EXPECT_EQ(c.fileHeight, file.height);
  EXPECT_NEAR(c.frames, file.videoFrames, 1);
  EXPECT_EQ(c.audio, file.audioCodec);
  EXPECT_EQ(c.sampleRate, file.sampleRate);
  EXPECT_EQ(c.channels, file.channels);
  EXPECT_NEAR(2.0, file.audioSeconds, 0.15);
  ExpectUpright(path);
}

INSTANTIATE_TEST_SUITE_P(
    Audiences, RealMediaOutputTest,
    ::testing::Values(RealMediaCase{"Modem", 0, 0, 170, 130, "rv10", 160, 128, 30, "real_144", 8000, 1},
                      RealMediaCase{"Broadband", 4, 0, 322, 242, "rv20", 320, 240, 30, "ac3", 44100, 2},
                      RealMediaCase{"SharpestImage", 3, 2, 176, 144, "rv10", 176, 144, 15, "ac3", 44100, 2},
                      RealMediaCase{"SlideShow", 3, 3, 176, 144, "rv10", 176, 144, 2, "ac3", 44100, 2}),
    [](const ::testing::TestParamInfo<RealMediaCase>& info) { return info.param.name; });

class RealMediaListingTest : public OutputConversion {};

TEST_F(RealMediaListingTest, EachLoadAppendsTheAudiencesAndTheFolderFiles) {
  const std::string library = testing_support::SandboxDir() + "/real";
  fs::create_directories(library + "/audiences");
  std::ofstream(library + "/audiences/Talk Radio.rpr") << "<audience/>";
  Put(dispidRMDllPath, COleVariant(library.c_str()));

  EXPECT_EQ(0, Call(dispidGetRMProfilesCount).iVal);
  Call(dispidLoadRmProfiles);
  const short once = Call(dispidGetRMProfilesCount).iVal;
  ASSERT_EQ(9, once);
  EXPECT_EQ(CString("28k Dial-up Modem"), CString(Call(dispidGetRMProfileName, {COleVariant(short(0))}).bstrVal));
  EXPECT_EQ(CString("Talk Radio"), CString(Call(dispidGetRMProfileName, {COleVariant(short(8))}).bstrVal));
  Call(dispidLoadRmProfiles);
  EXPECT_EQ(2 * once, Call(dispidGetRMProfilesCount).iVal);
  EXPECT_EQ(CString("Talk Radio"), CString(Call(dispidGetRMProfileName, {COleVariant(short(17))}).bstrVal));
  EXPECT_EQ(CString(""), CString(Call(dispidGetRMProfileName, {COleVariant(short(18))}).bstrVal));
  EXPECT_EQ(CString(""), CString(Call(dispidGetRMProfileName, {COleVariant(short(-1))}).bstrVal));
  // Listing gives the writer a file name but makes no file.
  EXPECT_FALSE(fs::exists("test.rm"));
}

}  // namespace
