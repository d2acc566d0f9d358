#pragma once
// Brushes (solid, hatch, texture) and pens.
#include <memory>

#include "gdiplus/gdiplus_types.h"

namespace gdiplus {
class Paint;
}

namespace Gdiplus {

class Image;

class Brush {
 public:
  virtual ~Brush();
  Brush(const Brush&) = delete;
  Brush& operator=(const Brush&) = delete;
  Status GetLastStatus() const;

 protected:
  Brush();
  Status SetStatus(Status status) const;

  std::unique_ptr<gdiplus::Paint> paint_;  // null when the brush could not be made
  mutable Status lastResult_ = Ok;

  friend class Graphics;
};

class SolidBrush : public Brush {
 public:
  explicit SolidBrush(const Color& color);
};

// Aligned to the drawing surface's origin.
class HatchBrush : public Brush {
 public:
  HatchBrush(HatchStyle hatchStyle, const Color& foreColor, const Color& backColor = Color());
};

// The image's pixels as they are when the brush is made, tiled from the surface's origin.
class TextureBrush : public Brush {
 public:
  explicit TextureBrush(Image* image, WrapMode wrapMode = WrapModeTile);
};

class Pen {
 public:
  explicit Pen(const Color& color, REAL width = 1.0f);
  Status GetLastStatus() const;
  Color GetColor() const { return color_; }
  REAL GetWidth() const { return width_; }

 private:
  Color color_;
  REAL width_;
  mutable Status lastResult_ = Ok;
};

}  // namespace Gdiplus
