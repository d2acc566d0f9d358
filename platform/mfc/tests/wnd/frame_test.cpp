// Frames: loading from resources, deleting themselves, accelerators, the command-state update of
// pop-ups, MDI routing and the document template's shared menu.
#include <bitset>
#include <vector>

#include "mfc/afxframe.h"
#include "testing/ui_driver.h"
#include "wnd_fixture.h"
// After the frames' header on purpose: toolbars and dock bars use the same bar styles whichever
// header comes first.
#include "mfc/afxext.h"

namespace mfc_test {
namespace {

constexpr UINT kFrameResource = 400;
constexpr UINT kNew = 100, kOpen = 101, kPrint = 102, kRecent = 103, kUnhandled = 104;

const MenuScriptLine kMenuLines[] = {
    {MENU_POPUP, "&File"},
    {MENU_ITEM, "&New\tCtrl+N", kNew},
    {MENU_ITEM, "&Open", kOpen},
    {MENU_ITEM, "Open again", kOpen},
    {MENU_SEPARATOR},
    {MENU_POPUP, "Recent"},
    {MENU_ITEM, "One", kRecent, MF_GRAYED},
    {MENU_END},
    {MENU_ITEM, "&Print", kPrint},
    {MENU_ITEM, "Other", kUnhandled},
    {MENU_ITEM, "Close", SC_CLOSE},
    {MENU_END},
};
const MenuResource kMenu(kMenuLines);
const ACCELTABLEENTRY kAccelerators[] = {{FVIRTKEY | FCONTROL | ACCEL_LAST_ENTRY, 'N', kNew, 0}};
const ResourceEntry kResources[] = {
    {RT_MENU, MAKEINTRESOURCE(kFrameResource), kMenu.Data(), kMenu.Size()},
    {RT_ACCELERATOR, MAKEINTRESOURCE(kFrameResource), kAccelerators, sizeof kAccelerators},
};
const StringEntry kStrings[] = {{kFrameResource, "Corvane Frame\nDocument\nDOC"}};
const ModuleResources kRegistered(kResources, kStrings);

int g_framesDeleted = 0;

// A child that counts WM_INITIALUPDATE.
class CUpdatedChild : public CWnd {
 public:
  int initialUpdates = 0;

