// The timeline object model as the engine drives it: nodes by kind, layers by priority, times
// in seconds and units, sources laid over each other, playing rates, group formats and the
// property setter.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "des/qedit.h"
#include "ole/comptr.h"
#include "render/picture_fitter.h"

namespace {

template <class T>
T* As(IUnknown* object, REFIID iid) {
  T* p = nullptr;
  return SUCCEEDED(object->QueryInterface(iid, reinterpret_cast<void**>(&p))) ? p : nullptr;
}

class TimelineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterDesClasses();
    ASSERT_EQ(CoCreateInstance(CLSID_AMTimeline, nullptr, CLSCTX_INPROC_SERVER, IID_IAMTimeline,
                               reinterpret_cast<void**>(&timeline_)),
              S_OK);
  }
  void TearDown() override {
    for (IUnknown* n : nodes_) n->Release();
    timeline_->Release();
  }
  IAMTimelineObj* Node(TIMELINE_MAJOR_TYPE type) {
    IAMTimelineObj* obj = nullptr;
    EXPECT_EQ(timeline_->CreateEmptyNode(&obj, type), S_OK);
    nodes_.push_back(obj);
    return obj;
  }
  IAMTimelineObj* Source(double start, double stop, double mstart, double mstop, const char16_t* name = u"a.avi") {
    IAMTimelineObj* obj = Node(TIMELINE_MAJOR_TYPE_SOURCE);
    IAMTimelineSrc* src = As<IAMTimelineSrc>(obj, IID_IAMTimelineSrc);
    EXPECT_EQ(obj->SetStartStop2(start, stop), S_OK);
    BSTR b = SysAllocString(name);
    src->SetMediaName(b);
    SysFreeString(b);
    EXPECT_EQ(src->SetMediaTimes2(mstart, mstop), S_OK);
    src->Release();
    return obj;
  }
  static std::pair<double, double> Times(IAMTimelineObj* obj) {
    double a = -1, b = -1;
    obj->GetStartStop2(&a, &b);
    return {a, b};
  }
  static std::pair<double, double> MediaTimes(IAMTimelineObj* obj) {
    IAMTimelineSrc* src = As<IAMTimelineSrc>(obj, IID_IAMTimelineSrc);
    double a = -1, b = -1;
    src->GetMediaTimes2(&a, &b);
    src->Release();
    return {a, b};
  }

  IAMTimeline* timeline_ = nullptr;
  std::vector<IUnknown*> nodes_;
};

// The timeline, the property setter and the render engine are never aggregated, whichever
// interface the outer object asks for.
TEST(DesClasses, RefuseAnOuterObject) {
  RegisterDesClasses();
  ComPtr<IUnknown> outer;
  ASSERT_EQ(CoCreateInstance(CLSID_AMTimeline, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, outer.putVoid()), S_OK);
  for (const CLSID* clsid : {&CLSID_AMTimeline, &CLSID_PropertySetter, &CLSID_RenderEngine}) {
    for (const IID* iid : {&IID_IUnknown, &IID_IPersist}) {
      ComPtr<IUnknown> inner;
      EXPECT_EQ(CoCreateInstance(*clsid, outer.get(), CLSCTX_INPROC_SERVER, *iid, inner.putVoid()),
                CLASS_E_NOAGGREGATION)
          << StringFromGUIDA(*clsid);
      EXPECT_FALSE(inner);
    }
  }
}

TEST_F(TimelineTest, NodesAnswerTheInterfacesOfTheirKind) {
  struct Case {
    TIMELINE_MAJOR_TYPE type;
    std::vector<const IID*> yes, no;
  };
  const Case cases[] = {
      {TIMELINE_MAJOR_TYPE_GROUP, {&IID_IAMTimelineGroup, &IID_IAMTimelineComp, &IID_IAMTimelineTransable},
       {&IID_IAMTimelineTrack, &IID_IAMTimelineSrc, &IID_IAMTimelineVirtualTrack}},
      {TIMELINE_MAJOR_TYPE_COMPOSITE, {&IID_IAMTimelineComp, &IID_IAMTimelineVirtualTrack, &IID_IAMTimelineEffectable},
       {&IID_IAMTimelineGroup, &IID_IAMTimelineTrack}},
      {TIMELINE_MAJOR_TYPE_TRACK, {&IID_IAMTimelineTrack, &IID_IAMTimelineTransable, &IID_IAMTimelineVirtualTrack},
       {&IID_IAMTimelineComp, &IID_IAMTimelineSrc}},
      {TIMELINE_MAJOR_TYPE_SOURCE, {&IID_IAMTimelineSrc, &IID_IAMTimelineEffectable},
       {&IID_IAMTimelineTransable, &IID_IAMTimelineTrack}},
      {TIMELINE_MAJOR_TYPE_TRANSITION, {&IID_IAMTimelineTrans}, {&IID_IAMTimelineEffect, &IID_IAMTimelineSrc}},
      {TIMELINE_MAJOR_TYPE_EFFECT, {&IID_IAMTimelineEffect}, {&IID_IAMTimelineTrans}},
  };
  for (const Case& c : cases) {
    IAMTimelineObj* obj = Node(c.type);
    TIMELINE_MAJOR_TYPE type;
    obj->GetTimelineType(&type);
    EXPECT_EQ(type, c.type);
    for (const IID* iid : c.yes) {
      IUnknown* p = As<IUnknown>(obj, *iid);
      EXPECT_NE(p, nullptr) << c.type;
      if (p) p->Release();
    }
    for (const IID* iid : c.no) EXPECT_EQ(As<IUnknown>(obj, *iid), nullptr) << c.type;
  }
  IAMTimelineObj* bad = nullptr;
  EXPECT_EQ(timeline_->CreateEmptyNode(&bad, TIMELINE_MAJOR_TYPE(3)), E_INVALIDARG);
}

