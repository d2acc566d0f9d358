// The Edit Time dialog from a double-click on a row, and the Options dialog from the skin menu.
#include "button_looks.h"
#include "converter_fixture.h"
#include "edit_time_dlg.h"
#include "options_dlg.h"
#include "skin/skin_list_box.h"

namespace app_test {
namespace {

std::string ItemText(HWND dialog, int id) {
  char text[256] = {};
  ::GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

int ComboSelection(HWND dialog, int id) { return int(::SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0)); }

std::vector<std::string> ComboRows(HWND dialog, int id) {
  std::vector<std::string> rows;
  const int count = int(::SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[64] = {};
    ::SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, WPARAM(i), LPARAM(text));
    rows.emplace_back(text);
  }
  return rows;
}

class EditTimeTest : public ConverterTest {
 protected:
  void SetUp() override {
    ConverterTest::SetUp();
    Start();
    AddRow("e:\\a.avi");
    AddRow("e:\\b.avi", "1.5", "4");
  }
  // Double-clicks the row where the user sees it.
  void DoubleClickRow(int row) {
    SelectRow(row);
    CSkinListBoxCtrl* list = dialog_->FileList();
    CRect rect;
    ASSERT_TRUE(list->GetItemRect(row, &rect, LVIR_BOUNDS));
    list->ClientToScreen(&rect);
    ui_.DoubleClick(rect.CenterPoint());
  }
  std::string Cell(int row, int column) const { return dialog_->FileList()->GetItemText(row, column).GetString(); }
  // Types the times and clicks OK.
  static void Enter(testing_ui::UiDriver& ui, HWND dialog, const char* start, const char* end) {
    ::SetDlgItemTextA(dialog, CEditTimeDlg::kStartId, start);
    ::SetDlgItemTextA(dialog, CEditTimeDlg::kEndId, end);
    ui.ClickWindow(::GetDlgItem(dialog, IDOK));
  }
};

TEST_F(EditTimeTest, ARowsTimesAreShownAndOkWritesThemBack) {
  std::string shownStart, shownEnd;
  ui_.AnswerModal(
      [&](testing_ui::UiDriver& ui, HWND dialog) {
        shownStart = ItemText(dialog, CEditTimeDlg::kStartId);
        shownEnd = ItemText(dialog, CEditTimeDlg::kEndId);
        Enter(ui, dialog, "2", "3.25");
      },
      "Edit Time");
  DoubleClickRow(1);
  EXPECT_EQ(shownStart, "1.5");
  EXPECT_EQ(shownEnd, "4");
  EXPECT_EQ(Cell(1, 2), "2.000000");
  EXPECT_EQ(Cell(1, 3), "3.250000");
  EXPECT_EQ(Cell(0, 2), "0");
}

TEST_F(EditTimeTest, AToEndRowShowsTheWholeFileAndCancelKeepsTheRow) {
  Engine().durations["e:\\a.avi"] = 12.5;
  std::string shownStart, shownEnd;
  ui_.AnswerModal(
      [&](testing_ui::UiDriver&, HWND dialog) {
        shownStart = ItemText(dialog, CEditTimeDlg::kStartId);
        shownEnd = ItemText(dialog, CEditTimeDlg::kEndId);
        ::SetDlgItemTextA(dialog, CEditTimeDlg::kStartId, "7");
      },
      "Edit Time");
  ui_.CancelDialog("Edit Time");
  DoubleClickRow(0);
  EXPECT_EQ(shownStart, "0");
  EXPECT_EQ(shownEnd, "12.5");
  EXPECT_EQ(Cell(0, 2), "0");
  EXPECT_EQ(Cell(0, 3), "0");
  EXPECT_EQ(ui_.PendingAnswers(), 0u);
}

TEST_F(EditTimeTest, AFileThatCannotBeOpenedOpensNoDialog) {
  // No answer is scripted: a dialog would fail the test.
  DoubleClickRow(0);
  EXPECT_TRUE(ui_.Seen().empty());
  EXPECT_EQ(Cell(0, 3), "0");
}

TEST_F(EditTimeTest, ImpossibleTimesAreRefusedAndTheDialogStaysOpen) {
  HWND first = nullptr;
  std::vector<HWND> stillOpen;
  ui_.AnswerModal([&](testing_ui::UiDriver& ui, HWND dialog) { first = dialog, Enter(ui, dialog, "-1", "4"); },
                  "Edit Time");
  ui_.AnswerMessageBox(IDOK, "The start time must be 0 or more and before the end time.");
  ui_.AnswerModal([&](testing_ui::UiDriver& ui, HWND dialog) { stillOpen.push_back(dialog), Enter(ui, dialog, "5", "4"); });
  ui_.AnswerMessageBox(IDOK, "before the end time");
  ui_.AnswerModal([&](testing_ui::UiDriver& ui, HWND dialog) { stillOpen.push_back(dialog), Enter(ui, dialog, "4", "4"); });
  ui_.AnswerMessageBox(IDOK, "before the end time");
  ui_.AnswerModal([&](testing_ui::UiDriver& ui, HWND dialog) { stillOpen.push_back(dialog), Enter(ui, dialog, "1x", "4"); });
  ui_.AnswerMessageBox(IDOK, "number");
  // An end of 0 (to the end of the file) takes any start.
  ui_.AnswerModal([&](testing_ui::UiDriver& ui, HWND dialog) { stillOpen.push_back(dialog), Enter(ui, dialog, "9", "0"); });
  DoubleClickRow(1);
  EXPECT_EQ(stillOpen, std::vector<HWND>(4, first));
  EXPECT_EQ(Cell(1, 2), "9.000000");
  EXPECT_EQ(Cell(1, 3), "0.000000");
}

// OK and Cancel are shaded with their icons darkened until the mouse comes.
void CheckOkAndCancel(testing_ui::UiDriver& ui, HWND dialog) {
  const HWND ok = ::GetDlgItem(dialog, IDOK), cancel = ::GetDlgItem(dialog, IDCANCEL);
  EXPECT_NE(nullptr, ShadedButton(dialog, IDOK));
  EXPECT_NE(nullptr, ShadedButton(dialog, IDCANCEL));
  ui.Pump();
  EXPECT_GT(CountColour(ok, kDarkCheckGreen), 0);
  EXPECT_EQ(CountColour(ok, kCheckGreen), 0);
  EXPECT_GT(CountColour(cancel, kDarkCrossRed), 0);
  ui.MoveMouse(testing_ui::UiDriver::CenterOf(ok));
  ui.Pump();
  EXPECT_GT(CountColour(ok, kCheckGreen), 0);
  EXPECT_EQ(CountColour(ok, kDarkCheckGreen), 0);
}

TEST(EditTimeDialog, OkAndCancelAreShadedIconButtons) {
  testing_ui::UiDriver ui;
  CEditTimeDlg dialog;
  ui.AnswerModal([](testing_ui::UiDriver& driver, HWND modal) {
    CheckOkAndCancel(driver, modal);
    driver.ClickWindow(::GetDlgItem(modal, IDOK));
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(EditTimeDialog, RefusedTimesLeaveTheDialogOpen) {
  // The dialog on its own: OK with times the check refuses does not end it.
  testing_ui::UiDriver ui;
  CEditTimeDlg dialog;
  dialog.start = 3;
  dialog.end = 2;
  ui.AnswerModal([](testing_ui::UiDriver& driver, HWND modal) { driver.ClickWindow(::GetDlgItem(modal, IDOK)); });
  ui.AnswerMessageBox(IDOK, "before the end time");
  ui.CancelDialog("Edit Time");
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

class OptionsTest : public ConverterTest {
 protected:
  // The skin menu's "Options", then what the test scripts for the dialog.
  void PickOptions() { ui_.PickMenuItem(kSkinOptionsCommand); }
  // Right-clicks the window's own face, which opens the skin menu.
  void RightClickFace() {
    CRect client;
    dialog_->GetClientRect(&client);
    dialog_->ClientToScreen(&client);
    for (int y = client.top + 2; y < client.bottom; y += 4) {
      for (int x = client.left + 2; x < client.right; x += 4) {
        if (::WindowFromPoint(POINT{x, y}) != dialog_->m_hWnd) continue;
        ui_.Click(POINT{x, y}, VK_RBUTTON);
        return;
      }
    }
    FAIL() << "no free spot on the window";
  }
};

TEST_F(OptionsTest, TheSettingsAreShownAndOkStoresTheChoices) {
  WriteSettings("[SETTING]\nFullQuality=2\nVideoSample=1\nPreFixName=web_\n");
  Start();
  PickOptions();
  std::vector<std::string> sizes, depths;
  int shownSize = -2, shownDepth = -2;
  std::string shownPrefix;
  ui_.AnswerModal(
      [&](testing_ui::UiDriver& ui, HWND dialog) {
        sizes = ComboRows(dialog, COptionsDlg::kSizeId);
        depths = ComboRows(dialog, COptionsDlg::kDepthId);
        shownSize = ComboSelection(dialog, COptionsDlg::kSizeId);
        shownDepth = ComboSelection(dialog, COptionsDlg::kDepthId);
        shownPrefix = ItemText(dialog, COptionsDlg::kPrefixId);
        ::SendDlgItemMessageA(dialog, COptionsDlg::kSizeId, CB_SETCURSEL, 9, 0);
        ::SendDlgItemMessageA(dialog, COptionsDlg::kDepthId, CB_SETCURSEL, 2, 0);
        ::SetDlgItemTextA(dialog, COptionsDlg::kPrefixId, "hd_");
        ui.ClickWindow(::GetDlgItem(dialog, IDOK));
      },
      "Options");
  CRecordingEngine::ClearCalls();
  RightClickFace();
  EXPECT_EQ(sizes, (std::vector<std::string>{"320x240", "352x288", "480x480", "480x576", "640x480", "704x576",
                                             "720x480", "720x576", "1024x768", "1280x720"}));
  EXPECT_EQ(depths, (std::vector<std::string>{"16 bit", "24 bit", "32 bit"}));
  EXPECT_EQ(shownSize, 2);
  EXPECT_EQ(shownDepth, 1);
  EXPECT_EQ(shownPrefix, "web_");
  EXPECT_EQ(CRecordingEngine::calls, std::vector<std::string>{"Stop()"});
  EXPECT_EQ(dialog_->Settings().fullScreenSize, 9);
  EXPECT_EQ(dialog_->Settings().previewDepth, 2);
  EXPECT_STREQ(dialog_->Settings().prefixName, "hd_");

  // They reach the settings file with the window.
  dialog_->DestroyWindow();
  EXPECT_NE(ReadSettings().find("FullQuality=9\nVideoSample=2\nPreFixName=hd_\n"), std::string::npos);
}

TEST_F(OptionsTest, OkAndCancelAreShadedIconButtonsAndCancelCloses) {
  Start();
  PickOptions();
  ui_.AnswerModal(
      [&](testing_ui::UiDriver& ui, HWND dialog) {
        CheckOkAndCancel(ui, dialog);
        ui.ClickWindow(::GetDlgItem(dialog, IDCANCEL));
      },
      "Options");
  RightClickFace();
  EXPECT_EQ(ui_.PendingAnswers(), 0u);
}

TEST_F(OptionsTest, CancelKeepsEverySettingEvenAChangedPrefix) {
  WriteSettings("[SETTING]\nFullQuality=3\nVideoSample=0\nPreFixName=web_\n");
  Start();
  PickOptions();
  ui_.AnswerModal(
      [&](testing_ui::UiDriver&, HWND dialog) {
        ::SendDlgItemMessageA(dialog, COptionsDlg::kSizeId, CB_SETCURSEL, 0, 0);
        ::SetDlgItemTextA(dialog, COptionsDlg::kPrefixId, "changed");
      },
      "Options");
  ui_.CancelDialog("Options");
  RightClickFace();
  EXPECT_EQ(dialog_->Settings().fullScreenSize, 3);
  EXPECT_EQ(dialog_->Settings().previewDepth, 0);
  EXPECT_STREQ(dialog_->Settings().prefixName, "web_");
}

TEST_F(OptionsTest, ADepthOutsideTheRowsShowsNoneAndOkStoresNone) {
  WriteSettings("[SETTING]\nFullQuality=4\nVideoSample=7\n");
  Start();
  PickOptions();
  int shownDepth = -2;
  ui_.AnswerModal(
      [&](testing_ui::UiDriver& ui, HWND dialog) {
        shownDepth = ComboSelection(dialog, COptionsDlg::kDepthId);
        ui.ClickWindow(::GetDlgItem(dialog, IDOK));
      },
      "Options");
  RightClickFace();
  EXPECT_EQ(shownDepth, CB_ERR);
  EXPECT_EQ(dialog_->Settings().previewDepth, -1);
  EXPECT_EQ(dialog_->Settings().fullScreenSize, 4);
}

}  // namespace
}  // namespace app_test
