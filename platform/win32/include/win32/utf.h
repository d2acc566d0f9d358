#pragma once
// The one conversion between the platform's two text forms: UTF-8 (narrow) and UTF-16 (wide).
#include <optional>
#include <string>
#include <string_view>

namespace win32 {

// Malformed input (a bad UTF-8 sequence, an unpaired surrogate) becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

// Null when the input is malformed.
std::optional<std::string> StrictUtf16ToUtf8(std::u16string_view text);
std::optional<std::u16string> StrictUtf8ToUtf16(std::string_view text);

}  // namespace win32
