// The hover button driven as a user drives it: its looks under the mouse, pressed, focused and
// disabled, the out icons made from the in icon, check-box mode, its menu, sounds, address,
// cursor and the messages the dialog manager sends it.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "skin/hover_button.h"
#include "skin_fixtures.h"
#include "testing/ui_driver.h"
#include "win32/mmsystem.h"
#include "win32/tooltips.h"

namespace skin_test {
namespace {

using testing_ui::UiDriver;

constexpr int kButtonId = 1300;
constexpr UINT kMenuId = 1301;
constexpr UINT kCursorId = 1302;
constexpr UINT kCallbackMessage = WM_APP + 5;
constexpr COLORREF kIconColour = RGB(200, 100, 40);
constexpr COLORREF kDarkened = RGB(150, 75, 30);
constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr int kWidth = 60, kHeight = 40;
// The 16 x 16 icon centred in the button shows an 8 x 8 square at (4, 4) of the icon.
constexpr int kSquareLeft = (kWidth - 16) / 2 + 4, kSquareTop = (kHeight - 16) / 2 + 4;

// An icon or cursor image as resources hold it: the header of twice the height, 32-bit rows
// bottom-up, then the mask (set where the icon is transparent).
std::vector<BYTE> IconImage(int size, const std::function<bool(int x, int y)>& opaque, COLORREF colour, bool cursor) {
  std::vector<BYTE> bytes;
  if (cursor) bytes.resize(4, 0);  // the hot spot (0, 0)
  BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), size, 2 * size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  const BYTE* h = reinterpret_cast<const BYTE*>(&header);
  bytes.insert(bytes.end(), h, h + sizeof header);
  const int maskStride = (size + 31) / 32 * 4;
  std::vector<BYTE> mask(size_t(maskStride) * size_t(size), 0);
  for (int row = 0; row < size; ++row) {
    const int y = size - 1 - row;
    for (int x = 0; x < size; ++x) {
      const bool on = opaque(x, y);
      const COLORREF c = on ? colour : RGB(0, 0, 0);
      bytes.insert(bytes.end(), {GetBValue(c), GetGValue(c), GetRValue(c), 0});
      if (!on) mask[size_t(row) * size_t(maskStride) + size_t(x / 8)] |= BYTE(0x80 >> (x % 8));
    }
  }
  bytes.insert(bytes.end(), mask.begin(), mask.end());
  return bytes;
}

std::vector<BYTE> GroupOf(WORD imageId, int size, DWORD bytes, bool cursor) {
  std::vector<BYTE> group = {0, 0, BYTE(cursor ? 2 : 1), 0, 1, 0};
  const WORD width = WORD(size), height = WORD(cursor ? 2 * size : size);
  const std::vector<BYTE> entry = cursor ? std::vector<BYTE>{BYTE(width), 0, BYTE(height), 0, 1, 0, 32, 0}
                                         : std::vector<BYTE>{BYTE(size), BYTE(size), 0, 0, 1, 0, 32, 0};
  group.insert(group.end(), entry.begin(), entry.end());
  group.insert(group.end(), {BYTE(bytes), BYTE(bytes >> 8), BYTE(bytes >> 16), BYTE(bytes >> 24)});
  group.insert(group.end(), {BYTE(imageId), BYTE(imageId >> 8)});
  return group;
}

const std::vector<BYTE> kCursorImage = IconImage(16, [](int x, int y) { return x < 4 && y < 4; }, RGB(0, 0, 0), true);
const std::vector<BYTE> kCursorGroup = GroupOf(1, 16, DWORD(kCursorImage.size()), true);
const MenuScriptLine kMenuLines[] = {
    {MENU_POPUP, "Drop"},
    {MENU_ITEM, "One", 401},
    {MENU_ITEM, "Two", 402},
    {MENU_END},
};
const MenuResource kMenu(kMenuLines);
const ResourceEntry kResources[] = {
    {RT_MENU, MAKEINTRESOURCE(kMenuId), kMenu.Data(), kMenu.Size()},
    {RT_CURSOR, MAKEINTRESOURCE(1), kCursorImage.data(), DWORD(kCursorImage.size())},
    {RT_GROUP_CURSOR, MAKEINTRESOURCE(kCursorId), kCursorGroup.data(), DWORD(kCursorGroup.size())},
};
const ModuleResources kRegistered(kResources);

// A 16 x 16 icon with an 8 x 8 square of the colour in its middle.
HICON SquareIcon(COLORREF colour) {
  const std::vector<BYTE> image = IconImage(16, [](int x, int y) { return x >= 4 && x < 12 && y >= 4 && y < 12; },
                                            colour, false);
  return CreateIconFromResourceEx(const_cast<BYTE*>(image.data()), DWORD(image.size()), TRUE, 0x00030000, 0, 0, 0);
}

// A parent that records the commands and the menu callback it hears.
class ButtonParent : public CWnd {
 public:
  ButtonParent() { CreateEx(0, nullptr, "parent", WS_POPUP | WS_VISIBLE, 40, 40, 300, 200, nullptr, nullptr); }
  ~ButtonParent() override { DestroyWindow(); }

