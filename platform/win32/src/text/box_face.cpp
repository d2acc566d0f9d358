// The test face: every character advances by the cell width, and every visible character is a
// box from the cell top to the baseline, one column narrower than its advance, so that runs of
// text show where each character lies. Blanks and control characters have no ink.
#include "text/font_engine.h"

namespace win32::text {
namespace {

class BoxFace : public FontFace {
 public:
  explicit BoxFace(const LOGFONTW& f) {
    int h = f.lfHeight == 0 ? 16 : (f.lfHeight < 0 ? -f.lfHeight : f.lfHeight);
    cellWidth_ = f.lfWidth > 0 ? f.lfWidth : (h / 2 > 0 ? h / 2 : 1);
    FontMetrics& m = metrics_;
    m.height = h;
    m.descent = h / 4;
    m.ascent = h - m.descent;
    m.aveCharWidth = cellWidth_;
    m.maxCharWidth = cellWidth_;
    m.weight = f.lfWeight == 0 ? FW_NORMAL : f.lfWeight;
    m.italic = f.lfItalic != 0;
    m.underline = f.lfUnderline != 0;
    m.strikeOut = f.lfStrikeOut != 0;
    m.pitchAndFamily = FIXED_PITCH | FF_MODERN;
    m.charSet = f.lfCharSet;
    // Underline one row below the baseline (inside the descent when there is one); strike-out
    // through the middle of the ink.
    m.underlineOffset = m.descent > 1 ? 1 : 0;
    m.underlineThickness = 1;
    m.strikeOffset = -(m.ascent / 2) - 1;
    m.strikeThickness = 1;
  }

  int Advance(char32_t) override { return cellWidth_; }

  void Draw(char32_t ch, CoverageMask& mask, int x, int baseline) override {
    if (ch <= U' ' || ch == 0x7F || ch == 0xA0) return;
    mask.FillRows(x, x + cellWidth_ - 1, baseline - metrics_.ascent, baseline);
  }

 private:
  int cellWidth_;
};

}  // namespace

std::shared_ptr<FontFace> MakeBoxFace(const LOGFONTW& font) { return std::make_shared<BoxFace>(font); }

}  // namespace win32::text
