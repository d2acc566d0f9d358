// Pictures converted into samples: libswscale reads and writes whole SIMD blocks past the end of a
// row, so sample buffers that end with their last row are followed here by a page that faults,
// and every row's first and last pixels are checked, for widths that are not whole blocks.
#include <gtest/gtest.h>

#include <cstring>

#include "dshow/raw_image.h"
#include "testing/guarded_buffer.h"
#include "testing/media_fixtures.h"

namespace dshow_test {
namespace {

using dshow::filters::RawKind;
using testing_support::Rgb;

struct Size {
  int width, height;
};
// Widths of no whole number of 16-pixel blocks, and the sizes each is scaled to.
constexpr Size kSizes[] = {{170, 96}, {426, 240}, {854, 480}, {1366, 768}};
constexpr Size kScaledTo[] = {{426, 240}, {170, 96}, {1366, 768}, {854, 480}};
constexpr RawKind kRgbKinds[] = {RawKind::RGB555, RawKind::RGB24, RawKind::RGB32};
constexpr RawKind kAllKinds[] = {RawKind::I420, RawKind::YUY2, RawKind::RGB555, RawKind::RGB24, RawKind::RGB32};

const char* Name(RawKind kind) {
  switch (kind) {
    case RawKind::I420: return "I420";
    case RawKind::YUY2: return "YUY2";
    case RawKind::RGB32: return "RGB32";
    case RawKind::RGB24: return "RGB24";
    case RawKind::RGB555: return "RGB555";
  }
  return "?";
}

// Paints the marked picture into a picture as the platform lays it out (the strips start on even
// pixels and rows, so shared chroma never mixes two colours).
void Paint(const dshow::filters::Picture& p) {
  for (int y = 0; y < p.height; ++y) {
    uint8_t* row = p.data[0] + ptrdiff_t(y) * p.stride[0];
    for (int x = 0; x < p.width; ++x) {
      const Rgb c = testing_support::MarkedColourAt(x, y, p.width, p.height);
      const testing_support::Yuv yuv = testing_support::StudioYuvOf(c);
      switch (p.format) {
        case AV_PIX_FMT_YUV420P:
          row[x] = yuv.y;
          if (x % 2 == 0 && y % 2 == 0) {
            p.data[1][ptrdiff_t(y / 2) * p.stride[1] + x / 2] = yuv.u;
            p.data[2][ptrdiff_t(y / 2) * p.stride[2] + x / 2] = yuv.v;
          }
          break;
        case AV_PIX_FMT_YUYV422:
          row[2 * x] = yuv.y;
          row[2 * x + 1] = x % 2 == 0 ? yuv.u : yuv.v;
          break;
        case AV_PIX_FMT_RGB555LE: {
          const unsigned pixel = unsigned(c.r >> 3) << 10 | unsigned(c.g >> 3) << 5 | unsigned(c.b >> 3);
          row[2 * x] = uint8_t(pixel & 0xFF);
          row[2 * x + 1] = uint8_t(pixel >> 8);
          break;
        }
        default: {  // BGR24, BGRA
          const int bytes = p.format == AV_PIX_FMT_BGR24 ? 3 : 4;
          row[bytes * x] = uint8_t(c.b);
          row[bytes * x + 1] = uint8_t(c.g);
          row[bytes * x + 2] = uint8_t(c.r);
          if (bytes == 4) row[bytes * x + 3] = 0;
        }
      }
    }
  }
}

// A pixel of a picture in an RGB sample (y = 0 at the top).
Rgb PixelAt(const dshow::filters::Picture& p, int x, int y) {
  const uint8_t* row = p.data[0] + ptrdiff_t(y) * p.stride[0];
  if (p.format == AV_PIX_FMT_RGB555LE) {
    const unsigned pixel = unsigned(row[2 * x]) | unsigned(row[2 * x + 1]) << 8;
    const auto widen = [](unsigned v) { return int(v << 3 | v >> 2); };
    return {widen(pixel >> 10 & 31), widen(pixel >> 5 & 31), widen(pixel & 31)};
  }
  const int bytes = p.format == AV_PIX_FMT_BGR24 ? 3 : 4;
  return {row[bytes * x + 2], row[bytes * x + 1], row[bytes * x]};
}

// Converts into a sample of kind in a guarded buffer; the sample's rows must keep the edges.
void ExpectEdgesIn(dshow::filters::ImageConverter& converter, const dshow::filters::Picture& from, RawKind kind, Size to) {
  testing_support::GuardedBuffer sample(dshow::filters::ImageBytes(kind, to.width, to.height));
  const dshow::filters::Picture out = dshow::filters::SamplePicture(sample.data(), kind, to.width, to.height);
  ASSERT_TRUE(converter.Convert(from, out));
  EXPECT_EQ(testing_support::MarkedEdgesFault(to.width, to.height, [&](int x, int y) { return PixelAt(out, x, y); }),
            "");
}

TEST(RawImages, SamplesOfEveryKindConvertIntoRgbSamplesKeepingTheirEdges) {
  for (size_t i = 0; i < std::size(kSizes); ++i) {
    const Size size = kSizes[i];
    for (RawKind fromKind : kAllKinds) {
      testing_support::GuardedBuffer source(dshow::filters::ImageBytes(fromKind, size.width, size.height));
      const dshow::filters::Picture from = dshow::filters::SamplePicture(source.data(), fromKind, size.width, size.height);
      Paint(from);
      dshow::filters::ImageConverter converter;
      for (RawKind toKind : kRgbKinds) {
        for (Size to : {size, kScaledTo[i]}) {
          if (fromKind == toKind && to.width == size.width) continue;
          SCOPED_TRACE(std::string(Name(fromKind)) + " " + std::to_string(size.width) + "x" +
                       std::to_string(size.height) + " to " + Name(toKind) + " " + std::to_string(to.width) + "x" +
                       std::to_string(to.height));
          ExpectEdgesIn(converter, from, toKind, to);
        }
      }
    }
  }
}

// The file source's road: decoded pictures, which FFmpeg pads, into samples.
TEST(RawImages, DecodedPicturesConvertIntoRgbSamplesKeepingTheirEdges) {
  for (size_t i = 0; i < std::size(kSizes); ++i) {
    const Size size = kSizes[i];
    dshow::filters::Frame frame = dshow::filters::NewFrame();
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = size.width;
    frame->height = size.height;
    ASSERT_GE(av_frame_get_buffer(frame.get(), 0), 0);
    const dshow::filters::Picture from = dshow::filters::FramePicture(frame.get());
    Paint(from);
    dshow::filters::ImageConverter converter;
    for (RawKind toKind : kRgbKinds) {
      for (Size to : {size, kScaledTo[i]}) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height) + " to " + Name(toKind) + " " +
                     std::to_string(to.width) + "x" + std::to_string(to.height));
        ExpectEdgesIn(converter, from, toKind, to);
      }
    }
  }
}

