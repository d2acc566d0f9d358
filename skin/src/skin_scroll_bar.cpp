#include "skin/skin_scroll_bar.h"

#include "skin/buffer_dc.h"

BEGIN_MESSAGE_MAP(CSkinScrollBar, CStatic)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_MOUSEMOVE()
  ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {

void TakeOver(SkinBitmap& from, CBitmap& to, int* width, int* height) {
  to.DeleteObject();
  if (width) *width = from.Width();
  if (height) *height = from.Height();
  if (!from.IsEmpty()) to.Attach(from.Detach());
}

void Draw(CDC& dc, CDC& memDC, CBitmap& bitmap, int x, int y) {
  if (!bitmap.GetSafeHandle()) return;
  BITMAP size{};
  bitmap.GetBitmap(&size);
  memDC.SelectObject(&bitmap);
  dc.BitBlt(x, y, size.bmWidth, size.bmHeight, &memDC, 0, 0, SRCCOPY);
}

}  // namespace

void CSkinScrollBar::LoadBitmaps(SkinScrollBarBitmaps& bitmaps) {
  TakeOver(bitmaps.channel, channel_, &channelWidth_, &channelHeight_);
  TakeOver(bitmaps.upArrow, upArrow_, &upWidth_, &upHeight_);
  TakeOver(bitmaps.upArrowPressed, upArrowPressed_, nullptr, nullptr);
  TakeOver(bitmaps.downArrow, downArrow_, &downWidth_, &downHeight_);
  TakeOver(bitmaps.downArrowPressed, downArrowPressed_, nullptr, nullptr);
  TakeOver(bitmaps.thumb, thumb_, &thumbWidth_, &thumbHeight_);
  TakeOver(bitmaps.thumbPressed, thumbPressed_, nullptr, nullptr);
}

int CSkinScrollBar::ClientHeight() const {
  CRect client;
  GetClientRect(&client);
  return client.Height();
}

void CSkinScrollBar::SyncWithList() {
  if (!list_ || !m_hWnd) return;
  const int track = ClientHeight() - (upHeight_ + downHeight_ + thumbHeight_);
  const int limit = list_->GetScrollLimit(SB_VERT);
  // A list that cannot scroll has no lines to spread the track over.
  pixelsPerLine_ = limit > 0 ? double(track) / limit : 0;
  thumbTop_ = upHeight_ + int(list_->GetScrollPos(SB_VERT) * pixelsPerLine_);
  ClampThumb();
  Invalidate();
}

void CSkinScrollBar::ClampThumb() {
  const int height = ClientHeight();
  if (height - downHeight_ < thumbTop_ + thumbHeight_) thumbTop_ = height - downHeight_ - thumbHeight_;
  if (thumbTop_ < upHeight_) thumbTop_ = upHeight_;
}

void CSkinScrollBar::OnPaint() {
  CPaintDC paintDC(this);
  CRect client;
  GetClientRect(&client);
  CBufferDC dc(&paintDC, &client);
  if (!list_ || list_->GetScrollLimit(SB_VERT) == 0) {
    dc.FillSolidRect(&client, backColour_);
    return;
  }
  CDC memDC;
  memDC.CreateCompatibleDC(&dc);
  CBitmap* old = memDC.SelectObject(&channel_);
  if (channel_.GetSafeHandle())
    dc.StretchBlt(0, 0, upWidth_, client.Height(), &memDC, 0, 0, channelWidth_, channelHeight_, SRCCOPY);
  Draw(dc, memDC, upPressed_ ? upArrowPressed_ : upArrow_, 0, 0);
  Draw(dc, memDC, downPressed_ ? downArrowPressed_ : downArrow_, 0, client.Height() - downHeight_);
  Draw(dc, memDC, dragging_ ? thumbPressed_ : thumb_, 0, thumbTop_);
  memDC.SelectObject(old);
}

bool CSkinScrollBar::OverUpArrow(CPoint point) const { return CRect(0, 0, upWidth_, upHeight_).PtInRect(point); }

bool CSkinScrollBar::OverDownArrow(CPoint point) const {
  const int height = ClientHeight();
  return CRect(0, height - downHeight_, downWidth_, height).PtInRect(point);
}

bool CSkinScrollBar::OverThumb(CPoint point) const {
  return CRect(0, thumbTop_, thumbWidth_, thumbTop_ + thumbHeight_).PtInRect(point);
}

void CSkinScrollBar::ScrollList(UINT code) {
  if (list_) list_->SendMessage(WM_VSCROLL, MAKEWPARAM(code, 0), 0);
}

void CSkinScrollBar::OnLButtonDown(UINT, CPoint point) {
  SetCapture();
  if (OverThumb(point)) {
    dragging_ = TRUE;
  } else if (OverDownArrow(point)) {
    downPressed_ = TRUE;
    SetTimer(kDelayTimer, 250, nullptr);
  } else if (OverUpArrow(point)) {
    upPressed_ = TRUE;
    SetTimer(kDelayTimer, 250, nullptr);
  }
  Invalidate();
}

void CSkinScrollBar::OnTimer(UINT_PTR id) {
  if (id == kDelayTimer) {
    if (upPressed_ || downPressed_) {
      KillTimer(kDelayTimer);
      SetTimer(kRepeatTimer, 50, nullptr);
    }
  } else if (id == kRepeatTimer) {
    if (::GetAsyncKeyState(VK_LBUTTON) < 0) {
      if (downPressed_)
        ScrollList(SB_LINEDOWN);
      else if (upPressed_)
        ScrollList(SB_LINEUP);
      SyncWithList();
    }
  }
}

void CSkinScrollBar::OnLButtonUp(UINT, CPoint point) {
  SyncWithList();
  KillTimer(kRepeatTimer);
  KillTimer(kDelayTimer);  // a click shorter than the delay repeats nothing
  ::ReleaseCapture();
  if (upPressed_ && OverUpArrow(point))
    ScrollList(SB_LINEUP);
  else if (downPressed_ && OverDownArrow(point))
    ScrollList(SB_LINEDOWN);
  else if (!OverThumb(point) && !dragging_)
    ScrollList(point.y > thumbTop_ ? SB_PAGEDOWN : SB_PAGEUP);
  upPressed_ = downPressed_ = dragging_ = FALSE;
  SyncWithList();
}

void CSkinScrollBar::OnMouseMove(UINT flags, CPoint point) {
  if ((flags & MK_LBUTTON) && dragging_) {
    thumbTop_ = point.y - thumbHeight_ / 2;
    if (list_ && pixelsPerLine_ > 0 && list_->GetItemCount() > 0) {
      const int lines = int((thumbTop_ - upHeight_) / pixelsPerLine_) - list_->GetScrollPos(SB_VERT);
      CRect row;
      list_->GetItemRect(0, &row, LVIR_BOUNDS);
      list_->Scroll(CSize(0, lines * row.Height()));
    }
    ClampThumb();
  } else {
    dragging_ = OverThumb(point);
    downPressed_ = OverDownArrow(point);
    upPressed_ = OverUpArrow(point);
  }
  Invalidate();
}
