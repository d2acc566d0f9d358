// Preview through the control on the virtual clock: the timeline plays in the control with its
// sound, pauses, moves, reports its position and its end; the picture is placed and fitted.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "dshow/builtin_filters.h"
#include "hosted_control.h"
#include "testing/media_fixtures.h"
#include "testing/sandbox.h"
#include "testing/ui_driver.h"

namespace {

using testing_support::Rgb;

bool Near(COLORREF c, Rgb want, int tolerance) {
  return std::abs(int(GetRValue(c)) - want.r) <= tolerance && std::abs(int(GetGValue(c)) - want.g) <= tolerance &&
         std::abs(int(GetBValue(c)) - want.b) <= tolerance;
}

class PreviewTest : public HostedControl {
 protected:
  static void SetUpTestSuite() {
    HostedControl::SetUpTestSuite();
    testing_support::ClipOptions options;
    options.format = "avi";
    options.videoEncoder = "mpeg4";
    options.audioEncoder = "pcm_s16le";
    options.width = 320;
    options.height = 240;
    options.frameRate = 15;
    options.keyframeInterval = 1;
    options.sampleRate = 44100;
    options.channels = 2;
    options.seconds = 2.0;
    options.timeColoured = true;
    ASSERT_EQ("", testing_support::MakeClip(Clip(), options));
  }
  static std::string Clip() { return testing_support::SandboxDir() + "/preview.avi"; }

  void Flag(DISPID id, bool on) { Put(id, COleVariant(short(on ? VARIANT_TRUE : 0), VT_BOOL)); }
  void LoadClip(double seconds = 2.0) {
    Call(dispidInitControl);
    ASSERT_TRUE(AddVideo(Clip(), 0, seconds));
    ASSERT_TRUE(AddAudio(Clip(), 0, seconds));
  }
  bool Preview() { return CallBool(dispidPreview); }
  double Pos() { return Call(dispidGetPos).dblVal; }
  bool Paused() { return CallBool(dispidIsPause); }
  HWND ControlWindow() { return GetWindow(wrapper.m_hWnd, GW_CHILD); }
  HWND VideoWindow() { return GetWindow(ControlWindow(), GW_CHILD); }

  // Moves the virtual clock in steps of 10 ms, pumping messages, until the condition holds. Time
  // moves on once the reported position has nearly caught up with it (or after a short real
  // wait), so that playback keeps pace however slowly the machine decodes. The real-time bound
  // only keeps a broken preview from hanging.
  bool RunUntil(const std::function<bool()>& done) {
    const auto guard = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    const double start = std::max(LastPlaying(), 0.0);
    double moved = 0;
    while (!done()) {
      if (std::chrono::steady_clock::now() > guard) return false;
      const auto patience = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
      while (LastPlaying() < start + moved - 0.15 && std::chrono::steady_clock::now() < patience && !done()) {
        ui.Pump();
        std::this_thread::yield();
      }
      ui.AdvanceClock(10);
      moved += 0.01;
    }
    return true;
  }
  // Pumps messages without moving time until the streaming threads and the windows have done
  // what the condition waits for.
  bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds patience = std::chrono::seconds(20)) {
    const auto guard = std::chrono::steady_clock::now() + patience;
    for (;;) {
      ui.Pump();
      if (done()) return true;
      if (std::chrono::steady_clock::now() > guard) return false;
      std::this_thread::yield();
    }
  }
  bool ShowsAt(POINT screen, Rgb want) { return WaitFor([&] { return Near(ui.PixelAt(screen), want, 12); }); }
  double LastPlaying() { return host.playing.empty() ? -1 : host.playing.back(); }
  // Moves time until the position timer reports the position, or the frame or two after it that
  // the streams may have handed on while paused (they settle after a move).
  bool Reports(double position) {
    const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < guard) {
      ui.AdvanceClock(50);
      ui.Pump();
      if (LastPlaying() > position - 1e-6 && LastPlaying() < position + 2.0 / 15 + 1e-6) return true;
      std::this_thread::yield();
    }
    return false;
  }

  testing_ui::UiDriver ui;
};

