#pragma once
// A plain top-level window that stands in for the skinned dialog: it shows a background picture
// of two colours (left half, right half), hands that picture to its controls and records what
// they report.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "mfc/afxwnd.h"
#include "skin/skin_bitmap.h"
#include "skin/skin_host.h"

namespace skin_test {

inline constexpr COLORREF kBackLeft = RGB(10, 20, 30);
inline constexpr COLORREF kBackRight = RGB(40, 50, 60);

class TestHost : public CWnd, public CSkinHost {
 public:
  // A window of that size at (x, y) on the screen; the background changes colour at width / 2.
  TestHost(int x, int y, int width, int height);
  // A window showing picture (a skin's background) at its size.
  TestHost(int x, int y, HBITMAP picture);
  ~TestHost() override;

  CDC* BackgroundDC() override { return &background_; }
  void OnButtonCommand(int) override {}
  void OnOptionCommand(int) override {}
  void OnSliderCommand(int index, int pos) override { sliderCommands.emplace_back(index, pos); }
  void OnListDblClk(int index) override { listDblClks.push_back(index); }

  // A point of a child window's client area on the screen.
  static POINT ScreenPoint(CWnd& child, int x, int y);

  std::vector<std::pair<int, int>> sliderCommands;
  std::vector<int> listDblClks;

 protected:
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  DECLARE_MESSAGE_MAP()

 private:
  void Show(int x, int y);

  CDC background_;
  CBitmap picture_;
  HGDIOBJ oldPicture_ = nullptr;
  int width_;
  int height_;
};

// A bitmap made at test time and read back through the validating reader, as the loader reads
// skin bitmaps. colour(x, y) counts y from the top.
SkinBitmap MakeBitmap(int width, int height, const std::function<COLORREF(int x, int y)>& colour);
SkinBitmap MakeBitmap(int width, int height, COLORREF fill);

}  // namespace skin_test
