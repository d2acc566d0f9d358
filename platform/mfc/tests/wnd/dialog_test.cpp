// CDialog: modal dialogs on the framework's loop, data exchange both ways, refused input, nested
// modal dialogs, pre-translation in the modal loop, and a real owner-drawn button reflected to
// its object.
#include <functional>
#include <vector>

#include "testing/ui_driver.h"
#include "wnd_fixture.h"

namespace mfc_test {
namespace {

constexpr UINT kStep = WM_APP + 20;
enum { kName = 1001, kCount = 1002, kRate = 1003, kCheck = 1004, kCombo = 1005, kRadio1 = 1006, kRadio2, kRadio3,
       kDraw = 1010 };

const DLGITEMTEMPLATE kItems[] = {
    {"EDIT", "", kName, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 10, 10, 100, 12, 0},
    {"EDIT", "", kCount, WS_VISIBLE | WS_TABSTOP, 10, 26, 100, 12, 0},
    {"EDIT", "", kRate, WS_VISIBLE | WS_TABSTOP, 10, 42, 100, 12, 0},
    {"BUTTON", "Check", kCheck, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 10, 58, 100, 12, 0},
    {"COMBOBOX", "", kCombo, WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, 10, 74, 100, 60, 0},
    {"BUTTON", "One", kRadio1, WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, 120, 10, 50, 12, 0},
    {"BUTTON", "Two", kRadio2, WS_VISIBLE | BS_AUTORADIOBUTTON, 120, 26, 50, 12, 0},
    {"BUTTON", "Three", kRadio3, WS_VISIBLE | BS_AUTORADIOBUTTON, 120, 42, 50, 12, 0},
    {"BUTTON", "Draw", kDraw, WS_VISIBLE | WS_GROUP | BS_OWNERDRAW, 120, 58, 50, 14, 0},
    {"BUTTON", "OK", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 120, 90, 50, 14, 0},
};
const DLGTEMPLATE kTemplate = {WS_POPUP | WS_CAPTION | DS_MODALFRAME, 0, 20, 20, 200, 120, "Exchange",
                               nullptr, 0, kItems, UINT(std::size(kItems)), nullptr};

// The same template as the executable's dialog resource 300.
constexpr UINT kTemplateId = 300;
const ResourceEntry kResources[] = {{RT_DIALOG, MAKEINTRESOURCE(kTemplateId), &kTemplate, sizeof kTemplate}};
const ModuleResources kRegistered(kResources);

const DLGTEMPLATE kEmptyTemplate = {WS_POPUP | WS_CAPTION | DS_MODALFRAME, 0, 40, 40, 100, 60, "Inner",
                                    nullptr, 0, nullptr, 0, nullptr};

class CDrawButton : public CButton {
 public:
  int draws = 0;
  UINT lastState = 0;
  int clicks = 0;
  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override {
    ++draws;
    lastState = lpDrawItemStruct->itemState;
  }

 protected:
  afx_msg void OnClicked() { ++clicks; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDrawButton, CButton)
  ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

// A dialog whose steps run from posted messages inside its modal loop.
class CTestDialog : public CDialog {
 public:
  CString name = "first";
  int count = 5;
  double rate = 2.5;
  int check = 1;
  int comboIndex = 2;
  int radio = 1;
  CDrawButton drawButton;

  std::function<void(CTestDialog&)> step;  // runs on kStep
  std::function<BOOL(CTestDialog&)> init;  // replaces the posting of kStep when set
  std::vector<UINT> preTranslated;

