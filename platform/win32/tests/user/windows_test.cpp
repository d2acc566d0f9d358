// Windows: creation and destruction orders, SetWindowPos, styles and rectangles, the tree,
// window longs, subclassing, properties and atoms.
#include <algorithm>
#include <cstring>

#include "user_fixture.h"

namespace win32_test {
namespace {

using WindowsTest = UserTest;

TEST_F(WindowsTest, CreatingAVisibleOverlappedWindowSendsThePlatformSequence) {
  SendRecorder rec;
  HWND h = CreateWindowExA(0, "TestWindow", "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 20, 300, 200,
                           nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  std::vector<UINT> expected = {WM_GETMINMAXINFO, WM_NCCREATE,  WM_NCCALCSIZE,         WM_CREATE,
                                WM_SIZE,          WM_MOVE,      WM_SHOWWINDOW,         WM_WINDOWPOSCHANGING,
                                WM_ACTIVATEAPP,   WM_NCACTIVATE, WM_ACTIVATE,          WM_SETFOCUS,
                                WM_WINDOWPOSCHANGED};
  EXPECT_EQ(rec.To(h), expected);
  EXPECT_EQ(GetActiveWindow(), h);
  EXPECT_EQ(GetFocus(), h);
  char text[16];
  EXPECT_EQ(GetWindowTextA(h, text, sizeof text), 4);
  EXPECT_STREQ(text, "main");
}

TEST_F(WindowsTest, ChildCreationNotifiesTheParentAndShowsWithoutActivating) {
  HWND parent = Top(0, 0, 200, 200);
  SendRecorder rec;
  HWND child = Child(parent, 5, 5, 50, 50, WS_CHILD | WS_VISIBLE, 7);
  std::vector<UINT> expected = {WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE,
                                WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED};
  EXPECT_EQ(rec.To(child), expected);
  EXPECT_EQ(rec.To(parent), std::vector<UINT>{WM_PARENTNOTIFY});
  EXPECT_EQ(GetWindowLongPtrA(child, GWLP_ID), 7);
  EXPECT_EQ(GetParent(child), parent);
  EXPECT_TRUE(IsChild(parent, child));
}

TEST_F(WindowsTest, FailingCreationReturnsNullAndDestroysTheWindow) {
  HWND seen = nullptr;
  CurrentHandler() = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT* r) {
    if (m == WM_CREATE) {
      seen = h;
      *r = -1;
      return true;
    }
    return false;
  };
  SendRecorder rec;
  EXPECT_EQ(Top(0, 0, 10, 10), nullptr);
  ASSERT_NE(seen, nullptr);
  EXPECT_FALSE(IsWindow(seen));
  auto sent = rec.To(seen);
  EXPECT_EQ(sent.back(), static_cast<UINT>(WM_NCDESTROY));
  EXPECT_TRUE(std::find(sent.begin(), sent.end(), static_cast<UINT>(WM_DESTROY)) != sent.end());
}

TEST_F(WindowsTest, DestructionHidesThenDestroysParentFirstAndFreesChildrenFirst) {
  HWND parent = Top(0, 0, 200, 200);
  HWND child = Child(parent, 0, 0, 50, 50);
  HWND grandchild = Child(child, 0, 0, 10, 10);
  SendRecorder rec;
  ASSERT_TRUE(DestroyWindow(parent));
  std::vector<std::pair<HWND, UINT>> order;
  for (auto& [h, m] : rec.log) {
    if (m == WM_DESTROY || m == WM_NCDESTROY || m == WM_WINDOWPOSCHANGING || m == WM_WINDOWPOSCHANGED) {
      order.push_back({h, m});
    }
  }
  std::vector<std::pair<HWND, UINT>> expected = {
      {parent, WM_WINDOWPOSCHANGING}, {parent, WM_WINDOWPOSCHANGED}, {parent, WM_DESTROY},
      {child, WM_DESTROY},            {grandchild, WM_DESTROY},      {grandchild, WM_NCDESTROY},
      {child, WM_NCDESTROY},          {parent, WM_NCDESTROY}};
  EXPECT_EQ(order, expected);
  EXPECT_FALSE(IsWindow(parent));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_FALSE(DestroyWindow(parent));  // a stale handle stays stale
}

TEST_F(WindowsTest, OwnedWindowsAreDestroyedBeforeTheirOwner) {
  HWND owner = Top(0, 0, 100, 100);
  HWND owned = CreateWindowExA(0, "TestWindow", "", WS_POPUP | WS_VISIBLE, 10, 10, 20, 20, owner, nullptr,
                               nullptr, nullptr);
  EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
  EXPECT_EQ(GetParent(owned), owner);  // pop-ups report their owner
  SendRecorder rec;
  DestroyWindow(owner);
  auto first = std::find_if(rec.log.begin(), rec.log.end(), [](auto& e) { return e.second == WM_DESTROY; });
  ASSERT_NE(first, rec.log.end());
  EXPECT_EQ(first->first, owned);
  EXPECT_FALSE(IsWindow(owned));
}

TEST_F(WindowsTest, SetWindowPosSendsChangingCalcSizeChangedThenMoveAndSize) {
  HWND h = Top(0, 0, 100, 100);
  SendRecorder rec;
  SetWindowPos(h, nullptr, 10, 10, 120, 90, SWP_NOZORDER | SWP_NOACTIVATE);
  std::vector<UINT> expected = {WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE};
  EXPECT_EQ(rec.To(h), expected);

  rec.log.clear();
  SetWindowPos(h, nullptr, 30, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  expected = {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE};  // a move keeps the client size
  EXPECT_EQ(rec.To(h), expected);

  rec.log.clear();
  SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
  expected = {WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED};
  EXPECT_EQ(rec.To(h), expected);
}

TEST_F(WindowsTest, WindowPosChangingCanEditThePlacement) {
  CurrentHandler() = [](HWND, UINT m, WPARAM, LPARAM l, LRESULT*) {
    if (m == WM_WINDOWPOSCHANGING) {
      auto* wp = reinterpret_cast<WINDOWPOS*>(l);
      if (!(wp->flags & SWP_NOMOVE)) wp->y = 77;
      if (!(wp->flags & SWP_NOSIZE)) wp->cx = 55;
    }
    return false;
  };
  HWND h = Top(0, 0, 100, 100);
  MoveWindow(h, 10, 10, 200, 200, TRUE);
  RECT r = WindowRect(h);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 77);
  EXPECT_EQ(r.right - r.left, 55);
  EXPECT_EQ(r.bottom - r.top, 200);
}

TEST_F(WindowsTest, ClientRectFollowsTheStyles) {
  struct Case {
    DWORD style, ex;
    RECT client;  // window 120 x 100 at (0, 0); thick frames keep the minimum tracking size
  } cases[] = {
      {WS_POPUP, 0, {0, 0, 120, 100}},
      {WS_POPUP | WS_BORDER, 0, {1, 1, 119, 99}},
      {WS_POPUP | WS_CAPTION, 0, {3, 22, 117, 97}},
      {WS_POPUP | WS_THICKFRAME, 0, {4, 4, 116, 96}},
      {WS_POPUP, WS_EX_CLIENTEDGE, {2, 2, 118, 98}},
      {WS_POPUP, WS_EX_DLGMODALFRAME, {3, 3, 117, 97}},
      {WS_POPUP | WS_BORDER | WS_VSCROLL, 0, {1, 1, 103, 99}},
  };
  for (const Case& c : cases) {
    HWND h = Top(0, 0, 120, 100, c.style, c.ex);
    POINT origin{0, 0};
    ClientToScreen(h, &origin);
    RECT client;
    GetClientRect(h, &client);
    EXPECT_EQ(origin.x, c.client.left) << std::hex << c.style << " " << c.ex;
    EXPECT_EQ(origin.y, c.client.top) << std::hex << c.style << " " << c.ex;
    EXPECT_EQ(client.right, c.client.right - c.client.left) << std::hex << c.style;
    EXPECT_EQ(client.bottom, c.client.bottom - c.client.top) << std::hex << c.style;
    RECT adjusted = c.client;
    AdjustWindowRectEx(&adjusted, c.style, FALSE, c.ex);
    if (!(c.style & WS_VSCROLL)) {
      EXPECT_EQ(adjusted.top, 0);
    }
    DestroyWindow(h);
  }
}

TEST_F(WindowsTest, StyleChangesTakeEffectOnFrameChange) {
  HWND h = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE | WS_CAPTION);
  SendRecorder rec;
  SetWindowLongA(h, GWL_STYLE, WS_POPUP | WS_VISIBLE);
  RECT client;
  GetClientRect(h, &client);
  EXPECT_EQ(client.bottom, 75);  // not yet recalculated
  SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  GetClientRect(h, &client);
  EXPECT_EQ(client.bottom, 100);
  auto sent = rec.To(h);
  ASSERT_GE(sent.size(), 2u);
  EXPECT_EQ(sent[0], static_cast<UINT>(WM_STYLECHANGING));
  EXPECT_EQ(sent[1], static_cast<UINT>(WM_STYLECHANGED));
}

TEST_F(WindowsTest, NewChildrenGoToTheBottomAndNewTopLevelWindowsToTheTop) {
  HWND parent = Top(0, 0, 100, 100);
  HWND a = Child(parent, 0, 0, 10, 10);
  HWND b = Child(parent, 0, 0, 10, 10);
  HWND c = Child(parent, 0, 0, 10, 10);
  EXPECT_EQ(GetWindow(parent, GW_CHILD), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(c, GW_HWNDPREV), b);
  EXPECT_EQ(GetWindow(a, GW_HWNDLAST), c);
  SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetTopWindow(parent), c);
  SetWindowPos(c, a, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), c);

  HWND second = Top(0, 0, 10, 10);
  EXPECT_EQ(GetTopWindow(nullptr), second);
  HWND topmost = Top(0, 0, 10, 10, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
  HWND third = Top(0, 0, 10, 10);
  EXPECT_EQ(GetTopWindow(nullptr), topmost);  // ordinary windows stay below topmost ones
  EXPECT_EQ(GetWindow(topmost, GW_HWNDNEXT), third);
}

