#pragma once
// The pixel sets of the filled shapes, shared by the shape drawing and the region constructors.
#include "gdi/banded_region.h"

namespace win32::gdi {

// Pixels of the rounded rectangle in [left, right) x [top, bottom) whose corners are quarters
// of a cornerWidth x cornerHeight ellipse (an ellipse when they span the box). Pixel centres
// decide. With a limit, only the pixels inside it are made.
Region RoundRectRegion(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight,
                       const RECT* limit = nullptr);
// Pixels whose centres lie inside the polygon (ALTERNATE or WINDING), left and top edges in.
Region PolygonRegion(const POINT* points, int count, int fillMode, const RECT* limit = nullptr);
// The pixels of a region that touch its outside (one-pixel border inside it).
Region InnerBorder(const Region& region);

}  // namespace win32::gdi
