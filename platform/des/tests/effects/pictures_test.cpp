// Group frames in and out of pictures, and work split between two threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "effects/band_helper.h"
#include "effects/picture.h"
#include "effects/picture_operations.h"

namespace {

using des::Picture;

Picture Varied(int w, int h) {
  Picture p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.At(x, y) = des::Pixel(x * 7 + y, y * 5 + 3, (x * 3 + y * 11) % 256);
  return p;
}

bool Same(const Picture& a, const Picture& b) { return std::equal(a.Data(), a.Data() + a.Count(), b.Data()); }

TEST(PictureTest, FramesOfEveryDepthComeBackUprightWithTheirPaddingClear) {
  des::BandHelper helper;
  for (int bits : {16, 24, 32}) {
    for (int width : {33, 64, 170}) {  // 64: 24-bit rows without padding
      const Picture in = Varied(width, 300);
      const size_t stride = (size_t(width) * bits + 31) / 32 * 4;
      std::vector<uint8_t> frame(stride * 300, 0xAB);
      des::WriteFrame(in, bits, frame.data(), &helper);
      // Bottom-up: the first row in memory is the picture's last.
      const uint8_t* bottom = frame.data();
      if (bits == 24) {
        EXPECT_EQ(bottom[0], des::Blue(in.At(0, 299)));
        EXPECT_EQ(bottom[2], des::Red(in.At(0, 299)));
      }
      for (size_t y = 0; y < 300; ++y)
        for (size_t i = size_t(width) * bits / 8; i < stride; ++i) ASSERT_EQ(frame[y * stride + i], 0) << bits;
      Picture out(width, 300);
      des::ReadFrame(frame.data(), bits, &out, &helper);
      if (bits == 16) {
        // Five bits a channel: the top bits come back.
        for (size_t i = 0; i < in.Count(); ++i) ASSERT_EQ(out.Data()[i] & 0xF8F8F8, in.Data()[i] & 0xF8F8F8);
      } else {
        EXPECT_TRUE(Same(out, in)) << bits << " bits, " << width << " wide";
      }
    }
  }
}

// Each channel the average (rounded down) of the window about it, the edge pixels repeated
// beyond the picture: first along the row, then down the column.
Picture PlainBlur(const Picture& in, int radius) {
  auto pass = [radius](const Picture& from, bool down) {
    Picture to(from.Width(), from.Height());
    for (int y = 0; y < from.Height(); ++y)
      for (int x = 0; x < from.Width(); ++x) {
        int sums[3] = {0, 0, 0};
        for (int d = -radius; d <= radius; ++d) {
          const uint32_t p = down ? from.At(x, std::clamp(y + d, 0, from.Height() - 1))
                                  : from.At(std::clamp(x + d, 0, from.Width() - 1), y);
          sums[0] += des::Red(p), sums[1] += des::Green(p), sums[2] += des::Blue(p);
        }
        const int span = 2 * radius + 1;
        to.At(x, y) = des::Pixel(sums[0] / span, sums[1] / span, sums[2] / span);
      }
    return to;
  };
  return pass(pass(in, false), true);
}

TEST(PictureTest, BoxBlurAveragesTheWindowWithTheEdgesRepeated) {
  for (int radius : {1, 2, 9, 40})
    for (int width : {3, 57}) {
      Picture blurred = Varied(width, 80), scratch;
      const Picture expected = PlainBlur(blurred, radius);
      des::BoxBlur(&blurred, radius, &scratch);
      EXPECT_TRUE(Same(blurred, expected)) << "radius " << radius << ", " << width << " wide";
    }
}

TEST(PictureTest, WorkSplitInTwoBandsGivesWhatOneThreadGives) {
  des::BandHelper helper;
  for (int radius : {2, 20}) {
    Picture one = Varied(300, 260), two = one, scratch;
    des::BoxBlur(&one, radius, &scratch);
    des::BoxBlur(&two, radius, &scratch, &helper);
    EXPECT_TRUE(Same(one, two)) << radius;
  }
  std::vector<int> seen(1000, 0);
  helper.Split(1000, [&](int first, int end) {
    for (int i = first; i < end; ++i) ++seen[size_t(i)];
  });
  EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 1000);
}

// The helper threads may start running after the first split was handed to them.
TEST(PictureTest, HelpersMadeJustBeforeTheirFirstSplitTakeTheirBands) {
  for (int round = 0; round < 200; ++round) {
    des::BandHelper helper;
    std::vector<int> seen(512, 0);
    helper.Split(512, [&](int first, int end) {
      for (int i = first; i < end; ++i) ++seen[size_t(i)];
    });
    ASSERT_EQ(std::count(seen.begin(), seen.end(), 1), 512) << round;
  }
}

}  // namespace
