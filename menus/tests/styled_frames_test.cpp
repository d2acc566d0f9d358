// The frame, dialog, template and dock-bar classes with styled menus, the option guard and the
// handler the library gives plain dialogs.
#include <functional>
#include <vector>

#include "menu_test_support.h"
#include "menus/styled_dialog.h"
#include "menus/styled_doc_template.h"
#include "menus/styled_dock_bar.h"
#include "menus/styled_frames.h"
#include "menus/styled_menu_options.h"
#include "test_resources.h"
#include "testing/ui_driver.h"

namespace menus_test {
namespace {

using testing_ui::UiDriver;

const DLGTEMPLATE kDialog = {WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 30, 30, 160, 90, "Styled", nullptr, 0};
constexpr UINT kDialogResource = 150;
const ResourceEntry kResources[] = {{RT_DIALOG, MAKEINTRESOURCE(kDialogResource), &kDialog, sizeof kDialog}};
const ModuleResources kRegistered(kResources);

bool OwnerDrawn(HMENU menu, UINT position) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE;
  return GetMenuItemInfoA(menu, position, TRUE, &info) && (info.fType & MFT_OWNERDRAW);
}

// Every item of the menu is owner-drawn and has a record of the styled menu.
void ExpectStyled(HMENU menu) {
  CStyledMenu* styled = CStyledMenu::FromMenuHandle(menu);
  ASSERT_NE(styled, nullptr);
  const int count = GetMenuItemCount(menu);
  ASSERT_GT(count, 0);
  EXPECT_EQ(styled->Items().size(), size_t(count));
  for (int p = 0; p < count; ++p) EXPECT_TRUE(OwnerDrawn(menu, UINT(p))) << "position " << p;
}

class StyledFramesTest : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP_GRADIENT);
  }
  // Opens the window's system menu as a pop-up owned by the window and dismisses it.
  void TrackSystemMenu(HWND window) {
    HMENU system = GetSystemMenu(window, FALSE);
    ASSERT_NE(system, nullptr);
    ui.AnswerMenu([](UiDriver& driver, HWND) { driver.DismissMenu(); });
    CMenu::FromHandle(system)->TrackPopupMenu(TPM_RETURNCMD, 60, 60, CWnd::FromHandle(window));
    ExpectStyled(system);
  }
  UiDriver ui;
};

TEST_F(StyledFramesTest, LoadedFrameMeasuresAndAnswersMnemonicsForItsStyledMenuBar) {
  auto* frame = new CStyledFrameWnd;
  ASSERT_TRUE(frame->LoadFrame(kMenuResource));
  HMENU bar = GetMenu(frame->m_hWnd);
  ExpectStyled(bar);
  CStyledMenu* styled = CStyledMenu::FromMenuHandle(bar);
  MENUINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIM_BACKGROUND;
  ASSERT_TRUE(GetMenuInfo(bar, &info));
  EXPECT_EQ(info.hbrBack, GetMenuBarBrush()) << "the bar carries the style's menu-bar brush";
  EXPECT_EQ(frame->m_hMenuDefault, bar);
  ASSERT_NE(CStyledMenu::FromMenuHandle(GetSystemMenu(frame->m_hWnd, FALSE)), nullptr);

  // The frame measures the bar's items as the menu itself does.
  MEASUREITEMSTRUCT request{ODT_MENU, 0, GetMenuItemID(bar, 1), 0, 0,
                            reinterpret_cast<ULONG_PTR>(styled->Items().at(1))};
  EXPECT_TRUE(frame->SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&request)));
  const SIZE own = Measure(*styled, 1);
  EXPECT_EQ(LONG(request.itemWidth), own.cx);
  EXPECT_EQ(LONG(request.itemHeight), own.cy);

  // "&File" and "&Help": mnemonics of a styled menu; none for a plain menu.
  EXPECT_EQ(frame->SendMessage(WM_MENUCHAR, MAKEWPARAM('h', MF_POPUP), reinterpret_cast<LPARAM>(bar)),
            MAKELRESULT(1, MNC_EXECUTE));
  EXPECT_EQ(frame->SendMessage(WM_MENUCHAR, MAKEWPARAM('f', MF_POPUP), reinterpret_cast<LPARAM>(bar)),
            MAKELRESULT(0, MNC_EXECUTE));
  EXPECT_EQ(frame->SendMessage(WM_MENUCHAR, MAKEWPARAM('q', MF_POPUP), reinterpret_cast<LPARAM>(bar)), 0);
  CMenu plain;
  plain.CreatePopupMenu();
  plain.AppendMenu(MF_STRING, 5, "&Plain");
  EXPECT_EQ(frame->SendMessage(WM_MENUCHAR, MAKEWPARAM('p', MF_POPUP), reinterpret_cast<LPARAM>(plain.m_hMenu)), 0);

  TrackSystemMenu(frame->m_hWnd);
  frame->DestroyWindow();  // the frame deletes itself: its menus go without leaks or double frees
}

