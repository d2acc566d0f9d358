// The movie runtime: start-up, movies and their tracks, sample descriptions, media samples and
// their times, drawing into graphics worlds and sound conversion. Buffers the FFmpeg libraries
// write into end at an inaccessible page, so that an overrun faults there and then.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "quicktime/quicktime.h"
#include "testing/guarded_buffer.h"
#include "testing/movie_fixtures.h"
#include "testing/sandbox.h"

namespace quicktime_test {
namespace {

using testing_support::GuardedBuffer;

std::string MakeFile(const std::string& name, const testing_support::MovieOptions& o) {
  const std::string path = testing_support::SandboxDir() + "/" + name;
  EXPECT_EQ("", testing_support::MakeMovie(path, o));
  return path;
}

testing_support::MovieVideoTrack Video(const std::string& encoder, int width, int height, int frames) {
  testing_support::MovieVideoTrack v;
  v.encoder = encoder;
  v.width = width;
  v.height = height;
  v.frames = frames;
  return v;
}

testing_support::MovieSoundTrack Sound(const std::string& encoder, int rate, int channels, double seconds) {
  testing_support::MovieSoundTrack s;
  s.encoder = encoder;
  s.sampleRate = rate;
  s.channels = channels;
  s.seconds = seconds;
  return s;
}

// H.264 pictures with AAC sound, and MJPEG pictures of another size with PCM sound.
std::string TwoTrackMovie() {
  static const std::string path = [] {
    testing_support::MovieOptions o;
    o.video = {Video("libx264", 176, 144, 20), Video("mjpeg", 96, 64, 20)};
    o.sound = {Sound("aac", 44100, 2, 1.0), Sound("pcm_s16be", 8000, 1, 1.0)};
    return MakeFile("tracks.mov", o);
  }();
  return path;
}

struct MovieDeleter {
  void operator()(MovieRecord* m) const { DisposeMovie(m); }
};
using MoviePtr = std::unique_ptr<MovieRecord, MovieDeleter>;

OSErr Open(const std::string& path, MoviePtr* movie) {
  FSSpec location;
  if (OSErr err = NativePathNameToFSSpec(path.c_str(), &location, 0)) return err;
  int16_t file = 0;
  if (OSErr err = OpenMovieFile(&location, &file, fsRdPerm)) return err;
  Movie opened = nullptr;
  const OSErr err = NewMovieFromFile(&opened, file, nullptr, nullptr, newMovieActive, nullptr);
  CloseMovieFile(file);
  movie->reset(opened);
  return err;
}

class MovieRuntime : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(noErr, InitializeQTML(0));
    ASSERT_EQ(noErr, EnterMovies());
  }
  void TearDown() override {
    ExitMovies();
    TerminateQTML();
  }
};

Media MediaOf(Movie movie, OSType type, int index) {
  return GetTrackMedia(GetMovieIndTrackType(movie, index, type, movieTrackMediaType));
}

TEST(MovieRuntimeStartUp, MoviesOpenOnlyWhileTheToolboxIsEntered) {
  MoviePtr movie;
  EXPECT_EQ(movieToolboxUninitialized, EnterMovies());
  EXPECT_EQ(movieToolboxUninitialized, Open(TwoTrackMovie(), &movie));
  ASSERT_EQ(noErr, InitializeQTML(0));
  EXPECT_EQ(movieToolboxUninitialized, Open(TwoTrackMovie(), &movie));
  ASSERT_EQ(noErr, EnterMovies());
  EXPECT_EQ(noErr, Open(TwoTrackMovie(), &movie));
  ExitMovies();
  TerminateQTML();
  MoviePtr again;
  EXPECT_EQ(movieToolboxUninitialized, Open(TwoTrackMovie(), &again));
  EXPECT_EQ(nullptr, again);
}

TEST_F(MovieRuntime, FilesThatCannotBeReadGiveNoMovie) {
  FSSpec location;
  EXPECT_EQ(fnfErr, NativePathNameToFSSpec((testing_support::SandboxDir() + "/none.mov").c_str(), &location, 0));
  int16_t file = 0;
  EXPECT_EQ(fnfErr, OpenMovieFile(&location, &file, fsRdPerm));
  EXPECT_EQ(paramErr, CloseMovieFile(1234));
  Movie movie = reinterpret_cast<Movie>(1);
  EXPECT_EQ(paramErr, NewMovieFromFile(&movie, 1234, nullptr, nullptr, 0, nullptr));
  EXPECT_EQ(nullptr, movie);
}

