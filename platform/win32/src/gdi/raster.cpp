// The raster engine and the blits: BitBlt, StretchBlt, PatBlt, SetPixel, GetPixel.
#include "gdi/raster.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "last_error.h"
#include "win32/winerror.h"

namespace win32::gdi {
namespace {

// The standard 8x8 hatches; a set bit (most significant bit leftmost) is a hatch line.
const uint8_t kHatches[6][8] = {
    {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00},  // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // downward, left to right
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // upward, left to right
    {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08},  // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // diagonal cross
};

bool IsBlackWhite(const Surface& s) {
  return s.IsMono() && s.colors.size() == 2 && s.colors[0].rgbRed == 0 && s.colors[0].rgbGreen == 0 &&
         s.colors[0].rgbBlue == 0 && s.colors[1].rgbRed == 255 && s.colors[1].rgbGreen == 255 &&
         s.colors[1].rgbBlue == 255;
}

bool SameColors(const Surface& a, const Surface& b) {
  if (a.colors.size() != b.colors.size()) return false;
  return std::memcmp(a.colors.data(), b.colors.data(), a.colors.size() * sizeof(RGBQUAD)) == 0;
}

int Mod(int a, int m) {
  int r = a % m;
  return r < 0 ? r + m : r;
}

void FillSpan(Surface& s, int x0, int x1, int y, uint32_t value) {
  uint8_t* row = s.Row(y);
  switch (s.format.bitsPerPixel) {
    case 8: std::memset(row + x0, static_cast<int>(value), static_cast<size_t>(x1 - x0)); break;
    case 32: std::fill(reinterpret_cast<uint32_t*>(row) + x0, reinterpret_cast<uint32_t*>(row) + x1, value); break;
    default:
      for (int x = x0; x < x1; ++x) s.Put(x, y, value);
  }
}

// Pixels are read and written as whole little-endian words, which lets the compiler convert
// several at once.
template <int From, int To, typename Map>
void ConvertSpanBy(const uint8_t* in, uint8_t* out, int n, uint32_t mask, Map map) {
  for (int i = 0; i < n; ++i) {
    uint32_t v = 0;
    std::memcpy(&v, in + static_cast<size_t>(i) * From, From);
    v = map(v) & mask;
    std::memcpy(out + static_cast<size_t>(i) * To, &v, To);
  }
}

// Copies n packed pixels of From bytes to To bytes through a colour conversion.
template <int From, int To>
void ConvertSpan(const uint8_t* in, uint8_t* out, int n, const SourceMap& map, uint32_t mask) {
  if constexpr (From == 2 && To == 4) {
    if (map.Widens555()) {
      // Fixed shifts on 16-bit words let the compiler convert several pixels at once.
      for (int i = 0; i < n; ++i) {
        uint16_t p;
        std::memcpy(&p, in + 2 * static_cast<size_t>(i), 2);
        const uint32_t v = ((p & 0x7C00u) << 9 | (p & 0x03E0u) << 6 | (p & 0x001Fu) << 3) & mask;
        std::memcpy(out + 4 * static_cast<size_t>(i), &v, 4);
      }
      return;
    }
  }
  if (const uint32_t kept = map.KeptBits()) {
    ConvertSpanBy<From, To>(in, out, n, mask, [kept](uint32_t v) { return v & kept; });
  } else if (map.ConvertsFields()) {
    // A copy the output cannot alias, so that it stays in registers.
    const SourceMap::PackedFields fields = map.Fields();
    ConvertSpanBy<From, To>(in, out, n, mask, fields);
  } else {
    ConvertSpanBy<From, To>(in, out, n, mask, [&map](uint32_t v) { return map(v); });
  }
}

}  // namespace

// The span converter between two packed formats of 16, 24 or 32 bits; null for others.
SpanConverter ConverterFor(int fromBits, int toBits) {
  static constexpr SpanConverter kConverters[3][3] = {
      {ConvertSpan<2, 2>, ConvertSpan<2, 3>, ConvertSpan<2, 4>},
      {ConvertSpan<3, 2>, ConvertSpan<3, 3>, ConvertSpan<3, 4>},
      {ConvertSpan<4, 2>, ConvertSpan<4, 3>, ConvertSpan<4, 4>}};
  auto index = [](int bits) { return bits == 16 ? 0 : bits == 24 ? 1 : bits == 32 ? 2 : -1; };
  int f = index(fromBits), t = index(toBits);
  return f < 0 || t < 0 ? nullptr : kConverters[f][t];
}

uint32_t Rop3(uint8_t rop, uint32_t p, uint32_t s, uint32_t d) {
  switch (rop) {
    case 0x00: return 0;
    case 0xFF: return ~0u;
    case 0xCC: return s;
    case 0xF0: return p;
    case 0xAA: return d;
    case 0x55: return ~d;
    case 0x33: return ~s;
    case 0x0F: return ~p;
    case 0x88: return s & d;
    case 0xEE: return s | d;
    case 0x66: return s ^ d;
    case 0x5A: return p ^ d;
    case 0xC0: return p & s;
    case 0xBB: return ~s | d;
    case 0x44: return s & ~d;
    case 0x11: return ~(s | d);
    case 0xA0: return p & d;
    case 0xFA: return p | d;
    default: {
      uint32_t r = 0;
      for (int i = 0; i < 8; ++i) {
        if (!((rop >> i) & 1)) continue;
        r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
      }
      return r;
    }
  }
}

uint8_t Rop2ToRop3(int rop2) {
  // R2_* - 1 is the binary truth table with bit P*2 + D; the source does not matter.
  int code = (rop2 - 1) & 15;
  uint8_t rop3 = 0;
  for (int i = 0; i < 8; ++i) {
    int p = (i >> 2) & 1, d = i & 1;
    if ((code >> (p * 2 + d)) & 1) rop3 |= static_cast<uint8_t>(1 << i);
  }
  return rop3;
}

SourceMap::SourceMap(const Surface& source, COLORREF sourceBk, const Surface& dest, COLORREF destText, COLORREF destBk)
    : source_(&source), dest_(&dest) {
  int sb = source.format.bitsPerPixel, db = dest.format.bitsPerPixel;
  if (sb == 1 && db == 1) {
    mode_ = Mode::Raw;
  } else if (IsBlackWhite(source)) {
    mode_ = Mode::Table;
    table_ = {dest.FromColor(destText), dest.FromColor(destBk)};
  } else if (db == 1 && IsBlackWhite(dest)) {
    mode_ = Mode::ToMono;
    sourceBk_ = source.FromColor(sourceBk);
  } else {
    MapColours();
  }
}

SourceMap::SourceMap(const Surface& source, const Surface& dest) : source_(&source), dest_(&dest) { MapColours(); }

void SourceMap::MapColours() {
  const Surface& source = *source_;
  const Surface& dest = *dest_;
  int sb = source.format.bitsPerPixel, db = dest.format.bitsPerPixel;
  if (sb <= 8) {
    if (db == sb && SameColors(source, dest)) {
      mode_ = Mode::Raw;
    } else {
      mode_ = Mode::Table;
      for (const RGBQUAD& q : source.colors) table_.push_back(dest.FromColor(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue)));
    }
  } else if (source.format == dest.format) {
    mode_ = Mode::Raw;
  } else {
    MeasureFields();
  }
}