TEST_F(StyledFramesTest, ASystemColourChangeGivesTheMenuBarTheCurrentStylesBrush) {
  auto* frame = new CStyledFrameWnd;
  ASSERT_TRUE(frame->LoadFrame(kMenuResource));
  HMENU bar = GetMenu(frame->m_hWnd);
  auto barBrush = [bar] {
    MENUINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIM_BACKGROUND;
    GetMenuInfo(bar, &info);
    return info.hbrBack;
  };
  const HBRUSH gradient = barBrush();
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP);
  ASSERT_NE(GetMenuBarBrush(), gradient);
  frame->SendMessage(WM_SYSCOLORCHANGE);
  EXPECT_EQ(barBrush(), GetMenuBarBrush());
  frame->DestroyWindow();
}

TEST_F(StyledFramesTest, FrameOpensItsMenuBarPopupsAsStyledMenus) {
  auto* frame = new CStyledFrameWnd;
  ASSERT_TRUE(frame->LoadFrame(kMenuResource));
  frame->ShowWindow(SW_SHOW);
  ui.Pump();
  HMENU file = GetSubMenu(GetMenu(frame->m_hWnd), 0);
  ui.AnswerMenu([&](UiDriver& driver, HWND) {
    driver.Pump();
    EXPECT_EQ(CStyledMenu::FromMenuHandle(GetMenu(frame->m_hWnd))->OpenPopups(), 1);
    driver.DismissMenu();
  });
  ui.Click(UiDriver::MenuBarItemCenter(frame->m_hWnd, 0));
  ExpectStyled(file);
  frame->DestroyWindow();
}

TEST_F(StyledFramesTest, AFrameWhoseMenuCannotBeLoadedFails) {
  auto* frame = new CStyledFrameWnd;
  EXPECT_FALSE(frame->LoadFrame(kMenuResource + 77));  // deleted; the sanitizer sees a leak otherwise
}

TEST_F(StyledFramesTest, EveryFrameClassIsCreatedTracksItsMenuAndGoes) {
  auto* mdi = new CStyledMDIFrameWnd;
  ASSERT_TRUE(mdi->LoadFrame(kMenuResource));
  ExpectStyled(GetMenu(mdi->m_hWnd));
  TrackSystemMenu(mdi->m_hWnd);

  auto* child = new CStyledMDIChildWnd;
  ASSERT_TRUE(child->Create(nullptr, "Child", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CFrameWnd::rectDefault, mdi));
  TrackSystemMenu(child->m_hWnd);

  auto* mini = new CStyledMiniFrameWnd;
  ASSERT_TRUE(mini->Create(nullptr, "Mini", WS_POPUP | WS_CAPTION | WS_SYSMENU, CRect(10, 10, 120, 80), mdi));
  TrackSystemMenu(mini->m_hWnd);

  auto* dock = new CStyledMiniDockFrameWnd;
  ASSERT_TRUE(dock->Create(mdi, 0));
  TrackSystemMenu(dock->m_hWnd);

  // A mini frame without a system menu has nothing to track.
  auto* bare = new CStyledMiniFrameWnd;
  ASSERT_TRUE(bare->Create(nullptr, "Bare", WS_POPUP | WS_CAPTION, CRect(10, 10, 120, 80), mdi));
  EXPECT_EQ(GetSystemMenu(bare->m_hWnd, FALSE), nullptr);

  mdi->DestroyWindow();  // its children and owned pop-ups go with it
}

TEST_F(StyledFramesTest, MdiFrameHidesAndShowsItsMenuBar) {
  auto* mdi = new CStyledMDIFrameWnd;
  ASSERT_TRUE(mdi->LoadFrame(kMenuResource));
  HMENU bar = GetMenu(mdi->m_hWnd);
  EXPECT_TRUE(mdi->ShowMenuBar(TRUE)) << "nothing was hidden";
  EXPECT_TRUE(mdi->ShowMenuBar(FALSE));
  EXPECT_EQ(GetMenu(mdi->m_hWnd), nullptr);
  EXPECT_FALSE(mdi->ShowMenuBar(FALSE)) << "no menu to hide";
  EXPECT_FALSE(mdi->ShowMenuBar(TRUE));
  EXPECT_EQ(GetMenu(mdi->m_hWnd), bar);
  mdi->DestroyWindow();
}

