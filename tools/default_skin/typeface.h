#pragma once
// Text for the skin's pictures: an installed face found through fontconfig, drawn through
// FreeType with anti-aliased glyphs.
#include <string>

#include "canvas.h"

typedef struct FT_FaceRec_* FT_Face;

class Typeface {
 public:
  // pattern: a fontconfig pattern such as "DejaVu Sans:bold". Throws when no face of that
  // family is installed.
  explicit Typeface(const std::string& pattern);
  ~Typeface();
  Typeface(const Typeface&) = delete;
  Typeface& operator=(const Typeface&) = delete;

  // Height above the baseline at a pixel size.
  int Ascent(int pixels) const;
  // Advance width of UTF-8 text at a pixel size.
  int Width(const std::string& text, int pixels) const;
  // Draws text with its top (the ascent above the baseline) at y.
  void Draw(Canvas& canvas, const std::string& text, int pixels, int x, int y, Colour colour) const;
  // Centred in the box, both ways (by the digits' and capitals' height).
  void DrawCentred(Canvas& canvas, const std::string& text, int pixels, const Box& box, Colour colour) const;

 private:
  void SetSize(int pixels) const;

  FT_Face face_ = nullptr;
};

// FreeType and fontconfig for the whole run; released at the end.
void ShutDownTypefaces();
