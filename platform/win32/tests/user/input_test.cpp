// Input: hit testing, capture and its cancellation, the caption move loop, double clicks,
// mouse tracking, cursors, keyboard, focus and activation.
#include <algorithm>

#include "user_fixture.h"

namespace win32_test {
namespace {

struct Click {
  HWND hwnd;
  UINT message;
  POINT pt;
};

class InputTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    CurrentHandler() = [this](HWND h, UINT m, WPARAM w, LPARAM l, LRESULT* r) {
      if (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) mouse.push_back({h, m, {GET_X_LPARAM(l), GET_Y_LPARAM(l)}});
      if (extra) return extra(h, m, w, l, r);
      return false;
    };
  }
  void TearDown() override {
    extra = nullptr;  // it may refer to the test's locals
    // Leave no button or key down for the next test.
    if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) wu::InjectMouseButton(VK_LBUTTON, false, {1000, 700});
    wu::PumpUntilIdle();
    UserTest::TearDown();
  }
  void ClickAt(POINT p) {
    wu::InjectMouseButton(VK_LBUTTON, true, p);
    wu::InjectMouseButton(VK_LBUTTON, false, p);
    wu::PumpUntilIdle();
  }
  std::vector<UINT> MessagesOf(HWND h) const {
    std::vector<UINT> out;
    for (const Click& c : mouse) {
      if (c.hwnd == h) out.push_back(c.message);
    }
    return out;
  }

  std::vector<Click> mouse;
  Handler extra;
};

TEST_F(InputTest, TransparentHitTestsPassToLowerSiblingsThenTheParent) {
  HWND parent = Top(0, 0, 200, 200);
  HWND lower = Child(parent, 10, 10, 100, 100);
  HWND upper = Child(parent, 50, 50, 100, 100);
  SetWindowPos(upper, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  extra = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT* r) {
    if (m == WM_NCHITTEST && h == upper) {
      *r = HTTRANSPARENT;
      return true;
    }
    return false;
  };
  EXPECT_EQ(WindowFromPoint({60, 60}), lower);   // under both: the lower one
  EXPECT_EQ(WindowFromPoint({130, 130}), parent);  // only under the transparent one
  EXPECT_EQ(ChildWindowFromPoint(parent, {130, 130}), upper);  // no hit test there
  ClickAt({60, 60});
  EXPECT_EQ(MessagesOf(lower), (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}));
  EXPECT_TRUE(MessagesOf(upper).empty());
  ASSERT_FALSE(mouse.empty());
  EXPECT_EQ(mouse.back().pt.x, 50);  // client coordinates of the lower child
}

TEST_F(InputTest, HiddenAndDisabledWindowsAndRegionsInHitTesting) {
  HWND parent = Top(0, 0, 200, 200);
  HWND hidden = Child(parent, 0, 0, 50, 50, WS_CHILD);
  HWND disabled = Child(parent, 60, 0, 50, 50, WS_CHILD | WS_VISIBLE | WS_DISABLED);
  HWND shaped = Child(parent, 120, 0, 50, 50);
  SetWindowRgn(shaped, CreateRectRgn(0, 0, 25, 50), FALSE);
  EXPECT_EQ(WindowFromPoint({10, 10}), parent);
  EXPECT_EQ(WindowFromPoint({70, 10}), parent);  // a disabled child stops at its parent
  EXPECT_EQ(WindowFromPoint({130, 10}), shaped);
  EXPECT_EQ(WindowFromPoint({160, 10}), parent);  // outside the region
  EXPECT_EQ(ChildWindowFromPoint(parent, {10, 10}), hidden);
  EXPECT_EQ(ChildWindowFromPointEx(parent, {10, 10}, CWP_SKIPINVISIBLE), parent);
  EXPECT_EQ(ChildWindowFromPointEx(parent, {70, 10}, CWP_SKIPDISABLED), parent);
  EXPECT_EQ(ChildWindowFromPointEx(parent, {160, 10}, CWP_ALL), parent);
  EXPECT_EQ(ChildWindowFromPoint(parent, {500, 10}), nullptr);
  EXPECT_EQ(WindowFromPoint({900, 700}), GetDesktopWindow());
  ClickAt({70, 10});
  EXPECT_TRUE(MessagesOf(disabled).empty());
  EXPECT_EQ(MessagesOf(parent).back(), static_cast<UINT>(WM_LBUTTONUP));
}

