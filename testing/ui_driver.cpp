#include "testing/ui_driver.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "gdi/dc.h"
#include "user/display.h"
#include "win32/modal.h"
#include "win32/platform_config.h"

namespace testing_ui {
namespace {

namespace wu = win32::user;

struct Key {
  UINT vk;
  bool shift;
};

bool KeyFor(char c, Key* key) {
  static const char shiftedDigits[] = ")!@#$%^&*(";
  if (std::islower(static_cast<unsigned char>(c))) return *key = {static_cast<UINT>(std::toupper(c)), false}, true;
  if (std::isupper(static_cast<unsigned char>(c))) return *key = {static_cast<UINT>(c), true}, true;
  if (std::isdigit(static_cast<unsigned char>(c))) return *key = {static_cast<UINT>(c), false}, true;
  if (const char* at = std::strchr(shiftedDigits, c); at && c) {
    return *key = {static_cast<UINT>('0' + (at - shiftedDigits)), true}, true;
  }
  struct Punct {
    char plain, shifted;
    UINT vk;
  };
  static const Punct kPunct[] = {{' ', 0, VK_SPACE},         {'.', '>', VK_OEM_PERIOD}, {',', '<', VK_OEM_COMMA},
                                 {'-', '_', VK_OEM_MINUS},   {'=', '+', VK_OEM_PLUS},   {';', ':', VK_OEM_1},
                                 {'/', '?', VK_OEM_2},       {'`', '~', VK_OEM_3},      {'[', '{', VK_OEM_4},
                                 {'\\', '|', VK_OEM_5},      {']', '}', VK_OEM_6},      {'\'', '"', VK_OEM_7}};
  for (const Punct& p : kPunct) {
    if (c == p.plain) return *key = {p.vk, false}, true;
    if (p.shifted && c == p.shifted) return *key = {p.vk, true}, true;
  }
  return false;
}

std::string Describe(const win32::ModalWindow& m) {
  if (m.menu) return "menu loop";
  std::string s = m.messageBox ? "message box \"" : "modal window \"";
  s += m.caption + "\"";
  if (m.messageBox) s += " saying \"" + m.text + "\"";
  return s;
}

}  // namespace

UiDriver::UiDriver() {
  wu::SetIdleHandler([this] { return OnIdle(); });
}

UiDriver::~UiDriver() {
  wu::SetIdleHandler(nullptr);
  if (!script_.empty()) ADD_FAILURE() << script_.size() << " scripted answer(s) for modal windows were not used";
}

bool UiDriver::OnIdle() {
  std::vector<win32::ModalWindow> stack = win32::ModalStack();
  if (stack.empty()) {
    ADD_FAILURE() << "the thread waits for input outside any modal loop; the test would hang";
    PostQuitMessage(0);
    return true;
  }
  const win32::ModalWindow& top = stack.back();
  if (top.hwnd == cancelled_) {
    // Cancelling did not end it: leave the loop rather than fail forever.
    ADD_FAILURE() << Describe(top) << " did not end when cancelled";
    PostQuitMessage(0);
    return true;
  }
  seen_.push_back({top.messageBox, top.caption, top.text, top.type, top.menu});
  if (script_.empty()) {
    ADD_FAILURE() << Describe(top) << " appeared with no scripted answer";
    cancelled_ = top.hwnd;
    top.cancel();
    return true;
  }
  Answer answer = std::move(script_.front());
  script_.erase(script_.begin());
  const std::string& against = top.messageBox ? top.text : top.caption;
  const bool kindMatches = answer.kind == AnswerKind::Menu ? top.menu
                           : answer.kind == AnswerKind::MessageBox ? top.messageBox
                                                                   : !top.menu;
  if (!kindMatches || against.find(answer.expected) == std::string::npos) {
    const char* wanted = answer.kind == AnswerKind::Menu         ? "a menu loop"
                         : answer.kind == AnswerKind::MessageBox ? "a message box with \""
                                                                 : "a window captioned \"";
    ADD_FAILURE() << Describe(top) << " does not match the scripted answer expecting " << wanted
                  << (answer.kind == AnswerKind::Menu ? "" : answer.expected + "\"");
    cancelled_ = top.hwnd;
    top.cancel();
    return true;
  }
  answering_ = true;
  answer.action(*this, top.hwnd);
  answering_ = false;
  return true;
}

void UiDriver::AfterInput() {
  if (!answering_) Pump();
}

void UiDriver::MoveMouse(POINT screen) {
  wu::InjectMouseMove(screen);
  AfterInput();
}

void UiDriver::MouseDown(POINT screen, UINT button) {
  wu::InjectMouseButton(button, true, screen);
  AfterInput();
}

void UiDriver::MouseUp(POINT screen, UINT button) {
  wu::InjectMouseButton(button, false, screen);
  AfterInput();
}

void UiDriver::Click(POINT screen, UINT button) {
  wu::InjectMouseButton(button, true, screen);
  wu::InjectMouseButton(button, false, screen);
  AfterInput();
}

void UiDriver::DoubleClick(POINT screen) {
  for (int i = 0; i < 2; ++i) {
    wu::InjectMouseButton(VK_LBUTTON, true, screen);
    wu::InjectMouseButton(VK_LBUTTON, false, screen);
  }
  AfterInput();
}

void UiDriver::Drag(POINT from, POINT to, UINT button) {
  wu::InjectMouseMove(from);
  wu::InjectMouseButton(button, true, from);
  wu::InjectMouseMove(to);
  wu::InjectMouseButton(button, false, to);
  AfterInput();
}

void UiDriver::Wheel(int delta, POINT screen) {
  wu::InjectMouseWheel(delta, screen);
  AfterInput();
}

void UiDriver::KeyDown(UINT vk) {
  wu::InjectKey(vk, true);
  AfterInput();
}

void UiDriver::KeyUp(UINT vk) {
  wu::InjectKey(vk, false);
  AfterInput();
}

void UiDriver::Press(UINT vk) {
  wu::InjectKey(vk, true);
  wu::InjectKey(vk, false);
  AfterInput();
}

void UiDriver::PressWith(UINT modifier, UINT vk) {
  wu::InjectKey(modifier, true);
  wu::InjectKey(vk, true);
  wu::InjectKey(vk, false);
  wu::InjectKey(modifier, false);
  AfterInput();
}

void UiDriver::Type(std::string_view text) {
  for (char c : text) {
    Key key;
    if (!KeyFor(c, &key)) {
      ADD_FAILURE() << "no key types '" << c << "'";
      continue;
    }
    if (key.shift) wu::InjectKey(VK_SHIFT, true);
    wu::InjectKey(key.vk, true);
    wu::InjectKey(key.vk, false);
    if (key.shift) wu::InjectKey(VK_SHIFT, false);
  }
  AfterInput();
}

POINT UiDriver::CenterOf(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void UiDriver::ClickWindow(HWND hwnd) { Click(CenterOf(hwnd)); }

int UiDriver::Pump() {
  int total = 0;
  while (int n = wu::PumpUntilIdle()) total += n;
  return total;
}

void UiDriver::AdvanceClock(uint32_t milliseconds) {
  platform_config::AdvanceVirtualClock(milliseconds);
  AfterInput();
}

void UiDriver::AnswerMessageBox(int buttonId, std::string expectedText) {
  script_.push_back({AnswerKind::MessageBox, std::move(expectedText), [buttonId](UiDriver& ui, HWND box) {
                       HWND button = GetDlgItem(box, buttonId);
                       if (!button) {
                         ADD_FAILURE() << "the message box has no button " << buttonId;
                         EndDialog(box, IDCANCEL);
                         return;
                       }
                       ui.ClickWindow(button);
                     }});
}

void UiDriver::AnswerModal(ModalAction action, std::string expectedCaption) {
  script_.push_back({AnswerKind::Modal, std::move(expectedCaption), std::move(action)});
}

namespace {

// Types into a dialog's box as the user does after tabbing to it (its old text selected), then OK.
void TypeAndConfirm(UiDriver& ui, HWND dlg, int box, const std::string& text) {
  HWND edit = GetDlgItem(dlg, box);
  if (!edit) {
    ADD_FAILURE() << "the dialog has no box " << box;
    EndDialog(dlg, IDCANCEL);
    return;
  }
  SendMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
  ui.Type(text);
  ui.ClickWindow(GetDlgItem(dlg, IDOK));
}

// Red, green and blue typed into the colour chooser's boxes, tabbing from one to the next as the
// user does (each box's old text selected).
void TypeColour(UiDriver& ui, HWND dlg, COLORREF colour) {
  SendMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dlg, COLOR_RED)), TRUE);
  ui.Type(std::to_string(GetRValue(colour)));
  ui.Press(VK_TAB);
  ui.Type(std::to_string(GetGValue(colour)));
  ui.Press(VK_TAB);
  ui.Type(std::to_string(GetBValue(colour)));
}

}  // namespace

