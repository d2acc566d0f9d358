// MessageBox: a modal dialog laid out from the text and the buttons the type asks for.
#include <algorithm>
#include <vector>

#include "dialogs/dialog_state.h"
#include "win32/winbase.h"
#include "win32/winctrl.h"
#include "win32/winuser_draw.h"

namespace win32::dialogs {
namespace {

struct Button {
  int id;
  const char* label;
};

std::vector<Button> ButtonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO: return {{IDYES, "&Yes"}, {IDNO, "&No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}};
  }
  return {{IDOK, "OK"}};
}

struct Box {
  const char* text;
  UINT type;
};

constexpr int kStaticId = 0xFFFF;
constexpr int kIconSize = 32;

// The icon of the MB_ICON* kind, drawn in the box's client area at (x, y).
void DrawBoxIcon(HDC hdc, UINT icon, int x, int y) {
  HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(NULL_PEN));
  HBRUSH body = nullptr;
  HBRUSH mark = nullptr;
  auto bar = [&](int left, int top, int right, int bottom) {
    RECT r{x + left, y + top, x + right, y + bottom};
    FillRect(hdc, &r, mark);
  };
  switch (icon) {
    case MB_ICONHAND: {
      body = CreateSolidBrush(RGB(208, 32, 32));
      SelectObject(hdc, body);
      Ellipse(hdc, x, y, x + kIconSize, y + kIconSize);
      HPEN cross = CreatePen(PS_SOLID, 4, RGB(255, 255, 255));
      SelectObject(hdc, cross);
      MoveToEx(hdc, x + 10, y + 10, nullptr);
      LineTo(hdc, x + 22, y + 22);
      MoveToEx(hdc, x + 22, y + 10, nullptr);
      LineTo(hdc, x + 10, y + 22);
      SelectObject(hdc, GetStockObject(NULL_PEN));
      DeleteObject(cross);
      break;
    }
    case MB_ICONEXCLAMATION: {
      body = CreateSolidBrush(RGB(248, 208, 32));
      mark = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
      SelectObject(hdc, body);
      POINT triangle[3] = {{x + kIconSize / 2, y + 1}, {x + kIconSize - 1, y + kIconSize - 2}, {x, y + kIconSize - 2}};
      Polygon(hdc, triangle, 3);
      bar(14, 9, 18, 21);
      bar(14, 24, 18, 28);
      break;
    }
    case MB_ICONQUESTION:
    case MB_ICONASTERISK: {
      body = CreateSolidBrush(RGB(32, 96, 216));
      mark = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
      SelectObject(hdc, body);
      Ellipse(hdc, x, y, x + kIconSize, y + kIconSize);
      if (icon == MB_ICONASTERISK) {  // "i"
        bar(14, 7, 18, 11);
        bar(14, 13, 18, 25);
      } else {  // "?"
        bar(11, 7, 21, 10);
        bar(18, 7, 21, 16);
        bar(14, 14, 21, 17);
        bar(14, 14, 17, 20);
        bar(14, 22, 17, 25);
      }
      break;
    }
  }
  SelectObject(hdc, oldPen);
  if (body) {
    SelectObject(hdc, GetStockObject(WHITE_BRUSH));
    DeleteObject(body);
  }
}

// Lays out the text above a centred row of buttons and sizes the dialog to fit.
void Build(HWND dlg, const Box& box) {
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(dlg, WM_GETFONT, 0, 0));
  DialogState* st = StateOf(dlg);
  const int unitX = st ? st->baseX : 6, unitY = st ? st->baseY : 13;
  const int margin = MulDiv(7, unitX, 4);
  const int buttonWidth = MulDiv(50, unitX, 4), buttonHeight = MulDiv(14, unitY, 8), gap = MulDiv(4, unitX, 4);
  const std::vector<Button> buttons = ButtonsOf(box.type);
  const bool icon = (box.type & MB_ICONMASK) != 0;
  const int textLeft = margin + (icon ? kIconSize + margin : 0);

  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
  RECT text{0, 0, GetSystemMetrics(SM_CXSCREEN) * 2 / 3, 0};
  DrawTextA(dc, box.text, -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteDC(dc);

  const int row = static_cast<int>(buttons.size()) * buttonWidth + (static_cast<int>(buttons.size()) - 1) * gap;
  const int textHeight = std::max<int>(text.bottom, icon ? kIconSize : 0);
  const int width = std::max<int>(textLeft + text.right + margin, row + 2 * margin);
  const int height = margin + textHeight + margin + buttonHeight + margin;
  HWND label = CreateWindowExA(0, "Static", box.text, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, textLeft,
                               margin + (textHeight - text.bottom) / 2,
                               text.right, text.bottom, dlg, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStaticId)),
                               nullptr, nullptr);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  const size_t defaultIndex = std::min<size_t>((box.type & MB_DEFMASK) >> 8, buttons.size() - 1);
  int x = (width - row) / 2;
  for (size_t i = 0; i < buttons.size(); ++i) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? WS_GROUP : 0) |
                  (i == defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    HWND b = CreateWindowExA(0, "Button", buttons[i].label, style, x, margin + textHeight + margin, buttonWidth,
                             buttonHeight, dlg, reinterpret_cast<HMENU>(static_cast<INT_PTR>(buttons[i].id)), nullptr,
                             nullptr);
    SendMessageA(b, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    x += buttonWidth + gap;
  }
  SendMessageA(dlg, DM_SETDEFID, static_cast<WPARAM>(buttons[defaultIndex].id), 0);

  RECT frame{0, 0, width, height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(dlg, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(dlg, GWL_EXSTYLE)));
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (HWND owner = GetWindow(dlg, GW_OWNER)) GetWindowRect(owner, &area);
  SetWindowPos(dlg, nullptr, area.left + (area.right - area.left - w) / 2, area.top + (area.bottom - area.top - h) / 2, w,
               h, SWP_NOZORDER | SWP_NOACTIVATE);
  SetDialogFocus(dlg, GetDlgItem(dlg, buttons[defaultIndex].id));
}

