// The dialog manager: templates and dialog units, navigation, the default button, modal loops
// nested in modal loops, the item helpers and message boxes.
#include <gtest/gtest-spi.h>

#include <cstdlib>

#include "dialog_fixture.h"

namespace win32_test {
namespace {

constexpr int kName = 101, kCheck = 102, kDisabled = 103, kNumber = 104;

const DLGITEMTEMPLATE kFormItems[] = {
    {"Static", "&Name:", -1, SS_LEFT | WS_VISIBLE, 4, 4, 40, 8},
    {"Edit", "first", kName, ES_AUTOHSCROLL | WS_BORDER | WS_VISIBLE | WS_TABSTOP | WS_GROUP, 50, 4, 100, 12},
    {"Button", "&Check", kCheck, BS_AUTOCHECKBOX | WS_VISIBLE | WS_TABSTOP, 50, 20, 60, 10},
    {"Edit", "", kDisabled, WS_BORDER | WS_VISIBLE | WS_TABSTOP | WS_DISABLED, 50, 34, 100, 12},
    {"Edit", "", kNumber, ES_NUMBER | WS_BORDER | WS_VISIBLE, 50, 50, 100, 12},
    {"Button", "OK", IDOK, BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP | WS_GROUP, 40, 90, 50, 14},
    {"Button", "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 100, 90, 50, 14},
};
const DLGTEMPLATE kForm = Template(kFormItems, WS_VISIBLE, "Form");

const ResourceEntry kResources[] = {{RT_DIALOG, MAKEINTRESOURCE(300), &kForm, sizeof kForm}};
const ModuleResources kRegistered(kResources);

TEST_F(DialogTest, TemplateControlsArePlacedInDialogUnitsOfTheDialogFont) {
  HWND dlg = Modeless(kForm);
  // The box face at 8 points is 11 pixels high and 5 wide: base units 5 x 11.
  RECT r{4, 8, 44, 16};
  ASSERT_TRUE(MapDialogRect(dlg, &r));
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.top, 11);
  EXPECT_EQ(r.right, 55);
  EXPECT_EQ(r.bottom, 22);

  HWND name = GetDlgItem(dlg, kName);
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(GetDlgCtrlID(name), kName);
  RECT client;
  GetClientRect(dlg, &client);
  EXPECT_EQ(client.right, 250);  // 200 * 5 / 4
  EXPECT_EQ(client.bottom, 165);  // 120 * 11 / 8
  POINT origin{0, 0};
  ClientToScreen(dlg, &origin);
  RECT item;
  GetWindowRect(name, &item);
  EXPECT_EQ(item.left - origin.x, 63);  // MulDiv(50, 5, 4) rounds
  EXPECT_EQ(item.top - origin.y, 6);
  EXPECT_EQ(item.right - item.left, 125);
  EXPECT_EQ(GetDlgItem(dlg, 999), nullptr);

  // WM_INITDIALOG returned TRUE: the first tab stop has the focus, its text selected.
  EXPECT_EQ(GetFocus(), name);
  DWORD from = 9, to = 9;
  SendMessageA(name, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 5u);
  EXPECT_EQ(SendMessageA(dlg, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
  char cls[16];
  GetClassNameA(dlg, cls, sizeof cls);
  EXPECT_STREQ(cls, "#32770");
}

TEST_F(DialogTest, WithoutATemplateFontDialogUnitsAreTheSystemFontsAndCentringFollowsTheOwner) {
  HWND owner = OwnerWindow();
  static const DLGITEMTEMPLATE items[] = {{"Button", "OK", IDOK, BS_PUSHBUTTON | WS_VISIBLE, 4, 4, 40, 14}};
  static const DLGTEMPLATE t = {DS_CENTER | DS_MODALFRAME | WS_POPUP | WS_CAPTION, 0, 0, 0, 80, 40, "Plain", nullptr, 0,
                                items, 1};
  HWND dlg = Modeless(t, owner);
  const LONG units = GetDialogBaseUnits();
  ASSERT_GT(LOWORD(units), 0);
  ASSERT_GT(HIWORD(units), 0);
  RECT r{0, 0, 4, 8};
  MapDialogRect(dlg, &r);
  EXPECT_EQ(r.right, LOWORD(units));
  EXPECT_EQ(r.bottom, HIWORD(units));
  RECT ownerRect, dlgRect;
  GetWindowRect(owner, &ownerRect);
  GetWindowRect(dlg, &dlgRect);
  EXPECT_LE(std::abs((ownerRect.left + ownerRect.right) - (dlgRect.left + dlgRect.right)), 1);
  EXPECT_LE(std::abs((ownerRect.top + ownerRect.bottom) - (dlgRect.top + dlgRect.bottom)), 1);
  EXPECT_EQ(GetWindow(dlg, GW_OWNER), owner);
  EXPECT_FALSE(MapDialogRect(owner, &r));  // not a dialog
}

TEST_F(DialogTest, DialogsComeFromDialogResourcesOfTheModule) {
  HWND dlg = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCE(300), nullptr, RecordingProc, 0);
  windows.push_back(dlg);
  ASSERT_NE(dlg, nullptr);
  char title[16];
  GetWindowTextA(dlg, title, sizeof title);
  EXPECT_STREQ(title, "Form");
  EXPECT_EQ(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCE(301), nullptr, RecordingProc, 0), nullptr);
  EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCE(301), nullptr, RecordingProc, 0), -1);
}

