// MP4 and PSP: the MP4 properties decide the codecs, picture, rate and sound; PSP sound is always
// 48000 Hz; the tags reach the file.
#include "output_check.h"

namespace {

class Mp4OutputTest : public OutputConversion {
 protected:
  void SetMp4(short codec, short width, short height, short fps, LONG rate, short channels) {
    Put(dispidMP4Codec, COleVariant(codec));
    Put(dispidMP4Width, COleVariant(width));
    Put(dispidMP4Height, COleVariant(height));
    Put(dispidMP4Framerate, COleVariant(fps));
    Put(dispidMP4AudioSampleRate, COleVariant(rate));
    Put(dispidMP4AudioChannels, COleVariant(channels));
  }
  void ExpectStreams(const DecodedFile& file, const char* video, int width, int height, double fps, int rate,
                     int channels) {
    ASSERT_EQ("", file.error);
    EXPECT_EQ(0, file.decodeErrors);
    EXPECT_EQ(video, file.videoCodec);
    EXPECT_EQ(width, file.width);
    EXPECT_EQ(height, file.height);
    EXPECT_NEAR(fps, file.frameRate, 0.01);
    EXPECT_NEAR(2.0, file.videoSeconds, 1.0 / fps + 1e-6);
    EXPECT_EQ("aac", file.audioCodec);
    EXPECT_EQ(rate, file.sampleRate);
    EXPECT_EQ(channels, file.channels);
    EXPECT_NEAR(2.0, file.audioSeconds, 0.1);
  }
};

TEST_F(Mp4OutputTest, Mpeg4VideoAtTheChosenPictureWithItsTags) {
  SetMp4(0, 320, 240, 15, 22050, 1);
  Put(dispidMP4Title, COleVariant("Harbour at dusk"));
  Put(dispidMP4Author, COleVariant("Ann Lee"));
  const std::string path = Output("mpeg4.mp4");
  ASSERT_TRUE(Convert(12, path));
  ASSERT_TRUE(PumpUntilComplete());
  DecodedFile file = DecodeFile(path);
  ExpectStreams(file, "mpeg4", 320, 240, 15, 22050, 1);
  EXPECT_EQ("Harbour at dusk", file.tags["title"]);
  EXPECT_EQ("Ann Lee", file.tags["artist"]);
  ExpectUpright(path);
}

TEST_F(Mp4OutputTest, H264VideoWithAnOddSizeMadeEven) {
  SetMp4(1, 321, 179, 25, 44100, 2);
  const std::string path = Output("h264.mp4");
  ASSERT_TRUE(Convert(12, path));
  ASSERT_TRUE(PumpUntilComplete());
  ExpectStreams(DecodeFile(path), "h264", 320, 178, 25, 44100, 2);
  ExpectUpright(path);
}

TEST_F(Mp4OutputTest, PspSoundIs48000HzWhateverTheSampleRateProperty) {
  SetMp4(0, 320, 240, 25, 22050, 2);
  const std::string path = Output("psp.mp4");
  ASSERT_TRUE(Convert(13, path));
  ASSERT_TRUE(PumpUntilComplete());
  ExpectStreams(DecodeFile(path), "mpeg4", 320, 240, 25, 48000, 2);
}

}  // namespace
