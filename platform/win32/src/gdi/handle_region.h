#pragma once
// The region behind a region handle. Building a region pixel by pixel (exclusive-or with 1x1
// rectangles, as a window shape is cut out of a key-coloured bitmap) would copy the whole region
// for every pixel; instead such toggles edit a row-by-row form, which turns back into a banded
// region on the next read, and the region's type is kept up to date on the way.
#include <cstdint>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "gdi/banded_region.h"

namespace win32::gdi {

// A region as its rows while it is being edited pixel by pixel, with what its type depends on.
struct RegionRows {
  std::map<int, std::vector<std::pair<int, int>>> runs;  // non-empty rows: [left, right) in x order
  std::unordered_map<uint64_t, int> single;              // how many rows are made of exactly that one run
  int distinctSingles = 0;                               // runs of single above with a count above 0
  int multiple = 0;                                      // rows of more than one run
};

class HandleRegion {
 public:
  HandleRegion& operator=(Region region);
  operator const Region&() const { return Get(); }
  const Region& Get() const;
  // NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int Type() const;
  // Exclusive-or with the single pixel (x, y).
  void TogglePixel(int x, int y);

 private:
  void Count(const std::vector<std::pair<int, int>>& row, int delta);

  mutable Region region_;
  mutable std::optional<RegionRows> rows_;
};

}  // namespace win32::gdi
