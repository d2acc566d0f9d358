// FLV and SWF: Sorenson H.263 and MP3 at the Flash properties, MP3 at a rate Flash plays. An FLV
// conversion writes a temporary file first; at the end the output holds the injected metadata
// with its keyframe index and the temporary file is gone.
#include <cstdlib>
#include <filesystem>

#include "../flv_test_support.h"
#include "output_check.h"
#include "testing/sandbox.h"

namespace {

namespace fs = std::filesystem;

class FlashOutputTest : public OutputConversion {
 protected:
  void SetUp() override {
    OutputConversion::SetUp();
    // A temporary folder of the test's own, so that what is left in it can be counted.
    temporary_ = testing_support::SandboxDir() + "/flash_tmp";
    fs::remove_all(temporary_);
    fs::create_directories(temporary_);
    const char* old = std::getenv("TMPDIR");
    oldTmp_ = old ? old : "";
    setenv("TMPDIR", temporary_.c_str(), 1);
  }
  void TearDown() override {
    if (oldTmp_.empty()) unsetenv("TMPDIR");
    else setenv("TMPDIR", oldTmp_.c_str(), 1);
    OutputConversion::TearDown();
  }
  size_t TemporaryFiles() const {
    return size_t(std::distance(fs::directory_iterator(temporary_), fs::directory_iterator()));
  }

  std::string temporary_;
  std::string oldTmp_;
};

TEST_F(FlashOutputTest, FlvHasInjectedMetadataWithAKeyframeIndexAndLeavesNoTemporaryFile) {
  Put(dispidOutputFileWidth, COleVariant(short(176)));
  Put(dispidOutputFileHeight, COleVariant(short(144)));
  Put(dispidFLVFrameRate, COleVariant(short(20)));
  Put(dispidFLVAudioSampleRate, COleVariant(LONG(32000)));
  Put(dispidFLVAudioChannels, COleVariant(LONG(1)));
  const std::string path = Output("movie.flv");
  ASSERT_TRUE(Convert(14, path));
  // While it runs the writer fills a file of the temporary folder named <hex>xd.
  ASSERT_EQ(1u, TemporaryFiles());
  const std::string temporaryName = fs::directory_iterator(temporary_)->path().filename().string();
  EXPECT_EQ("xd", temporaryName.substr(temporaryName.size() - 2));
  EXPECT_FALSE(fs::exists(path));
  ASSERT_TRUE(PumpUntilComplete());
  EXPECT_EQ(0u, TemporaryFiles());

  const DecodedFile file = DecodeFile(path);
  ASSERT_EQ("", file.error);
  EXPECT_EQ("flv", file.format);
  EXPECT_EQ(0, file.decodeErrors);
  EXPECT_EQ("flv", file.videoCodec);
  EXPECT_EQ(176, file.width);
  EXPECT_EQ(144, file.height);
  EXPECT_NEAR(40, file.videoFrames, 1);
  EXPECT_EQ("mp3float", file.audioCodec);
  EXPECT_EQ(22050, file.sampleRate);
  EXPECT_EQ(1, file.channels);
  EXPECT_NEAR(2.0, file.audioSeconds, 0.15);
  ExpectUpright(path);

  const std::vector<uint8_t> bytes = flv_test::ReadFile(path);
  const std::vector<flv_test::Tag> tags = flv_test::Tags(bytes);
  ASSERT_FALSE(tags.empty());
  ASSERT_EQ(18, tags[0].type);
  const flv_test::Metadata meta = flv_test::ReadMetadata(bytes, tags[0].offset);
  EXPECT_NEAR(2.0, meta.Number("duration"), 0.1);
  EXPECT_EQ(176, meta.Number("width"));
  EXPECT_TRUE(meta.Flag("hasKeyframes"));
  ASSERT_TRUE(meta.Has("keyframes"));
  const auto& positions = meta.values.at("keyframes").arrays.at("filepositions");
  ASSERT_FALSE(positions.empty());
  // Every position names a keyframe tag of the output.
  for (double position : positions) {
    bool found = false;
    for (const flv_test::Tag& tag : tags) found |= double(tag.offset) == position && tag.Keyframe();
    EXPECT_TRUE(found) << position;
  }
}

TEST_F(FlashOutputTest, SwfMovieWithMp3AtAFlashRate) {
  Put(dispidOutputFileWidth, COleVariant(short(176)));
  Put(dispidOutputFileHeight, COleVariant(short(144)));
  Put(dispidSWFAudioSampleRate, COleVariant(LONG(48000)));
  const std::string path = Output("movie.swf");
  ASSERT_TRUE(Convert(16, path));
  ASSERT_TRUE(PumpUntilComplete());
  EXPECT_EQ(0u, TemporaryFiles());
  const DecodedFile file = DecodeFile(path);
  ASSERT_EQ("", file.error);
  EXPECT_EQ("swf", file.format);
  EXPECT_EQ(0, file.decodeErrors);
  EXPECT_EQ("flv", file.videoCodec);
  EXPECT_EQ(176, file.width);
  EXPECT_EQ("mp3float", file.audioCodec);
  EXPECT_EQ(44100, file.sampleRate);
  EXPECT_NEAR(30, file.videoFrames, 1);
}

// The output's folder cannot be written: Save says so at once and nothing is left, not even
// the FLV's temporary file.
TEST_F(FlashOutputTest, AnUnwritableOutputFolderFailsSaveAndLeavesNothing) {
  // A folder that is not there cannot be written, whoever runs the test.
  const std::string folder = testing_support::SandboxDir() + "/absent";
  for (short type : {short(14), short(6), short(12)}) {
    EXPECT_FALSE(Convert(type, folder + "/out.bin")) << type;
    EXPECT_EQ(0u, TemporaryFiles()) << type;
  }
  EXPECT_FALSE(fs::exists(folder));
}

}  // namespace
