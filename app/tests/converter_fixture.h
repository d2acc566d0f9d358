#pragma once
// The main window on the recording engine stand-in, in a program folder of its own: the default
// skin, the profiles a test writes and the settings file live there.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "converter_dlg.h"
#include "recording_engine.h"
#include "testing/ui_driver.h"

namespace app_test {

// A profile file's keys, written as the profile editor writes them.
struct ProfileText {
  std::string name;
  std::string videoName = "MPEG-4 Video Encoder";
  int videoIndex = 2;
  std::string audioName = "MPEG Layer-3";
  int audioIndex = 1;
  int width = 320;
  int height = 240;
  double frameRate = 25;
  int stretch = 0;
  int dvStandard = 0;
  std::string mp3Bitrate = "128";
  bool slowMotion = false;
  double slowMotionRate = 0;
  bool overlay = false;
  std::string overlayImage;
  int overlayLeft = 0;
  int overlayTop = 0;
  int alpha = 0;
  int keyRed = 0, keyGreen = 0, keyBlue = 0;
};

inline ProfileText Profile(std::string name) {
  ProfileText profile;
  profile.name = std::move(name);
  return profile;
}

class ConverterTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes <folder>\MyProfile\<file> before the window starts.
  void WriteProfile(const std::string& file, const ProfileText& profile);
  void WriteSettings(const std::string& text);
  std::string ReadSettings() const;
  // Starts the main window (modeless, so that the test drives it) with the default skin.
  void Start();
  // Runs the main window modally, as the program does, with steps given once it waits for the
  // user; the steps must end it. Returns what DoModal returned.
  INT_PTR RunModal(std::function<void()> steps);

  void AddRow(const std::string& path, const std::string& start = "0", const std::string& end = "0");
  void SelectRow(int row);
  void ClickButton(const char* name);
  void ClickOption(const char* name);
  void SelectProfile(int index);
  std::vector<std::string> RowPaths() const;
  std::string OutputText() const;

  CRecordingEngine& Engine() { return *CRecordingEngine::Current(); }

  std::string folder_;  // the program folder, POSIX form
  std::unique_ptr<CConverterDlg> dialog_;
  testing_ui::UiDriver ui_;
};

}  // namespace app_test
