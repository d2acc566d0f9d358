// The standard controls as a new user meets them on a dialog: a window's own scroll bars, combo
// boxes from their usual templates, caption close boxes and controls inside group boxes.
#include <algorithm>
#include <cstdlib>

#include "dialog_fixture.h"

namespace win32_test {
namespace {

using testing_ui::UiDriver;

// A window's vertical bar in screen coordinates: beside the client area.
RECT VerticalBar(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return {r.right, r.top, r.right + GetSystemMetrics(SM_CXVSCROLL), r.bottom};
}

RECT HorizontalBar(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.bottom, r.right, r.bottom + GetSystemMetrics(SM_CYHSCROLL)};
}

// ---- A window's own scroll bars -----------------------------------------------------------------

constexpr int kList = 60;
// 58 pixels inside the border: five rows of 11.
const DLGITEMTEMPLATE kListItems[] = {
    {"ListBox", "", kList, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_VISIBLE, 10, 10, 80, 44},
};

TEST_F(DialogTest, AListsScrollBarHasArrowsAndAThumbAndScrollsItWhenClicked) {
  HWND dlg = Modeless(Template(kListItems, WS_VISIBLE));
  HWND list = GetDlgItem(dlg, kList);
  // Three rows fit: nothing to scroll, no thumb, grey arrows.
  for (int i = 0; i < 3; ++i) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("9"));
  ui.Pump();
  {
    const RECT bar = VerticalBar(list);
    const int width = bar.right - bar.left, x = (bar.left + bar.right) / 2;
    EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), UiDriver::PixelAt({x, bar.top + width / 2}));
    EXPECT_EQ(GetSysColor(COLOR_SCROLLBAR), UiDriver::PixelAt({x, bar.top + width + 4}));
  }
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (int i = 0; i < 20; ++i) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(100 + i).c_str()));
  }
  ui.Pump();
  const RECT bar = VerticalBar(list);
  const int width = bar.right - bar.left, x = (bar.left + bar.right) / 2;
  ASSERT_EQ(58, bar.bottom - bar.top);
  // Arrows are squares at the ends; the thumb (a page of 5 of 20 rows) starts below the top one.
  EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), UiDriver::PixelAt({x, bar.top + width / 2}));
  EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), UiDriver::PixelAt({x, bar.bottom - width / 2}));
  EXPECT_EQ(GetSysColor(COLOR_3DSHADOW), UiDriver::PixelAt({x, bar.top + width + 4}));
  EXPECT_EQ(GetSysColor(COLOR_SCROLLBAR), UiDriver::PixelAt({x, bar.bottom - width - 4}));

  ui.Click({x, bar.bottom - width / 2});
  EXPECT_EQ(1, SendMessageA(list, LB_GETTOPINDEX, 0, 0));
  EXPECT_EQ(1, GetScrollPos(list, SB_VERT));
  ui.Click({x, bar.bottom - width - 2});  // the shaft below the thumb: a page
  EXPECT_EQ(6, SendMessageA(list, LB_GETTOPINDEX, 0, 0));
  SCROLLINFO si{sizeof si, SIF_POS | SIF_PAGE | SIF_RANGE, 0, 0, 0, 0, 0};
  GetScrollInfo(list, SB_VERT, &si);
  const int shaft = bar.bottom - bar.top - 2 * width;
  const int thumbLength = std::max<int>(8, shaft * 5 / 20);
  const int thumbTop = bar.top + width + si.nPos * (shaft - thumbLength) / (si.nMax - si.nMin + 1 - 5);
  ui.Drag({x, thumbTop + 2}, {x, bar.bottom + 40});
  EXPECT_EQ(15, SendMessageA(list, LB_GETTOPINDEX, 0, 0));
  // At the end the thumb sits on the lower arrow and the shaft above it is empty.
  EXPECT_EQ(GetSysColor(COLOR_3DSHADOW), UiDriver::PixelAt({x, bar.bottom - width - 3}));
  EXPECT_EQ(GetSysColor(COLOR_SCROLLBAR), UiDriver::PixelAt({x, bar.top + width + 3}));
}

