#include "picture_operations.h"

#include "band_helper.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

namespace des {

ColourMatrix ColourMatrix::Grayscale(double s) {
  ColourMatrix c;
  const double w[3] = {0.299, 0.587, 0.114};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) c.m[i][j] = (1 - s) * (i == j) + s * w[j];
  return c;
}

ColourMatrix ColourMatrix::Sepia(double s) {
  ColourMatrix c;
  const double sepia[3][3] = {{0.393, 0.769, 0.189}, {0.349, 0.686, 0.168}, {0.272, 0.534, 0.131}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) c.m[i][j] = (1 - s) * (i == j) + s * sepia[i][j];
  return c;
}

ColourMatrix ColourMatrix::Invert(double s) {
  ColourMatrix c;
  for (int i = 0; i < 3; ++i) {
    c.m[i][i] = 1 - 2 * s;
    c.offset[i] = 255 * s;
  }
  return c;
}

ColourMatrix ColourMatrix::Saturation(double f) {
  ColourMatrix c = Grayscale(1 - f);
  return c;
}

ColourMatrix ColourMatrix::HueRotation(double degrees) {
  const double a = degrees * std::numbers::pi / 180, cs = std::cos(a), sn = std::sin(a);
  ColourMatrix c;
  c.m = {{{0.213 + cs * 0.787 - sn * 0.213, 0.715 - cs * 0.715 - sn * 0.715, 0.072 - cs * 0.072 + sn * 0.928},
          {0.213 - cs * 0.213 + sn * 0.143, 0.715 + cs * 0.285 + sn * 0.140, 0.072 - cs * 0.072 - sn * 0.283},
          {0.213 - cs * 0.213 - sn * 0.787, 0.715 - cs * 0.715 + sn * 0.715, 0.072 + cs * 0.928 + sn * 0.072}}};
  return c;
}

ColourMatrix ColourMatrix::Contrast(double f) {
  ColourMatrix c;
  for (int i = 0; i < 3; ++i) {
    c.m[i][i] = f;
    c.offset[i] = 128 * (1 - f);
  }
  return c;
}

ColourMatrix ColourMatrix::Brightness(double added) {
  ColourMatrix c;
  c.offset = {added, added, added};
  return c;
}

ColourMatrix ColourMatrix::Channels(double red, double green, double blue) {
  ColourMatrix c;
  c.m[0][0] = red;
  c.m[1][1] = green;
  c.m[2][2] = blue;
  return c;
}

void ApplyMatrix(const ColourMatrix& matrix, Picture* picture) {
  // Fixed point, 1/1024 steps.
  int k[3][3], o[3];
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) k[i][j] = int(std::lround(matrix.m[i][j] * 1024));
    o[i] = int(std::lround(matrix.offset[i] * 1024)) + 512;
  }
  uint32_t* p = picture->Data();
  for (size_t i = 0, n = picture->Count(); i < n; ++i) {
    const int r = Red(p[i]), g = Green(p[i]), b = Blue(p[i]);
    p[i] = Pixel(Clamp8((k[0][0] * r + k[0][1] * g + k[0][2] * b + o[0]) >> 10),
                 Clamp8((k[1][0] * r + k[1][1] * g + k[1][2] * b + o[1]) >> 10),
                 Clamp8((k[2][0] * r + k[2][1] * g + k[2][2] * b + o[2]) >> 10));
  }
}

void MirrorLeftRight(Picture* picture) {
  for (int y = 0; y < picture->Height(); ++y) std::reverse(picture->Row(y), picture->Row(y) + picture->Width());
}

void MirrorTopBottom(Picture* picture) {
  for (int y = 0, z = picture->Height() - 1; y < z; ++y, --z)
    std::swap_ranges(picture->Row(y), picture->Row(y) + picture->Width(), picture->Row(z));
}

void Rotate(Picture* picture, double degrees, Picture* scratch) {
  double turn = std::fmod(degrees, 360.0);
  if (turn < 0) turn += 360;
  if (turn == 0) return;
  const int w = picture->Width(), h = picture->Height();
  if (turn == 180) {
    std::reverse(picture->Data(), picture->Data() + picture->Count());
    return;
  }
  *scratch = *picture;
  picture->Fill(0);
  const double a = turn * std::numbers::pi / 180, cs = std::cos(a), sn = std::sin(a);
  // The turned picture's bounding box, shrunk (never grown) to fit the frame.
  const double bw = std::fabs(w * cs) + std::fabs(h * sn), bh = std::fabs(w * sn) + std::fabs(h * cs);
  const double scale = std::min({1.0, w / bw, h / bh});
  const double cx = w / 2.0, cy = h / 2.0;
  const bool quarter = turn == 90 || turn == 270;
  for (int y = 0; y < h; ++y) {
    uint32_t* out = picture->Row(y);
    for (int x = 0; x < w; ++x) {
      // Back from the output to the source: turn the other way and undo the shrink.
      const double dx = (x + 0.5 - cx) / scale, dy = (y + 0.5 - cy) / scale;
      double sx = dx * cs + dy * sn + cx, sy = -dx * sn + dy * cs + cy;
      if (quarter) sx = std::round(sx * 1e6) / 1e6, sy = std::round(sy * 1e6) / 1e6;
      const int ix = int(std::floor(sx)), iy = int(std::floor(sy));
      if (ix >= 0 && iy >= 0 && ix < w && iy < h) out[x] = scratch->At(ix, iy);
    }
  }
}

