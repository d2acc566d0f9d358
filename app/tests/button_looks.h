#pragma once
// What the dialogs' icon buttons show: their kind and the colours of the icons on them.
#include <algorithm>

#include "skin/shaded_button.h"
#include "testing/ui_driver.h"

namespace app_test {

// The icons' colours, and their darkened out looks.
constexpr COLORREF kCheckGreen = RGB(46, 158, 68);
constexpr COLORREF kDarkCheckGreen = RGB(35, 119, 51);
constexpr COLORREF kCrossRed = RGB(208, 48, 48);
constexpr COLORREF kDarkCrossRed = RGB(156, 36, 36);
constexpr COLORREF kArrowBlue = RGB(37, 99, 235);
constexpr COLORREF kFolderYellow = RGB(232, 184, 48);

inline int CountColour(HWND window, COLORREF colour) {
  const testing_ui::Image image = testing_ui::UiDriver::CaptureWindow(window);
  return int(std::count(image.pixels.begin(), image.pixels.end(), colour));
}

// The shaded button of that id, when its picture fits its window.
inline CShadedButton* ShadedButton(HWND dialog, int id) {
  auto* button = dynamic_cast<CShadedButton*>(CWnd::FromHandlePermanent(::GetDlgItem(dialog, id)));
  if (!button) return nullptr;
  CRect client;
  button->GetClientRect(&client);
  const bool fits = button->NormalImage().GetWidth() == client.Width() &&
                    button->NormalImage().GetHeight() == client.Height();
  return fits ? button : nullptr;
}

}  // namespace app_test
