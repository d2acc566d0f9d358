// The filter graph manager: names, state, events, completion, failures and seeking.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <numeric>

#include "test_filters.h"
#include "win32/winuser.h"

using namespace dshow_test;

namespace {


class GraphTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    RegisterDShowClasses();
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.putVoid()), S_OK);
    ASSERT_EQ(graph->QueryInterface(IID_IMediaControl, control.putVoid()), S_OK);
    ASSERT_EQ(graph->QueryInterface(IID_IMediaEventEx, events.putVoid()), S_OK);
    ASSERT_EQ(graph->QueryInterface(IID_IMediaSeeking, seeking.putVoid()), S_OK);
    ASSERT_EQ(graph->QueryInterface(IID_IMediaFilter, filter.putVoid()), S_OK);
    // Conversions run as fast as they can: no clock.
    ASSERT_EQ(filter->SetSyncSource(nullptr), S_OK);
  }

  // Reads events until `wanted` arrives (its parameters in p1, p2); 0 when none comes.
  LONG WaitEvent(LONG wanted, LONG_PTR* p1 = nullptr, LONG_PTR* p2 = nullptr) {
    for (;;) {
      LONG code = 0;
      LONG_PTR a = 0, b = 0;
      if (events->GetEvent(&code, &a, &b, 30000) != S_OK) return 0;
      events->FreeEventParams(code, a, b);
      if (code == wanted) {
        if (p1) *p1 = a;
        if (p2) *p2 = b;
        return code;
      }
    }
  }

  void Chain(TestSource* source, int pin, IBaseFilter* next) {
    IPin* in = nullptr;
    IEnumPins* pins = nullptr;
    ASSERT_EQ(next->EnumPins(&pins), S_OK);
    ASSERT_EQ(pins->Next(1, &in, nullptr), S_OK);
    pins->Release();
    ASSERT_EQ(graph->ConnectDirect(source->Pin(pin), in, nullptr), S_OK);
    in->Release();
  }

  ComPtr<IGraphBuilder> graph;
  ComPtr<IMediaControl> control;
  ComPtr<IMediaEventEx> events;
  ComPtr<IMediaSeeking> seeking;
  ComPtr<IMediaFilter> filter;
};

std::vector<LONG> Range(LONG first, LONG last) {
  std::vector<LONG> v(static_cast<size_t>(last - first));
  std::iota(v.begin(), v.end(), first);
  return v;
}

std::u16string NameOf(IBaseFilter* f) {
  FILTER_INFO info{};
  f->QueryFilterInfo(&info);
  if (info.pGraph) info.pGraph->Release();
  return info.achName;
}

}  // namespace

