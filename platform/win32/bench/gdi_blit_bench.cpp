// Blits of a 1920x1080 32-bit picture against memcpy of the same bytes, in one run, and the
// building of a region from the key-colour runs of a 640x480 skin bitmap.
// Usage: gdi_blit_bench [iterations]   (default 50)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gdi/dc.h"
#include "win32/windows.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Picture {
  HBITMAP bitmap;
  HDC dc;
  uint32_t* bits;
};

Picture MakePicture(int width, int height) {
  BITMAPINFO bmi{};
  bmi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  Picture p{CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0), CreateCompatibleDC(nullptr), nullptr};
  p.bits = static_cast<uint32_t*>(bits);
  SelectObject(p.dc, p.bitmap);
  return p;
}

template <class F>
double Seconds(int iterations, F&& f) {
  auto start = Clock::now();
  for (int i = 0; i < iterations; ++i) f();
  return std::chrono::duration<double>(Clock::now() - start).count() / iterations;
}

}  // namespace

int main(int argc, char** argv) {
  int iterations = argc > 1 ? std::atoi(argv[1]) : 50;
  if (iterations <= 0) iterations = 50;
  const int w = 1920, h = 1080;
  const size_t bytes = size_t{w} * h * 4;
  Picture src = MakePicture(w, h), dst = MakePicture(w, h);
  // Half the pixels carry the key colour, in runs of varying length.
  for (size_t i = 0; i < size_t{w} * h; ++i) src.bits[i] = ((i / 7) % 2) ? 0x00FF00FF : static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
  std::vector<uint8_t> from(bytes, 1), to(bytes);

  double copy = Seconds(iterations, [&] { std::memcpy(to.data(), from.data(), bytes); });
  double blt = Seconds(iterations, [&] { BitBlt(dst.dc, 0, 0, w, h, src.dc, 0, 0, SRCCOPY); });
  SetStretchBltMode(dst.dc, COLORONCOLOR);
  double stretchDelete = Seconds(iterations, [&] { StretchBlt(dst.dc, 0, 0, w / 2, h / 2, src.dc, 0, 0, w, h, SRCCOPY); });
  SetStretchBltMode(dst.dc, BLACKONWHITE);
  double stretchAnd = Seconds(iterations, [&] { StretchBlt(dst.dc, 0, 0, w / 2, h / 2, src.dc, 0, 0, w, h, SRCCOPY); });
  double keyed = Seconds(iterations, [&] { TransparentBlt(dst.dc, 0, 0, w, h, src.dc, 0, 0, w, h, RGB(255, 0, 255)); });

  std::printf("memcpy of %zu bytes            %8.3f ms\n", bytes, copy * 1e3);
  std::printf("BitBlt SRCCOPY 1920x1080        %8.3f ms  ratio %.2f\n", blt * 1e3, blt / copy);
  std::printf("StretchBlt to half, COLORONCOLOR %7.3f ms  ratio %.2f\n", stretchDelete * 1e3, stretchDelete / copy);
  std::printf("StretchBlt to half, BLACKONWHITE %7.3f ms  ratio %.2f\n", stretchAnd * 1e3, stretchAnd / copy);
  std::printf("TransparentBlt 1920x1080        %8.3f ms  ratio %.2f\n", keyed * 1e3, keyed / copy);

  // A 640x480 skin bitmap whose key colour leaves many runs: scan it and build the region.
  const int sw = 640, sh = 480;
  Picture skin = MakePicture(sw, sh);
  for (int y = 0; y < sh; ++y)
    for (int x = 0; x < sw; ++x) skin.bits[y * sw + x] = ((x + (y / 3)) % 11 < 4) ? 0x00FF00FF : 0x00336699;
  size_t runs = 0;
  double build = Seconds(iterations, [&] {
    win32::gdi::Region::RunBuilder builder;
    runs = 0;
    for (int y = 0; y < sh; ++y) {
      const uint32_t* row = skin.bits + y * sw;
      int x = 0;
      while (x < sw) {
        while (x < sw && row[x] == 0x00FF00FF) ++x;
        int start = x;
        while (x < sw && row[x] != 0x00FF00FF) ++x;
        if (x > start) {
          builder.AddRun(y, start, x);
          ++runs;
        }
      }
    }
    win32::gdi::Region region = builder.Finish();
    if (region.IsEmpty()) std::abort();
  });
  std::printf("region from %zu runs of a 640x480 key-colour bitmap: %.3f ms, %.4f ms per 1000 runs\n", runs,
              build * 1e3, build * 1e3 / (runs / 1000.0));

  // The same shape as a skin cuts it: the bitmap's rectangle, then one exclusive-or with a 1x1
  // region per key-coloured pixel, column by column, through the public calls.
  size_t keyPixels = 0;
  double perPixel = Seconds(std::max(1, iterations / 10), [&] {
    HRGN shape = CreateRectRgn(0, 0, sw, sh);
    keyPixels = 0;
    for (int x = 0; x < sw; ++x)
      for (int y = 0; y < sh; ++y) {
        if (GetPixel(skin.dc, x, y) != RGB(255, 0, 255)) continue;
        HRGN pixel = CreateRectRgn(x, y, x + 1, y + 1);
        CombineRgn(shape, shape, pixel, RGN_XOR);
        DeleteObject(pixel);
        ++keyPixels;
      }
    RECT box;
    GetRgnBox(shape, &box);
    DeleteObject(shape);
  });
  std::printf("same shape pixel by pixel (%zu key pixels, GetPixel + CombineRgn): %.3f ms, %.4f ms per 1000 runs\n",
              keyPixels, perPixel * 1e3, perPixel * 1e3 / (runs / 1000.0));
  return 0;
}
