// Window classes and atoms.
#include <strings.h>

#include <cstring>

#include "user/display.h"
#include "user/user_state.h"
#include "win32/winbase.h"
#include "win32/winerror.h"

namespace win32::user {
namespace {

constexpr DWORD kErrorClassHasWindows = 1412;

// An atom table: string atoms from 0xC000, names compared without regard to case, reference
// counted. Integer atoms (below 0xC000) are not stored.
class AtomTable {
 public:
  ATOM Add(const char* name) {
    if (ATOM integer = IntegerAtom(name)) return integer;
    if (!name || !*name || std::strlen(name) > 255) return 0;
    std::lock_guard<std::mutex> guard(lock_);
    for (auto& [atom, entry] : entries_) {
      if (strcasecmp(entry.name.c_str(), name) == 0) {
        ++entry.references;
        return atom;
      }
    }
    if (next_ == 0) return 0;  // all 16384 string atoms taken
    ATOM atom = next_++;
    entries_[atom] = {name, 1};
    return atom;
  }

  ATOM Find(const char* name) {
    if (ATOM integer = IntegerAtom(name)) return integer;
    if (!name) return 0;
    std::lock_guard<std::mutex> guard(lock_);
    for (auto& [atom, entry] : entries_) {
      if (strcasecmp(entry.name.c_str(), name) == 0) return atom;
    }
    return 0;
  }

  // Returns 0 on success, the atom when it was not there (the platform's convention).
  ATOM Delete(ATOM atom) {
    if (atom < 0xC000) return 0;
    std::lock_guard<std::mutex> guard(lock_);
    auto it = entries_.find(atom);
    if (it == entries_.end()) return atom;
    if (--it->second.references == 0) entries_.erase(it);
    return 0;
  }

  UINT Name(ATOM atom, char* buffer, int size) {
    if (!buffer || size <= 0 || atom == 0) return 0;
    std::string name;
    if (atom < 0xC000) {
      name.append("#").append(std::to_string(atom));
    } else {
      std::lock_guard<std::mutex> guard(lock_);
      auto it = entries_.find(atom);
      if (it == entries_.end()) return 0;
      name = it->second.name;
    }
    size_t n = std::min(name.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, name.data(), n);
    buffer[n] = '\0';
    return static_cast<UINT>(n);
  }

 private:
  // MAKEINTATOM values and "#123" strings.
  static ATOM IntegerAtom(const char* name) {
    if (IS_INTRESOURCE(name)) return static_cast<ATOM>(reinterpret_cast<uintptr_t>(name));
    if (name[0] != '#') return 0;
    char* end = nullptr;
    long value = std::strtol(name + 1, &end, 10);
    if (end == name + 1 || *end || value <= 0 || value >= 0xC000) return 0;
    return static_cast<ATOM>(value);
  }

