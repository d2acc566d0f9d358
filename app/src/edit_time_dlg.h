#pragma once
// The Edit Time dialog: the start and end time of one row of the file list, in seconds.
#include "mfc/afxwnd.h"
#include "skin/shaded_button.h"

class CEditTimeDlg : public CDialog {
 public:
  enum { IDD = 144 };
  static constexpr int kStartId = 1022;
  static constexpr int kEndId = 1023;

  explicit CEditTimeDlg(CWnd* parent = nullptr);

  // Set by the caller, read back after OK. An end of 0 means to the end of the file.
  double start = 0;
  double end = 0;

  BOOL OnInitDialog() override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;

 private:
  CShadedButton okButton_;
  CShadedButton cancelButton_;
};
