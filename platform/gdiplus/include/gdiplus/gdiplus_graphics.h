#pragma once
// Drawing on an image. Text is anti-aliased; paths are drawn without smoothing, with pixel
// centres on whole coordinates, as GDI+ draws them by default. Colours blend over what is there.
#include "gdiplus/gdiplus_types.h"

namespace Gdiplus {

class Image;
class Font;
class StringFormat;
class Brush;
class Pen;
class GraphicsPath;

class Graphics {
 public:
  // Draws on the image, which must outlive the graphics.
  explicit Graphics(Image* image);
  static Graphics* FromImage(Image* image);
  ~Graphics();
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;

  // The source rectangle of the image, in pixels, stretched to the destination (bilinear when
  // the size changes).
  Status DrawImage(Image* image, const Rect& destRect, INT srcx, INT srcy, INT srcwidth, INT srcheight,
                   Unit srcUnit);
  // The whole image stretched to the rectangle.
  Status DrawImage(Image* image, INT x, INT y, INT width, INT height);
  // Lays the string out in the rectangle (words wrapped at its width, clipped to it), with a
  // margin of a sixth of the em before and after each line. length -1: up to the terminator.
  Status DrawString(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                    const StringFormat* stringFormat, const Brush* brush);
  // The box the string takes when laid out as DrawString lays it out.
  Status MeasureString(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                       RectF* boundingBox);
  Status DrawPath(const Pen* pen, const GraphicsPath* path);
  Status FillPath(const Brush* brush, const GraphicsPath* path);
  Status GetLastStatus() const;

 private:
  Status SetStatus(Status status) const;

  Image* target_;
  mutable Status lastResult_ = Ok;
};

}  // namespace Gdiplus
