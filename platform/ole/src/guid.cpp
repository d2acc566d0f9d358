// GUID text in the braced registry form.
#include <cstdio>
#include <cstring>

#include "ole/objbase.h"

namespace {

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Reads `digits` hex digits at text[pos]; false on anything that is not hex.
template <typename Char>
bool ReadHex(const Char* text, size_t pos, int digits, uint32_t* out) {
  uint32_t v = 0;
  for (int i = 0; i < digits; ++i) {
    int h = HexValue(static_cast<char16_t>(text[pos + i]));
    if (h < 0) return false;
    v = v << 4 | static_cast<uint32_t>(h);
  }
  *out = v;
  return true;
}

// Parses exactly "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (38 characters).
template <typename Char>
bool ParseGuid(const Char* text, size_t length, GUID* guid) {
  if (length != 38 || text[0] != '{' || text[37] != '}' || text[9] != '-' || text[14] != '-' ||
      text[19] != '-' || text[24] != '-')
    return false;
  GUID g;
  uint32_t v;
  if (!ReadHex(text, 1, 8, &v)) return false;
  g.Data1 = v;
  if (!ReadHex(text, 10, 4, &v)) return false;
  g.Data2 = static_cast<uint16_t>(v);
  if (!ReadHex(text, 15, 4, &v)) return false;
  g.Data3 = static_cast<uint16_t>(v);
  static const size_t kBytePos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    if (!ReadHex(text, kBytePos[i], 2, &v)) return false;
    g.Data4[i] = static_cast<uint8_t>(v);
  }
  *guid = g;
  return true;
}

bool ParseWide(LPCOLESTR text, GUID* guid) {
  if (!text) return false;
  size_t length = 0;
  while (length <= 38 && text[length]) ++length;
  return ParseGuid(text, length, guid);
}

}  // namespace

std::string StringFromGUIDA(REFGUID g) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return buf;
}

bool GUIDFromStringA(std::string_view text, GUID* guid) {
  return guid && ParseGuid(text.data(), text.size(), guid);
}

HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid) {
  if (!pclsid) return E_INVALIDARG;
  return ParseWide(lpsz, pclsid) ? S_OK : CO_E_CLASSSTRING;
}

HRESULT IIDFromString(LPCOLESTR lpsz, LPIID lpiid) {
  if (!lpiid) return E_INVALIDARG;
  return ParseWide(lpsz, lpiid) ? S_OK : E_INVALIDARG;
}

int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax) {
  const std::string text = StringFromGUIDA(rguid);
  const int needed = static_cast<int>(text.size()) + 1;
  if (!lpsz || cchMax < needed) return 0;
  for (int i = 0; i < needed; ++i) lpsz[i] = static_cast<OLECHAR>(text.c_str()[i]);
  return needed;
}

HRESULT StringFromCLSID(REFCLSID rclsid, LPOLESTR* lplpsz) {
  if (!lplpsz) return E_INVALIDARG;
  *lplpsz = static_cast<LPOLESTR>(CoTaskMemAlloc(39 * sizeof(OLECHAR)));
  if (!*lplpsz) return E_OUTOFMEMORY;
  StringFromGUID2(rclsid, *lplpsz, 39);
  return S_OK;
}

HRESULT StringFromIID(REFIID rclsid, LPOLESTR* lplpsz) { return StringFromCLSID(rclsid, lplpsz); }
