#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "gdiplus/gdiplus.h"
#include "paint.h"
#include "path_data.h"
#include "pixels.h"
#include "text_layout.h"

namespace gdiplus {
namespace {

// The pixels a rectangle of real coordinates touches.
Box Cover(double x0, double y0, double x1, double y1) {
  const double limit = 1 << 30;
  x0 = std::clamp(std::floor(x0), -limit, limit), y0 = std::clamp(std::floor(y0), -limit, limit);
  x1 = std::clamp(std::ceil(x1), -limit, limit), y1 = std::clamp(std::ceil(y1), -limit, limit);
  return {int(x0), int(y0), int(x1 - x0), int(y1 - y0)};
}

// Reads the area of the target, lets draw paint on it in the target's coordinates, writes it
// back.
template <class Draw>
Gdiplus::Status DrawOn(Pixels& target, const Box& area, Draw draw) {
  if (area.Empty()) return Gdiplus::Ok;
  CairoSurface canvas = target.ReadArea(area);
  if (cairo_surface_status(canvas.get()) != CAIRO_STATUS_SUCCESS) return Gdiplus::OutOfMemory;
  CairoContext context(cairo_create(canvas.get()));
  cairo_translate(context.get(), -area.x, -area.y);
  draw(context.get());
  if (cairo_status(context.get()) != CAIRO_STATUS_SUCCESS) return Gdiplus::GenericError;
  context.reset();
  target.WriteArea(area, canvas.get());
  return Gdiplus::Ok;
}

// Copies pixels between images of one opaque format at one scale.
void CopyRows(const Pixels& source, int sx, int sy, Pixels& target, const Box& area) {
  const int bytes = BytesPerPixel(target.Format());
  for (int y = 0; y < area.height; ++y)
    std::memmove(target.Row(area.y + y) + area.x * bytes, source.Row(sy + y) + sx * bytes,
                 size_t(area.width) * size_t(bytes));
}

}  // namespace
}  // namespace gdiplus