TEST_F(WindowsTest, TreeQueriesFindAndEnumerate) {
  HWND parent = Top(0, 0, 100, 100);
  SetWindowTextA(parent, "Finder");
  HWND a = Child(parent, 0, 0, 10, 10, WS_CHILD, 1);
  HWND inner = Child(a, 0, 0, 5, 5, WS_CHILD, 2);
  HWND b = Child(parent, 0, 0, 10, 10, WS_CHILD, 3);
  EXPECT_EQ(FindWindowA("TestWindow", "finder"), parent);
  EXPECT_EQ(FindWindowA("NoSuchClass", nullptr), nullptr);
  EXPECT_EQ(FindWindowExA(parent, nullptr, "testwindow", nullptr), a);
  EXPECT_EQ(FindWindowExA(parent, a, "TestWindow", nullptr), b);
  std::vector<HWND> seen;
  EnumChildWindows(parent, [](HWND h, LPARAM l) {
    reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
    return TRUE;
  }, reinterpret_cast<LPARAM>(&seen));
  EXPECT_EQ(seen, (std::vector<HWND>{a, inner, b}));
  EXPECT_EQ(GetAncestor(inner, GA_ROOT), parent);
  EXPECT_EQ(GetParent(parent), nullptr);
  EXPECT_EQ(GetAncestor(parent, GA_PARENT), GetDesktopWindow());

  HWND other = Top(0, 0, 10, 10);
  EXPECT_EQ(SetParent(b, other), parent);
  EXPECT_EQ(GetParent(b), other);
  EXPECT_EQ(SetParent(parent, inner), nullptr);  // no cycles
}

