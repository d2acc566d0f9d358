// Whole roads through the render engine: clips made at test time laid on a timeline, the
// engine's group pins rendered through a sample grabber into a null renderer, run to the end.
#include "render_fixture.h"

namespace {

using namespace des_test;

constexpr REFERENCE_TIME kFrame = UNITS / 25;

TEST_F(RenderTest, FramesFollowTheTimelineAndAGapIsBlack) {
  IAMTimelineObj* video = Group(VideoType(MEDIASUBTYPE_RGB24, 24, 160, 120));
  IAMTimelineTrack* track = Track(video);
  Clip(track, 0, 1, 0, 1);
  Clip(track, 2, 3, 1, 2);
  Recorder& rec = Rec(true);
  ASSERT_EQ(Build({&rec}), S_OK);
  EXPECT_EQ(RunToEnd(), EC_COMPLETE);
  const auto samples = rec.Samples();
  ASSERT_EQ(samples.size(), 75u);
  for (size_t n = 0; n < samples.size(); ++n) {
    EXPECT_EQ(samples[n].start, REFERENCE_TIME(n) * kFrame) << n;
    EXPECT_EQ(samples[n].stop, REFERENCE_TIME(n + 1) * kFrame) << n;
    EXPECT_EQ(samples[n].length, 160 * 120 * 3);
    EXPECT_EQ(samples[n].black, n >= 25 && n < 50) << n;
  }
  // Rows come bottom-up: the test picture brightens downwards, so the first rows in memory (the
  // bottom of the picture) are brighter than the last.
  const std::vector<BYTE>& f = samples[2].bytes;
  auto luma = [&](int row) { return f[size_t(row) * 160 * 3 + 6] + f[size_t(row) * 160 * 3 + 7] + f[size_t(row) * 160 * 3 + 8]; };
  EXPECT_GT(luma(2), luma(117) + 100);
  // The moving picture changes from frame to frame: nothing is repeated at normal speed.
  for (size_t n = 1; n < 25; ++n) EXPECT_NE(samples[n].hash, samples[n - 1].hash) << n;
}

TEST_F(RenderTest, ASlowedClipRepeatsFramesAndAFastOneDropsThem) {
  IAMTimelineObj* video = Group(VideoType(MEDIASUBTYPE_RGB32, 32, 176, 144));
  IAMTimelineTrack* track = Track(video);
  Clip(track, 0, 2, 0, 1);  // half speed
  Clip(track, 2, 3, 0, 2);  // double speed
  Recorder& rec = Rec(true);
  ASSERT_EQ(Build({&rec}), S_OK);
  EXPECT_EQ(RunToEnd(), EC_COMPLETE);
  const auto samples = rec.Samples();
  ASSERT_EQ(samples.size(), 75u);
  // Each source picture shows twice.
  int repeats = 0;
  for (size_t n = 1; n < 50; ++n) repeats += samples[n].hash == samples[n - 1].hash;
  EXPECT_EQ(repeats, 25);
  for (size_t n = 1; n < 50; n += 2) EXPECT_EQ(samples[n].hash, samples[n - 1].hash) << n;
  std::map<size_t, int> fast;
  for (size_t n = 50; n < 75; ++n) ++fast[samples[n].hash];
  EXPECT_EQ(fast.size(), 25u);
  // Every other source frame shows at double speed: the fast part's first frame is the slow
  // part's first.
  EXPECT_EQ(samples[50].hash, samples[0].hash);
  EXPECT_EQ(samples[51].hash, samples[4].hash);
}

TEST_F(RenderTest, TheUpperLayerCoversTheLowerAndKeepsItsAspect) {
  IAMTimelineObj* video = Group(VideoType(MEDIASUBTYPE_RGB32, 32, 320, 120));
  Clip(Track(video), 0, 2, 0, 2);  // lower: stretched over the frame
  Clip(Track(video), 0.4, 1.2, 0, 0.8, RESIZEF_PRESERVEASPECTRATIO);  // upper: pillar-boxed
  Recorder& rec = Rec(true);
  ASSERT_EQ(Build({&rec}), S_OK);
  EXPECT_EQ(RunToEnd(), EC_COMPLETE);
  const auto samples = rec.Samples();
  ASSERT_EQ(samples.size(), 50u);
  auto pixel = [&](size_t n, int x, int y) {
    const BYTE* p = samples[n].bytes.data() + size_t(y) * 320 * 4 + size_t(x) * 4;
    return p[0] | p[1] << 8 | p[2] << 16;
  };
  for (size_t n = 0; n < 50; ++n) {
    const bool upper = n >= 10 && n < 30;
    EXPECT_EQ(pixel(n, 10, 60) == 0 && pixel(n, 309, 60) == 0, upper) << n;
    EXPECT_NE(pixel(n, 160, 60), 0) << n;
  }
}

TEST_F(RenderTest, AudioLastsTheTimelineWithSilentGapsAndMixedLayers) {
  IAMTimelineObj* video = Group(VideoType(MEDIASUBTYPE_RGB555, 16, 96, 72));
  IAMTimelineObj* audio = Group(AudioType(2, 44100));
  Clip(Track(video), 0, 1, 0, 1);
  IAMTimelineTrack* lower = Track(audio);
  Clip(lower, 0, 1, 0, 1);
  Clip(lower, 1.5, 3.5, 0, 1);  // half speed
  IAMTimelineTrack* upper = Track(audio);
  Clip(upper, 0.5, 1, 1, 1.5);  // mixed over the first clip's end
  Recorder& pictures = Rec(true);
  Recorder& sound = Rec(false);
  ASSERT_EQ(Build({&pictures, &sound}), S_OK);
  EXPECT_EQ(RunToEnd(), EC_COMPLETE);
  // Both groups last as long as the timeline.
  const auto frames = pictures.Samples();
  ASSERT_EQ(frames.size(), 88u);  // 3.5 s at 25 fps, the last frame cut short
  EXPECT_TRUE(frames.back().black);
  EXPECT_EQ(frames[0].length, 96 * 72 * 2);
  const auto blocks = sound.Samples();
  ASSERT_FALSE(blocks.empty());
  LONG bytes = 0;
  for (const Sample& b : blocks) bytes += b.length;
  EXPECT_EQ(bytes, 154350 * 4);
  EXPECT_EQ(blocks.back().stop, 35000000);
  int loudBefore = 0, loudMixed = 0;
  for (const Sample& b : blocks) {
    if (b.start >= 10000000 && b.stop <= 15000000) {
      EXPECT_EQ(b.peak, 0) << b.start;  // the gap
    }
    if (b.start >= 15000000) {
      EXPECT_GT(b.peak, 0) << b.start;  // slowed tone
    }
    if (b.stop <= 5000000) loudBefore = std::max(loudBefore, b.peak);
    if (b.start >= 5000000 && b.stop <= 10000000) loudMixed = std::max(loudMixed, b.peak);
  }
  EXPECT_GT(loudBefore, 0);
  EXPECT_GT(loudMixed, loudBefore);  // two layers add up
}

TEST_F(RenderTest, GroupPinsOfferTheGroupFormats) {
  const CMediaType types[] = {VideoType(MEDIASUBTYPE_RGB555, 16, 162, 90), VideoType(MEDIASUBTYPE_RGB24, 24, 162, 90),
                              VideoType(MEDIASUBTYPE_RGB32, 32, 162, 90), AudioType(1, 22050)};
  for (const CMediaType& mt : types) {
    IAMTimelineObj* group = Group(mt, 10);
    Clip(Track(group), 0, 0.5, 0, 0.5);
  }
  Recorder* recs[] = {&Rec(true), &Rec(true), &Rec(true), &Rec(false)};
  ASSERT_EQ(Build({recs[0], recs[1], recs[2], recs[3]}), S_OK);
  for (LONG i = 0; i < 3; ++i) {
    IPin* pin = nullptr;
    engine_->GetGroupOutputPin(i, &pin);
    AM_MEDIA_TYPE mt{};
    ASSERT_EQ(pin->ConnectionMediaType(&mt), S_OK);
    EXPECT_EQ(mt.subtype, types[i].subtype);
    const auto* vih = reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat);
    EXPECT_EQ(vih->AvgTimePerFrame, UNITS / 10);
    EXPECT_EQ(vih->bmiHeader.biWidth, 162);
    EXPECT_EQ(mt.lSampleSize, types[i].lSampleSize);
    FreeMediaType(mt);
    pin->Release();
  }
  EXPECT_EQ(RunToEnd(), EC_COMPLETE);
  for (int i = 0; i < 3; ++i) {
    const auto samples = recs[i]->Samples();
    ASSERT_EQ(samples.size(), 5u);
    EXPECT_EQ(ULONG(samples[0].length), types[i].lSampleSize);  // rows padded to 4 bytes
  }
  LONG bytes = 0;
  for (const Sample& s : recs[3]->Samples()) bytes += s.length;
  EXPECT_EQ(bytes, 11025 * 2);
}

