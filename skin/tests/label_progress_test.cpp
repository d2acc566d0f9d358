// Labels and progress bars: both draw over a copy of the dialog's background under them; the
// label its text in its own font and colour, the bar its tiles up to the position.
#include <gtest/gtest.h>

#include <string>

#include "skin/bitmap_static.h"
#include "skin/label.h"
#include "skin_fixtures.h"
#include "host_dialog.h"
#include "testing/ui_driver.h"

namespace {

using skin_test::Bmp24;
using skin_test::FreshFolder;
using skin_test::HostBackground;
using skin_test::WriteFile;

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kTile = RGB(0, 180, 60);
constexpr COLORREF kText = RGB(250, 240, 10);

class LabelProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.Open();
    ui_.Pump();
  }
  void TearDown() override { host_.DestroyWindow(); }

  COLORREF At(const CWnd& control, int x, int y) {
    ui_.Pump();
    POINT point{x, y};
    ::ClientToScreen(control.m_hWnd, &point);
    return testing_ui::UiDriver::PixelAt(point);
  }
  int Count(const CWnd& control, COLORREF colour) {
    ui_.Pump();
    const testing_ui::Image image = testing_ui::UiDriver::CaptureWindow(control.m_hWnd);
    int count = 0;
    for (COLORREF pixel : image.pixels) count += pixel == colour;
    return count;
  }

  // A 100 x 10 bar at dialog (10, 60) with an 8 x 10 tile whose last column is keyed.
  void MakeBar() {
    const std::string path = FreshFolder() + "/tile.bmp";
    WriteFile(path, Bmp24(8, 10, [](int x, int) { return x == 7 ? kKey : kTile; }));
    info_.name = "PROGRESS_CONVERT";
    info_.rect = CRect(10, 60, 110, 70);
    ASSERT_TRUE(info_.tile.Load(path.c_str()));
    ASSERT_TRUE(bar_.CreateFromSkin(info_, kKey, &host_));
  }

  testing_ui::UiDriver ui_;
  skin_test::CHostDialog host_;
  SkinProgressInfo info_;
  CBitmapStatic bar_;
};

TEST_F(LabelProgressTest, ALabelDrawsItsTextInItsColourOverTheBackgroundUnderIt) {
  SkinLabelInfo info;
  info.name = "LABEL_TIME";
  info.rect = CRect(10, 20, 110, 40);
  info.text = "00:00:00";
  info.faceName = "Corvane Test Box";
  info.pointSize = 8;
  info.textColour = kText;
  CLabel label;
  ASSERT_TRUE(label.CreateFromSkin(info, &host_));
  EXPECT_EQ(label.Name(), "LABEL_TIME");
  // The right end holds no text: the background of dialog row 20 + 18 shows there.
  EXPECT_EQ(At(label, 98, 18), HostBackground(38));
  const int inked = Count(label, kText);
  EXPECT_GT(inked, 0);

  label.SetText("00:00:00:00");
  EXPECT_GT(Count(label, kText), inked);
  label.SetText("");
  EXPECT_EQ(Count(label, kText), 0);
  EXPECT_EQ(At(label, 1, 1), HostBackground(21));
}

TEST_F(LabelProgressTest, AnAmpersandIsAPrefixAndALargerSizeInksMore) {
  SkinLabelInfo info;
  info.rect = CRect(10, 20, 190, 60);
  info.faceName = "Corvane Test Box";
  info.pointSize = 8;
  info.textColour = kText;
  info.text = "AB";
  CLabel plain;
  ASSERT_TRUE(plain.CreateFromSkin(info, &host_));
  const int small = Count(plain, kText);
  // The prefix marks the B (an underline at most) and is not a letter of its own.
  plain.SetText("AxB");
  const int three = Count(plain, kText);
  plain.SetText("A&B");
  EXPECT_LT(Count(plain, kText), three);
  plain.SetText("AB");
  plain.SetFontSize(16);
  EXPECT_GT(Count(plain, kText), small);
}

TEST_F(LabelProgressTest, TheBarFillsItsShareWithWholeTilesAndOneSqueezedTile) {
  MakeBar();
  bar_.SetRange(0, 100);
  bar_.SetPos(50);
  // 50 pixels: six whole tiles (their keyed last columns show the background), then one tile
  // squeezed into 2 pixels.
  EXPECT_EQ(At(bar_, 0, 5), kTile);
  EXPECT_EQ(At(bar_, 7, 5), HostBackground(65));
  EXPECT_EQ(At(bar_, 47, 5), HostBackground(65));
  EXPECT_EQ(At(bar_, 48, 5), kTile);
  EXPECT_EQ(At(bar_, 50, 5), HostBackground(65));
  EXPECT_EQ(At(bar_, 99, 5), HostBackground(65));
}

TEST_F(LabelProgressTest, AnEmptyRangeDrawsNoFillAndAPositionPastTheEndAFullBar) {
  MakeBar();
  bar_.SetRange(0, 0);
  bar_.SetPos(5);
  EXPECT_EQ(Count(bar_, kTile), 0);

  bar_.SetRange(0, 30);
  bar_.SetPos(45);
  EXPECT_EQ(bar_.Pos(), 30);
  EXPECT_EQ(At(bar_, 96, 5), kTile);
  bar_.SetPos(-3);
  EXPECT_EQ(bar_.Pos(), 0);
  EXPECT_EQ(Count(bar_, kTile), 0);
}

}  // namespace
