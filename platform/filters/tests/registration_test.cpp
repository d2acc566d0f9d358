// The outside filters used the way the engine uses them, by class id only: this test program is
// linked "as needed", so the library is loaded only for its registration call.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "filters/outside_filters.h"

TEST(OutsideFilterRegistration, Mp3EncoderIsKnownOnlyOnceRegisteredFromAnyThread) {
  IBaseFilter* encoder = nullptr;
  // Loading the library registers nothing.
  EXPECT_EQ(REGDB_E_CLASSNOTREG, CoCreateInstance(CLSID_Mp3EncoderFilter, nullptr, CLSCTX_INPROC_SERVER,
                                                  IID_IBaseFilter, reinterpret_cast<void**>(&encoder)));

  std::vector<std::thread> users;
  for (int i = 0; i < 4; ++i) users.emplace_back(&RegisterOutsideFilterClasses);
  for (std::thread& user : users) user.join();

  ASSERT_EQ(S_OK, CoCreateInstance(CLSID_Mp3EncoderFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   reinterpret_cast<void**>(&encoder)));
  IUnknown* settings = nullptr;
  EXPECT_EQ(S_OK, encoder->QueryInterface(IID_IMp3EncoderSettings, reinterpret_cast<void**>(&settings)));
  if (settings) settings->Release();
  encoder->Release();
}
