// The skinned dialog: its shape from the background and key colour, dragging by the body, its
// elements' reports by name, the right-click skin menu and switching skins from it.
#include "skin/skin_dialog.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "skin/skin_package.h"
#include "skin_fixtures.h"
#include "testing/ui_driver.h"

namespace {

using skin_test::Bmp24;

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kBody = RGB(20, 90, 160);
constexpr COLORREF kOtherBody = RGB(160, 60, 20);

const DLGTEMPLATE kTemplate = {WS_POPUP, 0, 0, 0, 10, 10, "Skinned", nullptr, 0, nullptr, 0, nullptr};

// A 120 x 80 face whose top-left 10 x 10 corner and column x = 60 are keyed, with a play button
// and two options.
std::vector<PackedFile> FaceFiles(COLORREF body) {
  const COLORREF states[] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(90, 90, 90)};
  return {{"Skin.ini",
           "[Main]\r\nScreen=face.bmp\r\n[COLOR]\r\nTRANSPARENT=0xFF00FF\r\n"
           "[BUTTONINFO]\r\n1=BUTTON_PLAY,strip.bmp,20,20,40,30,Play,F\r\n"
           "[OPTIONINFO]\r\n1=OPTION_BATCH,strip.bmp,70,20,90,30,Batch,F,T\r\n"
           "2=OPTION_MERGE,strip.bmp,70,40,90,50,Merge,F,F\r\n"},
          {"face.bmp", Bmp24(120, 80, [=](int x, int y) { return (x < 10 && y < 10) || x == 60 ? kKey : body; })},
          {"strip.bmp", Bmp24(80, 10, [&](int x, int) { return states[x / 20]; })}};
}

// Packages lie in the program folder: each test writes its own there and removes them again.
class ProgramFolderPackages {
 public:
  ~ProgramFolderPackages() {
    for (const std::string& path : written_) std::remove(path.c_str());
  }
  // The skin's name (the package without ".skn").
  std::string Add(const std::string& stem, const std::vector<PackedFile>& files) {
    const std::string name = stem + "_" + std::to_string(getpid());
    std::string path(SkinPackagePath(name.c_str()));
    std::replace(path.begin(), path.end(), '\\', '/');
    EXPECT_TRUE(WriteSkinPackage(path, files));
    written_.push_back(path);
    return name;
  }

 private:
  std::vector<std::string> written_;
};

class CTestSkinDialog : public CSkinDialog {
 public:
  std::vector<std::string> calls;
  void Open() {
    ASSERT_TRUE(CreateIndirect(&kTemplate));
    MoveWindow(50, 40, 120, 80);
    ShowWindow(SW_SHOW);
  }

 protected:
  void OnSkinButton(CString name) override { calls.push_back("button " + std::string(name)); }
  void OnSkinOption(CString name) override { calls.push_back("option " + std::string(name)); }
  void OnSkinLoaded(UINT commandId) override { calls.push_back("loaded " + std::to_string(commandId)); }
  void OnSkinChanging() override { calls.push_back("changing"); }
  void OnOptions() override { calls.push_back("options"); }
};

POINT ScreenOf(const CWnd& window, int x, int y) {
  POINT point{x, y};
  ::ClientToScreen(window.m_hWnd, &point);
  return point;
}

class SkinDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog_.Open();
    ui_.Pump();
  }
  void TearDown() override { dialog_.DestroyWindow(); }

  ProgramFolderPackages packages_;
  testing_ui::UiDriver ui_;
  CTestSkinDialog dialog_;
};

TEST_F(SkinDialogTest, TheWindowTakesItsShapeFromTheBackgroundsKeyColour) {
  ASSERT_TRUE(dialog_.LoadSkinPackage(packages_.Add("shape", FaceFiles(kBody)).c_str()));
  ui_.Pump();
  EXPECT_EQ(ui_.PixelAt(ScreenOf(dialog_, 50, 60)), kBody);
  EXPECT_EQ(ui_.PixelAt(ScreenOf(dialog_, 10, 2)), kBody);
  // Keyed pixels are no part of the window: neither drawn nor hit.
  for (POINT keyed : {POINT{0, 0}, POINT{9, 9}, POINT{60, 40}}) {
    const POINT screen = ScreenOf(dialog_, keyed.x, keyed.y);
    EXPECT_NE(ui_.PixelAt(screen), kKey) << keyed.x << "," << keyed.y;
    EXPECT_NE(::WindowFromPoint(screen), dialog_.m_hWnd) << keyed.x << "," << keyed.y;
  }
  EXPECT_EQ(::WindowFromPoint(ScreenOf(dialog_, 61, 40)), dialog_.m_hWnd);
  EXPECT_EQ(::WindowFromPoint(ScreenOf(dialog_, 10, 0)), dialog_.m_hWnd);
}

