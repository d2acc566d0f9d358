#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "gdiplus/gdiplus.h"
#include "image_file.h"
#include "pixels.h"
#include "win32/paths.h"
#include "win32/utf.h"

namespace Gdiplus {

Image::Image() = default;
Image::~Image() = default;

Status Image::SetStatus(Status status) const {
  if (status != Ok) lastResult_ = status;
  return status;
}

Status Image::GetLastStatus() const { return std::exchange(lastResult_, Ok); }

void Image::LoadFile(const WCHAR* filename) {
  if (!gdiplus::Started()) {
    SetStatus(GdiplusNotInitialized);
    return;
  }
  if (!filename) {
    SetStatus(InvalidParameter);
    return;
  }
  std::string path = PosixPathFromPlatform(win32::Utf16ToUtf8(filename));
  gdiplus::codec::Decoded decoded = gdiplus::codec::DecodeImageFile(path);
  pixels_ = std::move(decoded.pixels);
  SetStatus(decoded.status);
}

Image* Image::FromFile(const WCHAR* filename, BOOL) {
  Image* image = new Image();
  image->LoadFile(filename);
  return image;
}

UINT Image::GetWidth() const { return pixels_ ? UINT(pixels_->Width()) : 0; }
UINT Image::GetHeight() const { return pixels_ ? UINT(pixels_->Height()) : 0; }
PixelFormat Image::GetPixelFormat() const { return pixels_ ? pixels_->Format() : PixelFormatUndefined; }

Bitmap::Bitmap(const WCHAR* filename, BOOL) { LoadFile(filename); }

Bitmap* Bitmap::FromFile(const WCHAR* filename, BOOL useIcm) { return new Bitmap(filename, useIcm); }

Bitmap* Bitmap::FromHBITMAP(HBITMAP hbm, HPALETTE hpal) { return new Bitmap(hbm, hpal); }

namespace {

BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

Bitmap::Bitmap(HBITMAP hbm, HPALETTE) {
  if (!gdiplus::Started()) {
    SetStatus(GdiplusNotInitialized);
    return;
  }
  BITMAP bm{};
  if (!hbm || GetObject(hbm, sizeof bm, &bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight == 0) {
    SetStatus(InvalidParameter);
    return;
  }
  const int width = bm.bmWidth, height = std::abs(bm.bmHeight);
  try {
    pixels_ = std::make_unique<gdiplus::Pixels>(width, height, PixelFormat32bppRGB);
  } catch (const std::bad_alloc&) {
    SetStatus(OutOfMemory);
    return;
  }
  // 32 bpp rows need no padding: the pixels take the rows as they are.
  BITMAPINFO info = TopDown32(width, height);
  HDC dc = CreateCompatibleDC(nullptr);
  const int rows = GetDIBits(dc, hbm, 0, UINT(height), pixels_->Row(0), &info, DIB_RGB_COLORS);
  DeleteDC(dc);
  if (rows != height) {
    pixels_.reset();
    SetStatus(Win32Error);
  }
}

Status Bitmap::GetHBITMAP(const Color& colorBackground, HBITMAP* hbmReturn) {
  if (!hbmReturn) return SetStatus(InvalidParameter);
  *hbmReturn = nullptr;
  if (!pixels_) return SetStatus(InvalidParameter);
  const gdiplus::Pixels& pixels = *pixels_;
  if (pixels.locked) return SetStatus(WrongState);
  BITMAPINFO info = TopDown32(pixels.Width(), pixels.Height());
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) return SetStatus(Win32Error);
  const ARGB back = colorBackground.GetValue();
  const int bytes = gdiplus::BytesPerPixel(pixels.Format());
  const bool alpha = pixels.Format() == PixelFormat32bppARGB;
  BYTE* out = static_cast<BYTE*>(bits);
  for (int y = 0; y < pixels.Height(); ++y) {
    const BYTE* in = pixels.Row(y);
    for (int x = 0; x < pixels.Width(); ++x, in += bytes, out += 4) {
      const int a = alpha ? in[3] : 255;
      for (int c = 0; c < 3; ++c) {
        const int under = int((back >> (8 * c)) & 0xFF);
        out[c] = BYTE((in[c] * a + under * (255 - a) + 127) / 255);
      }
      out[3] = 0;
    }
  }
  *hbmReturn = bitmap;
  return Ok;
}

Bitmap::Bitmap(INT width, INT height, PixelFormat format) {
  if (!gdiplus::Started()) {
    SetStatus(GdiplusNotInitialized);
    return;
  }
  if (width <= 0 || height <= 0 || gdiplus::BytesPerPixel(format) == 0) {
    SetStatus(InvalidParameter);
    return;
  }
  try {
    pixels_ = std::make_unique<gdiplus::Pixels>(width, height, format);
  } catch (const std::bad_alloc&) {
    SetStatus(OutOfMemory);
  }
}

Bitmap::Bitmap(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0) {
  if (!gdiplus::Started()) {
    SetStatus(GdiplusNotInitialized);
    return;
  }
  const int bytes = gdiplus::BytesPerPixel(format);
  if (width <= 0 || height <= 0 || bytes == 0 || !scan0 || std::abs(int64_t(stride)) < int64_t(width) * bytes) {
    SetStatus(InvalidParameter);
    return;
  }
  pixels_ = std::make_unique<gdiplus::Pixels>(width, height, stride, format, scan0);
}

Bitmap::Bitmap(const BITMAPINFO* info, VOID* data) {
  if (!gdiplus::Started()) {
    SetStatus(GdiplusNotInitialized);
    return;
  }
  if (!info || !data) {
    SetStatus(InvalidParameter);
    return;
  }
  const BITMAPINFOHEADER& header = info->bmiHeader;
  PixelFormat format = header.biBitCount == 24   ? PixelFormat24bppRGB
                       : header.biBitCount == 32 ? PixelFormat32bppRGB
                                                 : PixelFormatUndefined;
  const int width = header.biWidth;
  const int64_t height = std::abs(int64_t(header.biHeight));
  if (format == PixelFormatUndefined || header.biCompression != BI_RGB || width <= 0 || height == 0 ||
      height > 0x7FFFFFFF / 4 || int64_t(width) * 4 > 0x7FFFFFFF / 4) {
    SetStatus(InvalidParameter);
    return;
  }
  // DIB rows are padded to four bytes; a bottom-up DIB keeps its top row last.
  const int rowBytes = ((width * int(header.biBitCount) + 31) / 32) * 4;
  BYTE* bits = static_cast<BYTE*>(data);
  if (header.biHeight > 0)
    pixels_ = std::make_unique<gdiplus::Pixels>(width, int(height), -rowBytes, format,
                                                bits + (height - 1) * int64_t(rowBytes));
  else
    pixels_ = std::make_unique<gdiplus::Pixels>(width, int(height), rowBytes, format, bits);
}

Status Bitmap::LockBits(const Rect* rect, UINT flags, PixelFormat format, BitmapData* locked) {
  if (!pixels_ || !locked) return SetStatus(InvalidParameter);
  gdiplus::Pixels& pixels = *pixels_;
  if (pixels.locked) return SetStatus(WrongState);
  gdiplus::Box area = rect ? gdiplus::Box{rect->X, rect->Y, rect->Width, rect->Height} : pixels.Bounds();
  if (area.Empty() || area.Intersect(pixels.Bounds()).width != area.width ||
      area.Intersect(pixels.Bounds()).height != area.height)
    return SetStatus(InvalidParameter);
  // Besides its own format, an opaque bitmap hands out 32 bpp ARGB.
  if (format != pixels.Format() && !(format == PixelFormat32bppARGB && pixels.Opaque()))
    return SetStatus(InvalidParameter);
  if (flags & ImageLockModeUserInputBuf) return SetStatus(NotImplemented);

  pixels.lockArea = area;
  pixels.lockFlags = flags;
  locked->Width = UINT(area.width);
  locked->Height = UINT(area.height);
  locked->PixelFormat = format;
  locked->Reserved = 0;
  const int bytes = gdiplus::BytesPerPixel(pixels.Format());
  if (format == pixels.Format()) {
    locked->Stride = pixels.Stride();
    locked->Scan0 = pixels.Row(area.y) + area.x * bytes;
  } else {
    // Another format: a copy in 32 bpp ARGB, written back on unlock when locked for writing.
    const int stride = area.width * 4;
    pixels.lockCopy.assign(size_t(stride) * size_t(area.height), 0);
    if (flags & ImageLockModeRead) {
      for (int y = 0; y < area.height; ++y) {
        const BYTE* in = pixels.Row(area.y + y) + area.x * bytes;
        BYTE* out = pixels.lockCopy.data() + size_t(y) * size_t(stride);
        for (int x = 0; x < area.width; ++x, in += bytes, out += 4) {
          out[0] = in[0];
          out[1] = in[1];
          out[2] = in[2];
          out[3] = 0xFF;
        }
      }
    }
    locked->Stride = stride;
    locked->Scan0 = pixels.lockCopy.data();
  }
  pixels.locked = true;
  return Ok;
}

Status Bitmap::UnlockBits(BitmapData* locked) {
  if (!pixels_ || !locked) return SetStatus(InvalidParameter);
  gdiplus::Pixels& pixels = *pixels_;
  if (!pixels.locked) return SetStatus(WrongState);
  if (!pixels.lockCopy.empty() && (pixels.lockFlags & ImageLockModeWrite)) {
    const gdiplus::Box& area = pixels.lockArea;
    const int bytes = gdiplus::BytesPerPixel(pixels.Format());
    for (int y = 0; y < area.height; ++y) {
      const BYTE* in = pixels.lockCopy.data() + size_t(y) * size_t(area.width) * 4;
      BYTE* out = pixels.Row(area.y + y) + area.x * bytes;
      for (int x = 0; x < area.width; ++x, in += 4, out += bytes) std::memcpy(out, in, 3);
    }
  }
  pixels.lockCopy.clear();
  pixels.locked = false;
  return Ok;
}

}  // namespace Gdiplus
