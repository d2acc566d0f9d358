#include "skin/hover_button.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "win32/mmsystem.h"
#include "win32/shellapi.h"

IMPLEMENT_DYNAMIC(CHoverButton, CButton)

BEGIN_MESSAGE_MAP(CHoverButton, CButton)
  ON_WM_MOUSEMOVE()
  ON_WM_MOUSELEAVE()
  ON_WM_KILLFOCUS()
  ON_WM_CANCELMODE()
  ON_WM_ACTIVATE()
  ON_WM_ENABLE()
  ON_WM_SETCURSOR()
  ON_WM_GETDLGCODE()
  ON_WM_SYSCOLORCHANGE()
  ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
  ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
  ON_MESSAGE(BM_SETCHECK, OnSetCheck)
  ON_MESSAGE(BM_GETCHECK, OnGetCheck)
END_MESSAGE_MAP()

namespace {

constexpr size_t kMaxTextLength = 260;
constexpr int kTooltipWidth = 400;

// A bitmap's pixels as top-down 0x00RRGGBB words.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> rgb;
};

BITMAPINFO TopDownInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  return info;
}

bool ReadPixels(HBITMAP bitmap, Pixels& out) {
  BITMAP bm{};
  if (!bitmap || !::GetObjectA(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return false;
  out.width = bm.bmWidth;
  out.height = bm.bmHeight;
  out.rgb.assign(size_t(bm.bmWidth) * size_t(bm.bmHeight), 0);
  BITMAPINFO info = TopDownInfo(bm.bmWidth, bm.bmHeight);
  HDC dc = ::CreateCompatibleDC(nullptr);
  const int rows = ::GetDIBits(dc, bitmap, 0, UINT(bm.bmHeight), out.rgb.data(), &info, DIB_RGB_COLORS);
  ::DeleteDC(dc);
  for (uint32_t& p : out.rgb) p &= 0x00FFFFFF;
  return rows == bm.bmHeight;
}

HBITMAP MakeBitmap(const Pixels& pixels) {
  BITMAPINFO info = TopDownInfo(pixels.width, pixels.height);
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap) std::copy(pixels.rgb.begin(), pixels.rgb.end(), static_cast<uint32_t*>(bits));
  return bitmap;
}

uint32_t ToPixel(COLORREF c) { return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c); }

// The out look made from the in image: darker by a quarter, or grey, for every pixel but the
// ones left alone (black for icons, the transparent colour for bitmaps).
Pixels DeriveOut(const Pixels& in, int how, uint32_t leftAlone) {
  Pixels out = in;
  for (uint32_t& p : out.rgb) {
    if (p == leftAlone) continue;
    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    if (how == CHoverButton::kDarkenedOut) {
      p = ToPixel(RGB(r - r / 4, g - g / 4, b - b / 4));
    } else {
      const int grey = (299 * r + 587 * g + 114 * b) / 1000;
      p = ToPixel(RGB(grey, grey, grey));
    }
  }
  return out;
}

bool IsDerived(intptr_t value) { return value == CHoverButton::kDarkenedOut || value == CHoverButton::kGreyOut; }

}  // namespace

CHoverButton::CHoverButton() { SetDefaultColours(FALSE); }

CHoverButton::~CHoverButton() {
  FreeImages();
  if (cursor_) ::DestroyCursor(cursor_);
  if (background_.m_hDC) {
    background_.SelectObject(CGdiObject::FromHandle(oldBackgroundBitmap_));
    background_.DeleteDC();
  }
  if (tooltip_.GetSafeHwnd()) tooltip_.DestroyWindow();
}

void CHoverButton::FreeImages() {
  for (Image& image : icons_) {
    if (image.icon) ::DestroyIcon(image.icon);
    image = Image{};
  }
  for (Image& image : bitmaps_) {
    if (image.bitmap) ::DeleteObject(image.bitmap);
    if (image.mask) ::DeleteObject(image.mask);
    image = Image{};
  }
}

