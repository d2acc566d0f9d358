// Pixel storage: reading and writing stored values and converting them to and from colours.
#include <cstring>
#include <limits>

#include "gdi/dc.h"
#include "win32/platform_config.h"

namespace win32::gdi {
namespace {

int ShiftOf(uint32_t mask) { return mask ? __builtin_ctz(mask) : 0; }
int WidthOf(uint32_t mask) { return mask ? __builtin_popcount(mask) : 0; }

// The channel value of a masked field, widened or narrowed to 8 bits.
uint32_t FieldTo8(uint32_t value, uint32_t mask) {
  if (!mask) return 0;
  uint32_t v = (value & mask) >> ShiftOf(mask);
  int w = WidthOf(mask);
  return w >= 8 ? v >> (w - 8) : v << (8 - w);
}

uint32_t FieldFrom8(uint32_t channel, uint32_t mask) {
  if (!mask) return 0;
  int w = WidthOf(mask);
  uint32_t v = w >= 8 ? channel << (w - 8) : channel >> (8 - w);
  return (v << ShiftOf(mask)) & mask;
}

}  // namespace

PixelFormat PixelFormat::Bits(int bitsPerPixel) {
  PixelFormat f;
  f.bitsPerPixel = bitsPerPixel;
  if (bitsPerPixel == 16) {
    f.redMask = 0x7C00;
    f.greenMask = 0x03E0;
    f.blueMask = 0x001F;
  } else if (bitsPerPixel != 32 && bitsPerPixel != 24) {
    f.redMask = f.greenMask = f.blueMask = 0;
  }
  return f;
}

size_t DibStride(int width, int bitsPerPixel) {
  return ((static_cast<size_t>(width) * bitsPerPixel + 31) / 32) * 4;
}

size_t WordStride(int width, int bitsPerPixel) {
  return ((static_cast<size_t>(width) * bitsPerPixel + 15) / 16) * 2;
}

uint32_t Surface::Get(int x, int y) const {
  const uint8_t* row = Row(y);
  switch (format.bitsPerPixel) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
    case 8: return row[x];
    case 16: return row[2 * x] | (row[2 * x + 1] << 8);
    case 24: return row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16);
    default: {
      uint32_t v;
      std::memcpy(&v, row + 4 * x, 4);
      return v;
    }
  }
}

