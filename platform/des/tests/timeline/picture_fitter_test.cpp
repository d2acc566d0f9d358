// A clip's pictures fitted into the group's frames: libswscale reads and writes whole SIMD blocks
// past the end of a row, so the clip's picture and the frame each end at a page that faults, and
// every row's first and last pixels are checked, for widths that are not whole blocks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "des/qedit.h"
#include "render/picture_fitter.h"
#include "testing/guarded_buffer.h"
#include "testing/media_fixtures.h"

namespace {

using des::PictureFitter;
using testing_support::Rgb;

struct Size {
  LONG width, height;
};

BITMAPINFOHEADER Header(Size size, WORD bits, bool topDown = false) {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof h;
  h.biWidth = size.width;
  h.biHeight = topDown ? -size.height : size.height;
  h.biPlanes = 1;
  h.biBitCount = bits;
  return h;
}

size_t RowBytes(LONG width, int bits) { return (size_t(width) * bits + 31) / 32 * 4; }

// The marked picture in a clip's layout: RGB rows bottom-up unless top-down, YUV rows top-down.
void Paint(uint8_t* buf, const GUID& subtype, Size size, bool topDown) {
  const int w = size.width, h = size.height;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const Rgb c = testing_support::MarkedColourAt(x, y, w, h);
      const testing_support::Yuv yuv = testing_support::StudioYuvOf(c);
      if (subtype == MEDIASUBTYPE_I420) {
        buf[size_t(y) * w + x] = yuv.y;
        if (x % 2 == 0 && y % 2 == 0) {
          uint8_t* u = buf + size_t(w) * h;
          u[size_t(y / 2) * (w / 2) + x / 2] = yuv.u;
          u[size_t(w / 2) * (h / 2) + size_t(y / 2) * (w / 2) + x / 2] = yuv.v;
        }
      } else if (subtype == MEDIASUBTYPE_YUY2) {
        uint8_t* p = buf + size_t(y) * w * 2 + size_t(x) * 2;
        p[0] = yuv.y;
        p[1] = x % 2 == 0 ? yuv.u : yuv.v;
      } else {
        const int bytes = subtype == MEDIASUBTYPE_RGB24 ? 3 : 4;
        const size_t row = topDown ? size_t(y) : size_t(h - 1 - y);
        uint8_t* p = buf + row * RowBytes(w, bytes * 8) + size_t(x) * bytes;
        p[0] = uint8_t(c.b);
        p[1] = uint8_t(c.g);
        p[2] = uint8_t(c.r);
        if (bytes == 4) p[3] = 0;
      }
    }
}

// A pixel of a group frame (bottom-up rows of 16, 24 or 32 bits), y = 0 at the top.
Rgb PixelAt(const uint8_t* frame, Size size, int bits, int x, int y) {
  const uint8_t* p = frame + size_t(size.height - 1 - y) * RowBytes(size.width, bits) + size_t(x) * (bits / 8);
  if (bits == 16) {
    const unsigned pixel = unsigned(p[0]) | unsigned(p[1]) << 8;
    const auto widen = [](unsigned v) { return int(v << 3 | v >> 2); };
    return {widen(pixel >> 10 & 31), widen(pixel >> 5 & 31), widen(pixel & 31)};
  }
  return {p[2], p[1], p[0]};
}

// Fits a clip's picture and lays it into a frame, as a clip's pin does when the frame shows it.
// The fitted picture lies in a guarded buffer of its exact size.
void FitFrame(PictureFitter& fitter, const uint8_t* clip, uint8_t* frame) {
  testing_support::GuardedBuffer fitted(fitter.FittedBytes());
  fitter.Fit(clip, fitted.data());
  fitter.Frame(fitted.data(), frame);
}

struct Input {
  const GUID* subtype;
  WORD bits;  // of the header
  bool topDown;
  const char* name;
};
const Input kInputs[] = {{&MEDIASUBTYPE_RGB32, 32, false, "RGB32"},
                         {&MEDIASUBTYPE_RGB24, 24, false, "RGB24"},
                         {&MEDIASUBTYPE_RGB24, 24, true, "top-down RGB24"},
                         {&MEDIASUBTYPE_I420, 12, false, "I420"},
                         {&MEDIASUBTYPE_YUY2, 16, false, "YUY2"}};

