#include "converter_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "skin/skin_combo_box.h"
#include "skin/skin_edit.h"
#include "skin/skin_list_box.h"
#include "testing/sandbox.h"

namespace app_test {

namespace fs = std::filesystem;

void ConverterTest::SetUp() {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  folder_ = testing_support::SandboxDir() + "/" + test->test_suite_name() + "." + test->name();
  fs::remove_all(folder_);
  fs::create_directories(folder_ + "/MyProfile");
  // The skins the window lists are the packages of its folder.
  std::string bin(CConverterDlg::GetProgramFolder().GetString());
  std::replace(bin.begin(), bin.end(), '\\', '/');
  fs::copy_file(bin + "/Default.skn", folder_ + "/Default.skn");
  CRecordingEngine::Register();
  CRecordingEngine::ClearCalls();
  AfxEnableControlContainer();
  AfxRegisterControlSiteClass(CTessary::GetClsid());
}

void ConverterTest::TearDown() {
  if (dialog_ && dialog_->m_hWnd) dialog_->DestroyWindow();
  dialog_.reset();
  CWnd::DeleteTempMap();
}

void ConverterTest::WriteProfile(const std::string& file, const ProfileText& p) {
  std::ofstream out(folder_ + "/MyProfile/" + file, std::ios::binary);
  char rate[32], slow[32];
  std::snprintf(rate, sizeof rate, "%f", p.frameRate);
  std::snprintf(slow, sizeof slow, "%f", p.slowMotionRate);
  out << "[MYPROFILE]\r\nName=" << p.name << "\r\nDESC=\r\nVCOMP=" << p.videoIndex << "\r\nVCOMPNAME=" << p.videoName
      << "\r\nACOMPNAME=" << p.audioName << "\r\nACOMP=" << p.audioIndex << "\r\nFRAMERATE=" << rate
      << "\r\nWIDTH=" << p.width << "\r\nHEIGHT=" << p.height << "\r\nSTRETCH=" << p.stretch
      << "\r\nDVVIDEOSTAND=" << p.dvStandard << "\r\nMP3BitrateIndex=6\r\nMP3Bitrate=" << p.mp3Bitrate
      << "\r\nUSESLOWMOTION=" << (p.slowMotion ? "T" : "F") << "\r\nSLOWMOTIONRATE=" << slow
      << "\r\nUSEOVERLAY=" << (p.overlay ? "T" : "F") << "\r\nOVERLAYIMAGE=" << p.overlayImage
      << "\r\nOVERLAYLEFT=" << p.overlayLeft << "\r\nOVERLAYTOP=" << p.overlayTop << "\r\nCHROMAKEYR=" << p.keyRed
      << "\r\nCHROMAKEYG=" << p.keyGreen << "\r\nCHROMAKEYB=" << p.keyBlue << "\r\nALPHAVALUE=" << p.alpha << "\r\n";
}

void ConverterTest::WriteSettings(const std::string& text) {
  std::ofstream(folder_ + "/mysetting.ini", std::ios::binary) << text;
}

std::string ConverterTest::ReadSettings() const {
  std::ifstream in(folder_ + "/mysetting.ini", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string result;
  for (char c : text.str())
    if (c != '\r') result += c;
  return result;
}

void ConverterTest::Start() {
  dialog_ = std::make_unique<CConverterDlg>(nullptr, folder_.c_str());
  ASSERT_TRUE(dialog_->Create(CConverterDlg::IDD, nullptr));
  ASSERT_NE(CRecordingEngine::Current(), nullptr);
  dialog_->ShowWindow(SW_SHOW);
  ui_.Pump();
}

INT_PTR ConverterTest::RunModal(std::function<void()> steps) {
  dialog_ = std::make_unique<CConverterDlg>(nullptr, folder_.c_str());
  ui_.AnswerModal([&](testing_ui::UiDriver&, HWND) { steps(); });
  return dialog_->DoModal();
}

void ConverterTest::AddRow(const std::string& path, const std::string& start, const std::string& end) {
  CSkinListBoxCtrl* list = dialog_->FileList();
  ASSERT_NE(list, nullptr);
  list->AddRow(path.c_str(), start.c_str(), end.c_str());
}

void ConverterTest::SelectRow(int row) {
  CSkinListBoxCtrl* list = dialog_->FileList();
  for (int i = 0; i < list->GetItemCount(); ++i) list->SetItemState(i, 0, LVIS_SELECTED | LVIS_FOCUSED);
  list->SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  list->SetSelectionMark(row);
}

void ConverterTest::ClickButton(const char* name) {
  CSkinButton* button = dialog_->FindButton(name);
  ASSERT_NE(button, nullptr) << name;
  ui_.ClickWindow(button->m_hWnd);
}

void ConverterTest::ClickOption(const char* name) {
  // Options are buttons of their own kind; they are found by position in the skin.
  const SkinModel& skin = dialog_->Skin();
  for (size_t i = 0; i < skin.options.size(); ++i) {
    if (skin.options[i].name != name) continue;
    CRect rect = skin.options[i].rect;
    dialog_->ClientToScreen(&rect);
    ui_.Click(rect.CenterPoint());
    return;
  }
  FAIL() << "no option " << name;
}

void ConverterTest::SelectProfile(int index) {
  CSkinComboBox* combo = dialog_->ProfileCombo();
  ASSERT_NE(combo, nullptr);
  combo->GetDropList().SetSelectionMark(index);
}

std::vector<std::string> ConverterTest::RowPaths() const {
  std::vector<std::string> paths;
  CSkinListBoxCtrl* list = dialog_->FileList();
  for (int i = 0; i < list->GetItemCount(); ++i) paths.emplace_back(list->GetItemText(i, 1).GetString());
  return paths;
}

std::string ConverterTest::OutputText() const {
  CString text;
  dialog_->OutputBox()->GetWindowText(text);
  return text.GetString();
}

}  // namespace app_test
