// The common control wrappers: CListCtrl's items, selection and scrolling, a list that colours its
// own rows through reflected custom drawing and paints through a buffer, and CToolTipCtrl with
// its tools relayed from a window's mouse messages.
#include <string>
#include <vector>

#include "testing/ui_driver.h"
#include "wnd_fixture.h"

namespace mfc_test {
namespace {

constexpr UINT kListId = 3;
constexpr COLORREF kNormal = RGB(10, 20, 30);
constexpr COLORREF kChosen = RGB(250, 240, 0);

std::vector<int> SelectedRows(const CListCtrl& list) {
  std::vector<int> rows;
  for (POSITION pos = list.GetFirstSelectedItemPosition(); pos;) rows.push_back(list.GetNextSelectedItem(pos));
  return rows;
}

// Colours its rows itself: a selected row in the chosen colour, with the list's own highlight
// kept out by hiding the selection while the row is drawn; painted through a buffer.
class CColouredList : public CListCtrl {
 public:
  int doubleClicks = 0;

 protected:
  afx_msg void OnCustomDraw(tagNMHDR* pHeader, LRESULT* pResult) {
    auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(pHeader);
    const int row = int(cd->nmcd.dwItemSpec);
    switch (cd->nmcd.dwDrawStage) {
      case CDDS_PREPAINT: *pResult = CDRF_NOTIFYITEMDRAW; return;
      case CDDS_ITEMPREPAINT:
        wasSelected_ = GetItemState(row, LVIS_SELECTED) != 0;
        cd->clrTextBk = wasSelected_ ? kChosen : kNormal;
        if (wasSelected_) SetItemState(row, 0, LVIS_SELECTED);
        *pResult = CDRF_NOTIFYPOSTPAINT;
        return;
      case CDDS_ITEMPOSTPAINT:
        if (wasSelected_) SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
        *pResult = CDRF_DODEFAULT;
        return;
    }
    *pResult = CDRF_DODEFAULT;
  }
  afx_msg void OnDoubleClick(tagNMHDR*, LRESULT*) { ++doubleClicks; }
  afx_msg void OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CDC buffer;
    buffer.CreateCompatibleDC(&dc);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, client.Width(), client.Height());
    CBitmap* old = buffer.SelectObject(&bitmap);
    buffer.FillSolidRect(&client, kNormal);
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(buffer.m_hDC), 0);
    dc.BitBlt(0, 0, client.Width(), client.Height(), &buffer, 0, 0, SRCCOPY);
    buffer.SelectObject(old);
  }
  afx_msg BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  DECLARE_MESSAGE_MAP()

 private:
  bool wasSelected_ = false;
};

BEGIN_MESSAGE_MAP(CColouredList, CListCtrl)
  ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
  ON_NOTIFY_REFLECT(NM_DBLCLK, OnDoubleClick)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

class CNotifiedParent : public CWnd {
 public:
  int doubleClicks = 0;

 protected:
  afx_msg void OnDoubleClick(tagNMHDR*, LRESULT*) { ++doubleClicks; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNotifiedParent, CWnd)
  ON_NOTIFY(NM_DBLCLK, kListId, OnDoubleClick)
END_MESSAGE_MAP()

class CommonControlsTest : public WndTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 20, 20, 300, 200, nullptr, nullptr));
    ASSERT_TRUE(font.CreateFont(-10, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY, DEFAULT_PITCH, "Corvane Test Box"));
  }
  // A header-less report list of 5 rows of 12 pixels, 150 pixels wide.
  void MakeList(CListCtrl& list, DWORD style = 0) {
    ASSERT_TRUE(list.Create(WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER | style, CRect(10, 10, 160, 70), &parent, kListId));
    list.SetFont(&font, FALSE);
  }

  testing_ui::UiDriver ui;
  CNotifiedParent parent;
  CFont font;
};

