// The open and save dialogs and the folder browser, driven as a user drives them over a real
// folder: what they list, where they go, and what they hand back in the caller's buffer.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include <string>
#include <vector>

#include "../test_folder.h"
#include "testing/ui_driver.h"
#include "win32/shlobj.h"
#include "win32/windows.h"

namespace win32_test {
namespace {

using testing_ui::UiDriver;

constexpr char kVideoFilter[] = "Video Files\0*.avi;*.mpg\0All Files\0*.*\0";

class CommonDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = MakeTestFolder();
    WriteText(root + "/b.avi", "b");
    WriteText(root + "/a.AVI", "a");
    WriteText(root + "/notes.txt", "n");
    WriteText(root + "/.hidden.avi", "h");
    mkdir((root + "/Clips").c_str(), 0777);
    WriteText(root + "/Clips/inner.avi", "i");
    rootPlatform = PlatformPathFromPosix(root);
  }

  OPENFILENAMEA OpenIn(DWORD flags, char* buffer, DWORD size) {
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = kVideoFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = size;
    ofn.lpstrInitialDir = rootPlatform.c_str();
    ofn.Flags = flags;
    return ofn;
  }

  static std::vector<std::string> Rows(HWND dlg) {
    std::vector<std::string> rows;
    const int n = static_cast<int>(SendDlgItemMessageA(dlg, lst1, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      char text[256] = {};
      SendDlgItemMessageA(dlg, lst1, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
      rows.emplace_back(text);
    }
    return rows;
  }

  static POINT RowCenter(HWND dlg, const char* text) {
    HWND list = GetDlgItem(dlg, lst1);
    const LRESULT row = SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    EXPECT_GE(row, 0) << text << " is not listed";
    RECT r{};
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(list, &p);
    return p;
  }

  static std::string Shown(HWND dlg) {
    char text[1024] = {};
    GetDlgItemTextA(dlg, stc1, text, sizeof text);
    return text;
  }

  UiDriver ui;
  std::string root, rootPlatform;
};

TEST_F(CommonDialogTest, OpenListsFoldersThenTheFilesOfTheFilterAndAnswersWithAPlatformPath) {
  char buffer[MAX_PATH] = {};
  OPENFILENAMEA ofn = OpenIn(OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, buffer, sizeof buffer);
  std::vector<std::string> videos, everything;
  // Each step's input is taken by the dialog before the next step looks.
  ui.AnswerModal(
      [&](UiDriver& ui, HWND dlg) {
        EXPECT_EQ(rootPlatform, Shown(dlg));
        videos = Rows(dlg);
        // The second filter, chosen from the keyboard, shows every file.
        SendMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dlg, cmb1)), TRUE);
        ui.Press(VK_DOWN);
      },
      "Open");
  ui.AnswerModal([&](UiDriver& ui, HWND dlg) {
    everything = Rows(dlg);
    ui.Click(RowCenter(dlg, "b.avi"));
    ui.ClickWindow(GetDlgItem(dlg, IDOK));
  });
  ASSERT_TRUE(GetOpenFileNameA(&ofn));
  EXPECT_EQ((std::vector<std::string>{"..", "Clips\\", "a.AVI", "b.avi"}), videos);
  EXPECT_EQ((std::vector<std::string>{"..", "Clips\\", "a.AVI", "b.avi", "notes.txt"}), everything);
  const std::string chosen = rootPlatform + "\\b.avi";
  EXPECT_EQ(chosen, buffer);
  EXPECT_STREQ("b.avi", buffer + ofn.nFileOffset);
  EXPECT_STREQ("avi", buffer + ofn.nFileExtension);
  EXPECT_EQ(2u, ofn.nFilterIndex);
  EXPECT_EQ(0u, CommDlgExtendedError());
}

TEST_F(CommonDialogTest, SeveralNamesComeBackAsTheFolderThenEachNameEndedByADoubleNul) {
  char buffer[32768] = {};
  OPENFILENAMEA ofn = OpenIn(OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY, buffer,
                             sizeof buffer);
  ui.AnswerFileDialog({"b.avi", "a.avi"});
  ASSERT_TRUE(GetOpenFileNameA(&ofn));
  std::vector<std::string> parts;
  for (const char* at = buffer; *at; at += std::strlen(at) + 1) parts.emplace_back(at);
  // Typed names take the case the files have.
  EXPECT_EQ((std::vector<std::string>{rootPlatform, "b.avi", "a.AVI"}), parts);
  EXPECT_EQ(rootPlatform.size() + 1, ofn.nFileOffset);

  // One name alone is a full path, as a single choice always is, and the list ends after it.
  ui.AnswerFileDialog({"a.avi"});
  ASSERT_TRUE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(rootPlatform + "\\a.AVI", std::string(buffer));
  EXPECT_EQ('\0', buffer[std::strlen(buffer) + 1]);
}

