// The skin slider: the channel shown up to the thumb over the dialog's background, the keyed
// thumb and its dragging look, drags reported to the dialog, keys, and empty ranges.
#include <gtest/gtest.h>

#include "skin/skin_slider.h"
#include "test_host.h"
#include "testing/ui_driver.h"

namespace {

using skin_test::kBackLeft;
using skin_test::MakeBitmap;
using skin_test::TestHost;
using testing_ui::UiDriver;

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kChannel = RGB(0, 200, 0);
constexpr COLORREF kThumb = RGB(200, 0, 0);
constexpr COLORREF kActiveThumb = RGB(0, 0, 200);

// A thumb 10 x 16 whose top-left pixel is keyed.
SkinBitmap Thumb(COLORREF colour) {
  return MakeBitmap(10, 16, [colour](int x, int y) { return x == 0 && y == 0 ? kKey : colour; });
}

// A horizontal slider 100 x 16 at (20, 30) of a 300 x 200 host: channel 100 x 6 at y 5.
struct SliderTest : ::testing::Test {
  UiDriver ui;
  TestHost host{0, 0, 300, 200};
  CSkinSlider slider;
  SkinSliderInfo info;

  void SetUp() override {
    info.name = "SLIDER_PROGRESS";
    info.index = 2;
    info.rect = CRect(20, 30, 60, 40);  // the bitmaps size the window
    info.channel = MakeBitmap(100, 6, kChannel);
    info.thumb = Thumb(kThumb);
    info.activeThumb = Thumb(kActiveThumb);
    info.initialPos = 30;
  }
  void Create() {
    ASSERT_TRUE(slider.CreateFromSkin(info, kKey, &host));
    ui.Pump();
  }
  COLORREF At(int x, int y) { return UiDriver::PixelAt(TestHost::ScreenPoint(slider, x, y)); }
  POINT Screen(int x, int y) { return TestHost::ScreenPoint(slider, x, y); }
};

TEST_F(SliderTest, CreatedFromTheSkinWithAnEmptyRangeAndSizedByItsBitmaps) {
  Create();
  EXPECT_EQ(slider.GetIndex(), 2);
  EXPECT_EQ(slider.GetName(), "SLIDER_PROGRESS");
  EXPECT_EQ(slider.GetRangeMax(), 0);
  EXPECT_EQ(slider.GetPos(), 0);  // the initial position is clamped to the empty range
  CRect rect;
  slider.GetWindowRect(&rect);
  host.ScreenToClient(&rect);
  EXPECT_EQ(rect, CRect(20, 30, 120, 46));
  EXPECT_TRUE(info.thumb.IsEmpty());  // taken over
}

TEST_F(SliderTest, ChannelUpToTheThumbOverTheDialogBackground) {
  Create();
  slider.SetRange(0, 100);
  slider.SetPos(50);  // centre 5 + 90 * 50 / 100 = 50
  ui.Pump();
  EXPECT_EQ(At(20, 8), kChannel);
  EXPECT_EQ(At(44, 8), kChannel);
  EXPECT_EQ(At(20, 2), kBackLeft);   // above the channel: the dialog's picture
  EXPECT_EQ(At(70, 8), kBackLeft);   // past the thumb: the empty groove is the face's
  EXPECT_EQ(At(50, 8), kThumb);
  EXPECT_EQ(At(46, 0), kThumb);
  EXPECT_EQ(At(45, 0), kBackLeft);   // the thumb's keyed pixel shows what lies below
  EXPECT_EQ(At(56, 8), kBackLeft);

  // The old thumb goes when it moves.
  slider.SetPos(100);
  ui.Pump();
  EXPECT_EQ(At(50, 8), kChannel);
  EXPECT_EQ(At(50, 0), kBackLeft);
  EXPECT_EQ(At(97, 8), kThumb);
}

TEST_F(SliderTest, DragReportsEveryMoveAndStopsAtTheEnds) {
  Create();
  slider.SetRange(0, 90);
  ui.MouseDown(Screen(50, 8));  // (50 - 5) * 90 / 90
  EXPECT_EQ(slider.GetPos(), 45);
  EXPECT_EQ(At(50, 8), kActiveThumb);
  ui.MoveMouse(Screen(50, 3));  // the same position is reported again
  ui.MoveMouse(Screen(500, 8));
  ui.MoveMouse(Screen(-40, 8));
  ui.MouseUp(Screen(-40, 8));
  const std::vector<std::pair<int, int>> expected{{2, 45}, {2, 45}, {2, 90}, {2, 0}};
  EXPECT_EQ(host.sliderCommands, expected);
  EXPECT_EQ(slider.GetPos(), 0);
  EXPECT_EQ(At(5, 8), kThumb);  // the dragging look ends with the drag
  EXPECT_EQ(::GetCapture(), nullptr);

  ui.MoveMouse(Screen(60, 8));  // no longer dragging
  EXPECT_EQ(host.sliderCommands.size(), 4u);
}

TEST_F(SliderTest, KeysMoveWithinTheRangeWithoutReporting) {
  Create();
  slider.SetRange(0, 50);
  slider.SetPageSize(20);
  slider.SetFocus();
  ui.Press(VK_NEXT);
  EXPECT_EQ(slider.GetPos(), 20);
  ui.Press(VK_RIGHT);
  ui.Press(VK_DOWN);
  EXPECT_EQ(slider.GetPos(), 22);
  ui.Press(VK_NEXT);
  ui.Press(VK_NEXT);
  EXPECT_EQ(slider.GetPos(), 50);
  ui.Press(VK_UP);
  EXPECT_EQ(slider.GetPos(), 49);
  ui.Press(VK_HOME);
  EXPECT_EQ(slider.GetPos(), 0);
  ui.Press(VK_LEFT);
  EXPECT_EQ(slider.GetPos(), 0);
  ui.Press(VK_END);
  EXPECT_EQ(slider.GetPos(), 50);
  EXPECT_TRUE(host.sliderCommands.empty());

  slider.SetPos(-3);
  EXPECT_EQ(slider.GetPos(), 0);
}

TEST_F(SliderTest, AnEmptyRangeKeepsTheThumbAtTheStart) {
  Create();  // range 0..0 as the skin leaves it
  ui.MouseDown(Screen(60, 8));
  ui.MoveMouse(Screen(80, 8));
  ui.MouseUp(Screen(80, 8));
  const std::vector<std::pair<int, int>> expected{{2, 0}, {2, 0}};
  EXPECT_EQ(host.sliderCommands, expected);
  EXPECT_EQ(At(5, 8), kThumb);
  EXPECT_EQ(At(60, 8), kBackLeft);
}

TEST_F(SliderTest, DisabledSliderShowsNoThumbAndIgnoresTheMouse) {
  Create();
  slider.SetRange(0, 90);
  ui.MouseDown(Screen(50, 8));
  slider.Enable(FALSE);  // ends the drag
  EXPECT_EQ(::GetCapture(), nullptr);
  ui.MouseUp(Screen(50, 8));
  ui.Click(Screen(80, 8));
  EXPECT_EQ(slider.GetPos(), 45);
  EXPECT_EQ(host.sliderCommands.size(), 1u);
  ui.Pump();
  EXPECT_EQ(At(48, 8), kChannel);
}

TEST_F(SliderTest, WithoutAThumbOnlyTheChannelShows) {
  info.thumb.Reset();
  info.activeThumb.Reset();
  Create();
  slider.SetRange(0, 100);
  slider.SetPos(40);
  ui.Pump();
  CRect client;
  slider.GetClientRect(&client);
  EXPECT_EQ(client, CRect(0, 0, 100, 6));
  EXPECT_EQ(At(39, 3), kChannel);
  EXPECT_EQ(At(41, 3), kBackLeft);
}

TEST_F(SliderTest, VerticalThumbFollowsThePosition) {
  info.channel = MakeBitmap(6, 100, kChannel);
  info.thumb = MakeBitmap(16, 10, kThumb);
  info.activeThumb.Reset();
  info.vertical = true;
  Create();
  slider.SetRange(0, 100);
  slider.SetPos(50);  // centre 5 + 50 * 90 / 100 = 50
  ui.Pump();
  EXPECT_EQ(At(8, 50), kThumb);
  EXPECT_EQ(At(8, 40), kBackLeft);  // above the thumb the channel is not shown
  EXPECT_EQ(At(8, 80), kChannel);
  ui.MouseDown(Screen(8, 95));
  ui.MouseUp(Screen(8, 95));
  EXPECT_EQ(slider.GetPos(), 100);
}

}  // namespace
