#include "skin/skin_button.h"

#include "skin/skin_combo_box.h"
#include "skin/skin_host.h"

namespace {
enum StateImage { kNormal = 0, kHover = 1, kPressed = 2, kDisabled = 3 };
}  // namespace

BEGIN_MESSAGE_MAP(CSkinButton, CButton)
  ON_WM_KILLFOCUS()
  ON_WM_MOUSEMOVE()
  ON_WM_CAPTURECHANGED()
  ON_WM_ERASEBKGND()
  ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

CSkinButton::~CSkinButton() {
  for (HBITMAP& state : states_)
    if (state) DeleteObject(state);
  if (toolTip_) {
    toolTip_->DestroyWindow();
    delete toolTip_;
  }
}

BOOL CSkinButton::CreateFromSkin(const SkinButtonInfo& info, COLORREF transparentColour, CWnd* dialog) {
  if (!Create("", WS_VISIBLE | WS_CHILD, info.rect, dialog, 0)) return FALSE;
  name_ = info.name;
  index_ = info.index;
  toggleLook_ = info.toggleLook;
  transparentColour_ = transparentColour;
  LoadSkinImage(info.strip.Get());
  if (!info.toolTip.IsEmpty()) SetToolTipText(info.toolTip, TRUE);
  return TRUE;
}

void CSkinButton::LoadSkinImage(HBITMAP strip) {
  BITMAP source{};
  if (!strip || !GetObject(strip, sizeof source, &source)) return;
  const int quarter = source.bmWidth / 4;
  CRect client;
  GetClientRect(&client);
  HDC windowDC = ::GetDC(m_hWnd);
  HDC from = CreateCompatibleDC(windowDC);
  HDC to = CreateCompatibleDC(windowDC);
  HGDIOBJ oldFrom = SelectObject(from, strip);
  for (int i = 0; i < 4; ++i) {
    if (states_[i]) DeleteObject(states_[i]);
    states_[i] = CreateCompatibleBitmap(windowDC, client.Width(), client.Height());
    HGDIOBJ oldTo = SelectObject(to, states_[i]);
    StretchBlt(to, 0, 0, client.Width(), client.Height(), from, i * quarter, 0, quarter, source.bmHeight, SRCCOPY);
    SelectObject(to, oldTo);
  }
  SelectObject(from, oldFrom);
  DeleteDC(to);
  DeleteDC(from);
  ::ReleaseDC(m_hWnd, windowDC);
  ModifyStyle(WS_BORDER | WS_TABSTOP, 0);
}

void CSkinButton::SetToolTipText(LPCTSTR text, BOOL activate) {
  if (!text) return;
  if (!toolTip_) {
    toolTip_ = new CToolTipCtrl;
    toolTip_->Create(this);
    toolTip_->Activate(FALSE);
  }
  if (toolTip_->GetToolCount() == 0) {
    CRect client;
    GetClientRect(&client);
    toolTip_->AddTool(this, text, &client, 1);
  }
  toolTip_->UpdateTipText(text, this, 1);
  toolTip_->Activate(activate);
}

void CSkinButton::ActivateToolTip(BOOL activate) {
  if (toolTip_ && toolTip_->GetToolCount() > 0) toolTip_->Activate(activate);
}

void CSkinButton::SetCheck(BOOL checked) {
  if (isChecked_ == checked) return;
  isChecked_ = checked;
  Invalidate();
}

BOOL CSkinButton::PreTranslateMessage(MSG* pMsg) {
  if (!toolTip_) {
    toolTip_ = new CToolTipCtrl;
    toolTip_->Create(this);
    toolTip_->Activate(FALSE);
  }
  toolTip_->RelayEvent(pMsg);
  return CButton::PreTranslateMessage(pMsg);
}

void CSkinButton::PreSubclassWindow() {
  CButton::PreSubclassWindow();
  if ((GetStyle() & BS_TYPEMASK) == BS_DEFPUSHBUTTON) hover_ = TRUE;
  // Through the style bits: during creation the button does not take messages yet.
  ModifyStyle(WS_TABSTOP, BS_OWNERDRAW);
  Invalidate();
}

