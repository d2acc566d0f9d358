// The video and audio renderers in whole graphs: what reaches the screen, the video window's
// placement, full screen and message drain, sound under SDL's dummy driver and its clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <ostream>
#include <thread>
#include <vector>

#include "audio_output.h"
#include "dshow/builtin_filters.h"
#include "dshow/dshow.h"
#include "solid_clip.h"
#include "../test_filters.h"
#include "testing/media_fixtures.h"
#include "testing/sandbox.h"
#include "testing/ui_driver.h"
#include "win32/windows.h"

inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
  return out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}

namespace {

// Tests never reach a sound card.
const bool kDummyAudio = [] { return setenv("SDL_AUDIODRIVER", "dummy", 1) == 0; }();

template <class T>
class Ptr {
 public:
  Ptr() = default;
  ~Ptr() { Reset(); }
  Ptr(const Ptr&) = delete;
  Ptr& operator=(const Ptr&) = delete;
  void Reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  void** outv() {
    Reset();
    return reinterpret_cast<void**>(&p_);
  }
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr int kClipWidth = 64;
constexpr int kClipHeight = 48;

std::string SandboxFile(const std::string& name) { return testing_support::SandboxDir() + "/" + name; }

// Eight red frames and a blue last one.
const std::string& SolidClip() {
  static const std::string path = [] {
    std::string p = SandboxFile("solid.avi");
    std::vector<COLORREF> frames(8, kRed);
    frames.push_back(kBlue);
    EXPECT_EQ(dshow_test::MakeSolidClip(p, kClipWidth, kClipHeight, frames), "");
    return p;
  }();
  return path;
}

const std::string& Clip(const std::string& name, const testing_support::ClipOptions& options) {
  static std::map<std::string, std::string> made;
  auto it = made.find(name);
  if (it != made.end()) return it->second;
  std::string path = SandboxFile(name);
  EXPECT_EQ(testing_support::MakeClip(path, options), "");
  return made[name] = path;
}

const std::string& SoundClip() {
  testing_support::ClipOptions o;
  o.format = "wav";
  o.videoEncoder = "";
  o.audioEncoder = "pcm_s16le";
  o.sampleRate = 22050;
  o.channels = 2;
  o.seconds = 0.5;
  return Clip("tone.wav", o);
}

const std::string& MovieClip(double seconds) {
  testing_support::ClipOptions o;
  o.format = "avi";
  o.videoEncoder = "mpeg4";
  o.audioEncoder = "pcm_s16le";
  o.sampleRate = 22050;
  o.channels = 1;
  o.seconds = seconds;
  return Clip("movie" + std::to_string(int(seconds * 10)) + ".avi", o);
}

BSTR Bstr(const std::string& text) {
  std::u16string wide(text.begin(), text.end());
  return SysAllocString(wide.c_str());
}

// A plain window to own the video window and drain its input.
struct HostWindow {
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_LBUTTONDOWN || msg == WM_KEYDOWN) received.push_back(msg);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  HostWindow() {
    static const bool registered = [] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = &Proc;
      wc.lpszClassName = "RendererTestHost";
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
      return RegisterClassA(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    received.clear();
    hwnd = CreateWindowExA(0, "RendererTestHost", "host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 80, 300, 200,
                           nullptr, nullptr, nullptr, nullptr);
  }
  ~HostWindow() { DestroyWindow(hwnd); }
  HWND hwnd = nullptr;
  static inline std::vector<UINT> received;
};

// The first pixel of the renderer's current picture; CLR_INVALID while it has none.
COLORREF FirstPixel(IBasicVideo* video) {
  LONG size = 0;
  if (video->GetCurrentImage(&size, nullptr) != S_OK) return CLR_INVALID;
  std::vector<BYTE> dib(size_t(size) + 4);
  if (video->GetCurrentImage(&size, reinterpret_cast<LONG*>(dib.data())) != S_OK) return CLR_INVALID;
  const BYTE* px = dib.data() + sizeof(BITMAPINFOHEADER);
  return RGB(px[2], px[1], px[0]);
}

class RendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kDummyAudio);
    CoInitialize(nullptr);
    RegisterDShowClasses();
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.outv()), S_OK);
    ASSERT_EQ(graph->QueryInterface(IID_IMediaControl, control.outv()), S_OK);
    ASSERT_EQ(graph->QueryInterface(IID_IMediaEventEx, events.outv()), S_OK);
    ASSERT_EQ(graph->QueryInterface(IID_IMediaFilter, mediaFilter.outv()), S_OK);
  }
  void TearDown() override {
    if (control) control->Stop();
  }

  void Render(const std::string& path, bool clock) {
    BSTR name = Bstr(path);
    ASSERT_EQ(control->RenderFile(name), S_OK) << path;
    SysFreeString(name);
    if (!clock) {
      ASSERT_EQ(mediaFilter->SetSyncSource(nullptr), S_OK);
    }
  }

  // Reads events until `wanted` arrives, moving the virtual clock 10 ms at a time; 0 when none
  // comes. The real-time bound only keeps a broken graph from hanging.
  LONG WaitEvent(LONG wanted) {
    const auto guard = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (std::chrono::steady_clock::now() < guard) {
      ui.Pump();
      LONG code = 0;
      LONG_PTR a = 0, b = 0;
      if (events->GetEvent(&code, &a, &b, 0) != S_OK) {
        ui.AdvanceClock(10);
        std::this_thread::yield();
        continue;
      }
      events->FreeEventParams(code, a, b);
      if (code == wanted) return code;
      if (code == EC_ERRORABORT) return code;
    }
    return 0;
  }

  // The counts of the renderer RenderFile put in the graph.
  void FindRendererCounts(Ptr<IQualProp>* quality) {
    Ptr<IEnumFilters> filters;
    ASSERT_EQ(graph->EnumFilters(reinterpret_cast<IEnumFilters**>(filters.outv())), S_OK);
    for (IBaseFilter* f = nullptr; !*quality && filters->Next(1, &f, nullptr) == S_OK; f->Release())
      f->QueryInterface(IID_IQualProp, quality->outv());
    ASSERT_TRUE(*quality);
  }

  // The window the video is drawn in: the one at the middle of its placement.
  HWND VideoHwnd(IVideoWindow* window) {
    LONG l, t, w, h;
    window->GetWindowPosition(&l, &t, &w, &h);
    OAHWND owner = 0;
    window->get_Owner(&owner);
    POINT p{l + w / 2, t + h / 2};
    if (owner) ClientToScreen(reinterpret_cast<HWND>(owner), &p);
    return WindowFromPoint(p);
  }

  testing_ui::UiDriver ui;
  Ptr<IGraphBuilder> graph;
  Ptr<IMediaControl> control;
  Ptr<IMediaEventEx> events;
  Ptr<IMediaFilter> mediaFilter;
};