TEST_F(DialogTest, AWindowsOwnBarsTellItWhatTheUserAsksFor) {
  static const DLGITEMTEMPLATE items[] = {{"Button", "OK", IDOK, BS_PUSHBUTTON | WS_VISIBLE, 10, 10, 40, 14}};
  std::vector<std::pair<UINT, int>> told;
  rec.handler = [&](HWND, UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR*) {
    if (msg == WM_VSCROLL || msg == WM_HSCROLL) {
      EXPECT_EQ(0, lParam);  // a window's own bar, not a control
      told.push_back({msg, LOWORD(wParam)});
      const int code = LOWORD(wParam);
      if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) told.back().second = 100 + HIWORD(wParam);
    }
    return false;
  };
  HWND dlg = Modeless(Template(items, WS_VISIBLE | WS_VSCROLL | WS_HSCROLL));
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE, 0, 9, 5, 0, 0};
  SetScrollInfo(dlg, SB_VERT, &si, TRUE);
  ui.Pump();
  const RECT v = VerticalBar(dlg);
  const int x = (v.left + v.right) / 2, arrow = v.right - v.left;
  ui.Click({x, v.bottom - arrow / 2});
  ui.Click({x, v.top + arrow / 2});
  ui.Drag({x, v.top + arrow + 2}, {x, v.bottom});
  EXPECT_EQ((std::vector<std::pair<UINT, int>>{{WM_VSCROLL, SB_LINEDOWN},
                                                {WM_VSCROLL, SB_ENDSCROLL},
                                                {WM_VSCROLL, SB_LINEUP},
                                                {WM_VSCROLL, SB_ENDSCROLL},
                                                {WM_VSCROLL, 100 + 5},  // the track position of the last page
                                                {WM_VSCROLL, 100 + 5},
                                                {WM_VSCROLL, SB_ENDSCROLL}}),
            told);
  EXPECT_EQ(0, GetScrollPos(dlg, SB_VERT));  // the window moves its own position

  // The horizontal bar has nothing to scroll: its arrows are grey and clicks do nothing.
  told.clear();
  const RECT h = HorizontalBar(dlg);
  const int y = (h.top + h.bottom) / 2;
  EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), UiDriver::PixelAt({h.left + arrow / 2, y}));
  ui.Click({h.left + arrow / 2, y});
  EXPECT_TRUE(told.empty());
  SetScrollRange(dlg, SB_HORZ, 0, 3, TRUE);
  ui.Click({h.right - arrow / 2, y});
  EXPECT_EQ((std::vector<std::pair<UINT, int>>{{WM_HSCROLL, SB_LINERIGHT}, {WM_HSCROLL, SB_ENDSCROLL}}), told);
}

// ---- Combo boxes ---------------------------------------------------------------------------------

constexpr int kCombo = 61, kShortCombo = 62;
const DLGITEMTEMPLATE kComboItems[] = {
    {"ComboBox", "", kCombo, CBS_DROPDOWNLIST | WS_VSCROLL | WS_VISIBLE | WS_TABSTOP, 10, 10, 80, 50},
    {"ComboBox", "", kShortCombo, CBS_DROPDOWNLIST | WS_VSCROLL | WS_VISIBLE | WS_TABSTOP, 10, 70, 80, 50},
};

TEST_F(DialogTest, AComboBoxFromTheUsualTemplateKeepsItsWidthAndItsLongListScrolls) {
  HWND dlg = Modeless(Template(kComboItems, WS_VISIBLE));
  HWND combo = GetDlgItem(dlg, kCombo);
  for (int i = 0; i < 12; ++i) {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(i).c_str()));
  }
  RECT window, client;
  GetWindowRect(combo, &window);
  GetClientRect(combo, &client);
  EXPECT_EQ(100, window.right - window.left);  // 80 dialog units of 5/4 pixels
  EXPECT_EQ(100, client.right);                // the field has no bar of its own

  ui.ClickWindow(combo);
  ASSERT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  RECT dropped;
  SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  EXPECT_EQ(100, dropped.right - dropped.left);
  HWND list = WindowFromPoint({dropped.left + 5, dropped.top + 5});
  ASSERT_NE(nullptr, list);
  ASSERT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL);
  const RECT bar = VerticalBar(list);
  const int arrow = bar.right - bar.left;
  ui.Click({(bar.left + bar.right) / 2, bar.bottom - arrow / 2});
  EXPECT_EQ(1, SendMessageA(list, LB_GETTOPINDEX, 0, 0));
  EXPECT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));  // scrolling keeps it open
  ui.Click({dropped.left + 10, dropped.top + 1 + 5});            // the first row shown is item 1
  EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(1, SendMessageA(combo, CB_GETCURSEL, 0, 0));

  // A list that shows all its items has no bar.
  HWND few = GetDlgItem(dlg, kShortCombo);
  SendMessageA(few, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
  SendMessageA(few, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("two"));
  ui.ClickWindow(few);
  SendMessageA(few, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  HWND fewList = WindowFromPoint({dropped.left + 5, dropped.top + 5});
  EXPECT_FALSE(GetWindowLongA(fewList, GWL_STYLE) & WS_VSCROLL);
  ui.Press(VK_ESCAPE);
}

// ---- Captions and group boxes ---------------------------------------------------------------------

TEST_F(DialogTest, ACaptionWithASystemMenuHasACloseBoxThatCloses) {
  static const DLGITEMTEMPLATE items[] = {{"Button", "OK", IDOK, BS_PUSHBUTTON | WS_VISIBLE, 10, 10, 40, 14}};
  std::vector<WPARAM> commands;
  rec.handler = [&](HWND, UINT msg, WPARAM wParam, LPARAM, INT_PTR*) {
    if (msg == WM_SYSCOMMAND) commands.push_back(wParam & 0xFFF0);
    return false;
  };
  HWND dlg = Modeless(Template(items, WS_VISIBLE));
  RECT r;
  GetWindowRect(dlg, &r);
  RECT client;
  GetClientRect(dlg, &client);
  MapWindowPoints(dlg, nullptr, reinterpret_cast<POINT*>(&client), 2);
  // The box sits at the right end of the caption, inside the frame.
  const int size = GetSystemMetrics(SM_CXSIZE);
  const int frameRight = r.right - (client.left - r.left);
  const POINT centre{frameRight - size / 2 - 1, (r.top + client.top) / 2};
  EXPECT_EQ(HTCLOSE, SendMessageA(dlg, WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y)));
  EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), UiDriver::PixelAt(centre));
  EXPECT_EQ(GetSysColor(COLOR_3DFACE), UiDriver::PixelAt({centre.x, centre.y - size / 3 + 1}));

  ui.Click(centre);
  EXPECT_EQ(std::vector<WPARAM>{SC_CLOSE}, commands);
  EXPECT_EQ(1, rec.Count(IDCANCEL, 0));  // a dialog's close is its Cancel
}

