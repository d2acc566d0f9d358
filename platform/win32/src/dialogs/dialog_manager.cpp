// The dialog manager: the "#32770" window procedure, the default button, focus keeping and
// keyboard navigation.
#include <cctype>
#include <map>
#include <mutex>

#include "dialogs/dialog_state.h"
#include "user/display.h"
#include "win32/winctrl.h"
#include "win32/winuser_draw.h"

namespace win32::dialogs {
namespace {

struct States {
  std::mutex lock;
  std::map<HWND, std::unique_ptr<DialogState>> byWindow;
};

States& AllStates() {
  static States* states = new States;  // outlives static destructors of users
  return *states;
}

// The dialog procedure given to the dialog being created on this thread.
thread_local DLGPROC pendingProc = nullptr;

DialogState* Attach(HWND hDlg) {
  States& s = AllStates();
  std::lock_guard<std::mutex> guard(s.lock);
  auto& slot = s.byWindow[hDlg];
  if (!slot) {
    slot = std::make_unique<DialogState>();
    slot->proc = pendingProc;
    pendingProc = nullptr;
  }
  return slot.get();
}

void Detach(HWND hDlg) {
  std::unique_ptr<DialogState> gone;
  {
    States& s = AllStates();
    std::lock_guard<std::mutex> guard(s.lock);
    auto it = s.byWindow.find(hDlg);
    if (it == s.byWindow.end()) return;
    gone = std::move(it->second);
    s.byWindow.erase(it);
  }
  if (gone->ownsFont) DeleteObject(gone->font);
  // A modal loop waiting for its dialog wakes up to see it gone.
  if (gone->modal && !gone->ended) PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
}

UINT DlgCode(HWND hwnd) { return hwnd ? static_cast<UINT>(SendMessageA(hwnd, WM_GETDLGCODE, 0, 0)) : 0; }

bool IsPushButton(UINT code) { return code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON); }

// The direct child of hDlg that holds hwnd (hwnd itself, or an ancestor), or null.
HWND ControlOf(HWND hDlg, HWND hwnd) {
  while (hwnd && GetParent(hwnd) != hDlg) {
    if (!(GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)) return nullptr;
    hwnd = GetParent(hwnd);
  }
  return hwnd;
}

std::vector<HWND> Controls(HWND hDlg) {
  std::vector<HWND> list;
  for (HWND c = GetWindow(hDlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) list.push_back(c);
  return list;
}

bool CanFocus(HWND c) { return IsWindowVisible(c) && IsWindowEnabled(c); }

// The default look goes to the focused push button, else to the default button.
void UpdateDefaultLook(HWND hDlg, HWND focus) {
  DialogState* st = StateOf(hDlg);
  HWND wanted = nullptr;
  if (IsPushButton(DlgCode(focus))) {
    wanted = focus;
  } else if (st && st->defId) {
    wanted = GetDlgItem(hDlg, st->defId);
  }
  for (HWND c : Controls(hDlg)) {
    UINT code = DlgCode(c);
    if ((code & DLGC_DEFPUSHBUTTON) && c != wanted) SendMessageA(c, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  }
  if (wanted && (DlgCode(wanted) & DLGC_UNDEFPUSHBUTTON)) SendMessageA(wanted, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void RestoreFocus(HWND hDlg, DialogState* st) {
  HWND focus = GetFocus();
  if (focus && IsChild(hDlg, focus)) return;
  HWND target = st && st->savedFocus && IsChild(hDlg, st->savedFocus) && CanFocus(st->savedFocus)
                    ? st->savedFocus
                    : GetNextDlgTabItem(hDlg, nullptr, FALSE);
  if (target) SetDialogFocus(hDlg, target);
}

void SaveFocus(HWND hDlg, DialogState* st) {
  HWND focus = GetFocus();
  if (st && focus && IsChild(hDlg, focus)) st->savedFocus = focus;
}

void SetDefaultId(HWND hDlg, DialogState* st, int id) {
  st->defId = id;
  HWND focus = ControlOf(hDlg, GetFocus());
  UpdateDefaultLook(hDlg, focus);
}

LRESULT DefaultHandling(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam, DialogState* st) {
  switch (msg) {
    case WM_NCDESTROY: {
      LRESULT r = DefWindowProcA(hDlg, msg, wParam, lParam);
      Detach(hDlg);
      return r;
    }
    case WM_CLOSE: {
      HWND cancel = GetDlgItem(hDlg, IDCANCEL);
      if (!cancel || IsWindowEnabled(cancel)) {
        SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
      }
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        SaveFocus(hDlg, st);
      } else {
        RestoreFocus(hDlg, st);
      }
      return 0;
    case WM_SETFOCUS:
      RestoreFocus(hDlg, st);
      return 0;
    case WM_SHOWWINDOW:
      if (!wParam) SaveFocus(hDlg, st);
      return DefWindowProcA(hDlg, msg, wParam, lParam);
    case WM_SETFONT:
      if (st) st->font = reinterpret_cast<HFONT>(wParam);
      return 0;
    case WM_GETFONT: return st ? reinterpret_cast<LRESULT>(st->font) : 0;
    case DM_GETDEFID: return st && st->defId ? MAKELRESULT(st->defId, DC_HASDEFID) : 0;
    case DM_SETDEFID:
      if (st) SetDefaultId(hDlg, st, static_cast<int>(wParam));
      return TRUE;
    case WM_NEXTDLGCTL: {
      HWND target = lParam ? reinterpret_cast<HWND>(wParam)
                           : GetNextDlgTabItem(hDlg, ControlOf(hDlg, GetFocus()), wParam != 0);
      if (target) SetDialogFocus(hDlg, target);
      return 0;
    }
    case WM_ERASEBKGND: {
      HDC hdc = reinterpret_cast<HDC>(wParam);
      auto brush = reinterpret_cast<HBRUSH>(SendMessageA(hDlg, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(hDlg)));
      RECT rc;
      GetClientRect(hDlg, &rc);
      FillRect(hdc, &rc, brush ? brush : GetSysColorBrush(COLOR_3DFACE));
      return TRUE;
    }
  }
  return DefWindowProcA(hDlg, msg, wParam, lParam);
}

// The '&' letter of a control's text, lower case, or 0.
char Mnemonic(HWND control) {
  char text[256] = {};
  GetWindowTextA(control, text, sizeof text);
  for (const char* p = text; *p; ++p) {
    if (*p == '&') {
      if (p[1] != '&') return static_cast<char>(std::tolower(static_cast<unsigned char>(p[1])));
      ++p;
    }
  }
  return 0;
}

// A letter typed with Alt, or where the focus takes no characters: the control whose text marks
// it gets the focus (a label passes it to the next tab stop); a button is also clicked.
bool GoToMnemonic(HWND hDlg, char letter) {
  letter = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
  for (HWND c : Controls(hDlg)) {
    if (!CanFocus(c) || Mnemonic(c) != letter) continue;
    const UINT code = DlgCode(c);
    if (code & DLGC_STATIC) {
      HWND next = GetNextDlgTabItem(hDlg, c, FALSE);
      if (next) SetDialogFocus(hDlg, next);
    } else if (code & DLGC_BUTTON) {
      if (!IsPushButton(code)) SetDialogFocus(hDlg, c);
      SendMessageA(c, BM_CLICK, 0, 0);
    } else {
      SetDialogFocus(hDlg, c);
    }
    return true;
  }
  return false;
}

// Messages whose answer is the dialog procedure's return value rather than DWLP_MSGRESULT.
bool AnswersDirectly(UINT msg) {
  switch (msg) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON: return true;
  }
  return false;
}

}  // namespace

DialogState* StateOf(HWND hDlg) {
  States& s = AllStates();
  std::lock_guard<std::mutex> guard(s.lock);
  auto it = s.byWindow.find(hDlg);
  return it != s.byWindow.end() ? it->second.get() : nullptr;
}

DialogState* AttachState(HWND hDlg, DLGPROC proc) {
  if (DialogState* st = StateOf(hDlg)) return st;
  pendingProc = proc;
  return Attach(hDlg);
}

void ExpectDialogProc(DLGPROC proc) { pendingProc = proc; }

void SetDialogFocus(HWND hDlg, HWND control) {
  if (!control) return;
  UpdateDefaultLook(hDlg, ControlOf(hDlg, control));
  SetFocus(control);
  if (GetFocus() == control && (DlgCode(control) & DLGC_HASSETSEL)) SendMessageA(control, EM_SETSEL, 0, -1);
}

void FontBaseUnits(HFONT font, int* baseX, int* baseY) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  SIZE size{};
  GetTextExtentPoint32A(dc, kLetters, 52, &size);
  SelectObject(dc, old);
  DeleteDC(dc);
  *baseX = (size.cx / 26 + 1) / 2;
  *baseY = tm.tmHeight;
  if (*baseX <= 0) *baseX = 1;
  if (*baseY <= 0) *baseY = 1;
}

void RegisterDialogClass() {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS | CS_SAVEBITS;
  wc.lpfnWndProc = DefDlgProcA;
  wc.cbWndExtra = DLGWINDOWEXTRA;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1);
  wc.lpszClassName = "#32770";
  win32::user::RegisterSystemClass(wc);
}

}  // namespace win32::dialogs