TEST_F(DialogTest, TabAndShiftTabVisitEnabledTabStopsInOrderAndWrap) {
  std::vector<int> ids;
  auto step = [&](UINT modifier) {
    ui.AnswerModal([&ids, modifier](testing_ui::UiDriver& d, HWND) {
      ids.push_back(GetDlgCtrlID(GetFocus()));
      if (modifier) {
        d.PressWith(modifier, VK_TAB);
      } else {
        d.Press(VK_TAB);
      }
    });
  };
  for (int i = 0; i < 4; ++i) step(0);
  for (int i = 0; i < 2; ++i) step(VK_SHIFT);
  int last = 0;
  ui.AnswerModal([&last](testing_ui::UiDriver& d, HWND) {
    last = GetDlgCtrlID(GetFocus());
    d.Press(VK_ESCAPE);
  });
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &kForm, nullptr, RecordingProc, 0), IDCANCEL);
  // name -> check -> (disabled edit and the edit without WS_TABSTOP skipped) OK -> Cancel -> name.
  EXPECT_EQ(ids, (std::vector<int>{kName, kCheck, IDOK, IDCANCEL, kName, IDCANCEL}));
  EXPECT_EQ(last, IDOK);
}

TEST_F(DialogTest, MnemonicsMoveTheFocusAndClickButtons) {
  std::vector<int> focus;
  std::vector<UINT> checks;
  ui.AnswerModal([](testing_ui::UiDriver& d, HWND dlg) {
    SetFocus(GetDlgItem(dlg, IDOK));
    d.Type("c");  // a push button takes no characters: the letter picks "&Check"
  });
  ui.AnswerModal([&](testing_ui::UiDriver& d, HWND dlg) {
    focus.push_back(GetDlgCtrlID(GetFocus()));
    checks.push_back(IsDlgButtonChecked(dlg, kCheck));
    d.PressWith(VK_MENU, 'N');  // "&Name:" hands the focus to the edit after it
  });
  ui.AnswerModal([&](testing_ui::UiDriver& d, HWND) {
    focus.push_back(GetDlgCtrlID(GetFocus()));
    d.Press(VK_END);
    d.Type("c");  // the edit takes the letter itself
  });
  ui.AnswerModal([&](testing_ui::UiDriver& d, HWND dlg) {
    checks.push_back(IsDlgButtonChecked(dlg, kCheck));
    char text[16];
    GetDlgItemTextA(dlg, kName, text, sizeof text);
    EXPECT_STREQ(text, "firstc");
    d.PressWith(VK_MENU, 'C');
  });
  ui.AnswerModal([&](testing_ui::UiDriver&, HWND dlg) {
    checks.push_back(IsDlgButtonChecked(dlg, kCheck));
    EndDialog(dlg, IDOK);
  });
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &kForm, nullptr, RecordingProc, 0), IDOK);
  EXPECT_EQ(focus, (std::vector<int>{kCheck, kName}));
  EXPECT_EQ(checks, (std::vector<UINT>{BST_CHECKED, BST_CHECKED, BST_UNCHECKED}));
}

