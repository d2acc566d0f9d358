#include "text_layout.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <string>

#include "win32/utf.h"

namespace gdiplus::text {
namespace {

// One character as cairo shaped it: its glyphs and how far it advances.
struct Cluster {
  char32_t first;  // its first character
  size_t glyph;    // index of its first glyph
  int glyphCount;
  double x;        // pen position before it, in the unbroken run
  double advance;
};

struct Line {
  size_t begin, end;  // clusters [begin, end)
  double width;       // without trailing spaces
};

bool IsSpace(char32_t c) { return c == U' ' || c == U'\t' || c == 0x3000; }

char32_t FirstCharacter(const char* utf8, int bytes) {
  std::u16string wide = win32::Utf8ToUtf16(std::string_view(utf8, size_t(bytes)));
  if (wide.empty()) return 0;
  if (wide.size() > 1 && wide[0] >= 0xD800 && wide[0] < 0xDC00)
    return 0x10000 + ((char32_t(wide[0]) - 0xD800) << 10) + (char32_t(wide[1]) - 0xDC00);
  return wide[0];
}

std::vector<Line> BreakLines(const std::vector<Cluster>& clusters, double available) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start <= clusters.size()) {
    double lineStart = start < clusters.size() ? clusters[start].x : 0;
    size_t end = start, breakAfterSpace = 0;
    double inkEnd = 0, inkEndAtBreak = 0;
    bool hardBreak = false;
    for (; end < clusters.size(); ++end) {
      const Cluster& c = clusters[end];
      if (c.first == U'\n') {
        hardBreak = true;
        break;
      }
      if (IsSpace(c.first) || c.first == U'\r') {
        if (end > start && !IsSpace(clusters[end - 1].first)) inkEndAtBreak = inkEnd;
        breakAfterSpace = end + 1;
        continue;
      }
      double right = c.x + c.advance - lineStart;
      if (right > available && end > start) {
        if (breakAfterSpace > start) {
          end = breakAfterSpace;
          inkEnd = inkEndAtBreak;
        }
        break;
      }
      inkEnd = right;
    }
    lines.push_back({start, end, inkEnd});
    if (end >= clusters.size()) break;
    start = hardBreak ? end + 1 : end;
    if (hardBreak && start == clusters.size()) {
      lines.push_back({start, start, 0});
      break;
    }
  }
  return lines;
}

// Underline and strikeout position and thickness from the face's tables, in em units.
struct Decorations {
  double underlineOffset = 0.1, underlineThickness = 0.05, strikeOffset = 0.3, strikeThickness = 0.05;
};

Decorations ReadDecorations(cairo_scaled_font_t* font) {
  Decorations d;
  FT_Face face = cairo_ft_scaled_font_lock_face(font);
  if (!face) return d;
  const double units = face->units_per_EM > 0 ? face->units_per_EM : 2048;
  if (face->underline_thickness > 0) {
    d.underlineOffset = -face->underline_position / units;
    d.underlineThickness = face->underline_thickness / units;
  }
  if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2)); os2 && os2->yStrikeoutSize > 0) {
    d.strikeOffset = os2->yStrikeoutPosition / units;
    d.strikeThickness = os2->yStrikeoutSize / units;
  }
  cairo_ft_scaled_font_unlock_face(font);
  return d;
}

// Rules sit on whole pixel rows, at least one row thick, so that they look crisp.
Rule Snapped(double x, double y, double width, double thickness) {
  return {x, std::round(y), width, std::max(1.0, std::round(thickness))};
}

}  // namespace

std::u16string_view TextOf(const WCHAR* string, INT length) {
  if (!string) return {};
  if (length < 0) return std::u16string_view(string);
  return std::u16string_view(string, size_t(length));
}

