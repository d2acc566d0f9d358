// The skinned dialog showing the default skin's main face: every kind of element is built from
// the skin in its place, and each one's reports reach the dialog's hooks by name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/skin_dialog.h"
#include "skin/skin_package.h"
#include "testing/ui_driver.h"

namespace {

using testing_ui::UiDriver;

const DLGTEMPLATE kTemplate = {WS_POPUP, 0, 0, 0, 10, 10, "Main", nullptr, 0, nullptr, 0, nullptr};

class CMainFaceDialog : public CSkinDialog {
 public:
  using CSkinDialog::comboBoxes_;
  using CSkinDialog::comboButtons_;
  using CSkinDialog::editBoxes_;
  using CSkinDialog::listBoxes_;
  using CSkinDialog::sliders_;

  std::vector<std::string> calls;

  void Open() {
    ASSERT_TRUE(CreateIndirect(&kTemplate));
    MoveWindow(20, 10, 640, 490);
    ShowWindow(SW_SHOW);
  }
  void OnListDblClk(int index) override { calls.push_back("list " + std::to_string(index)); }

 protected:
  void OnSkinSlider(CString name, int position) override {
    calls.push_back("slider " + std::string(name) + " " + std::to_string(position));
  }
};

POINT ScreenOf(const CWnd& window, int x, int y) {
  POINT point{x, y};
  ::ClientToScreen(window.m_hWnd, &point);
  return point;
}

CRect RectIn(const CWnd& dialog, const CWnd& control) {
  CRect rect;
  control.GetWindowRect(&rect);
  ::ScreenToClient(dialog.m_hWnd, reinterpret_cast<LPPOINT>(&rect.left));
  ::ScreenToClient(dialog.m_hWnd, reinterpret_cast<LPPOINT>(&rect.right));
  return rect;
}

class SkinDialogElementsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog_.Open();
    ASSERT_TRUE(dialog_.LoadSkinPackage("Default"));
    ui_.Pump();
  }
  void TearDown() override { dialog_.DestroyWindow(); }

  UiDriver ui_;
  CMainFaceDialog dialog_;
};

TEST_F(SkinDialogElementsTest, EveryKindOfElementIsBuiltInItsPlace) {
  const SkinModel& skin = dialog_.Skin();
  ASSERT_EQ(dialog_.sliders_.size(), skin.sliders.size());
  ASSERT_EQ(dialog_.editBoxes_.size(), skin.editBoxes.size());
  ASSERT_EQ(dialog_.listBoxes_.size(), skin.listBoxes.size());
  ASSERT_EQ(dialog_.comboBoxes_.size(), skin.comboBoxes.size());
  ASSERT_EQ(dialog_.comboButtons_.size(), skin.comboBoxes.size());
  ASSERT_FALSE(skin.sliders.empty());
  ASSERT_FALSE(skin.comboBoxes.empty());

  for (const SkinSliderInfo& info : skin.sliders) EXPECT_NE(dialog_.FindSlider(info.name), nullptr) << info.name;
  EXPECT_EQ(dialog_.FindSlider("slider_progress"), nullptr);
  for (size_t i = 0; i < skin.editBoxes.size(); ++i) {
    EXPECT_EQ(dialog_.editBoxes_[i]->GetName(), skin.editBoxes[i].name);
    EXPECT_EQ(RectIn(dialog_, *dialog_.editBoxes_[i]), skin.editBoxes[i].rect);
  }
  for (size_t i = 0; i < skin.listBoxes.size(); ++i) {
    CRect both;
    const CRect list = RectIn(dialog_, *dialog_.listBoxes_[i]);
    const CRect bar = RectIn(dialog_, dialog_.listBoxes_[i]->GetScrollBar());
    both.UnionRect(&list, &bar);
    EXPECT_EQ(both, skin.listBoxes[i].rect);
  }
  for (size_t i = 0; i < skin.comboBoxes.size(); ++i) {
    const SkinComboParts parts = skin.comboBoxes[i].Layout();
    EXPECT_EQ(RectIn(dialog_, *dialog_.comboButtons_[i]), parts.button);
    EXPECT_EQ(RectIn(dialog_, dialog_.comboBoxes_[i]->GetEdit()), parts.edit);
    EXPECT_EQ(dialog_.comboButtons_[i]->Name(), "COMBO_BTN");
    EXPECT_TRUE(dialog_.comboBoxes_[i]->IsListHidden());
    EXPECT_FALSE(dialog_.comboBoxes_[i]->GetDropList().IsWindowVisible());
  }
}

