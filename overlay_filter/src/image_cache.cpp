#include "image_cache.h"

#include <cstring>
#include <string>

#include "ansi_text.h"

namespace overlay_filter {

void ImageCache::Clear() {
  keyed_.reset();
  decoded_.reset();
  file_ = {};
}

bool ImageCache::Load(const FileIdentity& file) {
  Clear();
  auto loaded = std::make_unique<Gdiplus::Bitmap>(WideFromAnsi(file.path.c_str()).c_str());
  if (loaded->GetLastStatus() != Gdiplus::Ok) return false;
  decoded_ = std::move(loaded);
  file_ = file;
  return true;
}

bool ImageCache::Key(Rgb key, BYTE alpha) {
  keyed_.reset();
  const INT width = INT(decoded_->GetWidth()), height = INT(decoded_->GetHeight());
  auto keyed = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
  if (keyed->GetLastStatus() != Gdiplus::Ok) {
    outOfMemory_ = true;
    return false;
  }
  Gdiplus::BitmapData source{}, target{};
  Gdiplus::Rect all(0, 0, width, height);
  if (decoded_->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &source) != Gdiplus::Ok) return false;
  if (keyed->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &target) != Gdiplus::Ok ||
      target.Stride == 0 || source.Stride == 0) {
    decoded_->UnlockBits(&source);
    keyed->UnlockBits(&target);
    return false;
  }
  // Only an exact match is keyed: it keeps its colour with alpha 0.
  for (INT y = 0; y < height; ++y) {
    const BYTE* in = static_cast<const BYTE*>(source.Scan0) + ptrdiff_t(y) * source.Stride;
    BYTE* out = static_cast<BYTE*>(target.Scan0) + ptrdiff_t(y) * target.Stride;
    for (INT x = 0; x < width; ++x, in += 4, out += 4) {
      std::memcpy(out, in, 3);
      out[3] = (in[2] == key.r && in[1] == key.g && in[0] == key.b) ? 0 : alpha;
    }
  }
  decoded_->UnlockBits(&source);
  keyed->UnlockBits(&target);
  keyed_ = std::move(keyed);
  keyedWith_ = key;
  keyedAlpha_ = alpha;
  return true;
}

Gdiplus::Bitmap* ImageCache::Keyed(const OverlaySettings& settings) {
  outOfMemory_ = false;
  FileIdentity file;
  file.path = settings.imagePath.data();
  WIN32_FILE_ATTRIBUTE_DATA attributes{};
  if (file.path.empty() || !GetFileAttributesEx(file.path.c_str(), GetFileExInfoStandard, &attributes) ||
      (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    Clear();
    return nullptr;
  }
  file.sizeHigh = attributes.nFileSizeHigh;
  file.sizeLow = attributes.nFileSizeLow;
  file.written = attributes.ftLastWriteTime;
  if (!(decoded_ && file == file_) && !Load(file)) return nullptr;
  if (!keyed_ || !(keyedWith_ == settings.key) || keyedAlpha_ != settings.imageAlpha) {
    if (!Key(settings.key, settings.imageAlpha)) return nullptr;
  }
  return keyed_.get();
}

}  // namespace overlay_filter