void CHoverButton::RepaintIf(BOOL repaint) {
  if (repaint && GetSafeHwnd()) Invalidate();
}

// ---- Images -------------------------------------------------------------------------------------

DWORD CHoverButton::SetIcon(int inIconId, int outIconId) {
  HINSTANCE module = AfxGetResourceHandle();
  auto load = [module](int id) {
    return id > 0 ? static_cast<HICON>(::LoadImageA(module, MAKEINTRESOURCE(id), IMAGE_ICON, 0, 0, 0)) : nullptr;
  };
  HICON in = load(inIconId);
  HICON out = IsDerived(outIconId) ? reinterpret_cast<HICON>(intptr_t(outIconId)) : load(outIconId);
  if ((inIconId > 0 && !in) || (outIconId > 0 && !out)) {
    if (in) ::DestroyIcon(in);
    if (out && !IsDerived(outIconId)) ::DestroyIcon(out);
    return kInvalidResource;
  }
  return SetIcon(in, out);
}

DWORD CHoverButton::SetIcon(HICON inIcon, HICON outIcon) {
  FreeImages();
  const intptr_t outValue = reinterpret_cast<intptr_t>(outIcon);
  const bool derive = IsDerived(outValue);
  if (!inIcon) {
    if (outIcon && !derive) ::DestroyIcon(outIcon);
    RepaintIf(TRUE);
    return kOk;
  }
  auto examine = [](HICON icon, Image& image, Pixels* colour, HBITMAP* mask) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return false;
    BITMAP bm{};
    ::GetObjectA(info.hbmMask, sizeof bm, &bm);
    image.icon = icon;
    image.width = bm.bmWidth;
    image.height = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    const bool read = !colour || (info.hbmColor && ReadPixels(info.hbmColor, *colour));
    if (mask && read) {
      *mask = info.hbmMask;
    } else {
      ::DeleteObject(info.hbmMask);
    }
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    return read;
  };
  Pixels colour;
  HBITMAP mask = nullptr;
  if (!examine(inIcon, icons_[0], derive ? &colour : nullptr, derive ? &mask : nullptr)) {
    ::DestroyIcon(inIcon);
    icons_[0] = Image{};
    if (outIcon && !derive) ::DestroyIcon(outIcon);
    return kInvalidResource;
  }
  if (derive) {
    HBITMAP darker = MakeBitmap(DeriveOut(colour, int(outValue), 0));
    ICONINFO made{TRUE, 0, 0, mask, darker};
    icons_[1] = icons_[0];
    icons_[1].icon = darker ? ::CreateIconIndirect(&made) : nullptr;
    if (darker) ::DeleteObject(darker);
    ::DeleteObject(mask);
    if (!icons_[1].icon) icons_[1] = Image{};
  } else if (outIcon && !examine(outIcon, icons_[1], nullptr, nullptr)) {
    ::DestroyIcon(outIcon);
    icons_[1] = Image{};
    return kInvalidResource;
  }
  RepaintIf(TRUE);
  return kOk;
}

DWORD CHoverButton::SetBitmaps(int inBitmapId, COLORREF inTransparent, int outBitmapId, COLORREF outTransparent) {
  HINSTANCE module = AfxGetResourceHandle();
  auto load = [module](int id) {
    return id > 0 ? static_cast<HBITMAP>(::LoadImageA(module, MAKEINTRESOURCE(id), IMAGE_BITMAP, 0, 0, 0)) : nullptr;
  };
  HBITMAP in = load(inBitmapId);
  HBITMAP out = IsDerived(outBitmapId) ? reinterpret_cast<HBITMAP>(intptr_t(outBitmapId)) : load(outBitmapId);
  if ((inBitmapId > 0 && !in) || (outBitmapId > 0 && !out)) {
    if (in) ::DeleteObject(in);
    if (out && !IsDerived(outBitmapId)) ::DeleteObject(out);
    return kInvalidResource;
  }
  return SetBitmaps(in, inTransparent, out, outTransparent);
}

