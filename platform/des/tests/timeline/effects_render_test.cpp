// Transitions and effects as the render engine draws them: one-colour clips on two layers, frames
// checked where the inputs must show whole, half and half, or changed.
#include "render_fixture.h"

namespace {

using namespace des_test;

constexpr int kWidth = 160, kHeight = 120;
constexpr testing_support::Rgb kRed{220, 30, 30}, kBlue{30, 30, 220};

std::u16string ColourClip(const char* name, testing_support::Rgb colour) {
  testing_support::ClipOptions o;
  o.format = "avi";
  o.videoEncoder = "mpeg4";
  o.audioEncoder = "";
  o.solidColour = colour;
  o.seconds = 2.0;
  const std::string file = testing_support::SandboxDir() + "/" + name + ".avi";
  EXPECT_EQ(testing_support::MakeClip(file, o), "");
  return std::u16string(file.begin(), file.end());
}

// The colour of pixel (x, y), y = 0 at the top, of an RGB24 bottom-up frame.
testing_support::Rgb At(const Sample& s, int x, int y) {
  const size_t stride = (kWidth * 3 + 3) / 4 * 4;
  const BYTE* p = s.bytes.data() + size_t(kHeight - 1 - y) * stride + size_t(x) * 3;
  return {p[2], p[1], p[0]};
}

bool Near(testing_support::Rgb a, testing_support::Rgb b) {
  return std::abs(a.r - b.r) < 24 && std::abs(a.g - b.g) < 24 && std::abs(a.b - b.b) < 24;
}

class EffectsRenderTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    group_ = Group(VideoType(MEDIASUBTYPE_RGB24, 24, kWidth, kHeight));
    lower_ = Track(group_);
    upper_ = Track(group_);
    Clip(lower_, 0, 2, 0, 2, RESIZEF_STRETCH, ColourClip("red", kRed));
    Clip(upper_, 0, 2, 0, 2, RESIZEF_STRETCH, ColourClip("blue", kBlue));
  }
  IPropertySetter* Setter(std::initializer_list<std::pair<const char16_t*, const char16_t*>> values) {
    IPropertySetter* setter = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_PropertySetter, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertySetter,
                               reinterpret_cast<void**>(&setter)),
              S_OK);
    for (auto [name, value] : values) {
      DEXTER_PARAM param{SysAllocString(name), 0, 1};
      DEXTER_VALUE v{};
      v.v.vt = VT_BSTR;
      v.v.bstrVal = SysAllocString(value);
      EXPECT_EQ(setter->AddProp(param, &v), S_OK);
      SysFreeString(param.Name);
      VariantClear(&v.v);
    }
    nodes_.push_back(setter);
    return setter;
  }
  // A node of the kind with the class, span and values.
  IAMTimelineObj* Effect(TIMELINE_MAJOR_TYPE type, const GUID& clsid, double start, double stop,
                         IPropertySetter* setter = nullptr) {
    IAMTimelineObj* node = Node(type);
    node->SetSubObjectGUID(clsid);
    node->SetStartStop2(start, stop);
    if (setter) node->SetPropertySetter(setter);
    return node;
  }
  void OnTrack(IAMTimelineTrack* track, IAMTimelineObj* transition, bool swap = false) {
    IAMTimelineTransable* transable = As<IAMTimelineTransable>(track, IID_IAMTimelineTransable);
    EXPECT_EQ(transable->TransAdd(transition), S_OK);
    transable->Release();
    IAMTimelineTrans* trans = As<IAMTimelineTrans>(transition, IID_IAMTimelineTrans);
    trans->SetSwapInputs(swap);
    trans->Release();
  }
  std::vector<Sample> Render() {
    Recorder& rec = Rec(true);
    EXPECT_EQ(Build({&rec}), S_OK);
    EXPECT_EQ(RunToEnd(), EC_COMPLETE);
    auto samples = rec.Samples();
    EXPECT_EQ(samples.size(), 50u);
    return samples;
  }
  // A hard bar wipe from the left over frames 10 to 40 (0.4 s to 1.6 s).
  IAMTimelineObj* BarWipe() {
    return Effect(TIMELINE_MAJOR_TYPE_TRANSITION, CLSID_DXTGradientWipe, 0.4, 1.6,
                  Setter({{u"GradientSize", u"0"}, {u"WipeStyle", u"0"}}));
  }

  IAMTimelineObj* group_ = nullptr;
  IAMTimelineTrack* lower_ = nullptr;
  IAMTimelineTrack* upper_ = nullptr;
};