TEST_F(TimelineTest, TracksInsertedAtPriorityZeroGoBelowTheOthers) {
  IAMTimelineObj* group = Node(TIMELINE_MAJOR_TYPE_GROUP);
  IAMTimelineComp* comp = As<IAMTimelineComp>(group, IID_IAMTimelineComp);
  IAMTimelineObj* first = Node(TIMELINE_MAJOR_TYPE_TRACK);
  IAMTimelineObj* second = Node(TIMELINE_MAJOR_TYPE_TRACK);
  IAMTimelineObj* top = Node(TIMELINE_MAJOR_TYPE_COMPOSITE);
  EXPECT_EQ(comp->VTrackInsBefore(first, 0), S_OK);
  EXPECT_EQ(comp->VTrackInsBefore(second, 0), S_OK);
  EXPECT_EQ(comp->VTrackInsBefore(top, -1), S_OK);
  EXPECT_EQ(comp->VTrackInsBefore(first, 0), E_INVALIDARG);  // already placed
  auto priority = [](IAMTimelineObj* o) {
    IAMTimelineVirtualTrack* vt = As<IAMTimelineVirtualTrack>(o, IID_IAMTimelineVirtualTrack);
    LONG p = -2;
    vt->TrackGetPriority(&p);
    vt->Release();
    return p;
  };
  EXPECT_EQ(priority(second), 0);
  EXPECT_EQ(priority(first), 1);
  EXPECT_EQ(priority(top), 2);
  EXPECT_EQ(comp->VTrackSwapPriorities(0, 2), S_OK);
  EXPECT_EQ(priority(top), 0);
  EXPECT_EQ(priority(second), 2);
  LONG count = 0;
  comp->VTrackGetCount(&count);
  EXPECT_EQ(count, 3);
  IAMTimelineObj* got = nullptr;
  EXPECT_EQ(comp->GetVTrack(&got, 1), S_OK);
  EXPECT_EQ(got, first);
  got->Release();
  EXPECT_EQ(comp->GetVTrack(&got, 3), E_INVALIDARG);
  // A composition cannot hold itself or one that holds it.
  IAMTimelineComp* inner = As<IAMTimelineComp>(top, IID_IAMTimelineComp);
  EXPECT_EQ(inner->VTrackInsBefore(top, -1), E_INVALIDARG);
  inner->Release();
  comp->Release();
}

