#include "filter_util.h"

#include <cstring>

#include "ff_util.h"
#include "ole/objbase.h"
#include "win32/winnls.h"

namespace ffw {

std::string Narrow(LPCOLESTR text) {
  if (!text || !*text) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string out(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  out.resize(size_t(n) - 1);
  return out;
}

LPOLESTR TaskMemCopy(LPCOLESTR text) {
  size_t n = 0;
  while (text[n]) ++n;
  auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc((n + 1) * sizeof(OLECHAR)));
  if (copy) std::memcpy(copy, text, (n + 1) * sizeof(OLECHAR));
  return copy;
}

HRESULT OpenErrorResult(int err) {
  if (err == AVERROR(ENOENT)) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
  if (err == AVERROR(EACCES)) return E_ACCESSDENIED;
  if (err == AVERROR(ENOMEM)) return E_OUTOFMEMORY;
  return VFW_E_UNKNOWN_FILE_TYPE;
}

}  // namespace ffw
