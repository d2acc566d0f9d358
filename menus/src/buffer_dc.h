#pragma once
// A memory drawing context over a target rectangle: drawing lands in a compatible bitmap whose
// origin is the rectangle's top left, copied onto the target when the context goes away (unless
// it was switched to direct mode, in which case the caller draws on the target itself).
#include "win32/windows.h"

class CStyledMenuBufferDC {
 public:
  CStyledMenuBufferDC(HDC target, const RECT& rect);
  ~CStyledMenuBufferDC();
  CStyledMenuBufferDC(const CStyledMenuBufferDC&) = delete;
  CStyledMenuBufferDC& operator=(const CStyledMenuBufferDC&) = delete;

  // The context to draw on: the buffer, or the target in direct mode.
  HDC Get() const { return direct_ ? target_ : memory_; }
  void SetDirect() { direct_ = true; }

 private:
  HDC target_;
  RECT rect_;
  HDC memory_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  bool direct_ = false;
};
