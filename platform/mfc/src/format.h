#pragma once
// The framework's printf engine shared by both string types.
#include <cstdarg>
#include <string>

namespace mfc {

// Appends the formatted text (UTF-8) to out. wide: the caller is a wide-string function, so %s and
// %c take UTF-16 and %S and %C take 8-bit text.
void FormatAppend(std::string& out, const char* format, va_list args, bool wide);

}  // namespace mfc