TEST(PictureFitter, ClipPicturesFitGroupFramesOfEveryDepthKeepingTheirEdges) {
  const Size sizes[] = {{170, 96}, {426, 240}, {854, 480}, {1366, 768}};
  const Size scaledTo[] = {{426, 240}, {170, 96}, {1366, 768}, {854, 480}};
  for (size_t i = 0; i < std::size(sizes); ++i) {
    for (const Input& input : kInputs) {
      const BITMAPINFOHEADER in = Header(sizes[i], input.bits, input.topDown);
      testing_support::GuardedBuffer clip(PictureFitter::InputBytes(*input.subtype, in));
      Paint(clip.data(), *input.subtype, sizes[i], input.topDown);
      for (const int bits : {16, 24, 32}) {
        for (const Size group : {sizes[i], scaledTo[i]}) {
          SCOPED_TRACE(std::string(input.name) + " " + std::to_string(sizes[i].width) + "x" +
                       std::to_string(sizes[i].height) + " into " + std::to_string(bits) + " bits " +
                       std::to_string(group.width) + "x" + std::to_string(group.height));
          PictureFitter fitter(*input.subtype, in, Header(group, WORD(bits)), RESIZEF_STRETCH);
          ASSERT_TRUE(fitter.Valid());
          testing_support::GuardedBuffer frame(RowBytes(group.width, bits) * size_t(group.height));
          FitFrame(fitter, clip.data(), frame.data());
          EXPECT_EQ(testing_support::MarkedEdgesFault(
                        group.width, group.height,
                        [&](int x, int y) { return PixelAt(frame.data(), group, bits, x, y); }),
                    "");
        }
      }
    }
  }
}

// A picture narrower than the frame: the bar beside it stays black.
TEST(PictureFitter, TheBarBesideAPictureStaysBlack) {
  const Size clipSize{170, 96}, group{426, 240};
  const BITMAPINFOHEADER in = Header(clipSize, 32);
  testing_support::GuardedBuffer clip(PictureFitter::InputBytes(MEDIASUBTYPE_RGB32, in));
  Paint(clip.data(), MEDIASUBTYPE_RGB32, clipSize, false);
  for (const int bits : {16, 24, 32}) {
    PictureFitter fitter(MEDIASUBTYPE_RGB32, in, Header(group, WORD(bits)), RESIZEF_PRESERVEASPECTRATIO);
    const PictureFitter::Placement place = PictureFitter::Place(170, 96, 426, 240, RESIZEF_PRESERVEASPECTRATIO);
    ASSERT_EQ(place.dstX + place.dstW, 425);  // one column of bar on the right
    testing_support::GuardedBuffer frame(RowBytes(group.width, bits) * size_t(group.height));
    std::memset(frame.data(), 0xFF, frame.size());
    FitFrame(fitter, clip.data(), frame.data());
    for (int y = 0; y < group.height; ++y) {
      const Rgb bar = PixelAt(frame.data(), group, bits, 425, y);
      EXPECT_EQ(bar.r + bar.g + bar.b, 0) << bits << " bits, row " << y;
    }
  }
}

// A picture wider than the frame's shape: bars above and below, the picture centred between them
// (an odd height left over, so a picture placed from the wrong end shows).
TEST(PictureFitter, AWidePictureIsCentredBetweenBarsAboveAndBelow) {
  const Size clipSize{320, 119}, group{320, 240};
  const PictureFitter::Placement place = PictureFitter::Place(320, 119, 320, 240, RESIZEF_PRESERVEASPECTRATIO);
  EXPECT_EQ(0, place.dstX);
  EXPECT_EQ(320, place.dstW);
  ASSERT_EQ(119, place.dstH);
  ASSERT_EQ(60, place.dstY);  // 60 rows of bar above, 61 below
  const BITMAPINFOHEADER in = Header(clipSize, 32);
  testing_support::GuardedBuffer clip(PictureFitter::InputBytes(MEDIASUBTYPE_RGB32, in));
  Paint(clip.data(), MEDIASUBTYPE_RGB32, clipSize, false);
  for (const int bits : {16, 24, 32}) {
    SCOPED_TRACE(std::to_string(bits) + " bits");
    PictureFitter fitter(MEDIASUBTYPE_RGB32, in, Header(group, WORD(bits)), RESIZEF_PRESERVEASPECTRATIO);
    ASSERT_TRUE(fitter.Valid());
    testing_support::GuardedBuffer frame(RowBytes(group.width, bits) * size_t(group.height));
    std::memset(frame.data(), 0xFF, frame.size());
    FitFrame(fitter, clip.data(), frame.data());
    EXPECT_EQ(testing_support::MarkedEdgesFault(
                  clipSize.width, clipSize.height,
                  [&](int x, int y) { return PixelAt(frame.data(), group, bits, x, y + place.dstY); }),
              "");
    for (int y = 0; y < group.height; ++y) {
      if (y >= place.dstY && y < place.dstY + place.dstH) continue;
      for (const int x : {0, 160, 319}) {
        const Rgb bar = PixelAt(frame.data(), group, bits, x, y);
        EXPECT_EQ(bar.r + bar.g + bar.b, 0) << "row " << y << ", column " << x;
      }
    }
  }
}

}  // namespace
