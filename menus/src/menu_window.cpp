// The call-window hook and the subclassed pop-up menu windows.
#include "menu_window.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>

#include "frame_painter.h"
#include "library.h"
#include "plain_dialog_handler.h"
#include "menus/styled_menu.h"
#include "menus/styled_menu_options.h"

namespace styled_menu {
namespace {

constexpr char kOldMenuProc[] = "OldMenuProc";

std::map<HWND, std::unique_ptr<MenuWindowRecord>>& Records() {
  static auto* records = new std::map<HWND, std::unique_ptr<MenuWindowRecord>>;
  return *records;
}

bool IsMenuWindow(HWND hwnd) {
  char name[21] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return std::strcmp(name, "#32768") == 0;
}

WNDPROC SavedProcedure(HWND hwnd) {
  return reinterpret_cast<WNDPROC>(reinterpret_cast<uintptr_t>(GetPropA(hwnd, kOldMenuProc)));
}

bool IsHandled(HMENU menu) { return CStyledMenu::FromMenuHandle(menu) != nullptr || Lib().drawAllMenus; }

CStyledMenuFramePainter* Style() { return Lib().currentStyle; }

bool OwnFrame() { return Style() && Style()->HasOwnFrame(); }

LRESULT CallSaved(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC saved = SavedProcedure(hwnd);
  return saved ? CallWindowProcA(saved, hwnd, message, wParam, lParam) : DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT OnPrint(HWND hwnd, MenuWindowRecord& record, HDC target, LPARAM flags) {
  record.state |= kPrinting;
  RECT window{};
  GetWindowRect(hwnd, &window);
  const int width = window.right - window.left, height = window.bottom - window.top;
  HDC memory = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  Style()->DrawFrame(hwnd, memory, record, 0);
  LRESULT result = 0;
  RECT menu{};
  if (Style()->GetMenuRect(hwnd, &menu)) {
    OffsetRect(&menu, -window.left, -window.top);
    InflateRect(&menu, -1, -1);
    const int saved = SaveDC(memory);
    IntersectClipRect(memory, menu.left, menu.top, menu.right, menu.bottom);
    result = CallSaved(hwnd, WM_PRINT, reinterpret_cast<WPARAM>(memory), flags & ~LPARAM(PRF_CLIENT));
    RestoreDC(memory, saved);
  }
  BitBlt(target, 0, 0, width, height, memory, 0, 0, SRCCOPY);
  // The client area: erased and printed into the memory context, then copied in place.
  RECT client{};
  GetClientRect(hwnd, &client);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  origin.x -= window.left;
  origin.y -= window.top;
  const int saved = SaveDC(memory);
  SetViewportOrgEx(memory, origin.x, origin.y, nullptr);
  IntersectClipRect(memory, 0, 0, client.right, client.bottom);
  SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
  SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), flags);
  RestoreDC(memory, saved);
  BitBlt(target, origin.x, origin.y, client.right - 1, client.bottom, memory, origin.x, origin.y, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  record.state &= ~kPrinting;
  return result;
}

LRESULT OnNcPaint(HWND hwnd, MenuWindowRecord& record, WPARAM wParam) {
  HRGN update = reinterpret_cast<HRGN>(wParam);
  if (!record.nonClientPainted && update != reinterpret_cast<HRGN>(1)) {
    const bool same = record.savedUpdate != reinterpret_cast<HRGN>(1) && update && EqualRgn(update, record.savedUpdate);
    if (!same) {
      if (record.savedUpdate != reinterpret_cast<HRGN>(1)) DeleteObject(record.savedUpdate);
      record.savedUpdate = reinterpret_cast<HRGN>(1);
      if (update) {
        HRGN copy = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(copy, update, nullptr, RGN_COPY);
        record.savedUpdate = copy;
      }
    }
  }
  if (record.state & kPrinting) return 0;
  if (record.nonClientPainted && OwnFrame()) {
    HDC hdc = GetWindowDC(hwnd);
    Style()->DrawFrame(hwnd, hdc, record, 0);
    RECT menu{};
    if (Style()->GetMenuRect(hwnd, &menu)) {
      InflateRect(&menu, -1, -1);
      HRGN inside = CreateRectRgnIndirect(&menu);
      CallSaved(hwnd, WM_NCPAINT, reinterpret_cast<WPARAM>(inside), 0);
      DeleteObject(inside);
      Style()->DrawFrame(hwnd, hdc, record, 1);
    }
    ReleaseDC(hwnd, hdc);
    return 0;
  }
  // The shadow needs the screen as it was before the menu painted anything.
  if (OwnFrame()) CStyledMenuFramePainter::TakeCapture(hwnd, record);
  return CallSaved(hwnd, WM_NCPAINT, wParam, 0);
}

void OnPositionChange(HWND hwnd, MenuWindowRecord& record, UINT message, WINDOWPOS* pos) {
  // Only a window whose system border came off is resized for the library's frame: one that
  // keeps the system's frame needs all of its size for its items.
  if (message == WM_WINDOWPOSCHANGING && record.handled && Style()) Style()->AdjustWindowPosition(pos);
  if (!pos || (pos->flags & SWP_NOMOVE)) return;
  const POINT now{pos->x, pos->y};
  if (record.lastPosition.x == 0 && record.lastPosition.y == 0) {
    record.lastPosition = now;
    return;
  }
  if (now.x == record.lastPosition.x && now.y == record.lastPosition.y) return;
  if (pos->flags & SWP_NOSIZE) {
    record.lastPosition = now;
    record.DropCapture();  // taken again before the frame is drawn at the new place
  } else {
    UnsubclassMenuWindow(hwnd);
  }
}

}  // namespace

MenuWindowRecord::~MenuWindowRecord() {
  if (savedUpdate != reinterpret_cast<HRGN>(1)) DeleteObject(savedUpdate);
  DropCapture();
}

void MenuWindowRecord::DropCapture() {
  if (capture) DeleteObject(capture);
  capture = nullptr;
}

MenuWindowRecord* FindMenuWindow(HWND hwnd) {
  auto& records = Records();
  auto it = records.find(hwnd);
  return it == records.end() ? nullptr : it->second.get();
}

std::vector<HMENU> OpenMenusOf(HWND owner) {
  std::vector<HMENU> menus;
  for (const auto& [hwnd, record] : Records()) {
    CStyledMenu* menu = CStyledMenu::FromMenuHandle(record->menu);
    if (menu && owner && menu->Owner() == owner) menus.push_back(record->menu);
  }
  return menus;
}

LRESULT CALLBACK HookProcedure(int code, WPARAM wParam, LPARAM lParam) {
  if (code == 0) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    int subclassed = 0;
    if (call && (call->message == WM_CREATE || call->message == kMenuWindowMessage))
      subclassed = SubclassMenuWindow(call->hwnd, call->message == kMenuWindowMessage);
    if (call && !subclassed && (Lib().options & CStyledMenuOptionGuard::kHandlePlainDialogs) && call->message == WM_CREATE &&
        IsPlainDialog(call->hwnd))
      AttachPlainDialogHandler(call->hwnd);
  }
  return CallNextHookEx(Lib().hook, code, wParam, lParam);
}