TEST_F(InputTest, CaptureTakesTheMouseAndDisablingCancelsIt) {
  HWND parent = Top(0, 0, 200, 200);
  HWND child = Child(parent, 10, 10, 50, 50);
  HWND other = Top(300, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  std::vector<std::pair<HWND, UINT>> notes;
  extra = [&](HWND h, UINT m, WPARAM, LPARAM l, LRESULT*) {
    if (m == WM_CAPTURECHANGED || m == WM_CANCELMODE || m == WM_ENABLE) notes.push_back({h, m});
    if (m == WM_CAPTURECHANGED) {
      EXPECT_EQ(l, 0);
    }
    return false;
  };
  SetCapture(child);
  EXPECT_EQ(GetCapture(), child);
  wu::InjectMouseMove({350, 50});
  wu::PumpUntilIdle();
  EXPECT_TRUE(MessagesOf(other).empty());
  ASSERT_FALSE(mouse.empty());
  EXPECT_EQ(mouse.back().hwnd, child);
  EXPECT_EQ(mouse.back().pt.x, 340);  // client coordinates, even outside
  EnableWindow(parent, FALSE);
  EXPECT_EQ(GetCapture(), nullptr);
  std::vector<std::pair<HWND, UINT>> expected = {
      {parent, WM_CANCELMODE}, {child, WM_CAPTURECHANGED}, {parent, WM_ENABLE}};
  EXPECT_EQ(notes, expected);
  EXPECT_FALSE(IsWindowEnabled(parent));
  EXPECT_TRUE(EnableWindow(parent, TRUE));
  EXPECT_TRUE(IsWindowEnabled(parent));
  // Capture moving to another window tells the first one who took it.
  SetCapture(child);
  notes.clear();
  extra = [&](HWND h, UINT m, WPARAM, LPARAM l, LRESULT*) {
    if (m == WM_CAPTURECHANGED) {
      notes.push_back({h, m});
      EXPECT_EQ(reinterpret_cast<HWND>(l), other);
    }
    return false;
  };
  EXPECT_EQ(SetCapture(other), child);
  EXPECT_EQ(notes.size(), 1u);
}

TEST_F(InputTest, HoverTrackingThroughCaptureAsSkinButtonsDoIt) {
  HWND dialog = Top(0, 0, 200, 100);
  HWND button = Child(dialog, 10, 10, 50, 30);
  bool hover = false;
  int captureChanges = 0;
  extra = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT*) {
    if (h != button) return false;
    if (m == WM_CAPTURECHANGED) ++captureChanges;
    if (m != WM_MOUSEMOVE) return false;
    if (GetCapture() != button && GetActiveWindow()) {
      hover = true;
      SetCapture(button);
      return true;
    }
    POINT p;
    GetCursorPos(&p);
    if (WindowFromPoint(p) != button) {
      hover = false;
      if (!(GetAsyncKeyState(VK_LBUTTON) & 0x8000)) ReleaseCapture();
    }
    return true;
  };
  wu::InjectMouseMove({20, 20});
  wu::PumpUntilIdle();
  EXPECT_TRUE(hover);
  EXPECT_EQ(GetCapture(), button);
  wu::InjectMouseMove({30, 25});  // still over it, through the capture
  wu::PumpUntilIdle();
  EXPECT_TRUE(hover);
  wu::InjectMouseMove({150, 50});
  wu::PumpUntilIdle();
  EXPECT_FALSE(hover);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(captureChanges, 1);
  EXPECT_TRUE(MessagesOf(dialog).empty());  // the button had that move
  wu::InjectMouseMove({151, 50});
  wu::PumpUntilIdle();
  EXPECT_EQ(MessagesOf(dialog), std::vector<UINT>{WM_MOUSEMOVE});
}

