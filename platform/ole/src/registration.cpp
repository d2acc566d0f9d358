// Writing and removing the registry keys that make an in-process server's class creatable.
#include <string>

#include "ole/objbase.h"
#include "win32/winreg.h"

namespace {

bool SetString(HKEY key, const char* name, const char* value) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                        static_cast<DWORD>(std::string(value).size() + 1)) == ERROR_SUCCESS;
}

// Deletes subKey of parent and everything below it.
LSTATUS DeleteTree(HKEY parent, const std::string& subKey) {
  HKEY key;
  LSTATUS status = RegOpenKeyExA(parent, subKey.c_str(), 0, KEY_READ | KEY_WRITE, &key);
  if (status != ERROR_SUCCESS) return status;
  for (;;) {
    char name[1024];
    DWORD length = sizeof name;
    status = RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_SUCCESS) status = DeleteTree(key, name);
    if (status != ERROR_SUCCESS) {
      RegCloseKey(key);
      return status;
    }
  }
  RegCloseKey(key);
  return RegDeleteKeyA(parent, subKey.c_str());
}

}  // namespace

HRESULT RegisterInprocServer(REFCLSID rclsid, LPCSTR friendlyName, LPCSTR modulePath,
                             LPCSTR threadingModel) {
  if (!modulePath) return E_INVALIDARG;
  const std::string classKey = "CLSID\\" + StringFromGUIDA(rclsid);
  HKEY key;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, classKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return SELFREG_E_CLASS;
  bool ok = !friendlyName || SetString(key, nullptr, friendlyName);
  HKEY server;
  if (ok && RegCreateKeyExA(key, "InprocServer32", 0, nullptr, 0, KEY_WRITE, nullptr, &server,
                            nullptr) == ERROR_SUCCESS) {
    ok = SetString(server, nullptr, modulePath) &&
         (!threadingModel || SetString(server, "ThreadingModel", threadingModel));
    RegCloseKey(server);
  } else {
    ok = false;
  }
  RegCloseKey(key);
  return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT UnregisterServer(REFCLSID rclsid) {
  const LSTATUS status = DeleteTree(HKEY_CLASSES_ROOT, "CLSID\\" + StringFromGUIDA(rclsid));
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}
