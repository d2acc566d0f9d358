#pragma once
// A bitmap of a skin, read from a Windows bitmap file through the platform's validating reader
// as a device-independent section at its own size. It owns its handle and is empty when the file
// did not load; controls take the handle over with Detach (for example into a CBitmap).
#include "win32/windows.h"

class SkinBitmap {
 public:
  SkinBitmap() = default;
  ~SkinBitmap() { Reset(); }
  SkinBitmap(SkinBitmap&& other) noexcept;
  SkinBitmap& operator=(SkinBitmap&& other) noexcept;
  SkinBitmap(const SkinBitmap&) = delete;
  SkinBitmap& operator=(const SkinBitmap&) = delete;

  // Drops what it holds and reads the file; false (and empty) when the file does not load.
  bool Load(LPCSTR path);
  void Reset();
  HBITMAP Detach();

  HBITMAP Get() const { return handle_; }
  bool IsEmpty() const { return handle_ == nullptr; }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  HBITMAP handle_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};
