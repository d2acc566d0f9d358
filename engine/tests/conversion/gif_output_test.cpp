// Animated GIF: the GIF properties give the picture size, the palette's size and how often the
// animation plays; the sound is left out.
#include <fstream>
#include <iterator>
#include <set>

#include "output_check.h"
#include "testing/media_probe.h"

namespace {

// The repeat count of the file's looping extension; -1 when the file has none (it plays once).
int LoopCount(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t at = bytes.find("NETSCAPE2.0");
  if (at == std::string::npos || at + 15 >= bytes.size()) return -1;
  return uint8_t(bytes[at + 13]) | uint8_t(bytes[at + 14]) << 8;
}

class GifOutputTest : public OutputConversion {
 protected:
  DecodedFile ConvertGif(const std::string& name, short width, short height, short colours, short loop) {
    Put(dispidAniGIFWidth, COleVariant(width));
    Put(dispidAniGIFHeight, COleVariant(height));
    Put(dispidAniGIFMaxColor, COleVariant(colours));
    Put(dispidAniGIFLoop, COleVariant(loop));
    EXPECT_TRUE(Convert(17, Output(name)));
    EXPECT_TRUE(PumpUntilComplete());
    return DecodeFile(Output(name));
  }
};

TEST_F(GifOutputTest, PicturesAtTheGifSizeForEveryFrameWithoutSound) {
  const DecodedFile file = ConvertGif("plain.gif", 160, 120, 256, -1);
  ASSERT_EQ("", file.error);
  EXPECT_EQ("gif", file.format);
  EXPECT_EQ(0, file.decodeErrors);
  EXPECT_EQ("gif", file.videoCodec);
  EXPECT_EQ(160, file.width);
  EXPECT_EQ(120, file.height);
  // The timeline's 15 frames a second over two seconds.
  EXPECT_NEAR(30, file.videoFrames, 1);
  EXPECT_EQ("", file.audioCodec);
  ExpectUpright(Output("plain.gif"));
}

TEST_F(GifOutputTest, LoopPropertyDecidesHowOftenItPlays) {
  ConvertGif("forever.gif", 88, 72, 256, -1);
  EXPECT_EQ(0, LoopCount(Output("forever.gif")));
  host.completes = 0;
  ConvertGif("once.gif", 88, 72, 256, 0);
  EXPECT_EQ(-1, LoopCount(Output("once.gif")));
  host.completes = 0;
  ConvertGif("thrice.gif", 88, 72, 256, 3);
  EXPECT_EQ(3, LoopCount(Output("thrice.gif")));
}

TEST_F(GifOutputTest, SixteenColoursOrFewerGiveASixteenColourPalette) {
  ConvertGif("sixteen.gif", 176, 144, 16, -1);
  const testing_support::ProbedPicture picture = testing_support::FirstPicture(Output("sixteen.gif"));
  ASSERT_EQ("", picture.error);
  std::set<int> colours;
  for (size_t i = 0; i + 2 < picture.rgb.size(); i += 3)
    colours.insert(picture.rgb[i] << 16 | picture.rgb[i + 1] << 8 | picture.rgb[i + 2]);
  EXPECT_LE(colours.size(), 16u);
  EXPECT_GE(colours.size(), 3u);
}

}  // namespace
