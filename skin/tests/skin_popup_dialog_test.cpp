// The skinned progress window: the selected package's progress face or the built-in one, the
// bar following the position messages, and Cancel.
#include "skin/skin_popup_dialog.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "skin/skin_package.h"
#include "skin_fixtures.h"
#include "testing/ui_driver.h"

namespace {

using skin_test::Bmp24;
using testing_ui::UiDriver;

constexpr COLORREF kBody = RGB(40, 60, 80);
constexpr COLORREF kTile = RGB(0, 200, 90);
constexpr COLORREF kMainBody = RGB(90, 30, 120);

// A package in the program folder holding the progress face (or nothing usable), and a plain main
// face when asked, removed again at the end of the test.
class ProgressPackage {
 public:
  explicit ProgressPackage(bool withFace, bool withMainFace = false) {
    name_ = "progress_" + std::to_string(getpid()) + (withFace ? "_face" : "_none") + (withMainFace ? "_main" : "");
    path_ = SkinPackagePath(name_.c_str());
    std::replace(path_.begin(), path_.end(), '\\', '/');
    std::vector<PackedFile> files = {{"readme.txt", "nothing"}};
    if (withFace)
      files = {{"ConvertSkin.ini",
                "[Main]\r\nScreen=face.bmp\r\n[COLOR]\r\nTRANSPARENT=0xFF00FF\r\n"
                "[BUTTONINFO]\r\n1=BUTTON_CANCEL,strip.bmp,250,80,330,106,Cancel,F\r\n"
                "2=BUTTON_OTHER,strip.bmp,150,80,230,106,Other,F\r\n"
                "[PROGRESSINFO]\r\n1=PROGRESS_CONVERT,20,50,120,60,tile.bmp\r\n"
                "2=PROGRESS_SECOND,20,70,120,76,tile.bmp\r\n"},
               {"face.bmp", Bmp24(360, 120, kBody)},
               {"strip.bmp", Bmp24(80, 10, RGB(200, 200, 200))},
               {"tile.bmp", Bmp24(10, 10, kTile)}};
    if (withMainFace) {
      files.push_back({"Skin.ini", "[Main]\r\nScreen=main.bmp\r\n[COLOR]\r\nTRANSPARENT=0xFF00FF\r\n"});
      files.push_back({"main.bmp", Bmp24(640, 490, kMainBody)});
    }
    EXPECT_TRUE(WriteSkinPackage(path_, files));
  }
  ~ProgressPackage() { std::remove(path_.c_str()); }
  const std::string& Name() const { return name_; }

