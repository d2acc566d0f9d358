#include "skin/skin_slider.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "skin/buffer_dc.h"
#include "skin_masks.h"

BEGIN_MESSAGE_MAP(CSkinSlider, CStatic)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_GETDLGCODE()
  ON_WM_KEYDOWN()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

CSkinSlider::~CSkinSlider() {
  if (oldBackground_) ::SelectObject(backgroundDC_.GetSafeHdc(), oldBackground_);
}

BOOL CSkinSlider::CreateFromSkin(SkinSliderInfo& info, COLORREF transparentColour, CWnd* parent) {
  if (!Create("", WS_VISIBLE | WS_TABSTOP | SS_NOTIFY, info.rect, parent, 0)) return FALSE;
  SetTransparentColour(transparentColour);
  SetChannelBitmap(info.channel.Detach());
  SetThumbBitmaps(info.thumb.Detach(), info.activeThumb.Detach(), transparentColour != kNoSkinColour);
  SetDrawFocusRect(FALSE, FALSE);
  index_ = info.index;
  name_ = info.name;
  if (!info.toolTip.IsEmpty()) SetToolTipText(info.toolTip, TRUE);
  SetRange(0, 0, FALSE);
  SetPos(info.initialPos);
  vertical_ = info.vertical;
  return TRUE;
}

void CSkinSlider::SetRange(int min, int max, BOOL redraw) {
  min_ = min;
  max_ = max;
  if (redraw && m_hWnd) Invalidate();
}

void CSkinSlider::SetRangeMax(int max, BOOL redraw) { SetRange(min_, max, redraw); }
void CSkinSlider::SetRangeMin(int min, BOOL redraw) { SetRange(min, max_, redraw); }

void CSkinSlider::SetPos(int pos) {
  if (pos > max_) pos = max_;
  if (pos < min_) pos = min_;
  pos_ = pos;
  if (m_hWnd) Invalidate();
}

int CSkinSlider::SetPageSize(int page) {
  const int old = page_;
  page_ = page;
  return old;
}

void CSkinSlider::Enable(BOOL enabled) {
  enabled_ = enabled;
  if (!enabled && dragging_) {
    dragging_ = FALSE;
    ::ReleaseCapture();
  }
  if (m_hWnd) Invalidate();
}

void CSkinSlider::SetDrawFocusRect(BOOL draw, BOOL redraw) {
  drawFocusRect_ = draw;
  if (redraw && m_hWnd) Invalidate();
}

void CSkinSlider::DeleteThumbs() {
  thumb_.DeleteObject();
  thumbMask_.DeleteObject();
  activeThumb_.DeleteObject();
  activeThumbMask_.DeleteObject();
  thumbBackground_.DeleteObject();
  lastThumbX_ = lastThumbY_ = -1;
  thumbWidth_ = thumbHeight_ = 0;
  hasActiveThumb_ = FALSE;
  thumbLoaded_ = FALSE;
}

BOOL CSkinSlider::SetThumbBitmaps(HBITMAP thumb, HBITMAP activeThumb, BOOL transparent) {
  DeleteThumbs();
  if (thumb) {
    thumb_.Attach(thumb);
    BITMAP size{};
    thumb_.GetBitmap(&size);
    thumbWidth_ = size.bmWidth;
    thumbHeight_ = size.bmHeight;
    if (transparent) skin_masks::BuildMask(thumb_, thumbMask_, transparentColour_);
    hasActiveThumb_ = activeThumb != nullptr;
    if (activeThumb) {
      activeThumb_.Attach(activeThumb);
      if (transparent) skin_masks::BuildMask(activeThumb_, activeThumbMask_, transparentColour_);
    }
    transparent_ = transparent;
    thumbLoaded_ = TRUE;
  } else if (activeThumb) {
    ::DeleteObject(activeThumb);
  }
  FitWindowToBitmaps();
  return thumbLoaded_;
}

