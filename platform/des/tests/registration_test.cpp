// The editing services used the way the engine uses them, by class id only: this test program is
// linked "as needed", so the library is loaded only for its registration call.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "des/qedit.h"

namespace {

HRESULT Create(REFCLSID clsid) {
  IUnknown* object = nullptr;
  HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&object));
  if (object) object->Release();
  return hr;
}

ULONG TransitionCount() {
  ICreateDevEnum* devices = nullptr;
  if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                              reinterpret_cast<void**>(&devices))))
    return 0;
  IEnumMoniker* monikers = nullptr;
  devices->CreateClassEnumerator(CLSID_VideoEffects2Category, &monikers, 0);
  devices->Release();
  ULONG count = 0;
  IMoniker* m = nullptr;
  while (monikers && monikers->Next(1, &m, nullptr) == S_OK) {
    m->Release();
    ++count;
  }
  if (monikers) monikers->Release();
  return count;
}

}  // namespace

TEST(DesRegistration, ClassesAndTransitionsAreKnownOnlyOnceRegisteredFromAnyThread) {
  // Loading the library registers nothing, not even the framework it builds on.
  EXPECT_EQ(REGDB_E_CLASSNOTREG, Create(CLSID_AMTimeline));
  EXPECT_EQ(REGDB_E_CLASSNOTREG, Create(CLSID_RenderEngine));
  EXPECT_EQ(REGDB_E_CLASSNOTREG, Create(CLSID_SystemDeviceEnum));

  std::vector<std::thread> users;
  for (int i = 0; i < 4; ++i) users.emplace_back(&RegisterDesClasses);
  for (std::thread& user : users) user.join();

  for (const CLSID* clsid : {&CLSID_AMTimeline, &CLSID_PropertySetter, &CLSID_RenderEngine, &CLSID_FilterGraph})
    EXPECT_EQ(S_OK, Create(*clsid)) << StringFromGUIDA(*clsid);
  EXPECT_EQ(19u, TransitionCount());
}
