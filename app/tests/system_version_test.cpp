// What differs between older and newer systems: the filter libraries registered at start-up, and
// the default output asking for a real folder or file before converting. Runs in the main test
// process (an older system) and again in one that reports a newer one.
#include <algorithm>
#include <filesystem>

#include "converter_fixture.h"
#include "converter_rows.h"

namespace app_test {
namespace {

class SystemVersionTest : public ConverterTest {
 protected:
  bool Newer() const { return MajorVersion() > 5; }
  std::string InFolder(const std::string& name) const {
    std::string path = folder_ + "/" + name;
    for (char& c : path)
      if (c == '/') c = '\\';
    return path;
  }
  void StartWith(const std::string& settings) {
    WriteProfile("1_Web.ini", Profile("Web"));
    WriteSettings(settings);
    Start();
    Engine().durations = {{"e:\\a.avi", 4}};
    AddRow("e:\\a.avi");
    CRecordingEngine::ClearCalls();
  }
  void CompleteInProgressWindow() {
    ui_.AnswerModal([this](testing_ui::UiDriver&, HWND) { Engine().FireComplete(); });
  }
  static std::vector<std::string> Saves() { return CRecordingEngine::CallsStartingWith("Save("); }
};

TEST_F(SystemVersionTest, FilterLibrariesOfTheProgramFolderAreRegisteredOnOlderSystemsOnly) {
  std::string bin(CConverterDlg::GetProgramFolder().GetString());
  std::replace(bin.begin(), bin.end(), '\\', '/');
  std::filesystem::copy_file(bin + "/Halden.dll", folder_ + "/Halden.dll");
  Start();
  HKEY key = nullptr;
  const bool registered =
      RegOpenKeyExA(HKEY_CLASSES_ROOT, "Media Type\\Extensions\\.mov", 0, KEY_READ, &key) == ERROR_SUCCESS;
  if (key) RegCloseKey(key);
  EXPECT_EQ(registered, !Newer());
}

TEST_F(SystemVersionTest, TheDefaultOutputFolderAsksForAFolderOnNewerSystems) {
  std::filesystem::create_directories(folder_ + "/chosen");
  StartWith("[SETTING]\nBATCHMODE=T\nOUTPUTFOLDER=c:\\\n");
  if (Newer()) ui_.AnswerFolderBrowser(InFolder("chosen"));
  CompleteInProgressWindow();
  ClickButton("BUTTON_CONVERT");
  EXPECT_EQ(Saves(), std::vector<std::string>{Newer() ? "Save(" + InFolder("chosen") + "\\a_New.avi)"
                                                      : "Save(c:\\\\a_New.avi)"});
}

TEST_F(SystemVersionTest, CancellingTheQuestionForAnOutputConvertsNothing) {
  if (!Newer()) GTEST_SKIP() << "older systems do not ask";
  StartWith("[SETTING]\nBATCHMODE=T\nOUTPUTFOLDER=c:\\\n");
  ui_.CancelDialog("Browse for Folder");
  ClickButton("BUTTON_CONVERT");
  EXPECT_TRUE(Saves().empty());
  EXPECT_EQ(OutputText(), "c:\\");
  EXPECT_EQ(dialog_->CurrentRow(), 0);

  ClickOption("OPTION_MERGE");
  CRecordingEngine::ClearCalls();
  ui_.CancelDialog("Save As");
  ClickButton("BUTTON_CONVERT");
  EXPECT_TRUE(Saves().empty());
}

TEST_F(SystemVersionTest, AnotherOutputFolderIsUsedAsItIs) {
  StartWith("[SETTING]\nBATCHMODE=T\nOUTPUTFOLDER=d:\\\n");
  CompleteInProgressWindow();
  ClickButton("BUTTON_CONVERT");
  EXPECT_EQ(Saves(), std::vector<std::string>{"Save(d:\\\\a_New.avi)"});
}

TEST_F(SystemVersionTest, TheDefaultMergeFileAsksForAFileOnNewerSystems) {
  StartWith("[SETTING]\nBATCHMODE=F\nMERGEMODE=T\nMERGEFILE=c:\\mymerge.avi\n");
  if (Newer()) ui_.AnswerFileDialog({"joined"}, "Save As");
  CompleteInProgressWindow();
  ClickButton("BUTTON_CONVERT");
  EXPECT_EQ(Saves(), std::vector<std::string>{Newer() ? "Save(" + InFolder("joined.avi") + ")"
                                                      : "Save(c:\\mymerge.avi)"});
}

}  // namespace
}  // namespace app_test
