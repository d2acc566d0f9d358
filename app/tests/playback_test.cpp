// Playback in the engine's view: preview of the selected row, resuming, the slider and the time
// label, playing the list through, and the full-screen view on a double-click.
#include <filesystem>

#include "converter_fixture.h"
#include "skin/skin_list_box.h"
#include "skin/skin_slider.h"

namespace app_test {
namespace {

class PlaybackTest : public ConverterTest {
 protected:
  void StartWithClips(const ProfileText& profile = Profile("Web")) {
    WriteProfile("1_Web.ini", profile);
    WriteSettings("[SETTING]\nFullQuality=8\nVideoSample=0\n");
    Start();
    Engine().durations = {{"e:\\a.avi", 10}, {"e:\\b.avi", 3700}};
    AddRow("e:\\a.avi");
    AddRow("e:\\b.avi", "2", "12.5");
    AddRow("e:\\broken.avi");
    CRecordingEngine::ClearCalls();
  }
  std::string TimeText() const { return dialog_->FindLabel("LABEL_TIME")->Text().GetString(); }
};

TEST_F(PlaybackTest, PlayPreviewsTheSelectedRowAtThePreviewSize) {
  StartWithClips();
  SelectRow(0);
  ClickButton("BUTTON_PLAY");
  const std::vector<std::string> expected = {
      "GetFileDuration(e:\\a.avi)", "IsPause()",          "UseOverlay=FALSE",      "OutputFileWidth=320",
      "OutputFileHeight=240",      "VideoSampleSize=32", "InitControl()",         "AddVideo(e:\\a.avi,0,10,0)",
      "AddAudio(e:\\a.avi,0,10)",  "SetDivx=FALSE",      "PrePos=0",              "Preview()",
  };
  EXPECT_EQ(CRecordingEngine::calls, expected);
  EXPECT_EQ(dialog_->ProgressSlider()->GetRangeMax(), 10);
  EXPECT_DOUBLE_EQ(dialog_->ClipLength(), 10);
}

TEST_F(PlaybackTest, PlayWhilePausedResumesWithoutBuildingAgain) {
  StartWithClips();
  SelectRow(1);
  Engine().paused = TRUE;
  ClickButton("BUTTON_PLAY");
  EXPECT_EQ(CRecordingEngine::calls,
            (std::vector<std::string>{"GetFileDuration(e:\\b.avi)", "IsPause()", "Play()"}));
  EXPECT_DOUBLE_EQ(dialog_->ClipLength(), 10.5);
  CRecordingEngine::ClearCalls();
  ClickButton("BUTTON_PAUSE");
  ClickButton("BUTTON_STOP");
  EXPECT_EQ(CRecordingEngine::calls, (std::vector<std::string>{"Pause()", "Stop()"}));
}

TEST_F(PlaybackTest, AFileThatCannotBeOpenedOrNoProfileIsNotPreviewed) {
  StartWithClips();
  SelectRow(2);
  ClickButton("BUTTON_PLAY");
  EXPECT_EQ(CRecordingEngine::calls, std::vector<std::string>{"GetFileDuration(e:\\broken.avi)"});

  std::filesystem::remove(folder_ + "/MyProfile/1_Web.ini");
  dialog_->DestroyWindow();
  Start();
  Engine().durations["e:\\a.avi"] = 10;
  AddRow("e:\\a.avi");
  SelectRow(0);
  CRecordingEngine::ClearCalls();
  ui_.AnswerMessageBox(IDOK, "Profile not found");
  ClickButton("BUTTON_PLAY");
  EXPECT_TRUE(CRecordingEngine::CallsStartingWith("Preview").empty());
}

TEST_F(PlaybackTest, PlayingMovesTheSliderAndShowsTheTime) {
  StartWithClips();
  Engine().durations["e:\\long.avi"] = 3700;
  AddRow("e:\\long.avi");
  SelectRow(3);
  ClickButton("BUTTON_PLAY");
  Engine().FireOnPlaying(75.9);
  EXPECT_EQ(TimeText(), "00:01:15/01:01:40");
  EXPECT_EQ(dialog_->ProgressSlider()->GetPos(), 75);
}

TEST_F(PlaybackTest, DraggingTheSliderSeeksUnlessTheProfileSlowsTheClip) {
  StartWithClips();
  dialog_->OnSliderCommand(0, 42);
  EXPECT_EQ(CRecordingEngine::calls, (std::vector<std::string>{"Pause()", "SetPos(42)", "Play()"}));

  ProfileText slow = Profile("Slow");
  slow.slowMotion = true;
  slow.slowMotionRate = 1;
  WriteProfile("1_Web.ini", slow);
  dialog_->DestroyWindow();
  Start();
  CRecordingEngine::ClearCalls();
  dialog_->OnSliderCommand(0, 42);
  EXPECT_TRUE(CRecordingEngine::calls.empty());
}

TEST_F(PlaybackTest, TheListPlaysThroughToItsEndAndStopsWithoutASelection) {
  StartWithClips();
  SelectRow(0);
  Engine().FirePreviewComplete();
  EXPECT_EQ(dialog_->FileList()->GetSelectionMark(), 1);
  EXPECT_EQ(CRecordingEngine::CallsStartingWith("AddVideo"),
            std::vector<std::string>{"AddVideo(e:\\b.avi,2,12.5,0)"});
  // The last row ends playback.
  SelectRow(2);
  CRecordingEngine::ClearCalls();
  Engine().FirePreviewComplete();
  EXPECT_TRUE(CRecordingEngine::calls.empty());
  EXPECT_FALSE(dialog_->FileList()->GetItemState(2, LVIS_SELECTED));
  // With no row selected, nothing starts.
  dialog_->FileList()->SetSelectionMark(-1);
  Engine().FirePreviewComplete();
  EXPECT_TRUE(CRecordingEngine::calls.empty());
}

TEST_F(PlaybackTest, ADoubleClickShowsTheRowFullScreenFromThePosition) {
  StartWithClips();
  Engine().position = 4.5;
  SelectRow(0);
  Engine().FireDblClick();
  const std::vector<std::string> expected = {
      "CheckDivxFile(e:\\a.avi)", "GetFileDuration(e:\\a.avi)", "GetPos()",      "OutputFileWidth=1024",
      "OutputFileHeight=768",     "UseOverlay=FALSE",           "VideoSampleSize=16", "InitControl()",
      "AddVideo(e:\\a.avi,0,10,0)", "AddAudio(e:\\a.avi,0,10)", "SetDivx=FALSE", "PrePos=4.5",
      "ShowFullScreen(TRUE)",      "Preview()",
  };
  EXPECT_EQ(CRecordingEngine::calls, expected);
}

TEST_F(PlaybackTest, ADoubleClickOnAFileThatCannotBeOpenedStaysInTheWindow) {
  StartWithClips();
  SelectRow(2);
  Engine().FireDblClick();
  EXPECT_TRUE(CRecordingEngine::CallsStartingWith("ShowFullScreen").empty());
  EXPECT_TRUE(CRecordingEngine::CallsStartingWith("Preview").empty());
}

}  // namespace
}  // namespace app_test
