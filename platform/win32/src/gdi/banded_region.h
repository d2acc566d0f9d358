#pragma once
// A set of pixels kept as y-x banded rectangles (pixman's region). Coordinates are whatever the
// owner says: logical for a region handle, device for a DC's clip.
#include <pixman.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "win32/wingdi.h"

namespace win32::gdi {

// Coordinates are kept within 28 bits, the platform's own range: sums of two never overflow, and
// far-off drawing costs no more than the part that reaches the surface.
constexpr int64_t kCoordinateLimit = int64_t{1} << 27;
inline int Coordinate(int64_t v) { return static_cast<int>(std::clamp(v, -kCoordinateLimit, kCoordinateLimit)); }
// A rectangle with each side within that range.
inline RECT Clamped(const RECT& r) {
  return RECT{Coordinate(r.left), Coordinate(r.top), Coordinate(r.right), Coordinate(r.bottom)};
}
// The rectangle at (x, y) of extent w x h, each side within that range.
inline RECT Box(int x, int y, int w, int h) {
  return RECT{Coordinate(x), Coordinate(y), Coordinate(int64_t{x} + w), Coordinate(int64_t{y} + h)};
}

class Region {
 public:
  Region();
  explicit Region(const RECT& rect);  // an inverted or empty rectangle gives an empty region
  Region(int left, int top, int right, int bottom);
  Region(const Region& other);
  Region(Region&& other) noexcept;
  Region& operator=(const Region& other);
  Region& operator=(Region&& other) noexcept;
  ~Region();

  // Builds a region from rectangles in any order (they may overlap).
  static Region FromRects(const std::vector<RECT>& rects);

  // Builds a region row by row from horizontal runs: call AddRun with rows in increasing y
  // order and runs of one row in increasing x order, then Finish. Equal consecutive rows merge
  // into one band, so a key-colour mask of a bitmap becomes few rectangles quickly.
  class RunBuilder {
   public:
    void AddRun(int y, int left, int right);  // [left, right) on row y
    Region Finish();

   private:
    void CloseRow();
    std::vector<pixman_box32_t> boxes_;
    std::vector<int32_t> row_;       // x pairs of the row being collected
    std::vector<int32_t> previous_;  // x pairs of the band that ends at bandBottom_
    int rowY_ = 0;
    bool haveRow_ = false;
    size_t bandStart_ = 0;  // index in boxes_ of the previous band's boxes
  };

  bool IsEmpty() const;
  // NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int Type() const;
  RECT Box() const;
  std::vector<RECT> Rects() const;
  bool Contains(int x, int y) const;
  bool Intersects(const RECT& rect) const;
  bool operator==(const Region& other) const;

  void Offset(int dx, int dy);
  Region Intersect(const Region& other) const;
  Region Union(const Region& other) const;
  Region Subtract(const Region& other) const;
  Region Xor(const Region& other) const;
  // The RGN_ mode of CombineRgn (RGN_COPY returns *this).
  Region Combine(const Region& other, int mode) const;

  const pixman_region32_t* Raw() const { return &region_; }

 private:
  pixman_region32_t region_;
};

}  // namespace win32::gdi
