#pragma once
// Lays a string out in a rectangle as GDI+ does with a default string format: lines broken at
// spaces (or inside a word wider than the line) and at line feeds, each line a sixth of the em in
// from the left, lines one line spacing apart from the rectangle's top.
#include <cairo.h>

#include <memory>
#include <string_view>
#include <vector>

#include "fonts.h"
#include "gdiplus/gdiplus_types.h"

namespace gdiplus::text {

struct ScaledFontDeleter {
  void operator()(cairo_scaled_font_t* font) const { cairo_scaled_font_destroy(font); }
};
using ScaledFont = std::unique_ptr<cairo_scaled_font_t, ScaledFontDeleter>;

struct Rule {  // an underline or strikeout line
  double x, y, width, height;
};

struct Layout {
  ScaledFont font;
  std::vector<cairo_glyph_t> glyphs;
  std::vector<Rule> rules;
  Gdiplus::RectF box;        // what MeasureString reports
  Gdiplus::RectF inkBounds;  // everything drawn, glyphs and rules
};

// em: the em size in pixels; style: GDI+ style bits; flags: string format flags.
Layout LayOut(const Face& face, double em, int style, std::u16string_view text, const Gdiplus::RectF& layoutRect,
              int flags);

// Text of a GDI+ call: length -1 runs to the terminator.
std::u16string_view TextOf(const WCHAR* string, INT length);

}  // namespace gdiplus::text
