// Conversion between UTF-8 (every narrow code page here) and UTF-16.
#include <cstring>
#include <string>

#include "last_error.h"
#include "win32/winerror.h"
#include "win32/winnls.h"

using namespace win32_detail;

namespace {

bool IsUtf8CodePage(UINT codePage) {
  return codePage == CP_ACP || codePage == CP_OEMCP || codePage == CP_MACCP || codePage == CP_THREAD_ACP ||
         codePage == CP_UTF8;
}

// Decodes one UTF-8 sequence at text[i]; returns the code point or -1 for a malformed sequence
// (then `length` is the number of bytes to skip).
long DecodeUtf8(const unsigned char* text, size_t size, size_t i, size_t& length) {
  const unsigned char c = text[i];
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
    if (i + k >= size || (text[i + k] & 0xC0) != 0x80) {
      length = k;
      return -1;
    }
    cp = (cp << 6) | (text[i + k] & 0x3F);
  }
  length = need + 1;
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
  return cp;
}

void AppendUtf8(std::string& out, unsigned long cp) {
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

// Hands the converted text to the caller with the platform's size rules.
template <class Char>
int Deliver(const std::basic_string<Char>& text, Char* out, int outSize) {
  if (outSize == 0) return static_cast<int>(text.size());
  if (!out || outSize < 0) return Fail(ERROR_INVALID_PARAMETER);
  if (text.size() > static_cast<size_t>(outSize)) return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(out, text.data(), text.size() * sizeof(Char));
  return static_cast<int>(text.size());
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByteStr, int multiByte, LPWSTR wideCharStr,
                        int wideChar) {
  if (!IsUtf8CodePage(codePage) || !multiByteStr || multiByte == 0 || multiByte < -1) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  const size_t size = multiByte == -1 ? std::strlen(multiByteStr) + 1 : static_cast<size_t>(multiByte);
  const auto* text = reinterpret_cast<const unsigned char*>(multiByteStr);
  std::u16string wide;
  wide.reserve(size);
  for (size_t i = 0; i < size;) {
    size_t length;
    long cp = DecodeUtf8(text, size, i, length);
    i += length;
    if (cp < 0) {
      if (flags & MB_ERR_INVALID_CHARS) return Fail(ERROR_NO_UNICODE_TRANSLATION);
      cp = 0xFFFD;
    }
    if (cp >= 0x10000) {
      wide += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      wide += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      wide += static_cast<char16_t>(cp);
    }
  }
  return Deliver(wide, wideCharStr, wideChar);
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wideCharStr, int wideChar, LPSTR multiByteStr,
                        int multiByte, LPCSTR /*defaultChar*/, LPBOOL usedDefaultChar) {
  if (!IsUtf8CodePage(codePage) || !wideCharStr || wideChar == 0 || wideChar < -1) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  size_t size = static_cast<size_t>(wideChar);
  if (wideChar == -1) size = std::char_traits<char16_t>::length(wideCharStr) + 1;
  std::string narrow;
  narrow.reserve(size);
  bool replaced = false;
  for (size_t i = 0; i < size; ++i) {
    unsigned long cp = wideCharStr[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < size && wideCharStr[i + 1] >= 0xDC00 && wideCharStr[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (wideCharStr[++i] - 0xDC00);
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      if (flags & WC_ERR_INVALID_CHARS) return Fail(ERROR_NO_UNICODE_TRANSLATION);
      cp = 0xFFFD;
      replaced = true;
    }
    AppendUtf8(narrow, cp);
  }
  if (usedDefaultChar) *usedDefaultChar = replaced;
  return Deliver(narrow, multiByteStr, multiByte);
}

BOOL OemToCharBuff(LPCSTR source, LPSTR destination, DWORD length) {
  if (!source || !destination) return Fail(ERROR_INVALID_PARAMETER);
  std::memmove(destination, source, length);
  return TRUE;
}
