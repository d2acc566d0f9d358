// LoadLibrary and friends over dlopen, plus the built-in modules that stand for platform DLLs.
// A module is identified by its load address, so one shared object has one handle however it
// was reached (by name, by path, by an address inside it).
#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "handle_table.h"
#include "module_table.h"
#include "name_case.h"
#include "win32/paths.h"
#include "win32/platform_config.h"
#include "win32/winbase.h"
#include "win32/winerror.h"
#include "win32/winmodule.h"

using namespace win32;

namespace {

enum class ModuleKind { Executable, Loaded, Linked, Builtin };

struct Module : HandleObject {
  ModuleKind kind = ModuleKind::Loaded;
  std::string posixPath;  // the file; for built-in modules a name in the platform library's folder
  void* dl = nullptr;
  uintptr_t base = 0;
  int references = 0;  // counted for loaded modules only
  bool pinned = false;
  std::map<std::string, FARPROC> exports;  // built-in modules
  uintptr_t handle = 0;
};

struct Modules {
  std::mutex lock;
  std::map<uintptr_t, std::shared_ptr<Module>> byBase;                   // shared objects
  std::map<std::string, std::shared_ptr<Module>, NoCaseLess> builtins;  // by name without ".dll"
  std::shared_ptr<Module> executable;
};

std::string FilePart(std::string_view name) {
  size_t cut = name.find_last_of("\\/");
  return std::string(cut == std::string_view::npos ? name : name.substr(cut + 1));
}

// "MSIMG32.DLL", "msimg32" -> "msimg32": the form names are compared in.
std::string BareName(std::string_view name) {
  std::string file = FilePart(name);
  if (file.size() > 4 && SameNameNoCase(std::string_view(file).substr(file.size() - 4), ".dll")) {
    file.resize(file.size() - 4);
  }
  return file;
}

// A name without extension means a ".dll"; a trailing dot means none.
std::string WithDefaultExtension(std::string name) {
  std::string file = FilePart(name);
  if (!file.empty() && file.back() == '.') {
    name.pop_back();
  } else if (file.find('.') == std::string::npos) {
    name += ".dll";
  }
  return name;
}

bool IsAbsent(std::string_view name) {
  std::string bare = BareName(name);
  for (const std::string& absent : platform_config::Config().absentModules) {
    if (SameNameNoCase(BareName(absent), bare)) return true;
  }
  return false;
}

// The load address of the object containing addr, 0 when none.
uintptr_t BaseOfAddress(const void* addr) {
  Dl_info info{};
  return dladdr(addr, &info) ? reinterpret_cast<uintptr_t>(info.dli_fbase) : 0;
}

// The load address of a dlopen handle: that of its dynamic section.
uintptr_t BaseOfDl(void* dl) {
  link_map* map = nullptr;
  if (dlinfo(dl, RTLD_DI_LINKMAP, &map) != 0 || !map) return 0;
  return BaseOfAddress(map->l_ld);
}

std::shared_ptr<Module> Register(std::shared_ptr<Module> module) {
  module->handle = AllocateHandle(HandleKind::Module, module);
  return module->handle ? module : nullptr;
}

const char* const kPlatformModules[] = {"kernel32.dll", "user32.dll", "gdi32.dll", "msimg32.dll",
                                        "uxtheme.dll",  "ole32.dll",  "oleaut32.dll", "quartz.dll"};

// Built-in modules "live" beside the platform library, as system DLLs live in the system folder.
std::string PlatformFolder() {
  Dl_info info{};
  std::string file = dladdr(reinterpret_cast<const void*>(&LoadLibraryA), &info) && info.dli_fname
                         ? info.dli_fname
                         : "/";
  return file.substr(0, file.find_last_of('/') + 1);
}

std::shared_ptr<Module> BuiltinLocked(Modules& m, std::string_view name) {
  std::string bare = BareName(name);
  auto it = m.builtins.find(bare);
  if (it != m.builtins.end()) return it->second;
  auto module = std::make_shared<Module>();
  module->kind = ModuleKind::Builtin;
  module->posixPath = PlatformFolder() + WithDefaultExtension(FilePart(name));
  if (!Register(module)) return nullptr;
  m.builtins.emplace(bare, module);
  return module;
}

// Never destroyed: modules are used from static destructors of their users.
Modules& Table() {
  static Modules* modules = [] {
    auto* m = new Modules;
    for (const char* name : kPlatformModules) BuiltinLocked(*m, name);
    return m;
  }();
  return *modules;
}

std::shared_ptr<Module> ExecutableLocked(Modules& m) {
  if (m.executable) return m.executable;
  auto module = std::make_shared<Module>();
  module->kind = ModuleKind::Executable;
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  module->posixPath = n > 0 ? std::string(path, static_cast<size_t>(n)) : "/";
  module->dl = dlopen(nullptr, RTLD_NOW);
  module->base = module->dl ? BaseOfDl(module->dl) : 0;
  if (!Register(module)) return nullptr;
  if (module->base) m.byBase[module->base] = module;
  m.executable = module;
  return module;
}

std::shared_ptr<Module> Find(HMODULE handle) {
  if (!handle) {
    Modules& m = Table();
    std::lock_guard<std::mutex> guard(m.lock);
    return ExecutableLocked(m);
  }
  return LookupHandle<Module>(handle, HandleKind::Module);
}

HMODULE FailLoad(DWORD error) {
  SetLastError(error);
  return nullptr;
}

}  // namespace

