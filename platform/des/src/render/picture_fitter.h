#pragma once
// Fits one clip's decoded pictures (RGB32, RGB24, I420 or YUY2) to the group's frame in one
// pass: size by the source's stretch mode, pixel format of the group (RGB32, RGB24 or RGB555).
// An I420 picture of another size is scaled as I420 first and then made RGB: libswscale's
// unscaled road to RGB and its YUV scaling cost less than scaling straight into RGB.
// The fitted picture keeps rows of its own until it is laid into a frame, black where it does not
// reach, so that a picture queued ahead is copied once, into the frame that shows it.
#include <cstdint>
#include <vector>

#include "dshow/dshow.h"

struct SwsContext;

namespace des {

class PictureFitter {
 public:
  // The input subtypes a fitter takes.
  static bool Accepts(const GUID& subtype);
  // Bytes of one input picture.
  static size_t InputBytes(const GUID& subtype, const BITMAPINFOHEADER& in);
  // in: the clip's picture of that subtype (RGB rows bottom-up unless the height is negative;
  // YUV rows top-down); out: the group's frame.
  PictureFitter(const GUID& subtype, const BITMAPINFOHEADER& in, const BITMAPINFOHEADER& out, int stretchMode);
  ~PictureFitter();
  PictureFitter(const PictureFitter&) = delete;
  PictureFitter& operator=(const PictureFitter&) = delete;

  bool Valid() const { return sws_ && (!scaledFirst_ || toRgb_); }
  // Bytes of a fitted picture.
  size_t FittedBytes() const { return size_t(fittedStride_) * size_t(place_.dstH); }
  // src: one input picture; fitted: FittedBytes() bytes.
  void Fit(const BYTE* src, BYTE* fitted);
  // Lays a fitted picture into a whole output frame (rows padded to 4 bytes). Reads only what the
  // fitter was made with, so it may run beside Fit on another thread.
  void Frame(const BYTE* fitted, BYTE* dst) const;

  // Where a stretch mode puts a picture of sw x sh into a frame of dw x dh: the part of the
  // source used and the rectangle it fills.
  struct Placement {
    int srcX, srcY, srcW, srcH;
    int dstX, dstY, dstW, dstH;
  };
  static Placement Place(int sw, int sh, int dw, int dh, int stretchMode);

 private:
  SwsContext* sws_ = nullptr;
  // I420 scaled first: sws_ makes the scaled I420 picture (padded), toRgb_ the fitted one from it.
  bool scaledFirst_ = false;
  SwsContext* toRgb_ = nullptr;
  std::vector<uint8_t> scaled_;
  int scaledStrides_[4] = {};
  int scaledOffsets_[3] = {};
  Placement place_{};
  bool planar_ = false;      // I420
  int srcWidth_ = 0;
  int srcHeight_ = 0;
  int srcStride_ = 0;        // of the first plane
  int srcPixelBytes_ = 0;    // of packed formats
  bool flip_ = false;        // the rows of input and output run in opposite directions
  int dstStride_ = 0;
  int dstBytesPerPixel_ = 0;
  int dstHeight_ = 0;
  int dstFirstRow_ = 0;      // of the picture's rectangle, in the frame's memory order
  bool covers_ = true;  // the picture fills the whole frame
  // libswscale reads and writes whole SIMD blocks past the last pixel of a row, so it never works
  // on the frame, nor on the last source rows (the sample's buffer may end right after them): it
  // makes the fitted picture with spare bytes after each row, and reads the source's last rows
  // from a copy.
  int fittedStride_ = 0;
  std::vector<uint8_t> edge_;
  int edgeStrides_[4] = {};
  int edgeOffsets_[3] = {};
};

}  // namespace des
