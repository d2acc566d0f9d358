// The skin's edit boxes: text on the skin's background inside a frame of the skin's colour, the
// font they are given, and the black defaults of the combo box's edit.
#include <gtest/gtest.h>

#include <cstdlib>

#include "skin/skin_edit.h"
#include "test_host.h"
#include "testing/ui_driver.h"

namespace {

using skin_test::TestHost;
using testing_ui::UiDriver;

constexpr COLORREF kBack = RGB(250, 240, 200);
constexpr COLORREF kText = RGB(200, 0, 0);
constexpr COLORREF kFrame = RGB(0, 0, 255);

int CountOf(const testing_ui::Image& image, COLORREF colour) {
  int count = 0;
  for (COLORREF pixel : image.pixels) count += pixel == colour;
  return count;
}

struct EditTest : ::testing::Test {
  UiDriver ui;
  TestHost host{0, 0, 300, 200};
};

TEST_F(EditTest, TextOnTheSkinsBackgroundInsideItsFrame) {
  SkinEditBoxInfo info;
  info.name = "EDIT_OUTPUT";
  info.index = 0;
  info.rect = CRect(20, 20, 220, 50);
  info.backColour = kBack;
  info.textColour = kText;
  info.frameColour = kFrame;
  CColorFontEdit edit;
  ASSERT_TRUE(edit.CreateFromSkin(info, &host));
  EXPECT_EQ(edit.GetName(), "EDIT_OUTPUT");
  edit.SetWindowText("Hello");
  ui.Pump();

  const auto image = UiDriver::CaptureWindow(edit.m_hWnd);
  EXPECT_EQ(image.At(image.width - 3, image.height - 3), kBack);
  EXPECT_GT(CountOf(image, kText), 10);
  // It shows what the program writes and takes no typing.
  ui.ClickWindow(edit.m_hWnd);
  ui.Type("xyz");
  CString text;
  edit.GetWindowText(text);
  EXPECT_EQ(text, "Hello");
  // One pixel outside the edit, on the dialog.
  CPoint corner(19, 19), below(100, 50), inside(21, 21);
  host.ClientToScreen(&corner);
  host.ClientToScreen(&below);
  EXPECT_EQ(UiDriver::PixelAt(corner), kFrame);
  EXPECT_EQ(UiDriver::PixelAt(below), kFrame);

  edit.SetBackColour(RGB(0, 128, 0));
  edit.Invalidate();
  ui.Pump();
  EXPECT_EQ(UiDriver::CaptureWindow(edit.m_hWnd).At(image.width - 3, image.height - 3), RGB(0, 128, 0));
}

TEST_F(EditTest, FontFollowsSizeStyleAndFace) {
  CColorFontEdit edit;
  SkinEditBoxInfo info;
  info.rect = CRect(20, 20, 220, 60);
  ASSERT_TRUE(edit.CreateFromSkin(info, &host));
  edit.SetFontStyle(TRUE, TRUE, FALSE);
  LOGFONT font{};
  ASSERT_NE(edit.GetFont(), nullptr);
  edit.GetFont()->GetLogFont(&font);
  EXPECT_EQ(font.lfWeight, FW_BOLD);
  EXPECT_TRUE(font.lfItalic);
  EXPECT_FALSE(font.lfUnderline);
  EXPECT_STREQ(font.lfFaceName, "Arial");
  const LONG twentyPoints = std::abs(font.lfHeight);
  edit.SetFontSize(100);
  edit.GetFont()->GetLogFont(&font);
  EXPECT_NEAR(std::abs(font.lfHeight) * 2, twentyPoints, 1);  // half, rounded
  edit.SetFaceName("Courier New");
  edit.GetFont()->GetLogFont(&font);
  EXPECT_STREQ(font.lfFaceName, "Courier New");
  EXPECT_EQ(font.lfWeight, FW_BOLD);
}

TEST_F(EditTest, DefaultsOfTheTwoKinds) {
  SkinEditBoxInfo info;  // no colours given: the defaults stay
  info.rect = CRect(20, 20, 220, 50);
  CColorFontEdit edit;
  ASSERT_TRUE(edit.CreateFromSkin(info, &host));
  EXPECT_EQ(edit.GetFrameColour(), RGB(255, 255, 255));
  CSkinEdit comboEdit;
  info.rect = CRect(20, 80, 220, 110);
  ASSERT_TRUE(comboEdit.CreateFromSkin(info, &host));
  ui.Pump();
  const auto plain = UiDriver::CaptureWindow(edit.m_hWnd);
  const auto black = UiDriver::CaptureWindow(comboEdit.m_hWnd);
  EXPECT_EQ(plain.At(5, 5), RGB(152, 227, 231));
  EXPECT_EQ(black.At(5, 5), RGB(0, 0, 0));
  EXPECT_EQ(comboEdit.GetFrameColour(), RGB(0, 0, 0));
}

}  // namespace
