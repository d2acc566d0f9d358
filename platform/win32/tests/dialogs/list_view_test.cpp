// The report-view list driven as a user and its parent drive it: columns, items and sub-items,
// selection with its focus item and mark, clicks and double clicks told to the parent,
// custom-draw stages and what the parent's answers change, scrolling by whole rows, and the
// flat scroll bar calls.
#include <string>
#include <vector>

#include "comctl_fixture.h"

namespace win32_test {
namespace {

constexpr int kListId = 7;
constexpr int kRow = 12;     // the box face's 10 pixels and 2 of spacing
constexpr int kMargin = 2;   // from a cell's edge to its text
constexpr int kChar = 5;     // the box face's advance; a glyph inks its first 4 columns
const COLORREF kTextBk = RGB(200, 220, 240);

class ListViewTest : public ComctlTest {
 protected:
  // A list showing `rows` whole rows, 200 pixels wide, at (10, 10) of the parent.
  HWND List(DWORD style = 0, int rows = 5, int extraHeight = 0) {
    HWND list = CreateWindowExA(0, WC_LISTVIEW, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER | style, 10, 10,
                                200, rows * kRow + extraHeight, parent, reinterpret_cast<HMENU>(kListId), nullptr, nullptr);
    EXPECT_NE(list, nullptr);
    SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return list;
  }
  static int AddColumn(HWND list, int width, int format = LVCFMT_LEFT) {
    LVCOLUMN column{};
    column.mask = LVCF_FMT | LVCF_TEXT | (width >= 0 ? LVCF_WIDTH : 0);
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<char*>("");
    return static_cast<int>(SendMessageA(list, LVM_INSERTCOLUMN, 99, reinterpret_cast<LPARAM>(&column)));
  }
  static int Insert(HWND list, int at, const char* text) {
    LVITEM item{};
    item.mask = LVIF_TEXT;
    item.iItem = at;
    item.pszText = const_cast<char*>(text);
    return static_cast<int>(SendMessageA(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item)));
  }
  static BOOL SetText(HWND list, int index, int subItem, const char* text) {
    LVITEM item{};
    item.iSubItem = subItem;
    item.pszText = const_cast<char*>(text);
    return static_cast<BOOL>(SendMessageA(list, LVM_SETITEMTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
  }
  static void AddRows(HWND list, int count) {
    for (int i = 0; i < count; ++i) Insert(list, i, std::string(static_cast<size_t>(i) + 1, 'x').c_str());
  }
  static std::string Text(HWND list, int index, int subItem = 0) {
    char buffer[64] = "unchanged";
    LVITEM item{};
    item.iSubItem = subItem;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(list, LVM_GETITEMTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return buffer;
  }
  static std::vector<std::string> Texts(HWND list) {
    std::vector<std::string> texts;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) texts.push_back(Text(list, i));
    return texts;
  }
  static void SetState(HWND list, int index, UINT state, UINT mask) {
    LVITEM item{};
    item.state = state;
    item.stateMask = mask;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  }
  static std::vector<int> Selected(HWND list) {
    std::vector<int> rows;
    for (int i = -1; (i = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))) >= 0;) {
      rows.push_back(i);
    }
    return rows;
  }
  static int Focused(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)); }
  static int Mark(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0)); }
  static int Top(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0)); }
  static RECT Bounds(HWND list, int index) {
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    EXPECT_TRUE(SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)));
    return r;
  }
  // The middle of row `row` as shown, at client x.
  static POINT RowAt(HWND list, int row, int x = 20) { return At(list, x, row * kRow + kRow / 2); }
  // Whether text ink shows at client x in the middle of shown row `row`.
  bool InkAt(HWND list, int row, int x) {
    return ui.PixelAt(At(list, x, row * kRow + kRow / 2)) == GetSysColor(COLOR_WINDOWTEXT);
  }

  struct Activation {
    UINT code;
    NMITEMACTIVATE data;
  };
  std::vector<Activation> activations;
  void RecordActivations() {
    CurrentHandler() = [this](HWND, UINT msg, WPARAM, LPARAM lParam, LRESULT*) {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (msg == WM_NOTIFY && (header->code == NM_CLICK || header->code == NM_DBLCLK)) {
        activations.push_back({header->code, *reinterpret_cast<const NMITEMACTIVATE*>(lParam)});
      }
      return false;
    };
  }
};

