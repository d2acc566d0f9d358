// The standard controls driven as a user drives them: owner-drawn button states, edit editing,
// combo box selection, list boxes, scroll bars and statics.
#include "dialog_fixture.h"

namespace win32_test {
namespace {

// Commands of one control, as notification codes in order.
std::vector<int> CodesOf(const Recorder& rec, int id) {
  std::vector<int> codes;
  for (const Command& c : rec.commands) {
    if (c.first == id) codes.push_back(c.second);
  }
  return codes;
}

// A screen point inside a control, from its client coordinates.
POINT At(HWND control, int x, int y) {
  POINT p{x, y};
  ClientToScreen(control, &p);
  return p;
}

// ---- Buttons ------------------------------------------------------------------------------------

constexpr int kFirst = 40, kDrawn = 50;
const DLGITEMTEMPLATE kButtonItems[] = {
    {"Button", "First", kFirst, BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 10, 10, 50, 14},
    {"Button", "Drawn", kDrawn, BS_OWNERDRAW | WS_VISIBLE | WS_TABSTOP, 10, 40, 50, 14},
};
const DLGTEMPLATE kButtons = Template(kButtonItems, WS_VISIBLE);

UINT LastState(const Recorder& rec) { return rec.drawn.empty() ? 0xFFFFFFFF : rec.drawn.back().itemState; }

TEST_F(DialogTest, OwnerDrawnButtonShowsPushedOnlyWhileTheMouseIsHeldOverIt) {
  HWND dlg = Modeless(kButtons);
  HWND button = GetDlgItem(dlg, kDrawn);
  ASSERT_FALSE(rec.drawn.empty());
  EXPECT_EQ(rec.drawn.back().CtlType, static_cast<UINT>(ODT_BUTTON));
  EXPECT_EQ(rec.drawn.back().CtlID, static_cast<UINT>(kDrawn));
  EXPECT_EQ(rec.drawn.back().hwndItem, button);
  EXPECT_EQ(LastState(rec) & (ODS_SELECTED | ODS_FOCUS | ODS_DISABLED), 0u);

  const POINT inside = ui.CenterOf(button);
  const POINT outside = ui.CenterOf(GetDlgItem(dlg, kFirst));
  ui.MouseDown(inside);
  EXPECT_EQ(LastState(rec) & (ODS_SELECTED | ODS_FOCUS), static_cast<UINT>(ODS_SELECTED | ODS_FOCUS));
  EXPECT_EQ(GetFocus(), button);
  ui.MoveMouse(outside);
  EXPECT_EQ(LastState(rec) & ODS_SELECTED, 0u);
  EXPECT_EQ(rec.drawn.back().itemAction, static_cast<UINT>(ODA_SELECT));
  ui.MoveMouse(inside);
  EXPECT_NE(LastState(rec) & ODS_SELECTED, 0u);
  ui.MouseUp(inside);
  EXPECT_EQ(LastState(rec) & ODS_SELECTED, 0u);
  EXPECT_EQ(rec.Count(kDrawn, BN_CLICKED), 1);

  // Released outside: no click.
  ui.MouseDown(inside);
  ui.MoveMouse(outside);
  ui.MouseUp(outside);
  EXPECT_EQ(rec.Count(kDrawn, BN_CLICKED), 1);
  EXPECT_EQ(GetCapture(), nullptr);

  // Pushed and clicked by messages.
  SendMessageA(button, BM_SETSTATE, TRUE, 0);
  EXPECT_NE(LastState(rec) & ODS_SELECTED, 0u);
  SendMessageA(button, BM_SETSTATE, FALSE, 0);
  EXPECT_EQ(LastState(rec) & ODS_SELECTED, 0u);
  SendMessageA(button, BM_CLICK, 0, 0);
  EXPECT_EQ(rec.Count(kDrawn, BN_CLICKED), 2);

  // Space pushes while held and clicks on release.
  ui.KeyDown(VK_SPACE);
  EXPECT_NE(LastState(rec) & ODS_SELECTED, 0u);
  EXPECT_EQ(SendMessageA(button, BM_GETSTATE, 0, 0) & (BST_PUSHED | BST_FOCUS), BST_PUSHED | BST_FOCUS);
  ui.KeyUp(VK_SPACE);
  EXPECT_EQ(rec.Count(kDrawn, BN_CLICKED), 3);

  // Focus moves away, then the button is disabled.
  ui.ClickWindow(GetDlgItem(dlg, kFirst));
  EXPECT_EQ(LastState(rec) & ODS_FOCUS, 0u);
  EnableWindow(button, FALSE);
  ui.Pump();
  EXPECT_EQ(rec.drawn.back().itemAction, static_cast<UINT>(ODA_DRAWENTIRE));
  EXPECT_NE(LastState(rec) & ODS_DISABLED, 0u);
  ui.Click(inside);
  SendMessageA(button, BM_CLICK, 0, 0);
  EXPECT_EQ(rec.Count(kDrawn, BN_CLICKED), 3);
}

TEST_F(DialogTest, AnOwnerDrawnButtonIsDrawnInItsFont) {
  HGDIOBJ drawnIn = nullptr;
  rec.handler = [&](HWND, UINT msg, WPARAM, LPARAM lParam, INT_PTR*) {
    if (msg == WM_DRAWITEM) drawnIn = GetCurrentObject(reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hDC, OBJ_FONT);
    return false;
  };
  HWND dlg = Modeless(kButtons);
  HWND button = GetDlgItem(dlg, kDrawn);
  const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(button, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(drawnIn, font);
  drawnIn = nullptr;
  SendMessageA(button, BM_SETSTATE, TRUE, 0);
  EXPECT_EQ(drawnIn, font);
}

TEST_F(DialogTest, CheckBoxesCycleTheirStatesAndGroupBoxesLetClicksThrough) {
  static const DLGITEMTEMPLATE items[] = {
      {"Button", "Group", 80, BS_GROUPBOX | WS_VISIBLE, 5, 5, 150, 80},
      {"Button", "Auto", 81, BS_AUTOCHECKBOX | WS_VISIBLE | WS_TABSTOP, 10, 20, 60, 10},
      {"Button", "Three", 82, BS_AUTO3STATE | WS_VISIBLE | WS_TABSTOP, 10, 35, 60, 10},
      {"Button", "Manual", 83, BS_CHECKBOX | WS_VISIBLE | WS_TABSTOP, 10, 50, 60, 10},
  };
  static const DLGTEMPLATE t = Template(items, WS_VISIBLE);
  int dialogClicks = 0;
  rec.handler = [&](HWND, UINT msg, WPARAM, LPARAM, INT_PTR*) {
    dialogClicks += msg == WM_LBUTTONDOWN;
    return false;
  };
  HWND dlg = Modeless(t);
  ui.ClickWindow(GetDlgItem(dlg, 81));
  EXPECT_EQ(IsDlgButtonChecked(dlg, 81), BST_CHECKED);
  ui.ClickWindow(GetDlgItem(dlg, 81));
  EXPECT_EQ(IsDlgButtonChecked(dlg, 81), BST_UNCHECKED);
  std::vector<UINT> three;
  for (int i = 0; i < 3; ++i) {
    ui.ClickWindow(GetDlgItem(dlg, 82));
    three.push_back(IsDlgButtonChecked(dlg, 82));
  }
  EXPECT_EQ(three, (std::vector<UINT>{BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}));
  // A plain check box only tells; its owner checks it.
  ui.ClickWindow(GetDlgItem(dlg, 83));
  EXPECT_EQ(IsDlgButtonChecked(dlg, 83), BST_UNCHECKED);
  EXPECT_EQ(rec.Count(83, BN_CLICKED), 1);
  CheckDlgButton(dlg, 83, BST_INDETERMINATE);  // two-state: counts as checked
  EXPECT_EQ(IsDlgButtonChecked(dlg, 83), BST_CHECKED);

  // Inside the group box but on no control: the dialog gets the click.
  ui.Click(At(GetDlgItem(dlg, 80), 120, 60));
  EXPECT_EQ(dialogClicks, 1);
}

// ---- Edit ---------------------------------------------------------------------------------------

constexpr int kEdit = 60, kFixed = 61, kDigits = 62, kReadOnly = 63;
// Box face: 5 pixels a character. 40 dialog units are 50 pixels; less the border and the margins,
// 46 pixels of text: 9 characters.
const DLGITEMTEMPLATE kEditItems[] = {
    {"Edit", "", kEdit, ES_AUTOHSCROLL | WS_BORDER | WS_VISIBLE | WS_TABSTOP, 10, 10, 40, 12},
    {"Edit", "", kFixed, WS_BORDER | WS_VISIBLE | WS_TABSTOP, 10, 30, 40, 12},
    {"Edit", "", kDigits, ES_NUMBER | WS_BORDER | WS_VISIBLE | WS_TABSTOP, 10, 50, 40, 12},
    {"Edit", "", kReadOnly, ES_READONLY | WS_BORDER | WS_VISIBLE | WS_TABSTOP, 10, 70, 40, 12},
};
const DLGTEMPLATE kEdits = Template(kEditItems, WS_VISIBLE);

std::string TextOf(HWND dlg, int id) {
  char buffer[256];
  GetDlgItemTextA(dlg, id, buffer, sizeof buffer);
  return buffer;
}

std::pair<DWORD, DWORD> Selection(HWND edit) {
  DWORD from = 0, to = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  return {from, to};
}

TEST_F(DialogTest, EditTypingSelectionAndDeletionWithTheKeyboard) {
  HWND dlg = Modeless(kEdits);
  HWND edit = GetDlgItem(dlg, kEdit);
  ui.ClickWindow(edit);
  ASSERT_EQ(GetFocus(), edit);
  EXPECT_EQ(rec.Count(kEdit, EN_SETFOCUS), 1);
  ui.Type("hello");
  EXPECT_EQ(TextOf(dlg, kEdit), "hello");
  EXPECT_EQ(rec.Count(kEdit, EN_CHANGE), 5);
  EXPECT_EQ(rec.Count(kEdit, EN_UPDATE), 5);
  EXPECT_EQ(Selection(edit), std::make_pair(5u, 5u));
  EXPECT_TRUE(SendMessageA(edit, EM_GETMODIFY, 0, 0));

  ui.Press(VK_HOME);
  EXPECT_EQ(Selection(edit), std::make_pair(0u, 0u));
  ui.PressWith(VK_SHIFT, VK_END);
  EXPECT_EQ(Selection(edit), std::make_pair(0u, 5u));
  ui.Type("X");
  EXPECT_EQ(TextOf(dlg, kEdit), "X");
  ui.Press(VK_BACK);
  EXPECT_EQ(TextOf(dlg, kEdit), "");
  ui.Press(VK_BACK);  // nothing left: no change
  EXPECT_EQ(rec.Count(kEdit, EN_CHANGE), 7);

  ui.Type("abcdef");
  ui.Press(VK_LEFT);
  ui.Press(VK_LEFT);
  ui.Press(VK_BACK);
  EXPECT_EQ(TextOf(dlg, kEdit), "abcef");
  ui.Press(VK_DELETE);
  EXPECT_EQ(TextOf(dlg, kEdit), "abcf");
  ui.PressWith(VK_SHIFT, VK_LEFT);
  EXPECT_EQ(Selection(edit), std::make_pair(2u, 3u));
  ui.Press(VK_DELETE);
  EXPECT_EQ(TextOf(dlg, kEdit), "abf");
  ui.Press(VK_END);
  ui.Press(VK_DELETE);  // at the end: nothing
  EXPECT_EQ(TextOf(dlg, kEdit), "abf");

  ui.Press(VK_TAB);  // not in a dialog's loop: the edit ignores it
  EXPECT_EQ(TextOf(dlg, kEdit), "abf");
  SetFocus(GetDlgItem(dlg, kFixed));
  EXPECT_EQ(rec.Count(kEdit, EN_KILLFOCUS), 1);

  // Programmatic changes tell the parent too, and reset the modified flag.
  const int changes = rec.Count(kEdit, EN_CHANGE);
  SetWindowTextA(edit, "new text");
  EXPECT_EQ(rec.Count(kEdit, EN_CHANGE), changes + 1);
  EXPECT_FALSE(SendMessageA(edit, EM_GETMODIFY, 0, 0));
  SendMessageA(edit, EM_SETSEL, 4, -1);
  SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(" words"));
  EXPECT_EQ(TextOf(dlg, kEdit), "new  words");
  char line[16] = {};
  *reinterpret_cast<WORD*>(line) = 3;
  EXPECT_EQ(SendMessageA(edit, EM_GETLINE, 0, reinterpret_cast<LPARAM>(line)), 3);
  EXPECT_EQ(std::string(line, 3), "new");
}

TEST_F(DialogTest, EditScrollsToKeepTheCaretInViewOnlyWithAutoHScroll) {
  HWND dlg = Modeless(kEdits);
  HWND edit = GetDlgItem(dlg, kEdit);
  ui.ClickWindow(edit);
  ui.Type("abcdefghijklmnopqrst");
  EXPECT_EQ(TextOf(dlg, kEdit), "abcdefghijklmnopqrst");
  const LRESULT first = SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
  EXPECT_GE(first, 11);
  RECT client;
  GetClientRect(edit, &client);
  const int caretX = LOWORD(SendMessageA(edit, EM_POSFROMCHAR, 20, 0));
  EXPECT_GT(caretX, 0);
  EXPECT_LT(caretX, client.right);
  ui.Press(VK_HOME);
  EXPECT_EQ(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  EXPECT_EQ(LOWORD(SendMessageA(edit, EM_POSFROMCHAR, 0, 0)), 1);

  // Without ES_AUTOHSCROLL the text stops at the right edge.
  HWND fixed = GetDlgItem(dlg, kFixed);
  ui.ClickWindow(fixed);
  ui.Type("abcdefghijklmnopqrst");
  EXPECT_EQ(TextOf(dlg, kFixed), "abcdefghi");
  EXPECT_GE(rec.Count(kFixed, EN_MAXTEXT), 1);
  EXPECT_EQ(SendMessageA(fixed, EM_GETFIRSTVISIBLELINE, 0, 0), 0);

  // The text limit.
  SetWindowTextA(edit, "");
  SendMessageA(edit, EM_LIMITTEXT, 3, 0);
  ui.ClickWindow(edit);
  ui.Type("abcdef");
  EXPECT_EQ(TextOf(dlg, kEdit), "abc");
  EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 3);
}

TEST_F(DialogTest, EditCaretAndSelectionFollowTheMouse) {
  HWND dlg = Modeless(kEdits);
  HWND edit = GetDlgItem(dlg, kEdit);
  SetWindowTextA(edit, "abcdef");
  // Character n starts at client x 1 + 5n.
  ui.Click(At(edit, 1 + 5 * 2, 4));
  EXPECT_EQ(Selection(edit), std::make_pair(2u, 2u));
  ui.MouseDown(At(edit, 1 + 5 * 1 + 1, 4));
  ui.MoveMouse(At(edit, 1 + 5 * 4 - 1, 4));
  ui.MouseUp(At(edit, 1 + 5 * 4 - 1, 4));
  EXPECT_EQ(Selection(edit), std::make_pair(1u, 4u));
  EXPECT_EQ(LOWORD(SendMessageA(edit, EM_CHARFROMPOS, 0, MAKELPARAM(1 + 5 * 3, 4))), 3);
  ui.AdvanceClock(1000);  // not a double click with the press before
  ui.DoubleClick(At(edit, 8, 4));
  EXPECT_EQ(Selection(edit), std::make_pair(0u, 6u));
}

TEST_F(DialogTest, EditNumberReadOnlyAndDisabledLooks) {
  std::vector<std::pair<int, UINT>> colorRequests;
  rec.handler = [&](HWND, UINT msg, WPARAM, LPARAM lParam, INT_PTR*) {
    if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORSTATIC) {
      colorRequests.push_back({GetDlgCtrlID(reinterpret_cast<HWND>(lParam)), msg});
    }
    return false;
  };
  HWND dlg = Modeless(kEdits);
  auto lastColorMessage = [&](int id) {
    UINT found = 0;
    for (auto& [who, msg] : colorRequests) {
      if (who == id) found = msg;
    }
    return found;
  };
  EXPECT_EQ(lastColorMessage(kEdit), static_cast<UINT>(WM_CTLCOLOREDIT));
  EXPECT_EQ(lastColorMessage(kReadOnly), static_cast<UINT>(WM_CTLCOLORSTATIC));
  // Sampled inside, where there is no text: the window colour and the face colour.
  EXPECT_EQ(ui.PixelAt(At(GetDlgItem(dlg, kEdit), 30, 4)), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(ui.PixelAt(At(GetDlgItem(dlg, kReadOnly), 30, 4)), GetSysColor(COLOR_3DFACE));

  ui.ClickWindow(GetDlgItem(dlg, kDigits));
  ui.Type("a1b2.3");
  EXPECT_EQ(TextOf(dlg, kDigits), "123");

  HWND readOnly = GetDlgItem(dlg, kReadOnly);
  ui.ClickWindow(readOnly);
  ui.Type("zz");
  ui.Press(VK_BACK);
  EXPECT_EQ(TextOf(dlg, kReadOnly), "");
  EXPECT_EQ(rec.Count(kReadOnly, EN_CHANGE), 0);
  SendMessageA(readOnly, EM_SETREADONLY, FALSE, 0);
  ui.Pump();
  EXPECT_EQ(lastColorMessage(kReadOnly), static_cast<UINT>(WM_CTLCOLOREDIT));
  ui.Type("ok");
  EXPECT_EQ(TextOf(dlg, kReadOnly), "ok");

  EnableWindow(GetDlgItem(dlg, kEdit), FALSE);
  ui.Pump();
  EXPECT_EQ(lastColorMessage(kEdit), static_cast<UINT>(WM_CTLCOLORSTATIC));
  // The driver's picture of the dialog is what the screen shows.
  testing_ui::Image picture = testing_ui::UiDriver::CaptureWindow(dlg);
  RECT frame;
  GetWindowRect(dlg, &frame);
  ASSERT_EQ(picture.width, frame.right - frame.left);
  ASSERT_EQ(picture.height, frame.bottom - frame.top);
  POINT probe = At(GetDlgItem(dlg, kEdit), 30, 4);  // disabled: the face colour
  EXPECT_EQ(picture.At(probe.x - frame.left, probe.y - frame.top), GetSysColor(COLOR_3DFACE));
  testing_ui::UiDriver::Dump(picture, "DialogTest.EditLooks");
}

// ---- Combo box ----------------------------------------------------------------------------------

constexpr int kList = 70, kCombo = 71, kOther = 72;
const DLGITEMTEMPLATE kComboItems[] = {
    {"ComboBox", "", kList, CBS_DROPDOWNLIST | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL, 10, 10, 80, 60},
    {"ComboBox", "", kCombo, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VISIBLE | WS_TABSTOP, 100, 10, 80, 60},
    {"Button", "Other", kOther, BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 10, 90, 50, 14},
};
const DLGTEMPLATE kCombos = Template(kComboItems, WS_VISIBLE);

void Fill(HWND combo) {
  for (const char* s : {"Alpha", "Beta", "Gamma", "Delta"}) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
}

TEST_F(DialogTest, ComboBoxListMessages) {
  HWND dlg = Modeless(kCombos);
  HWND combo = GetDlgItem(dlg, kList);
  Fill(combo);
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(SendMessageA(combo, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("be")), 1);
  EXPECT_EQ(SendMessageA(combo, CB_FINDSTRING, 1, reinterpret_cast<LPARAM>("be")), 1);  // wraps around
  EXPECT_EQ(SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("GAMMA")), 2);
  EXPECT_EQ(SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("Gam")), CB_ERR);
  EXPECT_EQ(SendMessageA(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("Zero")), 0);
  EXPECT_EQ(SendMessageA(combo, CB_INSERTSTRING, 9, reinterpret_cast<LPARAM>("Far")), CB_ERR);
  EXPECT_EQ(SendMessageA(combo, CB_SETITEMDATA, 2, 1234), TRUE);
  EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 2, 0), 1234);
  EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 2, 0), 2);
  EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXTLEN, 2, 0), 4);
  char text[16];
  EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(text)), 4);
  EXPECT_STREQ(text, "Beta");
  GetWindowTextA(combo, text, sizeof text);
  EXPECT_STREQ(text, "Beta");
  EXPECT_EQ(SendMessageA(combo, CB_DELETESTRING, 0, 0), 4);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);  // follows its item
  EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 1, 0), 1234);
  EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 7, 0), CB_ERR);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(rec.Count(kList, CBN_SELCHANGE), 0);  // only the user's changes are told
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 0);

  // The window is as high as its field; the template height is the dropped height.
  RECT rc;
  GetWindowRect(combo, &rc);
  EXPECT_EQ(rc.bottom - rc.top, 17);
}