DWORD CHoverButton::SetBitmaps(HBITMAP inBitmap, COLORREF inTransparent, HBITMAP outBitmap, COLORREF outTransparent) {
  FreeImages();
  const intptr_t outValue = reinterpret_cast<intptr_t>(outBitmap);
  const bool derive = IsDerived(outValue);
  auto release = [&] {
    if (inBitmap) ::DeleteObject(inBitmap);
    if (outBitmap && !derive) ::DeleteObject(outBitmap);
  };
  if (!inBitmap) {
    release();
    RepaintIf(TRUE);
    return kOk;
  }
  Pixels in, out;
  if (!ReadPixels(inBitmap, in) || (outBitmap && !derive && !ReadPixels(outBitmap, out))) {
    release();
    return kInvalidResource;
  }
  if (derive) {
    out = DeriveOut(in, int(outValue), ToPixel(inTransparent));
    outTransparent = inTransparent;
  }
  release();
  // Each image keeps its colour pixels, black where it is transparent, and a mask that is set there.
  auto prepare = [](Pixels pixels, COLORREF transparent, Image& image) {
    const uint32_t clear = ToPixel(transparent);
    const int stride = (pixels.width + 15) / 16 * 2;
    std::vector<BYTE> rows(size_t(stride) * size_t(pixels.height));
    for (int y = 0; y < pixels.height; ++y) {
      for (int x = 0; x < pixels.width; ++x) {
        uint32_t& p = pixels.rgb[size_t(y) * size_t(pixels.width) + size_t(x)];
        if (p != clear) continue;
        rows[size_t(y) * size_t(stride) + size_t(x / 8)] |= BYTE(0x80 >> (x % 8));
        p = 0;
      }
    }
    image.width = pixels.width;
    image.height = pixels.height;
    image.mask = ::CreateBitmap(pixels.width, pixels.height, 1, 1, rows.data());
    image.bitmap = MakeBitmap(pixels);
    return image.mask != nullptr && image.bitmap != nullptr;
  };
  if (!prepare(std::move(in), inTransparent, bitmaps_[0]) ||
      (!out.rgb.empty() && !prepare(std::move(out), outTransparent, bitmaps_[1]))) {
    FreeImages();
    return kFailedMask;
  }
  RepaintIf(TRUE);
  return kOk;
}

