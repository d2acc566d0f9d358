// Tooltips on child windows, with the pointer moved by the driver and time on the virtual clock:
// the tip shows once the pointer rests on a tool, below it, and hides when the pointer leaves, on
// a press and after a while; texts, widths, turning tips off and the owner's activation.
#include <string>
#include <vector>

#include "comctl_fixture.h"

namespace win32_test {
namespace {

constexpr int kDelay = 500;     // the double-click time
constexpr int kFrame = 2 * 3;   // a border and 2 pixels of padding on each side
constexpr int kChar = 5;
constexpr int kLine = 10;

class TooltipTest : public ComctlTest {
 protected:
  void SetUp() override {
    ComctlTest::SetUp();
    tool = Window(parent, WS_CHILD | WS_VISIBLE, 20, 20, 100, 40, 5);
    other = Window(parent, WS_CHILD | WS_VISIBLE, 20, 100, 100, 40, 6);
    // The tools' windows relay their mouse messages, as the framework's windows do.
    CurrentHandler() = [this](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT*) {
      if ((hwnd == tool || hwnd == other) && msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) {
        for (HWND tip : tips) {
          MSG m{hwnd, msg, wParam, lParam, 0, {}};
          SendMessageA(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
        }
      }
      return false;
    };
  }

  HWND Tip(DWORD style = 0) {
    HWND tip = CreateWindowExA(0, TOOLTIPS_CLASS, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, tool, nullptr, nullptr, nullptr);
    EXPECT_NE(tip, nullptr);
    SendMessageA(tip, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    tips.push_back(tip);
    windows.push_back(tip);
    return tip;
  }
  // The tool of id 1: (10, 5)-(60, 25) of `tool`.
  BOOL AddTool(HWND tip, const char* text) {
    TOOLINFO info{};
    info.cbSize = sizeof info;
    info.hwnd = tool;
    info.uId = 1;
    info.rect = {10, 5, 60, 25};
    info.lpszText = const_cast<char*>(text);
    return static_cast<BOOL>(SendMessageA(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&info)));
  }
  void UpdateText(HWND tip, const char* text) {
    TOOLINFO info{};
    info.cbSize = sizeof info;
    info.hwnd = tool;
    info.uId = 1;
    info.lpszText = const_cast<char*>(text);
    SendMessageA(tip, TTM_UPDATETIPTEXT, 0, reinterpret_cast<LPARAM>(&info));
  }
  static SIZE SizeOf(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return {r.right - r.left, r.bottom - r.top};
  }
  // Onto the tool and resting there for the delay.
  void Rest(POINT at) {
    ui.MoveMouse(at);
    ui.AdvanceClock(kDelay);
  }
  POINT OnTool() const { return At(tool, 20, 10); }
  POINT OffTool() const { return At(tool, 80, 10); }  // the same window, outside the tool

  HWND tool = nullptr;
  HWND other = nullptr;
  std::vector<HWND> tips;
};

TEST_F(TooltipTest, ShowsOnceThePointerRestsAndHidesWhenItLeaves) {
  HWND tip = Tip();
  ASSERT_TRUE(AddTool(tip, "Play"));
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
  HWND focus = GetFocus();

  ui.MoveMouse(OnTool());
  ui.AdvanceClock(kDelay - 1);
  EXPECT_FALSE(IsWindowVisible(tip));
  ui.AdvanceClock(1);
  ASSERT_TRUE(IsWindowVisible(tip));

  // Below the pointer, sized to the text, drawn in the tooltip colours.
  RECT r;
  GetWindowRect(tip, &r);
  const POINT pointer = OnTool();
  EXPECT_EQ(r.left, pointer.x);
  EXPECT_EQ(r.top, pointer.y + 20);
  EXPECT_EQ(r.right - r.left, 4 * kChar + kFrame);
  EXPECT_EQ(r.bottom - r.top, kLine + kFrame);
  EXPECT_EQ(ui.PixelAt({r.left, r.top}), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(ui.PixelAt({r.left + 1, r.top + 1}), GetSysColor(COLOR_INFOBK));
  EXPECT_EQ(ui.PixelAt({r.left + 4, r.top + 8}), GetSysColor(COLOR_INFOTEXT));  // the first glyph
  // It takes neither the activation nor the focus, nor the mouse.
  EXPECT_EQ(GetActiveWindow(), parent);
  EXPECT_EQ(GetFocus(), focus);
  EXPECT_NE(WindowFromPoint({r.left + 5, r.top + 5}), tip);

  ui.MoveMouse(OffTool());
  EXPECT_FALSE(IsWindowVisible(tip));

  // A pointer that keeps moving on the tool has not rested yet.
  ui.MoveMouse(OnTool());
  ui.AdvanceClock(kDelay - 100);
  ui.MoveMouse({OnTool().x + 2, OnTool().y});
  ui.AdvanceClock(kDelay - 100);
  EXPECT_FALSE(IsWindowVisible(tip));
  ui.AdvanceClock(100);
  EXPECT_TRUE(IsWindowVisible(tip));

  // Leaving for another window relays nothing; the tip notices all the same.
  ui.MoveMouse(At(parent, 300, 250));
  ui.AdvanceClock(100);
  EXPECT_FALSE(IsWindowVisible(tip));
  ui.AdvanceClock(kDelay);
  EXPECT_FALSE(IsWindowVisible(tip));
}

TEST_F(TooltipTest, PopsAfterAWhileAndAPressHidesItUntilThePointerLeaves) {
  HWND tip = Tip();
  AddTool(tip, "Play");
  Rest(OnTool());
  ASSERT_TRUE(IsWindowVisible(tip));
  ui.AdvanceClock(10 * kDelay - 100);
  EXPECT_TRUE(IsWindowVisible(tip));
  ui.AdvanceClock(100);
  EXPECT_FALSE(IsWindowVisible(tip));
  Rest({OnTool().x + 3, OnTool().y});
  EXPECT_FALSE(IsWindowVisible(tip));  // not again while the pointer stays
  ui.MoveMouse(OffTool());
  Rest(OnTool());
  EXPECT_TRUE(IsWindowVisible(tip));

  ui.MouseDown(OnTool());
  EXPECT_FALSE(IsWindowVisible(tip));
  ui.MouseUp(OnTool());
  Rest({OnTool().x + 3, OnTool().y});
  EXPECT_FALSE(IsWindowVisible(tip));
  ui.MoveMouse(OffTool());
  Rest(OnTool());
  EXPECT_TRUE(IsWindowVisible(tip));
}

TEST_F(TooltipTest, TextsWidthsAndWhenTipsMayShow) {
  HWND tip = Tip();
  AddTool(tip, "Play");
  // A whole window as a tool; single ampersands are not shown.
  TOOLINFO whole{};
  whole.cbSize = sizeof whole;
  whole.uFlags = TTF_IDISHWND;
  whole.hwnd = parent;
  whole.uId = reinterpret_cast<UINT_PTR>(other);
  whole.lpszText = const_cast<char*>("A&B");
  EXPECT_TRUE(SendMessageA(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&whole)));
  TOOLINFO tooSmall = whole;
  tooSmall.cbSize = 8;
  EXPECT_FALSE(SendMessageA(tip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&tooSmall)));
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
  Rest(At(other, 90, 30));
  ASSERT_TRUE(IsWindowVisible(tip));
  EXPECT_EQ(SizeOf(tip).cx, 2 * kChar + kFrame);

