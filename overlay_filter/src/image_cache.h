#pragma once
// The overlay image, keyed and ready to draw. The file is decoded once and kept while its path,
// size and modification time stay the same, so a changed file shows on the next frame without
// decoding every frame.
#include <memory>
#include <string>

#include "gdiplus/gdiplus.h"
#include "overlay_settings.h"

namespace overlay_filter {

class ImageCache {
 public:
  // The image of the settings as a 32 bpp ARGB bitmap, pixels of the key colour transparent and
  // all others at the image alpha; null when the file cannot be read or the image not made.
  Gdiplus::Bitmap* Keyed(const OverlaySettings& settings);
  // Whether the last Keyed failed for want of memory for the bitmap.
  bool OutOfMemory() const { return outOfMemory_; }
  void Clear();

 private:
  struct FileIdentity {
    std::string path;
    DWORD sizeHigh = 0, sizeLow = 0;
    FILETIME written{};
    bool operator==(const FileIdentity& o) const {
      return path == o.path && sizeHigh == o.sizeHigh && sizeLow == o.sizeLow &&
             written.dwLowDateTime == o.written.dwLowDateTime && written.dwHighDateTime == o.written.dwHighDateTime;
    }
  };

  bool Load(const FileIdentity& file);
  bool Key(Rgb key, BYTE alpha);

  FileIdentity file_;
  std::unique_ptr<Gdiplus::Bitmap> decoded_;  // the file's pixels, 32 bpp ARGB
  std::unique_ptr<Gdiplus::Bitmap> keyed_;
  Rgb keyedWith_;
  BYTE keyedAlpha_ = 0;
  bool outOfMemory_ = false;
};

}  // namespace overlay_filter