// A dialog that handles one of two commands.
class CCommandDialog : public CStyledDialog {
 public:
  CCommandDialog() : CStyledDialog(kDialogResource) {}
  void OnHandled() {}

 protected:
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CCommandDialog, CStyledDialog)
  ON_COMMAND(100, OnHandled)
END_MESSAGE_MAP()

TEST_F(StyledFramesTest, DialogWithoutAMenuGetsAStyledSystemMenuAndUpdatesItsPopups) {
  CCommandDialog dialog;
  ASSERT_TRUE(dialog.Create(kDialogResource));
  EXPECT_EQ(GetMenu(dialog.m_hWnd), nullptr);
  ASSERT_NE(CStyledMenu::FromMenuHandle(GetSystemMenu(dialog.m_hWnd, FALSE)), nullptr);
  TrackSystemMenu(dialog.m_hWnd);

  CStyledMenu popup;
  ASSERT_TRUE(popup.CreatePopupMenu());
  popup.AppendMenu(MF_STRING, 100, "Handled");
  popup.AppendMenu(MF_STRING, 101, "Unhandled");
  ui.AnswerMenu([](UiDriver& driver, HWND) { driver.DismissMenu(); });
  popup.TrackPopupMenu(TPM_RETURNCMD, 60, 60, &dialog);
  EXPECT_FALSE(popup.GetMenuState(0, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_TRUE(popup.GetMenuState(1, MF_BYPOSITION) & MF_GRAYED) << "no handler: disabled";
  ExpectStyled(popup.m_hMenu);
  dialog.DestroyWindow();
}

TEST_F(StyledFramesTest, TemplateDestroysItsConvertedSharedMenuOnce) {
  HMENU shared = nullptr;
  {
    CStyledMultiDocTemplate docTemplate(kMenuResource, RUNTIME_CLASS(CDocument), RUNTIME_CLASS(CStyledMDIChildWnd),
                                        RUNTIME_CLASS(CView));
    shared = docTemplate.m_hMenuShared;
    ExpectStyled(shared);
    SetLastError(0);
  }
  EXPECT_FALSE(IsMenu(shared));
  EXPECT_EQ(GetLastError(), 0u) << "a second DestroyMenu of the stale handle would fail";
}

TEST_F(StyledFramesTest, OptionGuardSelectsTheSystemFrameVariantAndPutsEverythingBack) {
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP);
  {
    CStyledMenuOptionGuard guard(CStyledMenuOptionGuard::kSystemFrameStyle);
    EXPECT_EQ(CStyledMenu::GetMenuDrawMode(), CStyledMenu::STYLE_XP_SYSTEMFRAME);
    EXPECT_EQ(CStyledMenuOptionGuard::CurrentOptions(), DWORD(CStyledMenuOptionGuard::kSystemFrameStyle));
    {
      CStyledMenuOptionGuard inner(CStyledMenuOptionGuard::Style{CStyledMenu::STYLE_GRADIENT});
      EXPECT_EQ(CStyledMenu::GetMenuDrawMode(), CStyledMenu::STYLE_GRADIENT);
      EXPECT_EQ(CStyledMenuOptionGuard::CurrentOptions(), DWORD(CStyledMenuOptionGuard::kSystemFrameStyle));
    }
    EXPECT_EQ(CStyledMenu::GetMenuDrawMode(), CStyledMenu::STYLE_XP_SYSTEMFRAME);
    CStyledMenuOptionGuard unknown(CStyledMenuOptionGuard::Style{42});
    EXPECT_EQ(CStyledMenu::GetMenuDrawMode(), CStyledMenu::STYLE_XP_SYSTEMFRAME);
  }
  EXPECT_EQ(CStyledMenu::GetMenuDrawMode(), CStyledMenu::STYLE_XP);
  EXPECT_EQ(CStyledMenuOptionGuard::CurrentOptions(), 0u);
}

// ---- Plain dialogs -------------------------------------------------------------------------------

struct PlainDialogSeen {
  std::vector<UINT> messages;
  LONG_PTR procedureAtEnd = 0;
  HANDLE propertyAtEnd = nullptr;
};
PlainDialogSeen g_seen;

INT_PTR CALLBACK PlainDialogProc(HWND hwnd, UINT message, WPARAM, LPARAM) {
  g_seen.messages.push_back(message);
  if (message == WM_NCDESTROY) {
    g_seen.procedureAtEnd = GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
    g_seen.propertyAtEnd = GetPropA(hwnd, "CStyledMenuTempHandler");
  }
  return message == WM_INITDIALOG;
}

WNDPROC g_beneath = nullptr;
LRESULT CALLBACK SubclassOnTop(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(g_beneath, hwnd, message, wParam, lParam);
}

class PlainDialogTest : public StyledFramesTest {
 protected:
  void SetUp() override {
    StyledFramesTest::SetUp();
    g_seen = {};
  }
  static HWND Plain() { return CreateDialogIndirectParamA(nullptr, &kDialog, nullptr, PlainDialogProc, 0); }
};

TEST_F(PlainDialogTest, DialogsMadeWhileTheOptionIsSetGetAHandlerAndAStyledSystemMenu) {
  HWND before = Plain();
  const LONG_PTR ownProcedure = GetWindowLongPtrA(before, GWLP_WNDPROC);
  EXPECT_EQ(GetPropA(before, "CStyledMenuTempHandler"), nullptr) << "no option, no handler";
  DestroyWindow(before);

  HWND dialog = nullptr;
  {
    CStyledMenuOptionGuard guard(CStyledMenuOptionGuard::kHandlePlainDialogs | CStyledMenuOptionGuard::kAttachSystemMenus);
    dialog = Plain();
  }
  ASSERT_NE(dialog, nullptr);
  EXPECT_NE(GetPropA(dialog, "CStyledMenuTempHandler"), nullptr);
  HMENU system = GetSystemMenu(dialog, FALSE);
  ASSERT_NE(CStyledMenu::FromMenuHandle(system), nullptr);
  TrackSystemMenu(dialog);

  g_seen.messages.clear();
  DestroyWindow(dialog);
  EXPECT_EQ(g_seen.procedureAtEnd, ownProcedure) << "the handler put the dialog's procedure back";
  EXPECT_EQ(g_seen.propertyAtEnd, nullptr);
  EXPECT_EQ(CStyledMenu::FromMenuHandle(system), nullptr) << "the system menu was let go of";
}

TEST_F(PlainDialogTest, AHandlerThatIsNoLongerOnTopLeavesTheProcedureAndStillPassesMessagesOn) {
  HWND dialog = nullptr;
  {
    CStyledMenuOptionGuard guard(CStyledMenuOptionGuard::kHandlePlainDialogs);
    dialog = Plain();
  }
  ASSERT_NE(GetPropA(dialog, "CStyledMenuTempHandler"), nullptr);
  EXPECT_EQ(CStyledMenu::FromMenuHandle(GetSystemMenu(dialog, FALSE)), nullptr) << "without the second option";
  g_beneath = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassOnTop)));

  g_seen.messages.clear();
  DestroyWindow(dialog);
  EXPECT_EQ(g_seen.procedureAtEnd, reinterpret_cast<LONG_PTR>(&SubclassOnTop)) << "the later subclass stays";
  EXPECT_EQ(g_seen.propertyAtEnd, nullptr);
  ASSERT_FALSE(g_seen.messages.empty());
  EXPECT_EQ(g_seen.messages.back(), UINT(WM_NCDESTROY)) << "messages after the handler's end still arrive";
}