TEST_F(MovieRuntime, TracksAreCountedByKindAndDescribeTheirMedia) {
  MoviePtr movie;
  ASSERT_EQ(noErr, Open(TwoTrackMovie(), &movie));
  EXPECT_EQ(1000, GetMovieTimeScale(movie.get()));
  EXPECT_NEAR(1000, GetMovieDuration(movie.get()), 30);
  EXPECT_EQ(4, GetMovieTrackCount(movie.get()));
  EXPECT_EQ(nullptr, GetMovieIndTrackType(movie.get(), 3, VideoMediaType, movieTrackMediaType));
  EXPECT_EQ(nullptr, GetMovieIndTrackType(movie.get(), 1, FlashMediaType, movieTrackMediaType));

  Media h264 = MediaOf(movie.get(), VideoMediaType, 1);
  ASSERT_NE(nullptr, h264);
  EXPECT_EQ(20, GetMediaSampleCount(h264));
  EXPECT_EQ(GetMediaTimeScale(h264) * 20 / 25, GetMediaDuration(h264));
  auto description = reinterpret_cast<SampleDescriptionHandle>(NewHandle(0));
  GetMediaSampleDescription(h264, 1, description);
  ASSERT_EQ(noErr, GetMoviesError());
  const auto* image = reinterpret_cast<ImageDescription*>(*description);
  EXPECT_EQ(86, image->idSize);
  EXPECT_EQ(FourCharCode("avc1"), image->cType);
  EXPECT_EQ(176, image->width);
  EXPECT_EQ(144, image->height);
  EXPECT_EQ(24, image->depth);

  Media aac = MediaOf(movie.get(), SoundMediaType, 1);
  GetMediaSampleDescription(aac, 1, description);
  ASSERT_EQ(noErr, GetMoviesError());
  auto sound = reinterpret_cast<SoundDescriptionHandle>(description);
  EXPECT_EQ(FourCharCode("mp4a"), (*sound)->dataFormat);
  EXPECT_EQ(2, (*sound)->numChannels);
  EXPECT_EQ(16, (*sound)->sampleSize);
  EXPECT_EQ(variableCompression, (*sound)->compressionID);
  EXPECT_EQ(44100u << 16, (*sound)->sampleRate);
  Handle wave = nullptr;
  ASSERT_EQ(noErr, GetSoundDescriptionExtension(sound, &wave, siDecompressionParams));
  EXPECT_GT(GetHandleSize(wave), 8);
  EXPECT_EQ('w', (*wave)[4]);
  DisposeHandle(wave);
  EXPECT_EQ(userDataItemNotFound, GetSoundDescriptionExtension(sound, &wave, FourCharCode("chan")));

  Media pcm = MediaOf(movie.get(), SoundMediaType, 2);
  GetMediaSampleDescription(pcm, 1, description);
  EXPECT_EQ(FourCharCode("twos"), (*sound)->dataFormat);
  EXPECT_EQ(notCompressed, (*sound)->compressionID);
  EXPECT_EQ(8192, GetMediaSampleCount(pcm));  // whole encoder frames of 1024
  GetMediaSampleDescription(pcm, 2, description);
  EXPECT_EQ(paramErr, GetMoviesError());
  DisposeHandle(reinterpret_cast<Handle>(description));
}

TEST_F(MovieRuntime, TheMovieBoxFollowsTheEnabledVideoTracksUntilItIsSet) {
  MoviePtr movie;
  ASSERT_EQ(noErr, Open(TwoTrackMovie(), &movie));
  // The file enables only its first track of a kind.
  Track second = GetMovieIndTrackType(movie.get(), 2, VideoMediaType, movieTrackMediaType);
  EXPECT_FALSE(GetTrackEnabled(second));
  SetTrackEnabled(second, true);
  Rect box;
  GetMovieBox(movie.get(), &box);
  EXPECT_EQ(176, box.right);
  EXPECT_EQ(144, box.bottom);
  SetTrackEnabled(GetMovieIndTrackType(movie.get(), 1, VideoMediaType, movieTrackMediaType), false);
  EXPECT_EQ(nullptr, GetMovieIndTrackType(movie.get(), 2, VideoMediaType, movieTrackMediaType | movieTrackEnabledOnly));
  GetMovieBox(movie.get(), &box);
  EXPECT_EQ(96, box.right);
  EXPECT_EQ(64, box.bottom);
  const Rect set{10, 20, 50, 90};
  SetMovieBox(movie.get(), &set);
  SetTrackEnabled(GetMovieIndTrackType(movie.get(), 1, VideoMediaType, movieTrackMediaType), true);
  GetMovieBox(movie.get(), &box);
  EXPECT_EQ(90, box.right);
  EXPECT_EQ(10, box.top);
}