  std::vector<std::pair<WPARAM, LPARAM>> commands;
  std::vector<std::pair<WPARAM, LPARAM>> callbacks;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND) commands.emplace_back(wParam, lParam);
    if (message == kCallbackMessage) callbacks.emplace_back(wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

// A button that records the sounds it plays instead of playing them.
class ListeningButton : public CHoverButton {
 public:
  struct Played {
    std::string name;
    HMODULE module;
    DWORD flags;
  };
  std::vector<Played> played;

 protected:
  void PlayButtonSound(const Sound& sound) override {
    if (sound.IsSet()) played.push_back({sound.name, sound.module, sound.flags});
  }
};

class HoverButtonTest : public ::testing::Test {
 protected:
  void Make(CHoverButton& button, DWORD style, int id = kButtonId, int left = 20) {
    ASSERT_TRUE(button.Create("", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, CRect(left, 20, left + kWidth, 20 + kHeight),
                              &parent, id));
    ui.Pump();
  }
  POINT Inside(const CHoverButton& button) const { return UiDriver::CenterOf(button.GetSafeHwnd()); }
  // Over the parent, clear of its controls.
  static POINT Outside() { return POINT{250, 200}; }
  testing_ui::Image Picture(const CHoverButton& button) {
    ui.Pump();
    return UiDriver::CaptureWindow(button.GetSafeHwnd());
  }

  UiDriver ui;
  ButtonParent parent;
};

TEST_F(HoverButtonTest, AFlatButtonShowsTheDarkenedIconUntilTheMouseComesAndPressesWithItsContent) {
  ListeningButton button;
  Make(button, BS_PUSHBUTTON);
  EXPECT_TRUE(button.GetStyle() & BS_OWNERDRAW);
  ASSERT_EQ(CHoverButton::kOk, button.SetIcon(SquareIcon(kIconColour), reinterpret_cast<HICON>(-3)));
  const COLORREF face = GetSysColor(COLOR_BTNFACE);

  auto look = Picture(button);
  EXPECT_EQ(kDarkened, look.At(kSquareLeft, kSquareTop));
  EXPECT_EQ(kDarkened, look.At(kSquareLeft + 7, kSquareTop + 7));
  EXPECT_EQ(face, look.At(kSquareLeft - 1, kSquareTop));
  EXPECT_EQ(face, look.At(0, 0)) << "flat: no border";

  ui.MoveMouse(Inside(button));
  EXPECT_TRUE(button.IsHovered());
  look = Picture(button);
  EXPECT_EQ(kIconColour, look.At(kSquareLeft, kSquareTop));
  EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), look.At(0, 0)) << "raised while hovered";
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), look.At(kWidth - 1, kHeight - 1));

  ui.MouseDown(Inside(button));
  look = Picture(button);
  EXPECT_EQ(face, look.At(kSquareLeft, kSquareTop)) << "the content moved one pixel right and down";
  EXPECT_EQ(kIconColour, look.At(kSquareLeft + 1, kSquareTop + 1));
  EXPECT_EQ(kIconColour, look.At(kSquareLeft + 8, kSquareTop + 8));
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), look.At(0, 0)) << "sunken";
  EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), look.At(kWidth - 1, kHeight - 1));
  ui.MouseUp(Inside(button));
  EXPECT_EQ(button.GetSafeHwnd(), ::GetFocus());

  // The focused look's colours once the mouse has gone.
  button.SetColour(CHoverButton::kBackgroundFocus, kGreen);
  ui.MoveMouse(Outside());
  EXPECT_FALSE(button.IsHovered());
  look = Picture(button);
  EXPECT_EQ(kDarkened, look.At(kSquareLeft, kSquareTop));
  EXPECT_EQ(kGreen, look.At(1, 1));

  // Pressed style 1 moves the content two pixels down.
  ASSERT_EQ(CHoverButton::kOk, button.SetPressedStyle(1));
  ui.AdvanceClock(1000);  // not a double-click
  ui.MouseDown(Inside(button));
  look = Picture(button);
  EXPECT_EQ(kIconColour, look.At(kSquareLeft, kSquareTop + 2));
  EXPECT_NE(kIconColour, look.At(kSquareLeft, kSquareTop + 1));
  ui.MouseUp(Inside(button));
  EXPECT_EQ(CHoverButton::kInvalidPressedStyle, button.SetPressedStyle(2));
}