TEST_F(DialogTest, EnterClicksTheDefaultButtonOrTheFocusedPushButton) {
  // Enter in the edit: the default button.
  ui.AnswerModal([](testing_ui::UiDriver& d, HWND) { d.Press(VK_RETURN); });
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &kForm, nullptr, RecordingProc, 0), IDOK);
  EXPECT_EQ(rec.Count(IDOK, BN_CLICKED), 1);

  // A focused push button takes the default look and Enter.
  bool cancelLooksDefault = false, okLooksDefault = true;
  ui.AnswerModal([](testing_ui::UiDriver& d, HWND) { d.PressWith(VK_SHIFT, VK_TAB); });
  ui.AnswerModal([&](testing_ui::UiDriver& d, HWND dlg) {
    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, IDCANCEL));
    cancelLooksDefault = (GetWindowLongA(GetDlgItem(dlg, IDCANCEL), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    okLooksDefault = (GetWindowLongA(GetDlgItem(dlg, IDOK), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    d.Press(VK_RETURN);
  });
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &kForm, nullptr, RecordingProc, 0), IDCANCEL);
  EXPECT_TRUE(cancelLooksDefault);
  EXPECT_FALSE(okLooksDefault);
}

TEST_F(DialogTest, SetDefIdMovesTheDefaultButtonAndEnterFollowsIt) {
  HWND dlg = Modeless(kForm);
  SendMessageA(dlg, DM_SETDEFID, IDCANCEL, 0);
  EXPECT_EQ(SendMessageA(dlg, DM_GETDEFID, 0, 0), MAKELRESULT(IDCANCEL, DC_HASDEFID));
  EXPECT_EQ(GetWindowLongA(GetDlgItem(dlg, IDCANCEL), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongA(GetDlgItem(dlg, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  // A modeless dialog navigates through the caller's IsDialogMessage.
  MSG msg{GetDlgItem(dlg, kName), WM_KEYDOWN, VK_RETURN, 1, 0, {0, 0}};
  EXPECT_TRUE(IsDialogMessageA(dlg, &msg));
  EXPECT_EQ(rec.Count(IDCANCEL, BN_CLICKED), 1);
  MSG elsewhere{OwnerWindow(), WM_KEYDOWN, VK_RETURN, 1, 0, {0, 0}};
  EXPECT_FALSE(IsDialogMessageA(dlg, &elsewhere));
}

TEST_F(DialogTest, EscapeAndCloseBecomeCancelUnlessCancelIsDisabled) {
  ui.AnswerModal([](testing_ui::UiDriver&, HWND dlg) { SendMessageA(dlg, WM_CLOSE, 0, 0); });
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &kForm, nullptr, RecordingProc, 0), IDCANCEL);
  EXPECT_EQ(rec.Count(IDCANCEL, BN_CLICKED), 1);

  rec.commands.clear();
  ui.AnswerModal([](testing_ui::UiDriver& d, HWND dlg) {
    EnableWindow(GetDlgItem(dlg, IDCANCEL), FALSE);
    d.Press(VK_ESCAPE);
  });
  ui.AnswerModal([](testing_ui::UiDriver&, HWND dlg) { SendMessageA(dlg, WM_CLOSE, 0, 0); });
  ui.AnswerModal([](testing_ui::UiDriver&, HWND dlg) { EndDialog(dlg, 42); });
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &kForm, nullptr, RecordingProc, 0), 42);
  EXPECT_EQ(rec.Count(IDCANCEL, BN_CLICKED), 0);
}

