// The video pin on a 16-bit screen (CORVANE_SCREEN=1024x768x16, set for this process only).
#include <cstdlib>

#include "movie_test_support.h"

namespace movie_source_test {
namespace {

TEST(SixteenBitScreen, VideoComesAsRgb555) {
  if (!std::getenv("CORVANE_SCREEN")) GTEST_SKIP() << "runs in the process with a 16-bit screen";
  testing_support::MovieOptions o;
  testing_support::MovieVideoTrack v;
  v.encoder = "mjpeg";
  v.width = 320;
  v.height = 240;
  v.frames = 5;
  o.video = {v};
  LoadedFilter loaded = LoadFilter(MovieFile("qvga.mov", o));
  ASSERT_EQ(S_OK, loaded.loaded);
  PinPlayer player(loaded, {0});
  const CMediaType type = player.Sink()->ConnectedType();
  EXPECT_EQ(MEDIASUBTYPE_RGB555, type.subtype);
  const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
  EXPECT_EQ(16, info->bmiHeader.biBitCount);
  EXPECT_EQ(-240, info->bmiHeader.biHeight);
  EXPECT_EQ(153600, player.Sink()->Buffers().cbBuffer);
  player.Run();
  const Played played = player.Finish().front();
  ASSERT_TRUE(played.ended);
  const std::vector<int> codes = FrameCodesOf(played);
  EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), codes);
}

}  // namespace
}  // namespace movie_source_test