TEST_F(HoverButtonTest, AButtonThatIsNotFlatHasARaisedFrameAndTheDefaultOneABlackFrameOutside) {
  CHoverButton plain, byDefault;
  Make(plain, BS_PUSHBUTTON);
  Make(byDefault, BS_DEFPUSHBUTTON, kButtonId + 1, 100);
  plain.SetFlat(FALSE);
  byDefault.SetFlat(FALSE);
  ::SetFocus(parent.GetSafeHwnd());

  auto look = Picture(plain);
  EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), look.At(0, 0));
  EXPECT_EQ(GetSysColor(COLOR_3DLIGHT), look.At(1, 1));
  EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), look.At(kWidth - 1, kHeight - 1));
  EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), look.At(10, kHeight - 1));
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), look.At(kWidth - 2, kHeight - 2));
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), look.At(10, kHeight - 2));
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), look.At(10, 10));
  // Not flat: the mouse changes nothing.
  ui.MoveMouse(Inside(plain));
  EXPECT_FALSE(plain.IsHovered());

  look = Picture(byDefault);
  EXPECT_EQ(RGB(0, 0, 0), look.At(0, 0));
  EXPECT_EQ(RGB(0, 0, 0), look.At(kWidth - 1, kHeight - 1));
  EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), look.At(1, 1));
  EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), look.At(kWidth - 2, kHeight - 2));

  // Pressed: one shadow frame, and the focus rectangle three pixels inside.
  auto dotsOnRow3 = [&](const testing_ui::Image& image) {
    int dots = 0;
    for (int x = 4; x < kWidth - 4; ++x) dots += image.At(x, 3) != GetSysColor(COLOR_BTNFACE);
    return dots;
  };
  EXPECT_EQ(0, dotsOnRow3(Picture(plain)));
  ui.MouseDown(Inside(plain));
  look = Picture(plain);
  EXPECT_GT(dotsOnRow3(look), 0);
  EXPECT_EQ(RGB(0, 0, 0), look.At(0, 0)) << "focused now";
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), look.At(1, 1));
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), look.At(kWidth - 2, kHeight - 2));
  ui.MouseUp(Inside(plain));
}

