#pragma once
// The skin's edit boxes: an edit control in the skin's text, background and frame colours and a
// font of its own. CColorFontEdit is the "EDITBOXINFO" edit; CSkinEdit, the same control with
// black defaults, is the combo box's edit part.
#include "mfc/afxwin.h"
#include "mfc/afxwnd.h"
#include "skin/skin_model.h"

class CColorFontEdit : public CEdit {
 public:
  CColorFontEdit();
  ~CColorFontEdit() override = default;

  // Creates the edit as the skin describes it on the dialog parent.
  BOOL CreateFromSkin(const SkinEditBoxInfo& info, CWnd* parent);

  void SetTextColour(COLORREF colour) { textColour_ = colour; }
  void SetBackColour(COLORREF colour);
  void SetFrameColour(COLORREF colour) { frameColour_ = colour; }
  COLORREF GetFrameColour() const { return frameColour_; }
  // Each rebuilds the font and gives it to the window. size: tenths of a point.
  void SetFontSize(int size);
  void SetFontStyle(BOOL italic, BOOL bold, BOOL underline);
  void SetFaceName(LPCTSTR faceName);

  void SetIndex(int index) { index_ = index; }
  int GetIndex() const { return index_; }
  void SetName(LPCTSTR name) { name_ = name; }
  const CString& GetName() const { return name_; }

 protected:
  CColorFontEdit(COLORREF text, COLORREF back, COLORREF frame);
  afx_msg HBRUSH CtlColor(CDC* pDC, UINT ctlColor);
  DECLARE_MESSAGE_MAP()

 private:
  void RebuildFont();

  CString name_;
  int index_ = 0;
  int fontSize_ = 200;
  COLORREF textColour_;
  COLORREF backColour_;
  COLORREF frameColour_;
  BOOL italic_ = FALSE;
  BOOL bold_ = FALSE;
  BOOL underline_ = FALSE;
  CString faceName_ = "Arial";
  CBrush backBrush_;
  CFont font_;
};

class CSkinEdit : public CColorFontEdit {
 public:
  CSkinEdit() : CColorFontEdit(RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0)) {}
};