TEST_F(TimelineTest, TimesInSecondsAndUnitsAndTheTimelineDuration) {
  double d = -1;
  EXPECT_EQ(timeline_->GetDuration2(&d), S_OK);
  EXPECT_EQ(d, 0.0);
  IAMTimelineObj* src = Source(10, 25, 5, 20);
  REFERENCE_TIME a, b;
  src->GetStartStop(&a, &b);
  EXPECT_EQ(a, 100000000);
  EXPECT_EQ(b, 250000000);
  EXPECT_EQ(src->SetStartStop2(3, 2), E_INVALIDARG);
  EXPECT_EQ(src->SetStartStop(-1, 2), E_INVALIDARG);
  EXPECT_EQ(Times(src), std::make_pair(10.0, 25.0));

  // Groups, nested compositions and their tracks all count towards the duration.
  IAMTimelineObj* video = Node(TIMELINE_MAJOR_TYPE_GROUP);
  IAMTimelineObj* audio = Node(TIMELINE_MAJOR_TYPE_GROUP);
  ASSERT_EQ(timeline_->AddGroup(video), S_OK);
  ASSERT_EQ(timeline_->AddGroup(audio), S_OK);
  EXPECT_EQ(timeline_->AddGroup(audio), E_INVALIDARG);
  EXPECT_EQ(timeline_->AddGroup(src), E_INVALIDARG);
  IAMTimelineObj* comp = Node(TIMELINE_MAJOR_TYPE_COMPOSITE);
  IAMTimelineObj* track = Node(TIMELINE_MAJOR_TYPE_TRACK);
  IAMTimelineComp* audioComp = As<IAMTimelineComp>(audio, IID_IAMTimelineComp);
  IAMTimelineComp* nested = As<IAMTimelineComp>(comp, IID_IAMTimelineComp);
  audioComp->VTrackInsBefore(comp, -1);
  nested->VTrackInsBefore(track, -1);
  IAMTimelineTrack* t = As<IAMTimelineTrack>(track, IID_IAMTimelineTrack);
  EXPECT_EQ(t->SrcAdd(src), S_OK);
  EXPECT_EQ(t->SrcAdd(src), E_INVALIDARG);
  timeline_->GetDuration2(&d);
  EXPECT_DOUBLE_EQ(d, 25.0);

  IAMTimelineGroup* g = As<IAMTimelineGroup>(audio, IID_IAMTimelineGroup);
  LONG priority = -1;
  g->GetPriority(&priority);
  EXPECT_EQ(priority, 1);
  EXPECT_EQ(timeline_->RemGroupFromList(video), S_OK);
  g->GetPriority(&priority);
  EXPECT_EQ(priority, 0);
  LONG groups = 0;
  timeline_->GetGroupCount(&groups);
  EXPECT_EQ(groups, 1);
  EXPECT_EQ(timeline_->ClearAllGroups(), S_OK);
  timeline_->GetDuration2(&d);
  EXPECT_EQ(d, 0.0);
  IAMTimeline* owner = nullptr;
  EXPECT_EQ(g->GetTimeline(&owner), S_FALSE);
  g->Release();
  t->Release();
  nested->Release();
  audioComp->Release();
}

TEST_F(TimelineTest, FixTimesRoundsToTheGroupFrameRate) {
  IAMTimelineObj* group = Node(TIMELINE_MAJOR_TYPE_GROUP);
  IAMTimelineGroup* g = As<IAMTimelineGroup>(group, IID_IAMTimelineGroup);
  EXPECT_EQ(g->SetOutputFPS(25), S_OK);
  EXPECT_EQ(g->SetOutputFPS(0), E_INVALIDARG);
  IAMTimelineObj* track = Node(TIMELINE_MAJOR_TYPE_TRACK);
  IAMTimelineComp* comp = As<IAMTimelineComp>(group, IID_IAMTimelineComp);
  comp->VTrackInsBefore(track, -1);
  double a = 1.01, b = 2.03;
  EXPECT_EQ(track->FixTimes2(&a, &b), S_OK);
  EXPECT_DOUBLE_EQ(a, 1.0);
  EXPECT_DOUBLE_EQ(b, 2.04);
  // Outside a group the timeline's default rate at creation counts (15 unless set).
  IAMTimelineObj* loose = Node(TIMELINE_MAJOR_TYPE_SOURCE);
  a = 0.09;
  loose->FixTimes2(&a, &b);
  EXPECT_NEAR(a, 1.0 / 15, 1e-6);
  // At the ends of the time range: the nearest frame the range holds.
  REFERENCE_TIME first = INT64_MIN, last = INT64_MAX;
  EXPECT_EQ(track->FixTimes(&first, &last), S_OK);
  EXPECT_GT(last, INT64_MAX - 2 * UNITS / 25);
  EXPECT_LT(first, INT64_MIN + 2 * UNITS / 25);
  IAMTimelineSrc* src = As<IAMTimelineSrc>(loose, IID_IAMTimelineSrc);
  src->SetDefaultFPS(30);
  first = INT64_MIN, last = INT64_MAX;
  EXPECT_EQ(src->FixMediaTimes(&first, &last), S_OK);
  EXPECT_GT(last, INT64_MAX - 2 * UNITS / 30);
  EXPECT_LT(first, INT64_MIN + 2 * UNITS / 30);
  src->Release();
  comp->Release();
  g->Release();
}

