// The runtime used the way the engine uses it, through the writer: this test program is linked
// "as needed", so the library is loaded only for its registration call.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "wmf/wmsdk.h"

TEST(WmfRegistration, TheWriterAnswersForItsConfigurationOnlyOnceRegisteredFromAnyThread) {
  RegisterDShowClasses();
  IBaseFilter* writer = nullptr;
  ASSERT_EQ(S_OK, CoCreateInstance(CLSID_WMAsfWriter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   reinterpret_cast<void**>(&writer)));
  IConfigAsfWriter* config = nullptr;
  // Loading the library registers nothing.
  EXPECT_EQ(E_NOINTERFACE, writer->QueryInterface(IID_IConfigAsfWriter, reinterpret_cast<void**>(&config)));

  std::vector<std::thread> users;
  for (int i = 0; i < 4; ++i) users.emplace_back(&RegisterWmfClasses);
  for (std::thread& user : users) user.join();

  ASSERT_EQ(S_OK, writer->QueryInterface(IID_IConfigAsfWriter, reinterpret_cast<void**>(&config)));
  config->Release();
  writer->Release();
}
