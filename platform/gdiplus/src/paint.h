#pragma once
// What a brush paints with, as a cairo source in the drawing surface's coordinates.
#include <cairo.h>

#include <cstdint>

#include "gdiplus/gdiplus_types.h"
#include "pixels.h"

namespace gdiplus {

class Paint {
 public:
  // A solid colour.
  explicit Paint(Gdiplus::Color color) : color_(color) {}
  // A repeating pattern whose origin is the surface's.
  explicit Paint(CairoPattern pattern) : pattern_(std::move(pattern)) {}

  void Apply(cairo_t* context) const;

 private:
  Gdiplus::Color color_;
  CairoPattern pattern_;
};

void SetSourceColor(cairo_t* context, Gdiplus::Color color);

// The 8 x 8 pattern of a hatch style: eight rows, the leftmost pixel in the high bit.
const uint8_t* HatchRows(int style);

}  // namespace gdiplus
