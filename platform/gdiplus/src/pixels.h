#pragma once
// The pixels behind an image, and their exchange with cairo, which draws in premultiplied
// 32-bit ARGB: a rectangle is read into a cairo image, drawn on, and written back.
#include <cairo.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "gdiplus/gdiplus_types.h"

namespace gdiplus {

struct Box {
  int x = 0, y = 0, width = 0, height = 0;
  bool Empty() const { return width <= 0 || height <= 0; }
  Box Intersect(const Box& other) const;
};

struct SurfaceDeleter {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using CairoSurface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

struct ContextDeleter {
  void operator()(cairo_t* context) const { cairo_destroy(context); }
};
using CairoContext = std::unique_ptr<cairo_t, ContextDeleter>;

struct PatternDeleter {
  void operator()(cairo_pattern_t* pattern) const { cairo_pattern_destroy(pattern); }
};
using CairoPattern = std::unique_ptr<cairo_pattern_t, PatternDeleter>;

// Rows from the top row down; the stride is negative for rows that run upwards in memory.
class Pixels {
 public:
  // Zeroed pixels of its own.
  Pixels(int width, int height, PixelFormat format);
  // Over memory the caller keeps.
  Pixels(int width, int height, int stride, PixelFormat format, BYTE* scan0);

  int Width() const { return width_; }
  int Height() const { return height_; }
  PixelFormat Format() const { return format_; }
  int Stride() const { return stride_; }
  BYTE* Row(int y) const { return scan0_ + ptrdiff_t(y) * stride_; }
  Box Bounds() const { return {0, 0, width_, height_}; }
  bool Opaque() const;

  // A cairo image of the area (inside the bounds), premultiplied, its origin the area's corner.
  CairoSurface ReadArea(const Box& area) const;
  void WriteArea(const Box& area, cairo_surface_t* image);

  // The state of LockBits.
  bool locked = false;
  Box lockArea;
  UINT lockFlags = 0;
  std::vector<BYTE> lockCopy;  // pixels handed out in another format than the image's

 private:
  int width_;
  int height_;
  PixelFormat format_;
  int stride_;
  BYTE* scan0_;
  std::vector<BYTE> owned_;
};

// Whether GDI+ is started.
bool Started();
// Bytes a pixel takes, for the formats the subset keeps (3 or 4); 0 for any other.
int BytesPerPixel(PixelFormat format);

}  // namespace gdiplus