 protected:
  afx_msg LRESULT OnInitialUpdate(WPARAM, LPARAM) {
    ++initialUpdates;
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CUpdatedChild, CWnd)
  ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdate)
END_MESSAGE_MAP()

class CTestFrame : public CFrameWnd {
 public:
  ~CTestFrame() override { ++g_framesDeleted; }
  CUpdatedChild child;
  std::vector<UINT> commands;
  int openUpdates = 0;

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT cs) {
    if (CFrameWnd::OnCreate(cs) == -1) return -1;
    child.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), this, 1);
    return 0;
  }
  afx_msg void OnNew() { commands.push_back(kNew); }
  afx_msg void OnOpen() { commands.push_back(kOpen); }
  // The first update removes the item it was asked about.
  afx_msg void OnUpdateOpen(CCmdUI* ui) {
    if (openUpdates++ == 0) ui->m_pMenu->DeleteMenu(ui->m_nIndex, MF_BYPOSITION);
  }
  afx_msg void OnUpdatePrint(CCmdUI* ui) { ui->Enable(TRUE); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
  ON_WM_CREATE()
  ON_COMMAND(kNew, OnNew)
  ON_COMMAND(kOpen, OnOpen)
  ON_UPDATE_COMMAND_UI(kOpen, OnUpdateOpen)
  ON_UPDATE_COMMAND_UI(kPrint, OnUpdatePrint)
END_MESSAGE_MAP()

class FrameTest : public WndTest {
 protected:
  void SetUp() override { g_framesDeleted = 0; }
};

bool Grayed(HMENU menu, UINT position) { return (GetMenuState(menu, position, MF_BYPOSITION) & MF_GRAYED) != 0; }

TEST_F(FrameTest, LoadedFrameTakesTitleMenuAndAcceleratorsAndUpdatesItsDescendants) {
  auto* frame = new CTestFrame;
  ASSERT_TRUE(frame->LoadFrame(kFrameResource));
  CString title;
  frame->GetWindowText(title);
  EXPECT_STREQ(title, "Corvane Frame");
  ASSERT_NE(::GetMenu(frame->m_hWnd), nullptr);
  EXPECT_EQ(frame->m_hMenuDefault, ::GetMenu(frame->m_hWnd));
  EXPECT_EQ(frame->m_nIDHelp, kFrameResource);
  EXPECT_EQ(frame->child.initialUpdates, 1);

  frame->DestroyWindow();
  EXPECT_EQ(g_framesDeleted, 1) << "a frame deletes itself with its window";
}

TEST_F(FrameTest, AFrameWhoseMenuIsMissingDeletesItself) {
  auto* frame = new CTestFrame;
  EXPECT_FALSE(frame->LoadFrame(kFrameResource + 1));
  EXPECT_EQ(g_framesDeleted, 1);
}

// A frame that refuses its own creation.
class CRefusingFrame : public CFrameWnd {
 public:
  ~CRefusingFrame() override { ++g_framesDeleted; }

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT) { return -1; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CRefusingFrame, CFrameWnd)
  ON_WM_CREATE()
END_MESSAGE_MAP()

TEST_F(FrameTest, AFrameWhoseCreationFailsIsDeletedOnce) {
  EXPECT_FALSE((new CRefusingFrame)->LoadFrame(kFrameResource));
  EXPECT_EQ(g_framesDeleted, 1);
  EXPECT_FALSE((new CTestFrame)->Create("NoSuchWindowClass", "Frame"));
  EXPECT_EQ(g_framesDeleted, 2) << "also when no window was made at all";
}

TEST_F(FrameTest, PopupUpdateDisablesUnhandledCommandsAndSurvivesRemovedItems) {
  auto* frame = new CTestFrame;
  ASSERT_TRUE(frame->LoadFrame(kFrameResource));
  HMENU file = ::GetSubMenu(::GetMenu(frame->m_hWnd), 0);
  frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);

  // New, (Open removed), Open again, separator, Recent, Print, Other, Close.
  ASSERT_EQ(::GetMenuItemCount(file), 7);
  EXPECT_EQ(frame->openUpdates, 1) << "the second Open item is the same command: it is not asked again";
  EXPECT_FALSE(Grayed(file, 0)) << "New has a handler";
  EXPECT_FALSE(Grayed(file, 3)) << "a sub-menu item keeps its state";
  EXPECT_FALSE(Grayed(file, 4)) << "Print's update enabled it";
  EXPECT_TRUE(Grayed(file, 5)) << "Other has no handler";
  EXPECT_FALSE(Grayed(file, 6)) << "system commands are never disabled for want of a handler";

  frame->m_bAutoMenuEnable = FALSE;
  ::EnableMenuItem(file, kUnhandled, MF_BYCOMMAND | MF_ENABLED);
  frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), MAKELPARAM(0, TRUE));
  EXPECT_FALSE(Grayed(file, 5)) << "a system menu gets no update";
  frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
  EXPECT_FALSE(Grayed(file, 5)) << "without automatic disabling";
  frame->DestroyWindow();
}