int SubclassMenuWindow(HWND hwnd, bool foundByMessage482) {
  if (!IsMenuWindow(hwnd)) return 0;
  Library& lib = Lib();
  int subclassed = 0;
  MenuWindowRecord* record = FindMenuWindow(hwnd);
  WNDPROC procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
  if (!record && procedure && !GetPropA(hwnd, kOldMenuProc)) {
    if (!SetPropA(hwnd, kOldMenuProc, reinterpret_cast<HANDLE>(reinterpret_cast<uintptr_t>(procedure)))) ShowLastError();
    if (SavedProcedure(hwnd) == procedure) {
      GlobalAddAtomA(kOldMenuProc);
      auto made = std::make_unique<MenuWindowRecord>();
      made->state = foundByMessage482 ? kFoundByMessage482 : 0;
      made->savedStyle = GetWindowLongA(hwnd, GWL_STYLE);
      made->savedExStyle = GetWindowLongA(hwnd, GWL_EXSTYLE);
      made->menu = std::exchange(lib.pendingMenu, nullptr);
      made->handled = IsHandled(made->menu);
      record = made.get();
      Records()[hwnd] = std::move(made);
      SetLastError(0);
      if (!SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MenuWindowProcedure)) && GetLastError())
        ShowLastError();
      if (Style()) Style()->PrepareWindow(hwnd, *record);
      subclassed = 1;
    }
  }
  if (lib.pendingMenu && record) {
    record->menu = std::exchange(lib.pendingMenu, nullptr);
    record->handled = IsHandled(record->menu);
    if (Style()) Style()->PrepareWindow(hwnd, *record);
  }
  return subclassed;
}

