// BSTR: an 8-byte header whose last four bytes hold the byte length, the text, then a NUL
// character. The text starts 8-byte aligned.
#include <cstdlib>
#include <cstring>

#include "ole/oleauto.h"

namespace {

constexpr size_t kHeader = 8;
constexpr UINT kMaxBytes = 0x7FFFFFF0u;  // the length must fit the 32-bit prefix with room to spare

char* HeaderOf(BSTR b) { return reinterpret_cast<char*>(b) - kHeader; }

BSTR AllocBytes(const void* data, UINT bytes) {
  if (bytes > kMaxBytes) return nullptr;
  char* block = static_cast<char*>(std::malloc(kHeader + bytes + sizeof(OLECHAR)));
  if (!block) return nullptr;
  const uint32_t length = bytes;
  std::memset(block, 0, kHeader);
  std::memcpy(block + kHeader - sizeof length, &length, sizeof length);
  if (data)
    std::memcpy(block + kHeader, data, bytes);
  else
    std::memset(block + kHeader, 0, bytes);
  std::memset(block + kHeader + bytes, 0, sizeof(OLECHAR));
  return reinterpret_cast<BSTR>(block + kHeader);
}

UINT WideLength(const OLECHAR* s) {
  UINT n = 0;
  while (s[n]) ++n;
  return n;
}

}  // namespace

BSTR SysAllocString(const OLECHAR* psz) {
  if (!psz) return nullptr;
  return SysAllocStringLen(psz, WideLength(psz));
}

BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui) {
  if (ui > kMaxBytes / sizeof(OLECHAR)) return nullptr;
  return AllocBytes(strIn, ui * static_cast<UINT>(sizeof(OLECHAR)));
}

BSTR SysAllocStringByteLen(LPCSTR psz, UINT len) { return AllocBytes(psz, len); }

INT SysReAllocString(BSTR* pbstr, const OLECHAR* psz) {
  if (!pbstr) return FALSE;
  if (!psz) {
    SysFreeString(*pbstr);
    *pbstr = nullptr;
    return TRUE;
  }
  return SysReAllocStringLen(pbstr, psz, WideLength(psz));
}

INT SysReAllocStringLen(BSTR* pbstr, const OLECHAR* psz, UINT len) {
  if (!pbstr) return FALSE;
  // The source may lie inside the old string, so copy before freeing.
  BSTR fresh = SysAllocStringLen(psz, len);
  if (!fresh) return FALSE;
  SysFreeString(*pbstr);
  *pbstr = fresh;
  return TRUE;
}

void SysFreeString(BSTR bstrString) {
  if (bstrString) std::free(HeaderOf(bstrString));
}

UINT SysStringByteLen(BSTR bstr) {
  if (!bstr) return 0;
  uint32_t length;
  std::memcpy(&length, reinterpret_cast<char*>(bstr) - sizeof length, sizeof length);
  return length;
}

UINT SysStringLen(BSTR pbstr) { return SysStringByteLen(pbstr) / sizeof(OLECHAR); }
