#pragma once
// A skin label: text drawn in its own font and colour over a copy of the dialog's background
// under it, taken once, so the skin that created the label shows through.
#include "mfc/afxwnd.h"
#include "skin/skin_model.h"

class CLabel : public CStatic {
 public:
  CLabel() = default;
  ~CLabel() override = default;
  CLabel(const CLabel&) = delete;
  CLabel& operator=(const CLabel&) = delete;

  // Creates the visible label on the entry's rectangle of dialog with the entry's text, face,
  // size and colour (what the entry leaves out keeps the label's defaults).
  BOOL CreateFromSkin(const SkinLabelInfo& info, CWnd* dialog);

  void SetText(LPCTSTR text);
  void SetTextColour(COLORREF colour);
  void SetBold(BOOL bold);
  void SetItalic(BOOL italic);
  void SetUnderline(BOOL underline);
  void SetFaceName(LPCTSTR faceName);
  void SetFontSize(int points);

  const CString& Name() const { return name_; }
  int Index() const { return index_; }
  const CString& Text() const { return text_; }

 protected:
  void PreSubclassWindow() override;
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnPaint();

  CString name_;
  int index_ = 0;

  DECLARE_MESSAGE_MAP()

 private:
  void RebuildFont();
  void CaptureBackground();
  void DrawLabel(CDC* dc);

  CBitmap background_;
  bool haveBackground_ = false;
  CString text_;
  LOGFONT logFont_{};
  CFont font_;
  COLORREF textColour_ = RGB(255, 255, 255);
};
