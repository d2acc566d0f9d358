// The controls of the default skin's main face, created from the real package on a stand-in
// dialog that shows the face: each lies where the skin puts it and works.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "skin/skin_combo_box.h"
#include "skin/skin_edit.h"
#include "skin/skin_list_box.h"
#include "skin/skin_package.h"
#include "skin/skin_slider.h"
#include "test_host.h"
#include "testing/ui_driver.h"

namespace {

using skin_test::TestHost;
using testing_ui::UiDriver;

constexpr COLORREF kKey = RGB(255, 0, 255);

CRect RectIn(CWnd& host, CWnd& control) {
  CRect rect;
  control.GetWindowRect(&rect);
  host.ScreenToClient(&rect);
  return rect;
}

TEST(DefaultSkinControlsTest, EveryControlOfTheMainFaceIsCreatedInPlaceAndWorks) {
  UiDriver ui;
  std::optional<SkinModel> skin = LoadSkinPackage(SkinPackagePath("Default"), SkinFaceKind::Main, kKey);
  ASSERT_TRUE(skin);
  TestHost host(0, 0, skin->background.Get());
  const CRect face(0, 0, skin->background.Width(), skin->background.Height());

  std::vector<std::unique_ptr<CSkinSlider>> sliders;
  for (SkinSliderInfo& info : skin->sliders) {
    sliders.push_back(std::make_unique<CSkinSlider>());
    ASSERT_TRUE(sliders.back()->CreateFromSkin(info, skin->transparentColour, &host));
  }
  std::vector<std::unique_ptr<CColorFontEdit>> edits;
  for (SkinEditBoxInfo& info : skin->editBoxes) {
    edits.push_back(std::make_unique<CColorFontEdit>());
    ASSERT_TRUE(edits.back()->CreateFromSkin(info, &host));
    EXPECT_EQ(RectIn(host, *edits.back()), info.rect);
  }
  std::vector<std::unique_ptr<CSkinListBoxCtrl>> lists;
  for (SkinListBoxInfo& info : skin->listBoxes) {
    const CRect whole = info.rect;
    lists.push_back(std::make_unique<CSkinListBoxCtrl>());
    ASSERT_TRUE(lists.back()->CreateFromSkin(info, &host));
    const CRect list = RectIn(host, *lists.back());
    const CRect bar = RectIn(host, lists.back()->GetScrollBar());
    CRect both;
    both.UnionRect(&list, &bar);
    EXPECT_EQ(both, whole);  // the list's rectangle holds its bar
  }
  std::vector<std::unique_ptr<CSkinComboBox>> combos;
  std::vector<CRect> dropAreas;
  for (SkinComboBoxInfo& info : skin->comboBoxes) {
    dropAreas.push_back(info.Layout().dropList);
    combos.push_back(std::make_unique<CSkinComboBox>());
    ASSERT_TRUE(combos.back()->CreateFromSkin(info, &host));
  }
  ASSERT_FALSE(sliders.empty());
  ASSERT_FALSE(lists.empty());
  ASSERT_FALSE(combos.empty());
  ui.Pump();

  for (auto& slider : sliders) EXPECT_TRUE(face.PtInRect(RectIn(host, *slider).CenterPoint()));

  // The closed drop list shows the face under it.
  const CPoint inDropList = dropAreas[0].CenterPoint();
  EXPECT_EQ(UiDriver::PixelAt(TestHost::ScreenPoint(host, inDropList.x, inDropList.y)),
            host.BackgroundDC()->GetPixel(inDropList));

  // The position slider reports a drag.
  CSkinSlider& position = *sliders[0];
  position.SetRange(0, 100);
  CRect track;
  position.GetClientRect(&track);
  ui.MouseDown(TestHost::ScreenPoint(position, track.right - 1, track.Height() / 2));
  ui.MouseUp(TestHost::ScreenPoint(position, track.right - 1, track.Height() / 2));
  ASSERT_FALSE(host.sliderCommands.empty());
  EXPECT_EQ(host.sliderCommands.back(), std::make_pair(0, 100));

  // The file list scrolls with its bar once it holds more rows than it shows.
  CSkinListBoxCtrl& files = *lists[0];
  for (int row = 0; row < 40; ++row) files.AddRow("clip.avi", "", "");
  ui.Pump();
  CRect bar;
  files.GetScrollBar().GetClientRect(&bar);
  ui.Click(TestHost::ScreenPoint(files.GetScrollBar(), bar.Width() / 2, bar.bottom - 2));
  EXPECT_EQ(files.GetTopIndex(), 1);

  // The profile combo picks through its drop list.
  CSkinComboBox& profiles = *combos[0];
  profiles.AddString("AVI");
  profiles.AddString("MP4");
  profiles.ToggleDropDown();
  ui.Pump();
  CRect row;
  profiles.GetDropList().GetItemRect(1, &row, LVIR_BOUNDS);
  ui.Click(TestHost::ScreenPoint(profiles.GetDropList(), 10, row.CenterPoint().y));
  CString picked;
  profiles.GetEdit().GetWindowText(picked);
  EXPECT_EQ(picked, "MP4");
  EXPECT_TRUE(profiles.IsListHidden());
}

}  // namespace
