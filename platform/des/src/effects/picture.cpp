#include "picture.h"

#include <algorithm>
#include <cstring>

#include "band_helper.h"

namespace des {

namespace {

size_t Stride(int width, int bits) { return (size_t(width) * size_t(bits) + 31) / 32 * 4; }

}  // namespace

void Picture::Resize(int width, int height) {
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  pixels_.assign(size_t(width) * size_t(height), 0);
}

void Picture::Fill(uint32_t pixel) { std::fill(pixels_.begin(), pixels_.end(), pixel); }

namespace {

void ReadRows(const uint8_t* frame, int bits, int first, int end, Picture* picture) {
  const int w = picture->Width(), h = picture->Height();
  const size_t stride = Stride(w, bits);
  for (int y = first; y < end; ++y) {
    const uint8_t* src = frame + size_t(h - 1 - y) * stride;
    uint32_t* dst = picture->Row(y);
    if (bits == 32) {
      for (int x = 0; x < w; ++x) {
        uint32_t p;
        std::memcpy(&p, src + 4 * x, 4);
        dst[x] = p & 0xFFFFFF;
      }
    } else if (bits == 24) {
      // A word a pixel, its top byte the next pixel's; the last pixel bytewise, as the row may
      // end the frame.
      for (int x = 0; x + 1 < w; ++x) {
        uint32_t p;
        std::memcpy(&p, src + 3 * x, 4);
        dst[x] = p & 0xFFFFFF;
      }
      if (w > 0) dst[w - 1] = Pixel(src[3 * w - 1], src[3 * w - 2], src[3 * w - 3]);
    } else {
      for (int x = 0; x < w; ++x) {
        const int v = src[2 * x] | src[2 * x + 1] << 8;
        const int r = v >> 10 & 31, g = v >> 5 & 31, b = v & 31;
        dst[x] = Pixel(r << 3 | r >> 2, g << 3 | g >> 2, b << 3 | b >> 2);
      }
    }
  }
}

void WriteRows(const Picture& picture, int bits, int first, int end, uint8_t* frame) {
  const int w = picture.Width(), h = picture.Height();
  const size_t stride = Stride(w, bits);
  for (int y = first; y < end; ++y) {
    uint8_t* dst = frame + size_t(h - 1 - y) * stride;
    const uint32_t* src = picture.Row(y);
    if (bits == 32) {
      std::memcpy(dst, src, size_t(w) * 4);
    } else if (bits == 24) {
      // A word a pixel, its top byte overwritten by the next; the last pixel bytewise.
      for (int x = 0; x + 1 < w; ++x) std::memcpy(dst + 3 * x, src + x, 4);
      if (w > 0) {
        const uint32_t p = src[w - 1];
        dst[3 * w - 3] = uint8_t(Blue(p));
        dst[3 * w - 2] = uint8_t(Green(p));
        dst[3 * w - 1] = uint8_t(Red(p));
      }
    } else {
      for (int x = 0; x < w; ++x) {
        const int v = (Red(src[x]) >> 3) << 10 | (Green(src[x]) >> 3) << 5 | Blue(src[x]) >> 3;
        dst[2 * x] = uint8_t(v);
        dst[2 * x + 1] = uint8_t(v >> 8);
      }
    }
    std::memset(dst + size_t(w) * size_t(bits / 8), 0, stride - size_t(w) * size_t(bits / 8));
  }
}

}  // namespace

void ReadFrame(const uint8_t* frame, int bits, Picture* picture, BandHelper* helper) {
  auto rows = [&](int first, int end) { ReadRows(frame, bits, first, end, picture); };
  helper ? helper->Split(picture->Height(), rows) : rows(0, picture->Height());
}

void WriteFrame(const Picture& picture, int bits, uint8_t* frame, BandHelper* helper) {
  auto rows = [&](int first, int end) { WriteRows(picture, bits, first, end, frame); };
  helper ? helper->Split(picture.Height(), rows) : rows(0, picture.Height());
}

}  // namespace des
