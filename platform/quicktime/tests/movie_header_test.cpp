// The movie header reader: the facts it reads from files the FFmpeg libraries wrote, and the
// files it takes for another kind or for damaged.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "movie_header.h"
#include "testing/movie_fixtures.h"
#include "testing/sandbox.h"

namespace quicktime_test {
namespace {

using quicktime::boxes::DecoderConfig;
using quicktime::boxes::HeaderResult;
using quicktime::boxes::MemorySource;
using quicktime::boxes::MovieFacts;

constexpr uint32_t Code(const char (&c)[5]) {
  return uint32_t(uint8_t(c[0])) << 24 | uint32_t(uint8_t(c[1])) << 16 | uint32_t(uint8_t(c[2])) << 8 | uint8_t(c[3]);
}

std::vector<uint8_t> Movie(const std::string& name, const std::string& format, const std::string& video,
                           const std::string& sound) {
  testing_support::MovieOptions o;
  o.format = format;
  if (!video.empty()) {
    testing_support::MovieVideoTrack v;
    v.encoder = video;
    v.frames = 10;
    o.video = {v};
  }
  if (!sound.empty()) {
    testing_support::MovieSoundTrack s;
    s.encoder = sound;
    s.seconds = 0.5;
    s.sampleRate = sound == "libopencore_amrnb" ? 8000 : 44100;
    s.channels = sound == "libopencore_amrnb" ? 1 : 2;
    o.sound = {s};
  }
  const std::string path = testing_support::SandboxDir() + "/" + name;
  EXPECT_EQ("", testing_support::MakeMovie(path, o));
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

HeaderResult Read(const std::vector<uint8_t>& bytes, MovieFacts* facts) {
  std::string error;
  return quicktime::boxes::ReadMovieFacts(MemorySource(bytes.data(), bytes.size()), facts, &error);
}

void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

// A box of a type around a payload.
std::vector<uint8_t> Box(const char (&type)[5], const std::vector<uint8_t>& payload) {
  std::vector<uint8_t> box;
  PutBe32(box, uint32_t(8 + payload.size()));
  PutBe32(box, Code(type));
  box.insert(box.end(), payload.begin(), payload.end());
  return box;
}

std::vector<uint8_t> MovieHeaderBox(uint32_t timeScale, uint32_t duration) {
  std::vector<uint8_t> payload(12, 0);  // version, flags, creation and modification times
  PutBe32(payload, timeScale);
  PutBe32(payload, duration);
  payload.resize(100, 0);
  return Box("mvhd", payload);
}

TEST(MovieHeader, QuickTimeMovieGivesTimeScalesTrackKindsAndStoredSoundFacts) {
  MovieFacts facts;
  ASSERT_EQ(HeaderResult::Found, Read(Movie("aac.mov", "mov", "libx264", "aac"), &facts));
  EXPECT_EQ(1000u, facts.timeScale);
  EXPECT_NEAR(500, double(facts.duration), 60);  // the longer track, the sound
  ASSERT_EQ(2u, facts.tracks.size());
  const auto& video = facts.tracks[0];
  EXPECT_EQ(Code("vide"), video.handlerType);
  EXPECT_TRUE(video.enabled);
  EXPECT_EQ(176, video.width);
  EXPECT_EQ(144, video.height);
  EXPECT_EQ(10u, video.sampleCount);
  ASSERT_TRUE(video.hasSampleEntry);
  EXPECT_EQ(Code("avc1"), video.entry.format);
  EXPECT_EQ(176, video.entry.width);
  EXPECT_EQ(24, video.entry.depth);
  const auto& sound = facts.tracks[1];
  EXPECT_EQ(Code("soun"), sound.handlerType);
  EXPECT_EQ(44100u, sound.mediaTimeScale);
  EXPECT_EQ(Code("mp4a"), sound.entry.format);
  EXPECT_EQ(16, sound.entry.sampleSize);
  EXPECT_EQ(-2, sound.entry.compressionId);
  EXPECT_EQ(44100.0, sound.entry.sampleRate);
  ASSERT_FALSE(sound.entry.wave.empty());
  DecoderConfig config;
  ASSERT_TRUE(quicktime::boxes::ReadDecoderConfig(sound.entry.wave.data(), sound.entry.wave.size(), &config));
  EXPECT_EQ(0x40, config.objectType);  // MPEG-4 audio
  EXPECT_GE(config.specificInfo.size(), 2u);
}

TEST(MovieHeader, MpegFourFilesKeepTheConfigurationInTheEntry) {
  MovieFacts facts;
  ASSERT_EQ(HeaderResult::Found, Read(Movie("aac.mp4", "mp4", "", "aac"), &facts));
  ASSERT_EQ(1u, facts.tracks.size());
  const auto& entry = facts.tracks[0].entry;
  EXPECT_EQ(Code("mp4a"), entry.format);
  EXPECT_EQ(0, entry.version);
  EXPECT_TRUE(entry.wave.empty());
  ASSERT_FALSE(entry.esds.empty());
  DecoderConfig config;
  EXPECT_TRUE(quicktime::boxes::ReadDecoderConfig(entry.esds.data(), entry.esds.size(), &config));
  EXPECT_EQ(0x40, config.objectType);
  // A configuration cut short is not read.
  EXPECT_FALSE(quicktime::boxes::ReadDecoderConfig(entry.esds.data(), 14, &config));

  ASSERT_EQ(HeaderResult::Found, Read(Movie("pcm.mov", "mov", "", "pcm_s16be"), &facts));
  EXPECT_EQ(Code("twos"), facts.tracks[0].entry.format);
  EXPECT_EQ(0, facts.tracks[0].entry.compressionId);
  EXPECT_EQ(2, facts.tracks[0].entry.channels);
}

TEST(MovieHeader, OtherKindsOfFileAreNotTakenForMovies) {
  MovieFacts facts;
  EXPECT_EQ(HeaderResult::NotBoxes, Read(Movie("speech.amr", "amr", "", "libopencore_amrnb"), &facts));
  EXPECT_EQ(HeaderResult::NotBoxes, Read(Movie("clip.avi", "avi", "mjpeg", ""), &facts));
  EXPECT_EQ(HeaderResult::NotBoxes, Read({}, &facts));
  std::vector<uint8_t> text(200, 'x');
  EXPECT_EQ(HeaderResult::NotBoxes, Read(text, &facts));
}

TEST(MovieHeader, DamagedMoviesAreToldApart) {
  const std::vector<uint8_t> movie = Movie("damaged.mov", "mov", "mjpeg", "pcm_s16be");
  MovieFacts facts;
  // Cut anywhere: the header is missing or runs past the end.
  for (size_t cut : {movie.size() / 3, movie.size() - 9, movie.size() - 1})
    EXPECT_EQ(HeaderResult::Damaged, Read(std::vector<uint8_t>(movie.begin(), movie.begin() + long(cut)), &facts)) << cut;

  const std::vector<uint8_t> ftyp = Box("ftyp", {'q', 't', ' ', ' ', 0, 0, 0, 0});
  auto file = [&](const std::vector<uint8_t>& moovPayload) {
    std::vector<uint8_t> bytes = ftyp;
    const std::vector<uint8_t> moov = Box("moov", moovPayload);
    bytes.insert(bytes.end(), moov.begin(), moov.end());
    return bytes;
  };
  EXPECT_EQ(HeaderResult::Found, Read(file(MovieHeaderBox(600, 1200)), &facts));
  EXPECT_EQ(600u, facts.timeScale);
  EXPECT_TRUE(facts.tracks.empty());
  // No movie header, a header too short, a compressed header.
  EXPECT_EQ(HeaderResult::Damaged, Read(file(Box("free", {})), &facts));
  EXPECT_EQ(HeaderResult::Damaged, Read(file(Box("mvhd", {0, 0, 0, 0})), &facts));
  std::vector<uint8_t> compressed = MovieHeaderBox(600, 0);
  const std::vector<uint8_t> cmov = Box("cmov", {});
  compressed.insert(compressed.end(), cmov.begin(), cmov.end());
  EXPECT_EQ(HeaderResult::Damaged, Read(file(compressed), &facts));
  // A child larger than its parent, and boxes nested without end.
  std::vector<uint8_t> overrun = MovieHeaderBox(600, 0);
  std::vector<uint8_t> trak = Box("trak", std::vector<uint8_t>(16, 0));
  trak[3] = 0xF0;
  overrun.insert(overrun.end(), trak.begin(), trak.end());
  EXPECT_EQ(HeaderResult::Damaged, Read(file(overrun), &facts));
  std::vector<uint8_t> deep = Box("stbl", {});
  for (int i = 0; i < 40; ++i) deep = Box(i % 2 ? "minf" : "stbl", deep);
  std::vector<uint8_t> nested = MovieHeaderBox(600, 0);
  const std::vector<uint8_t> deepTrack = Box("trak", Box("mdia", deep));
  nested.insert(nested.end(), deepTrack.begin(), deepTrack.end());
  EXPECT_EQ(HeaderResult::Found, Read(file(nested), &facts));  // unknown boxes are not walked into
  EXPECT_EQ(1u, facts.tracks.size());
}

}  // namespace
}  // namespace quicktime_test
