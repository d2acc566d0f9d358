// The up-down control: clicks on its arrows asking the parent, stepping within the range and
// telling the parent the new position; ranges and positions set by messages; the pressed look.
#include <vector>

#include "comctl_fixture.h"

namespace win32_test {
namespace {

class UpDownTest : public ComctlTest {
 protected:
  HWND UpDown(DWORD style = 0) {
    HWND w = CreateWindowExA(0, UPDOWN_CLASS, nullptr, WS_CHILD | WS_VISIBLE | style, 20, 20, 16, 40, parent,
                             reinterpret_cast<HMENU>(INT_PTR(7)), nullptr, nullptr);
    EXPECT_NE(w, nullptr);
    windows.push_back(w);
    return w;
  }
  int Pos(HWND w) { return int(SendMessageA(w, UDM_GETPOS32, 0, 0)); }

  struct Asked {
    int pos, delta;
    bool operator==(const Asked&) const = default;
  };
  std::vector<Asked> asked;
  std::vector<int> told;
  int scale = 1;
  LRESULT refuse = 0;
};

TEST_F(UpDownTest, ArrowsStepWithinTheRangeAfterAskingTheParent) {
  HWND w = UpDown();
  CurrentHandler() = [this, w](HWND, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (msg == WM_NOTIFY) {
      auto* nm = reinterpret_cast<NMUPDOWN*>(lParam);
      EXPECT_EQ(nm->hdr.hwndFrom, w);
      EXPECT_EQ(nm->hdr.idFrom, 7u);
      asked.push_back({nm->iPos, nm->iDelta});
      nm->iDelta *= scale;
      *result = refuse;
      return true;
    }
    if (msg == WM_VSCROLL) {
      EXPECT_EQ(LOWORD(wParam), SB_THUMBPOSITION);
      EXPECT_EQ(reinterpret_cast<HWND>(lParam), w);
      told.push_back(int(SHORT(HIWORD(wParam))));
      return true;
    }
    return false;
  };
  SendMessageA(w, UDM_SETRANGE32, 0, 3);
  SendMessageA(w, UDM_SETPOS32, 0, 2);
  ui.Click(At(w, 8, 5));    // up
  ui.Click(At(w, 8, 5));    // up again: held at the maximum
  ui.Click(At(w, 8, 35));   // down
  EXPECT_EQ(asked, (std::vector<Asked>{{2, 1}, {3, 1}, {3, -1}}));
  EXPECT_EQ(told, (std::vector<int>{3, 3, 2}));
  EXPECT_EQ(Pos(w), 2);

  // The parent may change the step or refuse it.
  scale = 5;
  ui.Click(At(w, 8, 35));
  EXPECT_EQ(Pos(w), 0);
  refuse = 1;
  ui.Click(At(w, 8, 5));
  EXPECT_EQ(Pos(w), 0);
  EXPECT_EQ(told.size(), 4u);

  // With a range that runs downwards the up arrow lowers the position.
  refuse = 0;
  scale = 1;
  SendMessageA(w, UDM_SETRANGE32, 10, 0);
  SendMessageA(w, UDM_SETPOS32, 0, 5);
  ui.Click(At(w, 8, 5));
  EXPECT_EQ(Pos(w), 4);
}

TEST_F(UpDownTest, RangesPositionsAndBuddyBySetAndGet) {
  HWND w = UpDown();
  int low = -1, high = -1;
  SendMessageA(w, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
  EXPECT_EQ(low, 100);
  EXPECT_EQ(high, 0);
  SendMessageA(w, UDM_SETRANGE32, 0, 1000);
  EXPECT_EQ(SendMessageA(w, UDM_SETPOS32, 0, 500), 0);
  EXPECT_EQ(SendMessageA(w, UDM_SETPOS32, 0, 5000), 500);
  EXPECT_EQ(Pos(w), 1000);
  BOOL failed = TRUE;
  SendMessageA(w, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed));
  EXPECT_FALSE(failed);
  SendMessageA(w, UDM_SETRANGE, 0, MAKELONG(50, -20));
  EXPECT_EQ(SendMessageA(w, UDM_GETRANGE, 0, 0), MAKELONG(50, WORD(-20)));
  EXPECT_EQ(Pos(w), 50);  // held within the new range
  EXPECT_EQ(SendMessageA(w, UDM_SETBUDDY, reinterpret_cast<WPARAM>(parent), 0), 0);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(w, UDM_GETBUDDY, 0, 0)), parent);
}

TEST_F(UpDownTest, ThePressedArrowLooksPressedUntilReleased) {
  HWND w = UpDown();
  SendMessageA(w, UDM_SETRANGE32, 0, 10);
  ui.Pump();
  const testing_ui::Image before = testing_ui::UiDriver::CaptureWindow(w);
  ui.MouseDown(At(w, 8, 5));
  const testing_ui::Image pressed = testing_ui::UiDriver::CaptureWindow(w);
  ui.MouseUp(At(w, 8, 5));
  const testing_ui::Image after = testing_ui::UiDriver::CaptureWindow(w);
  // The top arrow changes, the bottom one does not.
  bool topChanged = false, bottomChanged = false;
  for (int y = 0; y < before.height; ++y)
    for (int x = 0; x < before.width; ++x)
      if (before.At(x, y) != pressed.At(x, y)) (y < before.height / 2 ? topChanged : bottomChanged) = true;
  EXPECT_TRUE(topChanged);
  EXPECT_FALSE(bottomChanged);
  EXPECT_EQ(after.pixels, before.pixels);
}

}  // namespace
}  // namespace win32_test
