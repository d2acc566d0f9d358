#pragma once
// The graph manager's view of the filter catalogue (filter_catalog.h).
#include <string>
#include <vector>

#include "dshow/filter_catalog.h"

namespace dshow {

struct GraphCandidate {
  CLSID clsid;
  std::u16string name;
  DWORD merit;
};

// The candidates of a kind, best first: built-in ones and, for transforms, the registered
// filters above MERIT_DO_NOT_USE.
std::vector<GraphCandidate> GraphCandidates(DSHOW_CANDIDATE_KIND kind);

// The provider of a device category, NULL when none was set.
LPFNENUMDEVICECATEGORY DeviceCategoryProvider(REFCLSID category);

// Filters registered under a category: HKCR\CLSID\{category}\Instance\*, in key order.
struct RegisteredFilter {
  CLSID clsid;
  std::u16string friendlyName;
  DWORD merit;
};
std::vector<RegisteredFilter> RegisteredFilters(REFCLSID category);

}  // namespace dshow
