#include "member_names.h"

namespace ole {

namespace {
char16_t Fold(char16_t c) { return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c; }
}  // namespace

bool NameEquals(const std::string& name, LPCOLESTR wide) {
  if (!wide) return false;
  size_t i = 0;
  for (; i < name.size(); ++i) {
    if (!wide[i] || Fold(static_cast<unsigned char>(name[i])) != Fold(wide[i])) return false;
  }
  return wide[i] == 0;
}

std::u16string WideFromAscii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

}  // namespace ole