TEST_F(DialogTest, ModalDialogsNestDisablingEachOwnerUntilTheInnerOneEnds) {
  HWND owner = OwnerWindow();
  static constexpr int kOpenInner = 201;
  static const DLGITEMTEMPLATE items[] = {
      {"Button", "Inner...", kOpenInner, BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 10, 10, 60, 14},
      {"Button", "OK", IDOK, BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 10, 40, 50, 14},
  };
  static const DLGTEMPLATE outer = Template(items, 0, "Outer");
  static const DLGTEMPLATE inner = Template(items, 0, "Inner");
  HWND outerDlg = nullptr;
  INT_PTR innerResult = 0;
  bool outerDisabledInside = false, ownerDisabledInside = false, outerEnabledAfter = false, outerActiveAfter = false;
  rec.handler = [&](HWND dlg, UINT msg, WPARAM wParam, LPARAM, INT_PTR* result) {
    if (msg == WM_COMMAND && LOWORD(wParam) == kOpenInner) {
      outerDlg = dlg;
      innerResult = DialogBoxIndirectParamA(nullptr, &inner, dlg, RecordingProc, 0);
      outerEnabledAfter = IsWindowEnabled(dlg);
      outerActiveAfter = GetActiveWindow() == dlg;
      *result = TRUE;
      return true;
    }
    return false;
  };
  ui.AnswerModal([&](testing_ui::UiDriver& d, HWND dlg) {
    EXPECT_FALSE(IsWindowEnabled(owner));
    d.ClickWindow(GetDlgItem(dlg, kOpenInner));
  }, "Outer");
  ui.AnswerModal([&](testing_ui::UiDriver& d, HWND) {
    outerDisabledInside = !IsWindowEnabled(outerDlg);
    ownerDisabledInside = !IsWindowEnabled(owner);
    d.Press(VK_ESCAPE);
  }, "Inner");
  ui.AnswerModal([](testing_ui::UiDriver& d, HWND dlg) {
    // The focus came back to where it was when the inner dialog opened.
    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, kOpenInner));
    d.ClickWindow(GetDlgItem(dlg, IDOK));
  }, "Outer");
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &outer, owner, RecordingProc, 0), IDOK);
  EXPECT_EQ(innerResult, IDCANCEL);
  EXPECT_TRUE(outerDisabledInside);
  EXPECT_TRUE(ownerDisabledInside);
  EXPECT_TRUE(outerEnabledAfter);
  EXPECT_TRUE(outerActiveAfter);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(GetActiveWindow(), owner);
  EXPECT_FALSE(IsWindow(outerDlg));
}

TEST_F(DialogTest, TheOwnerComesBackAsItWasHoweverTheDialogEnds) {
  HWND owner = OwnerWindow();
  // Destroyed instead of ended: no result, the owner enabled again.
  ui.AnswerModal([](testing_ui::UiDriver&, HWND dlg) { DestroyWindow(dlg); });
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &kForm, owner, RecordingProc, 0), -1);
  EXPECT_TRUE(IsWindowEnabled(owner));
  // An owner disabled before stays disabled.
  EnableWindow(owner, FALSE);
  ui.AnswerModal([](testing_ui::UiDriver& d, HWND) { d.Press(VK_ESCAPE); });
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &kForm, owner, RecordingProc, 0), IDCANCEL);
  EXPECT_FALSE(IsWindowEnabled(owner));
}