TEST_F(HoverButtonTest, ADisabledIconIsEmbossedAndADisabledButtonGivesUpOnlyItsOwnFocus) {
  CHoverButton first, second;
  CEdit edit;
  Make(first, BS_PUSHBUTTON);
  Make(second, BS_PUSHBUTTON, kButtonId + 1, 100);
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, CRect(20, 100, 120, 120), &parent, kButtonId + 2));
  first.SetIcon(SquareIcon(kIconColour), reinterpret_cast<HICON>(-3));

  ::SetFocus(first.GetSafeHwnd());
  first.EnableWindow(FALSE);
  EXPECT_EQ(second.GetSafeHwnd(), ::GetFocus()) << "the focus went on to the next control";
  auto look = Picture(first);
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), look.At(kSquareLeft, kSquareTop));
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), look.At(kSquareLeft + 7, kSquareTop + 7));
  EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), look.At(kSquareLeft + 8, kSquareTop + 8));
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), look.At(kSquareLeft - 1, kSquareTop));

  // A disabled caption is engraved: highlight one pixel down and right, shadow over it.
  first.SetIcon(nullptr);
  first.SetWindowText("Off");
  look = Picture(first);
  int highlights = 0, shadows = 0;
  for (COLORREF c : look.pixels) {
    highlights += c == GetSysColor(COLOR_BTNHIGHLIGHT);
    shadows += c == GetSysColor(COLOR_BTNSHADOW);
  }
  EXPECT_GT(highlights, 0);
  EXPECT_GT(shadows, 0);

  // The user typing elsewhere keeps the focus when a button is disabled.
  CHoverButton third;
  Make(third, BS_PUSHBUTTON, kButtonId + 3, 180);
  ::SetFocus(edit.GetSafeHwnd());
  third.EnableWindow(FALSE);
  EXPECT_EQ(edit.GetSafeHwnd(), ::GetFocus());
}

TEST_F(HoverButtonTest, GreyOutIconsAndCaptionsBesideTheIcon) {
  CHoverButton button;
  Make(button, BS_PUSHBUTTON);
  ASSERT_EQ(CHoverButton::kOk, button.SetIcon(SquareIcon(kIconColour), reinterpret_cast<HICON>(-2)));
  const int grey = (299 * 200 + 587 * 100 + 114 * 40) / 1000;
  EXPECT_EQ(RGB(grey, grey, grey), Picture(button).At(kSquareLeft, kSquareTop));

  // With a caption the icon goes to the left margin, or to the top margin.
  button.SetWindowText("Go");
  auto look = Picture(button);
  const int top = (kHeight - 16) / 2 + 4;
  EXPECT_EQ(RGB(grey, grey, grey), look.At(3 + 4, top));
  EXPECT_EQ(CHoverButton::kOk, button.SetAlign(CHoverButton::kIconAbove));
  look = Picture(button);
  EXPECT_EQ(RGB(grey, grey, grey), look.At(kSquareLeft, 3 + 4));
  EXPECT_EQ(CHoverButton::kInvalidAlign, button.SetAlign(5));
  // Text is drawn below the icon in the mouse-out text colour.
  bool text = false;
  for (int y = 3 + 16; y < kHeight && !text; ++y)
    for (int x = 0; x < kWidth && !text; ++x) text = look.At(x, y) == GetSysColor(COLOR_BTNTEXT);
  EXPECT_TRUE(text);
}

TEST_F(HoverButtonTest, InCheckBoxModeAClickTogglesAndTheButtonStaysPressedWhileChecked) {
  CHoverButton button;
  Make(button, BS_AUTOCHECKBOX);
  button.SetIcon(SquareIcon(kIconColour), reinterpret_cast<HICON>(-3));
  EXPECT_EQ(0, button.SendMessage(BM_GETCHECK));

  ui.ClickWindow(button.GetSafeHwnd());
  EXPECT_EQ(1, button.SendMessage(BM_GETCHECK));
  ui.MoveMouse(Outside());
  auto look = Picture(button);
  EXPECT_EQ(kIconColour, look.At(kSquareLeft, kSquareTop)) << "pressed: the in icon, not moved";
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), look.At(0, 0));

  ui.AdvanceClock(1000);  // not a double-click
  ui.ClickWindow(button.GetSafeHwnd());
  EXPECT_EQ(0, button.SendMessage(BM_GETCHECK));
  ui.MoveMouse(Outside());
  EXPECT_EQ(kDarkened, Picture(button).At(kSquareLeft, kSquareTop));

  button.SendMessage(BM_SETCHECK, BST_INDETERMINATE);
  EXPECT_EQ(1, button.GetCheck());
  button.SetCheck(0);
  EXPECT_EQ(0, button.SendMessage(BM_GETCHECK));
}

