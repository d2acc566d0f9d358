#include "skin/colour_picker.h"

#include <cstdio>

#include "skin/buffer_dc.h"
#include "windows_xp.h"

IMPLEMENT_DYNCREATE(CColourPicker, CButton)

namespace {

std::string& DefaultRegistrySection() {
  static std::string section;
  return section;
}

// Theme parts and states the picker draws.
constexpr int kButtonPushPart = 1;
constexpr int kEditTextPart = 1;
constexpr int kComboDropPart = 1;
constexpr int kStateNormal = 1;
constexpr int kStateHot = 2;
constexpr int kStatePressed = 3;
constexpr int kStateDisabled = 4;
constexpr int kStateDefaulted = 5;

BOOL FlatMenus() {
  BOOL flat = FALSE;
  return IsWindowsXpOrLater() && SystemParametersInfoA(SPI_GETFLATMENU, 0, &flat, 0) && flat;
}

}  // namespace

CColourPicker::CColourPicker() : defaultColour_(GetSysColor(COLOR_APPWORKSPACE)), flatMenus_(FlatMenus()) {}

CColourPicker::~CColourPicker() = default;  // the theme handles close themselves

COLORREF CColourPicker::GetColour(BOOL resolveAutomatic) const {
  return resolveAutomatic && colour_ == CLR_DEFAULT ? defaultColour_ : colour_;
}

void CColourPicker::RepaintIfShown() {
  if (GetSafeHwnd()) Invalidate();
}

void CColourPicker::SetColour(COLORREF colour) {
  colour_ = colour;
  RepaintIfShown();
}

void CColourPicker::SetDefaultColour(COLORREF colour) {
  defaultColour_ = colour;
  if (colour_ == CLR_DEFAULT) RepaintIfShown();
}

void CColourPicker::SetCustomText(LPCTSTR text) { customText_ = text ? text : ""; }

void CColourPicker::SetDefaultText(LPCTSTR text) {
  defaultText_ = text ? text : "";
  if (comboStyle_ && colour_ == CLR_DEFAULT) RepaintIfShown();
}

void CColourPicker::SetRegistrySection(LPCTSTR section) { registrySection_ = section ? section : ""; }

void CColourPicker::SetDefaultRegistrySection(LPCTSTR section) { DefaultRegistrySection() = section ? section : ""; }

void CColourPicker::SetComboStyle(BOOL comboStyle) {
  comboStyle_ = comboStyle;
  if (comboStyle && GetSafeHwnd()) {
    // As tall as a combo box in the control's font.
    CClientDC dc(this);
    CFont* font = GetFont();
    CFont* old = font ? dc.SelectObject(font) : nullptr;
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc.GetSafeHdc(), &metrics);
    if (old) dc.SelectObject(old);
    CRect rect;
    GetWindowRect(&rect);
    GetParent()->ScreenToClient(&rect);
    SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), metrics.tmHeight + 8, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  RepaintIfShown();
}

void CColourPicker::SetRgbLetters(LPCTSTR letters) {
  rgbLetters_ = letters ? letters : "";
  if (rgbLetters_.size() < 3) rgbLetters_.resize(3, ' ');
  if (comboStyle_ && colour_ != CLR_DEFAULT && CColourTable::Find(colour_) < 0) RepaintIfShown();
}

void CColourPicker::SetShowColourName(BOOL show) {
  showColourName_ = show;
  if (comboStyle_ && colour_ != CLR_DEFAULT && CColourTable::Find(colour_) >= 0) RepaintIfShown();
}

CString CColourPicker::ColourText() const {
  if (colour_ == CLR_DEFAULT) return CString(defaultText_.c_str());
  char rgb[64];
  std::snprintf(rgb, sizeof rgb, "%c:%d %c:%d %c:%d", rgbLetters_[0], GetRValue(colour_), rgbLetters_[1],
                GetGValue(colour_), rgbLetters_[2], GetBValue(colour_));
  const int index = CColourTable::Find(colour_);
  if (index < 0) return CString(rgb);
  const std::string& name = CColourTable::GetEntry(index).name;
  return CString(showColourName_ ? (name + " (" + rgb + ")").c_str() : name.c_str());
}

void CColourPicker::PreSubclassWindow() {
  ModifyStyle(0, BS_OWNERDRAW);
  CButton::PreSubclassWindow();
}

