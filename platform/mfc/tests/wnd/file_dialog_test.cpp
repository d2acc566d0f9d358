// CFileDialog as the program uses it: a filter in the framework's form, its own large name
// buffer, several files walked by position, and the save dialog's default extension.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <string>
#include <vector>

#include "mfc/afxwnd.h"
#include "testing/sandbox.h"
#include "testing/ui_driver.h"

namespace mfc_test {
namespace {

class FileDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = testing_support::SandboxDir() + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    mkdir(folder.c_str(), 0777);
    for (const char* name : {"one.avi", "two.mpg", "three.txt"}) std::ofstream(folder + "/" + name) << name;
    platformFolder = PlatformPathFromPosix(folder);
  }
  std::string folder, platformFolder;
  testing_ui::UiDriver ui;
};

TEST_F(FileDialogTest, SeveralChosenFilesAreWalkedAsFullPathsInTheirOrder) {
  CFileDialog dialog(TRUE, nullptr, nullptr, OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY,
                     "All Supported Files|*.avi;*.mpg|All Files|*.*||");
  std::vector<char> names(32768);
  dialog.m_ofn.lpstrFile = names.data();
  dialog.m_ofn.nMaxFile = static_cast<DWORD>(names.size());
  dialog.m_ofn.lpstrInitialDir = platformFolder.c_str();
  std::vector<std::string> listed;
  ui.AnswerModal([&](testing_ui::UiDriver& ui, HWND dlg) {
    const int n = static_cast<int>(SendDlgItemMessageA(dlg, lst1, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      char text[64] = {};
      SendDlgItemMessageA(dlg, lst1, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
      listed.emplace_back(text);
    }
    ui.ClickWindow(GetDlgItem(dlg, IDCANCEL));
  });
  EXPECT_EQ(IDCANCEL, dialog.DoModal());
  EXPECT_EQ((std::vector<std::string>{"..", "one.avi", "two.mpg"}), listed);  // the first filter

  ui.AnswerFileDialog({"two.mpg", "one.avi"});
  ASSERT_EQ(IDOK, dialog.DoModal());
  std::vector<std::string> paths;
  for (POSITION pos = dialog.GetStartPosition(); pos;) paths.emplace_back(dialog.GetNextPathName(pos));
  EXPECT_EQ((std::vector<std::string>{platformFolder + "\\two.mpg", platformFolder + "\\one.avi"}), paths);

  ui.AnswerFileDialog({"one.avi"});
  ASSERT_EQ(IDOK, dialog.DoModal());
  POSITION pos = dialog.GetStartPosition();
  EXPECT_EQ(CString((platformFolder + "\\one.avi").c_str()), dialog.GetNextPathName(pos));
  EXPECT_EQ(nullptr, pos);
  EXPECT_EQ(CString((platformFolder + "\\one.avi").c_str()), dialog.GetPathName());
}

TEST_F(FileDialogTest, SaveDialogAddsItsDefaultExtension) {
  CFileDialog dialog(FALSE, "avi", nullptr, OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY,
                     "AVI File|*.avi||");
  dialog.m_ofn.lpstrInitialDir = platformFolder.c_str();
  ui.AnswerFileDialog({"merge"}, "Save As");
  ASSERT_EQ(IDOK, dialog.DoModal());
  EXPECT_EQ(CString((platformFolder + "\\merge.avi").c_str()), dialog.GetPathName());
}

}  // namespace
}  // namespace mfc_test