// A rate the render engine cannot count frames with is refused where it is set: a frame must
// last at least one unit and at most a day.
TEST_F(TimelineTest, FrameRatesMustGiveUsableFrameLengths) {
  IAMTimelineObj* group = Node(TIMELINE_MAJOR_TYPE_GROUP);
  IAMTimelineGroup* g = As<IAMTimelineGroup>(group, IID_IAMTimelineGroup);
  IAMTimelineSrc* src = As<IAMTimelineSrc>(Node(TIMELINE_MAJOR_TYPE_SOURCE), IID_IAMTimelineSrc);
  const double bad[] = {HUGE_VAL, -HUGE_VAL, std::nan(""), 1e-300, 2e7};
  for (double fps : bad) {
    EXPECT_EQ(g->SetOutputFPS(fps), E_INVALIDARG) << fps;
    EXPECT_EQ(timeline_->SetDefaultFPS(fps), E_INVALIDARG) << fps;
    EXPECT_EQ(src->SetDefaultFPS(fps), E_INVALIDARG) << fps;
  }
  double fps = 0;
  g->GetOutputFPS(&fps);
  EXPECT_EQ(fps, 15.0);
  timeline_->GetDefaultFPS(&fps);
  EXPECT_EQ(fps, 15.0);
  src->GetDefaultFPS(&fps);
  EXPECT_EQ(fps, 0.0);
  EXPECT_EQ(g->SetOutputFPS(0.1), S_OK);
  EXPECT_EQ(timeline_->SetDefaultFPS(29.97), S_OK);
  EXPECT_EQ(src->SetDefaultFPS(0), S_OK);  // none
  EXPECT_EQ(src->SetDefaultFPS(1000), S_OK);
  src->Release();
  g->Release();
}

TEST_F(TimelineTest, ASourceLaidOverOthersCutsThemAndKeepsTheirRates) {
  IAMTimelineObj* track = Node(TIMELINE_MAJOR_TYPE_TRACK);
  IAMTimelineTrack* t = As<IAMTimelineTrack>(track, IID_IAMTimelineTrack);
  IAMTimelineObj* slow = Source(0, 20, 0, 10);  // half speed
  IAMTimelineObj* next = Source(10, 15, 0, 5);
  ASSERT_EQ(t->SrcAdd(slow), S_OK);
  ASSERT_EQ(t->SrcAdd(next), S_OK);
  EXPECT_EQ(Times(slow), std::make_pair(0.0, 10.0));
  EXPECT_EQ(MediaTimes(slow), std::make_pair(0.0, 5.0));
  // The tail after the new source stays, continuing where the media was.
  IAMTimelineObj* found = nullptr;
  REFERENCE_TIME at = 0;
  std::vector<std::pair<double, double>> spans, media;
  while (t->GetNextSrc(&found, &at) == S_OK) {
    spans.push_back(Times(found));
    media.push_back(MediaTimes(found));
    found->Release();
  }
  ASSERT_EQ(spans.size(), 3u);
  EXPECT_EQ(spans[2], std::make_pair(15.0, 20.0));
  EXPECT_EQ(media[2], std::make_pair(7.5, 10.0));
  // A source that covers another removes it.
  IAMTimelineObj* cover = Source(9, 30, 0, 21);
  ASSERT_EQ(t->SrcAdd(cover), S_OK);
  at = 0;
  int count = 0;
  while (t->GetNextSrc(&found, &at) == S_OK) {
    ++count;
    found->Release();
  }
  EXPECT_EQ(count, 2);
  EXPECT_EQ(Times(slow), std::make_pair(0.0, 9.0));
  t->Release();
}