bool HasButton(UINT type, int id) {
  for (const Button& b : ButtonsOf(type)) {
    if (b.id == id) return true;
  }
  return false;
}

INT_PTR CALLBACK MessageBoxProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG: {
      const Box& box = *reinterpret_cast<const Box*>(lParam);
      SetWindowLongPtrA(dlg, DWLP_USER, static_cast<LONG_PTR>(box.type));
      Build(dlg, box);
      return FALSE;
    }
    case WM_PAINT: {
      const UINT icon = static_cast<UINT>(GetWindowLongPtrA(dlg, DWLP_USER)) & MB_ICONMASK;
      if (!icon) return FALSE;
      PAINTSTRUCT ps;
      HDC hdc = BeginPaint(dlg, &ps);
      DialogState* st = StateOf(dlg);
      const int margin = MulDiv(7, st ? st->baseX : 6, 4);
      DrawBoxIcon(hdc, icon, margin, margin);
      EndPaint(dlg, &ps);
      return TRUE;
    }
    case WM_COMMAND: {
      const UINT type = static_cast<UINT>(GetWindowLongPtrA(dlg, DWLP_USER));
      int id = LOWORD(wParam);
      // Escape and the close box: Cancel when there is one, OK when it is the only button.
      if (id == IDCANCEL && !HasButton(type, IDCANCEL)) {
        if ((type & MB_TYPEMASK) != MB_OK) return TRUE;
        id = IDOK;
      }
      if (HasButton(type, id)) EndDialog(dlg, id);
      return TRUE;
    }
  }
  return FALSE;
}

}  // namespace
}  // namespace win32::dialogs

using namespace win32::dialogs;

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  static const DLGTEMPLATE kTemplate = {
      DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0, 0, nullptr, "MS Shell Dlg", 8,
      nullptr, 0, nullptr};
  DLGTEMPLATE t = kTemplate;
  t.title = lpCaption ? lpCaption : "Error";
  if (uType & MB_TOPMOST) t.exStyle |= WS_EX_TOPMOST;
  Box box{lpText ? lpText : "", uType};
  ModalWindow description;
  description.messageBox = true;
  description.caption = t.title;
  description.text = box.text;
  description.type = uType;
  return static_cast<int>(DialogBoxWithDescription(nullptr, &t, hWnd, MessageBoxProc, reinterpret_cast<LPARAM>(&box),
                                                   std::move(description)));
}