void Surface::Put(int x, int y, uint32_t value) {
  uint8_t* row = Row(y);
  switch (format.bitsPerPixel) {
    case 1: {
      uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
      row[x >> 3] = (value & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
      break;
    }
    case 4: {
      uint8_t& b = row[x >> 1];
      b = (x & 1) ? ((b & 0xF0) | (value & 0xF)) : ((b & 0x0F) | ((value & 0xF) << 4));
      break;
    }
    case 8: row[x] = static_cast<uint8_t>(value); break;
    case 16:
      row[2 * x] = static_cast<uint8_t>(value);
      row[2 * x + 1] = static_cast<uint8_t>(value >> 8);
      break;
    case 24:
      row[3 * x] = static_cast<uint8_t>(value);
      row[3 * x + 1] = static_cast<uint8_t>(value >> 8);
      row[3 * x + 2] = static_cast<uint8_t>(value >> 16);
      break;
    default: std::memcpy(row + 4 * x, &value, 4); break;
  }
}

COLORREF Surface::ToColor(uint32_t value) const {
  if (format.bitsPerPixel <= 8) {
    if (value >= colors.size()) return RGB(0, 0, 0);
    const RGBQUAD& q = colors[value];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
  }
  if (format.bitsPerPixel == 24) return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
  return RGB(FieldTo8(value, format.redMask), FieldTo8(value, format.greenMask),
             FieldTo8(value, format.blueMask));
}

uint32_t Surface::FromColor(COLORREF color) const {
  uint32_t r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
  if (format.bitsPerPixel <= 8) {
    uint32_t best = 0;
    uint32_t bestDistance = std::numeric_limits<uint32_t>::max();
    for (size_t i = 0; i < colors.size(); ++i) {
      int dr = int(colors[i].rgbRed) - int(r), dg = int(colors[i].rgbGreen) - int(g),
          db = int(colors[i].rgbBlue) - int(b);
      uint32_t d = static_cast<uint32_t>(dr * dr + dg * dg + db * db);
      if (d < bestDistance) {
        bestDistance = d;
        best = static_cast<uint32_t>(i);
        if (d == 0) break;
      }
    }
    return best;
  }
  if (format.bitsPerPixel == 24) return (r << 16) | (g << 8) | b;
  return FieldFrom8(r, format.redMask) | FieldFrom8(g, format.greenMask) | FieldFrom8(b, format.blueMask);
}

uint32_t Surface::ValueMask() const {
  int bits = format.bitsPerPixel;
  if (bits == 32) return format.redMask | format.greenMask | format.blueMask;
  if (bits == 16) return format.redMask | format.greenMask | format.blueMask;
  return (1u << bits) - 1;
}

std::shared_ptr<BitmapObject> NewBitmap(int width, int height, const PixelFormat& format, bool bottomUp) {
  if (width <= 0 || height <= 0) return nullptr;
  size_t stride = DibStride(width, format.bitsPerPixel);
  // Keep every byte offset well inside ptrdiff_t and the allocation sane (1 GiB).
  if (stride > (size_t{1} << 30) / static_cast<size_t>(height)) return nullptr;
  size_t bytes = stride * static_cast<size_t>(height);
  auto bitmap = std::make_shared<BitmapObject>();
  bitmap->storage.reset(new (std::nothrow) uint8_t[bytes]());
  if (!bitmap->storage) return nullptr;
  auto surface = std::make_shared<Surface>();
  surface->width = width;
  surface->height = height;
  surface->format = format;
  if (bottomUp) {
    surface->top = bitmap->storage.get() + (height - 1) * stride;
    surface->stride = -static_cast<ptrdiff_t>(stride);
  } else {
    surface->top = bitmap->storage.get();
    surface->stride = static_cast<ptrdiff_t>(stride);
  }
  if (format.bitsPerPixel == 1) {
    surface->colors = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
  } else if (format.bitsPerPixel <= 8) {
    surface->colors = DefaultPalette();
    surface->colors.resize(size_t{1} << format.bitsPerPixel);
  }
  bitmap->surface = std::move(surface);
  return bitmap;
}

PixelFormat ScreenFormat() {
  switch (platform_config::Config().screenDepth) {
    case 8: return PixelFormat::Bits(8);
    case 16: {
      PixelFormat f = PixelFormat::Bits(16);  // displays at 16 bits are 5-6-5
      f.redMask = 0xF800;
      f.greenMask = 0x07E0;
      f.blueMask = 0x001F;
      return f;
    }
    case 24: return PixelFormat::Bits(24);
    default: return PixelFormat::Bits(32);
  }
}

const std::vector<RGBQUAD>& DefaultPalette() {
  static const std::vector<RGBQUAD> palette = [] {
    auto q = [](int r, int g, int b) {
      return RGBQUAD{static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), 0};
    };
    std::vector<RGBQUAD> p = {q(0, 0, 0),       q(128, 0, 0),     q(0, 128, 0),     q(128, 128, 0),
                              q(0, 0, 128),     q(128, 0, 128),   q(0, 128, 128),   q(192, 192, 192),
                              q(192, 220, 192), q(166, 202, 240)};
    // The 6x6x6 colour cube, then a grey ramp between the static colours.
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b) p.push_back(q(r * 51, g * 51, b * 51));
    for (int i = 1; i <= 20; ++i) p.push_back(q(i * 12, i * 12, i * 12));
    for (const RGBQUAD& c : {q(255, 251, 240), q(160, 160, 164), q(128, 128, 128), q(255, 0, 0),
                             q(0, 255, 0), q(255, 255, 0), q(0, 0, 255), q(255, 0, 255),
                             q(0, 255, 255), q(255, 255, 255)})
      p.push_back(c);
    return p;
  }();
  return palette;
}

}  // namespace win32::gdi
