#include "skin/label.h"

#include <cstdio>

#include "skin/skin_host.h"

BEGIN_MESSAGE_MAP(CLabel, CStatic)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CLabel::CreateFromSkin(const SkinLabelInfo& info, CWnd* dialog) {
  if (!Create(info.text, WS_VISIBLE | WS_CHILD, info.rect, dialog)) return FALSE;
  name_ = info.name;
  index_ = info.index;
  text_ = info.text;
  if (!info.faceName.IsEmpty()) SetFaceName(info.faceName);
  if (info.pointSize > 0) SetFontSize(info.pointSize);
  if (info.textColour != kNoSkinColour) SetTextColour(info.textColour);
  return TRUE;
}

void CLabel::PreSubclassWindow() {
  CStatic::PreSubclassWindow();
  HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  ::GetObject(font, sizeof logFont_, &logFont_);
}

void CLabel::SetText(LPCTSTR text) {
  text_ = text ? text : "";
  SetWindowText(text_);
  Invalidate();
}

void CLabel::SetTextColour(COLORREF colour) {
  textColour_ = colour;
  Invalidate();
}

void CLabel::SetBold(BOOL bold) {
  logFont_.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  RebuildFont();
}

void CLabel::SetItalic(BOOL italic) {
  logFont_.lfItalic = italic ? 1 : 0;
  RebuildFont();
}

void CLabel::SetUnderline(BOOL underline) {
  logFont_.lfUnderline = underline ? 1 : 0;
  RebuildFont();
}

void CLabel::SetFaceName(LPCTSTR faceName) {
  std::snprintf(logFont_.lfFaceName, LF_FACESIZE, "%s", faceName ? faceName : "");
  RebuildFont();
}

void CLabel::SetFontSize(int points) {
  // The point size in the current face gives the height and width in this screen's pixels.
  CFont sized;
  if (sized.CreatePointFont(points * 10, logFont_.lfFaceName)) {
    LOGFONT measured{};
    sized.GetLogFont(&measured);
    logFont_.lfHeight = measured.lfHeight;
    logFont_.lfWidth = measured.lfWidth;
  }
  RebuildFont();
}

void CLabel::RebuildFont() {
  font_.DeleteObject();
  font_.CreateFontIndirect(&logFont_);
  Invalidate();
}

void CLabel::CaptureBackground() {
  haveBackground_ = true;
  CRect client;
  GetClientRect(&client);
  CClientDC dc(this);
  background_.CreateCompatibleBitmap(&dc, client.Width(), client.Height());
  CSkinHost* host = SkinHostOf(*this);
  CDC* source = host ? host->BackgroundDC() : nullptr;
  if (!source) return;
  CRect inDialog = client;
  MapWindowPoints(GetParent(), reinterpret_cast<LPPOINT>(&inDialog), 2);
  CDC memory;
  memory.CreateCompatibleDC(&dc);
  CBitmap* old = memory.SelectObject(&background_);
  memory.BitBlt(0, 0, client.Width(), client.Height(), source, inDialog.left, inDialog.top, SRCCOPY);
  memory.SelectObject(old);
}

void CLabel::DrawLabel(CDC* dc) {
  if (!haveBackground_) CaptureBackground();
  CRect client;
  GetClientRect(&client);
  CDC memory;
  memory.CreateCompatibleDC(dc);
  CBitmap* old = memory.SelectObject(&background_);
  dc->BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
  memory.SelectObject(old);

  dc->SetROP2(R2_COPYPEN);
  dc->SetBkMode(TRANSPARENT);
  CFont* oldFont = font_.GetSafeHandle() ? dc->SelectObject(&font_) : nullptr;
  dc->SetTextColor(textColour_);
  dc->DrawText(text_, &client, DT_LEFT | DT_TOP);
  if (oldFont) dc->SelectObject(oldFont);
}

// The label paints everything in WM_PAINT, so erasing would only flicker.
BOOL CLabel::OnEraseBkgnd(CDC*) { return TRUE; }

void CLabel::OnPaint() {
  CPaintDC dc(this);
  DrawLabel(&dc);
}