TEST_F(ListViewTest, ColumnsItemsAndSubItems) {
  // Only the report view without a column header is offered.
  SetLastError(0);
  EXPECT_EQ(CreateWindowExA(0, WC_LISTVIEW, "", WS_CHILD | LVS_REPORT, 0, 0, 50, 50, parent, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  EXPECT_EQ(CreateWindowExA(0, WC_LISTVIEW, "", WS_CHILD | LVS_NOCOLUMNHEADER, 0, 0, 50, 50, parent, nullptr, nullptr, nullptr),
            nullptr);

  HWND list = List();
  LVCOLUMN column{};
  column.mask = LVCF_WIDTH;
  column.cx = 40;
  EXPECT_EQ(SendMessageA(list, LVM_INSERTCOLUMN, 0, reinterpret_cast<LPARAM>(&column)), 0);
  EXPECT_EQ(SendMessageA(list, LVM_INSERTCOLUMN, 9, reinterpret_cast<LPARAM>(&column)), 1);  // past the end: appended
  EXPECT_EQ(SendMessageA(list, LVM_INSERTCOLUMN, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&column)), -1);

  EXPECT_EQ(Insert(list, 0, "b"), 0);
  EXPECT_EQ(Insert(list, 0, "a"), 0);
  EXPECT_EQ(Insert(list, 7, "d"), 2);  // past the end: appended
  EXPECT_EQ(Insert(list, 2, "c"), 2);
  EXPECT_EQ(Insert(list, -1, "z"), -1);
  LVITEM subItem{};
  subItem.mask = LVIF_TEXT;
  subItem.iSubItem = 1;
  subItem.pszText = const_cast<char*>("z");
  EXPECT_EQ(SendMessageA(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&subItem)), -1);  // items start at sub-item 0
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"a", "b", "c", "d"}));

  EXPECT_TRUE(SetText(list, 2, 1, "c1"));
  EXPECT_FALSE(SetText(list, 2, 2, "c2"));  // no column shows sub-item 2
  EXPECT_FALSE(SetText(list, 9, 1, "gone"));
  EXPECT_EQ(Text(list, 2, 1), "c1");
  EXPECT_EQ(Text(list, 1, 1), "");
  EXPECT_EQ(Text(list, 9, 0), "unchanged");

  // Text longer than the buffer is cut, never inside a character.
  SetText(list, 0, 0, "x\xC3\xA4y");  // x, a-umlaut (2 bytes), y
  char buffer[8];
  LVITEM get{};
  get.pszText = buffer;
  get.cchTextMax = 3;
  EXPECT_EQ(SendMessageA(list, LVM_GETITEMTEXT, 0, reinterpret_cast<LPARAM>(&get)), 1);
  EXPECT_STREQ(buffer, "x");
  get.cchTextMax = 4;
  EXPECT_EQ(SendMessageA(list, LVM_GETITEMTEXT, 0, reinterpret_cast<LPARAM>(&get)), 3);
  EXPECT_STREQ(buffer, "x\xC3\xA4");

  EXPECT_TRUE(SendMessageA(list, LVM_DELETEITEM, 1, 0));
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"x\xC3\xA4y", "c", "d"}));
  EXPECT_EQ(Text(list, 1, 1), "c1");  // sub-items travel with their item
  EXPECT_FALSE(SendMessageA(list, LVM_DELETEITEM, 3, 0));
  EXPECT_TRUE(SendMessageA(list, LVM_DELETEALLITEMS, 0, 0));
  EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(ListViewTest, SelectionFocusAndMarkSetByTheProgram) {
  HWND list = List();
  AddColumn(list, 100);
  AddRows(list, 6);
  SetState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  SetState(list, 3, LVIS_SELECTED, LVIS_SELECTED);
  SetState(list, 4, LVIS_FOCUSED, LVIS_FOCUSED);
  EXPECT_EQ(Selected(list), (std::vector<int>{1, 3}));
  EXPECT_EQ(Focused(list), 4);  // one item has the focus
  EXPECT_EQ(SendMessageA(list, LVM_GETITEMSTATE, 1, LVIS_SELECTED | LVIS_FOCUSED), LVIS_SELECTED);
  EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, 1, LVNI_SELECTED), 3);
  EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED | LVNI_FOCUSED), -1);
  EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_ALL), 0);
  EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, 5, LVNI_ALL), -1);
  SetState(list, -1, 0, LVIS_SELECTED);
  EXPECT_TRUE(Selected(list).empty());
  EXPECT_EQ(Focused(list), 4);

  // The mark follows its item and goes with it.
  EXPECT_EQ(Mark(list), -1);
  EXPECT_EQ(SendMessageA(list, LVM_SETSELECTIONMARK, 0, 2), -1);
  EXPECT_EQ(Mark(list), 2);
  Insert(list, 0, "new");
  EXPECT_EQ(Mark(list), 3);
  SendMessageA(list, LVM_DELETEITEM, 0, 0);
  EXPECT_EQ(Mark(list), 2);
  SendMessageA(list, LVM_DELETEITEM, 2, 0);
  EXPECT_EQ(Mark(list), -1);

  // A single-selection list drops the old selection for the new.
  DestroyWindow(list);
  HWND single = List(LVS_SINGLESEL);
  AddColumn(single, 100);
  AddRows(single, 3);
  SetState(single, 0, LVIS_SELECTED, LVIS_SELECTED);
  SetState(single, 2, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(Selected(single), (std::vector<int>{2}));
}

