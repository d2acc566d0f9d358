// Skin buttons and options: the state picture each look takes from the strip, and the clicks
// and choices they report to the dialog that holds them.
#include "skin/skin_button.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "skin_fixtures.h"
#include "host_dialog.h"
#include "testing/ui_driver.h"

namespace {

using skin_test::Bmp24;
using skin_test::FreshFolder;
using skin_test::WriteFile;

constexpr COLORREF kKey = RGB(255, 0, 255);
using skin_test::kHostFace;
// The four states of the test strips, left to right.
constexpr COLORREF kNormal = RGB(200, 0, 0);
constexpr COLORREF kHover = RGB(0, 200, 0);
constexpr COLORREF kPressed = RGB(0, 0, 200);
constexpr COLORREF kDisabled = RGB(120, 120, 120);

class SkinButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = FreshFolder();
    host_.Open(false);
    ui_.Pump();
  }
  void TearDown() override { host_.DestroyWindow(); }

  // A strip of four 8-pixel states, the last 2 columns of another colour that must never show.
  SkinBitmap Strip() {
    const std::string path = folder_ + "/strip.bmp";
    const COLORREF states[] = {kNormal, kHover, kPressed, kDisabled};
    WriteFile(path, Bmp24(34, 6, [&](int x, int) { return x >= 32 ? RGB(255, 255, 0) : states[x / 8]; }));
    SkinBitmap strip;
    EXPECT_TRUE(strip.Load(path.c_str()));
    return strip;
  }
  template <class Button, class Info>
  std::unique_ptr<Button> Make(Info info) {
    auto button = std::make_unique<Button>();
    EXPECT_TRUE(button->CreateFromSkin(info, kKey, &host_));
    ui_.Pump();
    return button;
  }
  SkinButtonInfo ButtonInfo(int index, CRect rect) {
    SkinButtonInfo info;
    info.name = "BUTTON_PLAY";
    info.index = index;
    info.rect = rect;
    info.strip = Strip();
    return info;
  }
  static POINT Screen(const CWnd& window, int x, int y) {
    POINT point{x, y};
    ::ClientToScreen(window.m_hWnd, &point);
    return point;
  }
  POINT Away() const { return Screen(host_, 190, 90); }

  std::string folder_;
  testing_ui::UiDriver ui_;
  skin_test::CHostDialog host_;
};

TEST_F(SkinButtonTest, EachLookShowsItsQuarterOfTheStripStretchedToTheButton) {
  auto button = Make<CSkinButton>(ButtonInfo(2, CRect(10, 10, 42, 30)));
  const POINT centre = testing_ui::UiDriver::CenterOf(button->m_hWnd);
  EXPECT_EQ(ui_.PixelAt(centre), kNormal);
  // Stretched over the whole 32 x 20 rectangle; the strip's 2 spare columns never show.
  EXPECT_EQ(ui_.PixelAt(Screen(*button, 31, 19)), kNormal);
  EXPECT_EQ(ui_.PixelAt(Screen(*button, 0, 0)), kNormal);

  ui_.MoveMouse(centre);
  EXPECT_TRUE(button->IsHover());
  EXPECT_EQ(ui_.PixelAt(centre), kHover);
  ui_.MouseDown(centre);
  EXPECT_EQ(ui_.PixelAt(centre), kPressed);
  ui_.MouseUp(centre);
  EXPECT_EQ(host_.buttons, std::vector<int>{2});

  ui_.MoveMouse(Away());
  EXPECT_FALSE(button->IsHover());
  EXPECT_EQ(ui_.PixelAt(centre), kNormal);
  button->EnableWindow(FALSE);
  ui_.Pump();
  EXPECT_EQ(ui_.PixelAt(centre), kDisabled);
}

TEST_F(SkinButtonTest, AReleaseOutsideAfterAPressInsideReportsNothing) {
  auto button = Make<CSkinButton>(ButtonInfo(0, CRect(10, 10, 42, 30)));
  const POINT centre = testing_ui::UiDriver::CenterOf(button->m_hWnd);
  ui_.MoveMouse(centre);
  ui_.MouseDown(centre);
  ui_.MoveMouse(Away());
  ui_.MouseUp(Away());
  EXPECT_TRUE(host_.buttons.empty());
  ui_.Click(centre);
  EXPECT_EQ(host_.buttons, std::vector<int>{0});
}