TEST_F(DialogTest, ItemHelpersReadAndWriteTextNumbersAndChecks) {
  HWND dlg = Modeless(kForm);
  EXPECT_TRUE(SetDlgItemTextA(dlg, kName, "hello"));
  char text[8];
  EXPECT_EQ(GetDlgItemTextA(dlg, kName, text, sizeof text), 5u);
  EXPECT_STREQ(text, "hello");
  EXPECT_EQ(GetDlgItemTextA(dlg, kName, text, 3), 2u);
  EXPECT_STREQ(text, "he");

  BOOL ok = TRUE;
  SetDlgItemInt(dlg, kName, static_cast<UINT>(-42), TRUE);
  EXPECT_EQ(static_cast<int>(GetDlgItemInt(dlg, kName, &ok, TRUE)), -42);
  EXPECT_TRUE(ok);
  GetDlgItemInt(dlg, kName, &ok, FALSE);
  EXPECT_FALSE(ok);
  SetDlgItemTextA(dlg, kName, " 12x");
  GetDlgItemInt(dlg, kName, &ok, FALSE);
  EXPECT_FALSE(ok);
  SetDlgItemTextA(dlg, kName, " 4294967295 ");
  EXPECT_EQ(GetDlgItemInt(dlg, kName, &ok, FALSE), 4294967295u);
  EXPECT_TRUE(ok);
  SetDlgItemTextA(dlg, kName, "4294967296");
  GetDlgItemInt(dlg, kName, &ok, FALSE);
  EXPECT_FALSE(ok);

  EXPECT_EQ(IsDlgButtonChecked(dlg, kCheck), BST_UNCHECKED);
  CheckDlgButton(dlg, kCheck, BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dlg, kCheck), BST_CHECKED);
  EXPECT_EQ(SendDlgItemMessageA(dlg, kCheck, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_FALSE(SetDlgItemTextA(dlg, 999, "x"));
}

TEST_F(DialogTest, ArrowsMoveWithinARadioGroupAndCheckAutomaticRadioButtons) {
  static const DLGITEMTEMPLATE items[] = {
      {"Button", "A", 11, BS_AUTORADIOBUTTON | WS_VISIBLE | WS_TABSTOP | WS_GROUP, 10, 10, 50, 10},
      {"Button", "B", 12, BS_AUTORADIOBUTTON | WS_VISIBLE, 10, 22, 50, 10},
      {"Button", "C", 13, BS_AUTORADIOBUTTON | WS_VISIBLE, 10, 34, 50, 10},
      {"Button", "OK", IDOK, BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP | WS_GROUP, 10, 60, 50, 14},
  };
  static const DLGTEMPLATE t = Template(items);
  rec.handler = [](HWND dlg, UINT msg, WPARAM, LPARAM, INT_PTR*) {
    if (msg == WM_INITDIALOG) CheckRadioButton(dlg, 11, 13, 11);
    return false;
  };
  std::vector<UINT> checks;
  ui.AnswerModal([](testing_ui::UiDriver& d, HWND) { d.Press(VK_DOWN); });
  ui.AnswerModal([](testing_ui::UiDriver& d, HWND) { d.Press(VK_DOWN); });
  ui.AnswerModal([](testing_ui::UiDriver& d, HWND) { d.Press(VK_DOWN); });  // wraps within the group
  ui.AnswerModal([&](testing_ui::UiDriver&, HWND dlg) {
    for (int id : {11, 12, 13}) checks.push_back(IsDlgButtonChecked(dlg, id));
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), 11);
    EndDialog(dlg, IDOK);
  });
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &t, nullptr, RecordingProc, 0), IDOK);
  EXPECT_EQ(checks, (std::vector<UINT>{BST_CHECKED, BST_UNCHECKED, BST_UNCHECKED}));
  EXPECT_EQ(rec.Count(12, BN_CLICKED), 1);
  EXPECT_EQ(rec.Count(13, BN_CLICKED), 1);
  EXPECT_EQ(rec.Count(11, BN_CLICKED), 1);
}

