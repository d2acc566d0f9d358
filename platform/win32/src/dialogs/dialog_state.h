#pragma once
// The dialog manager's state of one dialog window, kept beside the window for its lifetime.
#include <memory>

#include "win32/modal.h"
#include "win32/windlg.h"

namespace win32::dialogs {

using win32::ModalScope;
using win32::OwnerFocus;
using win32::ModalWindow;

struct DialogState {
  DLGPROC proc = nullptr;  // also in DWLP_DLGPROC when the class has the room
  HFONT font = nullptr;
  bool ownsFont = false;
  int baseX = 0;  // dialog base units of the font
  int baseY = 0;
  int defId = 0;  // DM_SETDEFID; 0 until set
  HWND savedFocus = nullptr;
  bool modal = false;
  bool ended = false;
  INT_PTR result = 0;
  HWND disabledOwner = nullptr;  // the owner this dialog's modal loop disabled
};

// The state of a window the dialog manager created, or null.
DialogState* StateOf(HWND hDlg);

// The state of a dialog window, made when missing (a window of a dialog class whose procedure
// does not pass WM_NCCREATE on).
DialogState* AttachState(HWND hDlg, DLGPROC proc);
// The dialog procedure for the next dialog window this thread creates.
void ExpectDialogProc(DLGPROC proc);

// Registers "#32770", whose procedure is DefDlgProc.
void RegisterDialogClass();

// Base units of a font: average width of the letters and the cell height.
void FontBaseUnits(HFONT font, int* baseX, int* baseY);

// Sets the focus to a control the way keyboard navigation does: an edit control gets its
// whole text selected, and a push button that gains the focus shows as the default.
void SetDialogFocus(HWND hDlg, HWND control);

// Runs a modal dialog from a template with the description the modal list shows (a message
// box's text); returns EndDialog's result or -1.
INT_PTR DialogBoxWithDescription(HINSTANCE instance, LPCDLGTEMPLATE t, HWND parent, DLGPROC proc, LPARAM param,
                                 ModalWindow description);

}  // namespace win32::dialogs