// Full paths typed together, from folders other than the one shown: the answer names the folder
// that holds them all and each file below it, so that folder + "\" + name is the file.
TEST_F(CommonDialogTest, SeveralFullPathsFromOtherFoldersComeBackBelowTheFolderThatHoldsThemAll) {
  mkdir((root + "/Other").c_str(), 0777);
  WriteText(root + "/Other/far.avi", "f");
  char buffer[32768] = {};
  OPENFILENAMEA ofn = OpenIn(OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY, buffer,
                             sizeof buffer);
  const std::string clipsPlatform = rootPlatform + "\\Clips";
  ofn.lpstrInitialDir = clipsPlatform.c_str();
  ui.AnswerFileDialog({rootPlatform + "\\Other\\far.avi", root + "/b.avi", "inner.avi"});
  ASSERT_TRUE(GetOpenFileNameA(&ofn));
  std::vector<std::string> parts;
  for (const char* at = buffer; *at; at += std::strlen(at) + 1) parts.emplace_back(at);
  EXPECT_EQ((std::vector<std::string>{rootPlatform, "Other\\far.avi", "b.avi", "Clips\\inner.avi"}), parts);
  EXPECT_EQ(rootPlatform.size() + 1, ofn.nFileOffset);

  // A folder among them is no file, and a path through a missing folder is refused as such.
  ui.AnswerFileDialog({rootPlatform + "\\b.avi", rootPlatform + "\\Other"});
  ui.AnswerMessageBox(IDOK, "File not found");
  ui.AnswerFileDialog({rootPlatform + "\\b.avi", "\\nowhere\\x.avi"});
  ui.AnswerMessageBox(IDOK, "The path does not exist");
  ui.CancelDialog("Open");
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
}

TEST_F(CommonDialogTest, AMissingFileIsRefusedInTheDialogAndCancelLeavesTheBufferAlone) {
  char buffer[MAX_PATH] = "untouched";
  OPENFILENAMEA ofn = OpenIn(OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT, buffer, sizeof buffer);
  ui.AnswerFileDialog({"b.avi", "gone.avi"});
  ui.AnswerMessageBox(IDOK, "File not found");
  ui.CancelDialog("Open");
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(0u, CommDlgExtendedError());
  EXPECT_STREQ("untouched", buffer);
}

TEST_F(CommonDialogTest, ABufferTooSmallFailsWithTheSizeItNeeds) {
  char buffer[8] = {};
  OPENFILENAMEA ofn = OpenIn(OFN_EXPLORER | OFN_FILEMUSTEXIST, buffer, sizeof buffer);
  ui.AnswerFileDialog({"b.avi"});
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(static_cast<DWORD>(FNERR_BUFFERTOOSMALL), CommDlgExtendedError());
  WORD needed = 0;
  std::memcpy(&needed, buffer, sizeof needed);
  EXPECT_EQ(rootPlatform.size() + std::strlen("\\b.avi") + 1, needed);

  ofn.lStructSize = 12;
  EXPECT_FALSE(GetOpenFileNameA(&ofn));
  EXPECT_EQ(static_cast<DWORD>(CDERR_STRUCTSIZE), CommDlgExtendedError());
}