void SourceMap::MeasureFields() {
  mode_ = Mode::Color;
  if (dest_->format.bitsPerPixel <= 8) return;  // palette matching, cached per value
  mode_ = Mode::Fields;
  auto measure = [](uint32_t mask) {
    return Field{mask, mask ? __builtin_ctz(mask) : 0, std::popcount(mask)};
  };
  // 24-bit values are always 8-8-8, whatever masks the format carries.
  auto fields = [](const PixelFormat& f) { return f.bitsPerPixel == 24 ? PixelFormat::Bits(24) : f; };
  const PixelFormat f = fields(source_->format);
  const PixelFormat t = fields(dest_->format);
  from_[0] = measure(f.redMask), from_[1] = measure(f.greenMask), from_[2] = measure(f.blueMask);
  to_[0] = measure(t.redMask), to_[1] = measure(t.greenMask), to_[2] = measure(t.blueMask);
  if (f.redMask == t.redMask && f.greenMask == t.greenMask && f.blueMask == t.blueMask) {
    mode_ = Mode::Masked;
    fieldBits_ = f.redMask | f.greenMask | f.blueMask;
    return;
  }
  // Fields wider than 8 bits keep their top 8; narrower ones are shifted up to 8 bits.
  for (int i = 0; i < 3; ++i) {
    const Field& a = from_[i];
    const Field& b = to_[i];
    FieldShift& s = fields_.shifts[i];
    s.mask = a.mask;
    s.down = a.shift + std::max(a.width - 8, 0);
    s.up = std::max(8 - a.width, 0);
    s.narrow = std::max(8 - b.width, 0);
    s.place = b.shift + std::max(b.width - 8, 0);
    s.kept = a.mask && b.mask ? b.mask : 0;
  }
  widens555_ = f.redMask == 0x7C00 && f.greenMask == 0x03E0 && f.blueMask == 0x001F && t.redMask == 0xFF0000 &&
               t.greenMask == 0x00FF00 && t.blueMask == 0x0000FF;
}

