// Movies played through the filter's pins: every frame once with its time stamp and picture,
// sound equal to a plain decode, and the end of every stream.
#include "movie_test_support.h"

namespace movie_source_test {
namespace {

using testing_support::MovieOptions;
using testing_support::MovieSoundTrack;
using testing_support::MovieVideoTrack;

MovieVideoTrack Video(const std::string& encoder, int width = 176, int height = 144, int frames = 50) {
  MovieVideoTrack v;
  v.encoder = encoder;
  v.width = width;
  v.height = height;
  v.frames = frames;
  return v;
}

MovieSoundTrack Sound(const std::string& encoder, int rate = 44100, int channels = 2, double seconds = 2.0) {
  MovieSoundTrack s;
  s.encoder = encoder;
  s.sampleRate = rate;
  s.channels = channels;
  s.seconds = seconds;
  return s;
}

MovieOptions Movie(const std::string& format, std::vector<MovieVideoTrack> video, std::vector<MovieSoundTrack> sound) {
  MovieOptions o;
  o.format = format;
  o.video = std::move(video);
  o.sound = std::move(sound);
  return o;
}

// The frames of the movie's index-th video pin: numbered from codeBase on, one each, stamped at
// the pin's constant step.
void ExpectEveryFrameOnce(const std::string& path, int pin, int videoIndex, int codeBase, REFERENCE_TIME step) {
  LoadedFilter loaded = LoadFilter(path);
  ASSERT_EQ(S_OK, loaded.loaded);
  Played video = PlayPin(loaded, pin);
  ASSERT_TRUE(video.ended);
  const int expected = PlainFrameCount(path, videoIndex);
  ASSERT_GT(expected, 0);
  const std::vector<int> codes = FrameCodesOf(video);
  ASSERT_EQ(size_t(expected), codes.size());
  for (size_t i = 0; i < codes.size(); ++i) {
    EXPECT_EQ(codeBase + int(i), codes[i]) << "sample " << i;
    EXPECT_EQ(REFERENCE_TIME(i) * step, video.samples[i].start) << "sample " << i;
    EXPECT_EQ(REFERENCE_TIME(i + 1) * step, video.samples[i].stop) << "sample " << i;
    EXPECT_TRUE(video.samples[i].sync);
  }
  EXPECT_TRUE(video.samples.front().discontinuity);
}

void ExpectPlainSound(const std::string& path, int pin) {
  LoadedFilter loaded = LoadFilter(path);
  ASSERT_EQ(S_OK, loaded.loaded);
  Played sound = PlayPin(loaded, pin);
  ASSERT_TRUE(sound.ended);
  const std::vector<uint8_t> plain = PlainSoundDecode(path);
  const std::vector<uint8_t> got = Concatenated(sound.samples);
  ASSERT_FALSE(plain.empty());
  ASSERT_EQ(plain.size(), got.size());
  EXPECT_TRUE(plain == got);
  // Stamps follow the sound delivered, without gaps.
  const auto* wave = reinterpret_cast<const WAVEFORMATEX*>(sound.type.Format());
  REFERENCE_TIME expected = 0;
  int64_t frames = 0;
  for (const ReceivedSample& s : sound.samples) {
    EXPECT_EQ(expected, s.start);
    frames += int64_t(s.bytes.size() / wave->nBlockAlign);
    expected = frames * UNITS / wave->nSamplesPerSec;
    EXPECT_EQ(expected, s.stop);
  }
}

TEST(MoviePlayback, QuickTimeMoviesOfEachPictureCodingGiveEveryFrameOnce) {
  ExpectEveryFrameOnce(MovieFile("h264_aac.mov", Movie("mov", {Video("libx264")}, {Sound("aac")})), 0, 0, 0, 400000);
  // MJPEG at an odd size, PNG pictures.
  ExpectEveryFrameOnce(MovieFile("mjpeg_twos.mov", Movie("mov", {Video("mjpeg", 175, 143, 30)}, {Sound("pcm_s16be", 22050, 1)})),
                       0, 0, 0, 400000);
  ExpectEveryFrameOnce(MovieFile("png_sowt.mov", Movie("mov", {Video("png", 63, 47, 12)}, {Sound("pcm_s16le", 8000)})), 0,
                       0, 0, 400000);
}

TEST(MoviePlayback, MpegFourFamilyFilesGiveEveryFrameOnce) {
  ExpectEveryFrameOnce(MovieFile("clip.mp4", Movie("mp4", {Video("libx264")}, {Sound("aac")})), 0, 0, 0, 400000);
  ExpectEveryFrameOnce(MovieFile("clip.m4v", Movie("ipod", {Video("libx264")}, {Sound("aac")})), 0, 0, 0, 400000);
  ExpectEveryFrameOnce(MovieFile("clip.3gp", Movie("3gp", {Video("libx264")}, {Sound("libopencore_amrnb", 8000, 1)})), 0,
                       0, 0, 400000);
  ExpectEveryFrameOnce(MovieFile("clip.3g2", Movie("3g2", {Video("mpeg4")}, {Sound("aac", 22050, 1)})), 0, 0, 0, 400000);
}

TEST(MoviePlayback, SoundEqualsAPlainDecodeOfTheTrack) {
  ExpectPlainSound(MovieFile("h264_aac.mov", Movie("mov", {Video("libx264")}, {Sound("aac")})), 1);
  ExpectPlainSound(MovieFile("mjpeg_twos.mov", Movie("mov", {Video("mjpeg", 175, 143, 30)}, {Sound("pcm_s16be", 22050, 1)})),
                   1);
  ExpectPlainSound(MovieFile("png_sowt.mov", Movie("mov", {Video("png", 63, 47, 12)}, {Sound("pcm_s16le", 8000)})), 1);
  ExpectPlainSound(MovieFile("clip.mp4", Movie("mp4", {Video("libx264")}, {Sound("aac")})), 1);
  ExpectPlainSound(MovieFile("sound.m4a", Movie("ipod", {}, {Sound("aac", 48000)})), 0);
  ExpectPlainSound(MovieFile("clip.3gp", Movie("3gp", {Video("libx264")}, {Sound("libopencore_amrnb", 8000, 1)})), 1);
  ExpectPlainSound(MovieFile("clip.3g2", Movie("3g2", {Video("mpeg4")}, {Sound("aac", 22050, 1)})), 1);
  ExpectPlainSound(MovieFile("speech.amr", Movie("amr", {}, {Sound("libopencore_amrnb", 8000, 1, 3.0)})), 0);
}

TEST(MoviePlayback, EachVideoPinShowsItsOwnTrack) {
  MovieVideoTrack second = Video("libx264", 96, 64, 40);
  second.codeBase = 512;
  const std::string path =
      MovieFile("two_videos.mov", Movie("mov", {Video("libx264"), second}, {Sound("aac")}));
  // Pins: video 1, audio 1, video 2.
  ExpectEveryFrameOnce(path, 0, 0, 0, 400000);
  ExpectEveryFrameOnce(path, 2, 1, 512, 400000);
}

TEST(MoviePlayback, VariableFrameRateComesOutEvenWithEveryFrameOnce) {
  MovieVideoTrack v = Video("mjpeg", 64, 48, 20);
  v.frameMilliseconds = {30, 50, 40, 80};  // 50 ms on average
  const std::string path = MovieFile("vfr.mov", Movie("mov", {v}, {}));
  ExpectEveryFrameOnce(path, 0, 0, 0, 500000);
  // The frames' total is within one step of the movie's length.
  LoadedFilter loaded = LoadFilter(path);
  LONGLONG duration = 0;
  ASSERT_EQ(S_OK, loaded.Pin(0).As<IMediaSeeking>(IID_IMediaSeeking)->GetDuration(&duration));
  EXPECT_LE(std::abs(20 * 500000LL - duration), 500000);
}

TEST(MoviePlayback, FractionalRateIsRoundedAndStreamStillEnds) {
  MovieVideoTrack v = Video("mjpeg", 64, 48, 60);
  v.rateNum = 30000;
  v.rateDen = 1001;
  const std::string path = MovieFile("ntsc.mov", Movie("mov", {v}, {}));
  // 29.97 frames a second go out at 30, one frame each 1/30 s.
  LoadedFilter loaded = LoadFilter(path);
  ASSERT_EQ(S_OK, loaded.loaded);
  Played video = PlayPin(loaded, 0);
  ASSERT_TRUE(video.ended);
  ASSERT_EQ(60u, video.samples.size());
  EXPECT_EQ(59 * UNITS / 30, video.samples.back().start);
  EXPECT_EQ(60 * UNITS / 30, video.samples.back().stop);
  EXPECT_EQ(59, FrameCodeOf(video.type, video.samples.back()));
  const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(video.type.Format());
  EXPECT_EQ(UNITS / 30, info->AvgTimePerFrame);
}

TEST(MoviePlayback, MoviesOfOneKindOfTrackGiveOnePin) {
  const std::string videoOnly = MovieFile("video_only.mov", Movie("mov", {Video("mjpeg", 64, 48, 10)}, {}));
  const std::string soundOnly = MovieFile("sound_only.mov", Movie("mov", {}, {Sound("pcm_s16be", 11025, 1, 1.0)}));
  LoadedFilter video = LoadFilter(videoOnly);
  ASSERT_EQ(S_OK, video.loaded);
  EXPECT_EQ(1, video.PinCount());
  EXPECT_EQ(u"Video Out 1", video.PinName(0));
  ExpectEveryFrameOnce(videoOnly, 0, 0, 0, 400000);
  LoadedFilter sound = LoadFilter(soundOnly);
  ASSERT_EQ(S_OK, sound.loaded);
  EXPECT_EQ(1, sound.PinCount());
  EXPECT_EQ(u"Audio Out 1", sound.PinName(0));
  ExpectPlainSound(soundOnly, 0);
}

TEST(MoviePlayback, SoundBelow8000HzIsDeliveredAt44100) {
  const std::string path = MovieFile("low_rate.mov", Movie("mov", {}, {Sound("pcm_s16be", 6000, 1, 1.5)}));
  LoadedFilter loaded = LoadFilter(path);
  ASSERT_EQ(S_OK, loaded.loaded);
  Played sound = PlayPin(loaded, 0);
  ASSERT_TRUE(sound.ended);
  const auto* wave = reinterpret_cast<const WAVEFORMATEX*>(sound.type.Format());
  EXPECT_EQ(44100u, wave->nSamplesPerSec);
  EXPECT_EQ(1, wave->nChannels);
  // As long as the track: its sample frames (whole encoder frames) at 6000 a second.
  const double seconds = double(PlainSoundDecode(path).size() / 2) / 6000;
  const size_t frames = Concatenated(sound.samples).size() / 2;
  EXPECT_NEAR(seconds * 44100, double(frames), 64);
  LONGLONG duration = 0;
  loaded.Pin(0).As<IMediaSeeking>(IID_IMediaSeeking)->GetDuration(&duration);
  EXPECT_NEAR(seconds * UNITS, double(duration), 1000);
  // Still a 440 Hz tone: about 880 sign changes a second.
  const std::vector<uint8_t> pcm = Concatenated(sound.samples);
  int crossings = 0;
  for (size_t i = 2; i + 1 < pcm.size(); i += 2) {
    const int16_t a = int16_t(pcm[i - 2] | pcm[i - 1] << 8), b = int16_t(pcm[i] | pcm[i + 1] << 8);
    if ((a < 0) != (b < 0)) ++crossings;
  }
  EXPECT_NEAR(seconds * 880, crossings, 20);
}

}  // namespace
}  // namespace movie_source_test