TEST_F(RenderTest, ARenderRangeDeliversItsPartFromTimeZero) {
  IAMTimelineObj* video = Group(VideoType(MEDIASUBTYPE_RGB24, 24, 160, 120));
  IAMTimelineTrack* track = Track(video);
  Clip(track, 0, 1, 0, 1);
  Clip(track, 2, 3, 0, 1);
  EXPECT_EQ(engine_->SetRenderRange2(2, 1), E_INVALIDARG);
  ASSERT_EQ(engine_->SetRenderRange2(0.5, 2.5), S_OK);
  Recorder& rec = Rec(true);
  ASSERT_EQ(Build({&rec}), S_OK);
  EXPECT_EQ(engine_->SetRenderRange2(0, 1), E_UNEXPECTED);  // the front end is built
  EXPECT_EQ(RunToEnd(), EC_COMPLETE);
  const auto samples = rec.Samples();
  ASSERT_EQ(samples.size(), 50u);
  EXPECT_EQ(samples[0].start, 0);
  for (size_t n = 0; n < 50; ++n) EXPECT_EQ(samples[n].black, n >= 13 && n < 38) << n;
}

TEST_F(RenderTest, SourcesOutsideTheInterestRangeAreNotOpened) {
  IAMTimelineObj* video = Group(VideoType(MEDIASUBTYPE_RGB24, 24, 160, 120));
  IAMTimelineTrack* track = Track(video);
  Clip(track, 0, 1, 0, 1);
  Clip(track, 1, 2, 0, 1, RESIZEF_STRETCH, u"/nonexistent/clip.avi");
  ASSERT_EQ(engine_->SetInterestRange2(0, 1), S_OK);
  Recorder& rec = Rec(true);
  ASSERT_EQ(Build({&rec}), S_OK);  // the missing file lies outside
  EXPECT_EQ(RunToEnd(), EC_COMPLETE);
  const auto samples = rec.Samples();
  ASSERT_EQ(samples.size(), 50u);
  for (size_t n = 0; n < 50; ++n) EXPECT_EQ(samples[n].black, n >= 25) << n;
}

