// Font objects: creation from LOGFONT, stock fonts, GetObject, metrics and face names.
#include <algorithm>
#include <cstring>
#include <type_traits>

#include "last_error.h"
#include "text/font_object.h"
#include "text/text_units.h"
#include "win32/windows.h"

namespace win32::text {
namespace {

LOGFONTW WideFromAnsi(const LOGFONTA& a) {
  LOGFONTW w{};
  std::memcpy(&w, &a, offsetof(LOGFONTA, lfFaceName));
  size_t n = 0;
  while (n < LF_FACESIZE && a.lfFaceName[n]) ++n;
  std::u32string name = FromAnsi(a.lfFaceName, int(n));
  size_t out = 0;
  for (char32_t c : name) {
    size_t units = c >= 0x10000 ? 2 : 1;
    if (out + units > LF_FACESIZE - 1) break;
    if (units == 2) {
      w.lfFaceName[out++] = char16_t(0xD800 + ((c - 0x10000) >> 10));
      w.lfFaceName[out++] = char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      w.lfFaceName[out++] = char16_t(c);
    }
  }
  return w;
}

// Copies UTF-8 text into a fixed buffer of size bytes, never cutting a character, NUL included.
void CopyAnsi(const std::string& text, char* buffer, size_t size) {
  size_t n = std::min(text.size(), size - 1);
  while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(buffer, text.data(), n);
  buffer[n] = 0;
}

// A LOGFONT of either width from CreateFont's arguments, with an empty face name.
template <class LogFont>
LogFont FontArguments(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                      DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision,
                      DWORD iQuality, DWORD iPitchAndFamily) {
  LogFont lf{};
  lf.lfHeight = cHeight;
  lf.lfWidth = cWidth;
  lf.lfEscapement = cEscapement;
  lf.lfOrientation = cOrientation;
  lf.lfWeight = cWeight;
  lf.lfItalic = BYTE(bItalic);
  lf.lfUnderline = BYTE(bUnderline);
  lf.lfStrikeOut = BYTE(bStrikeOut);
  lf.lfCharSet = BYTE(iCharSet);
  lf.lfOutPrecision = BYTE(iOutPrecision);
  lf.lfClipPrecision = BYTE(iClipPrecision);
  lf.lfQuality = BYTE(iQuality);
  lf.lfPitchAndFamily = BYTE(iPitchAndFamily);
  return lf;
}

HFONT AddFont(const LOGFONTW& lf, bool stock) {
  auto font = std::make_shared<FontObject>(lf);
  font->stock = stock;
  HFONT h = gdi::AddGdiObject<HFONT>(HandleKind::Font, font);
  if (!h) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return h;
}

LOGFONTW Describe(int height, int weight, BYTE charSet, BYTE pitchAndFamily, const char16_t* face) {
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfCharSet = charSet;
  lf.lfPitchAndFamily = pitchAndFamily;
  for (size_t i = 0; face[i] && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = face[i];
  return lf;
}

// The platform's stock fonts; the default GUI font is the dialog face at 8 points.
HGDIOBJ MakeStockFont(int index) {
  LOGFONTW lf;
  switch (index) {
    case OEM_FIXED_FONT:
      lf = Describe(12, FW_NORMAL, OEM_CHARSET, FIXED_PITCH | FF_MODERN, u"Terminal");
      break;
    case ANSI_FIXED_FONT:
      lf = Describe(12, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, u"Courier");
      break;
    case ANSI_VAR_FONT:
      lf = Describe(13, FW_NORMAL, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, u"MS Sans Serif");
      break;
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
      lf = Describe(16, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, u"System");
      break;
    case SYSTEM_FIXED_FONT:
      lf = Describe(15, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, u"Fixedsys");
      break;
    case DEFAULT_GUI_FONT:
      lf = Describe(-11, FW_NORMAL, DEFAULT_CHARSET, VARIABLE_PITCH | FF_SWISS, u"MS Shell Dlg");
      break;
    default:
      return nullptr;
  }
  return AddFont(lf, true);
}

[[maybe_unused]] const bool kStockFontsRegistered = [] {
  gdi::SetStockFontMaker(&MakeStockFont);
  return true;
}();

template <class TM>
BOOL FillMetrics(HDC hdc, TM* tm) {
  constexpr bool wide = std::is_same_v<TM, TEXTMETRICW>;
  auto dc = gdi::FindDC(hdc);
  if (!dc || !tm) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  SelectedFont font = FontOf(*dc);
  const FontMetrics& m = font.face->Metrics();
  *tm = TM{};
  tm->tmHeight = m.height;
  tm->tmAscent = m.ascent;
  tm->tmDescent = m.descent;
  tm->tmInternalLeading = m.internalLeading;
  tm->tmExternalLeading = m.externalLeading;
  tm->tmAveCharWidth = m.aveCharWidth;
  tm->tmMaxCharWidth = m.maxCharWidth;
  tm->tmWeight = m.weight;
  tm->tmDigitizedAspectX = 96;
  tm->tmDigitizedAspectY = 96;
  tm->tmFirstChar = 0x20;
  if constexpr (wide) {
    tm->tmLastChar = 0xFFFC;
    tm->tmDefaultChar = 0xFFFD;
  } else {
    tm->tmLastChar = 0xFF;
    tm->tmDefaultChar = '?';
  }
  tm->tmBreakChar = 0x20;
  tm->tmItalic = m.italic ? 255 : 0;
  tm->tmUnderlined = m.underline ? 255 : 0;
  tm->tmStruckOut = m.strikeOut ? 255 : 0;
  // As on the platform, the low bit set means a variable pitch.
  tm->tmPitchAndFamily = BYTE((m.pitchAndFamily & 0xF0) | ((m.pitchAndFamily & 3) == FIXED_PITCH ? 0 : 1));
  tm->tmCharSet = m.charSet;
  return TRUE;
}

}  // namespace

int FontObject::Describe(void* buffer, int size) const {
  if (!buffer) return int(sizeof(LOGFONTA));
  if (size < int(sizeof(LOGFONTA))) return 0;
  LOGFONTA a{};
  std::memcpy(&a, &logFont, offsetof(LOGFONTW, lfFaceName));
  size_t n = 0;
  while (n < LF_FACESIZE && logFont.lfFaceName[n]) ++n;
  CopyAnsi(ToAnsi(std::u16string_view(logFont.lfFaceName, n)), a.lfFaceName, LF_FACESIZE);
  std::memcpy(buffer, &a, sizeof a);
  return int(sizeof a);
}

SelectedFont FontOf(const gdi::DeviceContext& dc) {
  auto font = std::dynamic_pointer_cast<FontObject>(dc.state.font);
  if (!font) font = LookupHandle<FontObject>(GetStockObject(SYSTEM_FONT), HandleKind::Font);
  LOGFONTW lf = font ? font->logFont : Describe(16, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, u"System");
  return {lf, RealizeFont(lf)};
}

}  // namespace win32::text

using namespace win32;
using namespace win32::text;

HFONT CreateFontIndirectW(const LOGFONTW* lplf) {
  if (!lplf) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  LOGFONTW lf = *lplf;
  lf.lfFaceName[LF_FACESIZE - 1] = 0;
  return AddFont(lf, false);
}

HFONT CreateFontIndirectA(const LOGFONTA* lplf) {
  if (!lplf) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  LOGFONTW lf = WideFromAnsi(*lplf);
  return AddFont(lf, false);
}

HFONT CreateFontW(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                  DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision,
                  DWORD iQuality, DWORD iPitchAndFamily, LPCWSTR pszFaceName) {
  LOGFONTW lf = FontArguments<LOGFONTW>(cHeight, cWidth, cEscapement, cOrientation, cWeight, bItalic, bUnderline,
                                        bStrikeOut, iCharSet, iOutPrecision, iClipPrecision, iQuality, iPitchAndFamily);
  for (size_t i = 0; pszFaceName && pszFaceName[i] && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = pszFaceName[i];
  return CreateFontIndirectW(&lf);
}

HFONT CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                  DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision,
                  DWORD iQuality, DWORD iPitchAndFamily, LPCSTR pszFaceName) {
  LOGFONTA lf = FontArguments<LOGFONTA>(cHeight, cWidth, cEscapement, cOrientation, cWeight, bItalic, bUnderline,
                                        bStrikeOut, iCharSet, iOutPrecision, iClipPrecision, iQuality, iPitchAndFamily);
  if (pszFaceName) CopyAnsi(pszFaceName, lf.lfFaceName, LF_FACESIZE);
  return CreateFontIndirectA(&lf);
}

BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) { return FillMetrics(hdc, lptm); }
BOOL GetTextMetricsW(HDC hdc, LPTEXTMETRICW lptm) { return FillMetrics(hdc, lptm); }