Layout LayOut(const Face& face, double em, int style, std::u16string_view text, const Gdiplus::RectF& layoutRect,
              int flags) {
  Layout layout;
  cairo_matrix_t fontMatrix, identity;
  cairo_matrix_init_scale(&fontMatrix, em, em);
  cairo_matrix_init_identity(&identity);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  layout.font.reset(cairo_scaled_font_create(face.Get(), &fontMatrix, &identity, options));
  cairo_font_options_destroy(options);
  layout.box = {layoutRect.X, layoutRect.Y, 0, 0};
  layout.inkBounds = layout.box;
  if (cairo_scaled_font_status(layout.font.get()) != CAIRO_STATUS_SUCCESS || text.empty()) return layout;

  // Shape the whole run once; the clusters map glyphs back to characters.
  std::string utf8 = win32::Utf16ToUtf8(text);
  cairo_glyph_t* glyphs = nullptr;
  int glyphCount = 0;
  cairo_text_cluster_t* clusters = nullptr;
  int clusterCount = 0;
  cairo_text_cluster_flags_t clusterFlags{};
  if (cairo_scaled_font_text_to_glyphs(layout.font.get(), 0, 0, utf8.data(), int(utf8.size()), &glyphs, &glyphCount,
                                       &clusters, &clusterCount, &clusterFlags) != CAIRO_STATUS_SUCCESS)
    return layout;
  std::vector<Cluster> run;
  run.reserve(size_t(clusterCount));
  size_t byte = 0, glyph = 0;
  for (int i = 0; i < clusterCount; ++i) {
    run.push_back({FirstCharacter(utf8.data() + byte, clusters[i].num_bytes), glyph, clusters[i].num_glyphs,
                   glyph < size_t(glyphCount) ? glyphs[glyph].x : 0, 0});
    byte += size_t(clusters[i].num_bytes);
    glyph += size_t(clusters[i].num_glyphs);
  }
  for (size_t i = 0; i < run.size(); ++i) {
    if (i + 1 < run.size()) {
      run[i].advance = run[i + 1].x - run[i].x;
    } else if (run[i].glyphCount > 0) {
      cairo_text_extents_t extents;
      cairo_scaled_font_glyph_extents(layout.font.get(), &glyphs[run[i].glyph], run[i].glyphCount, &extents);
      run[i].advance = extents.x_advance;
    }
  }

  cairo_font_extents_t metrics;
  cairo_scaled_font_extents(layout.font.get(), &metrics);
  const double margin = em / 6;
  const bool wrap = !(flags & Gdiplus::StringFormatFlagsNoWrap) && layoutRect.Width > 0;
  const double available = wrap ? std::max(0.0, layoutRect.Width - 2 * margin) : INFINITY;
  std::vector<Line> lines = BreakLines(run, available);
  const Decorations decorations = ReadDecorations(layout.font.get());

  double widest = 0;
  size_t shown = 0;
  for (const Line& line : lines) {
    const double top = layoutRect.Y + double(shown) * metrics.height;
    if (layoutRect.Height > 0 && top >= layoutRect.Y + layoutRect.Height) break;  // wholly below
    ++shown;
    const double baseline = top + metrics.ascent;
    const double left = layoutRect.X + margin;
    const double lineStart = line.begin < run.size() ? run[line.begin].x : 0;
    for (size_t c = line.begin; c < line.end; ++c) {
      if (IsSpace(run[c].first) || run[c].first == U'\r') continue;
      for (int g = 0; g < run[c].glyphCount; ++g) {
        cairo_glyph_t placed = glyphs[run[c].glyph + size_t(g)];
        placed.x = left + placed.x - lineStart;
        placed.y = baseline + placed.y;
        layout.glyphs.push_back(placed);
      }
    }
    widest = std::max(widest, line.width);
    if (line.width > 0 && (style & Gdiplus::FontStyleUnderline))
      layout.rules.push_back(Snapped(left, baseline + decorations.underlineOffset * em, line.width,
                                     decorations.underlineThickness * em));
    if (line.width > 0 && (style & Gdiplus::FontStyleStrikeout))
      layout.rules.push_back(Snapped(left, baseline - decorations.strikeOffset * em, line.width,
                                     decorations.strikeThickness * em));
  }
  cairo_glyph_free(glyphs);
  cairo_text_cluster_free(clusters);

  double width = widest > 0 ? widest + 2 * margin : 0;
  double height = double(shown) * metrics.height;
  if (layoutRect.Width > 0) width = std::min(width, double(layoutRect.Width));
  if (layoutRect.Height > 0) height = std::min(height, double(layoutRect.Height));
  layout.box = {layoutRect.X, layoutRect.Y, Gdiplus::REAL(width), Gdiplus::REAL(height)};

  // Ink: the glyphs' extents and the rules.
  double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
  if (!layout.glyphs.empty()) {
    cairo_text_extents_t ink;
    cairo_scaled_font_glyph_extents(layout.font.get(), layout.glyphs.data(), int(layout.glyphs.size()), &ink);
    // Extents are relative to the first glyph's origin.
    x0 = layout.glyphs[0].x + ink.x_bearing;
    y0 = layout.glyphs[0].y + ink.y_bearing;
    x1 = x0 + ink.width;
    y1 = y0 + ink.height;
  }
  for (const Rule& r : layout.rules) {
    x0 = std::min(x0, r.x);
    y0 = std::min(y0, r.y);
    x1 = std::max(x1, r.x + r.width);
    y1 = std::max(y1, r.y + r.height);
  }
  if (x1 > x0 && y1 > y0)
    layout.inkBounds = {Gdiplus::REAL(x0), Gdiplus::REAL(y0), Gdiplus::REAL(x1 - x0), Gdiplus::REAL(y1 - y0)};
  return layout;
}

}  // namespace gdiplus::text