TEST_F(RenderTest, EngineHandsOutItsTimelineGraphAndRendersItsPins) {
  IAMTimelineObj* audio = Group(AudioType(2, 44100));
  Clip(Track(audio), 0, 1, 0, 1);
  IGraphBuilder* own = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                             reinterpret_cast<void**>(&own)),
            S_OK);
  EXPECT_EQ(engine_->SetFilterGraph(own), S_OK);
  EXPECT_EQ(engine_->RenderOutputPins(), E_UNEXPECTED);
  ASSERT_EQ(engine_->SetTimelineObject(timeline_), S_OK);
  IAMTimeline* held = nullptr;
  EXPECT_EQ(engine_->GetTimelineObject(&held), S_OK);
  EXPECT_EQ(held, timeline_);
  held->Release();
  ASSERT_EQ(engine_->ConnectFrontEnd(), S_OK);
  EXPECT_EQ(engine_->SetFilterGraph(nullptr), E_UNEXPECTED);
  IGraphBuilder* graph = nullptr;
  ASSERT_EQ(engine_->GetFilterGraph(&graph), S_OK);
  EXPECT_EQ(graph, own);
  graph->Release();
  EXPECT_EQ(engine_->RenderOutputPins(), S_OK);
  IPin* pin = nullptr;
  ASSERT_EQ(engine_->GetGroupOutputPin(0, &pin), S_OK);
  IPin* peer = nullptr;
  EXPECT_EQ(pin->ConnectedTo(&peer), S_OK);
  if (peer) peer->Release();
  pin->Release();
  EXPECT_EQ(engine_->GetGroupOutputPin(1, &pin), E_INVALIDARG);
  BSTR vendor = nullptr;
  EXPECT_EQ(engine_->GetVendorString(&vendor), S_OK);
  EXPECT_GT(SysStringLen(vendor), 0u);
  SysFreeString(vendor);
  EXPECT_EQ(engine_->ScrapIt(), S_OK);
  // The caller's graph is left empty.
  IEnumFilters* e = nullptr;
  own->EnumFilters(&e);
  IBaseFilter* f = nullptr;
  EXPECT_EQ(e->Next(1, &f, nullptr), S_FALSE);
  e->Release();
  own->Release();
}

TEST_F(RenderTest, AClipWithoutSoundIsSilenceInTheAudioGroup) {
  testing_support::ClipOptions o;
  o.format = "avi";
  o.videoEncoder = "mpeg4";
  o.audioEncoder = "";
  o.seconds = 1.0;
  const std::string file = testing_support::SandboxDir() + "/silent.avi";
  ASSERT_EQ(testing_support::MakeClip(file, o), "");
  IAMTimelineObj* audio = Group(AudioType(1, 22050));
  IAMTimelineTrack* track = Track(audio);
  Clip(track, 0, 1, 0, 1, RESIZEF_STRETCH, std::u16string(file.begin(), file.end()));
  Clip(track, 1, 2, 0, 1);
  Recorder& sound = Rec(false);
  ASSERT_EQ(Build({&sound}), S_OK);
  EXPECT_EQ(RunToEnd(), EC_COMPLETE);
  LONG bytes = 0;
  for (const Sample& b : sound.Samples()) {
    bytes += b.length;
    if (b.stop <= UNITS) {
      EXPECT_EQ(b.peak, 0) << b.start;
    }
    if (b.start >= UNITS + UNITS / 10) {
      EXPECT_GT(b.peak, 0) << b.start;
    }
  }
  EXPECT_EQ(bytes, 44100 * 2);
}

