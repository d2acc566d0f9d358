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

// Bytes of a DIB row, padded to 4 bytes.
size_t RowBytes(LONG width, int bits) { return (size_t(width) * bits + 31) / 32 * 4; }

size_t RowCount(const BITMAPINFOHEADER& bmi) { return size_t(std::abs(int64_t(bmi.biHeight))); }

// A stride for libswscale's own rows: at least 64 spare bytes (a block of 16 pixels of 4 bytes)
// after the pixels, rounded up to 64.
int PaddedStride(size_t bytes) { return int((bytes + 64 + 63) / 64 * 64); }

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

bool PictureFitter::Accepts(const GUID& subtype) {
  return subtype == MEDIASUBTYPE_RGB32 || subtype == MEDIASUBTYPE_RGB24 || subtype == MEDIASUBTYPE_I420 ||
         subtype == MEDIASUBTYPE_YUY2;
}

size_t PictureFitter::InputBytes(const GUID& subtype, const BITMAPINFOHEADER& in) {
  if (in.biWidth <= 0) return 0;
  const size_t w = size_t(in.biWidth), h = RowCount(in);
  if (subtype == MEDIASUBTYPE_I420) return w * h * 3 / 2;
  if (subtype == MEDIASUBTYPE_YUY2) return w * 2 * h;
  return RowBytes(in.biWidth, subtype == MEDIASUBTYPE_RGB24 ? 24 : 32) * h;
}

PictureFitter::PictureFitter(const GUID& subtype, const BITMAPINFOHEADER& in, const BITMAPINFOHEADER& out,
                             int stretchMode) {
  // Pictures are counted in 32-bit sample lengths; a larger one cannot arrive whole.
  const size_t inBytes = InputBytes(subtype, in);
  const size_t outBytes = out.biWidth > 0 ? RowBytes(out.biWidth, out.biBitCount) * RowCount(out) : 0;
  if (inBytes == 0 || inBytes > size_t(INT32_MAX) || outBytes == 0 || outBytes > size_t(INT32_MAX)) return;
  const int sw = in.biWidth, sh = int(RowCount(in));
  const int dw = out.biWidth, dh = int(RowCount(out));
  const AVPixelFormat dstFormat = FormatOf(out.biBitCount);
  AVPixelFormat srcFormat = AV_PIX_FMT_NONE;
  bool srcBottomUp = false;
  if (subtype == MEDIASUBTYPE_RGB32 || subtype == MEDIASUBTYPE_RGB24) {
    const bool rgb32 = subtype == MEDIASUBTYPE_RGB32;
    srcFormat = rgb32 ? AV_PIX_FMT_BGR0 : AV_PIX_FMT_BGR24;
    srcPixelBytes_ = rgb32 ? 4 : 3;
    srcStride_ = int(RowBytes(sw, srcPixelBytes_ * 8));
    srcBottomUp = in.biHeight > 0;
  } else if (subtype == MEDIASUBTYPE_I420) {
    if (sw % 2 || sh % 2) return;
    srcFormat = AV_PIX_FMT_YUV420P;
    planar_ = true;
    srcStride_ = sw;
  } else if (subtype == MEDIASUBTYPE_YUY2) {
    if (sw % 2) return;
    srcFormat = AV_PIX_FMT_YUYV422;
    srcPixelBytes_ = 2;
    srcStride_ = sw * 2;
  }
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0 || dstFormat == AV_PIX_FMT_NONE || srcFormat == AV_PIX_FMT_NONE)
    return;
  place_ = Place(sw, sh, dw, dh, stretchMode);
  if (srcFormat != AV_PIX_FMT_BGR0 && srcFormat != AV_PIX_FMT_BGR24) {  // chroma is shared by pixel pairs
    place_.srcX &= ~1;
    if (planar_) place_.srcY &= ~1;
  }
  srcWidth_ = sw;
  srcHeight_ = sh;
  flip_ = srcBottomUp != (out.biHeight > 0);
  dstStride_ = int(RowBytes(dw, out.biBitCount));
  dstBytesPerPixel_ = out.biBitCount / 8;
  dstHeight_ = dh;
  // Placements count rows from the top; a bottom-up frame holds its bottom row first.
  dstFirstRow_ = out.biHeight > 0 ? dh - place_.dstY - place_.dstH : place_.dstY;
  covers_ = place_.dstW == dw && place_.dstH == dh;
  fittedStride_ = PaddedStride(size_t(place_.dstW) * dstBytesPerPixel_);
  // The last source row, or the last two where rows share chroma, with their chroma rows.
  if (planar_) {
    edgeStrides_[0] = PaddedStride(size_t(place_.srcW));
    edgeStrides_[1] = edgeStrides_[2] = PaddedStride(size_t(place_.srcW + 1) / 2);
    edgeOffsets_[1] = 2 * edgeStrides_[0];
    edgeOffsets_[2] = edgeOffsets_[1] + edgeStrides_[1];
    edge_.resize(size_t(edgeOffsets_[2] + edgeStrides_[2]));
  } else {
    edgeStrides_[0] = PaddedStride(size_t(place_.srcW) * srcPixelBytes_);
    edge_.resize(size_t(edgeStrides_[0]));
  }
  scaledFirst_ = planar_ && (place_.srcW != place_.dstW || place_.srcH != place_.dstH);
  if (scaledFirst_) {
    scaledStrides_[0] = PaddedStride(size_t(place_.dstW));
    scaledStrides_[1] = scaledStrides_[2] = PaddedStride(size_t(place_.dstW + 1) / 2);
    const size_t chromaRows = size_t(place_.dstH + 1) / 2;
    scaledOffsets_[1] = scaledStrides_[0] * place_.dstH;
    scaledOffsets_[2] = scaledOffsets_[1] + int(scaledStrides_[1] * chromaRows);
    scaled_.resize(size_t(scaledOffsets_[2]) + scaledStrides_[2] * chromaRows);
    toRgb_ = sws_getContext(place_.dstW, place_.dstH, AV_PIX_FMT_YUV420P, place_.dstW, place_.dstH, dstFormat,
                            SWS_AREA, nullptr, nullptr, nullptr);
  }
  sws_ = sws_getContext(place_.srcW, place_.srcH, srcFormat, place_.dstW, place_.dstH,
                        scaledFirst_ ? AV_PIX_FMT_YUV420P : dstFormat, SWS_AREA, nullptr, nullptr, nullptr);
}

