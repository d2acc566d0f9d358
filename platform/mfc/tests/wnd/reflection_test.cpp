// Reflection of control notifications to the controls' own objects, and command-state updates.
#include <vector>

#include "wnd_fixture.h"

namespace mfc_test {
namespace {

constexpr UINT kClickId = 7;
constexpr WORD kCustomCode = WORD(-12);  // a common-control notification code

// The header of WM_NOTIFY as the common controls lay it out.
struct NotifyHeader {
  HWND hwndFrom;
  UINT_PTR idFrom;
  UINT code;
};

class CParent : public CWnd {
 public:
  int clicks = 0;
  int notifies = 0;
  int ctlColors = 0;
  int draws = 0;

 protected:
  afx_msg void OnClick() { ++clicks; }
  afx_msg void OnCustom(tagNMHDR*, LRESULT* pResult) {
    ++notifies;
    *pResult = 11;
  }
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    ++ctlColors;
    return CWnd::OnCtlColor(pDC, pWnd, nCtlColor);
  }
  afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct) {
    ++draws;
    CWnd::OnDrawItem(nIDCtl, lpDrawItemStruct);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CParent, CWnd)
  ON_BN_CLICKED(kClickId, OnClick)
  ON_BN_CLICKED(kClickId + 1, OnClick)
  ON_NOTIFY(kCustomCode, kClickId, OnCustom)
  ON_NOTIFY(kCustomCode, kClickId + 1, OnCustom)
  ON_WM_CTLCOLOR()
  ON_WM_DRAWITEM()
END_MESSAGE_MAP()

// A button that handles its own click, drawing, colours and custom notification.
class CSelfButton : public CButton {
 public:
  int clicks = 0;
  const DRAWITEMSTRUCT* drawn = nullptr;
  UINT colorKind = 99;
  HDC colorDc = nullptr;
  HBRUSH brush = nullptr;  // null: leave the colours to the parent
  const NotifyHeader* notified = nullptr;

  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override { drawn = lpDrawItemStruct; }

 protected:
  afx_msg void OnClicked() { ++clicks; }
  afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor) {
    colorKind = nCtlColor;
    colorDc = pDC->m_hDC;
    return brush;
  }
  afx_msg void OnCustom(tagNMHDR* pHeader, LRESULT* pResult) {
    notified = reinterpret_cast<const NotifyHeader*>(pHeader);
    *pResult = 5;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSelfButton, CButton)
  ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
  ON_WM_CTLCOLOR_REFLECT()
  ON_NOTIFY_REFLECT(kCustomCode, OnCustom)
END_MESSAGE_MAP()

// A button that hears its click and, when it says so, leaves it to the parent as well.
class CSharingButton : public CButton {
 public:
  int clicks = 0;
  BOOL keep = FALSE;

 protected:
  afx_msg BOOL OnClicked() {
    ++clicks;
    return keep;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSharingButton, CButton)
  ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

// An owner-drawn list measuring its own items.
class CTallList : public CListBox {
 public:
  void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override { lpMeasureItemStruct->itemHeight = 33; }
};

class ReflectionTest : public WndTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr));
    ASSERT_TRUE(self.CWnd::Create(nullptr, "", WS_VISIBLE, CRect(0, 0, 50, 20), &parent, kClickId));
    ASSERT_TRUE(plain.CWnd::Create(nullptr, "", WS_VISIBLE, CRect(60, 0, 110, 20), &parent, kClickId + 1));
  }
  LRESULT Command(CWnd& control, WORD code) {
    return parent.SendMessage(WM_COMMAND, MAKEWPARAM(control.GetDlgCtrlID(), code), reinterpret_cast<LPARAM>(control.m_hWnd));
  }

  CParent parent;
  CSelfButton self;
  CButton plain;
};

TEST_F(ReflectionTest, AControlHandlingItsNotificationKeepsItFromTheParent) {
  Command(self, BN_CLICKED);
  EXPECT_EQ(self.clicks, 1);
  EXPECT_EQ(parent.clicks, 0);
  // A control without a handler leaves the notification to its parent's map.
  Command(plain, BN_CLICKED);
  EXPECT_EQ(parent.clicks, 1);
}

TEST_F(ReflectionTest, AControlMayHandleItsNotificationAndStillPassItOn) {
  CSharingButton sharing;
  ASSERT_TRUE(sharing.CWnd::Create(nullptr, "", WS_VISIBLE, CRect(120, 0, 170, 20), &parent, kClickId + 1));
  Command(sharing, BN_CLICKED);
  EXPECT_EQ(sharing.clicks, 1);
  EXPECT_EQ(parent.clicks, 1);
  sharing.keep = TRUE;
  Command(sharing, BN_CLICKED);
  EXPECT_EQ(sharing.clicks, 2);
  EXPECT_EQ(parent.clicks, 1);
}

TEST_F(ReflectionTest, OwnerDrawingGoesToTheButtonsDrawItem) {
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_BUTTON;
  dis.CtlID = kClickId;
  dis.itemAction = ODA_DRAWENTIRE;
  dis.hwndItem = self.m_hWnd;
  EXPECT_EQ(parent.SendMessage(WM_DRAWITEM, kClickId, reinterpret_cast<LPARAM>(&dis)), TRUE);
  EXPECT_EQ(self.drawn, &dis);
  EXPECT_EQ(parent.draws, 1);  // the parent's own handler ran first and passed it on
}