TEST_F(MovieRuntime, MediaSamplesAreReadInRunsOfTheirSizeFromTheirTimes) {
  MoviePtr movie;
  ASSERT_EQ(noErr, Open(TwoTrackMovie(), &movie));
  Handle data = NewHandle(0);
  int32_t size = 0, count = 0;
  TimeValue time = 0, each = 0;
  // Uncompressed sound: sample frames, from any frame on, as many as fit.
  Media pcm = MediaOf(movie.get(), SoundMediaType, 2);
  ASSERT_EQ(noErr, GetMediaSample(pcm, data, 400, &size, 100, &time, &each, nullptr, nullptr, 0, &count, nullptr));
  EXPECT_EQ(400, size);
  EXPECT_EQ(200, count);
  EXPECT_EQ(100, time);
  EXPECT_EQ(1, each);
  EXPECT_EQ(maxSizeToGrowTooSmall, GetMediaSample(pcm, data, 1, &size, 0, nullptr, nullptr, nullptr, nullptr, 0, &count, nullptr));
  EXPECT_EQ(invalidTime, GetMediaSample(pcm, data, 400, &size, 9000, nullptr, nullptr, nullptr, nullptr, 0, &count, nullptr));

  // Compressed sound: packets, the encoder's priming one before time 0.
  Media aac = MediaOf(movie.get(), SoundMediaType, 1);
  ASSERT_EQ(noErr, GetMediaSample(aac, data, 100000, &size, 1500, &time, &each, nullptr, nullptr, 0, &count, nullptr));
  EXPECT_EQ(1024, time);
  EXPECT_EQ(1024, each);
  EXPECT_GE(count, 1);
  EXPECT_EQ(size % count, 0);
  TimeValue next = 0, length = 0;
  GetMediaNextInterestingTime(aac, nextTimeMediaSample, 0, -0x10000, &next, &length);
  EXPECT_EQ(-1024, next);
  EXPECT_EQ(1024, length);
  GetMediaNextInterestingTime(aac, nextTimeMediaSample | nextTimeEdgeOK, 1024, 0x10000, &next, &length);
  EXPECT_EQ(1024, next);
  GetMediaNextInterestingTime(aac, nextTimeMediaSample, 1024, 0x10000, &next, &length);
  EXPECT_EQ(2048, next);
  ASSERT_EQ(noErr, GetMediaSample(aac, data, 100000, &size, -1024, &time, nullptr, nullptr, nullptr, 1, &count, nullptr));
  EXPECT_EQ(-1024, time);
  EXPECT_EQ(1, count);

  // Video frames in the order shown.
  Media h264 = MediaOf(movie.get(), VideoMediaType, 1);
  TimeValue64 shown = GetMediaDisplayStartTime(h264), following = 0;
  EXPECT_EQ(0, shown);
  int frames = 1;
  for (;; ++frames) {
    GetMediaNextInterestingDisplayTime(h264, nextTimeMediaSample, shown, 0x10000, &following, nullptr);
    if (following < 0) break;
    EXPECT_GT(following, shown);
    shown = following;
  }
  EXPECT_EQ(20, frames);
  DisposeHandle(data);
}