TEST_F(DialogTest, ComboBoxPicksWithTheMouseAndCancelsOnAClickOutside) {
  HWND dlg = Modeless(kCombos);
  HWND combo = GetDlgItem(dlg, kList);
  Fill(combo);
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
  rec.commands.clear();

  ui.ClickWindow(combo);
  EXPECT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  RECT list;
  SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&list));
  RECT field;
  GetWindowRect(combo, &field);
  EXPECT_EQ(list.top, field.bottom);
  EXPECT_EQ(list.bottom - list.top, 4 * 11 + 2);
  // Rows are 11 pixels below a 1-pixel border: row 2 is "Gamma".
  ui.Click({list.left + 10, list.top + 1 + 2 * 11 + 5});
  EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(CodesOf(rec, kList),
            (std::vector<int>{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));

  rec.commands.clear();
  ui.ClickWindow(combo);
  ui.MoveMouse({list.left + 10, list.top + 1 + 5});  // the list follows the mouse
  ui.Click(ui.CenterOf(GetDlgItem(dlg, kOther)));    // but the click outside cancels
  EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(CodesOf(rec, kList), (std::vector<int>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}));
  EXPECT_EQ(rec.Count(kOther, BN_CLICKED), 0);  // the cancelling click is eaten
}

TEST_F(DialogTest, ComboBoxKeyboardAndDropDownEditField) {
  HWND dlg = Modeless(kCombos);
  HWND combo = GetDlgItem(dlg, kList);
  Fill(combo);
  SendMessageA(combo, CB_SETCURSEL, 1, 0);
  SetFocus(combo);
  rec.commands.clear();
  ui.Press(VK_DOWN);
  ui.Press(VK_UP);
  ui.Press(VK_UP);
  ui.Press(VK_UP);  // already the first: nothing
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(rec.Count(kList, CBN_SELCHANGE), 3);
  ui.Type("g");
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);
  ui.Press(VK_F4);
  EXPECT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  ui.Press(VK_DOWN);
  ui.Press(VK_RETURN);
  EXPECT_FALSE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 3);

  HWND dropDown = GetDlgItem(dlg, kCombo);
  Fill(dropDown);
  rec.commands.clear();
  SendMessageA(dropDown, CB_SETCURSEL, 1, 0);
  char text[16];
  GetWindowTextA(dropDown, text, sizeof text);
  EXPECT_STREQ(text, "Beta");
  EXPECT_EQ(rec.Count(kCombo, CBN_EDITCHANGE), 0);
  ui.ClickWindow(dropDown);  // the edit field takes the click and the focus
  ui.Press(VK_END);
  ui.Type("xy");
  GetWindowTextA(dropDown, text, sizeof text);
  EXPECT_STREQ(text, "Betaxy");
  EXPECT_EQ(rec.Count(kCombo, CBN_EDITCHANGE), 2);
  EXPECT_EQ(rec.Count(kCombo, CBN_SETFOCUS), 1);
  ui.Press(VK_DOWN);
  GetWindowTextA(dropDown, text, sizeof text);
  EXPECT_STREQ(text, "Gamma");
}

