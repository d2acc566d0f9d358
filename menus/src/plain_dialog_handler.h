#pragma once
// Gives dialogs the library did not make (plain "#32770" windows created while the library's
// option asks for it) styled pop-ups and, with the second option, a styled system menu: a handler
// subclasses the dialog from its creation to its WM_DESTROY.
#include "win32/windows.h"

namespace styled_menu {

bool IsPlainDialog(HWND hwnd);
// Subclasses the dialog; the handler frees itself when the dialog is destroyed.
void AttachPlainDialogHandler(HWND hwnd);

}  // namespace styled_menu
