#pragma once
// Images and bitmaps: pixels over caller memory, of their own, or decoded from an image file.
#include <memory>

#include "gdiplus/gdiplus_types.h"

namespace gdiplus {
class Pixels;
}

namespace Gdiplus {

struct BitmapData {
  UINT Width;
  UINT Height;
  INT Stride;
  ::PixelFormat PixelFormat;
  VOID* Scan0;
  UINT_PTR Reserved;
};

class Image {
 public:
  // Decodes an image file (PNG, BMP, JPEG, GIF, TIFF, ...) into 32 bpp ARGB pixels. Always an
  // object; a file that is missing or cannot be decoded leaves it empty with its status.
  static Image* FromFile(const WCHAR* filename, BOOL useEmbeddedColorManagement = FALSE);
  virtual ~Image();
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  UINT GetWidth() const;
  UINT GetHeight() const;
  PixelFormat GetPixelFormat() const;
  // The status of the last call that failed, and since then Ok again.
  Status GetLastStatus() const;

 protected:
  Image();
  void LoadFile(const WCHAR* filename);
  Status SetStatus(Status status) const;

  std::unique_ptr<gdiplus::Pixels> pixels_;
  mutable Status lastResult_ = Ok;

  friend class Graphics;
  friend class TextureBrush;
};

class Bitmap : public Image {
 public:
  explicit Bitmap(const WCHAR* filename, BOOL useIcm = FALSE);
  // Zeroed pixels of its own (transparent black with alpha).
  Bitmap(INT width, INT height, PixelFormat format = PixelFormat32bppARGB);
  // Over the caller's memory, which must outlive the bitmap; a negative stride runs upwards.
  Bitmap(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0);
  // Over a device-independent bitmap of 24 or 32 bits, bottom-up (positive height) or top-down.
  Bitmap(const BITMAPINFO* gdiBitmapInfo, VOID* gdiBitmapData);
  static Bitmap* FromFile(const WCHAR* filename, BOOL useIcm = FALSE);

  // Gives access to a rectangle's pixels (rect null: all) in the bitmap's own format, straight in
  // its memory, or as 32 bpp ARGB, converted and written back on unlock when locked for writing.
  // A locked bitmap can be neither locked again nor drawn on or from.
  Status LockBits(const Rect* rect, UINT flags, PixelFormat format, BitmapData* lockedBitmapData);
  Status UnlockBits(BitmapData* lockedBitmapData);
};

}  // namespace Gdiplus
