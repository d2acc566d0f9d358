#include "utf.h"

#include <climits>

#include "win32/windows.h"

namespace afx_impl {

// The platform's own conversion (CP_ACP is UTF-8), so that strings convert exactly as the API
// functions do.
std::string Utf16ToUtf8(const char16_t* text, size_t length) {
  std::string out;
  if (length == 0 || length > INT_MAX / 3) return out;
  out.resize(length * 3);
  int n = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), out.data(), static_cast<int>(out.size()),
                              NULL, NULL);
  out.resize(n > 0 ? n : 0);
  return out;
}

std::u16string Utf8ToUtf16(const char* text, size_t length) {
  std::u16string out;
  if (length == 0 || length > INT_MAX) return out;
  out.resize(length);
  int n = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), out.data(), static_cast<int>(out.size()));
  out.resize(n > 0 ? n : 0);
  return out;
}

}  // namespace afx_impl