TEST_F(ListViewTest, TheUserSelectsWithTheMouseAndTheKeys) {
  HWND list = List();
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
  AddColumn(list, 100);
  AddRows(list, 8);

  ui.Click(RowAt(list, 1));
  EXPECT_EQ(GetFocus(), list);
  EXPECT_EQ(Selected(list), (std::vector<int>{1}));
  EXPECT_EQ(Focused(list), 1);
  EXPECT_EQ(Mark(list), 1);

  // Ctrl adds a row and moves the mark; Ctrl on a selected row takes it away.
  ui.KeyDown(VK_CONTROL);
  ui.Click(RowAt(list, 3));
  EXPECT_EQ(Selected(list), (std::vector<int>{1, 3}));
  EXPECT_EQ(Mark(list), 3);
  ui.Click(RowAt(list, 1));
  ui.KeyUp(VK_CONTROL);
  EXPECT_EQ(Selected(list), (std::vector<int>{3}));
  EXPECT_EQ(Focused(list), 1);
  // Shift selects from the mark to the row, and keeps the mark.
  ui.KeyDown(VK_SHIFT);
  ui.Click(RowAt(list, 4));
  ui.KeyUp(VK_SHIFT);
  EXPECT_EQ(Selected(list), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(Mark(list), 1);
  EXPECT_EQ(Focused(list), 4);

  // Keys move the selection, the focus and the mark, and scroll to it.
  ui.Press(VK_END);
  EXPECT_EQ(Selected(list), (std::vector<int>{7}));
  EXPECT_EQ(Mark(list), 7);
  EXPECT_EQ(Top(list), 3);
  ui.Press(VK_UP);
  EXPECT_EQ(Selected(list), (std::vector<int>{6}));
  ui.Press(VK_HOME);
  EXPECT_EQ(Selected(list), (std::vector<int>{0}));
  EXPECT_EQ(Top(list), 0);
  ui.Press(VK_NEXT);
  EXPECT_EQ(Focused(list), 4);

  // A click where there is no row takes the selection away.
  DestroyWindow(list);
  HWND shortList = List(LVS_SINGLESEL);
  AddColumn(shortList, 100);
  AddRows(shortList, 2);
  ui.Click(RowAt(shortList, 1));
  EXPECT_EQ(Selected(shortList), (std::vector<int>{1}));
  ui.Click(RowAt(shortList, 3));
  EXPECT_TRUE(Selected(shortList).empty());
  EXPECT_EQ(Mark(shortList), 1);
}

TEST_F(ListViewTest, ClicksAndDoubleClicksAreToldToTheParent) {
  RecordActivations();
  HWND list = List();
  AddColumn(list, 60);
  AddColumn(list, 80);
  AddRows(list, 3);

  ui.MouseDown(At(list, 5, kRow + 3));
  EXPECT_TRUE(activations.empty());  // told when the button comes up
  EXPECT_EQ(Selected(list), (std::vector<int>{1}));
  ui.MouseUp(At(list, 5, kRow + 3));
  ASSERT_EQ(activations.size(), 1u);
  const NMITEMACTIVATE& click = activations[0].data;
  EXPECT_EQ(activations[0].code, static_cast<UINT>(NM_CLICK));
  EXPECT_EQ(click.hdr.hwndFrom, list);
  EXPECT_EQ(click.hdr.idFrom, static_cast<UINT_PTR>(kListId));
  EXPECT_EQ(click.iItem, 1);
  EXPECT_EQ(click.iSubItem, 0);
  EXPECT_EQ(click.ptAction.x, 5);
  EXPECT_EQ(click.ptAction.y, kRow + 3);

  // Without full-row selection only the first column is the item.
  ui.Click(At(list, 70, 2 * kRow + 3));
  ASSERT_EQ(activations.size(), 2u);
  EXPECT_EQ(activations[1].data.iItem, -1);
  EXPECT_EQ(activations[1].data.iSubItem, 1);
  EXPECT_TRUE(Selected(list).empty());
  EXPECT_EQ(SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT), 0);
  EXPECT_EQ(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_FULLROWSELECT);
  ui.Click(At(list, 70, 2 * kRow + 3));
  ASSERT_EQ(activations.size(), 3u);
  EXPECT_EQ(activations[2].data.iItem, 2);
  EXPECT_EQ(activations[2].data.iSubItem, 1);
  EXPECT_EQ(Selected(list), (std::vector<int>{2}));

  activations.clear();
  ui.AdvanceClock(1000);  // not a double click with the click before
  ui.DoubleClick(RowAt(list, 0));
  ASSERT_EQ(activations.size(), 2u);
  EXPECT_EQ(activations[0].code, static_cast<UINT>(NM_CLICK));
  EXPECT_EQ(activations[1].code, static_cast<UINT>(NM_DBLCLK));
  EXPECT_EQ(activations[1].data.iItem, 0);

  // A press whose capture is taken away is no click.
  activations.clear();
  ui.MouseDown(RowAt(list, 1));
  ReleaseCapture();
  ui.MouseUp(RowAt(list, 1));
  EXPECT_TRUE(activations.empty());
}