// YUV samples keep their layout too: the first and last luma of every row of an I420 sample.
TEST(RawImages, RgbSamplesConvertIntoYuvSamplesInsideTheirBuffers) {
  const Size size{426, 240};
  testing_support::GuardedBuffer source(dshow::filters::ImageBytes(RawKind::RGB24, size.width, size.height));
  const dshow::filters::Picture from = dshow::filters::SamplePicture(source.data(), RawKind::RGB24, size.width, size.height);
  Paint(from);
  dshow::filters::ImageConverter converter;
  for (RawKind kind : {RawKind::I420, RawKind::YUY2}) {
    testing_support::GuardedBuffer sample(dshow::filters::ImageBytes(kind, size.width, size.height));
    const dshow::filters::Picture out = dshow::filters::SamplePicture(sample.data(), kind, size.width, size.height);
    ASSERT_TRUE(converter.Convert(from, out));
    const int step = kind == RawKind::YUY2 ? 2 : 1;
    for (int y = 0; y < size.height; ++y) {
      const uint8_t* row = out.data[0] + ptrdiff_t(y) * out.stride[0];
      if (std::abs(2 * y + 1 - size.height) > 4) {
        const Rgb left = testing_support::MarkedColourAt(0, y, size.width, size.height);
        EXPECT_NEAR(row[0], testing_support::StudioYuvOf(left).y, 2) << Name(kind) << " row " << y;
      }
      EXPECT_NEAR(row[step * (size.width - 1)], testing_support::StudioYuvOf(testing_support::kRightColour).y, 2)
          << Name(kind) << " row " << y;
    }
  }
}