PictureFitter::~PictureFitter() {
  sws_freeContext(sws_);
  sws_freeContext(toRgb_);
}

void PictureFitter::Fit(const BYTE* src, BYTE* fitted) {
  // libswscale takes four planes, used or not.
  const uint8_t* srcPlanes[4] = {};
  int srcStrides[4] = {};
  size_t rowBytes[3] = {};
  if (planar_) {
    const int cw = srcWidth_ / 2;
    const BYTE* u = src + size_t(srcWidth_) * srcHeight_;
    const BYTE* v = u + size_t(cw) * (srcHeight_ / 2);
    srcPlanes[0] = src + size_t(place_.srcY) * srcWidth_ + place_.srcX;
    srcPlanes[1] = u + size_t(place_.srcY / 2) * cw + place_.srcX / 2;
    srcPlanes[2] = v + size_t(place_.srcY / 2) * cw + place_.srcX / 2;
    srcStrides[0] = srcWidth_;
    srcStrides[1] = srcStrides[2] = cw;
    rowBytes[0] = size_t(place_.srcW);
    rowBytes[1] = rowBytes[2] = size_t(place_.srcW + 1) / 2;
  } else {
    srcPlanes[0] = src + size_t(place_.srcY) * srcStride_ + size_t(place_.srcX) * srcPixelBytes_;
    srcStrides[0] = srcStride_;
    rowBytes[0] = size_t(place_.srcW) * srcPixelBytes_;
  }
  const int step = planar_ ? 2 : 1;
  const int edgeY = (place_.srcH - 1) / step * step;
  const int edgeRows = place_.srcH - edgeY;
  const uint8_t* edgePlanes[4] = {};
  for (int p = 0; p < (planar_ ? 3 : 1); ++p) {
    const int shift = p == 0 ? 0 : 1;
    uint8_t* out = edge_.data() + edgeOffsets_[p];
    const int first = edgeY >> shift;
    for (int r = 0; r < ((edgeY + edgeRows + shift) >> shift) - first; ++r)
      std::memcpy(out + size_t(r) * edgeStrides_[p], srcPlanes[p] + size_t(first + r) * srcStrides[p], rowBytes[p]);
    edgePlanes[p] = out;
  }
  uint8_t* const fittedPlanes[4] = {fitted};
  const int fittedStrides[4] = {fittedStride_};
  uint8_t* scaledPlanes[4] = {};
  if (scaledFirst_) {
    for (int p = 0; p < 3; ++p) scaledPlanes[p] = scaled_.data() + scaledOffsets_[p];
  }
  uint8_t* const* outPlanes = scaledFirst_ ? scaledPlanes : fittedPlanes;
  const int* outStrides = scaledFirst_ ? scaledStrides_ : fittedStrides;
  if (edgeY > 0) sws_scale(sws_, srcPlanes, srcStrides, 0, edgeY, outPlanes, outStrides);
  sws_scale(sws_, edgePlanes, edgeStrides_, edgeY, edgeRows, outPlanes, outStrides);
  if (scaledFirst_) sws_scale(toRgb_, scaledPlanes, scaledStrides_, 0, place_.dstH, fittedPlanes, fittedStrides);
}

void PictureFitter::Frame(const BYTE* fitted, BYTE* dst) const {
  if (!covers_) std::memset(dst, 0, size_t(dstStride_) * dstHeight_);
  // Rows running the other way fill the target rectangle from its bottom up.
  BYTE* first = dst + size_t(dstFirstRow_) * dstStride_ + size_t(place_.dstX) * dstBytesPerPixel_;
  const size_t bytes = size_t(place_.dstW) * dstBytesPerPixel_;
  // A frame the picture covers has only the rows' padding left to clear.
  const size_t padding = covers_ ? size_t(dstStride_) - bytes : 0;
  for (int i = 0; i < place_.dstH; ++i) {
    const int row = flip_ ? place_.dstH - 1 - i : i;
    BYTE* out = first + size_t(row) * dstStride_;
    std::memcpy(out, fitted + size_t(i) * fittedStride_, bytes);
    if (padding) std::memset(out + bytes, 0, padding);
  }
}

}  // namespace des