// ---- List box, scroll bar, static ---------------------------------------------------------------

TEST_F(DialogTest, ListBoxKeepsItsItemsSortedAndTellsSelectionChanges) {
  static const DLGITEMTEMPLATE items[] = {
      {"ListBox", "", 90, LBS_NOTIFY | LBS_SORT | WS_BORDER | WS_VISIBLE | WS_TABSTOP, 10, 10, 80, 60},
  };
  static const DLGTEMPLATE t = Template(items, WS_VISIBLE);
  HWND dlg = Modeless(t);
  HWND list = GetDlgItem(dlg, 90);
  for (const char* s : {"pear", "apple", "fig"}) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  char text[16];
  SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "apple");
  SendMessageA(list, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "pear");
  EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0), 11);

  ui.Click(At(list, 10, 11 + 5));
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(GetFocus(), list);
  ui.Press(VK_DOWN);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);
  ui.Press(VK_DOWN);  // the last already
  EXPECT_EQ(rec.Count(90, LBN_SELCHANGE), 2);
  ui.DoubleClick(At(list, 10, 5));
  EXPECT_EQ(rec.Count(90, LBN_DBLCLK), 1);
  EXPECT_EQ(SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(10, 11 * 5)), MAKELRESULT(2, 1));
  EXPECT_EQ(SendMessageA(list, LB_DELETESTRING, 0, 0), 2);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessageA(list, LB_DELETESTRING, 5, 0), LB_ERR);
}