TEST_F(WindowsTest, ClassQueriesAndRegistrationRules) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "testwindow";
  EXPECT_EQ(RegisterClassA(&wc), 0);  // names compare without case
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
  wc.lpszClassName = "Scratch";
  wc.cbWndExtra = 16;
  ATOM atom = RegisterClassA(&wc);
  ASSERT_GE(atom, 0xC000);
  HWND h = CreateWindowExA(0, MAKEINTATOM(atom), "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  char name[8];
  EXPECT_EQ(GetClassNameA(h, name, sizeof name), 7);
  EXPECT_STREQ(name, "Scratch");
  EXPECT_EQ(GetClassNameA(h, name, 4), 3);  // cut to fit
  EXPECT_EQ(GetClassLongA(h, GCW_ATOM), atom);
  EXPECT_EQ(SetWindowLongPtrA(h, 8, 1234), 0);
  EXPECT_EQ(GetWindowLongPtrA(h, 8), 1234);
  EXPECT_EQ(GetWindowLongPtrA(h, 12), 0);  // past the extra bytes
  EXPECT_FALSE(UnregisterClassA("Scratch", nullptr));  // still has a window
  DestroyWindow(h);
  EXPECT_TRUE(UnregisterClassA("Scratch", nullptr));
  EXPECT_EQ(CreateWindowExA(0, "Scratch", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
}

WNDPROC g_previous = nullptr;
int g_subclassCalls = 0;
LRESULT CALLBACK SubclassProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER + 5) {
    ++g_subclassCalls;
    return 42;
  }
  return CallWindowProcA(g_previous, h, m, w, l);
}