void UiDriver::AnswerColourDialog(COLORREF colour) {
  AnswerModal([colour](UiDriver& ui, HWND dlg) {
    TypeColour(ui, dlg, colour);
    ui.ClickWindow(GetDlgItem(dlg, IDOK));
  });
}

void UiDriver::PickCustomColourInDialog(int index) {
  AnswerModal([index](UiDriver& ui, HWND dlg) {
    ui.ClickWindow(GetDlgItem(dlg, COLOR_CUSTOM1 + index));
    ui.ClickWindow(GetDlgItem(dlg, IDOK));
  });
}

void UiDriver::AddCustomColourInDialog(COLORREF colour) {
  AnswerModal([colour](UiDriver& ui, HWND dlg) {
    TypeColour(ui, dlg, colour);
    ui.ClickWindow(GetDlgItem(dlg, COLOR_ADD));
    ui.ClickWindow(GetDlgItem(dlg, IDOK));
  });
}

void UiDriver::AnswerFileDialog(std::vector<std::string> names, std::string expectedCaption) {
  std::string text;
  if (names.size() == 1) {
    text = names[0];
  } else {
    for (const std::string& n : names) text += (text.empty() ? "\"" : " \"") + n + "\"";
  }
  AnswerModal([text](UiDriver& ui, HWND dlg) { TypeAndConfirm(ui, dlg, edt1, text); }, std::move(expectedCaption));
}

