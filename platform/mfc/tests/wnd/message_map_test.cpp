// Message maps: handler arguments, chaining to the base map, virtual handlers, default handling
// through the previous procedure, the current message, failed creation and exceptions.
#include <string>
#include <vector>

#include "testing/ui_driver.h"
#include "wnd_fixture.h"

namespace mfc_test {
namespace {

constexpr UINT kAppMessage = WM_APP + 1;
constexpr UINT kNestedMessage = WM_APP + 2;

// A class whose procedure counts what reaches it: the previous procedure of framework windows.
int& ClassProcCalls() {
  static int calls = 0;
  return calls;
}

LRESULT CALLBACK CountingProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kAppMessage) {
    ++ClassProcCalls();
    return 1000;
  }
  return DefWindowProcA(hWnd, message, wParam, lParam);
}

const char* CountingClass() {
  static const char* name = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = CountingProc;
    wc.lpszClassName = "MfcWndCounting";
    RegisterClassA(&wc);
    return "MfcWndCounting";
  }();
  return name;
}

class CRecorder : public CWnd {
 public:
  std::string createdName;
  UINT sizeType = 99;
  CSize size;
  UINT buttonFlags = 0;
  CPoint buttonPoint;
  short wheelDelta = 0;
  BOOL appActive = FALSE;
  DWORD appThread = 0;
  std::vector<UINT> commands;
  MSG seenCurrent{};
  MSG currentAfterNested{};
  bool failCreate = false;
  int okCalls = 0;

  virtual void OnOK() { ++okCalls; }

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT cs) {
    createdName = cs->lpszName ? cs->lpszName : "";
    return failCreate ? -1 : CWnd::OnCreate(cs);
  }
  afx_msg void OnSize(UINT nType, int cx, int cy) {
    sizeType = nType;
    size = CSize(cx, cy);
  }
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point) {
    buttonFlags = nFlags;
    buttonPoint = point;
  }
  afx_msg BOOL OnMouseWheel(UINT, short zDelta, CPoint) {
    wheelDelta = zDelta;
    return TRUE;
  }
  afx_msg void OnActivateApp(BOOL bActive, DWORD dwThreadID) {
    appActive = bActive;
    appThread = dwThreadID;
  }
  afx_msg BOOL OnNcActivate(BOOL bActive) { return CWnd::OnNcActivate(bActive) + 10; }
  afx_msg LRESULT OnApp(WPARAM wParam, LPARAM lParam) {
    seenCurrent = *GetCurrentMessage();
    SendMessage(kNestedMessage);
    currentAfterNested = *GetCurrentMessage();
    return LRESULT(wParam + lParam);
  }
  afx_msg LRESULT OnNested(WPARAM, LPARAM) { return 0; }
  afx_msg void OnSave() { commands.push_back(100); }
  afx_msg void OnRange(UINT nID) { commands.push_back(nID); }
  afx_msg LRESULT OnThrow(WPARAM, LPARAM) { AfxThrowNotSupportedException(); }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecorder, CWnd)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEWHEEL()
  ON_WM_ACTIVATEAPP()
  ON_WM_NCACTIVATE()
  ON_MESSAGE(kAppMessage, OnApp)
  ON_MESSAGE(kNestedMessage, OnNested)
  ON_MESSAGE(WM_APP + 9, OnThrow)
  ON_COMMAND(100, OnSave)
  ON_COMMAND_RANGE(200, 209, OnRange)
  ON_COMMAND(IDOK, OnOK)
END_MESSAGE_MAP()

// Overrides one entry of the base map, inherits the others, and overrides a virtual handler.
class CDerived : public CRecorder {
 public:
  int derivedSaves = 0;
  int derivedOk = 0;
  void OnOK() override { ++derivedOk; }

 protected:
  afx_msg void OnSaveHere() { ++derivedSaves; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerived, CRecorder)
  ON_COMMAND(100, OnSaveHere)
END_MESSAGE_MAP()

// Hands the application message to the window's previous procedure.
class CDefaulting : public CWnd {
 public:
  LRESULT defaultResult = 0;

 protected:
  afx_msg LRESULT OnApp(WPARAM, LPARAM) {
    defaultResult = Default();
    return defaultResult + 1;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDefaulting, CWnd)
  ON_MESSAGE(kAppMessage, OnApp)
END_MESSAGE_MAP()

// A message map for every instance of a class template.
template <class TBase>
class CHost : public TBase {
 public:
  int moves = 0;

 protected:
  afx_msg void OnMove(int, int) { ++moves; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_TEMPLATE_MESSAGE_MAP(CHost, TBase, TBase)
  ON_WM_MOVE()
END_MESSAGE_MAP()

using MessageMapTest = WndTest;

TEST_F(MessageMapTest, HandlersReceiveUnpackedArguments) {
  CRecorder wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "recorder", WS_POPUP, 10, 10, 100, 80, nullptr, nullptr));
  EXPECT_EQ(wnd.createdName, "recorder");
  EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);

  wnd.MoveWindow(10, 10, 140, 90);
  EXPECT_EQ(wnd.sizeType, UINT(SIZE_RESTORED));
  EXPECT_EQ(wnd.size, CSize(140, 90));

  // Points are signed: a press left of the client area arrives as a negative x.
  wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(-5, 7));
  EXPECT_EQ(wnd.buttonFlags, UINT(MK_LBUTTON | MK_SHIFT));
  EXPECT_EQ(wnd.buttonPoint, CPoint(-5, 7));