TEST_F(GraphTest, AddFilterMakesNamesUniqueAndFindsThemAgain) {
  ComPtr<TestRenderer> a(new TestRenderer), b(new TestRenderer), c(new TestRenderer),
      d(new TestRenderer);
  EXPECT_EQ(graph->AddFilter(a.get(), u"Renderer"), S_OK);
  EXPECT_EQ(graph->AddFilter(b.get(), u"Renderer"), VFW_S_DUPLICATE_NAME);
  EXPECT_EQ(graph->AddFilter(c.get(), u"Renderer"), VFW_S_DUPLICATE_NAME);
  EXPECT_EQ(graph->AddFilter(d.get(), nullptr), S_OK);
  EXPECT_EQ(NameOf(b.get()), u"Renderer 0001");
  EXPECT_EQ(NameOf(c.get()), u"Renderer 0002");
  EXPECT_EQ(NameOf(d.get()), u"0001");
  EXPECT_EQ(graph->AddFilter(a.get(), u"Again"), VFW_E_DUPLICATE_NAME);

  IBaseFilter* found = nullptr;
  ASSERT_EQ(graph->FindFilterByName(u"Renderer 0001", &found), S_OK);
  EXPECT_EQ(found, static_cast<IBaseFilter*>(b.get()));
  found->Release();
  EXPECT_EQ(graph->FindFilterByName(u"renderer", &found), VFW_E_NOT_FOUND);

  // Newest first.
  IEnumFilters* e = nullptr;
  ASSERT_EQ(graph->EnumFilters(&e), S_OK);
  IBaseFilter* all[5] = {};
  ULONG fetched = 0;
  EXPECT_EQ(e->Next(5, all, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 4u);
  EXPECT_EQ(all[0], static_cast<IBaseFilter*>(d.get()));
  EXPECT_EQ(all[3], static_cast<IBaseFilter*>(a.get()));
  for (ULONG i = 0; i < fetched; ++i) all[i]->Release();
  e->Release();

  ASSERT_EQ(graph->RemoveFilter(b.get()), S_OK);
  EXPECT_EQ(graph->FindFilterByName(u"Renderer 0001", &found), VFW_E_NOT_FOUND);
  FILTER_INFO info{};
  b->QueryFilterInfo(&info);
  EXPECT_EQ(info.pGraph, nullptr);
  EXPECT_EQ(graph->RemoveFilter(b.get()), VFW_E_NOT_FOUND);
  // The freed name is given out again.
  EXPECT_EQ(graph->AddFilter(b.get(), u"Renderer"), VFW_S_DUPLICATE_NAME);
  EXPECT_EQ(NameOf(b.get()), u"Renderer 0001");

  // A name at the limit keeps its suffix inside the limit.
  std::u16string longName(MAX_FILTER_NAME - 1, u'x');
  ComPtr<TestRenderer> e1(new TestRenderer), e2(new TestRenderer);
  EXPECT_EQ(graph->AddFilter(e1.get(), longName.c_str()), S_OK);
  EXPECT_EQ(graph->AddFilter(e2.get(), longName.c_str()), VFW_S_DUPLICATE_NAME);
  std::u16string second = NameOf(e2.get());
  EXPECT_LT(second.size(), size_t(MAX_FILTER_NAME));
  EXPECT_EQ(second.substr(second.size() - 5), u" 0001");
}

TEST_F(GraphTest, RunsThroughAnInPlaceTransformToCompletionAndRunsAgain) {
  ComPtr<TestSource> source(new TestSource({10}));
  ComPtr<TestMarker> marker(new TestMarker);
  ComPtr<TestRenderer> renderer(new TestRenderer(MEDIASUBTYPE_RGB24));
  ASSERT_EQ(graph->AddFilter(source.get(), u"Source"), S_OK);
  ASSERT_EQ(graph->AddFilter(marker.get(), u"Marker"), S_OK);
  ASSERT_EQ(graph->AddFilter(renderer.get(), u"Renderer"), S_OK);
  Chain(source.get(), 0, marker.get());
  IPin* markerOut = marker->GetPin(1);
  ASSERT_EQ(graph->ConnectDirect(markerOut, renderer->GetPin(0), nullptr), S_OK);

  // The in-place filter passes the upstream allocator through.
  auto* markerIn = static_cast<CBaseInputPin*>(marker->GetPin(0));
  EXPECT_EQ(markerIn->PeekAllocator(), static_cast<CBaseOutputPin*>(marker->GetPin(1))->PeekAllocator());
  EXPECT_EQ(renderer->Allocator(), markerIn->PeekAllocator());

  LONG_PTR status = -1;
  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(WaitEvent(EC_COMPLETE, &status), EC_COMPLETE);
  EXPECT_EQ(status, S_OK);
  EXPECT_EQ(renderer->Frames(), Range(0, 10));
  std::vector<BYTE> markers = renderer->Markers();
  EXPECT_TRUE(std::all_of(markers.begin(), markers.end(), [](BYTE m) { return m == kMarkerByte; }));
  EXPECT_EQ(renderer->Starts()[3], 3 * kFrameTime);

  OAFilterState state = -1;
  EXPECT_EQ(control->GetState(0, &state), S_OK);
  EXPECT_EQ(state, State_Running);
  ASSERT_EQ(control->Stop(), S_OK);
  EXPECT_FALSE(source->Pin(0)->ThreadExists());
  EXPECT_EQ(source->Pin(0)->ThreadsDestroyed(), 1);

  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(WaitEvent(EC_COMPLETE), EC_COMPLETE);
  ASSERT_EQ(control->Stop(), S_OK);
  EXPECT_EQ(renderer->Frames().size(), 20u);
  EXPECT_EQ(source->Pin(0)->ThreadsCreated(), 2);

  // A connection made again keeps its type.
  ASSERT_EQ(graph->Reconnect(markerOut), S_OK);
  AM_MEDIA_TYPE mt{};
  ASSERT_EQ(renderer->GetPin(0)->ConnectionMediaType(&mt), S_OK);
  EXPECT_TRUE(CMediaType(mt) == VideoType(24));
  FreeMediaType(mt);
  EXPECT_EQ(graph->Reconnect(source->Pin(0)), S_OK);

  // Pausing to cue and stopping again starts and joins the thread once more.
  ASSERT_EQ(control->StopWhenReady(), S_OK);
  control->GetState(0, &state);
  EXPECT_EQ(state, State_Stopped);
  EXPECT_EQ(source->Pin(0)->ThreadsCreated(), 3);
  EXPECT_FALSE(source->Pin(0)->ThreadExists());
}

TEST_F(GraphTest, CompletionWaitsForEveryRenderer) {
  ComPtr<TestSource> source(new TestSource({3, 40}));
  ComPtr<TestRenderer> short_(new TestRenderer), long_(new TestRenderer);
  ASSERT_EQ(graph->AddFilter(source.get(), u"Source"), S_OK);
  ASSERT_EQ(graph->AddFilter(short_.get(), u"Short"), S_OK);
  ASSERT_EQ(graph->AddFilter(long_.get(), u"Long"), S_OK);
  Chain(source.get(), 0, short_.get());
  Chain(source.get(), 1, long_.get());

  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(WaitEvent(EC_COMPLETE), EC_COMPLETE);
  EXPECT_EQ(short_->Frames().size(), 3u);
  EXPECT_EQ(long_->Frames().size(), 40u);
  LONG code = 0;
  LONG_PTR a = 0, b = 0;
  EXPECT_EQ(events->GetEvent(&code, &a, &b, 0), E_ABORT);
  ASSERT_EQ(control->Stop(), S_OK);

  // Without the default handling every renderer's notice comes through, naming its sender.
  ASSERT_EQ(events->CancelDefaultHandling(EC_COMPLETE), S_OK);
  ASSERT_EQ(control->Run(), S_OK);
  std::vector<LONG_PTR> senders(2);
  ASSERT_EQ(WaitEvent(EC_COMPLETE, nullptr, &senders[0]), EC_COMPLETE);
  ASSERT_EQ(WaitEvent(EC_COMPLETE, nullptr, &senders[1]), EC_COMPLETE);
  std::sort(senders.begin(), senders.end());
  std::vector<LONG_PTR> expected{reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(short_.get())),
                                 reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(long_.get()))};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(senders, expected);
}