DWORD CHoverButton::SizeToContent() {
  const Image& image = icons_[0].icon ? icons_[0] : bitmaps_[0];
  if (image.width > 0 && GetSafeHwnd()) {
    SetWindowPos(nullptr, -1, -1, image.width, image.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
  }
  return kOk;
}

// ---- Looks --------------------------------------------------------------------------------------

DWORD CHoverButton::SetFlat(BOOL flat, BOOL repaint) {
  flat_ = flat;
  RepaintIf(repaint);
  return kOk;
}

DWORD CHoverButton::SetAlign(int alignment, BOOL repaint) {
  if (alignment < kIconLeft || alignment > kIconRight) return kInvalidAlign;
  alignment_ = alignment;
  RepaintIf(repaint);
  return kOk;
}

DWORD CHoverButton::SetCheck(int checked, BOOL repaint) {
  if (checkBoxMode_) {
    checked_ = checked ? 1 : 0;
    RepaintIf(repaint);
  }
  return kOk;
}

DWORD CHoverButton::DrawBorder(BOOL draw, BOOL repaint) {
  drawBorder_ = draw;
  RepaintIf(repaint);
  return kOk;
}

DWORD CHoverButton::DrawFlatFocus(BOOL draw, BOOL repaint) {
  drawFlatFocus_ = draw;
  RepaintIf(repaint);
  return kOk;
}

DWORD CHoverButton::SetPressedStyle(int style, BOOL repaint) {
  if (style == 0) {
    pressedOffset_ = CPoint(1, 1);
  } else if (style == 1) {
    pressedOffset_ = CPoint(0, 2);
  } else {
    return kInvalidPressedStyle;
  }
  RepaintIf(repaint);
  return kOk;
}

DWORD CHoverButton::SetColour(int index, COLORREF colour, BOOL repaint) {
  if (index < 0 || index >= kColourCount) return kInvalidIndex;
  colours_[index] = colour;
  RepaintIf(repaint);
  return kOk;
}

DWORD CHoverButton::GetColour(int index, COLORREF* colour) const {
  if (index < 0 || index >= kColourCount) return kInvalidIndex;
  if (colour) *colour = colours_[index];
  return kOk;
}

DWORD CHoverButton::OffsetColour(int index, int shade, BOOL repaint) {
  if (index < 0 || index >= kColourCount) return kInvalidIndex;
  if (shade < -255 || shade > 255) return kBadParameter;
  const COLORREF c = colours_[index];
  const int channels[] = {GetRValue(c), GetGValue(c), GetBValue(c)};
  // The whole colour moves by the same amount, as far as its extreme channel allows.
  if (shade > 0) {
    shade = std::min(shade, 255 - *std::max_element(std::begin(channels), std::end(channels)));
  } else {
    shade = std::max(shade, -*std::min_element(std::begin(channels), std::end(channels)));
  }
  colours_[index] = RGB(channels[0] + shade, channels[1] + shade, channels[2] + shade);
  RepaintIf(repaint);
  return kOk;
}

DWORD CHoverButton::SetDefaultColours(BOOL repaint) {
  for (int i = 0; i < kColourCount; i += 2) {
    colours_[i] = ::GetSysColor(COLOR_BTNFACE);
    colours_[i + 1] = ::GetSysColor(COLOR_BTNTEXT);
  }
  RepaintIf(repaint);
  return kOk;
}

DWORD CHoverButton::DrawTransparent(BOOL repaint) {
  transparent_ = TRUE;
  RepaintIf(repaint);
  return kOk;
}

// ---- Cursor, address, menu, sounds and tooltip --------------------------------------------------

DWORD CHoverButton::SetBtnCursor(int cursorId, BOOL repaint) {
  if (cursor_) ::DestroyCursor(cursor_);
  cursor_ = nullptr;
  if (cursorId) {
    cursor_ = static_cast<HCURSOR>(
        ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCE(cursorId), IMAGE_CURSOR, 0, 0, 0));
    RepaintIf(repaint);
    if (!cursor_) return kInvalidResource;
  }
  return kOk;
}

DWORD CHoverButton::SetURL(LPCTSTR url) {
  url_ = url ? std::string(url).substr(0, kMaxTextLength) : std::string();
  return kOk;
}

DWORD CHoverButton::SetMenu(UINT menuId, HWND owner, BOOL repaint) {
  if (menu_.GetSafeHmenu()) menu_.DestroyMenu();
  menuOwner_ = nullptr;
  if (menuId) {
    if (!menu_.LoadMenu(menuId)) return kInvalidResource;
    menuOwner_ = owner;
  }
  RepaintIf(repaint);
  return kOk;
}

DWORD CHoverButton::SetMenuCallback(HWND window, UINT message, LPARAM lParam) {
  callbackWindow_ = window;
  callbackMessage_ = message;
  callbackParam_ = lParam;
  return kOk;
}

DWORD CHoverButton::SetSound(LPCTSTR name, HMODULE module, BOOL forClick, BOOL async) {
  Sound& sound = forClick ? clickSound_ : hoverSound_;
  sound = Sound{};
  if (!name) return kOk;
  if (IS_INTRESOURCE(name)) {
    sound.resourceId = int(reinterpret_cast<uintptr_t>(name));
  } else {
    sound.name = std::string(name).substr(0, kMaxTextLength);
  }
  sound.module = module;
  sound.flags = SND_NODEFAULT | SND_NOWAIT | (module ? SND_RESOURCE : SND_FILENAME) | (async ? SND_ASYNC : 0);
  return kOk;
}