TEST_F(CommonControlsTest, ListCtrlColumnsLongTextsSelectionAndScrollLimit) {
  CListCtrl list;
  MakeList(list);
  EXPECT_EQ(list.InsertColumn(0, "", LVCFMT_RIGHT, 40), 0);
  EXPECT_EQ(list.InsertColumn(1, "", LVCFMT_LEFT, 100), 1);
  EXPECT_EQ(list.InsertColumn(2, ""), 2);  // no width given
  for (int i = 0; i < 10; ++i) EXPECT_EQ(list.InsertItem(i, std::to_string(i).c_str()), i);
  CRect row;
  ASSERT_TRUE(list.GetItemRect(0, &row, LVIR_BOUNDS));
  EXPECT_EQ(row, CRect(0, 0, 140, 12));

  // A text longer than the first buffer comes back whole, also when a character straddles the
  // buffer's end.
  const std::string longText = std::string(255, 'x') + "\xC3\xA4" + std::string(50, 'y');
  EXPECT_TRUE(list.SetItemText(3, 2, longText.c_str()));
  EXPECT_EQ(std::string(list.GetItemText(3, 2)), longText);
  EXPECT_FALSE(list.SetItemText(3, 3, "no column"));

  EXPECT_EQ(list.GetFirstSelectedItemPosition(), nullptr);
  list.SetItemState(7, LVIS_SELECTED, LVIS_SELECTED);
  list.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  list.SetItemState(9, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(SelectedRows(list), (std::vector<int>{2, 7, 9}));

  // Ten rows, five shown: the bar's last position is 5.
  EXPECT_EQ(list.GetScrollLimit(SB_VERT), 5);
  EXPECT_TRUE(list.Scroll(CSize(0, 2 * row.Height())));
  EXPECT_EQ(list.GetScrollPos(SB_VERT), 2);
  while (list.GetItemCount() > 3) list.DeleteItem(0);
  EXPECT_EQ(list.GetScrollLimit(SB_VERT), 0);  // everything fits
}

TEST_F(CommonControlsTest, AListColoursItsOwnRowsAndHearsItsDoubleClicks) {
  CColouredList list;
  MakeList(list);
  list.InsertColumn(0, "", LVCFMT_LEFT, 150);
  for (int i = 0; i < 3; ++i) list.InsertItem(i, "");
  list.SetFocus();
  list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  list.Invalidate();
  list.UpdateWindow();
  CRect pending;
  EXPECT_FALSE(list.GetUpdateRect(&pending));  // hiding the selection asked for no paint
  auto shown = [&list](int row) {
    CPoint p(100, row * 12 + 6);
    list.ClientToScreen(&p);
    return testing_ui::UiDriver::PixelAt(p);
  };
  EXPECT_EQ(shown(0), kNormal);
  EXPECT_EQ(shown(1), kChosen);
  EXPECT_EQ(shown(4), kNormal);  // below the rows: the buffer's own fill
  EXPECT_EQ(SelectedRows(list), (std::vector<int>{1}));

  CPoint row2(20, 2 * 12 + 6);
  list.ClientToScreen(&row2);
  ui.DoubleClick(row2);
  EXPECT_EQ(list.doubleClicks, 1);
  EXPECT_EQ(parent.doubleClicks, 0);  // the list handled it
  EXPECT_EQ(shown(2), kChosen);
  EXPECT_EQ(shown(1), kNormal);
}

// Relays its mouse messages to its tooltip: the framework's current message, which changes while
// the tooltip handles it.
class CToolWindow : public CWnd {
 public:
  CToolTipCtrl tip;

 protected:
  afx_msg void OnMouseMove(UINT, CPoint) {
    if (tip.m_hWnd) tip.RelayEvent(const_cast<MSG*>(GetCurrentMessage()));
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CToolWindow, CWnd)
  ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

TEST_F(CommonControlsTest, ToolTipCtrlShowsItsToolsText) {
  CToolWindow window;
  ASSERT_TRUE(window.Create(nullptr, "", WS_VISIBLE, CRect(10, 100, 110, 140), &parent, 4));
  ASSERT_TRUE(window.tip.Create(&window));
  window.tip.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font.m_hObject));
  const CRect area(0, 0, 50, 40);
  ASSERT_TRUE(window.tip.AddTool(&window, "Stop", &area, 1));
  EXPECT_EQ(window.tip.GetToolCount(), 1);
  EXPECT_EQ(window.tip.SetMaxTipWidth(400), -1);  // wider than any text here: one line

  CPoint on(10, 10);
  window.ClientToScreen(&on);
  CPoint off(80, 10);
  window.ClientToScreen(&off);
  ui.MoveMouse(on);
  ui.AdvanceClock(GetDoubleClickTime());
  ASSERT_TRUE(window.tip.IsWindowVisible());
  CRect shown;
  window.tip.GetWindowRect(&shown);
  EXPECT_EQ(shown.Width(), 4 * 5 + 6);

  window.tip.UpdateTipText("Stop now", &window, 1);
  window.tip.GetWindowRect(&shown);
  EXPECT_EQ(shown.Width(), 8 * 5 + 6);
  ui.MoveMouse(off);
  EXPECT_FALSE(window.tip.IsWindowVisible());

  // Tool 0 is the window itself.
  CToolWindow whole;
  ASSERT_TRUE(whole.Create(nullptr, "", WS_VISIBLE, CRect(150, 100, 200, 140), &parent, 5));
  ASSERT_TRUE(whole.tip.Create(&whole));
  whole.tip.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font.m_hObject));
  ASSERT_TRUE(whole.tip.AddTool(&whole, "Whole"));
  whole.tip.UpdateTipText("All", &whole);
  CPoint inside(45, 35);
  whole.ClientToScreen(&inside);
  ui.MoveMouse(inside);
  ui.AdvanceClock(GetDoubleClickTime());
  ASSERT_TRUE(whole.tip.IsWindowVisible());
  whole.tip.GetWindowRect(&shown);
  EXPECT_EQ(shown.Width(), 3 * 5 + 6);
}

}  // namespace
}  // namespace mfc_test
