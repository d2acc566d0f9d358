#pragma once
// Text arriving at the text functions as code points: ANSI text is UTF-8, wide text UTF-16.
// Malformed sequences become U+FFFD rather than being dropped, so counts stay predictable.
#include <string>
#include <string_view>
#include <vector>

#include "win32/wintypes.h"

namespace win32::text {

// count < 0: up to the terminating NUL. starts (optional) receives the offset of each code
// point's first unit.
std::u32string FromAnsi(const char* text, int count, std::vector<size_t>* starts = nullptr);
std::u32string FromWide(const WCHAR* text, int count, std::vector<size_t>* starts = nullptr);
std::string ToAnsi(std::u16string_view text);

}  // namespace win32::text