// Draws the frame shown at a time into a world over guarded memory and reads its code.
int DrawnCode(Movie movie, OSType format, int bytesPerPixel, int width, int height, TimeValue64 time, TimeScale scale) {
  const int32_t rowBytes = width * bytesPerPixel;  // no padding: the last row ends at the guard
  GuardedBuffer pixels(size_t(rowBytes) * size_t(height));
  std::memset(pixels.data(), 0xFF, pixels.size());  // white: code 1023 where nothing is drawn
  GWorldPtr world = nullptr;
  const Rect bounds{0, 0, int16_t(height), int16_t(width)};
  EXPECT_EQ(noErr, NewGWorldFromPtr(&world, format, &bounds, nullptr, nullptr, 0, reinterpret_cast<Ptr>(pixels.data()), rowBytes));
  SetMovieGWorld(movie, world, GetGWorldDevice(world));
  SetMovieBox(movie, &bounds);
  const TimeRecord when{{int32_t(time >> 32), uint32_t(time)}, scale, nullptr};
  SetMovieTime(movie, &when);
  MoviesTask(movie, 0);
  SetMovieGWorld(movie, nullptr, nullptr);
  DisposeGWorld(world);
  return testing_support::ReadFrameCode(width, height, [&](int x, int y) {
    const uint8_t* p = pixels.data() + size_t(y) * size_t(rowBytes) + size_t(x) * size_t(bytesPerPixel);
    if (bytesPerPixel == 2) {
      const int v = p[0] | p[1] << 8;
      return testing_support::Rgb{(v >> 10 & 31) * 8, (v >> 5 & 31) * 8, (v & 31) * 8};
    }
    return testing_support::Rgb{p[2], p[1], p[0]};
  });
}

TEST_F(MovieRuntime, FramesAreDrawnAtAnySizeAndDepthWithinTheWorld) {
  MoviePtr movie;
  ASSERT_EQ(noErr, Open(TwoTrackMovie(), &movie));
  SetTrackEnabled(GetMovieIndTrackType(movie.get(), 2, VideoMediaType, movieTrackMediaType), false);
  const TimeScale scale = GetMediaTimeScale(MediaOf(movie.get(), VideoMediaType, 1));
  // The frame shown at 0.5 s is frame 12; backwards to frame 3, forwards to the last.
  EXPECT_EQ(12, DrawnCode(movie.get(), k32BGRAPixelFormat, 4, 176, 144, scale / 2, scale));
  EXPECT_EQ(3, DrawnCode(movie.get(), k32BGRAPixelFormat, 4, 176, 144, scale * 3 / 25, scale));
  EXPECT_EQ(19, DrawnCode(movie.get(), k32BGRAPixelFormat, 4, 176, 144, scale * 5, scale));
  // Odd sizes, scaled, in every depth.
  EXPECT_EQ(7, DrawnCode(movie.get(), k24BGRPixelFormat, 3, 161, 99, scale * 7 / 25, scale));
  EXPECT_EQ(8, DrawnCode(movie.get(), k16LE555PixelFormat, 2, 175, 143, scale * 8 / 25, scale));
  EXPECT_EQ(9, DrawnCode(movie.get(), k32BGRAPixelFormat, 4, 333, 201, scale * 9 / 25, scale));
  // Before the first frame nothing is drawn.
  EXPECT_EQ(1023, DrawnCode(movie.get(), k32BGRAPixelFormat, 4, 176, 144, -100, scale));
}

// Reads the PCM track through the converter's callback.
struct PcmSource {
  Media media;
  Handle data = NewHandle(0);
  TimeValue next = 0;
  ExtendedSoundComponentData record{};
  ~PcmSource() { DisposeHandle(data); }
  static Boolean Fill(SoundComponentDataPtr* out, void* refCon) {
    auto* self = static_cast<PcmSource*>(refCon);
    int32_t size = 0, count = 0;
    TimeValue time = 0, each = 0;
    if (GetMediaSample(self->media, self->data, 1000, &size, self->next, &time, &each, nullptr, nullptr, 0, &count,
                       nullptr) != noErr)
      return false;
    self->record.desc.flags = kExtendedSoundData;
    self->record.desc.sampleCount = count;
    self->record.desc.buffer = reinterpret_cast<uint8_t*>(*self->data);
    self->record.extendedFlags = kExtendedSoundBufferSizeValid;
    self->record.bufferSize = size;
    self->next = time + count * each;
    *out = &self->record.desc;
    return true;
  }
};