TEST_F(WindowsTest, SubclassingThroughTheWindowProcedureSlot) {
  HWND h = Top(0, 0, 10, 10);
  g_previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
  EXPECT_EQ(g_previous, &TestProc);
  EXPECT_EQ(SendMessageA(h, WM_USER + 5, 0, 0), 42);
  Received().clear();
  SendMessageA(h, WM_USER + 6, 0, 0);  // passed on to the class procedure
  EXPECT_EQ(Received().back().second, static_cast<UINT>(WM_USER + 6));
  EXPECT_EQ(g_subclassCalls, 1);
  SetWindowLongPtrA(h, GWLP_USERDATA, 99);
  EXPECT_EQ(GetWindowLongPtrA(h, GWLP_USERDATA), 99);
}

std::vector<UINT> g_framework;
LRESULT CALLBACK FrameworkProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  g_framework.push_back(m);
  return CallWindowProcA(TestProc, h, m, w, l);
}

TEST_F(WindowsTest, CbtHooksSeeWindowsBeforeTheirFirstMessage) {
  static HHOOK hook;
  static int refuse = 0;
  g_framework.clear();
  hook = SetWindowsHookExA(WH_CBT, [](int code, WPARAM w, LPARAM l) -> LRESULT {
    HWND h = reinterpret_cast<HWND>(w);
    if (code == HCBT_CREATEWND) {
      if (refuse == 1) return 1;
      // As a framework attaches its object: subclass before anything is sent.
      SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameworkProc));
      reinterpret_cast<CBT_CREATEWNDA*>(l)->lpcs->cx = 150;
    }
    if (code == HCBT_DESTROYWND && refuse == 2) return 1;
    return CallNextHookEx(hook, code, w, l);
  }, nullptr, GetCurrentThreadId());
  HWND h = CreateWindowExA(0, "TestWindow", "", WS_OVERLAPPED, 0, 0, 120, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  ASSERT_FALSE(g_framework.empty());
  EXPECT_EQ(g_framework.front(), static_cast<UINT>(WM_GETMINMAXINFO));
  EXPECT_EQ(WindowRect(h).right, 150);
  refuse = 2;
  EXPECT_FALSE(DestroyWindow(h));
  EXPECT_TRUE(IsWindow(h));
  refuse = 1;
  Received().clear();
  EXPECT_EQ(Top(0, 0, 10, 10), nullptr);
  EXPECT_TRUE(Received().empty());  // refused before any message
  refuse = 0;
  UnhookWindowsHookEx(hook);
  EXPECT_TRUE(DestroyWindow(h));
}

TEST_F(WindowsTest, PropertiesByNameAndByGlobalAtom) {
  HWND h = Top(0, 0, 10, 10);
  HANDLE value = reinterpret_cast<HANDLE>(0x1234);
  EXPECT_TRUE(SetPropA(h, "OldMenuProc", value));
  EXPECT_EQ(GetPropA(h, "oldmenuproc"), value);
  ATOM atom = GlobalAddAtomA("OldMenuProc");
  ASSERT_NE(atom, 0);
  EXPECT_EQ(GlobalFindAtomA("OLDMENUPROC"), atom);
  EXPECT_EQ(GetPropA(h, MAKEINTATOM(atom)), value);
  EXPECT_EQ(RemovePropA(h, "OldMenuProc"), value);
  EXPECT_EQ(GetPropA(h, "OldMenuProc"), nullptr);
  char name[32];
  EXPECT_EQ(GlobalGetAtomNameA(atom, name, sizeof name), 11u);
  EXPECT_STREQ(name, "OldMenuProc");
  EXPECT_EQ(GlobalAddAtomA("oldmenuproc"), atom);  // counted twice now
  EXPECT_EQ(GlobalDeleteAtom(atom), 0);
  EXPECT_EQ(GlobalFindAtomA("OldMenuProc"), atom);
  EXPECT_EQ(GlobalDeleteAtom(atom), 0);
  EXPECT_EQ(GlobalFindAtomA("OldMenuProc"), 0);
  EXPECT_EQ(FindAtomA("#300"), 300);  // integer atoms name themselves
  EXPECT_EQ(RegisterWindowMessageA("Corvane.Ping"), RegisterWindowMessageA("corvane.ping"));
}