  explicit CTestDialog(CWnd* parent = nullptr, LPCDLGTEMPLATE t = &kTemplate) { InitModalIndirect(t, parent); }

  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message >= WM_APP) preTranslated.push_back(pMsg->message);
    return CDialog::PreTranslateMessage(pMsg);
  }
  CString Text(int id) {
    CString text;
    GetDlgItemText(id, text);
    return text;
  }

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    if (!GetDlgItem(kName)) return;  // the inner dialog has no controls
    DDX_Text(pDX, kName, name);
    DDX_Text(pDX, kCount, count);
    DDX_Text(pDX, kRate, rate);
    DDX_Check(pDX, kCheck, check);
    DDX_CBIndex(pDX, kCombo, comboIndex);
    DDX_Radio(pDX, kRadio1, radio);
    DDX_Control(pDX, kDraw, drawButton);
  }
  BOOL OnInitDialog() override {
    if (CComboBox* combo = static_cast<CComboBox*>(GetDlgItem(kCombo))) {
      for (const char* row : {"a", "b", "c"}) combo->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
    }
    CDialog::OnInitDialog();
    if (init) return init(*this);
    PostMessage(kStep);
    return TRUE;
  }
  afx_msg LRESULT OnStep(WPARAM, LPARAM) {
    if (step) step(*this);
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDialog, CDialog)
  ON_MESSAGE(kStep, OnStep)
END_MESSAGE_MAP()

// Adds a range check to the exchange and a command the application handles.
class CCheckedDialog : public CTestDialog {
 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    CTestDialog::DoDataExchange(pDX);
    DDV_MinMaxInt(pDX, count, 0, 10);
  }
};

constexpr UINT kAppCommand = 0x8001;

class CCommandApp : public CWinApp {
 public:
  int commands = 0;

 protected:
  afx_msg void OnAppCommand() { ++commands; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCommandApp, CWinApp)
  ON_COMMAND(kAppCommand, OnAppCommand)
END_MESSAGE_MAP()

using DialogTest = WndTest;

TEST_F(DialogTest, DataExchangeRoundTrip) {
  testing_ui::UiDriver ui;
  CTestDialog dlg;
  CString shownName, shownCount, shownRate;
  int shownCheck = -1, shownCombo = -1, shownRadio = -1;
  dlg.step = [&](CTestDialog& d) {
    shownName = d.Text(kName);
    shownCount = d.Text(kCount);
    shownRate = d.Text(kRate);
    shownCheck = int(d.IsDlgButtonChecked(kCheck));
    shownCombo = int(d.SendDlgItemMessage(kCombo, CB_GETCURSEL));
    shownRadio = int(d.IsDlgButtonChecked(kRadio2));
    d.SetDlgItemText(kName, "second");
    d.SetDlgItemText(kCount, " -42 ");
    d.SetDlgItemText(kRate, "0.125");
    d.CheckDlgButton(kCheck, BST_UNCHECKED);
    d.SendDlgItemMessage(kCombo, CB_SETCURSEL, 0);
    d.CheckRadioButton(kRadio1, kRadio3, kRadio3);
    d.PostMessage(WM_COMMAND, IDOK);
  };
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(shownName, "first");
  EXPECT_EQ(shownCount, "5");
  EXPECT_EQ(shownRate, "2.5");
  EXPECT_EQ(shownCheck, BST_CHECKED);
  EXPECT_EQ(shownCombo, 2);
  EXPECT_EQ(shownRadio, BST_CHECKED);

  EXPECT_EQ(dlg.name, "second");
  EXPECT_EQ(dlg.count, -42);
  EXPECT_DOUBLE_EQ(dlg.rate, 0.125);
  EXPECT_EQ(dlg.check, 0);
  EXPECT_EQ(dlg.comboIndex, 0);
  EXPECT_EQ(dlg.radio, 2);
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_EQ(dlg.drawButton.m_hWnd, nullptr);  // the control went with the dialog
}

TEST_F(DialogTest, RefusedNumberKeepsTheDialogOpen) {
  testing_ui::UiDriver ui;
  ui.AnswerMessageBox(IDOK, "integer");
  CTestDialog dlg;
  bool stillOpen = false;
  HWND focusAfter = nullptr;
  int rounds = 0;
  dlg.step = [&](CTestDialog& d) {
    if (rounds++ == 0) {
      d.SetDlgItemText(kCount, "12abc");
      d.SendMessage(WM_COMMAND, IDOK);  // refused: a message box, the dialog stays
      stillOpen = d.ContinueModal();
      focusAfter = ::GetFocus();
      d.SetDlgItemText(kCount, "12");
      d.PostMessage(WM_COMMAND, IDOK);
    }
  };
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(dlg.count, 12);
  ASSERT_EQ(ui.Seen().size(), 1u);
  EXPECT_TRUE(ui.Seen()[0].messageBox);
  EXPECT_NE(focusAfter, nullptr);
}

// A dialog built from its template resource, as the program's dialogs are.
class CResourceDialog : public CDialog {
 public:
  CString nameShown;
  CResourceDialog() : CDialog(kTemplateId) {}