// A mono clip in a stereo group sounds on both sides as loud as it does on its own.
TEST_F(RenderTest, AMonoClipKeepsItsLevelInAStereoGroup) {
  testing_support::ClipOptions o;
  o.format = "wav";
  o.videoEncoder = "";
  o.audioEncoder = "pcm_s16le";
  o.sampleRate = 22050;
  o.channels = 1;
  o.seconds = 1.0;
  const std::string file = testing_support::SandboxDir() + "/mono.wav";
  ASSERT_EQ(testing_support::MakeClip(file, o), "");
  const std::u16string mono(file.begin(), file.end());
  Clip(Track(Group(AudioType(1, 22050))), 0, 1, 0, 1, RESIZEF_STRETCH, mono);
  Clip(Track(Group(AudioType(2, 22050))), 0, 1, 0, 1, RESIZEF_STRETCH, mono);
  Recorder& alone = Rec(false);
  Recorder& both = Rec(false);
  ASSERT_EQ(Build({&alone, &both}), S_OK);
  EXPECT_EQ(RunToEnd(), EC_COMPLETE);
  auto peak = [](const std::vector<Sample>& blocks) {
    int p = 0;
    for (const Sample& b : blocks) p = std::max(p, b.peak);
    return p;
  };
  const int level = peak(alone.Samples());
  ASSERT_GT(level, 1000);
  EXPECT_NEAR(peak(both.Samples()), level, level / 100);
}