TEST_F(ListViewTest, CustomDrawStagesAndWhatTheAnswersChange) {
  struct Stage {
    DWORD stage;
    DWORD_PTR item;
    RECT rc;
  };
  std::vector<Stage> stages;
  std::function<LRESULT(NMLVCUSTOMDRAW*)> answer = [](NMLVCUSTOMDRAW*) { return CDRF_DODEFAULT; };
  CurrentHandler() = [&](HWND, UINT msg, WPARAM, LPARAM lParam, LRESULT* result) {
    auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
    if (msg != WM_NOTIFY || cd->nmcd.hdr.code != NM_CUSTOMDRAW) return false;
    stages.push_back({cd->nmcd.dwDrawStage, cd->nmcd.dwItemSpec, cd->nmcd.rc});
    *result = answer(cd);
    return true;
  };
  HWND list = List();
  AddColumn(list, 60);
  AddColumn(list, 80);
  AddRows(list, 8);
  SendMessageA(list, LVM_SETTEXTBKCOLOR, 0, kTextBk);
  EXPECT_EQ(SendMessageA(list, LVM_GETTEXTBKCOLOR, 0, 0), static_cast<LRESULT>(kTextBk));
  auto repaint = [&] {
    stages.clear();
    InvalidateRect(list, nullptr, TRUE);
    ui.Pump();
  };
  // Right of the text in the first cell of a row, and in the second cell.
  auto back = [&](int row) { return ui.PixelAt(At(list, 50, row * kRow + kRow / 2)); };
  auto secondCell = [&](int row) { return ui.PixelAt(At(list, 130, row * kRow + kRow / 2)); };

  repaint();
  ASSERT_EQ(stages.size(), 1u);  // no items asked for
  EXPECT_EQ(stages[0].stage, static_cast<DWORD>(CDDS_PREPAINT));
  EXPECT_EQ(stages[0].rc.bottom, 5 * kRow);
  EXPECT_EQ(back(0), kTextBk);
  EXPECT_EQ(ui.PixelAt(At(list, 150, 2)), GetSysColor(COLOR_WINDOW));  // right of the columns

  // Item notifications for the rows shown, and post-paint where asked.
  answer = [](NMLVCUSTOMDRAW* cd) -> LRESULT {
    switch (cd->nmcd.dwDrawStage) {
      case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
      case CDDS_ITEMPREPAINT: return cd->nmcd.dwItemSpec == 1 ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
    }
    return CDRF_DODEFAULT;
  };
  repaint();
  std::vector<std::pair<DWORD, DWORD_PTR>> order;
  for (const Stage& s : stages) order.push_back({s.stage, s.stage & CDDS_ITEM ? s.item : 99});
  EXPECT_EQ(order, (std::vector<std::pair<DWORD, DWORD_PTR>>{{CDDS_PREPAINT, 99},
                                                             {CDDS_ITEMPREPAINT, 0},
                                                             {CDDS_ITEMPREPAINT, 1},
                                                             {CDDS_ITEMPOSTPAINT, 1},
                                                             {CDDS_ITEMPREPAINT, 2},
                                                             {CDDS_ITEMPREPAINT, 3},
                                                             {CDDS_ITEMPREPAINT, 4},
                                                             {CDDS_POSTPAINT, 99}}));
  const RECT row2 = stages[4].rc;
  EXPECT_EQ(row2.left, 0);
  EXPECT_EQ(row2.top, 2 * kRow);
  EXPECT_EQ(row2.right, 140);
  EXPECT_EQ(row2.bottom, 3 * kRow);

  // Skipping an item leaves it undrawn; new colours draw it in them.
  answer = [](NMLVCUSTOMDRAW* cd) -> LRESULT {
    if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (cd->nmcd.dwItemSpec == 2) return CDRF_SKIPDEFAULT;
    if (cd->nmcd.dwItemSpec == 3) {
      cd->clrText = RGB(255, 0, 0);
      cd->clrTextBk = RGB(0, 0, 255);
    }
    return CDRF_DODEFAULT;
  };
  repaint();
  EXPECT_EQ(back(2), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(back(3), RGB(0, 0, 255));
  EXPECT_EQ(secondCell(3), RGB(0, 0, 255));
  EXPECT_EQ(ui.PixelAt(At(list, kMargin + 1, 3 * kRow + kRow / 2)), RGB(255, 0, 0));  // the first glyph
  EXPECT_EQ(back(4), kTextBk);

  // A selected row of the focused list shows the highlight, in the first cell only without
  // full-row selection.
  SetFocus(list);
  SetState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
  repaint();
  EXPECT_EQ(back(0), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(secondCell(0), kTextBk);
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  repaint();
  EXPECT_EQ(secondCell(0), GetSysColor(COLOR_HIGHLIGHT));

  // The parent hides the selection while the row is drawn and gives it back afterwards: its own
  // colours show, the row stays selected, and no further paint is asked for.
  bool wasSelected = false;
  answer = [&](NMLVCUSTOMDRAW* cd) -> LRESULT {
    const int row = static_cast<int>(cd->nmcd.dwItemSpec);
    switch (cd->nmcd.dwDrawStage) {
      case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
      case CDDS_ITEMPREPAINT:
        wasSelected = SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) != 0;
        if (wasSelected) {
          cd->clrTextBk = RGB(0, 128, 0);
          SetState(list, row, 0, LVIS_SELECTED);
        }
        return CDRF_NOTIFYPOSTPAINT;
      case CDDS_ITEMPOSTPAINT:
        if (wasSelected) SetState(list, row, LVIS_SELECTED, LVIS_SELECTED);
        return CDRF_DODEFAULT;
    }
    return CDRF_DODEFAULT;
  };
  stages.clear();
  InvalidateRect(list, nullptr, TRUE);
  UpdateWindow(list);  // one paint, so that a paint asking for the next cannot loop here
  RECT pending;
  ASSERT_FALSE(GetUpdateRect(list, &pending, FALSE));
  EXPECT_EQ(back(0), RGB(0, 128, 0));
  EXPECT_EQ(secondCell(0), RGB(0, 128, 0));
  EXPECT_EQ(Selected(list), (std::vector<int>{0}));
}

TEST_F(ListViewTest, ScrollingByWholeRows) {
  HWND list = List();
  AddColumn(list, 100);
  AddRows(list, 12);
  auto info = [list] {
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(list, SB_VERT, &si);
    return si;
  };
  auto scroll = [list](int code, int pos = 0) { SendMessageA(list, WM_VSCROLL, MAKEWPARAM(code, pos), 0); };
  SCROLLINFO si = info();
  EXPECT_EQ(si.nMin, 0);
  EXPECT_EQ(si.nMax, 11);
  EXPECT_EQ(si.nPage, 5u);
  EXPECT_EQ(si.nPos, 0);
  RECT r = Bounds(list, 2);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 2 * kRow);
  EXPECT_EQ(r.right, 100);
  EXPECT_EQ(r.bottom, 3 * kRow);

  scroll(SB_LINEDOWN);
  EXPECT_EQ(Top(list), 1);
  EXPECT_EQ(Bounds(list, 2).top, kRow);
  EXPECT_EQ(Bounds(list, 0).top, -kRow);
  EXPECT_EQ(GetScrollPos(list, SB_VERT), 1);
  scroll(SB_PAGEDOWN);
  EXPECT_EQ(Top(list), 6);
  scroll(SB_PAGEDOWN);
  EXPECT_EQ(Top(list), 7);  // the last page
  scroll(SB_TOP);
  EXPECT_EQ(Top(list), 0);
  scroll(SB_THUMBTRACK, 4);
  EXPECT_EQ(Top(list), 4);

  // The shown rows are the scrolled ones: row 4 ("xxxxx") at the top.
  ui.Pump();
  EXPECT_TRUE(InkAt(list, 0, kMargin + 4 * kChar + 1));
  EXPECT_FALSE(InkAt(list, 0, kMargin + 5 * kChar + 1));

  // LVM_SCROLL rounds pixels to whole rows.
  EXPECT_TRUE(SendMessageA(list, LVM_SCROLL, 0, kRow / 2));
  EXPECT_EQ(Top(list), 5);
  SendMessageA(list, LVM_SCROLL, 0, kRow / 2 - 1);
  EXPECT_EQ(Top(list), 5);
  SendMessageA(list, LVM_SCROLL, 0, -(kRow + kRow / 2));
  EXPECT_EQ(Top(list), 3);

  EXPECT_TRUE(SendMessageA(list, LVM_ENSUREVISIBLE, 10, FALSE));
  EXPECT_EQ(Top(list), 6);
  EXPECT_TRUE(SendMessageA(list, LVM_ENSUREVISIBLE, 2, FALSE));
  EXPECT_EQ(Top(list), 2);
  EXPECT_FALSE(SendMessageA(list, LVM_ENSUREVISIBLE, 12, FALSE));

  SetFocus(list);  // the wheel turns the focus window
  ui.Wheel(-WHEEL_DELTA, RowAt(list, 1));
  EXPECT_EQ(Top(list), 5);

  // Rows going away pull the top back.
  scroll(SB_BOTTOM);
  for (int i = 0; i < 3; ++i) SendMessageA(list, LVM_DELETEITEM, 0, 0);
  EXPECT_EQ(Top(list), 4);
  EXPECT_EQ(info().nMax, 8);

  // A row partly shown is enough only when asked so.
  DestroyWindow(list);
  HWND partial = List(0, 5, kRow / 2);
  AddColumn(partial, 100);
  AddRows(partial, 8);
  EXPECT_TRUE(SendMessageA(partial, LVM_ENSUREVISIBLE, 5, TRUE));
  EXPECT_EQ(Top(partial), 0);
  SendMessageA(partial, LVM_ENSUREVISIBLE, 5, FALSE);
  EXPECT_EQ(Top(partial), 1);

  // Rows that all fit leave nothing to scroll: the last position is 0.
  DestroyWindow(partial);
  HWND few = List();
  AddColumn(few, 100);
  AddRows(few, 3);
  si = SCROLLINFO{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(few, SB_VERT, &si);
  EXPECT_EQ(si.nMax - static_cast<int>(si.nPage) + 1, 0);
  SendMessageA(few, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(Top(few), 0);
}

TEST_F(ListViewTest, ColumnsLayTheirTextOut) {
  HWND list = List();
  AddColumn(list, 40, LVCFMT_RIGHT);  // the first column is left-aligned all the same
  AddColumn(list, 60, LVCFMT_RIGHT);
  AddColumn(list, -1);                // no width given: none
  Insert(list, 0, "ab");
  SetText(list, 0, 1, "cd");
  SetText(list, 0, 2, "hidden");
  SendMessageA(list, LVM_SETTEXTBKCOLOR, 0, kTextBk);
  ui.Pump();
  EXPECT_EQ(Bounds(list, 0).right, 100);
  EXPECT_TRUE(InkAt(list, 0, kMargin + 1));
  EXPECT_FALSE(InkAt(list, 0, 40 - kMargin - 1));
  // "cd" ends at the second cell's right margin: its glyphs at 88..91 and 93..96.
  EXPECT_TRUE(InkAt(list, 0, 100 - kMargin - 2 * kChar));
  EXPECT_TRUE(InkAt(list, 0, 100 - kMargin - 2));
  EXPECT_FALSE(InkAt(list, 0, 100 - kMargin - 2 * kChar - 2));
  EXPECT_EQ(ui.PixelAt(At(list, 42, 1)), kTextBk);
  EXPECT_EQ(ui.PixelAt(At(list, 101, kRow / 2)), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(ui.PixelAt(At(list, 110, kRow / 2)), GetSysColor(COLOR_WINDOW));
}

TEST_F(ListViewTest, FlatScrollBarCallsLeaveTheListScrollable) {
  HWND list = List();
  AddColumn(list, 100);
  AddRows(list, 10);
  EXPECT_TRUE(InitializeFlatSB(list));
  EXPECT_TRUE(FlatSB_EnableScrollBar(list, SB_BOTH, ESB_DISABLE_BOTH));
  EXPECT_FALSE(FlatSB_EnableScrollBar(list, SB_BOTH, ESB_DISABLE_BOTH));  // already so
  EXPECT_FALSE(FlatSB_EnableScrollBar(list, SB_VERT, ESB_DISABLE_BOTH));
  EXPECT_TRUE(FlatSB_EnableScrollBar(list, SB_VERT, ESB_ENABLE_BOTH));
  EXPECT_TRUE(FlatSB_EnableScrollBar(list, SB_VERT, ESB_DISABLE_BOTH));
  // What drives the list from outside still scrolls it.
  SendMessageA(list, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(Top(list), 1);
  EXPECT_EQ(GetScrollPos(list, SB_VERT), 1);
  DestroyWindow(list);
  EXPECT_FALSE(InitializeFlatSB(list));
  EXPECT_FALSE(FlatSB_EnableScrollBar(list, SB_BOTH, ESB_DISABLE_BOTH));

  // A scroll bar control tells the same way whether its arrows changed.
  HWND bar = CreateWindowExA(0, "ScrollBar", "", WS_CHILD | WS_VISIBLE | SBS_VERT, 250, 10, 16, 80, parent, nullptr,
                             nullptr, nullptr);
  EXPECT_TRUE(EnableScrollBar(bar, SB_CTL, ESB_DISABLE_UP));
  EXPECT_FALSE(EnableScrollBar(bar, SB_CTL, ESB_DISABLE_UP));
  EXPECT_TRUE(EnableScrollBar(bar, SB_CTL, ESB_ENABLE_BOTH));
}

}  // namespace
}  // namespace win32_test