void UnsubclassMenuWindow(HWND hwnd) {
  if (WNDPROC saved = SavedProcedure(hwnd)) {
    SetLastError(0);
    if (!SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(saved)) && GetLastError()) ShowLastError();
  }
  RemovePropA(hwnd, kOldMenuProc);
  if (ATOM atom = GlobalFindAtomA(kOldMenuProc)) GlobalDeleteAtom(atom);
  auto& records = Records();
  auto it = records.find(hwnd);
  if (it == records.end()) return;
  std::unique_ptr<MenuWindowRecord> record = std::move(it->second);
  records.erase(it);
  if (Style()) Style()->RestoreWindow(hwnd, *record);
}

LRESULT CALLBACK MenuWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MenuWindowRecord* record = FindMenuWindow(hwnd);
  if (!record) return CallSaved(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) record->state |= kEscapePressed;
      Lib().lastMessagePos = GetMessagePos();
      break;
    case WM_PRINT:
      if (record->handled && OwnFrame()) return OnPrint(hwnd, *record, reinterpret_cast<HDC>(wParam), lParam);
      break;
    case WM_NCPAINT:
      if (record->handled) return OnNcPaint(hwnd, *record, wParam);
      break;
    case WM_NCCALCSIZE:
      if (record->handled && Style()) Style()->AdjustNonClientSize(reinterpret_cast<RECT*>(lParam));
      break;
    case WM_ERASEBKGND:
      if (record->handled && Style()) {
        if (OwnFrame() && !(record->state & kPrinting) && !record->nonClientPainted) {
          record->nonClientPainted = true;
          SendMessageA(hwnd, WM_NCPAINT, 1, 0);
        }
        if (Style()->EraseBackground(hwnd, reinterpret_cast<HDC>(wParam), *record)) return 1;
      }
      break;
    case WM_SHOWWINDOW:
      if (wParam == 0) {
        WNDPROC saved = SavedProcedure(hwnd);
        UnsubclassMenuWindow(hwnd);
        return saved ? CallWindowProcA(saved, hwnd, message, wParam, lParam) : 0;
      }
      break;
    case WM_NCDESTROY: {
      // The saved procedure still receives the message.
      WNDPROC saved = SavedProcedure(hwnd);
      UnsubclassMenuWindow(hwnd);
      return saved ? CallWindowProcA(saved, hwnd, message, wParam, lParam) : 0;
    }
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED: {
      WNDPROC saved = SavedProcedure(hwnd);
      OnPositionChange(hwnd, *record, message, reinterpret_cast<WINDOWPOS*>(lParam));
      return saved ? CallWindowProcA(saved, hwnd, message, wParam, lParam) : 0;
    }
  }
  return CallSaved(hwnd, message, wParam, lParam);
}

}  // namespace styled_menu