TEST_F(GraphTest, AFailingStreamEndsWithErrorAbort) {
  ComPtr<TestSource> source(new TestSource({10}));
  ComPtr<TestRenderer> renderer(new TestRenderer);
  ASSERT_EQ(graph->AddFilter(source.get(), u"Source"), S_OK);
  ASSERT_EQ(graph->AddFilter(renderer.get(), u"Renderer"), S_OK);
  Chain(source.get(), 0, renderer.get());
  source->Pin(0)->FailAt(3);
  LONG_PTR error = 0;
  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(WaitEvent(EC_ERRORABORT, &error), EC_ERRORABORT);
  EXPECT_EQ(error, E_FAIL);
  EXPECT_EQ(renderer->Frames(), Range(0, 3));
  EXPECT_EQ(control->Stop(), S_OK);
}

TEST_F(GraphTest, StopMidRunJoinsTheStreamingThreadAndCanStartAgain) {
  ComPtr<TestSource> source(new TestSource({-1}));
  ComPtr<TestMarker> marker(new TestMarker);
  ComPtr<TestRenderer> renderer(new TestRenderer);
  ASSERT_EQ(graph->AddFilter(source.get(), u"Source"), S_OK);
  ASSERT_EQ(graph->AddFilter(marker.get(), u"Marker"), S_OK);
  ASSERT_EQ(graph->AddFilter(renderer.get(), u"Renderer"), S_OK);
  Chain(source.get(), 0, marker.get());
  ASSERT_EQ(graph->ConnectDirect(marker->GetPin(1), renderer->GetPin(0), nullptr), S_OK);

  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_TRUE(renderer->WaitForFrames(5));
  // Connections and membership change only while stopped.
  EXPECT_EQ(renderer->GetPin(0)->Disconnect(), VFW_E_NOT_STOPPED);
  EXPECT_EQ(graph->RemoveFilter(marker.get()), VFW_E_NOT_STOPPED);
  ASSERT_EQ(control->Stop(), S_OK);
  EXPECT_FALSE(source->Pin(0)->ThreadExists());
  size_t afterStop = renderer->Frames().size();
  FILTER_STATE state;
  source->GetState(0, &state);
  EXPECT_EQ(state, State_Stopped);

  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_TRUE(renderer->WaitForFrames(afterStop + 5));
  // The final release stops a running graph and joins its threads.
  control.Reset();
  events.Reset();
  seeking.Reset();
  filter.Reset();
  graph.Reset();
  EXPECT_FALSE(source->Pin(0)->ThreadExists());
  EXPECT_EQ(source->Pin(0)->ThreadsDestroyed(), 2);
}

