#include "class_registry.h"

#include <algorithm>

#include "builtin_factory.h"
#include "win32/winmodule.h"
#include "win32/winreg.h"

namespace ole {

ClassRegistry& ClassRegistry::Instance() {
  static ClassRegistry* instance = new ClassRegistry;
  return *instance;
}

ComPtr<IUnknown> ClassRegistry::TakeRegistered(REFCLSID clsid) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = registered_.begin(); it != registered_.end(); ++it) {
    if (it->clsid != clsid) continue;
    if (!it->singleUse) return it->object;
    ComPtr<IUnknown> object = std::move(it->object);  // the registration's reference goes to the caller
    registered_.erase(it);
    return object;
  }
  return nullptr;
}

LPFNCREATEINSTANCE ClassRegistry::FindBuiltin(REFCLSID clsid) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const Builtin& b : builtins_)
    if (b.clsid == clsid) return b.create;
  return nullptr;
}

HRESULT ClassRegistry::LoadServer(REFCLSID clsid, LPFNGETCLASSOBJECT* getClassObject) {
  const std::string key = "CLSID\\" + StringFromGUIDA(clsid) + "\\InprocServer32";
  HKEY hkey;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &hkey) != ERROR_SUCCESS)
    return REGDB_E_CLASSNOTREG;
  DWORD type = REG_NONE;
  DWORD size = 0;
  LSTATUS status = RegQueryValueExA(hkey, nullptr, nullptr, &type, nullptr, &size);
  std::string path(size, '\0');
  if (status == ERROR_SUCCESS && size > 0)
    status = RegQueryValueExA(hkey, nullptr, nullptr, &type, reinterpret_cast<LPBYTE>(path.data()), &size);
  RegCloseKey(hkey);
  if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return REGDB_E_CLASSNOTREG;
  path.resize(std::min<size_t>(size, path.size()));
  while (!path.empty() && path.back() == '\0') path.pop_back();
  if (path.empty()) return REGDB_E_CLASSNOTREG;

  if (LPFNGETCLASSOBJECT known = FindServer(path)) {
    *getClassObject = known;
    return S_OK;
  }
  // Loaded without the lock: the module's static initialisers may register classes.
  HMODULE module = LoadLibraryA(path.c_str());
  if (!module) return CO_E_DLLNOTFOUND;
  // Exports come back as FARPROC; go through void* to the real signature.
  auto entry = reinterpret_cast<LPFNGETCLASSOBJECT>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  if (!entry) {
    FreeLibrary(module);
    return CO_E_ERRORINDLL;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (std::none_of(servers_.begin(), servers_.end(), [&](const Server& s) { return s.path == path; })) {
      servers_.push_back({path, module, entry});
      module = nullptr;
    }
  }
  if (module) FreeLibrary(module);  // another thread loaded it meanwhile; keep one reference
  *getClassObject = entry;
  return S_OK;
}

LPFNGETCLASSOBJECT ClassRegistry::FindServer(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const Server& s : servers_)
    if (s.path == path) return s.getClassObject;
  return nullptr;
}

HRESULT ClassRegistry::GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  if (ComPtr<IUnknown> object = TakeRegistered(clsid)) return object->QueryInterface(riid, ppv);
  if (LPFNCREATEINSTANCE create = FindBuiltin(clsid))
    return ComPtr<BuiltinFactory>::Adopt(new BuiltinFactory(create))->QueryInterface(riid, ppv);
  LPFNGETCLASSOBJECT getClassObject;
  HRESULT hr = LoadServer(clsid, &getClassObject);
  if (FAILED(hr)) return hr;
  // Called without the lock: the module may create objects of its own.
  return getClassObject(clsid, riid, ppv);
}

HRESULT ClassRegistry::RegisterObject(REFCLSID clsid, IUnknown* object, DWORD flags, DWORD* cookie) {
  if (!object || !cookie) return E_INVALIDARG;
  ComPtr<IUnknown> held(object);
  std::lock_guard<std::mutex> lock(mutex_);
  *cookie = nextCookie_++;
  // The newest registration of a class wins.
  registered_.insert(registered_.begin(), {*cookie, clsid, std::move(held),
                                           (flags & (REGCLS_MULTIPLEUSE | REGCLS_MULTI_SEPARATE)) == 0});
  return S_OK;
}

HRESULT ClassRegistry::RevokeObject(DWORD cookie) {
  // Released outside the lock: the object may revoke or register in its destructor.
  ComPtr<IUnknown> object;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = registered_.begin(); it != registered_.end(); ++it) {
      if (it->cookie == cookie) {
        object = std::move(it->object);
        registered_.erase(it);
        break;
      }
    }
  }
  return object ? S_OK : CO_E_OBJNOTREG;
}

void ClassRegistry::AddBuiltin(REFCLSID clsid, LPFNCREATEINSTANCE create) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (Builtin& b : builtins_) {
    if (b.clsid == clsid) {
      b.create = create;
      return;
    }
  }
  builtins_.push_back({clsid, create});
}

void ClassRegistry::FreeUnusedServers() {
  std::vector<Server> loaded;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    loaded = servers_;
  }
  // Asked and freed without the lock: unloading runs the module's static destructors, which may
  // revoke class objects.
  for (const Server& server : loaded) {
    auto canUnload = reinterpret_cast<LPFNCANUNLOADNOW>(
        reinterpret_cast<void*>(GetProcAddress(server.module, "DllCanUnloadNow")));
    if (!canUnload || canUnload() != S_OK) continue;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      auto it = std::find_if(servers_.begin(), servers_.end(),
                             [&](const Server& s) { return s.module == server.module; });
      if (it == servers_.end()) continue;
      servers_.erase(it);
    }
    FreeLibrary(server.module);
  }
}

}  // namespace ole
