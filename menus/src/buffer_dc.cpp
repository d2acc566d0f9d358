// The buffer that item drawing goes through, so that a redrawn item does not flicker.
#include "buffer_dc.h"

CStyledMenuBufferDC::CStyledMenuBufferDC(HDC target, const RECT& rect) : target_(target), rect_(rect) {
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  memory_ = CreateCompatibleDC(target);
  bitmap_ = CreateCompatibleBitmap(target, width > 0 ? width : 1, height > 0 ? height : 1);
  if (!memory_ || !bitmap_) {
    direct_ = true;  // no buffer to be had: draw on the target
    return;
  }
  oldBitmap_ = SelectObject(memory_, bitmap_);
  SetWindowOrgEx(memory_, rect.left, rect.top, nullptr);
}

CStyledMenuBufferDC::~CStyledMenuBufferDC() {
  if (memory_ && bitmap_ && !direct_) {
    SetWindowOrgEx(memory_, 0, 0, nullptr);
    BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, memory_, 0, 0, SRCCOPY);
  }
  if (memory_) {
    if (oldBitmap_) SelectObject(memory_, oldBitmap_);
    DeleteDC(memory_);
  }
  if (bitmap_) DeleteObject(bitmap_);
}
