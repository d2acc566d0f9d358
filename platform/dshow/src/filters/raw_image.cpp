#include "raw_image.h"

#include <cstring>

extern "C" {
#include <libavutil/opt.h>
}

namespace ffw {
namespace {

void KeepData(void*, uint8_t*) {}

// A frame over pixels it does not own; the buffer only marks them as already there, so that
// libswscale neither copies nor allocates.
bool WrapPlanes(AVFrame* frame, const uint8_t* const data[4], const int stride[4], AVPixelFormat format, int width,
                int height) {
  for (int i = 0; i < 4; ++i) {
    frame->data[i] = const_cast<uint8_t*>(data[i]);
    frame->linesize[i] = stride[i];
  }
  frame->format = format;
  frame->width = width;
  frame->height = height;
  frame->buf[0] = av_buffer_create(const_cast<uint8_t*>(data[0]), 1, KeepData, nullptr, 0);
  return frame->buf[0] != nullptr;
}

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
      for (int x = 0; x < srcWidth; ++x) {
        uint16_t pixel;
        std::memcpy(&pixel, in + 2 * x, 2);
        const uint32_t b = pixel & 31u, g = (pixel >> 5) & 31u, r = (pixel >> 10) & 31u;
        const uint32_t wide = (b << 3 | b >> 2) | (g << 3 | g >> 2) << 8 | (r << 3 | r >> 2) << 16;
        std::memcpy(out + 4 * x, &wide, 4);
      }
    }
    const uint8_t* const wide[4] = {widened_.data(), nullptr, nullptr, nullptr};
    const int wideStrides[4] = {wideStride, 0, 0, 0};
    return Convert(wide, wideStrides, AV_PIX_FMT_BGR0, srcWidth, srcHeight, dst, dstStride, dstFormat, dstWidth,
                   dstHeight);
  }
  // Widened pictures kept at their size are cut into slices converted on all processors: there
  // libswscale's threaded output is the same, which it is not on every road (some unscaled ones
  // and strong shrinking differ).
  const bool sliced = srcFormat == AV_PIX_FMT_BGR0 && srcWidth == dstWidth && srcHeight == dstHeight;
  const Shape shape{srcWidth, srcHeight, srcFormat, dstWidth, dstHeight, dstFormat};
  if (!context_ || !(shape == shape_)) {
    context_.reset(sws_alloc_context());
    if (!context_) return false;
    SwsContext* c = context_.get();
    av_opt_set_int(c, "srcw", srcWidth, 0);
    av_opt_set_int(c, "srch", srcHeight, 0);
    av_opt_set_int(c, "src_format", srcFormat, 0);
    av_opt_set_int(c, "dstw", dstWidth, 0);
    av_opt_set_int(c, "dsth", dstHeight, 0);
    av_opt_set_int(c, "dst_format", dstFormat, 0);
    av_opt_set_int(c, "sws_flags", SWS_BICUBIC, 0);
    av_opt_set_int(c, "threads", sliced ? 0 : 1, 0);
    if (sws_init_context(c, nullptr, nullptr) < 0) {
      context_.reset();
      return false;
    }
    shape_ = shape;
  }
  if (!sliced) return sws_scale(context_.get(), src, srcStride, 0, srcHeight, dst, dstStride) > 0;
  // Threads are used only by the frame interface.
  Frame in = NewFrame(), out = NewFrame();
  if (!in || !out || !WrapPlanes(in.get(), src, srcStride, srcFormat, srcWidth, srcHeight) ||
      !WrapPlanes(out.get(), dst, dstStride, dstFormat, dstWidth, dstHeight))
    return false;
  return sws_scale_frame(context_.get(), out.get(), in.get()) >= 0;
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
