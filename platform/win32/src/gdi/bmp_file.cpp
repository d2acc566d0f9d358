#include "gdi/bmp_file.h"

#include <cstring>

namespace win32::gdi {
namespace {

constexpr int kMaxDimension = 32768;

uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }

void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

// A usable mask: one run of set bits, inside the pixel.
bool GoodMask(uint32_t mask, int bits) {
  if (mask == 0) return false;
  if (bits < 32 && (mask >> bits) != 0) return false;
  uint32_t shifted = mask >> __builtin_ctz(mask);
  return (shifted & (shifted + 1)) == 0;
}

}  // namespace

bool ParseDibHeader(const uint8_t* data, size_t available, bool allowCore, DibLayout* out) {
  if (!data || available < 12) return false;
  uint32_t headerSize = U32(data);
  DibLayout l;
  int bits = 0;
  uint32_t compression = BI_RGB, clrUsed = 0;
  size_t entrySize = 4;
  if (headerSize == 12 && allowCore) {
    l.width = U16(data + 4);
    l.height = U16(data + 6);
    if (U16(data + 8) != 1) return false;
    bits = U16(data + 10);
    entrySize = 3;
    if (bits > 8 && bits != 24) return false;
  } else {
    if (headerSize < 40 || headerSize > 1024 || available < headerSize) return false;
    int32_t width = I32(data + 4), height = I32(data + 8);
    if (U16(data + 12) != 1) return false;
    bits = U16(data + 14);
    compression = U32(data + 16);
    clrUsed = U32(data + 32);
    if (width <= 0 || height == 0 || height == INT32_MIN) return false;
    l.width = width;
    l.bottomUp = height > 0;
    l.height = height > 0 ? height : -height;
  }
  if (l.width <= 0 || l.height <= 0 || l.width > kMaxDimension || l.height > kMaxDimension) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  l.format = PixelFormat::Bits(bits);
  size_t offset = headerSize;
  if (compression == BI_BITFIELDS) {
    if (bits != 16 && bits != 32) return false;
    const uint8_t* masks = data + 40;
    if (headerSize < 52) {  // masks follow a 40-byte header
      if (available < offset + 12) return false;
      offset += 12;
    }
    l.format.redMask = U32(masks);
    l.format.greenMask = U32(masks + 4);
    l.format.blueMask = U32(masks + 8);
    const PixelFormat& f = l.format;
    if (!GoodMask(f.redMask, bits) || !GoodMask(f.greenMask, bits) || !GoodMask(f.blueMask, bits)) return false;
    if ((f.redMask & f.greenMask) || (f.redMask & f.blueMask) || (f.greenMask & f.blueMask)) return false;
    l.bitfields = true;
  } else if (compression != BI_RGB) {
    return false;
  }
  size_t entries = 0;
  if (bits <= 8) {
    size_t most = size_t{1} << bits;
    if (clrUsed > most) return false;
    entries = clrUsed ? clrUsed : most;
  } else {
    if (clrUsed > 256) return false;
    entries = clrUsed;  // an optional table that true-colour pixels do not use
  }
  if (available < offset + entries * entrySize) return false;
  if (bits <= 8) {
    for (size_t i = 0; i < entries; ++i) {
      const uint8_t* e = data + offset + i * entrySize;
      l.colors.push_back(RGBQUAD{e[0], e[1], e[2], 0});
    }
    l.colors.resize(size_t{1} << bits, RGBQUAD{0, 0, 0, 0});
  }
  offset += entries * entrySize;
  l.headerBytes = offset;
  l.stride = DibStride(l.width, bits);
  l.imageBytes = l.stride * static_cast<size_t>(l.height);
  *out = std::move(l);
  return true;
}

bool ParseBmpFile(const uint8_t* data, size_t size, DibLayout* layout, size_t* pixelOffset) {
  if (!data || size < 14 + 12 || data[0] != 'B' || data[1] != 'M') return false;
  uint32_t offBits = U32(data + 10);
  DibLayout l;
  if (!ParseDibHeader(data + 14, size - 14, true, &l)) return false;
  if (offBits < 14 + l.headerBytes || offBits > size) return false;
  if (size - offBits < l.imageBytes) return false;
  *layout = std::move(l);
  *pixelOffset = offBits;
  return true;
}

Surface DibSurface(const DibLayout& layout, const uint8_t* rows) {
  Surface s;
  s.width = layout.width;
  s.height = layout.height;
  s.format = layout.format;
  s.colors = layout.colors;
  uint8_t* base = const_cast<uint8_t*>(rows);
  if (layout.bottomUp) {
    s.top = base + (layout.height - 1) * layout.stride;
    s.stride = -static_cast<ptrdiff_t>(layout.stride);
  } else {
    s.top = base;
    s.stride = static_cast<ptrdiff_t>(layout.stride);
  }
  return s;
}

std::vector<uint8_t> EncodeBmp(const Surface& surface) {
  int bits = surface.format.bitsPerPixel;
  const PixelFormat& f = surface.format;
  bool bitfields = (bits == 16 && !(f == PixelFormat::Bits(16))) || (bits == 32 && !(f == PixelFormat::Bits(32)));
  size_t entries = bits <= 8 ? (size_t{1} << bits) : 0;
  size_t header = 14 + 40 + (bitfields ? 12 : 0) + entries * 4;
  size_t stride = DibStride(surface.width, bits);
  size_t image = stride * static_cast<size_t>(surface.height);
  std::vector<uint8_t> out;
  out.reserve(header + image);
  out.push_back('B');
  out.push_back('M');
  Put32(out, static_cast<uint32_t>(header + image));
  Put32(out, 0);
  Put32(out, static_cast<uint32_t>(header));
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(surface.width));
  Put32(out, static_cast<uint32_t>(surface.height));
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(bits));
  Put32(out, bitfields ? BI_BITFIELDS : BI_RGB);
  Put32(out, static_cast<uint32_t>(image));
  Put32(out, 2835);  // 72 dots per inch
  Put32(out, 2835);
  Put32(out, static_cast<uint32_t>(entries));
  Put32(out, 0);
  if (bitfields) {
    Put32(out, f.redMask);
    Put32(out, f.greenMask);
    Put32(out, f.blueMask);
  }
  for (size_t i = 0; i < entries; ++i) {
    RGBQUAD q = i < surface.colors.size() ? surface.colors[i] : RGBQUAD{0, 0, 0, 0};
    out.insert(out.end(), {q.rgbBlue, q.rgbGreen, q.rgbRed, 0});
  }
  size_t rowBytes = (static_cast<size_t>(surface.width) * bits + 7) / 8;
  for (int y = surface.height - 1; y >= 0; --y) {
    const uint8_t* row = surface.Row(y);
    out.insert(out.end(), row, row + rowBytes);
    out.insert(out.end(), stride - rowBytes, 0);
  }
  return out;
}

}  // namespace win32::gdi
