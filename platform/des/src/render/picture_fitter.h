#pragma once
// Fits one clip's RGB32 pictures into the group's frame: size by the source's stretch mode,
// pixel format of the group (RGB32, RGB24 or RGB555), black where the picture does not reach.
#include <cstdint>

#include "dshow/dshow.h"

struct SwsContext;

namespace des {

class PictureFitter {
 public:
  // in: the RGB32 picture of the clip (negative height: top-down rows); out: the group's frame.
  PictureFitter(const BITMAPINFOHEADER& in, const BITMAPINFOHEADER& out, int stretchMode);
  ~PictureFitter();
  PictureFitter(const PictureFitter&) = delete;
  PictureFitter& operator=(const PictureFitter&) = delete;

  bool Valid() const { return sws_ != nullptr; }
  // src: one input picture; dst: a whole output frame (rows padded to 4 bytes).
  void Fit(const BYTE* src, BYTE* dst) const;

  // Where a stretch mode puts a picture of sw x sh into a frame of dw x dh: the part of the
  // source used and the rectangle it fills.
  struct Placement {
    int srcX, srcY, srcW, srcH;
    int dstX, dstY, dstW, dstH;
  };
  static Placement Place(int sw, int sh, int dw, int dh, int stretchMode);

 private:
  SwsContext* sws_ = nullptr;
  Placement place_{};
  int srcStride_ = 0;
  bool srcTopDown_ = false;
  int srcHeight_ = 0;
  int dstStride_ = 0;
  int dstBytesPerPixel_ = 0;
  int dstHeight_ = 0;
  bool covers_ = true;  // the picture fills the whole frame
};

}  // namespace des
