#pragma once
// A plain dialog that holds skin elements in the tests: it records what they report and offers
// a background picture (a vertical gradient of grey, so a copy from the wrong place shows).
#include <vector>

#include "mfc/afxwnd.h"
#include "skin/skin_host.h"

namespace skin_test {

inline constexpr COLORREF kHostFace = RGB(30, 30, 30);

// The background's colour at dialog row y.
inline COLORREF HostBackground(int y) { return RGB(40 + y, 40 + y, 40 + y); }

class CHostDialog : public CDialog, public CSkinHost {
 public:
  std::vector<int> buttons;
  std::vector<int> options;

  // A popup of 200 x 150 at (40, 30) on the screen, shown.
  void Open(bool withBackground = true);
  CDC* BackgroundDC() override { return background_.GetSafeHdc() ? &background_ : nullptr; }
  void OnButtonCommand(int index) override { buttons.push_back(index); }
  void OnOptionCommand(int index) override { options.push_back(index); }
  void OnSliderCommand(int, int) override {}
  void OnListDblClk(int) override {}

 protected:
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  DECLARE_MESSAGE_MAP()

 private:
  CDC background_;
  CBitmap picture_;
};

}  // namespace skin_test