int CSkinButton::ImageToDraw(UINT itemState) const {
  if (toggleLook_) return isChecked_ ? kPressed : kNormal;
  if (isChecked_ && !hover_) return kPressed;
  if (itemState & ODS_SELECTED) return kPressed;
  if (hover_) return kHover;
  if (itemState & ODS_DISABLED) return kDisabled;
  return kNormal;
}

void CSkinButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
  HBITMAP image = states_[ImageToDraw(lpDrawItemStruct->itemState)];
  if (!image) return;
  CRect client;
  GetClientRect(&client);
  HDC memory = CreateCompatibleDC(lpDrawItemStruct->hDC);
  HGDIOBJ old = SelectObject(memory, image);
  TransparentBlt(lpDrawItemStruct->hDC, 0, 0, client.Width(), client.Height(), memory, 0, 0, client.Width(),
                 client.Height(), transparentColour_);
  SelectObject(memory, old);
  DeleteDC(memory);
}

void CSkinButton::OnClicked() {
  if (CSkinHost* host = SkinHostOf(*this)) host->OnButtonCommand(index_);
}

void CSkinButton::OnMouseMove(UINT nFlags, CPoint point) {
  CButton::OnMouseMove(nFlags, point);
  if (!TracksHover()) return;
  const bool leftDown = (nFlags & MK_LBUTTON) != 0;
  if (leftDown && !hover_) return;
  if (::GetCapture() != m_hWnd && ::GetActiveWindow() && GetOwner()) {
    hover_ = TRUE;
    SetCapture();
    Invalidate();
    return;
  }
  POINT screen = point;
  ClientToScreen(&screen);
  HWND under = ::WindowFromPoint(screen);
  if (under && under != m_hWnd) {
    if (hover_) {
      hover_ = FALSE;
      Invalidate();
    }
    if (!leftDown) ReleaseCapture();
  }
}

void CSkinButton::OnCaptureChanged(CWnd* pWnd) {
  if (hover_) {
    ReleaseCapture();
    Invalidate();
  }
  CButton::OnCaptureChanged(pWnd);
}

void CSkinButton::OnKillFocus(CWnd* pNewWnd) {
  CButton::OnKillFocus(pNewWnd);
  hover_ = FALSE;
  Invalidate();
}

BOOL CSkinButton::OnEraseBkgnd(CDC*) { return FALSE; }

void CSkinButton::OnLButtonUp(UINT nFlags, CPoint point) {
  CRect client;
  GetClientRect(&client);
  const bool inside = client.PtInRect(point) != FALSE;
  // The button's own handling first: the dialog may rebuild its skin, and this button with it.
  CButton::OnLButtonUp(nFlags, point);
  if (!inside) return;
  hover_ = FALSE;
  Invalidate();
  OnClicked();
}

BOOL CSkinOptionButton::CreateFromSkin(const SkinOptionInfo& info, COLORREF transparentColour, CWnd* dialog) {
  if (!CSkinButton::CreateFromSkin(info, transparentColour, dialog)) return FALSE;
  isChecked_ = info.checked;
  return TRUE;
}

void CSkinOptionButton::OnClicked() {
  if (!isChecked_) {
    isChecked_ = TRUE;
    Invalidate();
  }
  if (CSkinHost* host = SkinHostOf(*this)) host->OnOptionCommand(index_);
}

BOOL CSkinCommandButton::CreateForCombo(CSkinComboBox& combo, HBITMAP strip, COLORREF transparentColour,
                                        CWnd* dialog) {
  if (!Create("", WS_VISIBLE | WS_CHILD, combo.GetButtonRect(), dialog, 0)) return FALSE;
  combo_ = &combo;
  name_ = "COMBO_BTN";
  transparentColour_ = transparentColour;
  LoadSkinImage(strip);
  return TRUE;
}

void CSkinCommandButton::OnClicked() {
  if (combo_) combo_->ToggleDropDown();
}
