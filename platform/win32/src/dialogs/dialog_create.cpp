// Dialogs from templates: dialog units, creation of the window and its controls, the modal loop
// and EndDialog.
#include <algorithm>
#include <cstring>

#include "dialogs/dialog_state.h"
#include "win32/winbase.h"
#include "win32/winctrl.h"
#include "win32/winerror.h"
#include "win32/winuser_draw.h"

namespace win32::dialogs {
namespace {

int ScaleX(int v, int baseX) { return MulDiv(v, baseX, 4); }
int ScaleY(int v, int baseY) { return MulDiv(v, baseY, 8); }

HFONT TemplateFont(const DLGTEMPLATE& t) {
  if (!(t.style & DS_SETFONT) || !t.fontFace) return nullptr;
  LOGFONTA lf{};
  lf.lfHeight = -MulDiv(t.pointSize, 96, 72);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(lf.lfFaceName, t.fontFace, LF_FACESIZE - 1);
  return CreateFontIndirectA(&lf);
}

// Where a dialog of this size goes: template position relative to the owner's client area (or
// the screen), or centred.
POINT Place(const DLGTEMPLATE& t, HWND parent, int x, int y, int width, int height) {
  if (t.style & WS_CHILD) return {x, y};
  POINT at{x, y};
  if (parent && !(t.style & DS_ABSALIGN)) ClientToScreen(parent, &at);
  if (t.style & DS_CENTER) {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (HWND owner = parent ? GetAncestor(parent, GA_ROOT) : nullptr) GetWindowRect(owner, &area);
    at = {area.left + (area.right - area.left - width) / 2, area.top + (area.bottom - area.top - height) / 2};
  }
  return at;
}

HWND Create(HINSTANCE instance, LPCDLGTEMPLATE t, HWND parent, DLGPROC proc, LPARAM param, bool modal) {
  if (!t) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HFONT font = TemplateFont(*t);
  int baseX, baseY;
  FontBaseUnits(font, &baseX, &baseY);

  DWORD style = t->style;
  DWORD exStyle = t->exStyle;
  if (style & DS_MODALFRAME) exStyle |= WS_EX_DLGMODALFRAME;
  if (style & DS_CONTROL) {
    style = (style & ~(WS_CAPTION | WS_SYSMENU | WS_POPUP)) | WS_CHILD;
    exStyle |= WS_EX_CONTROLPARENT;
  }
  RECT r{0, 0, ScaleX(t->cx, baseX), ScaleY(t->cy, baseY)};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  const int width = r.right - r.left, height = r.bottom - r.top;
  POINT at = Place(*t, parent, ScaleX(t->x, baseX), ScaleY(t->y, baseY), width, height);

  ExpectDialogProc(proc);
  HWND dlg = CreateWindowExA(exStyle, t->windowClass ? t->windowClass : "#32770", t->title ? t->title : "",
                             style & ~WS_VISIBLE, at.x, at.y, width, height, parent, nullptr, instance,
                             reinterpret_cast<LPVOID>(param));
  ExpectDialogProc(nullptr);
  if (!dlg) {
    if (font) DeleteObject(font);
    return nullptr;
  }
  DialogState* st = AttachState(dlg, proc);
  if (GetClassLongA(dlg, GCL_CBWNDEXTRA) >= static_cast<DWORD>(DLGWINDOWEXTRA)) {
    SetWindowLongPtrA(dlg, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(st->proc));
  }
  st->font = font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  st->ownsFont = font != nullptr;
  st->baseX = baseX;
  st->baseY = baseY;
  st->modal = modal;
  if (font) SendMessageA(dlg, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

  for (UINT i = 0; i < t->itemCount && IsWindow(dlg); ++i) {
    const DLGITEMTEMPLATE& item = t->items[i];
    int x = ScaleX(item.x, baseX), y = ScaleY(item.y, baseY);
    HWND ctl = CreateWindowExA(item.exStyle | WS_EX_NOPARENTNOTIFY, item.windowClass, item.title ? item.title : "",
                               item.style | WS_CHILD, x, y, ScaleX(item.x + item.cx, baseX) - x,
                               ScaleY(item.y + item.cy, baseY) - y, dlg,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)), instance, nullptr);
    if (!ctl) {
      if (t->style & DS_NOFAILCREATE) continue;
      DestroyWindow(dlg);
      return nullptr;
    }
    SendMessageA(ctl, WM_SETFONT, reinterpret_cast<WPARAM>(st->font), FALSE);
    if ((SendMessageA(ctl, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) && !st->defId) st->defId = item.id;
  }
  if (!IsWindow(dlg)) return nullptr;

  HWND first = GetNextDlgTabItem(dlg, nullptr, FALSE);
  if (SendMessageA(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param)) {
    if (!IsWindow(dlg)) return nullptr;
    if ((st = StateOf(dlg))) st->savedFocus = first;
    if (first) SetDialogFocus(dlg, first);
  }
  if (!IsWindow(dlg)) return nullptr;
  if ((t->style & WS_VISIBLE) && !(StateOf(dlg) && StateOf(dlg)->ended)) {
    ShowWindow(dlg, SW_SHOWNORMAL);
    UpdateWindow(dlg);
  }
  return dlg;
}

const DLGTEMPLATE* FindTemplate(HINSTANCE instance, LPCSTR name) {
  HRSRC res = FindResourceA(instance, name, RT_DIALOG);
  if (!res) return nullptr;
  HGLOBAL data = LoadResource(instance, res);
  return data ? static_cast<const DLGTEMPLATE*>(LockResource(data)) : nullptr;
}

std::string WindowText(HWND hwnd) {
  int n = GetWindowTextLengthA(hwnd);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  s.resize(static_cast<size_t>(GetWindowTextA(hwnd, s.data(), n + 1)));
  return s;
}

}  // namespace

namespace {

INT_PTR RunModal(HWND dlg, HWND owner, ModalWindow description) {
  const bool disabling = owner && IsWindowEnabled(owner);
  if (disabling) EnableWindow(owner, FALSE);
  DialogState* st = StateOf(dlg);
  if (st && disabling) st->disabledOwner = owner;
  if (st && !st->ended) {
    ShowWindow(dlg, SW_SHOWNORMAL);
    UpdateWindow(dlg);
  }
  description.hwnd = dlg;
  if (description.caption.empty()) description.caption = WindowText(dlg);
  description.cancel = [dlg] { EndDialog(dlg, IDCANCEL); };
  ModalScope scope(std::move(description));
  MSG msg;
  while ((st = StateOf(dlg)) && !st->ended) {
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!IsDialogMessageA(dlg, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  st = StateOf(dlg);
  const INT_PTR result = st && st->ended ? st->result : -1;
  // The owner comes back before the dialog goes, so that it is the one activated; also when the
  // dialog was destroyed instead of ended.
  if (st ? st->disabledOwner != nullptr : disabling) EnableWindow(owner, TRUE);
  if (st) st->disabledOwner = nullptr;
  if (IsWindow(dlg)) DestroyWindow(dlg);
  return result;
}

}  // namespace

INT_PTR DialogBoxWithDescription(HINSTANCE instance, LPCDLGTEMPLATE t, HWND parent, DLGPROC proc, LPARAM param,
                                 ModalWindow description) {
  HWND owner = parent ? GetAncestor(parent, GA_ROOT) : nullptr;
  const OwnerFocus ownerFocus(owner);
  HWND dlg = Create(instance, t, owner, proc, param, true);
  if (!dlg) return -1;
  const INT_PTR result = RunModal(dlg, owner, std::move(description));
  ownerFocus.GiveBack();
  return result;
}

}  // namespace win32::dialogs

using namespace win32::dialogs;

LONG GetDialogBaseUnits() {
  static const LONG units = [] {
    int x, y;
    FontBaseUnits(nullptr, &x, &y);
    return static_cast<LONG>(MAKELONG(x, y));
  }();
  return units;
}

BOOL MapDialogRect(HWND hDlg, LPRECT lpRect) {
  DialogState* st = StateOf(hDlg);
  if (!st || !lpRect) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  lpRect->left = MulDiv(lpRect->left, st->baseX, 4);
  lpRect->right = MulDiv(lpRect->right, st->baseX, 4);
  lpRect->top = MulDiv(lpRect->top, st->baseY, 8);
  lpRect->bottom = MulDiv(lpRect->bottom, st->baseY, 8);
  return TRUE;
}

HWND CreateDialogIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATE lpTemplate, HWND hWndParent,
                                DLGPROC lpDialogFunc, LPARAM dwInitParam) {
  return Create(hInstance, lpTemplate, hWndParent, lpDialogFunc, dwInitParam, false);
}

HWND CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                        LPARAM dwInitParam) {
  const DLGTEMPLATE* t = FindTemplate(hInstance, lpTemplateName);
  return t ? Create(hInstance, t, hWndParent, lpDialogFunc, dwInitParam, false) : nullptr;
}

INT_PTR DialogBoxIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATE hDialogTemplate, HWND hWndParent,
                                DLGPROC lpDialogFunc, LPARAM dwInitParam) {
  return DialogBoxWithDescription(hInstance, hDialogTemplate, hWndParent, lpDialogFunc, dwInitParam, {});
}

INT_PTR DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                        LPARAM dwInitParam) {
  const DLGTEMPLATE* t = FindTemplate(hInstance, lpTemplateName);
  return t ? DialogBoxIndirectParamA(hInstance, t, hWndParent, lpDialogFunc, dwInitParam) : -1;
}

BOOL EndDialog(HWND hDlg, INT_PTR nResult) {
  DialogState* st = StateOf(hDlg);
  if (!st) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  st->ended = true;
  st->result = nResult;
  if (st->disabledOwner) {
    EnableWindow(st->disabledOwner, TRUE);
    st->disabledOwner = nullptr;
  }
  if (st->modal) {
    ShowWindow(hDlg, SW_HIDE);
    PostMessageA(hDlg, WM_NULL, 0, 0);  // wakes the modal loop
  }
  return TRUE;
}