TEST_F(TimelineTest, PlayingRateStretchModeAndSplicing) {
  IAMTimelineObj* track = Node(TIMELINE_MAJOR_TYPE_TRACK);
  IAMTimelineTrack* t = As<IAMTimelineTrack>(track, IID_IAMTimelineTrack);
  IAMTimelineObj* a = Source(0, 4, 0, 2);
  IAMTimelineObj* b = Source(4, 6, 2, 3);
  IAMTimelineObj* other = Source(6, 8, 3, 4, u"b.avi");
  t->SrcAdd(a);
  t->SrcAdd(b);
  t->SrcAdd(other);
  IAMTimelineSrc* src = As<IAMTimelineSrc>(a, IID_IAMTimelineSrc);
  BOOL normal = TRUE;
  src->IsNormalRate(&normal);
  EXPECT_FALSE(normal);
  int mode = -1;
  src->GetStretchMode(&mode);
  EXPECT_EQ(mode, RESIZEF_STRETCH);
  for (int m : {RESIZEF_CROP, RESIZEF_PRESERVEASPECTRATIO, RESIZEF_PRESERVEASPECTRATIO_NOLETTERBOX}) {
    EXPECT_EQ(src->SetStretchMode(m), S_OK);
    src->GetStretchMode(&mode);
    EXPECT_EQ(mode, m);
  }
  EXPECT_EQ(src->SetStretchMode(4), E_INVALIDARG);
  EXPECT_EQ(src->SpliceWithNext(other), E_INVALIDARG);  // another file, not adjacent
  EXPECT_EQ(src->SpliceWithNext(b), S_OK);
  EXPECT_EQ(Times(a), std::make_pair(0.0, 6.0));
  EXPECT_EQ(MediaTimes(a), std::make_pair(0.0, 3.0));
  EXPECT_EQ(src->ModifyStopTime2(8), S_OK);  // the rate stays: media runs to 4
  EXPECT_EQ(MediaTimes(a), std::make_pair(0.0, 4.0));
  // A stop whose media stop would pass the end of the time range is refused.
  IAMTimelineObj* late = Source(0, 1, 0, 1);
  IAMTimelineSrc* lateSrc = As<IAMTimelineSrc>(late, IID_IAMTimelineSrc);
  ASSERT_EQ(lateSrc->SetMediaTimes(INT64_MAX - 2 * UNITS, INT64_MAX - UNITS), S_OK);
  EXPECT_EQ(lateSrc->ModifyStopTime(3 * UNITS), E_INVALIDARG);
  REFERENCE_TIME start = 0, stop = 0;
  lateSrc->GetMediaTimes(&start, &stop);
  EXPECT_EQ(stop, INT64_MAX - UNITS);
  late->GetStartStop(&start, &stop);
  EXPECT_EQ(stop, UNITS);
  EXPECT_EQ(lateSrc->ModifyStopTime(2 * UNITS), S_OK);
  lateSrc->GetMediaTimes(&start, &stop);
  EXPECT_EQ(stop, INT64_MAX);
  lateSrc->Release();
  // Media times fixed to the source's own frame rate when it has one.
  double ms = 0.33, me = 0.51;
  src->FixMediaTimes2(&ms, &me);
  EXPECT_DOUBLE_EQ(ms, 0.33);
  src->SetDefaultFPS(10);
  src->FixMediaTimes2(&ms, &me);
  EXPECT_DOUBLE_EQ(ms, 0.3);
  EXPECT_DOUBLE_EQ(me, 0.5);
  src->Release();
  t->Release();
}

TEST_F(TimelineTest, GroupKeepsItsMediaTypeRateNameAndPreviewFlag) {
  IAMTimelineObj* group = Node(TIMELINE_MAJOR_TYPE_GROUP);
  IAMTimelineGroup* g = As<IAMTimelineGroup>(group, IID_IAMTimelineGroup);
  CMediaType mt(&MEDIATYPE_Video);
  mt.SetSubtype(&MEDIASUBTYPE_RGB555);
  mt.SetFormatType(&FORMAT_VideoInfo);
  auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(mt.AllocFormatBuffer(sizeof(VIDEOINFOHEADER)));
  vih->bmiHeader.biWidth = 320;
  vih->bmiHeader.biHeight = 240;
  vih->bmiHeader.biBitCount = 16;
  EXPECT_EQ(g->SetMediaType(&mt), S_OK);
  AM_MEDIA_TYPE back{};
  ASSERT_EQ(g->GetMediaType(&back), S_OK);
  EXPECT_EQ(back.subtype, MEDIASUBTYPE_RGB555);
  ASSERT_EQ(back.cbFormat, sizeof(VIDEOINFOHEADER));
  EXPECT_EQ(reinterpret_cast<VIDEOINFOHEADER*>(back.pbFormat)->bmiHeader.biWidth, 320);
  FreeMediaType(back);
  CMediaType text(&MEDIATYPE_Text);
  EXPECT_EQ(g->SetMediaType(&text), E_INVALIDARG);
  double fps = 0;
  g->GetOutputFPS(&fps);
  EXPECT_EQ(fps, 15.0);
  BSTR name = SysAllocString(u"Video");
  g->SetGroupName(name);
  SysFreeString(name);
  g->GetGroupName(&name);
  EXPECT_EQ(std::u16string(name), u"Video");
  SysFreeString(name);
  BOOL preview = TRUE;
  g->GetPreviewMode(&preview);
  EXPECT_FALSE(preview);
  g->SetPreviewMode(TRUE);
  g->GetPreviewMode(&preview);
  EXPECT_TRUE(preview);
  // A group joins a timeline from either side.
  EXPECT_EQ(g->SetTimeline(timeline_), S_OK);
  LONG count = 0;
  timeline_->GetGroupCount(&count);
  EXPECT_EQ(count, 1);
  g->Release();
}

