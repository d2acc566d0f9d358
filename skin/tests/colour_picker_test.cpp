// The colour picker driven as a user drives it: the palette it drops, what the parent hears, the
// keys that move through the palette, the colour dialog behind "More Colors..." and its looks.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "skin/colour_picker.h"
#include "testing/ui_driver.h"

namespace skin_test {
namespace {

using testing_ui::UiDriver;

constexpr int kPickerId = 1234;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// A parent that records the picker's messages: (message, colour).
class PickerParent : public CWnd {
 public:
  PickerParent() { CreateEx(0, nullptr, "parent", WS_POPUP | WS_VISIBLE, 40, 40, 300, 200, nullptr, nullptr); }
  ~PickerParent() override { DestroyWindow(); }

  std::vector<std::pair<UINT, COLORREF>> heard;
  std::vector<int> ids;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message >= CPN_SELCHANGE && message <= CPN_SELENDCANCEL) {
      heard.emplace_back(message, COLORREF(wParam));
      ids.push_back(int(lParam));
      return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

// A picker whose palette cannot be created.
class PickerWithoutPalette : public CColourPicker {
 protected:
  BOOL CreatePalette(CPoint, int, const std::string&) override { return FALSE; }
};

class ColourPickerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(picker.Create("", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(10, 10, 110, 34), &parent, kPickerId));
    ui.Pump();
  }

  // The open palette (it holds the mouse).
  static CColourPaletteWnd* Palette() {
    return dynamic_cast<CColourPaletteWnd*>(CWnd::FromHandlePermanent(::GetCapture()));
  }

  static POINT CellCentre(CColourPaletteWnd* palette, int cell) {
    const CRect r = palette->CellRect(cell);
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ::ClientToScreen(palette->GetSafeHwnd(), &p);
    return p;
  }

  void Open() {
    ui.ClickWindow(picker.GetSafeHwnd());
    ASSERT_NE(nullptr, Palette());
  }