TEST_F(HoverButtonTest, ColoursAreSetOffsetWithinTheirRangeAndChecked) {
  CHoverButton button;
  COLORREF colour = 0;
  ASSERT_EQ(CHoverButton::kOk, button.GetColour(CHoverButton::kTextOut, &colour));
  EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), colour);

  button.SetColour(CHoverButton::kBackgroundIn, RGB(200, 50, 10), FALSE);
  ASSERT_EQ(CHoverButton::kOk, button.OffsetColour(CHoverButton::kBackgroundIn, 100, FALSE));
  button.GetColour(CHoverButton::kBackgroundIn, &colour);
  EXPECT_EQ(RGB(255, 105, 65), colour) << "only 55 more on every channel";
  ASSERT_EQ(CHoverButton::kOk, button.OffsetColour(CHoverButton::kBackgroundIn, -100, FALSE));
  button.GetColour(CHoverButton::kBackgroundIn, &colour);
  EXPECT_EQ(RGB(190, 40, 0), colour);

  EXPECT_EQ(CHoverButton::kInvalidIndex, button.SetColour(6, 0, FALSE));
  EXPECT_EQ(CHoverButton::kInvalidIndex, button.GetColour(6, &colour));
  EXPECT_EQ(CHoverButton::kInvalidIndex, button.OffsetColour(-1, 5, FALSE));
  EXPECT_EQ(CHoverButton::kBadParameter, button.OffsetColour(0, 256, FALSE));
  button.SetDefaultColours(FALSE);
  button.GetColour(CHoverButton::kBackgroundIn, &colour);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), colour);
}

TEST_F(HoverButtonTest, TheMenuDropsBelowAndItsChoiceIsPostedToTheOwner) {
  CHoverButton button;
  Make(button, BS_PUSHBUTTON);
  ASSERT_EQ(CHoverButton::kOk, button.SetMenu(kMenuId, parent.GetSafeHwnd()));
  button.SetMenuCallback(parent.GetSafeHwnd(), kCallbackMessage, 77);
  EXPECT_EQ(CHoverButton::kInvalidResource, CHoverButton().SetMenu(kMenuId + 50, parent.GetSafeHwnd(), FALSE));

  POINT shownAt{};
  ui.AnswerMenu([&](UiDriver& driver, HWND) {
    const std::vector<HWND> open = UiDriver::OpenMenuWindows();
    ASSERT_EQ(1u, open.size());
    RECT r;
    ::GetWindowRect(open[0], &r);
    shownAt = {r.left, r.top};
    driver.PickMenuItem(402);
  });
  ui.ClickWindow(button.GetSafeHwnd());
  ui.Pump();

  ASSERT_EQ(1u, parent.callbacks.size());
  EXPECT_TRUE(::IsMenu(reinterpret_cast<HMENU>(parent.callbacks[0].first)));
  EXPECT_EQ(77, parent.callbacks[0].second);
  CRect window;
  button.GetWindowRect(&window);
  EXPECT_EQ(window.left, shownAt.x);
  EXPECT_EQ(window.bottom, shownAt.y);
  int chosen = 0;
  for (const auto& [wParam, lParam] : parent.commands) {
    if (LOWORD(wParam) == 402) {
      ++chosen;
      EXPECT_EQ(0, HIWORD(wParam));
      EXPECT_EQ(0, lParam);
    }
  }
  EXPECT_EQ(1, chosen);

  // Dismissed: nothing is posted.
  parent.commands.clear();
  ui.DismissMenu();
  ui.ClickWindow(button.GetSafeHwnd());
  ui.Pump();
  for (const auto& command : parent.commands) EXPECT_EQ(kButtonId, LOWORD(command.first));
}

