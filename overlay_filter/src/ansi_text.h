#pragma once
// Settings strings are in the ANSI code page; GDI+ takes UTF-16.
#include <string>

#include "win32/windows.h"

namespace overlay_filter {

// The whole string converted, however long it is.
inline std::u16string WideFromAnsi(const char* text) {
  int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (units <= 0) return {};
  std::u16string wide(size_t(units), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), units);
  wide.resize(size_t(units - 1));
  return wide;
}

}  // namespace overlay_filter
