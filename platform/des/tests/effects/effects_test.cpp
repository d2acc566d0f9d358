// Effects applied to pictures in memory: each one's invariant.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "des/qedit.h"
#include "effects/video_effect.h"

namespace {

using des::EffectParameters;
using des::Picture;

constexpr int kW = 90, kH = 60;

// Every pixel different: colour from its place.
Picture Varied() {
  Picture p(kW, kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) p.At(x, y) = des::Pixel(x * 2 + 10, y * 3 + 5, (x * 7 + y * 11) % 256);
  return p;
}

Picture Applied(const GUID& clsid, std::vector<std::pair<std::string, std::string>> values, Picture p = Varied(),
                double progress = 0.5, REFERENCE_TIME t = 0) {
  EffectParameters params;
  for (auto& [name, value] : values) params.Set(name, value);
  auto effect = des::MakeEffect(clsid, params);
  EXPECT_TRUE(effect);
  if (effect) effect->Apply(&p, progress, t);
  return p;
}

bool Same(const Picture& a, const Picture& b) { return std::equal(a.Data(), a.Data() + a.Count(), b.Data()); }

bool Gray(const Picture& p) {
  for (size_t i = 0; i < p.Count(); ++i) {
    const uint32_t c = p.Data()[i];
    if (des::Red(c) != des::Green(c) || des::Green(c) != des::Blue(c)) return false;
  }
  return true;
}

TEST(EffectTest, MirrorsAreExactFlips) {
  const Picture in = Varied();
  const Picture mirrored = Applied(CLSID_MirrorGrayscaleEffect, {{"Mirror", "1"}, {"Grayscale", "0"}});
  const Picture standard = Applied(CLSID_StandardEffects, {{"InternalName", "Standard"}, {"MirrorVertical", "true"}});
  const Picture upsideDown = Applied(CLSID_StandardEffects, {{"InternalName", "Standard"}, {"MirrorHorizontal", "1"}});
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      ASSERT_EQ(mirrored.At(x, y), in.At(kW - 1 - x, y));
      ASSERT_EQ(standard.At(x, y), in.At(kW - 1 - x, y));
      ASSERT_EQ(upsideDown.At(x, y), in.At(x, kH - 1 - y));
    }
}

TEST(EffectTest, GrayscaleLeavesNoColour) {
  EXPECT_TRUE(Gray(Applied(CLSID_MirrorGrayscaleEffect, {{"Mirror", "false"}, {"Grayscale", "true"}})));
  EXPECT_TRUE(Gray(Applied(CLSID_StandardEffects, {{"InternalName", "Standard"}, {"Grayscale", "1"}})));
  EXPECT_TRUE(Gray(Applied(CLSID_FilterEffect, {{"EffectID", "2"}})));
  EXPECT_FALSE(Gray(Applied(CLSID_MirrorGrayscaleEffect, {{"Mirror", "true"}, {"Grayscale", "false"}})));
}

TEST(EffectTest, PixelateFillsEachBlockWithOneColour) {
  const Picture p = Applied(CLSID_Pixelate, {{"MaxSquare", "8"}});
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) ASSERT_EQ(p.At(x, y), p.At(x / 8 * 8, y / 8 * 8)) << x << "," << y;
  EXPECT_NE(p.At(0, 0), p.At(8, 0));
  EXPECT_TRUE(Same(Applied(CLSID_Pixelate, {{"MaxSquare", "1"}}), Varied()));
}

TEST(EffectTest, TurningHalfRoundIsAnExactPointReflection) {
  const Picture in = Varied();
  const Picture turned = Applied(CLSID_StandardEffects, {{"InternalName", "Standard"}, {"Rotate2DA", "180"}});
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) ASSERT_EQ(turned.At(x, y), in.At(kW - 1 - x, kH - 1 - y));
}

