// The nodes the editing timeline lays for transitions and effects: the preset and effect tables,
// where the nodes go, and the values handed over, read back from the timeline.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "control/transitions.h"
#include "des/qedit.h"
#include "timeline/editing_timeline.h"
#include "win32/utf.h"

namespace {

using Values = std::vector<std::pair<std::string, std::string>>;

Values ValuesOf(IAMTimelineObj* node) {
  Values values;
  ComPtr<IPropertySetter> setter;
  if (node->GetPropertySetter(setter.put()) != S_OK) return values;
  LONG count = 0;
  DEXTER_PARAM* params = nullptr;
  DEXTER_VALUE* texts = nullptr;
  EXPECT_EQ(S_OK, setter->GetProps(&count, &params, &texts));
  for (LONG i = 0; i < count; ++i) {
    EXPECT_EQ(1, params[i].nValues);
    EXPECT_EQ(0, params[i].dispID);
    EXPECT_EQ(VT_BSTR, texts[i].v.vt);
    EXPECT_EQ(0, texts[i].rt);
    EXPECT_EQ(DWORD(DEXTERF_JUMP), texts[i].dwInterp);
    values.push_back({win32::Utf16ToUtf8(params[i].Name), win32::Utf16ToUtf8(texts[i].v.bstrVal)});
  }
  setter->FreeProps(count, params, texts);
  return values;
}

class EffectsTimelineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterDesClasses();
    ASSERT_TRUE(timeline.Create());
    timeline.AddGroups(OutputSettings());
    transitions->AddTransitionItem("3D Transitions", CLSID_Transitions3D);
    transitions->AddTransitionItem("Wheel", CLSID_DXTWheel);
  }
  void TearDown() override {
    timeline.ReleaseClips();
    timeline.Release();
    transitions->ExternalRelease();
  }
  ComPtr<IAMTimelineObj> VideoGroup() {
    ComPtr<IAMTimelineObj> group;
    EXPECT_EQ(S_OK, timeline.Get()->GetGroup(group.put(), 0));
    return group;
  }
  // How many transitions the video group's track at the priority (0 the lowest) holds.
  LONG TransitionsOnTrack(LONG priority) {
    ComPtr<IAMTimelineObj> track;
    VideoGroup().As<IAMTimelineComp>(IID_IAMTimelineComp)->GetVTrack(track.put(), priority);
    LONG n = -1;
    if (track) track.As<IAMTimelineTransable>(IID_IAMTimelineTransable)->TransGetCount(&n);
    return n;
  }
  bool WithTran(short number, double length = 2) {
    return timeline.AddVideoWithTransition("a.avi", 0, 10, 0, number, length, *transitions, true);
  }

  EditingTimeline timeline;
  CTransitions* transitions = new CTransitions;
};

TEST_F(EffectsTimelineTest, PresetsNameTheirClassAndValuesInOrder) {
  EffectChoice wheel, particles, gradient, grid;
  ASSERT_TRUE(FindTransitionPreset(1040, &wheel));
  EXPECT_EQ(CLSID_DXTWheel, wheel.clsid);
  EXPECT_EQ((Values{{"spokes", "4"}}), wheel.values);
  ASSERT_TRUE(FindTransitionPreset(1066, &particles));
  EXPECT_EQ(CLSID_Transitions3D, particles.clsid);
  EXPECT_EQ((Values{{"InternalName", "ParticleSystem"}, {"ScatterDirection", "in"}, {"MaxParticles", "600"},
                    {"SpinDirection", "right"}, {"ParticleSpeed", "40.0"}, {"ParticleSpinSpeed", "0.5"},
                    {"ExponentialProgressDuration", "0.9"}, {"ExponentialProgressScale", "0.25"}}),
            particles.values);
  ASSERT_TRUE(FindTransitionPreset(1001, &gradient));
  EXPECT_EQ(CLSID_DXTGradientWipe, gradient.clsid);
  EXPECT_EQ((Values{{"GradientSize", "0.5"}, {"WipeStyle", "1"}}), gradient.values);
  ASSERT_TRUE(FindTransitionPreset(1028, &grid));
  EXPECT_EQ(CLSID_DxtJpeg, grid.clsid);
  EXPECT_EQ((Values{{"MaskNum", "119"}, {"BorderSoftness", "75"}, {"ReplicateX", "8"}, {"ReplicateY", "6"}}),
            grid.values);
  EffectChoice curl, flip, spin;
  ASSERT_TRUE(FindTransitionPreset(1059, &curl));
  EXPECT_EQ((Values{{"InternalName", "Simple3D"}, {"PageCurlA", "upperright"}, {"ShowABack", "true"}}), curl.values);
  ASSERT_TRUE(FindTransitionPreset(1069, &flip));
  EXPECT_EQ(6u, flip.values.size());
  ASSERT_TRUE(FindTransitionPreset(1051, &spin));
  EXPECT_EQ((Values{{"InternalName", "Simple3D"}, {"RotateA", "up"}, {"RotateCenterA", "lowerright"}}), spin.values);
  EffectChoice none;
  EXPECT_FALSE(FindTransitionPreset(999, &none));
  EXPECT_FALSE(FindTransitionPreset(1070, &none));
}

