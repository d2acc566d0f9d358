#include "skin/bitmap_static.h"

#include <algorithm>
#include <cstdint>

#include "skin/buffer_dc.h"
#include "skin/skin_host.h"

BEGIN_MESSAGE_MAP(CBitmapStatic, CStatic)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CBitmapStatic::CreateFromSkin(const SkinProgressInfo& info, COLORREF transparentColour, CWnd* dialog) {
  if (!Create("", WS_VISIBLE | WS_CHILD, info.rect, dialog)) return FALSE;
  name_ = info.name;
  transparentColour_ = transparentColour;
  SetTileBitmap(info.tile.Get());
  return TRUE;
}

CBitmapStatic::~CBitmapStatic() {
  if (oldBitmap_) ::SelectObject(backgroundDC_.GetSafeHdc(), oldBitmap_);
}

void CBitmapStatic::SetRange(int min, int max) {
  min_ = min;
  max_ = max;
  pos_ = std::clamp(pos_, min_, std::max(min_, max_));
  Invalidate();
}

void CBitmapStatic::SetMax(int max) { SetRange(min_, max); }
void CBitmapStatic::SetMin(int min) { SetRange(min, max_); }

void CBitmapStatic::SetPos(int pos) {
  pos_ = std::clamp(pos, min_, std::max(min_, max_));
  Invalidate();
}

void CBitmapStatic::SetTileBitmap(HBITMAP tile) {
  tile_ = tile;
  BITMAP info{};
  if (tile && ::GetObject(tile, sizeof info, &info)) {
    tileWidth_ = info.bmWidth;
    tileHeight_ = info.bmHeight;
  } else {
    tile_ = nullptr;
    tileWidth_ = tileHeight_ = 0;
  }
  Invalidate();
}

int CBitmapStatic::FilledWidth(int clientWidth) const {
  // An empty range has no defined fill: nothing is drawn.
  if (max_ <= min_) return 0;
  return static_cast<int>(int64_t{clientWidth} * (pos_ - min_) / (int64_t{max_} - min_));
}

void CBitmapStatic::CaptureBackground(CDC* like) {
  needBackground_ = false;
  CRect client;
  GetClientRect(&client);
  backgroundDC_.CreateCompatibleDC(like);
  backgroundBitmap_.CreateCompatibleBitmap(like, client.Width(), client.Height());
  oldBitmap_ = ::SelectObject(backgroundDC_.GetSafeHdc(), backgroundBitmap_.GetSafeHandle());
  CSkinHost* host = SkinHostOf(*this);
  CDC* source = host ? host->BackgroundDC() : nullptr;
  if (!source) return;
  CRect inDialog = client;
  MapWindowPoints(GetParent(), reinterpret_cast<LPPOINT>(&inDialog), 2);
  backgroundDC_.BitBlt(0, 0, client.Width(), client.Height(), source, inDialog.left, inDialog.top, SRCCOPY);
}

BOOL CBitmapStatic::OnEraseBkgnd(CDC*) { return TRUE; }

void CBitmapStatic::OnPaint() {
  CPaintDC paint(this);
  CRect client;
  GetClientRect(&client);
  if (needBackground_) CaptureBackground(&paint);
  CBufferDC dc(&paint, &client);
  dc.BitBlt(0, 0, client.Width(), client.Height(), &backgroundDC_, 0, 0, SRCCOPY);
  if (!tile_ || tileWidth_ <= 0) return;

  const int filled = FilledWidth(client.Width());
  const int whole = filled / tileWidth_;
  const int rest = filled % tileWidth_;
  CDC tileDC;
  tileDC.CreateCompatibleDC(&paint);
  HGDIOBJ old = ::SelectObject(tileDC.GetSafeHdc(), tile_);
  for (int i = 0; i < whole; ++i)
    dc.TransparentBlt(i * tileWidth_, 0, tileWidth_, tileHeight_, &tileDC, 0, 0, tileWidth_, tileHeight_,
                      transparentColour_);
  if (rest > 0)
    dc.TransparentBlt(whole * tileWidth_, 0, rest, tileHeight_, &tileDC, 0, 0, tileWidth_, tileHeight_,
                      transparentColour_);
  ::SelectObject(tileDC.GetSafeHdc(), old);
}
