// The framework used the way a program that only creates its classes by class id uses it: this
// test program is linked "as needed", so the library is loaded only for its registration call.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "dshow/dshow.h"

namespace {

HRESULT Create(REFCLSID clsid) {
  IUnknown* object = nullptr;
  HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&object));
  if (object) object->Release();
  return hr;
}

ULONG CategorySize(REFCLSID category) {
  ICreateDevEnum* devices = nullptr;
  if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                              reinterpret_cast<void**>(&devices))))
    return 0;
  IEnumMoniker* monikers = nullptr;
  devices->CreateClassEnumerator(category, &monikers, 0);
  devices->Release();
  ULONG size = 0;
  IMoniker* m = nullptr;
  while (monikers && monikers->Next(1, &m, nullptr) == S_OK) {
    m->Release();
    ++size;
  }
  if (monikers) monikers->Release();
  return size;
}

}  // namespace

TEST(DShowRegistration, ClassesAreKnownOnlyOnceRegisteredFromAnyThread) {
  // Loading the library registers nothing.
  EXPECT_EQ(REGDB_E_CLASSNOTREG, Create(CLSID_FilterGraph));
  EXPECT_EQ(REGDB_E_CLASSNOTREG, Create(CLSID_AviDest));
  EXPECT_EQ(REGDB_E_CLASSNOTREG, Create(CLSID_VideoRenderer));

  std::vector<std::thread> users;
  for (int i = 0; i < 4; ++i) users.emplace_back(&RegisterDShowClasses);
  for (std::thread& user : users) user.join();

  for (const CLSID* clsid : {&CLSID_FilterGraph, &CLSID_SystemClock, &CLSID_CaptureGraphBuilder2, &CLSID_SystemDeviceEnum,
                             &CLSID_CorvaneFileSource, &CLSID_Colour, &CLSID_AviDest, &CLSID_FileWriter,
                             &CLSID_VideoRenderer, &CLSID_DSoundRender})
    EXPECT_EQ(S_OK, Create(*clsid)) << StringFromGUIDA(*clsid);
  EXPECT_GT(CategorySize(CLSID_VideoCompressorCategory), 0u);
  EXPECT_GT(CategorySize(CLSID_AudioCompressorCategory), 0u);
}