// The encoders' road: a group's RGB picture of each depth into an I420 picture FFmpeg allocated.
// Every marked strip keeps its colour in all three planes, and the rows where the left strips meet
// stay where they are, so a swapped plane, upside-down rows or a row shifted by one show.
TEST(RawImages, RgbSamplesConvertIntoEncoderPicturesKeepingColoursAndRows) {
  for (Size size : {Size{640, 480}, Size{426, 240}, Size{170, 96}}) {
    dshow::filters::Frame frame = dshow::filters::NewFrame();
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = size.width;
    frame->height = size.height;
    ASSERT_GE(av_frame_get_buffer(frame.get(), 0), 0);
    const dshow::filters::Picture out = dshow::filters::FramePicture(frame.get());
    for (RawKind kind : kRgbKinds) {
      SCOPED_TRACE(std::string(Name(kind)) + " " + std::to_string(size.width) + "x" + std::to_string(size.height));
      testing_support::GuardedBuffer source(dshow::filters::ImageBytes(kind, size.width, size.height));
      const dshow::filters::Picture from = dshow::filters::SamplePicture(source.data(), kind, size.width, size.height);
      Paint(from);
      dshow::filters::ImageConverter converter;
      ASSERT_TRUE(converter.Convert(from, out));
      const auto luma = [&](int x, int y) { return int(out.data[0][ptrdiff_t(y) * out.stride[0] + x]); };
      const int w = size.width, h = size.height;
      const int red = testing_support::StudioYuvOf(testing_support::kTopLeftColour).y;
      const int blue = testing_support::StudioYuvOf(testing_support::kBottomLeftColour).y;
      const int green = testing_support::StudioYuvOf(testing_support::kRightColour).y;
      for (int y : {0, h / 2 - 1}) EXPECT_NEAR(luma(8, y), red, 2) << "row " << y;
      for (int y : {h / 2, h - 1}) EXPECT_NEAR(luma(8, y), blue, 2) << "row " << y;
      for (int y : {0, h / 2, h - 1}) EXPECT_NEAR(luma(w - 8, y), green, 2) << "row " << y;
      const struct {
        int x, y;
        testing_support::Rgb colour;
      } strips[] = {{4, h / 4, testing_support::kTopLeftColour},
                    {4, h * 3 / 4, testing_support::kBottomLeftColour},
                    {w - 4, h / 2, testing_support::kRightColour}};
      for (const auto& strip : strips) {
        const testing_support::Yuv expected = testing_support::StudioYuvOf(strip.colour);
        const ptrdiff_t at = ptrdiff_t(strip.y / 2);
        EXPECT_NEAR(out.data[1][at * out.stride[1] + strip.x / 2], expected.u, 3) << "at " << strip.x << "," << strip.y;
        EXPECT_NEAR(out.data[2][at * out.stride[2] + strip.x / 2], expected.v, 3) << "at " << strip.x << "," << strip.y;
      }
    }
  }
}

// A picture in a sample converts exactly as the same picture in a padded frame does, every row of
// every plane, the chroma rows that pair two source rows too. Noise rather than strips, so that a
// chroma row worked out from the wrong rows shows.
TEST(RawImages, SamplesConvertAsTheSamePictureInAFrame) {
  const auto noise = [](int x, int y, int byte) { return uint8_t((x * 2654435761u + y * 40503u + byte * 97u) >> 13); };
  for (Size size : {Size{640, 480}, Size{170, 96}}) {
    for (RawKind kind : {RawKind::RGB24, RawKind::RGB32}) {
      const AVPixelFormat format = dshow::filters::PixelFormatOf(kind);
      const int bytes = dshow::filters::BitsPerPixel(kind) / 8;
      testing_support::GuardedBuffer source(dshow::filters::ImageBytes(kind, size.width, size.height));
      const dshow::filters::Picture inSample =
          dshow::filters::SamplePicture(source.data(), kind, size.width, size.height);
      dshow::filters::Frame padded = dshow::filters::NewFrame();
      padded->format = format;
      padded->width = size.width;
      padded->height = size.height;
      ASSERT_GE(av_frame_get_buffer(padded.get(), 0), 0);
      const dshow::filters::Picture inFrame = dshow::filters::FramePicture(padded.get());
      for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width * bytes; ++x) {
          const uint8_t value = noise(x / bytes, y, x % bytes);
          inSample.data[0][ptrdiff_t(y) * inSample.stride[0] + x] = value;
          inFrame.data[0][ptrdiff_t(y) * inFrame.stride[0] + x] = value;
        }
      }
      for (Size to : {size, Size{size.width / 2, size.height / 2}}) {
        SCOPED_TRACE(std::string(Name(kind)) + " " + std::to_string(size.width) + "x" + std::to_string(size.height) +
                     " to " + std::to_string(to.width) + "x" + std::to_string(to.height));
        dshow::filters::Frame fromSample = dshow::filters::NewFrame(), fromFrame = dshow::filters::NewFrame();
        for (AVFrame* f : {fromSample.get(), fromFrame.get()}) {
          f->format = AV_PIX_FMT_YUV420P;
          f->width = to.width;
          f->height = to.height;
          ASSERT_GE(av_frame_get_buffer(f, 0), 0);
        }
        dshow::filters::ImageConverter sampleConverter, frameConverter;
        ASSERT_TRUE(sampleConverter.Convert(inSample, dshow::filters::FramePicture(fromSample.get())));
        ASSERT_TRUE(frameConverter.Convert(inFrame, dshow::filters::FramePicture(fromFrame.get())));
        for (int plane = 0; plane < 3; ++plane) {
          const int rows = plane == 0 ? to.height : to.height / 2;
          const int width = plane == 0 ? to.width : to.width / 2;
          int differing = 0;
          for (int y = 0; y < rows; ++y) {
            const uint8_t* a = fromSample->data[plane] + ptrdiff_t(y) * fromSample->linesize[plane];
            const uint8_t* b = fromFrame->data[plane] + ptrdiff_t(y) * fromFrame->linesize[plane];
            if (std::memcmp(a, b, size_t(width)) != 0) ++differing;
          }
          EXPECT_EQ(differing, 0) << "rows of plane " << plane;
        }
      }
    }
  }
}

}  // namespace
}  // namespace dshow_test
