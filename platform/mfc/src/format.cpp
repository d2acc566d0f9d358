#include "format.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "win32/utf.h"

namespace mfc {

namespace {

enum class Size { kInt, kChar, kShort, kLongLong, kPointer, kLongDouble };

template <typename T>
void AppendPrintf(std::string& out, const std::string& directive, T value) {
  char small[128];
  int n = std::snprintf(small, sizeof small, directive.c_str(), value);
  if (n < 0) return;
  if (static_cast<size_t>(n) < sizeof small) {
    out.append(small, n);
    return;
  }
  size_t at = out.size();
  out.resize(at + n + 1);
  std::snprintf(out.data() + at, n + 1, directive.c_str(), value);
  out.resize(at + n);
}

void AppendPadded(std::string& out, const std::string& text, int width, bool left) {
  size_t pad = width > 0 && static_cast<size_t>(width) > text.size() ? width - text.size() : 0;
  if (!left) out.append(pad, ' ');
  out += text;
  if (left) out.append(pad, ' ');
}

size_t Utf16Length(const char16_t* s, int maxUnits) {
  size_t n = 0;
  while ((maxUnits < 0 || n < static_cast<size_t>(maxUnits)) && s[n]) ++n;
  return n;
}

}  // namespace

void FormatAppend(std::string& out, const char* format, va_list args, bool wide) {
  const char* p = format;
  while (*p) {
    if (*p != '%') {
      const char* next = std::strchr(p, '%');
      size_t n = next ? static_cast<size_t>(next - p) : std::strlen(p);
      out.append(p, n);
      p += n;
      continue;
    }
    const char* start = p++;
    if (*p == '%') {
      out += '%';
      ++p;
      continue;
    }
    std::string flags;
    while (*p && std::strchr("-+ #0", *p)) flags += *p++;
    bool left = flags.find('-') != std::string::npos;
    int width = 0;
    if (*p == '*') {
      width = va_arg(args, int);
      if (width < 0) {
        left = true;
        flags += '-';
        width = width == INT32_MIN ? 0 : -width;
      }
      ++p;
    } else {
      while (*p >= '0' && *p <= '9') width = width < 100000000 ? width * 10 + (*p - '0') : width, ++p;
    }
    int precision = -1;
    if (*p == '.') {
      ++p;
      precision = 0;
      if (*p == '*') {
        precision = va_arg(args, int);
        if (precision < 0) precision = -1;
        ++p;
      } else {
        while (*p >= '0' && *p <= '9') precision = precision < 100000000 ? precision * 10 + (*p - '0') : precision, ++p;
      }
    }
    Size size = Size::kInt;
    char textKind = 0;  // 'h' narrow text, 'l' wide text, 0 by the conversion letter
    if (*p == 'h') {
      ++p, size = Size::kShort, textKind = 'h';
      if (*p == 'h') ++p, size = Size::kChar;
    } else if (*p == 'l') {
      ++p, textKind = 'l';
      if (*p == 'l') ++p, size = Size::kLongLong;
    } else if (*p == 'L') {
      ++p, size = Size::kLongDouble;
    } else if (*p == 'q') {
      ++p, size = Size::kLongLong;
    } else if (*p == 'I') {
      if (p[1] == '6' && p[2] == '4')
        p += 3, size = Size::kLongLong;
      else if (p[1] == '3' && p[2] == '2')
        p += 3;
      else
        ++p, size = Size::kPointer;
    } else if (*p == 'z' || *p == 't' || *p == 'j') {
      ++p, size = Size::kPointer;
    }
    char conv = *p;
    if (!conv) {
      out += start;
      break;
    }
    ++p;

    std::string directive = "%";
    directive += flags;
    if (width) directive += std::to_string(width);
    if (precision >= 0) directive.append(".").append(std::to_string(precision));

    switch (conv) {
      case 'd':
      case 'i': {
        long long v;
        if (size == Size::kLongLong)
          v = va_arg(args, long long);
        else if (size == Size::kPointer)
          v = va_arg(args, intptr_t);
        else if (size == Size::kShort)
          v = static_cast<short>(va_arg(args, int));
        else if (size == Size::kChar)
          v = static_cast<signed char>(va_arg(args, int));
        else
          v = va_arg(args, int);
        AppendPrintf(out, directive + "lld", v);
        break;
      }
      case 'u':
      case 'o':
      case 'x':
      case 'X': {
        unsigned long long v;
        if (size == Size::kLongLong)
          v = va_arg(args, unsigned long long);
        else if (size == Size::kPointer)
          v = va_arg(args, uintptr_t);
        else if (size == Size::kShort)
          v = static_cast<unsigned short>(va_arg(args, unsigned));
        else if (size == Size::kChar)
          v = static_cast<unsigned char>(va_arg(args, unsigned));
        else
          v = va_arg(args, unsigned);
        AppendPrintf(out, directive + "ll" + conv, v);
        break;
      }
      case 'f':
      case 'F':
      case 'e':
      case 'E':
      case 'g':
      case 'G':
      case 'a':
      case 'A':
        if (size == Size::kLongDouble)
          AppendPrintf(out, directive + "L" + conv, va_arg(args, long double));
        else
          AppendPrintf(out, directive + conv, va_arg(args, double));
        break;
      case 'c':
      case 'C': {
        bool wideChar = textKind ? textKind == 'l' : (conv == 'C') != wide;
        int v = va_arg(args, int);
        std::string text;
        if (wideChar) {
          char16_t unit = static_cast<char16_t>(v);
          text = win32::Utf16ToUtf8({&unit, 1});
        } else {
          text.assign(1, static_cast<char>(v));
        }
        AppendPadded(out, text, width, left);
        break;
      }
      case 's':
      case 'S': {
        bool wideText = textKind ? textKind == 'l' : (conv == 'S') != wide;
        std::string text;
        if (wideText) {
          const char16_t* s = va_arg(args, const char16_t*);
          text = s ? win32::Utf16ToUtf8({s, Utf16Length(s, precision)}) : std::string("(null)").substr(0, precision < 0 ? 6 : precision);
        } else {
          const char* s = va_arg(args, const char*);
          if (!s) s = "(null)";
          text.assign(s, precision < 0 ? std::strlen(s) : strnlen(s, precision));
        }
        AppendPadded(out, text, width, left);
        break;
      }
      case 'p': {
        char digits[2 * sizeof(void*) + 1];
        std::snprintf(digits, sizeof digits, "%0*llX", static_cast<int>(2 * sizeof(void*)),
                      static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(va_arg(args, void*))));
        AppendPadded(out, digits, width, left);
        break;
      }
      case 'n':
        (void)va_arg(args, void*);
        break;
      default:
        out.append(start, p - start);
        break;
    }
  }
}

}  // namespace mfc
