#pragma once
// Window shapes cut from skin pictures.
#include "win32/windows.h"

// An owned region handle; SetWindowRgn takes it over through Detach.
class SkinRegion {
 public:
  SkinRegion() = default;
  explicit SkinRegion(HRGN region) : handle_(region) {}
  ~SkinRegion() { Reset(); }
  SkinRegion(SkinRegion&& other) noexcept;
  SkinRegion& operator=(SkinRegion&& other) noexcept;
  SkinRegion(const SkinRegion&) = delete;
  SkinRegion& operator=(const SkinRegion&) = delete;

  void Reset();
  HRGN Detach();
  HRGN Get() const { return handle_; }
  bool IsEmpty() const { return handle_ == nullptr; }

 private:
  HRGN handle_ = nullptr;
};

// The bitmap's rectangle without the pixels of the key colour, built from the horizontal runs of
// the other pixels. A bitmap whose every pixel has the key colour gives its whole rectangle, so a
// window never loses all of itself; CLR_INVALID as the key leaves every pixel in. keyed (optional)
// tells whether any pixel was left out. Null for a bitmap that cannot be read.
HRGN CreateSkinRegion(HBITMAP bitmap, COLORREF key, bool* keyed = nullptr);
