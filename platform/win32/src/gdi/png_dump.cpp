// Writing a surface as a PNG file (for tests and for people looking at what was drawn).
#include <png.h>

#include <cstdio>
#include <vector>

#include "gdi/dc.h"

namespace win32::gdi {

bool WriteSurfacePng(const Surface& surface, const char* path) {
  if (!path || surface.width <= 0 || surface.height <= 0) return false;
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::vector<png_byte> row(static_cast<size_t>(surface.width) * 3);
  bool ok = false;
  if (info && !setjmp(png_jmpbuf(png))) {
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(surface.width), static_cast<png_uint_32>(surface.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < surface.height; ++y) {
      for (int x = 0; x < surface.width; ++x) {
        COLORREF c = surface.ToColor(surface.Get(x, y));
        row[3 * x] = GetRValue(c);
        row[3 * x + 1] = GetGValue(c);
        row[3 * x + 2] = GetBValue(c);
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, info ? &info : nullptr);
  return std::fclose(file) == 0 && ok;
}

}  // namespace win32::gdi