  UiDriver ui;
  PickerParent parent;
  CColourPicker picker;
};

TEST_F(ColourPickerTest, AClickDropsThePaletteBelowAndAChosenColourReachesTheParent) {
  EXPECT_EQ(CLR_DEFAULT, picker.GetColour());
  EXPECT_EQ(GetSysColor(COLOR_APPWORKSPACE), picker.GetColour(TRUE));
  EXPECT_TRUE(picker.GetStyle() & BS_OWNERDRAW);

  Open();
  EXPECT_TRUE(picker.IsPopupOpen());
  CRect button, palette;
  picker.GetWindowRect(&button);
  Palette()->GetWindowRect(&palette);
  EXPECT_EQ(button.left, palette.left);
  EXPECT_EQ(button.bottom, palette.top);
  EXPECT_EQ(8 * 18 + 2 * GetSystemMetrics(SM_CXEDGE), palette.Width());
  EXPECT_EQ(kPickerId, parent.ids.at(0));
  EXPECT_EQ((std::pair<UINT, COLORREF>(CPN_DROPDOWN, CLR_DEFAULT)), parent.heard.at(0));
  EXPECT_EQ(CColourPaletteWnd::kDefaultCell, Palette()->GetSelection());  // the starting colour's cell

  // Moving over red tells the parent, without tracking the picker keeps its colour.
  parent.heard.clear();
  ui.MoveMouse(CellCentre(Palette(), 16));
  EXPECT_EQ(16, Palette()->GetSelection());
  EXPECT_EQ((std::vector<std::pair<UINT, COLORREF>>{{CPN_SELCHANGE, CLR_DEFAULT}}), parent.heard);
  EXPECT_EQ(CLR_DEFAULT, picker.GetColour());

  parent.heard.clear();
  ui.Click(CellCentre(Palette(), 16));
  EXPECT_EQ(nullptr, Palette());
  EXPECT_FALSE(picker.IsPopupOpen());
  EXPECT_EQ(kRed, picker.GetColour());
  EXPECT_EQ((std::vector<std::pair<UINT, COLORREF>>{{CPN_CLOSEUP, kRed}, {CPN_SELENDOK, kRed}, {CPN_SELCHANGE, kRed}}),
            parent.heard);

  // The same colour again: no selection change.
  Open();
  parent.heard.clear();
  ui.Click(CellCentre(Palette(), 16));
  EXPECT_EQ((std::vector<std::pair<UINT, COLORREF>>{{CPN_CLOSEUP, kRed}, {CPN_SELENDOK, kRed}}), parent.heard);
}

TEST_F(ColourPickerTest, KeysMoveRowByRowThroughTheTextCellsAndEscapeRestoresTheColour) {
  picker.SetColour(kRed);
  picker.SetTrackSelection(TRUE);
  ::SetFocus(picker.GetSafeHwnd());
  ui.Press(VK_DOWN);  // opens
  ASSERT_NE(nullptr, Palette());
  EXPECT_EQ(16, Palette()->GetSelection());

  std::vector<int> seen;
  auto press = [&](UINT key) {
    ui.Press(key);
    seen.push_back(Palette()->GetSelection());
  };
  press(VK_DOWN);
  press(VK_UP);
  press(VK_UP);
  press(VK_UP);
  press(VK_UP);  // first row: the default cell
  press(VK_UP);  // then the custom cell
  press(VK_UP);  // then the last colour
  press(VK_RIGHT);  // wraps past the end to the custom cell
  press(VK_RIGHT);
  press(VK_RIGHT);
  press(VK_LEFT);  // back from the first colour to the default cell
  press(VK_LEFT);
  press(VK_DOWN);  // custom -> default -> first colour
  press(VK_DOWN);
  EXPECT_EQ((std::vector<int>{24, 16, 8, 0, -3, -2, 39, -2, -3, 0, -3, -2, -3, 0}), seen) << "as pressed";
  EXPECT_EQ(kBlack, picker.GetColour());  // tracked

  parent.heard.clear();
  ui.Press(VK_ESCAPE);
  EXPECT_EQ(nullptr, Palette());
  EXPECT_EQ(kRed, picker.GetColour());
  EXPECT_EQ((std::vector<std::pair<UINT, COLORREF>>{{CPN_CLOSEUP, kRed}, {CPN_SELENDCANCEL, kRed}}), parent.heard);
}

TEST_F(ColourPickerTest, WithoutTextCellsKeysSkipThemAndTheLayoutShrinks) {
  picker.SetDefaultText("");
  picker.SetCustomText("");
  picker.SetColour(RGB(1, 2, 3));  // not in the table: nothing selected at first
  Open();
  EXPECT_EQ(CColourPaletteWnd::kNoCell, Palette()->GetSelection());
  CRect palette;
  Palette()->GetWindowRect(&palette);
  EXPECT_EQ(5 * 18 + 2 * GetSystemMetrics(SM_CXEDGE), palette.Height());
  EXPECT_TRUE(Palette()->CellRect(CColourPaletteWnd::kDefaultCell).IsRectEmpty());

  ui.Press(VK_RIGHT);
  EXPECT_EQ(0, Palette()->GetSelection());
  ui.Press(VK_UP);
  EXPECT_EQ(39, Palette()->GetSelection());
  ui.Press(VK_DOWN);
  EXPECT_EQ(0, Palette()->GetSelection());
  ui.Press(VK_RETURN);
  EXPECT_EQ(kBlack, picker.GetColour());
}

TEST_F(ColourPickerTest, MoreColoursOpensTheColourDialogAndItsCancelActsAsEscape) {
  picker.SetColour(kRed);
  picker.SetRegistrySection("Software\\Corvane Tests\\Picker");
  Open();
  ui.AnswerColourDialog(RGB(1, 2, 3));
  ui.Click(CellCentre(Palette(), CColourPaletteWnd::kCustomCell));
  EXPECT_EQ(RGB(1, 2, 3), picker.GetColour());
  EXPECT_EQ(CPN_SELENDOK, parent.heard.at(parent.heard.size() - 2).first);

  Open();
  parent.heard.clear();
  ui.CancelDialog();
  ui.Click(CellCentre(Palette(), CColourPaletteWnd::kCustomCell));
  EXPECT_EQ(RGB(1, 2, 3), picker.GetColour());
  EXPECT_EQ(CPN_SELENDCANCEL, parent.heard.back().first);
  EXPECT_FALSE(picker.IsPopupOpen());

  // A release outside the palette cancels too.
  Open();
  ui.Click(POINT{5, 5});
  EXPECT_EQ(nullptr, Palette());
  EXPECT_EQ(CPN_SELENDCANCEL, parent.heard.back().first);
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Corvane Tests\\Picker");
}

TEST_F(ColourPickerTest, APaletteThatCannotBeCreatedLeavesThePickerClosed) {
  PickerWithoutPalette broken;
  ASSERT_TRUE(broken.Create("", WS_CHILD | WS_VISIBLE, CRect(10, 50, 110, 74), &parent, kPickerId + 1));
  ui.ClickWindow(broken.GetSafeHwnd());
  EXPECT_FALSE(broken.IsPopupOpen());
  EXPECT_TRUE(parent.heard.empty());
  // It opens again on the next try rather than staying stuck.
  ui.ClickWindow(broken.GetSafeHwnd());
  EXPECT_FALSE(broken.IsPopupOpen());
}

TEST_F(ColourPickerTest, ComboTextNamesTableColoursAndSpellsOutOthers) {
  EXPECT_EQ(CString("Automatic"), picker.ColourText());
  picker.SetColour(kRed);
  EXPECT_EQ(CString("Red"), picker.ColourText());
  picker.SetShowColourName(TRUE);
  EXPECT_EQ(CString("Red (R:255 G:0 B:0)"), picker.ColourText());
  picker.SetColour(RGB(1, 2, 3));
  EXPECT_EQ(CString("R:1 G:2 B:3"), picker.ColourText());
  picker.SetRgbLetters("XY");
  EXPECT_EQ(CString("X:1 Y:2  :3"), picker.ColourText());

  picker.SetComboStyle(TRUE);
  CRect rect;
  picker.GetWindowRect(&rect);
  EXPECT_EQ(100, rect.Width());
  TEXTMETRICA metrics{};
  CClientDC dc(&picker);
  if (picker.GetFont()) dc.SelectObject(picker.GetFont());
  GetTextMetricsA(dc.GetSafeHdc(), &metrics);
  EXPECT_EQ(metrics.tmHeight + 8, rect.Height());
}

TEST_F(ColourPickerTest, TheSwatchShowsTheColourOrTheDefaultColourForAutomatic) {
  picker.SetDefaultColour(RGB(0, 128, 255));
  ui.Pump();
  CRect rect;
  picker.GetClientRect(&rect);
  const auto middleOfSwatch = [&] {
    testing_ui::Image image = UiDriver::CaptureWindow(picker.GetSafeHwnd());
    return image.At(rect.Width() / 3, rect.Height() / 2);
  };
  EXPECT_EQ(RGB(0, 128, 255), middleOfSwatch());
  picker.SetColour(RGB(200, 10, 20));
  ui.Pump();
  EXPECT_EQ(RGB(200, 10, 20), middleOfSwatch());

  picker.SetComboStyle(TRUE);
  picker.SetColour(CLR_DEFAULT);
  ui.Pump();
  picker.GetClientRect(&rect);
  testing_ui::Image image = UiDriver::CaptureWindow(picker.GetSafeHwnd());
  EXPECT_EQ(RGB(0, 128, 255), image.At(rect.Height() / 2, rect.Height() / 2));
}

// The palette in this process's menu look (flat here, raised in processes without flat menus or
// on Windows 2000), and its shadow:
// its border, the cell under the mouse and the starting colour's cell.
TEST_F(ColourPickerTest, ThisSystemsPaletteLooksLikeItsMenus) {
  // Flat menus exist from Windows XP on.
  BOOL flat = FALSE;
  SystemParametersInfoA(SPI_GETFLATMENU, 0, &flat, 0);
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionEx(&version);
  if (version.dwMajorVersion < 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion == 0)) flat = FALSE;
  constexpr COLORREF kBackdrop = RGB(200, 100, 40);
  {
    CClientDC backdrop(&parent);
    CRect all;
    parent.GetClientRect(&all);
    backdrop.FillSolidRect(&all, kBackdrop);
  }
  picker.SetColour(kRed);  // cell 16
  Open();
  ui.MoveMouse(CellCentre(Palette(), 0));
  ui.Pump();
  const testing_ui::Image image = UiDriver::CaptureWindow(Palette()->GetSafeHwnd());
  const CRect selected = Palette()->CellRect(0);
  const CRect start = Palette()->CellRect(16);
  if (flat) {
    EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), image.At(0, 0));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), image.At(selected.left, selected.top));
    EXPECT_EQ(GetSysColor(COLOR_MENUHILIGHT), image.At(selected.left + 1, selected.top + 1));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), image.At(start.right - 1, start.bottom - 1));
    const COLORREF hi = GetSysColor(COLOR_MENUHILIGHT), menu = GetSysColor(COLOR_MENU);
    EXPECT_EQ(RGB((GetRValue(hi) + GetRValue(menu)) / 2, (GetGValue(hi) + GetGValue(menu)) / 2,
                  (GetBValue(hi) + GetBValue(menu)) / 2),
              image.At(start.left + 1, start.top + 1));
  } else {
    EXPECT_EQ(GetSysColor(COLOR_3DLIGHT), image.At(0, 0));
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), image.At(selected.left, selected.top));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), image.At(selected.right - 1, selected.bottom - 1));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), image.At(start.left, start.top));
    EXPECT_EQ(GetSysColor(COLOR_MENU), image.At(start.left + 1, start.top + 1));
  }
  EXPECT_EQ(kRed, image.At(start.left + 9, start.top + 9));

  // A shadow along the right edge from Windows XP on, over the backdrop painted before.
  CRect window;
  Palette()->GetWindowRect(&window);
  const COLORREF beside = UiDriver::PixelAt(POINT{window.right, window.top + 10});
  if (version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 1)) {
    EXPECT_EQ(RGB(100, 50, 20), beside);
  } else {
    EXPECT_EQ(kBackdrop, beside);
  }
  ui.Press(VK_ESCAPE);
}