int GetTextFaceW(HDC hdc, int c, LPWSTR lpName) {
  auto dc = gdi::FindDC(hdc);
  if (!dc || (lpName && c <= 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::u16string name = EffectiveFaceName(FontOf(*dc).logFont);
  if (!lpName) return int(name.size()) + 1;
  size_t n = std::min(name.size(), size_t(c) - 1);
  if (n > 0 && n < name.size() && name[n - 1] >= 0xD800 && name[n - 1] < 0xDC00) --n;
  std::memcpy(lpName, name.data(), n * sizeof(WCHAR));
  lpName[n] = 0;
  return int(n) + 1;
}

int GetTextFaceA(HDC hdc, int c, LPSTR lpName) {
  auto dc = gdi::FindDC(hdc);
  if (!dc || (lpName && c <= 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string name = ToAnsi(EffectiveFaceName(FontOf(*dc).logFont));
  if (!lpName) return int(name.size()) + 1;
  CopyAnsi(name, lpName, size_t(c));
  return int(std::strlen(lpName)) + 1;
}

UINT SetTextAlign(HDC hdc, UINT align) {
  auto dc = gdi::FindDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return GDI_ERROR;
  }
  UINT old = dc->state.textAlign;
  dc->state.textAlign = align;
  return old;
}

UINT GetTextAlign(HDC hdc) {
  auto dc = gdi::FindDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return GDI_ERROR;
  }
  return dc->state.textAlign;
}
