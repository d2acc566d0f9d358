#include "pixels.h"

#include <algorithm>
#include <cstring>

namespace gdiplus {

Box Box::Intersect(const Box& other) const {
  int left = std::max(x, other.x), top = std::max(y, other.y);
  int right = std::min(x + width, other.x + other.width), bottom = std::min(y + height, other.y + other.height);
  return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

int BytesPerPixel(PixelFormat format) {
  switch (format) {
    case PixelFormat24bppRGB:
      return 3;
    case PixelFormat32bppRGB:
    case PixelFormat32bppARGB:
    case PixelFormat32bppPARGB:
      return 4;
    default:
      return 0;
  }
}

Pixels::Pixels(int width, int height, PixelFormat format)
    : width_(width), height_(height), format_(format), stride_(width * BytesPerPixel(format)) {
  stride_ = (stride_ + 3) & ~3;
  owned_.assign(size_t(stride_) * size_t(height), 0);
  scan0_ = owned_.data();
}

Pixels::Pixels(int width, int height, int stride, PixelFormat format, BYTE* scan0)
    : width_(width), height_(height), format_(format), stride_(stride), scan0_(scan0) {}

bool Pixels::Opaque() const { return format_ == PixelFormat24bppRGB || format_ == PixelFormat32bppRGB; }

namespace {

inline BYTE Premultiply(BYTE c, BYTE a) { return BYTE((c * a + 127) / 255); }
inline BYTE Unpremultiply(BYTE c, BYTE a) { return BYTE(std::min(255, (c * 255 + a / 2) / a)); }

}  // namespace

CairoSurface Pixels::ReadArea(const Box& area) const {
  CairoSurface image(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, area.width, area.height));
  if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS) return image;
  cairo_surface_flush(image.get());
  BYTE* out = cairo_image_surface_get_data(image.get());
  const int outStride = cairo_image_surface_get_stride(image.get());
  for (int row = 0; row < area.height; ++row) {
    const BYTE* in = Row(area.y + row);
    uint32_t* dst = reinterpret_cast<uint32_t*>(out + ptrdiff_t(row) * outStride);
    switch (format_) {
      case PixelFormat24bppRGB:
        in += area.x * 3;
        for (int x = 0; x < area.width; ++x, in += 3)
          dst[x] = 0xFF000000u | uint32_t(in[2]) << 16 | uint32_t(in[1]) << 8 | in[0];
        break;
      case PixelFormat32bppRGB:
        in += area.x * 4;
        for (int x = 0; x < area.width; ++x, in += 4)
          dst[x] = 0xFF000000u | uint32_t(in[2]) << 16 | uint32_t(in[1]) << 8 | in[0];
        break;
      case PixelFormat32bppARGB:
        in += area.x * 4;
        for (int x = 0; x < area.width; ++x, in += 4) {
          BYTE a = in[3];
          dst[x] = uint32_t(a) << 24 | uint32_t(Premultiply(in[2], a)) << 16 | uint32_t(Premultiply(in[1], a)) << 8 |
                   Premultiply(in[0], a);
        }
        break;
      default:  // premultiplied, as cairo keeps it
        std::memcpy(dst, in + area.x * 4, size_t(area.width) * 4);
        break;
    }
  }
  cairo_surface_mark_dirty(image.get());
  return image;
}

void Pixels::WriteArea(const Box& area, cairo_surface_t* image) {
  cairo_surface_flush(image);
  const BYTE* in = cairo_image_surface_get_data(image);
  const int inStride = cairo_image_surface_get_stride(image);
  for (int row = 0; row < area.height; ++row) {
    const uint32_t* src = reinterpret_cast<const uint32_t*>(in + ptrdiff_t(row) * inStride);
    BYTE* out = Row(area.y + row);
    switch (format_) {
      case PixelFormat24bppRGB:
        out += area.x * 3;
        for (int x = 0; x < area.width; ++x, out += 3) {
          out[0] = BYTE(src[x]);
          out[1] = BYTE(src[x] >> 8);
          out[2] = BYTE(src[x] >> 16);
        }
        break;
      case PixelFormat32bppRGB:
        out += area.x * 4;
        for (int x = 0; x < area.width; ++x, out += 4) {
          out[0] = BYTE(src[x]);
          out[1] = BYTE(src[x] >> 8);
          out[2] = BYTE(src[x] >> 16);
        }
        break;
      case PixelFormat32bppARGB:
        out += area.x * 4;
        for (int x = 0; x < area.width; ++x, out += 4) {
          BYTE a = BYTE(src[x] >> 24);
          if (a == 0) {
            std::memset(out, 0, 4);
            continue;
          }
          out[0] = Unpremultiply(BYTE(src[x]), a);
          out[1] = Unpremultiply(BYTE(src[x] >> 8), a);
          out[2] = Unpremultiply(BYTE(src[x] >> 16), a);
          out[3] = a;
        }
        break;
      default:
        std::memcpy(out + area.x * 4, src, size_t(area.width) * 4);
        break;
    }
  }
}

}  // namespace gdiplus