TEST_F(TimelineTest, TransitionsAndEffectsHangOnTheirNodes) {
  IAMTimelineObj* track = Node(TIMELINE_MAJOR_TYPE_TRACK);
  IAMTimelineTransable* transable = As<IAMTimelineTransable>(track, IID_IAMTimelineTransable);
  IAMTimelineObj* t1 = Node(TIMELINE_MAJOR_TYPE_TRANSITION);
  IAMTimelineObj* t2 = Node(TIMELINE_MAJOR_TYPE_TRANSITION);
  t1->SetStartStop2(8, 10);
  t2->SetStartStop2(9, 12);
  EXPECT_EQ(transable->TransAdd(t1), S_OK);
  EXPECT_EQ(transable->TransAdd(t2), E_INVALIDARG);  // overlaps
  IAMTimelineTrans* trans = As<IAMTimelineTrans>(t1, IID_IAMTimelineTrans);
  double cut = 0;
  trans->GetCutPoint2(&cut);
  EXPECT_DOUBLE_EQ(cut, 1.0);
  BOOL swap = TRUE;
  trans->GetSwapInputs(&swap);
  EXPECT_FALSE(swap);
  trans->SetSwapInputs(TRUE);
  trans->GetSwapInputs(&swap);
  EXPECT_TRUE(swap);
  trans->Release();
  EXPECT_EQ(t1->SetSubObjectGUID(CLSID_DXTWheel), S_OK);
  GUID guid;
  t1->GetSubObjectGUID(&guid);
  EXPECT_EQ(guid, CLSID_DXTWheel);
  BSTR text = nullptr;
  t1->GetSubObjectGUIDB(&text);
  EXPECT_EQ(std::u16string(text), u"{5AE1DAE0-1461-11D2-A484-00C04F8EFB69}");
  SysFreeString(text);
  BOOL loaded = TRUE;
  t1->GetSubObjectLoaded(&loaded);
  EXPECT_FALSE(loaded);

  IAMTimelineEffectable* effectable = As<IAMTimelineEffectable>(track, IID_IAMTimelineEffectable);
  IAMTimelineObj* e1 = Node(TIMELINE_MAJOR_TYPE_EFFECT);
  IAMTimelineObj* e2 = Node(TIMELINE_MAJOR_TYPE_EFFECT);
  EXPECT_EQ(effectable->EffectInsBefore(e1, -1), S_OK);
  EXPECT_EQ(effectable->EffectInsBefore(e2, 0), S_OK);
  EXPECT_EQ(effectable->EffectInsBefore(t2, 0), E_INVALIDARG);
  IAMTimelineEffect* effect = As<IAMTimelineEffect>(e1, IID_IAMTimelineEffect);
  LONG p = -1;
  effect->EffectGetPriority(&p);
  EXPECT_EQ(p, 1);
  effect->Release();
  LONG count = 0;
  effectable->EffectGetCount(&count);
  EXPECT_EQ(count, 2);
  effectable->Release();
  transable->Release();
}

IPropertySetter* NewPropertySetter() {
  IPropertySetter* setter = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_PropertySetter, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertySetter,
                             reinterpret_cast<void**>(&setter)),
            S_OK);
  return setter;
}

// One text value from the start.
HRESULT AddText(IPropertySetter* setter, const char16_t* name, const char16_t* text) {
  DEXTER_PARAM param{SysAllocString(name), 0, 1};
  DEXTER_VALUE value{};
  value.v.vt = VT_BSTR;
  value.v.bstrVal = SysAllocString(text);
  const HRESULT hr = setter->AddProp(param, &value);
  SysFreeString(param.Name);
  VariantClear(&value.v);
  return hr;
}

std::string PrintXml(IPropertySetter* setter) {
  int size = 0;
  EXPECT_EQ(setter->PrintXML(nullptr, 0, &size, 0), S_OK);
  std::string xml(size_t(size), '\0');
  EXPECT_EQ(setter->PrintXML(xml.data(), size, &size, 0), S_OK);
  return xml;
}

TEST_F(TimelineTest, PropertySetterPrintsTextAsValidUtf8) {
  IPropertySetter* setter = NewPropertySetter();
  ASSERT_NE(setter, nullptr);
  // A name with an accent and a value with a cut-off surrogate pair.
  const char16_t broken[] = {u'a', 0xD83D, u'b', 0};
  ASSERT_EQ(AddText(setter, u"caf\u00e9", broken), S_OK);
  const std::string xml = PrintXml(setter);
  EXPECT_NE(xml.find("<PARAM NAME=\"caf\xC3\xA9\" VALUE=\"a\xEF\xBF\xBD" "b\"/>"), std::string::npos) << xml;
  setter->Release();
}

