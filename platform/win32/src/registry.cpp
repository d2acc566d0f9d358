// The Reg* functions. A key handle names a key by its root and path; the key itself is looked up
// in the store on every call, so a key deleted meanwhile (by anyone) gives ERROR_KEY_DELETED.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "handle_table.h"
#include "registry_store.h"
#include "win32/winerror.h"
#include "win32/winreg.h"

using namespace win32;

namespace {

struct KeyHandle : HandleObject {
  RegistryRoot root = RegistryRoot::ClassesRoot;
  std::vector<std::string> path;
  REGSAM access = KEY_ALL_ACCESS;
};

// The key a handle stands for: a predefined root or an opened key.
bool ResolveKey(HKEY hKey, KeyHandle& key) {
  const HKEY roots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
  for (int i = 0; i < 3; ++i) {
    if (hKey == roots[i]) {
      key = KeyHandle();
      key.root = static_cast<RegistryRoot>(i);
      return true;
    }
  }
  std::shared_ptr<KeyHandle> opened = LookupHandle<KeyHandle>(hKey, HandleKind::RegistryKey);
  if (!opened) return false;
  key.root = opened->root;
  key.path = opened->path;
  key.access = opened->access;
  return true;
}

// Splits "a\b\c" into its names. A leading backslash is a bad path; a trailing one is allowed.
LONG SplitPath(LPCSTR subKey, std::vector<std::string>& names) {
  names.clear();
  if (!subKey || !*subKey) return ERROR_SUCCESS;
  if (*subKey == '\\') return ERROR_BAD_PATHNAME;
  std::string_view rest = subKey;
  while (!rest.empty()) {
    size_t slash = rest.find('\\');
    std::string_view name = rest.substr(0, slash);
    if (name.empty()) return ERROR_BAD_PATHNAME;
    if (name.size() > kMaxKeyNameLength) return ERROR_INVALID_PARAMETER;
    names.emplace_back(name);
    if (slash == std::string_view::npos) break;
    rest.remove_prefix(slash + 1);
  }
  return ERROR_SUCCESS;
}

RegistryNode* FindNode(RegistryTree& tree, RegistryRoot root, const std::vector<std::string>& path) {
  RegistryNode* node = &tree.Root(root);
  for (const std::string& name : path) {
    auto it = node->children.find(name);
    if (it == node->children.end()) return nullptr;
    node = it->second.get();
  }
  return node;
}

HKEY NewKeyHandle(const KeyHandle& key) {
  auto object = std::make_shared<KeyHandle>(key);
  return ToHandle<HKEY>(AllocateHandle(HandleKind::RegistryKey, std::move(object)));
}

// Runs body(node) on the key of an open handle, for reading.
template <class Body>
LONG ReadKey(HKEY hKey, REGSAM needed, Body body) {
  KeyHandle key;
  if (!ResolveKey(hKey, key)) return ERROR_INVALID_HANDLE;
  if ((key.access & needed) != needed) return ERROR_ACCESS_DENIED;
  return Registry().Read([&](RegistryTree& tree) -> LONG {
    RegistryNode* node = FindNode(tree, key.root, key.path);
    return node ? body(*node) : ERROR_KEY_DELETED;
  });
}

// Runs body(node, changed) on the key of an open handle, for changing it.
template <class Body>
LONG WriteKey(HKEY hKey, REGSAM needed, Body body) {
  KeyHandle key;
  if (!ResolveKey(hKey, key)) return ERROR_INVALID_HANDLE;
  if ((key.access & needed) != needed) return ERROR_ACCESS_DENIED;
  return Registry().Write([&](RegistryTree& tree, bool& changed) -> LONG {
    RegistryNode* node = FindNode(tree, key.root, key.path);
    return node ? body(*node, changed) : ERROR_KEY_DELETED;
  });
}

// Copies data into a caller's buffer of *size bytes (data NULL: only the size).
LONG CopyData(const std::string& data, LPBYTE buffer, LPDWORD size) {
  if (!size) return buffer ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
  DWORD available = *size;
  *size = static_cast<DWORD>(data.size());
  if (!buffer) return ERROR_SUCCESS;
  if (available < data.size()) return ERROR_MORE_DATA;
  std::memcpy(buffer, data.data(), data.size());
  return ERROR_SUCCESS;
}

// Copies a name with its NUL into a buffer of *chars characters; *chars becomes the length.
LONG CopyName(const std::string& name, LPSTR buffer, LPDWORD chars) {
  if (!buffer || !chars) return ERROR_INVALID_PARAMETER;
  if (name.size() + 1 > *chars) return ERROR_MORE_DATA;
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  *chars = static_cast<DWORD>(name.size());
  return ERROR_SUCCESS;
}

}  // namespace

LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  KeyHandle key;
  if (!ResolveKey(hKey, key)) return ERROR_INVALID_HANDLE;
  std::vector<std::string> names;
  if (LONG error = SplitPath(lpSubKey, names)) return error;
  key.path.insert(key.path.end(), names.begin(), names.end());
  key.access = samDesired;
  LONG error = Registry().Read([&](RegistryTree& tree) -> LONG {
    return FindNode(tree, key.root, key.path) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  });
  if (error) return error;
  *phkResult = NewKeyHandle(key);
  return *phkResult ? ERROR_SUCCESS : ERROR_NOT_ENOUGH_MEMORY;
}

LSTATUS RegOpenKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) {
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  // The platform hands back the same handle for an empty sub-key.
  if (!lpSubKey || !*lpSubKey) {
    KeyHandle key;
    if (!ResolveKey(hKey, key)) return ERROR_INVALID_HANDLE;
    *phkResult = hKey;
    return ERROR_SUCCESS;
  }
  return RegOpenKeyExA(hKey, lpSubKey, 0, KEY_ALL_ACCESS, phkResult);
}

LSTATUS RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired,
                        LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
  if (!phkResult || !lpSubKey) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  KeyHandle key;
  if (!ResolveKey(hKey, key)) return ERROR_INVALID_HANDLE;
  std::vector<std::string> names;
  if (LONG error = SplitPath(lpSubKey, names)) return error;
  if (key.path.size() + names.size() > kMaxKeyDepth) return ERROR_INVALID_PARAMETER;
  REGSAM parentAccess = key.access;
  DWORD disposition = REG_OPENED_EXISTING_KEY;
  LONG error = Registry().Write([&](RegistryTree& tree, bool& changed) -> LONG {
    RegistryNode* node = FindNode(tree, key.root, key.path);
    if (!node) return ERROR_KEY_DELETED;
    size_t existing = 0;
    RegistryNode* probe = node;
    for (; existing < names.size(); ++existing) {
      auto it = probe->children.find(names[existing]);
      if (it == probe->children.end()) break;
      probe = it->second.get();
    }
    if (existing == names.size()) return ERROR_SUCCESS;
    if (!(parentAccess & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
    for (const std::string& name : names) {
      std::unique_ptr<RegistryNode>& child = node->children[name];
      if (!child) child = std::make_unique<RegistryNode>();
      node = child.get();
    }
    disposition = REG_CREATED_NEW_KEY;
    changed = true;
    return ERROR_SUCCESS;
  });
  if (error) return error;
  key.path.insert(key.path.end(), names.begin(), names.end());
  key.access = samDesired;
  *phkResult = NewKeyHandle(key);
  if (!*phkResult) return ERROR_NOT_ENOUGH_MEMORY;
  if (lpdwDisposition) *lpdwDisposition = disposition;
  return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, PHKEY phkResult) {
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  if (!lpSubKey || !*lpSubKey) return RegOpenKeyA(hKey, lpSubKey, phkResult);
  return RegCreateKeyExA(hKey, lpSubKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, phkResult, nullptr);
}

LSTATUS RegCloseKey(HKEY hKey) {
  KeyHandle key;
  if (!ResolveKey(hKey, key)) return ERROR_INVALID_HANDLE;
  ReleaseHandle(reinterpret_cast<uintptr_t>(hKey), HandleKind::RegistryKey);
  return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData,
                         LPDWORD lpcbData) {
  if (lpData && !lpcbData) return ERROR_INVALID_PARAMETER;
  std::string name = lpValueName ? lpValueName : "";
  return ReadKey(hKey, KEY_QUERY_VALUE, [&](RegistryNode& node) -> LONG {
    RegistryValue* value = node.FindValue(name);
    if (!value) return ERROR_FILE_NOT_FOUND;
    if (lpType) *lpType = value->type;
    return CopyData(value->data, lpData, lpcbData);
  });
}

LSTATUS RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                       DWORD cbData) {
  if (!lpData && cbData) return ERROR_NOACCESS;
  std::string data(reinterpret_cast<const char*>(lpData), lpData ? cbData : 0);
  // Strings are kept NUL-terminated, so that readers that trust the terminator stay in bounds.
  if ((dwType == REG_SZ || dwType == REG_EXPAND_SZ) && (data.empty() || data.back() != '\0')) {
    data += '\0';
  } else if (dwType == REG_MULTI_SZ) {
    if (data.empty() || data.back() != '\0') data += '\0';
    if (data.size() < 2 || data[data.size() - 2] != '\0') data += '\0';
  }
  std::string name = lpValueName ? lpValueName : "";
  return WriteKey(hKey, KEY_SET_VALUE, [&](RegistryNode& node, bool& changed) -> LONG {
    RegistryValue* value = node.FindValue(name);
    if (!value) {
      node.values.push_back(RegistryValue{name, dwType, data});
    } else if (value->type == dwType && value->data == data) {
      return ERROR_SUCCESS;
    } else {
      value->type = dwType;
      value->data = data;
    }
    changed = true;
    return ERROR_SUCCESS;
  });
}

