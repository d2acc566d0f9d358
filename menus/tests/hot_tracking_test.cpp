// Menu-bar hot-tracking by the frames themselves: only where the system does not do it (before
// Windows 2000, or on a remote desktop). These cases run in processes that report such a system
// and skip elsewhere; the last case checks that a newer system is left to do it alone.
#include <functional>
#include <vector>

#include "menu_test_support.h"
#include "menus/styled_frames.h"
#include "test_resources.h"
#include "testing/ui_driver.h"

namespace menus_test {
namespace {

using testing_ui::UiDriver;

bool FramesTrackTheBar() { return GetStyledMenuWinVersion() < 6 || GetSystemMetrics(SM_REMOTESESSION) != 0; }

// A styled frame that records the menu-bar items drawn whole (the library's hot-tracking draws
// whole items; the system's own hot-tracking draws selections).
class CTrackedFrame : public CStyledFrameWnd {
 public:
  struct Draw {
    ULONG_PTR data;
    UINT state;
    bool operator==(const Draw&) const = default;
  };
  std::vector<Draw> draws;
  const CMenuBarHotTracking& Tracking() const { return hotTracking_; }
  CWnd child;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    const auto* request = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (message == WM_DRAWITEM && request->CtlType == ODT_MENU && request->itemAction == ODA_DRAWENTIRE)
      draws.push_back({request->itemData, request->itemState & (ODS_HOTLIGHT | ODS_INACTIVE)});
    return CStyledFrameWnd::WindowProc(message, wParam, lParam);
  }
};

class HotTrackingTest : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP);
    frame = new CTrackedFrame;
    ASSERT_TRUE(frame->LoadFrame(kMenuResource, WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    frame->MoveWindow(40, 40, 400, 300);
    frame->child.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), frame, 1);
    ui.Pump();
    CStyledMenu* bar = CStyledMenu::FromMenuHandle(GetMenu(frame->m_hWnd));
    ASSERT_NE(bar, nullptr);
    file = reinterpret_cast<ULONG_PTR>(bar->Items().at(0));
    help = reinterpret_cast<ULONG_PTR>(bar->Items().at(1));
  }
  void TearDown() override {
    if (frame) frame->DestroyWindow();
    MenuTest::TearDown();
  }
  // The draws a step makes.
  std::vector<CTrackedFrame::Draw> Step(const std::function<void()>& step) {
    frame->draws.clear();
    step();
    return frame->draws;
  }
  POINT Item(int position) const { return UiDriver::MenuBarItemCenter(frame->m_hWnd, position); }

  UiDriver ui;
  CTrackedFrame* frame = nullptr;
  ULONG_PTR file = 0, help = 0;
};

using Draws = std::vector<CTrackedFrame::Draw>;
constexpr UINT kInactiveHot = ODS_HOTLIGHT | ODS_INACTIVE;

TEST_F(HotTrackingTest, OlderSystemMovingAlongTheBarRedrawsTheOldItemNormalFirst) {
  if (!FramesTrackTheBar()) GTEST_SKIP() << "the system tracks the bar itself";
  // The frame, not one of its children, has the focus: the inactive pair of states.
  frame->SetFocus();
  EXPECT_EQ(Step([&] { ui.MoveMouse(Item(0)); }), (Draws{{file, kInactiveHot}}));
  EXPECT_EQ(frame->Tracking().HotPosition(), 0);
  EXPECT_NE(frame->Tracking().Timer(), 0u);

  EXPECT_EQ(Step([&] { ui.MoveMouse(Item(1)); }), (Draws{{file, ODS_INACTIVE}, {help, kInactiveHot}}));
  POINT within = Item(1);
  ++within.x;
  EXPECT_EQ(Step([&] { ui.MoveMouse(within); }), Draws{}) << "the hot item is drawn once";

  // The cursor leaves the window: the timer notices.
  EXPECT_EQ(Step([&] {
              ui.MoveMouse(POINT{900, 700});
              ui.AdvanceClock(150);
            }),
            (Draws{{help, ODS_INACTIVE}}));
  EXPECT_EQ(frame->Tracking().HotPosition(), -1);
  EXPECT_EQ(frame->Tracking().Timer(), 0u);

  // With the focus in a child the states are the active pair.
  frame->child.SetFocus();
  EXPECT_EQ(Step([&] { ui.MoveMouse(Item(0)); }), (Draws{{file, ODS_HOTLIGHT}}));
  EXPECT_EQ(Step([&] { ui.MoveMouse(Item(1)); }), (Draws{{file, 0}, {help, ODS_HOTLIGHT}}));
}

TEST_F(HotTrackingTest, OlderSystemEnteringAMenuLoopRedrawsTheHotItemNormal) {
  if (!FramesTrackTheBar()) GTEST_SKIP() << "the system tracks the bar itself";
  frame->child.SetFocus();
  ui.MoveMouse(Item(1));
  ASSERT_EQ(frame->Tracking().HotPosition(), 1);

  EXPECT_EQ(Step([&] { frame->SendMessage(WM_ENTERMENULOOP, FALSE); }), (Draws{{help, 0}}));
  EXPECT_EQ(frame->Tracking().HotPosition(), -1);
  EXPECT_EQ(frame->Tracking().Timer(), 0u);
  EXPECT_EQ(Step([&] { ui.MoveMouse(Item(0)); }), Draws{}) << "nothing is tracked inside the loop";

  frame->SendMessage(WM_EXITMENULOOP, FALSE);
  EXPECT_EQ(Step([&] { ui.MoveMouse(Item(1)); }), (Draws{{help, ODS_HOTLIGHT}}));
}

TEST_F(HotTrackingTest, NewerSystemLeavesTheBarToTheSystem) {
  if (FramesTrackTheBar()) GTEST_SKIP() << "the frames track the bar on this system";
  frame->child.SetFocus();
  EXPECT_EQ(Step([&] {
              ui.MoveMouse(Item(0));
              ui.MoveMouse(Item(1));
              ui.AdvanceClock(150);
            }),
            Draws{});
  EXPECT_EQ(frame->Tracking().HotPosition(), -1);
  EXPECT_EQ(frame->Tracking().Timer(), 0u);
}

}  // namespace
}  // namespace menus_test