void Pixelate(Picture* picture, int side) {
  if (side < 2) return;
  const int w = picture->Width(), h = picture->Height();
  for (int y0 = 0; y0 < h; y0 += side) {
    const int y1 = std::min(h, y0 + side);
    for (int x0 = 0; x0 < w; x0 += side) {
      const int x1 = std::min(w, x0 + side);
      uint64_t r = 0, g = 0, b = 0;
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
          const uint32_t p = picture->At(x, y);
          r += uint64_t(Red(p)), g += uint64_t(Green(p)), b += uint64_t(Blue(p));
        }
      const uint64_t n = uint64_t(x1 - x0) * uint64_t(y1 - y0);
      const uint32_t average = Pixel(int((r + n / 2) / n), int((g + n / 2) / n), int((b + n / 2) / n));
      for (int y = y0; y < y1; ++y) std::fill(picture->Row(y) + x0, picture->Row(y) + x1, average);
    }
  }
}

namespace {

// Each channel of a row of pixels in an array of its own: loops over one channel vectorise.
struct Channels {
  std::vector<uint16_t> c[3];
  void Resize(size_t n) {
    for (auto& v : c) v.resize(n);
  }
};

// The channels of n pixels into arrays of their own.
void Spread(const uint32_t* __restrict in, size_t n, uint16_t* __restrict r, uint16_t* __restrict g,
            uint16_t* __restrict b) {
  for (size_t x = 0; x < n; ++x) {
    r[x] = uint16_t(Red(in[x])), g[x] = uint16_t(Green(in[x])), b[x] = uint16_t(Blue(in[x]));
  }
}

// Moves the window of each column's sums on a row: the channels of add in, those of drop out.
void Slide(const uint32_t* __restrict add, const uint32_t* __restrict drop, size_t n, Channels* sums) {
  uint16_t* __restrict r = sums->c[0].data();
  uint16_t* __restrict g = sums->c[1].data();
  uint16_t* __restrict b = sums->c[2].data();
  for (size_t x = 0; x < n; ++x) {
    r[x] = uint16_t(r[x] + Red(add[x]) - Red(drop[x]));
    g[x] = uint16_t(g[x] + Green(add[x]) - Green(drop[x]));
    b[x] = uint16_t(b[x] + Blue(add[x]) - Blue(drop[x]));
  }
}

// Sums of a window of span pixels to their averages (rounded down), packed into pixels.
void Averages(const Channels& sums, size_t first, size_t count, int span, uint32_t* out) {
  const float inverse = 1.0f / float(span), half = 0.5f / float(span);
  const uint16_t* r = sums.c[0].data() + first;
  const uint16_t* g = sums.c[1].data() + first;
  const uint16_t* b = sums.c[2].data() + first;
  // Through int: a signed conversion is one instruction, an unsigned one several.
  auto average = [&](uint16_t sum) { return uint32_t(int32_t(float(sum) * inverse + half)); };
  for (size_t x = 0; x < count; ++x) out[x] = average(r[x]) << 16 | average(g[x]) << 8 | average(b[x]);
}

}  // namespace

void BoxBlur(Picture* picture, int radius, Picture* scratch, BandHelper* helper) {
  radius = std::min(radius, 128);  // a window's sum of one channel fits 16 bits
  if (radius < 1) return;
  const int w = picture->Width(), h = picture->Height();
  const int span = 2 * radius + 1;
  scratch->Resize(w, h);
  auto split = [helper](int count, const std::function<void(int, int)>& work) {
    helper ? helper->Split(count, work) : work(0, count);
  };
  // Sideways into scratch, the edge pixels repeated.
  split(h, [&](int first, int end) {
    const size_t wide = size_t(w) + 2 * size_t(radius);
    Channels row, sums;
    row.Resize(wide);
    sums.Resize(size_t(w));
    for (int y = first; y < end; ++y) {
      Spread(picture->Row(y), size_t(w), row.c[0].data() + radius, row.c[1].data() + radius,
             row.c[2].data() + radius);
      for (int c = 0; c < 3; ++c) {
        uint16_t* v = row.c[c].data();
        std::fill(v, v + radius, v[radius]);
        std::fill(v + radius + w, v + wide, v[radius + w - 1]);
        uint16_t* s = sums.c[c].data();
        if (radius <= 8) {  // summed whole, one offset of the window at a time
          std::copy(v, v + w, s);
          for (int d = 1; d < span; ++d)
            for (int x = 0; x < w; ++x) s[x] = uint16_t(s[x] + v[x + d]);
        } else {  // a running sum
          uint16_t sum = 0;
          for (int d = 0; d < span; ++d) sum = uint16_t(sum + v[d]);
          for (int x = 0; x < w; ++x) {
            s[x] = sum;
            if (x + 1 < w) sum = uint16_t(sum + v[x + span] - v[x]);
          }
        }
      }
      Averages(sums, 0, size_t(w), span, scratch->Row(y));
    }
  });
  // Downwards back into the picture: a running sum per column, the columns in two bands.
  split(w, [&](int first, int end) {
    const size_t n = size_t(end - first);
    Channels sums;
    sums.Resize(n);
    for (auto& v : sums.c) std::fill(v.begin(), v.end(), 0);
    auto row = [&](int y) { return scratch->Row(std::clamp(y, 0, h - 1)) + first; };
    const std::vector<uint32_t> none(n, 0);
    for (int y = -radius; y <= radius; ++y) Slide(row(y), none.data(), n, &sums);
    for (int y = 0; y < h; ++y) {
      Averages(sums, 0, n, span, picture->Row(y) + first);
      Slide(row(y + radius + 1), row(y - radius), n, &sums);
    }
  });
}

}  // namespace des