TEST_F(InputTest, DraggingByAPostedCaptionPressMovesTheWindow) {
  HWND h = Top(100, 100, 200, 150);
  std::vector<UINT> phases;
  extra = [&](HWND w, UINT m, WPARAM, LPARAM l, LRESULT*) {
    if (m == WM_LBUTTONDOWN) PostMessageA(w, WM_NCLBUTTONDOWN, HTCAPTION, l);  // as a skinned dialog does
    if (m == WM_ENTERSIZEMOVE || m == WM_EXITSIZEMOVE) phases.push_back(m);
    return false;
  };
  wu::InjectMouseButton(VK_LBUTTON, true, {150, 150});
  wu::InjectMouseMove({170, 160});
  wu::InjectMouseMove({190, 180});
  wu::InjectMouseButton(VK_LBUTTON, false, {190, 180});
  wu::PumpUntilIdle();
  RECT r = WindowRect(h);
  EXPECT_EQ(r.left, 140);
  EXPECT_EQ(r.top, 130);
  EXPECT_EQ(r.right - r.left, 200);
  EXPECT_EQ(phases, (std::vector<UINT>{WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(InputTest, CaptionDragOfAnOrdinaryWindowAndEscapePutsItBack) {
  HWND h = Top(100, 100, 200, 150, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU);
  EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(150, 110)), HTCAPTION);
  EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(295, 110)), HTCLOSE);
  EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(150, 200)), HTCLIENT);
  EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(101, 200)), HTBORDER);
  wu::InjectMouseButton(VK_LBUTTON, true, {150, 110});
  wu::InjectMouseMove({160, 115});
  wu::InjectMouseButton(VK_LBUTTON, false, {160, 115});
  wu::PumpUntilIdle();
  EXPECT_EQ(WindowRect(h).left, 110);
  EXPECT_EQ(WindowRect(h).top, 105);
  EXPECT_EQ(MessagesOf(h).empty(), true);  // non-client presses are not client messages

  wu::InjectMouseButton(VK_LBUTTON, true, {150, 110});
  wu::InjectMouseMove({300, 300});
  wu::InjectKey(VK_ESCAPE, true);
  wu::InjectKey(VK_ESCAPE, false);
  wu::InjectMouseButton(VK_LBUTTON, false, {300, 300});
  wu::PumpUntilIdle();
  EXPECT_EQ(WindowRect(h).left, 110);
  EXPECT_EQ(WindowRect(h).top, 105);
}

TEST_F(InputTest, DoubleClicksNeedTheClassStyleTheTimeAndTheDistance) {
  HWND plain = Top(0, 0, 100, 100);
  HWND dbl = Top(200, 0, 100, 100, WS_POPUP | WS_VISIBLE, 0, "TestDblClk");
  ClickAt({210, 10});
  ClickAt({211, 11});
  ClickAt({211, 11});  // a third click starts over
  std::vector<UINT> downs;
  for (UINT m : MessagesOf(dbl)) {
    if (m != WM_MOUSEMOVE && m != WM_LBUTTONUP) downs.push_back(m);
  }
  EXPECT_EQ(downs, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN}));
  mouse.clear();
  ClickAt({10, 10});
  ClickAt({10, 10});
  auto plainMessages = MessagesOf(plain);
  EXPECT_EQ(std::count(plainMessages.begin(), plainMessages.end(), static_cast<UINT>(WM_LBUTTONDOWN)), 2);
  mouse.clear();
  ClickAt({250, 50});
  platform_config::AdvanceVirtualClock(GetDoubleClickTime() + 1);
  ClickAt({250, 50});
  ClickAt({260, 50});  // too far
  auto ms = MessagesOf(dbl);
  EXPECT_EQ(std::count(ms.begin(), ms.end(), static_cast<UINT>(WM_LBUTTONDBLCLK)), 0);
}

TEST_F(InputTest, TrackMouseEventPostsLeaveWhenTheMouseGoes) {
  HWND a = Top(0, 0, 100, 100);
  HWND b = Top(200, 0, 100, 100);
  int leaves = 0;
  extra = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT*) {
    if (m == WM_MOUSELEAVE && h == a) ++leaves;
    if (m == WM_MOUSEMOVE && h == a) {
      TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, h, 0};
      _TrackMouseEvent(&tme);
    }
    return false;
  };
  wu::InjectMouseMove({50, 50});
  wu::InjectMouseMove({60, 50});
  wu::PumpUntilIdle();
  EXPECT_EQ(leaves, 0);
  TRACKMOUSEEVENT query{sizeof query, TME_QUERY, nullptr, 0};
  TrackMouseEvent(&query);
  EXPECT_EQ(query.hwndTrack, a);
  wu::InjectMouseMove({250, 50});
  wu::PumpUntilIdle();
  EXPECT_EQ(leaves, 1);
  // Asking while the mouse is elsewhere answers at once.
  TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, a, 0};
  TrackMouseEvent(&tme);
  wu::PumpUntilIdle();
  EXPECT_EQ(leaves, 2);
  (void)b;
}

