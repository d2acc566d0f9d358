#pragma once
// The engine control hosted as a container hosts it, for the benchmarks that convert through it.
// Its event map is defined here: a benchmark program includes this header from one file only.
#include <cstdio>
#include <initializer_list>

#include "dispatch_calls.h"
#include "engine/tessary_ids.h"
#include "mfc/afxctl.h"

namespace bench {

class EngineEvents : public CWnd {
  DECLARE_EVENTSINK_MAP()
 public:
  void OnComplete() { ++completes; }
  int completes = 0;
};

BEGIN_EVENTSINK_MAP(EngineEvents, CWnd)
  ON_EVENT(EngineEvents, 1001, eventidComplete, OnComplete, VTS_NONE)
END_EVENTSINK_MAP()

// Loads a module and runs its DllRegisterServer; says so on stderr when it cannot.
inline bool RegisterModule(const char* module) {
  HMODULE loaded = LoadLibraryA(module);
  auto registerServer =
      loaded ? reinterpret_cast<HRESULT (*)()>(reinterpret_cast<void (*)()>(GetProcAddress(loaded, "DllRegisterServer")))
             : nullptr;
  if (registerServer && SUCCEEDED(registerServer())) return true;
  std::fprintf(stderr, "cannot load or register %s\n", module);
  return false;
}

class HostedEngine {
 public:
  // Hosts the registered control in a visible window; says so on stderr when it cannot.
  bool Open() {
    AfxEnableControlContainer();
    if (!host_.CreateEx(0, AfxRegisterWndClass(0), "host", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr) ||
        !AfxCreateControl(&wrapper_, CLSID_Tessary, "", WS_VISIBLE, CRect(0, 0, 320, 240), &host_, 1001)) {
      std::fprintf(stderr, "cannot host the control\n");
      return false;
    }
    control_ = AfxGetControlSite(&wrapper_)->GetDispatch();
    return true;
  }
  bool Put(DISPID id, const COleVariant& value) { return SUCCEEDED(PutProp(control_, id, value)); }
  // The method's answer is kept in result.
  bool Call(DISPID id, std::initializer_list<COleVariant> args = {}) {
    return SUCCEEDED(CallMethod(control_, id, result, args));
  }
  // The position of a named item in one of the control's collections.
  COleVariant Find(DISPID collection, const char* name) {
    COleVariant items, position;
    GetProp(control_, collection, items);
    CallMethod(items.pdispVal, dispidCollectionFind, position, {COleVariant(name)});
    return position;
  }
  // Pumps messages until the run completes: 0 after one Complete, 1 otherwise.
  int WaitForComplete() {
    MSG msg;
    while (host_.completes == 0 && ::GetMessageA(&msg, nullptr, 0, 0) > 0) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    return host_.completes == 1 ? 0 : 1;
  }

  COleVariant result;

 private:
  EngineEvents host_;
  CWnd wrapper_;
  IDispatch* control_ = nullptr;
};

}  // namespace bench