TEST_F(SkinDialogTest, TheIconIsPaintedOverTheBackgroundWithItsKeyedPixelsLeftOut) {
  std::vector<PackedFile> files = FaceFiles(kBody);
  files[0].bytes += "[ICON]\r\nICON=icon.bmp,100,60,108,68\r\n";
  files.push_back({"icon.bmp", Bmp24(8, 8, [](int x, int) { return x < 4 ? kKey : RGB(250, 250, 0); })});
  ASSERT_TRUE(dialog_.LoadSkinPackage(packages_.Add("icon", files).c_str()));
  ui_.Pump();
  EXPECT_EQ(ui_.PixelAt(ScreenOf(dialog_, 101, 62)), kBody);
  EXPECT_EQ(ui_.PixelAt(ScreenOf(dialog_, 106, 62)), RGB(250, 250, 0));
  EXPECT_EQ(ui_.PixelAt(ScreenOf(dialog_, 106, 69)), kBody);
}

TEST_F(SkinDialogTest, ElementsReportByNameAndTheOptionsAreOneRadioGroup) {
  ASSERT_TRUE(dialog_.LoadSkinPackage(packages_.Add("elements", FaceFiles(kBody)).c_str()));
  ui_.Pump();
  ASSERT_NE(dialog_.FindButton("BUTTON_PLAY"), nullptr);
  EXPECT_EQ(dialog_.FindButton("button_play"), nullptr);
  EXPECT_EQ(dialog_.FindLabel("LABEL_TIME"), nullptr);
  ui_.ClickWindow(dialog_.FindButton("BUTTON_PLAY")->m_hWnd);
  EXPECT_EQ(dialog_.calls, std::vector<std::string>{"button BUTTON_PLAY"});

  dialog_.calls.clear();
  ui_.Click(ScreenOf(dialog_, 80, 45));
  EXPECT_EQ(dialog_.calls, std::vector<std::string>{"option OPTION_MERGE"});
  ui_.Click(ScreenOf(dialog_, 80, 25));
  EXPECT_EQ(dialog_.calls, (std::vector<std::string>{"option OPTION_MERGE", "option OPTION_BATCH"}));
  // The merge option was unchecked when batch was chosen; batch shows its checked picture.
  ui_.MoveMouse(ScreenOf(dialog_, 5, 70));
  EXPECT_EQ(ui_.PixelAt(ScreenOf(dialog_, 80, 45)), RGB(200, 0, 0));
  EXPECT_EQ(ui_.PixelAt(ScreenOf(dialog_, 80, 25)), RGB(0, 0, 200));
}

TEST_F(SkinDialogTest, TheSkinMenuChecksTheSelectedSkinAndSwitchesToTheChosenOne) {
  const std::string first = packages_.Add("first", FaceFiles(kBody));
  const std::string second = packages_.Add("second", FaceFiles(kOtherBody));
  const std::string broken = packages_.Add("broken", {{"readme.txt", "no face here"}});
  dialog_.SkinNames() = {first.c_str(), second.c_str(), broken.c_str()};
  ASSERT_TRUE(dialog_.LoadSkinPackage(first.c_str()));
  dialog_.SetSelectedSkin(2);
  ui_.Pump();
  const POINT body = ScreenOf(dialog_, 50, 60);

  std::vector<UINT> commands;
  std::vector<bool> checked;
  ui_.AnswerMenu([&](testing_ui::UiDriver& ui, HWND) {
    HMENU menu = nullptr;
    UINT position = 0;
    ASSERT_TRUE(testing_ui::UiDriver::FindOpenMenuItem(kSkinOptionsCommand, &menu, &position));
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      commands.push_back(GetMenuItemID(menu, i));
      checked.push_back((GetMenuState(menu, i, MF_BYPOSITION) & MF_CHECKED) != 0);
    }
    ui.PickMenuItem(kFirstSkinCommand + 1);
  });
  ui_.Click(body, VK_RBUTTON);
  EXPECT_EQ(commands, (std::vector<UINT>{32769, 32770, 32771, 32772, 32773}));
  EXPECT_EQ(checked, (std::vector<bool>{false, false, true, false, false}));
  EXPECT_EQ(dialog_.calls, (std::vector<std::string>{"changing", "loaded 32772"}));
  EXPECT_EQ(dialog_.SelectedSkin(), 3);
  EXPECT_EQ(ui_.PixelAt(body), kOtherBody);
  EXPECT_NE(dialog_.FindButton("BUTTON_PLAY"), nullptr);

  // A package without a face keeps the skin and its check mark.
  dialog_.calls.clear();
  ui_.PickMenuItem(kFirstSkinCommand + 2);
  ui_.Click(body, VK_RBUTTON);
  EXPECT_EQ(dialog_.calls, std::vector<std::string>{"changing"});
  EXPECT_EQ(dialog_.SelectedSkin(), 3);
  EXPECT_EQ(ui_.PixelAt(body), kOtherBody);
  EXPECT_NE(dialog_.FindButton("BUTTON_PLAY"), nullptr);

  dialog_.calls.clear();
  ui_.PickMenuItem(kSkinOptionsCommand);
  ui_.Click(body, VK_RBUTTON);
  EXPECT_EQ(dialog_.calls, std::vector<std::string>{"options"});
}