TEST_F(SkinButtonTest, AToggleLookShowsOnlyNormalAndChecked) {
  SkinButtonInfo info = ButtonInfo(1, CRect(10, 10, 42, 30));
  info.toggleLook = true;
  auto button = Make<CSkinButton>(std::move(info));
  const POINT centre = testing_ui::UiDriver::CenterOf(button->m_hWnd);
  ui_.MoveMouse(centre);
  EXPECT_EQ(ui_.PixelAt(centre), kNormal);
  ui_.MouseDown(centre);
  EXPECT_EQ(ui_.PixelAt(centre), kNormal);
  ui_.MouseUp(centre);
  button->SetCheck(TRUE);
  ui_.Pump();
  EXPECT_EQ(ui_.PixelAt(centre), kPressed);
  EXPECT_EQ(host_.buttons, std::vector<int>{1});
}

TEST_F(SkinButtonTest, TheKeyColourOfTheStripLetsTheDialogShowThrough) {
  const std::string path = folder_ + "/keyed.bmp";
  WriteFile(path, Bmp24(16, 4, [](int x, int) { return x % 4 < 2 ? kKey : kNormal; }));
  SkinButtonInfo info;
  info.rect = CRect(10, 10, 14, 14);
  ASSERT_TRUE(info.strip.Load(path.c_str()));
  auto button = Make<CSkinButton>(std::move(info));
  EXPECT_EQ(ui_.PixelAt(Screen(*button, 0, 1)), kHostFace);
  EXPECT_EQ(ui_.PixelAt(Screen(*button, 3, 1)), kNormal);
}

TEST_F(SkinButtonTest, AButtonWithoutItsPicturePaintsNothingButStillReportsClicks) {
  SkinButtonInfo info;
  info.index = 4;
  info.rect = CRect(10, 10, 42, 30);
  auto button = Make<CSkinButton>(std::move(info));
  const POINT centre = testing_ui::UiDriver::CenterOf(button->m_hWnd);
  EXPECT_EQ(ui_.PixelAt(centre), kHostFace);
  ui_.MoveMouse(centre);
  ui_.Click(centre);
  EXPECT_EQ(host_.buttons, std::vector<int>{4});
}

TEST_F(SkinButtonTest, ACheckedOptionShowsItsCheckedLookAndReportsEveryClick) {
  SkinOptionInfo info;
  info.name = "OPTION_BATCH";
  info.index = 1;
  info.rect = CRect(60, 10, 92, 30);
  info.strip = Strip();
  auto option = Make<CSkinOptionButton>(std::move(info));
  const POINT centre = testing_ui::UiDriver::CenterOf(option->m_hWnd);
  EXPECT_FALSE(option->IsChecked());
  ui_.MoveMouse(centre);
  EXPECT_EQ(ui_.PixelAt(centre), kHover);
  ui_.Click(centre);
  EXPECT_TRUE(option->IsChecked());
  EXPECT_EQ(host_.options, std::vector<int>{1});

  ui_.MoveMouse(Away());
  ui_.MoveMouse(centre);
  EXPECT_FALSE(option->IsHover());
  EXPECT_EQ(ui_.PixelAt(centre), kPressed);
  ui_.Click(centre);
  EXPECT_TRUE(option->IsChecked());
  EXPECT_EQ(host_.options, (std::vector<int>{1, 1}));
  EXPECT_TRUE(host_.buttons.empty());
}

TEST_F(SkinButtonTest, AnOptionCheckedByItsEntryStartsChecked) {
  SkinOptionInfo info;
  info.rect = CRect(60, 10, 92, 30);
  info.strip = Strip();
  info.checked = true;
  auto option = Make<CSkinOptionButton>(std::move(info));
  EXPECT_EQ(ui_.PixelAt(testing_ui::UiDriver::CenterOf(option->m_hWnd)), kPressed);
}

}  // namespace
