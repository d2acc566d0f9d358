#pragma once
// UTF-16 string helpers of the media framework.
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

// A CoTaskMemAlloc copy for the caller to free; E_OUTOFMEMORY when it cannot be made.
inline HRESULT TaskMemWideCopy(LPCWSTR text, LPWSTR* out) {
  if (!out) return E_POINTER;
  size_t n = text ? std::char_traits<char16_t>::length(text) : 0;
  *out = static_cast<LPWSTR>(CoTaskMemAlloc((n + 1) * sizeof(WCHAR)));
  if (!*out) return E_OUTOFMEMORY;
  if (n) std::char_traits<char16_t>::copy(*out, text, n);
  (*out)[n] = 0;
  return S_OK;
}

// Copies into a fixed buffer of count units, cut to fit, always terminated.
inline void CopyWideTruncated(WCHAR* dest, size_t count, LPCWSTR text) {
  size_t n = text ? std::char_traits<char16_t>::length(text) : 0;
  if (n >= count) n = count - 1;
  if (n) std::char_traits<char16_t>::copy(dest, text, n);
  dest[n] = 0;
}

std::string Utf8FromWide(std::u16string_view text);
std::u16string WideFromUtf8(std::string_view text);

}  // namespace dshow
