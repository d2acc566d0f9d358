#pragma once
// The raster engine shared by the blits, fills and shapes: ternary raster operations over the
// pixels of an area, with a source and a brush pattern converted to the destination's values.
#include <unordered_map>

#include "gdi/dc.h"

namespace win32::gdi {

// The truth-table byte (bits 16-23) of a raster operation code.
inline uint8_t RopIndex(DWORD rop) { return static_cast<uint8_t>(rop >> 16); }
inline bool RopUsesSource(uint8_t rop) { return ((rop >> 2) ^ rop) & 0x33; }
inline bool RopUsesPattern(uint8_t rop) { return ((rop >> 4) ^ rop) & 0x0F; }
inline bool RopUsesDest(uint8_t rop) { return ((rop >> 1) ^ rop) & 0x55; }

// Bitwise evaluation of the truth table: each result bit is table[P*4 + S*2 + D].
uint32_t Rop3(uint8_t rop, uint32_t p, uint32_t s, uint32_t d);
// The ternary code of a binary (pen) raster operation R2_*: pattern against destination.
uint8_t Rop2ToRop3(int rop2);

// Converts stored values of a source surface to stored values of a destination surface, with
// the monochrome rules: a monochrome source's 0 bits become the destination DC's text colour
// and 1 bits its background colour; a colour source going to a monochrome destination gives 1
// where it equals the source DC's background colour and 0 elsewhere.
class SourceMap {
 public:
  SourceMap(const Surface& source, COLORREF sourceBk, const Surface& dest, COLORREF destText, COLORREF destBk);
  // Plain colour conversion through the colour tables, without the monochrome rules (the DIB
  // functions convert this way).
  SourceMap(const Surface& source, const Surface& dest);
  uint32_t operator()(uint32_t value) const;
  bool IsIdentity() const { return mode_ == Mode::Raw; }
  // The bits a conversion keeps when it only masks (fields laid out alike on both sides); 0 else.
  uint32_t KeptBits() const { return mode_ == Mode::Masked ? fieldBits_ : 0; }
  // One field's way from a source value to the destination's: down to the field's low bit, up to
  // 8 bits, narrowed to the destination's width and placed (a field missing on either side keeps
  // no bits).
  struct FieldShift {
    uint32_t mask = 0;
    int down = 0, up = 0, narrow = 0, place = 0;
    uint32_t kept = 0;
  };
  // The conversion field by field between packed formats (16 bits to 32, say), small enough to
  // copy next to a loop so that whole spans convert inline.
  struct PackedFields {
    FieldShift shifts[3];
    uint32_t operator()(uint32_t value) const {
      uint32_t out = 0;
      for (const FieldShift& f : shifts) out |= ((((value & f.mask) >> f.down) << f.up) >> f.narrow << f.place) & f.kept;
      return out;
    }
  };
  // Whether values convert through Fields().
  bool ConvertsFields() const { return mode_ == Mode::Fields; }
  const PackedFields& Fields() const { return fields_; }
  // Whether the fields go from 5-5-5 to 8-8-8, the video pictures' common case, which spans
  // convert with fixed shifts.
  bool Widens555() const { return widens555_; }

 private:
  // A colour field of a packed format, measured once rather than for every pixel.
  struct Field {
    uint32_t mask = 0;
    int shift = 0;
    int width = 0;
  };
  // Packed to packed (more than 8 bits each side) through the fields, as ToColor then FromColor;
  // Masked when both sides lay their fields out alike (24 and 32 bits, say): the fields stay where
  // they are and only the bits outside them go.
  enum class Mode { Raw, Table, ToMono, Color, Fields, Masked };
  // Through the colour tables or the fields, without the monochrome rules.
  void MapColours();
  void MeasureFields();
  Mode mode_ = Mode::Raw;
  Field from_[3];
  Field to_[3];
  PackedFields fields_;
  bool widens555_ = false;
  const Surface* source_;
  const Surface* dest_;
  std::vector<uint32_t> table_;  // indexed sources
  uint32_t sourceBk_ = 0;
  uint32_t fieldBits_ = 0;  // Masked: the bits of the three fields
  mutable std::unordered_map<uint32_t, uint32_t> cache_;
};

// Converts n packed pixels (in to out) through a map, keeping the bits of mask.
using SpanConverter = void (*)(const uint8_t* in, uint8_t* out, int n, const SourceMap& map, uint32_t mask);
// The span converter between two packed formats of 16, 24 or 32 bits; null for others.
SpanConverter ConverterFor(int fromBits, int toBits);

// A brush as the destination's values at each device pixel.
class PatternFill {
 public:
  // The DC supplies brush origin, text and background colours and mode (hatch backgrounds are
  // left alone in TRANSPARENT mode).
  PatternFill(const DeviceContext& dc, const BrushObject& brush);
  // A single colour.
  PatternFill(const Surface& dest, COLORREF color);

  bool IsNull() const { return null_; }
  bool IsSolid() const { return !pattern_ && !hatched_; }
  uint32_t Solid() const { return solid_; }
  // False where the pixel is a transparent hatch background (not to be touched).
  bool At(int x, int y, uint32_t* value) const;

 private:
  bool null_ = false;
  bool hatched_ = false;
  bool transparentBk_ = false;
  uint32_t solid_ = 0;  // also the hatch's line colour
  uint32_t background_ = 0;
  const uint8_t* hatchRows_ = nullptr;
  std::shared_ptr<Surface> pattern_;
  std::vector<uint32_t> patternValues_;  // pattern converted, row by row
  POINT org_{0, 0};
};

// A source positioned for one operation: destination device point (x, y) reads source surface
// point (x + dx, y + dy).
struct SourceView {
  const Surface* surface;
  int dx;
  int dy;
  const SourceMap* map;
};

// Applies rop to every pixel of area (device units, already clipped), reading source and
// pattern as the code needs them.
void ApplyRop(DeviceContext& dc, const Region& area, uint8_t rop, const SourceView* source,
              const PatternFill* pattern);

// A private copy of part of a surface (the same format and colours).
std::shared_ptr<Surface> CopySurface(const Surface& from, const RECT& rect, std::unique_ptr<uint8_t[]>& storage);

// Copies (stretching when the sizes differ) source surface rectangle (xSrc, ySrc, wSrc, hSrc)
// to the logical destination rectangle through rop; negative sizes mirror. map null: the
// monochrome rules with the colours of the DCs (sourceBk is the source DC's background).
BOOL BlitSurface(DeviceContext& dc, int xDest, int yDest, int wDest, int hDest, const Surface& source, int xSrc,
                 int ySrc, int wSrc, int hSrc, DWORD rop, COLORREF sourceBk, bool plainColors);

// The device rectangle clipped to what the DC may draw.
Region ClipTo(const DeviceContext& dc, const RECT& deviceRect);

}  // namespace win32::gdi