  struct Entry {
    std::string name;
    int references;
  };
  std::mutex lock_;
  std::map<ATOM, Entry> entries_;
  ATOM next_ = 0xC000;
};

AtomTable& LocalAtoms() {
  static AtomTable* table = new AtomTable;
  return *table;
}
AtomTable& GlobalAtoms() {
  static AtomTable* table = new AtomTable;
  return *table;
}
// Class atoms and registered message numbers share one table, as on the platform.
AtomTable& ClassAtoms() {
  static AtomTable* table = new AtomTable;
  return *table;
}

struct ClassRegistry {
  std::mutex lock;
  std::vector<std::shared_ptr<WindowClass>> classes;
};

ClassRegistry& Classes() {
  static ClassRegistry* registry = new ClassRegistry;
  return *registry;
}

ATOM Register(const WNDCLASSEXA& wc, bool system) {
  if (!wc.lpszClassName || !wc.lpfnWndProc || wc.cbClsExtra < 0 || wc.cbWndExtra < 0 ||
      IS_INTRESOURCE(wc.lpszClassName)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  ClassRegistry& registry = Classes();
  std::lock_guard<std::mutex> guard(registry.lock);
  for (auto& c : registry.classes) {
    if (strcasecmp(c->name.c_str(), wc.lpszClassName) == 0) {
      SetLastError(ERROR_CLASS_ALREADY_EXISTS);
      return 0;
    }
  }
  auto cls = std::make_shared<WindowClass>();
  cls->name = wc.lpszClassName;
  cls->atom = ClassAtoms().Add(wc.lpszClassName);
  cls->style = wc.style;
  cls->proc = wc.lpfnWndProc;
  cls->wndExtra = wc.cbWndExtra;
  cls->classExtra.assign(wc.cbClsExtra, 0);
  cls->instance = wc.hInstance;
  cls->icon = wc.hIcon;
  cls->iconSmall = wc.hIconSm;
  cls->cursor = wc.hCursor;
  cls->background = wc.hbrBackground;
  if (wc.lpszMenuName && !IS_INTRESOURCE(wc.lpszMenuName)) cls->menuName = wc.lpszMenuName;
  cls->system = system;
  registry.classes.push_back(cls);
  return cls->atom;
}

}  // namespace

std::shared_ptr<WindowClass> FindClass(const char* name) {
  if (!name) return nullptr;
  ClassRegistry& registry = Classes();
  std::lock_guard<std::mutex> guard(registry.lock);
  for (auto& c : registry.classes) {
    bool match = IS_INTRESOURCE(name) ? c->atom == reinterpret_cast<uintptr_t>(name)
                                      : strcasecmp(c->name.c_str(), name) == 0;
    if (match) return c;
  }
  return nullptr;
}

ATOM RegisterSystemClass(const WNDCLASSEXA& wc) { return Register(wc, true); }

}  // namespace win32::user

using namespace win32::user;

ATOM RegisterClassExA(const WNDCLASSEXA* lpwcx) {
  if (!lpwcx || lpwcx->cbSize != sizeof(WNDCLASSEXA)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return win32::user::Register(*lpwcx, false);
}

ATOM RegisterClassA(const WNDCLASSA* wc) {
  if (!wc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WNDCLASSEXA ex{sizeof ex,       wc->style,   wc->lpfnWndProc,   wc->cbClsExtra,
                 wc->cbWndExtra,  wc->hInstance, wc->hIcon,       wc->hCursor,
                 wc->hbrBackground, wc->lpszMenuName, wc->lpszClassName, nullptr};
  return win32::user::Register(ex, false);
}

BOOL UnregisterClassA(LPCSTR lpClassName, HINSTANCE /*hInstance*/) {
  auto cls = FindClass(lpClassName);
  if (!cls || cls->system) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (cls->windows > 0) {
    SetLastError(kErrorClassHasWindows);
    return FALSE;
  }
  auto& registry = Classes();
  std::lock_guard<std::mutex> guard(registry.lock);
  std::erase(registry.classes, cls);
  ClassAtoms().Delete(cls->atom);
  return TRUE;
}

BOOL GetClassInfoExA(HINSTANCE /*hInstance*/, LPCSTR lpszClass, LPWNDCLASSEXA lpwcx) {
  auto cls = FindClass(lpszClass);
  if (!cls || !lpwcx) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  lpwcx->style = cls->style;
  lpwcx->lpfnWndProc = cls->proc;
  lpwcx->cbClsExtra = static_cast<int>(cls->classExtra.size());
  lpwcx->cbWndExtra = cls->wndExtra;
  lpwcx->hInstance = cls->instance;
  lpwcx->hIcon = cls->icon;
  lpwcx->hCursor = cls->cursor;
  lpwcx->hbrBackground = cls->background;
  lpwcx->lpszMenuName = cls->menuName.empty() ? nullptr : cls->menuName.c_str();
  lpwcx->lpszClassName = cls->name.c_str();
  lpwcx->hIconSm = cls->iconSmall;
  return cls->atom;
}

BOOL GetClassInfoA(HINSTANCE hInstance, LPCSTR lpClassName, LPWNDCLASSA lpWndClass) {
  WNDCLASSEXA ex{};
  ex.cbSize = sizeof ex;
  if (!lpWndClass || !GetClassInfoExA(hInstance, lpClassName, &ex)) return FALSE;
  *lpWndClass = {ex.style,     ex.lpfnWndProc, ex.cbClsExtra,     ex.cbWndExtra,   ex.hInstance,
                 ex.hIcon,     ex.hCursor,     ex.hbrBackground, ex.lpszMenuName, ex.lpszClassName};
  return TRUE;
}

int GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount) {
  auto w = Win(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (!lpClassName || nMaxCount <= 0) return 0;
  size_t n = std::min(w->cls->name.size(), static_cast<size_t>(nMaxCount - 1));
  std::memcpy(lpClassName, w->cls->name.data(), n);
  lpClassName[n] = '\0';
  return static_cast<int>(n);
}

ULONG_PTR GetClassLongPtrA(HWND hWnd, int nIndex) {
  auto w = Win(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  const WindowClass& c = *w->cls;
  switch (nIndex) {
    case GCL_STYLE: return c.style;
    case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(c.proc);
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(c.background);
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(c.cursor);
    case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(c.icon);
    case GCLP_HICONSM: return reinterpret_cast<ULONG_PTR>(c.iconSmall);
    case GCLP_HMODULE: return reinterpret_cast<ULONG_PTR>(c.instance);
    case GCL_CBWNDEXTRA: return c.wndExtra;
    case GCL_CBCLSEXTRA: return c.classExtra.size();
    case GCW_ATOM: return c.atom;
  }
  if (nIndex >= 0 && static_cast<size_t>(nIndex) + sizeof(ULONG_PTR) <= c.classExtra.size()) {
    ULONG_PTR value;
    std::memcpy(&value, c.classExtra.data() + nIndex, sizeof value);
    return value;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return 0;
}

DWORD GetClassLongA(HWND hWnd, int nIndex) { return static_cast<DWORD>(GetClassLongPtrA(hWnd, nIndex)); }

ATOM AddAtomA(LPCSTR lpString) { return LocalAtoms().Add(lpString); }
ATOM FindAtomA(LPCSTR lpString) { return LocalAtoms().Find(lpString); }
ATOM DeleteAtom(ATOM nAtom) { return LocalAtoms().Delete(nAtom); }
UINT GetAtomNameA(ATOM nAtom, LPSTR lpBuffer, int nSize) { return LocalAtoms().Name(nAtom, lpBuffer, nSize); }
ATOM GlobalAddAtomA(LPCSTR lpString) { return GlobalAtoms().Add(lpString); }
ATOM GlobalFindAtomA(LPCSTR lpString) { return GlobalAtoms().Find(lpString); }
ATOM GlobalDeleteAtom(ATOM nAtom) { return GlobalAtoms().Delete(nAtom); }
UINT GlobalGetAtomNameA(ATOM nAtom, LPSTR lpBuffer, int nSize) {
  return GlobalAtoms().Name(nAtom, lpBuffer, nSize);
}

UINT RegisterWindowMessageA(LPCSTR lpString) {
  if (!lpString || IS_INTRESOURCE(lpString) || !*lpString) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return ClassAtoms().Add(lpString);
}
