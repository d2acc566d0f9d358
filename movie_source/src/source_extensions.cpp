#include "source_extensions.h"

#include <string>

#include "win32/windows.h"

namespace {

const char kExtensions[] = "Media Type\\Extensions";

}  // namespace

HRESULT RegisterSourceExtension(LPCWSTR extension, REFCLSID clsid) {
  if (!extension) return E_POINTER;
  const int length = int(std::char_traits<char16_t>::length(extension));
  const int bytes = WideCharToMultiByte(CP_ACP, 0, extension, length, nullptr, 0, nullptr, nullptr);
  std::string name(size_t(bytes), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, extension, length, name.data(), bytes, nullptr, nullptr);
  std::string path = std::string(kExtensions) + "\\";
  if (name.empty() || name[0] != '.') path += '.';
  path += name;
  if (path.size() >= MAX_PATH) return E_FAIL;
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return E_FAIL;
  const std::string text = StringFromGUIDA(clsid);
  const LSTATUS status = RegSetValueExA(key, "Source Filter", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                        DWORD(text.size() + 1));
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? S_OK : E_FAIL;
}

HRESULT UnregisterSourceExtension(LPCSTR extension) {
  if (!extension) return E_POINTER;
  std::string name = extension;
  if (name.empty() || name[0] != '.') name.insert(name.begin(), '.');
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, kExtensions, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return E_FAIL;
  RegDeleteKeyA(key, name.c_str());
  RegCloseKey(key);
  return S_OK;
}