BOOL CColourPicker::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    OpenPalette();
    if (pResult) *pResult = 0;
    return TRUE;
  }
  return CButton::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CColourPicker::CreatePalette(CPoint topLeft, int buttonTop, const std::string& section) {
  auto* palette = new CColourPaletteWnd;
  if (palette->Create(topLeft, buttonTop, colour_, this, defaultText_, customText_, section, flatMenus_)) return TRUE;
  // Never shown: the window, if any, deletes itself as it goes.
  if (palette->GetSafeHwnd()) {
    palette->DestroyWindow();
  } else {
    delete palette;
  }
  return FALSE;
}

void CColourPicker::OpenPalette() {
  popupOpen_ = TRUE;
  CRect rect;
  GetWindowRect(&rect);
  const std::string& section = registrySection_.empty() ? DefaultRegistrySection() : registrySection_;
  if (!CreatePalette(CPoint(rect.left, rect.bottom), rect.top, section)) {
    // Nothing is shown, so nothing will close it.
    popupOpen_ = FALSE;
    return;
  }
  // Pressed while the palette is open.
  Invalidate();
  UpdateWindow();
  NotifyParent(CPN_DROPDOWN, colour_);
}

void CColourPicker::NotifyParent(UINT message, COLORREF colour) {
  if (CWnd* parent = GetParent()) parent->SendMessage(message, colour, GetDlgCtrlID());
}

LRESULT CColourPicker::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == VK_DOWN || wParam == VK_F4) {
        OpenPalette();
        return 0;
      }
      if (wParam == VK_UP) return 0;
      break;
    case WM_MOUSEMOVE:
      if (!mouseOver_) {
        mouseOver_ = TRUE;
        TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, GetSafeHwnd(), 0};
        _TrackMouseEvent(&track);
        if (comboStyle_) {
          DrawHotDropButton(TRUE);
        } else {
          Invalidate();
        }
      }
      break;
    case WM_MOUSELEAVE:
      mouseOver_ = FALSE;
      if (comboStyle_) {
        DrawHotDropButton(FALSE);
      } else {
        Invalidate();
      }
      return 0;
    case CPN_SELENDOK: {
      const COLORREF before = colour_;
      popupOpen_ = FALSE;
      SetColour(COLORREF(wParam));
      NotifyParent(CPN_CLOSEUP, colour_);
      NotifyParent(CPN_SELENDOK, colour_);
      if (colour_ != before) NotifyParent(CPN_SELCHANGE, colour_);
      return TRUE;
    }
    case CPN_SELENDCANCEL:
      popupOpen_ = FALSE;
      SetColour(COLORREF(wParam));
      NotifyParent(CPN_CLOSEUP, colour_);
      NotifyParent(CPN_SELENDCANCEL, colour_);
      return TRUE;
    case CPN_SELCHANGE:
      if (trackSelection_) SetColour(COLORREF(wParam));
      NotifyParent(CPN_SELCHANGE, colour_);
      return TRUE;
    case WM_THEMECHANGED:
      buttonTheme_.CloseThemeData();
      editTheme_.CloseThemeData();
      comboTheme_.CloseThemeData();
      OpenThemes();
      Invalidate();
      break;
    default:
      break;
  }
  return CButton::WindowProc(message, wParam, lParam);
}

void CColourPicker::OpenThemes() {
  if (buttonTheme_.IsNull()) buttonTheme_.OpenThemeData(GetSafeHwnd(), u"BUTTON");
  if (editTheme_.IsNull()) editTheme_.OpenThemeData(GetSafeHwnd(), u"EDIT");
  if (comboTheme_.IsNull()) comboTheme_.OpenThemeData(GetSafeHwnd(), u"COMBOBOX");
}

void CColourPicker::DrawHotDropButton(BOOL hot) {
  if (!CThemeHandle::IsAppThemed() || !GetSafeHwnd()) return;
  OpenThemes();
  if (comboTheme_.IsNull()) return;
  CClientDC dc(this);
  CRect rect;
  GetClientRect(&rect);
  rect.left = rect.right - rect.Height();
  const int state = popupOpen_ ? kStatePressed : hot ? kStateHot : kStateNormal;
  comboTheme_.DrawThemeBackground(dc.GetSafeHdc(), kComboDropPart, state, &rect, nullptr);
}

void CColourPicker::DrawArrow(CDC& dc, CRect& rect, BOOL disabled) {
  // A small arrow at the right, an etched line to its left; the rest is left for the swatch.
  const int width = 7;
  const int x = rect.right - width - 4;
  const int y = rect.top + (rect.Height() - 4) / 2;
  const COLORREF colour = GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
  for (int row = 0; row < 4; ++row) dc.FillSolidRect(x + row, y + row, width - 2 * row, 1, colour);
  CRect line(x - 4, rect.top + 1, x - 2, rect.bottom - 1);
  dc.DrawEdge(&line, EDGE_ETCHED, flatMenus_ ? BF_LEFT | BF_FLAT : BF_LEFT);
  rect.right = line.left - 1;
}

