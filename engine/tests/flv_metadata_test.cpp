#include "engine/flv_metadata.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "flv_test_support.h"
#include "testing/media_fixtures.h"
#include "testing/sandbox.h"

extern "C" {
#include <libavformat/avformat.h>
}

using namespace flv_test;
using testing_support::ClipOptions;

namespace {

std::string SandboxFile(const std::string& name) { return testing_support::SandboxDir() + "/" + name; }

std::string SandboxClip(const std::string& name, const ClipOptions& options) {
  const std::string path = SandboxFile(name);
  const std::string error = testing_support::MakeClip(path, options);
  EXPECT_EQ(error, "");
  return path;
}

// The keys in the order they are written, for the streams the source holds.
std::vector<std::string> ExpectedKeys(bool video, bool audio, bool keyframes, bool size) {
  std::vector<std::string> keys = {"metadatacreator", "hasKeyframes", "hasVideo", "hasAudio",
                                   "hasMetadata", "canSeekToEnd", "duration", "datasize"};
  if (video) {
    keys.insert(keys.end(), {"videosize", "videocodecid"});
    if (size) keys.insert(keys.end(), {"width", "height"});
    keys.insert(keys.end(), {"framerate", "videodatarate"});
  }
  if (audio)
    keys.insert(keys.end(), {"audiosize", "audiocodecid", "audiosamplerate", "audiosamplesize", "stereo",
                             "audiodatarate"});
  keys.insert(keys.end(), {"filesize", "lasttimestamp"});
  if (keyframes) keys.insert(keys.end(), {"lastkeyframetimestamp", "lastkeyframelocation", "keyframes"});
  return keys;
}

struct Injected {
  std::vector<uint8_t> source, output;
  std::vector<Tag> sourceTags, outputTags;
  Metadata meta;
};

// Injects and checks everything that must hold for any source: the header, the copied tags, the
// key set and count, the sizes and times, and the keyframe index against the output's own tags.
Injected InjectAndCheck(const std::string& sourcePath) {
  Injected r;
  const std::string outputPath = sourcePath + ".out.flv";
  EXPECT_TRUE(InjectFlvMetadata(sourcePath.c_str(), outputPath.c_str()));
  r.source = ReadFile(sourcePath);
  r.output = ReadFile(outputPath);
  r.sourceTags = Tags(r.source);
  r.outputTags = Tags(r.output);
  if (r.outputTags.empty() || r.output.size() < 13) {
    ADD_FAILURE() << "no output tags";
    return r;
  }

  std::vector<Tag> media;
  uint64_t dataSize = 0, videoSize = 0, audioSize = 0;
  const Tag* lastVideo = nullptr;
  std::vector<const Tag*> keyframes;
  for (const Tag& t : r.sourceTags) {
    if (t.type != 8 && t.type != 9) continue;
    media.push_back(t);
    dataSize += t.dataSize + 15;
    (t.type == 9 ? videoSize : audioSize) += t.dataSize + 11;
    if (t.CodedFrame()) lastVideo = &t;
    if (t.Keyframe()) keyframes.push_back(&t);
  }
  const bool video = videoSize > 0, audio = audioSize > 0;

  const std::vector<uint8_t> header(r.output.begin(), r.output.begin() + 13);
  EXPECT_EQ(header, (std::vector<uint8_t>{'F', 'L', 'V', 1, uint8_t((audio ? 4 : 0) | (video ? 1 : 0)), 0, 0, 0,
                                          9, 0, 0, 0, 0}));
  EXPECT_EQ(r.outputTags[0].offset, 13u);
  EXPECT_EQ(r.outputTags[0].type, 18);
  EXPECT_EQ(r.outputTags[0].milliseconds, 0u);

  // Every audio and video tag, byte for byte and in order; nothing else.
  EXPECT_EQ(r.outputTags.size(), media.size() + 1);
  for (size_t i = 0; i < std::min(media.size(), r.outputTags.size() - 1); ++i) {
    const Tag& s = media[i];
    const Tag& o = r.outputTags[i + 1];
    EXPECT_TRUE(std::equal(r.source.begin() + s.offset, r.source.begin() + s.offset + s.dataSize + 15,
                           r.output.begin() + o.offset, r.output.begin() + o.offset + o.dataSize + 15))
        << "tag " << i;
  }
  const Tag& last = r.outputTags.back();
  EXPECT_EQ(last.offset + last.dataSize + 15, r.output.size()) << "output ends with its last tag";

  r.meta = ReadMetadata(r.output, 13);
  const Metadata& m = r.meta;
  const bool picture = m.Has("width");
  EXPECT_EQ(m.keys, ExpectedKeys(video, audio, !keyframes.empty(), picture));
  EXPECT_EQ(m.declaredCount, m.keys.size());
  EXPECT_EQ(m.values.at("metadatacreator").text, "Pellan Software 1.0");
  EXPECT_TRUE(m.Flag("hasMetadata"));
  EXPECT_EQ(m.Flag("hasVideo"), video);
  EXPECT_EQ(m.Flag("hasAudio"), audio);
  EXPECT_EQ(m.Flag("hasKeyframes"), !keyframes.empty());
  EXPECT_EQ(m.Flag("canSeekToEnd"), lastVideo && lastVideo->Keyframe());
  const double lastTime = r.sourceTags.empty() ? 0 : r.sourceTags.back().milliseconds * 0.001;
  EXPECT_DOUBLE_EQ(m.Number("duration"), lastTime);
  EXPECT_DOUBLE_EQ(m.Number("lasttimestamp"), lastTime);
  EXPECT_EQ(m.Number("datasize"), double(dataSize));
  EXPECT_EQ(m.Number("filesize"), double(r.output.size()));
  if (video) {
    EXPECT_EQ(m.Number("videosize"), double(videoSize));
  }
  if (audio) {
    EXPECT_EQ(m.Number("audiosize"), double(audioSize));
  }

  if (!keyframes.empty()) {
    const auto& positions = m.values.at("keyframes").arrays.at("filepositions");
    const auto& times = m.values.at("keyframes").arrays.at("times");
    EXPECT_EQ(positions.size(), keyframes.size());
    EXPECT_EQ(times.size(), keyframes.size());
    for (size_t i = 0; i < std::min(positions.size(), times.size()); ++i) {
      auto tag = std::find_if(r.outputTags.begin(), r.outputTags.end(),
                              [&](const Tag& t) { return double(t.offset) == positions[i]; });
      if (tag == r.outputTags.end()) {
        ADD_FAILURE() << "keyframe " << i << " points at no tag header";
        continue;
      }
      EXPECT_TRUE(tag->Keyframe());
      EXPECT_DOUBLE_EQ(times[i], tag->milliseconds * 0.001);
      EXPECT_EQ(tag->milliseconds, keyframes[i]->milliseconds);
    }
    EXPECT_EQ(m.Number("lastkeyframelocation"), positions.back());
    EXPECT_DOUBLE_EQ(m.Number("lastkeyframetimestamp"), times.back());
  }
  return r;
}

TEST(FlvInjection, VideoWithMp3Audio) {
  ClipOptions o;  // Sorenson H.263 176x144 at 25 fps, MP3 22.05 kHz mono, 2 s
  const Injected r = InjectAndCheck(SandboxClip("av.flv", o));
  const Metadata& m = r.meta;
  EXPECT_EQ(r.output[4], 5);
  EXPECT_EQ(m.declaredCount, 25u);
  EXPECT_EQ(m.Number("videocodecid"), 2);
  EXPECT_EQ(m.Number("width"), 176);
  EXPECT_EQ(m.Number("height"), 144);
  EXPECT_EQ(m.Number("audiocodecid"), 2);
  EXPECT_EQ(m.Number("audiosamplerate"), 22000);
  EXPECT_EQ(m.Number("audiosamplesize"), 16);
  EXPECT_FALSE(m.Flag("stereo"));
  EXPECT_NEAR(m.Number("duration"), 2.0, 0.1);
  EXPECT_NEAR(m.Number("framerate"), 25, 1);
  EXPECT_GT(m.Number("videodatarate"), 0);
  EXPECT_GT(m.Number("audiodatarate"), 0);

  EXPECT_FALSE(std::filesystem::exists("nul")) << "sized in memory, not on a null device";

  // FFmpeg's own script tag is not carried over.
  ASSERT_FALSE(r.sourceTags.empty());
  EXPECT_EQ(r.sourceTags[0].type, 18);
  EXPECT_EQ(std::count_if(r.outputTags.begin(), r.outputTags.end(), [](const Tag& t) { return t.type == 18; }), 1);
}

TEST(FlvInjection, VideoOnlyAndAudioOnly) {
  ClipOptions videoOnly;
  videoOnly.audioEncoder.clear();
  const Injected v = InjectAndCheck(SandboxClip("v.flv", videoOnly));
  EXPECT_EQ(v.output[4], 1);
  EXPECT_EQ(v.meta.declaredCount, 19u);

  ClipOptions audioOnly;
  audioOnly.videoEncoder.clear();
  audioOnly.sampleRate = 44100;
  audioOnly.channels = 2;
  const Injected a = InjectAndCheck(SandboxClip("a.flv", audioOnly));
  EXPECT_EQ(a.output[4], 4);
  EXPECT_EQ(a.meta.declaredCount, 16u);
  EXPECT_FALSE(a.meta.Flag("canSeekToEnd"));
  EXPECT_EQ(a.meta.Number("audiosamplerate"), 44100);
  EXPECT_TRUE(a.meta.Flag("stereo"));
}

// Picture sizes cover every way Sorenson H.263 codes them; keyframe intervals decide where the
// last keyframe falls.
struct Variant {
  int width, height, keyframeInterval;
};
void PrintTo(const Variant& v, std::ostream* os) {
  *os << v.width << "x" << v.height << ", keyframe every " << v.keyframeInterval;
}
class FlvVariants : public ::testing::TestWithParam<Variant> {};

TEST_P(FlvVariants, SizeAndKeyframes) {
  ClipOptions o;
  o.width = GetParam().width;
  o.height = GetParam().height;
  o.keyframeInterval = GetParam().keyframeInterval;
  o.seconds = 1.0;
  const Injected r = InjectAndCheck(
      SandboxClip("variant" + std::to_string(o.width) + "_" + std::to_string(o.keyframeInterval) + ".flv", o));
  EXPECT_EQ(r.meta.Number("width"), o.width);
  EXPECT_EQ(r.meta.Number("height"), o.height);
  const auto keyframes = r.meta.values.at("keyframes").arrays.at("times").size();
  EXPECT_GE(keyframes, size_t((25 + o.keyframeInterval - 1) / o.keyframeInterval));
  if (o.keyframeInterval == 1) {
    EXPECT_TRUE(r.meta.Flag("canSeekToEnd"));
  }
}

INSTANTIATE_TEST_SUITE_P(Clips, FlvVariants,
                         ::testing::Values(Variant{176, 144, 1}, Variant{320, 240, 5}, Variant{200, 150, 12},
                                           Variant{400, 300, 25}),
                         [](const ::testing::TestParamInfo<Variant>& info) {
                           const Variant& v = info.param;
                           return std::to_string(v.width) + "x" + std::to_string(v.height) + "_every" +
                                  std::to_string(v.keyframeInterval);
                         });

TEST(FlvInjection, FfmpegReadsDurationAndSeeksToKeyframe) {
  ClipOptions o;
  o.seconds = 3.0;
  o.keyframeInterval = 10;
  const std::string source = SandboxClip("seek.flv", o);
  const Injected r = InjectAndCheck(source);
  const auto& times = r.meta.values.at("keyframes").arrays.at("times");
  const auto& positions = r.meta.values.at("keyframes").arrays.at("filepositions");
  ASSERT_GE(times.size(), 3u);

  const std::string output = source + ".out.flv";
  AVFormatContext* fmt = nullptr;
  ASSERT_EQ(avformat_open_input(&fmt, output.c_str(), nullptr, nullptr), 0);
  ASSERT_GE(avformat_find_stream_info(fmt, nullptr), 0);
  EXPECT_NEAR(double(fmt->duration) / AV_TIME_BASE, r.meta.Number("duration"), 0.001);
  const int video = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  ASSERT_GE(video, 0);

  const int64_t target = std::llround(times[2] * 1000);  // FLV streams count in milliseconds
  ASSERT_GE(av_seek_frame(fmt, video, target + 20, AVSEEK_FLAG_BACKWARD), 0);
  AVPacket* packet = av_packet_alloc();
  bool found = false;
  while (!found && av_read_frame(fmt, packet) >= 0) {
    if (packet->stream_index == video) {
      found = true;
      EXPECT_TRUE(packet->flags & AV_PKT_FLAG_KEY);
      EXPECT_EQ(packet->pts, target);
      EXPECT_EQ(packet->pos, int64_t(positions[2]));
    }
    av_packet_unref(packet);
  }
  EXPECT_TRUE(found);
  av_packet_free(&packet);
  avformat_close_input(&fmt);
}

TEST(FlvInjection, CutShortLastTagIsDropped) {
  ClipOptions o;
  o.muxerOptions["flvflags"] = "no_metadata";
  const std::string path = SandboxClip("cut.flv", o);
  std::vector<uint8_t> bytes = ReadFile(path);
  const std::vector<Tag> whole = Tags(bytes);
  bytes.resize(bytes.size() - 2);  // the last back pointer is incomplete
  WriteFile(path, bytes);
  const Injected r = InjectAndCheck(path);
  EXPECT_EQ(r.sourceTags.size(), whole.size() - 1);
  EXPECT_EQ(r.outputTags.size(), whole.size());  // the metadata tag and all complete tags
}

// A damaged size field in the middle of a file is refused rather than cutting the output short,
// whether it points inside the file or past its end; the target stays as it was.
TEST(FlvInjection, DamagedTagSizeIsRefused) {
  const std::string path = SandboxClip("damaged.flv", ClipOptions());
  const std::vector<uint8_t> whole = ReadFile(path);
  const std::vector<Tag> tags = Tags(whole);
  ASSERT_GT(tags.size(), 20u);
  const std::string target = SandboxFile("damaged.out.flv");
  const std::vector<uint8_t> before = {'k', 'e', 'e', 'p'};
  for (const uint32_t size : {0xFFFFFFu, tags[10].dataSize - 1, tags[10].dataSize + 1}) {
    std::vector<uint8_t> bytes = whole;
    bytes[tags[10].offset + 1] = uint8_t(size >> 16);
    bytes[tags[10].offset + 2] = uint8_t(size >> 8);
    bytes[tags[10].offset + 3] = uint8_t(size);
    WriteFile(path, bytes);
    WriteFile(target, before);
    EXPECT_FALSE(InjectFlvMetadata(path.c_str(), target.c_str())) << "size " << size;
    EXPECT_EQ(ReadFile(target), before);
  }
  // A back pointer alone that disagrees breaks the chain too.
  std::vector<uint8_t> bytes = whole;
  bytes[tags[10].offset + 15 + tags[10].dataSize - 1] ^= 1;
  WriteFile(path, bytes);
  EXPECT_FALSE(InjectFlvMetadata(path.c_str(), target.c_str()));
  EXPECT_EQ(ReadFile(target), before);
}

// Only frame type 1 is a keyframe: disposable inter frames (3) and command frames (5) are
// neither indexed nor a place to seek to at the end.
TEST(FlvInjection, OnlyFrameTypeOneIsKeyframe) {
  const std::string path = SandboxFile("frametypes.flv");
  WriteFile(path, MakeFlv({{9, 0, {0x12, 0}}, {9, 40, {0x32, 0}}, {9, 80, {0x52, 0}}, {9, 120, {0x22, 0}},
                           {9, 160, {0x32, 0}}}));
  const Injected r = InjectAndCheck(path);
  EXPECT_EQ(r.meta.values.at("keyframes").arrays.at("times"), std::vector<double>{0.0});
  EXPECT_FALSE(r.meta.Flag("canSeekToEnd"));
  EXPECT_DOUBLE_EQ(r.meta.Number("lastkeyframetimestamp"), 0);
}

// AVC: the sequence header and the end of sequence are copied but are no frames: not indexed,
// not counted in the frame rate, and not what canSeekToEnd looks at.
TEST(FlvInjection, AvcCountsOnlyCodedFrames) {
  const std::string path = SandboxFile("avc.flv");
  WriteFile(path, MakeFlv({{9, 0, {0x17, 0, 0, 0, 0, 1}},
                           {9, 0, {0x17, 1, 0, 0, 0, 9}},
                           {9, 500, {0x27, 1, 0, 0, 0, 9}},
                           {9, 1000, {0x17, 1, 0, 0, 0, 9}},
                           {9, 1500, {0x27, 1, 0, 0, 0, 9}},
                           {9, 2000, {0x17, 2, 0, 0, 0}}}));
  Injected r = InjectAndCheck(path);
  EXPECT_EQ(r.outputTags.size(), 7u);
  EXPECT_EQ(r.meta.values.at("keyframes").arrays.at("times"), (std::vector<double>{0.0, 1.0}));
  EXPECT_FALSE(r.meta.Flag("canSeekToEnd"));
  EXPECT_DOUBLE_EQ(r.meta.Number("framerate"), 4 / 2.0);

  ClipOptions o;
  o.videoEncoder = "libx264";
  o.audioEncoder.clear();
  o.keyframeInterval = 12;
  r = InjectAndCheck(SandboxClip("x264.flv", o));
  ASSERT_FALSE(r.sourceTags.empty());
  EXPECT_EQ(r.sourceTags.back().packetType, 2) << "the encoder ends the sequence";
  const auto& times = r.meta.values.at("keyframes").arrays.at("times");
  EXPECT_EQ(times.size(), 5u);  // frames 0, 12, 24, 36, 48 of 50
  EXPECT_FALSE(r.meta.Flag("canSeekToEnd"));
  EXPECT_DOUBLE_EQ(r.meta.Number("framerate"), 50 / r.meta.Number("duration"));
}

// Hand-made sources for what encoders do not produce.
TEST(FlvInjection, EdgeCasesOfHandMadeFiles) {
  const std::string path = SandboxFile("made.flv");
  // One keyframe at time 0: zero duration gives zero rates, not infinities.
  WriteFile(path, MakeFlv({{9, 0, {0x12, 0, 0, 0x84, 0x00, 0x40}}, {8, 0, {0x2E, 1, 2}}}));
  Injected r = InjectAndCheck(path);
  EXPECT_EQ(r.meta.Number("duration"), 0);
  EXPECT_EQ(r.meta.Number("framerate"), 0);
  EXPECT_EQ(r.meta.Number("videodatarate"), 0);
  EXPECT_EQ(r.meta.Number("audiodatarate"), 0);
  EXPECT_FALSE(r.meta.Has("width")) << "picture header is cut short";

  // AVC (codec 7) has no picture size here; the timestamp extension byte is the top of the time;
  // an empty video tag is copied and is no keyframe.
  WriteFile(path, MakeFlv({{9, 0, {0x17, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6}}, {9, 0x01000000, {}}}));
  r = InjectAndCheck(path);
  EXPECT_EQ(r.meta.Number("videocodecid"), 7);
  EXPECT_FALSE(r.meta.Has("width"));
  EXPECT_FALSE(r.meta.Has("height"));
  EXPECT_DOUBLE_EQ(r.meta.Number("duration"), 16777.216);
  EXPECT_FALSE(r.meta.Flag("canSeekToEnd"));

  // No keyframes: no index and no last-keyframe keys; screen video and VP6 sizes.
  WriteFile(path, MakeFlv({{9, 40, {0x23, 0x01, 0x40, 0x00, 0xF0}}, {9, 80, {0x23}}}));
  r = InjectAndCheck(path);
  EXPECT_FALSE(r.meta.Has("keyframes"));
  EXPECT_EQ(r.meta.Number("width"), 320);
  EXPECT_EQ(r.meta.Number("height"), 240);
  WriteFile(path, MakeFlv({{9, 40, {0x14, 0x00, 0, 0, 15, 20}}}));
  r = InjectAndCheck(path);
  EXPECT_EQ(r.meta.Number("width"), 320);
  EXPECT_EQ(r.meta.Number("height"), 240);
}

// Bad sources fail and leave an existing target and its folder exactly as they were.
TEST(FlvInjection, BadInputLeavesTargetUntouched) {
  namespace fs = std::filesystem;
  const fs::path folder = SandboxFile("bad");
  fs::create_directories(folder);
  const std::string target = (folder / "target.flv").string();
  const std::vector<uint8_t> before = {'k', 'e', 'e', 'p'};
  WriteFile(target, before);

  std::vector<uint8_t> offsetPastEnd = MakeFlv({{9, 0, {0x12, 0}}});
  offsetPastEnd[5] = 0x7F;
  // Valid headers with nothing to play behind them: nothing at all, a data offset at the very
  // end, bytes that are no tags, only a script tag.
  std::vector<uint8_t> offsetAtEnd = MakeFlv({{9, 0, {0x12, 0}}});
  offsetAtEnd[8] = uint8_t(offsetAtEnd.size() - 4);
  std::vector<uint8_t> noise = MakeFlv({});
  for (int i = 0; i < 4000; ++i) noise.push_back(uint8_t(i * 2654435761u >> 13));
  std::vector<std::vector<uint8_t>> sources = {
      {}, {'R', 'I', 'F', 'F', 0, 0, 0, 0, 9, 0, 0, 0, 0, 9, 0, 0, 1}, {'F', 'L', 'V', 1, 5}, offsetPastEnd,
      MakeFlv({}), offsetAtEnd, noise, MakeFlv({{18, 0, {2, 0, 0}}})};
  // More keyframes than the metadata tag's 24-bit size can index.
  std::vector<uint8_t> tooManyKeyframes = MakeFlv({});
  const std::vector<uint8_t> keyframe = MakeFlv({{9, 0, {0x12}}});
  for (int i = 0; i < 940000; ++i) tooManyKeyframes.insert(tooManyKeyframes.end(), keyframe.begin() + 13, keyframe.end());
  sources.push_back(std::move(tooManyKeyframes));

  const std::string source = SandboxFile("bad.src");
  for (const auto& bytes : sources) {
    WriteFile(source, bytes);
    EXPECT_FALSE(InjectFlvMetadata(source.c_str(), target.c_str())) << bytes.size() << " bytes";
  }
  EXPECT_FALSE(InjectFlvMetadata(SandboxFile("missing.flv").c_str(), target.c_str()));
  EXPECT_EQ(ReadFile(target), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);

  WriteFile(source, MakeFlv({{9, 0, {0x12, 0}}}));
  EXPECT_FALSE(InjectFlvMetadata(source.c_str(), (folder / "no-such-folder" / "out.flv").c_str()));
  EXPECT_TRUE(InjectFlvMetadata(source.c_str(), target.c_str()));
  EXPECT_NE(ReadFile(target), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1) << "no temporary left";
}

}  // namespace