TEST_F(RenderTest, SeekingMovesTheGroupsAndTheirClips) {
  IAMTimelineObj* video = Group(VideoType(MEDIASUBTYPE_RGB24, 24, 160, 120));
  IAMTimelineObj* audio = Group(AudioType(2, 44100));
  IAMTimelineTrack* v = Track(video);
  Clip(v, 0, 1, 0, 1);
  Clip(v, 2, 3, 0, 1);
  Clip(Track(audio), 0, 3, 0, 3);
  Recorder& pictures = Rec(true);
  Recorder& sound = Rec(false);
  ASSERT_EQ(Build({&pictures, &sound}), S_OK);
  // The graph's own seeking goes to the groups, not to the clip files behind them.
  {
    IMediaSeeking* graphSeeking = As<IMediaSeeking>(graph_, IID_IMediaSeeking);
    ASSERT_NE(graphSeeking, nullptr);
    LONGLONG length = 0;
    EXPECT_EQ(graphSeeking->GetDuration(&length), S_OK);
    EXPECT_EQ(length, 3 * UNITS);
    graphSeeking->Release();
  }
  // Each group pin seeks on its own too.
  IMediaSeeking* seekers[2] = {};
  for (LONG g = 0; g < 2; ++g) {
    IPin* pin = nullptr;
    engine_->GetGroupOutputPin(g, &pin);
    seekers[g] = As<IMediaSeeking>(pin, IID_IMediaSeeking);
    pin->Release();
    ASSERT_NE(seekers[g], nullptr);
  }
  auto seek = [&](LONGLONG to) {
    for (IMediaSeeking* s : seekers)
      EXPECT_EQ(s->SetPositions(&to, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
  };
  // The group filter calls itself a source, not a renderer.
  IPin* out = nullptr;
  engine_->GetGroupOutputPin(0, &out);
  PIN_INFO info{};
  out->QueryPinInfo(&info);
  out->Release();
  IAMFilterMiscFlags* flags = As<IAMFilterMiscFlags>(info.pFilter, IID_IAMFilterMiscFlags);
  ASSERT_NE(flags, nullptr);
  EXPECT_EQ(flags->GetMiscFlags(), ULONG(AM_FILTER_MISC_FLAGS_IS_SOURCE));
  flags->Release();
  info.pFilter->Release();
  LONGLONG duration = 0;
  EXPECT_EQ(seekers[0]->GetDuration(&duration), S_OK);
  EXPECT_EQ(duration, 3 * UNITS);
  // Relative moves as far as the range reaches, however far they ask.
  {
    LONGLONG to = UNITS, far = INT64_MAX;
    seekers[0]->SetPositions(&to, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
    EXPECT_EQ(seekers[0]->SetPositions(&far, AM_SEEKING_RelativePositioning | AM_SEEKING_ReturnTime, &far,
                                       AM_SEEKING_IncrementalPositioning | AM_SEEKING_ReturnTime),
              S_OK);
    EXPECT_EQ(far, 3 * UNITS);
    LONGLONG back = INT64_MIN, stop = INT64_MIN;
    EXPECT_EQ(seekers[0]->SetPositions(&back, AM_SEEKING_RelativePositioning | AM_SEEKING_ReturnTime, &stop,
                                       AM_SEEKING_RelativePositioning | AM_SEEKING_ReturnTime),
              S_OK);
    EXPECT_EQ(back, 0);
    EXPECT_EQ(stop, 0);
    LONGLONG whole = 3 * UNITS;
    seekers[0]->SetPositions(nullptr, AM_SEEKING_NoPositioning, &whole, AM_SEEKING_AbsolutePositioning);
  }
  // Stopped: the run starts at 1.5 s, its times counted from there.
  seek(15000000);
  LONGLONG current = 0;
  seekers[1]->GetCurrentPosition(&current);
  EXPECT_EQ(current, 15000000);
  EXPECT_EQ(RunToEnd(), EC_COMPLETE);
  auto frames = pictures.Samples();
  ASSERT_EQ(frames.size(), 37u);  // the frames from 1.52 s on
  EXPECT_EQ(frames[0].start, 200000);
  for (size_t n = 0; n < frames.size(); ++n) {
    EXPECT_EQ(frames[n].black, n < 12) << n;
    EXPECT_EQ(frames[n].discontinuity, n == 0) << n;  // a run from a seek starts afresh
  }
  LONG bytes = 0;
  const auto blocks = sound.Samples();
  ASSERT_FALSE(blocks.empty());
  EXPECT_TRUE(blocks[0].discontinuity);
  for (const Sample& b : blocks) bytes += b.length;
  EXPECT_EQ(bytes, 66150 * 4);

  // Running: held after 3 more frames, moved to 2 s, then let go.
  pictures.CloseGateAt(frames.size() + 3);
  IMediaControl* control = As<IMediaControl>(graph_, IID_IMediaControl);
  IMediaEvent* events = As<IMediaEvent>(graph_, IID_IMediaEvent);
  seek(0);
  LONG code = 0;
  LONG_PTR p1 = 0, p2 = 0;
  while (events->GetEvent(&code, &p1, &p2, 0) == S_OK) events->FreeEventParams(code, p1, p2);  // the first run's
  ASSERT_TRUE(SUCCEEDED(control->Run()));
  pictures.WaitFor(frames.size() + 3);
  // The first frame of the run from 2 s: where the times start again (the second run's frames
  // follow the first run's 37).
  auto movedAt = [](const std::vector<Sample>& all) {
    for (size_t n = all.size() - 1; n > 37; --n)
      if (all[n].start < all[n - 1].start) return n;
    return all.size();
  };
  std::thread mover([&] { seek(2 * UNITS); });
  pictures.OpenGate();
  mover.join();
  EXPECT_EQ(events->WaitForCompletion(120000, &code), S_OK);
  EXPECT_EQ(code, EC_COMPLETE);
  // Nothing holds the mover back until the gate opens: when the run reached its end first, the
  // completion came before the move and the run from 2 s is still on its way.
  pictures.WaitUntil([&](const std::vector<Sample>& all) { return all.size() - movedAt(all) >= 25; });
  control->Stop();
  frames = pictures.Samples();
  const size_t moved = movedAt(frames);
  ASSERT_EQ(frames.size() - moved, 25u);
  for (size_t n = moved; n < frames.size(); ++n) {
    EXPECT_EQ(frames[n].start, REFERENCE_TIME(n - moved) * kFrame) << n;
    EXPECT_FALSE(frames[n].black) << n;
  }
  events->Release();
  control->Release();
  for (IMediaSeeking* s : seekers) s->Release();
}

// A stop moved while the groups run ends them there; the current position stays.
TEST_F(RenderTest, MovingTheStopWhileRunningEndsThere) {
  IAMTimelineObj* video = Group(VideoType(MEDIASUBTYPE_RGB24, 24, 160, 120));
  IAMTimelineObj* audio = Group(AudioType(2, 44100));
  Clip(Track(video), 0, 2, 0, 2);
  Clip(Track(audio), 0, 2, 0, 2);
  Recorder& pictures = Rec(true);
  Recorder& sound = Rec(false);
  ASSERT_EQ(Build({&pictures, &sound}), S_OK);
  pictures.CloseGateAt(3);
  sound.CloseGateAt(3);
  IMediaControl* control = As<IMediaControl>(graph_, IID_IMediaControl);
  IMediaEvent* events = As<IMediaEvent>(graph_, IID_IMediaEvent);
  ASSERT_TRUE(SUCCEEDED(control->Run()));
  pictures.WaitFor(3);
  sound.WaitFor(3);
  for (LONG g = 0; g < 2; ++g) {
    IPin* pin = nullptr;
    engine_->GetGroupOutputPin(g, &pin);
    IMediaSeeking* seeking = As<IMediaSeeking>(pin, IID_IMediaSeeking);
    LONGLONG stop = UNITS;
    EXPECT_EQ(seeking->SetPositions(nullptr, AM_SEEKING_NoPositioning, &stop, AM_SEEKING_AbsolutePositioning), S_OK);
    seeking->Release();
    pin->Release();
  }
  pictures.OpenGate();
  sound.OpenGate();
  LONG code = 0;
  EXPECT_EQ(events->WaitForCompletion(120000, &code), S_OK);
  EXPECT_EQ(code, EC_COMPLETE);
  control->Stop();
  const auto frames = pictures.Samples();
  ASSERT_EQ(frames.size(), 25u);
  for (size_t n = 0; n < frames.size(); ++n) EXPECT_EQ(frames[n].start, REFERENCE_TIME(n) * kFrame) << n;
  LONG bytes = 0;
  for (const Sample& b : sound.Samples()) bytes += b.length;
  EXPECT_EQ(bytes, 44100 * 4);
  events->Release();
  control->Release();
}

// A second run of the same front end, after the first ran to its end or was stopped midway,
// delivers what the first full run did.
TEST_F(RenderTest, RunningAgainRepeatsTheRender) {
  IAMTimelineObj* video = Group(VideoType(MEDIASUBTYPE_RGB24, 24, 160, 120));
  IAMTimelineObj* audio = Group(AudioType(1, 22050));
  IAMTimelineTrack* v = Track(video);
  Clip(v, 0, 0.6, 0.2, 0.8);
  Clip(v, 0.6, 1.2, 1.0, 2.0);
  IAMTimelineTrack* a = Track(audio);
  Clip(a, 0, 0.6, 0.2, 0.8);
  Clip(a, 0.6, 1.2, 1.0, 2.0);
  Recorder& pictures = Rec(true);
  Recorder& sound = Rec(false);
  ASSERT_EQ(Build({&pictures, &sound}), S_OK);
  auto hashes = [](const std::vector<Sample>& samples, size_t from) {
    std::vector<std::pair<REFERENCE_TIME, size_t>> h;
    for (size_t n = from; n < samples.size(); ++n) h.emplace_back(samples[n].start, samples[n].hash);
    return h;
  };
  EXPECT_EQ(RunToEnd(), EC_COMPLETE);
  const auto firstPictures = hashes(pictures.Samples(), 0);
  const auto firstSound = hashes(sound.Samples(), 0);
  ASSERT_EQ(firstPictures.size(), 30u);
  // Stopped while a few frames in (held there until the stop is on its way), then run to the end.
  IMediaControl* control = As<IMediaControl>(graph_, IID_IMediaControl);
  IMediaEvent* events = As<IMediaEvent>(graph_, IID_IMediaEvent);
  pictures.CloseGateAt(firstPictures.size() + 3);
  ASSERT_TRUE(SUCCEEDED(control->Run()));
  pictures.WaitFor(firstPictures.size() + 3);
  std::thread stopper([&] { control->Stop(); });
  pictures.OpenGate();
  stopper.join();
  LONG code = 0;
  LONG_PTR p1 = 0, p2 = 0;
  while (events->GetEvent(&code, &p1, &p2, 0) == S_OK) events->FreeEventParams(code, p1, p2);
  events->Release();
  control->Release();
  const size_t picturesFrom = pictures.Samples().size(), soundFrom = sound.Samples().size();
  EXPECT_EQ(RunToEnd(), EC_COMPLETE);
  EXPECT_EQ(hashes(pictures.Samples(), picturesFrom), firstPictures);
  EXPECT_EQ(hashes(sound.Samples(), soundFrom), firstSound);
}

// Building the front end again while the graph runs stops it and replaces the old front end
// (with what hung below it) by the new one.
TEST_F(RenderTest, ConnectingTheFrontEndAgainWhileRunningReplacesIt) {
  IAMTimelineObj* video = Group(VideoType(MEDIASUBTYPE_RGB24, 24, 160, 120));
  Clip(Track(video), 0, 2, 0, 2);
  Recorder& rec = Rec(true);
  ASSERT_EQ(Build({&rec}), S_OK);
  IMediaControl* control = As<IMediaControl>(graph_, IID_IMediaControl);
  ASSERT_TRUE(SUCCEEDED(control->Run()));
  rec.WaitFor(3);
  EXPECT_EQ(engine_->ConnectFrontEnd(), S_OK);
  OAFilterState state = State_Running;
  EXPECT_EQ(control->GetState(0, &state), S_OK);
  EXPECT_EQ(state, State_Stopped);
  control->Release();
  // Only the new group filter and its clip's chain are left.
  IEnumFilters* e = nullptr;
  graph_->EnumFilters(&e);
  IBaseFilter* f = nullptr;
  int groups = 0, grabbers = 0;
  while (e->Next(1, &f, nullptr) == S_OK) {
    FILTER_INFO info{};
    f->QueryFilterInfo(&info);
    const std::u16string name(info.achName);
    groups += name.rfind(u"Group", 0) == 0;
    grabbers += name.rfind(u"Grabber", 0) == 0;
    if (info.pGraph) info.pGraph->Release();
    f->Release();
  }
  e->Release();
  EXPECT_EQ(groups, 1);
  EXPECT_EQ(grabbers, 0);
}

TEST_F(RenderTest, AnEmptyTimelineCompletesAtOnce) {
  Group(VideoType(MEDIASUBTYPE_RGB24, 24, 64, 48));
  Group(AudioType(2, 44100));
  Recorder& pictures = Rec(true);
  Recorder& sound = Rec(false);
  ASSERT_EQ(Build({&pictures, &sound}), S_OK);
  EXPECT_EQ(RunToEnd(), EC_COMPLETE);
  EXPECT_TRUE(pictures.Samples().empty());
  EXPECT_TRUE(sound.Samples().empty());
}

TEST_F(RenderTest, FrontEndRefusesWhatItCannotDeliver) {
  IPin* pin = nullptr;
  EXPECT_EQ(engine_->GetGroupOutputPin(0, &pin), E_UNEXPECTED);
  EXPECT_EQ(engine_->ConnectFrontEnd(), E_UNEXPECTED);  // no timeline
  IAMTimelineObj* video = Group(VideoType(MEDIASUBTYPE_RGB8, 8, 64, 48));
  ASSERT_EQ(engine_->SetTimelineObject(timeline_), S_OK);
  EXPECT_EQ(engine_->ConnectFrontEnd(), VFW_E_INVALIDMEDIATYPE);
  timeline_->RemGroupFromList(video);
  IAMTimelineObj* good = Group(VideoType(MEDIASUBTYPE_RGB24, 24, 64, 48));
  Clip(Track(good), 0, 1, 0, 1, RESIZEF_STRETCH, u"/nonexistent/clip.avi");
  EXPECT_TRUE(FAILED(engine_->ConnectFrontEnd()));
  // Nothing of the failed build stays in the graph.
  IGraphBuilder* graph = nullptr;
  ASSERT_EQ(engine_->GetFilterGraph(&graph), S_OK);
  IEnumFilters* e = nullptr;
  graph->EnumFilters(&e);
  IBaseFilter* f = nullptr;
  EXPECT_EQ(e->Next(1, &f, nullptr), S_FALSE);
  e->Release();
  graph->Release();
  EXPECT_EQ(engine_->GetGroupOutputPin(0, &pin), E_UNEXPECTED);
}

// Frames or sound whose sizes do not fit the 32-bit lengths samples carry would be cut short
// (and a frame written past its buffer).
TEST_F(RenderTest, FrontEndRefusesFormatsTooLargeToCarry) {
  const CMediaType types[] = {
      VideoType(MEDIASUBTYPE_RGB32, 32, 30000, 30000),       // 3.6 GB a frame
      VideoType(MEDIASUBTYPE_RGB32, 32, (1 << 27) + 1, 5),   // rows whose bits overflow 32 bits
      AudioType(2, 3000000000u),                             // a rate beyond a signed 32-bit count
      AudioType(8, 300000000u),                              // bytes a second beyond 32 bits
  };
  ASSERT_EQ(engine_->SetTimelineObject(timeline_), S_OK);
  for (const CMediaType& mt : types) {
    timeline_->ClearAllGroups();
    Group(mt);
    EXPECT_EQ(engine_->ConnectFrontEnd(), VFW_E_INVALIDMEDIATYPE);
  }
}

// ScrapIt takes out only what the front end brought; a graph it never built in keeps its filters.
TEST_F(RenderTest, ScrapItLeavesTheCallersOwnFilters) {
  auto filtersIn = [](IGraphBuilder* graph) {
    IEnumFilters* e = nullptr;
    graph->EnumFilters(&e);
    int count = 0;
    IBaseFilter* f = nullptr;
    while (e->Next(1, &f, nullptr) == S_OK) {
      ++count;
      f->Release();
    }
    e->Release();
    return count;
  };
  IGraphBuilder* own = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                             reinterpret_cast<void**>(&own)),
            S_OK);
  IBaseFilter* mine = nullptr;
  CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                   reinterpret_cast<void**>(&mine));
  ASSERT_EQ(own->AddFilter(mine, u"Mine"), S_OK);
  // Never built.
  ASSERT_EQ(engine_->SetFilterGraph(own), S_OK);
  EXPECT_EQ(engine_->ScrapIt(), S_OK);
  EXPECT_EQ(filtersIn(own), 1);
  // A build that failed.
  IAMTimelineObj* video = Group(VideoType(MEDIASUBTYPE_RGB24, 24, 64, 48));
  Clip(Track(video), 0, 1, 0, 1, RESIZEF_STRETCH, u"/nonexistent/clip.avi");
  ASSERT_EQ(engine_->SetFilterGraph(own), S_OK);
  ASSERT_EQ(engine_->SetTimelineObject(timeline_), S_OK);
  EXPECT_TRUE(FAILED(engine_->ConnectFrontEnd()));
  EXPECT_EQ(engine_->ScrapIt(), S_OK);
  EXPECT_EQ(filtersIn(own), 1);
  // An engine let go with the caller's graph.
  IRenderEngine* other = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_RenderEngine, nullptr, CLSCTX_INPROC_SERVER, IID_IRenderEngine,
                             reinterpret_cast<void**>(&other)),
            S_OK);
  ASSERT_EQ(other->SetFilterGraph(own), S_OK);
  other->Release();
  EXPECT_EQ(filtersIn(own), 1);
  mine->Release();
  own->Release();
}

