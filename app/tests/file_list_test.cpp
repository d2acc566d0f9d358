// The file list and the choices around it: adding files through the open dialog, ordering,
// removing, the output folder or file, the mode options, and a skin switch keeping it all.
#include <filesystem>
#include <fstream>

#include "converter_fixture.h"
#include "skin/skin_edit.h"
#include "skin/skin_list_box.h"

namespace app_test {
namespace {

class FileListTest : public ConverterTest {
 protected:
  void StartWithRows() {
    Start();
    AddRow("e:\\a.avi");
    AddRow("e:\\b.avi", "1.5", "4");
    AddRow("e:\\c.avi");
  }
  int Selected() const { return dialog_->FileList()->GetSelectionMark(); }
  std::vector<int> SelectedRows() const {
    std::vector<int> rows;
    CSkinListBoxCtrl* list = dialog_->FileList();
    for (int i = 0; i < list->GetItemCount(); ++i)
      if (list->GetItemState(i, LVIS_SELECTED)) rows.push_back(i);
    return rows;
  }
  // The platform's form of a file in the program folder.
  std::string InFolder(const std::string& name) const {
    std::string path = folder_ + "/" + name;
    for (char& c : path)
      if (c == '/') c = '\\';
    return path;
  }
};

TEST_F(FileListTest, AddedFilesAppendRowsInTheDialogsOrderAndTheLastIsSelected) {
  for (const char* name : {"a.avi", "b.avi", "c.avi"}) std::ofstream(folder_ + "/" + name) << "clip";
  Start();
  AddRow("e:\\first.avi");
  SelectRow(0);
  ui_.AnswerFileDialog({"c.avi", "a.avi", "b.avi"}, "Open");
  ClickButton("BUTTON_ADD");
  EXPECT_EQ(RowPaths(),
            (std::vector<std::string>{"e:\\first.avi", InFolder("c.avi"), InFolder("a.avi"), InFolder("b.avi")}));
  CSkinListBoxCtrl* list = dialog_->FileList();
  EXPECT_STREQ(list->GetItemText(2, 2), "0");
  EXPECT_STREQ(list->GetItemText(2, 3), "0");
  EXPECT_EQ(Selected(), 3);
  EXPECT_EQ(SelectedRows(), std::vector<int>{3});

  // One file comes back as one full path; cancelling adds nothing.
  ui_.AnswerFileDialog({"a.avi"}, "Open");
  ClickButton("BUTTON_ADD");
  EXPECT_EQ(RowPaths().back(), InFolder("a.avi"));
  ui_.CancelDialog("Open");
  ClickButton("BUTTON_ADD");
  EXPECT_EQ(RowPaths().size(), 5u);
}

// Full paths typed together from two folders: the dialog answers with the folder above both, and
// each row is the whole path of its file.
TEST_F(FileListTest, FullPathsTypedTogetherFromOtherFoldersAddTheirFiles) {
  std::filesystem::create_directories(folder_ + "/one");
  std::filesystem::create_directories(folder_ + "/two");
  std::ofstream(folder_ + "/one/x.avi") << "clip";
  std::ofstream(folder_ + "/two/y.avi") << "clip";
  Start();
  ui_.AnswerFileDialog({InFolder("two\\y.avi"), InFolder("one\\x.avi")}, "Open");
  ClickButton("BUTTON_ADD");
  EXPECT_EQ(RowPaths(), (std::vector<std::string>{InFolder("two\\y.avi"), InFolder("one\\x.avi")}));
}

TEST_F(FileListTest, TheFileChoosersStayAboveTheMainWindowWhichWaitsForThem) {
  // Otherwise a click on the main window hides the chooser behind it, and the main window takes
  // clicks (Convert, Close) while a chooser is still open.
  Start();
  auto ownedByTheMainWindow = [this](testing_ui::UiDriver& ui, HWND chooser) {
    EXPECT_EQ(::GetWindow(chooser, GW_OWNER), dialog_->m_hWnd);
    EXPECT_FALSE(dialog_->IsWindowEnabled());
    ui.ClickWindow(::GetDlgItem(chooser, IDCANCEL));
  };
  ui_.AnswerModal(ownedByTheMainWindow, "Open");
  ClickButton("BUTTON_ADD");
  ClickOption("OPTION_MERGE");
  ui_.AnswerModal(ownedByTheMainWindow, "Save As");
  ClickButton("BUTTON_BROWSE");
  EXPECT_TRUE(dialog_->IsWindowEnabled());
}

TEST_F(FileListTest, UpAndDownMoveTheSelectedRowAndStopAtTheEnds) {
  StartWithRows();
  SelectRow(0);
  ClickButton("BUTTON_UP");
  EXPECT_EQ(RowPaths(), (std::vector<std::string>{"e:\\a.avi", "e:\\b.avi", "e:\\c.avi"}));
  ClickButton("BUTTON_DOWN");
  EXPECT_EQ(RowPaths(), (std::vector<std::string>{"e:\\b.avi", "e:\\a.avi", "e:\\c.avi"}));
  EXPECT_EQ(Selected(), 1);
  // The times travel with their file.
  EXPECT_STREQ(dialog_->FileList()->GetItemText(0, 2), "1.5");
  ClickButton("BUTTON_DOWN");
  EXPECT_EQ(RowPaths(), (std::vector<std::string>{"e:\\b.avi", "e:\\c.avi", "e:\\a.avi"}));
  EXPECT_EQ(Selected(), 2);
  ClickButton("BUTTON_DOWN");
  EXPECT_EQ(RowPaths(), (std::vector<std::string>{"e:\\b.avi", "e:\\c.avi", "e:\\a.avi"}));
  ClickButton("BUTTON_UP");
  ClickButton("BUTTON_UP");
  EXPECT_EQ(RowPaths(), (std::vector<std::string>{"e:\\a.avi", "e:\\b.avi", "e:\\c.avi"}));
  EXPECT_EQ(Selected(), 0);
}

TEST_F(FileListTest, RemoveTakesTheSelectedRowsAndClearTakesAll) {
  StartWithRows();
  SelectRow(1);
  ClickButton("BUTTON_DEL");
  EXPECT_EQ(RowPaths(), (std::vector<std::string>{"e:\\a.avi", "e:\\c.avi"}));
  ClickButton("BUTTON_DELALL");
  EXPECT_TRUE(RowPaths().empty());
  // Nothing to move.
  ClickButton("BUTTON_UP");
  ClickButton("BUTTON_DOWN");
  EXPECT_TRUE(RowPaths().empty());
}

TEST_F(FileListTest, TheOptionsSwitchTheOutputBoxBetweenFolderAndFile) {
  WriteSettings("[SETTING]\nBATCHMODE=T\nOUTPUTFOLDER=d:\\out\nMERGEFILE=d:\\all.avi\n");
  Start();
  ClickOption("OPTION_MERGE");
  EXPECT_FALSE(dialog_->IsBatchMode());
  EXPECT_EQ(OutputText(), "d:\\all.avi");
  EXPECT_STREQ(dialog_->FindLabel("LABEL_OUTPUTFILE")->Text(), "Output File");
  EXPECT_EQ(dialog_->Settings().mergeOption, 1);
  ClickOption("OPTION_BATCH");
  EXPECT_TRUE(dialog_->IsBatchMode());
  EXPECT_EQ(OutputText(), "d:\\out");
  EXPECT_STREQ(dialog_->FindLabel("LABEL_OUTPUTFILE")->Text(), "Output Folder");
  EXPECT_EQ(dialog_->Settings().batchOption, 1);
  EXPECT_EQ(dialog_->Settings().mergeOption, 0);
}

TEST_F(FileListTest, BrowseChoosesTheFolderAndCancellingKeepsTheOldOne) {
  WriteSettings("[SETTING]\nBATCHMODE=T\nOUTPUTFOLDER=d:\\out\n");
  std::filesystem::create_directories(folder_ + "/converted");
  Start();
  ui_.AnswerFolderBrowser(InFolder("converted"));
  ClickButton("BUTTON_BROWSE");
  EXPECT_EQ(OutputText(), InFolder("converted"));
  EXPECT_STREQ(dialog_->Settings().outputFolder, InFolder("converted").c_str());
  ui_.CancelDialog();
  ClickButton("BUTTON_BROWSE");
  EXPECT_EQ(OutputText(), InFolder("converted"));
  EXPECT_STREQ(dialog_->Settings().outputFolder, InFolder("converted").c_str());
}

TEST_F(FileListTest, BrowseInMergeModeChoosesTheMergeFile) {
  WriteSettings("[SETTING]\nBATCHMODE=F\nMERGEMODE=T\nMERGEFILE=d:\\all.avi\n");
  Start();
  ui_.AnswerFileDialog({"joined"}, "Save As");
  ClickButton("BUTTON_BROWSE");
  EXPECT_EQ(OutputText(), InFolder("joined.avi"));
  EXPECT_STREQ(dialog_->Settings().mergeFile, InFolder("joined.avi").c_str());
  ui_.CancelDialog("Save As");
  ClickButton("BUTTON_BROWSE");
  EXPECT_STREQ(dialog_->Settings().mergeFile, InFolder("joined.avi").c_str());
}

TEST_F(FileListTest, ASkinSwitchKeepsRowsTimesSelectionAndMode) {
  WriteSettings("[SETTING]\nBATCHMODE=F\nMERGEMODE=T\nMERGEFILE=d:\\all.avi\n");
  StartWithRows();
  SelectRow(1);
  CRecordingEngine::ClearCalls();
  ui_.PickMenuItem(kFirstSkinCommand);
  CRect client;
  dialog_->GetClientRect(&client);
  dialog_->ClientToScreen(&client);
  ui_.Click({client.left + 200, client.top + 20}, VK_RBUTTON);
  EXPECT_EQ(CRecordingEngine::calls.front(), "Stop()");
  EXPECT_EQ(RowPaths(), (std::vector<std::string>{"e:\\a.avi", "e:\\b.avi", "e:\\c.avi"}));
  EXPECT_STREQ(dialog_->FileList()->GetItemText(1, 2), "1.500000");
  EXPECT_STREQ(dialog_->FileList()->GetItemText(1, 3), "4.000000");
  EXPECT_STREQ(dialog_->FileList()->GetItemText(0, 3), "0.000000");
  EXPECT_EQ(Selected(), 1);
  EXPECT_EQ(SelectedRows(), std::vector<int>{1});
  EXPECT_FALSE(dialog_->IsBatchMode());
  EXPECT_EQ(OutputText(), "d:\\all.avi");
}

TEST_F(FileListTest, ASkinSwitchShowsTheProfileBoxAsBefore) {
  // The box's text is set after the new face is built; the face's painting must not cover it.
  WriteProfile("1_Web.ini", Profile("Web"));
  Start();
  ui_.Pump();
  const testing_ui::Image before = testing_ui::UiDriver::CaptureWindow(dialog_->ProfileCombo()->m_hWnd);
  ui_.PickMenuItem(kFirstSkinCommand);
  CRect client;
  dialog_->GetClientRect(&client);
  dialog_->ClientToScreen(&client);
  ui_.Click({client.left + 200, client.top + 20}, VK_RBUTTON);
  const testing_ui::Image after = testing_ui::UiDriver::CaptureWindow(dialog_->ProfileCombo()->m_hWnd);
  EXPECT_TRUE(before.pixels == after.pixels);
}

TEST_F(FileListTest, ASkinSwitchWithoutASelectionSelectsNothing) {
  StartWithRows();
  ui_.PickMenuItem(kFirstSkinCommand);
  CRect client;
  dialog_->GetClientRect(&client);
  dialog_->ClientToScreen(&client);
  ui_.Click({client.left + 200, client.top + 20}, VK_RBUTTON);
  EXPECT_EQ(RowPaths().size(), 3u);
  EXPECT_TRUE(SelectedRows().empty());
}

}  // namespace
}  // namespace app_test
