#pragma once
// Device-independent bitmap layouts: the header of a packed DIB (in memory, in a resource or in
// a .bmp file) checked strictly, and .bmp files read and written.
#include <cstdint>
#include <string>
#include <vector>

#include "gdi/dc.h"

namespace win32::gdi {

// What a DIB header describes.
struct DibLayout {
  int width = 0;
  int height = 0;  // rows (positive)
  bool bottomUp = true;
  PixelFormat format;
  bool bitfields = false;       // BI_BITFIELDS
  std::vector<RGBQUAD> colors;  // colour table (indexed formats)
  size_t stride = 0;            // bytes per row (4-byte aligned)
  size_t headerBytes = 0;       // header, masks and colour table as laid out
  size_t imageBytes = 0;        // stride * height
};

// Parses a packed DIB header (BITMAPINFOHEADER or a later version, BITMAPCOREHEADER when
// allowCore) from at most available bytes. usage is DIB_RGB_COLORS. False for anything
// inconsistent: sizes, planes, depths, compressions, colour counts, masks.
bool ParseDibHeader(const uint8_t* data, size_t available, bool allowCore, DibLayout* out);

// A .bmp file: the layout and the offset of its pixel rows in the file. False when the file is
// not a well-formed BMP (everything it names must lie inside it).
bool ParseBmpFile(const uint8_t* data, size_t size, DibLayout* layout, size_t* pixelOffset);

// A surface as a .bmp file at its own depth: a colour table for 1, 4 and 8 bits, bit fields for
// 16 bits other than 5-5-5 and for 32 bits other than 8-8-8, rows bottom-up.
std::vector<uint8_t> EncodeBmp(const Surface& surface);

// A surface over DIB rows in memory (not owned).
Surface DibSurface(const DibLayout& layout, const uint8_t* rows);

}  // namespace win32::gdi
