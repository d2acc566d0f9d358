#include "skin/buffer_dc.h"

CBufferDC::CBufferDC(CDC* pDC, const CRect* rect, BOOL copyBackground)
    : target_(pDC), buffering_(!pDC->IsPrinting()) {
  if (rect)
    rect_ = *rect;
  else
    pDC->GetClipBox(&rect_);
  CRect device = rect_;
  pDC->LPtoDP(&device);
  // Without a bitmap (no memory for it) the target is drawn on directly.
  if (buffering_ && CreateCompatibleDC(pDC)) {
    if (bitmap_.CreateCompatibleBitmap(pDC, device.Width(), device.Height())) {
      oldBitmap_ = SelectObject(&bitmap_);
    } else {
      DeleteDC();
      buffering_ = FALSE;
    }
  } else {
    buffering_ = FALSE;
  }
  if (!buffering_) {
    m_bPrinting = pDC->m_bPrinting;
    m_hDC = pDC->m_hDC;
    m_hAttribDC = pDC->m_hAttribDC;
    return;
  }
  SetMapMode(pDC->GetMapMode());
  SetWindowExt(pDC->GetWindowExt());
  SetViewportExt(pDC->GetViewportExt());
  SetWindowOrg(rect_.left, rect_.top);
  if (copyBackground)
    BitBlt(rect_.left, rect_.top, rect_.Width(), rect_.Height(), pDC, rect_.left, rect_.top, SRCCOPY);
  else
    FillSolidRect(rect_, pDC->GetBkColor());
}

CBufferDC::~CBufferDC() {
  if (buffering_) {
    target_->BitBlt(rect_.left, rect_.top, rect_.Width(), rect_.Height(), this, rect_.left, rect_.top, SRCCOPY);
    SelectObject(oldBitmap_);
  } else {
    // The target's handle was borrowed, not owned.
    m_hDC = m_hAttribDC = nullptr;
  }
}