uint32_t SourceMap::operator()(uint32_t value) const {
  switch (mode_) {
    case Mode::Raw: return value;
    case Mode::Table: return value < table_.size() ? table_[value] : 0;
    case Mode::ToMono: return value == sourceBk_ ? 1 : 0;
    case Mode::Masked: return value & fieldBits_;
    case Mode::Fields: return fields_(value);
    case Mode::Color: {
      if (dest_->format.bitsPerPixel > 8) return dest_->FromColor(source_->ToColor(value));
      auto it = cache_.find(value);
      if (it != cache_.end()) return it->second;
      uint32_t mapped = dest_->FromColor(source_->ToColor(value));
      cache_.emplace(value, mapped);
      return mapped;
    }
  }
  return value;
}

PatternFill::PatternFill(const DeviceContext& dc, const BrushObject& brush) {
  const Surface& dest = *dc.surface;
  const DcState& s = dc.state;
  org_ = s.brushOrg;
  switch (brush.style) {
    case BS_NULL: null_ = true; break;
    case BS_HATCHED:
      hatched_ = true;
      hatchRows_ = kHatches[brush.hatch];
      solid_ = dest.FromColor(dc.Resolve(brush.color));
      background_ = dest.FromColor(dc.Resolve(s.bkColor));
      transparentBk_ = s.bkMode == TRANSPARENT;
      break;
    case BS_PATTERN: {
      pattern_ = brush.pattern;
      SourceMap map(*pattern_, s.bkColor, dest, dc.Resolve(s.textColor), dc.Resolve(s.bkColor));
      patternValues_.resize(static_cast<size_t>(pattern_->width) * pattern_->height);
      for (int y = 0; y < pattern_->height; ++y)
        for (int x = 0; x < pattern_->width; ++x)
          patternValues_[static_cast<size_t>(y) * pattern_->width + x] = map(pattern_->Get(x, y));
      break;
    }
    default: solid_ = dest.FromColor(dc.Resolve(brush.dcBrush ? s.dcBrushColor : brush.color)); break;
  }
}

PatternFill::PatternFill(const Surface& dest, COLORREF color) : solid_(dest.FromColor(color)) {}

bool PatternFill::At(int x, int y, uint32_t* value) const {
  if (hatched_) {
    int px = Mod(x - org_.x, 8), py = Mod(y - org_.y, 8);
    if ((hatchRows_[py] >> (7 - px)) & 1) {
      *value = solid_;
      return true;
    }
    *value = background_;
    return !transparentBk_;
  }
  if (pattern_) {
    int px = Mod(x - org_.x, pattern_->width), py = Mod(y - org_.y, pattern_->height);
    *value = patternValues_[static_cast<size_t>(py) * pattern_->width + px];
    return true;
  }
  *value = solid_;
  return true;
}

