// The profile editor, opened from the main window and driven on its own over the main window's
// profiles and the stand-in's compressor collections.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "button_looks.h"
#include "converter_fixture.h"
#include "profile_dlg.h"
#include "win32/updown.h"

namespace app_test {
namespace {

namespace fs = std::filesystem;

std::string ItemText(HWND dialog, int id) {
  char text[256] = {};
  ::GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

std::string ComboText(HWND dialog, int id) {
  const int selected = int(::SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
  if (selected < 0) return "(none)";
  char text[128] = {};
  ::SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, WPARAM(selected), LPARAM(text));
  return text;
}

bool Enabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)); }

class ProfileDlgTest : public ConverterTest {
 protected:
  // The main window, with compressors the editor lists.
  void Start() {
    ConverterTest::Start();
    Engine().videoCompressors.indices = {{"MPEG-4 Video Encoder", 0}, {"DV Video Encoder", 1},
                                         {"Microsoft Video 1", 2},    {"DivX? 6.8.3", 3}};
    Engine().audioCompressors.indices = {{"PCM", 0}, {"MPEG Layer-3", 1}};
  }
  void TearDown() override {
    if (editor_.m_hWnd) editor_.DestroyWindow();
    ConverterTest::TearDown();
  }
  // The editor, modeless so that each click runs to the end before the test looks.
  HWND Open(int current) {
    editor_.owner = dialog_.get();
    editor_.current = current;
    EXPECT_TRUE(editor_.Create(CProfileDlg::IDD, dialog_.get()));
    editor_.ShowWindow(SW_SHOW);
    return editor_.m_hWnd;
  }
  void Click(int id) { ui_.ClickWindow(::GetDlgItem(editor_.m_hWnd, id)); }
  void Choose(int comboId, int row) {
    ::SendDlgItemMessageA(editor_.m_hWnd, comboId, CB_SETCURSEL, WPARAM(row), 0);
    ::SendMessageA(editor_.m_hWnd, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE),
                   LPARAM(::GetDlgItem(editor_.m_hWnd, comboId)));
  }
  void Type(int id, const char* text) { ::SetDlgItemTextA(editor_.m_hWnd, id, text); }
  std::string FileText(const std::string& name) const {
    std::ifstream in(folder_ + "/MyProfile/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_ + "/MyProfile"))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  CProfileDlg editor_;
};

TEST_F(ProfileDlgTest, TheEditButtonOpensTheEditorOnTheSelectedProfile) {
  ProfileText slow = Profile("Slow");
  slow.videoName = "DV Video Encoder";
  slow.videoIndex = 1;
  slow.dvStandard = 1;
  slow.slowMotion = true;
  slow.slowMotionRate = 0.25;
  WriteProfile("1_Slow.ini", slow);
  Start();
  SelectProfile(0);
  std::string caption, shownName, video, dv, rate;
  bool dvEnabled = false, widthEnabled = true, rateEnabled = false, nameEnabled = true, cancelEnabled = true;
  ui_.AnswerModal(
      [&](testing_ui::UiDriver& ui, HWND dialog) {
        char text[64] = {};
        ::GetWindowTextA(dialog, text, sizeof text);
        caption = text;
        shownName = ItemText(dialog, CProfileDlg::kNameId);
        video = ComboText(dialog, CProfileDlg::kVideoId);
        dv = ComboText(dialog, CProfileDlg::kDvId);
        rate = ItemText(dialog, CProfileDlg::kRateId);
        dvEnabled = Enabled(dialog, CProfileDlg::kDvId);
        widthEnabled = Enabled(dialog, CProfileDlg::kWidthId);
        rateEnabled = Enabled(dialog, CProfileDlg::kRateId);
        nameEnabled = Enabled(dialog, CProfileDlg::kNameId);
        cancelEnabled = Enabled(dialog, CProfileDlg::kCancelId);
        ui.Press(VK_ESCAPE);
      },
      "AVI Profile");
  ClickButton("BUTTON_EDIT");
  EXPECT_EQ(ui_.PendingAnswers(), 0u);
  EXPECT_EQ(caption, "AVI Profile");
  EXPECT_EQ(shownName, "Slow");
  EXPECT_EQ(video, "DV Video Encoder");
  EXPECT_EQ(dv, "PAL");  // the record's standard wins over the encoder's NTSC
  EXPECT_EQ(rate, "0.25");
  EXPECT_TRUE(dvEnabled);
  EXPECT_FALSE(widthEnabled);
  EXPECT_TRUE(rateEnabled);
  EXPECT_FALSE(nameEnabled);
  EXPECT_FALSE(cancelEnabled);
  EXPECT_EQ(CRecordingEngine::CallsStartingWith("Stop").size(), 1u);
}

TEST_F(ProfileDlgTest, TheButtonsCarryTheirIconsAndShades) {
  WriteProfile("1_One.ini", Profile("One"));
  Start();
  const HWND editor = Open(0);
  ui_.Pump();
  for (int id : {CProfileDlg::kBrowseId, CProfileDlg::kAddId, CProfileDlg::kDeleteId, CProfileDlg::kSaveId,
                 CProfileDlg::kCancelId})
    EXPECT_NE(nullptr, ShadedButton(editor, id)) << id;
  for (int id : {CProfileDlg::kFirstId, CProfileDlg::kPreviousId, CProfileDlg::kNextId, CProfileDlg::kLastId}) {
    CWnd* button = CWnd::FromHandlePermanent(::GetDlgItem(editor, id));
    EXPECT_TRUE(dynamic_cast<CHoverButton*>(button) && !dynamic_cast<CShadedButton*>(button)) << id;
    EXPECT_GT(CountColour(::GetDlgItem(editor, id), kArrowBlue), 0) << id << ": no separate out look";
  }
  // Browsing for an image waits for the overlay box.
  const HWND browse = ::GetDlgItem(editor, CProfileDlg::kBrowseId);
  EXPECT_EQ(CountColour(browse, kFolderYellow), 0);
  Click(CProfileDlg::kOverlayId);
  ui_.Pump();
  EXPECT_GT(CountColour(browse, kFolderYellow), 0) << "no separate out look";
  EXPECT_GT(CountColour(::GetDlgItem(editor, CProfileDlg::kSaveId), kDarkCheckGreen), 0);
  EXPECT_GT(CountColour(::GetDlgItem(editor, CProfileDlg::kDeleteId), kDarkCrossRed), 0);
  // Cancel starts disabled: its icon embossed, without its colours.
  const HWND cancel = ::GetDlgItem(editor, CProfileDlg::kCancelId);
  EXPECT_EQ(CountColour(cancel, kDarkCrossRed) + CountColour(cancel, kCrossRed), 0);
  Click(CProfileDlg::kAddId);
  ui_.Pump();
  EXPECT_GT(CountColour(cancel, kDarkCrossRed), 0);
  const HWND add = ::GetDlgItem(editor, CProfileDlg::kAddId);
  EXPECT_EQ(CountColour(add, kDarkCheckGreen) + CountColour(add, kCheckGreen), 0) << "disabled while adding";
}

TEST_F(ProfileDlgTest, WithoutProfilesTheDefaultsShowAndSavingWritesNothing) {
  Start();
  HWND dialog = Open(-1);
  EXPECT_EQ(editor_.current, 0);
  EXPECT_EQ(ItemText(dialog, CProfileDlg::kFrameRateId), "25");
  EXPECT_EQ(ItemText(dialog, CProfileDlg::kWidthId), "320");
  EXPECT_EQ(ItemText(dialog, CProfileDlg::kHeightId), "240");
  EXPECT_EQ(ItemText(dialog, CProfileDlg::kAlphaId), "255");
  EXPECT_EQ(ComboText(dialog, CProfileDlg::kVideoId), "MPEG-4 Video Encoder");
  EXPECT_EQ(ComboText(dialog, CProfileDlg::kStretchId), "Stretched to fit");
  Type(CProfileDlg::kNameId, "Anything");
  Click(CProfileDlg::kSaveId);
  EXPECT_TRUE(Files().empty());
}

TEST_F(ProfileDlgTest, CompressorChoicesSwitchTheirDependentControls) {
  Start();
  HWND dialog = Open(0);
  Choose(CProfileDlg::kVideoId, 1);
  EXPECT_TRUE(Enabled(dialog, CProfileDlg::kDvId));
  EXPECT_EQ(ComboText(dialog, CProfileDlg::kDvId), "NTSC");
  EXPECT_FALSE(Enabled(dialog, CProfileDlg::kWidthId));
  EXPECT_FALSE(Enabled(dialog, CProfileDlg::kHeightId));
  Choose(CProfileDlg::kVideoId, 0);
  EXPECT_FALSE(Enabled(dialog, CProfileDlg::kDvId));
  EXPECT_TRUE(Enabled(dialog, CProfileDlg::kWidthId));
  Choose(CProfileDlg::kAudioId, 1);
  EXPECT_TRUE(Enabled(dialog, CProfileDlg::kMp3Id));
  EXPECT_EQ(ComboText(dialog, CProfileDlg::kMp3Id), "320");
  Choose(CProfileDlg::kAudioId, 0);
  EXPECT_FALSE(Enabled(dialog, CProfileDlg::kMp3Id));

  Click(CProfileDlg::kSlowMotionId);
  EXPECT_TRUE(Enabled(dialog, CProfileDlg::kRateId));
  EXPECT_TRUE(Enabled(dialog, CProfileDlg::kRateSpinId));
  Click(CProfileDlg::kOverlayId);
  for (int id : {CProfileDlg::kBrowseId, CProfileDlg::kAlphaSpinId, CProfileDlg::kKeyColourId, CProfileDlg::kLeftId,
                 CProfileDlg::kTopId})
    EXPECT_TRUE(Enabled(dialog, id)) << id;
  Click(CProfileDlg::kOverlayId);
  EXPECT_FALSE(Enabled(dialog, CProfileDlg::kLeftId));
  EXPECT_FALSE(Enabled(dialog, CProfileDlg::kBrowseId));
}

TEST_F(ProfileDlgTest, TheSpinsHoldTheRateAndAlphaInTheirRanges) {
  Start();
  HWND dialog = Open(0);
  int low = 0, high = 0;
  ::SendDlgItemMessageA(dialog, CProfileDlg::kAlphaSpinId, UDM_GETRANGE32, WPARAM(&low), LPARAM(&high));
  EXPECT_EQ(low, 1);
  EXPECT_EQ(high, 255);
  auto* rate = dynamic_cast<CNumEdit*>(CWnd::FromHandlePermanent(::GetDlgItem(dialog, CProfileDlg::kRateId)));
  ASSERT_NE(rate, nullptr);
  float min = 0, max = 0;
  rate->GetRange(min, max);
  EXPECT_FLOAT_EQ(min, 0.1f);
  EXPECT_FLOAT_EQ(max, 4.0f);
  EXPECT_FLOAT_EQ(rate->GetDelta(), 0.1f);
}

TEST_F(ProfileDlgTest, TheKeyColourGoesThroughThePicker) {
  ProfileText keyed = Profile("Keyed");
  keyed.videoIndex = 0;
  keyed.keyRed = 10;
  keyed.keyGreen = 20;
  keyed.keyBlue = 30;
  WriteProfile("1_Keyed.ini", keyed);
  Start();
  HWND dialog = Open(0);
  auto* picker =
      dynamic_cast<CColourPicker*>(CWnd::FromHandlePermanent(::GetDlgItem(dialog, CProfileDlg::kKeyColourId)));
  ASSERT_NE(picker, nullptr);
  EXPECT_EQ(picker->GetColour(), RGB(10, 20, 30));
  picker->SetColour(RGB(200, 100, 50));
  Click(CProfileDlg::kSaveId);
  const std::string text = FileText("1_Keyed.ini");
  EXPECT_NE(text.find("CHROMAKEYR=200\r\nCHROMAKEYG=100\r\nCHROMAKEYB=50\r\n"), std::string::npos) << text;
}

TEST_F(ProfileDlgTest, NavigationStaysWithinTheProfiles) {
  WriteProfile("1_A.ini", Profile("A"));
  WriteProfile("2_B.ini", Profile("B"));
  WriteProfile("3_C.ini", Profile("C"));
  Start();
  std::vector<std::string> order;
  for (const auto& profile : dialog_->Profiles()) order.push_back(profile->name.GetString());
  HWND dialog = Open(1);
  EXPECT_EQ(ItemText(dialog, CProfileDlg::kNameId), order[1]);
  Click(CProfileDlg::kLastId);
  Click(CProfileDlg::kNextId);
  EXPECT_EQ(ItemText(dialog, CProfileDlg::kNameId), order[2]);
  Click(CProfileDlg::kFirstId);
  Click(CProfileDlg::kPreviousId);
  EXPECT_EQ(editor_.current, 0);
  EXPECT_EQ(ItemText(dialog, CProfileDlg::kNameId), order[0]);
}

TEST_F(ProfileDlgTest, AddingWritesANewFileWithTheKeysInOrder) {
  WriteProfile("1_A.ini", Profile("A"));
  WriteProfile("2_B.ini", Profile("B"));
  Start();
  HWND dialog = Open(0);
  Click(CProfileDlg::kAddId);
  EXPECT_TRUE(Enabled(dialog, CProfileDlg::kNameId));
  EXPECT_TRUE(Enabled(dialog, CProfileDlg::kCancelId));
  for (int id : {CProfileDlg::kAddId, CProfileDlg::kDeleteId, CProfileDlg::kFirstId, CProfileDlg::kLastId})
    EXPECT_FALSE(Enabled(dialog, id)) << id;
  Type(CProfileDlg::kNameId, "Web");
  Type(CProfileDlg::kDescriptionId, "for the web");
  Choose(CProfileDlg::kAudioId, 1);
  ::SendDlgItemMessageA(dialog, CProfileDlg::kMp3Id, CB_SETCURSEL, 6, 0);
  Click(CProfileDlg::kSlowMotionId);
  Type(CProfileDlg::kRateId, "2");
  Click(CProfileDlg::kSaveId);
  EXPECT_EQ(FileText("3_Web.ini"),
            "[MYPROFILE]\r\nName=Web\r\nDESC=for the web\r\nVCOMP=0\r\nVCOMPNAME=MPEG-4 Video Encoder\r\n"
            "ACOMPNAME=MPEG Layer-3\r\nACOMP=1\r\nFRAMERATE=25.000000\r\nWIDTH=320\r\nHEIGHT=240\r\nSTRETCH=0\r\n"
            "DVVIDEOSTAND=0\r\nMP3BitrateIndex=6\r\nMP3Bitrate=128\r\nUSESLOWMOTION=T\r\nSLOWMOTIONRATE=2.000000\r\n"
            "USEOVERLAY=F\r\nOVERLAYIMAGE=\r\nOVERLAYLEFT=0\r\nOVERLAYTOP=0\r\nCHROMAKEYR=0\r\nCHROMAKEYG=0\r\n"
            "CHROMAKEYB=0\r\nALPHAVALUE=0\r\n");
  EXPECT_EQ(dialog_->Profiles().size(), 3u);
  EXPECT_FALSE(Enabled(dialog, CProfileDlg::kNameId));
  EXPECT_FALSE(Enabled(dialog, CProfileDlg::kSaveId));
  EXPECT_TRUE(Enabled(dialog, CProfileDlg::kAddId));
}

TEST_F(ProfileDlgTest, ANewNameNeitherLeavesTheFolderNorOverwritesAnotherProfile) {
  WriteProfile("1_A.ini", Profile("A"));
  // Two loaded, the second numbered 3 (a profile between them was deleted): the next number is 3.
  WriteProfile("3_x_y.ini", Profile("Other"));
  Start();
  Open(0);
  Click(CProfileDlg::kAddId);
  Type(CProfileDlg::kNameId, "x/y");
  Click(CProfileDlg::kSaveId);
  EXPECT_EQ(Files(), (std::vector<std::string>{"1_A.ini", "3_x_y.ini", "4_x_y.ini"}));
  EXPECT_NE(FileText("3_x_y.ini").find("Name=Other"), std::string::npos);
  EXPECT_NE(FileText("4_x_y.ini").find("Name=x/y"), std::string::npos);
}

TEST_F(ProfileDlgTest, SaveRefusesWhatCannotBeAProfileAndKeepsTheFields) {
  WriteProfile("1_A.ini", Profile("A"));
  Start();
  const std::string before = FileText("1_A.ini");
  HWND dialog = Open(0);
  Click(CProfileDlg::kAddId);
  ui_.AnswerMessageBox(IDOK, "Please input profile name");
  Click(CProfileDlg::kSaveId);

  Type(CProfileDlg::kNameId, "New");
  Choose(CProfileDlg::kVideoId, 2);
  ui_.AnswerMessageBox(IDOK, "This video compressor can't use, try another video compressor");
  Click(CProfileDlg::kSaveId);

  Choose(CProfileDlg::kVideoId, 3);
  Type(CProfileDlg::kWidthId, "721");
  ui_.AnswerMessageBox(IDOK, "You cannot select more than 720x480 for this codec");
  Click(CProfileDlg::kSaveId);

  Type(CProfileDlg::kWidthId, "720");
  Click(CProfileDlg::kOverlayId);
  ui_.AnswerMessageBox(IDOK, "Please input overlay image file");
  Click(CProfileDlg::kSaveId);

  EXPECT_EQ(ui_.PendingAnswers(), 0u);
  EXPECT_EQ(Files(), std::vector<std::string>{"1_A.ini"});
  EXPECT_EQ(FileText("1_A.ini"), before);
  EXPECT_EQ(ItemText(dialog, CProfileDlg::kNameId), "New");
  EXPECT_TRUE(Enabled(dialog, CProfileDlg::kSaveId));
  EXPECT_FALSE(Enabled(dialog, CProfileDlg::kAddId));

  // Within 720 x 480 that codec is fine.
  Click(CProfileDlg::kOverlayId);
  Click(CProfileDlg::kSaveId);
  EXPECT_EQ(Files(), (std::vector<std::string>{"1_A.ini", "2_New.ini"}));
}

TEST_F(ProfileDlgTest, SavingInBrowseModeRewritesTheShownProfileAndCancelRestoresIt) {
  // The stored index picks the row, whatever name the file gives.
  ProfileText a = Profile("A");
  a.videoIndex = 0;
  WriteProfile("1_A.ini", a);
  Start();
  HWND dialog = Open(0);
  // Right after opening, Save writes the shown profile back into its own file.
  Type(CProfileDlg::kDescriptionId, "changed");
  Type(CProfileDlg::kHeightId, "480");
  Click(CProfileDlg::kSaveId);
  EXPECT_EQ(Files(), std::vector<std::string>{"1_A.ini"});
  EXPECT_NE(FileText("1_A.ini").find("DESC=changed\r\n"), std::string::npos);
  EXPECT_NE(FileText("1_A.ini").find("HEIGHT=480\r\n"), std::string::npos);
  EXPECT_EQ(dialog_->Profiles()[0]->height, 480);

  Click(CProfileDlg::kAddId);
  Type(CProfileDlg::kNameId, "Dropped");
  Click(CProfileDlg::kCancelId);
  EXPECT_EQ(ItemText(dialog, CProfileDlg::kNameId), "A");
  EXPECT_FALSE(Enabled(dialog, CProfileDlg::kCancelId));
  EXPECT_FALSE(Enabled(dialog, CProfileDlg::kSaveId));
  EXPECT_EQ(Files(), std::vector<std::string>{"1_A.ini"});
}

TEST_F(ProfileDlgTest, DeleteAsksAndOnlyYesRemovesTheFile) {
  WriteProfile("1_A.ini", Profile("A"));
  WriteProfile("2_B.ini", Profile("B"));
  Start();
  HWND dialog = Open(0);
  const std::string first = ItemText(dialog, CProfileDlg::kNameId);
  ui_.AnswerMessageBox(IDNO, "Do you want to delete this record?");
  Click(CProfileDlg::kDeleteId);
  ui_.AnswerMessageBox(IDCANCEL, "Do you want to delete this record?");
  Click(CProfileDlg::kDeleteId);
  EXPECT_EQ(Files().size(), 2u);
  ui_.AnswerMessageBox(IDYES, "Do you want to delete this record?");
  Click(CProfileDlg::kDeleteId);
  EXPECT_EQ(ui_.PendingAnswers(), 0u);
  EXPECT_EQ(Files(), std::vector<std::string>{first == "A" ? "2_B.ini" : "1_A.ini"});
  EXPECT_EQ(editor_.current, 0);
  EXPECT_EQ(dialog_->Profiles().size(), 1u);
  EXPECT_NE(ItemText(dialog, CProfileDlg::kNameId), first);
}

}  // namespace
}  // namespace app_test
