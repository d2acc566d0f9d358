#include "scaled_picture.h"

#include <cstdint>
#include <cstring>

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
  const BITMAPINFOHEADER& frameFormat = format->bmiHeader;
  if (frameFormat.biBitCount == 24 || frameFormat.biBitCount == 32) {
    PickPixels(frame, frameFormat, part);
  } else {
    SetStretchBltMode(dc_, COLORONCOLOR);
    if (StretchDIBits(dc_, 0, 0, width, height, part.left, frameFormat.biHeight - part.bottom,
                      part.right - part.left, part.bottom - part.top, frame, format, DIB_RGB_COLORS, SRCCOPY) == 0)
      return false;
  }
  part_ = part;
  return true;
}

// The pixels the window's nearest-pixel stretch would pick, written straight into the picture: a
// stretch through the device context builds a picture of its own first and copies it over, which
// took as long again. (libswscale's smooth scaling cost three to four times as much.)
void ScaledPicture::PickPixels(const BYTE* frame, const BITMAPINFOHEADER& format, const RECT& part) {
  const LONG width = header_.biWidth, height = -header_.biHeight;
  const LONG partWidth = part.right - part.left, partHeight = part.bottom - part.top;
  const size_t bytes = format.biBitCount / 8;
  const size_t frameStride = (size_t(format.biWidth) * format.biBitCount + 31) / 32 * 4;
  columns_.resize(size_t(width));
  for (LONG x = 0; x < width; ++x)
    columns_[size_t(x)] = size_t(part.left + LONGLONG(x) * partWidth / width) * bytes;
  auto* out = static_cast<uint32_t*>(bits_);
  for (LONG y = 0; y < height; ++y, out += width) {
    const LONG row = part.top + LONG(LONGLONG(y) * partHeight / height);
    const BYTE* in = frame + size_t(format.biHeight - 1 - row) * frameStride;  // rows run bottom-up
    if (bytes == 4) {
      for (LONG x = 0; x < width; ++x) std::memcpy(&out[x], in + columns_[size_t(x)], 4);
    } else {
      for (LONG x = 0; x < width; ++x) {
        const BYTE* p = in + columns_[size_t(x)];
        out[x] = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
      }
    }
  }
}

bool ScaledPicture::CopyTo(HDC dc, int x, int y) const {
  if (!bitmap_) return false;
  const LONG height = -header_.biHeight;
  return SetDIBitsToDevice(dc, x, y, DWORD(header_.biWidth), DWORD(height), 0, 0, 0, UINT(height), bits_,
                           reinterpret_cast<const BITMAPINFO*>(&header_), DIB_RGB_COLORS) != 0;
}

}  // namespace dshow::renderers
