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

namespace wu = win32_detail::user;

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
                                 {'/', '?', VK_OEM_2}};
  for (const Punct& p : kPunct) {
    if (c == p.plain) return *key = {p.vk, false}, true;
    if (p.shifted && c == p.shifted) return *key = {p.vk, true}, true;
  }
  return false;
}

std::string Describe(const win32::ModalWindow& m) {
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
  seen_.push_back({top.messageBox, top.caption, top.text, top.type});
  if (script_.empty()) {
    ADD_FAILURE() << Describe(top) << " appeared with no scripted answer";
    cancelled_ = top.hwnd;
    top.cancel();
    return true;
  }
  Answer answer = std::move(script_.front());
  script_.erase(script_.begin());
  const std::string& against = top.messageBox ? top.text : top.caption;
  if ((answer.messageBox && !top.messageBox) || against.find(answer.expected) == std::string::npos) {
    ADD_FAILURE() << Describe(top) << " does not match the scripted answer expecting "
                  << (answer.messageBox ? "a message box with \"" : "a window captioned \"") << answer.expected << "\"";
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
  Pump();
}

void UiDriver::AnswerMessageBox(int buttonId, std::string expectedText) {
  script_.push_back({true, std::move(expectedText), [buttonId](UiDriver& ui, HWND box) {
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
  script_.push_back({false, std::move(expectedCaption), std::move(action)});
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
  win32_detail::gdi::Surface surface;
  surface.width = image.width;
  surface.height = image.height;
  surface.format = win32_detail::gdi::PixelFormat::Bits(32);
  surface.top = reinterpret_cast<uint8_t*>(bits.data());
  surface.stride = static_cast<ptrdiff_t>(image.width) * 4;
  return win32_detail::gdi::WriteSurfacePng(surface, (std::string(dir) + "/" + name + ".png").c_str());
}

}  // namespace testing_ui