void ApplyRop(DeviceContext& dc, const Region& area, uint8_t rop, const SourceView* source, const PatternFill* pattern) {
  Surface& surface = *dc.surface;
  bool useS = RopUsesSource(rop) && source;
  bool useP = RopUsesPattern(rop) && pattern;
  bool useD = RopUsesDest(rop);
  if (RopUsesPattern(rop) && (!pattern || pattern->IsNull())) return;  // a null brush paints nothing
  if (RopUsesSource(rop) && !source) return;
  uint32_t mask = surface.ValueMask();
  if (rop == 0xCC && surface.format.bitsPerPixel == 32) mask = ~0u;  // copies keep the fourth byte
  int bits = surface.format.bitsPerPixel;
  int ox = dc.origin.x, oy = dc.origin.y;
  SpanConverter convert = rop == 0xCC && useS ? ConverterFor(source->surface->format.bitsPerPixel, bits) : nullptr;

  for (const RECT& r : area.Rects()) {
    for (int y = r.top; y < r.bottom; ++y) {
      int sy = y + oy;
      if (rop == 0xCC && useS && source->map->IsIdentity() && source->surface->format.bitsPerPixel == bits &&
          bits >= 8) {
        size_t bpp = static_cast<size_t>(bits / 8);
        std::memmove(surface.Row(sy) + (r.left + ox) * bpp,
                     source->surface->Row(y + source->dy) + (r.left + source->dx) * bpp,
                     static_cast<size_t>(r.right - r.left) * bpp);
        continue;
      }
      if (convert) {
        int fromBytes = source->surface->format.bitsPerPixel / 8, toBytes = bits / 8;
        convert(source->surface->Row(y + source->dy) + (r.left + source->dx) * fromBytes,
                surface.Row(sy) + (r.left + ox) * toBytes, r.right - r.left, *source->map, mask);
        continue;
      }
      if (!useS && !useD && (!useP || pattern->IsSolid())) {
        FillSpan(surface, r.left + ox, r.right + ox, sy, Rop3(rop, useP ? pattern->Solid() : 0, 0, 0) & mask);
        continue;
      }
      for (int x = r.left; x < r.right; ++x) {
        uint32_t p = 0, s = 0, d = 0;
        if (useP && !pattern->At(x, y, &p)) continue;
        if (useS) s = (*source->map)(source->surface->Get(x + source->dx, y + source->dy));
        if (useD) d = surface.Get(x + ox, sy);
        surface.Put(x + ox, sy, Rop3(rop, p, s, d) & mask);
      }
    }
  }
}

std::shared_ptr<Surface> CopySurface(const Surface& from, const RECT& rect, std::unique_ptr<uint8_t[]>& storage) {
  int w = rect.right - rect.left, h = rect.bottom - rect.top;
  auto copy = std::make_shared<Surface>();
  copy->width = w;
  copy->height = h;
  copy->format = from.format;
  copy->colors = from.colors;
  size_t stride = DibStride(w, from.format.bitsPerPixel);
  storage.reset(new uint8_t[stride * static_cast<size_t>(h) + 1]());
  copy->top = storage.get();
  copy->stride = static_cast<ptrdiff_t>(stride);
  for (int y = 0; y < h; ++y) {
    if (from.format.bitsPerPixel >= 8) {
      size_t bpp = static_cast<size_t>(from.format.bitsPerPixel / 8);
      std::memcpy(copy->Row(y), from.Row(rect.top + y) + rect.left * bpp, static_cast<size_t>(w) * bpp);
    } else {
      for (int x = 0; x < w; ++x) copy->Put(x, y, from.Get(rect.left + x, rect.top + y));
    }
  }
  return copy;
}

Region ClipTo(const DeviceContext& dc, const RECT& r) {
  RECT n{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right), std::max(r.top, r.bottom)};
  return dc.DrawClip().Intersect(Region(n));
}

void FillDeviceRect(DeviceContext& dc, const RECT& rect, COLORREF color) {
  PatternFill fill(*dc.surface, color);
  ApplyRop(dc, ClipTo(dc, rect), 0xF0, nullptr, &fill);
}

void FillDeviceRegion(DeviceContext& dc, const Region& region, const BrushObject& brush, DWORD rop) {
  PatternFill fill(dc, brush);
  ApplyRop(dc, dc.DrawClip().Intersect(region), RopIndex(rop), nullptr, &fill);
}