TEST_F(CommonDialogTest, FoldersOpenByDoubleClickTheUpButtonAndATypedPath) {
  char buffer[MAX_PATH] = {};
  OPENFILENAMEA ofn = OpenIn(OFN_EXPLORER | OFN_FILEMUSTEXIST, buffer, sizeof buffer);
  std::vector<std::string> inside;
  std::string afterUp, afterTyping;
  ui.AnswerModal([&](UiDriver& ui, HWND dlg) { ui.DoubleClick(RowCenter(dlg, "Clips\\")); });
  ui.AnswerModal([&](UiDriver& ui, HWND dlg) {
    inside = Rows(dlg);
    ui.ClickWindow(GetDlgItem(dlg, psh1));
  });
  ui.AnswerModal([&](UiDriver& ui, HWND dlg) {
    afterUp = Shown(dlg);
    // A folder typed as the name opens it, and the name box is cleared for the file.
    SendMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dlg, edt1)), TRUE);
    ui.Type("clips");
    ui.Press(VK_RETURN);
  });
  ui.AnswerModal([&](UiDriver& ui, HWND dlg) {
    afterTyping = Shown(dlg);
    ui.Type("INNER.AVI");
    ui.Press(VK_RETURN);
  });
  ASSERT_TRUE(GetOpenFileNameA(&ofn));
  EXPECT_EQ((std::vector<std::string>{"..", "inner.avi"}), inside);
  EXPECT_EQ(rootPlatform, afterUp);
  EXPECT_EQ(rootPlatform + "\\Clips", afterTyping);
  EXPECT_EQ(rootPlatform + "\\Clips\\inner.avi", std::string(buffer));
}

TEST_F(CommonDialogTest, SaveAddsTheDefaultExtensionAndAsksBeforeReplacing) {
  char buffer[MAX_PATH] = {};
  OPENFILENAMEA ofn = OpenIn(OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY |
                                 OFN_OVERWRITEPROMPT,
                             buffer, sizeof buffer);
  ofn.lpstrFilter = "AVI File\0*.avi\0";
  ofn.lpstrDefExt = "avi";
  // A file to be written need not exist yet.
  ui.AnswerFileDialog({"merged"}, "Save As");
  ASSERT_TRUE(GetSaveFileNameA(&ofn));
  EXPECT_EQ(rootPlatform + "\\merged.avi", std::string(buffer));
  EXPECT_STREQ("avi", buffer + ofn.nFileExtension);

  ui.AnswerFileDialog({"b"}, "Save As");
  ui.AnswerMessageBox(IDNO, "already exists");
  ui.AnswerFileDialog({"Clips\\new.avi"}, "Save As");
  ASSERT_TRUE(GetSaveFileNameA(&ofn));
  EXPECT_EQ(rootPlatform + "\\Clips\\new.avi", std::string(buffer));

  ui.AnswerFileDialog({"nowhere\\x.avi"}, "Save As");
  ui.AnswerMessageBox(IDOK, "path does not exist");
  ui.CancelDialog("Save As");
  EXPECT_FALSE(GetSaveFileNameA(&ofn));
}

TEST_F(CommonDialogTest, FolderBrowserAnswersAnIdListOfTheChosenFolder) {
  char name[MAX_PATH] = {};
  BROWSEINFOA info{};
  info.lpszTitle = "Please select an output directory for ";
  info.pszDisplayName = name;
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  std::string title;
  ui.AnswerModal([&](UiDriver& ui, HWND dlg) {
    char text[256] = {};
    GetWindowTextA(GetWindow(dlg, GW_CHILD), text, sizeof text);
    title = text;
    SendMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dlg, edt1)), TRUE);
    ui.Type(rootPlatform + "\\clips");
    ui.ClickWindow(GetDlgItem(dlg, IDOK));
  });
  LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
  ASSERT_NE(nullptr, chosen);
  EXPECT_EQ(info.lpszTitle, title);
  char path[MAX_PATH] = {};
  ASSERT_TRUE(SHGetPathFromIDListA(chosen, path));
  EXPECT_EQ(rootPlatform + "\\Clips", std::string(path));
  EXPECT_STREQ("Clips", name);
  ILFree(chosen);

  // A folder that is not there keeps the browser open; cancelling answers nothing.
  ui.AnswerFolderBrowser(rootPlatform + "\\missing");
  ui.AnswerMessageBox(IDOK, "does not exist");
  ui.CancelDialog("Browse for Folder");
  EXPECT_EQ(nullptr, SHBrowseForFolderA(&info));
  EXPECT_FALSE(SHGetPathFromIDListA(nullptr, path));
}