std::string Describe(COLORREF c) {
  return std::to_string(GetRValue(c)) + "," + std::to_string(GetGValue(c)) + "," + std::to_string(GetBValue(c));
}

TEST_F(PreviewTest, PlaysToTheEndReportingRisingPositionsAndCompletesOnce) {
  LoadClip(1.0);
  EXPECT_FALSE(Paused());
  ASSERT_TRUE(Preview());
  EXPECT_FALSE(Paused());
  ASSERT_TRUE(RunUntil([&] { return host.previewCompletes > 0; }));
  // After the end: no second completion and no position of a graph let go.
  const size_t reports = host.playing.size();
  for (int i = 0; i < 50; ++i) ui.AdvanceClock(10), ui.Pump();
  EXPECT_EQ(1, host.previewCompletes);
  EXPECT_EQ(reports, host.playing.size());
  ASSERT_GE(host.playing.size(), 5u);
  for (size_t i = 1; i < host.playing.size(); ++i) EXPECT_GE(host.playing[i], host.playing[i - 1]);
  EXPECT_LE(host.playing.back(), 1.05);
  EXPECT_GT(host.playing.back(), 0.6);
  // The graph and the timeline are gone: nothing plays, and clips must be added again.
  EXPECT_EQ(0.0, Pos());
  EXPECT_FALSE(Paused());
  Call(dispidPlay);
  EXPECT_FALSE(Preview());
  EXPECT_EQ(nullptr, VideoWindow());
}

TEST_F(PreviewTest, PauseFreezesThePositionAndPlayResumesIt) {
  LoadClip();
  ASSERT_TRUE(Preview());
  ASSERT_TRUE(RunUntil([&] { return LastPlaying() > 0.3; }));
  Call(dispidPause);
  EXPECT_TRUE(Paused());
  // A frame already on its way may still arrive; after that nothing moves.
  for (int i = 0; i < 20; ++i) ui.AdvanceClock(10), WaitFor([] { return true; });
  const double frozen = LastPlaying();
  for (int i = 0; i < 50; ++i) ui.AdvanceClock(10), WaitFor([] { return true; });
  EXPECT_DOUBLE_EQ(frozen, LastPlaying());
  Call(dispidPlay);
  EXPECT_FALSE(Paused());
  ASSERT_TRUE(RunUntil([&] { return LastPlaying() > frozen + 0.2; }));
  EXPECT_EQ(0, host.previewCompletes);
}

TEST_F(PreviewTest, StartAndSeekPositionsLandWhereAsked) {
  LoadClip();
  Put(dispidPrePos, COleVariant(1.2));
  ASSERT_TRUE(Preview());
  Call(dispidPause);
  // Paused, time may pass: the position reported is where the preview was asked to start.
  EXPECT_TRUE(Reports(1.2)) << LastPlaying();
  EXPECT_EQ(1.0, Pos());  // whole seconds

  Call(dispidSetPos, {COleVariant(0.5)});
  EXPECT_TRUE(Reports(0.5)) << LastPlaying();
  EXPECT_EQ(0.0, Pos());
  Call(dispidPlay);
  ASSERT_TRUE(RunUntil([&] { return host.previewCompletes > 0; }));
}

TEST_F(PreviewTest, ThePictureShownIsTheFrameAtTheStartPosition) {
  LoadClip();
  Put(dispidPrePos, COleVariant(1.0));
  ASSERT_TRUE(Preview());
  // Time does not move: the first frame, at 1.0 s, is the one on the screen.
  Call(dispidPause);
  HWND video = VideoWindow();
  ASSERT_NE(nullptr, video);
  const POINT centre = ui.CenterOf(video);
  WaitFor([&] { return ui.PixelAt(centre) != RGB(0, 0, 0); });
  const Rgb want = testing_support::TimeColourOfFrame(15);  // 15 frames a second
  EXPECT_TRUE(ShowsAt(centre, want)) << Describe(ui.PixelAt(centre));
}