TEST_F(MovieRuntime, SoundConvertsIntoBuffersOfAnySizeWithoutWritingPastThem) {
  MoviePtr movie;
  ASSERT_EQ(noErr, Open(TwoTrackMovie(), &movie));
  const SoundComponentData input{0, FourCharCode("twos"), 1, 16, 8000u << 16, 0, nullptr, 0};
  const SoundComponentData output{0, kSoundNotCompressed, 2, 16, 44100u << 16, 0, nullptr, 0};
  SoundConverter converter = nullptr;
  ASSERT_EQ(noErr, SoundConverterOpen(&input, &output, &converter));
  EXPECT_EQ(siUnknownInfoType, SoundConverterSetInfo(converter, FourCharCode("xxxx"), nullptr));
  ASSERT_EQ(noErr, SoundConverterBeginConversion(converter));
  PcmSource source{MediaOf(movie.get(), SoundMediaType, 2)};
  uint64_t total = 0;
  for (;;) {
    GuardedBuffer out(1001);  // not a whole number of stereo frames
    uint32_t bytes = 0, frames = 0, flags = 0;
    ASSERT_EQ(noErr, SoundConverterFillBuffer(converter, &PcmSource::Fill, &source, out.data(), uint32_t(out.size()),
                                              &bytes, &frames, &flags));
    EXPECT_LE(bytes, 1000u);
    EXPECT_EQ(bytes, frames * 4);
    total += frames;
    if (flags & kSoundConverterDidntFillBuffer) break;
  }
  GuardedBuffer tail(1000);
  uint32_t frames = 0, bytes = 0;
  ASSERT_EQ(noErr, SoundConverterEndConversion(converter, tail.data(), &frames, &bytes));
  total += frames;
  EXPECT_NEAR(44100.0 * 8192 / 8000, double(total), 64);  // the track's whole encoder frames

  // Uncompressed input converted a buffer at a time, into what GetBufferSizes asked for.
  ASSERT_EQ(noErr, SoundConverterBeginConversion(converter));
  uint32_t inFrames = 0, inBytes = 0, outBytes = 0;
  ASSERT_EQ(noErr, SoundConverterGetBufferSizes(converter, 301, &inFrames, &inBytes, &outBytes));
  EXPECT_EQ(150u, inFrames);
  EXPECT_EQ(300u, inBytes);
  GuardedBuffer in(inBytes), out(outBytes);
  ASSERT_EQ(noErr, SoundConverterConvertBuffer(converter, in.data(), inFrames, out.data(), &frames, &bytes));
  EXPECT_LE(bytes, outBytes);
  EXPECT_EQ(paramErr, SoundConverterConvertBuffer(converter, in.data(), inFrames + 1, out.data(), &frames, &bytes));
  EXPECT_EQ(noErr, SoundConverterClose(converter));

  const SoundComponentData unknown{0, FourCharCode("zzzz"), 1, 16, 8000u << 16, 0, nullptr, 0};
  EXPECT_EQ(noCodecErr, SoundConverterOpen(&unknown, &output, &converter));
}

TEST(MovieRuntimeMemory, HandlesKeepTheirSizeAndRefuseBadOnes) {
  Handle h = NewHandle(10);
  ASSERT_NE(nullptr, h);
  EXPECT_EQ(10, GetHandleSize(h));
  SetHandleSize(h, 100000);
  EXPECT_EQ(noErr, MemError());
  EXPECT_EQ(100000, GetHandleSize(h));
  SetHandleSize(h, -1);
  EXPECT_EQ(paramErr, MemError());
  EXPECT_EQ(100000, GetHandleSize(h));
  SetHandleSize(h, 0);
  EXPECT_EQ(nullptr, *h);
  DisposeHandle(h);
  EXPECT_EQ(nullptr, NewHandle(-5));
  EXPECT_EQ(paramErr, MemError());
  Handle clear = NewHandleClear(4);
  EXPECT_EQ(0, (*clear)[0] | (*clear)[3]);
  DisposeHandle(clear);
  EXPECT_EQ(0, GetHandleSize(nullptr));
  EXPECT_EQ(nilHandleErr, MemError());
}

TEST(MovieRuntimeFixed, FixedPointRoundsToTheNearestWhole) {
  EXPECT_EQ(30, FixRound(X2Fix(29.97)));
  EXPECT_EQ(0, FixRound(X2Fix(0.4)));
  EXPECT_EQ(1, FixRound(X2Fix(0.5)));
  EXPECT_EQ(-2, FixRound(X2Fix(-1.5)));
  EXPECT_EQ(0x7FFFFFFF, X2Fix(1e9));
}

}  // namespace
}  // namespace quicktime_test
