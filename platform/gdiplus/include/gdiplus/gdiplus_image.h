#pragma once
// Images and bitmaps: pixels over caller memory, of their own, or decoded from an image file.
#include <memory>

#include "gdiplus/gdiplus_types.h"
#include "win32/wingdi.h"

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

// An image encoder, found by its MIME type ("image/bmp", "image/jpeg", "image/gif", "image/tiff",
// "image/png") among those GetImageEncoders lists.
struct ImageCodecInfo {
  CLSID Clsid;
  GUID FormatID;
  const WCHAR* CodecName;
  const WCHAR* DllName;
  const WCHAR* FormatDescription;
  const WCHAR* FilenameExtension;
  const WCHAR* MimeType;
  DWORD Flags;
  DWORD Version;
  DWORD SigCount;
  DWORD SigSize;
  const BYTE* SigPattern;
  const BYTE* SigMask;
};

// Encoder settings are not taken here: every encoder writes with its own defaults.
struct EncoderParameters;

// The number of encoders and the bytes GetImageEncoders needs for them.
Status GetImageEncodersSize(UINT* numEncoders, UINT* size);
// Fills encoders (size bytes, as GetImageEncodersSize gave) with numEncoders entries.
Status GetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo* encoders);

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
  // Writes the image to the file with the encoder of that class (one of GetImageEncoders);
  // an existing file is replaced. Nothing is left behind when encoding fails.
  Status Save(const WCHAR* filename, const CLSID* clsidEncoder, const EncoderParameters* encoderParams = nullptr);

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
  // A copy of a GDI bitmap's pixels (the bitmap must not be selected into a device context);
  // 32 bpp RGB. The palette is not used: only true-colour bitmaps are read.
  Bitmap(HBITMAP hbm, HPALETTE hpal);
  static Bitmap* FromFile(const WCHAR* filename, BOOL useIcm = FALSE);
  static Bitmap* FromHBITMAP(HBITMAP hbm, HPALETTE hpal);

  // A new 32-bit top-down DIB section of the pixels laid over the background colour; the caller
  // deletes it.
  Status GetHBITMAP(const Color& colorBackground, HBITMAP* hbmReturn);

  // Gives access to a rectangle's pixels (rect null: all) in the bitmap's own format, straight in
  // its memory, or as 32 bpp ARGB, converted and written back on unlock when locked for writing.
  // A locked bitmap can be neither locked again nor drawn on or from.
  Status LockBits(const Rect* rect, UINT flags, PixelFormat format, BitmapData* lockedBitmapData);
  Status UnlockBits(BitmapData* lockedBitmapData);
};

}  // namespace Gdiplus