TEST_F(PreviewTest, ThePictureKeepsItsShapeInsideTheControlWhenAsked) {
  LoadClip();
  ASSERT_TRUE(Preview());
  Call(dispidPause);
  HWND video = VideoWindow();
  ASSERT_NE(nullptr, video);
  // 4:3 in a 300 x 100 control: a picture 133 wide from x = 83, black beside it.
  Call(dispidResizeControl, {COleVariant(short(0)), COleVariant(short(0)), COleVariant(short(300)),
                             COleVariant(short(100))});
  RECT client;
  GetClientRect(video, &client);
  EXPECT_EQ(300, client.right);
  EXPECT_EQ(100, client.bottom);
  POINT origin{0, 0};
  ClientToScreen(video, &origin);
  const Rgb want = testing_support::TimeColourOfFrame(0);
  const COLORREF black = RGB(0, 0, 0);
  EXPECT_TRUE(ShowsAt({origin.x + 86, origin.y + 50}, want));
  EXPECT_TRUE(ShowsAt({origin.x + 212, origin.y + 50}, want));
  EXPECT_TRUE(WaitFor([&] { return ui.PixelAt({origin.x + 80, origin.y + 50}) == black; }));
  EXPECT_TRUE(WaitFor([&] { return ui.PixelAt({origin.x + 218, origin.y + 50}) == black; }));

  // Without the aspect ratio the picture fills the window at once.
  Flag(dispidAspectRatio, false);
  EXPECT_TRUE(ShowsAt({origin.x + 2, origin.y + 50}, want));
  EXPECT_TRUE(ShowsAt({origin.x + 297, origin.y + 50}, want));

  // And fitted again, from the area as it is now: 100 x 200 takes a picture 75 high from y = 62.
  Flag(dispidAspectRatio, true);
  Call(dispidResizeControl, {COleVariant(short(0)), COleVariant(short(0)), COleVariant(short(100)),
                             COleVariant(short(200))});
  GetClientRect(video, &client);
  EXPECT_EQ(100, client.right);
  EXPECT_EQ(200, client.bottom);
  EXPECT_TRUE(ShowsAt({origin.x + 50, origin.y + 65}, want));
  EXPECT_TRUE(ShowsAt({origin.x + 50, origin.y + 134}, want));
  EXPECT_TRUE(WaitFor([&] { return ui.PixelAt({origin.x + 50, origin.y + 58}) == black; }));
  EXPECT_TRUE(WaitFor([&] { return ui.PixelAt({origin.x + 50, origin.y + 140}) == black; }));
}

TEST_F(PreviewTest, FullScreenComesAtTheNextPlacementAndEscapeLeavesIt) {
  LoadClip();
  ASSERT_TRUE(Preview());
  Call(dispidPause);
  HWND video = VideoWindow();
  ASSERT_NE(nullptr, video);
  Call(dispidShowFullScreen, {COleVariant(short(VARIANT_TRUE), VT_BOOL)});
  EXPECT_EQ(video, VideoWindow());  // nothing changes yet
  Call(dispidResizeControl, {COleVariant(short(0)), COleVariant(short(0)), COleVariant(short(320)),
                             COleVariant(short(240))});
  RECT r;
  GetWindowRect(video, &r);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), r.right - r.left);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), r.bottom - r.top);
  EXPECT_NE(video, VideoWindow());  // no longer the control's child

  ui.Press(VK_ESCAPE);
  ASSERT_TRUE(WaitFor([&] { return VideoWindow() == video; }));
  GetWindowRect(video, &r);
  EXPECT_EQ(320, r.right - r.left);
  EXPECT_EQ(240, r.bottom - r.top);
  EXPECT_TRUE(IsWindowVisible(video));
  // The flag went with full screen: the next placement stays in the control.
  Call(dispidResizeControl, {COleVariant(short(0)), COleVariant(short(0)), COleVariant(short(300)),
                             COleVariant(short(200))});
  EXPECT_EQ(video, VideoWindow());
}

