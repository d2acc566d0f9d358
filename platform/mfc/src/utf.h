#pragma once
// Conversion between the framework's two text forms. Malformed input becomes U+FFFD.
#include <cstddef>
#include <string>

namespace afx_impl {

std::string Utf16ToUtf8(const char16_t* text, size_t length);
std::u16string Utf8ToUtf16(const char* text, size_t length);

}  // namespace afx_impl