TEST_F(SkinDialogTest, AMenuClosedWithoutAChoiceChangesNothingAndTheNextOneSwitches) {
  const std::string first = packages_.Add("one", FaceFiles(kBody));
  const std::string second = packages_.Add("two", FaceFiles(kOtherBody));
  const std::string third = packages_.Add("three", FaceFiles(kBody));
  dialog_.SkinNames() = {first.c_str(), second.c_str(), third.c_str()};
  ASSERT_TRUE(dialog_.LoadSkinPackage(first.c_str()));
  dialog_.SetSelectedSkin(2);
  ui_.Pump();
  const POINT body = ScreenOf(dialog_, 50, 60);

  ui_.DismissMenu();
  ui_.Click(body, VK_RBUTTON);
  EXPECT_TRUE(dialog_.calls.empty());
  EXPECT_EQ(dialog_.SelectedSkin(), 2);

  ui_.PickMenuItem(kFirstSkinCommand + 1);
  ui_.Click(body, VK_RBUTTON);
  EXPECT_EQ(dialog_.calls, (std::vector<std::string>{"changing", "loaded 32772"}));
  EXPECT_EQ(dialog_.SelectedSkin(), 3);
  EXPECT_EQ(ui_.PixelAt(body), kOtherBody);
}

TEST_F(SkinDialogTest, SkinsPastTheTwentySixthAppearButChooseNothing) {
  const std::string name = packages_.Add("many", FaceFiles(kBody));
  for (int i = 0; i < 30; ++i) dialog_.SkinNames().push_back(name.c_str());
  ASSERT_TRUE(dialog_.LoadSkinPackage(name.c_str()));
  ui_.Pump();
  int items = 0;
  ui_.AnswerMenu([&](testing_ui::UiDriver& ui, HWND) {
    HMENU menu = nullptr;
    UINT position = 0;
    ASSERT_TRUE(testing_ui::UiDriver::FindOpenMenuItem(kFirstSkinCommand + 29, &menu, &position));
    items = GetMenuItemCount(menu);
    ui.PickMenuItem(kFirstSkinCommand + 26);
  });
  ui_.Click(ScreenOf(dialog_, 50, 60), VK_RBUTTON);
  EXPECT_EQ(items, 32);
  EXPECT_TRUE(dialog_.calls.empty());
}

TEST_F(SkinDialogTest, TheDefaultSkinBuildsItsButtonsOptionsAndLabels) {
  ASSERT_TRUE(dialog_.LoadSkinPackage("Default"));
  const SkinModel& skin = dialog_.Skin();
  ASSERT_FALSE(skin.buttons.empty());
  for (const SkinButtonInfo& info : skin.buttons) EXPECT_NE(dialog_.FindButton(info.name), nullptr) << info.name;
  for (const SkinLabelInfo& info : skin.labels) EXPECT_NE(dialog_.FindLabel(info.name), nullptr) << info.name;
  EXPECT_EQ(dialog_.CaptionLabel() != nullptr, skin.caption.has_value());
  dialog_.CheckButton("BUTTON_PLAY", TRUE);
  EXPECT_TRUE(dialog_.GetButtonCheck("BUTTON_PLAY"));
  EXPECT_FALSE(dialog_.GetButtonCheck("NO_SUCH_BUTTON"));
}

TEST(SkinDialogKeys, EscapeAndReturnNeitherCloseNorPressAnything) {
  testing_ui::UiDriver ui;
  CTestSkinDialog dialog;
  dialog.InitModalIndirect(&kTemplate);
  ui.AnswerModal([&](testing_ui::UiDriver& driver, HWND) {
    driver.Press(VK_ESCAPE);
    driver.Press(VK_RETURN);
  });
  ui.AnswerModal([&](testing_ui::UiDriver&, HWND) { dialog.EndDialog(7); });
  EXPECT_EQ(dialog.DoModal(), 7);
  EXPECT_TRUE(dialog.calls.empty());
}

TEST(SkinDialogFormat, HoursMinutesAndSecondsHeldWithinTheirRange) {
  EXPECT_EQ(CSkinDialog::FormatHms(3725), "01:02:05");
  EXPECT_EQ(CSkinDialog::FormatHms(400000), "99:59:59");
  EXPECT_EQ(CSkinDialog::FormatHms(-5), "00:00:00");
}

// The move loop that a press on the body starts reads the gesture queued as one.
TEST(SkinDialogDrag, APressOnTheBodyDragsTheWindow) {
  testing_ui::UiDriver ui;
  ProgramFolderPackages packages;
  CTestSkinDialog dialog;
  dialog.Open();
  ASSERT_TRUE(dialog.LoadSkinPackage(packages.Add("drag", FaceFiles(kBody)).c_str()));
  ui.Pump();
  ui.Drag({100, 100}, {140, 125});
  CRect moved;
  dialog.GetWindowRect(&moved);
  EXPECT_EQ(moved.TopLeft(), CPoint(90, 65));
  EXPECT_EQ(moved.Size(), CSize(120, 80));
  dialog.DestroyWindow();
}

}  // namespace