void PaintCoverage(DeviceContext& dc, int x0, int y0, int width, int height, const uint8_t* mask,
                   ptrdiff_t maskStride, COLORREF color) {
  Surface& s = *dc.surface;
  uint32_t full = s.FromColor(color);
  bool blend = s.format.bitsPerPixel >= 16;
  Region area = ClipTo(dc, Box(x0, y0, width, height));
  for (const RECT& r : area.Rects()) {
    for (int y = r.top; y < r.bottom; ++y) {
      const uint8_t* row = mask + (y - y0) * maskStride;
      for (int x = r.left; x < r.right; ++x) {
        int a = row[x - x0];
        int sx = x + dc.origin.x, sy = y + dc.origin.y;
        if (a == 0) continue;
        if (a == 255 || !blend) {
          if (a >= 128) s.Put(sx, sy, full);
          continue;
        }
        COLORREF e = s.ToColor(s.Get(sx, sy));
        auto mix = [a](int c, int d) { return (c * a + d * (255 - a) + 127) / 255; };
        s.Put(sx, sy, s.FromColor(RGB(mix(GetRValue(color), GetRValue(e)), mix(GetGValue(color), GetGValue(e)),
                                      mix(GetBValue(color), GetBValue(e)))));
      }
    }
  }
}

}  // namespace win32::gdi

using namespace win32;
using namespace win32::gdi;

namespace {

// The pixels a blit rectangle covers: a negative extent runs back from its start point, which it
// includes (so x + w - 1 with -w mirrors the columns x .. x + w - 1).
RECT Span(RECT r) {
  if (r.left > r.right) r = RECT{r.right + 1, r.top, r.left + 1, r.bottom};
  if (r.top > r.bottom) r = RECT{r.left, r.bottom + 1, r.right, r.top + 1};
  return r;
}

// Fills an output row with the input pixels of Bytes bytes that the columns start at, in order.
template <size_t Bytes>
void PickColumns(const uint8_t* in, uint8_t* out, const std::vector<std::pair<int, int>>& columns) {
  for (const auto& c : columns) {
    std::memcpy(out, in + static_cast<size_t>(c.first) * Bytes, Bytes);
    out += Bytes;
  }
}

// Builds the part box (destination pixels, relative to the destination's top-left) of the source
// rectangle src (normalised) stretched to w x h pixels and mirrored as asked, in the source's
// format (32 bits for halftone). Only the part that will be drawn is made, however large the
// destination.
std::shared_ptr<Surface> StretchSource(const Surface& from, const RECT& src, int w, int h, const RECT& box,
                                       bool mirrorX, bool mirrorY, int mode, std::unique_ptr<uint8_t[]>& storage) {
  int sw = src.right - src.left, sh = src.bottom - src.top;
  bool halftone = mode == HALFTONE && from.format.bitsPerPixel > 8;
  auto out = std::make_shared<Surface>();
  out->width = box.right - box.left;
  out->height = box.bottom - box.top;
  out->format = halftone ? PixelFormat::Bits(32) : from.format;
  out->colors = halftone ? std::vector<RGBQUAD>{} : from.colors;
  size_t stride = DibStride(out->width, out->format.bitsPerPixel);
  storage.reset(new uint8_t[stride * static_cast<size_t>(out->height) + 1]());
  out->top = storage.get();
  out->stride = static_cast<ptrdiff_t>(stride);

  // Source span [first, last) of the destination columns (rows) in [i0, i1) of n.
  auto spans = [](int i0, int i1, int n, int sn, bool mirror, int base, int limit) {
    std::vector<std::pair<int, int>> v;
    v.reserve(static_cast<size_t>(i1 - i0));
    for (int i = i0; i < i1; ++i) {
      int64_t k = mirror ? int64_t{n} - 1 - i : i;
      int64_t a = k * sn / n, b = (k + 1) * sn / n;
      int first = static_cast<int>(std::clamp<int64_t>(base + a, 0, limit - 1));
      v.push_back({first, static_cast<int>(std::clamp<int64_t>(base + std::max(b, a + 1), first + 1, limit))});
    }
    return v;
  };
  auto xs = spans(box.left, box.right, w, sw, mirrorX, src.left, from.width);
  auto ys = spans(box.top, box.bottom, h, sh, mirrorY, src.top, from.height);
  w = out->width;
  h = out->height;
  bool shrinkX = sw > w, shrinkY = sh > h;
  bool combine = (mode == BLACKONWHITE || mode == WHITEONBLACK || (mode == HALFTONE && !halftone)) && (shrinkX || shrinkY);
  bool orScans = mode == WHITEONBLACK;

  for (int y = 0; y < h; ++y) {
    auto [y0, y1] = ys[static_cast<size_t>(y)];
    if (!shrinkY || (!combine && !halftone)) y1 = y0 + 1;
    if (from.format.bitsPerPixel == 32 && !combine && !halftone) {
      const uint32_t* in = reinterpret_cast<const uint32_t*>(from.Row(y0));
      uint32_t* o = reinterpret_cast<uint32_t*>(out->Row(y));
      for (int x = 0; x < w; ++x) o[x] = in[xs[static_cast<size_t>(x)].first];
      continue;
    }
    if ((from.format.bitsPerPixel == 16 || from.format.bitsPerPixel == 24) && !combine && !halftone) {
      if (from.format.bitsPerPixel == 16)
        PickColumns<2>(from.Row(y0), out->Row(y), xs);
      else
        PickColumns<3>(from.Row(y0), out->Row(y), xs);
      continue;
    }
    if (from.format.bitsPerPixel == 32 && combine) {
      uint32_t* o = reinterpret_cast<uint32_t*>(out->Row(y));
      for (int x = 0; x < w; ++x) {
        auto [x0, x1] = xs[static_cast<size_t>(x)];
        if (!shrinkX) x1 = x0 + 1;
        uint32_t v = orScans ? 0 : ~0u;
        for (int yy = y0; yy < y1; ++yy) {
          const uint32_t* in = reinterpret_cast<const uint32_t*>(from.Row(yy));
          for (int xx = x0; xx < x1; ++xx) v = orScans ? (v | in[xx]) : (v & in[xx]);
        }
        o[x] = v;
      }
      continue;
    }
    for (int x = 0; x < w; ++x) {
      auto [x0, x1] = xs[static_cast<size_t>(x)];
      if (!shrinkX || (!combine && !halftone)) x1 = x0 + 1;
      if (halftone) {
        uint32_t r = 0, g = 0, b = 0, n = 0;
        for (int yy = y0; yy < y1; ++yy)
          for (int xx = x0; xx < x1; ++xx) {
            COLORREF c = from.ToColor(from.Get(xx, yy));
            r += GetRValue(c);
            g += GetGValue(c);
            b += GetBValue(c);
            ++n;
          }
        out->Put(x, y, ((r + n / 2) / n) << 16 | ((g + n / 2) / n) << 8 | ((b + n / 2) / n));
        continue;
      }
      uint32_t v = from.Get(x0, y0);
      if (combine) {
        for (int yy = y0; yy < y1; ++yy)
          for (int xx = x0; xx < x1; ++xx) v = orScans ? (v | from.Get(xx, yy)) : (v & from.Get(xx, yy));
      }
      out->Put(x, y, v);
    }
  }
  return out;
}

}  // namespace