TEST_F(InputTest, SetCursorComesBeforeTheMouseMessage) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = TestProc;
  wc.hCursor = LoadCursorA(nullptr, IDC_HAND);
  wc.lpszClassName = "HandCursor";
  RegisterClassA(&wc);
  ASSERT_NE(wc.hCursor, nullptr);
  EXPECT_EQ(LoadCursorA(nullptr, IDC_HAND), wc.hCursor);  // shared
  EXPECT_EQ(wu::SystemCursorId(wc.hCursor), 32649);
  ICONINFO info;
  ASSERT_TRUE(GetIconInfo(wc.hCursor, &info));  // a real cursor
  EXPECT_FALSE(info.fIcon);
  DeleteObject(info.hbmMask);
  HWND h = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE, 0, "HandCursor");
  std::vector<UINT> order;
  extra = [&](HWND, UINT m, WPARAM, LPARAM l, LRESULT*) {
    if (m == WM_SETCURSOR) {
      EXPECT_EQ(LOWORD(l), HTCLIENT);
    }
    if (m == WM_SETCURSOR || m == WM_MOUSEMOVE || m == WM_NCHITTEST) order.push_back(m);
    return false;
  };
  SetCursor(nullptr);
  wu::InjectMouseMove({20, 20});
  wu::PumpUntilIdle();
  EXPECT_EQ(order, (std::vector<UINT>{WM_NCHITTEST, WM_SETCURSOR, WM_MOUSEMOVE}));
  EXPECT_EQ(GetCursor(), wc.hCursor);
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 20);
  // A child's own class cursor wins over its parent's.
  wc.hCursor = LoadCursorA(nullptr, IDC_IBEAM);
  wc.lpszClassName = "BeamCursor";
  RegisterClassA(&wc);
  Child(h, 50, 50, 20, 20, WS_CHILD | WS_VISIBLE, 0, "BeamCursor");
  wu::InjectMouseMove({60, 60});
  wu::PumpUntilIdle();
  EXPECT_EQ(GetCursor(), wc.hCursor);
}

TEST_F(InputTest, MessagePositionAndTimeAreThoseOfTheEvent) {
  HWND h = Top(0, 0, 100, 100);
  wu::PumpUntilIdle();
  const DWORD when = GetTickCount();
  SetCursorPos(33, 44);
  platform_config::AdvanceVirtualClock(100);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, h, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));
  EXPECT_EQ(GET_X_LPARAM(GetMessagePos()), 33);
  EXPECT_EQ(GET_Y_LPARAM(GetMessagePos()), 44);
  EXPECT_EQ(static_cast<DWORD>(GetMessageTime()), when);
  // Posted messages carry where the last input left the mouse.
  PostMessageA(h, WM_USER, 0, 0);
  ASSERT_TRUE(PeekMessageA(&msg, h, WM_USER, WM_USER, PM_REMOVE));
  EXPECT_EQ(msg.pt.x, 33);
  EXPECT_EQ(static_cast<DWORD>(GetMessageTime()), when + 100);
}

TEST_F(InputTest, KeysGoToTheFocusAndTranslateIntoCharacters) {
  HWND top = Top(0, 0, 100, 100);
  HWND edit = Child(top, 0, 0, 50, 20);
  SetFocus(edit);
  std::vector<std::pair<UINT, WPARAM>> keys;
  bool shiftSeen = false;
  extra = [&](HWND h, UINT m, WPARAM w, LPARAM, LRESULT*) {
    if (h == edit && (m == WM_KEYDOWN || m == WM_KEYUP || m == WM_CHAR || m == WM_SYSKEYDOWN || m == WM_SYSCHAR)) {
      keys.push_back({m, w});
      if (m == WM_KEYDOWN && w == 'B') shiftSeen = GetKeyState(VK_SHIFT) < 0;
    }
    return false;
  };
  wu::InjectKey('A', true);
  wu::InjectKey('A', false);
  wu::InjectKey(VK_SHIFT, true);
  wu::InjectKey('B', true);
  wu::InjectKey('B', false);
  wu::InjectKey(VK_SHIFT, false);
  wu::InjectKey(VK_MENU, true);
  wu::InjectKey('X', true);
  wu::InjectKey('X', false);
  wu::InjectKey(VK_MENU, false);
  wu::PumpUntilIdle();
  std::vector<std::pair<UINT, WPARAM>> expected = {
      {WM_KEYDOWN, 'A'},  {WM_CHAR, 'a'},      {WM_KEYUP, 'A'},       {WM_KEYDOWN, VK_SHIFT},
      {WM_KEYDOWN, 'B'},  {WM_CHAR, 'B'},      {WM_KEYUP, 'B'},       {WM_KEYUP, VK_SHIFT},
      {WM_SYSKEYDOWN, VK_MENU}, {WM_SYSKEYDOWN, 'X'}, {WM_SYSCHAR, 'x'}};
  ASSERT_GE(keys.size(), expected.size());
  keys.resize(expected.size());
  EXPECT_EQ(keys, expected);
  EXPECT_TRUE(shiftSeen);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);  // up again (the low bit only toggles)
}