TEST_F(DialogTest, MessageBoxTakesTheScriptedAnswerThroughItsButtons) {
  HWND owner = OwnerWindow();
  bool ownerDisabled = false;
  ui.AnswerModal([&](testing_ui::UiDriver& d, HWND box) {
    ownerDisabled = !IsWindowEnabled(owner);
    d.ClickWindow(GetDlgItem(box, IDNO));
  });
  EXPECT_EQ(MessageBoxA(owner, "Overwrite the file?", "Convert", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  ui.AnswerMessageBox(IDYES, "Overwrite");
  EXPECT_EQ(MessageBoxA(owner, "Overwrite the file?", "Convert", MB_YESNO), IDYES);
  ASSERT_EQ(ui.Seen().size(), 2u);
  EXPECT_TRUE(ui.Seen()[1].messageBox);
  EXPECT_EQ(ui.Seen()[1].caption, "Convert");
  EXPECT_EQ(ui.Seen()[1].text, "Overwrite the file?");
}

// Disabling the owner for the modal loop must not lose the control that had the focus: the owner
// takes it back when it is active again, also when it was not the dialog's first control.
TEST_F(DialogTest, TheFocusGoesBackToTheOwnersControlAfterAMessageBoxOrADialog) {
  HWND dlg = Modeless(kForm);
  HWND number = GetDlgItem(dlg, kNumber);
  ui.Click(ui.CenterOf(number));
  ASSERT_EQ(GetFocus(), number);
  ui.AnswerMessageBox(IDOK, "Please enter a number.");
  EXPECT_EQ(MessageBoxA(dlg, "Please enter a number.", "Form", MB_OK | MB_ICONEXCLAMATION), IDOK);
  EXPECT_EQ(GetActiveWindow(), dlg);
  EXPECT_EQ(GetFocus(), number);

  ui.Click(ui.CenterOf(GetDlgItem(dlg, kCheck)));
  ASSERT_EQ(GetFocus(), GetDlgItem(dlg, kCheck));
  ui.AnswerModal([](testing_ui::UiDriver& d, HWND) { d.Press(VK_ESCAPE); });
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, &kForm, dlg, RecordingProc, 0), IDCANCEL);
  EXPECT_EQ(GetFocus(), GetDlgItem(dlg, kCheck));

  // An owner that is no dialog.
  HWND owner = OwnerWindow();
  HWND edit = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 100, 20, owner, nullptr,
                              nullptr, nullptr);
  ui.Click(ui.CenterOf(edit));
  ASSERT_EQ(GetFocus(), edit);
  ui.AnswerMessageBox(IDOK);
  EXPECT_EQ(MessageBoxA(owner, "Saved.", "Owner", MB_OK), IDOK);
  EXPECT_EQ(GetFocus(), edit);
}

TEST_F(DialogTest, MessageBoxKeysFollowItsButtons) {
  // A lone OK answers Escape with IDOK; Yes/No ignores Escape and the close box.
  int iconPixels = 0;
  ui.AnswerModal([&iconPixels](testing_ui::UiDriver& d, HWND box) {
    // The information icon is a blue disc.
    testing_ui::Image picture = testing_ui::UiDriver::CaptureWindow(box);
    for (COLORREF c : picture.pixels) iconPixels += c == RGB(32, 96, 216);
    d.Press(VK_ESCAPE);
  });
  EXPECT_EQ(MessageBoxA(nullptr, "Done.", nullptr, MB_OK | MB_ICONINFORMATION), IDOK);
  EXPECT_GT(iconPixels, 500);
  EXPECT_EQ(ui.Seen().back().caption, "Error");
  ui.AnswerModal([](testing_ui::UiDriver& d, HWND box) {
    d.Press(VK_ESCAPE);
    SendMessageA(box, WM_CLOSE, 0, 0);
  });
  ui.AnswerModal([](testing_ui::UiDriver& d, HWND) { d.Press(VK_RETURN); });  // the default: second button
  EXPECT_EQ(MessageBoxA(nullptr, "Sure?", "Q", MB_YESNO | MB_DEFBUTTON2), IDNO);
  ui.AnswerModal([](testing_ui::UiDriver& d, HWND) { d.Press(VK_ESCAPE); });
  EXPECT_EQ(MessageBoxA(nullptr, "Sure?", "Q", MB_YESNOCANCEL), IDCANCEL);
}

TEST_F(DialogTest, AMessageBoxWithoutScriptedAnswerFailsTheTestInsteadOfHanging) {
  int answer = 0;
  EXPECT_NONFATAL_FAILURE(answer = MessageBoxA(nullptr, "Unexpected", "Oops", MB_OKCANCEL), "no scripted answer");
  EXPECT_EQ(answer, IDCANCEL);
  ui.AnswerMessageBox(IDOK, "something else");
  EXPECT_NONFATAL_FAILURE(answer = MessageBoxA(nullptr, "Unexpected", "Oops", MB_OKCANCEL), "does not match");
  EXPECT_EQ(answer, IDCANCEL);
}

}  // namespace
}  // namespace win32_test
