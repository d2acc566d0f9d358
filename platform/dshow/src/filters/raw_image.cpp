#include "raw_image.h"

namespace ffw {

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

void PlanesOf(RawKind kind, uint8_t* buf, int width, int height, uint8_t* data[4], int stride[4]) {
  for (int i = 0; i < 4; ++i) data[i] = nullptr, stride[i] = 0;
  if (kind == RawKind::I420) {
    data[0] = buf;
    stride[0] = width;
    data[1] = buf + size_t(width) * height;
    stride[1] = width / 2;
    data[2] = data[1] + size_t(width / 2) * (height / 2);
    stride[2] = width / 2;
    return;
  }
  const int row = RowBytes(kind, width);
  if (kind == RawKind::YUY2) {
    data[0] = buf;
    stride[0] = row;
    return;
  }
  data[0] = buf + size_t(row) * (height - 1);
  stride[0] = -row;
}

bool ImageConverter::Convert(const uint8_t* const src[4], const int srcStride[4], AVPixelFormat srcFormat,
                             int srcWidth, int srcHeight, uint8_t* const dst[4], const int dstStride[4],
                             AVPixelFormat dstFormat, int dstWidth, int dstHeight) {
  if (srcFormat == AV_PIX_FMT_RGB555LE && dstFormat != AV_PIX_FMT_RGB555LE && srcWidth > 0 && srcHeight > 0) {
    // Each 5-bit field becomes 8 bits with its top bits repeated below, so 31 maps to 255.
    const int wideStride = srcWidth * 4;
    widened_.resize(size_t(wideStride) * size_t(srcHeight));
    for (int y = 0; y < srcHeight; ++y) {
      const uint8_t* in = src[0] + ptrdiff_t(y) * srcStride[0];
      uint8_t* out = widened_.data() + size_t(y) * size_t(wideStride);
      for (int x = 0; x < srcWidth; ++x, in += 2, out += 4) {
        const unsigned pixel = unsigned(in[0]) | unsigned(in[1]) << 8;
        const unsigned b = pixel & 31, g = (pixel >> 5) & 31, r = (pixel >> 10) & 31;
        out[0] = uint8_t(b << 3 | b >> 2);
        out[1] = uint8_t(g << 3 | g >> 2);
        out[2] = uint8_t(r << 3 | r >> 2);
        out[3] = 0;
      }
    }
    const uint8_t* const wide[4] = {widened_.data(), nullptr, nullptr, nullptr};
    const int wideStrides[4] = {wideStride, 0, 0, 0};
    return Convert(wide, wideStrides, AV_PIX_FMT_BGR0, srcWidth, srcHeight, dst, dstStride, dstFormat, dstWidth,
                   dstHeight);
  }
  context_ = sws_getCachedContext(owner_.release(), srcWidth, srcHeight, srcFormat, dstWidth, dstHeight,
                                  dstFormat, SWS_BICUBIC, nullptr, nullptr, nullptr);
  owner_.reset(context_);
  if (!context_) return false;
  return sws_scale(context_, src, srcStride, 0, srcHeight, dst, dstStride) > 0;
}

bool ImageConverter::ConvertTo(const uint8_t* const src[4], const int srcStride[4], AVPixelFormat srcFormat,
                               int srcWidth, int srcHeight, uint8_t* dst, RawKind kind, int dstWidth,
                               int dstHeight) {
  uint8_t* data[4];
  int stride[4];
  PlanesOf(kind, dst, dstWidth, dstHeight, data, stride);
  return Convert(src, srcStride, srcFormat, srcWidth, srcHeight, data, stride, PixelFormatOf(kind), dstWidth,
                 dstHeight);
}

}  // namespace ffw