 private:
  std::string name_;
  std::string path_;
};

COLORREF At(HWND window, int x, int y) {
  POINT point{x, y};
  ::ClientToScreen(window, &point);
  return UiDriver::PixelAt(point);
}

// The main dialog the window follows: its skin list and selected skin.
struct MainDialog {
  explicit MainDialog(const std::string& selected) {
    main.SkinNames() = {"Default", selected.c_str()};
    main.SetSelectedSkin(3);
  }
  CSkinDialog main;
};

TEST(SkinPopupDialog, TheFirstBarFollowsThePositionAndCancelEndsTheWindow) {
  ProgressPackage package(true);
  MainDialog owner(package.Name());
  UiDriver ui;
  CSkinPopupDlg progress;
  progress.SetMainDialog(&owner.main);
  auto send = [&](int position, int duration) {
    progress.SendMessage(WM_SKIN_PROGRESS, WPARAM(position), LPARAM(duration));
  };
  ui.AnswerModal([&](UiDriver&, HWND window) {
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(At(window, 200, 20), kBody);
    send(5, 10);
  });
  ui.AnswerModal([&](UiDriver&, HWND window) {
    EXPECT_EQ(At(window, 20 + 49, 55), kTile);
    EXPECT_EQ(At(window, 20 + 51, 55), kBody);
    send(3, 0);  // no duration: no fill
  });
  ui.AnswerModal([&](UiDriver&, HWND window) {
    EXPECT_EQ(At(window, 20, 55), kBody);
    send(20, 10);  // past the end: a full bar
  });
  ui.AnswerModal([&](UiDriver& driver, HWND window) {
    EXPECT_EQ(At(window, 20 + 99, 55), kTile);
    EXPECT_EQ(At(window, 20, 72), kBody);  // the second bar does not follow
    driver.ClickWindow(progress.FindButton("BUTTON_OTHER")->m_hWnd);
  });
  ui.AnswerModal([&](UiDriver& driver, HWND window) {
    EXPECT_TRUE(::IsWindowVisible(window));
    driver.ClickWindow(progress.FindButton("BUTTON_CANCEL")->m_hWnd);
  });
  EXPECT_EQ(progress.DoModal(), IDCANCEL);
}

// The whole road: the user switches skins from the main dialog's menu, and the next progress
// window shows the progress face of the skin chosen.
TEST(SkinPopupDialog, ShowsTheFaceOfTheSkinChosenFromTheMainDialogsMenu) {
  ProgressPackage package(true, true);
  UiDriver ui;
  const DLGTEMPLATE popup = {WS_POPUP, 0, 0, 0, 10, 10, "", nullptr, 0, nullptr, 0, nullptr};
  CSkinDialog main;
  ASSERT_TRUE(main.CreateIndirect(&popup));
  main.MoveWindow(10, 10, 640, 490);
  main.ShowWindow(SW_SHOW);
  main.SkinNames() = {"Default", package.Name().c_str()};
  ASSERT_TRUE(main.LoadSkinPackage("Default"));
  main.SetSelectedSkin(2);
  ui.Pump();
  POINT body{450, 50};  // the bare face of both main faces
  main.ClientToScreen(&body);

  auto choose = [&](UINT command) {
    ui.PickMenuItem(command);
    ui.Click(body, VK_RBUTTON);
  };
  auto progressFace = [&] {
    CSkinPopupDlg progress;
    progress.SetMainDialog(&main);
    COLORREF shown = CLR_INVALID;
    ui.AnswerModal([&](UiDriver& driver, HWND window) {
      shown = At(window, 200, 20);
      driver.ClickWindow(progress.FindButton("BUTTON_CANCEL")->m_hWnd);
    });
    EXPECT_EQ(progress.DoModal(), IDCANCEL);
    return shown;
  };

  choose(kFirstSkinCommand + 1);
  EXPECT_EQ(main.SelectedSkin(), 3);
  EXPECT_EQ(UiDriver::PixelAt(body), kMainBody);
  EXPECT_EQ(progressFace(), kBody);

  choose(kFirstSkinCommand);
  EXPECT_EQ(main.SelectedSkin(), 2);
  EXPECT_NE(UiDriver::PixelAt(body), kMainBody);
  EXPECT_NE(progressFace(), kBody);
  main.DestroyWindow();
}

TEST(SkinPopupDialog, APackageWithoutAProgressFaceShowsTheBuiltInFace) {
  ProgressPackage package(false);
  MainDialog owner(package.Name());
  UiDriver ui;
  CSkinPopupDlg progress;
  progress.SetMainDialog(&owner.main);
  ui.AnswerModal([&](UiDriver& driver, HWND window) {
    EXPECT_TRUE(::IsWindowVisible(window));
    CRect rect;
    ::GetWindowRect(window, &rect);
    EXPECT_EQ(rect.Size(), CSize(360, 120));
    ASSERT_NE(progress.FindButton("BUTTON_CANCEL"), nullptr);
    driver.ClickWindow(progress.FindButton("BUTTON_CANCEL")->m_hWnd);
  });
  EXPECT_EQ(progress.DoModal(), IDCANCEL);
}

TEST(SkinPopupDialog, WithoutAMainDialogTheBuiltInFaceStillRuns) {
  UiDriver ui;
  CSkinPopupDlg progress;
  ui.AnswerModal([&](UiDriver&, HWND window) {
    EXPECT_TRUE(::IsWindowVisible(window));
    progress.SendMessage(WM_SKIN_PROGRESS, 1, 2);
    ::PostMessage(window, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(progress.DoModal(), IDCANCEL);
}

}  // namespace