void CColourPicker::DrawItem(LPDRAWITEMSTRUCT item) {
  CDC* target = CDC::FromHandle(item->hDC);
  CRect rect(item->rcItem);
  CBufferDC dc(target, &rect);
  if (CWnd* parent = GetParent()) parent->SendMessage(WM_ERASEBKGND, WPARAM(dc.GetSafeHdc()));

  const BOOL disabled = (item->itemState & ODS_DISABLED) != 0;
  const BOOL focused = (item->itemState & ODS_FOCUS) != 0;
  // Held down, or showing its palette.
  const BOOL pressed = (item->itemState & ODS_SELECTED) != 0 || popupOpen_;
  CRect content = rect;
  const BOOL themed = CThemeHandle::IsAppThemed();
  if (themed) OpenThemes();
  if (themed && comboStyle_ && !editTheme_.IsNull() && !comboTheme_.IsNull()) {
    editTheme_.DrawThemeBackground(dc.GetSafeHdc(), kEditTextPart, disabled ? kStateDisabled : kStateNormal, &rect,
                                   nullptr);
    CRect drop(rect.right - rect.Height(), rect.top, rect.right, rect.bottom);
    const int dropState = disabled ? kStateDisabled : pressed ? kStatePressed : mouseOver_ ? kStateHot : kStateNormal;
    comboTheme_.DrawThemeBackground(dc.GetSafeHdc(), kComboDropPart, dropState, &drop, nullptr);
    content.right = drop.left;
    ::InflateRect(&content, -2, -2);
  } else if (themed && !comboStyle_ && !buttonTheme_.IsNull()) {
    const int state = pressed ? kStatePressed
                      : disabled ? kStateDisabled
                      : (item->itemState & ODS_HOTLIGHT) || mouseOver_ ? kStateHot
                      : focused ? kStateDefaulted
                                : kStateNormal;
    buttonTheme_.DrawThemeBackground(dc.GetSafeHdc(), kButtonPushPart, state, &rect, nullptr);
    buttonTheme_.GetThemeBackgroundContentRect(dc.GetSafeHdc(), kButtonPushPart, state, &rect, &content);
  } else if (comboStyle_) {
    if (!disabled) dc.FillSolidRect(&rect, GetSysColor(COLOR_WINDOW));
    dc.DrawEdge(&rect, EDGE_SUNKEN, BF_RECT);
    ::InflateRect(&content, -2, -2);
    CRect drop(content.right - content.Height(), content.top, content.right, content.bottom);
    dc.DrawFrameControl(&drop, DFC_SCROLL,
                        DFCS_SCROLLCOMBOBOX | (pressed ? DFCS_PUSHED : 0) | (disabled ? DFCS_INACTIVE : 0));
    content.right = drop.left;
  } else {
    dc.DrawFrameControl(&rect, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    ::InflateRect(&content, -3, -3);
  }
  if (!comboStyle_) DrawArrow(dc, content, disabled);

  if (focused) {
    CRect focus = content;
    if (comboStyle_) {
      dc.FillSolidRect(&focus, GetSysColor(COLOR_HIGHLIGHT));
      CBrush frame(GetSysColor(COLOR_HIGHLIGHT) ^ 0xFFFFFF);
      dc.FrameRect(&focus, &frame);
    }
    dc.DrawFocusRect(&focus);
  }
  if (disabled) return;

  ::InflateRect(&content, -2, -2);
  CRect swatch = content;
  if (comboStyle_) swatch.right = swatch.left + swatch.Height();
  dc.FillSolidRect(&swatch, GetColour(TRUE));
  CBrush frame(GetSysColor(COLOR_BTNSHADOW));
  dc.FrameRect(&swatch, &frame);
  if (!comboStyle_) return;

  CRect text = content;
  text.left = swatch.right + 4;
  const CString label = ColourText();
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  CFont* old = GetFont() ? dc.SelectObject(GetFont()) : nullptr;
  dc.DrawText(label, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  if (old) dc.SelectObject(old);
}

void DDX_ColourPicker(CDataExchange* pDX, int nIDC, COLORREF& colour) {
  HWND control = pDX->PrepareCtrl(nIDC);
  auto* picker = dynamic_cast<CColourPicker*>(CWnd::FromHandlePermanent(control));
  if (!picker) return;
  if (pDX->m_bSaveAndValidate) {
    colour = picker->GetColour();
  } else {
    picker->SetColour(colour);
  }
}
