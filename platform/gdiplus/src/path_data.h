#pragma once
// The figures of a path, as cairo keeps them.
#include <cairo.h>

#include <memory>
#include <vector>

#include "pixels.h"

namespace gdiplus {

struct CairoPathDeleter {
  void operator()(cairo_path_t* path) const { cairo_path_destroy(path); }
};

class PathData {
 public:
  std::vector<std::unique_ptr<cairo_path_t, CairoPathDeleter>> parts;
  // The bounds of every part, in pixels; empty while there is none.
  double left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return parts.empty(); }
  void Append(cairo_path_t* part, double x0, double y0, double x1, double y1);
};

}  // namespace gdiplus