void UiDriver::AnswerFolderBrowser(std::string folder, std::string expectedCaption) {
  AnswerModal([folder](UiDriver& ui, HWND dlg) { TypeAndConfirm(ui, dlg, edt1, folder); }, std::move(expectedCaption));
}

void UiDriver::CancelDialog(std::string expectedCaption) {
  AnswerModal([](UiDriver& ui, HWND dlg) { ui.ClickWindow(GetDlgItem(dlg, IDCANCEL)); }, std::move(expectedCaption));
}

void UiDriver::AnswerMenu(ModalAction action) { script_.push_back({AnswerKind::Menu, {}, std::move(action)}); }

void UiDriver::PickMenuItem(UINT commandId) {
  AnswerMenu([commandId](UiDriver& ui, HWND) {
    HMENU menu = nullptr;
    UINT position = 0;
    if (!FindOpenMenuItem(commandId, &menu, &position)) {
      ADD_FAILURE() << "no open menu has the command " << commandId;
      EndMenu();
      return;
    }
    ui.Click(MenuItemCenter(menu, position));
  });
}

void UiDriver::PressInMenu(std::vector<UINT> keys) {
  AnswerMenu([keys = std::move(keys)](UiDriver& ui, HWND) {
    for (UINT vk : keys) ui.Press(vk);
  });
}

void UiDriver::DismissMenu() {
  AnswerMenu([](UiDriver&, HWND) { EndMenu(); });
}

std::vector<HWND> UiDriver::OpenMenuWindows() {
  std::vector<HWND> windows;
  for (HWND top = GetTopWindow(nullptr); top; top = GetWindow(top, GW_HWNDNEXT)) {
    char name[16] = {};
    GetClassNameA(top, name, sizeof name);
    if (std::strcmp(name, "#32768") == 0 && IsWindowVisible(top)) windows.push_back(top);
  }
  // Each pop-up opens above the ones before it.
  return {windows.rbegin(), windows.rend()};
}

POINT UiDriver::MenuItemCenter(HMENU menu, UINT position) {
  RECT r{};
  if (!GetMenuItemRect(nullptr, menu, position, &r)) ADD_FAILURE() << "the menu item " << position << " is not shown";
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT UiDriver::MenuBarItemCenter(HWND window, int position) {
  RECT r{};
  if (!GetMenuItemRect(window, GetMenu(window), static_cast<UINT>(position), &r)) {
    ADD_FAILURE() << "the window has no menu-bar item " << position;
  }
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

bool UiDriver::FindOpenMenuItem(UINT commandId, HMENU* menu, UINT* position) {
  std::vector<HWND> windows = OpenMenuWindows();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    HMENU shown = reinterpret_cast<HMENU>(SendMessageA(*it, MN_GETHMENU, 0, 0));
    const int count = GetMenuItemCount(shown);
    for (int i = 0; i < count; ++i) {
      MENUITEMINFOA info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_ID | MIIM_SUBMENU;
      if (GetMenuItemInfoA(shown, static_cast<UINT>(i), TRUE, &info) && !info.hSubMenu && info.wID == commandId) {
        *menu = shown;
        *position = static_cast<UINT>(i);
        return true;
      }
    }
  }
  return false;
}

Image UiDriver::CaptureScreen() { return CaptureWindow(nullptr); }

Image UiDriver::CaptureWindow(HWND hwnd) {
  auto fb = wu::Framebuffer();
  RECT r{0, 0, fb->width, fb->height};
  if (hwnd) GetWindowRect(hwnd, &r);
  RECT screen{0, 0, fb->width, fb->height};
  IntersectRect(&r, &r, &screen);
  Image image;
  image.width = r.right - r.left;
  image.height = r.bottom - r.top;
  image.pixels.reserve(static_cast<size_t>(image.width) * image.height);
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) image.pixels.push_back(fb->ToColor(fb->Get(x, y)));
  }
  return image;
}

COLORREF UiDriver::PixelAt(POINT screen) { return wu::ScreenPixel(screen.x, screen.y); }

bool UiDriver::Dump(const Image& image, const std::string& name) {
  const char* dir = std::getenv("DUMP_DIR");
  if (!dir || !*dir || image.width == 0) return false;
  std::vector<uint32_t> bits;
  bits.reserve(image.pixels.size());
  for (COLORREF c : image.pixels) bits.push_back((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
  win32::gdi::Surface surface;
  surface.width = image.width;
  surface.height = image.height;
  surface.format = win32::gdi::PixelFormat::Bits(32);
  surface.top = reinterpret_cast<uint8_t*>(bits.data());
  surface.stride = static_cast<ptrdiff_t>(image.width) * 4;
  return win32::gdi::WriteSurfacePng(surface, (std::string(dir) + "/" + name + ".png").c_str());
}

}  // namespace testing_ui
