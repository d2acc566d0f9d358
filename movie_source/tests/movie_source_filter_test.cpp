// Loading movies into the filter: pins and their names, media types and buffers, the interfaces
// the filter hands out for its pins, file names, and files it refuses.
#include <fstream>
#include <iterator>

#include "movie_test_support.h"
#include "testing/sandbox.h"

namespace movie_source_test {
namespace {

using testing_support::MovieOptions;
using testing_support::MovieSoundTrack;
using testing_support::MovieVideoTrack;

MovieVideoTrack Video(const std::string& encoder, int width, int height, int frames) {
  MovieVideoTrack v;
  v.encoder = encoder;
  v.width = width;
  v.height = height;
  v.frames = frames;
  return v;
}

MovieSoundTrack Sound(const std::string& encoder, int rate, int channels, double seconds) {
  MovieSoundTrack s;
  s.encoder = encoder;
  s.sampleRate = rate;
  s.channels = channels;
  s.seconds = seconds;
  return s;
}

std::string H264Movie() {
  MovieOptions o;
  o.video = {Video("libx264", 176, 144, 50)};
  o.sound = {Sound("aac", 44100, 2, 2.0)};
  return MovieFile("h264_aac.mov", o);
}

std::string TwoVideoMovie() {
  MovieOptions o;
  o.video = {Video("libx264", 176, 144, 50), Video("mjpeg", 96, 64, 40)};
  o.sound = {Sound("pcm_s16be", 22050, 1, 2.0)};
  return MovieFile("two_videos_pcm.mov", o);
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = testing_support::SandboxDir() + "/" + name;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return path;
}

// The media handler of the index-th 'hdlr' box of a kind, changed to another kind.
std::vector<uint8_t> WithHandler(std::vector<uint8_t> bytes, const char* from, const char* to, int index) {
  for (size_t i = 0; i + 16 <= bytes.size(); ++i)
    if (std::equal(bytes.begin() + long(i), bytes.begin() + long(i) + 4, "hdlr") &&
        std::equal(bytes.begin() + long(i) + 12, bytes.begin() + long(i) + 16, from) && index-- == 0) {
      std::copy(to, to + 4, bytes.begin() + long(i) + 12);
      break;
    }
  return bytes;
}

TEST(MovieSourceFilter, PinsComeOnePerTrackNamedByTheirKindsCount) {
  LoadedFilter one = LoadFilter(H264Movie());
  ASSERT_EQ(S_OK, one.loaded);
  ASSERT_EQ(2, one.PinCount());
  EXPECT_EQ(u"Video Out 1", one.PinName(0));
  EXPECT_EQ(u"Audio Out 1", one.PinName(1));

  // Two video tracks and one sound track: video 1, audio 1, video 2.
  LoadedFilter two = LoadFilter(TwoVideoMovie());
  ASSERT_EQ(S_OK, two.loaded);
  ASSERT_EQ(3, two.PinCount());
  EXPECT_EQ(u"Video Out 1", two.PinName(0));
  EXPECT_EQ(u"Audio Out 1", two.PinName(1));
  EXPECT_EQ(u"Video Out 2", two.PinName(2));
  PIN_DIRECTION direction = PINDIR_INPUT;
  two.Pin(2)->QueryDirection(&direction);
  EXPECT_EQ(PINDIR_OUTPUT, direction);
}

TEST(MovieSourceFilter, VideoPinOffersTopDownRgbOfTheScreensDepthInThreePictureBuffers) {
  MovieOptions o;
  o.video = {Video("mjpeg", 320, 240, 5)};
  LoadedFilter loaded = LoadFilter(MovieFile("qvga.mov", o));
  ASSERT_EQ(S_OK, loaded.loaded);
  PinPlayer player(loaded, {0});
  const CMediaType type = player.Sink()->ConnectedType();
  EXPECT_EQ(MEDIATYPE_Video, type.majortype);
  EXPECT_EQ(MEDIASUBTYPE_RGB32, type.subtype);
  EXPECT_EQ(FORMAT_VideoInfo, type.formattype);
  ASSERT_GE(type.cbFormat, sizeof(VIDEOINFOHEADER));
  const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
  EXPECT_EQ(320, info->bmiHeader.biWidth);
  EXPECT_EQ(-240, info->bmiHeader.biHeight);
  EXPECT_EQ(32, info->bmiHeader.biBitCount);
  EXPECT_EQ(1, info->bmiHeader.biPlanes);
  EXPECT_EQ(DWORD(BI_RGB), info->bmiHeader.biCompression);
  EXPECT_EQ(307200u, info->bmiHeader.biSizeImage);
  EXPECT_EQ(400000, info->AvgTimePerFrame);
  EXPECT_EQ(307200u, type.lSampleSize);

  const ALLOCATOR_PROPERTIES props = player.Sink()->Buffers();
  EXPECT_EQ(3, props.cBuffers);
  EXPECT_EQ(307200, props.cbBuffer);
}

TEST(MovieSourceFilter, SoundPinOffersPcmInOneBufferOfTwoSeconds) {
  LoadedFilter loaded = LoadFilter(TwoVideoMovie());
  ASSERT_EQ(S_OK, loaded.loaded);
  PinPlayer player(loaded, {1});
  const CMediaType type = player.Sink()->ConnectedType();
  EXPECT_EQ(MEDIATYPE_Audio, type.majortype);
  EXPECT_EQ(MEDIASUBTYPE_PCM, type.subtype);
  EXPECT_EQ(FORMAT_WaveFormatEx, type.formattype);
  EXPECT_FALSE(type.bFixedSizeSamples);
  ASSERT_EQ(sizeof(WAVEFORMATEX), type.cbFormat);
  const auto* wave = reinterpret_cast<const WAVEFORMATEX*>(type.pbFormat);
  EXPECT_EQ(WAVE_FORMAT_PCM, wave->wFormatTag);
  EXPECT_EQ(1, wave->nChannels);
  EXPECT_EQ(22050u, wave->nSamplesPerSec);
  EXPECT_EQ(16, wave->wBitsPerSample);
  EXPECT_EQ(2, wave->nBlockAlign);
  EXPECT_EQ(44100u, wave->nAvgBytesPerSec);
  EXPECT_EQ(0, wave->cbSize);

  const ALLOCATOR_PROPERTIES props = player.Sink()->Buffers();
  EXPECT_EQ(1, props.cBuffers);
  EXPECT_EQ(88200, props.cbBuffer);
}

TEST(MovieSourceFilter, PinsTellTheirTracksFormatCodes) {
  LoadedFilter loaded = LoadFilter(H264Movie());
  ASSERT_EQ(S_OK, loaded.loaded);
  DWORD code = 0;
  ComPtr<IMovieCodecInfo> video = loaded.Pin(0).As<IMovieCodecInfo>(IID_IMovieCodecInfo);
  ASSERT_TRUE(video);
  video->GetFormatCode(&code);
  EXPECT_EQ(FourCharCode("avc1"), code);
  video->GetVideoFormatCode(&code);
  EXPECT_EQ(FourCharCode("avc1"), code);
  ComPtr<IMovieCodecInfo> sound = loaded.Pin(1).As<IMovieCodecInfo>(IID_IMovieCodecInfo);
  ASSERT_TRUE(sound);
  sound->GetFormatCode(&code);
  EXPECT_EQ(FourCharCode("mp4a"), code);
  sound->GetVideoFormatCode(&code);
  EXPECT_EQ(FourCharCode("NONE"), code);
}

TEST(MovieSourceFilter, FilterHandsOutTheVideoInfoOfTheSecondToLastPinAndTheSoundInfoOfTheLast) {
  LoadedFilter loaded = LoadFilter(H264Movie());
  ASSERT_EQ(S_OK, loaded.loaded);
  ComPtr<IMovieVideoInfo> video = loaded.filter.As<IMovieVideoInfo>(IID_IMovieVideoInfo);
  ASSERT_TRUE(video);
  LONG rate = 0;
  EXPECT_EQ(S_OK, video->GetFrameRate(&rate));
  EXPECT_EQ(25, rate);
  ComPtr<IMovieAudioInfo> sound = loaded.filter.As<IMovieAudioInfo>(IID_IMovieAudioInfo);
  ASSERT_TRUE(sound);
  EXPECT_EQ(S_OK, sound->IsMpeg4Audio());
  EXPECT_EQ(S_OK, sound->GetSourceSampleRate(&rate));
  EXPECT_EQ(44100, rate);
  // The pins are the filter's: they hold it alive.
  loaded.filter = nullptr;
  EXPECT_EQ(S_OK, video->GetFrameRate(&rate));

  // With the sound track last but one, the filter's answer is whatever pin stands there.
  LoadedFilter two = LoadFilter(TwoVideoMovie());
  ASSERT_EQ(S_OK, two.loaded);
  ComPtr<IUnknown> none;
  EXPECT_EQ(E_NOINTERFACE, two.filter->QueryInterface(IID_IMovieVideoInfo, none.putVoid()));
  ComPtr<IMovieAudioInfo> notSound;
  EXPECT_EQ(E_NOINTERFACE, two.filter->QueryInterface(IID_IMovieAudioInfo, notSound.putVoid()));
  ComPtr<IMovieAudioInfo> pcm = two.Pin(1).As<IMovieAudioInfo>(IID_IMovieAudioInfo);
  ASSERT_TRUE(pcm);
  EXPECT_EQ(S_FALSE, pcm->IsMpeg4Audio());

  // A filter without pins hands out neither.
  LoadedFilter empty = NewFilter();
  EXPECT_EQ(E_NOINTERFACE, empty.filter->QueryInterface(IID_IMovieVideoInfo, none.putVoid()));
  EXPECT_EQ(E_NOINTERFACE, empty.filter->QueryInterface(IID_IMovieAudioInfo, none.putVoid()));
}

TEST(MovieSourceFilter, ASoundPinAskedForAnotherRateDeliversAtIt) {
  const std::string path = H264Movie();
  LoadedFilter loaded = LoadFilter(path);
  ASSERT_EQ(S_OK, loaded.loaded);
  ComPtr<IMovieAudioInfo> sound = loaded.filter.As<IMovieAudioInfo>(IID_IMovieAudioInfo);
  EXPECT_EQ(S_OK, sound->SetOutputSampleRate(0x100, 8000));  // the flag's low byte is clear
  EXPECT_EQ(E_INVALIDARG, sound->SetOutputSampleRate(1, -1));
  EXPECT_EQ(S_OK, sound->SetOutputSampleRate(1, 22050));
  Played played = PlayPin(loaded, 1);
  ASSERT_TRUE(played.ended);
  const auto* wave = reinterpret_cast<const WAVEFORMATEX*>(played.type.Format());
  EXPECT_EQ(22050u, wave->nSamplesPerSec);
  const int64_t frames = int64_t(Concatenated(played.samples).size() / wave->nBlockAlign);
  EXPECT_NEAR(double(PlainSoundDecode(path).size() / 4) / 44100, double(frames) / 22050, 0.01);
  EXPECT_EQ(frames * UNITS / 22050, played.samples.back().stop);
}

TEST(MovieSourceFilter, FileNameIsKeptFromTheOneLoadThatWorked) {
  LoadedFilter loaded = NewFilter();
  ComPtr<IFileSourceFilter> file = loaded.filter.As<IFileSourceFilter>(IID_IFileSourceFilter);
  LPOLESTR name = reinterpret_cast<LPOLESTR>(1);
  EXPECT_EQ(S_OK, file->GetCurFile(&name, nullptr));
  EXPECT_EQ(nullptr, name);
  EXPECT_EQ(E_POINTER, file->GetCurFile(nullptr, nullptr));
  EXPECT_EQ(E_POINTER, file->Load(nullptr, nullptr));

  std::u16string first;
  for (char c : H264Movie()) first.push_back(char16_t(c));
  ASSERT_EQ(S_OK, file->Load(first.c_str(), nullptr));
  std::u16string second;
  for (char c : TwoVideoMovie()) second.push_back(char16_t(c));
  EXPECT_EQ(E_FAIL, file->Load(second.c_str(), nullptr));
  EXPECT_EQ(2, loaded.PinCount());
  ASSERT_EQ(S_OK, file->GetCurFile(&name, nullptr));
  EXPECT_EQ(first, std::u16string(name));
  CoTaskMemFree(name);
}

TEST(MovieSourceFilter, DamagedAndForeignFilesAreRefusedWithoutPinsAndAnotherLoadWorks) {
  const std::vector<uint8_t> movie = ReadAll(H264Movie());
  ASSERT_GT(movie.size(), 1000u);
  std::vector<std::string> refused;
  refused.push_back(testing_support::SandboxDir() + "/missing.mov");
  refused.push_back(WriteFile("truncated.mov", std::vector<uint8_t>(movie.begin(), movie.begin() + long(movie.size() / 2))));
  refused.push_back(WriteFile("header_only.mov", std::vector<uint8_t>(movie.begin(), movie.begin() + 40)));
  std::vector<uint8_t> garbage(4096);
  for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = uint8_t(i * 7919 >> 3);
  refused.push_back(WriteFile("garbage.mov", garbage));
  // A track box claiming more than its parent holds.
  std::vector<uint8_t> overrun = movie;
  for (size_t i = 4; i + 4 <= overrun.size(); ++i)
    if (std::equal(overrun.begin() + long(i), overrun.begin() + long(i) + 4, "trak")) {
      overrun[i - 4] = 0x7F;
      break;
    }
  refused.push_back(WriteFile("overrun.mov", overrun));
  // A Flash track.
  refused.push_back(WriteFile("flash.mov", WithHandler(ReadAll(TwoVideoMovie()), "vide", "flsh", 1)));

  for (const std::string& path : refused) {
    LoadedFilter loaded = LoadFilter(path);
    EXPECT_EQ(E_FAIL, loaded.loaded) << path;
    EXPECT_EQ(0, loaded.PinCount()) << path;
    // The filter is still free to take a file.
    std::u16string good;
    for (char c : H264Movie()) good.push_back(char16_t(c));
    EXPECT_EQ(S_OK, loaded.filter.As<IFileSourceFilter>(IID_IFileSourceFilter)->Load(good.c_str(), nullptr)) << path;
    EXPECT_EQ(2, loaded.PinCount()) << path;
  }
}

TEST(MovieSourceFilter, SlowRatesAreKeptUnrounded) {
  MovieOptions o;
  MovieVideoTrack v = Video("mjpeg", 64, 48, 3);
  v.frameMilliseconds = {2500};  // 0.4 frames a second
  o.video = {v};
  LoadedFilter loaded = LoadFilter(MovieFile("slow.mov", o));
  ASSERT_EQ(S_OK, loaded.loaded);
  ComPtr<IMovieVideoInfo> video = loaded.Pin(0).As<IMovieVideoInfo>(IID_IMovieVideoInfo);
  LONG rate = -1;
  video->GetFrameRate(&rate);
  EXPECT_EQ(0, rate);
  Played played = PlayPin(loaded, 0);
  ASSERT_TRUE(played.ended);
  const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(played.type.Format());
  EXPECT_EQ(25000000, info->AvgTimePerFrame);
  ASSERT_EQ(3u, played.samples.size());
  EXPECT_EQ(50000000, played.samples[2].start);
  EXPECT_EQ(2, FrameCodeOf(played.type, played.samples[2]));
}

TEST(MovieSourceFilter, TracksBeyondSixteenGetNoPin) {
  MovieOptions o;
  for (int i = 0; i < 17; ++i) o.sound.push_back(Sound("pcm_s16be", 8000, 1, 0.2));
  LoadedFilter loaded = LoadFilter(MovieFile("seventeen.mov", o));
  ASSERT_EQ(S_OK, loaded.loaded);
  EXPECT_EQ(16, loaded.PinCount());
  EXPECT_EQ(u"Audio Out 16", loaded.PinName(15));
}

TEST(MovieSourceFilter, PinsStreamAtOnceEachFromItsOwnTrack) {
  const std::string path = TwoVideoMovie();
  LoadedFilter loaded = LoadFilter(path);
  ASSERT_EQ(S_OK, loaded.loaded);
  PinPlayer player(loaded, {0, 1, 2});
  player.Run();
  const std::vector<Played> played = player.Finish();
  for (const Played& p : played) EXPECT_TRUE(p.ended);
  EXPECT_EQ(50u, played[0].samples.size());
  EXPECT_EQ(40u, played[2].samples.size());
  EXPECT_EQ(49, FrameCodeOf(played[0].type, played[0].samples.back()));
  EXPECT_EQ(39, FrameCodeOf(played[2].type, played[2].samples.back()));
  EXPECT_TRUE(PlainSoundDecode(path) == Concatenated(played[1].samples));
}

}  // namespace
}  // namespace movie_source_test
