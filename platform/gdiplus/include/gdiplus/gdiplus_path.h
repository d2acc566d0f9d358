#pragma once
// Paths, built from the outlines of strings.
#include <memory>

#include "gdiplus/gdiplus_types.h"

namespace gdiplus {
class PathData;
}

namespace Gdiplus {

class FontFamily;
class StringFormat;

class GraphicsPath {
 public:
  explicit GraphicsPath(FillMode fillMode = FillModeAlternate);
  ~GraphicsPath();
  GraphicsPath(const GraphicsPath&) = delete;
  GraphicsPath& operator=(const GraphicsPath&) = delete;

  // Adds the outlines of the string as it is laid out in the rectangle, emSize in world units
  // (pixels). length -1: up to the terminator.
  Status AddString(const WCHAR* string, INT length, const FontFamily* family, INT style, REAL emSize,
                   const RectF& layoutRect, const StringFormat* format);
  FillMode GetFillMode() const { return fillMode_; }
  Status GetLastStatus() const;

 private:
  Status SetStatus(Status status) const;

  FillMode fillMode_;
  std::unique_ptr<gdiplus::PathData> data_;
  mutable Status lastResult_ = Ok;

  friend class Graphics;
};

}  // namespace Gdiplus