TEST_F(CommonDialogTest, FolderBrowserStartsInTheCurrentDirectoryAndAClickChoosesASubFolder) {
  char saved[MAX_PATH] = {};
  GetCurrentDirectory(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectory(rootPlatform.c_str()));
  BROWSEINFOA info{};
  std::vector<std::string> rows;
  ui.AnswerModal([&](UiDriver& ui, HWND dlg) {
    rows = Rows(dlg);
    ui.Click(RowCenter(dlg, "Clips\\"));
    ui.ClickWindow(GetDlgItem(dlg, IDOK));
  });
  LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
  SetCurrentDirectory(saved);
  ASSERT_NE(nullptr, chosen);
  EXPECT_EQ((std::vector<std::string>{"..", "Clips\\"}), rows);  // folders only
  char path[MAX_PATH] = {};
  ASSERT_TRUE(SHGetPathFromIDListA(chosen, path));
  EXPECT_EQ(rootPlatform + "\\Clips", std::string(path));
  ILFree(chosen);
}

TEST(ColourDialogTest, TypedColourComesBackAndCustomColoursChangeOnlyOnOk) {
  UiDriver ui;
  COLORREF custom[16];
  for (int i = 0; i < 16; ++i) custom[i] = RGB(i, i, i);
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof cc;
  cc.rgbResult = RGB(1, 2, 3);
  cc.lpCustColors = custom;
  cc.Flags = CC_FULLOPEN | CC_ANYCOLOR | CC_RGBINIT;

  // The boxes start on the colour offered; values above 255 are taken as 255.
  UINT shown[3] = {};
  ui.AnswerModal([&](UiDriver& ui, HWND dlg) {
    shown[0] = GetDlgItemInt(dlg, COLOR_RED, nullptr, FALSE);
    shown[1] = GetDlgItemInt(dlg, COLOR_GREEN, nullptr, FALSE);
    shown[2] = GetDlgItemInt(dlg, COLOR_BLUE, nullptr, FALSE);
    SendMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dlg, COLOR_GREEN)), TRUE);
    ui.Type("300");
    ui.ClickWindow(GetDlgItem(dlg, IDOK));
  });
  ASSERT_TRUE(ChooseColorA(&cc));
  EXPECT_EQ(1u, shown[0]);
  EXPECT_EQ(2u, shown[1]);
  EXPECT_EQ(3u, shown[2]);
  EXPECT_EQ(RGB(1, 255, 3), cc.rgbResult);

  // Added then cancelled: neither the colour nor the custom colours change.
  ui.AnswerModal([](UiDriver& ui, HWND dlg) {
    ui.ClickWindow(GetDlgItem(dlg, COLOR_ADD));
    ui.ClickWindow(GetDlgItem(dlg, IDCANCEL));
  });
  EXPECT_FALSE(ChooseColorA(&cc));
  EXPECT_EQ(0u, CommDlgExtendedError());
  EXPECT_EQ(RGB(1, 255, 3), cc.rgbResult);
  EXPECT_EQ(RGB(0, 0, 0), custom[0]);

  // Added in order from the first place and kept on OK.
  ui.AddCustomColourInDialog(RGB(10, 20, 30));
  ASSERT_TRUE(ChooseColorA(&cc));
  EXPECT_EQ(RGB(10, 20, 30), custom[0]);
  EXPECT_EQ(RGB(1, 1, 1), custom[1]);
  EXPECT_EQ(RGB(10, 20, 30), cc.rgbResult);

  // A click on a custom colour takes it.
  ui.PickCustomColourInDialog(5);
  ASSERT_TRUE(ChooseColorA(&cc));
  EXPECT_EQ(RGB(5, 5, 5), cc.rgbResult);

  // Without CC_RGBINIT the dialog starts on black.
  cc.Flags = CC_FULLOPEN;
  cc.rgbResult = RGB(9, 9, 9);
  ui.AnswerModal([&](UiDriver& ui, HWND dlg) {
    shown[0] = GetDlgItemInt(dlg, COLOR_RED, nullptr, FALSE);
    ui.ClickWindow(GetDlgItem(dlg, IDOK));
  });
  ASSERT_TRUE(ChooseColorA(&cc));
  EXPECT_EQ(0u, shown[0]);
  EXPECT_EQ(RGB(0, 0, 0), cc.rgbResult);

  cc.lStructSize = 0;
  EXPECT_FALSE(ChooseColorA(&cc));
  EXPECT_EQ(static_cast<DWORD>(CDERR_STRUCTSIZE), CommDlgExtendedError());
}

}  // namespace
}  // namespace win32_test
