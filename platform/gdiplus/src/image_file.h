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

}  // namespace gdiplus::codec
