// The framework's own creatable classes, and the one call that registers everything the library
// offers by class id.
#include <mutex>

#include "capture_graph_builder.h"
#include "device_enum.h"
#include "dshow/uuids.h"
#include "filter_graph.h"
#include "filters/builtin_registration.h"
#include "renderers/registration.h"
#include "system_clock.h"

void RegisterDShowClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterBuiltinClass(CLSID_FilterGraph, &CreateComInstance<&dshow::FilterGraph::CreateInstance>);
    RegisterBuiltinClass(CLSID_SystemClock, &CreateComInstance<&dshow::SystemClock::CreateInstance>);
    RegisterBuiltinClass(CLSID_CaptureGraphBuilder2, &CreateComInstance<&dshow::CaptureGraphBuilder::CreateInstance>);
    RegisterBuiltinClass(CLSID_SystemDeviceEnum, &CreateComInstance<&dshow::DeviceEnumerator::CreateInstance>);
    dshow::filters::RegisterBuiltinFilters();
    dshow::renderers::RegisterRenderers();
  });
}
