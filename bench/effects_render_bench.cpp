// What transitions and effects cost a render, in one run: four 15-second 1280x720 clips (made
// here) overlapping by 2 seconds, each overlap (and the last clip's end) carrying a transition (a
// bar wipe, a gradient wipe, the wheel and a page curl) and a blur over the whole second clip,
// rendered by the editing services to uncompressed frames; against the same timeline with the
// same overlaps and nothing on them. Each side runs in a child process of its own, taking turns;
// the medians count.
// Usage: effects_render_bench [folder] [clip seconds] [rounds]
#include "child_run.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "des/qedit.h"
#include "ole/comptr.h"
#include "testing/media_fixtures.h"

namespace {

using bench::InChild;
using bench::Result;

constexpr int kWidth = 1280, kHeight = 720, kFrameRate = 25;
constexpr double kOverlap = 2.0;

HRESULT SetValues(IAMTimelineObj* node, const std::vector<std::pair<const char16_t*, const char16_t*>>& values) {
  ComPtr<IPropertySetter> setter;
  HRESULT hr = CoCreateInstance(CLSID_PropertySetter, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertySetter,
                                setter.putVoid());
  for (const auto& [name, value] : values) {
    if (FAILED(hr)) return hr;
    DEXTER_PARAM param{SysAllocString(name), 0, 1};
    DEXTER_VALUE v{};
    v.v.vt = VT_BSTR;
    v.v.bstrVal = SysAllocString(value);
    hr = setter->AddProp(param, &v);
    SysFreeString(param.Name);
    VariantClear(&v.v);
  }
  return SUCCEEDED(hr) ? node->SetPropertySetter(setter.get()) : hr;
}

// Lays the clips as the engine's clip adders with transitions do: each clip on a track of its own
// beneath the earlier ones, starting where the one before begins its transition.
int Render(const std::vector<std::string>& clips, double seconds, bool effects) {
  RegisterDesClasses();
  ComPtr<IAMTimeline> timeline;
  ComPtr<IRenderEngine> engine;
  if (FAILED(CoCreateInstance(CLSID_AMTimeline, nullptr, CLSCTX_INPROC_SERVER, IID_IAMTimeline, timeline.putVoid())) ||
      FAILED(CoCreateInstance(CLSID_RenderEngine, nullptr, CLSCTX_INPROC_SERVER, IID_IRenderEngine, engine.putVoid())))
    return 2;
  ComPtr<IAMTimelineObj> group;
  timeline->CreateEmptyNode(group.put(), TIMELINE_MAJOR_TYPE_GROUP);
  CMediaType mt(&MEDIATYPE_Video);
  mt.SetSubtype(&MEDIASUBTYPE_RGB24);
  mt.SetFormatType(&FORMAT_VideoInfo);
  auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(mt.AllocFormatBuffer(sizeof(VIDEOINFOHEADER)));
  *vih = {};
  vih->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  vih->bmiHeader.biWidth = kWidth;
  vih->bmiHeader.biHeight = kHeight;
  vih->bmiHeader.biPlanes = 1;
  vih->bmiHeader.biBitCount = 24;
  vih->bmiHeader.biSizeImage = DIBSIZE(vih->bmiHeader);
  mt.SetSampleSize(vih->bmiHeader.biSizeImage);
  auto groupFace = group.As<IAMTimelineGroup>(IID_IAMTimelineGroup);
  groupFace->SetMediaType(&mt);
  groupFace->SetOutputFPS(kFrameRate);
  timeline->AddGroup(group.get());
  auto comp = group.As<IAMTimelineComp>(IID_IAMTimelineComp);

  const std::vector<std::pair<GUID, std::vector<std::pair<const char16_t*, const char16_t*>>>> transitions = {
      {CLSID_DxtJpeg, {{u"MaskNum", u"1"}}},
      {CLSID_DXTGradientWipe, {{u"GradientSize", u"0.6"}, {u"WipeStyle", u"1"}}},
      {CLSID_DXTWheel, {{u"spokes", u"4"}}},
      {CLSID_Transitions3D, {{u"InternalName", u"Simple3D"}, {u"PageCurlA", u"lowerleft"}, {u"ShowABack", u"true"}}},
  };
  double start = 0;
  for (size_t i = 0; i < clips.size(); ++i) {
    ComPtr<IAMTimelineObj> trackNode, source;
    timeline->CreateEmptyNode(trackNode.put(), TIMELINE_MAJOR_TYPE_TRACK);
    comp->VTrackInsBefore(trackNode.get(), 0);
    timeline->CreateEmptyNode(source.put(), TIMELINE_MAJOR_TYPE_SOURCE);
    source->SetStartStop2(start, start + seconds);
    auto src = source.As<IAMTimelineSrc>(IID_IAMTimelineSrc);
    const std::u16string name(clips[i].begin(), clips[i].end());
    BSTR bname = SysAllocString(name.c_str());
    src->SetMediaName(bname);
    SysFreeString(bname);
    src->SetMediaTimes2(0, seconds);
    trackNode.As<IAMTimelineTrack>(IID_IAMTimelineTrack)->SrcAdd(source.get());
    if (effects) {
      ComPtr<IAMTimelineObj> transition;
      timeline->CreateEmptyNode(transition.put(), TIMELINE_MAJOR_TYPE_TRANSITION);
      transition->SetSubObjectGUID(transitions[i % transitions.size()].first);
      transition->SetStartStop2(start + seconds - kOverlap, start + seconds);
      SetValues(transition.get(), transitions[i % transitions.size()].second);
      trackNode.As<IAMTimelineTransable>(IID_IAMTimelineTransable)->TransAdd(transition.get());
      transition.As<IAMTimelineTrans>(IID_IAMTimelineTrans)->SetSwapInputs(TRUE);
      if (i == 1) {
        ComPtr<IAMTimelineObj> blur;
        timeline->CreateEmptyNode(blur.put(), TIMELINE_MAJOR_TYPE_EFFECT);
        blur->SetSubObjectGUID(CLSID_BlurEffect);
        blur->SetStartStop2(start, start + seconds);
        SetValues(blur.get(), {{u"PixelRadius", u"2"}});
        group.As<IAMTimelineEffectable>(IID_IAMTimelineEffectable)->EffectInsBefore(blur.get(), -1);
      }
    }
    start += seconds - kOverlap;
  }

  ComPtr<IGraphBuilder> graph;
  ComPtr<IPin> output;
  ComPtr<IBaseFilter> sink;
  if (FAILED(engine->SetTimelineObject(timeline.get())) || FAILED(engine->ConnectFrontEnd()) ||
      FAILED(engine->GetFilterGraph(graph.put())) || FAILED(engine->GetGroupOutputPin(0, output.put())) ||
      FAILED(CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, sink.putVoid())) ||
      FAILED(graph->AddFilter(sink.get(), u"Frames")))
    return 2;
  ComPtr<IEnumPins> pins;
  ComPtr<IPin> input;
  sink->EnumPins(pins.put());
  pins->Next(1, input.put(), nullptr);
  if (FAILED(graph->Connect(output.get(), input.get()))) return 2;
  graph.As<IMediaFilter>(IID_IMediaFilter)->SetSyncSource(nullptr);  // as fast as it goes
  auto control = graph.As<IMediaControl>(IID_IMediaControl);
  auto events = graph.As<IMediaEvent>(IID_IMediaEvent);
  LONG code = 0;
  if (FAILED(control->Run()) || events->WaitForCompletion(INFINITE, &code) != S_OK) return 1;
  control->Stop();
  engine->ScrapIt();
  return code == EC_COMPLETE ? 0 : 1;
}