TEST_F(DialogTest, ScrollBarTellsItsParentAndRepeatsOnTheClock) {
  static const DLGITEMTEMPLATE items[] = {
      {"ScrollBar", "", 95, SBS_VERT | WS_VISIBLE, 10, 10, 10, 80},
  };
  static const DLGTEMPLATE t = Template(items, WS_VISIBLE);
  std::vector<std::pair<int, int>> scrolls;
  rec.handler = [&](HWND, UINT msg, WPARAM wParam, LPARAM, INT_PTR*) {
    if (msg == WM_VSCROLL) scrolls.push_back({LOWORD(wParam), HIWORD(wParam)});
    return false;
  };
  HWND dlg = Modeless(t);
  HWND bar = GetDlgItem(dlg, 95);
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 95, 0};
  EXPECT_EQ(SetScrollInfo(bar, SB_CTL, &si, TRUE), 91);  // the last page starts at 91
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 91);
  EXPECT_EQ(SetScrollPos(bar, SB_CTL, -5, TRUE), 91);
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0);
  int low = 1, high = 1;
  EXPECT_TRUE(GetScrollRange(bar, SB_CTL, &low, &high));
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 100);

  RECT rc;
  GetClientRect(bar, &rc);
  const POINT downArrow = At(bar, rc.right / 2, rc.bottom - 2);
  ui.MouseDown(downArrow);
  EXPECT_EQ(scrolls, (std::vector<std::pair<int, int>>{{SB_LINEDOWN, 0}}));
  ui.AdvanceClock(400);
  ui.AdvanceClock(50);
  EXPECT_EQ(scrolls.size(), 3u);
  ui.MouseUp(downArrow);
  ASSERT_EQ(scrolls.size(), 4u);
  EXPECT_EQ(scrolls.back().first, SB_ENDSCROLL);
  ui.AdvanceClock(400);
  EXPECT_EQ(scrolls.size(), 4u);

  // Dragging the thumb (at the top, position 0) to the far end.
  scrolls.clear();
  const int arrow = rc.right;
  ui.MouseDown(At(bar, rc.right / 2, arrow + 2));
  ui.MoveMouse(At(bar, rc.right / 2, rc.bottom + 40));
  ui.MouseUp(At(bar, rc.right / 2, rc.bottom + 40));
  ASSERT_GE(scrolls.size(), 3u);
  EXPECT_EQ(scrolls[0], std::make_pair(static_cast<int>(SB_THUMBTRACK), 91));
  EXPECT_EQ(scrolls[scrolls.size() - 2], std::make_pair(static_cast<int>(SB_THUMBPOSITION), 91));
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0);  // the parent moves it

  // A window's own bar keeps its values too.
  SCROLLINFO own{sizeof own, SIF_RANGE | SIF_POS, 0, 50, 0, 70, 0};
  EXPECT_EQ(SetScrollInfo(dlg, SB_HORZ, &own, FALSE), 50);
  EXPECT_EQ(GetScrollPos(dlg, SB_HORZ), 50);
  EXPECT_EQ(GetScrollPos(dlg, SB_VERT), 0);
}

