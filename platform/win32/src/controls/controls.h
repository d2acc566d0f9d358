#pragma once
// What the standard controls share: their state object behind the window, notifications to the
// parent, colours asked of the parent, and class registration.
#include <string>

#include "win32/winctrl.h"
#include "win32/winuser_draw.h"

namespace win32::controls {

// Every control keeps a pointer to its state in the first window extra bytes.
constexpr int kStateSlot = 0;
constexpr int kExtraBytes = sizeof(LONG_PTR);

template <class T>
T* StateOf(HWND hwnd) {
  return reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, kStateSlot));
}

// Creates the state at WM_NCCREATE and deletes it at WM_NCDESTROY; returns null otherwise.
template <class T>
T* Lifetime(HWND hwnd, UINT msg) {
  if (msg == WM_NCCREATE) {
    T* st = new T;
    SetWindowLongPtrA(hwnd, kStateSlot, reinterpret_cast<LONG_PTR>(st));
    return st;
  }
  T* st = StateOf<T>(hwnd);
  if (msg == WM_NCDESTROY && st) {
    SetWindowLongPtrA(hwnd, kStateSlot, 0);
    delete st;
    return nullptr;
  }
  return st;
}

// WM_PAINT paints the update region; WM_PRINTCLIENT paints into the DC in wParam.
template <class Painter>
LRESULT PaintOrPrint(HWND hwnd, UINT msg, WPARAM wParam, Painter paint) {
  PAINTSTRUCT ps;
  HDC hdc = msg == WM_PAINT ? BeginPaint(hwnd, &ps) : reinterpret_cast<HDC>(wParam);
  paint(hdc);
  if (msg == WM_PAINT) EndPaint(hwnd, &ps);
  return 0;
}

// WM_COMMAND with MAKEWPARAM(id, code) to the parent.
void Notify(HWND hwnd, UINT code);
// The brush (and text and background colours set in hdc) the parent answers to a WM_CTLCOLOR*
// message; the system's colours when it does not answer.
HBRUSH ControlColors(HWND hwnd, HDC hdc, UINT message);
DWORD Style(HWND hwnd);
std::string Text(HWND hwnd);
// The font to draw with (the one WM_SETFONT gave, else the system font), selected into hdc.
HGDIOBJ SelectControlFont(HDC hdc, HFONT font);

// From a combo box's drop list to the combo box: the list closes, wParam TRUE when an item was
// picked, FALSE when cancelled (a click outside).
constexpr UINT kComboListDone = WM_USER + 0x100;
// The combo box's id for the edit field of a CBS_DROPDOWN combo box.
constexpr int kComboEditId = 1001;
bool IsComboBox(HWND hwnd);

// Pieces the frame-control drawing lacks: a radio button's round mark and a scroll arrow button
// (DFCS_SCROLLUP, DOWN, LEFT or RIGHT with DFCS_PUSHED and DFCS_INACTIVE).
void DrawRadioMark(HDC hdc, const RECT& box, bool checked, bool grey);
void DrawScrollArrow(HDC hdc, const RECT& r, UINT state);
void DrawScrollThumb(HDC hdc, const RECT& r, bool vertical);

// A window's own bars (WS_HSCROLL, WS_VSCROLL), drawn in its non-client area, and a press on one
// tracked until the button is released (WM_HSCROLL/WM_VSCROLL to the window, lParam null).
void PaintWindowBar(HWND hwnd, HDC windowDc, int bar, const RECT& area);
void PressWindowBar(HWND hwnd, int bar, POINT screen);

void RegisterControlClass(const char* name, WNDPROC proc, LPCSTR cursor, UINT style = CS_DBLCLKS);

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK UpDownProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ComboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ScrollBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ListViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ToolTipProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ToolbarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace win32::controls
