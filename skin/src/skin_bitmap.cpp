#include "skin/skin_bitmap.h"

#include <utility>

SkinBitmap::SkinBitmap(SkinBitmap&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)),
      width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)) {}

SkinBitmap& SkinBitmap::operator=(SkinBitmap&& other) noexcept {
  if (this != &other) {
    Reset();
    handle_ = std::exchange(other.handle_, nullptr);
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
  }
  return *this;
}

bool SkinBitmap::Load(LPCSTR path) {
  Reset();
  handle_ = static_cast<HBITMAP>(LoadImage(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  BITMAP info{};
  if (handle_ && GetObject(handle_, sizeof info, &info)) {
    width_ = info.bmWidth;
    height_ = info.bmHeight;
  }
  return handle_ != nullptr;
}

void SkinBitmap::Reset() {
  if (handle_) DeleteObject(handle_);
  handle_ = nullptr;
  width_ = height_ = 0;
}

HBITMAP SkinBitmap::Detach() {
  width_ = height_ = 0;
  return std::exchange(handle_, nullptr);
}