  // New text, also while the tip shows.
  UpdateText(tip, "Pause!");
  Rest(OnTool());
  ASSERT_TRUE(IsWindowVisible(tip));
  EXPECT_EQ(SizeOf(tip).cx, 6 * kChar + kFrame);
  UpdateText(tip, "Go on");
  EXPECT_EQ(SizeOf(tip).cx, 5 * kChar + kFrame);

  // A widest width breaks the text into lines.
  EXPECT_EQ(SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, 3 * kChar), -1);
  ui.MoveMouse(OffTool());
  Rest(OnTool());
  EXPECT_EQ(SizeOf(tip).cx, 2 * kChar + kFrame);
  EXPECT_EQ(SizeOf(tip).cy, 2 * kLine + kFrame);
  EXPECT_EQ(SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, -1), 3 * kChar);

  // Turned off, no tip; turned on again, tips as before.
  SendMessageA(tip, TTM_ACTIVATE, FALSE, 0);
  EXPECT_FALSE(IsWindowVisible(tip));
  ui.MoveMouse(OffTool());
  Rest(OnTool());
  EXPECT_FALSE(IsWindowVisible(tip));
  SendMessageA(tip, TTM_ACTIVATE, TRUE, 0);
  ui.MoveMouse(OffTool());
  Rest(OnTool());
  EXPECT_TRUE(IsWindowVisible(tip));
  ui.MoveMouse(OffTool());

  // While another window is active, only a tooltip that always tips shows.
  HWND always = Tip(TTS_ALWAYSTIP);
  AddTool(always, "Always");
  HWND elsewhere = Window(nullptr, WS_POPUP | WS_VISIBLE, 600, 400, 50, 50);
  ui.Pump();
  ASSERT_EQ(GetActiveWindow(), elsewhere);
  Rest(OnTool());
  EXPECT_FALSE(IsWindowVisible(tip));
  EXPECT_TRUE(IsWindowVisible(always));
}

}  // namespace
}  // namespace win32_test
