#include <algorithm>
#include <cstring>
#include <mutex>

#include "catalog.h"
#include "dshow/dllsetup.h"
#include "dshow/uuids.h"
#include "wide_text.h"
#include "win32/utf.h"
#include "win32/winreg.h"

namespace dshow {
namespace {

struct Candidate {
  GraphCandidate entry;
  DSHOW_CANDIDATE_KIND kind;
};

struct Catalog {
  std::mutex lock;
  std::vector<Candidate> candidates;  // in order of addition
  std::vector<std::pair<CLSID, LPFNENUMDEVICECATEGORY>> providers;
};

// Never destroyed: it may be looked up late, from static destructors of its users.
Catalog& TheCatalog() {
  static Catalog* catalog = new Catalog;
  return *catalog;
}

std::string ReadString(HKEY key, const char* name) {
  char buffer[512];
  DWORD type = 0, size = sizeof buffer;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return {};
  return std::string(buffer, strnlen(buffer, size));
}

}  // namespace

std::vector<GraphCandidate> GraphCandidates(DSHOW_CANDIDATE_KIND kind) {
  std::vector<GraphCandidate> result;
  {
    Catalog& catalog = TheCatalog();
    std::lock_guard<std::mutex> guard(catalog.lock);
    for (const Candidate& c : catalog.candidates)
      if (c.kind == kind) result.push_back(c.entry);
  }
  if (kind == DSHOW_CANDIDATE_TRANSFORM) {
    for (const RegisteredFilter& f : RegisteredFilters(CLSID_LegacyAmFilterCategory)) {
      if (f.merit <= MERIT_DO_NOT_USE) continue;
      bool known = std::any_of(result.begin(), result.end(), [&](const GraphCandidate& c) { return c.clsid == f.clsid; });
      if (!known) result.push_back({f.clsid, f.friendlyName, f.merit});
    }
  }
  std::stable_sort(result.begin(), result.end(),
                   [](const GraphCandidate& a, const GraphCandidate& b) { return a.merit > b.merit; });
  return result;
}

LPFNENUMDEVICECATEGORY DeviceCategoryProvider(REFCLSID category) {
  Catalog& catalog = TheCatalog();
  std::lock_guard<std::mutex> guard(catalog.lock);
  for (const auto& [clsid, provider] : catalog.providers)
    if (clsid == category) return provider;
  return nullptr;
}

std::vector<RegisteredFilter> RegisteredFilters(REFCLSID category) {
  std::vector<RegisteredFilter> result;
  HKEY instances = nullptr;
  std::string path = "CLSID\\" + StringFromGUIDA(category) + "\\Instance";
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &instances) != ERROR_SUCCESS) return result;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD length = sizeof name;
    LSTATUS status = RegEnumKeyExA(instances, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS) continue;
    HKEY entry = nullptr;
    if (RegOpenKeyExA(instances, name, 0, KEY_READ, &entry) != ERROR_SUCCESS) continue;
    RegisteredFilter filter{};
    std::string clsidText = ReadString(entry, "CLSID");
    if (clsidText.empty()) clsidText = name;
    DWORD merit = 0, type = 0, size = sizeof merit;
    if (RegQueryValueExA(entry, "Merit", nullptr, &type, reinterpret_cast<BYTE*>(&merit), &size) == ERROR_SUCCESS &&
        type == REG_DWORD)
      filter.merit = merit;
    filter.friendlyName = win32::Utf8ToUtf16(ReadString(entry, "FriendlyName"));
    RegCloseKey(entry);
    if (GUIDFromStringA(clsidText, &filter.clsid)) result.push_back(filter);
  }
  RegCloseKey(instances);
  return result;
}

}  // namespace dshow

void DShowAddGraphCandidate(REFCLSID clsid, LPCWSTR name, DWORD merit, DSHOW_CANDIDATE_KIND kind) {
  dshow::Catalog& catalog = dshow::TheCatalog();
  std::lock_guard<std::mutex> guard(catalog.lock);
  auto& list = catalog.candidates;
  list.erase(std::remove_if(list.begin(), list.end(), [&](const dshow::Candidate& c) { return c.entry.clsid == clsid; }),
             list.end());
  list.push_back({{clsid, dshow::WideString(name), merit}, kind});
}

void DShowSetDeviceCategoryProvider(REFCLSID category, LPFNENUMDEVICECATEGORY provider) {
  dshow::Catalog& catalog = dshow::TheCatalog();
  std::lock_guard<std::mutex> guard(catalog.lock);
  for (auto& entry : catalog.providers) {
    if (entry.first == category) {
      entry.second = provider;
      return;
    }
  }
  catalog.providers.emplace_back(category, provider);
}