// A source that fills its buffers under the filter's own lock still stops when Stop takes that
// lock while a fill is about to: the lock is let go while the streaming thread is asked to end.
TEST_F(GraphTest, StopDoesNotDeadlockWithASourceFillingUnderTheFilterLock) {
  ComPtr<TestSource> source(new TestSource({-1}));
  ComPtr<TestRenderer> renderer(new TestRenderer);
  CountingPin* pin = source->Pin(0);
  pin->FillUnderFilterLock();
  ASSERT_EQ(graph->AddFilter(source.get(), u"Source"), S_OK);
  ASSERT_EQ(graph->AddFilter(renderer.get(), u"Renderer"), S_OK);
  Chain(source.get(), 0, renderer.get());
  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_TRUE(renderer->WaitForFrames(3));
  pin->HoldNextFillUntilStop();
  ASSERT_TRUE(pin->WaitUntilHeld());
  ASSERT_EQ(control->Stop(), S_OK);
  EXPECT_FALSE(pin->ThreadExists());
  EXPECT_EQ(pin->ThreadsDestroyed(), 1);
}

TEST_F(GraphTest, TheCurrentPositionIsWhereTheSlowestReportingFilterHasGot) {
  ComPtr<TestSource> source(new TestSource({-1, -1}));
  ComPtr<TestRenderer> ahead(new TestRenderer), behind(new TestRenderer);
  ahead->ReportPositions();
  behind->ReportPositions();
  ASSERT_EQ(graph->AddFilter(source.get(), u"Source"), S_OK);
  ASSERT_EQ(graph->AddFilter(ahead.get(), u"Ahead"), S_OK);
  ASSERT_EQ(graph->AddFilter(behind.get(), u"Behind"), S_OK);
  Chain(source.get(), 0, ahead.get());
  Chain(source.get(), 1, behind.get());

  // Hold both streams at known places.
  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_TRUE(behind->WaitForFrames(2));
  source->Pin(1)->HoldNextFillUntilStop();
  ASSERT_TRUE(source->Pin(1)->WaitUntilHeld());
  ASSERT_TRUE(ahead->WaitForFrames(behind->Frames().size() + 3));
  source->Pin(0)->HoldNextFillUntilStop();
  ASSERT_TRUE(source->Pin(0)->WaitUntilHeld());

  LONGLONG current = 0;
  ASSERT_EQ(seeking->GetCurrentPosition(&current), S_OK);
  EXPECT_EQ(current, static_cast<LONGLONG>(behind->Frames().size()) * kFrameTime);
  ASSERT_EQ(control->Stop(), S_OK);
}

// A reporting filter's last sample may end past the stop (whole frames); the position does not.
TEST_F(GraphTest, TheCurrentPositionNeverPassesTheStop) {
  ComPtr<TestSource> source(new TestSource({10, 10}));
  ComPtr<TestRenderer> done(new TestRenderer), waiting(new TestRenderer);
  done->ReportPositions();
  ASSERT_EQ(graph->AddFilter(source.get(), u"Source"), S_OK);
  ASSERT_EQ(graph->AddFilter(done.get(), u"Done"), S_OK);
  ASSERT_EQ(graph->AddFilter(waiting.get(), u"Waiting"), S_OK);
  Chain(source.get(), 0, done.get());
  Chain(source.get(), 1, waiting.get());

  LONGLONG stop = kFrameTime * 19 / 2;
  ASSERT_EQ(seeking->SetPositions(nullptr, AM_SEEKING_NoPositioning, &stop, AM_SEEKING_AbsolutePositioning), S_OK);
  // The second stream never starts, so the run does not complete.
  source->Pin(1)->HoldNextFillUntilStop();
  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_TRUE(done->WaitForFrames(10));
  ASSERT_TRUE(source->Pin(1)->WaitUntilHeld());

  LONGLONG current = 0;
  ASSERT_EQ(seeking->GetCurrentPosition(&current), S_OK);
  EXPECT_EQ(current, stop);
  ASSERT_EQ(control->Stop(), S_OK);
}