TEST_F(InputTest, FocusAndActivationMoveInThePlatformsOrder) {
  HWND a = Top(0, 0, 100, 100);
  HWND field = Child(a, 0, 0, 10, 10);
  HWND b = Top(200, 0, 100, 100, WS_POPUP);
  SetFocus(field);
  ShowWindow(b, SW_SHOWNA);
  EXPECT_EQ(GetActiveWindow(), a);
  SendRecorder rec;
  std::vector<std::pair<HWND, WPARAM>> focusNotes;
  extra = [&](HWND h, UINT m, WPARAM w, LPARAM, LRESULT*) {
    if (m == WM_KILLFOCUS || m == WM_SETFOCUS) focusNotes.push_back({h, w});
    return false;
  };
  EXPECT_EQ(SetActiveWindow(b), a);
  std::vector<std::pair<HWND, UINT>> order;
  for (auto& e : rec.log) {
    if (e.second == WM_NCACTIVATE || e.second == WM_ACTIVATE || e.second == WM_KILLFOCUS || e.second == WM_SETFOCUS) {
      order.push_back(e);
    }
  }
  std::vector<std::pair<HWND, UINT>> expected = {{a, WM_NCACTIVATE}, {a, WM_ACTIVATE}, {b, WM_NCACTIVATE},
                                                 {b, WM_ACTIVATE},   {field, WM_KILLFOCUS}, {b, WM_SETFOCUS}};
  EXPECT_EQ(order, expected);
  ASSERT_EQ(focusNotes.size(), 2u);
  EXPECT_EQ(reinterpret_cast<HWND>(focusNotes[0].second), b);
  EXPECT_EQ(reinterpret_cast<HWND>(focusNotes[1].second), field);
  EXPECT_EQ(GetFocus(), b);
  EXPECT_EQ(GetForegroundWindow(), b);
  EXPECT_EQ(GetTopWindow(nullptr), b);  // the active window comes to the top

  // A click on the inactive window activates it.
  std::vector<UINT> clickOrder;
  extra = [&](HWND h, UINT m, WPARAM w, LPARAM, LRESULT*) {
    if (h == field && (m == WM_MOUSEACTIVATE || m == WM_LBUTTONDOWN)) clickOrder.push_back(m);
    if (h == a && m == WM_ACTIVATE) {
      EXPECT_EQ(LOWORD(w), WA_CLICKACTIVE);
      clickOrder.push_back(m);
    }
    return false;
  };
  ClickAt({5, 5});
  EXPECT_EQ(clickOrder, (std::vector<UINT>{WM_MOUSEACTIVATE, WM_ACTIVATE, WM_LBUTTONDOWN}));
  EXPECT_EQ(GetActiveWindow(), a);
  // Hiding or destroying the focused child leaves the focus to its parent.
  SetFocus(field);
  ShowWindow(field, SW_HIDE);
  EXPECT_EQ(GetFocus(), a);
  SetFocus(field);
  DestroyWindow(field);
  EXPECT_EQ(GetFocus(), a);
}

TEST_F(InputTest, WheelGoesToTheFocusAndClimbsToTheParent) {
  HWND top = Top(0, 0, 100, 100);
  HWND child = Child(top, 0, 0, 50, 50);
  SetFocus(child);
  std::vector<std::pair<HWND, short>> wheels;
  extra = [&](HWND h, UINT m, WPARAM w, LPARAM, LRESULT*) {
    if (m == WM_MOUSEWHEEL) wheels.push_back({h, GET_WHEEL_DELTA_WPARAM(w)});
    return false;
  };
  wu::InjectMouseWheel(-WHEEL_DELTA, {10, 10});
  wu::PumpUntilIdle();
  EXPECT_EQ(wheels, (std::vector<std::pair<HWND, short>>{{child, -120}, {top, -120}}));
}

}  // namespace
}  // namespace win32_test
