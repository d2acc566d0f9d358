// Installed faces: fontconfig picks the file (through the configuration in the program folder,
// which maps the platform's face names), FreeType draws the glyphs. Heights follow the platform:
// a positive height is the cell (Windows ascent + descent), a negative one the em.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <mutex>
#include <string>
#include <unordered_map>

#include "text/font_engine.h"
#include "text/text_units.h"
#include "win32/font_config.h"

namespace win32::text {
namespace {

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library l = nullptr;
    FT_Init_FreeType(&l);
    return l;
  }();
  return library;
}

int Round(double v) { return int(std::lround(v)); }

class FreeTypeFace : public FontFace {
 public:
  explicit FreeTypeFace(const LOGFONTW& f) {
    int wantWeight = f.lfWeight == 0 ? FW_NORMAL : int(f.lfWeight);
    std::string file = Match(f, wantWeight);
    if (file.empty() || FT_New_Face(Library(), file.c_str(), index_, &face_) != 0) face_ = nullptr;
    if (face_ && f.lfCharSet == SYMBOL_CHARSET) FT_Select_Charmap(face_, FT_ENCODING_MS_SYMBOL);
    mono_ = f.lfQuality == NONANTIALIASED_QUALITY;

    double upem = 2048, winAscent = 1901, winDescent = 483, avg = 1038;
    double ulPos = -175, ulThick = 90, strikePos = 530, strikeSize = 102, maxAdvance = 2000;
    if (face_) {
      upem = face_->units_per_EM;
      winAscent = face_->ascender;
      winDescent = -face_->descender;
      maxAdvance = face_->max_advance_width;
      ulPos = face_->underline_position;
      ulThick = face_->underline_thickness;
      if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2))) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
          winAscent = os2->usWinAscent;
          winDescent = os2->usWinDescent;
        }
        if (os2->xAvgCharWidth > 0) avg = os2->xAvgCharWidth;
        strikePos = os2->yStrikeoutPosition;
        strikeSize = os2->yStrikeoutSize;
      }
    }
    const double cellUnits = winAscent + winDescent;
    double em;
    int cell;
    if (f.lfHeight < 0) {
      em = -double(f.lfHeight);
      cell = Round(em * cellUnits / upem);
    } else {
      cell = f.lfHeight == 0 ? 16 : int(f.lfHeight);
      em = cell * upem / cellUnits;
    }
    const double yScale = em / upem;
    double xScale = yScale;
    if (f.lfWidth > 0) xScale = double(f.lfWidth) / avg;
    if (face_) FT_Set_Char_Size(face_, FT_F26Dot6(std::lround(xScale * upem * 64)), FT_F26Dot6(std::lround(em * 64)), 72, 72);

    FontMetrics& m = metrics_;
    m.height = cell;
    m.ascent = Round(winAscent * yScale);
    m.descent = cell - m.ascent;
    m.internalLeading = cell - Round(em);
    if (m.internalLeading < 0) m.internalLeading = 0;
    m.aveCharWidth = f.lfWidth > 0 ? int(f.lfWidth) : Round(avg * xScale);
    m.maxCharWidth = Round(maxAdvance * xScale);
    m.weight = wantWeight;
    m.italic = f.lfItalic != 0;
    m.underline = f.lfUnderline != 0;
    m.strikeOut = f.lfStrikeOut != 0;
    m.pitchAndFamily = (face_ && FT_IS_FIXED_WIDTH(face_)) ? (FIXED_PITCH | FF_MODERN) : (VARIABLE_PITCH | FF_SWISS);
    m.charSet = f.lfCharSet;
    m.underlineThickness = std::max(1, Round(ulThick * yScale));
    m.underlineOffset = std::max(1, Round(-ulPos * yScale) - m.underlineThickness / 2);
    m.strikeThickness = std::max(1, Round(strikeSize * yScale));
    m.strikeOffset = -Round(strikePos * yScale);
    emboldenWanted_ = wantWeight >= FW_SEMIBOLD && matchedWeight_ < FC_WEIGHT_DEMIBOLD;
    obliqueWanted_ = f.lfItalic != 0 && matchedSlant_ == FC_SLANT_ROMAN;
  }

  ~FreeTypeFace() override {
    if (face_) FT_Done_Face(face_);
  }

  int Advance(char32_t ch) override {
    std::lock_guard lock(mutex_);
    auto found = advances_.find(ch);
    if (found != advances_.end()) return found->second;
    int advance = 0;
    if (Load(ch)) advance = int((face_->glyph->advance.x + 32) >> 6);
    advances_.emplace(ch, advance);
    return advance;
  }

  void Draw(char32_t ch, CoverageMask& mask, int x, int baseline) override {
    std::lock_guard lock(mutex_);
    if (!Load(ch)) return;
    FT_GlyphSlot slot = face_->glyph;
    if (FT_Render_Glyph(slot, mono_ ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return;
    const FT_Bitmap& b = slot->bitmap;
    for (unsigned row = 0; row < b.rows; ++row) {
      const unsigned char* line = b.buffer + std::ptrdiff_t(row) * b.pitch;
      for (unsigned col = 0; col < b.width; ++col) {
        uint8_t value = b.pixel_mode == FT_PIXEL_MODE_MONO ? ((line[col >> 3] >> (7 - (col & 7))) & 1 ? 255 : 0)
                                                           : line[col];
        if (value) mask.Cover(x + slot->bitmap_left + int(col), baseline - slot->bitmap_top + int(row), value);
      }
    }
  }

 private:
  std::string Match(const LOGFONTW& f, int weight) {
    FcPattern* pattern = FcPatternCreate();
    std::string family = ToAnsi(EffectiveFaceName(f));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, f.lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(ProcessFontConfig(), pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(ProcessFontConfig(), pattern, &result);
    FcPatternDestroy(pattern);
    std::string file;
    if (match) {
      FcChar8* path = nullptr;
      if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) file = reinterpret_cast<char*>(path);
      int index = 0;
      if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) index_ = index;
      FcPatternGetInteger(match, FC_WEIGHT, 0, &matchedWeight_);
      FcPatternGetInteger(match, FC_SLANT, 0, &matchedSlant_);
      FcPatternDestroy(match);
    }
    return file;
  }

  bool Load(char32_t ch) {
    if (!face_) return false;
    FT_UInt glyph = FT_Get_Char_Index(face_, ch);
    if (glyph == 0 && ch < 0x100) glyph = FT_Get_Char_Index(face_, 0xF000 | ch);
    if (FT_Load_Glyph(face_, glyph, mono_ ? FT_LOAD_TARGET_MONO : FT_LOAD_DEFAULT) != 0) return false;
    if (emboldenWanted_) FT_GlyphSlot_Embolden(face_->glyph);
    if (obliqueWanted_) FT_GlyphSlot_Oblique(face_->glyph);
    return true;
  }

  FT_Face face_ = nullptr;
  int index_ = 0;
  int matchedWeight_ = FC_WEIGHT_REGULAR;
  int matchedSlant_ = FC_SLANT_ROMAN;
  bool mono_ = false;
  bool emboldenWanted_ = false;
  bool obliqueWanted_ = false;
  std::mutex mutex_;
  std::unordered_map<char32_t, int> advances_;
};

}  // namespace

std::shared_ptr<FontFace> MakeFreeTypeFace(const LOGFONTW& font) { return std::make_shared<FreeTypeFace>(font); }

}  // namespace win32::text