TEST_F(TimelineTest, PropertySetterKeepsNamedTimedValues) {
  IPropertySetter* setter = NewPropertySetter();
  ASSERT_NE(setter, nullptr);
  EXPECT_EQ(AddText(setter, u"spokes", u"4"), S_OK);
  DEXTER_PARAM ramp{SysAllocString(u"Age"), 0, 2};
  DEXTER_VALUE values[2]{};
  values[0].v.vt = VT_I4;
  values[0].v.lVal = 1;
  values[1].v.vt = VT_I4;
  values[1].v.lVal = 9;
  values[1].rt = 20000000;
  values[1].dwInterp = DEXTERF_INTERPOLATE;
  EXPECT_EQ(setter->AddProp(ramp, values), S_OK);
  SysFreeString(ramp.Name);

  LONG n = 0;
  DEXTER_PARAM* params = nullptr;
  DEXTER_VALUE* got = nullptr;
  ASSERT_EQ(setter->GetProps(&n, &params, &got), S_OK);
  ASSERT_EQ(n, 2);
  EXPECT_EQ(std::u16string(params[0].Name), u"spokes");
  EXPECT_EQ(std::u16string(got[0].v.bstrVal), u"4");
  EXPECT_EQ(params[1].nValues, 2);
  EXPECT_EQ(got[2].v.lVal, 9);
  EXPECT_EQ(got[2].rt, 20000000);
  setter->FreeProps(n, params, got);

  std::string xml = PrintXml(setter);
  EXPECT_NE(xml.find("<PARAM NAME=\"spokes\" VALUE=\"4\"/>"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<LINEAR TIME=\"2.000000\" VALUE=\"9\"/>"), std::string::npos) << xml;
  int size = 0;
  EXPECT_EQ(setter->PrintXML(xml.data(), 4, &size, 0), E_OUTOFMEMORY);

  // A clone from 1 s on starts with the value holding then.
  IPropertySetter* clone = nullptr;
  ASSERT_EQ(setter->CloneProps(&clone, 10000000, 30000000), S_OK);
  clone->GetProps(&n, &params, &got);
  ASSERT_EQ(n, 2);
  EXPECT_EQ(params[1].nValues, 2);
  EXPECT_EQ(got[1].v.lVal, 1);
  EXPECT_EQ(got[1].rt, 0);
  EXPECT_EQ(got[2].rt, 10000000);
  clone->FreeProps(n, params, got);
  clone->Release();
  // Object times do not run before the object's start.
  EXPECT_EQ(setter->CloneProps(&clone, -1, 30000000), E_INVALIDARG);
  EXPECT_EQ(setter->CloneProps(&clone, INT64_MIN, INT64_MAX), E_INVALIDARG);
  EXPECT_EQ(clone, nullptr);

  IAMTimelineObj* node = Node(TIMELINE_MAJOR_TYPE_EFFECT);
  EXPECT_EQ(node->SetPropertySetter(setter), S_OK);
  IPropertySetter* held = nullptr;
  EXPECT_EQ(node->GetPropertySetter(&held), S_OK);
  EXPECT_EQ(held, setter);
  held->Release();
  setter->ClearProps();
  setter->GetProps(&n, &params, &got);
  EXPECT_EQ(n, 0);
  setter->FreeProps(n, params, got);
  setter->Release();
}

