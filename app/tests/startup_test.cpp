// Start-up and shutdown of the main window: settings, skins, profiles, the engine's first
// property, the conversion mode shown, and what is written when the window goes away.
#include <algorithm>

#include "app_resources.h"
#include "converter_fixture.h"
#include "skin/skin_combo_box.h"
#include "skin/skin_list_box.h"

namespace app_test {
namespace {

TEST_F(ConverterTest, AFirstStartShowsBatchModeIntoTheDefaultFolderWithTheFirstSkin) {
  Start();
  EXPECT_TRUE(dialog_->IsBatchMode());
  EXPECT_EQ(OutputText(), "c:\\");
  ASSERT_NE(dialog_->FindLabel("LABEL_OUTPUTFILE"), nullptr);
  EXPECT_STREQ(dialog_->FindLabel("LABEL_OUTPUTFILE")->Text(), "Output Folder");
  ASSERT_EQ(dialog_->SkinNames().size(), 1u);
  EXPECT_STREQ(dialog_->SkinNames()[0], "Default");
  // The fallback to the first skin is what the menu and the saved settings show.
  EXPECT_EQ(dialog_->SelectedSkin(), 2);
  // The window takes the skin's size and the engine sits where the skin puts it.
  CRect window;
  dialog_->GetWindowRect(&window);
  EXPECT_EQ(window.Width(), dialog_->Skin().background.Width());
  ASSERT_TRUE(dialog_->Skin().controlRect);
  CRect engine;
  dialog_->engine.GetWindowRect(&engine);
  dialog_->ScreenToClient(&engine);
  EXPECT_EQ(engine, *dialog_->Skin().controlRect);
  EXPECT_TRUE(dialog_->engine.IsWindowVisible());
  // The first thing the window tells the engine is where it lives.
  ASSERT_FALSE(Engine().calls.empty());
  EXPECT_EQ(Engine().calls.front(),
            "ParenthWnd=" + std::to_string(static_cast<long>(reinterpret_cast<INT_PTR>(dialog_->m_hWnd))));
}

TEST_F(ConverterTest, SavedSettingsAreShownAndASkinPastTheListFallsBackToTheFirst) {
  WriteSettings("[SETTING]\nSelSkin=9\nFullQuality=3\nVideoSample=2\nPreFixName=web\nBATCHMODE=F\nMERGEMODE=T\n"
                "OUTPUTFOLDER=d:\\out\nMERGEFILE=d:\\all.avi\n");
  Start();
  EXPECT_FALSE(dialog_->IsBatchMode());
  EXPECT_EQ(OutputText(), "d:\\all.avi");
  EXPECT_STREQ(dialog_->FindLabel("LABEL_OUTPUTFILE")->Text(), "Output File");
  EXPECT_EQ(dialog_->SelectedSkin(), 2);
  EXPECT_STREQ(dialog_->Settings().prefixName, "web");
  // Relative names (a profile's overlay image) are found in the program folder.
  char current[MAX_PATH * 4];
  ASSERT_GT(GetCurrentDirectory(sizeof current, current), 0u);
  std::string expected = folder_;
  std::replace(expected.begin(), expected.end(), '/', '\\');
  EXPECT_EQ(std::string(current), expected);
  EXPECT_EQ(dialog_->Settings().fullScreenSize, 3);
  EXPECT_EQ(dialog_->Settings().previewDepth, 2);
}

TEST_F(ConverterTest, ProfilesFillTheComboBoxInFileOrderAndTheFirstIsShown) {
  WriteProfile("2_Second.ini", Profile("Second"));
  WriteProfile("1_First.ini", Profile("First"));
  Start();
  ASSERT_EQ(dialog_->Profiles().size(), 2u);
  EXPECT_STREQ(dialog_->Profiles()[0]->name, "First");
  CSkinComboBox* combo = dialog_->ProfileCombo();
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->GetDropList().GetItemCount(), 2);
  EXPECT_STREQ(combo->GetDropList().GetItemText(1, 0), "Second");
  CString shown;
  combo->GetEdit().GetWindowText(shown);
  EXPECT_STREQ(shown, "First");
}

TEST_F(ConverterTest, NoProfilesLeaveTheComboBoxEmpty) {
  Start();
  EXPECT_TRUE(dialog_->Profiles().empty());
  EXPECT_EQ(dialog_->ProfileCombo()->GetDropList().GetItemCount(), 0);
}

TEST_F(ConverterTest, ClosingStopsTheEngineAndWritesEverySetting) {
  const INT_PTR result = RunModal([&] {
    ClickOption("OPTION_MERGE");
    CRecordingEngine::ClearCalls();
    ClickButton("BUTTON_EXIT");
  });
  EXPECT_EQ(result, IDOK);
  // Stop is the last call the engine hears before the window goes.
  EXPECT_EQ(CRecordingEngine::calls, std::vector<std::string>{"Stop()"});
  EXPECT_EQ(ReadSettings(),
            "[SETTING]\nSelSkin=2\nFullQuality=0\nVideoSample=0\nPreFixName=\nBATCHMODE=F\nMERGEMODE=T\n"
            "OUTPUTFOLDER=c:\\\nMERGEFILE=c:\\mymerge.avi\n");
}

}  // namespace
}  // namespace app_test