TEST(EffectTest, QuarterTurnsGoClockwiseAndFitBetweenBlackBars) {
  Picture in(kW, kH);
  in.Fill(des::Pixel(255, 255, 255));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) in.At(x, y) = des::Pixel(255, 0, 0);  // a mark at the top left
  const Picture right = Applied(CLSID_StandardEffects, {{"InternalName", "Standard"}, {"Rotate2DA", "90"}}, in);
  const Picture left = Applied(CLSID_StandardEffects, {{"InternalName", "Standard"}, {"Rotate2DA", "270"}}, in);
  // The turned picture is 40 wide (60 x 60/90) and 60 high, in the middle: bars at both sides.
  for (const Picture* p : {&right, &left}) {
    EXPECT_EQ(p->At(2, 30), 0u);
    EXPECT_EQ(p->At(kW - 3, 30), 0u);
    EXPECT_EQ(p->At(45, 30), des::Pixel(255, 255, 255));
  }
  // Clockwise: the top left goes to the top right of the turned picture; the other way, to the
  // bottom left.
  EXPECT_EQ(right.At(kW / 2 + 18, 2), des::Pixel(255, 0, 0));
  EXPECT_EQ(left.At(kW / 2 - 18, kH - 3), des::Pixel(255, 0, 0));
  EXPECT_EQ(right.At(kW / 2 - 18, 2), des::Pixel(255, 255, 255));
}

TEST(EffectTest, AFadeGoesBetweenItsColourAndThePicture) {
  const Picture in = Varied();
  Picture white(kW, kH);
  white.Fill(des::Pixel(255, 255, 255));
  EXPECT_TRUE(Same(Applied(CLSID_FadeEffect, {{"FadeIn", "1"}, {"FadeColor", "#FFFFFF"}}, in, 0), white));
  EXPECT_TRUE(Same(Applied(CLSID_FadeEffect, {{"FadeIn", "1"}, {"FadeColor", "#FFFFFF"}}, in, 1), in));
  EXPECT_TRUE(Same(Applied(CLSID_FadeEffect, {{"FadeIn", "0"}, {"FadeColor", "#FFFFFF"}}, in, 1), white));
  EXPECT_TRUE(Same(Applied(CLSID_FadeEffect, {{"FadeIn", "false"}}, in, 0), in));
  // A plain number is a colour value with red in the low byte.
  const Picture red = Applied(CLSID_FadeEffect, {{"FadeIn", "true"}, {"FadeColor", "255"}}, in, 0);
  EXPECT_EQ(red.At(5, 5), des::Pixel(255, 0, 0));
}

TEST(EffectTest, BlurSpreadsEdgesAndKeepsEvenColours) {
  Picture edge(kW, kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) edge.At(x, y) = x < kW / 2 ? des::Pixel(250, 250, 250) : 0;
  const Picture blurred = Applied(CLSID_BlurEffect, {{"PixelRadius", "3"}}, edge);
  EXPECT_EQ(blurred.At(5, 30), des::Pixel(250, 250, 250));
  EXPECT_EQ(blurred.At(kW - 5, 30), 0u);
  const int at = des::Red(blurred.At(kW / 2, 30));
  EXPECT_GT(at, 50);
  EXPECT_LT(at, 200);
  EXPECT_TRUE(Same(Applied(CLSID_BlurEffect, {{"PixelRadius", "0.9"}}), Varied()));
}

TEST(EffectTest, BrightnessAddsItsShareOf255) {
  EXPECT_TRUE(Same(Applied(CLSID_BrightnessEffect, {{"Brightness", "0"}}), Varied()));
  const Picture in = Varied();
  const Picture up = Applied(CLSID_BrightnessEffect, {{"Brightness", "0.2"}});
  EXPECT_EQ(des::Red(up.At(10, 10)), des::Red(in.At(10, 10)) + 51);
  const Picture down = Applied(CLSID_BrightnessEffect, {{"Brightness", "-1"}});
  EXPECT_EQ(down.At(10, 10), 0u);
  // Text that is no number (a comma for the point) leaves the default: unchanged.
  EXPECT_TRUE(Same(Applied(CLSID_BrightnessEffect, {{"Brightness", "0,5"}}), Varied()));
}

