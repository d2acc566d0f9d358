// The temporary handler of plain dialogs: pop-up initialisation, mnemonics, measuring and drawing
// of styled menu items, and the dialog's system menu as a styled menu.
#include "plain_dialog_handler.h"

#include <cstdint>
#include <cstring>
#include <map>

#include "library.h"
#include "menus/styled_menu.h"
#include "menus/styled_menu_options.h"

namespace styled_menu {
namespace {

constexpr char kHandlerProperty[] = "CStyledMenuTempHandler";

// Dialogs whose procedure another subclass took over after the handler: the handler cannot put
// the saved procedure back, so it keeps passing messages on until the window is gone.
std::map<HWND, WNDPROC>& OrphanedProcedures() {
  static auto* procedures = new std::map<HWND, WNDPROC>;
  return *procedures;
}

class PlainDialogHandler {
 public:
  explicit PlainDialogHandler(HWND hwnd) : window_(hwnd) {}
  PlainDialogHandler(const PlainDialogHandler&) = delete;
  PlainDialogHandler& operator=(const PlainDialogHandler&) = delete;

  bool Attach() {
    if (!SetPropA(window_, kHandlerProperty, this)) return false;
    saved_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure)));
    if (saved_) return true;
    RemovePropA(window_, kHandlerProperty);
    return false;
  }

  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  LRESULT Saved(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(saved_, window_, message, wParam, lParam);
  }
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  // Lets go of the dialog: its procedure back when it is still the handler's, the property, and the
  // system menu (the dialog's own, detached rather than destroyed).
  void Release() {
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window_, GWLP_WNDPROC)) == &Procedure)
      SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(saved_));
    else
      OrphanedProcedures()[window_] = saved_;
    RemovePropA(window_, kHandlerProperty);
    systemMenu_.DetachMenu();
  }

  HWND window_;
  WNDPROC saved_ = nullptr;
  CStyledMenu systemMenu_;
};

LRESULT PlainDialogHandler::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITMENUPOPUP: {
      const LRESULT result = Saved(message, wParam, lParam);
      CStyledMenu::InitMenuPopup(window_, reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam));
      return result;
    }
    case WM_MENUCHAR: {
      CMenu* menu = CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(lParam));
      if (menu && menu->IsKindOf(RUNTIME_CLASS(CStyledMenu)))
        return CStyledMenu::OnMenuChar(LOWORD(wParam), HIWORD(wParam), menu);
      break;
    }
    case WM_INITDIALOG: {
      const LRESULT result = Saved(message, wParam, lParam);
      if (Lib().options & CStyledMenuOptionGuard::kAttachSystemMenus) {
        HMENU system = GetSystemMenu(window_, FALSE);
        if (system && !CStyledMenu::FromMenuHandle(system) && !systemMenu_.m_hMenu) systemMenu_.Attach(system);
      }
      return result;
    }
    case WM_MEASUREITEM: {
      const MSG request{window_, message, wParam, lParam, 0, {0, 0}};
      if (CStyledMenu::MeasureItemFromMessage(&request)) return 1;
      break;
    }
    case WM_DRAWITEM: {
      auto* request = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
      if (systemMenu_.m_hMenu && request && request->CtlType == ODT_MENU) {
        if (CStyledMenu* menu = CStyledMenu::FromMenuHandle(reinterpret_cast<HMENU>(request->hwndItem))) {
          menu->DrawItem(request);
          return 1;
        }
      }
      break;
    }
    case WM_DESTROY: {
      const LRESULT result = Saved(message, wParam, lParam);
      Release();
      delete this;
      return result;
    }
  }
  return Saved(message, wParam, lParam);
}

LRESULT CALLBACK PlainDialogHandler::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (auto* handler = static_cast<PlainDialogHandler*>(GetPropA(hwnd, kHandlerProperty)))
    return handler->Handle(message, wParam, lParam);
  auto& orphaned = OrphanedProcedures();
  auto found = orphaned.find(hwnd);
  if (found == orphaned.end()) return DefWindowProcA(hwnd, message, wParam, lParam);
  const WNDPROC saved = found->second;
  if (message == WM_NCDESTROY) orphaned.erase(found);
  return CallWindowProcA(saved, hwnd, message, wParam, lParam);
}

}  // namespace

bool IsPlainDialog(HWND hwnd) {
  char name[8] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return std::strcmp(name, "#32770") == 0;
}

void AttachPlainDialogHandler(HWND hwnd) {
  if (GetPropA(hwnd, kHandlerProperty)) return;
  auto* handler = new PlainDialogHandler(hwnd);
  if (!handler->Attach()) delete handler;
}

}  // namespace styled_menu
