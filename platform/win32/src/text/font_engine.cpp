#include "text/font_engine.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <tuple>

namespace win32::text {
namespace {

bool SameFaceName(const WCHAR* a, std::u16string_view b) {
  size_t i = 0;
  for (; i < LF_FACESIZE && a[i]; ++i) {
    if (i >= b.size()) return false;
    char16_t x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = char16_t(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = char16_t(y - 'A' + 'a');
    if (x != y) return false;
  }
  return i == b.size();
}

// Everything of a LOGFONT that changes the realised face.
auto FaceKey(const LOGFONTW& f) {
  std::u16string name;
  for (size_t i = 0; i < LF_FACESIZE && f.lfFaceName[i]; ++i) {
    char16_t c = f.lfFaceName[i];
    name += (c >= 'A' && c <= 'Z') ? char16_t(c - 'A' + 'a') : c;
  }
  return std::make_tuple(name, f.lfHeight, f.lfWidth, f.lfWeight, f.lfItalic != 0, f.lfUnderline != 0,
                         f.lfStrikeOut != 0, f.lfCharSet, f.lfQuality, f.lfPitchAndFamily);
}

}  // namespace

std::u16string EffectiveFaceName(const LOGFONTW& font) {
  size_t n = 0;
  while (n < LF_FACESIZE && font.lfFaceName[n]) ++n;
  if (n > 0) return std::u16string(font.lfFaceName, n);
  if ((font.lfPitchAndFamily & 0xF0) == FF_ROMAN) return u"Times New Roman";
  if ((font.lfPitchAndFamily & 0xF0) == FF_MODERN || (font.lfPitchAndFamily & 3) == FIXED_PITCH) return u"Courier New";
  return u"MS Shell Dlg";
}

std::shared_ptr<FontFace> RealizeFont(const LOGFONTW& font) {
  using Key = decltype(FaceKey(font));
  // Kept for the process's life: faces outlive every static user.
  static auto* mutex = new std::mutex;
  static auto* cache = new std::map<Key, std::shared_ptr<FontFace>>;
  std::lock_guard lock(*mutex);
  Key key = FaceKey(font);
  auto found = cache->find(key);
  if (found != cache->end()) return found->second;
  std::shared_ptr<FontFace> face;
  if (SameFaceName(font.lfFaceName, kTestFaceName))
    face = MakeBoxFace(font);
  else if (SameFaceName(font.lfFaceName, u"Marlett"))
    face = MakeMarlettFace(font);
  else
    face = MakeFreeTypeFace(font);
  cache->emplace(key, face);
  return face;
}

int MeasureRun(FontFace& face, std::u32string_view text) {
  int width = 0;
  for (char32_t ch : text) width += face.Advance(ch);
  return width;
}

CoverageMask RenderRun(FontFace& face, std::u32string_view text, const std::vector<int>* advances,
                       const std::vector<bool>* underlined) {
  const FontMetrics& m = face.Metrics();
  // Room for glyph parts that reach past their advance (italic, overhangs).
  const int slack = m.height / 2 + 2;
  auto advanceOf = [&](size_t i) {
    return advances && i < advances->size() ? (*advances)[i] : face.Advance(text[i]);
  };
  int total = 0;
  for (size_t i = 0; i < text.size(); ++i) total += advanceOf(i);
  CoverageMask mask(std::max(0, total) + 2 * slack, m.height);
  int x = slack;
  auto line = [&](int x0, int x1, int offset, int thickness) {
    int top = m.ascent + offset;
    mask.FillRows(x0, x1, std::max(0, top), std::min(m.height, top + thickness));
  };
  for (size_t i = 0; i < text.size(); ++i) {
    int advance = advanceOf(i);
    face.Draw(text[i], mask, x, m.ascent);
    if (underlined && i < underlined->size() && (*underlined)[i])
      line(x, x + advance, m.underlineOffset, m.underlineThickness);
    x += advance;
  }
  if (m.underline) line(slack, x, m.underlineOffset, m.underlineThickness);
  if (m.strikeOut) line(slack, x, m.strikeOffset, m.strikeThickness);
  mask.originX = slack;
  mask.advance = x - slack;
  return mask;
}

}  // namespace win32::text