// On a 256-colour screen (a process of its own) the swatches come through the palette window's
// own palette, not as the nearest colours of the system's.
TEST_F(ColourPickerTest, PaletteScreenShowsTheExactColours) {
  Open();
  const testing_ui::Image image = UiDriver::CaptureWindow(Palette()->GetSafeHwnd());
  for (int cell : {1, 2, 9, 14, 37}) {
    const CRect r = Palette()->CellRect(cell);
    EXPECT_EQ(CColourTable::GetEntry(cell).colour, image.At(r.left + 9, r.top + 9)) << "cell " << cell;
  }
  ui.Press(VK_ESCAPE);
}

// The combo look's drop button: raised at rest, pushed while the palette is open.
TEST_F(ColourPickerTest, ComboDropButtonIsPushedWhileThePaletteIsOpen) {
  picker.SetComboStyle(TRUE);
  ui.Pump();
  CRect rect;
  picker.GetClientRect(&rect);
  ::InflateRect(&rect, -2, -2);
  const POINT corner{rect.right - rect.Height(), rect.top};
  EXPECT_NE(GetSysColor(COLOR_BTNSHADOW), UiDriver::CaptureWindow(picker.GetSafeHwnd()).At(corner.x, corner.y));
  Open();
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), UiDriver::CaptureWindow(picker.GetSafeHwnd()).At(corner.x, corner.y));
  ui.Press(VK_ESCAPE);
  ui.Pump();
  EXPECT_NE(GetSysColor(COLOR_BTNSHADOW), UiDriver::CaptureWindow(picker.GetSafeHwnd()).At(corner.x, corner.y));
}