TEST_F(SkinDialogElementsTest, TheTimeLabelShowsThePositionSlidersPositionAndRange) {
  std::optional<SkinModel> skin = LoadSkinPackage(SkinPackagePath("Default"), SkinFaceKind::Main, RGB(255, 0, 255));
  ASSERT_TRUE(skin);
  SkinLabelInfo* time = FindSkinElement(skin->labels, "LABEL_TIME");
  ASSERT_NE(time, nullptr);
  time->text = "not yet";
  dialog_.ApplySkin(std::move(*skin));
  ASSERT_NE(dialog_.FindLabel("LABEL_TIME"), nullptr);
  CString shown;
  dialog_.FindLabel("LABEL_TIME")->GetWindowText(shown);
  EXPECT_EQ(shown, "00:00:00/00:00:00");
}

TEST_F(SkinDialogElementsTest, ASliderDragReachesTheHookByName) {
  CSkinSlider* slider = dialog_.FindSlider("SLIDER_PROGRESS");
  ASSERT_NE(slider, nullptr);
  slider->SetRange(0, 200);
  dialog_.SetSliderPos("SLIDER_PROGRESS", 50);
  EXPECT_EQ(dialog_.GetSliderPos("SLIDER_PROGRESS"), 50);
  EXPECT_EQ(dialog_.GetSliderPos("NO_SUCH_SLIDER"), 0);
  dialog_.SetSliderPos("NO_SUCH_SLIDER", 5);
  EXPECT_TRUE(dialog_.calls.empty());  // setting a position tells nobody

  CRect track;
  slider->GetClientRect(&track);
  const POINT end = ScreenOf(*slider, track.right - 1, track.Height() / 2);
  ui_.MouseDown(end);
  ui_.MouseUp(end);
  ASSERT_FALSE(dialog_.calls.empty());
  EXPECT_EQ(dialog_.calls.back(), "slider SLIDER_PROGRESS 200");
  EXPECT_EQ(dialog_.GetSliderPos("SLIDER_PROGRESS"), 200);
}

TEST_F(SkinDialogElementsTest, ADoubleClickOnTheFileListReachesTheHook) {
  CSkinListBoxCtrl& files = *dialog_.listBoxes_.at(0);
  files.AddRow("a.avi", "", "");
  files.AddRow("b.avi", "", "");
  ui_.Pump();
  CRect row;
  files.GetItemRect(1, &row, LVIR_BOUNDS);
  ui_.DoubleClick(ScreenOf(files, 60, row.CenterPoint().y));
  EXPECT_EQ(dialog_.calls, std::vector<std::string>{"list 0"});
}

TEST_F(SkinDialogElementsTest, TheDropDownButtonOpensTheListAndLeavingTheComboClosesIt) {
  CSkinComboBox& profiles = *dialog_.comboBoxes_.at(0);
  CSkinCommandButton& dropDown = *dialog_.comboButtons_.at(0);
  profiles.AddString("AVI");
  profiles.AddString("MP4");
  ui_.ClickWindow(dropDown.m_hWnd);
  EXPECT_FALSE(profiles.IsListHidden());
  EXPECT_TRUE(profiles.GetDropList().IsWindowVisible());
  ui_.ClickWindow(dropDown.m_hWnd);
  EXPECT_TRUE(profiles.IsListHidden());

  // Open again and pick a row.
  ui_.ClickWindow(dropDown.m_hWnd);
  CRect row;
  profiles.GetDropList().GetItemRect(1, &row, LVIR_BOUNDS);
  ui_.Click(ScreenOf(profiles.GetDropList(), 10, row.CenterPoint().y));
  CString picked;
  profiles.GetEdit().GetWindowText(picked);
  EXPECT_EQ(picked, "MP4");
  EXPECT_TRUE(profiles.IsListHidden());

  // Open, then move over the dialog's body: inside the combo's area (between the edit and the list)
  // it stays open, outside it closes. The first move only ends the button's hover.
  ui_.ClickWindow(dropDown.m_hWnd);
  const CRect area = profiles.GetDropDownRect();
  const int gap = RectIn(dialog_, profiles.GetDropList()).top - 1;
  ASSERT_EQ(::WindowFromPoint(ScreenOf(dialog_, area.left + 5, gap)), dialog_.m_hWnd);
  ui_.MoveMouse(ScreenOf(dialog_, area.left + 5, gap));
  ui_.MoveMouse(ScreenOf(dialog_, area.left + 6, gap));
  EXPECT_FALSE(profiles.IsListHidden());
  ASSERT_EQ(::WindowFromPoint(ScreenOf(dialog_, area.left - 8, area.bottom - 4)), dialog_.m_hWnd);
  ui_.MoveMouse(ScreenOf(dialog_, area.left - 8, area.bottom - 4));
  EXPECT_TRUE(profiles.IsListHidden());
  EXPECT_FALSE(profiles.GetDropList().IsWindowVisible());
}

