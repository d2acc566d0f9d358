#pragma once
// A device context that stands in for a paint DC during one paint: drawing goes to an off-screen
// bitmap that is copied onto the target when the object goes away, so controls do not flicker.
// A printing DC is drawn on directly.
#include "mfc/afxwin.h"

class CBufferDC : public CDC {
 public:
  // rect: the logical rectangle buffered (the DC's clip box when null). copyBackground: start
  // from what the target shows there, else from the target's background colour.
  explicit CBufferDC(CDC* pDC, const CRect* rect = nullptr, BOOL copyBackground = FALSE);
  ~CBufferDC() override;
  CBufferDC(const CBufferDC&) = delete;
  CBufferDC& operator=(const CBufferDC&) = delete;

  CBufferDC* operator->() { return this; }
  operator CBufferDC*() { return this; }

 private:
  CDC* target_;
  CBitmap bitmap_;
  CBitmap* oldBitmap_ = nullptr;
  CRect rect_;
  BOOL buffering_;
};