TEST_F(RendererTest, RenderFileWithoutClockShowsEveryFrameUpToTheLast) {
  Render(SolidClip(), false);
  Ptr<IVideoWindow> window;
  ASSERT_EQ(graph->QueryInterface(IID_IVideoWindow, window.outv()), S_OK);
  Ptr<IBasicVideo2> video;
  ASSERT_EQ(graph->QueryInterface(IID_IBasicVideo2, video.outv()), S_OK);
  LONG w = 0, h = 0;
  ASSERT_EQ(video->GetVideoSize(&w, &h), S_OK);
  EXPECT_EQ(w, kClipWidth);
  EXPECT_EQ(h, kClipHeight);
  REFTIME frameTime = 0;
  ASSERT_EQ(video->get_AvgTimePerFrame(&frameTime), S_OK);
  EXPECT_NEAR(frameTime, 0.04, 1e-6);
  // A top-level pop-up, twice the video's size.
  ASSERT_EQ(window->SetWindowPosition(20, 30, 2 * kClipWidth, 2 * kClipHeight), S_OK);

  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(WaitEvent(EC_COMPLETE), EC_COMPLETE);
  ui.Pump();

  LONG visible = OAFALSE;
  window->get_Visible(&visible);
  EXPECT_EQ(visible, OATRUE);  // shown when the graph started
  HWND hwnd = VideoHwnd(window.get());
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(GetParent(hwnd), nullptr);
  for (POINT p : {POINT{21, 31}, POINT{20 + kClipWidth, 30 + kClipHeight}, POINT{147, 125}})
    EXPECT_EQ(ui.PixelAt(p), kBlue) << p.x << "," << p.y;
  EXPECT_NE(ui.PixelAt({20 + 2 * kClipWidth + 1, 30}), kBlue);

  // The frame on screen as a packed DIB.
  LONG size = 0;
  ASSERT_EQ(video->GetCurrentImage(&size, nullptr), S_OK);
  ASSERT_GE(size, LONG(sizeof(BITMAPINFOHEADER)));
  std::vector<LONG> dib((size + 3) / 4);
  LONG small = size - 1;
  EXPECT_EQ(video->GetCurrentImage(&small, dib.data()), E_OUTOFMEMORY);
  ASSERT_EQ(video->GetCurrentImage(&size, dib.data()), S_OK);
  BITMAPINFOHEADER header;
  std::memcpy(&header, dib.data(), sizeof header);
  EXPECT_EQ(header.biWidth, kClipWidth);
  EXPECT_EQ(header.biHeight, kClipHeight);
  ASSERT_TRUE(header.biBitCount == 24 || header.biBitCount == 32);
  EXPECT_EQ(size_t(size), sizeof header + DIBSIZE(header));
  const auto* bits = reinterpret_cast<const BYTE*>(dib.data()) + sizeof header;
  const size_t last = DIBSIZE(header) - header.biBitCount / 8;
  for (size_t at : {size_t(0), last}) {
    EXPECT_EQ(bits[at + 0], 255);  // blue
    EXPECT_EQ(bits[at + 1], 0);
    EXPECT_EQ(bits[at + 2], 0);
  }

  // Painting again after being covered draws the last frame again.
  HostWindow cover;
  ui.Pump();
  EXPECT_NE(ui.PixelAt({120, 100}), kBlue);
  DestroyWindow(cover.hwnd);
  cover.hwnd = nullptr;
  ui.Pump();
  EXPECT_EQ(ui.PixelAt({120, 100}), kBlue);
}