BOOL CSkinSlider::SetChannelBitmap(HBITMAP channel) {
  channel_.DeleteObject();
  if (oldBackground_) ::SelectObject(backgroundDC_.GetSafeHdc(), oldBackground_);
  oldBackground_ = nullptr;
  background_.DeleteObject();
  captureBackground_ = TRUE;
  channelLoaded_ = FALSE;
  channelWidth_ = channelHeight_ = 0;
  if (!channel) return FALSE;
  channel_.Attach(channel);
  BITMAP size{};
  channel_.GetBitmap(&size);
  channelWidth_ = size.bmWidth;
  channelHeight_ = size.bmHeight;
  channelLoaded_ = TRUE;
  return TRUE;
}

void CSkinSlider::FitWindowToBitmaps() {
  width_ = std::max(thumbWidth_, channelWidth_);
  height_ = std::max(thumbHeight_, channelHeight_);
  if (m_hWnd) SetWindowPos(nullptr, 0, 0, width_, height_, SWP_NOMOVE | SWP_NOZORDER);
  rect_.SetRect(0, 0, width_, height_);
}

void CSkinSlider::SetToolTipText(LPCTSTR text, BOOL activate) {
  if (!toolTip_.m_hWnd) {
    toolTip_.Create(this);
    toolTip_.AddTool(this, text);
  } else {
    toolTip_.UpdateTipText(text, this);
  }
  toolTip_.Activate(activate);
}

BOOL CSkinSlider::PreTranslateMessage(MSG* pMsg) {
  if (toolTip_.m_hWnd) toolTip_.RelayEvent(pMsg);
  return CStatic::PreTranslateMessage(pMsg);
}

// The thumb's centre along the track. An empty range keeps the thumb at the start.
int CSkinSlider::ThumbCentre() const {
  const int thumb = vertical_ ? thumbHeight_ : thumbWidth_;
  const int extent = vertical_ ? height_ : width_;
  const int64_t range = int64_t(max_) - min_;
  if (range <= 0) return thumb / 2;
  return thumb / 2 + int(int64_t(extent - thumb) * (int64_t(pos_) - min_) / range);
}

int CSkinSlider::PosFromPoint(CPoint point) const {
  const int thumb = vertical_ ? thumbHeight_ : thumbWidth_;
  const int extent = vertical_ ? height_ : width_;
  int along = vertical_ ? point.y : point.x;
  along = std::max(std::min(along, extent - thumb / 2), thumb / 2);
  const int track = extent - thumb;
  if (track <= 0) return min_;
  return min_ + int(int64_t(along - thumb / 2) * (int64_t(max_) - min_) / track);
}

// Once per control: what the dialog's background shows where the control lies.
void CSkinSlider::CaptureBackground(CDC* compatible) {
  captureBackground_ = FALSE;
  if (width_ <= 0 || height_ <= 0) return;
  backgroundDC_.DeleteDC();
  backgroundDC_.CreateCompatibleDC(compatible);
  background_.CreateCompatibleBitmap(compatible, width_, height_);
  oldBackground_ = ::SelectObject(backgroundDC_.GetSafeHdc(), background_.GetSafeHandle());
  CRect where;
  GetWindowRect(&where);
  GetParent()->ScreenToClient(&where);
  CSkinHost* host = SkinHostOf(*this);
  if (CDC* source = host ? host->BackgroundDC() : nullptr)
    backgroundDC_.BitBlt(0, 0, width_, height_, source, where.left, where.top, SRCCOPY);
  else
    backgroundDC_.BitBlt(0, 0, width_, height_, compatible, 0, 0, SRCCOPY);
}

BOOL CSkinSlider::OnEraseBkgnd(CDC*) { return FALSE; }