TEST_F(HoverButtonTest, TheHoverSoundPlaysOnceOnEnteringAndTheClickSoundOnEachClick) {
  ListeningButton button;
  Make(button, BS_PUSHBUTTON);
  ASSERT_EQ(CHoverButton::kOk, button.SetSound("C:\\sounds\\over.wav"));
  HMODULE module = GetModuleHandleA(nullptr);
  ASSERT_EQ(CHoverButton::kOk, button.SetSound("CLICK", module, TRUE, FALSE));

  POINT inside = Inside(button);
  ui.MoveMouse(inside);
  ui.MoveMouse({inside.x + 2, inside.y});
  ASSERT_EQ(1u, button.played.size());
  EXPECT_EQ("C:\\sounds\\over.wav", button.played[0].name);
  EXPECT_EQ(nullptr, button.played[0].module);
  EXPECT_EQ(DWORD(SND_NODEFAULT | SND_NOWAIT | SND_FILENAME | SND_ASYNC), button.played[0].flags);

  ui.Click(inside);
  ASSERT_EQ(2u, button.played.size());
  EXPECT_EQ("CLICK", button.played[1].name);
  EXPECT_EQ(module, button.played[1].module);
  EXPECT_EQ(DWORD(SND_NODEFAULT | SND_NOWAIT | SND_RESOURCE), button.played[1].flags);

  // Out and in again: the hover sound once more; cleared sounds play nothing.
  ui.MoveMouse(Outside());
  ui.MoveMouse(inside);
  EXPECT_EQ(3u, button.played.size());
  button.SetSound(nullptr, nullptr, TRUE);
  ui.Click(inside);
  EXPECT_EQ(3u, button.played.size());
}

TEST_F(HoverButtonTest, AButtonWithAnAddressOpensItWithTheShell) {
  const std::string folder = FreshFolder();
  const std::string pipe = folder + "/opened";
  ASSERT_EQ(0, mkfifo(pipe.c_str(), 0600));
  const std::string opener = folder + "/opener.sh";
  WriteFile(opener, "#!/bin/sh\nprintf '%s' \"$1\" > '" + pipe + "'\n");
  chmod(opener.c_str(), 0700);
  setenv("CORVANE_OPENER", opener.c_str(), 1);
  const int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);

  CHoverButton button;
  Make(button, BS_PUSHBUTTON);
  button.SetURL("http://example.com/corvane");
  ui.ClickWindow(button.GetSafeHwnd());

  // The opener runs on its own; its pipe says what it was given.
  std::string opened;
  pollfd wait{reader, POLLIN, 0};
  char buffer[256];
  while (poll(&wait, 1, 60000) > 0) {
    const ssize_t got = read(reader, buffer, sizeof buffer);
    if (got <= 0) break;
    opened.append(buffer, size_t(got));
  }
  close(reader);
  unsetenv("CORVANE_OPENER");
  EXPECT_EQ("http://example.com/corvane", opened);
}

TEST_F(HoverButtonTest, TheCursorShowsOverTheButton) {
  CHoverButton button;
  Make(button, BS_PUSHBUTTON);
  EXPECT_EQ(CHoverButton::kInvalidResource, button.SetBtnCursor(kCursorId + 50));
  ASSERT_EQ(CHoverButton::kOk, button.SetBtnCursor(kCursorId));
  ui.MoveMouse(Outside());
  const HCURSOR elsewhere = ::GetCursor();
  ui.MoveMouse(Inside(button));
  EXPECT_NE(elsewhere, ::GetCursor());
  EXPECT_NE(nullptr, ::GetCursor());
  ui.MoveMouse(Outside());
  EXPECT_EQ(elsewhere, ::GetCursor());
}

TEST_F(HoverButtonTest, TheTooltipShowsWhenTheMouseRestsAndAQuickSecondClickIsAClick) {
  CHoverButton button;
  Make(button, BS_PUSHBUTTON);
  button.SetTooltipText("Save the profile");
  const HWND tip = ::FindWindowA(TOOLTIPS_CLASS, nullptr);
  ASSERT_NE(nullptr, tip);

  // The framework's message loop hands the button its messages first.
  ui.MoveMouse(Inside(button));
  MSG move{button.GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(kWidth / 2, kHeight / 2), ::GetTickCount(),
           Inside(button)};
  EXPECT_FALSE(button.PreTranslateMessage(&move));
  ui.AdvanceClock(::GetDoubleClickTime());
  EXPECT_TRUE(::IsWindowVisible(tip));

  button.ActivateTooltip(FALSE);
  EXPECT_FALSE(::IsWindowVisible(tip));

  MSG doubleClick{button.GetSafeHwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, move.lParam, ::GetTickCount(), move.pt};
  button.PreTranslateMessage(&doubleClick);
  EXPECT_EQ(UINT(WM_LBUTTONDOWN), doubleClick.message);
}

