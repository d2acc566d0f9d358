#pragma once
// The Options dialog: the full-screen preview's frame size and bit depth, and the prefix of batch
// output names.
#include "mfc/afxwnd.h"
#include "skin/shaded_button.h"

class COptionsDlg : public CDialog {
 public:
  enum { IDD = 159 };
  static constexpr int kSizeId = 1041;
  static constexpr int kDepthId = 1042;
  static constexpr int kPrefixId = 1029;

  explicit COptionsDlg(CWnd* parent = nullptr);

  // Set by the caller, read back after OK.
  int sizeIndex = 4;    // a row of the full-screen sizes
  int depthIndex = -1;  // 0 = 16, 1 = 24, 2 = 32 bits; -1: none chosen
  CString prefix;

  BOOL OnInitDialog() override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;

 private:
  CShadedButton okButton_;
  CShadedButton cancelButton_;
};
