// The program on the real road: the real engine and overlay modules registered from the program
// folder, the default skin, the shipped profiles. Three generated clips are added through the
// open dialog, converted one by one and merged into one file, and every output is probed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "converter_app.h"
#include "converter_dlg.h"
#include "testing/media_fixtures.h"
#include "testing/media_probe.h"
#include "testing/sandbox.h"
#include "testing/ui_driver.h"

namespace {

namespace fs = std::filesystem;

std::string Posix(CString path) {
  std::string text(path.GetString());
  std::replace(text.begin(), text.end(), '\\', '/');
  return text;
}

std::string PlatformPath(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

class WholeRoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = testing_support::SandboxDir() + "/program";
    fs::remove_all(folder_);
    fs::create_directories(folder_ + "/out");
    const std::string bin = Posix(CConverterDlg::GetProgramFolder());
    fs::copy_file(bin + "/Default.skn", folder_ + "/Default.skn");
    fs::copy(bin + "/MyProfile", folder_ + "/MyProfile", fs::copy_options::recursive);
    CConverterApp::RegisterProgramModules();
    AfxEnableControlContainer();
    AfxRegisterControlSiteClass(CTessary::GetClsid());
  }
  void TearDown() override {
    if (dialog_.m_hWnd) dialog_.DestroyWindow();
    CWnd::DeleteTempMap();
  }

  // Converts with the program's own loops: without a driver the progress window waits for the
  // engine's messages as in the program, on the real clock this test runs on.
  void Convert() {
    ui_.reset();
    dialog_.OnSkinButton("BUTTON_CONVERT");
    ui_.emplace();
  }

  void Click(const char* name) {
    CSkinButton* button = dialog_.FindButton(name);
    ASSERT_NE(button, nullptr) << name;
    ui_->ClickWindow(button->m_hWnd);
  }

  void ClickOption(const char* name) {
    for (const SkinOptionInfo& option : dialog_.Skin().options) {
      if (option.name != name) continue;
      CRect rect = option.rect;
      dialog_.ClientToScreen(&rect);
      ui_->Click(rect.CenterPoint());
      return;
    }
    FAIL() << "no option " << name;
  }

  std::string folder_;
  std::optional<testing_ui::UiDriver> ui_{std::in_place};
  CConverterDlg dialog_{nullptr, (testing_support::SandboxDir() + "/program").c_str()};
};

TEST_F(WholeRoadTest, ThreeClipsConvertedOneByOneAndMergedWithAShippedProfile) {
  testing_support::ClipOptions clip;
  clip.format = "avi";
  clip.videoEncoder = "mpeg4";
  clip.width = 176;
  clip.height = 144;
  clip.sampleRate = 44100;
  clip.seconds = 2.0;
  for (const char* name : {"a.avi", "b.avi", "c.avi"}) ASSERT_EQ(testing_support::MakeClip(folder_ + "/" + name, clip), "");

  ASSERT_TRUE(dialog_.Create(CConverterDlg::IDD, nullptr));
  dialog_.ShowWindow(SW_SHOW);
  ASSERT_FALSE(dialog_.Profiles().empty());
  EXPECT_STREQ(dialog_.Profiles()[0]->name, "AVI 320x240 MPEG-4");

  ui_->AnswerFileDialog({"a.avi", "b.avi", "c.avi"}, "Open");
  Click("BUTTON_ADD");
  CSkinListBoxCtrl* list = dialog_.FileList();
  ASSERT_EQ(list->GetItemCount(), 3);
  // The rows' end times stay 0: each clip is converted to the end the engine reads from the file.
  for (int row = 0; row < 3; ++row) EXPECT_STREQ(list->GetItemText(row, 3), "0");

  ui_->AnswerFolderBrowser(PlatformPath(folder_ + "/out"));
  Click("BUTTON_BROWSE");
  Convert();
  for (const char* name : {"a", "b", "c"}) {
    const testing_support::ProbedFile file = testing_support::ProbeFile(folder_ + "/out/" + name + "_New.avi");
    ASSERT_EQ(file.error, "") << name;
    EXPECT_EQ(file.format, "avi");
    ASSERT_NE(file.Video(), nullptr);
    EXPECT_EQ(file.Video()->codec, "mpeg4");
    EXPECT_EQ(file.Video()->width, 320);
    EXPECT_EQ(file.Video()->height, 240);
    EXPECT_NEAR(file.Video()->seconds, 2.0, 0.2) << name;
    ASSERT_NE(file.Audio(), nullptr);
    EXPECT_EQ(file.Audio()->codec, "mp3");
    EXPECT_NEAR(file.Audio()->seconds, 2.0, 0.2) << name;
  }

  ClickOption("OPTION_MERGE");
  ui_->AnswerFileDialog({"merged"}, "Save As");
  Click("BUTTON_BROWSE");
  Convert();
  const testing_support::ProbedFile merged = testing_support::ProbeFile(folder_ + "/merged.avi");
  ASSERT_EQ(merged.error, "");
  ASSERT_NE(merged.Video(), nullptr);
  EXPECT_EQ(merged.Video()->codec, "mpeg4");
  EXPECT_EQ(merged.Video()->width, 320);
  EXPECT_NEAR(merged.Video()->seconds, 6.0, 0.3);
  ASSERT_NE(merged.Audio(), nullptr);
  EXPECT_NEAR(merged.Audio()->seconds, 6.0, 0.3);
}

TEST_F(WholeRoadTest, EveryShippedProfileNamesCompressorsTheEngineLists) {
  ASSERT_TRUE(dialog_.Create(CConverterDlg::IDD, nullptr));
  ASSERT_GE(dialog_.Profiles().size(), 6u);
  for (const auto& profile : dialog_.Profiles()) {
    EXPECT_NE(dialog_.engine.GetVideoCompressors().FindVideoCompressor(profile->videoName), -1)
        << profile->name.GetString();
    EXPECT_NE(dialog_.engine.GetAudioCompressors().FindAudioCompressor(profile->audioName), -1)
        << profile->name.GetString();
  }
}

}  // namespace
