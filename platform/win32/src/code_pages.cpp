// Conversion between UTF-8 (every narrow code page here) and UTF-16.
#include <cstring>
#include <string>

#include "last_error.h"
#include "utf_codec.h"
#include "win32/winerror.h"
#include "win32/winnls.h"

using namespace win32;

namespace {

bool IsUtf8CodePage(UINT codePage) {
  return codePage == CP_ACP || codePage == CP_OEMCP || codePage == CP_MACCP || codePage == CP_THREAD_ACP ||
         codePage == CP_UTF8;
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
  std::u16string wide;
  if (!win32::AppendUtf8AsUtf16({multiByteStr, size}, (flags & MB_ERR_INVALID_CHARS) != 0, wide)) {
    return Fail(ERROR_NO_UNICODE_TRANSLATION);
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
  bool replaced = false;
  if (!win32::AppendUtf16AsUtf8({wideCharStr, size}, (flags & WC_ERR_INVALID_CHARS) != 0, narrow, &replaced)) {
    return Fail(ERROR_NO_UNICODE_TRANSLATION);
  }
  if (usedDefaultChar) *usedDefaultChar = replaced;
  return Deliver(narrow, multiByteStr, multiByte);
}

BOOL OemToCharBuff(LPCSTR source, LPSTR destination, DWORD length) {
  if (!source || !destination) return Fail(ERROR_INVALID_PARAMETER);
  std::memmove(destination, source, length);
  return TRUE;
}
