#pragma once
// The skinned progress window: the progress face of the main dialog's selected skin package
// (the face built into the program when that package has none), a bar that follows the
// conversion and a cancel button that ends the window with IDCANCEL.
#include "skin/skin_dialog.h"

// Position and duration in whole seconds (wParam, lParam).
inline constexpr UINT WM_SKIN_PROGRESS = WM_USER + 100;

class CSkinPopupDlg : public CSkinDialog {
  DECLARE_DYNAMIC(CSkinPopupDlg)
 public:
  explicit CSkinPopupDlg(CWnd* pParentWnd = nullptr);

  // The dialog whose skin list and selected skin the window follows; set before each run.
  void SetMainDialog(CSkinDialog* mainDialog) { mainDialog_ = mainDialog; }

  BOOL OnInitDialog() override;

 protected:
  void OnSkinButton(CString name) override;
  SkinFaceKind FaceKind() const override { return SkinFaceKind::Progress; }
  afx_msg LRESULT OnProgress(WPARAM position, LPARAM duration);

  DECLARE_MESSAGE_MAP()

 private:
  bool LoadSelectedSkin();

  CSkinDialog* mainDialog_ = nullptr;
};