TEST_F(DialogTest, StaticsPassClicksThroughUnlessTheyNotify) {
  static const DLGITEMTEMPLATE items[] = {
      {"Static", "plain", 96, SS_LEFT | WS_VISIBLE, 10, 10, 60, 10},
      {"Static", "notify", 97, SS_CENTER | SS_NOTIFY | WS_VISIBLE, 10, 30, 60, 10},
  };
  static const DLGTEMPLATE t = Template(items, WS_VISIBLE);
  int dialogClicks = 0;
  rec.handler = [&](HWND, UINT msg, WPARAM, LPARAM, INT_PTR*) {
    dialogClicks += msg == WM_LBUTTONDOWN;
    return false;
  };
  HWND dlg = Modeless(t);
  ui.ClickWindow(GetDlgItem(dlg, 96));
  EXPECT_EQ(dialogClicks, 1);
  ui.ClickWindow(GetDlgItem(dlg, 97));
  EXPECT_EQ(dialogClicks, 1);
  EXPECT_EQ(rec.Count(97, STN_CLICKED), 1);
  // Text is drawn in the window text colour from the left edge (box glyphs are solid).
  HWND plain = GetDlgItem(dlg, 96);
  EXPECT_EQ(ui.PixelAt(At(plain, 1, 5)), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(ui.PixelAt(At(plain, 60, 5)), GetSysColor(COLOR_3DFACE));

  HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
  static const DLGITEMTEMPLATE imageItems[] = {{"Static", "", 98, SS_BITMAP | WS_VISIBLE, 10, 10, 20, 20}};
  static const DLGTEMPLATE imageTemplate = Template(imageItems, WS_VISIBLE);
  HWND imageDlg = Modeless(imageTemplate);
  HWND image = GetDlgItem(imageDlg, 98);
  EXPECT_EQ(SendMessageA(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)), 0);
  EXPECT_EQ(SendMessageA(image, STM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(bitmap));
  EXPECT_EQ(SendMessageA(image, STM_SETIMAGE, IMAGE_ICON, 0), 0);  // not an icon static
  ui.Pump();
  EXPECT_EQ(ui.PixelAt(At(image, 1, 1)), RGB(0, 0, 0));
  EXPECT_EQ(ui.PixelAt(At(image, 6, 6)), GetSysColor(COLOR_3DFACE));
  DestroyWindow(imageDlg);
  DeleteObject(bitmap);

  // An icon static may name its image by resource number; a number with no such icon shows none.
  HWND numbered = CreateWindowExA(0, "Static", MAKEINTRESOURCEA(4711), SS_ICON | WS_CHILD, 0, 0, 32, 32, dlg, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(numbered, nullptr);
  EXPECT_EQ(SendMessageA(numbered, STM_GETICON, 0, 0), 0);
  DestroyWindow(numbered);
}

}  // namespace
}  // namespace win32_test
