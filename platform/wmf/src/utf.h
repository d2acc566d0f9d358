#pragma once
// UTF-16 and UTF-8 text for the XML library.
#include <optional>
#include <string>
#include <string_view>

namespace wmf {

// Null when the text holds an unpaired surrogate.
std::optional<std::string> ToUtf8(std::u16string_view text);
// Null when the text is not well-formed UTF-8.
std::optional<std::u16string> ToUtf16(std::string_view text);

}  // namespace wmf