TEST_F(SkinDialogElementsTest, EveryComboBoxsListClosesWhenTheMouseLeavesIt) {
  std::optional<SkinModel> skin = LoadSkinPackage(SkinPackagePath("Default"), SkinFaceKind::Main, RGB(255, 0, 255));
  ASSERT_TRUE(skin);
  skin->listBoxes.clear();  // room for a second combo box where the file list was
  SkinComboBoxInfo second;
  second.name = "COMBO_SECOND";
  second.index = 1;
  second.rect = CRect(40, 100, 220, 190);
  skin->comboBoxes.push_back(std::move(second));
  dialog_.ApplySkin(std::move(*skin));
  ui_.Pump();
  ASSERT_EQ(dialog_.comboBoxes_.size(), 2u);

  CSkinComboBox& combo = *dialog_.comboBoxes_[1];
  combo.ToggleDropDown();
  ASSERT_FALSE(combo.IsListHidden());
  const CRect area = combo.GetDropDownRect();
  ui_.MoveMouse(ScreenOf(dialog_, area.right + 20, area.top + 10));
  EXPECT_TRUE(combo.IsListHidden());
  EXPECT_FALSE(combo.GetDropList().IsWindowVisible());
}

TEST_F(SkinDialogElementsTest, TheScrollBarsHoverLookClearsWhenTheMouseMovesOnTheDialog) {
  CSkinListBoxCtrl& files = *dialog_.listBoxes_.at(0);
  for (int row = 0; row < 40; ++row) files.AddRow("clip.avi", "", "");
  ui_.Pump();
  CSkinScrollBar& bar = files.GetScrollBar();
  CRect client;
  bar.GetClientRect(&client);
  const auto plain = UiDriver::CaptureWindow(bar.m_hWnd);

  ui_.MoveMouse(ScreenOf(bar, client.Width() / 2, client.bottom - 2));
  EXPECT_NE(UiDriver::CaptureWindow(bar.m_hWnd).pixels, plain.pixels);  // the down arrow lights up

  // A dialog point whose coordinates, taken as the bar's own, would lie on the thumb.
  const CRect barInDialog = RectIn(dialog_, bar);
  const CPoint onDialog(8, bar.GetThumbTop() + 2);
  ASSERT_LT(onDialog.x, barInDialog.left);
  ASSERT_EQ(::WindowFromPoint(ScreenOf(dialog_, onDialog.x, onDialog.y)), dialog_.m_hWnd);
  ui_.MoveMouse(ScreenOf(dialog_, onDialog.x, onDialog.y));
  EXPECT_EQ(UiDriver::CaptureWindow(bar.m_hWnd).pixels, plain.pixels);
}

TEST_F(SkinDialogElementsTest, SwitchingTheSkinAgainLeavesNoElementBehind) {
  auto children = [&] {
    int count = 0;
    for (HWND child = ::GetWindow(dialog_.m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) ++count;
    return count;
  };
  const int once = children();
  ASSERT_TRUE(dialog_.LoadSkinPackage("Default"));
  ui_.Pump();
  EXPECT_EQ(children(), once);
  dialog_.ReleaseSkin();
  EXPECT_EQ(children(), 0);
  EXPECT_EQ(dialog_.FindSlider("SLIDER_PROGRESS"), nullptr);
}

}  // namespace