TEST_F(ReflectionTest, MeasuringFindsTheControlByItsId) {
  CTallList list;
  ASSERT_TRUE(list.CWnd::Create(nullptr, "", WS_VISIBLE, CRect(0, 30, 50, 90), &parent, 9));
  MEASUREITEMSTRUCT mis{};
  mis.CtlType = ODT_LISTBOX;
  mis.CtlID = 9;
  mis.itemHeight = 1;
  EXPECT_EQ(parent.SendMessage(WM_MEASUREITEM, 9, reinterpret_cast<LPARAM>(&mis)), TRUE);
  EXPECT_EQ(mis.itemHeight, 33u);
}

TEST_F(ReflectionTest, ControlColoursComeFromTheControlUnlessItGivesNoBrush) {
  CBrush brush(RGB(10, 20, 30));
  self.brush = brush;
  HDC dc = GetDC(parent.m_hWnd);
  LRESULT result = parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(self.m_hWnd));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(result), static_cast<HBRUSH>(brush));
  EXPECT_EQ(self.colorKind, UINT(CTLCOLOR_STATIC));
  EXPECT_EQ(self.colorDc, dc);
  EXPECT_EQ(parent.ctlColors, 1);

  self.brush = nullptr;
  result = parent.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(self.m_hWnd));
  EXPECT_EQ(self.colorKind, UINT(CTLCOLOR_BTN));
  EXPECT_NE(reinterpret_cast<HBRUSH>(result), static_cast<HBRUSH>(brush));
  ReleaseDC(parent.m_hWnd, dc);
}

TEST_F(ReflectionTest, NotificationsReflectWithTheirHeaderAndResult) {
  NotifyHeader header{self.m_hWnd, kClickId, UINT(INT(SHORT(kCustomCode)))};
  EXPECT_EQ(parent.SendMessage(WM_NOTIFY, kClickId, reinterpret_cast<LPARAM>(&header)), 5);
  EXPECT_EQ(self.notified, &header);
  EXPECT_EQ(parent.notifies, 0);

  NotifyHeader other{plain.m_hWnd, kClickId + 1, header.code};
  EXPECT_EQ(parent.SendMessage(WM_NOTIFY, kClickId + 1, reinterpret_cast<LPARAM>(&other)), 11);
  EXPECT_EQ(parent.notifies, 1);
}

// ---- Command-state updates ----------------------------------------------------------------------

class CUpdater : public CWnd {
 public:
  BOOL enable10 = FALSE;

 protected:
  afx_msg void OnUpdate10(CCmdUI* pCmdUI) { pCmdUI->Enable(enable10); }
  afx_msg void OnUpdateRange(CCmdUI* pCmdUI) {
    CString text;
    text.Format("item %u", pCmdUI->m_nID);
    pCmdUI->SetText(text);
  }
  afx_msg void OnUpdatePassOn(CCmdUI* pCmdUI) { pCmdUI->ContinueRouting(); }
  afx_msg void OnCommand30() {}
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CUpdater, CWnd)
  ON_UPDATE_COMMAND_UI(10, OnUpdate10)
  ON_UPDATE_COMMAND_UI_RANGE(20, 22, OnUpdateRange)
  ON_UPDATE_COMMAND_UI(50, OnUpdatePassOn)
  ON_COMMAND(30, OnCommand30)
END_MESSAGE_MAP()

using UpdateUiTest = WndTest;

TEST_F(UpdateUiTest, ControlsTakeTheStateTheirHandlersGive) {
  CUpdater parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr));
  CWnd c10, c20, c21, c40;
  ASSERT_TRUE(c10.Create(nullptr, "", WS_VISIBLE, CRect(0, 0, 10, 10), &parent, 10));
  ASSERT_TRUE(c20.Create(nullptr, "old", WS_VISIBLE, CRect(0, 0, 10, 10), &parent, 20));
  ASSERT_TRUE(c21.Create(nullptr, "old", WS_VISIBLE, CRect(0, 0, 10, 10), &parent, 21));
  ASSERT_TRUE(c40.Create(nullptr, "keep", WS_VISIBLE, CRect(0, 0, 10, 10), &parent, 40));

  parent.UpdateDialogControls(&parent, FALSE);
  EXPECT_FALSE(c10.IsWindowEnabled());
  CString text;
  c20.GetWindowText(text);
  EXPECT_EQ(text, "item 20");
  c21.GetWindowText(text);
  EXPECT_EQ(text, "item 21");
  c40.GetWindowText(text);
  EXPECT_EQ(text, "keep");
  EXPECT_TRUE(c40.IsWindowEnabled());  // no handler and not a push button: left alone

  parent.enable10 = TRUE;
  parent.UpdateDialogControls(&parent, TRUE);
  EXPECT_TRUE(c10.IsWindowEnabled());
}

TEST_F(UpdateUiTest, DoUpdateDisablesItemsNobodyHandles) {
  CUpdater target;
  CWnd item;
  ASSERT_TRUE(item.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  CCmdUI state;
  state.m_pOther = &item;

  state.m_nID = 30;  // a command handler but no update handler: stays enabled
  EXPECT_FALSE(state.DoUpdate(&target, TRUE));
  EXPECT_TRUE(item.IsWindowEnabled());

  state.m_nID = 31;  // nothing at all: disabled
  EXPECT_FALSE(state.DoUpdate(&target, TRUE));
  EXPECT_FALSE(item.IsWindowEnabled());

  state.m_nID = 10;
  target.enable10 = TRUE;
  EXPECT_TRUE(state.DoUpdate(&target, TRUE));
  EXPECT_TRUE(item.IsWindowEnabled());

  state.m_nID = 50;  // the handler asks for routing to go on
  EXPECT_FALSE(state.DoUpdate(&target, FALSE));
}

}  // namespace
}  // namespace mfc_test
