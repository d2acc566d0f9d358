#include "picture_fitter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

extern "C" {
#include <libswscale/swscale.h>
}

#include "des/timeline.h"

namespace des {

namespace {

AVPixelFormat FormatOf(WORD bits) {
  switch (bits) {
    case 32: return AV_PIX_FMT_BGR0;
    case 24: return AV_PIX_FMT_BGR24;
    case 16: return AV_PIX_FMT_RGB555LE;
    default: return AV_PIX_FMT_NONE;
  }
}

}  // namespace

PictureFitter::Placement PictureFitter::Place(int sw, int sh, int dw, int dh, int stretchMode) {
  Placement p{0, 0, sw, sh, 0, 0, dw, dh};
  switch (stretchMode) {
    case RESIZEF_CROP:
      p.srcW = p.dstW = std::min(sw, dw);
      p.srcH = p.dstH = std::min(sh, dh);
      break;
    case RESIZEF_PRESERVEASPECTRATIO: {
      const double scale = std::min(double(dw) / sw, double(dh) / sh);
      p.dstW = std::clamp(int(std::lround(sw * scale)), 1, dw);
      p.dstH = std::clamp(int(std::lround(sh * scale)), 1, dh);
      break;
    }
    case RESIZEF_PRESERVEASPECTRATIO_NOLETTERBOX: {
      const double scale = std::max(double(dw) / sw, double(dh) / sh);
      p.srcW = std::clamp(int(std::lround(dw / scale)), 1, sw);
      p.srcH = std::clamp(int(std::lround(dh / scale)), 1, sh);
      break;
    }
    default:
      break;
  }
  p.srcX = (sw - p.srcW) / 2;
  p.srcY = (sh - p.srcH) / 2;
  p.dstX = (dw - p.dstW) / 2;
  p.dstY = (dh - p.dstH) / 2;
  return p;
}

PictureFitter::PictureFitter(const BITMAPINFOHEADER& in, const BITMAPINFOHEADER& out, int stretchMode) {
  const int sw = in.biWidth, sh = std::abs(in.biHeight);
  const int dw = out.biWidth, dh = std::abs(out.biHeight);
  const AVPixelFormat dstFormat = FormatOf(out.biBitCount);
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0 || dstFormat == AV_PIX_FMT_NONE) return;
  place_ = Place(sw, sh, dw, dh, stretchMode);
  srcStride_ = int(WIDTHBYTES(sw * 32));
  srcTopDown_ = in.biHeight < 0;
  srcHeight_ = sh;
  dstStride_ = int(WIDTHBYTES(dw * out.biBitCount));
  dstBytesPerPixel_ = out.biBitCount / 8;
  dstHeight_ = dh;
  covers_ = place_.dstW == dw && place_.dstH == dh;
  sws_ = sws_getContext(place_.srcW, place_.srcH, AV_PIX_FMT_BGR0, place_.dstW, place_.dstH, dstFormat,
                        SWS_BICUBIC, nullptr, nullptr, nullptr);
}

PictureFitter::~PictureFitter() { sws_freeContext(sws_); }

void PictureFitter::Fit(const BYTE* src, BYTE* dst) const {
  if (!covers_) std::memset(dst, 0, size_t(dstStride_) * dstHeight_);
  // Both pictures are taken bottom row first (DIB order); a top-down source is read backwards.
  int srcStride = srcStride_;
  const BYTE* srcRows = src;
  if (srcTopDown_) {
    srcRows = src + size_t(srcStride_) * (srcHeight_ - 1);
    srcStride = -srcStride_;
  }
  const uint8_t* srcPlanes[1] = {srcRows + ptrdiff_t(place_.srcY) * srcStride + place_.srcX * 4};
  const int srcStrides[1] = {srcStride};
  uint8_t* dstPlanes[1] = {dst + size_t(place_.dstY) * dstStride_ + size_t(place_.dstX) * dstBytesPerPixel_};
  const int dstStrides[1] = {dstStride_};
  sws_scale(sws_, srcPlanes, srcStrides, 0, place_.srcH, dstPlanes, dstStrides);
}

}  // namespace des
