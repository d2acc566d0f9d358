// Styled menu bars: items drawn hot and pressed in the window's frame, the recorded item
// rectangle, and finding the menu that measures an item for a frame.
#include <memory>

#include "colour_ops.h"
#include "menu_test_support.h"
#include "testing/ui_driver.h"

namespace menus_test {
namespace {

using testing_ui::Image;
using testing_ui::UiDriver;

// A framework window with a styled menu bar that hands pop-up initialisation to the library.
class Frame : public CWnd {
 public:
  Frame() {
    CreateEx(0, nullptr, "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300, nullptr, nullptr);
    bar.LoadMenu(::CreateMenu());
    file = bar.AppendSubMenu("&File");
    file->AppendMenu(MF_STRING, 100, "Open");
    file->AppendMenu(MF_STRING, 101, "Close");
    bar.AppendMenu(MF_STRING, 200, "Help");
    ::SetMenu(m_hWnd, bar.m_hMenu);
  }
  ~Frame() override {
    ::SetMenu(m_hWnd, nullptr);
    DestroyWindow();
  }
  CStyledMenu bar;
  CStyledMenu* file = nullptr;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    LRESULT result = CWnd::WindowProc(message, wParam, lParam);
    if (message == WM_INITMENUPOPUP)
      CStyledMenu::InitMenuPopup(m_hWnd, reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam));
    return result;
  }
};

class MenuBarTest : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP);
    frame = std::make_unique<Frame>();
    ui.Pump();
  }
  void TearDown() override {
    frame.reset();
    MenuTest::TearDown();
  }
  UiDriver ui;
  std::unique_ptr<Frame> frame;
};

TEST_F(MenuBarTest, HotItemIsDrawnInTheFrameAndItsRectangleRecorded) {
  RECT item{};
  ASSERT_TRUE(GetMenuItemRect(frame->m_hWnd, frame->bar.m_hMenu, 0, &item));
  EXPECT_EQ(item.right - item.left, 5 * kCharWidth - 6 + MENU_OWNERDRAW_EXTRA);
  ASSERT_TRUE(DrawMenuBarItem(frame->m_hWnd, frame->bar.m_hMenu, 0, ODS_HOTLIGHT));
  const Image screen = UiDriver::CaptureScreen();
  // Hot: the selection fill, framed, over the item less 4 pixels on the right.
  EXPECT_EQ(screen.At(item.left + 2, item.top + 2), RGB(194, 211, 238));
  EXPECT_EQ(screen.At(item.left, item.top + 5), kHighlight);
  EXPECT_EQ(screen.At(item.right - 5, item.top + 5), kHighlight);
  EXPECT_EQ(screen.At(item.right - 2, item.top + 5), kMenuBar);
  const RECT recorded = frame->bar.BarItemRect();
  EXPECT_EQ(recorded.left, item.left);
  EXPECT_EQ(recorded.top, item.top);
  EXPECT_EQ(recorded.right, item.right - 4);
  EXPECT_EQ(recorded.bottom, item.bottom);

  EXPECT_FALSE(DrawMenuBarItem(frame->m_hWnd, frame->bar.m_hMenu, -1, 0));
  CMenu plain;
  plain.CreateMenu();
  plain.AppendMenu(MF_STRING, 1, "Plain");
  ::SetMenu(frame->m_hWnd, plain.m_hMenu);
  EXPECT_FALSE(DrawMenuBarItem(frame->m_hWnd, plain.m_hMenu, 0, ODS_HOTLIGHT));
  ::SetMenu(frame->m_hWnd, frame->bar.m_hMenu);
}

TEST_F(MenuBarTest, OpenPopUpPressesItsBarItemUntilItCloses) {
  RECT item{};
  ASSERT_TRUE(GetMenuItemRect(frame->m_hWnd, frame->bar.m_hMenu, 0, &item));
  ui.AnswerMenu([&](UiDriver& driver, HWND) {
    driver.Pump();
    EXPECT_EQ(frame->bar.OpenPopups(), 1);
    const Image screen = UiDriver::CaptureScreen();
    // Pressed: the icon-column colour framed in darken(128) of the bar, a shadow at the right.
    EXPECT_EQ(screen.At(item.left + 2, item.top + 2), RGB(239, 236, 222));
    EXPECT_EQ(screen.At(item.left, item.top + 5), RGB(118, 116, 108));
    EXPECT_EQ(screen.At(item.right - 4, item.top + 10), styled_menu::Darken(120, kMenuBar));
    driver.DismissMenu();
  });
  ui.Click(UiDriver::MenuBarItemCenter(frame->m_hWnd, 0));
  EXPECT_EQ(frame->bar.OpenPopups(), 0);
}

TEST_F(MenuBarTest, FramesFindTheStyledMenuThatMeasuresAnItem) {
  MEASUREITEMSTRUCT request{ODT_MENU, 0, 101, 0, 0, reinterpret_cast<ULONG_PTR>(frame->file->Items()[1])};
  MSG message{frame->m_hWnd, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&request), 0, {}};
  ASSERT_TRUE(CStyledMenu::MeasureItemFromMessage(&message));
  EXPECT_EQ(int(request.itemWidth), 16 + 5 * kCharWidth + 19 / 2 + 6);  // "Close", flat
  // An item that opens a sub-menu is measured by the menu of that handle.
  MEASUREITEMSTRUCT opener{ODT_MENU, 0, UINT(reinterpret_cast<UINT_PTR>(frame->file->m_hMenu)), 0, 0,
                           reinterpret_cast<ULONG_PTR>(frame->bar.Items()[0])};
  message.lParam = reinterpret_cast<LPARAM>(&opener);
  ASSERT_TRUE(CStyledMenu::MeasureItemFromMessage(&message));
  EXPECT_EQ(int(opener.itemWidth), 5 * kCharWidth - 6);  // a menu-bar item with a mnemonic
  // Nothing to measure: another item data, another control type, another message.
  MEASUREITEMSTRUCT stranger{ODT_MENU, 0, 101, 0, 0, 12345};
  message.lParam = reinterpret_cast<LPARAM>(&stranger);
  EXPECT_FALSE(CStyledMenu::MeasureItemFromMessage(&message));
  stranger.CtlType = ODT_LISTBOX;
  EXPECT_FALSE(CStyledMenu::MeasureItemFromMessage(&message));
  message.message = WM_DRAWITEM;
  EXPECT_FALSE(CStyledMenu::MeasureItemFromMessage(&message));
  EXPECT_FALSE(CStyledMenu::MeasureItemFromMessage(nullptr));
}

}  // namespace
}  // namespace menus_test
