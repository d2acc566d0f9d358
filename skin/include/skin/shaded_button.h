#pragma once
// A hover button on a shaded, grainy background computed once from the system's button colours.
#include <random>

#include "skin/dib_image.h"
#include "skin/hover_button.h"

class CShadedButton : public CHoverButton {
  DECLARE_DYNAMIC(CShadedButton)
 public:
  // The patterns of SetShade.
  enum Shade {
    kNoise = 0,
    kDiagonal = 1,
    kVertical = 2,
    kHorizontal = 3,
    kVerticalBump = 4,
    kHorizontalBump = 5,
    kSoftBump = 6,
    kHardBump = 7,
    kMetal = 8,
  };

  CShadedButton() = default;
  ~CShadedButton() override = default;

  // Computes the pictures for the window's current size: the pattern, its grain (noise of
  // +-granularity), how far the hover look goes toward the highlight colour and how far the whole
  // goes toward colour, in percent.
  void SetShade(int shade, int granularity = 8, int highlight = 10, int colouring = 0, COLORREF colour = 0);

  const CDibImage& NormalImage() const { return normal_; }
  const CDibImage& HoverImage() const { return hover_; }
  const CDibImage& PressedImage() const { return pressedImage_; }
  const CDibImage& HorizontalEdge() const { return horizontalEdge_; }
  const CDibImage& VerticalEdge() const { return verticalEdge_; }

 protected:
  void PaintBackground(CDC* pDC, CRect* pRect) override;
  void PaintBorder(CDC* pDC, CRect* pRect) override;

 private:
  // A value in [0, 32768).
  int Random15() { return int((random_() >> 8) & 0x7FFF); }
  // A value in [-granularity, granularity).
  int Noise(int granularity) { return Random15() * 2 * granularity / 32768 - granularity; }

  CDibImage normal_;
  CDibImage copyNormal_;
  CDibImage hover_;
  CDibImage pressedImage_;
  CDibImage horizontalEdge_;
  CDibImage verticalEdge_;
  std::minstd_rand random_;
};
