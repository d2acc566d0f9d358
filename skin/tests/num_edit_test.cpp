// The numeric edit and its spin: the decimals it shows, its range, what it makes of typing and
// of text it is given, and the spin moving it by its delta without running out of clicks.
#include <gtest/gtest.h>

#include "skin/num_edit.h"
#include "skin/number_spin.h"
#include "test_host.h"
#include "testing/ui_driver.h"

namespace {

using skin_test::TestHost;
using testing_ui::UiDriver;

std::string TextOf(const CWnd& window) {
  CString text;
  window.GetWindowText(text);
  return text.GetString();
}

struct NumEditTest : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(10, 10, 150, 30), &host, 5));
    ui.Pump();
  }
  UiDriver ui;
  TestHost host{0, 0, 300, 200};
  CNumEdit edit;
};

TEST_F(NumEditTest, DecimalsWidenAndNeverShrink) {
  EXPECT_TRUE(edit.SetValue(3));
  EXPECT_EQ(TextOf(edit), "3");
  EXPECT_TRUE(edit.SetValue(1.25f));
  EXPECT_EQ(TextOf(edit), "1.25");
  EXPECT_TRUE(edit.SetValue(2));
  EXPECT_EQ(TextOf(edit), "2.00");
  EXPECT_FLOAT_EQ(edit.GetValue(), 2);
}

TEST_F(NumEditTest, TheRangeHoldsForValuesSteppingAndText) {
  edit.SetRange(-1, 10);
  edit.SetDelta(4);
  ASSERT_TRUE(edit.SetValue(5));
  EXPECT_FALSE(edit.SetValue(10.5f));
  EXPECT_FALSE(edit.SetValue(-2));
  EXPECT_EQ(TextOf(edit), "5");
  edit.ChangeAmount(1);
  EXPECT_EQ(TextOf(edit), "9");
  edit.ChangeAmount(1);
  EXPECT_EQ(TextOf(edit), "10");
  edit.ChangeAmount(-5);
  EXPECT_EQ(TextOf(edit), "-1");

  // Text that is not a number in range reads as the minimum.
  for (const char* text : {"", "abc", "12", "4x", "nan", "inf", "0x4", "1e2"}) {
    edit.SetWindowText(text);
    EXPECT_FLOAT_EQ(edit.GetValue(), -1) << text;
  }
  edit.SetWindowText(" 2.5 ");
  EXPECT_FLOAT_EQ(edit.GetValue(), 2.5f);
}

TEST_F(NumEditTest, ValidityOfTextsAndTheVerboseMessages) {
  edit.SetRange(0, 100);
  EXPECT_EQ(edit.IsValid("42"), CNumEdit::kValid);
  EXPECT_EQ(edit.IsValid("1e2"), CNumEdit::kValid);
  EXPECT_EQ(edit.IsValid("-"), CNumEdit::kUnfinishedSign);
  EXPECT_EQ(edit.IsValid("+"), CNumEdit::kUnfinishedSign);
  EXPECT_EQ(edit.IsValid("101"), CNumEdit::kOutOfRange);
  EXPECT_EQ(edit.IsValid("-0.5"), CNumEdit::kOutOfRange);
  for (const char* text : {"", "x", "5 5", "5%", "nan", "-inf", "0x10", "1e400"})
    EXPECT_EQ(edit.IsValid(text), CNumEdit::kNotANumber) << text;

  edit.SetVerbose(TRUE);
  ui.AnswerMessageBox(IDOK, "Given value is out of range.");
  EXPECT_EQ(edit.IsValid("200"), CNumEdit::kOutOfRange);
  ui.AnswerMessageBox(IDOK, "Characters must be a number.");
  EXPECT_EQ(edit.IsValid("2a"), CNumEdit::kNotANumber);
  // An unfinished sign is not worth a message.
  EXPECT_EQ(edit.IsValid("-"), CNumEdit::kUnfinishedSign);
  ASSERT_EQ(ui.Seen().size(), 2u);
  EXPECT_EQ(ui.Seen()[0].type & MB_ICONMASK, UINT(MB_ICONSTOP));
}

TEST_F(NumEditTest, TypingKeepsANumberAndPutsTheLastOneBack) {
  edit.SetFocus();
  ui.Type("-");
  EXPECT_EQ(TextOf(edit), "-");
  ui.Type("1.5 ");
  EXPECT_EQ(TextOf(edit), "-1.5");

  // A letter restores the value, selected.
  ui.Type("q");
  EXPECT_EQ(TextOf(edit), "-1.5");
  int start = -1, end = -1;
  edit.GetSel(start, end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 4);
  // Typing over the selection: the typed decimals are remembered.
  ui.Type("7.125");
  EXPECT_EQ(TextOf(edit), "7.125");
  EXPECT_TRUE(edit.SetValue(1));
  EXPECT_EQ(TextOf(edit), "1.000");

  // Verbose, the refusal is explained.
  edit.SetVerbose(TRUE);
  ui.AnswerMessageBox(IDOK, "Characters must be a number.");
  ui.Type("z");
  EXPECT_EQ(TextOf(edit), "1.000");
}

struct NumberSpinTest : NumEditTest {
  void SetUp() override {
    NumEditTest::SetUp();
    ASSERT_TRUE(spin.Create(WS_CHILD | WS_VISIBLE, CRect(150, 10, 166, 40), &host, 6));
    ui.Pump();
  }
  void Click(bool up) { ui.Click(TestHost::ScreenPoint(spin, 8, up ? 5 : 25)); }
  CNumberSpinCtrl spin;
};

TEST_F(NumberSpinTest, ClicksMoveTheBuddyByItsDeltaWithinTheRange) {
  edit.SetWindowText("7");
  spin.SetBuddy(&edit);
  EXPECT_EQ(TextOf(edit), "0");
  spin.SetRange(0, 2);
  spin.SetDelta(0.25f);
  spin.SetPos(1);
  EXPECT_EQ(spin.GetPos32(), 500);
  float low = -1, high = -1;
  spin.GetRange(low, high);
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 2);
  EXPECT_FLOAT_EQ(spin.GetDelta(), 0.25f);

  Click(true);
  EXPECT_EQ(TextOf(edit), "1.25");
  for (int i = 0; i < 4; ++i) Click(true);
  EXPECT_EQ(TextOf(edit), "2.00");
  Click(false);
  EXPECT_FLOAT_EQ(spin.GetPos(), 1.75f);

  // Near the end of its own range the position goes back to the middle: clicks never run out.
  spin.SetPos32(1000);
  Click(false);
  EXPECT_EQ(spin.GetPos32(), 499);
  EXPECT_EQ(TextOf(edit), "1.50");
}

TEST_F(NumberSpinTest, WithoutANumericBuddyItDoesNothing) {
  CEdit plain;
  ASSERT_TRUE(plain.Create(WS_CHILD | WS_VISIBLE, CRect(10, 50, 100, 70), &host, 7));
  plain.SetWindowText("7");
  spin.SetBuddy(&plain);
  spin.SetDelta(3);
  spin.SetPos(4);
  spin.SetRange(0, 9);
  Click(true);
  EXPECT_EQ(TextOf(plain), "7");
  EXPECT_EQ(spin.GetPos(), 0);
  EXPECT_EQ(spin.GetDelta(), 0);
  // The edit the spin does not drive keeps what it had.
  EXPECT_EQ(TextOf(edit), "");
}

}  // namespace