// Seeks that follow each other at once while the graph runs: each one stops the output thread
// that the one before started again.
TEST_F(RenderTest, SeeksInQuickSuccessionWhileRunning) {
  // Long enough that no run between two seeks reaches the end.
  IAMTimelineObj* video = Group(VideoType(MEDIASUBTYPE_RGB24, 24, 160, 120));
  IAMTimelineTrack* track = Track(video);
  for (int i = 0; i < 5; ++i) Clip(track, 2 * i, 2 * i + 2, 0, 2);
  Recorder& rec = Rec(true);
  ASSERT_EQ(Build({&rec}), S_OK);
  IPin* pin = nullptr;
  ASSERT_EQ(engine_->GetGroupOutputPin(0, &pin), S_OK);
  IMediaSeeking* seeking = As<IMediaSeeking>(pin, IID_IMediaSeeking);
  pin->Release();
  IMediaControl* control = As<IMediaControl>(graph_, IID_IMediaControl);
  IMediaEvent* events = As<IMediaEvent>(graph_, IID_IMediaEvent);
  ASSERT_TRUE(SUCCEEDED(control->Run()));
  rec.WaitFor(3);
  for (int i = 0; i < 40; ++i) {
    LONGLONG to = (i % 4) * 4 * kFrame;
    EXPECT_EQ(seeking->SetPositions(&to, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
  }
  LONG code = 0;
  EXPECT_EQ(events->WaitForCompletion(120000, &code), S_OK);
  EXPECT_EQ(code, EC_COMPLETE);
  control->Stop();
  // The last seek went to 12 frames in: the run ends with the frames from there, timed from it.
  const auto frames = rec.Samples();
  size_t last = frames.size();
  while (last > 0 && frames[last - 1].start != 0) --last;
  ASSERT_GT(last, 0u);
  ASSERT_EQ(frames.size() - (last - 1), 238u);
  for (size_t n = last - 1; n < frames.size(); ++n) EXPECT_EQ(frames[n].start, REFERENCE_TIME(n - last + 1) * kFrame) << n;
  events->Release();
  control->Release();
  seeking->Release();
}

TEST_F(RenderTest, StoppingARunningGraphEndsTheRenderAndScrapItEmptiesIt) {
  IAMTimelineObj* video = Group(VideoType(MEDIASUBTYPE_RGB24, 24, 160, 120));
  IAMTimelineObj* audio = Group(AudioType(2, 44100));
  IAMTimelineTrack* v = Track(video);
  IAMTimelineTrack* a = Track(audio);
  for (int i = 0; i < 10; ++i) {
    Clip(v, 2 * i, 2 * i + 2, 0, 2);
    Clip(a, 2 * i, 2 * i + 2, 0, 2);
  }
  Recorder& pictures = Rec(true);
  Recorder& sound = Rec(false);
  ASSERT_EQ(Build({&pictures, &sound}), S_OK);
  IMediaControl* control = As<IMediaControl>(graph_, IID_IMediaControl);
  ASSERT_TRUE(SUCCEEDED(control->Run()));
  pictures.WaitFor(3);
  EXPECT_EQ(control->Stop(), S_OK);
  // Run again from the start after the stop.
  const size_t before = pictures.Samples().size();
  ASSERT_TRUE(SUCCEEDED(control->Run()));
  pictures.WaitFor(before + 3);
  const auto samples = pictures.Samples();
  EXPECT_EQ(samples[before].start, 0);
  control->Stop();
  control->Release();
  EXPECT_EQ(engine_->ScrapIt(), S_OK);
  IGraphBuilder* graph = nullptr;
  EXPECT_EQ(engine_->GetFilterGraph(&graph), E_UNEXPECTED);
}

}  // namespace
