#include <algorithm>
#include <utility>

#include "fonts.h"
#include "gdiplus/gdiplus.h"
#include "path_data.h"
#include "pixels.h"
#include "text_layout.h"

namespace gdiplus {

void PathData::Append(cairo_path_t* part, double x0, double y0, double x1, double y1) {
  if (parts.empty()) {
    left = x0, top = y0, right = x1, bottom = y1;
  } else {
    left = std::min(left, x0), top = std::min(top, y0), right = std::max(right, x1), bottom = std::max(bottom, y1);
  }
  parts.emplace_back(part);
}

}  // namespace gdiplus

namespace Gdiplus {

GraphicsPath::GraphicsPath(FillMode fillMode) : fillMode_(fillMode), data_(std::make_unique<gdiplus::PathData>()) {
  if (!gdiplus::Started()) lastResult_ = GdiplusNotInitialized;
}

GraphicsPath::~GraphicsPath() = default;

Status GraphicsPath::SetStatus(Status status) const {
  if (status != Ok) lastResult_ = status;
  return status;
}

Status GraphicsPath::GetLastStatus() const { return std::exchange(lastResult_, Ok); }

Status GraphicsPath::AddString(const WCHAR* string, INT length, const FontFamily* family, INT style, REAL emSize,
                               const RectF& layoutRect, const StringFormat* format) {
  if (!gdiplus::Started()) return SetStatus(GdiplusNotInitialized);
  if (!string || !family || emSize <= 0) return SetStatus(InvalidParameter);
  if (!family->IsAvailable()) return SetStatus(FontFamilyNotFound);
  auto face = gdiplus::text::FindFace(family->family_, style);
  if (!face) return SetStatus(FontStyleNotFound);
  gdiplus::text::Layout layout = gdiplus::text::LayOut(*face, emSize, style, gdiplus::text::TextOf(string, length),
                                                       layoutRect, format ? format->GetFormatFlags() : 0);
  if (layout.glyphs.empty() && layout.rules.empty()) return Ok;

  // The outlines are traced on a scratch surface and kept.
  gdiplus::CairoSurface scratch(cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1));
  gdiplus::CairoContext context(cairo_create(scratch.get()));
  cairo_set_scaled_font(context.get(), layout.font.get());
  cairo_glyph_path(context.get(), layout.glyphs.data(), int(layout.glyphs.size()));
  for (const gdiplus::text::Rule& rule : layout.rules) cairo_rectangle(context.get(), rule.x, rule.y, rule.width, rule.height);
  if (cairo_status(context.get()) != CAIRO_STATUS_SUCCESS) return SetStatus(OutOfMemory);
  double x0, y0, x1, y1;
  cairo_path_extents(context.get(), &x0, &y0, &x1, &y1);
  cairo_path_t* part = cairo_copy_path(context.get());
  if (part->status != CAIRO_STATUS_SUCCESS) {
    cairo_path_destroy(part);
    return SetStatus(OutOfMemory);
  }
  data_->Append(part, x0, y0, x1, y1);
  return Ok;
}

}  // namespace Gdiplus
