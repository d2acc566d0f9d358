#pragma once
// Member names compare without case (ASCII), as automation clients expect.
#include <string>

#include "ole/unknwn.h"

namespace ole {

bool NameEquals(const std::string& name, LPCOLESTR wide);
// ASCII text as UTF-16 (member names are ASCII).
std::u16string WideFromAscii(const std::string& text);

}  // namespace ole