 protected:
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    SetDlgItemText(kName, "from the resource");
    GetDlgItemText(kName, nameShown);
    EndDialog(IDOK);
    return TRUE;
  }
};

TEST_F(DialogTest, TemplateResourcesAreFoundById) {
  testing_ui::UiDriver ui;
  CResourceDialog dlg;
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.nameShown, "from the resource");
  CDialog missing(kTemplateId + 1);
  EXPECT_EQ(missing.DoModal(), -1);
}

TEST_F(DialogTest, OutOfRangeValueIsRefusedWithItsRange) {
  testing_ui::UiDriver ui;
  ui.AnswerMessageBox(IDOK, "between 0 and 10");
  CCheckedDialog dlg;
  int rounds = 0;
  dlg.step = [&](CTestDialog& d) {
    if (rounds++) return;
    d.SetDlgItemText(kCount, "11");
    d.SendMessage(WM_COMMAND, IDOK);
    d.SetDlgItemText(kCount, "10");
    d.SendMessage(WM_COMMAND, IDOK);
  };
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.count, 10);
  EXPECT_EQ(ui.Seen().size(), 1u);
}

TEST_F(DialogTest, CommandsTheDialogLeavesGoToTheApplication) {
  testing_ui::UiDriver ui;
  CCommandApp app;
  CTestDialog dlg;
  dlg.step = [](CTestDialog& d) {
    d.SendMessage(WM_COMMAND, kAppCommand);
    d.SendMessage(WM_COMMAND, kAppCommand - 0x100);  // not a command id: stays with the dialog
    d.EndDialog(IDOK);
  };
  dlg.DoModal();
  EXPECT_EQ(app.commands, 1);
}

TEST_F(DialogTest, NestedModalDialogDisablesItsOwner) {
  testing_ui::UiDriver ui;
  CTestDialog outer;
  INT_PTR innerResult = 0;
  BOOL outerEnabledDuring = TRUE;
  BOOL outerEnabledAfter = FALSE;
  HWND focused = nullptr, focusAfter = nullptr;
  outer.step = [&](CTestDialog& o) {
    // Shown and active, as when the user works in it, with the focus in its second edit.
    o.ShowWindow(SW_SHOW);
    focused = o.GetDlgItem(kCount)->m_hWnd;
    ::SetFocus(focused);
    CTestDialog inner(&o, &kEmptyTemplate);
    inner.step = [&](CTestDialog& i) {
      outerEnabledDuring = o.IsWindowEnabled();
      i.EndDialog(77);
    };
    innerResult = inner.DoModal();
    outerEnabledAfter = o.IsWindowEnabled();
    focusAfter = ::GetFocus();
    o.EndDialog(IDCANCEL);
  };
  EXPECT_EQ(outer.DoModal(), IDCANCEL);
  EXPECT_EQ(innerResult, 77);
  EXPECT_FALSE(outerEnabledDuring);
  EXPECT_TRUE(outerEnabledAfter);
  EXPECT_EQ(focusAfter, focused);  // the control that had the focus has it again
  EXPECT_EQ(outer.name, "first");  // cancelled: nothing exchanged back
}

TEST_F(DialogTest, ModalLoopPreTranslatesPostedMessages) {
  testing_ui::UiDriver ui;
  CTestDialog dlg;
  dlg.step = [](CTestDialog& d) {
    d.PostMessage(WM_APP + 21);
    d.PostMessage(WM_COMMAND, IDCANCEL);
  };
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.preTranslated, (std::vector<UINT>{kStep, WM_APP + 21}));
}

