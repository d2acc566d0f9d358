#include <utility>

#include "fonts.h"
#include "gdiplus/gdiplus.h"
#include "pixels.h"

namespace Gdiplus {

FontFamily::FontFamily() = default;

FontFamily::FontFamily(const WCHAR* name) {
  if (!gdiplus::Started()) {
    lastResult_ = GdiplusNotInitialized;
    return;
  }
  if (!name) {
    lastResult_ = InvalidParameter;
    return;
  }
  family_ = gdiplus::text::ResolveFamily(name);
  if (family_.empty()) lastResult_ = FontFamilyNotFound;
}

FontFamily::~FontFamily() = default;

const FontFamily* FontFamily::GenericSansSerif() {
  // Before start-up an empty family answers, so that the one kept for the process is made only
  // once GDI+ is up.
  static const FontFamily* beforeStartup = new FontFamily();
  if (!gdiplus::Started()) return beforeStartup;
  static const FontFamily* generic = new FontFamily(u"Microsoft Sans Serif");
  return generic;
}

BOOL FontFamily::IsAvailable() const { return !family_.empty(); }
Status FontFamily::GetLastStatus() const { return std::exchange(lastResult_, Ok); }

Font::Font(const FontFamily* family, REAL emSize, INT style, Unit unit) : size_(emSize), style_(style), unit_(unit) {
  if (!gdiplus::Started()) {
    lastResult_ = GdiplusNotInitialized;
    return;
  }
  if (!family || emSize <= 0) {
    lastResult_ = InvalidParameter;
    return;
  }
  switch (unit) {
    case UnitWorld:
    case UnitPixel:
      pixels_ = emSize;
      break;
    case UnitPoint:
      pixels_ = emSize * 96 / 72;
      break;
    case UnitInch:
      pixels_ = emSize * 96;
      break;
    case UnitDocument:
      pixels_ = emSize * 96 / 300;
      break;
    case UnitMillimeter:
      pixels_ = emSize * 96 / 25.4f;
      break;
    default:
      lastResult_ = InvalidParameter;
      return;
  }
  if (!family->IsAvailable()) {
    lastResult_ = FontFamilyNotFound;
    return;
  }
  face_ = gdiplus::text::FindFace(family->family_, style);
  if (!face_) lastResult_ = FontStyleNotFound;
}

Font::~Font() = default;

BOOL Font::IsAvailable() const { return face_ != nullptr; }
Status Font::GetLastStatus() const { return std::exchange(lastResult_, Ok); }

StringFormat::StringFormat(INT formatFlags, LANGID language) : flags_(formatFlags), language_(language) {}

}  // namespace Gdiplus
