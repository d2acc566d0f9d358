// Resources: the tables modules register at static initialisation, found through the module
// handle by the module's load address. String tables are also laid out as the platform's RT_STRING
// blocks (16 length-prefixed UTF-16 strings each), which LoadStringW points into.
#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "handle_table.h"
#include "module_table.h"
#include "name_case.h"
#include "win32/winbase.h"
#include "win32/winerror.h"
#include "win32/winmodule.h"
#include "win32/winnls.h"

using namespace win32;

namespace {

struct ResourceObject : HandleObject {
  const void* data = nullptr;
  DWORD size = 0;
};

struct Registration {
  const ModuleResources* owner = nullptr;
  uintptr_t base = 0;
  const ResourceEntry* entries = nullptr;
  size_t entryCount = 0;
  std::map<UINT, const char*> strings;                // first text of each id
  std::map<WORD, std::vector<char16_t>> blocks;       // RT_STRING blocks by block id
  std::map<std::pair<int, size_t>, uintptr_t> handles;  // (0 entry | 1 block, index) -> HRSRC
};

struct Resources {
  std::mutex lock;
  std::vector<std::unique_ptr<Registration>> registrations;  // in registration order
};

// Never destroyed: modules withdraw their tables from static destructors.
Resources& Table() {
  static Resources* resources = new Resources;
  return *resources;
}

std::u16string Utf16(const char* text) {
  int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (n <= 1) return {};
  std::u16string wide(static_cast<size_t>(n), u'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), n);
  wide.pop_back();
  return wide;
}

// Matches a type or name against a table's: ids by value, strings without case, "#123" as id 123.
bool SameResourceName(LPCSTR wanted, LPCSTR entry) {
  auto idOf = [](LPCSTR name, WORD* id) {
    if (IS_INTRESOURCE(name)) {
      *id = LOWORD(reinterpret_cast<ULONG_PTR>(name));
      return true;
    }
    if (name[0] != '#' || !name[1]) return false;
    char* end = nullptr;
    unsigned long v = std::strtoul(name + 1, &end, 10);
    if (*end || v > 0xFFFF) return false;
    *id = static_cast<WORD>(v);
    return true;
  };
  WORD a = 0, b = 0;
  bool aIsId = idOf(wanted, &a), bIsId = idOf(entry, &b);
  if (aIsId || bIsId) return aIsId && bIsId && a == b;
  return SameNameNoCase(wanted, entry);
}

bool ResolveBase(HMODULE module, uintptr_t* base) {
  if (!ModuleBase(module, base)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  if (*base == 0) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return false;
  }
  return true;
}

uintptr_t HandleFor(Registration& r, int kind, size_t index, const void* data, DWORD size) {
  uintptr_t& handle = r.handles[{kind, index}];
  if (!handle) {
    auto object = std::make_shared<ResourceObject>();
    object->data = data;
    object->size = size;
    handle = AllocateHandle(HandleKind::Resource, std::move(object));
  }
  return handle;
}

// The text of string id in the module at base; null when there is none.
const char* FindString(uintptr_t base, UINT id) {
  Resources& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  for (const auto& r : t.registrations) {
    if (r->base != base) continue;
    auto it = r->strings.find(id);
    if (it != r->strings.end()) return it->second;
  }
  return nullptr;
}

// Where string id lies in its RT_STRING block: the UTF-16 text and its length.
const char16_t* FindWideString(uintptr_t base, UINT id, int* length) {
  Resources& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  for (const auto& r : t.registrations) {
    if (r->base != base || !r->strings.count(id)) continue;
    const std::vector<char16_t>& block = r->blocks.at(static_cast<WORD>(id / 16 + 1));
    const char16_t* p = block.data();
    for (UINT slot = 0; slot < id % 16; ++slot) p += 1 + *p;
    *length = *p;
    return p + 1;
  }
  return nullptr;
}

}  // namespace

ModuleResources::ModuleResources(const ResourceEntry* entries, size_t entryCount,
                                 const StringEntry* strings, size_t stringCount) {
  auto r = std::make_unique<Registration>();
  r->owner = this;
  Dl_info info{};
  // The object lives in the module's own data, so its address tells the module.
  r->base = dladdr(this, &info) ? reinterpret_cast<uintptr_t>(info.dli_fbase) : 0;
  r->entries = entries;
  r->entryCount = entries ? entryCount : 0;
  for (size_t i = 0; strings && i < stringCount; ++i) {
    if (strings[i].text && strings[i].id <= 0xFFFF) r->strings.emplace(strings[i].id, strings[i].text);
  }
  std::map<WORD, std::vector<std::u16string>> texts;
  for (const auto& [id, text] : r->strings) {
    std::vector<std::u16string>& slots = texts[static_cast<WORD>(id / 16 + 1)];
    slots.resize(16);
    slots[id % 16] = Utf16(text);
  }
  for (const auto& [blockId, slots] : texts) {
    std::vector<char16_t>& block = r->blocks[blockId];
    for (const std::u16string& s : slots) {
      block.push_back(static_cast<char16_t>(s.size()));
      block.insert(block.end(), s.begin(), s.end());
    }
  }
  Resources& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  t.registrations.push_back(std::move(r));
}

ModuleResources::~ModuleResources() {
  Resources& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  for (auto it = t.registrations.begin(); it != t.registrations.end(); ++it) {
    if ((*it)->owner != this) continue;
    for (const auto& [key, handle] : (*it)->handles) ReleaseHandle(handle, HandleKind::Resource);
    t.registrations.erase(it);
    return;
  }
}

HRSRC FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) {
  uintptr_t base = 0;
  if (!ResolveBase(hModule, &base)) return nullptr;
  if (!lpName || !lpType) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Resources& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  bool typeSeen = false;
  for (const auto& r : t.registrations) {
    if (r->base != base) continue;
    for (size_t i = 0; i < r->entryCount; ++i) {
      const ResourceEntry& e = r->entries[i];
      if (!SameResourceName(lpType, e.type)) continue;
      typeSeen = true;
      if (SameResourceName(lpName, e.name)) {
        return ToHandle<HRSRC>(HandleFor(*r, 0, i, e.data, e.size));
      }
    }
    if (SameResourceName(lpType, RT_STRING) && !r->blocks.empty()) {
      typeSeen = true;
      for (const auto& [blockId, block] : r->blocks) {
        if (SameResourceName(lpName, MAKEINTRESOURCE(blockId))) {
          return ToHandle<HRSRC>(HandleFor(*r, 1, blockId, block.data(),
                                           static_cast<DWORD>(block.size() * sizeof(char16_t))));
        }
      }
    }
  }
  SetLastError(typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
  return nullptr;
}

// The handle of the data is the resource's own: resources are never moved or freed.
HGLOBAL LoadResource(HMODULE, HRSRC hResInfo) {
  if (!LookupHandle<ResourceObject>(hResInfo, HandleKind::Resource)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return reinterpret_cast<HGLOBAL>(hResInfo);
}

LPVOID LockResource(HGLOBAL hResData) {
  std::shared_ptr<ResourceObject> object = LookupHandle<ResourceObject>(hResData, HandleKind::Resource);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return const_cast<void*>(object->data);
}

DWORD SizeofResource(HMODULE, HRSRC hResInfo) {
  std::shared_ptr<ResourceObject> object = LookupHandle<ResourceObject>(hResInfo, HandleKind::Resource);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return object->size;
}

BOOL FreeResource(HGLOBAL) { return FALSE; }

int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
  if (!lpBuffer || cchBufferMax <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  lpBuffer[0] = '\0';
  uintptr_t base = 0;
  if (!ResolveBase(hInstance, &base)) return 0;
  const char* text = FindString(base, uID);
  if (!text || !*text) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
  }
  size_t n = std::strlen(text);
  if (n > static_cast<size_t>(cchBufferMax - 1)) {
    n = static_cast<size_t>(cchBufferMax - 1);
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;  // whole characters
  }
  std::memcpy(lpBuffer, text, n);
  lpBuffer[n] = '\0';
  return static_cast<int>(n);
}

int LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax) {
  if (!lpBuffer || cchBufferMax < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (cchBufferMax > 0) lpBuffer[0] = u'\0';
  uintptr_t base = 0;
  if (!ResolveBase(hInstance, &base)) return 0;
  int length = 0;
  const char16_t* text = FindWideString(base, uID, &length);
  if (!text || length == 0) {
    if (cchBufferMax == 0) *reinterpret_cast<const char16_t**>(lpBuffer) = nullptr;
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
  }
  if (cchBufferMax == 0) {
    *reinterpret_cast<const char16_t**>(lpBuffer) = text;
    return length;
  }
  int n = length < cchBufferMax - 1 ? length : cchBufferMax - 1;
  if (n > 0 && n < length && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;  // whole pairs
  std::memcpy(lpBuffer, text, static_cast<size_t>(n) * sizeof(char16_t));
  lpBuffer[n] = u'\0';
  return n;
}
