#include "skin_masks.h"

namespace skin_masks {
namespace {

constexpr DWORD kDestAndNotSource = 0x00220326;

CSize SizeOf(CBitmap& bitmap) {
  BITMAP info{};
  bitmap.GetBitmap(&info);
  return CSize(info.bmWidth, info.bmHeight);
}

}  // namespace

void BuildMask(CBitmap& image, CBitmap& mask, COLORREF key) {
  const CSize size = SizeOf(image);
  mask.DeleteObject();
  mask.CreateBitmap(size.cx, size.cy, 1, 1, nullptr);
  CDC imageDC, maskDC;
  imageDC.CreateCompatibleDC(nullptr);
  maskDC.CreateCompatibleDC(nullptr);
  CBitmap* oldImage = imageDC.SelectObject(&image);
  CBitmap* oldMask = maskDC.SelectObject(&mask);
  imageDC.SetBkColor(key);
  maskDC.BitBlt(0, 0, size.cx, size.cy, &imageDC, 0, 0, SRCCOPY);
  imageDC.SetBkColor(RGB(255, 255, 255));
  imageDC.SetTextColor(RGB(0, 0, 0));
  imageDC.BitBlt(0, 0, size.cx, size.cy, &maskDC, 0, 0, kDestAndNotSource);
  maskDC.SelectObject(oldMask);
  imageDC.SelectObject(oldImage);
}

void DrawMasked(CDC& dc, int x, int y, CBitmap& image, CBitmap& mask) {
  const CSize size = SizeOf(image);
  CDC memDC;
  memDC.CreateCompatibleDC(&dc);
  const COLORREF oldBack = dc.SetBkColor(RGB(255, 255, 255));
  const COLORREF oldText = dc.SetTextColor(RGB(0, 0, 0));
  CBitmap* old = memDC.SelectObject(&mask);
  dc.BitBlt(x, y, size.cx, size.cy, &memDC, 0, 0, SRCAND);
  memDC.SelectObject(&image);
  dc.BitBlt(x, y, size.cx, size.cy, &memDC, 0, 0, SRCPAINT);
  memDC.SelectObject(old);
  dc.SetBkColor(oldBack);
  dc.SetTextColor(oldText);
}

}  // namespace skin_masks