void CHoverButton::PlayButtonSound(const Sound& sound) {
  if (!sound.IsSet()) return;
  ::PlaySoundA(sound.resourceId ? MAKEINTRESOURCE(sound.resourceId) : sound.name.c_str(), sound.module, sound.flags);
}

void CHoverButton::EnsureTooltip() {
  if (tooltip_.GetSafeHwnd()) return;
  tooltip_.Create(this);
  tooltip_.Activate(FALSE);
  tooltip_.SetMaxTipWidth(kTooltipWidth);
}

void CHoverButton::SetTooltipText(LPCTSTR text, BOOL activate) {
  if (!text || !GetSafeHwnd()) return;
  EnsureTooltip();
  if (tooltip_.GetToolCount() == 0) {
    tooltip_.AddTool(this, text);
  } else {
    tooltip_.UpdateTipText(text, this);
  }
  tooltip_.Activate(activate);
}

void CHoverButton::SetTooltipText(int stringId, BOOL activate) {
  CString text;
  if (text.LoadString(UINT(stringId))) SetTooltipText(LPCTSTR(text), activate);
}

void CHoverButton::ActivateTooltip(BOOL activate) {
  if (tooltip_.GetSafeHwnd() && tooltip_.GetToolCount() > 0) tooltip_.Activate(activate);
}

BOOL CHoverButton::PreTranslateMessage(MSG* pMsg) {
  if (tooltip_.GetSafeHwnd()) tooltip_.RelayEvent(pMsg);
  // A quick second click is one more click, not a double-click.
  if (pMsg->message == WM_LBUTTONDBLCLK) pMsg->message = WM_LBUTTONDOWN;
  return CButton::PreTranslateMessage(pMsg);
}

// ---- Messages -----------------------------------------------------------------------------------

void CHoverButton::PreSubclassWindow() {
  const UINT type = GetButtonStyle() & BS_TYPEMASK;
  checkBoxMode_ = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE;
  isDefault_ = type == BS_DEFPUSHBUTTON;
  ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW, SWP_FRAMECHANGED);
  CButton::PreSubclassWindow();
}

void CHoverButton::LeaveHover() {
  if (!mouseOver_) return;
  mouseOver_ = FALSE;
  Invalidate();
}

void CHoverButton::OnMouseMove(UINT nFlags, CPoint point) {
  CButton::OnMouseMove(nFlags, point);
  ClientToScreen(&point);
  const HWND under = ::WindowFromPoint(point);
  if ((nFlags & MK_LBUTTON) && !mouseOver_) return;
  if (!flat_) return;
  if (under != m_hWnd) {
    LeaveHover();
    return;
  }
  if (mouseOver_) return;
  mouseOver_ = TRUE;
  Invalidate();
  PlayButtonSound(hoverSound_);
  TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, m_hWnd, 0};
  ::_TrackMouseEvent(&leave);
}

void CHoverButton::OnMouseLeave() { LeaveHover(); }

void CHoverButton::OnKillFocus(CWnd* pNewWnd) {
  CButton::OnKillFocus(pNewWnd);
  LeaveHover();
}

void CHoverButton::OnCancelMode() {
  CButton::OnCancelMode();
  LeaveHover();
}

void CHoverButton::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) {
  CButton::OnActivate(nState, pWndOther, bMinimized);
  if (nState == WA_INACTIVE) LeaveHover();
}

void CHoverButton::OnEnable(BOOL bEnable) {
  CButton::OnEnable(bEnable);
  if (bEnable) return;
  // A disabled button cannot keep the focus (the system may already have taken it away from an
  // active window); other controls keep theirs.
  const HWND focus = ::GetFocus();
  if (focus == m_hWnd || (!focus && ::GetActiveWindow() == ::GetAncestor(m_hWnd, GA_ROOT))) {
    CWnd* parent = GetParent();
    CWnd* next = parent ? parent->GetNextDlgTabItem(this) : nullptr;
    if (next && next != this) {
      next->SetFocus();
    } else if (parent) {
      parent->SetFocus();
    }
  }
  LeaveHover();
}