TEST_F(PreviewTest, ASecondPreviewReplacesTheFirstWithoutDoubledSound) {
  LoadClip();
  ASSERT_TRUE(Preview());
  ASSERT_TRUE(RunUntil([&] { return LastPlaying() > 0.2; }));
  ASSERT_TRUE(Preview());
  // Paused, the sound output fills its queue and takes nothing until the graph runs.
  Call(dispidPause);
  ASSERT_TRUE(Paused());
  const uint64_t before = DShowSilentOutputFrames();
  Call(dispidPlay);
  // 300 ms of play. Sound that comes late is still taken, up to what the time played allows.
  for (int step = 1; step <= 30; ++step) {
    ui.AdvanceClock(10);
    WaitFor([&] { return DShowSilentOutputFrames() - before >= uint64_t(step) * 441; },
            std::chrono::milliseconds(100));
  }
  WaitFor([&] { return DShowSilentOutputFrames() - before >= 13230; });
  // 300 ms of 44.1 kHz sound from one graph; two graphs would give twice that.
  EXPECT_EQ(13230u, DShowSilentOutputFrames() - before);
  // One video window in the control.
  HWND first = VideoWindow();
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(nullptr, GetWindow(first, GW_HWNDNEXT));
}

TEST_F(PreviewTest, APreviewWhoseGraphCannotBeBuiltReportsFailureAndStartsNoTimer) {
  const std::string gone = testing_support::SandboxDir() + "/gone.avi";
  std::filesystem::copy_file(Clip(), gone, std::filesystem::copy_options::overwrite_existing);
  Call(dispidInitControl);
  ASSERT_TRUE(AddVideo(gone, 0, 1.0));
  std::filesystem::remove(gone);
  EXPECT_FALSE(Preview());
  for (int i = 0; i < 20; ++i) ui.AdvanceClock(10), ui.Pump();
  EXPECT_TRUE(host.playing.empty());
  EXPECT_EQ(nullptr, VideoWindow());
}

// A save of the timeline's sound takes the place of a running preview instead of being refused.
TEST_F(PreviewTest, ASoundSaveStopsAPreviewAndRuns) {
  LoadClip();
  ASSERT_TRUE(Preview());
  const std::string path = testing_support::SandboxDir() + "/during-preview.wav";
  ASSERT_TRUE(CallBool(dispidSave2Wave, {COleVariant(path.c_str()), COleVariant(short(2)), COleVariant(LONG(44100)),
                                         COleVariant(short(2))}));
  EXPECT_FALSE(Paused());
  ASSERT_TRUE(WaitFor([&] { return host.completes == 1; }, std::chrono::seconds(60)));
  EXPECT_EQ(0, host.previewCompletes);
  // Two seconds of 16-bit stereo at 44100 Hz after the header.
  EXPECT_GE(std::filesystem::file_size(path), 44u + 2 * 44100 * 4);
}

TEST_F(PreviewTest, NothingPlaysWithoutAReadyTimelineOrDuringAConversion) {
  EXPECT_FALSE(Preview());
  EXPECT_EQ(0.0, Pos());
  EXPECT_FALSE(Paused());
  Call(dispidPause);
  Call(dispidPlay);
  Call(dispidSetPos, {COleVariant(1.0)});
  HWND control = ControlWindow();
  SendMessageA(control, WM_TIMER, 8, 0);
  EXPECT_TRUE(host.playing.empty());
  EXPECT_FALSE(CallBool(dispidCheckDivxFile, {COleVariant(Clip().c_str())}));
}

}  // namespace