namespace Gdiplus {

Graphics::Graphics(Image* image) : target_(image) {
  if (!gdiplus::Started())
    lastResult_ = GdiplusNotInitialized;
  else if (!image || !image->pixels_)
    lastResult_ = InvalidParameter;
}

Graphics* Graphics::FromImage(Image* image) { return new Graphics(image); }

Graphics::~Graphics() = default;

Status Graphics::SetStatus(Status status) const {
  if (status != Ok) lastResult_ = status;
  return status;
}

Status Graphics::GetLastStatus() const { return std::exchange(lastResult_, Ok); }

Status Graphics::DrawImage(Image* image, INT x, INT y, INT width, INT height) {
  if (!image) return SetStatus(InvalidParameter);
  return DrawImage(image, Rect(x, y, width, height), 0, 0, INT(image->GetWidth()), INT(image->GetHeight()), UnitPixel);
}

Status Graphics::DrawImage(Image* image, const Rect& destRect, INT srcx, INT srcy, INT srcwidth, INT srcheight,
                           Unit srcUnit) {
  if (!gdiplus::Started()) return SetStatus(GdiplusNotInitialized);
  if (!target_ || !target_->pixels_ || !image || !image->pixels_) return SetStatus(InvalidParameter);
  gdiplus::Pixels& target = *target_->pixels_;
  const gdiplus::Pixels& source = *image->pixels_;
  if (target.locked || source.locked) return SetStatus(WrongState);
  if (srcUnit != UnitPixel) return SetStatus(NotImplemented);
  if (srcwidth <= 0 || srcheight <= 0) return SetStatus(InvalidParameter);
  if (destRect.Width <= 0 || destRect.Height <= 0) return Ok;

  // Only the part of the source rectangle inside the image is drawn, where it lands.
  const gdiplus::Box wanted{srcx, srcy, srcwidth, srcheight};
  const gdiplus::Box src = wanted.Intersect(source.Bounds());
  if (src.Empty()) return Ok;
  const double scaleX = double(destRect.Width) / srcwidth, scaleY = double(destRect.Height) / srcheight;
  const double left = destRect.X + (src.x - srcx) * scaleX, top = destRect.Y + (src.y - srcy) * scaleY;
  const double right = left + src.width * scaleX, bottom = top + src.height * scaleY;
  const gdiplus::Box area = gdiplus::Cover(left, top, right, bottom).Intersect(target.Bounds());
  if (area.Empty()) return Ok;

  const bool sameScale = destRect.Width == srcwidth && destRect.Height == srcheight;
  if (sameScale && source.Opaque() && source.Format() == target.Format()) {
    gdiplus::CopyRows(source, src.x + (area.x - int(left)), src.y + (area.y - int(top)), target, area);
    return Ok;
  }
  gdiplus::CairoSurface pixels = source.ReadArea(src);
  if (cairo_surface_status(pixels.get()) != CAIRO_STATUS_SUCCESS) return SetStatus(OutOfMemory);
  return SetStatus(gdiplus::DrawOn(target, area, [&](cairo_t* context) {
    cairo_rectangle(context, left, top, right - left, bottom - top);
    cairo_clip(context);
    cairo_translate(context, left, top);
    cairo_scale(context, scaleX, scaleY);
    cairo_set_source_surface(context, pixels.get(), 0, 0);
    cairo_pattern_t* pattern = cairo_get_source(context);
    cairo_pattern_set_filter(pattern, sameScale ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_BILINEAR);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_paint(context);
  }));
}

Status Graphics::DrawString(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                            const StringFormat* stringFormat, const Brush* brush) {
  if (!gdiplus::Started()) return SetStatus(GdiplusNotInitialized);
  if (!target_ || !target_->pixels_ || !string || !font || !font->face_ || !brush || !brush->paint_)
    return SetStatus(InvalidParameter);
  gdiplus::Pixels& target = *target_->pixels_;
  if (target.locked) return SetStatus(WrongState);
  const int flags = stringFormat ? stringFormat->GetFormatFlags() : 0;
  gdiplus::text::Layout layout = gdiplus::text::LayOut(*font->face_, font->pixels_, font->style_,
                                                       gdiplus::text::TextOf(string, length), layoutRect, flags);
  if (layout.glyphs.empty() && layout.rules.empty()) return Ok;

  const RectF& ink = layout.inkBounds;
  gdiplus::Box area = gdiplus::Cover(ink.X, ink.Y, ink.X + ink.Width, ink.Y + ink.Height).Intersect(target.Bounds());
  const bool clipped = !(flags & StringFormatFlagsNoClip) && layoutRect.Width > 0 && layoutRect.Height > 0;
  if (clipped)
    area = area.Intersect(gdiplus::Cover(layoutRect.X, layoutRect.Y, layoutRect.X + layoutRect.Width,
                                         layoutRect.Y + layoutRect.Height));
  return SetStatus(gdiplus::DrawOn(target, area, [&](cairo_t* context) {
    if (clipped) {
      cairo_rectangle(context, layoutRect.X, layoutRect.Y, layoutRect.Width, layoutRect.Height);
      cairo_clip(context);
    }
    brush->paint_->Apply(context);
    cairo_set_antialias(context, CAIRO_ANTIALIAS_GRAY);
    cairo_set_scaled_font(context, layout.font.get());
    cairo_show_glyphs(context, layout.glyphs.data(), int(layout.glyphs.size()));
    for (const gdiplus::text::Rule& rule : layout.rules) cairo_rectangle(context, rule.x, rule.y, rule.width, rule.height);
    cairo_fill(context);
  }));
}

Status Graphics::MeasureString(const WCHAR* string, INT length, const Font* font, const RectF& layoutRect,
                               RectF* boundingBox) {
  if (!gdiplus::Started()) return SetStatus(GdiplusNotInitialized);
  if (!string || !font || !font->face_ || !boundingBox) return SetStatus(InvalidParameter);
  gdiplus::text::Layout layout = gdiplus::text::LayOut(*font->face_, font->pixels_, font->style_,
                                                       gdiplus::text::TextOf(string, length), layoutRect, 0);
  *boundingBox = layout.box;
  return Ok;
}

Status Graphics::DrawPath(const Pen* pen, const GraphicsPath* path) {
  if (!gdiplus::Started()) return SetStatus(GdiplusNotInitialized);
  if (!target_ || !target_->pixels_ || !pen || !path || !path->data_) return SetStatus(InvalidParameter);
  gdiplus::Pixels& target = *target_->pixels_;
  if (target.locked) return SetStatus(WrongState);
  const gdiplus::PathData& data = *path->data_;
  if (data.Empty()) return Ok;
  const double reach = std::max(1.0, double(pen->GetWidth())) / 2 + 1;
  const gdiplus::Box area =
      gdiplus::Cover(data.left - reach, data.top - reach, data.right + reach + 1, data.bottom + reach + 1)
          .Intersect(target.Bounds());
  return SetStatus(gdiplus::DrawOn(target, area, [&](cairo_t* context) {
    gdiplus::SetSourceColor(context, pen->GetColor());
    // Without smoothing, with pixel centres on whole coordinates.
    cairo_set_antialias(context, CAIRO_ANTIALIAS_NONE);
    cairo_translate(context, 0.5, 0.5);
    for (const auto& part : data.parts) cairo_append_path(context, part.get());
    cairo_set_line_width(context, std::max(1.0, double(pen->GetWidth())));
    cairo_stroke(context);
  }));
}

Status Graphics::FillPath(const Brush* brush, const GraphicsPath* path) {
  if (!gdiplus::Started()) return SetStatus(GdiplusNotInitialized);
  if (!target_ || !target_->pixels_ || !brush || !brush->paint_ || !path || !path->data_)
    return SetStatus(InvalidParameter);
  gdiplus::Pixels& target = *target_->pixels_;
  if (target.locked) return SetStatus(WrongState);
  const gdiplus::PathData& data = *path->data_;
  if (data.Empty()) return Ok;
  const gdiplus::Box area =
      gdiplus::Cover(data.left - 1, data.top - 1, data.right + 2, data.bottom + 2).Intersect(target.Bounds());
  return SetStatus(gdiplus::DrawOn(target, area, [&](cairo_t* context) {
    brush->paint_->Apply(context);  // the pattern stays on the surface's grid
    cairo_set_antialias(context, CAIRO_ANTIALIAS_NONE);
    cairo_translate(context, 0.5, 0.5);
    for (const auto& part : data.parts) cairo_append_path(context, part.get());
    cairo_set_fill_rule(context,
                        path->GetFillMode() == FillModeAlternate ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo_fill(context);
  }));
}

}  // namespace Gdiplus