LSTATUS RegQueryValueA(HKEY hKey, LPCSTR lpSubKey, LPSTR lpData, PLONG lpcbData) {
  if (lpData && !lpcbData) return ERROR_INVALID_PARAMETER;
  HKEY key = hKey;
  if (lpSubKey && *lpSubKey) {
    if (LONG error = RegOpenKeyExA(hKey, lpSubKey, 0, KEY_QUERY_VALUE, &key)) return error;
  }
  LONG error = ReadKey(key, KEY_QUERY_VALUE, [&](RegistryNode& node) -> LONG {
    // A key without a default value reads as the empty string.
    RegistryValue* value = node.FindValue("");
    if (value && value->type != REG_SZ) return ERROR_INVALID_DATA;
    std::string text = value ? value->data : std::string(1, '\0');
    DWORD size = lpcbData ? static_cast<DWORD>(*lpcbData) : 0;
    LONG result = CopyData(text, reinterpret_cast<LPBYTE>(lpData), lpcbData ? &size : nullptr);
    if (lpcbData) *lpcbData = static_cast<LONG>(size);
    return result;
  });
  if (key != hKey) RegCloseKey(key);
  return error;
}

LSTATUS RegSetValueA(HKEY hKey, LPCSTR lpSubKey, DWORD dwType, LPCSTR lpData, DWORD) {
  if (dwType != REG_SZ || !lpData) return ERROR_INVALID_PARAMETER;
  HKEY key = hKey;
  if (lpSubKey && *lpSubKey) {
    LONG error = RegCreateKeyExA(hKey, lpSubKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (error) return error;
  }
  LONG error = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpData),
                              static_cast<DWORD>(std::strlen(lpData) + 1));
  if (key != hKey) RegCloseKey(key);
  return error;
}

LSTATUS RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
  if (!lpSubKey) return ERROR_INVALID_PARAMETER;
  KeyHandle key;
  if (!ResolveKey(hKey, key)) return ERROR_INVALID_HANDLE;
  std::vector<std::string> names;
  if (LONG error = SplitPath(lpSubKey, names)) return error;
  if (names.empty()) return ERROR_BADKEY;
  std::string leaf = names.back();
  names.pop_back();
  key.path.insert(key.path.end(), names.begin(), names.end());
  return Registry().Write([&](RegistryTree& tree, bool& changed) -> LONG {
    RegistryNode* parent = FindNode(tree, key.root, key.path);
    if (!parent) return ERROR_FILE_NOT_FOUND;
    auto it = parent->children.find(leaf);
    if (it == parent->children.end()) return ERROR_FILE_NOT_FOUND;
    if (!it->second->children.empty()) return ERROR_ACCESS_DENIED;
    parent->children.erase(it);
    changed = true;
    return ERROR_SUCCESS;
  });
}

