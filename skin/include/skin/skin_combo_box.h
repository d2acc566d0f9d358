#pragma once
// The skinned combo box: an edit, a drop-down button and a drop list below them with its own
// bitmap scroll bar. The combo box's window lies under its parts on the whole area; it draws the
// frame around the open list and puts the dialog's background back when the list closes. The
// dialog creates the drop-down button (a skin command button) on GetButtonRect and calls
// ToggleDropDown when it is clicked. Each part works on its own combo box.
#include "mfc/afxcmn.h"
#include "mfc/afxwin.h"
#include "skin/skin_edit.h"
#include "skin/skin_host.h"
#include "skin/skin_model.h"
#include "skin/skin_scroll_bar.h"

class CSkinComboBox;

// The drop list: one column of texts in the skin's colours; a click picks the row into its combo.
class CSkinListCtrl : public CListCtrl {
 public:
  CSkinListCtrl() = default;
  ~CSkinListCtrl() override;

  BOOL CreateFor(CSkinComboBox* combo, const CRect& rect, const SkinListColours& colours, CWnd* parent);
  // Turns the list's own bars off and puts the skinned bar beside it.
  void SetupScrollBar(SkinScrollBarBitmaps& bitmaps);
  void AddItem(LPCTSTR text);
  // Keeps the rows that are not selected, in order.
  void RemoveSelected();
  // Shows or hides the list with its scroll bar.
  void ShowWithScrollBar(BOOL show);
  CSkinScrollBar& GetScrollBar() { return scrollBar_; }

 protected:
  afx_msg void OnCustomDraw(NMHDR* header, LRESULT* result);
  afx_msg void OnClick(NMHDR* header, LRESULT* result);
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
  afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags);
  afx_msg void OnKeyUp(UINT key, UINT repeat, UINT flags);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  DECLARE_MESSAGE_MAP()

 private:
  CSkinComboBox* combo_ = nullptr;
  CSkinScrollBar scrollBar_;
  CFont font_;
  SkinListColours colours_{RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 0, 128), RGB(255, 255, 255)};
  bool paintingSelected_ = false;
};

class CSkinComboBox : public CStatic {
 public:
  CSkinComboBox() = default;
  ~CSkinComboBox() override;

  // Creates the combo box and its edit and drop list as the skin describes them on the host
  // dialog parent, taking the bitmaps over from info. The drop list starts hidden.
  BOOL CreateFromSkin(SkinComboBoxInfo& info, CWnd* parent);

  // Opens a closed list and closes an open one.
  void ToggleDropDown();
  // Puts text into the edit and closes the list.
  void SetText(LPCTSTR text);
  void AddString(LPCTSTR text) { list_.AddItem(text); }
  BOOL IsListHidden() const { return listHidden_; }

  const CRect& GetButtonRect() const { return parts_.button; }
  // The edit, the button and the drop list together, in the dialog.
  const CRect& GetDropDownRect() const { return parts_.whole; }
  CSkinEdit& GetEdit() { return edit_; }
  CSkinListCtrl& GetDropList() { return list_; }
  int GetIndex() const { return index_; }
  const CString& GetName() const { return name_; }

 protected:
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnPaint();
  DECLARE_MESSAGE_MAP()

 private:
  // The list's area with the frame pixel around it, in the combo box's client coordinates.
  CRect FramedListArea() const;

  CString name_;
  int index_ = 0;
  BOOL listHidden_ = FALSE;
  SkinComboParts parts_;
  CRect windowRect_;  // in the dialog
  CSkinEdit edit_;
  CSkinListCtrl list_;
  BOOL needBackground_ = TRUE;
  CDC backgroundDC_;
  CBitmap background_;
  // A handle: the object SelectObject hands back is temporary and goes at the next idle time.
  HGDIOBJ oldBackground_ = nullptr;
};