// A window nobody can see draws nothing, yet keeps the newest frame and shows it once it can be seen.
enum class Sight { Visible, Hidden, ZeroSized, Covered };

class RendererSightTest : public RendererTest, public ::testing::WithParamInterface<Sight> {};

TEST_P(RendererSightTest, DrawsOnlyWhatCanBeSeenAndShowsTheNewestFrameLater) {
  Render(SolidClip(), false);
  Ptr<IVideoWindow> window;
  ASSERT_EQ(graph->QueryInterface(IID_IVideoWindow, window.outv()), S_OK);
  Ptr<IBasicVideo2> video;
  ASSERT_EQ(graph->QueryInterface(IID_IBasicVideo2, video.outv()), S_OK);
  // The renderer itself counts what it drew.
  Ptr<IQualProp> quality;
  ASSERT_NO_FATAL_FAILURE(FindRendererCounts(&quality));
  // Inside the host window's area, which covers it in the covered case.
  const RECT placed{120, 100, 120 + 2 * kClipWidth, 100 + 2 * kClipHeight};
  const POINT middle{(placed.left + placed.right) / 2, (placed.top + placed.bottom) / 2};
  const Sight sight = GetParam();
  const LONG width = sight == Sight::ZeroSized ? 0 : placed.right - placed.left;
  const LONG height = sight == Sight::ZeroSized ? 0 : placed.bottom - placed.top;
  ASSERT_EQ(window->SetWindowPosition(placed.left, placed.top, width, height), S_OK);
  if (sight == Sight::Hidden) {
    ASSERT_EQ(window->put_AutoShow(OAFALSE), S_OK);
  }
  std::optional<HostWindow> cover;
  if (sight == Sight::Covered) {
    cover.emplace();
    ASSERT_TRUE(SetWindowPos(cover->hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
  }

  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(WaitEvent(EC_COMPLETE), EC_COMPLETE);
  ui.Pump();
  int drawn = -1;
  ASSERT_EQ(quality->get_FramesDrawn(&drawn), S_OK);
  if (sight == Sight::Visible)
    EXPECT_GT(drawn, 0);
  else
    EXPECT_EQ(drawn, 0);
  // The newest frame is kept all the same.
  LONG size = 0;
  ASSERT_EQ(video->GetCurrentImage(&size, nullptr), S_OK);
  std::vector<LONG> dib((size + 3) / 4);
  ASSERT_EQ(video->GetCurrentImage(&size, dib.data()), S_OK);
  EXPECT_EQ(reinterpret_cast<const BYTE*>(dib.data())[sizeof(BITMAPINFOHEADER)], 255);  // blue

  // Once it can be seen, the window shows that frame.
  if (sight == Sight::Hidden) {
    ASSERT_EQ(window->put_Visible(OATRUE), S_OK);
  }
  if (sight == Sight::ZeroSized) {
    ASSERT_EQ(window->SetWindowPosition(placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top),
              S_OK);
  }
  if (cover) {
    EXPECT_NE(ui.PixelAt(middle), kBlue);
    cover.reset();
  }
  ui.Pump();
  EXPECT_EQ(ui.PixelAt(middle), kBlue);
}

std::string SightName(const ::testing::TestParamInfo<Sight>& info) {
  static const char* const kNames[] = {"Visible", "Hidden", "ZeroSized", "Covered"};
  return kNames[int(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Windows, RendererSightTest,
                         ::testing::Values(Sight::Visible, Sight::Hidden, Sight::ZeroSized, Sight::Covered),
                         SightName);

TEST_F(RendererTest, ChildOfOwnerDrawsIntoDestinationAndDrainsInput) {
  HostWindow host;
  Render(SolidClip(), false);
  Ptr<IVideoWindow> window;
  ASSERT_EQ(graph->QueryInterface(IID_IVideoWindow, window.outv()), S_OK);
  Ptr<IBasicVideo2> video;
  ASSERT_EQ(graph->QueryInterface(IID_IBasicVideo2, video.outv()), S_OK);
  // As the preview places it.
  ASSERT_EQ(window->put_Owner(reinterpret_cast<OAHWND>(host.hwnd)), S_OK);
  ASSERT_EQ(window->put_MessageDrain(reinterpret_cast<OAHWND>(host.hwnd)), S_OK);
  ASSERT_EQ(window->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS), S_OK);
  ASSERT_EQ(window->SetWindowPosition(0, 0, 300, 200), S_OK);
  LONG l, t, w, h;
  ASSERT_EQ(video->GetDestinationPosition(&l, &t, &w, &h), S_OK);
  EXPECT_EQ(RECT({l, t, l + w, t + h}), RECT({0, 0, 300, 200}));
  // Rectangles whose far edge would not fit in a LONG are refused.
  EXPECT_EQ(video->SetSourcePosition(1, 0, INT32_MAX, 1), E_INVALIDARG);
  EXPECT_EQ(video->SetSourcePosition(0, 1, 1, INT32_MAX), E_INVALIDARG);
  EXPECT_EQ(video->SetDestinationPosition(INT32_MAX, 0, 10, 10), E_INVALIDARG);
  EXPECT_EQ(video->SetDestinationPosition(0, 10, 10, INT32_MAX), E_INVALIDARG);
  // The one-edge properties change only their edge.
  ASSERT_EQ(video->put_DestinationWidth(80), S_OK);
  ASSERT_EQ(video->put_DestinationLeft(100), S_OK);
  LONG part = 0;
  EXPECT_EQ(video->get_DestinationTop(&part), S_OK);
  EXPECT_EQ(part, 0);
  EXPECT_EQ(video->get_DestinationHeight(&part), S_OK);
  EXPECT_EQ(part, 200);
  EXPECT_EQ(video->put_SourceWidth(INT32_MAX), E_INVALIDARG);
  EXPECT_EQ(video->get_SourceWidth(nullptr), E_POINTER);
  EXPECT_EQ(window->get_Width(&part), S_OK);
  EXPECT_EQ(part, 300);
  ASSERT_EQ(video->put_DestinationWidth(100), S_OK);
  ASSERT_EQ(video->GetDestinationPosition(&l, &t, &w, &h), S_OK);
  EXPECT_EQ(RECT({l, t, l + w, t + h}), RECT({100, 0, 200, 200}));
  ASSERT_EQ(window->put_BorderColor(LONG(kGreen)), S_OK);
  ASSERT_EQ(window->SetWindowForeground(OATRUE), S_OK);
  EXPECT_EQ(window->put_WindowStyle(WS_CHILD | WS_DISABLED), E_INVALIDARG);

  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(WaitEvent(EC_COMPLETE), EC_COMPLETE);
  ui.Pump();

  HWND hwnd = VideoHwnd(window.get());
  ASSERT_TRUE(IsChild(host.hwnd, hwnd));
  ASSERT_EQ(window->GetWindowPosition(&l, &t, &w, &h), S_OK);
  EXPECT_EQ(RECT({l, t, l + w, t + h}), RECT({0, 0, 300, 200}));
  // The picture in the middle third of the host, border colour either side.
  EXPECT_EQ(ui.PixelAt({100 + 150, 80 + 100}), kBlue);
  EXPECT_EQ(ui.PixelAt({100 + 50, 80 + 100}), kGreen);
  EXPECT_EQ(ui.PixelAt({100 + 250, 80 + 100}), kGreen);

  // A click on the video reaches the drain.
  ui.Click({100 + 150, 80 + 100});
  EXPECT_NE(std::find(HostWindow::received.begin(), HostWindow::received.end(), UINT(WM_LBUTTONDOWN)),
            HostWindow::received.end());

  // Detached, as a conversion does it: no owner, hidden.
  control->Stop();
  ASSERT_EQ(window->put_AutoShow(OAFALSE), S_OK);
  ASSERT_EQ(window->put_Visible(OAFALSE), S_OK);
  ASSERT_EQ(window->put_MessageDrain(0), S_OK);
  ASSERT_EQ(window->put_Owner(0), S_OK);
  EXPECT_FALSE(IsChild(host.hwnd, hwnd));
  EXPECT_FALSE(IsWindowVisible(hwnd));
}

// The picture scaled for one size is never shown at another: when the window or the destination
// changes after the last frame, the kept frame is scaled again to fill the new place. Repaints are
// not frames: the renderer's counts stay.
TEST_F(RendererTest, TheKeptFrameFollowsTheWindowsNewSize) {
  HostWindow host;
  Render(SolidClip(), false);
  Ptr<IVideoWindow> window;
  ASSERT_EQ(graph->QueryInterface(IID_IVideoWindow, window.outv()), S_OK);
  Ptr<IBasicVideo2> video;
  ASSERT_EQ(graph->QueryInterface(IID_IBasicVideo2, video.outv()), S_OK);
  Ptr<IQualProp> quality;
  ASSERT_NO_FATAL_FAILURE(FindRendererCounts(&quality));
  ASSERT_EQ(window->put_Owner(reinterpret_cast<OAHWND>(host.hwnd)), S_OK);
  ASSERT_EQ(window->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS), S_OK);
  ASSERT_EQ(window->put_BorderColor(LONG(kGreen)), S_OK);
  ASSERT_EQ(window->SetWindowPosition(0, 0, 100, 60), S_OK);
  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(WaitEvent(EC_COMPLETE), EC_COMPLETE);
  ui.Pump();
  // The host's client area starts at (100, 80) on the screen.
  EXPECT_EQ(ui.PixelAt({100 + 99, 80 + 59}), kBlue);
  EXPECT_NE(ui.PixelAt({100 + 150, 80 + 100}), kBlue);
  int drawn = -1, dropped = -1;
  ASSERT_EQ(quality->get_FramesDrawn(&drawn), S_OK);
  ASSERT_EQ(quality->get_FramesDroppedInRenderer(&dropped), S_OK);
  EXPECT_GT(drawn, 0);

  ASSERT_EQ(window->SetWindowPosition(0, 0, 300, 200), S_OK);
  ui.Pump();
  for (POINT p : {POINT{100, 80}, POINT{100 + 150, 80 + 100}, POINT{100 + 299, 80 + 199}})
    EXPECT_EQ(ui.PixelAt(p), kBlue) << p.x << "," << p.y;

  ASSERT_EQ(video->SetDestinationPosition(50, 50, 100, 50), S_OK);
  ui.Pump();
  EXPECT_EQ(ui.PixelAt({100 + 50, 80 + 50}), kBlue);
  EXPECT_EQ(ui.PixelAt({100 + 149, 80 + 99}), kBlue);
  EXPECT_EQ(ui.PixelAt({100 + 150, 80 + 100}), kGreen);
  EXPECT_EQ(ui.PixelAt({100 + 49, 80 + 49}), kGreen);

  int drawnAfter = -1, droppedAfter = -1;
  ASSERT_EQ(quality->get_FramesDrawn(&drawnAfter), S_OK);
  ASSERT_EQ(quality->get_FramesDroppedInRenderer(&droppedAfter), S_OK);
  EXPECT_EQ(drawnAfter, drawn);
  EXPECT_EQ(droppedAfter, dropped);
}

// Frames coming faster than the screen refreshes are kept but not each drawn: on a clock that
// stands still only the first is drawn, and the newest is drawn once no more have come for a
// refresh interval, although the stream has not ended. Every frame counts once, drawn or dropped.
TEST_F(RendererTest, AfterABurstTheNewestFrameIsDrawn) {
  ComPtr<dshow_test::TestSource> source(new dshow_test::TestSource({-1}, 24));
  Ptr<IBaseFilter> renderer;
  ASSERT_EQ(CoCreateInstance(CLSID_VideoRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, renderer.outv()),
            S_OK);
  ASSERT_EQ(graph->AddFilter(source.get(), u"Source"), S_OK);
  ASSERT_EQ(graph->AddFilter(renderer.get(), u"Renderer"), S_OK);
  Ptr<IEnumPins> pins;
  ASSERT_EQ(renderer->EnumPins(reinterpret_cast<IEnumPins**>(pins.outv())), S_OK);
  Ptr<IPin> in;
  ASSERT_EQ(pins->Next(1, reinterpret_cast<IPin**>(in.outv()), nullptr), S_OK);
  ASSERT_EQ(graph->ConnectDirect(source->Pin(0), in.get(), nullptr), S_OK);
  ASSERT_EQ(mediaFilter->SetSyncSource(nullptr), S_OK);
  Ptr<IVideoWindow> window;
  ASSERT_EQ(graph->QueryInterface(IID_IVideoWindow, window.outv()), S_OK);
  Ptr<IBasicVideo> video;
  ASSERT_EQ(graph->QueryInterface(IID_IBasicVideo, video.outv()), S_OK);
  Ptr<IQualProp> quality;
  ASSERT_EQ(renderer->QueryInterface(IID_IQualProp, quality.outv()), S_OK);
  // Twice the frame's size; the frame's first pixel, its bottom left, carries the frame number.
  ASSERT_EQ(window->SetWindowPosition(20, 30, 2 * dshow_test::kWidth, 2 * dshow_test::kHeight), S_OK);
  const POINT firstPixel{20, 30 + 2 * dshow_test::kHeight - 1};
  auto numberColour = [](LONG n) { return RGB((n >> 16) & 0xFF, (n >> 8) & 0xFF, n & 0xFF); };

  ASSERT_EQ(control->Run(), S_OK);
  int dropped = 0;
  const auto guard = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (dropped < 50 && std::chrono::steady_clock::now() < guard) {
    ui.Pump();
    ASSERT_EQ(quality->get_FramesDroppedInRenderer(&dropped), S_OK);
    std::this_thread::yield();
  }
  // The source stops before its next frame: the burst is over, the stream goes on.
  source->Pin(0)->HoldNextFillUntilStop();
  ASSERT_TRUE(source->Pin(0)->WaitUntilHeld());
  ui.Pump();
  LONG size = 0;
  ASSERT_EQ(video->GetCurrentImage(&size, nullptr), S_OK);
  std::vector<LONG> dib((size + 3) / 4);
  ASSERT_EQ(video->GetCurrentImage(&size, dib.data()), S_OK);
  const LONG newest = dib[sizeof(BITMAPINFOHEADER) / 4];
  ASSERT_GE(newest, 50);
  int drawn = 0;
  ASSERT_EQ(quality->get_FramesDrawn(&drawn), S_OK);
  EXPECT_EQ(drawn, 1);
  EXPECT_NE(ui.PixelAt(firstPixel), numberColour(newest));

  ui.AdvanceClock(20);
  ui.Pump();
  EXPECT_EQ(ui.PixelAt(firstPixel), numberColour(newest));
  ASSERT_EQ(quality->get_FramesDrawn(&drawn), S_OK);
  ASSERT_EQ(quality->get_FramesDroppedInRenderer(&dropped), S_OK);
  EXPECT_EQ(drawn, 2);
  EXPECT_EQ(drawn + dropped, newest + 1);
}

// While running the renderer keeps the newest frame's buffer rather than a copy. Stopped, it holds
// no buffer of its allocator (a new connection can set the allocator up again) yet still has the
// frame, and the graph plays again from the start.
TEST_F(RendererTest, AStoppedRendererHoldsNoBufferButKeepsTheFrame) {
  Render(SolidClip(), false);
  Ptr<IBasicVideo2> video;
  ASSERT_EQ(graph->QueryInterface(IID_IBasicVideo2, video.outv()), S_OK);
  Ptr<IBaseFilter> renderer;
  Ptr<IEnumFilters> filters;
  ASSERT_EQ(graph->EnumFilters(reinterpret_cast<IEnumFilters**>(filters.outv())), S_OK);
  for (IBaseFilter* f = nullptr; !renderer && filters->Next(1, &f, nullptr) == S_OK; f->Release()) {
    Ptr<IQualProp> quality;
    if (f->QueryInterface(IID_IQualProp, quality.outv()) == S_OK) f->QueryInterface(IID_IBaseFilter, renderer.outv());
  }
  ASSERT_TRUE(renderer);
  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(WaitEvent(EC_COMPLETE), EC_COMPLETE);
  EXPECT_EQ(FirstPixel(video.get()), kBlue);
  ASSERT_EQ(control->Stop(), S_OK);
  EXPECT_EQ(FirstPixel(video.get()), kBlue);

  // An allocator refuses new properties while a buffer of it is out.
  Ptr<IEnumPins> pins;
  ASSERT_EQ(renderer->EnumPins(reinterpret_cast<IEnumPins**>(pins.outv())), S_OK);
  Ptr<IPin> pin;
  ASSERT_EQ(pins->Next(1, reinterpret_cast<IPin**>(pin.outv()), nullptr), S_OK);
  Ptr<IMemInputPin> input;
  ASSERT_EQ(pin->QueryInterface(IID_IMemInputPin, input.outv()), S_OK);
  Ptr<IMemAllocator> allocator;
  ASSERT_EQ(input->GetAllocator(reinterpret_cast<IMemAllocator**>(allocator.outv())), S_OK);
  ALLOCATOR_PROPERTIES properties{}, actual{};
  ASSERT_EQ(allocator->GetProperties(&properties), S_OK);
  EXPECT_EQ(allocator->SetProperties(&properties, &actual), S_OK);

  Ptr<IMediaSeeking> seeking;
  ASSERT_EQ(graph->QueryInterface(IID_IMediaSeeking, seeking.outv()), S_OK);
  LONGLONG start = 0;
  ASSERT_EQ(seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(WaitEvent(EC_COMPLETE), EC_COMPLETE);
  EXPECT_EQ(FirstPixel(video.get()), kBlue);
}

TEST_F(RendererTest, FullScreenCoversTheScreenUntilEscape) {
  HostWindow host;
  Render(SolidClip(), false);
  Ptr<IVideoWindow> window;
  ASSERT_EQ(graph->QueryInterface(IID_IVideoWindow, window.outv()), S_OK);
  ASSERT_EQ(window->put_Owner(reinterpret_cast<OAHWND>(host.hwnd)), S_OK);
  ASSERT_EQ(window->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS), S_OK);
  ASSERT_EQ(window->SetWindowPosition(10, 10, 160, 120), S_OK);
  ASSERT_EQ(window->put_Visible(OATRUE), S_OK);
  HWND hwnd = VideoHwnd(window.get());
  ASSERT_TRUE(IsChild(host.hwnd, hwnd));
  ASSERT_EQ(window->put_FullScreenMode(OATRUE), S_OK);
  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(WaitEvent(EC_COMPLETE), EC_COMPLETE);
  ui.Pump();

  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r, RECT({0, 0, cx, cy}));
  EXPECT_EQ(WindowFromPoint({5, cy / 2}), hwnd);
  EXPECT_EQ(ui.PixelAt({cx / 2, cy / 2}), kBlue);  // over the host window too
  LONG restore[4];
  ASSERT_EQ(window->GetRestorePosition(&restore[0], &restore[1], &restore[2], &restore[3]), S_OK);
  EXPECT_EQ(RECT({restore[0], restore[1], restore[0] + restore[2], restore[1] + restore[3]}), RECT({10, 10, 170, 130}));

  // Escape gives full screen up and tells the application.
  SetFocus(hwnd);
  ui.Press(VK_ESCAPE);
  ASSERT_EQ(WaitEvent(EC_FULLSCREEN_LOST), EC_FULLSCREEN_LOST);
  LONG mode = OATRUE;
  window->get_FullScreenMode(&mode);
  EXPECT_EQ(mode, OAFALSE);
  EXPECT_TRUE(IsChild(host.hwnd, hwnd));
  LONG l, t, w, h;
  window->GetWindowPosition(&l, &t, &w, &h);
  EXPECT_EQ(RECT({l, t, l + w, t + h}), RECT({10, 10, 170, 130}));
  EXPECT_EQ(ui.PixelAt({100 + 90, 80 + 70}), kBlue);
}

TEST_F(RendererTest, WithAClockPausedHoldsTheFirstFrameUntilRun) {
  Render(SolidClip(), true);  // no sound: the system clock
  Ptr<IBasicVideo> video;
  ASSERT_EQ(graph->QueryInterface(IID_IBasicVideo, video.outv()), S_OK);
  ASSERT_EQ(control->Pause(), S_OK);
  COLORREF shown = CLR_INVALID;
  const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (shown == CLR_INVALID && std::chrono::steady_clock::now() < guard) {
    ui.Pump();
    shown = FirstPixel(video.get());
    std::this_thread::yield();
  }
  EXPECT_EQ(shown, kRed);
  // Nothing moves on while paused, however long: no completion, still the first frame.
  for (int i = 0; i < 30; ++i) ui.AdvanceClock(10), ui.Pump();
  LONG code = 0;
  LONG_PTR a, b;
  EXPECT_NE(events->GetEvent(&code, &a, &b, 0), S_OK);
  EXPECT_EQ(FirstPixel(video.get()), kRed);
  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(WaitEvent(EC_COMPLETE), EC_COMPLETE);
  ui.Pump();
  EXPECT_EQ(FirstPixel(video.get()), kBlue);
  // The frame shown while paused is the first of the run, not a frame of its own: each of the
  // clip's nine frames is counted once, drawn or dropped.
  Ptr<IQualProp> quality;
  ASSERT_NO_FATAL_FAILURE(FindRendererCounts(&quality));
  int drawn = 0, dropped = 0;
  ASSERT_EQ(quality->get_FramesDrawn(&drawn), S_OK);
  ASSERT_EQ(quality->get_FramesDroppedInRenderer(&dropped), S_OK);
  EXPECT_EQ(drawn + dropped, 9);
}

TEST_F(RendererTest, PausedAfterRunningKeepsTheFrameOnScreenUntilTheNextIsDue) {
  const std::string clip = SandboxFile("red_blue_green.avi");
  ASSERT_EQ(dshow_test::MakeSolidClip(clip, kClipWidth, kClipHeight, {kRed, kBlue, kGreen}), "");
  Render(clip, true);  // no sound: the system clock, standing still until the test moves it
  Ptr<IBasicVideo> video;
  ASSERT_EQ(graph->QueryInterface(IID_IBasicVideo, video.outv()), S_OK);
  // Whether the picture stays the first frame for a while of real time.
  auto staysRed = [&](std::chrono::milliseconds span) {
    const auto until = std::chrono::steady_clock::now() + span;
    while (FirstPixel(video.get()) == kRed && std::chrono::steady_clock::now() < until) ui.Pump(), std::this_thread::yield();
    return FirstPixel(video.get()) == kRed;
  };
  ASSERT_EQ(control->Pause(), S_OK);
  const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (FirstPixel(video.get()) != kRed && std::chrono::steady_clock::now() < guard) ui.Pump(), std::this_thread::yield();
  ASSERT_EQ(FirstPixel(video.get()), kRed);
  // Running, the second frame reaches the renderer within moments and waits there for its time;
  // the watches outlast those moments by far.
  ASSERT_EQ(control->Run(), S_OK);
  EXPECT_TRUE(staysRed(std::chrono::milliseconds(200)));
  // Paused before the second frame is due, the first stays on screen.
  ASSERT_EQ(control->Pause(), S_OK);
  EXPECT_TRUE(staysRed(std::chrono::milliseconds(300)));
  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(WaitEvent(EC_COMPLETE), EC_COMPLETE);
  ui.Pump();
  EXPECT_EQ(FirstPixel(video.get()), kGreen);
}

TEST_F(RendererTest, SoundPlaysIntoTheSilentOutputAtTheClocksPace) {
  Render(SoundClip(), true);
  Ptr<IBasicAudio> audio;
  ASSERT_EQ(graph->QueryInterface(IID_IBasicAudio, audio.outv()), S_OK);
  EXPECT_EQ(audio->put_Volume(-10001), E_INVALIDARG);
  EXPECT_EQ(audio->put_Volume(1), E_INVALIDARG);
  ASSERT_EQ(audio->put_Volume(-2000), S_OK);
  LONG volume = 0;
  ASSERT_EQ(audio->get_Volume(&volume), S_OK);
  EXPECT_EQ(volume, -2000);
  EXPECT_EQ(audio->put_Balance(10001), E_INVALIDARG);
  ASSERT_EQ(audio->put_Balance(-500), S_OK);

  // The graph keeps time with the renderer's clock.
  ASSERT_EQ(control->Pause(), S_OK);
  Ptr<IReferenceClock> clock;
  ASSERT_EQ(mediaFilter->GetSyncSource(reinterpret_cast<IReferenceClock**>(clock.outv())), S_OK);
  ASSERT_TRUE(clock);
  Ptr<IBaseFilter> renderer;
  ASSERT_EQ(graph->FindFilterByName(u"Default DirectSound Device", reinterpret_cast<IBaseFilter**>(renderer.outv())),
            S_OK);
  Ptr<IReferenceClock> own;
  ASSERT_EQ(renderer->QueryInterface(IID_IReferenceClock, own.outv()), S_OK);
  EXPECT_EQ(own.get(), clock.get());

  REFERENCE_TIME before = 0, after = 0;
  clock->GetTime(&before);
  const uint64_t framesBefore = DShowSilentOutputFrames();
  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(WaitEvent(EC_COMPLETE), EC_COMPLETE);
  clock->GetTime(&after);
  // The whole half second of sound was taken, and only once its time had come.
  // 0.5 s at 22050 Hz, which the clip's maker rounds up to whole blocks of 1024 frames.
  const uint64_t taken = DShowSilentOutputFrames() - framesBefore;
  EXPECT_GE(taken, 11025u);
  EXPECT_LT(taken, 11025u + 1024u);
  EXPECT_GE(after - before, 5 * UNITS / 10);
}

TEST(AudioGainsTest, VolumeAndBalanceScaleSamples) {
  WAVEFORMATEX f{};
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = 2;
  f.wBitsPerSample = 16;
  int16_t samples[4] = {10000, 10000, -20000, -20000};
  dshow::renderers::ApplyGains(reinterpret_cast<BYTE*>(samples), sizeof samples, f, {-2000, 0});  // -20 dB
  EXPECT_EQ(samples[0], 1000);
  EXPECT_EQ(samples[3], -2000);
  int16_t pair[2] = {10000, 10000};
  dshow::renderers::ApplyGains(reinterpret_cast<BYTE*>(pair), sizeof pair, f, {0, 10000});  // right only
  EXPECT_EQ(pair[0], 0);
  EXPECT_EQ(pair[1], 10000);
  f.nChannels = 1;
  f.wBitsPerSample = 8;
  BYTE bytes[2] = {228, 28};
  dshow::renderers::ApplyGains(bytes, sizeof bytes, f, {-10000, 0});  // silence is the midpoint
  EXPECT_EQ(bytes[0], 128);
  EXPECT_EQ(bytes[1], 128);
}

TEST_F(RendererTest, PictureAndSoundTogetherRunToCompletion) {
  Render(MovieClip(1.0), true);
  Ptr<IVideoWindow> window;
  ASSERT_EQ(graph->QueryInterface(IID_IVideoWindow, window.outv()), S_OK);
  Ptr<IBasicAudio> audio;
  ASSERT_EQ(graph->QueryInterface(IID_IBasicAudio, audio.outv()), S_OK);
  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(WaitEvent(EC_COMPLETE), EC_COMPLETE);
  Ptr<IBasicVideo> video;
  ASSERT_EQ(graph->QueryInterface(IID_IBasicVideo, video.outv()), S_OK);
  LONG size = 0;
  EXPECT_EQ(video->GetCurrentImage(&size, nullptr), S_OK);
}

TEST_F(RendererTest, PauseShowsAFrameAndStopMidRunEndsTheStreams) {
  Render(MovieClip(4.0), true);
  Ptr<IBasicVideo> video;
  ASSERT_EQ(graph->QueryInterface(IID_IBasicVideo, video.outv()), S_OK);
  ASSERT_EQ(control->Pause(), S_OK);
  LONG size = 0;
  bool shown = false;
  for (int i = 0; i < 600 && !shown; ++i) {
    LONG code;
    LONG_PTR a, b;
    if (events->GetEvent(&code, &a, &b, 50) == S_OK) events->FreeEventParams(code, a, b);
    shown = video->GetCurrentImage(&size, nullptr) == S_OK;
  }
  EXPECT_TRUE(shown);  // the first frame, held while paused
  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(control->Stop(), S_OK);
  OAFilterState state = State_Running;
  ASSERT_EQ(control->GetState(0, &state), S_OK);
  EXPECT_EQ(state, State_Stopped);
  // Runs again from the start after a stop.
  ASSERT_EQ(control->Run(), S_OK);
  ASSERT_EQ(control->Stop(), S_OK);
}

}  // namespace
