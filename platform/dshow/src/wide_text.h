#pragma once
// Copies of UTF-16 strings the base classes keep and hand out.
#include <string>

#include "ole/ole.h"

namespace dshow {

inline std::u16string WideString(LPCWSTR text) { return text ? std::u16string(text) : std::u16string(); }

// A new[] copy (NULL stays NULL).
inline WCHAR* NewWideCopy(LPCWSTR text) {
  if (!text) return nullptr;
  size_t n = std::char_traits<char16_t>::length(text);
  WCHAR* copy = new WCHAR[n + 1];
  std::char_traits<char16_t>::copy(copy, text, n + 1);
  return copy;
}

// Copies into a fixed buffer of count units, cut to fit, always terminated.
inline void CopyWideTruncated(WCHAR* dest, size_t count, LPCWSTR text) {
  size_t n = text ? std::char_traits<char16_t>::length(text) : 0;
  if (n >= count) n = count - 1;
  if (n) std::char_traits<char16_t>::copy(dest, text, n);
  dest[n] = 0;
}

}  // namespace dshow