// A property target that records what is put into it.
class Target : public IDispatch {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
      *ppv = static_cast<IDispatch*>(this);
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetTypeInfoCount(UINT* n) override { return *n = 0, S_OK; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
    const std::u16string name(names[0]);
    if (name == u"spokes") return *ids = 1, S_OK;
    if (name == u"Age") return *ids = 2, S_OK;
    return DISP_E_UNKNOWNNAME;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* args, VARIANT*, EXCEPINFO*, UINT*) override {
    if (flags != DISPATCH_PROPERTYPUT || args->cArgs != 1 || args->cNamedArgs != 1 ||
        args->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
      return DISP_E_PARAMNOTFOUND;
    VARIANT text;
    VariantInit(&text);
    VariantChangeType(&text, &args->rgvarg[0], 0, VT_BSTR);
    puts[id] = std::u16string(text.bstrVal);
    VariantClear(&text);
    return S_OK;
  }
  std::map<DISPID, std::u16string> puts;
};

TEST_F(TimelineTest, PropertySetterPutsValuesIntoItsTargetAndTravelsAsBytes) {
  IPropertySetter* setter = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_PropertySetter, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertySetter,
                             reinterpret_cast<void**>(&setter)),
            S_OK);
  DEXTER_PARAM spokes{SysAllocString(u"spokes"), 0, 1};
  DEXTER_VALUE four{};
  four.v.vt = VT_BSTR;
  four.v.bstrVal = SysAllocString(u"4");
  setter->AddProp(spokes, &four);
  VariantClear(&four.v);
  SysFreeString(spokes.Name);
  DEXTER_PARAM age{SysAllocString(u"Age"), 0, 2};
  DEXTER_VALUE ramp[2]{};
  ramp[0].v.vt = VT_I4;
  ramp[0].v.lVal = 10;
  ramp[1].v.vt = VT_I4;
  ramp[1].v.lVal = 30;
  ramp[1].rt = 20000000;
  ramp[1].dwInterp = DEXTERF_INTERPOLATE;
  setter->AddProp(age, ramp);
  SysFreeString(age.Name);

  LONG size = 0;
  BYTE* blob = nullptr;
  ASSERT_EQ(setter->SaveToBlob(&size, &blob), S_OK);
  IPropertySetter* copy = nullptr;
  CoCreateInstance(CLSID_PropertySetter, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertySetter,
                   reinterpret_cast<void**>(&copy));
  EXPECT_EQ(copy->LoadFromBlob(size - 1, blob), E_INVALIDARG);
  ASSERT_EQ(copy->LoadFromBlob(size, blob), S_OK);
  CoTaskMemFree(blob);

  Target target;
  EXPECT_EQ(copy->SetProps(&target, 5000000), S_OK);  // a quarter of the ramp
  EXPECT_EQ(target.puts[1], u"4");
  EXPECT_EQ(target.puts[2], u"15");
  EXPECT_EQ(copy->SetProps(&target, 30000000), S_OK);  // past the ramp
  EXPECT_EQ(target.puts[2], u"30");
  // A name the target does not know fails after the others were put.
  DEXTER_PARAM unknown{SysAllocString(u"Colour"), 0, 1};
  DEXTER_VALUE one{};
  one.v.vt = VT_I4;
  one.v.lVal = 1;
  copy->AddProp(unknown, &one);
  SysFreeString(unknown.Name);
  target.puts.clear();
  EXPECT_EQ(copy->SetProps(&target, 0), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(target.puts[2], u"10");
  copy->Release();
  setter->Release();
}

TEST(PictureFitterPlace, StretchModesPlaceThePicture) {
  using des::PictureFitter;
  // 176x144 into 320x120.
  auto p = PictureFitter::Place(176, 144, 320, 120, RESIZEF_STRETCH);
  EXPECT_EQ(p.dstW, 320);
  EXPECT_EQ(p.dstH, 120);
  p = PictureFitter::Place(176, 144, 320, 120, RESIZEF_PRESERVEASPECTRATIO);  // pillar bars
  EXPECT_EQ(p.dstH, 120);
  EXPECT_EQ(p.dstW, 147);
  EXPECT_EQ(p.dstX, (320 - 147) / 2);
  p = PictureFitter::Place(176, 144, 320, 120, RESIZEF_PRESERVEASPECTRATIO_NOLETTERBOX);  // cut top and bottom
  EXPECT_EQ(p.srcW, 176);
  EXPECT_EQ(p.srcH, 66);
  EXPECT_EQ(p.srcY, 39);
  p = PictureFitter::Place(176, 144, 320, 120, RESIZEF_CROP);  // unscaled, centred
  EXPECT_EQ(p.srcW, 176);
  EXPECT_EQ(p.dstW, 176);
  EXPECT_EQ(p.srcH, 120);
  EXPECT_EQ(p.srcY, 12);
  EXPECT_EQ(p.dstX, 72);
}

// A picture format whose size does not fit 32-bit counts is measured exactly and not taken.
TEST(PictureFitterPlace, PicturesTooLargeForTheirCountsAreRefused) {
  using des::PictureFitter;
  BITMAPINFOHEADER in{};
  in.biWidth = (1 << 27) + 2;
  in.biHeight = -12;  // top-down
  EXPECT_EQ(PictureFitter::InputBytes(MEDIASUBTYPE_RGB32, in), size_t(in.biWidth) * 4 * 12);
  EXPECT_EQ(PictureFitter::InputBytes(MEDIASUBTYPE_RGB24, in), (size_t(in.biWidth) * 3 + 3) / 4 * 4 * 12);
  EXPECT_EQ(PictureFitter::InputBytes(MEDIASUBTYPE_I420, in), size_t(in.biWidth) * 12 * 3 / 2);
  BITMAPINFOHEADER out{};
  out.biWidth = 64;
  out.biHeight = 48;
  out.biBitCount = 32;
  for (const GUID* subtype : {&MEDIASUBTYPE_RGB32, &MEDIASUBTYPE_RGB24, &MEDIASUBTYPE_YUY2, &MEDIASUBTYPE_I420})
    EXPECT_FALSE(PictureFitter(*subtype, in, out, RESIZEF_STRETCH).Valid());
  in.biWidth = 64;
  EXPECT_TRUE(PictureFitter(MEDIASUBTYPE_RGB32, in, out, RESIZEF_STRETCH).Valid());
}

}  // namespace