// ---- Dock bar -------------------------------------------------------------------------------------

TEST_F(StyledFramesTest, DockBarContinuesTheMenuBarsPattern) {
  auto* frame = new CStyledFrameWnd;
  ASSERT_TRUE(frame->LoadFrame(kMenuResource, WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN));
  frame->MoveWindow(30, 30, 300, 200);
  CStyledDockBar bar;
  ASSERT_TRUE(bar.Create(frame, WS_VISIBLE | CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_TOP));
  bar.MoveWindow(0, 0, 280, 20);
  ui.Pump();
  bar.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
  ui.Pump();

  // The style's brush drawn from the frame's left edge.
  RECT frameRect{}, barRect{};
  GetWindowRect(frame->m_hWnd, &frameRect);
  GetWindowRect(bar.m_hWnd, &barRect);
  Canvas pattern(300, 20);
  RECT all{0, 0, 300, 20};
  FillRect(pattern.dc(), &all, GetMenuBarBrush());
  for (int x : {0, 50, 150, 270}) {
    const COLORREF expected = pattern.At(x + barRect.left - frameRect.left, 5);
    EXPECT_EQ(UiDriver::PixelAt(POINT{barRect.left + x, barRect.top + 5}), expected) << "column " << x;
  }
  bar.DestroyWindow();
  frame->DestroyWindow();
}

}  // namespace
}  // namespace menus_test
