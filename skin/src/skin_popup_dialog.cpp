#include "skin/skin_popup_dialog.h"

#include "skin/skin_package.h"

namespace {
// An empty pop-up; the window is as large as its faces.
const DLGTEMPLATE kProgressTemplate = {WS_POPUP, 0, 0, 0, 10, 10, "", nullptr, 0, nullptr, 0, nullptr};
constexpr int kFaceWidth = 360;
constexpr int kFaceHeight = 120;
constexpr COLORREF kBuiltInKey = RGB(255, 0, 255);
}  // namespace

IMPLEMENT_DYNAMIC(CSkinPopupDlg, CSkinDialog)

BEGIN_MESSAGE_MAP(CSkinPopupDlg, CSkinDialog)
  ON_MESSAGE(WM_SKIN_PROGRESS, OnProgress)
END_MESSAGE_MAP()

CSkinPopupDlg::CSkinPopupDlg(CWnd* pParentWnd) { InitModalIndirect(&kProgressTemplate, pParentWnd); }

BOOL CSkinPopupDlg::OnInitDialog() {
  CSkinDialog::OnInitDialog();
  SetWindowPos(nullptr, 0, 0, kFaceWidth, kFaceHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A modal window must never run hidden: without a usable package it shows the built-in face.
  if (!LoadSelectedSkin()) ApplySkin(LoadBuiltInProgressFace(kBuiltInKey));
  CenterWindow();
  ShowWindow(SW_SHOW);
  return TRUE;
}

bool CSkinPopupDlg::LoadSelectedSkin() {
  if (!mainDialog_) return false;
  const int index = mainDialog_->SelectedSkin() - 2;
  const std::vector<CString>& names = mainDialog_->SkinNames();
  if (index < 0 || index >= static_cast<int>(names.size())) return false;
  return LoadSkinPackage(names[index]);
}

void CSkinPopupDlg::OnSkinButton(CString name) {
  if (name == "BUTTON_CANCEL") EndDialog(IDCANCEL);
}

LRESULT CSkinPopupDlg::OnProgress(WPARAM position, LPARAM duration) {
  // Only the first bar follows the conversion.
  if (progressBars_.empty()) return 0;
  progressBars_.front()->SetRange(0, static_cast<int>(duration));
  progressBars_.front()->SetPos(static_cast<int>(position));
  return 0;
}