// A stand-in theme library that paints each class's parts in a colour telling the state drawn.
HTHEME StandInOpen(HWND, LPCWSTR classList) { return reinterpret_cast<HTHEME>(INT_PTR(0x7000 + classList[0])); }
HRESULT StandInClose(HTHEME) { return S_OK; }
COLORREF StandInColour(char16_t themeClass, int state) { return RGB(themeClass, state * 40, 90); }
HRESULT StandInDraw(HTHEME theme, HDC dc, int, int state, const RECT* rect, const RECT*) {
  HBRUSH brush = CreateSolidBrush(StandInColour(char16_t(INT_PTR(theme) - 0x7000), state));
  FillRect(dc, rect, brush);
  DeleteObject(brush);
  return S_OK;
}
BOOL StandInThemed() { return TRUE; }
BOOL StandInNotThemed() { return FALSE; }

template <class Fn>
FARPROC Export(Fn fn) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(fn));
}

class ThemedColourPickerTest : public ColourPickerTest {
 protected:
  void SetUp() override {
    const BuiltinExport exports[] = {{"OpenThemeData", Export(&StandInOpen)},
                                     {"CloseThemeData", Export(&StandInClose)},
                                     {"DrawThemeBackground", Export(&StandInDraw)},
                                     {"IsAppThemed", Export(&StandInThemed)}};
    RegisterBuiltinModule("uxtheme.dll", exports, 4);
    CThemeApi::Unload();
    ColourPickerTest::SetUp();
  }
  void TearDown() override {
    const BuiltinExport classic[] = {{"IsAppThemed", Export(&StandInNotThemed)}};
    RegisterBuiltinModule("uxtheme.dll", classic, 1);
    CThemeApi::Unload();
  }
};

