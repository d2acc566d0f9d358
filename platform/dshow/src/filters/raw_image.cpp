#include "dshow/raw_image.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace dshow::filters {
namespace {

// Rows of the plane that share one row of it (chroma rows are shared by 1 << log2_chroma_h rows).
int RowShift(AVPixelFormat format, int plane) {
  return plane == 1 || plane == 2 ? av_pix_fmt_desc_get(format)->log2_chroma_h : 0;
}

// Copies rows [fromY, fromY + rows) of a picture to the rows from toY of another of the same
// format and width, clearing the bytes after the pixels of each row written (a DIB row's padding).
void CopyRows(const Picture& from, int fromY, const Picture& to, int toY, int rows) {
  for (int p = 0; p < 4 && from.data[p]; ++p) {
    const int shift = RowShift(from.format, p);
    const int bytes = av_image_get_linesize(from.format, from.width, p);
    const int first = fromY >> shift;
    const int count = AV_CEIL_RSHIFT(fromY + rows, shift) - first;
    const int room = std::abs(to.stride[p]);
    for (int i = 0; i < count; ++i) {
      uint8_t* out = to.data[p] + ptrdiff_t((toY >> shift) + i) * to.stride[p];
      std::memcpy(out, from.data[p] + ptrdiff_t(first + i) * from.stride[p], size_t(bytes));
      if (room > bytes) std::memset(out + bytes, 0, size_t(room - bytes));
    }
  }
}

// Each RGB555 pixel as B, G, R bytes (the fourth is 0): every 5-bit field becomes 8 bits with its
// top bits repeated below, so 31 maps to 255. A table look-up costs a quarter of working the
// fields out for each pixel.
const std::array<uint32_t, 0x8000>& WidenedRgb555() {
  static const std::array<uint32_t, 0x8000> table = [] {
    std::array<uint32_t, 0x8000> t{};
    for (uint32_t pixel = 0; pixel < t.size(); ++pixel) {
      const uint32_t b = pixel & 31u, g = (pixel >> 5) & 31u, r = (pixel >> 10) & 31u;
      t[pixel] = (b << 3 | b >> 2) | (g << 3 | g >> 2) << 8 | (r << 3 | r >> 2) << 16;
    }
    return t;
  }();
  return table;
}

// Widens RGB555 rows to 24 bits. Each pixel's four bytes are written and the next pixel's three
// overwrite the spare one, so the last pixel's fourth byte lands in the row's padding.
void WidenRgb555(const Picture& from, const Picture& wide) {
  const std::array<uint32_t, 0x8000>& widened = WidenedRgb555();
  for (int y = 0; y < from.height; ++y) {
    const uint8_t* in = from.data[0] + ptrdiff_t(y) * from.stride[0];
    uint8_t* out = wide.data[0] + ptrdiff_t(y) * wide.stride[0];
    for (int x = 0; x < from.width; ++x) {
      uint16_t pixel;
      std::memcpy(&pixel, in + 2 * x, 2);
      std::memcpy(out + 3 * x, &widened[pixel & 0x7FFFu], 4);
    }
  }
}

bool IsRgb(AVPixelFormat format) { return av_pix_fmt_desc_get(format)->flags & AV_PIX_FMT_FLAG_RGB; }

}  // namespace

AVPixelFormat PixelFormatOf(RawKind kind) {
  switch (kind) {
    case RawKind::I420: return AV_PIX_FMT_YUV420P;
    case RawKind::YUY2: return AV_PIX_FMT_YUYV422;
    case RawKind::RGB32: return AV_PIX_FMT_BGRA;
    case RawKind::RGB24: return AV_PIX_FMT_BGR24;
    case RawKind::RGB555: return AV_PIX_FMT_RGB555LE;
  }
  return AV_PIX_FMT_NONE;
}

int BitsPerPixel(RawKind kind) {
  switch (kind) {
    case RawKind::I420: return 12;
    case RawKind::YUY2: return 16;
    case RawKind::RGB32: return 32;
    case RawKind::RGB24: return 24;
    case RawKind::RGB555: return 16;
  }
  return 0;
}

int RowBytes(RawKind kind, int width) {
  const int bits = kind == RawKind::I420 ? 8 : BitsPerPixel(kind);
  return (width * bits + 31) / 32 * 4;
}

size_t ImageBytes(RawKind kind, int width, int height) {
  if (kind == RawKind::I420) return size_t(width) * height * 3 / 2;
  return size_t(RowBytes(kind, width)) * height;
}

bool Fits(RawKind kind, int width, int height) {
  if (width <= 0 || height <= 0) return false;
  if (kind == RawKind::I420) return width % 2 == 0 && height % 2 == 0;
  if (kind == RawKind::YUY2) return width % 2 == 0;
  return true;
}

Picture SamplePicture(uint8_t* buf, RawKind kind, int width, int height) {
  Picture p;
  p.format = PixelFormatOf(kind);
  p.width = width;
  p.height = height;
  if (kind == RawKind::I420) {
    p.data[0] = buf;
    p.stride[0] = width;
    p.data[1] = buf + size_t(width) * height;
    p.stride[1] = width / 2;
    p.data[2] = p.data[1] + size_t(width / 2) * (height / 2);
    p.stride[2] = width / 2;
    return p;
  }
  const int row = RowBytes(kind, width);
  if (kind == RawKind::YUY2) {
    p.data[0] = buf;
    p.stride[0] = row;
    return p;
  }
  p.data[0] = buf + size_t(row) * (height - 1);
  p.stride[0] = -row;
  return p;
}