TEST_F(EffectsRenderTest, ATrackTransitionGoesFromTheLayersBelowToItsOwnPicture) {
  OnTrack(upper_, BarWipe());
  const auto f = Render();
  ASSERT_EQ(f.size(), 50u);
  EXPECT_TRUE(Near(At(f[5], 80, 60), kBlue));    // before: the upper layer covers
  EXPECT_TRUE(Near(At(f[10], 2, 60), kRed));     // progress 0: the layer below, whole
  EXPECT_TRUE(Near(At(f[10], 157, 60), kRed));
  EXPECT_TRUE(Near(At(f[25], 20, 60), kBlue));   // half way: the left half wiped to the upper layer
  EXPECT_TRUE(Near(At(f[25], 140, 60), kRed));
  EXPECT_TRUE(Near(At(f[39], 150, 60), kBlue));  // almost done
  EXPECT_TRUE(Near(At(f[40], 2, 60), kBlue));    // after: the upper layer again
}

TEST_F(EffectsRenderTest, SwappedInputsGoTheOtherWay) {
  OnTrack(upper_, BarWipe(), true);
  const auto f = Render();
  ASSERT_EQ(f.size(), 50u);
  EXPECT_TRUE(Near(At(f[10], 80, 60), kBlue));
  EXPECT_TRUE(Near(At(f[25], 20, 60), kRed));
  EXPECT_TRUE(Near(At(f[25], 140, 60), kBlue));
  EXPECT_TRUE(Near(At(f[39], 150, 60), kRed));
}

TEST_F(EffectsRenderTest, AGroupTransitionStartsFromBlack) {
  IAMTimelineTransable* transable = As<IAMTimelineTransable>(group_, IID_IAMTimelineTransable);
  EXPECT_EQ(transable->TransAdd(BarWipe()), S_OK);
  transable->Release();
  const auto f = Render();
  ASSERT_EQ(f.size(), 50u);
  EXPECT_TRUE(f[10].black);
  EXPECT_TRUE(Near(At(f[25], 20, 60), kBlue));
  EXPECT_TRUE(Near(At(f[25], 140, 60), testing_support::Rgb{0, 0, 0}));
}

TEST_F(EffectsRenderTest, UnknownClassesAndDisabledTransitionsLeaveThePicture) {
  OnTrack(upper_, Effect(TIMELINE_MAJOR_TYPE_TRANSITION, CLSID_AMTimeline, 0.4, 1.6));
  IAMTimelineEffectable* fx = As<IAMTimelineEffectable>(group_, IID_IAMTimelineEffectable);
  EXPECT_EQ(fx->EffectInsBefore(Effect(TIMELINE_MAJOR_TYPE_EFFECT, CLSID_AMTimeline, 0, 2), -1), S_OK);
  fx->Release();
  IAMTimelineTransable* transable = As<IAMTimelineTransable>(lower_, IID_IAMTimelineTransable);
  EXPECT_EQ(transable->TransAdd(BarWipe()), S_OK);
  transable->Release();
  timeline_->EnableTransitions(FALSE);
  OnTrack(upper_, Effect(TIMELINE_MAJOR_TYPE_TRANSITION, CLSID_DXTGradientWipe, 1.6, 2));
  const auto f = Render();
  ASSERT_EQ(f.size(), 50u);
  for (size_t n = 0; n < f.size(); ++n) EXPECT_TRUE(Near(At(f[n], 2, 60), kBlue)) << n;
}

}  // namespace
