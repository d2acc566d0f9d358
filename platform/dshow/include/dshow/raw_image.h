#pragma once
// Uncompressed pictures as the platform lays them out in a sample: RGB as bottom-up DIB rows
// padded to 4 bytes, YUV top-down; and the libswscale conversions between them.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "dshow/ffmpeg_handles.h"

namespace dshow::filters {

enum class RawKind { I420, YUY2, RGB32, RGB24, RGB555 };

AVPixelFormat PixelFormatOf(RawKind kind);
int BitsPerPixel(RawKind kind);
// Bytes of one row of the first plane, padded to 4 bytes.
int RowBytes(RawKind kind, int width);
size_t ImageBytes(RawKind kind, int width, int height);
// Whether the kind can hold a picture of this size (I420 needs even sizes, YUY2 an even width).
bool Fits(RawKind kind, int width, int height);

// A picture as libswscale takes it. libswscale's SIMD code reads and writes whole blocks of
// pixels past the end of a row: a frame FFmpeg allocated has room for that after every row
// (padded), a sample's picture ends where its buffer ends.
struct Picture {
  uint8_t* data[4] = {};
  int stride[4] = {};
  AVPixelFormat format = AV_PIX_FMT_NONE;
  int width = 0;
  int height = 0;
  bool padded = false;
};

// The picture of a sample buffer laid out for kind; RGB rows start at the end with negative strides.
Picture SamplePicture(uint8_t* buf, RawKind kind, int width, int height);
Picture FramePicture(const AVFrame* frame);

// A padded picture of our own, rows top-down with at least 64 spare bytes after each (a block of
// 16 pixels of 4 bytes). Its memory is kept for the next picture of the same size or smaller.
class PaddedPicture {
 public:
  // False when out of memory.
  bool Fit(AVPixelFormat format, int width, int height);
  const Picture& Get() const { return picture_; }

 private:
  struct Free {
    void operator()(uint8_t* p) const { av_free(p); }
  };
  std::unique_ptr<uint8_t, Free> memory_;
  size_t capacity_ = 0;
  Picture picture_;
};

// Converts and scales pictures, keeping its libswscale context between calls of the same shape.
// libswscale never writes into a sample: it works on a padded picture that is then copied.
class ImageConverter {
 public:
  // False when libswscale refuses the conversion.
  bool Convert(const Picture& from, const Picture& to);

 private:
  bool Prepare(const Picture& from, const Picture& to);
  bool Scale(const Picture& from, const Picture& to);
  bool ScaleFromSample(const Picture& from, const Picture& to);

  struct Shape {
    int srcWidth, srcHeight;
    AVPixelFormat srcFormat;
    int dstWidth, dstHeight;
    AVPixelFormat dstFormat;
    bool operator==(const Shape&) const = default;
  };
  Scaler context_;
  Shape shape_{};
  // RGB555 pictures widened to 24 bits first: libswscale has no fast road from 5-5-5.
  PaddedPicture widened_;
  PaddedPicture copy_;    // a sample's picture, read by libswscale past its rows' ends
  PaddedPicture output_;  // what libswscale makes for a sample
};

}  // namespace dshow::filters
