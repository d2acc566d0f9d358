#include <cstring>
#include <utility>

#include "gdiplus/gdiplus.h"
#include "paint.h"
#include "pixels.h"

namespace gdiplus {

void SetSourceColor(cairo_t* context, Gdiplus::Color color) {
  cairo_set_source_rgba(context, color.GetR() / 255.0, color.GetG() / 255.0, color.GetB() / 255.0,
                        color.GetA() / 255.0);
}

void Paint::Apply(cairo_t* context) const {
  if (pattern_)
    cairo_set_source(context, pattern_.get());
  else
    SetSourceColor(context, color_);
}

namespace {

uint32_t Premultiplied(Gdiplus::Color c) {
  auto scale = [&](BYTE v) { return uint32_t((v * c.GetA() + 127) / 255); };
  return uint32_t(c.GetA()) << 24 | scale(c.GetR()) << 16 | scale(c.GetG()) << 8 | scale(c.GetB());
}

CairoPattern Repeating(CairoSurface image) {
  CairoPattern pattern(cairo_pattern_create_for_surface(image.get()));
  cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(pattern.get(), CAIRO_FILTER_NEAREST);
  return pattern;
}

}  // namespace
}  // namespace gdiplus

namespace Gdiplus {

Brush::Brush() = default;
Brush::~Brush() = default;

Status Brush::SetStatus(Status status) const {
  if (status != Ok) lastResult_ = status;
  return status;
}

Status Brush::GetLastStatus() const { return std::exchange(lastResult_, Ok); }

SolidBrush::SolidBrush(const Color& color) {
  if (!gdiplus::Started()) {
    SetStatus(GdiplusNotInitialized);
    return;
  }
  paint_ = std::make_unique<gdiplus::Paint>(color);
}

HatchBrush::HatchBrush(HatchStyle hatchStyle, const Color& foreColor, const Color& backColor) {
  if (!gdiplus::Started()) {
    SetStatus(GdiplusNotInitialized);
    return;
  }
  if (hatchStyle < HatchStyleMin || hatchStyle > HatchStyleMax) {
    SetStatus(InvalidParameter);
    return;
  }
  gdiplus::CairoSurface tile(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8));
  if (cairo_surface_status(tile.get()) != CAIRO_STATUS_SUCCESS) {
    SetStatus(OutOfMemory);
    return;
  }
  cairo_surface_flush(tile.get());
  const uint8_t* rows = gdiplus::HatchRows(hatchStyle);
  const uint32_t fore = gdiplus::Premultiplied(foreColor), back = gdiplus::Premultiplied(backColor);
  BYTE* data = cairo_image_surface_get_data(tile.get());
  const int stride = cairo_image_surface_get_stride(tile.get());
  for (int y = 0; y < 8; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(data + y * stride);
    for (int x = 0; x < 8; ++x) row[x] = (rows[y] & (0x80 >> x)) ? fore : back;
  }
  cairo_surface_mark_dirty(tile.get());
  paint_ = std::make_unique<gdiplus::Paint>(gdiplus::Repeating(std::move(tile)));
}

TextureBrush::TextureBrush(Image* image, WrapMode wrapMode) {
  if (!gdiplus::Started()) {
    SetStatus(GdiplusNotInitialized);
    return;
  }
  if (!image || !image->pixels_ || image->pixels_->locked) {
    SetStatus(InvalidParameter);
    return;
  }
  if (wrapMode != WrapModeTile) {
    SetStatus(NotImplemented);
    return;
  }
  gdiplus::CairoSurface tile = image->pixels_->ReadArea(image->pixels_->Bounds());
  if (cairo_surface_status(tile.get()) != CAIRO_STATUS_SUCCESS) {
    SetStatus(OutOfMemory);
    return;
  }
  paint_ = std::make_unique<gdiplus::Paint>(gdiplus::Repeating(std::move(tile)));
}

Pen::Pen(const Color& color, REAL width) : color_(color), width_(width) {
  if (!gdiplus::Started()) lastResult_ = GdiplusNotInitialized;
}

Status Pen::GetLastStatus() const { return std::exchange(lastResult_, Ok); }

}  // namespace Gdiplus
