#include "typeface.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <stdexcept>
#include <vector>

namespace {

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library created = nullptr;
    if (FT_Init_FreeType(&created)) throw std::runtime_error("FreeType cannot start");
    return created;
  }();
  return library;
}

std::string FontFile(const std::string& pattern, std::string* family) {
  FcPattern* asked = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
  FcConfigSubstitute(nullptr, asked, FcMatchPattern);
  FcDefaultSubstitute(asked);
  FcResult result;
  FcPattern* found = FcFontMatch(nullptr, asked, &result);
  std::string file;
  FcChar8* value = nullptr;
  if (found && FcPatternGetString(found, FC_FILE, 0, &value) == FcResultMatch) file = reinterpret_cast<char*>(value);
  if (found && FcPatternGetString(found, FC_FAMILY, 0, &value) == FcResultMatch)
    *family = reinterpret_cast<char*>(value);
  if (found) FcPatternDestroy(found);
  FcPatternDestroy(asked);
  return file;
}

std::vector<char32_t> Decode(const std::string& text) {
  std::vector<char32_t> out;
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    char32_t code = extra ? c & (0x3F >> extra) : c;
    for (int k = 1; k <= extra && i + k < text.size(); ++k) code = (code << 6) | (text[i + k] & 0x3F);
    out.push_back(code);
    i += 1 + extra;
  }
  return out;
}

}  // namespace

Typeface::Typeface(const std::string& pattern) {
  const std::string wanted = pattern.substr(0, pattern.find(':'));
  std::string family;
  const std::string file = FontFile(pattern, &family);
  if (file.empty() || family != wanted) throw std::runtime_error("no installed face for " + pattern);
  if (FT_New_Face(Library(), file.c_str(), 0, &face_)) throw std::runtime_error("cannot read " + file);
}

Typeface::~Typeface() { FT_Done_Face(face_); }

void Typeface::SetSize(int pixels) const { FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixels)); }

int Typeface::Ascent(int pixels) const {
  SetSize(pixels);
  return static_cast<int>((face_->size->metrics.ascender + 32) >> 6);
}

int Typeface::Width(const std::string& text, int pixels) const {
  SetSize(pixels);
  long width = 0;
  FT_UInt previous = 0;
  for (char32_t code : Decode(text)) {
    const FT_UInt glyph = FT_Get_Char_Index(face_, code);
    if (previous && glyph) {
      FT_Vector kerning;
      FT_Get_Kerning(face_, previous, glyph, FT_KERNING_DEFAULT, &kerning);
      width += kerning.x;
    }
    if (FT_Load_Glyph(face_, glyph, FT_LOAD_TARGET_LIGHT) == 0) width += face_->glyph->advance.x;
    previous = glyph;
  }
  return static_cast<int>((width + 32) >> 6);
}

void Typeface::Draw(Canvas& canvas, const std::string& text, int pixels, int x, int y, Colour colour) const {
  const long baseline = y + Ascent(pixels);
  long pen = static_cast<long>(x) << 6;
  FT_UInt previous = 0;
  for (char32_t code : Decode(text)) {
    const FT_UInt glyph = FT_Get_Char_Index(face_, code);
    if (previous && glyph) {
      FT_Vector kerning;
      FT_Get_Kerning(face_, previous, glyph, FT_KERNING_DEFAULT, &kerning);
      pen += kerning.x;
    }
    previous = glyph;
    if (FT_Load_Glyph(face_, glyph, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT)) continue;
    const FT_GlyphSlot slot = face_->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    const long left = ((pen + 32) >> 6) + slot->bitmap_left;
    const long top = baseline - slot->bitmap_top;
    for (unsigned row = 0; row < bitmap.rows; ++row)
      for (unsigned column = 0; column < bitmap.width; ++column) {
        const uint8_t coverage = bitmap.buffer[row * bitmap.pitch + column];
        if (coverage)
          canvas.Blend(static_cast<int>(left + column), static_cast<int>(top + row), colour, coverage / 255.0f);
      }
    pen += slot->advance.x;
  }
}

void Typeface::DrawCentred(Canvas& canvas, const std::string& text, int pixels, const Box& box, Colour colour) const {
  const int ascent = Ascent(pixels);
  // Capitals and digits rise about 0.73 of the size above the baseline.
  const int capital = static_cast<int>(std::lround(pixels * 0.73));
  const int x = box.left + (box.Width() - Width(text, pixels)) / 2;
  const int baseline = box.top + (box.Height() + capital) / 2;
  Draw(canvas, text, pixels, x, baseline - ascent, colour);
}

void ShutDownTypefaces() {
  FT_Done_FreeType(Library());
  FcFini();
}