namespace win32 {

bool ModuleBase(HMODULE module, uintptr_t* base) {
  std::shared_ptr<Module> found = Find(module);
  if (!found) return false;
  *base = found->base;
  return true;
}

}  // namespace win32

void RegisterBuiltinModule(const char* moduleName, const BuiltinExport* exports, size_t count) {
  if (!moduleName || !*moduleName) return;
  Modules& m = Table();
  std::lock_guard<std::mutex> guard(m.lock);
  std::shared_ptr<Module> module = BuiltinLocked(m, moduleName);
  if (!module) return;
  for (size_t i = 0; i < count; ++i) {
    if (exports[i].name) module->exports[exports[i].name] = exports[i].proc;
  }
}

HMODULE LoadLibraryA(LPCSTR lpLibFileName) {
  if (!lpLibFileName || !*lpLibFileName) return FailLoad(ERROR_INVALID_PARAMETER);
  std::string name = lpLibFileName;
  if (IsAbsent(name)) return FailLoad(ERROR_MOD_NOT_FOUND);
  Modules& m = Table();
  bool bare = name.find_first_of("\\/:") == std::string::npos;
  if (bare) {
    std::lock_guard<std::mutex> guard(m.lock);
    auto it = m.builtins.find(BareName(name));
    if (it != m.builtins.end()) return ToHandle<HMODULE>(it->second->handle);
  }
  name = WithDefaultExtension(name);
  std::string path;
  if (bare) {
    std::string exe;
    {
      std::lock_guard<std::mutex> guard(m.lock);
      std::shared_ptr<Module> executable = ExecutableLocked(m);
      if (executable) exe = executable->posixPath;
    }
    path = PosixPathFromPlatform(PlatformPathFromPosix(exe.substr(0, exe.find_last_of('/') + 1)) + name);
  } else {
    path = PosixPathFromPlatform(name);
  }
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return FailLoad(ERROR_MOD_NOT_FOUND);
  void* dl = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!dl) return FailLoad(ERROR_BAD_EXE_FORMAT);
  uintptr_t base = BaseOfDl(dl);
  std::lock_guard<std::mutex> guard(m.lock);
  auto it = m.byBase.find(base);
  if (base && it != m.byBase.end()) {
    std::shared_ptr<Module> module = it->second;
    if (module->kind == ModuleKind::Loaded) {
      ++module->references;  // each load holds one dlopen reference, dropped by FreeLibrary
    } else {
      dlclose(dl);  // the executable and linked libraries stay loaded anyway
    }
    return ToHandle<HMODULE>(module->handle);
  }
  auto module = std::make_shared<Module>();
  module->kind = ModuleKind::Loaded;
  module->posixPath = path;
  module->dl = dl;
  module->base = base;
  module->references = 1;
  if (!Register(module)) {
    dlclose(dl);
    return FailLoad(ERROR_NOT_ENOUGH_MEMORY);
  }
  if (base) m.byBase[base] = module;
  return ToHandle<HMODULE>(module->handle);
}

HMODULE LoadLibraryExA(LPCSTR lpLibFileName, HANDLE hFile, DWORD dwFlags) {
  if (hFile || (dwFlags & ~static_cast<DWORD>(LOAD_WITH_ALTERED_SEARCH_PATH))) {
    return FailLoad(ERROR_INVALID_PARAMETER);
  }
  return LoadLibraryA(lpLibFileName);
}

