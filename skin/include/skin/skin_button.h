#pragma once
// Skin buttons: push buttons whose face is one of four state pictures cut from a strip of the
// skin (normal, hover, pressed or checked, disabled, side by side), drawn with the skin's key
// colour left out. A click goes to the owning dialog (CSkinHost) by the button's index.
#include "mfc/afxcmn.h"
#include "mfc/afxwin.h"
#include "skin/skin_model.h"

class CSkinButton : public CButton {
 public:
  CSkinButton() = default;
  ~CSkinButton() override;
  CSkinButton(const CSkinButton&) = delete;
  CSkinButton& operator=(const CSkinButton&) = delete;

  // Creates the visible button on the entry's rectangle of dialog and takes the entry's name,
  // index, flags, pictures and tooltip.
  BOOL CreateFromSkin(const SkinButtonInfo& info, COLORREF transparentColour, CWnd* dialog);

  // Cuts the four states from the strip, each quarter stretched to the client size. An empty
  // strip leaves a button that paints nothing but still reports clicks.
  void LoadSkinImage(HBITMAP strip);
  // Null text does nothing; otherwise one tool over the client area gets the text.
  void SetToolTipText(LPCTSTR text, BOOL activate);
  void ActivateToolTip(BOOL activate);
  void SetCheck(BOOL checked);

  const CString& Name() const { return name_; }
  int Index() const { return index_; }
  BOOL IsChecked() const { return isChecked_; }
  BOOL IsHover() const { return hover_; }

  BOOL PreTranslateMessage(MSG* pMsg) override;
  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

 protected:
  void PreSubclassWindow() override;
  // What a click inside the button does.
  virtual void OnClicked();
  // Whether a mouse move may light the hover picture now.
  virtual bool TracksHover() const { return true; }

  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnCaptureChanged(CWnd* pWnd);
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);

  CString name_;
  int index_ = 0;
  BOOL isChecked_ = FALSE;
  BOOL toggleLook_ = FALSE;
  BOOL hover_ = FALSE;
  COLORREF transparentColour_ = 0;

  DECLARE_MESSAGE_MAP()

 private:
  int ImageToDraw(UINT itemState) const;

  CToolTipCtrl* toolTip_ = nullptr;
  HBITMAP states_[4] = {};
};

// An option of the dialog's one radio group: a click checks it and tells the dialog, which
// unchecks the others; a checked option shows no hover.
class CSkinOptionButton : public CSkinButton {
 public:
  BOOL CreateFromSkin(const SkinOptionInfo& info, COLORREF transparentColour, CWnd* dialog);

 protected:
  void OnClicked() override;
  bool TracksHover() const override { return !isChecked_; }
};

class CSkinComboBox;

// A combo box's drop-down button: a click opens or closes that combo box's drop list.
class CSkinCommandButton : public CSkinButton {
 public:
  // Creates the button on the combo box's button rectangle of dialog, cut from strip.
  BOOL CreateForCombo(CSkinComboBox& combo, HBITMAP strip, COLORREF transparentColour, CWnd* dialog);

 protected:
  void OnClicked() override;

 private:
  CSkinComboBox* combo_ = nullptr;
};