Result Median(std::vector<Result> runs) {
  std::sort(runs.begin(), runs.end(), [](const Result& a, const Result& b) { return a.seconds < b.seconds; });
  Result m = runs[runs.size() / 2];
  for (const Result& r : runs) {
    m.peakKiB = std::max(m.peakKiB, r.peakKiB);
    if (r.status != 0) m.status = r.status;
  }
  return m;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::current_path();
  const double seconds = argc > 2 ? std::max(3.0, std::atof(argv[2])) : 15.0;
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  const std::filesystem::path config = folder / "effects_bench_config";
  std::filesystem::create_directories(config);
  setenv("CORVANE_REGISTRY", (config / "registry.txt").c_str(), 1);
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  setenv("CORVANE_DISPLAY", "headless", 0);

  testing_support::ClipOptions o;
  o.format = "avi";
  o.videoEncoder = "mpeg4";
  o.width = kWidth;
  o.height = kHeight;
  o.frameRate = kFrameRate;
  o.audioEncoder = "";
  o.seconds = seconds;
  std::vector<std::string> clips;
  std::printf("making four %.0f-second 1280x720 clips...\n", seconds);
  for (int i = 0; i < 4; ++i) {
    clips.push_back((folder / ("effects_bench_" + std::to_string(i) + ".avi")).string());
    if (std::string err = testing_support::MakeClip(clips.back(), o); !err.empty()) {
      std::fprintf(stderr, "%s\n", err.c_str());
      return 2;
    }
  }
  std::vector<Result> withRuns, withoutRuns;
  for (int round = 0; round < rounds; ++round) {
    withRuns.push_back(InChild([&] { return Render(clips, seconds, true); }));
    withoutRuns.push_back(InChild([&] { return Render(clips, seconds, false); }));
    std::printf("round %d: with transitions and blur %.2f s (cpu %.2f s), plain %.2f s (cpu %.2f s)\n", round + 1,
                withRuns.back().seconds, withRuns.back().cpuSeconds, withoutRuns.back().seconds,
                withoutRuns.back().cpuSeconds);
  }
  const Result with = Median(withRuns), plain = Median(withoutRuns);
  std::printf("with:  %7.2f s  peak %7ld KiB  (exit %d)\n", with.seconds, with.peakKiB, with.status);
  std::printf("plain: %7.2f s  peak %7ld KiB  (exit %d)\n", plain.seconds, plain.peakKiB, plain.status);
  std::printf("ratio with/plain (medians of %d rounds): time %.3fx (goal at most 1.25x), peak memory %.2fx\n", rounds,
              with.seconds / plain.seconds, double(with.peakKiB) / double(plain.peakKiB));
  for (const std::string& c : clips) std::filesystem::remove(c);
  std::filesystem::remove_all(config);
  return with.status == 0 && plain.status == 0 ? 0 : 1;
}