BOOL FreeLibrary(HMODULE hLibModule) {
  std::shared_ptr<Module> module = LookupHandle<Module>(hLibModule, HandleKind::Module);
  if (!module) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  void* unload = nullptr;
  {
    Modules& m = Table();
    std::lock_guard<std::mutex> guard(m.lock);
    if (module->kind != ModuleKind::Loaded || module->pinned) return TRUE;
    if (module->references <= 0) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    unload = module->dl;
    if (--module->references == 0) {
      m.byBase.erase(module->base);
      ReleaseHandle(module->handle, HandleKind::Module);
    }
  }
  // Outside the lock: unloading runs the module's static destructors, which may call back.
  dlclose(unload);
  return TRUE;
}

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  std::shared_ptr<Module> module = Find(hModule);
  if (!module) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (!lpProcName || IS_INTRESOURCE(lpProcName)) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  FARPROC proc = nullptr;
  if (module->kind == ModuleKind::Builtin) {
    Modules& m = Table();
    std::lock_guard<std::mutex> guard(m.lock);
    auto it = module->exports.find(lpProcName);
    if (it != module->exports.end()) proc = it->second;
  } else if (module->dl) {
    proc = reinterpret_cast<FARPROC>(dlsym(module->dl, lpProcName));
  }
  if (!proc) SetLastError(ERROR_PROC_NOT_FOUND);
  return proc;
}

HMODULE GetModuleHandleA(LPCSTR lpModuleName) {
  Modules& m = Table();
  std::lock_guard<std::mutex> guard(m.lock);
  if (!lpModuleName) {
    std::shared_ptr<Module> executable = ExecutableLocked(m);
    return executable ? ToHandle<HMODULE>(executable->handle) : FailLoad(ERROR_MOD_NOT_FOUND);
  }
  if (IsAbsent(lpModuleName)) return FailLoad(ERROR_MOD_NOT_FOUND);
  std::string name = lpModuleName;
  bool bare = name.find_first_of("\\/:") == std::string::npos;
  if (bare) {
    auto it = m.builtins.find(BareName(name));
    if (it != m.builtins.end()) return ToHandle<HMODULE>(it->second->handle);
  }
  std::string wanted = bare ? WithDefaultExtension(name) : PosixPathFromPlatform(WithDefaultExtension(name));
  for (const auto& [base, module] : m.byBase) {
    if (bare ? SameNameNoCase(FilePart(module->posixPath), wanted) : module->posixPath == wanted) {
      return ToHandle<HMODULE>(module->handle);
    }
  }
  return FailLoad(ERROR_MOD_NOT_FOUND);
}

BOOL GetModuleHandleExA(DWORD dwFlags, LPCSTR lpModuleName, HMODULE* phModule) {
  if (!phModule) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *phModule = nullptr;
  if ((dwFlags & GET_MODULE_HANDLE_EX_FLAG_PIN) && (dwFlags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Modules& m = Table();
  std::shared_ptr<Module> module;
  if (dwFlags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) {
    Dl_info info{};
    if (!lpModuleName || !dladdr(lpModuleName, &info) || !info.dli_fbase) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return FALSE;
    }
    uintptr_t base = reinterpret_cast<uintptr_t>(info.dli_fbase);
    std::lock_guard<std::mutex> guard(m.lock);
    ExecutableLocked(m);
    auto it = m.byBase.find(base);
    if (it != m.byBase.end()) {
      module = it->second;
    } else {
      // A library the process was linked with: known from now on, and never unloaded.
      module = std::make_shared<Module>();
      module->kind = ModuleKind::Linked;
      module->posixPath = info.dli_fname ? info.dli_fname : "";
      module->dl = dlopen(module->posixPath.c_str(), RTLD_NOW | RTLD_NOLOAD);
      module->base = base;
      if (!Register(module)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
      }
      m.byBase[base] = module;
    }
  } else {
    HMODULE found = GetModuleHandleA(lpModuleName);
    if (!found) return FALSE;
    module = LookupHandle<Module>(found, HandleKind::Module);
    if (!module) return FALSE;
  }
  {
    std::lock_guard<std::mutex> guard(m.lock);
    if (dwFlags & GET_MODULE_HANDLE_EX_FLAG_PIN) {
      module->pinned = true;
    } else if (!(dwFlags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT) &&
               module->kind == ModuleKind::Loaded) {
      // The reference is dropped by FreeLibrary like one from LoadLibrary, so it holds a dlopen
      // reference as well.
      dlopen(module->posixPath.c_str(), RTLD_NOW | RTLD_NOLOAD);
      ++module->references;
    }
  }
  *phModule = ToHandle<HMODULE>(module->handle);
  return TRUE;
}

DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  std::shared_ptr<Module> module = Find(hModule);
  if (!module) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  std::string path = PlatformPathFromPosix(module->posixPath);
  if (!lpFilename || nSize == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (path.size() < nSize) {
    std::memcpy(lpFilename, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
  }
  std::memcpy(lpFilename, path.data(), nSize - 1);
  lpFilename[nSize - 1] = '\0';
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return nSize;
}
