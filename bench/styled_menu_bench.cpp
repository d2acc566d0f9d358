// Opening a 30-item style-8 pop-up menu until it is fully painted, and closing it, on the
// headless screen; with the share of that time the item texts take (measuring them, making the
// fonts and drawing them), timed on their own with the same calls the item routines make.
// Usage: styled_menu_bench [rounds]   (default 200)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "menus/styled_menu.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The owner: a framework window that hands pop-up initialisation to the library, as the
// library's own dialogs do, so the menu gets the library's frame and background.
// The menu loop tells the owner when it idles, which is once the pop-up is painted: the open time
// ends there, and the menu is dismissed from there.
class Owner : public CWnd {
 public:
  bool waitingForPaint = false;
  Clock::time_point painted;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    LRESULT result = CWnd::WindowProc(message, wParam, lParam);
    if (message == WM_INITMENUPOPUP)
      CStyledMenu::InitMenuPopup(m_hWnd, reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam));
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU && waitingForPaint) {
      painted = Clock::now();
      waitingForPaint = false;
      EndMenu();
    }
    return result;
  }
};

// Handles whatever the closed menu left for the thread.
void DispatchPending() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

std::vector<std::string> ItemTexts() {
  std::vector<std::string> texts;
  for (int i = 0; i < 30; ++i) texts.push_back("Skin number " + std::to_string(i + 1));
  return texts;
}

// What the flat gradient routine does with text per item: measuring (screen DC, menu font,
// extent) and drawing (menu font into a buffered item, DrawText left-aligned).
double TextMilliseconds(const std::vector<std::string>& texts, int rounds) {
  LOGFONT font{};
  CStyledMenu::GetMenuFont(&font);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 22);
  SelectObject(memory, bitmap);
  SetBkMode(memory, TRANSPARENT);
  std::vector<double> times;
  for (int round = 0; round < rounds; ++round) {
    const auto start = Clock::now();
    for (const std::string& text : texts) {
      HFONT measuring = CreateFontIndirectA(&font);
      HGDIOBJ old = SelectObject(screen, measuring);
      SIZE size{};
      GetTextExtentPoint32A(screen, text.c_str(), int(text.size()), &size);
      SelectObject(screen, old);
      DeleteObject(measuring);
      HFONT drawing = CreateFontIndirectA(&font);
      old = SelectObject(memory, drawing);
      RECT r{28, 0, 185, 22};
      DrawTextA(memory, text.c_str(), int(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
      SelectObject(memory, old);
      DeleteObject(drawing);
    }
    times.push_back(Milliseconds(start, Clock::now()));
  }
  DeleteDC(memory);
  DeleteObject(bitmap);
  ReleaseDC(nullptr, screen);
  return Median(times);
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : 200;
  if (rounds <= 0) rounds = 200;
  CStyledMenu::SetMenuDrawMode(CStyledMenu::STYLE_XP_GRADIENT);
  Owner owner;
  if (!owner.CreateEx(0, nullptr, "Owner", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr)) {
    std::fprintf(stderr, "no owner window\n");
    return 1;
  }
  const std::vector<std::string> texts = ItemTexts();
  CStyledMenu menu;
  menu.CreatePopupMenu();
  for (size_t i = 0; i < texts.size(); ++i) menu.AppendMenu(MF_STRING, 32771 + i, texts[i].c_str());
  menu.CheckMenuItem(2, MF_BYPOSITION | MF_CHECKED);

  std::vector<double> opening, closing;
  for (int round = 0; round < rounds; ++round) {
    owner.waitingForPaint = true;
    const auto start = Clock::now();
    menu.TrackPopupMenu(TPM_RIGHTBUTTON | TPM_RETURNCMD, 100, 40, &owner);
    const auto closed = Clock::now();
    if (owner.waitingForPaint) {
      std::fprintf(stderr, "the menu did not open\n");
      return 1;
    }
    opening.push_back(Milliseconds(start, owner.painted));
    closing.push_back(Milliseconds(owner.painted, closed));
    DispatchPending();
  }
  const double open = Median(opening), close = Median(closing);
  const double text = TextMilliseconds(texts, rounds);
  std::printf("30-item style-8 pop-up, median of %d rounds on the headless screen\n", rounds);
  std::printf("  open until painted  %8.3f ms\n", open);
  std::printf("  close               %8.3f ms\n", close);
  std::printf("  text (measure, fonts, draw) %8.3f ms = %.0f %% of opening\n", text, 100.0 * text / open);
  return 0;
}
