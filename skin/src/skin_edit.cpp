#include "skin/skin_edit.h"

#include <cstring>

BEGIN_MESSAGE_MAP(CColorFontEdit, CEdit)
  ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

CColorFontEdit::CColorFontEdit() : CColorFontEdit(RGB(0, 0, 0), RGB(152, 227, 231), RGB(255, 255, 255)) {}

CColorFontEdit::CColorFontEdit(COLORREF text, COLORREF back, COLORREF frame)
    : textColour_(text), backColour_(back), frameColour_(frame) {
  backBrush_.CreateSolidBrush(backColour_);
}

BOOL CColorFontEdit::CreateFromSkin(const SkinEditBoxInfo& info, CWnd* parent) {
  // It shows what the program writes into it and takes no typing; read-only rather than
  // disabled, since a disabled edit draws its text grey whatever the skin's colour.
  if (!Create(WS_VISIBLE | ES_AUTOHSCROLL | ES_READONLY, info.rect, parent, 0)) return FALSE;
  if (info.backColour != kNoSkinColour) SetBackColour(info.backColour);
  if (info.textColour != kNoSkinColour) SetTextColour(info.textColour);
  if (info.frameColour != kNoSkinColour) SetFrameColour(info.frameColour);
  index_ = info.index;
  name_ = info.name;
  return TRUE;
}

void CColorFontEdit::SetBackColour(COLORREF colour) {
  backColour_ = colour;
  backBrush_.DeleteObject();
  backBrush_.CreateSolidBrush(colour);
}

void CColorFontEdit::SetFontSize(int size) {
  fontSize_ = size;
  RebuildFont();
}

void CColorFontEdit::SetFontStyle(BOOL italic, BOOL bold, BOOL underline) {
  italic_ = italic;
  bold_ = bold;
  underline_ = underline;
  RebuildFont();
}

void CColorFontEdit::SetFaceName(LPCTSTR faceName) {
  faceName_ = faceName;
  RebuildFont();
}

void CColorFontEdit::RebuildFont() {
  LOGFONT logFont{};
  logFont.lfHeight = fontSize_;
  logFont.lfWeight = bold_ ? FW_BOLD : FW_NORMAL;
  logFont.lfItalic = BYTE(italic_);
  logFont.lfUnderline = BYTE(underline_);
  std::strncpy(logFont.lfFaceName, faceName_, LF_FACESIZE - 1);
  font_.DeleteObject();
  font_.CreatePointFontIndirect(&logFont);
  if (m_hWnd) SetFont(&font_, TRUE);
}

// The frame lies one pixel outside the edit, on the dialog.
HBRUSH CColorFontEdit::CtlColor(CDC* pDC, UINT) {
  if (CWnd* parent = GetParent()) {
    CRect frame;
    GetWindowRect(&frame);
    parent->ScreenToClient(&frame);
    frame.InflateRect(1, 1);
    CClientDC parentDC(parent);
    CBrush frameBrush;
    frameBrush.CreateSolidBrush(frameColour_);
    parentDC.FrameRect(&frame, &frameBrush);
  }
  pDC->SetTextColor(textColour_);
  pDC->SetBkColor(backColour_);
  pDC->SetBkMode(TRANSPARENT);
  return static_cast<HBRUSH>(backBrush_.GetSafeHandle());
}
