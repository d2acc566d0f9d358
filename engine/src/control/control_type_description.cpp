#include "control/control_type_description.h"

#include "control/tessary_ctrl.h"
#include "control/tessary_type_library.h"
#include "engine/tessary_ids.h"

namespace {

// Events are methods the control calls on its container.
DispatchTable DescribeEvents(const AFX_EVENTMAP* map, const IID& iid, const char* name) {
  DispatchTable events(iid, name);
  for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    DISPID place = 0;
    for (const AFX_EVENTMAP_ENTRY* e = map->lpEntries; e && e->pszName; ++e) {
      ++place;
      std::vector<VARTYPE> params;
      for (const char* c = e->pvtsParams ? e->pvtsParams : ""; *c; ++c) params.push_back(VARTYPE(BYTE(*c)));
      events.Method(e->dispid == DISPID_UNKNOWN ? place : e->dispid, e->pszName, VT_EMPTY, std::move(params), {});
    }
  }
  return events;
}

}  // namespace

void DescribeTessaryControl(TypeLibraryDescription& library) {
  library.dispinterfaces.push_back(DescribeForLibrary(CTessaryCtrl::GetThisDispatchMap(), DIID__DTessary, "_DTessary"));
  library.dispinterfaces.push_back(
      DescribeEvents(CTessaryCtrl::GetThisEventMap(), DIID__DTessaryEvents, "_DTessaryEvents"));
  library.coclasses.push_back({CLSID_Tessary, "Tessary", {DIID__DTessary}, DIID__DTessaryEvents});
}

HRESULT CTessaryCtrl::GetTypeLib(LCID lcid, LPTYPELIB* ppTypeLib) { return GetTessaryTypeLib(lcid, ppTypeLib); }
