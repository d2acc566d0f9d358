#pragma once
// The UTF-8/UTF-16 codec behind win32/utf.h and the code-page calls.
#include <string>
#include <string_view>

namespace win32 {

// Appends the converted text. Malformed input becomes U+FFFD, or under `strict` stops the
// conversion and returns false. *replaced (when given) tells whether anything was replaced.
bool AppendUtf8AsUtf16(std::string_view text, bool strict, std::u16string& out);
bool AppendUtf16AsUtf8(std::u16string_view text, bool strict, std::string& out, bool* replaced = nullptr);

}  // namespace win32