LSTATUS RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
  std::string name = lpValueName ? lpValueName : "";
  return WriteKey(hKey, KEY_SET_VALUE, [&](RegistryNode& node, bool& changed) -> LONG {
    for (auto it = node.values.begin(); it != node.values.end(); ++it) {
      if (SameNameNoCase(it->name, name)) {
        node.values.erase(it);
        changed = true;
        return ERROR_SUCCESS;
      }
    }
    return ERROR_FILE_NOT_FOUND;
  });
}

LSTATUS RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD,
                      LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
  return ReadKey(hKey, KEY_ENUMERATE_SUB_KEYS, [&](RegistryNode& node) -> LONG {
    if (dwIndex >= node.children.size()) return ERROR_NO_MORE_ITEMS;
    auto it = node.children.begin();
    std::advance(it, dwIndex);
    if (LONG error = CopyName(it->first, lpName, lpcchName)) return error;
    // Keys have no class, and no write time is kept.
    if (lpClass && lpcchClass && *lpcchClass) *lpClass = '\0';
    if (lpcchClass) *lpcchClass = 0;
    if (lpftLastWriteTime) *lpftLastWriteTime = FILETIME{0, 0};
    return ERROR_SUCCESS;
  });
}

LSTATUS RegEnumKeyA(HKEY hKey, DWORD dwIndex, LPSTR lpName, DWORD cchName) {
  return RegEnumKeyExA(hKey, dwIndex, lpName, &cchName, nullptr, nullptr, nullptr, nullptr);
}

LSTATUS RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD,
                      LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  if (lpData && !lpcbData) return ERROR_INVALID_PARAMETER;
  return ReadKey(hKey, KEY_QUERY_VALUE, [&](RegistryNode& node) -> LONG {
    if (dwIndex >= node.values.size()) return ERROR_NO_MORE_ITEMS;
    const RegistryValue& value = node.values[dwIndex];
    if (LONG error = CopyName(value.name, lpValueName, lpcchValueName)) return error;
    if (lpType) *lpType = value.type;
    return CopyData(value.data, lpData, lpcbData);
  });
}

LSTATUS RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD, LPDWORD lpcSubKeys,
                         LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                         LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                         LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime) {
  return ReadKey(hKey, KEY_QUERY_VALUE, [&](RegistryNode& node) -> LONG {
    DWORD maxKey = 0, maxName = 0, maxData = 0;
    for (const auto& [name, child] : node.children) maxKey = std::max(maxKey, static_cast<DWORD>(name.size()));
    for (const RegistryValue& value : node.values) {
      maxName = std::max(maxName, static_cast<DWORD>(value.name.size()));
      maxData = std::max(maxData, static_cast<DWORD>(value.data.size()));
    }
    if (lpClass && lpcchClass && *lpcchClass) *lpClass = '\0';
    if (lpcchClass) *lpcchClass = 0;
    if (lpcSubKeys) *lpcSubKeys = static_cast<DWORD>(node.children.size());
    if (lpcbMaxSubKeyLen) *lpcbMaxSubKeyLen = maxKey;
    if (lpcbMaxClassLen) *lpcbMaxClassLen = 0;
    if (lpcValues) *lpcValues = static_cast<DWORD>(node.values.size());
    if (lpcbMaxValueNameLen) *lpcbMaxValueNameLen = maxName;
    if (lpcbMaxValueLen) *lpcbMaxValueLen = maxData;
    if (lpcbSecurityDescriptor) *lpcbSecurityDescriptor = 0;
    if (lpftLastWriteTime) *lpftLastWriteTime = FILETIME{0, 0};
    return ERROR_SUCCESS;
  });
}