TEST(EffectTest, FilmAgeingRepeatsForTheSameTimeAndChangesWithIt) {
  const Picture a = Applied(CLSID_FilmAgingEffect, {{"Age", "80"}}, Varied(), 0.5, 4000000);
  EXPECT_TRUE(Same(a, Applied(CLSID_FilmAgingEffect, {{"Age", "80"}}, Varied(), 0.5, 4000000)));
  EXPECT_FALSE(Same(a, Applied(CLSID_FilmAgingEffect, {{"Age", "80"}}, Varied(), 0.5, 4400000)));
  EXPECT_FALSE(Same(a, Varied()));
}

TEST(EffectTest, TheFilterTableChangesThePictureAndPassesUnknownNumbers) {
  const Picture in = Varied();
  const Picture inverted = Applied(CLSID_FilterEffect, {{"EffectID", "1"}});
  for (size_t i = 0; i < in.Count(); ++i) ASSERT_EQ(inverted.Data()[i], ~in.Data()[i] & 0xFFFFFF);
  for (int id = 3; id <= 12; ++id)
    EXPECT_FALSE(Same(Applied(CLSID_FilterEffect, {{"EffectID", std::to_string(id)}}), in)) << id;
  const Picture threshold = Applied(CLSID_FilterEffect, {{"EffectID", "8"}, {"Control1Value", "100"}});
  for (size_t i = 0; i < threshold.Count(); ++i)
    ASSERT_TRUE(threshold.Data()[i] == 0 || threshold.Data()[i] == 0xFFFFFF);
  EXPECT_TRUE(Same(Applied(CLSID_FilterEffect, {{"EffectID", "13"}}), in));
  EXPECT_TRUE(Same(Applied(CLSID_FilterEffect, {{"EffectID", "abc"}}), in));
}

TEST(EffectTest, StandardAdjustmentsByNameAndUnknownNamesChangeNothing) {
  const Picture in = Varied();
  EXPECT_TRUE(Same(Applied(CLSID_StandardEffects, {{"InternalName", "Standard"}, {"Sparkle", "1"}}), in));
  EXPECT_TRUE(Same(Applied(CLSID_StandardEffects, {{"InternalName", "Standard"}, {"Contrast", "1"}}), in));
  const Picture red = Applied(CLSID_StandardEffects, {{"internalname", "STANDARD"}, {"red", "0"}});
  for (size_t i = 0; i < red.Count(); ++i) ASSERT_EQ(des::Red(red.Data()[i]), 0);
  const Picture inverted = Applied(CLSID_StandardEffects, {{"InternalName", "Standard"}, {"Invert", "true"}});
  EXPECT_EQ(inverted.At(3, 3), ~in.At(3, 3) & 0xFFFFFF);
  EXPECT_FALSE(Same(Applied(CLSID_StandardEffects, {{"InternalName", "Standard"}, {"Hue", "120"}}), in));
  EXPECT_FALSE(Same(Applied(CLSID_StandardEffects, {{"InternalName", "Standard"}, {"Saturation", "0.2"}}), in));
  EXPECT_FALSE(des::MakeEffect(CLSID_StandardEffects, EffectParameters()));
}

TEST(EffectParametersTest, NamesMatchInAnyCaseAndNumbersReadInTheCLocale) {
  EffectParameters p;
  p.Set("GradientSize", " 0.25 ");
  p.Set("Flag", "TRUE");
  p.Set("Comma", "0,5");
  p.Set("Huge", "1e300");
  EXPECT_DOUBLE_EQ(p.Number("gradientsize", 1), 0.25);
  EXPECT_TRUE(p.Flag("FLAG", false));
  EXPECT_DOUBLE_EQ(p.Number("Comma", 7), 7);
  EXPECT_DOUBLE_EQ(p.Number("Missing", 3), 3);
  EXPECT_EQ(p.Integer("Huge", 4), 4);
}

}  // namespace