using namespace win32::dialogs;

LRESULT DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
  DialogState* st = StateOf(hDlg);
  if (!st && Msg == WM_NCCREATE) st = Attach(hDlg);
  const bool hasSlots = GetClassLongA(hDlg, GCL_CBWNDEXTRA) >= static_cast<DWORD>(DLGWINDOWEXTRA);
  if (st && hasSlots && Msg == WM_NCCREATE) SetWindowLongPtrA(hDlg, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(st->proc));
  DLGPROC proc = hasSlots ? reinterpret_cast<DLGPROC>(GetWindowLongPtrA(hDlg, DWLP_DLGPROC)) : st ? st->proc : nullptr;
  if (proc) {
    const bool hasResultSlot = hasSlots;
    if (hasResultSlot) SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, 0);
    INT_PTR answer = proc(hDlg, Msg, wParam, lParam);
    if (!IsWindow(hDlg)) return answer;
    st = StateOf(hDlg);
    if (answer) {
      if (Msg == WM_NCDESTROY) Detach(hDlg);
      if (AnswersDirectly(Msg)) return answer;
      return hasResultSlot ? GetWindowLongPtrA(hDlg, DWLP_MSGRESULT) : 0;
    }
  }
  return DefaultHandling(hDlg, Msg, wParam, lParam, st);
}

