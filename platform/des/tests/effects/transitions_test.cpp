// Transitions drawn on pictures in memory: both ends exact, the middle visibly between, and the
// shapes where they must be.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "des/qedit.h"
#include "effects/mask_transition.h"
#include "effects/video_effect.h"

namespace {

using des::EffectParameters;
using des::Picture;

constexpr int kW = 96, kH = 64;
constexpr uint32_t kA = des::Pixel(200, 40, 40);

// A: red with a brighter top-left quarter, so that moved or turned pictures differ from it.
Picture PictureA() {
  Picture p(kW, kH);
  p.Fill(kA);
  for (int y = 0; y < kH / 2; ++y)
    for (int x = 0; x < kW / 2; ++x) p.At(x, y) = des::Pixel(250, 120 + x, 60 + y);
  return p;
}

// B: blue, shaded across and down.
Picture PictureB() {
  Picture p(kW, kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) p.At(x, y) = des::Pixel(40, 40 + y, 200 - x);
  return p;
}

bool ShowsA(const Picture& m, int x, int y) { return m.At(x, y) == PictureA().At(x, y); }
bool ShowsB(const Picture& m, int x, int y) { return m.At(x, y) == PictureB().At(x, y); }

EffectParameters Params(std::vector<std::pair<std::string, std::string>> values) {
  EffectParameters p;
  for (auto& [name, value] : values) p.Set(name, value);
  return p;
}

Picture Drawn(const GUID& clsid, const EffectParameters& params, double progress, REFERENCE_TIME t = 0) {
  auto transition = des::MakeTransition(clsid, params);
  EXPECT_TRUE(transition);
  Picture out(kW, kH);
  if (transition) transition->Draw(PictureA(), PictureB(), progress, t, &out);
  return out;
}

bool Same(const Picture& a, const Picture& b) {
  return std::equal(a.Data(), a.Data() + a.Count(), b.Data());
}

struct Case {
  const char* name;
  const GUID* clsid;
  std::vector<std::pair<std::string, std::string>> params;
};

std::vector<Case> EveryFamily() {
  std::vector<Case> cases = {
      {"Barn", &CLSID_DXTBarn, {}},
      {"Blinds", &CLSID_DXTBlinds, {}},
      {"Checkerboard", &CLSID_DXTCheckerBoard, {}},
      {"Fade", &CLSID_DXFade, {}},
      {"GradientWipe", &CLSID_DXTGradientWipe, {}},
      {"Inset", &CLSID_DXTInset, {}},
      {"Iris", &CLSID_DXTIris, {}},
      {"Pixelate", &CLSID_Pixelate, {}},
      {"RadialWipe", &CLSID_DXTRadialWipe, {}},
      {"RandomBars", &CLSID_DXTRandomBars, {}},
      {"RandomDissolve", &CLSID_DXTRandomDissolve, {}},
      {"SmpteDefault", &CLSID_DxtJpeg, {}},
      {"Slide", &CLSID_DXTSlide, {}},
      {"Spiral", &CLSID_DXTSpiral, {}},
      {"Stretch", &CLSID_DXTStretch, {}},
      {"Strips", &CLSID_DXTStrips, {}},
      {"Wheel", &CLSID_DXTWheel, {}},
      {"Zigzag", &CLSID_DXTZigzag, {}},
      {"ThreeDDefault", &CLSID_Transitions3D, {}},
      {"GradientVertical", &CLSID_DXTGradientWipe, {{"GradientSize", "0.6"}, {"WipeStyle", "1"}}},
      {"Spokes", &CLSID_DXTWheel, {{"spokes", "4"}}},
      {"Slide3D", &CLSID_Transitions3D, {{"InternalName", "Simple3D"}, {"MoveA", "up"}}},
      {"Shrink3D", &CLSID_Transitions3D,
       {{"InternalName", "Simple3D"}, {"MoveA", "left"}, {"ScaleA", "smaller"}, {"MoveSpeedA", "0.75"}}},
      {"CornerTurn", &CLSID_Transitions3D, {{"InternalName", "Simple3D"}, {"RotateA", "right"}, {"RotateCenterA", "lowerright"}}},
      {"TipUp", &CLSID_Transitions3D, {{"InternalName", "Simple3D"}, {"RotateA", "up"}, {"RotateCenterA", "lowerright"}}},
      {"Spin", &CLSID_Transitions3D, {{"InternalName", "Simple3D"}, {"RotateA", "left"}}},
      {"SpinFade", &CLSID_Transitions3D,
       {{"InternalName", "Simple3D"}, {"ScaleA", "smaller"}, {"RotateA", "right"}, {"FadeStartA", "0.2"}}},
      {"PageCurl", &CLSID_Transitions3D, {{"InternalName", "Simple3D"}, {"PageCurlA", "lowerleft"}, {"ShowABack", "true"}}},
      {"Recede", &CLSID_Transitions3D,
       {{"InternalName", "Simple3D"}, {"ScaleA", "smaller"}, {"ZScaleAStart", "0.5"}, {"FadeStartA", "0.5"}}},
      {"CardFlip", &CLSID_Transitions3D, {{"InternalName", "Simple3D"}, {"RevolveCamera", "true"}}},
      {"Particles", &CLSID_Transitions3D,
       {{"InternalName", "ParticleSystem"}, {"ScatterDirection", "right"}, {"MaxParticles", "200"}}},
      {"ParticlesIn", &CLSID_Transitions3D,
       {{"InternalName", "ParticleSystem"}, {"ScatterDirection", "in"}, {"MaxParticles", "600"},
        {"ExponentialProgressDuration", "0.9"}, {"ExponentialProgressScale", "0.25"}}},
      {"ParticlesBoth", &CLSID_Transitions3D,
       {{"InternalName", "ParticleSystem"}, {"MaxParticles", "200"}, {"BothDirections", "true"}}},
  };
  for (const char* code : {"1", "2", "3", "4", "5", "6", "21", "22", "41", "43", "44", "47", "48", "61", "62", "63",
                           "64", "73", "74", "101", "102", "119", "122", "128", "130", "131", "226", "228", "231",
                           "253", "262", "263"})
    cases.push_back({"Smpte", &CLSID_DxtJpeg, {{"MaskNum", code}, {"BorderSoftness", "20"}}});
  cases.push_back({"SmpteGrid", &CLSID_DxtJpeg, {{"MaskNum", "119"}, {"BorderSoftness", "75"}, {"ReplicateX", "8"}, {"ReplicateY", "6"}}});
  return cases;
}

TEST(TransitionTest, EveryFamilyGivesTheFirstPictureAtTheStartTheSecondAtTheEndAndBothBetween) {
  const Picture a = PictureA(), b = PictureB();
  for (const Case& c : EveryFamily()) {
    const EffectParameters params = Params(c.params);
    const std::string what = std::string(c.name) + (c.params.empty() ? "" : " " + c.params.front().second);
    EXPECT_TRUE(Same(Drawn(*c.clsid, params, 0), a)) << what;
    EXPECT_TRUE(Same(Drawn(*c.clsid, params, 1), b)) << what;
    for (double middle : {0.3, 0.5, 0.7}) {
      const Picture m = Drawn(*c.clsid, params, middle);
      EXPECT_FALSE(Same(m, a)) << what << " at " << middle;
      EXPECT_FALSE(Same(m, b)) << what << " at " << middle;
    }
  }
}

TEST(TransitionTest, TheBarWipeIsHalfAndHalfHalfWay) {
  const Picture m = Drawn(CLSID_DxtJpeg, Params({{"MaskNum", "1"}}), 0.5);
  for (int y = 0; y < kH; y += 7) {
    EXPECT_TRUE(ShowsB(m, kW / 2 - 1, y)) << y;
    EXPECT_TRUE(ShowsA(m, kW / 2, y)) << y;
    EXPECT_TRUE(ShowsA(m, kW - 1, y)) << y;
  }
  const Picture v = Drawn(CLSID_DXTGradientWipe, Params({{"GradientSize", "0"}, {"WipeStyle", "1"}}), 0.5);
  EXPECT_TRUE(ShowsB(v, kW - 1, kH / 2 - 1));
  EXPECT_TRUE(ShowsA(v, kW - 1, kH / 2));
}

TEST(TransitionTest, AGradientBandBlendsAcrossItsWidth) {
  const Picture m = Drawn(CLSID_DXTGradientWipe, Params({{"gradientsize", "0.5"}, {"WipeStyle", "0"}}), 0.5);
  // The band spans a half of the travel: left end wiped, right end untouched, blends between.
  EXPECT_TRUE(ShowsB(m, 0, kH - 1));
  EXPECT_TRUE(ShowsA(m, kW - 1, kH - 1));
  const int mid = des::Red(m.At(kW / 2, kH - 1));
  EXPECT_GT(mid, 60);
  EXPECT_LT(mid, 180);
}

// The shapes of the standard codes: where the second picture shows first.
TEST(TransitionTest, StandardWipeShapesOpenWhereTheirNamesSay) {
  struct Spot {
    const char* code;
    int x, y;   // shows the second picture early
    int fx, fy;  // still the first
  };
  const Spot spots[] = {
      {"1", 2, 30, 90, 30},    {"2", 50, 2, 50, 60},    {"3", 2, 2, 90, 60},      {"4", 93, 2, 2, 60},
      {"5", 93, 60, 2, 2},     {"6", 2, 60, 93, 2},     {"21", 48, 2, 1, 30},     {"22", 2, 32, 2, 1},
      {"41", 1, 1, 94, 62},    {"101", 48, 32, 1, 1},   {"102", 48, 32, 1, 1},    {"119", 48, 32, 1, 1},
      {"128", 48, 30, 1, 1},   {"130", 48, 36, 1, 1},   {"131", 48, 24, 1, 1},    {"122", 48, 32, 48, 1},
      {"43", 48, 1, 1, 32},    {"44", 1, 32, 48, 1},   {"61", 48, 1, 48, 62},     {"63", 48, 62, 48, 1},
      {"62", 94, 32, 1, 32},   {"64", 1, 32, 94, 32},  {"73", 48, 32, 1, 32},     {"74", 48, 32, 48, 1},
  };
  for (const Spot& s : spots) {
    const Picture m = Drawn(CLSID_DxtJpeg, Params({{"MaskNum", s.code}}), 0.25);
    EXPECT_TRUE(ShowsB(m, s.x, s.y)) << "code " << s.code;
    EXPECT_FALSE(ShowsB(m, s.fx, s.fy)) << "code " << s.code;
  }
}

TEST(TransitionTest, ReplicatedWipesRepeatTheirShapeInEveryCell) {
  const Picture m = Drawn(CLSID_DxtJpeg, Params({{"MaskNum", "101"}, {"ReplicateX", "2"}, {"ReplicateY", "2"}}), 0.3);
  for (int cx : {24, 72})
    for (int cy : {16, 48}) {
      EXPECT_TRUE(ShowsB(m, cx, cy)) << cx << "," << cy;             // each cell's middle
      EXPECT_TRUE(ShowsA(m, cx - 23, cy - 15)) << cx << "," << cy;  // its corner
    }
}

TEST(TransitionTest, TheWheelTurnsEachSectorClockwiseFromItsSpoke) {
  const Picture m = Drawn(CLSID_DXTWheel, Params({{"spokes", "4"}}), 0.2);
  // Just clockwise of the spokes at twelve and three: done; just before them: not yet.
  EXPECT_TRUE(ShowsB(m, 52, 4));
  EXPECT_TRUE(ShowsB(m, 92, 36));
  EXPECT_TRUE(ShowsA(m, 43, 4));
  EXPECT_FALSE(ShowsB(m, 92, 27));
}

TEST(TransitionTest, BothSpellingsOfTheExponentialDurationAreOneParameter) {
  const std::vector<std::pair<std::string, std::string>> base = {
      {"InternalName", "ParticleSystem"}, {"ScatterDirection", "up,right"}, {"MaxParticles", "64"},
      {"ExponentialProgressScale", "0.33"}};
  auto with = [&](const char* name) {
    auto v = base;
    v.push_back({name, "0.4"});
    return Drawn(CLSID_Transitions3D, Params(v), 0.3);
  };
  const Picture plural = with("ExponentialProgressDurations"), single = with("ExponentialProgressDuration");
  EXPECT_TRUE(Same(plural, single));
  EXPECT_FALSE(Same(plural, Drawn(CLSID_Transitions3D, Params(base), 0.3)));
}

TEST(TransitionTest, RandomPatternsRepeatFromRenderToRender) {
  const EffectParameters none;
  EXPECT_TRUE(Same(Drawn(CLSID_DXTRandomDissolve, none, 0.4), Drawn(CLSID_DXTRandomDissolve, none, 0.4)));
  EXPECT_TRUE(Same(Drawn(CLSID_Transitions3D, Params({{"InternalName", "ParticleSystem"}}), 0.4, 5),
                   Drawn(CLSID_Transitions3D, Params({{"InternalName", "ParticleSystem"}}), 0.4, 5)));
}

TEST(TransitionTest, UnknownClassesDrawNothing) {
  EXPECT_FALSE(des::MakeTransition(CLSID_BlurEffect, EffectParameters()));
  EXPECT_FALSE(des::MakeTransition(GUID_NULL, EffectParameters()));
  EXPECT_FALSE(des::MakeEffect(CLSID_DXTWheel, EffectParameters()));
}

}  // namespace
