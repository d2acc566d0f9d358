#pragma once
// Image files decoded with FFmpeg's image codecs.
#include <memory>
#include <string>

#include "pixels.h"

namespace gdiplus::codec {

struct Decoded {
  Gdiplus::Status status = Gdiplus::Ok;
  std::unique_ptr<Pixels> pixels;  // 32 bpp ARGB, not premultiplied
};

// The first picture of the file at the POSIX path.
Decoded DecodeImageFile(const std::string& path);

enum class FileKind { Bmp, Jpeg, Gif, Tiff, Png };

// Writes the pixels as one picture of the kind to the file at the POSIX path, replacing it; a
// partly written file is removed. GIF pictures take the nearest colour of a 3-3-2 palette.
Gdiplus::Status EncodeImageFile(const Pixels& pixels, FileKind kind, const std::string& path);

}  // namespace gdiplus::codec