TEST_F(DialogTest, EndingDuringInitialisationSkipsTheLoop) {
  testing_ui::UiDriver ui;
  CTestDialog dlg;
  dlg.init = [](CTestDialog& d) {
    d.EndDialog(5);
    return TRUE;
  };
  EXPECT_EQ(dlg.DoModal(), 5);
  EXPECT_TRUE(dlg.preTranslated.empty());
}

TEST_F(DialogTest, AWindowClosedWhileAnAnswerPumpsEndsItsLoop) {
  // The close, and the loop's own wake-up after it, are both dispatched inside the answer.
  testing_ui::UiDriver ui;
  CTestDialog dlg;
  dlg.init = [](CTestDialog&) { return TRUE; };
  ui.AnswerModal([](testing_ui::UiDriver& driver, HWND modal) {
    PostMessageA(modal, WM_CLOSE, 0, 0);
    driver.Pump();
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(ui.Seen().size(), 1u);
}

TEST_F(DialogTest, AnUnansweredDialogIsCancelledByTheDriver) {
  CTestDialog dlg;
  dlg.init = [](CTestDialog&) { return TRUE; };  // waits for input that never comes
  {
    testing_ui::UiDriver ui;
    ui.AnswerModal([](testing_ui::UiDriver&, HWND modal) { PostMessageA(modal, WM_COMMAND, IDCANCEL, 0); }, "Exchange");
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  }
}

TEST_F(DialogTest, OwnerDrawnButtonDrawsAndClicksThroughItsObject) {
  testing_ui::UiDriver ui;
  CTestDialog dlg;
  int drawsShown = 0;
  int clicks = 0;
  dlg.step = [&](CTestDialog& d) {
    d.ShowWindow(SW_SHOW);  // a modal dialog shows itself once its loop goes idle
    d.UpdateWindow();
    d.drawButton.Invalidate();
    d.drawButton.UpdateWindow();
    drawsShown = d.drawButton.draws;
    d.drawButton.SendMessage(BM_CLICK);
    clicks = d.drawButton.clicks;
    d.EndDialog(IDOK);
  };
  dlg.DoModal();
  EXPECT_GE(drawsShown, 1);
  EXPECT_EQ(clicks, 1);
}

TEST_F(DialogTest, ModelessDialogLivesUntilDestroyed) {
  CTestDialog dlg;
  dlg.init = [](CTestDialog&) { return TRUE; };
  ASSERT_TRUE(dlg.CreateIndirect(&kTemplate));
  EXPECT_EQ(dlg.Text(kName), "first");
  dlg.SetDlgItemText(kCount, "99");
  EXPECT_TRUE(dlg.UpdateData(TRUE));
  EXPECT_EQ(dlg.count, 99);
  EXPECT_EQ(dlg.GetDefID(), MAKELONG(IDOK, DC_HASDEFID));

  // Temporary wrappers of standard controls are of the control's class.
  CWnd* item = dlg.GetDlgItem(kCombo);
  ASSERT_TRUE(item->IsKindOf(RUNTIME_CLASS(CComboBox)));
  auto* combo = static_cast<CComboBox*>(item);
  EXPECT_EQ(combo->GetCount(), 3);
  CString row;
  combo->GetLBText(1, row);
  EXPECT_EQ(row, "b");
  combo->GetLBText(7, row);
  EXPECT_TRUE(row.IsEmpty());
  EXPECT_TRUE(dlg.GetDlgItem(kCheck)->IsKindOf(RUNTIME_CLASS(CButton)));
  EXPECT_TRUE(dlg.GetDlgItem(kName)->IsKindOf(RUNTIME_CLASS(CEdit)));
  dlg.DestroyWindow();
  EXPECT_EQ(dlg.m_hWnd, nullptr);
}

}  // namespace
}  // namespace mfc_test