TEST_F(WindowsTest, CoordinateConversionAcrossNestedWindows) {
  HWND top = Top(100, 50, 200, 200, WS_POPUP | WS_VISIBLE | WS_BORDER);
  HWND child = Child(top, 10, 20, 50, 50);
  POINT p{0, 0};
  ClientToScreen(child, &p);
  EXPECT_EQ(p.x, 111);
  EXPECT_EQ(p.y, 71);
  ScreenToClient(top, &p);
  EXPECT_EQ(p.x, 10);
  EXPECT_EQ(p.y, 20);
  POINT q[2] = {{0, 0}, {5, 5}};
  int offset = MapWindowPoints(child, top, q, 2);
  EXPECT_EQ(q[1].x, 15);
  EXPECT_EQ(q[1].y, 25);
  EXPECT_EQ(static_cast<short>(LOWORD(offset)), 10);
  MoveWindow(top, 0, 0, 200, 200, TRUE);  // children move with their parent
  EXPECT_EQ(WindowRect(child).left, 11);
}

TEST_F(WindowsTest, ShowWindowMinimiseAndRestore) {
  HWND h = Top(10, 10, 200, 100, WS_OVERLAPPEDWINDOW);
  EXPECT_FALSE(ShowWindow(h, SW_SHOW));
  EXPECT_TRUE(IsWindowVisible(h));
  std::vector<std::pair<UINT, WPARAM>> sizes;
  CurrentHandler() = [&](HWND, UINT m, WPARAM w, LPARAM, LRESULT*) {
    if (m == WM_SIZE) sizes.push_back({m, w});
    return false;
  };
  ShowWindow(h, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(h));
  ASSERT_FALSE(sizes.empty());
  EXPECT_EQ(sizes.back().second, static_cast<WPARAM>(SIZE_MINIMIZED));
  ShowWindow(h, SW_RESTORE);
  EXPECT_FALSE(IsIconic(h));
  RECT r = WindowRect(h);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.right - r.left, 200);
  EXPECT_EQ(sizes.back().second, static_cast<WPARAM>(SIZE_RESTORED));
  EXPECT_TRUE(ShowWindow(h, SW_HIDE));
  EXPECT_FALSE(IsWindowVisible(h));
}

TEST_F(WindowsTest, SystemSettingsComeFromTheConfiguration) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  NONCLIENTMETRICSA m{};
  m.cbSize = sizeof m;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0));
  EXPECT_STREQ(m.lfMenuFont.lfFaceName, "Tahoma");
  EXPECT_EQ(m.lfCaptionFont.lfWeight, FW_BOLD);
  m.cbSize = 4;
  EXPECT_FALSE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &m, 0));
  BOOL flat = FALSE;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETFLATMENU, 0, &flat, 0));
  EXPECT_TRUE(flat);
  struct {
    UINT cbSize;
    DWORD dwFlags;
    DWORD scheme;  // the 32-bit layout of 12 bytes
  } contrast{12, 0xFF, 0};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETHIGHCONTRAST, 12, &contrast, 0));
  EXPECT_EQ(contrast.dwFlags & HCF_HIGHCONTRASTON, 0u);
  RECT work;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ(work.right, 1024);
}

TEST_F(WindowsTest, TheScreenIsTheOneMonitor) {
  HWND on = Top(10, 10, 50, 50);
  HWND off = Top(-500, -500, 50, 50);
  HMONITOR monitor = MonitorFromWindow(on, MONITOR_DEFAULTTONULL);
  ASSERT_NE(monitor, nullptr);
  EXPECT_EQ(MonitorFromWindow(off, MONITOR_DEFAULTTONULL), nullptr);
  EXPECT_EQ(MonitorFromWindow(off, MONITOR_DEFAULTTONEAREST), monitor);
  EXPECT_EQ(MonitorFromPoint({1023, 767}, MONITOR_DEFAULTTONULL), monitor);
  EXPECT_EQ(MonitorFromPoint({1024, 0}, MONITOR_DEFAULTTONULL), nullptr);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetMonitorInfoA(monitor, &info));
  EXPECT_EQ(info.rcMonitor.right, 1024);
  EXPECT_EQ(info.rcWork.bottom, 768);
  EXPECT_EQ(info.dwFlags, static_cast<DWORD>(MONITORINFOF_PRIMARY));
  EXPECT_FALSE(GetMonitorInfoA(reinterpret_cast<HMONITOR>(on), &info));
}

}  // namespace
}  // namespace win32_test
