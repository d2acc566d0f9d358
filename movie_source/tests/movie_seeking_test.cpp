// Seeking the filter's pins in media time and in frames, stop positions, seeks while streaming,
// quality catch-up and the seeking interface's answers.
#include "movie_test_support.h"

namespace movie_source_test {
namespace {

using testing_support::MovieOptions;
using testing_support::MovieSoundTrack;
using testing_support::MovieVideoTrack;

std::string H264Movie() {
  MovieOptions o;
  o.video = {MovieVideoTrack{}};
  o.sound = {MovieSoundTrack{}};
  return MovieFile("h264_aac.mov", o);
}

// 60 frames at 29.97 a second, delivered at 30.
std::string NtscMovie() {
  MovieVideoTrack v;
  v.encoder = "mjpeg";
  v.width = 64;
  v.height = 48;
  v.frames = 60;
  v.rateNum = 30000;
  v.rateDen = 1001;
  MovieOptions o;
  o.video = {v};
  return MovieFile("ntsc.mov", o);
}

void SeekTo(IMediaSeeking* seeking, LONGLONG start, LONGLONG stop = -1) {
  LONGLONG at = start, end = stop;
  ASSERT_EQ(S_OK, seeking->SetPositions(&at, AM_SEEKING_AbsolutePositioning, stop >= 0 ? &end : nullptr,
                                        stop >= 0 ? AM_SEEKING_AbsolutePositioning : AM_SEEKING_NoPositioning));
}

TEST(MovieSeeking, AStartInMediaTimeLandsOnTheFrameShownThen) {
  LoadedFilter loaded = LoadFilter(H264Movie());
  ASSERT_EQ(S_OK, loaded.loaded);
  // Exactly at frame 25, and within frame 30 (1.23 s): streaming starts at the frame's own start.
  for (auto [at, frame] : {std::pair<LONGLONG, int>{10000000, 25}, {12300000, 30}}) {
    Played played = PlayPin(loaded, 0, [at = at](IMediaSeeking* s) { SeekTo(s, at); });
    ASSERT_TRUE(played.ended);
    const std::vector<int> codes = FrameCodesOf(played);
    ASSERT_EQ(size_t(50 - frame), codes.size());
    EXPECT_EQ(frame, codes.front());
    EXPECT_EQ(49, codes.back());
    ASSERT_FALSE(played.segmentStarts.empty());
    EXPECT_EQ(frame * 400000LL, played.segmentStarts.back());
    EXPECT_EQ(0, played.samples.front().start);  // stamps count from the segment's start
    EXPECT_EQ(400000, played.samples.front().stop);
  }
}

TEST(MovieSeeking, AStartInFramesLandsOnThatFrameAtTheRoundedRate) {
  LoadedFilter loaded = LoadFilter(NtscMovie());
  ASSERT_EQ(S_OK, loaded.loaded);
  Played played = PlayPin(loaded, 0, [](IMediaSeeking* s) {
    ASSERT_EQ(S_OK, s->SetTimeFormat(&TIME_FORMAT_FRAME));
    SeekTo(s, 45);
  });
  ASSERT_TRUE(played.ended);
  const std::vector<int> codes = FrameCodesOf(played);
  ASSERT_EQ(15u, codes.size());
  EXPECT_EQ(45, codes.front());
  EXPECT_EQ(45 * UNITS / 30, played.segmentStarts.back());
}

TEST(MovieSeeking, TheFrameFormatCountsFramesAtThePinsRate) {
  LoadedFilter loaded = LoadFilter(H264Movie());
  ComPtr<IMediaSeeking> seeking = loaded.Pin(0).As<IMediaSeeking>(IID_IMediaSeeking);
  LONGLONG duration = 0;
  ASSERT_EQ(S_OK, seeking->GetDuration(&duration));
  const LONGLONG mediaDuration = duration;
  ASSERT_EQ(S_OK, seeking->SetTimeFormat(&TIME_FORMAT_FRAME));
  EXPECT_EQ(S_OK, seeking->IsUsingTimeFormat(&TIME_FORMAT_FRAME));
  EXPECT_EQ(S_FALSE, seeking->IsUsingTimeFormat(&TIME_FORMAT_MEDIA_TIME));
  ASSERT_EQ(S_OK, seeking->GetDuration(&duration));
  EXPECT_EQ(mediaDuration * 25 / UNITS, duration);
  LONGLONG converted = 0;
  EXPECT_EQ(S_OK, seeking->ConvertTimeFormat(&converted, &TIME_FORMAT_FRAME, 10000000, &TIME_FORMAT_MEDIA_TIME));
  EXPECT_EQ(25, converted);
  EXPECT_EQ(S_OK, seeking->ConvertTimeFormat(&converted, &TIME_FORMAT_MEDIA_TIME, 30, &TIME_FORMAT_FRAME));
  EXPECT_EQ(12000000, converted);
  EXPECT_EQ(S_OK, seeking->ConvertTimeFormat(&converted, nullptr, 0, &TIME_FORMAT_MEDIA_TIME));
  EXPECT_EQ(0, converted);
  EXPECT_EQ(E_INVALIDARG, seeking->ConvertTimeFormat(&converted, &TIME_FORMAT_BYTE, 0, nullptr));
  EXPECT_EQ(E_INVALIDARG, seeking->SetTimeFormat(&TIME_FORMAT_BYTE));
  GUID format{};
  seeking->GetTimeFormat(&format);
  EXPECT_EQ(TIME_FORMAT_FRAME, format);
}

TEST(MovieSeeking, SeekingInterfaceAnswers) {
  LoadedFilter loaded = LoadFilter(H264Movie());
  ComPtr<IMediaSeeking> seeking = loaded.Pin(1).As<IMediaSeeking>(IID_IMediaSeeking);
  ASSERT_TRUE(seeking);
  DWORD caps = 0;
  seeking->GetCapabilities(&caps);
  EXPECT_EQ(63u, caps);
  DWORD asked = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanGetDuration;
  EXPECT_EQ(S_OK, seeking->CheckCapabilities(&asked));
  asked = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanPlayBackwards;
  EXPECT_EQ(S_FALSE, seeking->CheckCapabilities(&asked));
  EXPECT_EQ(DWORD(AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanPlayBackwards), asked);
  EXPECT_EQ(E_POINTER, seeking->CheckCapabilities(nullptr));
  EXPECT_EQ(S_FALSE, seeking->IsFormatSupported(&TIME_FORMAT_SAMPLE));
  GUID preferred{};
  seeking->QueryPreferredFormat(&preferred);
  EXPECT_EQ(TIME_FORMAT_MEDIA_TIME, preferred);
  EXPECT_EQ(E_INVALIDARG, seeking->SetRate(2.0));
  double rate = 0;
  seeking->GetRate(&rate);
  EXPECT_EQ(1.0, rate);
  LONGLONG value = 0;
  EXPECT_EQ(E_NOTIMPL, seeking->GetCurrentPosition(&value));
  LONGLONG earliest = -1, latest = -1, duration = 0;
  seeking->GetAvailable(&earliest, &latest);
  seeking->GetDuration(&duration);
  EXPECT_EQ(0, earliest);
  EXPECT_EQ(duration, latest);
  LONGLONG stop = 0;
  seeking->GetStopPosition(&stop);
  EXPECT_EQ(duration, stop);
  LONGLONG at = 0;
  EXPECT_EQ(E_INVALIDARG, seeking->SetPositions(&at, AM_SEEKING_IncrementalPositioning, nullptr, 0));
  EXPECT_EQ(E_POINTER, seeking->SetPositions(nullptr, AM_SEEKING_AbsolutePositioning, nullptr, 0));
  EXPECT_EQ(E_INVALIDARG, seeking->SetPositions(nullptr, 0, &at, AM_SEEKING_AbsolutePositioning | AM_SEEKING_NoFlush));
}

TEST(MovieSeeking, AStopEndsTheStreamBeforeTheFrameShownThen) {
  LoadedFilter loaded = LoadFilter(H264Movie());
  Played played = PlayPin(loaded, 0, [](IMediaSeeking* s) { SeekTo(s, 4000000, 10000000); });
  ASSERT_TRUE(played.ended);
  const std::vector<int> codes = FrameCodesOf(played);
  ASSERT_EQ(15u, codes.size());
  EXPECT_EQ(10, codes.front());
  EXPECT_EQ(24, codes.back());
  // Incremental: the stop is the start plus the value.
  played = PlayPin(loaded, 0, [](IMediaSeeking* s) {
    LONGLONG at = 2000000, length = 4000000;
    ASSERT_EQ(S_OK, s->SetPositions(&at, AM_SEEKING_AbsolutePositioning, &length, AM_SEEKING_IncrementalPositioning));
    LONGLONG stop = 0;
    s->GetStopPosition(&stop);
    EXPECT_EQ(6000000, stop);
  });
  EXPECT_EQ(10u, played.samples.size());
}

TEST(MovieSeeking, EveryStreamEndsWhereverItStarts) {
  LoadedFilter loaded = LoadFilter(H264Movie());
  for (int pin : {0, 1}) {
    // Past the end, at the last frame, and with the stop before the start.
    Played past = PlayPin(loaded, pin, [](IMediaSeeking* s) { SeekTo(s, 50000000); });
    EXPECT_TRUE(past.ended) << pin;
    Played last = PlayPin(loaded, pin, [](IMediaSeeking* s) { SeekTo(s, 19600000); });
    EXPECT_TRUE(last.ended) << pin;
    EXPECT_FALSE(last.samples.empty()) << pin;
    Played none = PlayPin(loaded, pin, [](IMediaSeeking* s) { SeekTo(s, 10000000, 5000000); });
    EXPECT_TRUE(none.ended) << pin;
    EXPECT_TRUE(none.samples.empty()) << pin;
  }
  // The last frame alone (the stop set above moves back to the end).
  Played last = PlayPin(loaded, 0, [](IMediaSeeking* s) { SeekTo(s, 19600000, 20000000); });
  ASSERT_EQ(1u, last.samples.size());
  EXPECT_EQ(49, FrameCodeOf(last.type, last.samples.front()));
}

TEST(MovieSeeking, ASeekWhileStreamingFlushesAndGoesOnFromTheNewPlace) {
  LoadedFilter loaded = LoadFilter(H264Movie());
  PinPlayer player(loaded, {0});
  player.Sink()->HoldAtSample(3);
  player.Run();
  ASSERT_TRUE(player.Sink()->WaitUntilHeld());
  SeekTo(player.Seeking(), 12000000);
  const Played played = player.Finish().front();
  ASSERT_TRUE(played.ended);
  EXPECT_GE(player.Sink()->Flushes(), 1);
  const std::vector<int> codes = FrameCodesOf(played);
  ASSERT_EQ(20u, codes.size());
  EXPECT_EQ(30, codes.front());
  EXPECT_EQ(12000000, played.segmentStarts.back());
  EXPECT_TRUE(played.samples.front().discontinuity);
}

TEST(MovieSeeking, LateSamplesSkipFramesAndEarlyOnesRepeatThem) {
  LoadedFilter loaded = LoadFilter(H264Movie());
  PinPlayer player(loaded, {0});
  player.Sink()->HoldAtSample(10);
  player.Run();
  ASSERT_TRUE(player.Sink()->WaitUntilHeld());
  ComPtr<IQualityControl> quality = loaded.Pin(0).As<IQualityControl>(IID_IQualityControl);
  ASSERT_TRUE(quality);
  // The held sample shows frame 10; frame 11 is next. 0.2 s late: 5 frames are passed over.
  EXPECT_EQ(S_OK, quality->Notify(loaded.filter.get(), Quality{Famine, 1000, 2000000, 0}));
  player.Sink()->HoldAtSample(12);
  player.Sink()->ReleaseHold();
  ASSERT_TRUE(player.Sink()->WaitUntilHeld());
  // 0.12 s early: 3 frames again.
  EXPECT_EQ(S_OK, quality->Notify(loaded.filter.get(), Quality{Flood, 1000, -1200000, 0}));
  player.Sink()->ReleaseHold();
  const Played played = player.Finish().front();
  const std::vector<int> codes = FrameCodesOf(played);
  ASSERT_GT(codes.size(), 14u);
  EXPECT_EQ(10, codes[10]);
  EXPECT_EQ(16, codes[11]);
  EXPECT_EQ(17, codes[12]);
  EXPECT_EQ(15, codes[13]);
  EXPECT_EQ(16 * 400000, played.samples[11].start);
  EXPECT_EQ(49, codes.back());
}

TEST(MovieSeeking, SoundSeeksStartAtThePacketPlayingThenWithTheSoundOfAPlainDecode) {
  const std::string path = H264Movie();
  LoadedFilter loaded = LoadFilter(path);
  Played played = PlayPin(loaded, 1, [](IMediaSeeking* s) { SeekTo(s, 10000000); });
  ASSERT_TRUE(played.ended);
  // Packets of 1024 sample frames: the one playing at 1 s starts at 43 * 1024 frames.
  const int64_t first = 43 * 1024;
  ASSERT_FALSE(played.segmentStarts.empty());
  EXPECT_EQ((first * UNITS + 44099) / 44100, played.segmentStarts.back());
  const std::vector<uint8_t> plain = PlainSoundDecode(path);
  const std::vector<uint8_t> got = Concatenated(played.samples);
  ASSERT_EQ(plain.size() - size_t(first) * 4, got.size());
  // The encoder's noise substitution draws on the decoder's history, so after a seek the sound
  // matches a plain decode closely rather than exactly: a frame out of place would differ by far more.
  int worst = 0;
  for (size_t i = 0; i + 1 < got.size(); i += 2) {
    const int a = int16_t(got[i] | got[i + 1] << 8);
    const int b = int16_t(plain[size_t(first) * 4 + i] | plain[size_t(first) * 4 + i + 1] << 8);
    worst = std::max(worst, std::abs(a - b));
  }
  EXPECT_LT(worst, 328);  // 1% of full scale
  EXPECT_EQ(0, played.samples.front().start);
}

}  // namespace
}  // namespace movie_source_test
