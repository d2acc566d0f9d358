// The image encoders GDI+ lists, and saving an image with one of them.
#include <cstring>
#include <iterator>

#include "gdiplus/gdiplus.h"
#include "image_file.h"
#include "pixels.h"
#include "win32/paths.h"
#include "win32/utf.h"

namespace Gdiplus {
namespace {

struct Encoder {
  CLSID clsid;
  GUID format;
  const WCHAR* name;
  const WCHAR* extensions;
  const WCHAR* mimeType;
  gdiplus::codec::FileKind kind;
};

constexpr DWORD kImageCodecEncoder = 0x00000001;
constexpr DWORD kImageCodecBuiltin = 0x00010000;

const Encoder kEncoders[] = {
    {{0x557CF400, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}},
     {0xB96B3CAB, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}},
     u"Built-in BMP Codec", u"*.BMP;*.DIB;*.RLE", u"image/bmp", gdiplus::codec::FileKind::Bmp},
    {{0x557CF401, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}},
     {0xB96B3CAE, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}},
     u"Built-in JPEG Codec", u"*.JPG;*.JPEG;*.JPE;*.JFIF", u"image/jpeg", gdiplus::codec::FileKind::Jpeg},
    {{0x557CF402, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}},
     {0xB96B3CB0, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}},
     u"Built-in GIF Codec", u"*.GIF", u"image/gif", gdiplus::codec::FileKind::Gif},
    {{0x557CF405, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}},
     {0xB96B3CB1, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}},
     u"Built-in TIFF Codec", u"*.TIF;*.TIFF", u"image/tiff", gdiplus::codec::FileKind::Tiff},
    {{0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}},
     {0xB96B3CAF, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}},
     u"Built-in PNG Codec", u"*.PNG", u"image/png", gdiplus::codec::FileKind::Png},
};
constexpr UINT kEncoderCount = UINT(std::size(kEncoders));

}  // namespace

Status GetImageEncodersSize(UINT* numEncoders, UINT* size) {
  if (!numEncoders || !size) return InvalidParameter;
  if (!gdiplus::Started()) return GdiplusNotInitialized;
  *numEncoders = kEncoderCount;
  *size = kEncoderCount * sizeof(ImageCodecInfo);
  return Ok;
}

Status GetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo* encoders) {
  if (!encoders) return InvalidParameter;
  if (!gdiplus::Started()) return GdiplusNotInitialized;
  if (numEncoders != kEncoderCount || size < kEncoderCount * sizeof(ImageCodecInfo)) return GenericError;
  for (UINT i = 0; i < kEncoderCount; ++i) {
    const Encoder& e = kEncoders[i];
    encoders[i] = ImageCodecInfo{e.clsid, e.format, e.name, nullptr, nullptr, e.extensions, e.mimeType,
                                 kImageCodecEncoder | kImageCodecBuiltin, 1, 0, 0, nullptr, nullptr};
  }
  return Ok;
}

Status Image::Save(const WCHAR* filename, const CLSID* clsidEncoder, const EncoderParameters*) {
  if (!gdiplus::Started()) return SetStatus(GdiplusNotInitialized);
  if (!filename || !clsidEncoder || !pixels_) return SetStatus(InvalidParameter);
  if (pixels_->locked) return SetStatus(WrongState);
  for (const Encoder& e : kEncoders) {
    if (std::memcmp(&e.clsid, clsidEncoder, sizeof(CLSID)) != 0) continue;
    const std::string path = PosixPathFromPlatform(win32::Utf16ToUtf8(filename));
    return SetStatus(gdiplus::codec::EncodeImageFile(*pixels_, e.kind, path));
  }
  return SetStatus(FileNotFound);
}

}  // namespace Gdiplus