void CSkinSlider::OnPaint() {
  CPaintDC paintDC(this);
  CBufferDC dc(&paintDC, &rect_, copyBackground_);
  CDC memDC;
  memDC.CreateCompatibleDC(&dc);
  CBitmap* oldBitmap = memDC.SelectObject(&channel_);

  if (focusRectShown_) {
    dc.DrawFocusRect(&rect_);
    focusRectShown_ = FALSE;
  }
  if (lastThumbX_ != -1) {
    memDC.SelectObject(&thumbBackground_);
    dc.BitBlt(lastThumbX_, lastThumbY_, thumbWidth_, thumbHeight_, &memDC, 0, 0, SRCCOPY);
    lastThumbX_ = lastThumbY_ = -1;
  }

  const int centre = ThumbCentre();
  if (channelLoaded_) {
    if (captureBackground_) CaptureBackground(&dc);
    if (background_.GetSafeHandle()) dc.BitBlt(0, 0, width_, height_, &backgroundDC_, 0, 0, SRCCOPY);
    memDC.SelectObject(&channel_);
    if (!vertical_) {
      const int y = thumbHeight_ ? std::abs(thumbHeight_ - channelHeight_) / 2 : 0;
      dc.BitBlt(0, y, centre, channelHeight_, &memDC, 0, 0, SRCCOPY);
    } else {
      const int x = thumbWidth_ ? std::abs(thumbWidth_ - channelWidth_) / 2 : 0;
      dc.BitBlt(x, centre, channelWidth_, channelHeight_ - centre, &memDC, 0, centre, SRCCOPY);
    }
  }

  if (thumbLoaded_ && enabled_) {
    const bool active = hasActiveThumb_ && dragging_;
    CBitmap& image = active ? activeThumb_ : thumb_;
    CBitmap& mask = active ? activeThumbMask_ : thumbMask_;
    const int x = vertical_ ? 0 : centre - thumbWidth_ / 2;
    const int y = vertical_ ? centre - thumbHeight_ / 2 : 0;
    if (!thumbBackground_.GetSafeHandle()) thumbBackground_.CreateCompatibleBitmap(&dc, thumbWidth_, thumbHeight_);
    memDC.SelectObject(&thumbBackground_);
    memDC.BitBlt(0, 0, thumbWidth_, thumbHeight_, &dc, x, y, SRCCOPY);
    lastThumbX_ = x;
    lastThumbY_ = y;
    if (transparent_)
      skin_masks::DrawMasked(dc, x, y, image, mask);
    else {
      memDC.SelectObject(&image);
      dc.BitBlt(x, y, thumbWidth_, thumbHeight_, &memDC, 0, 0, SRCCOPY);
    }
  }
  memDC.SelectObject(oldBitmap);

  if (drawFocusRect_ && focused_ && enabled_) {
    dc.DrawFocusRect(&rect_);
    focusRectShown_ = TRUE;
  }
}

void CSkinSlider::OnLButtonDown(UINT flags, CPoint point) {
  if (!enabled_) return;
  SetCapture();
  SetFocus();
  dragging_ = TRUE;
  OnMouseMove(flags, point);
  Invalidate();
}

void CSkinSlider::OnMouseMove(UINT, CPoint point) {
  if (!dragging_ || !enabled_) return;
  SetPos(PosFromPoint(point));
  if (CSkinHost* host = SkinHostOf(*this)) host->OnSliderCommand(index_, pos_);
}

void CSkinSlider::OnLButtonUp(UINT, CPoint) {
  if (!enabled_) return;
  ::ReleaseCapture();
  dragging_ = FALSE;
  Invalidate();
  if (CWnd* parent = GetParent()) parent->PostMessage(WM_SETFOCUS, WPARAM(m_hWnd));
}

UINT CSkinSlider::OnGetDlgCode() {
  if (::GetKeyState(VK_TAB) < 0) return UINT(Default());
  return DLGC_WANTARROWS;
}

void CSkinSlider::OnKeyDown(UINT key, UINT, UINT) {
  if (!enabled_) return;
  switch (key) {
    case VK_PRIOR: SetPos(pos_ - page_); break;
    case VK_NEXT: SetPos(pos_ + page_); break;
    case VK_END: SetPos(max_); break;
    case VK_HOME: SetPos(min_); break;
    case VK_LEFT:
    case VK_UP: SetPos(pos_ - 1); break;
    case VK_RIGHT:
    case VK_DOWN: SetPos(pos_ + 1); break;
    default: Default(); break;
  }
}

void CSkinSlider::OnSetFocus(CWnd*) {
  focused_ = TRUE;
  Invalidate();
}

void CSkinSlider::OnKillFocus(CWnd*) {
  focused_ = FALSE;
  Invalidate();
}
