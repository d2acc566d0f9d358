// The "Marlett" symbols the menus draw, as vector glyphs on a 16 x 16 grid filling the square
// cell: "r" close, "0" minimise, "1" maximise, "2" restore, "b" check mark, "i" bullet, "8"
// sub-menu arrow. A pixel is ink when its centre lies inside a glyph shape (crisp edges); a bold
// weight widens every stroke by one pixel to the right.
#include <cmath>
#include <initializer_list>
#include <vector>

#include "text/font_engine.h"

namespace win32::text {
namespace {

struct Point {
  double x, y;
};
// A shape is filled by the even-odd rule over its contours; a glyph is the union of its shapes.
using Contour = std::vector<Point>;
using Shape = std::vector<Contour>;

Contour Box(double l, double t, double r, double b) { return {{l, t}, {r, t}, {r, b}, {l, b}}; }

// A frame: the outer box less the inner one.
Shape Frame(double l, double t, double r, double b, double top, double side) {
  return {Box(l, t, r, b), Box(l + side, t + top, r - side, b - side)};
}

Contour Disc(double cx, double cy, double radius) {
  Contour c;
  for (int i = 0; i < 24; ++i) {
    double a = i * 3.14159265358979 / 12;
    c.push_back({cx + radius * std::cos(a), cy + radius * std::sin(a)});
  }
  return c;
}

std::vector<Shape> GlyphShapes(char32_t ch) {
  switch (ch) {
    case U'r':  // two crossing strokes
      return {{{{3.5, 4.5}, {4.5, 3.5}, {12.5, 11.5}, {11.5, 12.5}}},
              {{{11.5, 3.5}, {12.5, 4.5}, {4.5, 12.5}, {3.5, 11.5}}}};
    case U'0':  // a bar at the bottom
      return {{Box(4, 11, 11, 13)}};
    case U'1':  // a window with a thick title bar
      return {Frame(3, 3, 13, 13, 2, 1)};
    case U'2':  // the front window and the visible edges of the one behind
      return {Frame(2, 6, 11, 14, 2, 1), {Box(5, 2, 14, 4)}, {Box(13, 4, 14, 11)}, {Box(5, 4, 6, 6)},
              {Box(11, 10, 13, 11)}};
    case U'b':  // check mark
      return {{{{3, 7}, {6, 10}, {12, 4}, {12, 6.5}, {6, 12.5}, {3, 9.5}}}};
    case U'i':  // bullet
      return {{Disc(8, 8, 3)}};
    case U'8':  // right-pointing triangle
      return {{{{6, 4}, {10, 8}, {6, 12}}}};
    default:
      return {};
  }
}

bool Inside(const Shape& shape, double x, double y) {
  bool in = false;
  for (const Contour& c : shape) {
    for (size_t i = 0, j = c.size() - 1; i < c.size(); j = i++) {
      if ((c[i].y > y) != (c[j].y > y) && x < (c[j].x - c[i].x) * (y - c[i].y) / (c[j].y - c[i].y) + c[i].x)
        in = !in;
    }
  }
  return in;
}

class MarlettFace : public FontFace {
 public:
  explicit MarlettFace(const LOGFONTW& f) {
    int h = f.lfHeight == 0 ? 16 : (f.lfHeight < 0 ? -f.lfHeight : f.lfHeight);
    size_ = h;
    bold_ = f.lfWeight >= FW_SEMIBOLD;
    FontMetrics& m = metrics_;
    m.height = h;
    m.ascent = h;
    m.descent = 0;
    m.aveCharWidth = h;
    m.maxCharWidth = h;
    m.weight = f.lfWeight == 0 ? FW_NORMAL : f.lfWeight;
    m.italic = f.lfItalic != 0;
    m.underline = f.lfUnderline != 0;
    m.strikeOut = f.lfStrikeOut != 0;
    m.pitchAndFamily = VARIABLE_PITCH | FF_DECORATIVE;
    m.charSet = SYMBOL_CHARSET;
    m.underlineOffset = -1;
    m.strikeOffset = -h / 2;
  }

  int Advance(char32_t) override { return size_; }

  void Draw(char32_t ch, CoverageMask& mask, int x, int baseline) override {
    if (ch >= 0xF000 && ch <= 0xF0FF) ch -= 0xF000;  // symbol-area code points
    std::vector<Shape> shapes = GlyphShapes(ch);
    if (shapes.empty()) return;
    const double scale = 16.0 / size_;
    const int top = baseline - metrics_.ascent;
    for (int py = 0; py < size_; ++py) {
      for (int px = 0; px < size_; ++px) {
        double gx = (px + 0.5) * scale, gy = (py + 0.5) * scale;
        for (const Shape& s : shapes) {
          if (Inside(s, gx, gy)) {
            mask.Cover(x + px, top + py, 255);
            if (bold_) mask.Cover(x + px + 1, top + py, 255);
            break;
          }
        }
      }
    }
  }

 private:
  int size_;
  bool bold_;
};

}  // namespace

std::shared_ptr<FontFace> MakeMarlettFace(const LOGFONTW& font) { return std::make_shared<MarlettFace>(font); }

}  // namespace win32::text