namespace win32::gdi {

BOOL BlitSurface(DeviceContext& dc, int xDest, int yDest, int wDest, int hDest, const Surface& sourceSurface, int xSrc,
                 int ySrc, int wSrc, int hSrc, DWORD rop, COLORREF sourceBk, bool plainColors) {
  uint8_t index = RopIndex(rop);
  if (wSrc == 0 || hSrc == 0) return FALSE;
  RECT dest = Span(dc.ToDevice(Box(xDest, yDest, wDest, hDest)));
  RECT from = Span(Box(xSrc, ySrc, wSrc, hSrc));
  int w = dest.right - dest.left, h = dest.bottom - dest.top;
  if (w == 0 || h == 0) return TRUE;

  std::unique_ptr<uint8_t[]> storage;
  std::shared_ptr<Surface> stretched;
  SourceView view{};
  Region area = ClipTo(dc, dest);
  bool same = w == from.right - from.left && h == from.bottom - from.top && (wDest > 0) == (wSrc > 0) &&
              (hDest > 0) == (hSrc > 0);
  if (same) {
    // Only what the source surface holds is copied.
    RECT inside{std::max<LONG>(from.left, 0), std::max<LONG>(from.top, 0),
                std::min<LONG>(from.right, sourceSurface.width), std::min<LONG>(from.bottom, sourceSurface.height)};
    if (inside.left >= inside.right || inside.top >= inside.bottom) return TRUE;
    int dx = from.left - dest.left, dy = from.top - dest.top;
    area = area.Intersect(Region(inside.left - dx, inside.top - dy, inside.right - dx, inside.bottom - dy));
    if (&sourceSurface == dc.surface.get()) {  // overlapping copies read a snapshot
      stretched = CopySurface(sourceSurface, inside, storage);
      view = {stretched.get(), dx - inside.left, dy - inside.top, nullptr};
    } else {
      view = {&sourceSurface, dx, dy, nullptr};
    }
  } else {
    // Sampling stays inside the source surface: a rectangle reaching past it repeats its edge.
    if (from.left >= sourceSurface.width || from.top >= sourceSurface.height || from.right <= 0 || from.bottom <= 0)
      return TRUE;
    bool mirrorX = (wDest < 0) != (wSrc < 0), mirrorY = (hDest < 0) != (hSrc < 0);
    if (area.IsEmpty()) return TRUE;
    RECT drawn = area.Box();
    RECT box{drawn.left - dest.left, drawn.top - dest.top, drawn.right - dest.left, drawn.bottom - dest.top};
    stretched = StretchSource(sourceSurface, from, w, h, box, mirrorX, mirrorY, dc.state.stretchMode, storage);
    view = {stretched.get(), -drawn.left, -drawn.top, nullptr};
  }
  std::optional<SourceMap> map;
  if (plainColors) {
    map.emplace(*view.surface, *dc.surface);
  } else {
    map.emplace(*view.surface, sourceBk, *dc.surface, dc.Resolve(dc.state.textColor), dc.Resolve(dc.state.bkColor));
  }
  view.map = &*map;
  std::optional<PatternFill> pattern;
  if (RopUsesPattern(index)) pattern.emplace(dc, *dc.state.brush);
  ApplyRop(dc, area, index, &view, pattern ? &*pattern : nullptr);
  return TRUE;
}

}  // namespace win32::gdi

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
  return StretchBlt(hdc, x, y, cx, cy, hdcSrc, x1, y1, cx, cy, rop);
}

BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
                int hSrc, DWORD rop) {
  auto dc = FindDC(hdcDest);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  if (!RopUsesSource(RopIndex(rop))) return PatBlt(hdcDest, xDest, yDest, wDest, hDest, rop);
  auto src = FindDC(hdcSrc);
  if (!src) return Fail(ERROR_INVALID_HANDLE);
  POINT from = src->ToDevice(POINT{xSrc, ySrc});
  return BlitSurface(*dc, xDest, yDest, wDest, hDest, *src->surface, from.x + src->origin.x, from.y + src->origin.y,
                     wSrc, hSrc, rop, src->Resolve(src->state.bkColor), false);
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  auto dc = FindDC(hdc);
  if (!dc) return Fail(ERROR_INVALID_HANDLE);
  uint8_t index = RopIndex(rop);
  if (RopUsesSource(index)) return Fail(ERROR_INVALID_PARAMETER);
  Region area = ClipTo(*dc, dc->ToDevice(Box(x, y, w, h)));
  PatternFill pattern(*dc, *dc->state.brush);
  ApplyRop(*dc, area, index, nullptr, &pattern);
  return TRUE;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  auto dc = FindDC(hdc);
  if (!dc) return CLR_INVALID;
  POINT p = dc->ToDevice(POINT{x, y});
  if (!dc->DrawClip().Contains(p.x, p.y)) return CLR_INVALID;
  Surface& s = *dc->surface;
  uint32_t v = s.FromColor(dc->Resolve(color));
  s.Put(p.x + dc->origin.x, p.y + dc->origin.y, v);
  return s.ToColor(v);
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color) { return SetPixel(hdc, x, y, color) != CLR_INVALID; }

COLORREF GetPixel(HDC hdc, int x, int y) {
  auto dc = FindDC(hdc);
  if (!dc) return CLR_INVALID;
  POINT p = dc->ToDevice(POINT{x, y});
  if (!dc->DrawClip().Contains(p.x, p.y)) return CLR_INVALID;
  const Surface& s = *dc->surface;
  return s.ToColor(s.Get(p.x + dc->origin.x, p.y + dc->origin.y));
}
