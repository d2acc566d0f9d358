// Batch and merge conversion on the recording engine: the calls each makes in order, the
// progress window driven by the engine's events, cancelling, and the output names.
#include "converter_fixture.h"

namespace app_test {
namespace {

class ConversionTest : public ConverterTest {
 protected:
  // A batch into d:\out with one MPEG-4 profile and three clips the engine can open.
  void StartBatch(const ProfileText& profile = Profile("Web")) {
    WriteProfile("1_Web.ini", profile);
    WriteSettings("[SETTING]\nBATCHMODE=T\nMERGEMODE=F\nOUTPUTFOLDER=d:\\out\nMERGEFILE=d:\\all.avi\n");
    Start();
    Engine().videoCompressors.indices["MPEG-4 Video Encoder"] = 2;
    Engine().audioCompressors.indices["MPEG Layer-3"] = 1;
    Engine().durations = {{"e:\\clips\\a.mpg", 10}, {"e:\\clips\\b.mpg", 20}, {"e:\\clips\\c.mpg", 30}};
    CRecordingEngine::ClearCalls();
  }
  // While the progress window runs: the engine finishes count files.
  void CompleteInProgressWindow(int count) {
    ui_.AnswerModal([this, count](testing_ui::UiDriver&, HWND) {
      for (int i = 0; i < count; ++i) Engine().FireComplete();
    });
  }
  // While the progress window runs: the engine finishes count files, then the user cancels.
  void CancelInProgressWindow(int completed) {
    ui_.AnswerModal([this, completed](testing_ui::UiDriver& ui, HWND) {
      for (int i = 0; i < completed; ++i) Engine().FireComplete();
      CSkinButton* cancel = dialog_->ProgressWindow().FindButton("BUTTON_CANCEL");
      ASSERT_NE(cancel, nullptr);
      ui.ClickWindow(cancel->m_hWnd);
    });
  }
  static std::vector<std::string> Saves() { return CRecordingEngine::CallsStartingWith("Save("); }
};

TEST_F(ConversionTest, OneRowAppliesTheProfileInOrderAddsTheClipAndSaves) {
  StartBatch();
  AddRow("e:\\clips\\a.mpg");
  CompleteInProgressWindow(1);
  ClickButton("BUTTON_CONVERT");
  const std::vector<std::string> expected = {
      "GetFileDuration(e:\\clips\\a.mpg)",
      "UseOverlay=FALSE",
      "UseOverlay=TRUE",
      "FindVideoCompressor(MPEG-4 Video Encoder)",
      "VideoCompressor=2",
      "FindAudioCompressor(MPEG Layer-3)",
      "AudioCompressor=1",
      "VideoSampleSize=32",
      "OutputType=8",
      "UseVideoCompressor=TRUE",
      "UseAudioCompressor=TRUE",
      "OutputFileWidth=320",
      "OutputFileHeight=240",
      "FrameRate=25",
      "DvVideoEncoderParam=0",
      "AVILameBitrate=128",
      "InitControl()",
      "AddVideo(e:\\clips\\a.mpg,0,10,0)",
      "AddAudio(e:\\clips\\a.mpg,0,10)",
      "Save(d:\\out\\a_New.avi)",
      // The progress window closed normally, which ends like a cancel: the engine is stopped idle.
      "Stop()",
  };
  EXPECT_EQ(CRecordingEngine::calls, expected);
  EXPECT_EQ(dialog_->CurrentRow(), 0);
  EXPECT_EQ(dialog_->ProgressWindow().m_hWnd, nullptr);
}

TEST_F(ConversionTest, ABatchOfThreeRowsMakesThreeFilesAndEndsAfterTheThirdComplete) {
  StartBatch();
  AddRow("e:\\clips\\a.mpg");
  AddRow("e:\\clips\\b.mpg", "2", "12.5");
  AddRow("e:\\clips\\c.mpg");
  CompleteInProgressWindow(3);
  ClickButton("BUTTON_CONVERT");
  EXPECT_EQ(Saves(), (std::vector<std::string>{"Save(d:\\out\\a_New.avi)", "Save(d:\\out\\b_New.avi)",
                                               "Save(d:\\out\\c_New.avi)"}));
  // A row with its own times converts them; the others run to the end of their files.
  EXPECT_EQ(CRecordingEngine::CallsStartingWith("AddVideo("),
            (std::vector<std::string>{"AddVideo(e:\\clips\\a.mpg,0,10,0)", "AddVideo(e:\\clips\\b.mpg,2,12.5,0)",
                                      "AddVideo(e:\\clips\\c.mpg,0,30,0)"}));
  EXPECT_EQ(dialog_->CurrentRow(), 0);
  // An empty prefix became "New" and stays so, also in the settings.
  EXPECT_STREQ(dialog_->Settings().prefixName, "New");
}

TEST_F(ConversionTest, CancellingStopsTheEngineAndTheNextConversionStartsAtTheFirstRow) {
  StartBatch();
  AddRow("e:\\clips\\a.mpg");
  AddRow("e:\\clips\\b.mpg");
  AddRow("e:\\clips\\c.mpg");
  CancelInProgressWindow(1);
  ClickButton("BUTTON_CONVERT");
  EXPECT_EQ(Saves(), (std::vector<std::string>{"Save(d:\\out\\a_New.avi)", "Save(d:\\out\\b_New.avi)"}));
  EXPECT_EQ(CRecordingEngine::calls.back(), "Stop()");
  EXPECT_EQ(dialog_->CurrentRow(), 0);

  CRecordingEngine::ClearCalls();
  CompleteInProgressWindow(3);
  ClickButton("BUTTON_CONVERT");
  ASSERT_FALSE(Saves().empty());
  EXPECT_EQ(Saves().front(), "Save(d:\\out\\a_New.avi)");
}

TEST_F(ConversionTest, AFileTheEngineCannotOpenStopsTheBatchAtItsRow) {
  StartBatch();
  AddRow("e:\\clips\\a.mpg");
  AddRow("e:\\clips\\broken.mpg");
  AddRow("e:\\clips\\c.mpg");
  // The window stays open until the user gives up.
  CancelInProgressWindow(1);
  ClickButton("BUTTON_CONVERT");
  EXPECT_EQ(Saves(), std::vector<std::string>{"Save(d:\\out\\a_New.avi)"});
  EXPECT_EQ(dialog_->CurrentRow(), 0);
}

TEST_F(ConversionTest, AConversionTheEngineRefusesToStartIsReportedAndEndsTheBatch) {
  StartBatch();
  AddRow("e:\\clips\\a.mpg");
  AddRow("e:\\clips\\b.mpg");
  // The first row: no progress window waits for a conversion that never runs.
  Engine().saveResult = FALSE;
  ui_.AnswerMessageBox(IDOK, "d:\\out\\a_New.avi could not start");
  ClickButton("BUTTON_CONVERT");
  EXPECT_EQ(Saves(), std::vector<std::string>{"Save(d:\\out\\a_New.avi)"});
  EXPECT_EQ(dialog_->CurrentRow(), 0);

  // A later row: the progress window closes and the batch ends there.
  CRecordingEngine::ClearCalls();
  Engine().saveResult = TRUE;
  ui_.AnswerModal([this](testing_ui::UiDriver&, HWND) {
    Engine().saveResult = FALSE;
    Engine().FireComplete();
  });
  ui_.AnswerMessageBox(IDOK, "b_New.avi could not start");
  ClickButton("BUTTON_CONVERT");
  EXPECT_EQ(Saves(), (std::vector<std::string>{"Save(d:\\out\\a_New.avi)", "Save(d:\\out\\b_New.avi)"}));
  EXPECT_EQ(dialog_->CurrentRow(), 0);
  EXPECT_EQ(dialog_->ProgressWindow().m_hWnd, nullptr);
}

TEST_F(ConversionTest, SlowMotionAddsSlowedClipsAndLengthensTheProgress) {
  ProfileText slow = Profile("Slow");
  slow.slowMotion = true;
  slow.slowMotionRate = 1.0;
  slow.stretch = 2;
  StartBatch(slow);
  AddRow("e:\\clips\\b.mpg", "2", "12.5");
  CompleteInProgressWindow(1);
  ClickButton("BUTTON_CONVERT");
  EXPECT_EQ(CRecordingEngine::CallsStartingWith("AddVideo"),
            std::vector<std::string>{"AddVideoWithSlowMotion(e:\\clips\\b.mpg,2,12.5,2,1)"});
  EXPECT_EQ(CRecordingEngine::CallsStartingWith("AddAudio"),
            std::vector<std::string>{"AddAudioWithSlowMotion(e:\\clips\\b.mpg,2,12.5,1)"});
  EXPECT_DOUBLE_EQ(dialog_->ClipLength(), 21.0);
}

TEST_F(ConversionTest, InputsOfOneNameGetDistinctOutputsAndNamesWithoutExtensionKeepTheirName) {
  StartBatch();
  Engine().durations = {{"e:\\one\\clip.avi", 5}, {"e:\\two\\clip.avi", 5}, {"e:\\my.clips\\noext", 5},
                        {"e:\\three\\CLIP.avi", 5}};
  AddRow("e:\\one\\clip.avi");
  AddRow("e:\\two\\clip.avi");
  AddRow("e:\\my.clips\\noext");
  AddRow("e:\\three\\CLIP.avi");
  CompleteInProgressWindow(4);
  ClickButton("BUTTON_CONVERT");
  EXPECT_EQ(Saves(), (std::vector<std::string>{"Save(d:\\out\\clip_New.avi)", "Save(d:\\out\\clip_New_2.avi)",
                                               "Save(d:\\out\\noext_New.avi)", "Save(d:\\out\\CLIP_New_3.avi)"}));

  // A new batch may write the same names again.
  CRecordingEngine::ClearCalls();
  CompleteInProgressWindow(4);
  ClickButton("BUTTON_CONVERT");
  ASSERT_FALSE(Saves().empty());
  EXPECT_EQ(Saves().front(), "Save(d:\\out\\clip_New.avi)");
}

TEST_F(ConversionTest, AnEmptyOutputFolderIsRefusedBeforeAnythingIsConverted) {
  StartBatch();
  AddRow("e:\\clips\\a.mpg");
  dialog_->OutputBox()->SetWindowText("");
  ui_.AnswerMessageBox(IDOK, "output folder");
  ClickButton("BUTTON_CONVERT");
  EXPECT_TRUE(Saves().empty());
  EXPECT_TRUE(CRecordingEngine::CallsStartingWith("AddVideo").empty());
}

TEST_F(ConversionTest, NoProfileConvertsNothing) {
  WriteSettings("[SETTING]\nBATCHMODE=T\nOUTPUTFOLDER=d:\\out\n");
  Start();
  Engine().durations["e:\\clips\\a.mpg"] = 10;
  AddRow("e:\\clips\\a.mpg");
  ClickButton("BUTTON_CONVERT");
  EXPECT_TRUE(Saves().empty());
  EXPECT_EQ(dialog_->CurrentRow(), 0);
}

TEST_F(ConversionTest, ProcessingDrawsTheCreditAndTheProfileOverlay) {
  ProfileText logo = Profile("Logo");
  logo.overlay = true;
  logo.overlayImage = "c:\\logo.bmp";
  logo.overlayLeft = 16;
  logo.overlayTop = 8;
  logo.alpha = 200;
  logo.keyRed = 255;
  logo.keyBlue = 255;
  StartBatch(logo);
  AddRow("e:\\clips\\a.mpg");
  ui_.AnswerModal([this](testing_ui::UiDriver&, HWND) {
    CRecordingEngine::ClearCalls();
    Engine().FireProcessing(2.7, 10.2);
    EXPECT_EQ(CRecordingEngine::calls,
              (std::vector<std::string>{"DrawImage(16,8,c:\\logo.bmp,16711935,200)", "TextFontSize=18",
                                        "DrawText(0,0,Converted with Corvane)"}));
    Engine().FireComplete();
  });
  ClickButton("BUTTON_CONVERT");
  // Applying the profile turned the overlay on as the profile says, then on for good.
  EXPECT_EQ(dialog_->CurrentRow(), 0);
}

class MergeTest : public ConversionTest {
 protected:
  void StartMerge() {
    StartBatch();
    ClickOption("OPTION_MERGE");
    CRecordingEngine::ClearCalls();
  }
};

TEST_F(MergeTest, AllRowsGoOnOneTimelineAndOneFile) {
  StartMerge();
  EXPECT_EQ(OutputText(), "d:\\all.avi");
  AddRow("e:\\clips\\a.mpg");
  AddRow("e:\\clips\\b.mpg", "1", "4");
  CompleteInProgressWindow(1);
  ClickButton("BUTTON_CONVERT");
  EXPECT_EQ(CRecordingEngine::CallsStartingWith("Add"),
            (std::vector<std::string>{"AddVideo(e:\\clips\\a.mpg,0,10,0)", "AddAudio(e:\\clips\\a.mpg,0,10)",
                                      "AddVideo(e:\\clips\\b.mpg,1,4,0)", "AddAudio(e:\\clips\\b.mpg,1,4)"}));
  EXPECT_EQ(Saves(), std::vector<std::string>{"Save(d:\\all.avi)"});
  EXPECT_EQ(CRecordingEngine::calls.back(), "Stop()");
}

TEST_F(MergeTest, ARowTheEngineCannotOpenEndsTheMergedList) {
  StartMerge();
  AddRow("e:\\clips\\a.mpg");
  AddRow("e:\\clips\\broken.mpg");
  AddRow("e:\\clips\\c.mpg");
  CompleteInProgressWindow(1);
  ClickButton("BUTTON_CONVERT");
  EXPECT_EQ(CRecordingEngine::CallsStartingWith("AddVideo"),
            std::vector<std::string>{"AddVideo(e:\\clips\\a.mpg,0,10,0)"});
  EXPECT_EQ(Saves(), std::vector<std::string>{"Save(d:\\all.avi)"});
}

TEST_F(MergeTest, AMergeTheEngineRefusesToStartIsReported) {
  StartMerge();
  AddRow("e:\\clips\\a.mpg");
  Engine().saveResult = FALSE;
  ui_.AnswerMessageBox(IDOK, "d:\\all.avi could not start");
  ClickButton("BUTTON_CONVERT");
  EXPECT_EQ(Saves(), std::vector<std::string>{"Save(d:\\all.avi)"});
  EXPECT_TRUE(CRecordingEngine::CallsStartingWith("Stop").empty());
}

TEST_F(MergeTest, TheMergeFileMayNotBeOneOfItsInputs) {
  StartMerge();
  Engine().durations["d:\\ALL.avi"] = 3;
  AddRow("e:\\clips\\a.mpg");
  AddRow("d:\\ALL.avi");
  ui_.AnswerMessageBox(IDOK, "one of the files to merge");
  ClickButton("BUTTON_CONVERT");
  EXPECT_TRUE(Saves().empty());
  EXPECT_TRUE(CRecordingEngine::CallsStartingWith("Add").empty());
}

TEST_F(MergeTest, AnEmptyListOrAnEmptyFileNameConvertsNothing) {
  WriteProfile("1_Web.ini", Profile("Web"));
  WriteSettings("[SETTING]\nBATCHMODE=F\nMERGEMODE=T\nMERGEFILE=\n");
  Start();
  ClickButton("BUTTON_CONVERT");
  Engine().durations["e:\\clips\\a.mpg"] = 10;
  AddRow("e:\\clips\\a.mpg");
  ui_.AnswerMessageBox(IDOK, "output file");
  ClickButton("BUTTON_CONVERT");
  EXPECT_TRUE(Saves().empty());
}

}  // namespace
}  // namespace app_test
