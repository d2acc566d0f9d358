// The editing services' creatable classes and their transitions category.
#include <mutex>

#include "media/media_det.h"
#include "render/render_engine.h"
#include "timeline/property_setter.h"
#include "timeline/timeline.h"
#include "transitions_category.h"
#include "unaggregated.h"

void RegisterDesClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterDShowClasses();
    RegisterBuiltinClass(CLSID_AMTimeline, &CreateComInstance<&des::CreateUnaggregated<des::Timeline>>);
    RegisterBuiltinClass(CLSID_PropertySetter, &CreateComInstance<&des::CreateUnaggregated<des::PropertySetter>>);
    RegisterBuiltinClass(CLSID_RenderEngine, &CreateComInstance<&des::CreateUnaggregated<des::RenderEngine>>);
    RegisterBuiltinClass(CLSID_MediaDet, &CreateComInstance<&des::CreateUnaggregated<des::MediaDet>>);
    DShowSetDeviceCategoryProvider(CLSID_VideoEffects2Category, &des::EnumerateTransitions);
  });
}
