#pragma once
// Uncompressed pictures as the platform lays them out in a sample: RGB as bottom-up DIB rows
// padded to 4 bytes, YUV top-down; and the libswscale conversions between them.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ff_util.h"

namespace ffw {

enum class RawKind { I420, YUY2, RGB32, RGB24, RGB555 };

AVPixelFormat PixelFormatOf(RawKind kind);
int BitsPerPixel(RawKind kind);
// Bytes of one row of the first plane, padded to 4 bytes.
int RowBytes(RawKind kind, int width);
size_t ImageBytes(RawKind kind, int width, int height);
// Whether the kind can hold a picture of this size (I420 needs even sizes, YUY2 an even width).
bool Fits(RawKind kind, int width, int height);
// Plane pointers and strides of an image in buf; RGB rows start at the end with negative strides.
void PlanesOf(RawKind kind, uint8_t* buf, int width, int height, uint8_t* data[4], int stride[4]);

// Converts and scales pictures, keeping its libswscale context between calls of the same shape.
class ImageConverter {
 public:
  // False when libswscale refuses the conversion.
  bool Convert(const uint8_t* const src[4], const int srcStride[4], AVPixelFormat srcFormat, int srcWidth,
               int srcHeight, uint8_t* const dst[4], const int dstStride[4], AVPixelFormat dstFormat,
               int dstWidth, int dstHeight);
  // Same into a sample buffer laid out for kind.
  bool ConvertTo(const uint8_t* const src[4], const int srcStride[4], AVPixelFormat srcFormat, int srcWidth,
                 int srcHeight, uint8_t* dst, RawKind kind, int dstWidth, int dstHeight);

 private:
  struct Shape {
    int srcWidth, srcHeight;
    AVPixelFormat srcFormat;
    int dstWidth, dstHeight;
    AVPixelFormat dstFormat;
    bool operator==(const Shape&) const = default;
  };
  Scaler context_;
  Shape shape_{};
  // RGB555 pictures widened to 32 bits first: libswscale has no fast road from 5-5-5.
  std::vector<uint8_t> widened_;
};

}  // namespace ffw