BOOL IsDialogMessageA(HWND hDlg, LPMSG lpMsg) {
  if (!hDlg || !lpMsg || !IsWindow(hDlg)) return FALSE;
  if (lpMsg->hwnd != hDlg && !IsChild(hDlg, lpMsg->hwnd)) return FALSE;
  const UINT vk = static_cast<UINT>(lpMsg->wParam);
  if (lpMsg->message == WM_KEYDOWN) {
    UINT code = lpMsg->hwnd ? static_cast<UINT>(SendMessageA(lpMsg->hwnd, WM_GETDLGCODE, lpMsg->wParam,
                                                             reinterpret_cast<LPARAM>(lpMsg)))
                            : 0;
    HWND focus = ControlOf(hDlg, GetFocus());
    if (!(code & DLGC_WANTMESSAGE)) {
      switch (vk) {
        case VK_TAB:
          if (code & DLGC_WANTTAB) break;
          if (HWND next = GetNextDlgTabItem(hDlg, focus, (GetKeyState(VK_SHIFT) & 0x8000) != 0)) {
            SetDialogFocus(hDlg, next);
          }
          return TRUE;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
          if (code & DLGC_WANTARROWS) break;
          HWND next = GetNextDlgGroupItem(hDlg, focus, vk == VK_LEFT || vk == VK_UP);
          if (next && next != focus) {
            SetDialogFocus(hDlg, next);
            if ((DlgCode(next) & DLGC_RADIOBUTTON) &&
                (GetWindowLongA(next, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON) {
              SendMessageA(next, BM_CLICK, 0, 0);
            }
          }
          return TRUE;
        }
        case VK_RETURN: {
          int id;
          if (focus && IsPushButton(DlgCode(focus))) {
            id = GetDlgCtrlID(focus);
          } else {
            LRESULT def = SendMessageA(hDlg, DM_GETDEFID, 0, 0);
            id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
          }
          HWND button = GetDlgItem(hDlg, id);
          if (!button || IsWindowEnabled(button)) {
            SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
          }
          return TRUE;
        }
        case VK_ESCAPE: {
          HWND cancel = GetDlgItem(hDlg, IDCANCEL);
          if (!cancel || IsWindowEnabled(cancel)) {
            SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
          }
          return TRUE;
        }
      }
    }
  }
  if (lpMsg->message == WM_SYSCHAR || lpMsg->message == WM_CHAR) {
    const bool wantsChars = lpMsg->message == WM_CHAR && lpMsg->hwnd &&
                            (SendMessageA(lpMsg->hwnd, WM_GETDLGCODE, lpMsg->wParam, reinterpret_cast<LPARAM>(lpMsg)) &
                             (DLGC_WANTCHARS | DLGC_WANTMESSAGE));
    if (!wantsChars && vk > ' ' && vk < 0x7F && GoToMnemonic(hDlg, static_cast<char>(vk))) return TRUE;
  }
  TranslateMessage(lpMsg);
  DispatchMessageA(lpMsg);
  return TRUE;
}

HWND GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
  std::vector<HWND> list = Controls(hDlg);
  const int n = static_cast<int>(list.size());
  if (n == 0) return nullptr;
  hCtl = ControlOf(hDlg, hCtl);
  int at = -1;
  for (int i = 0; i < n; ++i) {
    if (list[i] == hCtl) at = i;
  }
  const int step = bPrevious ? -1 : 1;
  if (at < 0) at = bPrevious ? 0 : n - 1;  // the search starts next to the end
  for (int k = 1; k <= n; ++k) {
    HWND c = list[((at + step * k) % n + n) % n];
    if ((GetWindowLongA(c, GWL_STYLE) & WS_TABSTOP) && CanFocus(c)) return c;
  }
  return hCtl;
}

HWND GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
  std::vector<HWND> list = Controls(hDlg);
  hCtl = ControlOf(hDlg, hCtl);
  int at = -1;
  for (int i = 0; i < static_cast<int>(list.size()); ++i) {
    if (list[i] == hCtl) at = i;
  }
  if (at < 0) return list.empty() ? nullptr : list.front();
  // The group runs from the control with WS_GROUP at or before hCtl to the next one.
  int first = at;
  while (first > 0 && !(GetWindowLongA(list[first], GWL_STYLE) & WS_GROUP)) --first;
  int end = at + 1;
  while (end < static_cast<int>(list.size()) && !(GetWindowLongA(list[end], GWL_STYLE) & WS_GROUP)) ++end;
  const int n = end - first;
  const int step = bPrevious ? -1 : 1;
  for (int k = 1; k < n; ++k) {
    HWND c = list[first + (((at - first) + step * k) % n + n) % n];
    if (CanFocus(c)) return c;
  }
  return hCtl;
}