TEST_F(DialogTest, FramesOfEditsAndListsInsideAGroupBoxStayVisible) {
  constexpr int kGroup = 70, kEdit = 71, kBox = 72;
  static const DLGITEMTEMPLATE items[] = {
      {"Button", "Files", kGroup, BS_GROUPBOX | WS_VISIBLE, 5, 5, 150, 100},
      {"Edit", "", kEdit, ES_AUTOHSCROLL | WS_BORDER | WS_VISIBLE | WS_TABSTOP, 10, 20, 100, 12},
      {"ListBox", "", kBox, LBS_NOTIFY | WS_BORDER | WS_VISIBLE | WS_TABSTOP, 10, 40, 100, 40},
  };
  HWND dlg = Modeless(Template(items, WS_VISIBLE));
  // Repainting the group box (as when the dialog is uncovered) must not hide the frames.
  RedrawWindow(GetDlgItem(dlg, kGroup), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  InvalidateRect(dlg, nullptr, TRUE);
  ui.Pump();
  for (int id : {kEdit, kBox}) {
    RECT r;
    GetWindowRect(GetDlgItem(dlg, id), &r);
    const COLORREF frame = UiDriver::PixelAt({(r.left + r.right) / 2, r.top});
    EXPECT_EQ(GetSysColor(COLOR_WINDOWFRAME), frame) << "the frame of " << id;
    EXPECT_EQ(GetSysColor(COLOR_WINDOWFRAME), UiDriver::PixelAt({r.left, (r.top + r.bottom) / 2}));
  }
}

// ---- The palette ---------------------------------------------------------------------------------

// Light and dark of a colour, as the eye weighs the primaries.
int Luma(COLORREF c) { return (GetRValue(c) * 299 + GetGValue(c) * 587 + GetBValue(c) * 114) / 1000; }
bool Neutral(COLORREF c) { return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c); }

TEST(Palette, FacesAreFlatNeutralGreysAndEveryTextStandsOutFromItsGround) {
  for (int face : {COLOR_3DFACE, COLOR_3DLIGHT, COLOR_3DSHADOW, COLOR_3DDKSHADOW, COLOR_SCROLLBAR, COLOR_WINDOWFRAME}) {
    EXPECT_TRUE(Neutral(GetSysColor(face))) << "system colour " << face;
  }
  // Light to dark, in the order the edges are drawn.
  EXPECT_GT(Luma(GetSysColor(COLOR_3DHIGHLIGHT)), Luma(GetSysColor(COLOR_3DLIGHT)));
  EXPECT_GT(Luma(GetSysColor(COLOR_3DLIGHT)), Luma(GetSysColor(COLOR_3DSHADOW)));
  EXPECT_GT(Luma(GetSysColor(COLOR_3DSHADOW)), Luma(GetSysColor(COLOR_3DDKSHADOW)));
  // A flat caption: no gradient.
  EXPECT_EQ(GetSysColor(COLOR_ACTIVECAPTION), GetSysColor(COLOR_GRADIENTACTIVECAPTION));
  EXPECT_EQ(GetSysColor(COLOR_INACTIVECAPTION), GetSysColor(COLOR_GRADIENTINACTIVECAPTION));
  const std::pair<int, int> pairs[] = {{COLOR_BTNTEXT, COLOR_3DFACE},
                                       {COLOR_WINDOWTEXT, COLOR_WINDOW},
                                       {COLOR_CAPTIONTEXT, COLOR_ACTIVECAPTION},
                                       {COLOR_INACTIVECAPTIONTEXT, COLOR_INACTIVECAPTION},
                                       {COLOR_HIGHLIGHTTEXT, COLOR_HIGHLIGHT},
                                       {COLOR_GRAYTEXT, COLOR_3DFACE}};
  for (auto [text, ground] : pairs) {
    EXPECT_GE(std::abs(Luma(GetSysColor(text)) - Luma(GetSysColor(ground))), 60) << text << " on " << ground;
  }
}

}  // namespace
}  // namespace win32_test