TEST_F(HoverButtonTest, ATransparentButtonShowsWhatTheParentShowedUnderIt) {
  constexpr COLORREF kMagenta = RGB(255, 0, 255);
  CHoverButton button;
  ASSERT_TRUE(button.Create("", WS_CHILD | BS_PUSHBUTTON, CRect(20, 20, 20 + kWidth, 20 + kHeight), &parent, kButtonId));
  ui.Pump();
  {
    CClientDC dc(&parent);
    dc.FillSolidRect(CRect(20, 20, 20 + kWidth, 20 + kHeight), kMagenta);
  }
  button.DrawTransparent();
  button.SetIcon(SquareIcon(kIconColour));
  button.ShowWindow(SW_SHOW);
  auto look = Picture(button);
  EXPECT_EQ(kMagenta, look.At(1, 1));
  EXPECT_EQ(kIconColour, look.At(kSquareLeft, kSquareTop));
  // Kept from the first drawing on, whatever the parent shows later.
  {
    CClientDC dc(&parent);
    dc.FillSolidRect(CRect(0, 0, 300, 200), kGreen);
  }
  button.Invalidate();
  EXPECT_EQ(kMagenta, Picture(button).At(1, 1));
}

TEST_F(HoverButtonTest, TheDialogManagerMovesTheDefaultWithoutUndoingTheOwnerDrawing) {
  CHoverButton button;
  Make(button, BS_DEFPUSHBUTTON);
  EXPECT_EQ(UINT(BS_OWNERDRAW), button.GetStyle() & BS_TYPEMASK);
  EXPECT_TRUE(button.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
  EXPECT_FALSE(button.SendMessage(WM_GETDLGCODE) & DLGC_UNDEFPUSHBUTTON);
  button.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  EXPECT_EQ(UINT(BS_OWNERDRAW), button.GetStyle() & BS_TYPEMASK);
  EXPECT_TRUE(button.SendMessage(WM_GETDLGCODE) & DLGC_UNDEFPUSHBUTTON);
  EXPECT_FALSE(button.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
  button.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_TRUE(button.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
}

TEST_F(HoverButtonTest, BitmapsAreDrawnThroughTheirMasksAndSizeTheButton) {
  CHoverButton button;
  Make(button, BS_PUSHBUTTON);
  // 10 x 6: magenta (transparent) with a 4 x 2 block of the icon colour at (3, 2).
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 10, -6, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* px = static_cast<uint32_t*>(bits);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 10; ++x) px[y * 10 + x] = x >= 3 && x < 7 && y >= 2 && y < 4 ? 0xC86428u : 0xFF00FFu;
  ASSERT_EQ(CHoverButton::kOk, button.SetBitmaps(bitmap, RGB(255, 0, 255), reinterpret_cast<HBITMAP>(-3)));
  auto look = Picture(button);
  const int left = (kWidth - 10) / 2, top = (kHeight - 6) / 2;
  EXPECT_EQ(kDarkened, look.At(left + 3, top + 2));
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), look.At(left, top)) << "the transparent colour lets the face through";
  ui.MoveMouse(Inside(button));
  EXPECT_EQ(kIconColour, Picture(button).At(left + 3, top + 2));

  button.SizeToContent();
  CRect client;
  button.GetClientRect(&client);
  EXPECT_EQ(10, client.Width());
  EXPECT_EQ(6, client.Height());
  EXPECT_EQ(CHoverButton::kInvalidResource, button.SetBitmaps(4242, RGB(255, 0, 255)));
  EXPECT_EQ(CHoverButton::kInvalidResource, button.SetIcon(4242, -3));
}

}  // namespace
}  // namespace skin_test