Picture FramePicture(const AVFrame* frame) {
  Picture p;
  for (int i = 0; i < 4; ++i) {
    p.data[i] = frame->data[i];
    p.stride[i] = frame->linesize[i];
  }
  p.format = AVPixelFormat(frame->format);
  p.width = frame->width;
  p.height = frame->height;
  p.padded = true;
  return p;
}

bool PaddedPicture::Fit(AVPixelFormat format, int width, int height) {
  if (picture_.format == format && picture_.width == width && picture_.height == height) return true;
  picture_ = {};
  constexpr int kSpare = 64;
  int bytes[4];
  if (av_image_fill_linesizes(bytes, format, width) < 0) return false;
  ptrdiff_t strides[4];
  for (int p = 0; p < 4; ++p) strides[p] = bytes[p] ? FFALIGN(bytes[p] + kSpare, 64) : 0;
  size_t sizes[4];
  if (av_image_fill_plane_sizes(sizes, format, height, strides) < 0) return false;
  const size_t total = sizes[0] + sizes[1] + sizes[2] + sizes[3];
  if (total > capacity_) {
    // Zeroed, so that what libswscale reads past the pixels has a value.
    memory_.reset(static_cast<uint8_t*>(av_mallocz(total)));
    capacity_ = memory_ ? total : 0;
    if (!memory_) return false;
  }
  uint8_t* at = memory_.get();
  for (int p = 0; p < 4; ++p) {
    picture_.data[p] = sizes[p] ? at : nullptr;
    picture_.stride[p] = int(strides[p]);
    at += sizes[p];
  }
  picture_.format = format;
  picture_.width = width;
  picture_.height = height;
  picture_.padded = true;
  return true;
}

bool ImageConverter::Convert(const Picture& from, const Picture& to) {
  if (from.width <= 0 || from.height <= 0 || to.width <= 0 || to.height <= 0) return false;
  // Nothing to convert: the rows are copied as they are.
  if (from.format == to.format && from.width == to.width && from.height == to.height) {
    CopyRows(from, 0, to, 0, to.height);
    return true;
  }
  if (from.format == AV_PIX_FMT_RGB555LE && to.format != AV_PIX_FMT_RGB555LE) {
    // 24 bits rather than 32: libswscale turns BGR24 into I420 by its own fast road.
    if (!widened_.Fit(AV_PIX_FMT_BGR24, from.width, from.height)) return false;
    WidenRgb555(from, widened_.Get());
    return Convert(widened_.Get(), to);
  }
  if (!Prepare(from, to)) return false;
  if (to.padded) return Scale(from, to);
  if (!output_.Fit(to.format, to.width, to.height) || !Scale(from, output_.Get())) return false;
  CopyRows(output_.Get(), 0, to, 0, to.height);
  return true;
}

bool ImageConverter::Prepare(const Picture& from, const Picture& to) {
  const Shape shape{from.width, from.height, from.format, to.width, to.height, to.format};
  if (context_ && shape == shape_) return true;
  context_.reset(sws_alloc_context());
  if (!context_) return false;
  SwsContext* c = context_.get();
  av_opt_set_int(c, "srcw", from.width, 0);
  av_opt_set_int(c, "srch", from.height, 0);
  av_opt_set_int(c, "src_format", from.format, 0);
  av_opt_set_int(c, "dstw", to.width, 0);
  av_opt_set_int(c, "dsth", to.height, 0);
  av_opt_set_int(c, "dst_format", to.format, 0);
  // RGB read at full chroma width goes through libswscale's SIMD readers; at half width it takes
  // a plain C road that costs twice as much. Kept at its size, RGB only has its chroma halved,
  // for which averaging (area) is enough and cheaper than a bicubic filter.
  int64_t flags = SWS_BICUBIC;
  if (IsRgb(from.format) && !IsRgb(to.format)) {
    const bool sameSize = from.width == to.width && from.height == to.height;
    flags = (sameSize ? SWS_AREA : SWS_BICUBIC) | SWS_FULL_CHR_H_INP;
  }
  av_opt_set_int(c, "sws_flags", flags, 0);
  if (sws_init_context(c, nullptr, nullptr) < 0) {
    context_.reset();
    return false;
  }
  shape_ = shape;
  return true;
}

bool ImageConverter::Scale(const Picture& from, const Picture& to) {
  if (!from.padded) return ScaleFromSample(from, to);
  return sws_scale(context_.get(), from.data, from.stride, 0, from.height, to.data, to.stride) > 0;
}

// A block read past the end of a row lands in the next row in memory, except past the row that
// ends a sample's buffer: the picture is converted from a padded copy of it. Converted in slices
// instead, with that row apart, the rows next to the cut come out wrong (libswscale's RGB24 to
// I420 road works out each slice's chroma on its own).
bool ImageConverter::ScaleFromSample(const Picture& from, const Picture& to) {
  if (!copy_.Fit(from.format, from.width, from.height)) return false;
  CopyRows(from, 0, copy_.Get(), 0, from.height);
  return Scale(copy_.Get(), to);
}

}  // namespace dshow::filters
