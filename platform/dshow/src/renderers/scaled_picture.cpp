#include "scaled_picture.h"

namespace dshow::renderers {

ScaledPicture::ScaledPicture() : dc_(CreateCompatibleDC(nullptr)) {}

ScaledPicture::~ScaledPicture() {
  if (bitmap_) {
    SelectObject(dc_, original_);
    DeleteObject(bitmap_);
  }
  if (dc_) DeleteDC(dc_);
}

bool ScaledPicture::Shows(LONG width, LONG height, const RECT& part) const {
  return bitmap_ && header_.biWidth == width && -header_.biHeight == height && part_.left == part.left &&
         part_.top == part.top && part_.right == part.right && part_.bottom == part.bottom;
}

bool ScaledPicture::Draw(const BYTE* frame, const BITMAPINFO* format, const RECT& part, LONG width, LONG height) {
  if (!dc_ || width <= 0 || height <= 0) return false;
  if (!bitmap_ || header_.biWidth != width || -header_.biHeight != height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return false;
    HGDIOBJ previous = SelectObject(dc_, bitmap);
    if (bitmap_) {
      DeleteObject(bitmap_);
    } else {
      original_ = previous;
    }
    bitmap_ = bitmap;
    bits_ = bits;
    header_ = info.bmiHeader;
  }
  part_ = RECT{};
  const LONG frameHeight = format->bmiHeader.biHeight;
  SetStretchBltMode(dc_, COLORONCOLOR);
  if (StretchDIBits(dc_, 0, 0, width, height, part.left, frameHeight - part.bottom, part.right - part.left,
                    part.bottom - part.top, frame, format, DIB_RGB_COLORS, SRCCOPY) == 0)
    return false;
  part_ = part;
  return true;
}

bool ScaledPicture::CopyTo(HDC dc, int x, int y) const {
  if (!bitmap_) return false;
  const LONG height = -header_.biHeight;
  return SetDIBitsToDevice(dc, x, y, DWORD(header_.biWidth), DWORD(height), 0, 0, 0, UINT(height), bits_,
                           reinterpret_cast<const BITMAPINFO*>(&header_), DIB_RGB_COLORS) != 0;
}

}  // namespace dshow::renderers
