#pragma once
// Font families, fonts and string formats. Faces are found through fontconfig with the program
// folder's configuration, which maps the platform's face names to installed ones.
#include <memory>
#include <string>

#include "gdiplus/gdiplus_types.h"

namespace gdiplus::text {
class Face;
}

namespace Gdiplus {

class FontFamily {
 public:
  FontFamily();
  // FontFamilyNotFound when no installed face answers to the name.
  explicit FontFamily(const WCHAR* name);
  ~FontFamily();
  FontFamily(const FontFamily&) = delete;
  FontFamily& operator=(const FontFamily&) = delete;

  // The family GDI+ falls back on: the system's sans-serif face.
  static const FontFamily* GenericSansSerif();

  BOOL IsAvailable() const;
  Status GetLastStatus() const;

 private:
  std::string family_;  // the installed family the name resolves to; empty when none
  mutable Status lastResult_ = Ok;

  friend class Font;
  friend class GraphicsPath;
};

class Font {
 public:
  // Sizes in UnitPixel or UnitWorld are pixels, in UnitPoint points at 96 dots an inch.
  Font(const FontFamily* family, REAL emSize, INT style = FontStyleRegular, Unit unit = UnitPoint);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  BOOL IsAvailable() const;
  Status GetLastStatus() const;
  INT GetStyle() const { return style_; }
  REAL GetSize() const { return size_; }
  Unit GetUnit() const { return unit_; }

 private:
  std::shared_ptr<gdiplus::text::Face> face_;
  REAL size_;
  INT style_;
  Unit unit_;
  REAL pixels_ = 0;  // the em size in pixels
  mutable Status lastResult_ = Ok;

  friend class Graphics;
};

class StringFormat {
 public:
  // Of the flags, NoWrap and NoClip are honoured.
  explicit StringFormat(INT formatFlags = 0, LANGID language = LANG_NEUTRAL);

  INT GetFormatFlags() const { return flags_; }
  LANGID GetLanguage() const { return language_; }
  Status GetLastStatus() const { return Ok; }

 private:
  INT flags_;
  LANGID language_;
};

}  // namespace Gdiplus
