// The editing services' creatable classes and their transitions category.
#include <mutex>

#include "render/render_engine.h"
#include "timeline/property_setter.h"
#include "timeline/timeline.h"
#include "transitions_category.h"

void RegisterDesClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterDShowClasses();
    RegisterBuiltinClass(CLSID_AMTimeline, &des::Timeline::Create);
    RegisterBuiltinClass(CLSID_PropertySetter, &des::PropertySetter::Create);
    RegisterBuiltinClass(CLSID_RenderEngine, &des::RenderEngine::Create);
    DShowSetDeviceCategoryProvider(CLSID_VideoEffects2Category, &des::EnumerateTransitions);
  });
}
