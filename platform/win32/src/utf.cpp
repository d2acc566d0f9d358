#include "win32/utf.h"

#include "utf_codec.h"

namespace win32 {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at text[i]; returns the code point, or -1 for a malformed sequence
// (then `length` is the number of bytes to skip).
long DecodeUtf8(std::string_view text, size_t i, size_t& length) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char c = byte(i);
  length = 1;
  if (c < 0x80) return c;
  size_t need;
  long cp, min;
  if ((c & 0xE0) == 0xC0) {
    need = 1, cp = c & 0x1F, min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    need = 2, cp = c & 0x0F, min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    need = 3, cp = c & 0x07, min = 0x10000;
  } else {
    return -1;
  }
  for (size_t k = 1; k <= need; ++k) {
    if (i + k >= text.size() || (byte(i + k) & 0xC0) != 0x80) {
      length = k;
      return -1;
    }
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  length = need + 1;
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

bool AppendUtf8AsUtf16(std::string_view text, bool strict, std::u16string& out) {
  out.reserve(out.size() + text.size());
  for (size_t i = 0; i < text.size();) {
    size_t length;
    long cp = DecodeUtf8(text, i, length);
    i += length;
    if (cp < 0) {
      if (strict) return false;
      cp = kReplacement;
    }
    if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return true;
}

bool AppendUtf16AsUtf8(std::u16string_view text, bool strict, std::string& out, bool* replaced) {
  if (replaced) *replaced = false;
  out.reserve(out.size() + text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (IsHighSurrogate(cp) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (IsHighSurrogate(cp) || IsLowSurrogate(cp)) {
      if (strict) return false;
      cp = kReplacement;
      if (replaced) *replaced = true;
    }
    AppendUtf8(out, cp);
  }
  return true;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  AppendUtf16AsUtf8(text, false, out);
  return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  AppendUtf8AsUtf16(text, false, out);
  return out;
}

std::optional<std::string> StrictUtf16ToUtf8(std::u16string_view text) {
  std::string out;
  if (!AppendUtf16AsUtf8(text, true, out)) return std::nullopt;
  return out;
}

std::optional<std::u16string> StrictUtf8ToUtf16(std::string_view text) {
  std::u16string out;
  if (!AppendUtf8AsUtf16(text, true, out)) return std::nullopt;
  return out;
}

}  // namespace win32