TEST_F(EffectsTimelineTest, PresetsGoOnTheClipsOwnTrackAndNumbersPastTheTableAreRefused) {
  ASSERT_TRUE(WithTran(1040));
  ASSERT_TRUE(WithTran(1066));
  EXPECT_EQ(1, TransitionsOnTrack(1));  // the first clip's track, now above the second's
  EXPECT_EQ(1, TransitionsOnTrack(0));
  EXPECT_FALSE(WithTran(1070));
  EXPECT_EQ(0, TransitionsOnTrack(0));
  EXPECT_FALSE(WithTran(short(-2)));
  EXPECT_EQ(0, TransitionsOnTrack(0));
  // Refused transitions leave their clips placed, without an overlap: 0..10, 8..18, 16..26, 26..36.
  EXPECT_DOUBLE_EQ(36.0, timeline.Duration());
}

TEST_F(EffectsTimelineTest, GroupTransitionsAreRefusedWhenTheyOverlapOrTheirSpanIsImpossible) {
  EXPECT_TRUE(timeline.AddTransition(CLSID_DXTWheel, 0, 2));
  EXPECT_FALSE(timeline.AddTransition(CLSID_DXFade, 1, 3));
  EXPECT_TRUE(timeline.AddTransition(CLSID_DXFade, 2, 3));
  EXPECT_FALSE(timeline.AddTransition(CLSID_DXFade, 6, 4));   // reversed
  EXPECT_FALSE(timeline.AddTransition(CLSID_DXFade, -1, 1));  // before the start
  LONG count = 0;
  VideoGroup().As<IAMTimelineTransable>(IID_IAMTimelineTransable)->TransGetCount(&count);
  EXPECT_EQ(2, count);
}

TEST_F(EffectsTimelineTest, EffectsAreAppendedToTheVideoGroupWithTheirValues) {
  EffectChoice blur, balance, turn;
  ASSERT_TRUE(FindEffect(0, "3", "x", "y", "z", &blur));
  ASSERT_TRUE(FindEffect(7, "Saturation", "0.5", "x", "y", &balance));
  ASSERT_TRUE(FindEffect(10, "a", "b", "c", "d", &turn));
  EffectChoice none;
  EXPECT_FALSE(FindEffect(12, "", "", "", "", &none));
  EXPECT_FALSE(FindEffect(-1, "", "", "", "", &none));
  ASSERT_TRUE(timeline.AddEffect(blur, 0, 4));
  ASSERT_TRUE(timeline.AddEffect(balance, 1, 2));
  ASSERT_TRUE(timeline.AddEffect(turn, 2, 5));
  auto effectable = VideoGroup().As<IAMTimelineEffectable>(IID_IAMTimelineEffectable);
  LONG count = 0;
  effectable->EffectGetCount(&count);
  ASSERT_EQ(3, count);
  ComPtr<IAMTimelineObj> node;
  ASSERT_EQ(S_OK, effectable->GetEffect(node.put(), 0));
  GUID clsid;
  node->GetSubObjectGUID(&clsid);
  EXPECT_EQ(CLSID_BlurEffect, clsid);
  EXPECT_EQ((Values{{"PixelRadius", "3"}}), ValuesOf(node.get()));
  ASSERT_EQ(S_OK, effectable->GetEffect(node.put(), 1));
  node->GetSubObjectGUID(&clsid);
  EXPECT_EQ(CLSID_StandardEffects, clsid);
  EXPECT_EQ((Values{{"InternalName", "Standard"}, {"Saturation", "0.5"}}), ValuesOf(node.get()));
  ASSERT_EQ(S_OK, effectable->GetEffect(node.put(), 2));
  EXPECT_EQ((Values{{"InternalName", "Standard"}, {"Rotate2DA", "180"}}), ValuesOf(node.get()));
  REFTIME start = 0, stop = 0;
  node->GetStartStop2(&start, &stop);
  EXPECT_DOUBLE_EQ(2, start);
  EXPECT_DOUBLE_EQ(5, stop);
}

}  // namespace
