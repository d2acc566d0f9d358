// Transitions and effects in a real conversion: one-colour clips joined by a numbered preset, a
// fade from black over the start and two effects, saved to AVI and decoded at known times.
#include <chrono>
#include <string>
#include <thread>

#include "hosted_control.h"
#include "testing/media_fixtures.h"
#include "testing/media_probe.h"
#include "testing/sandbox.h"
#include "testing/ui_driver.h"

namespace {

using testing_support::Rgb;

class EffectsConversionTest : public HostedControl {
 protected:
  static void SetUpTestSuite() {
    HostedControl::SetUpTestSuite();
    testing_support::ClipOptions options;
    options.format = "avi";
    options.videoEncoder = "mpeg4";
    options.audioEncoder = "";
    options.seconds = 4.0;
    options.solidColour = Rgb{230, 20, 20};
    ASSERT_EQ("", testing_support::MakeClip(Path("red.avi"), options));
    options.solidColour = Rgb{20, 20, 230};
    ASSERT_EQ("", testing_support::MakeClip(Path("blue.avi"), options));
  }
  static std::string Path(const char* name) { return testing_support::SandboxDir() + "/" + name; }

  bool WithTran(const std::string& file, double stop, short transition, double length) {
    return CallBool(dispidAddVideoWithTran, {COleVariant(file.c_str()), COleVariant(0.0), COleVariant(stop),
                                             COleVariant(short(0)), COleVariant(transition), COleVariant(length)});
  }
  bool Effect(LONG effect, double start, double stop, const char* p1, const char* p2 = "") {
    return CallBool(dispidAddEffect, {COleVariant(effect), COleVariant(start), COleVariant(stop), COleVariant(p1),
                                      COleVariant(p2), COleVariant(""), COleVariant("")});
  }
  bool Transition(short item, double start, double stop) {
    return CallBool(dispidAddTransition, {COleVariant(item), COleVariant(start), COleVariant(stop)});
  }
  void Convert(const std::string& file) {
    ASSERT_TRUE(CallBool(dispidSave, {COleVariant(file.c_str())}));
    const auto guard = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (host.completes == 0 && std::chrono::steady_clock::now() < guard) {
      ui.AdvanceClock(10);
      std::this_thread::yield();
    }
    ASSERT_EQ(1, host.completes);
  }
  static Rgb At(const std::string& file, double seconds, int x, int y) {
    const testing_support::ProbedPicture p = testing_support::PictureAt(file, seconds);
    EXPECT_EQ("", p.error);
    if (!p.error.empty()) return {-1, -1, -1};
    const uint8_t* px = p.Pixel(x, y);
    return {px[0], px[1], px[2]};
  }

  testing_ui::UiDriver ui;
};

::testing::AssertionResult Near(Rgb got, Rgb want) {
  if (std::abs(got.r - want.r) <= 24 && std::abs(got.g - want.g) <= 24 && std::abs(got.b - want.b) <= 24)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << got.r << "," << got.g << "," << got.b << ") is not near (" << want.r
                                       << "," << want.g << "," << want.b << ")";
}

constexpr Rgb kRed{230, 20, 20}, kBlue{20, 20, 230};

TEST_F(EffectsConversionTest, TransitionsAndEffectsAreDrawnInTheConvertedFile) {
  Call(dispidInitControl);
  // Red 0..4 with the left-to-right bar wipe over 2..4 into blue 2..6, on the red clip's track.
  ASSERT_TRUE(WithTran(Path("red.avi"), 4, 1006, 2));
  ASSERT_TRUE(WithTran(Path("blue.avi"), 4, -1, 0));
  ASSERT_DOUBLE_EQ(6.0, TotalDuration());
  // From black over the first second; grey over 4..5; fading out to white over 5..6.
  const short fade = IndexOf(dispidTransitions, "Fade");
  ASSERT_GE(fade, 0);
  ASSERT_TRUE(Transition(fade, 0, 1));
  ASSERT_TRUE(Effect(4, 4, 5, "2"));
  ASSERT_TRUE(Effect(2, 5, 6, "0", "#FFFFFF"));
  const std::string out = Path("effects.avi");
  Convert(out);

  EXPECT_TRUE(Near(At(out, 0.0, 160, 120), {0, 0, 0}));  // the fade's first frame is black
  const Rgb half = At(out, 0.5, 160, 120);
  EXPECT_GT(half.r, 80);
  EXPECT_LT(half.r, 180);
  EXPECT_TRUE(Near(At(out, 1.5, 160, 120), kRed));
  // The preset goes from the clip it ends to the next one: red at its start, blue at its end,
  // blue wiped in from the left half way.
  EXPECT_TRUE(Near(At(out, 2.0, 300, 120), kRed));
  EXPECT_TRUE(Near(At(out, 2.0, 20, 120), kRed));
  EXPECT_TRUE(Near(At(out, 3.0, 60, 120), kBlue));
  EXPECT_TRUE(Near(At(out, 3.0, 260, 120), kRed));
  EXPECT_TRUE(Near(At(out, 3.94, 300, 120), kBlue));
  // Grey: no colour left.
  const Rgb grey = At(out, 4.5, 160, 120);
  EXPECT_NEAR(grey.r, grey.b, 12);
  EXPECT_NEAR(grey.g, grey.b, 12);
  EXPECT_GT(std::abs(At(out, 4.0 - 1.0 / 15, 160, 120).b - At(out, 4.0 - 1.0 / 15, 160, 120).r), 100);
  // Fading out: the picture at the start, near white at the end.
  EXPECT_TRUE(Near(At(out, 5.0, 160, 120), kBlue));
  EXPECT_TRUE(Near(At(out, 5.94, 160, 120), {245, 245, 255}));
}

TEST_F(EffectsConversionTest, EffectsAndTransitionsAreRefusedWhereTheyNameNothing) {
  EXPECT_FALSE(Transition(0, 0, 1));  // not ready
  Call(dispidInitControl);
  ASSERT_TRUE(WithTran(Path("red.avi"), 4, -1, 0));
  EXPECT_FALSE(Effect(12, 0, 1, "1"));
  EXPECT_FALSE(Effect(-1, 0, 1, "1"));
  EXPECT_FALSE(Transition(500, 0, 1));
  EXPECT_FALSE(Transition(-1, 0, 1));
  EXPECT_TRUE(Transition(0, 0, 1));
  EXPECT_FALSE(Transition(1, 0.5, 2));  // overlaps the one before on the group
  EXPECT_TRUE(Effect(0, 0, 4, "2"));
  EXPECT_FALSE(WithTran(Path("blue.avi"), 4, 1070, 1));
  EXPECT_TRUE(WithTran(Path("blue.avi"), 4, 1069, 1));
}

// Pictures of 8 bits would need a palette the editing services do not keep: the render is refused
// and Save says so, with no Complete.
TEST_F(EffectsConversionTest, EightBitPicturesAreRefusedBySave) {
  Put(dispidVideoSampleSize, COleVariant(short(8)));
  Call(dispidInitControl);
  ASSERT_TRUE(WithTran(Path("red.avi"), 4, 1006, 2));
  EXPECT_FALSE(CallBool(dispidSave, {COleVariant(Path("eight.avi").c_str())}));
  for (int i = 0; i < 20; ++i) ui.AdvanceClock(10);
  EXPECT_EQ(0, host.completes);
}

}  // namespace
