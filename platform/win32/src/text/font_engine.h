#pragma once
// Realised fonts: a LOGFONT turned into metrics, advances and glyph coverage. Three kinds of face
// stand behind a font: installed faces through fontconfig and FreeType, the built-in test face of
// box glyphs whose geometry follows from the height alone, and the built-in "Marlett" symbols.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "win32/windows.h"

namespace win32::text {

// Name of the built-in face whose every glyph is a box: text geometry in tests is exact.
inline constexpr char16_t kTestFaceName[] = u"Corvane Test Box";

struct FontMetrics {
  int height = 0;  // cell: ascent + descent
  int ascent = 0;
  int descent = 0;
  int internalLeading = 0;
  int externalLeading = 0;
  int aveCharWidth = 0;
  int maxCharWidth = 0;
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  BYTE pitchAndFamily = 0;
  BYTE charSet = 0;
  // Lines drawn for underline and strike-out: first row relative to the baseline (down is
  // positive) and thickness in rows.
  int underlineOffset = 1;
  int underlineThickness = 1;
  int strikeOffset = 0;
  int strikeThickness = 1;
};

// Glyph coverage, 0 (none) to 255 (full), rows top to bottom.
struct CoverageMask {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;
  int originX = 0;  // column of the text origin (ink may reach left of it)
  int advance = 0;  // width of the run from the origin

  CoverageMask() = default;
  CoverageMask(int w, int h) : width(w), height(h), pixels(size_t(w) * size_t(h), 0) {}
  uint8_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
  // Raises coverage at (x, y) to at least value; outside points are ignored.
  void Cover(int x, int y, uint8_t value) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    uint8_t& p = pixels[size_t(y) * size_t(width) + size_t(x)];
    if (value > p) p = value;
  }
  void FillRows(int x0, int x1, int y0, int y1) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) Cover(x, y, 255);
  }
};

class FontFace {
 public:
  virtual ~FontFace() = default;
  const FontMetrics& Metrics() const { return metrics_; }
  // Horizontal advance of one character in pixels.
  virtual int Advance(char32_t ch) = 0;
  // Adds the glyph's coverage with its origin on the baseline at (x, baseline).
  virtual void Draw(char32_t ch, CoverageMask& mask, int x, int baseline) = 0;

 protected:
  FontMetrics metrics_;
};

// The realised face for a font description; equal descriptions share one face. Never null:
// an unknown face name gets the configuration's nearest match.
std::shared_ptr<FontFace> RealizeFont(const LOGFONTW& font);

// The face name a font asks for; with no name, the one its pitch and family choose.
std::u16string EffectiveFaceName(const LOGFONTW& font);

// Builds the face kinds; RealizeFont picks one by name.
std::shared_ptr<FontFace> MakeBoxFace(const LOGFONTW& font);
std::shared_ptr<FontFace> MakeMarlettFace(const LOGFONTW& font);
std::shared_ptr<FontFace> MakeFreeTypeFace(const LOGFONTW& font);

// Text width of a run in pixels.
int MeasureRun(FontFace& face, std::u32string_view text);

// The run drawn horizontally with the font's underline and strike-out, cell-high, its top row
// the cell top, the origin at column originX. advances (when given) replace the font's advance
// of each character; underlined[i] (when given) underlines character i alone (prefix marks).
CoverageMask RenderRun(FontFace& face, std::u32string_view text, const std::vector<int>* advances = nullptr,
                       const std::vector<bool>* underlined = nullptr);

}  // namespace win32::text