BOOL CHoverButton::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
  if (cursor_) {
    ::SetCursor(cursor_);
    return TRUE;
  }
  return CButton::OnSetCursor(pWnd, nHitTest, message);
}

UINT CHoverButton::OnGetDlgCode() {
  const UINT code = CButton::OnGetDlgCode() & ~UINT(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
  return code | (isDefault_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

void CHoverButton::OnSysColorChange() {
  CButton::OnSysColorChange();
  SetDefaultColours();
}

LRESULT CHoverButton::OnSetStyle(WPARAM wParam, LPARAM lParam) {
  const UINT type = UINT(wParam) & BS_TYPEMASK;
  if (type == BS_DEFPUSHBUTTON) {
    isDefault_ = TRUE;
  } else if (type == BS_PUSHBUTTON) {
    isDefault_ = FALSE;
  }
  // The button stays owner-drawn whatever the dialog manager asks.
  return DefWindowProc(BM_SETSTYLE, (wParam & ~WPARAM(BS_TYPEMASK)) | BS_OWNERDRAW, lParam);
}

LRESULT CHoverButton::OnSetCheck(WPARAM wParam, LPARAM) {
  SetCheck(wParam == BST_CHECKED || wParam == BST_INDETERMINATE ? 1 : 0);
  return 0;
}

LRESULT CHoverButton::OnGetCheck(WPARAM, LPARAM) { return checked_; }

BOOL CHoverButton::OnClicked() {
  SetFocus();
  PlayButtonSound(clickSound_);
  if (checkBoxMode_) {
    checked_ = !checked_;
    Invalidate();
  } else if (menu_.GetSafeHmenu()) {
    CMenu* popup = menu_.GetSubMenu(0);
    if (popup) {
      menuOpen_ = TRUE;
      Invalidate();
      UpdateWindow();
      if (callbackWindow_) {
        ::SendMessageA(callbackWindow_, callbackMessage_, reinterpret_cast<WPARAM>(popup->GetSafeHmenu()),
                       callbackParam_);
      }
      CRect window;
      GetWindowRect(&window);
      const UINT command = UINT(popup->TrackPopupMenu(
          TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD, window.left,
          window.bottom, CWnd::FromHandle(menuOwner_)));
      menuOpen_ = FALSE;
      Invalidate();
      if (command) ::PostMessageA(menuOwner_, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    }
  } else if (!url_.empty()) {
    SHELLEXECUTEINFOA open{};
    open.cbSize = sizeof open;
    open.fMask = SEE_MASK_FLAG_NO_UI;
    open.hwnd = m_hWnd;
    open.lpVerb = "open";
    open.lpFile = url_.c_str();
    open.nShow = SW_SHOWMAXIMIZED;
    ::ShellExecuteExA(&open);
  }
  return FALSE;  // the parent hears the click too
}

// ---- Drawing ------------------------------------------------------------------------------------

void CHoverButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
  CDC* dc = CDC::FromHandle(lpDrawItemStruct->hDC);
  const UINT state = lpDrawItemStruct->itemState;
  pressed_ = (state & ODS_SELECTED) || (checkBoxMode_ && checked_) || menuOpen_;
  focused_ = (state & ODS_FOCUS) != 0;
  disabled_ = (state & ODS_DISABLED) != 0;
  const int saved = dc->SaveDC();
  dc->SetBkMode(TRANSPARENT);

  CRect item = lpDrawItemStruct->rcItem;
  if (transparent_) {
    PaintCapturedBackground(dc);
  } else {
    PaintBackground(dc, &item);
  }
  PaintBorder(dc, &item);

  CString text;
  GetWindowText(text);
  const BOOL hasCaption = !text.IsEmpty();
  CRect caption = lpDrawItemStruct->rcItem;
  if (icons_[0].icon) PaintIcon(dc, hasCaption, &lpDrawItemStruct->rcItem, &caption, pressed_, disabled_);
  if (bitmaps_[0].bitmap) PaintBitmap(dc, hasCaption, &lpDrawItemStruct->rcItem, &caption, pressed_, disabled_);
  if (hasCaption) PaintCaption(dc, text, &lpDrawItemStruct->rcItem, &caption, pressed_, disabled_);

  if (focused_ && (!flat_ || drawFlatFocus_)) {
    CRect focus = lpDrawItemStruct->rcItem;
    focus.DeflateRect(3, 3);
    dc->DrawFocusRect(&focus);
  }
  dc->RestoreDC(saved);
}

void CHoverButton::PaintCapturedBackground(CDC* pDC) {
  CRect client;
  GetClientRect(&client);
  CWnd* parent = GetParent();
  if (!background_.m_hDC && parent) {
    CRect window;
    GetWindowRect(&window);
    parent->ScreenToClient(&window);
    CClientDC parentDC(parent);
    background_.CreateCompatibleDC(&parentDC);
    backgroundBitmap_.CreateCompatibleBitmap(&parentDC, client.Width(), client.Height());
    oldBackgroundBitmap_ = background_.SelectObject(&backgroundBitmap_)->GetSafeHandle();
    background_.BitBlt(0, 0, client.Width(), client.Height(), &parentDC, window.left, window.top, SRCCOPY);
  }
  if (background_.m_hDC) pDC->BitBlt(0, 0, client.Width(), client.Height(), &background_, 0, 0, SRCCOPY);
}

void CHoverButton::PaintBackground(CDC* pDC, CRect* pRect) {
  if (!flat_ && (focused_ || isDefault_)) {
    CBrush black(RGB(0, 0, 0));
    pDC->FrameRect(pRect, &black);
    pRect->DeflateRect(1, 1);
  }
  const int index = mouseOver_ || pressed_ ? kBackgroundIn : focused_ ? kBackgroundFocus : kBackgroundOut;
  pDC->FillSolidRect(pRect, colours_[index]);
}

void CHoverButton::PaintBorder(CDC* pDC, CRect* pRect) {
  const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
  if (pressed_) {
    if (!flat_) {
      CBrush frame(shadow);
      pDC->FrameRect(pRect, &frame);
    } else if (drawBorder_) {
      pDC->Draw3dRect(pRect, shadow, highlight);
    }
    return;
  }
  if (flat_) {
    if (mouseOver_ && drawBorder_) pDC->Draw3dRect(pRect, highlight, shadow);
    return;
  }
  // Raised: light lines on the top and left, dark ones on the bottom and right, two of each.
  const CRect r = *pRect;
  auto line = [pDC](COLORREF colour, POINT a, POINT b, POINT c) {
    CPen pen(PS_SOLID, 0, colour);
    CPen* old = pDC->SelectObject(&pen);
    pDC->MoveTo(a);
    pDC->LineTo(b);
    pDC->LineTo(c);
    pDC->SelectObject(old);
  };
  line(highlight, {r.left, r.bottom - 1}, {r.left, r.top}, {r.right, r.top});
  line(::GetSysColor(COLOR_3DLIGHT), {r.left + 1, r.bottom - 1}, {r.left + 1, r.top + 1}, {r.right, r.top + 1});
  line(::GetSysColor(COLOR_3DDKSHADOW), {r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}, {r.right - 1, r.top - 1});
  line(shadow, {r.left + 1, r.bottom - 2}, {r.right - 2, r.bottom - 2}, {r.right - 2, r.top});
}

const CHoverButton::Image& CHoverButton::ShownImage(const Image (&images)[2], BOOL pressed) const {
  const bool in = pressed || (!checkBoxMode_ && mouseOver_);
  return in || !(images[1].icon || images[1].bitmap) ? images[0] : images[1];
}

CRect CHoverButton::PlaceImage(BOOL hasCaption, const RECT& item, CRect* captionRect, BOOL pressed, int width,
                               int height) const {
  const CRect area(item);
  CPoint at((area.Width() - width) / 2, (area.Height() - height) / 2);  // centred without a caption
  if (hasCaption) {
    switch (alignment_) {
      case kIconLeft:
        at.x = contentMargin_.x;
        captionRect->left += width + contentMargin_.x;
        break;
      case kIconAbove:
        at.y = contentMargin_.y;
        captionRect->top += height + contentMargin_.y;
        break;
      case kIconRight:
        at.x = area.Width() - width - contentMargin_.x;
        captionRect->right = area.left + at.x - contentMargin_.x;
        break;
    }
  }
  CRect image(area.TopLeft() + at, CSize(width, height));
  if (pressed && !checkBoxMode_) image.OffsetRect(pressedOffset_);
  return image;
}

void CHoverButton::PaintIcon(CDC* pDC, BOOL hasCaption, const RECT* itemRect, CRect* captionRect, BOOL pressed,
                             BOOL disabled) {
  const Image& icon = ShownImage(icons_, pressed);
  const CRect at = PlaceImage(hasCaption, *itemRect, captionRect, pressed, icon.width, icon.height);
  pDC->DrawState(at.TopLeft(), at.Size(), icon.icon, disabled && embossDisabled_ ? DSS_DISABLED : DSS_NORMAL);
}

void CHoverButton::PaintBitmap(CDC* pDC, BOOL hasCaption, const RECT* itemRect, CRect* captionRect, BOOL pressed,
                               BOOL disabled) {
  const Image& bitmap = ShownImage(bitmaps_, pressed);
  const CRect at = PlaceImage(hasCaption, *itemRect, captionRect, pressed, bitmap.width, bitmap.height);
  if (disabled && embossDisabled_) {
    // The mask is black where the bitmap shows: its shape is what is embossed.
    pDC->DrawState(at.TopLeft(), at.Size(), bitmap.mask, DSS_DISABLED);
    return;
  }
  CDC memory;
  memory.CreateCompatibleDC(pDC);
  const COLORREF oldText = pDC->SetTextColor(RGB(0, 0, 0));
  const COLORREF oldBack = pDC->SetBkColor(RGB(255, 255, 255));
  HGDIOBJ old = ::SelectObject(memory.m_hDC, bitmap.mask);
  pDC->BitBlt(at.left, at.top, at.Width(), at.Height(), &memory, 0, 0, SRCAND);
  ::SelectObject(memory.m_hDC, bitmap.bitmap);
  pDC->BitBlt(at.left, at.top, at.Width(), at.Height(), &memory, 0, 0, SRCPAINT);
  ::SelectObject(memory.m_hDC, old);
  pDC->SetTextColor(oldText);
  pDC->SetBkColor(oldBack);
}

void CHoverButton::PaintCaption(CDC* pDC, LPCTSTR text, const RECT*, CRect* captionRect, BOOL pressed,
                                BOOL disabled) {
  // Measured with word breaks, then centred in what the image left.
  CRect centred = *captionRect;
  pDC->DrawText(text, -1, &centred, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
  centred.OffsetRect((captionRect->Width() - centred.Width()) / 2, (captionRect->Height() - centred.Height()) / 2);
  if (pressed && !checkBoxMode_) centred.OffsetRect(pressedOffset_);
  pDC->SetBkMode(TRANSPARENT);
  if (disabled) {
    centred.OffsetRect(1, 1);
    pDC->SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
    pDC->DrawText(text, -1, &centred, DT_WORDBREAK | DT_CENTER);
    centred.OffsetRect(-1, -1);
    pDC->SetTextColor(::GetSysColor(COLOR_BTNSHADOW));
    pDC->DrawText(text, -1, &centred, DT_WORDBREAK | DT_CENTER);
    return;
  }
  const int pair = mouseOver_ || pressed ? kBackgroundIn : focused_ ? kBackgroundFocus : kBackgroundOut;
  pDC->SetTextColor(colours_[pair + 1]);
  pDC->SetBkColor(colours_[pair]);
  pDC->DrawText(text, -1, &centred, DT_WORDBREAK | DT_CENTER);
}