TEST_F(GraphTest, AFailingTransformEndsTheStreamWithErrorAbort) {
  ComPtr<TestSource> source(new TestSource({10}));
  ComPtr<TestConverter> converter(new TestConverter);
  ComPtr<TestRenderer> renderer(new TestRenderer(MEDIASUBTYPE_RGB32));
  converter->FailAt(4);
  ASSERT_EQ(graph->AddFilter(source.get(), u"Source"), S_OK);
  ASSERT_EQ(graph->AddFilter(converter.get(), u"Converter"), S_OK);
  ASSERT_EQ(graph->AddFilter(renderer.get(), u"Renderer"), S_OK);
  Chain(source.get(), 0, converter.get());
  ASSERT_EQ(graph->ConnectDirect(converter->GetPin(1), renderer->GetPin(0), nullptr), S_OK);
  LONG_PTR error = 0;
  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(WaitEvent(EC_ERRORABORT, &error), EC_ERRORABORT);
  EXPECT_EQ(error, E_FAIL);
  EXPECT_EQ(renderer->Frames(), Range(0, 4));
  EXPECT_EQ(control->Stop(), S_OK);
}

TEST_F(GraphTest, SeeksBeforeAndDuringARun) {
  ComPtr<TestSource> source(new TestSource({50}));
  ComPtr<TestRenderer> renderer(new TestRenderer);
  ASSERT_EQ(graph->AddFilter(source.get(), u"Source"), S_OK);
  ASSERT_EQ(graph->AddFilter(renderer.get(), u"Renderer"), S_OK);
  Chain(source.get(), 0, renderer.get());

  LONGLONG duration = 0;
  ASSERT_EQ(seeking->GetDuration(&duration), S_OK);
  EXPECT_EQ(duration, 50 * kFrameTime);
  ComPtr<IMediaPosition> position;
  ASSERT_EQ(graph->QueryInterface(IID_IMediaPosition, position.putVoid()), S_OK);
  REFTIME seconds = 0;
  ASSERT_EQ(position->get_Duration(&seconds), S_OK);
  EXPECT_DOUBLE_EQ(seconds, 2.0);

  // Only media time is offered by this source.
  EXPECT_EQ(seeking->IsFormatSupported(&TIME_FORMAT_FRAME), S_FALSE);
  EXPECT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), E_INVALIDARG);

  LONGLONG start = 20 * kFrameTime, stop = 30 * kFrameTime;
  ASSERT_EQ(seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, &stop, AM_SEEKING_AbsolutePositioning), S_OK);
  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(WaitEvent(EC_COMPLETE), EC_COMPLETE);
  EXPECT_EQ(renderer->Frames(), std::vector<LONG>(Range(20, 30)));
  EXPECT_EQ(renderer->Starts().front(), 0);
  LONGLONG current = 0;
  ASSERT_EQ(seeking->GetCurrentPosition(&current), S_OK);
  EXPECT_EQ(current, stop);
  ASSERT_EQ(control->Stop(), S_OK);

  ASSERT_EQ(position->put_CurrentPosition(1.0), S_OK);
  ASSERT_EQ(position->put_StopTime(2.0), S_OK);
  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(WaitEvent(EC_COMPLETE), EC_COMPLETE);
  std::vector<LONG> frames = renderer->Frames();
  ASSERT_GE(frames.size(), 25u);
  EXPECT_EQ(std::vector<LONG>(frames.end() - 25, frames.end()), Range(25, 50));
  ASSERT_EQ(control->Stop(), S_OK);
}

