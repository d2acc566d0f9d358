#pragma once
// Where class objects come from: objects registered at run time, the built-in class table and
// in-process server modules named by the registry.
#include <mutex>
#include <string>
#include <vector>

#include "ole/comptr.h"
#include "ole/objbase.h"

namespace ole {

class ClassRegistry {
 public:
  // The process's registry; never destroyed, so it outlives static destructors of its users.
  static ClassRegistry& Instance();

  HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv);
  HRESULT RegisterObject(REFCLSID clsid, IUnknown* object, DWORD flags, DWORD* cookie);
  HRESULT RevokeObject(DWORD cookie);
  void AddBuiltin(REFCLSID clsid, LPFNCREATEINSTANCE create);
  void FreeUnusedServers();

 private:
  struct Registered {
    DWORD cookie;
    CLSID clsid;
    ComPtr<IUnknown> object;
    bool singleUse;
  };
  struct Builtin {
    CLSID clsid;
    LPFNCREATEINSTANCE create;
  };
  struct Server {
    std::string path;
    HMODULE module;
    LPFNGETCLASSOBJECT getClassObject;
  };

  ComPtr<IUnknown> TakeRegistered(REFCLSID clsid);
  LPFNCREATEINSTANCE FindBuiltin(REFCLSID clsid);
  HRESULT LoadServer(REFCLSID clsid, LPFNGETCLASSOBJECT* getClassObject);
  LPFNGETCLASSOBJECT FindServer(const std::string& path);

  std::mutex mutex_;
  std::vector<Registered> registered_;
  DWORD nextCookie_ = 1;
  std::vector<Builtin> builtins_;
  std::vector<Server> servers_;
};

}  // namespace ole
