// The double-buffer DC: drawing reaches the target only when the buffer goes away, only inside
// the buffered rectangle, starting from the target's content or background colour.
#include "skin/buffer_dc.h"

#include <gtest/gtest.h>

#include "canvas.h"

namespace {

TEST(BufferDC, DrawingAppearsWhenTheBufferGoesAway) {
  Canvas target(40, 40, kWhite);
  target.dc.SetBkColor(kBlue);
  {
    CRect area(10, 10, 30, 30);
    CBufferDC buffer(&target.dc, &area);
    buffer->FillSolidRect(CRect(12, 12, 20, 20), kRed);  // logical coordinates of the target
    buffer->FillSolidRect(CRect(0, 0, 40, 5), kRed);     // outside the buffered rectangle
    EXPECT_EQ(target.At(15, 15), kWhite);                // nothing shows yet
  }
  EXPECT_EQ(target.At(12, 12), kRed);
  EXPECT_EQ(target.At(19, 19), kRed);
  EXPECT_EQ(target.At(25, 25), kBlue);  // the rest of the buffer: the target's background colour
  EXPECT_EQ(target.At(10, 10), kBlue);
  EXPECT_EQ(target.At(30, 30), kWhite);  // outside
  EXPECT_EQ(target.At(9, 15), kWhite);
  EXPECT_EQ(target.At(5, 2), kWhite);
  EXPECT_EQ(target.dc.GetBkColor(), kBlue);
  CGdiObject::DeleteTempMap();
}

TEST(BufferDC, CopiedBackgroundAndClipBox) {
  Canvas target(40, 40, kGreen);
  target.dc.IntersectClipRect(5, 5, 15, 15);
  {
    CBufferDC buffer(&target.dc, nullptr, TRUE);
    buffer->FillSolidRect(CRect(5, 5, 8, 8), kRed);
  }
  target.dc.SelectClipRgn(nullptr);
  EXPECT_EQ(target.At(5, 5), kRed);
  EXPECT_EQ(target.At(8, 8), kGreen);   // copied from the target, not the background colour
  EXPECT_EQ(target.At(14, 14), kGreen);
  CGdiObject::DeleteTempMap();
}

TEST(BufferDC, WindowOriginOfTheTargetIsKept) {
  Canvas target(40, 40, kWhite);
  target.dc.SetWindowOrg(-10, -10);  // logical (0, 0) is device (10, 10)
  {
    CRect area(0, 0, 10, 10);
    CBufferDC buffer(&target.dc, &area);
    buffer->FillSolidRect(CRect(0, 0, 4, 4), kRed);
  }
  EXPECT_EQ(target.At(10, 10), kRed);
  EXPECT_EQ(target.At(13, 13), kRed);
  EXPECT_EQ(target.At(14, 14), kWhite);
  EXPECT_EQ(target.At(9, 9), kWhite);
  CGdiObject::DeleteTempMap();
}

TEST(BufferDC, PrintingAndEmptyRectanglesDrawDirectly) {
  Canvas target(20, 20, kWhite);
  target.dc.m_bPrinting = TRUE;
  {
    CRect area(0, 0, 10, 10);
    CBufferDC buffer(&target.dc, &area);
    EXPECT_EQ(buffer.m_hDC, target.dc.m_hDC);
    EXPECT_TRUE(buffer.IsPrinting());
    buffer->FillSolidRect(CRect(0, 0, 2, 2), kRed);
    EXPECT_EQ(target.At(1, 1), kRed);
  }
  // The target DC survives the buffer that borrowed it.
  EXPECT_NE(GetDeviceCaps(target.dc.m_hDC, BITSPIXEL), 0);
  target.dc.m_bPrinting = FALSE;
  {
    CRect empty(5, 5, 5, 9);
    CBufferDC buffer(&target.dc, &empty);
    buffer->FillSolidRect(CRect(0, 0, 20, 20), kBlue);
  }
  EXPECT_EQ(target.At(5, 5), kWhite);
  EXPECT_NE(GetDeviceCaps(target.dc.m_hDC, BITSPIXEL), 0);
}

}  // namespace