TEST_F(GraphTest, PositionsInFramesGoToSourcesThatOfferThem) {
  ComPtr<TestSource> source(new TestSource({50}));
  ComPtr<TestRenderer> renderer(new TestRenderer);
  source->Pin(0)->EnableFrames();
  ASSERT_EQ(graph->AddFilter(source.get(), u"Source"), S_OK);
  ASSERT_EQ(graph->AddFilter(renderer.get(), u"Renderer"), S_OK);
  Chain(source.get(), 0, renderer.get());

  ASSERT_EQ(seeking->IsFormatSupported(&TIME_FORMAT_FRAME), S_OK);
  ASSERT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
  EXPECT_EQ(seeking->IsUsingTimeFormat(&TIME_FORMAT_FRAME), S_OK);
  LONGLONG duration = 0;
  ASSERT_EQ(seeking->GetDuration(&duration), S_OK);
  EXPECT_EQ(duration, 50);
  LONGLONG media = 0;
  ASSERT_EQ(seeking->ConvertTimeFormat(&media, &TIME_FORMAT_MEDIA_TIME, 3, nullptr), S_OK);
  EXPECT_EQ(media, 3 * kFrameTime);

  LONGLONG start = 10;
  ASSERT_EQ(seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
  LONGLONG current = 0;
  ASSERT_EQ(seeking->GetCurrentPosition(&current), S_OK);
  EXPECT_EQ(current, 10);
  // Seconds stay seconds.
  ComPtr<IMediaPosition> position;
  ASSERT_EQ(graph->QueryInterface(IID_IMediaPosition, position.putVoid()), S_OK);
  REFTIME seconds = 0;
  ASSERT_EQ(position->get_CurrentPosition(&seconds), S_OK);
  EXPECT_DOUBLE_EQ(seconds, 0.4);

  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(WaitEvent(EC_COMPLETE), EC_COMPLETE);
  EXPECT_EQ(renderer->Frames(), Range(10, 50));
  ASSERT_EQ(seeking->GetCurrentPosition(&current), S_OK);
  EXPECT_EQ(current, 50);
  ASSERT_EQ(control->Stop(), S_OK);

  ASSERT_EQ(position->get_Duration(&seconds), S_OK);
  EXPECT_DOUBLE_EQ(seconds, 2.0);
  ASSERT_EQ(position->put_StopTime(1.2), S_OK);
  LONGLONG stop = 0;
  ASSERT_EQ(seeking->GetStopPosition(&stop), S_OK);
  EXPECT_EQ(stop, 30);
  ASSERT_EQ(position->get_StopTime(&seconds), S_OK);
  EXPECT_DOUBLE_EQ(seconds, 1.2);
}

TEST_F(GraphTest, SeekingARunningGraphFlushesAndGoesOnFromTheNewPosition) {
  ComPtr<TestSource> source(new TestSource({-1}));
  ComPtr<TestRenderer> renderer(new TestRenderer);
  ASSERT_EQ(graph->AddFilter(source.get(), u"Source"), S_OK);
  ASSERT_EQ(graph->AddFilter(renderer.get(), u"Renderer"), S_OK);
  Chain(source.get(), 0, renderer.get());

  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_TRUE(renderer->WaitForFrames(3));
  LONGLONG target = 100000 * kFrameTime;
  ASSERT_EQ(seeking->SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
  auto tail = [](const std::vector<LONG>& frames) {
    auto flush = std::find(frames.rbegin(), frames.rend(), -1);
    return std::vector<LONG>(flush.base(), frames.end());
  };
  ASSERT_TRUE(renderer->WaitFor([&](const std::vector<LONG>& f) { return tail(f).size() >= 5; }));
  std::vector<LONG> after = tail(renderer->Frames());
  EXPECT_EQ(std::vector<LONG>(after.begin(), after.begin() + 5), Range(100000, 100005));
  // Without a clock or a renderer that reports, the position is where the run began.
  LONGLONG current = 0;
  ASSERT_EQ(seeking->GetCurrentPosition(&current), S_OK);
  EXPECT_EQ(current, target);
  OAFilterState state = -1;
  control->GetState(0, &state);
  EXPECT_EQ(state, State_Running);

  // Paused, the same.
  ASSERT_EQ(control->Pause(), S_OK);
  target = 7 * kFrameTime;
  ASSERT_EQ(seeking->SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
  ASSERT_TRUE(renderer->WaitFor([&](const std::vector<LONG>& f) {
    std::vector<LONG> t = tail(f);
    return t.size() >= 2 && t[0] == 7 && t[1] == 8;
  }));
  ASSERT_EQ(control->Stop(), S_OK);
}

namespace {

LRESULT CALLBACK PlainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

TEST_F(GraphTest, EventsArePostedToTheNotifyWindowAndCanBeSwitchedOff) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = PlainWindowProc;
  wc.lpszClassName = "GraphNotifyWindow";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, "GraphNotifyWindow", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);

  ComPtr<TestSource> source(new TestSource({2}));
  ComPtr<TestRenderer> renderer(new TestRenderer);
  ASSERT_EQ(graph->AddFilter(source.get(), u"Source"), S_OK);
  ASSERT_EQ(graph->AddFilter(renderer.get(), u"Renderer"), S_OK);
  Chain(source.get(), 0, renderer.get());

  ASSERT_EQ(events->SetNotifyWindow(reinterpret_cast<OAHWND>(window), WM_USER + 1, 77), S_OK);
  ASSERT_EQ(control->Run(), S_OK);
  // The message arrives in the window's queue, after the event it announces.
  MSG msg{};
  ASSERT_GT(GetMessageA(&msg, window, WM_USER + 1, WM_USER + 1), 0);
  EXPECT_EQ(msg.wParam, 0u);
  EXPECT_EQ(msg.lParam, 77);
  ASSERT_EQ(WaitEvent(EC_COMPLETE), EC_COMPLETE);
  ASSERT_EQ(control->Stop(), S_OK);

  // Events of the application's own kind, and none at all once notifications are off.
  ComPtr<IMediaEventSink> sink;
  ASSERT_EQ(graph->QueryInterface(IID_IMediaEventSink, sink.putVoid()), S_OK);
  OAEVENT handle = 0;
  ASSERT_EQ(events->GetEventHandle(&handle), S_OK);
  EXPECT_NE(handle, 0);
  sink->Notify(EC_USER + 5, 11, 22);
  LONG code = 0;
  LONG_PTR a = 0, b = 0;
  ASSERT_EQ(events->GetEvent(&code, &a, &b, 0), S_OK);
  EXPECT_EQ(code, EC_USER + 5);
  EXPECT_EQ(a, 11);
  EXPECT_EQ(b, 22);
  EXPECT_EQ(events->GetEvent(&code, &a, &b, 0), E_ABORT);

  while (PeekMessageA(&msg, window, WM_USER + 1, WM_USER + 1, PM_REMOVE)) {
  }
  ASSERT_EQ(events->SetNotifyFlags(AM_MEDIAEVENT_NONOTIFY), S_OK);
  sink->Notify(EC_USER + 6, 0, 0);
  EXPECT_EQ(events->GetEvent(&code, &a, &b, 0), E_ABORT);
  EXPECT_FALSE(PeekMessageA(&msg, window, WM_USER + 1, WM_USER + 1, PM_REMOVE));
  LONG flags = 0;
  events->GetNotifyFlags(&flags);
  EXPECT_EQ(flags, AM_MEDIAEVENT_NONOTIFY);
  DestroyWindow(window);
}

TEST_F(GraphTest, WithAClockTheGraphRunsOnTheSystemClock) {
  ComPtr<TestSource> source(new TestSource({3}));
  ComPtr<TestRenderer> renderer(new TestRenderer);
  ASSERT_EQ(graph->AddFilter(source.get(), u"Source"), S_OK);
  ASSERT_EQ(graph->AddFilter(renderer.get(), u"Renderer"), S_OK);
  Chain(source.get(), 0, renderer.get());
  ASSERT_EQ(graph->SetDefaultSyncSource(), S_OK);
  ComPtr<IReferenceClock> clock;
  ASSERT_EQ(filter->GetSyncSource(clock.put()), S_OK);
  ASSERT_NE(clock.get(), nullptr);
  ComPtr<IReferenceClock> rendererClock;
  renderer->GetSyncSource(rendererClock.put());
  EXPECT_EQ(rendererClock.get(), clock.get());

  REFERENCE_TIME t1 = 0, t2 = 0;
  clock->GetTime(&t1);
  clock->GetTime(&t2);
  EXPECT_LE(t1, t2);

  // An advise in the past fires at once.
  HANDLE event = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  DWORD_PTR cookie = 0;
  ASSERT_EQ(clock->AdviseTime(t2, 0, reinterpret_cast<HEVENT>(event), &cookie), S_OK);
  EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
  CloseHandle(event);

  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(WaitEvent(EC_COMPLETE), EC_COMPLETE);
  EXPECT_EQ(renderer->Frames(), Range(0, 3));
  EXPECT_EQ(control->Stop(), S_OK);
}