TEST_F(FrameTest, AcceleratorsTranslateKeysIntoTheFramesCommands) {
  auto* frame = new CTestFrame;
  ASSERT_TRUE(frame->LoadFrame(kFrameResource));
  MSG key{frame->m_hWnd, WM_KEYDOWN, 'N', 0, 0, {0, 0}};
  EXPECT_FALSE(frame->PreTranslateMessage(&key)) << "without Ctrl";
  testing_ui::UiDriver ui;
  ui.KeyDown(VK_CONTROL);
  EXPECT_TRUE(frame->PreTranslateMessage(&key));
  ui.KeyUp(VK_CONTROL);
  EXPECT_EQ(frame->commands, std::vector<UINT>{kNew});
  MSG other{frame->m_hWnd, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
  EXPECT_FALSE(frame->PreTranslateMessage(&other));
  frame->DestroyWindow();
}

class CTestChild : public CMDIChildWnd {
 public:
  int opened = 0;

 protected:
  afx_msg void OnOpen() { ++opened; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestChild, CMDIChildWnd)
  ON_COMMAND(kOpen, OnOpen)
END_MESSAGE_MAP()

TEST_F(FrameTest, TheActiveMdiChildHandlesCommandsBeforeItsFrame) {
  auto* frame = new CMDIFrameWnd;
  ASSERT_TRUE(frame->Create(nullptr, "MDI", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 300)));
  ASSERT_NE(frame->m_hWndMDIClient, nullptr);
  auto* first = new CTestChild;
  ASSERT_TRUE(first->Create(nullptr, "One", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CFrameWnd::rectDefault, frame));
  auto* second = new CTestChild;
  ASSERT_TRUE(second->Create(nullptr, "Two", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CFrameWnd::rectDefault, frame));
  EXPECT_EQ(frame->MDIGetActive(), second);
  EXPECT_EQ(second->GetMDIFrame(), frame);

  frame->SendMessage(WM_COMMAND, kOpen);
  EXPECT_EQ(second->opened, 1);
  EXPECT_EQ(first->opened, 0);
  frame->DestroyWindow();  // the children go with it, each deleting itself
}

TEST_F(FrameTest, TheTemplateOwnsItsSharedMenuAndAccelerators) {
  HMENU shared = nullptr;
  {
    CMultiDocTemplate docTemplate(kFrameResource, RUNTIME_CLASS(CDocument), RUNTIME_CLASS(CMDIChildWnd),
                                  RUNTIME_CLASS(CView));
    shared = docTemplate.m_hMenuShared;
    ASSERT_TRUE(::IsMenu(shared));
    EXPECT_NE(docTemplate.m_hAccelTable, nullptr);
  }
  EXPECT_FALSE(::IsMenu(shared));
  CMultiDocTemplate empty(0, RUNTIME_CLASS(CDocument), RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CView));
  EXPECT_EQ(empty.m_hMenuShared, nullptr);
}

// Toolbars and dock bars share one set of bar styles: each side is its own flag.
TEST_F(FrameTest, BarsKeepTheSideTheyWereMadeAlong) {
  auto* frame = new CTestFrame;
  ASSERT_TRUE(frame->LoadFrame(kFrameResource));
  constexpr DWORD kSides[] = {CBRS_ALIGN_LEFT, CBRS_ALIGN_TOP, CBRS_ALIGN_RIGHT, CBRS_ALIGN_BOTTOM};
  constexpr DWORD kAnySide = CBRS_ALIGN_LEFT | CBRS_ALIGN_TOP | CBRS_ALIGN_RIGHT | CBRS_ALIGN_BOTTOM;
  EXPECT_EQ(std::bitset<32>(kAnySide).count(), 4u) << "four sides, four flags";
  EXPECT_EQ(kAnySide, DWORD(CBRS_ALIGN_ANY));
  EXPECT_EQ(kAnySide & CBRS_BORDER_ANY, 0u);
  for (DWORD side : kSides) {
    CDockBar bar;
    ASSERT_TRUE(bar.Create(frame, WS_VISIBLE | side, AFX_IDW_DOCKBAR_TOP));
    EXPECT_EQ(bar.GetBarStyle() & kAnySide, side);
    bar.DestroyWindow();
  }
  CDockBar top;
  ASSERT_TRUE(top.Create(frame, WS_VISIBLE | CBRS_TOP, AFX_IDW_DOCKBAR_TOP));
  EXPECT_EQ(top.GetBarStyle(), DWORD(CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)) << "a toolbar's style means the same";
  top.DestroyWindow();
  frame->DestroyWindow();
}

}  // namespace
}  // namespace mfc_test
