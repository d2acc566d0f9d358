// The application object: the program entry, the main loop and its pre-translation, the main
// window's end, and the wait cursor.
#include <vector>

#include "testing/ui_driver.h"

#include "wnd_fixture.h"

namespace mfc_test {
namespace {

constexpr UINT kSwallowed = WM_APP + 3;
constexpr UINT kDelivered = WM_APP + 4;

class CTestApp : public CWinApp {
 public:
  BOOL initResult = FALSE;
  int exits = 0;
  std::function<void()> onInit;

  CTestApp() : CWinApp("Test App") {}
  BOOL InitInstance() override {
    if (onInit) onInit();
    return initResult;
  }
  int ExitInstance() override {
    ++exits;
    return CWinApp::ExitInstance() + 100;
  }
};

// Swallows one message in pre-translation; records what its map receives.
class CFilter : public CWnd {
 public:
  std::vector<UINT> preTranslated;
  std::vector<UINT> received;

  BOOL PreTranslateMessage(MSG* pMsg) override {
    preTranslated.push_back(pMsg->message);
    return pMsg->message == kSwallowed;
  }

 protected:
  afx_msg LRESULT OnAny(WPARAM, LPARAM) {
    received.push_back(GetCurrentMessage()->message);
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFilter, CWnd)
  ON_MESSAGE(kSwallowed, OnAny)
  ON_MESSAGE(kDelivered, OnAny)
END_MESSAGE_MAP()

using AppTest = WndTest;

TEST_F(AppTest, InitInstanceFailingEndsAtOnce) {
  CTestApp app;
  EXPECT_EQ(AfxGetApp(), &app);
  {
    CTestApp module;  // a second application object (a control module's) does not take over
    EXPECT_EQ(AfxGetApp(), &app);
  }
  EXPECT_EQ(AfxGetApp(), &app);
  EXPECT_EQ(AfxWinMain(nullptr, nullptr, nullptr, SW_SHOW), 100);
  EXPECT_EQ(app.exits, 1);
  EXPECT_NE(app.m_hInstance, nullptr);
  EXPECT_EQ(AfxGetInstanceHandle(), app.m_hInstance);
  EXPECT_STREQ(app.m_pszAppName, "Test App");
}

TEST_F(AppTest, MessageBoxesCarryTheAppNameAndAFittingIcon) {
  testing_ui::UiDriver ui;
  CTestApp app;
  ui.AnswerMessageBox(IDNO, "Replace");
  ui.AnswerMessageBox(IDOK);
  EXPECT_EQ(AfxMessageBox("Replace the file?", MB_YESNO), IDNO);
  EXPECT_EQ(AfxMessageBox("Done.", MB_OK | MB_ICONINFORMATION), IDOK);
  ASSERT_EQ(ui.Seen().size(), 2u);
  EXPECT_EQ(ui.Seen()[0].caption, "Test App");
  EXPECT_EQ(ui.Seen()[0].type & MB_ICONMASK, UINT(MB_ICONQUESTION));
  EXPECT_EQ(ui.Seen()[1].type & MB_ICONMASK, UINT(MB_ICONINFORMATION));  // an icon given stays
}

TEST_F(AppTest, ControlContainmentIsSwitchedOnOnce) {
  AfxEnableControlContainer();
  EXPECT_TRUE(AfxControlContainerEnabled());
}

TEST_F(AppTest, TheMainLoopPreTranslatesAndEndsWithQuit) {
  CTestApp app;
  CFilter main;
  app.initResult = TRUE;
  app.onInit = [&] {
    ASSERT_TRUE(main.CreateEx(0, nullptr, "main", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    app.m_pMainWnd = &main;
    main.PostMessage(kSwallowed);
    main.PostMessage(kDelivered);
    PostQuitMessage(7);
  };
  EXPECT_EQ(AfxWinMain(nullptr, nullptr, nullptr, SW_SHOW), 107);
  EXPECT_EQ(AfxGetMainWnd(), &main);
  EXPECT_EQ(main.preTranslated, (std::vector<UINT>{kSwallowed, kDelivered}));
  EXPECT_EQ(main.received, std::vector<UINT>{kDelivered});
}

TEST_F(AppTest, DestroyingTheMainWindowEndsTheLoop) {
  CTestApp app;
  CWnd main;
  ASSERT_TRUE(main.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  app.m_pMainWnd = &main;
  main.DestroyWindow();
  EXPECT_EQ(app.m_pMainWnd, nullptr);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT(WM_QUIT));
}

TEST_F(AppTest, WaitCursorIsCountedAndRestored) {
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
  SetCursor(arrow);
  {
    CWaitCursor outer;
    EXPECT_EQ(GetCursor(), wait);
    {
      CWaitCursor inner;
      SetCursor(arrow);  // something else took the cursor
      inner.Restore();
      EXPECT_EQ(GetCursor(), wait);
    }
    EXPECT_EQ(GetCursor(), wait);  // still one waiter
  }
  EXPECT_EQ(GetCursor(), arrow);

  // With an application the count is the application's.
  CTestApp app;
  app.BeginWaitCursor();
  EXPECT_EQ(app.m_nWaitCursorCount, 1);
  EXPECT_EQ(GetCursor(), wait);
  app.EndWaitCursor();
  EXPECT_EQ(app.m_nWaitCursorCount, 0);
  EXPECT_EQ(GetCursor(), arrow);
}

}  // namespace
}  // namespace mfc_test
