#pragma once
// What the graph manager may use on its own: the filters it inserts when it connects or renders
// pins, and the providers of the device categories. These calls are safe from any thread.
#include "dshow/strmif.h"

// Makes the framework's classes (the graph manager, the system clock, the capture graph builder,
// the system device enumerator, the built-in filters, renderers and compressors) creatable by
// class id, adds the built-in candidates below and fills the compressor categories. Every user
// of the framework calls it before creating anything by class id; later calls do nothing.
void RegisterDShowClasses();

typedef enum _DSHOW_CANDIDATE_KIND {
  // Decoders and converters: inserted between two pins that cannot connect directly, and
  // tried when rendering a pin. Input pins first, their output pins are rendered onwards.
  DSHOW_CANDIDATE_TRANSFORM = 0,
  // Default renderers: where Render ends a stream.
  DSHOW_CANDIDATE_RENDERER = 1,
} DSHOW_CANDIDATE_KIND;

// Adds a class (created with CoCreateInstance, so it must also be a built-in class or be
// registered) to the candidates of its kind; name is the name it gets in a graph ("Color Space
// Converter"). Higher merit is tried first; equal merit in the order of addition. Filters
// registered in the registry's filter category with a merit above MERIT_DO_NOT_USE are
// transform candidates too, after built-in ones of equal merit. Adding a class again replaces
// its entry.
void DShowAddGraphCandidate(REFCLSID clsid, LPCWSTR name, DWORD merit, DSHOW_CANDIDATE_KIND kind);

// A device category's contents: an enumerator of device monikers (ole's CreateDeviceMoniker,
// whose property bag holds at least "FriendlyName" and "CLSID"), or S_FALSE and NULL when the
// category is empty. Called on every CreateClassEnumerator, so entries may depend on run-time
// conditions.
typedef HRESULT (*LPFNENUMDEVICECATEGORY)(IEnumMoniker** ppEnum);
// Makes provider the source of the category's first entries; the system device enumerator
// appends the filters registered in the registry under the category
// (HKCR\CLSID\{category}\Instance).
void DShowSetDeviceCategoryProvider(REFCLSID category, LPFNENUMDEVICECATEGORY provider);