// The themed combo look: the combo box's drop button pressed while the palette is open.
TEST_F(ThemedColourPickerTest, ComboDropButtonIsDrawnPressedWhileThePaletteIsOpen) {
  picker.SetComboStyle(TRUE);
  ui.Pump();
  CRect rect;
  picker.GetClientRect(&rect);
  const POINT drop{rect.right - rect.Height() / 2, rect.Height() / 2};
  const auto dropColour = [&] { return UiDriver::CaptureWindow(picker.GetSafeHwnd()).At(drop.x, drop.y); };
  constexpr int kNormal = 1, kPressed = 3;
  EXPECT_EQ(StandInColour(u'C', kNormal), dropColour());
  EXPECT_EQ(StandInColour(u'E', kNormal), UiDriver::CaptureWindow(picker.GetSafeHwnd()).At(1, 1));
  Open();
  EXPECT_EQ(StandInColour(u'C', kPressed), dropColour());
  // The mouse leaving the picker while it is open keeps it pressed.
  ::SendMessageA(picker.GetSafeHwnd(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(StandInColour(u'C', kPressed), dropColour());
  ui.Press(VK_ESCAPE);
  ui.Pump();
  EXPECT_EQ(StandInColour(u'C', kNormal), dropColour());
}

TEST_F(ColourPickerTest, DataExchangeMovesTheColourBothWays) {
  COLORREF value = RGB(5, 6, 7);
  CDataExchange load(&parent, FALSE);
  DDX_ColourPicker(&load, kPickerId, value);
  EXPECT_EQ(RGB(5, 6, 7), picker.GetColour());
  picker.SetColour(kRed);
  CDataExchange save(&parent, TRUE);
  DDX_ColourPicker(&save, kPickerId, value);
  EXPECT_EQ(kRed, value);
}

}  // namespace
}  // namespace skin_test
