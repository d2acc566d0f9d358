#pragma once
// The multi-column list of a skin: a report list without a header whose rows are painted in the
// skin's colours, double-buffered, scrolled through a skinned scroll bar at its right edge.
// Column 0 numbers the rows; columns 1 to 3 hold the row's texts.
#include "mfc/afxcmn.h"
#include "skin/skin_host.h"
#include "skin/skin_model.h"
#include "skin/skin_scroll_bar.h"

class CSkinListBoxCtrl : public CListCtrl {
 public:
  CSkinListBoxCtrl() = default;
  ~CSkinListBoxCtrl() override;

  // Creates the list as the skin describes it on the host dialog parent, with its scroll bar
  // (taking the bitmaps over from info) and its four columns.
  BOOL CreateFromSkin(SkinListBoxInfo& info, CWnd* parent);

  void SetColours(const SkinListColours& colours);
  // Turns the list's own bars off and puts the skinned bar at the list's right edge.
  void SetScrollBarBitmaps(SkinScrollBarBitmaps& bitmaps);
  // Appends a row numbered after the rows before it.
  void AddRow(LPCTSTR text1, LPCTSTR text2, LPCTSTR text3);
  // Moves a row to position to; FALSE when from equals to or either is negative.
  BOOL MoveItem(int from, int to);
  void DeleteSelected();

  CSkinScrollBar& GetScrollBar() { return scrollBar_; }
  int GetIndex() const { return index_; }
  const CString& GetName() const { return name_; }

 protected:
  afx_msg void OnCustomDraw(NMHDR* header, LRESULT* result);
  afx_msg void OnDblClk(NMHDR* header, LRESULT* result);
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
  afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
  afx_msg void OnKeyUp(UINT key, UINT repeat, UINT flags);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  DECLARE_MESSAGE_MAP()

 private:
  CString name_;
  int index_ = 0;
  CSkinScrollBar scrollBar_;
  CFont font_;
  SkinListColours colours_{RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 0, 128), RGB(255, 255, 255)};
  bool paintingSelected_ = false;
};