  wnd.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), MAKELPARAM(20, 20));
  EXPECT_EQ(wnd.wheelDelta, -WHEEL_DELTA);

  wnd.SendMessage(WM_ACTIVATEAPP, TRUE, 1234);
  EXPECT_TRUE(wnd.appActive);
  EXPECT_EQ(wnd.appThread, 1234u);
  // A handler's result is the window's answer (the default answers TRUE here).
  EXPECT_EQ(wnd.SendMessage(WM_NCACTIVATE, FALSE), 11);

  EXPECT_EQ(wnd.SendMessage(kAppMessage, 40, 2), 42);
  wnd.DestroyWindow();
  EXPECT_EQ(wnd.m_hWnd, nullptr);
}

TEST_F(MessageMapTest, CommandsFindSingleIdsAndRanges) {
  CRecorder wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  wnd.SendMessage(WM_COMMAND, 100);
  wnd.SendMessage(WM_COMMAND, 200);
  wnd.SendMessage(WM_COMMAND, 209);
  wnd.SendMessage(WM_COMMAND, 210);  // no handler
  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(205, 1));  // an accelerator's command
  EXPECT_EQ(wnd.commands, (std::vector<UINT>{100, 200, 209, 205}));
}

TEST_F(MessageMapTest, DerivedMapsComeFirstAndChainToTheBase) {
  CDerived wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  wnd.SendMessage(WM_COMMAND, 100);
  EXPECT_EQ(wnd.derivedSaves, 1);
  EXPECT_TRUE(wnd.commands.empty());
  wnd.SendMessage(WM_COMMAND, 203);  // the base class's range
  EXPECT_EQ(wnd.commands, std::vector<UINT>{203});
  // The base map's entry calls the override of a virtual handler.
  wnd.SendMessage(WM_COMMAND, IDOK);
  EXPECT_EQ(wnd.derivedOk, 1);
  EXPECT_EQ(wnd.okCalls, 0);
}

TEST_F(MessageMapTest, TemplateMapsChainToTheirArgument) {
  CHost<CRecorder> wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  wnd.MoveWindow(5, 5, 60, 60);
  EXPECT_GE(wnd.moves, 1);
  EXPECT_EQ(wnd.size, CSize(60, 60));  // the argument's own map still answers
}

TEST_F(MessageMapTest, CurrentMessageIsRestoredAfterNestedSends) {
  CRecorder wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  wnd.SendMessage(kAppMessage, 3, 4);
  EXPECT_EQ(wnd.seenCurrent.message, kAppMessage);
  EXPECT_EQ(wnd.seenCurrent.hwnd, wnd.m_hWnd);
  EXPECT_EQ(wnd.seenCurrent.wParam, WPARAM(3));
  EXPECT_EQ(wnd.currentAfterNested.message, kAppMessage);
  EXPECT_EQ(wnd.currentAfterNested.lParam, LPARAM(4));
}

TEST_F(MessageMapTest, DefaultGoesToTheClassProcedure) {
  CDefaulting wnd;
  ASSERT_TRUE(wnd.CreateEx(0, CountingClass(), "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  ClassProcCalls() = 0;
  EXPECT_EQ(wnd.SendMessage(kAppMessage), 1001);
  EXPECT_EQ(wnd.defaultResult, 1000);
  EXPECT_EQ(ClassProcCalls(), 1);
  // The class procedure was moved behind the framework's, not replaced.
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd.m_hWnd, GWLP_WNDPROC)), &AfxWndProc);
}

TEST_F(MessageMapTest, FailedCreationLeavesTheObjectEmpty) {
  CRecorder wnd;
  wnd.failCreate = true;
  EXPECT_FALSE(wnd.CreateEx(0, nullptr, "no", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  EXPECT_EQ(wnd.m_hWnd, nullptr);
  // The object can be used again.
  wnd.failCreate = false;
  EXPECT_TRUE(wnd.CreateEx(0, nullptr, "yes", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
}

TEST_F(MessageMapTest, ExceptionsInHandlersStayInTheFrameworkAndAreReported) {
  testing_ui::UiDriver ui;
  CRecorder wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  ui.AnswerMessageBox(IDOK, "An unsupported operation was attempted.");
  EXPECT_EQ(wnd.SendMessage(WM_APP + 9), 0);
  EXPECT_TRUE(IsWindow(wnd.m_hWnd));
  EXPECT_EQ(ui.PendingAnswers(), 0u);
}

TEST_F(MessageMapTest, ChildWindowsGetTheirControlId) {
  CRecorder parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
  CRecorder child;
  ASSERT_TRUE(child.Create(nullptr, "child", WS_VISIBLE, CRect(5, 5, 40, 40), &parent, 321));
  EXPECT_EQ(child.GetDlgCtrlID(), 321);
  EXPECT_EQ(child.GetParent(), &parent);
  EXPECT_EQ(child.GetOwner(), &parent);  // a child's owner is its parent
  EXPECT_EQ(parent.GetDlgItem(321), &child);
  EXPECT_TRUE(child.GetStyle() & WS_CHILD);
  CRect rect;
  child.GetWindowRect(&rect);
  parent.ScreenToClient(&rect);
  EXPECT_EQ(rect, CRect(5, 5, 40, 40));
}

}  // namespace
}  // namespace mfc_test
