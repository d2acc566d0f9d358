// The framework's own creatable classes.
#include "capture_graph_builder.h"
#include "device_enum.h"
#include "dshow/uuids.h"
#include "filter_graph.h"
#include "system_clock.h"

namespace {

const bool kRegistered = [] {
  RegisterBuiltinClass(CLSID_FilterGraph, &dshow::FilterGraph::Create);
  RegisterBuiltinClass(CLSID_SystemClock, &dshow::SystemClock::Create);
  RegisterBuiltinClass(CLSID_CaptureGraphBuilder2, &dshow::CaptureGraphBuilder::Create);
  RegisterBuiltinClass(CLSID_SystemDeviceEnum, &dshow::DeviceEnumerator::Create);
  return true;
}();

}  // namespace
